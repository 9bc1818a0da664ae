// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "check/CheckDisplay.h"

#include <QList>
#include <QPair>
#include <QStringList>

namespace senrokan::test
{

// Keeps everything a check shows, in order.
class RecordingDisplay : public CheckDisplay
{
public:
    QStringList statusTexts;
    QStringList pageTexts;
    QStringList failureDetails;
    QStringList codings;                     // "UTF-8 (meta)" for each page read
    QList<QPair<QString, QString>> messages; // prompt, title
    QList<bool> busyChanges;
    bool busy = false;
    bool busyDuringMessage = false; // set when any box was shown while the pointer was busy

    void setStatusText(const QString& text) override { statusTexts << text; }
    void setPageText(const QString& text) override { pageTexts << text; }
    void setFailureDetail(const QString& detail) override { failureDetails << detail; }
    void setPageCoding(const CodingDecision& decision) override
    {
        codings << describeCoding(decision);
    }
    void setBusy(bool b) override
    {
        if (b != busy)
            busyChanges << b;
        busy = b;
    }
    void showMessage(const QString& prompt, const QString& title) override
    {
        messages.append({prompt, title});
        busyDuringMessage = busyDuringMessage || busy;
    }
};

} // namespace senrokan::test
