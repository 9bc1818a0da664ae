// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "RouteState.h"

#include <QString>
#include <QStringView>

namespace senrokan
{

// The word for each status as every place that names one shows it: 平常運転, 遅延, 接続失敗,
// 時間外, サーバ未設定, and 不明 for a route not checked yet.
QString statusWord(int status);

// The same as a sentence, for the status summary and the check's boxes: 平常運転です。 …
QString statusSentence(int status);

// What a delayed line's reason says happens to it, as the railway words it: the first found of
// 運転見合わせ, 一部運休, 運休, 運転取りやめ, 運転中止, 折り返し運転, ダイヤ乱れ and 遅延 (the
// longer word where two begin at one place); 遅延 when it names none. In the words the reason
// gives.
QString delayStateWord(QStringView reason);
// The reason with the state word it begins with, and the colon or blanks after it, left out:
// what follows a state already said.
QString reasonAfterStateWord(const QString& reason);

// The sentence of a check's box for a delayed line: 遅れがあります。, or the state its reason
// names (運転見合わせです。).
QString delaySentence(const QString& reason);

// What is said of a line that runs normally again after a delay: 平常運転に戻りました.
QString recoveryWords();

// Whether text (a reason, or a feed's state of service) names a suspension of service rather than
// a mere delay: 運転見合わせ, 運休, 一部運休, 運転取りやめ, 運転中止, 折り返し運転, as pages write
// them (運転を見合わせ…, 折返し…), and 本数削減, a GTFS-Realtime REDUCED_SERVICE.
bool namesSuspension(QStringView text);

// What the routes say together, in the one order of precedence: a delay outranks a failed check,
// which outranks everything else. StatusDelayed, StatusConnectFailed, or StatusNormal.
int overallStatus(const RouteStates& states);

} // namespace senrokan
