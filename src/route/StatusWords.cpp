// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "StatusWords.h"

#include "ServiceWords.h"

#include <optional>
#include <utility>

namespace senrokan
{

QString statusWord(int status)
{
    switch (status) {
    case StatusNormal:
        return QStringLiteral("平常運転");
    case StatusDelayed:
        return QStringLiteral("遅延");
    case StatusConnectFailed:
        return QStringLiteral("接続失敗");
    case StatusNoServer:
        return QStringLiteral("サーバ未設定");
    case StatusOutOfHours:
        return QStringLiteral("時間外");
    default:
        return QStringLiteral("不明");
    }
}

QString statusSentence(int status)
{
    switch (status) {
    case StatusDelayed:
        return QStringLiteral("遅れがあります。");
    case StatusConnectFailed:
        return QStringLiteral("接続失敗しました。");
    case StatusNoServer:
        return QStringLiteral("サーバが未設定です。");
    default:
        return statusWord(status) + QStringLiteral("です。");
    }
}

namespace
{

// The state word found first in reason and where, the longer at one place; none when none is.
std::optional<std::pair<qsizetype, QString>> firstStateWord(QStringView reason)
{
    std::optional<std::pair<qsizetype, QString>> first;
    for (const QString& word : LineStateWords) {
        const qsizetype at = reason.indexOf(word);
        if (at >= 0 && (!first || at < first->first))
            first = {at, word};
    }
    return first;
}

} // namespace

QString delayStateWord(QStringView reason)
{
    const auto first = firstStateWord(reason);
    return first ? first->second : statusWord(StatusDelayed);
}

QString reasonAfterStateWord(const QString& reason)
{
    const auto first = firstStateWord(reason);
    if (!first || first->first != 0)
        return reason;
    qsizetype from = first->second.size();
    while (from < reason.size() &&
           (reason.at(from) == u'：' || reason.at(from) == u':' || reason.at(from).isSpace()))
        ++from;
    return reason.mid(from);
}

QString delaySentence(const QString& reason)
{
    const QString word = delayStateWord(reason);
    return word == statusWord(StatusDelayed) ? statusSentence(StatusDelayed)
                                             : word + QStringLiteral("です。");
}

QString recoveryWords()
{
    return statusWord(StatusNormal) + QStringLiteral("に戻りました");
}

bool namesSuspension(QStringView text)
{
    return holdsAnyOf(text, SuspensionWords);
}

int overallStatus(const RouteStates& states)
{
    int overall = StatusNormal;
    for (int r = 1; r <= RouteCount; ++r) {
        if (states[r].Status == StatusDelayed)
            return StatusDelayed;
        if (states[r].Status == StatusConnectFailed)
            overall = StatusConnectFailed;
    }
    return overall;
}

} // namespace senrokan
