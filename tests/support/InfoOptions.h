// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

// What --help and --version of either program must print: GNU's --version form, and a --help
// whose every option and exit status has its line. The checker's and the desktop program's tests
// run them each in their own way; the package test holds the lists against the manual pages.
#include <QByteArray>
#include <QString>
#include <QStringList>

namespace senrokan::test
{

// The rows "--help", "-h" and "--version" of a column "option".
void addInfoOptionRows();

// Empty when out is what program prints for option; else what is wrong with it.
QString infoOptionProblem(const QString& program, const QString& option, const QByteArray& out);

// The names --help lists under a heading ("Options", "Exit status"), such as "--route N", "0".
QStringList helpEntries(const QString& help, const QString& heading);

} // namespace senrokan::test
