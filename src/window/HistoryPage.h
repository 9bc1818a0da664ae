// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "history/Timeline.h"
#include "route/CheckRecord.h"
#include "route/RouteDefinition.h"

#include <QWidget>

#include <array>
#include <functional>

class QLabel;
class QTreeWidget;

namespace senrokan
{

class CheckHistory;
class DayStrip;
class HourChart;

// The page 履歴: for each route that has a title, a strip for each of the last 7 days, the
// delayed checks by hour of the day over the last 30 days, and the list of delay periods.
// Nothing of it is made before it is first shown, and its checks are let go when it is hidden,
// so a program that stays resident holds none of it; each showing reads the record again.
class HistoryPage : public QWidget
{
    Q_OBJECT
public:
    static constexpr int StripDays = 7;
    static constexpr int ChartDays = 30;

    // title: a route's title as it stands on its page now.
    HistoryPage(CheckHistory& history, std::function<QString(int route)> title,
                QWidget* parent = nullptr);

    // A check just recorded; shown at once while the page is.
    void addCheck(const CheckRecord& record);

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    struct Section {
        QWidget* box = nullptr;
        QLabel* title = nullptr;
        std::array<QLabel*, StripDays> dates{};
        std::array<DayStrip*, StripDays> days{};
        HourChart* hours = nullptr;
    };

    void build();
    void refresh();

    CheckHistory& m_history;
    std::function<QString(int)> m_title;
    PerRoute<Samples> m_checks;
    PerRoute<Section> m_sections;
    QLabel* m_status = nullptr;
    QTreeWidget* m_periods = nullptr;
};

} // namespace senrokan
