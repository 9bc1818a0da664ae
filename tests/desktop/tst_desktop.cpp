// The option switches, the interval options and the notification-area icon on their own, each
// bound to one set of settings values.
#include "desktop/IntervalOptions.h"
#include "desktop/OptionSwitches.h"
#include "desktop/TrayIcon.h"

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
SettingsValues unusualValues()
{
    return {45, 7, 8, 9};
}

} // namespace

class TestDesktop : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void intervalOptionClicked_data()
    {
        QTest::addColumn<int>("option");
        QTest::addColumn<int>("minutes");
        const int minutes[] = {10, 30, 60, 120, 240, 1440};
        for (int n = 1; n <= 6; ++n)
            QTest::addRow("Option%d", n) << n << minutes[n - 1];
    }

    void intervalOptionClicked()
    {
        QFETCH(int, option);
        QFETCH(int, minutes);
        SettingsValues values = unusualValues();
        IntervalOptions options(values);
        // Option2 starts selected; clicking it again changes nothing, so start from Option1.
        if (option == 2)
            options.option(1)->click();
        values = unusualValues();

        options.option(option)->click();

        QCOMPARE(valuesOf(values), (QList<int>{minutes, 7, 8, 9}));
        for (int n = 1; n <= 6; ++n)
            QCOMPARE(options.option(n)->isChecked(), n == option);
    }

    void designSelection()
    {
        SettingsValues values = unusualValues();
        IntervalOptions options(values);
        QVERIFY(options.option(2)->isChecked());
        QCOMPARE(options.title(), QStringLiteral("チェック間隔"));
        // Selecting at design time is no click: the values are left alone.
        QCOMPARE(valuesOf(values), valuesOf(unusualValues()));
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
        SettingsValues values = unusualValues();
        OptionSwitches switches(values);
        auto* check = switches.findChild<QCheckBox*>(box);
        QVERIFY(check);

        check->click();
        QTEST(valuesOf(values), "ticked");
        check->click();
        QTEST(valuesOf(values), "cleared");
    }

    void tickLoadedFlags_data()
    {
        QTest::addColumn<int>("melody");
        QTest::addColumn<int>("checkOnResident");
        QTest::addColumn<bool>("before");   // both boxes ticked before the load
        QTest::addColumn<QString>("ticks"); // Check14, Check2 afterwards

        QTest::newRow("1 ticks") << 1 << 1 << false << "11";
        QTest::newRow("0 leaves clear") << 0 << 0 << false << "00";
        QTest::newRow("0 leaves ticked") << 0 << 0 << true << "11";
        QTest::newRow("2 does not tick") << 2 << 2 << false << "00";
        QTest::newRow("one of each") << 1 << 0 << false << "10";
    }

    void tickLoadedFlags()
    {
        QFETCH(int, melody);
        QFETCH(int, checkOnResident);
        QFETCH(bool, before);
        SettingsValues values;
        OptionSwitches switches(values);
        switches.check14()->setChecked(before);
        switches.check2()->setChecked(before);
        values.MelodyFlag = melody;
        values.CheckOnResidentFlag = checkOnResident;

        switches.tickLoadedFlags();

        const QString ticks = QString::number(int(switches.check14()->isChecked())) +
                              QString::number(int(switches.check2()->isChecked()));
        QTEST(ticks, "ticks");
        QVERIFY(!switches.check1()->isChecked());
        // A flag read as 0 or 2 stays so, whatever its box shows.
        QCOMPARE(values.MelodyFlag, melody);
        QCOMPARE(values.CheckOnResidentFlag, checkOnResident);
    }

    void trayIconAddedTwice()
    {
        QIcon icon(QStringLiteral(":/senrokan.svg"));
        TrayIcon tray(icon);
        QVERIFY(!tray.isPresent());
        QCOMPARE(tray.trayCallbackFlag(), 0);

        tray.AddTrayIcon();
        tray.AddTrayIcon();
        QVERIFY(tray.isPresent());
        QCOMPARE(tray.trayCallbackFlag(), 1);
        const QList<QSystemTrayIcon*> icons = tray.findChildren<QSystemTrayIcon*>();
        QCOMPARE(icons.size(), 1);
        QCOMPARE(icons.first()->toolTip(), QStringLiteral("Senrokan"));
        QVERIFY(!icons.first()->icon().pixmap(16, 16).isNull());

        tray.remove();
        QVERIFY(!tray.isPresent());
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
