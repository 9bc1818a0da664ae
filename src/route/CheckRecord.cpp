// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "CheckRecord.h"

#include <array>

namespace senrokan
{

namespace
{

const std::array<QString, 3> SourceNames = {QStringLiteral("timed"), QStringLiteral("button"),
                                            QStringLiteral("checker")};

} // namespace

QString checkSourceName(CheckSource source)
{
    return SourceNames.at(size_t(source));
}

CheckSource checkSourceFromName(const QString& name)
{
    for (size_t i = 0; i < SourceNames.size(); ++i)
        if (SourceNames[i] == name)
            return CheckSource(i);
    return CheckSource::Timed;
}

} // namespace senrokan
