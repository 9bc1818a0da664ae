// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "OdptLineList.h"

#include "ByteFetcher.h"
#include "platform/MemoryTuning.h"
#include "route/MaskedUrl.h"

#include <optional>

namespace senrokan
{

namespace
{

// The whole railway list of every operator is a few megabytes, with each line's stations.
constexpr qsizetype MaxListBytes = 16 * 1024 * 1024;

// The body of a list the API answered with, or why there is none.
std::optional<QByteArray> fetchList(ByteFetcher& fetcher, const QUrl& url, int timeoutMs,
                                    QString* why)
{
    const FetchedPage page = fetcher.fetchPage(url, timeoutMs, MaxListBytes);
    if (page.statusCode == 200 && !page.tooLarge)
        return page.body;
    if (page.tooLarge)
        *why = QStringLiteral("ODPTのAPIの答えが大きすぎます");
    else if (page.statusCode == 401 || page.statusCode == 403)
        // What a user can do about it: the key is had by registering with ODPT.
        *why = QStringLiteral("ODPTのAPIが断りました（HTTP %1）。コンシューマキーがないか、"
                              "違います。キーはODPTの開発者サイト（developer.odpt.org）で"
                              "登録すると得られます")
                   .arg(page.statusCode);
    else if (page.statusCode != 0)
        *why = QStringLiteral("ODPTのAPIが断りました（HTTP %1）").arg(page.statusCode);
    else
        // The client's words may quote the address, consumer key and all.
        *why = QStringLiteral("ODPTのAPIに届きません（%1）").arg(urlsMaskedIn(page.failureDetail));
    return std::nullopt;
}

std::optional<QList<OdptLine>> liveLines(const OdptAccess& access, const QString& operatorId,
                                         int timeoutMs, QString* why)
{
    if (!access.namesServer()) {
        *why = OdptBaseWithoutServer;
        return std::nullopt;
    }
    ByteFetcher fetcher;
    QList<std::pair<QString, QString>> query;
    if (!operatorId.isEmpty())
        query.append({QStringLiteral("odpt:operator"), operatorId});
    const std::optional<QByteArray> railways =
        fetchList(fetcher, access.request(QStringLiteral("odpt:Railway"), query), timeoutMs, why);
    if (!railways)
        return std::nullopt;
    const std::optional<QByteArray> operators =
        fetchList(fetcher, access.request(QStringLiteral("odpt:Operator")), timeoutMs, why);
    if (!operators)
        return std::nullopt;
    return parseOdptLines(*railways, *operators, why);
}

} // namespace

OdptLineList readOdptLines(const OdptAccess& access, const QString& operatorId, int timeoutMs)
{
    const QString id = odptOperatorId(operatorId);
    OdptLineList list;
    std::optional<QList<OdptLine>> lines = liveLines(access, id, timeoutMs, &list.shippedBecause);
    // The API's answers and their parse are tens of thousands of small blocks.
    platform::returnFreedHeap();
    // The API filters by operator too, but a server that does not is held to it here.
    list.lines = operatorLines(lines ? *lines : shippedOdptLines(), id);
    return list;
}

} // namespace senrokan
