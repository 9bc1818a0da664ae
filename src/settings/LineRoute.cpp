// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "LineRoute.h"

#include "CompanionSettings.h"
#include "SettingsFile.h"
#include "platform/FolderLock.h"
#include "platform/LocalFiles.h"

namespace senrokan
{

SettingsWrite useLineInFolder(const QString& dir, int route, const OdptLine& line)
{
    if (!isRouteIndex(route))
        return SettingsWrite::failed(failureDescription(FailureKind::InvalidArgument));
    // Held until both files are written, so that the program cannot start in between.
    platform::FolderLock lock(dir);
    if (lock.tryHold() == platform::FolderLock::Outcome::HeldElsewhere)
        return SettingsWrite::failed(
            QStringLiteral("Senrokan がこのフォルダ（%1）を使っています。Senrokan を終了して"
                           "からもう一度どうぞ（終了のとき Senrokan.DEF が書き直されます）")
                .arg(dir));
    const QString path = platform::joinToDirectory(dir, SettingsFileName);
    const SettingsRead read = readSettings(dir);
    const bool missing = !read.complete && read.failedFile == path && read.failedLine == 0 &&
                         read.failure == FailureKind::FileNotFound;
    if (!read.complete && !missing) {
        const QString where =
            read.failedLine > 0
                ? QStringLiteral("%1: %2行目").arg(read.failedFile).arg(read.failedLine)
                : read.failedFile;
        return SettingsWrite::failed(where + QStringLiteral(": ") +
                                     failureDescription(*read.failure));
    }
    if (!read.priorityName.isEmpty())
        return SettingsWrite::failed(
            QStringLiteral("路線は優先鉄道ファイル %1 から読まれます。そのファイルを読み出して"
                           "から設定してください")
                .arg(read.priorityName));

    SettingsValues values;
    read.applyNumbers(values);
    RouteBlocks blocks = read.complete ? read.routes : RouteBlocks();
    auto& block = blocks.at(route - 1);
    RouteDefinition def;
    for (int i = 0; i < RouteBlockLines; ++i)
        def[RouteBlockElements.at(i)] = block.at(i);
    const CompanionSettings companion(dir);
    const CompanionValues stored = companion.read();
    if (!stored.unreadable.isEmpty())
        return SettingsWrite::failed(stored.unreadable);
    RouteOptions options = stored.routes[route];
    useOdptLine(line, stored.odpt, def, options);
    for (int i = 0; i < RouteBlockLines; ++i)
        block.at(i) = def[RouteBlockElements.at(i)];
    try {
        writeLayoutFile(path, QString(), values, blocks);
    } catch (const Failure& failure) {
        return SettingsWrite::failed(path + QStringLiteral(": ") + failure.description());
    }
    return companion.saveRouteOptions(route, options);
}

} // namespace senrokan
