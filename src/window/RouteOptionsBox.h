// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "route/RouteOptions.h"

#include <QWidget>

#include <array>

class QCheckBox;
class QLineEdit;
class QSpinBox;

namespace senrokan
{

// A route's options from Senrokan.ini on its page: "ブラウザで読む" (RenderCheck<r>, with the
// note RenderNote<r> when the browser package is missing), the official feed "フィード"
// (FeedText<r>) and its "路線ID" (FeedLineText<r>), the days watched (DayCheck<r>(1..7), Monday
// first), "祝日は除く" (HolidayCheck<r>), "確認回数" (ConfirmSpin<r>) and the bands of the day
// it is checked in, "時間帯" (HoursText<r>). Every change is told
// at once, a text field's when it is left; a feed's address shows with its keys hidden except
// while it is edited.
class RouteOptionsBox : public QWidget
{
    Q_OBJECT
public:
    RouteOptionsBox(int route, const RouteOptions& options, QWidget* parent = nullptr);

    void setOptions(const RouteOptions& options);
    const RouteOptions& options() const { return m_options; }

Q_SIGNALS:
    void edited();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void show(const RouteOptions& options);
    void showFeed();
    void daysToggled();

    RouteOptions m_options;
    QCheckBox* m_render;
    QLineEdit* m_feed;
    QLineEdit* m_feedLine;
    std::array<QCheckBox*, 7> m_days{};
    QCheckBox* m_noHolidays;
    QSpinBox* m_confirm;
    QLineEdit* m_hours;
};

} // namespace senrokan
