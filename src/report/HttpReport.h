// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "ChangeReport.h"
#include "ReportTarget.h"

#include <QByteArray>
#include <QList>
#include <QUrl>

#include <utility>

namespace senrokan
{

// One HTTP request that delivers a report, as the apprise program would send it for the same URL.
struct HttpReport {
    QUrl url;
    QList<std::pair<QByteArray, QByteArray>> headers; // besides Host and Content-Length
    QByteArray body;
};

// The request for a target of kind ntfy, json, form or gotify.
HttpReport httpReport(const ReportTarget& target, const ChangeReport& report);

} // namespace senrokan
