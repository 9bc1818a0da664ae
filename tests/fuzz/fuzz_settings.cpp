// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The settings reader on whole files: the input is cut at a NUL byte into Senrokan.DEF and a
// railway file "rail.DEF" beside it, which line 1 may name as the priority file. A complete
// read must survive being written and read again.
#include "FuzzInput.h"

#include "settings/SettingsFile.h"

#include <QFile>
#include <QTemporaryDir>

using namespace senrokan;

namespace
{

void put(const QString& path, const QByteArray& bytes)
{
    QFile file(path);
    if (file.open(QIODevice::WriteOnly | QIODevice::Truncate))
        file.write(bytes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static QTemporaryDir dir;
    const QList<QByteArray> p = fuzz::parts(fuzz::bytesOf(data, size), 2);
    put(dir.filePath(SettingsFileName), p[0]);
    put(dir.filePath(QStringLiteral("rail.DEF")), p[1]);

    readRailwayFile(dir.filePath(QStringLiteral("rail.DEF")));
    const SettingsRead read = readSettings(dir.path());
    if (!read.complete) {
        fuzz::require(read.failure.has_value());
        return 0;
    }
    SettingsValues values;
    read.applyNumbers(values);
    const QString copy = dir.filePath(QStringLiteral("copy.DEF"));
    fuzz::require(writeLayoutFile(copy, QString(), values, read.routes).done);
    const SettingsRead again = readSettingsFile(copy, dir.path());
    fuzz::require(again.complete);
    fuzz::require(again.routes == read.routes);
    fuzz::require(again.numbers == read.numbers);
    return 0;
}
