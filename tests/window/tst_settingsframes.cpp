// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The settings page's option switches and interval options on their own, each bound to one set
// of settings values.
#include "window/IntervalOptions.h"
#include "window/OptionSwitches.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QTest>

using namespace senrokan;

namespace
{

QList<int> valuesOf(const SettingsValues& v)
{
    return {v.CheckIntervalMinutes, v.ResidentFlag, v.MelodyFlag, v.CheckOnResidentFlag};
}

// Values no switch would produce, so a switch that writes the wrong value shows.
const SettingsValues UnusualValues{45, 7, 8, 9};

} // namespace

class TestSettingsFrames : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void intervalOptionClicked_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("minutes");
        const int minutes[] = {10, 30, 60, 120, 240, 1440};
        // Option2 is the one selected at design: clicking it again still sets 30, as after
        // loading a hand-edited 45 that selected no other option.
        for (int n = 1; n <= 6; ++n)
            QTest::addRow("Option%d%s", n, n == 2 ? ", already selected" : "")
                << n << minutes[n - 1];
    }

    void intervalOptionClicked()
    {
        QFETCH(int, option);
        QFETCH(int, minutes);
        SettingsValues values = UnusualValues;
        IntervalOptions options(values);
        QCOMPARE(options.title(), QStringLiteral("チェック間隔"));
        // Option2 is selected at design, which is no click: the values are left alone.
        QVERIFY(options.option(2)->isChecked());
        QCOMPARE(valuesOf(values), valuesOf(UnusualValues));

        options.option(option)->click();

        QCOMPARE(valuesOf(values), (QList<int>{minutes, 7, 8, 9}));
        for (int n = 1; n <= 6; ++n)
            QCOMPARE(options.option(n)->isChecked(), n == option);
    }

    void selectInterval_data()
    {
        QTest::addColumn<int>("minutes");
        QTest::addColumn<int>("selected");
        QTest::newRow("10") << 10 << 1;
        QTest::newRow("240") << 240 << 5;
        QTest::newRow("1440") << 1440 << 6;
        QTest::newRow("45 selects nothing new") << 45 << 3;
        QTest::newRow("0 selects nothing new") << 0 << 3;
        QTest::newRow("-30 selects nothing new") << -30 << 3;
    }

    void selectInterval()
    {
        QFETCH(int, minutes);
        QFETCH(int, selected);
        SettingsValues values;
        IntervalOptions options(values);
        options.option(3)->click();
        values.CheckIntervalMinutes = minutes;

        options.selectInterval(minutes);

        for (int n = 1; n <= 6; ++n)
            QCOMPARE(options.option(n)->isChecked(), n == selected);
        QCOMPARE(values.CheckIntervalMinutes, minutes);
    }

    void switchClicked_data()
    {
        QTest::addColumn<QString>("box");
        QTest::addColumn<QList<int>>("ticked");
        QTest::addColumn<QList<int>>("cleared");
        QTest::newRow("Check1") << "Check1" << QList<int>{45, 1, 8, 9} << QList<int>{45, 0, 8, 9};
        QTest::newRow("Check14") << "Check14" << QList<int>{45, 7, 1, 9} << QList<int>{45, 7, 0, 9};
        QTest::newRow("Check2") << "Check2" << QList<int>{45, 7, 8, 1} << QList<int>{45, 7, 8, 0};
    }

    void switchClicked()
    {
        QFETCH(QString, box);
        SettingsValues values = UnusualValues;
        OptionSwitches switches(values);
        auto* check = switches.findChild<QCheckBox*>(box);
        QVERIFY(check);

        check->click();
        QTEST(valuesOf(values), "ticked");
        check->click();
        QTEST(valuesOf(values), "cleared");
    }

    void showFlags_data()
    {
        QTest::addColumn<QList<int>>("flags"); // resident, melody, check on resident
        QTest::addColumn<bool>("before");      // all boxes ticked before the load
        QTest::addColumn<QString>("ticks");    // Check1, Check14, Check2 afterwards

        QTest::newRow("1 ticks") << QList<int>{1, 1, 1} << false << "111";
        QTest::newRow("0 leaves clear") << QList<int>{0, 0, 0} << false << "000";
        QTest::newRow("0 clears a ticked box") << QList<int>{0, 0, 0} << true << "000";
        QTest::newRow("2 clears a ticked box") << QList<int>{2, 2, 2} << true << "000";
        QTest::newRow("one of each") << QList<int>{0, 1, 0} << true << "010";
    }

    void showFlags()
    {
        QFETCH(QList<int>, flags);
        QFETCH(bool, before);
        SettingsValues values;
        OptionSwitches switches(values);
        for (QCheckBox* box : {switches.check1(), switches.check14(), switches.check2()})
            box->setChecked(before);
        values = {45, flags.at(0), flags.at(1), flags.at(2)};

        switches.showFlags(values);

        QString ticks;
        for (const QCheckBox* box : {switches.check1(), switches.check14(), switches.check2()})
            ticks += box->isChecked() ? '1' : '0';
        QTEST(ticks, "ticks");
        // A flag read as 0 or 2 stays so: saving writes what was read.
        QCOMPARE(valuesOf(values), QList<int>{45} + flags);
    }
};

QTEST_MAIN(TestSettingsFrames)
#include "tst_settingsframes.moc"
