// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "FeedTexts.h"

#include "route/Reason.h"

#include <QJsonObject>
#include <QTimeZone>

namespace senrokan
{

bool isJapaneseTag(QStringView tag)
{
    const QStringView primary = tag.left(tag.indexOf(u'-'));
    if (primary.compare(u"ja", Qt::CaseInsensitive) != 0)
        return false;
    if (primary.size() == tag.size())
        return true;
    const QStringView script = tag.sliced(3).left(4);
    for (const char16_t* kana : {u"hrkt", u"kana", u"hira"}) {
        if (script.compare(kana, Qt::CaseInsensitive) == 0)
            return false;
    }
    return true;
}

QString languageText(const QJsonValue& value)
{
    if (!value.isObject())
        return value.toString();
    const QJsonObject map = value.toObject();
    QString english;
    QString first;
    bool hasFirst = false;
    for (auto it = map.constBegin(); it != map.constEnd(); ++it) {
        if (!it->isString())
            continue;
        if (isJapaneseTag(it.key()))
            return it->toString();
        if (it.key().compare(u"en", Qt::CaseInsensitive) == 0)
            english = it->toString();
        if (!hasFirst)
            first = it->toString();
        hasFirst = true;
    }
    return english.isEmpty() ? first : english;
}

void FeedReasons::add(const QString& state, const QString& text)
{
    // Past the bound nothing more would show.
    if (m_length > MaxReasonLength)
        return;
    const QString said = foldReason(state);
    const QString told = foldReason(text);
    const QString folded = told.startsWith(said) ? told
                           : told.isEmpty()      ? said
                                                 : foldReason(said + u'：' + told);
    keep(folded);
}

void FeedReasons::append(const FeedReasons& more)
{
    for (const QString& text : more.m_texts) {
        if (m_length > MaxReasonLength)
            return;
        keep(text);
    }
}

void FeedReasons::keep(const QString& folded)
{
    if (folded.isEmpty() || m_texts.contains(folded))
        return;
    m_texts << folded;
    m_length += folded.size() + 3;
}

Verdict feedVerdict(bool delayed, FeedReasons delays, const FeedReasons& notices)
{
    const QString notice = notices.joined();
    if (!delayed)
        return {StatusNormal, {}, {}, notice};
    delays.append(notices);
    return {StatusDelayed, delays.joined(), {}, notice};
}

std::optional<QString> staleData(const QDateTime& time, QStringView field, bool until,
                                 const QDateTime& now)
{
    constexpr qint64 Hour = 3600;
    if (time.secsTo(now) <= Hour)
        return std::nullopt;
    const QDateTime shown = time.toTimeZone(now.timeZone());
    const QString when = shown.toString(
        shown.date() == now.date() ? QStringLiteral("HH:mm") : QStringLiteral("yyyy-MM-dd HH:mm"));
    return QStringLiteral("情報が古い（%1 %2%3）")
        .arg(field, when, until ? QStringLiteral("まで") : QStringLiteral("時点"));
}

QString FeedReasons::joined() const
{
    return foldReason(m_texts.join(QStringLiteral(" / ")));
}

} // namespace senrokan
