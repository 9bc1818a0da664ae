// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "OdptTrainInformation.h"

#include "FeedTexts.h"
#include "codec/TextSearch.h"

#include <QJsonObject>

namespace senrokan
{

namespace
{

// A record's data too old to tell of the line now; a record without its times is today's.
std::optional<QString> staleRecord(const QJsonObject& record, const QDateTime& now)
{
    for (const auto& [field, until] : {std::pair{u"dct:valid", true}, {u"dc:date", false}}) {
        const QDateTime time =
            QDateTime::fromString(record.value(field).toString(), Qt::ISODateWithMs);
        if (time.isValid())
            return staleData(time, field, until, now);
    }
    return std::nullopt;
}

} // namespace

Verdict decideOdpt(const QJsonArray& records, const QString& line, const QString& matchWord,
                   const QDateTime& now)
{
    bool found = false;
    bool delayed = false;
    FeedReasons reasons;
    for (const QJsonValue& value : records) {
        const QJsonObject record = value.toObject();
        if (record.value(u"odpt:railway").toString() != line)
            continue;
        found = true;
        if (const std::optional<QString> stale = staleRecord(record, now))
            return Verdict::failed(*stale);
        // A null or blank status says nothing, as a missing one does. Every text holds the empty
        // word: without one, a status is all there is to go by.
        const QString status = languageText(record.value(u"odpt:trainInformationStatus"));
        if (status.trimmed().isEmpty() ||
            (!matchWord.isEmpty() && TextSearch(status).find(matchWord, 1) != 0))
            continue;
        delayed = true;
        reasons.add(status, languageText(record.value(u"odpt:trainInformationText")));
    }
    if (!found)
        return Verdict::failed(line + feedtext::LineMissing);
    if (!delayed)
        return {StatusNormal, {}};
    return {StatusDelayed, reasons.joined()};
}

} // namespace senrokan
