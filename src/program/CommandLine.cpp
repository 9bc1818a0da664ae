// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "program/CommandLine.h"

#include "base/Version.h"

#include <QList>

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace senrokan
{

namespace
{

// The names in a column as wide as the longest, so that the explanations line up.
void appendList(QByteArray& text, const char* heading, const QList<HelpEntry>& entries)
{
    std::size_t width = 0;
    for (const HelpEntry& entry : entries)
        width = std::max(width, std::strlen(entry.name));
    text += QByteArray("\n") + heading + ":\n";
    for (const HelpEntry& entry : entries)
        text += "  " + QByteArray(entry.name).leftJustified(qsizetype(width)) + "  " + entry.text +
                '\n';
}

} // namespace

QByteArray helpText(const char* usage, const char* purpose,
                    std::initializer_list<HelpEntry> options,
                    std::initializer_list<HelpEntry> exitStatuses)
{
    QByteArray text = QByteArray(usage) + purpose + '\n';
    appendList(text, "Options",
               QList<HelpEntry>(options) +
                   QList<HelpEntry>{{"-h, --help", "print this help and exit"},
                                    {"--version", "print the version and the licence and exit"}});
    appendList(text, "Exit status", exitStatuses);
    return text;
}

QByteArray versionText(const char* program)
{
    return QByteArray(program) + " (Senrokan) " + packageVersion() +
           "\n"
           "Copyright 2026 The Senrokan developers\n"
           "License GPLv3+: GNU GPL version 3 or later <https://gnu.org/licenses/gpl.html>.\n"
           "This is free software: you are free to change and redistribute it.\n"
           "There is NO WARRANTY, to the extent permitted by law.\n";
}

bool answerInfoOption(QByteArrayView argument, const char* program, const QByteArray& help)
{
    if (argument == "--help" || argument == "-h")
        std::fputs(help.constData(), stdout);
    else if (argument == "--version")
        std::fputs(versionText(program).constData(), stdout);
    else
        return false;
    return true;
}

} // namespace senrokan
