// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "base/Failure.h"
#include "route/RouteDefinition.h"
#include "route/RouteState.h"

#include <QString>
#include <QStringList>

#include <array>
#include <optional>

namespace senrokan
{

inline const QString SettingsFileName = QStringLiteral("Senrokan.DEF");
inline constexpr int SettingsLineCount = 50;
inline constexpr int RouteBlockLines = 9;

// Route fields in the order of a route block; PortNumber is not stored.
inline constexpr std::array<int, RouteBlockLines> RouteBlockElements = {
    Title,     ServerName, DirectoryName, MatchWord,  DelayDirectoryName,
    ValidFrom, ValidTo,    SubtitleStart, SubtitleEnd};

using RouteBlocks = std::array<std::array<QString, RouteBlockLines>, RouteCount>;

// What a write to a settings file came to: done, or why not, in a sentence for the user.
struct SettingsWrite {
    bool done = true;
    QString failure; // why not, when not done

    static SettingsWrite failed(const QString& why) { return {false, why}; }
};

// What a read of the 50-line layout got. A read stops at its first failure and keeps what came
// before: lines 2-5 are stored one by one as they are read, the route blocks only as a whole.
struct SettingsRead {
    QString priorityName; // line 1 of the settings file; empty for a railway file
    std::array<std::optional<int>, 4> numbers; // lines 2-5 in the order of SettingsValues
    RouteBlocks routes;                        // valid only when complete
    bool complete = false;                     // all 50 lines read; only then may the window change

    // Where and why the read stopped, when it did not complete.
    QString failedFile;
    int failedLine = 0; // 0 when the file could not be opened
    std::optional<FailureKind> failure;

    // Stores the numbers that were read, in order, over the values given.
    void applyNumbers(SettingsValues& values) const;
    // Where and why the read stopped: "file: N行目: why", or "file: why" for a file not opened.
    QString failureText() const;
};

// Reads "Senrokan.DEF" in dir, following a priority railway file named on line 1 (relative to
// dir, one redirection at most; the railway file's own line 1 is skipped). Every file read must be
// the user's own regular file, and the priority name a bare file name; anything else fails as
// unreadable.
SettingsRead readSettings(const QString& dir);
// The same for a settings file elsewhere; a priority name is still taken relative to dir.
SettingsRead readSettingsFile(const QString& path, const QString& dir);

// Reads a railway file: line 1 skipped, then lines 2-50.
SettingsRead readRailwayFile(const QString& path);

// Writes the layout to path as CP932 with CR LF after every line (UTF-8 with a byte-order mark
// when some text has no CP932 code), then the lines of after as they are, through a temporary
// file renamed over the old one, so a failed write leaves the previous file whole. A line break
// in a value is written as a blank. Fails when path is anything but missing or the user's own
// file.
[[nodiscard]] SettingsWrite writeLayoutFile(const QString& path, const QString& line1,
                                            const SettingsValues& values, const RouteBlocks& routes,
                                            const QStringList& after = {});
// What the user wrote after the layout's last line in the file at path (read up to the same
// cap as a page), to be written back after it; none when the file is missing or not theirs.
QStringList linesAfterLayout(const QString& path);

// Removes blanks (U+0020) at both ends, as line 1 is stored.
QString trimBlanks(const QString& text);

} // namespace senrokan
