// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "history/Timeline.h"

#include <QWidget>

#include <array>

namespace senrokan
{

// One day of a route on a 24-hour axis, coloured by what the checks found. The same is told in
// words: the accessible name lists every stretch, the tooltip names the one under the pointer.
class DayStrip : public QWidget
{
    Q_OBJECT
public:
    explicit DayStrip(QWidget* parent = nullptr);

    // The day [dayStart, dayEnd) and what is known of it.
    void setDay(const QString& label, qint64 dayStart, qint64 dayEnd, const QList<Span>& spans);
    const QList<Span>& spans() const { return m_spans; }
    // "7:40〜9:10 遅延"; a span to the day's end ends at 24:00.
    static QString spanWords(const Span& span, qint64 dayEnd);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    qint64 m_dayStart = 0;
    qint64 m_dayEnd = 1;
    QList<Span> m_spans;
};

// Delayed checks by hour of the day, one bar an hour, on the strips' axis.
class HourChart : public QWidget
{
    Q_OBJECT
public:
    explicit HourChart(QWidget* parent = nullptr);

    void setCounts(const QString& label, const std::array<int, 24>& counts);

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    bool event(QEvent* event) override;

private:
    std::array<int, 24> m_counts{};
};

// The colour of a shade: bluish green, vermilion, sky blue and pale grey, told apart also with
// the commoner kinds of colour blindness.
QColor shadeColour(Shade shade);

} // namespace senrokan
