// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "SettingsFile.h"

#include "codec/Converter.h"
#include "platform/LocalFiles.h"

#include <QFile>

namespace senrokan
{

namespace
{

const QByteArray Utf8Bom("\xEF\xBB\xBF");

// The file's text: UTF-8 after a byte-order mark, else CP932.
QStringList decodeLayout(const QByteArray& bytes)
{
    const QString text = bytes.startsWith(Utf8Bom) ? QString::fromUtf8(bytes.mid(Utf8Bom.size()))
                                                   : decodeCp932(bytes);
    // CR LF is what we write; a lone LF or CR from a hand edit ends a line as well.
    QStringList lines;
    qsizetype start = 0;
    const qsizetype n = text.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = text.at(i);
        if (c != QLatin1Char('\r') && c != QLatin1Char('\n'))
            continue;
        lines.append(text.mid(start, i - start));
        if (c == QLatin1Char('\r') && i + 1 < n && text.at(i + 1) == QLatin1Char('\n'))
            ++i;
        start = i + 1;
    }
    if (start < n)
        lines.append(text.mid(start));
    return lines;
}

// The file's text, as far as the cap.
constexpr qsizetype MaxBytes = 16 * 1024 * 1024;

QByteArray encodeLayout(const QStringList& lines)
{
    const QString text = lines.join(QStringLiteral("\r\n")) + QStringLiteral("\r\n");
    QByteArray bytes;
    if (Converter(coding::Cp932).encodeExactly(text, &bytes))
        return bytes;
    return Utf8Bom + text.toUtf8();
}

// A value as one line: a line break pasted into a field would shift every later line.
QString oneLine(QString value)
{
    return value.replace(QLatin1String("\r\n"), QLatin1String(" "))
        .replace(QLatin1Char('\r'), QLatin1Char(' '))
        .replace(QLatin1Char('\n'), QLatin1Char(' '));
}

QStringList layoutLines(const QString& line1, const SettingsValues& values,
                        const RouteBlocks& routes)
{
    QStringList lines;
    lines.reserve(SettingsLineCount);
    lines << oneLine(line1) << QString::number(values.CheckIntervalMinutes)
          << QString::number(values.ResidentFlag) << QString::number(values.MelodyFlag)
          << QString::number(values.CheckOnResidentFlag);
    for (const auto& block : routes)
        for (const QString& value : block)
            lines << oneLine(value);
    return lines;
}

void markFailed(SettingsRead& result, const QString& path, FailureKind kind, int line)
{
    result.failedFile = path;
    result.failedLine = line;
    result.failure = kind;
}

// The priority file lives beside the settings file: a name that leads elsewhere is refused.
bool isBareName(const QString& name)
{
    return !name.contains(QLatin1Char('/')) && !name.contains(QLatin1Char('\\')) &&
           !name.contains(QLatin1String(".."));
}

// The file's bytes up to the end of its last layout line. What follows line 50 is never read,
// so a huge file chosen by mistake costs no memory; a line longer than any field could be is cut.
QByteArray readLayoutBytes(QFile& file)
{
    constexpr qint64 ChunkBytes = 64 * 1024;
    QByteArray bytes;
    int lineEnds = 0;
    bool afterCr = false;
    while (lineEnds < SettingsLineCount && bytes.size() < MaxBytes) {
        const QByteArray chunk = file.read(ChunkBytes);
        if (chunk.isEmpty())
            break;
        qsizetype used = 0;
        while (used < chunk.size() && lineEnds < SettingsLineCount) {
            const char c = chunk.at(used++);
            // CR, LF and CR LF each end one line.
            if (c == '\r' || (c == '\n' && !afterCr))
                ++lineEnds;
            afterCr = c == '\r';
        }
        bytes += chunk.first(used);
    }
    return bytes;
}

// Hands out the lines of one file in order; running out is a failure at that line number.
class LineReader
{
public:
    LineReader(const QString& path, SettingsRead& result) : m_path(path), m_result(result)
    {
        QFile file;
        // A link, FIFO or file planted by someone else reads like an unreadable file.
        const platform::FileTrust trust = platform::openOwnFile(file, path);
        if (trust != platform::FileTrust::Own) {
            fail(trust == platform::FileTrust::Missing ? FailureKind::FileNotFound
                                                       : FailureKind::CannotRead,
                 0);
            return;
        }
        const QByteArray bytes = readLayoutBytes(file);
        if (file.error() != QFileDevice::NoError) {
            fail(FailureKind::CannotRead, 0);
            return;
        }
        m_lines = decodeLayout(bytes);
        m_ok = true;
    }

