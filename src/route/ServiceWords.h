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

// Whether text holds one of words, Latin letters in any case.
bool holdsAnyOf(QStringView text, const QStringList& words);

} // namespace senrokan
