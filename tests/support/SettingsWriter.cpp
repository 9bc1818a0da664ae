// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "SettingsWriter.h"

#include "settings/SettingsFile.h"

namespace senrokan::test
{

void writeSettings(const QString& path, const SettingsValues& values,
                   const QList<QStringList>& routes)
{
    RouteBlocks blocks;
    for (int r = 0; r < RouteCount && r < routes.size(); ++r)
        for (int line = 0; line < RouteBlockLines && line < routes[r].size(); ++line)
            blocks[r][line] = routes[r][line];
    if (!writeLayoutFile(path, QString(), values, blocks).done)
        qFatal("cannot write %s", qPrintable(path));
}

} // namespace senrokan::test
