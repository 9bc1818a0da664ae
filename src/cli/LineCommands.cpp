// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "LineCommands.h"

#include "check/OdptLineList.h"
#include "route/MaskedUrl.h"
#include "settings/CompanionSettings.h"
#include "settings/RouteSettings.h"

#include <algorithm>

namespace senrokan
{

namespace
{

constexpr int ExitFiles = 3;
constexpr int ExitUsage = 64;

const QString ShippedNote =
    QStringLiteral("。同梱の路線一覧（2017〜2024年の記録、東京周辺）を使います");

OdptLineList lines(const OdptAccess& access, const QString& operatorId, CommandOutcome& outcome)
{
    OdptLineList list = readOdptLines(access, operatorId);
    if (!list.shippedBecause.isEmpty())
        outcome.told << list.shippedBecause + ShippedNote;
    return list;
}

} // namespace

CommandOutcome listLines(const QString& dir, const QString& operatorId)
{
    CommandOutcome outcome;
    const QList<OdptLine> found =
        lines(CompanionSettings(dir).read().odpt, operatorId, outcome).lines;
    // Names come folded onto one line: none breaks the columns.
    for (const OdptLine& line : found)
        outcome.out += line.id + u'\t' + line.operatorName + u'\t' + line.name + u'\n';
    if (found.isEmpty())
        outcome.told << QStringLiteral("路線一覧に路線がありません");
    return outcome;
}

CommandOutcome useLine(const QString& dir, int route, const QString& id)
{
    CommandOutcome outcome;
    const QString operatorId = odptOperatorOf(id);
    if (operatorId.isEmpty()) {
        outcome.exit = ExitUsage;
        outcome.told << QStringLiteral("%1 は odpt.Railway:事業者.路線 の形ではありません").arg(id);
        return outcome;
    }
    const OdptAccess access = CompanionSettings(dir).read().odpt;
    // The route's feed would be read at an address without a host.
    if (!access.namesServer()) {
        outcome.exit = ExitFiles;
        outcome.told << OdptBaseWithoutServer;
        return outcome;
    }
    const QList<OdptLine> known = lines(access, operatorId, outcome).lines;
    // An id of that form is always a line, known or not.
    const std::optional<OdptLine> line = odptLine(known, id);
    if (std::none_of(known.cbegin(), known.cend(), [&](const OdptLine& l) { return l.id == id; }))
        outcome.told << QStringLiteral("%1 はどの路線一覧にもありません。そのまま使います").arg(id);
    if (const SettingsWrite written = useLineInFolder(dir, route, *line); !written.done) {
        outcome.exit = ExitFiles;
        outcome.told << written.failure;
        return outcome;
    }
    const RouteOptions options = CompanionSettings(dir).read().routes[route];
    outcome.out =
        QStringLiteral("路線%1: %2（%3 %4）\nフィード: %5\n")
            .arg(route)
            .arg(line->name, line->operatorName, line->id, maskedUrlText(QUrl(options.feed)));
    return outcome;
}

} // namespace senrokan
