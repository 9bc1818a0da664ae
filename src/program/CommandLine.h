// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// What every program of the package answers alike, before it touches a display or a settings
// file: --help and --version.
#include <QByteArray>
#include <QByteArrayView>

#include <initializer_list>

namespace senrokan
{

// One line of --help: an option or an exit status, and what it means.
struct HelpEntry {
    const char* name;
    const char* text;
};

// The text of --help: the usage line, a line of what the program does, its options followed by
// the --help and --version that all have, and its exit statuses, each list in aligned columns.
QByteArray helpText(const char* usage, const char* purpose,
                    std::initializer_list<HelpEntry> options,
                    std::initializer_list<HelpEntry> exitStatuses);

// The text of --version in GNU's form: the program, the package and its version, the copyright
// and the licence.
QByteArray versionText(const char* program);

// When argument is --help (or -h) or --version: prints help or program's versionText to standard
// output and returns true.
bool answerInfoOption(QByteArrayView argument, const char* program, const QByteArray& help);

} // namespace senrokan
