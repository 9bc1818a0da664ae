// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "CompanionFile.h"

#include "platform/LocalFiles.h"

#include <QFile>

namespace senrokan
{

namespace
{

// A file past this is not ours to read into memory.
constexpr qint64 MaxBytes = 1 << 20;

bool isHeader(const QString& line)
{
    const QString t = line.trimmed();
    return t.startsWith(u'[') && t.endsWith(u']');
}

QString headerName(const QString& line)
{
    const QString t = line.trimmed();
    return t.mid(1, t.size() - 2).trimmed();
}

// The key of a "key=value" line; empty for comments and other lines.
QString lineKey(const QString& line)
{
    const QString t = line.trimmed();
    if (t.startsWith(u';') || t.startsWith(u'#'))
        return {};
    const qsizetype eq = t.indexOf(u'=');
    return eq <= 0 ? QString() : t.left(eq).trimmed();
}

} // namespace

std::optional<CompanionFile> CompanionFile::read(const QString& path)
{
    QFile file;
    switch (platform::openOwnFile(file, path)) {
    case platform::FileTrust::Missing:
        return CompanionFile();
    case platform::FileTrust::Refused:
        return std::nullopt;
    case platform::FileTrust::Own:
        break;
    }
    QByteArray bytes = file.read(MaxBytes + 1);
    if (bytes.size() > MaxBytes || file.error() != QFileDevice::NoError)
        return std::nullopt;
    if (bytes.startsWith("\xEF\xBB\xBF"))
        bytes.remove(0, 3);
    CompanionFile companion;
    QString text = QString::fromUtf8(bytes);
    text.replace(QLatin1String("\r\n"), QLatin1String("\n"));
    companion.m_lines = text.split(u'\n');
    if (companion.m_lines.size() > 0 && companion.m_lines.last().isEmpty())
        companion.m_lines.removeLast();
    return companion;
}

qsizetype CompanionFile::sectionLine(const QString& section) const
{
    for (qsizetype i = 0; i < m_lines.size(); ++i) {
        if (isHeader(m_lines.at(i)) &&
            headerName(m_lines.at(i)).compare(section, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

qsizetype CompanionFile::sectionEnd(qsizetype header) const
{
    qsizetype i = header + 1;
    while (i < m_lines.size() && !isHeader(m_lines.at(i)))
        ++i;
    return i;
}

qsizetype CompanionFile::keyLine(qsizetype header, const QString& key) const
{
    if (header < 0)
        return -1;
    const qsizetype end = sectionEnd(header);
    for (qsizetype i = header + 1; i < end; ++i) {
        if (lineKey(m_lines.at(i)).compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

QString CompanionFile::value(const QString& section, const QString& key) const
{
    const qsizetype line = keyLine(sectionLine(section), key);
    if (line < 0)
        return {};
    const QString& text = m_lines.at(line);
    return text.mid(text.indexOf(u'=') + 1).trimmed();
}

void CompanionFile::setValue(const QString& section, const QString& key, const QString& value)
{
    // A line break would end the value early and start a line of its own.
    QString flat = value;
    flat.replace(u'\r', u' ').replace(u'\n', u' ');
    const QString line = key + u'=' + flat;
    qsizetype header = sectionLine(section);
    if (header < 0) {
        if (!m_lines.isEmpty() && !m_lines.last().trimmed().isEmpty())
            m_lines.append(QString());
        m_lines.append(u'[' + section + u']');
        header = m_lines.size() - 1;
    }
    if (const qsizetype at = keyLine(header, key); at >= 0) {
        m_lines[at] = line;
        return;
    }
    // After the section's last non-blank line, so that a blank line before the next header stays.
    qsizetype at = sectionEnd(header);
    while (at - 1 > header && m_lines.at(at - 1).trimmed().isEmpty())
        --at;
    m_lines.insert(at, line);
}

QByteArray CompanionFile::bytes() const
{
    QByteArray out;
    for (const QString& line : m_lines)
        out += line.toUtf8() + '\n';
    return out;
}

bool CompanionFile::save(const QString& path) const
{
    return platform::writeOwnFile(path, bytes(), platform::NewFileAccess::UserOnly);
}

QString CompanionFile::saveValue(const QString& path, const QString& section, const QString& key,
                                 const QString& value)
{
    std::optional<CompanionFile> file = read(path);
    if (!file)
        return unreadableText(path);
    file->setValue(section, key, value);
    if (!file->save(path))
        return QStringLiteral("%1 に書き込めません").arg(path);
    return {};
}

QString CompanionFile::unreadableText(const QString& path)
{
    return QStringLiteral("%1 を読めません").arg(path);
}

} // namespace senrokan
