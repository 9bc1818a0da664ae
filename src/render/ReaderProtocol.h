// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// What a check (PageRenderer) and the page reader senrokan-render say to each other. The check
// starts the reader with LimitOption and writes one JSON line a page on its standard input,
// {"id":N,"url":"..."}; the reader reads the pages side by side and writes one JSON line a page
// on its standard output as each is read, with the page's id, and exits once its input is closed
// and every page has been answered.
#include <QString>

namespace senrokan::render::protocol
{

// The option that sets how long a page may take, in milliseconds.
inline constexpr char LimitOption[] = "--limit-ms";

// A request's keys.
inline const QString Id = QStringLiteral("id");
inline const QString Url = QStringLiteral("url");

// An answer's keys besides Id: whether the page was read, its HTTP status (0 when no server
// answered) and the milliseconds its reading took; a page read has its Text, and Quiet false
// when it never settled and its text was taken at the limit; a page not read has a Detail.
inline const QString Ok = QStringLiteral("ok");
inline const QString Status = QStringLiteral("status");
inline const QString Ms = QStringLiteral("ms");
inline const QString Text = QStringLiteral("text");
inline const QString Quiet = QStringLiteral("quiet");
inline const QString Detail = QStringLiteral("detail");

// The Detail of a page that had no text by the limit.
inline const QString LimitDetail = QStringLiteral("limit");

// The reader's exit status when the browser engine cannot run here; its reason is its last line
// on stderr. 0 is every page answered.
constexpr int ExitNoEngine = 2;
constexpr int ExitUsage = 64;

} // namespace senrokan::render::protocol
