// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "ChangeReport.h"
#include "ReportSender.h"

#include <QObject>
#include <QStringList>

#include <functional>
#include <optional>

namespace senrokan
{

class RouteFieldSource;

// The report targets of "Senrokan.ini" in a folder ([Notify] Targets=, blank-separated) and the
// reports of checks to them. Each report reads the file again, so a target added anywhere counts
// from the next check on.
class Reporter : public QObject
{
    Q_OBJECT
public:
    explicit Reporter(const QString& dir, QObject* parent = nullptr);

    // The targets as written, none (with why in error) when the file is refused or unreadable.
    std::optional<QStringList> targetTexts(QString* error = nullptr) const;
    // Adds a target once it parses; why not, empty when it was added and saved.
    QString addTarget(const QString& text);
    // Removes the target at index; why not, empty when it was removed and saved.
    QString removeTarget(int index);

    // Reports the changes of the check that began at checkTime to the file's targets and to
    // extra, and returns at once. False when nothing changed. The changes are judged against
    // previous, the line states from before the check (the record of checks'), or when there
    // are none against what this object saw in the checks it reported on. Targets that cannot
    // be used are told by problem().
    bool reportChanges(const RouteStates& states, const RouteFieldSource& routes,
                       const QDateTime& checkTime, const std::optional<LineStates>& previous,
                       const QStringList& extra = {});
    // Sends a test report to every target of the file.
    void sendTest();

    ReportSender& sender() { return m_sender; }

Q_SIGNALS:
    // A target that cannot be used (refused when read, apprise missing) or that goes with a
    // warning, masked.
    void problem(const QString& text);

private:
    QList<ReportTarget> targets(const QStringList& extra);
    bool saveTargets(const QStringList& texts, QString* error);

    QString m_path;
    ReportSender m_sender;
    LineStates m_seen;
};

} // namespace senrokan
