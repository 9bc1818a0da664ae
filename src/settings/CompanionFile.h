// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>
#include <QStringList>

#include <optional>

namespace senrokan
{

inline const QString CompanionFileName = QStringLiteral("Senrokan.ini");

// "Senrokan.ini" beside the settings file: what the 50-line layout has no room for, in UTF-8 INI
// sections. It is the user's alone (report targets hold passwords and tokens), so it is written
// readable by the user only, and under the folder's rules for the settings file. A save changes
// only the keys set: every other line, comments and keys this version does not know included,
// stays as it was. Section and key names are matched without regard to letter case.
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

    // Sets one key of the file at path, everything else in it kept; why not, as the user is
    // told, empty when it was saved.
    static QString saveValue(const QString& path, const QString& section, const QString& key,
                             const QString& value);
    // What the user is told when the file at path cannot be read.
    static QString unreadableText(const QString& path);

private:
    // Index of the section's header line, -1 when it is missing.
    qsizetype sectionLine(const QString& section) const;
    // The first line after the section's lines.
    qsizetype sectionEnd(qsizetype header) const;
    qsizetype keyLine(qsizetype header, const QString& key) const;

    QStringList m_lines;
};

} // namespace senrokan
