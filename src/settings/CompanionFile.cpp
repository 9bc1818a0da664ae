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
    const QByteArray bytes = file.read(MaxBytes + 1);
    if (bytes.size() > MaxBytes || file.error() != QFileDevice::NoError)
        return std::nullopt;
    // Lines are kept as they came, so a save writes back byte for byte whatever it does not set,
    // a line in another coding or with its own line end included; only their text is read.
    CompanionFile companion;
    companion.m_raw = bytes.split('\n');
    if (companion.m_raw.last().isEmpty())
        companion.m_raw.removeLast();
    else
        companion.m_lastBreak = false;
    for (qsizetype i = 0; i < companion.m_raw.size(); ++i) {
        QByteArray line = companion.m_raw.at(i);
        if (i == 0 && line.startsWith("\xEF\xBB\xBF"))
            line.remove(0, 3);
        companion.m_lines.append(QString::fromUtf8(line));
    }
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
            insertLine(m_lines.size(), QString());
        insertLine(m_lines.size(), u'[' + section + u']');
        header = m_lines.size() - 1;
    }
    if (const qsizetype at = keyLine(header, key); at >= 0) {
        // The line keeps its own line end.
        const bool cr = m_raw.at(at).endsWith('\r');
        m_lines[at] = line;
        m_raw[at] = line.toUtf8() + (cr ? "\r" : "");
        return;
    }
    // After the section's last non-blank line, so that a blank line before the next header stays.
    qsizetype at = sectionEnd(header);
    while (at - 1 > header && m_lines.at(at - 1).trimmed().isEmpty())
        --at;
    insertLine(at, line);
}

void CompanionFile::insertLine(qsizetype at, const QString& line)
{
    // New lines end as the file's first line does, so a file kept with CR LF stays so.
    const bool cr = !m_raw.isEmpty() && m_raw.first().endsWith('\r');
    m_lines.insert(at, line);
    m_raw.insert(at, line.toUtf8() + (cr ? "\r" : ""));
    if (at == m_raw.size() - 1)
        m_lastBreak = true;
}

QByteArray CompanionFile::bytes() const
{
    QByteArray out = m_raw.join('\n');
    if (!m_raw.isEmpty() && m_lastBreak)
        out += '\n';
    return out;
}

bool CompanionFile::save(const QString& path) const
{
    return platform::writeOwnFile(path, bytes(), platform::NewFileAccess::UserOnly);
}

} // namespace senrokan
