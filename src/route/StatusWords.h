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
