// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "StatusWords.h"

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

QString recoveryWords()
{
    return statusWord(StatusNormal) + QStringLiteral("に戻りました");
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
