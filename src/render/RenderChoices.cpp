// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "RenderChoices.h"

#include "settings/CompanionFile.h"

#include <optional>

namespace senrokan
{

namespace
{

const QString Key = QStringLiteral("Render");

QString section(int route)
{
    return QStringLiteral("Route%1").arg(route);
}

} // namespace

RenderChoices RenderChoices::read(const QString& path)
{
    RenderChoices choices;
    const std::optional<CompanionFile> file = CompanionFile::read(path);
    if (!file)
        return choices;
    for (int r = 1; r <= RouteCount; ++r) {
        const QString value = file->value(section(r), Key).trimmed();
        // A hand-edited file may say it the other usual ways.
        choices.m_rendered[r] = value.compare(u"true", Qt::CaseInsensitive) == 0 || value == u"1" ||
                                value.compare(u"yes", Qt::CaseInsensitive) == 0;
    }
    return choices;
}

QString RenderChoices::save(const QString& path, int route, bool rendered)
{
    return CompanionFile::saveValue(path, section(route), Key,
                                    rendered ? QStringLiteral("true") : QStringLiteral("false"));
}

} // namespace senrokan
