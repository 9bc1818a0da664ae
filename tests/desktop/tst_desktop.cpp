// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The notification-area icon on its own: its clicks, menu and pictures.
#include "desktop/TrayIcon.h"

#include <QBitArray>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTextDocument>

using namespace senrokan;

class TestDesktop : public QObject
{
    Q_OBJECT
private Q_SLOTS:
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
        QCOMPARE(entries, (QStringList{"設定", "今すぐチェック", "終了"}));
        QVERIFY(!icons.first()->icon().pixmap(16, 16).isNull());
        // A reason from a page may hold markup: the tip reads as the text it is where Qt draws
        // it (an X11 tray of embedded icons), as rich text whenever its first line holds a tag.
        const QString tip = QStringLiteral("山手線: 遅延 <br><br><br>X\n中央線: 平常運転");
        tray.setTip(tip);
        const QString given = icons.first()->toolTip();
        QTextDocument drawn;
        Qt::mightBeRichText(given) ? drawn.setHtml(given) : drawn.setPlainText(given);
        QCOMPARE(drawn.toPlainText(), tip);

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
