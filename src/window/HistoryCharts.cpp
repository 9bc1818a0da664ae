// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "HistoryCharts.h"

#include <QDateTime>
#include <QHelpEvent>
#include <QPainter>
#include <QStringList>
#include <QToolTip>

#include <algorithm>

namespace senrokan
{

namespace
{

constexpr int StripHeight = 14;
constexpr int ChartHeight = 56;
constexpr int AxisHeight = 14;

// "7:40": the local time of day of a moment; the day's end is 24:00.
QString clockText(qint64 time, qint64 dayEnd)
{
    if (time >= dayEnd)
        return QStringLiteral("24:00");
    return QDateTime::fromSecsSinceEpoch(time).toString(QStringLiteral("H:mm"));
}

} // namespace

QColor shadeColour(Shade shade)
{
    switch (shade) {
    case Shade::Normal:
        return QColor(0x00, 0x9E, 0x73);
    case Shade::Delayed:
        return QColor(0xD5, 0x5E, 0x00);
    case Shade::Unreachable:
        return QColor(0x56, 0xB4, 0xE9);
    case Shade::NotChecked:
        break;
    }
    return QColor(0xCC, 0xCC, 0xCC);
}

DayStrip::DayStrip(QWidget* parent) : QWidget(parent)
{
    setMinimumHeight(StripHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

QString DayStrip::spanWords(const Span& span, qint64 dayEnd)
{
    return QStringLiteral("%1〜%2 %3")
        .arg(clockText(span.from, dayEnd), clockText(span.to, dayEnd), shadeWords(span.shade));
}

void DayStrip::setDay(const QString& label, qint64 dayStart, qint64 dayEnd,
                      const QList<Span>& spans)
{
    m_dayStart = dayStart;
    m_dayEnd = std::max(dayEnd, dayStart + 1);
    m_spans = spans;
    QStringList words;
    for (const Span& span : spans)
        words << spanWords(span, m_dayEnd);
    setAccessibleName(label + QStringLiteral(" ") + words.join(QStringLiteral("、")));
    update();
}

QSize DayStrip::sizeHint() const
{
    return {24 * 12, StripHeight};
}

void DayStrip::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const double perSec = double(width()) / double(m_dayEnd - m_dayStart);
    for (const Span& span : m_spans) {
        const double x0 = double(span.from - m_dayStart) * perSec;
        const double x1 = double(span.to - m_dayStart) * perSec;
        painter.fillRect(QRectF(x0, 0, x1 - x0, height() - 1), shadeColour(span.shade));
    }
    // Every six hours a mark, so the strips read against the chart's axis below.
    painter.setPen(palette().color(QPalette::Mid));
    for (int h = 0; h <= 24; h += 6) {
        const int x = std::min(width() - 1, h * width() / 24);
        painter.drawLine(x, 0, x, height() - 1);
    }
}

bool DayStrip::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const qint64 at = m_dayStart + qint64(double(help->pos().x()) / std::max(1, width()) *
                                          double(m_dayEnd - m_dayStart));
    const auto span = std::find_if(m_spans.begin(), m_spans.end(),
                                   [at](const Span& s) { return s.from <= at && at < s.to; });
    if (span != m_spans.end())
        QToolTip::showText(help->globalPos(), spanWords(*span, m_dayEnd), this);
    else
        QToolTip::hideText();
    return true;
}

HourChart::HourChart(QWidget* parent) : QWidget(parent)
{
    setMinimumHeight(ChartHeight);
    setSizePolicy(QSizePolicy::Expanding, QSizePolicy::Fixed);
}

void HourChart::setCounts(const QString& label, const std::array<int, 24>& counts)
{
    m_counts = counts;
    QStringList words;
    for (int h = 0; h < 24; ++h)
        if (counts[h] > 0)
            words << QStringLiteral("%1時台 %2回").arg(h).arg(counts[h]);
    setAccessibleName(
        label + QStringLiteral(" ") +
        (words.isEmpty() ? QStringLiteral("遅延なし") : words.join(QStringLiteral("、"))));
    update();
}

QSize HourChart::sizeHint() const
{
    return {24 * 12, ChartHeight};
}

void HourChart::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    const int most = std::max(1, *std::max_element(m_counts.begin(), m_counts.end()));
    const int barsHeight = height() - AxisHeight;
    const double slot = double(width()) / 24;
    for (int h = 0; h < 24; ++h) {
        const double bar = double(barsHeight - 1) * m_counts[h] / most;
        painter.fillRect(QRectF(h * slot + 1, barsHeight - bar, slot - 2, bar),
                         shadeColour(Shade::Delayed));
    }
    painter.setPen(palette().color(QPalette::WindowText));
    painter.drawLine(0, barsHeight, width(), barsHeight);
    // The hours under their marks; the two ends inside the chart.
    for (int h = 0; h <= 24; h += 6) {
        const Qt::Alignment along = h == 0    ? Qt::AlignLeft
                                    : h == 24 ? Qt::AlignRight
                                              : Qt::AlignHCenter;
        const double left = h == 0 ? 0 : h == 24 ? width() - 2 * slot : h * slot - slot;
        painter.drawText(QRectF(left, barsHeight, 2 * slot, AxisHeight), along | Qt::AlignVCenter,
                         QString::number(h));
    }
}

bool HourChart::event(QEvent* event)
{
    if (event->type() != QEvent::ToolTip)
        return QWidget::event(event);
    auto* help = static_cast<QHelpEvent*>(event);
    const int hour = std::clamp(help->pos().x() * 24 / std::max(1, width()), 0, 23);
    QToolTip::showText(help->globalPos(),
                       QStringLiteral("%1時台 遅延 %2回").arg(hour).arg(m_counts[hour]), this);
    return true;
}

} // namespace senrokan
