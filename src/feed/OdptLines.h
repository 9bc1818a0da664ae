// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "OdptApi.h"

#include <QByteArray>
#include <QList>
#include <QString>

#include <optional>

namespace senrokan
{

// A railway line as ODPT names it.
struct OdptLine {
    QString id;           // odpt.Railway:TokyoMetro.Ginza
    QString operatorId;   // odpt.Operator:TokyoMetro
    QString operatorName; // 東京メトロ
    QString name;         // 銀座線
};

// Lines to choose from, and where they came from.
struct OdptLineList {
    QList<OdptLine> lines;
    // Why the list shipped with the program stands in for the API's; empty when the lines are
    // the API's own.
    QString shippedBecause;
};

// An operator's id in full: "Toei" is "odpt.Operator:Toei"; empty stays empty.
QString odptOperatorId(const QString& text);
// The operator of a railway by ODPT's naming (odpt.Railway:Toei.Asakusa is Toei's): its
// operator id; empty for an id not named so.
QString odptOperatorOf(const QString& railwayId);

// The lines of the API's odpt:Railway answer, named with the Japanese titles of its odpt:Railway
// and odpt:Operator answers (the id's own parts where a title is missing), titles and ids folded
// as reasons are (foldName); none, with why, when either is not a JSON array or holds more arrays,
// objects or values than any real list, which are counted before it is parsed.
std::optional<QList<OdptLine>> parseOdptLines(const QByteArray& railways,
                                              const QByteArray& operators, QString* why);
// The Tokyo-area lines shipped with the program, from ODPT's public identifiers as captured in
// 2017-2024; read at each call, so a program that never asks keeps none of it.
QList<OdptLine> shippedOdptLines();

// The lines of operator (an id, full or short); all when it is empty.
QList<OdptLine> operatorLines(const QList<OdptLine>& lines, const QString& operatorId);
// The lines whose name, operator or id holds query, found as a match word is (letter case,
// width and hiragana against katakana ignored), or whose id reads as the query's kana in
// romaji: 銀座, Ginza and ぎんざ all find 銀座線. An empty query finds all.
QList<OdptLine> findOdptLines(const QList<OdptLine>& lines, const QString& query);
// The line with the id among lines; a line made of the id alone when none is (named after the
// id's last part): an id no list knows is still a line. None for an id not named
// odpt.Railway:<operator>.<line>.
std::optional<OdptLine> odptLine(const QList<OdptLine>& lines, const QString& id);

} // namespace senrokan
