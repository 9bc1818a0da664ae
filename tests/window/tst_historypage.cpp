// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The page 履歴 of the main window on the offscreen platform, over a record written into the
// current folder's Senrokan.db: made only when first shown, its strips and chart in words, its
// delay periods, a new check shown at once, and the names screen readers find its parts by.
#include "FormHelpers.h"
#include "support/HistoryFiles.h"
#include "support/SettingsWriter.h"
#include "window/HistoryCharts.h"

#include <QLabel>
#include <QLocale>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

using namespace senrokan;
using namespace senrokan::test;

namespace
{

QDateTime yesterdayAt(int hour, int minute)
{
    return QDateTime(QDate::currentDate().addDays(-1), QTime(hour, minute));
}

QString spoken(const QWidget& window, const QString& name)
{
    return control<QWidget>(window, name)->accessibleName();
}

QList<QStringList> periodRows(const QWidget& window)
{
    const auto* list = control<QTreeWidget>(window, QStringLiteral("HistoryPeriods"));
    QList<QStringList> rows;
    for (int i = 0; i < list->topLevelItemCount(); ++i) {
        const QTreeWidgetItem* item = list->topLevelItem(i);
        rows << QStringList{item->text(0), item->text(1), item->text(2)};
    }
    return rows;
}

QString moment(const QDateTime& time)
{
    return time.toString(QStringLiteral("M月d日 H:mm"));
}

} // namespace

class TestHistoryPage : public QObject
{
    Q_OBJECT
    std::unique_ptr<CurrentFolder> m_dir;
    std::unique_ptr<LoadedProgram> m_program;
    Form1* m_window = nullptr;

    void showHistory()
    {
        m_window->show();
        control<QTabWidget>(*m_window, QStringLiteral("SSTab1"))
            ->setCurrentWidget(control<QWidget>(*m_window, QStringLiteral("HistoryPage")));
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<CurrentFolder>();
        QVERIFY(m_dir->isValid());
        // Route 2 has no title, so no place on the page.
        writeSettings(m_dir->filePath(SettingsFileName), SettingsValues(),
                      {{"東海道線"}, {""}, {"山手線"}});
        CheckHistory history(m_dir->path());
        const QList<std::tuple<int, int, int, int>> checks = {
            {1, 8, 0, StatusNormal},          {1, 8, 10, StatusDelayed},
            {1, 8, 20, StatusDelayed},        {1, 8, 30, StatusNormal},
            {2, 9, 0, StatusDelayed},         {3, 12, 0, StatusConnectFailed},
            {3, 12, 10, StatusConnectFailed}, {3, 23, 0, StatusDelayed}};
        for (const auto& [route, hour, minute, status] : checks)
            QVERIFY(history.append(recordAt(yesterdayAt(hour, minute), route, status)));
        m_program = std::make_unique<LoadedProgram>();
        m_window = &m_program->window();
    }

    void cleanup()
    {
        m_program.reset();
        m_dir.reset();
    }

    void madeWhenFirstShown()
    {
        m_window->show();
        QVERIFY(m_window->findChildren<DayStrip*>().isEmpty());
        showHistory();
        QCOMPARE(m_window->findChildren<DayStrip*>().size(), RouteCount * 7);
    }

    void yesterdayInWords_data()
    {
        QTest::addColumn<QString>("strip");
        QTest::addColumn<int>("daysAgo");
        QTest::addColumn<QString>("words");
        QTest::newRow("route 1") << "HistoryDay(1,1)" << 1
                                 << "東海道線 %1 0:00〜8:00 未チェック、8:00〜8:10 平常、"
                                    "8:10〜8:30 遅延、8:30〜8:45 平常、8:45〜24:00 未チェック";
        QTest::newRow("route 3") << "HistoryDay(3,1)" << 1
                                 << "山手線 %1 0:00〜12:00 未チェック、12:00〜12:25 接続失敗、"
                                    "12:25〜23:00 未チェック、23:00〜23:15 遅延、"
                                    "23:15〜24:00 未チェック";
        QTest::newRow("route 1 two days ago")
            << "HistoryDay(1,2)" << 2 << "東海道線 %1 0:00〜24:00 未チェック";
    }

