// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>

namespace senrokan::platform
{

// Text of freedesktop desktop entry files (the format of autostart entries).

// A value of type string as the file stores it: backslash, newline, tab and carriage return
// escaped, and a leading or trailing space written as \s so that it is not taken for padding.
QString escapeDesktopString(const QString& value);

// One argument of an Exec value before string escaping: quoted when it holds a character the
// format reserves, with the quote's own escapes inside, and every % doubled so that it is never
// read as a field code.
QString quoteExecArgument(const QString& argument);

// The whole autostart entry starting executable in workingDirectory. Throws InvalidArgument for
// an empty executable, an executable with a line break (no launcher reads one back reliably) or
// a working directory that is not absolute.
QString autostartEntryText(const QString& executable, const QString& workingDirectory);

} // namespace senrokan::platform
