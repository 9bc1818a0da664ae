// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "DesktopEntry.h"

#include "base/Failure.h"

#include <QDir>

namespace senrokan::platform
{

QString escapeDesktopString(const QString& value)
{
    QString escaped;
    escaped.reserve(value.size());
    for (qsizetype i = 0; i < value.size(); ++i) {
        const QChar c = value.at(i);
        if (c == QLatin1Char('\\'))
            escaped += QLatin1String("\\\\");
        else if (c == QLatin1Char('\n'))
            escaped += QLatin1String("\\n");
        else if (c == QLatin1Char('\t'))
            escaped += QLatin1String("\\t");
        else if (c == QLatin1Char('\r'))
            escaped += QLatin1String("\\r");
        else if (c == QLatin1Char(' ') && (i == 0 || i == value.size() - 1))
            escaped += QLatin1String("\\s");
        else
            escaped += c;
    }
    return escaped;
}

QString quoteExecArgument(const QString& argument)
{
    static const QString reserved = QStringLiteral(" \t\n\"'\\><~|&;$*?#()`");
    bool needsQuotes = argument.isEmpty();
    for (const QChar c : argument)
        needsQuotes = needsQuotes || reserved.contains(c);

    QString quoted;
    if (needsQuotes)
        quoted += QLatin1Char('"');
    for (const QChar c : argument) {
        // These four are reserved too, so they only ever appear inside quotes.
        if (c == QLatin1Char('"') || c == QLatin1Char('`') || c == QLatin1Char('$') ||
            c == QLatin1Char('\\'))
            quoted += QLatin1Char('\\');
        quoted += c;
        if (c == QLatin1Char('%'))
            quoted += QLatin1Char('%');
    }
    if (needsQuotes)
        quoted += QLatin1Char('"');
    return quoted;
}

QString autostartEntryText(const QString& executable, const QString& workingDirectory)
{
    if (executable.isEmpty() || executable.contains(QLatin1Char('\n')) ||
        !QDir::isAbsolutePath(workingDirectory))
        throw Failure(FailureKind::InvalidArgument);

    QString text;
    text += QLatin1String("[Desktop Entry]\n");
    text += QLatin1String("Type=Application\n");
    text += QLatin1String("Name=Senrokan\n");
    text += QStringLiteral("Comment=鉄道の運行状況を定期的にチェックします\n");
    text += QLatin1String("Exec=") + escapeDesktopString(quoteExecArgument(executable)) +
            QLatin1Char('\n');
    text += QLatin1String("Path=") + escapeDesktopString(workingDirectory) + QLatin1Char('\n');
    text += QLatin1String("Icon=senrokan\n");
    text += QLatin1String("Terminal=false\n");
    text += QLatin1String("X-GNOME-Autostart-enabled=true\n");
    return text;
}

} // namespace senrokan::platform
