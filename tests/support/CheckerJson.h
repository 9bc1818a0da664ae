// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QByteArray>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QList>

namespace senrokan::test
{

// The status of each route in senrokan-check's --json answer, in order.
inline QList<int> checkerStatuses(const QByteArray& json)
{
    QList<int> result;
    for (const auto& route : QJsonDocument::fromJson(json).array())
        result << route.toObject().value(QStringLiteral("status")).toInt();
    return result;
}

} // namespace senrokan::test