    void yesterdayInWords()
    {
        QFETCH(QString, strip);
        QFETCH(int, daysAgo);
        QFETCH(QString, words);
        showHistory();
        const QDate day = QDate::currentDate().addDays(-daysAgo);
        QCOMPARE(spoken(*m_window, strip),
                 words.arg(QStringLiteral("%1月%2日(%3)")
                               .arg(day.month())
                               .arg(day.day())
                               .arg(QLocale(QLocale::Japanese)
                                        .dayName(day.dayOfWeek(), QLocale::ShortFormat))));
    }

    void chartsAndPeriods()
    {
        showHistory();
        QVERIFY(!control<QWidget>(*m_window, QStringLiteral("HistoryDay(2,0)"))->isVisible());
        QVERIFY(spoken(*m_window, QStringLiteral("HistoryHours(1)")).endsWith("8時台 2回"));
        QVERIFY(spoken(*m_window, QStringLiteral("HistoryHours(3)")).endsWith("23時台 1回"));
        // Route 2's delay is not shown: the route has no title.
        QCOMPARE(periodRows(*m_window),
                 (QList<QStringList>{
                     {"山手線", moment(yesterdayAt(23, 0)), "継続中"},
                     {"東海道線", moment(yesterdayAt(8, 10)), moment(yesterdayAt(8, 30))}}));
        const auto* list = control<QTreeWidget>(*m_window, QStringLiteral("HistoryPeriods"));
        QCOMPARE(list->topLevelItem(1)->text(3), QStringLiteral("20分"));
    }

    void followsNewChecks()
    {
        showHistory();
        const QDateTime now = QDateTime::currentDateTime();
        QVERIFY(m_program->history().append(recordAt(now, 1, StatusDelayed)));
        const QString today = spoken(*m_window, QStringLiteral("HistoryDay(1,0)"));
        QVERIFY2(today.contains(now.toString(QStringLiteral("H:mm")) + QStringLiteral("〜")) &&
                     today.contains(QStringLiteral("遅延")),
                 qPrintable(today));
        QCOMPARE(periodRows(*m_window).first(), (QStringList{"東海道線", moment(now), "継続中"}));
    }

    // A damaged record is kept aside with one message in the status field, and the check that
    // found it is the first of a new record.
    void damagedRecordToldInStatusField()
    {
        writeBytes(m_dir->filePath(HistoryFileName), "damaged\n");
        const CheckRecord record = recordAt(QDateTime::currentDateTime(), 1, StatusNormal);
        QVERIFY(m_program->history().append(record));
        const QString status = control<QLineEdit>(*m_window, QStringLiteral("Text8"))->text();
        QVERIFY2(status.startsWith(QStringLiteral("履歴 ")) && status.contains(".broken-"),
                 qPrintable(status));
        QCOMPARE(allRecords(m_dir->path()).value_or(QList<CheckRecord>()),
                 QList<CheckRecord>{record});
    }

    void everyPartIsNamed()
    {
        showHistory();
        auto* page = control<QWidget>(*m_window, QStringLiteral("HistoryPage"));
        int named = 0;
        for (QWidget* widget : page->findChildren<QWidget*>()) {
            // Those of a route without a title are hidden, out of a screen reader's way.
            if ((!qobject_cast<QLabel*>(widget) && !qobject_cast<DayStrip*>(widget) &&
                 !qobject_cast<HourChart*>(widget) && !qobject_cast<QTreeWidget*>(widget)) ||
                !widget->isVisibleTo(page))
                continue;
            QVERIFY2(!widget->accessibleDescription().isEmpty(),
                     qPrintable(widget->metaObject()->className() + QStringLiteral(" ") +
                                widget->accessibleName()));
            QVERIFY2(!widget->accessibleName().trimmed().isEmpty(),
                     qPrintable(widget->accessibleDescription()));
            ++named;
        }
        QVERIFY2(named > 2 * 7, qPrintable(QString::number(named)));
    }
};

QTEST_MAIN(TestHistoryPage)
#include "tst_historypage.moc"
