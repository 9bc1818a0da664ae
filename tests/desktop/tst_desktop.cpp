// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The option switches, the interval options and the notification-area icon on their own, each
// bound to one set of settings values; the icon's clicks, menu and pictures.
#include "desktop/IntervalOptions.h"
#include "desktop/OptionSwitches.h"
#include "desktop/TrayIcon.h"

#include <QBitArray>
#include <QCheckBox>
#include <QMenu>
#include <QRadioButton>
#include <QSignalSpy>
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

class TestDesktop : public QObject
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

    void trayIconAddedTwice()
    {
        TrayIcon tray;
        QVERIFY(!tray.isPresent());
        QCOMPARE(tray.trayCallbackFlag(), 0);

        tray.setPicture(TrayPicture::Delay);
        tray.AddTrayIcon();
        tray.AddTrayIcon();
        QVERIFY(tray.isPresent());
        QCOMPARE(tray.trayCallbackFlag(), 1);
        QCOMPARE(tray.picture(), TrayPicture::Normal);
        const QList<QSystemTrayIcon*> icons = tray.findChildren<QSystemTrayIcon*>();
        QCOMPARE(icons.size(), 1);
        QCOMPARE(icons.first()->toolTip(), QStringLiteral("Senrokan"));
        QStringList entries;
        for (QAction* action : tray.mnuMailCheck()->actions())
            entries << action->text();
        QCOMPARE(entries, (QStringList{"設定", "終了"}));
        QVERIFY(!icons.first()->icon().pixmap(16, 16).isNull());

        tray.remove();
        QVERIFY(!tray.isPresent());
    }

    void trayEvents_data()
    {
        QTest::addColumn<bool>("resident");
        QTest::addColumn<QString>("event"); // a click on the icon, or a menu entry chosen
        QTest::addColumn<int>("shows");     // showWindowRequested signals
        QTest::addColumn<int>("exits");
        QTest::addColumn<bool>("menu");
        QTest::addColumn<int>("flagAfter");
        QTest::newRow("double-click while resident shows the window")
            << true << "double-click" << 1 << 0 << false << 0;
        QTest::newRow("right button while resident opens the menu")
            << true << "right button" << 0 << 0 << true << 1;
        QTest::newRow("single click while resident does nothing")
            << true << "single click" << 0 << 0 << false << 1;
        QTest::newRow("double-click before going resident does nothing")
            << false << "double-click" << 0 << 0 << false << 0;
        QTest::newRow("right button before going resident does nothing")
            << false << "right button" << 0 << 0 << false << 0;
        QTest::newRow("設定 shows the window") << true << "mnuSetting" << 1 << 0 << false << 0;
        QTest::newRow("終了 ends the program") << true << "mnuEndding" << 0 << 1 << false << 1;
    }

    void trayEvents()
    {
        QFETCH(bool, resident);
        QFETCH(QString, event);
        QFETCH(int, shows);
        QFETCH(int, flagAfter);
        const QMap<QString, QSystemTrayIcon::ActivationReason> clicks{
            {"double-click", QSystemTrayIcon::DoubleClick},
            {"right button", QSystemTrayIcon::Context},
            {"single click", QSystemTrayIcon::Trigger}};
        TrayIcon tray;
        if (resident)
            tray.AddTrayIcon();
        QSignalSpy shown(&tray, &TrayIcon::showWindowRequested);
        QSignalSpy exited(&tray, &TrayIcon::exitRequested);
        QSystemTrayIcon* icon = tray.findChild<QSystemTrayIcon*>();

        if (clicks.contains(event))
            Q_EMIT icon->activated(clicks[event]);
        else
            tray.mnuMailCheck()->findChild<QAction*>(event)->trigger();

        QCOMPARE(shown.size(), shows);
        QTEST(int(exited.size()), "exits");
        QTEST(tray.mnuMailCheck()->isVisible(), "menu");
        QCOMPARE(tray.trayCallbackFlag(), flagAfter);
        // A tray that draws the menu itself shows its entries greyed while clicks do not count.
        for (QAction* entry : tray.mnuMailCheck()->actions())
            QCOMPARE(entry->isEnabled(), flagAfter == 1);
        tray.mnuMailCheck()->hide();
        // Once the window is shown from the icon, a second double-click does nothing.
        Q_EMIT icon->activated(QSystemTrayIcon::DoubleClick);
        QCOMPARE(shown.size(), flagAfter == 1 ? shows + 1 : shows);
    }

    // The offscreen platform has no notification area, as a login session before its panel.
    void noNotificationArea()
    {
        QVERIFY(!QSystemTrayIcon::isSystemTrayAvailable());
        TrayIcon tray;
        tray.setHostWait(200, 20);
        QSignalSpy gaveUp(&tray, &TrayIcon::noTrayHost);

        tray.AddTrayIcon();
        tray.AddTrayIcon();

        QVERIFY(gaveUp.wait(5000));
        QTest::qWait(100);
        QCOMPARE(gaveUp.size(), 1);
        QCOMPARE(tray.trayCallbackFlag(), 0);
    }

    // Each picture differs from every other at 16 pixels in its outline, not only in colour.
    void picturesDifferInShape()
    {
        QList<QBitArray> outlines;
        for (TrayPicture picture :
             {TrayPicture::Normal, TrayPicture::Delay, TrayPicture::Checking, TrayPicture::Error}) {
            const QImage image = TrayIcon::icon(picture).pixmap(16, 16).toImage().convertToFormat(
                QImage::Format_ARGB32);
            QCOMPARE(image.size(), QSize(16, 16));
            QBitArray outline(256);
            for (int i = 0; i < 256; ++i)
                outline.setBit(i, qAlpha(image.pixel(i % 16, i / 16)) > 128);
            outlines << outline;
        }
        for (int a = 0; a < outlines.size(); ++a) {
            for (int b = a + 1; b < outlines.size(); ++b) {
                const qsizetype differing = (outlines[a] ^ outlines[b]).count(true);
                QVERIFY2(differing >= 12, qPrintable(QStringLiteral("pictures %1 and %2 differ in "
                                                                    "%3 pixels of outline")
                                                         .arg(a)
                                                         .arg(b)
                                                         .arg(differing)));
            }
        }
    }
};

QTEST_MAIN(TestDesktop)
#include "tst_desktop.moc"
