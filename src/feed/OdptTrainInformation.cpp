// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "OdptTrainInformation.h"

#include "FeedTexts.h"
#include "codec/TextSearch.h"

#include <QJsonObject>

namespace senrokan
{

Verdict decideOdpt(const QJsonArray& records, const QString& line, const QString& matchWord)
{
    bool found = false;
    bool delayed = false;
    FeedReasons reasons;
    for (const QJsonValue& value : records) {
        const QJsonObject record = value.toObject();
        if (record.value(u"odpt:railway").toString() != line)
            continue;
        found = true;
        // A null or blank status says nothing, as a missing one does.
        const QString status = languageText(record.value(u"odpt:trainInformationStatus"));
        if (status.trimmed().isEmpty() || TextSearch(status).find(matchWord, 1) != 0)
            continue;
        delayed = true;
        reasons.add(languageText(record.value(u"odpt:trainInformationText")));
    }
    if (!found)
        return {StatusConnectFailed, line + feedtext::LineMissing};
    if (!delayed)
        return {StatusNormal, {}};
    return {StatusDelayed, reasons.joined()};
}

} // namespace senrokan
