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

OdptLineList lines(const QString& dir, const QString& operatorId, CommandOutcome& outcome)
{
    OdptLineList list = readOdptLines(CompanionSettings(dir).read().odpt, operatorId);
    if (!list.shippedBecause.isEmpty())
        outcome.told << list.shippedBecause + ShippedNote;
    return list;
}

} // namespace

CommandOutcome listLines(const QString& dir, const QString& operatorId)
{
    CommandOutcome outcome;
    // A tab or line break inside a name would break the columns.
    for (const OdptLine& line : lines(dir, operatorId, outcome).lines)
        outcome.out += line.id.simplified() + u'\t' + line.operatorName.simplified() + u'\t' +
                       line.name.simplified() + u'\n';
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
    const QList<OdptLine> known = lines(dir, operatorId, outcome).lines;
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
