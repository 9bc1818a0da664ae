// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "HistoryPage.h"

#include "HistoryCharts.h"
#include "accessibility/ControlNames.h"
#include "history/CheckHistory.h"
#include "route/Reason.h"

#include <QDateTime>
#include <QGridLayout>
#include <QLabel>
#include <QLocale>
#include <QScrollArea>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace senrokan
{

namespace
{

constexpr qint64 MinuteSecs = 60;

qint64 dayStart(QDate day)
{
    return day.startOfDay().toSecsSinceEpoch();
}

QString dateWords(QDate day)
{
    return QLocale(QLocale::Japanese, QLocale::Japan).toString(day, QStringLiteral("M月d日(ddd)"));
}

QString momentWords(qint64 time)
{
    return QDateTime::fromSecsSinceEpoch(time).toString(QStringLiteral("M月d日 H:mm"));
}

// "1日2時間5分", the zero parts left out; "0分" for less than a minute.
QString lengthWords(qint64 secs)
{
    const qint64 minutes = secs / MinuteSecs;
    QString text;
    if (minutes >= 24 * 60)
        text += QStringLiteral("%1日").arg(minutes / (24 * 60));
    if (minutes / 60 % 24 != 0)
        text += QStringLiteral("%1時間").arg(minutes / 60 % 24);
    if (minutes % 60 != 0 || text.isEmpty())
        text += QStringLiteral("%1分").arg(minutes % 60);
    return text;
}

Sample sampleOf(const CheckRecord& record)
{
    return {record.time.toSecsSinceEpoch(), record.status, record.reason};
}

QString legendText()
{
    QString text;
    for (const Shade shade : {Shade::Normal, Shade::Delayed, Shade::Unreachable, Shade::NotChecked})
        text += QStringLiteral("<span style=\"color:%1\">■</span> %2　")
                    .arg(shadeColour(shade).name(), shadeWords(shade));
    return text;
}

} // namespace

HistoryPage::HistoryPage(CheckHistory& history, std::function<QString(int)> title, QWidget* parent)
    : QWidget(parent), m_history(history), m_title(std::move(title))
{
    nameControl(this, QStringLiteral("HistoryPage"), QStringLiteral("履歴"));
}

void HistoryPage::build()
{
    auto* content = new QWidget;
    auto* column = new QVBoxLayout(content);
    auto* legend = new QLabel(legendText(), content);
    legend->setTextFormat(Qt::RichText);
    nameControl(legend, QStringLiteral("HistoryLegend"),
                QStringLiteral("色の見方: 緑 平常、橙 遅延、水色 接続失敗、灰色 未チェック"));
    column->addWidget(legend);
    m_status = new QLabel(content);
    nameControl(m_status, QStringLiteral("HistoryStatus"), QStringLiteral("履歴の状態"));
    column->addWidget(m_status);
    for (int r = 1; r <= RouteCount; ++r) {
        Section& section = m_sections.at(r);
        section.box = new QWidget(content);
        auto* grid = new QGridLayout(section.box);
        grid->setContentsMargins(0, 4, 0, 4);
        grid->setVerticalSpacing(2);
        grid->setColumnStretch(1, 1);
        section.title = new QLabel(section.box);
        section.title->setTextFormat(Qt::PlainText);
        nameControl(section.title, arrayElementName(QStringLiteral("HistoryTitle"), r),
                    QStringLiteral("路線%1").arg(r));
        grid->addWidget(section.title, 0, 0, 1, 2);
        for (int d = 0; d < StripDays; ++d) {
            section.dates.at(d) = new QLabel(section.box);
            section.days.at(d) = new DayStrip(section.box);
            // "HistoryDay(2,0)": route 2, today; day 1 is yesterday.
            const QString index = QStringLiteral("(%1,%2)").arg(r).arg(d);
            nameControl(section.dates.at(d), QStringLiteral("HistoryDate") + index, QString());
            nameControl(section.days.at(d), QStringLiteral("HistoryDay") + index, QString());
            grid->addWidget(section.dates.at(d), d + 1, 0);
            grid->addWidget(section.days.at(d), d + 1, 1);
        }
        auto* hoursLabel = new QLabel(QStringLiteral("遅延/時"), section.box);
        nameControl(hoursLabel, arrayElementName(QStringLiteral("HistoryHoursLabel"), r),
                    QStringLiteral("時間帯別の遅延"));
        section.hours = new HourChart(section.box);
        nameControl(section.hours, arrayElementName(QStringLiteral("HistoryHours"), r), QString());
        grid->addWidget(hoursLabel, StripDays + 1, 0, Qt::AlignTop);
        grid->addWidget(section.hours, StripDays + 1, 1);
        column->addWidget(section.box);
    }
    m_periods = new QTreeWidget(content);
    nameControl(m_periods, QStringLiteral("HistoryPeriods"), QStringLiteral("遅延の期間"));
    m_periods->setHeaderLabels({QStringLiteral("路線"), QStringLiteral("開始"),
                                QStringLiteral("終了"), QStringLiteral("長さ"),
                                QStringLiteral("理由")});
    m_periods->setRootIsDecorated(false);
    m_periods->setMinimumHeight(120);
    auto* periodsLabel = new QLabel(QStringLiteral("遅延の期間（新しい順）"), content);
    nameControl(periodsLabel, QStringLiteral("HistoryPeriodsLabel"), periodsLabel->text());
    column->addWidget(periodsLabel);
    column->addWidget(m_periods);

    auto* scroll = new QScrollArea(this);
    scroll->setWidgetResizable(true);
    scroll->setWidget(content);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    // Made while the page is being shown: a layout would show it only at the next turn of the
    // event loop, after the first read had filled hidden widgets.
    scroll->show();
}

void HistoryPage::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    if (!m_periods)
        build();
    // Read again at every showing: senrokan-check may have added checks meanwhile.
    const QDate first = QDate::currentDate().addDays(1 - ChartDays);
    const auto records = m_history.records(first.startOfDay().toUTC());
    for (Samples& checks : m_checks)
        checks.clear();
    for (const CheckRecord& record : records.value_or(QList<CheckRecord>())) {
        if (isRouteIndex(record.route))
            m_checks.at(record.route).append(sampleOf(record));
    }
    m_status->setText(records ? QString() : QStringLiteral("履歴を読めません"));
    m_status->setVisible(!records);
    refresh();
}

