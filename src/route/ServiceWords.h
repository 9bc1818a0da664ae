// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QStringList>
#include <QStringView>

namespace senrokan
{

// The words with which operators say that trains do not run as timetabled, in Japanese and, as
// the start of each of their forms (delays, suspended, cancelled), in English.
inline const QStringList DelayWords = {
    QStringLiteral("遅れ"),         QStringLiteral("遅延"),         QStringLiteral("見合わせ"),
    QStringLiteral("運休"),         QStringLiteral("運転取りやめ"), QStringLiteral("運転中止"),
    QStringLiteral("折り返し運転"), QStringLiteral("ダイヤ乱れ"),   QStringLiteral("ダイヤが乱れ"),
    QStringLiteral("振替輸送"),     QStringLiteral("delay"),        QStringLiteral("suspend"),
    QStringLiteral("cancel"),       QStringLiteral("disruption")};

// The words of a suspension of service rather than a mere delay, each as operators write it: with
// and without を after 運転, the verb's kana written out or not (運休 covers 一部運休 and
// 全線運休), and 本数削減, a GTFS-Realtime REDUCED_SERVICE.
inline const QStringList SuspensionWords = {
    QStringLiteral("運転見合わせ"), QStringLiteral("運転を見合わせ"),
    QStringLiteral("運転見合せ"),   QStringLiteral("運転を見合せ"),
    QStringLiteral("運休"),         QStringLiteral("一部運休"),
    QStringLiteral("運転取りやめ"), QStringLiteral("運転を取りやめ"),
    QStringLiteral("運転取り止め"), QStringLiteral("運転を取り止め"),
    QStringLiteral("運転中止"),     QStringLiteral("運転を中止"),
    QStringLiteral("折り返し運転"), QStringLiteral("折返し運転"),
    QStringLiteral("折返運転"),     QStringLiteral("本数削減")};

// The states a delayed line is said to be in, as a tip or a box names them, a word that holds
// another before it.
inline const QStringList LineStateWords = {
    QStringLiteral("運転見合わせ"), QStringLiteral("一部運休"), QStringLiteral("運休"),
    QStringLiteral("運転取りやめ"), QStringLiteral("運転中止"), QStringLiteral("折り返し運転"),
    QStringLiteral("ダイヤ乱れ"),   QStringLiteral("遅延")};

// Whether text holds one of words, Latin letters in any case.
bool holdsAnyOf(QStringView text, const QStringList& words);

} // namespace senrokan
