// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "cycle/CycleDisplay.h"
#include "cycle/DelayReport.h"
#include "route/Reason.h"

#include <QString>

#include <optional>

namespace senrokan::test
{

// The popup's entries as words: each title with an ideographic space, and under it the reason
// on one line when it is known.
inline QString popupText(const QList<PopupEntry>& entries)
{
    QString text;
    for (const PopupEntry& entry : entries) {
        text += entry.title + QChar(0x3000) + QStringLiteral("\r\n");
        if (!entry.reason.isEmpty())
            text += QChar(0x3000) + reasonOnOneLine(entry.reason) + QStringLiteral("\r\n");
    }
    return text;
}

// Counts what the cycle shows without keeping a log, so that it costs no memory however many
// cycles run; the last tray picture and popup text are kept.
class CountingCycleDisplay : public CycleDisplay
{
public:
    int checks = 0; // a check starts by showing the checking picture
    int popups = 0;
    int popupsHidden = 0;
    TrayPicture picture = TrayPicture::Normal;
    QString popupText;
    bool noticeShown = false;

    void addTrayIcon() override {}
    void hideMainWindow() override {}
    void setTrayPicture(TrayPicture p) override
    {
        if (p == TrayPicture::Checking)
            ++checks;
        picture = p;
    }
    void selectSettingsPage() override {}
    void showPopup(const QList<PopupEntry>& entries) override
    {
        ++popups;
        popupText = test::popupText(entries);
    }
    void hidePopup() override { ++popupsHidden; }
    void setDelayNotice(const QStringList& lines) override { noticeShown = !lines.isEmpty(); }
    void playChime() override {}
    std::optional<int> selectedIntervalMinutes() const override { return std::nullopt; }
};

} // namespace senrokan::test