void HistoryPage::hideEvent(QHideEvent* event)
{
    QWidget::hideEvent(event);
    for (Samples& checks : m_checks)
        checks = Samples();
}

void HistoryPage::addCheck(const CheckRecord& record)
{
    if (!isVisible() || !isRouteIndex(record.route))
        return;
    m_checks.at(record.route).append(sampleOf(record));
    refresh();
}

void HistoryPage::refresh()
{
    const qint64 now = QDateTime::currentSecsSinceEpoch();
    const QDate today = QDate::currentDate();
    const qint64 chartSince = dayStart(today.addDays(1 - ChartDays));
    struct Period {
        QString title;
        DelayPeriod period;
    };
    QList<Period> periods;
    for (int r = 1; r <= RouteCount; ++r) {
        Section& section = m_sections.at(r);
        const QString title = m_title(r);
        section.box->setVisible(!title.trimmed().isEmpty());
        if (title.trimmed().isEmpty())
            continue;
        const Samples& checks = m_checks.at(r);
        section.title->setText(title);
        section.title->setAccessibleName(title);
        const qint64 reach = findingReach(checks);
        for (int d = 0; d < StripDays; ++d) {
            const QDate day = today.addDays(-d);
            const qint64 start = dayStart(day);
            const qint64 end = dayStart(day.addDays(1));
            section.dates.at(d)->setText(dateWords(day));
            section.dates.at(d)->setAccessibleName(dateWords(day));
            // Whole days: what lies ahead today is not checked yet, and the last finding stands
            // into it as far as it reaches.
            section.days.at(d)->setDay(title + QStringLiteral(" ") + dateWords(day), start, end,
                                       spans(checks, start, end, reach));
        }
        section.hours->setCounts(title + QStringLiteral(" 時間帯別の遅延（%1日）").arg(ChartDays),
                                 delayedByHour(checks, chartSince));
        for (const DelayPeriod& period : delayPeriods(checks))
            periods.append({title, period});
    }
    std::stable_sort(periods.begin(), periods.end(), [](const Period& a, const Period& b) {
        return a.period.start > b.period.start;
    });
    m_periods->clear();
    for (const Period& p : periods) {
        m_periods->addTopLevelItem(new QTreeWidgetItem(
            {p.title, momentWords(p.period.start),
             p.period.end ? momentWords(*p.period.end) : QStringLiteral("継続中"),
             lengthWords(p.period.end.value_or(now) - p.period.start),
             reasonOnOneLine(p.period.reason)}));
    }
}

} // namespace senrokan
