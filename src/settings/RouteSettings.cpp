// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "RouteSettings.h"

#include "feed/OdptApi.h"
#include "feed/OdptLines.h"
#include "platform/FolderLock.h"
#include "platform/LocalFiles.h"
#include "route/RouteAddress.h"

#include <QFile>

namespace senrokan
{

namespace
{

const QString NormalWord = QStringLiteral("平常");

// The file at path as it is, to be put back; none when nothing is there.
std::optional<QByteArray> fileBytes(const QString& path)
{
    QFile file;
    if (platform::openOwnFile(file, path) != platform::FileTrust::Own)
        return std::nullopt;
    return file.readAll();
}

void putBack(const QString& path, const std::optional<QByteArray>& bytes)
{
    if (bytes)
        platform::writeOwnFile(path, *bytes, platform::NewFileAccess::UserOnly);
    else
        QFile::remove(path);
}

} // namespace

RouteSettings::RouteSettings(const QString& dir, QObject* parent)
    : QObject(parent), m_companion(dir)
{
    for (auto& route : m_routes)
        route[PortNumber] = DefaultPortText;
}

QString RouteSettings::routeField(int route, int element) const
{
    if (!isRouteIndex(route) || element < 1 || element > RouteFieldCount)
        return {};
    return m_routes.at(route)[element];
}

void RouteSettings::setRouteField(int route, int element, const QString& text)
{
    if (isRouteIndex(route) && element >= 1 && element <= RouteFieldCount)
        m_routes.at(route)[element] = text;
}

void RouteSettings::applyEditedOptions(RouteOptionsTable& options) const
{
    for (int r = 1; r <= RouteCount; ++r) {
        if (!m_heldOptions.at(r))
            continue;
        // 今日は知らせない is saved at once, whatever waits for the route's save.
        const QDateTime quietUntil = options.at(r).quietUntil;
        options.at(r) = *m_heldOptions.at(r);
        options.at(r).quietUntil = quietUntil;
    }
}

RouteOptionsTable RouteSettings::options(QStringList* problems) const
{
    CompanionValues values = m_companion.read();
    if (problems)
        *problems = values.routeProblems;
    applyEditedOptions(values.routes);
    return values.routes;
}

SettingsWrite RouteSettings::editOptions(int route, const RouteOptions& options)
{
    if (!isRouteIndex(route))
        return SettingsWrite::failed(failureDescription(FailureKind::InvalidArgument));
    // A port no connection could use is never kept.
    if (!fieldPort(options.port))
        return SettingsWrite::failed(
            QStringLiteral("ポート番号は1から65535の数で書いてください（保存しません）"));
    if (m_heldOptions.at(route)) {
        m_heldOptions.at(route) = options;
        return {};
    }
    return m_companion.saveRouteOptions(route, options);
}

void RouteSettings::useLine(int route, const OdptLine& line, const OdptAccess& access)
{
    if (!isRouteIndex(route))
        return;
    RouteDefinition& def = m_routes.at(route);
    RouteOptions options = m_heldOptions.at(route).value_or(m_companion.read().routes[route]);
    options.port = def[PortNumber];
    def[Title] = line.name;
    if (def[MatchWord].isEmpty())
        def[MatchWord] = NormalWord;
    options.feed = access.trainInformationFeed(line.operatorId);
    options.feedLine = line.id;
    options.feedKey = access.keyFor(QUrl(options.feed));
    m_heldOptions.at(route) = options;
    Q_EMIT routeReplaced(route);
}

SettingsRead RouteSettings::load(const QString& dir, const QString& path)
{
    const SettingsRead read = path.isEmpty() ? readSettings(dir) : readSettingsFile(path, dir);
    const RouteOptionsTable stored = m_companion.read().routes;
    for (int r = 1; r <= RouteCount; ++r) {
        m_heldOptions.at(r).reset();
        m_routes.at(r)[PortNumber] = stored[r].port;
    }
    if (read.complete)
        replaceBlocks(read.routes);
    else
        for (int r = 1; r <= RouteCount; ++r)
            Q_EMIT routeReplaced(r);
    m_savedBlocks = blocks();
    return read;
}

SettingsRead RouteSettings::importRailwayFile(const QString& path)
{
    const SettingsRead read = readRailwayFile(path);
    if (read.complete)
        replaceBlocks(read.routes);
    return read;
}

SettingsWrite RouteSettings::save(const QString& dir, const QString& line1,
                                  const SettingsValues& values)
{
    // A folder lost leaves no name to write to: joined to an empty one, the file would be in the
    // root.
    if (dir.isEmpty())
        return SettingsWrite::failed(failureDescription(FailureKind::CannotWrite));
    const QString path = platform::joinToDirectory(dir, SettingsFileName);
    // The options first, put back as they were when Senrokan.DEF cannot be written.
    const std::optional<QByteArray> companionBefore = fileBytes(m_companion.path());
    bool companionWritten = false;
    for (int r = 1; r <= RouteCount; ++r) {
        if (!m_heldOptions.at(r))
            continue;
        const SettingsWrite saved = m_companion.saveRouteOptions(r, *m_heldOptions.at(r));
        if (!saved.done) {
            if (companionWritten)
                putBack(m_companion.path(), companionBefore);
            return saved;
        }
        companionWritten = true;
    }
    if (const SettingsWrite written =
            writeLayoutFile(path, line1, values, blocks(), linesAfterLayout(path));
        !written.done) {
        if (companionWritten)
            putBack(m_companion.path(), companionBefore);
        return written;
    }
    for (auto& held : m_heldOptions)
        held.reset();
    m_savedBlocks = blocks();
    return {};
}

SettingsWrite RouteSettings::exportRailwayFile(const QString& path,
                                               const SettingsValues& values) const
{
    // A railway file never names another file.
    return writeLayoutFile(path, QString(), values, blocks());
}

bool RouteSettings::hasUnsavedEdits() const
{
    for (const auto& held : m_heldOptions) {
        if (held)
            return true;
    }
    return m_savedBlocks && *m_savedBlocks != blocks();
}

RouteBlocks RouteSettings::blocks() const
{
    RouteBlocks blocks;
    for (int r = 1; r <= RouteCount; ++r) {
        for (int i = 0; i < RouteBlockLines; ++i)
            blocks.at(r - 1).at(i) = m_routes.at(r)[RouteBlockElements.at(i)];
    }
    return blocks;
}

void RouteSettings::replaceBlocks(const RouteBlocks& blocks)
{
    for (int r = 1; r <= RouteCount; ++r) {
        for (int i = 0; i < RouteBlockLines; ++i)
            m_routes.at(r)[RouteBlockElements.at(i)] = blocks.at(r - 1).at(i);
        Q_EMIT routeReplaced(r);
    }
}

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
    RouteSettings routes(dir);
    const SettingsRead read = routes.load(dir);
    const QString path = platform::joinToDirectory(dir, SettingsFileName);
    const bool missing = !read.complete && read.failedFile == path && read.failedLine == 0 &&
                         read.failure == FailureKind::FileNotFound;
    if (!read.complete && !missing)
        return SettingsWrite::failed(read.failureText());
    if (!read.priorityName.isEmpty())
        return SettingsWrite::failed(
            QStringLiteral("路線は優先鉄道ファイル %1 から読まれます。そのファイルを読み出して"
                           "から設定してください")
                .arg(read.priorityName));
    const CompanionValues stored = routes.companion().read();
    if (!stored.unreadable.isEmpty())
        return SettingsWrite::failed(stored.unreadable);
    SettingsValues values;
    read.applyNumbers(values);
    routes.useLine(route, line, stored.odpt);
    const SettingsWrite saved = routes.save(dir, QString(), values);
    if (!saved.done && saved.failure == failureDescription(FailureKind::CannotWrite))
        return SettingsWrite::failed(path + QStringLiteral(": ") + saved.failure);
    return saved;
}

} // namespace senrokan
