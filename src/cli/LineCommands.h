// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>
#include <QStringList>

namespace senrokan
{

// What a command has to print and how it ends.
struct CommandOutcome {
    int exit = 0;
    QString out;      // for standard output
    QStringList told; // lines for standard error
};

// --lines: one "ID<TAB>事業者<TAB>路線名" line per railway (only operatorId's when given), read
// live from the ODPT API that the folder dir's Senrokan.ini names, or from the list shipped with
// the program, which is then told.
CommandOutcome listLines(const QString& dir, const QString& operatorId);

// --use-line: route made the line with railway id in dir's Senrokan.DEF and Senrokan.ini, named
// from the API's list, else the shipped one, else the id itself; exit 3 when the files may not or
// cannot be written.
CommandOutcome useLine(const QString& dir, int route, const QString& id);

} // namespace senrokan
