// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "StatusDecision.h"

#include "base/Failure.h"
#include "calendar/TimeWindow.h"
#include "codec/JsonEscapes.h"
#include "codec/MarkupText.h"
#include "codec/TextSearch.h"
#include "route/Reason.h"

namespace senrokan
{

namespace
{

bool hoursSet(const RouteDefinition& route)
{
    return !route[ValidFrom].isEmpty() && !route[ValidTo].isEmpty();
}

bool readsAsTime(const QString& text)
{
    try {
        parseTimeOfDay(text);
        return true;
    } catch (const Failure&) {
        return false;
    }
}

// The text the match word is looked for in.
QString searchedText(const QString& pageText, PageForm form)
{
    return form == PageForm::Json ? decodeJsonEscapes(pageText) : pageText;
}

// Positions from 1: where SubtitleStart begins and ends, and where the section's end begins
// (the page's end without SubtitleEnd). A section start missing from the page gives from = 0
// and nothing more: there is no section to search.
struct Section {
    qsizetype from = 0;
    qsizetype startEnd = 0;
    qsizetype to = 0;
};

Section sectionOf(const RouteDefinition& route, const TextSearch& page, qsizetype size)
{
    Section section;
    section.from = page.find(route[SubtitleStart], 1, &section.startEnd);
    if (section.from == 0)
        return section;
    const QString& end = route[SubtitleEnd];
    section.to = end.isEmpty() ? size : page.find(end, section.from);
    return section;
}

} // namespace

bool outOfHours(const RouteDefinition& route, QTime now)
{
    const QString& from = route[ValidFrom];
    const QString& to = route[ValidTo];
    return hoursSet(route) && readsAsTime(from) && readsAsTime(to) &&
           InTimeWindow(from, to, now) == -1;
}

QString validHoursProblem(const RouteDefinition& route)
{
    if (!hoursSet(route))
        return {};
    QStringList problems;
    for (const auto& [field, name] : {std::pair{ValidFrom, "ValidFrom"}, {ValidTo, "ValidTo"}}) {
        if (!readsAsTime(route[field]))
            problems << QStringLiteral("%1「%2」を時刻として読めません")
                            .arg(QLatin1String(name), foldReason(route[field]));
    }
    if (problems.isEmpty())
        return {};
    return problems.join(QStringLiteral("、")) +
           QStringLiteral("（有効時間帯なしでチェックします）");
}

Verdict decideStatus(const RouteDefinition& route, const QString& pageText, QTime now,
                     PageForm form)
{
    if (outOfHours(route, now))
        return {StatusOutOfHours, {}};

    const QString& word = route[MatchWord];
    const QString text = searchedText(pageText, form);
    const TextSearch page(text);
    if (route[SubtitleStart].isEmpty())
        return {page.find(word, 1) != 0 ? StatusNormal : StatusDelayed, {}};

    // A page that no longer has the section (redesigned, or an error page) says nothing of the
    // line: the check fails and says which marker is missing.
    const auto [p1, startEnd, p2] = sectionOf(route, page, text.size());
    if (p1 == 0) {
        // Quoted short enough that the whole text stays within a reason's length.
        constexpr qsizetype QuotedMarker = 60;
        const QString marker = cutWithEllipsis(foldReason(route[SubtitleStart]), QuotedMarker);
        return Verdict::failed(
            QStringLiteral("サブタイトル「%1」がページにありません").arg(marker));
    }
    const qsizetype p3 = page.find(word, p1);
    if (p3 != 0 && p3 <= p2)
        return {StatusNormal, {}};
    // The reason needs both ends of the section on the page.
    if (route[SubtitleEnd].isEmpty() || p2 < startEnd)
        return {StatusDelayed, {}};
    const QStringView section = QStringView(text).sliced(startEnd - 1, p2 - startEnd);
    if (form == PageForm::Shown)
        return {StatusDelayed, foldReason(section)};
    // The fold stops early by itself; the source's text stops once there is enough of it.
    return {StatusDelayed, foldReason(markupText(section, 2 * MaxReasonLength))};
}

MatchCount countMatchWord(const RouteDefinition& route, const QString& pageText, PageForm form)
{
    MatchCount count{route[MatchWord], 0, !route[SubtitleStart].isEmpty(), route[SubtitleStart],
                     route[SubtitleEnd]};
    if (count.word.isEmpty())
        return count;
    const QString text = searchedText(pageText, form);
    const TextSearch page(text);
    const Section section =
        count.sectioned ? sectionOf(route, page, text.size()) : Section{1, 1, text.size()};
    if (section.from == 0)
        return count;
    qsizetype end = 0;
    for (qsizetype at = page.find(count.word, section.from, &end); at != 0 && at <= section.to;
         at = page.find(count.word, end, &end))
        ++count.count;
    return count;
}

bool pageHolds(const QString& pageText, const QString& text, PageForm form)
{
    return TextSearch(searchedText(pageText, form)).find(text, 1) != 0;
}

QString matchCountNotice(const MatchCount& count)
{
    const QString where = count.sectioned ? QStringLiteral("区間") : QStringLiteral("ページ");
    if (count.count == 0)
        return QStringLiteral("「%1」は%2にありません。").arg(count.word, where);
    QString notice = QStringLiteral("「%1」が%2に%3回あります。")
                         .arg(count.word, where, QString::number(count.count));
    if (count.count > 1 && !count.sectioned)
        notice += QStringLiteral("別の路線の行かもしれません。区間の始まりと終わりを"
                                 "「サブタイトル」の2つの欄に設定してください。");
    return notice;
}

} // namespace senrokan
