// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>
#include <QStringList>
#include <QUrl>
#include <QUrlQuery>

#include <optional>

namespace senrokan
{

// How a target is reached: the five kinds sent by the program itself, and every other scheme,
// handed to the apprise program.
enum class TargetKind { Ntfy, Json, Form, Gotify, Mail, Apprise };

// One report target, a URL in the shared scheme of page watchers ("ntfy://host/topic"). Query
// keys are matched without regard to letter case, as that scheme does.
struct ReportTarget {
    QString text; // the URL as the user wrote it
    TargetKind kind = TargetKind::Apprise;
    QUrl url;
    bool secure = false; // the "s" schemes: HTTPS, or TLS for mail

    // The value of a query key, empty when absent.
    QString option(const QString& key) const;
    // The text with its passwords and tokens replaced, for lists, messages and logs.
    QString masked() const;
    // Text that may quote this target, such as another program's error, with every URL in it
    // masked and every piece of this target's own text that could be a secret hidden.
    QString hiddenIn(const QString& message) const;
    // What the user should know about a target that is taken all the same, named by its masked
    // text; empty when nothing.
    QString warning() const;
};

// Parses a target URL; none, with why in error, when it is not one. A scheme the program does not
// send itself is accepted only when the apprise program is installed (appriseInstalled).
std::optional<ReportTarget> parseReportTarget(const QString& text, bool appriseInstalled,
                                              QString* error = nullptr);

// Targets parsed once, where they enter: the usable ones in order, and for each of the others its
// masked text and why (or why none could be read at all), and the warnings of the usable ones.
struct TargetList {
    QList<ReportTarget> usable;
    QStringList problems;
};

// The targets of texts, in order; the ones that fail to parse are left out and told in problems.
TargetList parseReportTargets(const QStringList& texts, bool appriseInstalled);
// The texts of a blank-separated list.
QStringList splitTargetTexts(const QString& list);

// Where the apprise program is, empty when it is not installed.
QString appriseProgram();

// The text of a target URL with the parts that may be secrets hidden: the password, a token
// given in the query (as maskedUrlText hides them) or the path, and for a scheme of unknown
// layout everything after the first few characters.
QString maskedTargetText(const QString& text);

} // namespace senrokan
