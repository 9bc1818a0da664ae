// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>
#include <QStringView>

namespace senrokan
{

// The text a stretch of a page's source shows: tags and comments dropped, each leaving a blank so
// that cells and paragraphs stay apart, scripts and styles with their content, the common
// character references read, runs of blanks one. A tag cut by either edge of the stretch goes
// too. Stops once more than limit characters are gathered: a huge stretch costs no more than its
// start.
QString markupText(QStringView source, qsizetype limit);

} // namespace senrokan
