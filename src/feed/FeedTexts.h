// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteState.h"

#include <QDateTime>
#include <QJsonValue>
#include <QString>
#include <QStringList>
#include <QStringView>

#include <optional>

namespace senrokan
{

// Whether a language tag names Japanese as it is written ("ja", "ja-JP"), not a kana reading of
// it ("ja-Hrkt", which ODPT gives beside names).
bool isJapaneseTag(QStringView tag);

// A text given plainly or as a language map ({"ja": …, "en": …}): Japanese, else English, else
// the first (JSON objects have no order of their own; Qt's is by key).
QString languageText(const QJsonValue& value);

// The reasons a feed gives for a line's delay, from several records or alerts: each folded,
// blanks and repeats dropped (one text per direction is common), in the feed's order.
class FeedReasons
{
public:
    // One record's or alert's reason: the state of service the feed gives (運転見合わせ, 運休…),
    // a full-width colon and its text; either alone when the other is empty, and the text alone
    // when it starts with the state. A suspension then never reads as a mere delay.
    void add(const QString& state, const QString& text);
    // more's texts after these.
    void append(const FeedReasons& more);
    // The texts joined with " / " and folded, so that the whole stays within bounds.
    QString joined() const;

private:
    void keep(const QString& folded);

    QStringList m_texts;
    qsizetype m_length = 0;
};

// The verdict on a line of what its feed says of it: delayed or not, the delays' reasons and the
// notices. A delay's reason leads, the notices follow it; either way the notices are kept.
Verdict feedVerdict(bool delayed, FeedReasons delays, const FeedReasons& notices);

// Why data whose time, given by the feed's field of that name, lies more than an hour before now
// says nothing of the line now; none when it is not that old. until: the time is when the data
// stops holding, else when it was made. The reason names the field and shows the time, with its
// date unless that is now's, so that a clock set far off is seen for what it is.
std::optional<QString> staleData(const QDateTime& time, QStringView field, bool until,
                                 const QDateTime& now);

// The texts a feed's verdict can carry: the state of a notice that names none of its own (what
// ODPT's operators call theirs), why a line left out reads as normal, and the failures.
namespace feedtext
{
inline const QString Notice = QStringLiteral("お知らせ");
// With the line's id and its operator's.
inline const QString LineNotListed =
    QStringLiteral("%1 はフィードにありません。%2 は平常の路線を載せていない（異常のある路線だけを"
                   "載せる）ので、平常運転とします");
inline const QString NoLine = QStringLiteral("路線IDが未設定です");
inline const QString UnknownKind =
    QStringLiteral("フィードを読めません（ODPTのJSON配列でもGTFS-Realtimeでもありません）");
inline const QString BrokenJson = QStringLiteral("フィードのJSONが壊れています");
// The line's id, then this: the id is wrong or the operator dropped the line.
inline const QString LineMissing = QStringLiteral(" はフィードにありません");
// With the line's id and its operator's: the address asks for others (the address is never
// quoted, as it may hold the consumer key).
inline const QString OtherOperatorAsked =
    QStringLiteral("フィードのアドレスの odpt:operator が %1 の事業者（%2）ではありません");
// With the line's operator.
inline const QString OtherOperatorsOnly =
    QStringLiteral("フィードにはほかの事業者の情報だけがあり、%1 の情報がありません");
// With the bound in MiB.
inline const QString TooLarge = QStringLiteral("フィードが大きすぎます（%1 MiBまで）");
// With the bounds in MiB and in arrays and objects.
inline const QString JsonTooLarge =
    QStringLiteral("フィードのJSONが大きすぎます（%1 MiB、配列とオブジェクト%2個まで）");
inline const QString AlertTooLarge = QStringLiteral("フィードに大きすぎるアラートがあります");
} // namespace feedtext

} // namespace senrokan
