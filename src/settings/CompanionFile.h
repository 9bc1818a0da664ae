// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QByteArray>
#include <QList>
#include <QString>
#include <QStringList>

#include <optional>

namespace senrokan
{

// "Senrokan.ini" beside the settings file: what the 50-line layout has no room for, in UTF-8 INI
// sections. It is the user's alone (report targets hold passwords and tokens), so it is written
// readable by the user only, and under the folder's rules for the settings file. A save changes
// only the keys set: every other line, comments, keys this version does not know and lines in
// another coding included, stays byte for byte as it was. Section and key names are matched
// without regard to letter case. Only CompanionSettings uses it.
class CompanionFile
{
public:
    // The file at path; an empty one when nothing is there, none when it is refused or cannot
    // be read.
    static std::optional<CompanionFile> read(const QString& path);

    QString value(const QString& section, const QString& key) const;
    // Sets the key, adding it at the end of its section and the section at the end of the file
    // when they are missing.
    void setValue(const QString& section, const QString& key, const QString& value);

    QByteArray bytes() const;
    // False, with the old file whole, when it cannot be written.
    bool save(const QString& path) const;

private:
    // Index of the section's header line, -1 when it is missing.
    qsizetype sectionLine(const QString& section) const;
    // The first line after the section's lines.
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype keyLine(qsizetype header, const QString& key) const;
    void insertLine(qsizetype at, const QString& line);

    QList<QByteArray> m_raw; // the lines as they came, without their '\n'
    QStringList m_lines;     // their text, read as UTF-8
    bool m_lastBreak = true; // the last line ends with a line break
};

} // namespace senrokan