    bool ok() const { return m_ok; }

    std::optional<QString> next()
    {
        if (!m_ok)
            return std::nullopt;
        if (m_at >= m_lines.size()) {
            fail(FailureKind::FileEndsEarly, m_at + 1);
            return std::nullopt;
        }
        return m_lines.at(m_at++);
    }

    std::optional<int> nextNumber()
    {
        const std::optional<QString> line = next();
        if (!line)
            return std::nullopt;
        bool ok = false;
        const int value = line->trimmed().toInt(&ok, 10);
        if (!ok) {
            fail(FailureKind::BadNumber, m_at);
            return std::nullopt;
        }
        return value;
    }

private:
    void fail(FailureKind kind, int line)
    {
        m_ok = false;
        markFailed(m_result, m_path, kind, line);
    }

    QString m_path;
    SettingsRead& m_result;
    QStringList m_lines;
    qsizetype m_at = 0;
    bool m_ok = false;
};

// Lines 2-50, line 1 having been taken already.
void readBody(LineReader& reader, SettingsRead& result)
{
    for (auto& number : result.numbers) {
        number = reader.nextNumber();
        if (!number)
            return;
    }
    RouteBlocks routes;
    for (auto& block : routes)
        for (QString& value : block) {
            const std::optional<QString> line = reader.next();
            if (!line)
                return;
            value = *line;
        }
    result.routes = routes;
    result.complete = true;
}

} // namespace

void SettingsRead::applyNumbers(SettingsValues& values) const
{
    int* targets[] = {&values.CheckIntervalMinutes, &values.ResidentFlag, &values.MelodyFlag,
                      &values.CheckOnResidentFlag};
    for (size_t i = 0; i < numbers.size() && numbers[i]; ++i)
        *targets[i] = *numbers[i];
}

QString SettingsRead::failureText() const
{
    const QString where =
        failedLine > 0 ? QStringLiteral("%1: %2行目").arg(failedFile).arg(failedLine) : failedFile;
    return where + QStringLiteral(": ") +
           failureDescription(failure.value_or(FailureKind::CannotRead));
}

SettingsRead readSettings(const QString& dir)
{
    return readSettingsFile(platform::joinToDirectory(dir, SettingsFileName), dir);
}

SettingsRead readSettingsFile(const QString& path, const QString& dir)
{
    SettingsRead result;
    // A process whose current directory was removed gets an empty one; joining names to it
    // would reach into the root directory.
    if (dir.isEmpty()) {
        markFailed(result, SettingsFileName, FailureKind::FileNotFound, 0);
        return result;
    }
    LineReader settings(path, result);
    const std::optional<QString> line1 = settings.next();
    if (!line1)
        return result;
    result.priorityName = *line1;
    if (line1->isEmpty()) {
        readBody(settings, result);
        return result;
    }
    const QString railwayPath = platform::joinToDirectory(dir, *line1);
    if (!isBareName(*line1)) {
        markFailed(result, railwayPath, FailureKind::CannotRead, 0);
        return result;
    }
    LineReader railway(railwayPath, result);
    if (railway.next())
        readBody(railway, result);
    return result;
}

SettingsRead readRailwayFile(const QString& path)
{
    SettingsRead result;
    LineReader railway(path, result);
    if (railway.next())
        readBody(railway, result);
    return result;
}

SettingsWrite writeLayoutFile(const QString& path, const QString& line1,
                              const SettingsValues& values, const RouteBlocks& routes,
                              const QStringList& after)
{
    if (!platform::writeOwnFile(path, encodeLayout(layoutLines(line1, values, routes) + after)))
        return SettingsWrite::failed(failureDescription(FailureKind::CannotWrite));
    return {};
}

QStringList linesAfterLayout(const QString& path)
{
    QFile file;
    if (platform::openOwnFile(file, path) != platform::FileTrust::Own)
        return {};
    return decodeLayout(file.read(MaxBytes)).mid(SettingsLineCount);
}

QString trimBlanks(const QString& text)
{
    qsizetype from = 0;
    qsizetype to = text.size();
    while (from < to && text.at(from) == QLatin1Char(' '))
        ++from;
    while (to > from && text.at(to - 1) == QLatin1Char(' '))
        --to;
    return text.mid(from, to - from);
}

} // namespace senrokan
