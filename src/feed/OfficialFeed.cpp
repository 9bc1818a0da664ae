// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "OfficialFeed.h"

#include "FeedTexts.h"
#include "GtfsRealtimeAlerts.h"
#include "OdptTrainInformation.h"
#include "codec/JsonEscapes.h"

#include <QJsonDocument>
#include <QUrlQuery>

namespace senrokan
{

namespace
{

// Parsed, JSON takes up to ten times its size in tiny values and some seventy in tiny arrays. An
// operator's train information is a few hundred kilobytes at most, in a few thousand objects.
constexpr qsizetype MaxJsonBytes = 2 * 1024 * 1024;
constexpr qsizetype MaxJsonContainers = 50000;

} // namespace

Verdict decideFeed(const QByteArray& body, const QString& feedLine, const QString& matchWord,
                   const QDateTime& now, const QUrl& address)
{
    if (feedLine.trimmed().isEmpty())
        return Verdict::failed(feedtext::NoLine);

    // A FeedMessage may begin with a byte that reads as a blank and then '[' too, so a body
    // that looks like a JSON array is one only once it parses as one.
    const bool bom = body.startsWith("\xEF\xBB\xBF");
    const QByteArray json = bom ? body.sliced(3) : body;
    const bool looksJson = QByteArrayView(json).trimmed().startsWith('[');
    const bool tooLarge =
        looksJson && (json.size() > MaxJsonBytes || countJson(json).containers > MaxJsonContainers);
    if (looksJson && !tooLarge) {
        const QJsonDocument document = QJsonDocument::fromJson(json);
        if (document.isArray())
            return decideOdpt(document.array(), feedLine, matchWord, now,
                              QUrlQuery(address).queryItemValue(QStringLiteral("odpt:operator"),
                                                                QUrl::FullyDecoded));
    }
    if (std::optional<Verdict> verdict = decideGtfsRealtime(body, feedLine, now))
        return *verdict;
    if (!looksJson)
        return Verdict::failed(feedtext::UnknownKind);
    return Verdict::failed(
        tooLarge ? feedtext::JsonTooLarge.arg(MaxJsonBytes >> 20).arg(MaxJsonContainers)
                 : feedtext::BrokenJson);
}

} // namespace senrokan
