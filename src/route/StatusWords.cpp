// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "StatusWords.h"

namespace senrokan
{

namespace
{

// The words of a suspension, each as operators write it: with and without を after 運転, the verb's
// kana written out or not. 運休 covers 一部運休 and 全線運休.
const QStringView SuspensionWords[] = {
    u"運転見合わせ", u"運転を見合わせ", u"運転見合せ",   u"運転を見合せ",
    u"運休",         u"一部運休",       u"運転取りやめ", u"運転を取りやめ",
    u"運転取り止め", u"運転を取り止め", u"運転中止",     u"運転を中止",
    u"折り返し運転", u"折返し運転",     u"折返運転",     u"本数削減",
};

} // namespace

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

bool namesSuspension(QStringView text)
{
    for (const QStringView word : SuspensionWords)
        if (text.contains(word))
            return true;
    return false;
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
