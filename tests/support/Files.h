// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// Files of a test: settings fixtures from tests/data, bytes read and written whole, a folder's
// contents, and a temporary folder made the current one (the program reads its settings there).
#include <QByteArray>
#include <QDir>
#include <QFile>
#include <QMap>
#include <QString>
#include <QTemporaryDir>

namespace senrokan::test
{

using Files = QMap<QString, QByteArray>; // file name: bytes

inline QByteArray fixture(const QString& name)
{
    QFile file(QStringLiteral(SENROKAN_TEST_DATA "/settings/") + name);
    if (!file.open(QIODevice::ReadOnly))
        qFatal("missing fixture %s", qPrintable(name));
    return file.readAll();
}

inline QByteArray readBytes(const QString& path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

inline void writeBytes(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(bytes) != bytes.size())
        qFatal("cannot write %s", qPrintable(path));
}

// The files of a folder, hidden ones included, with their bytes.
inline Files filesIn(const QString& dir)
{
    Files files;
    for (const QString& name : QDir(dir).entryList(QDir::Files | QDir::Hidden))
        files.insert(name, readBytes(QDir(dir).filePath(name)));
    return files;
}

// A temporary folder that is the current one for as long as it lives.
class CurrentFolder
{
public:
    CurrentFolder() : m_previous(QDir::currentPath()) { m_valid = QDir::setCurrent(m_dir.path()); }
    ~CurrentFolder() { QDir::setCurrent(m_previous); }
    CurrentFolder(const CurrentFolder&) = delete;
    CurrentFolder& operator=(const CurrentFolder&) = delete;

    bool isValid() const { return m_valid; }
    QString path() const { return m_dir.path(); }
    QString filePath(const QString& name) const { return m_dir.filePath(name); }

private:
    QString m_previous;
    QTemporaryDir m_dir;
    bool m_valid = false;
};

} // namespace senrokan::test
