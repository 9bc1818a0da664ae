// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteState.h"

#include <QList>
#include <QString>
#include <QStringList>

namespace senrokan::test
{

// A settings file at path with the given values and routes, each route given as its first fields
// (title, server, directory, match word, ...); the rest of the file is blank.
void writeSettings(const QString& path, const SettingsValues& values,
                   const QList<QStringList>& routes = {});

} // namespace senrokan::test
