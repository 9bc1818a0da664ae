// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "ChangeReport.h"
#include "ReportTarget.h"

#include <QList>
#include <QObject>

class QNetworkAccessManager;

namespace senrokan
{

// How long a delivery may take: each try at most tryMs, and a try that may pass later (no
// answer, 429, 5xx) repeated after each of the pauses in turn.
struct ReportTimings {
    int tryMs = 10000;
    QList<int> retryPauseMs = {1000, 4000};
};

struct DeliveryOutcome {
    bool delivered = false;
    int tries = 0;
    QString error; // the last try's, empty when delivered
};

// Sends reports to their targets on the event loop: send() returns at once, every target is
// tried on its own, and nothing here waits.
class ReportSender : public QObject
{
    Q_OBJECT
public:
    explicit ReportSender(QObject* parent = nullptr);
    ~ReportSender() override;

    void setTimings(const ReportTimings& timings) { m_timings = timings; }
    void send(const QList<ReportTarget>& targets, const ChangeReport& report);
    // Deliveries still under way.
    int pending() const { return m_pending; }

Q_SIGNALS:
    void delivered(const ReportTarget& target, const DeliveryOutcome& outcome);
    // No delivery is under way any more.
    void idle();

private:
    friend class Delivery;
    QNetworkAccessManager* manager();
    void done(const ReportTarget& target, const DeliveryOutcome& outcome);

    ReportTimings m_timings;
    QNetworkAccessManager* m_manager = nullptr; // made on first use
    int m_pending = 0;
};

} // namespace senrokan
