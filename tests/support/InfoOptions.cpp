// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "support/InfoOptions.h"

#include <QRegularExpression>
#include <QTest>

#include <utility>

namespace senrokan::test
{

namespace
{

QString versionProblem(const QString& program, const QStringList& lines)
{
    const QString first =
        program + QStringLiteral(" (Senrokan) ") + QStringLiteral(SENROKAN_VERSION);
    if (lines.value(0) != first)
        return QStringLiteral("the first line is not '%1'").arg(first);
    if (lines.value(1) != QStringLiteral("Copyright 2026 The Senrokan developers"))
        return QStringLiteral("no copyright line after it");
    if (!lines.value(2).startsWith(QStringLiteral("License GPLv3+: GNU GPL version 3 or later ")))
        return QStringLiteral("no licence line after that");
    if (!lines.contains(QStringLiteral("There is NO WARRANTY, to the extent permitted by law.")))
        return QStringLiteral("no word of the warranty");
    return {};
}

using Entry = std::pair<QString, QString>; // name, explanation

// Each line of a list is a name and, two blanks on, its explanation; a blank line ends the list.
QList<Entry> entriesUnder(const QString& help, const QString& heading)
{
    static const QRegularExpression entry(QStringLiteral("^  (\\S+(?: \\S+)*)(?:  +(\\S.*))?$"));
    QList<Entry> entries;
    const QString list = help.section(QLatin1Char('\n') + heading + QStringLiteral(":\n"), 1)
                             .section(QStringLiteral("\n\n"), 0, 0);
    for (const QString& line : list.split(QLatin1Char('\n'), Qt::SkipEmptyParts)) {
        const QRegularExpressionMatch match = entry.match(line);
        entries.append(match.hasMatch() ? Entry{match.captured(1), match.captured(2)}
                                        : Entry{line, QString()});
    }
    return entries;
}

QString helpProblem(const QString& program, const QString& help)
{
    const QString usage = help.section(QLatin1Char('\n'), 0, 0);
    if (!usage.startsWith(QStringLiteral("usage: ") + program + QLatin1Char(' ')))
        return QStringLiteral("no usage line first");
    const QList<Entry> options = entriesUnder(help, QStringLiteral("Options"));
    const QList<Entry> statuses = entriesUnder(help, QStringLiteral("Exit status"));
    for (const Entry& entry : options + statuses)
        if (entry.second.isEmpty())
            return QStringLiteral("nothing said of '%1'").arg(entry.first);
    QString listed;
    for (const Entry& option : options)
        listed += option.first + QLatin1Char(' ');
    static const QRegularExpression name(QStringLiteral("(?<![\\w-])--?[a-z][-a-z]*"));
    for (const QRegularExpressionMatch& match : name.globalMatch(usage + " -h --help --version")) {
        const QRegularExpression line(QStringLiteral("(^|[ ,])") +
                                      QRegularExpression::escape(match.captured()) +
                                      QStringLiteral("[ ,]"));
        if (!line.match(listed).hasMatch())
            return QStringLiteral("no line for %1 among the options").arg(match.captured());
    }
    static const QRegularExpression number(QStringLiteral("^\\d+$"));
    if (statuses.isEmpty() || statuses.first().first != QStringLiteral("0"))
        return QStringLiteral("the exit statuses do not begin with 0");
    for (const Entry& status : statuses)
        if (!number.match(status.first).hasMatch())
            return QStringLiteral("'%1' is no exit status").arg(status.first);
    return {};
}

} // namespace

void addInfoOptionRows()
{
    QTest::addColumn<QString>("option");
    for (const char* option : {"--help", "-h", "--version"})
        QTest::newRow(option) << QString::fromLatin1(option);
}

QString infoOptionProblem(const QString& program, const QString& option, const QByteArray& out)
{
    const QString text = QString::fromUtf8(out);
    const QString problem = option == QStringLiteral("--version")
                                ? versionProblem(program, text.split(QLatin1Char('\n')))
                                : helpProblem(program, text);
    return problem.isEmpty() ? problem : problem + QStringLiteral(" in:\n") + text;
}

QStringList helpEntries(const QString& help, const QString& heading)
{
    QStringList names;
    for (const Entry& entry : entriesUnder(help, heading))
        names << entry.first;
    return names;
}

} // namespace senrokan::test
