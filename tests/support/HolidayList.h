// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// The official list of Japan's national holidays 2000-2030 in tests/data as published: a date
// and a name a line, a tab between, "#" lines comments.
#include <QFile>
#include <QRegularExpression>
#include <QStringList>

namespace senrokan::test
{

// The list's lines of year as "YYYY-MM-DD 名前", as senrokan-check --holidays prints them.
inline QStringList officialHolidayLines(int year)
{
    QFile file(QStringLiteral(SENROKAN_TEST_DATA "/holidays-2000-2030.tsv"));
    file.open(QIODevice::ReadOnly);
    const QStringList lines = QString::fromUtf8(file.readAll()).split(u'\n');
    return lines.filter(QRegularExpression(QStringLiteral("^%1-").arg(year)))
        .replaceInStrings(QStringLiteral("\t"), QStringLiteral(" "));
}

} // namespace senrokan::test
