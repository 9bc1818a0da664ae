// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "OfficialFeed.h"

#include "FeedTexts.h"
#include "GtfsRealtimeAlerts.h"
#include "OdptTrainInformation.h"

#include <QJsonDocument>

namespace senrokan
{

Verdict decideFeed(const QByteArray& body, const QString& feedLine, const QString& matchWord,
                       const QDateTime& now)
{
    if (feedLine.trimmed().isEmpty())
        return {StatusConnectFailed, feedtext::NoLine};

    // A FeedMessage may begin with a byte that reads as a blank and then '[' too, so a body
    // that looks like a JSON array is one only once it parses as one.
    const bool bom = body.startsWith("\xEF\xBB\xBF");
    const QByteArray json = bom ? body.sliced(3) : body;
    const bool looksJson = QByteArrayView(json).trimmed().startsWith('[');
    if (looksJson) {
        const QJsonDocument document = QJsonDocument::fromJson(json);
        if (document.isArray())
            return decideOdpt(document.array(), feedLine, matchWord);
    }
    if (std::optional<Verdict> verdict = decideGtfsRealtime(body, feedLine, now))
        return *verdict;
    return {StatusConnectFailed, looksJson ? feedtext::BrokenJson : feedtext::UnknownKind};
}

} // namespace senrokan
