// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "OdptTrainInformation.h"

#include "FeedTexts.h"
#include "OdptLines.h"
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

QString statusOf(const QJsonObject& record)
{
    return languageText(record.value(u"odpt:trainInformationStatus"));
}

enum class Reading { Normal, Notice, Delay };

Reading reading(const QString& status, const QString& matchWord)
{
    // A null or blank status says nothing, as a missing one does. Every text holds the empty
    // word: without one, a status is all there is to go by.
    const QString said = status.trimmed();
    if (said.isEmpty() || (!matchWord.isEmpty() && TextSearch(status).find(matchWord, 1) != 0))
        return Reading::Normal;
    return said == feedtext::Notice ? Reading::Notice : Reading::Delay;
}

QString operatorOf(const QJsonObject& record)
{
    const QString named = record.value(u"odpt:operator").toString();
    return named.isEmpty() ? odptOperatorOf(record.value(u"odpt:railway").toString()) : named;
}

QDateTime dateOf(const QJsonObject& record)
{
    return QDateTime::fromString(record.value(u"dc:date").toString(), Qt::ISODateWithMs);
}

// The records that speak for the line now: those of the newest dc:date; all when none is dated.
QList<QJsonObject> newestOf(const QList<QJsonObject>& records)
{
    QDateTime newest;
    for (const QJsonObject& record : records) {
        const QDateTime date = dateOf(record);
        if (date.isValid() && (!newest.isValid() || date > newest))
            newest = date;
    }
    if (!newest.isValid())
        return records;
    QList<QJsonObject> current;
    for (const QJsonObject& record : records) {
        if (dateOf(record) == newest)
            current << record;
    }
    return current;
}

// Whether operators, as a feed's address lists them, include operatorId.
bool asksFor(const QString& operators, const QString& operatorId)
{
    for (const QString& named : operators.split(u',')) {
        if (odptOperatorId(named.trimmed()) == operatorId)
            return true;
    }
    return false;
}

// The verdict on a line of which the answer has no record.
Verdict missingLine(const QJsonArray& records, const QString& line, const QString& matchWord,
                    const QString& askedOperator)
{
    const QString operatorId = odptOperatorOf(line);
    if (operatorId.isEmpty())
        return Verdict::failed(line + feedtext::LineMissing);
    // A wrong address must never read as a quiet day.
    if (!askedOperator.isEmpty() && !asksFor(askedOperator, operatorId))
        return Verdict::failed(feedtext::OtherOperatorAsked.arg(line, operatorId));
    bool ofOperator = false;
    for (const QJsonValue& value : records) {
        const QJsonObject record = value.toObject();
        if (operatorOf(record) != operatorId)
            continue;
        ofOperator = true;
        // An operator that lists its lines running normally would list this one as well.
        if (reading(statusOf(record), matchWord) == Reading::Normal)
            return Verdict::failed(line + feedtext::LineMissing);
    }
    if (!records.isEmpty() && !ofOperator)
        return Verdict::failed(feedtext::OtherOperatorsOnly.arg(operatorId));
    return {StatusNormal, {}, {}, {}, feedtext::LineNotListed.arg(line, operatorId)};
}

} // namespace

Verdict decideOdpt(const QJsonArray& records, const QString& line, const QString& matchWord,
                   const QDateTime& now, const QString& askedOperator)
{
    QList<QJsonObject> lineRecords;
    for (const QJsonValue& value : records) {
        const QJsonObject record = value.toObject();
        if (record.value(u"odpt:railway").toString() == line)
            lineRecords << record;
    }
    if (lineRecords.isEmpty())
        return missingLine(records, line, matchWord, askedOperator);

    bool delayed = false;
    FeedReasons delays;
    FeedReasons notices;
    for (const QJsonObject& record : newestOf(lineRecords)) {
        if (const std::optional<QString> stale = staleRecord(record, now))
            return Verdict::failed(*stale);
        const QString status = statusOf(record);
        const QString text = languageText(record.value(u"odpt:trainInformationText"));
        switch (reading(status, matchWord)) {
        case Reading::Normal:
            break;
        case Reading::Notice:
            notices.add(status, text);
            break;
        case Reading::Delay:
            delayed = true;
            delays.add(status, text);
            break;
        }
    }
    return feedVerdict(delayed, delays, notices);
}

} // namespace senrokan
