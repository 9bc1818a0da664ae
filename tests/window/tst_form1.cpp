// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The main window on the offscreen platform with real settings files in a temporary current
// directory: start-up loading, saving at exit, the railway files, the switches, the pointer and the
// names screen readers and automation rely on.
#include "FormHelpers.h"
#include "ModalWatcher.h"
#include "base/Failure.h"
#include "check/RouteChecker.h"
#include "desktop/TrayIcon.h"
#include "settings/CompanionSettings.h"
#include "support/OdptStandIn.h"
#include "support/ReadOnlyMount.h"
#include "window/Form1.h"
#include "window/LinePickerDialog.h"
#include "window/PageTextArea.h"

#include <QAbstractSpinBox>
#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QHostAddress>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPlainTextEdit>
#include <QRadioButton>
#include <QScopeGuard>
#include <QScreen>
#include <QSignalSpy>
#include <QTabBar>
#include <QTabWidget>
#include <QTest>
#include <QTreeWidget>

#include <memory>

using namespace senrokan;
using namespace senrokan::test;

namespace
{

const QString Settings = QStringLiteral("Senrokan.DEF");
// Page r is route r; the page 履歴 follows the routes whatever the file says.
const QStringList DesignTabs = {"Tab 0", "Tab 1", "Tab 2", "Tab 3", "Tab 4", "Tab 5", "履歴"};
// Tab texts as set: "&&" shows a single "&".
const QStringList FullTabs = {"設定",        "東海道線", "  山手線 ", "京浜東北線&&根岸線",
                              "ﾊﾝｶｸ ｶﾀｶﾅ線", "",         "履歴"};
const QStringList RailTabs = {"設定", "中央線", "総武線", "", "", "埼京線", "履歴"};

QList<int> valuesOf(const DesktopProgram& program)
{
    const SettingsValues& v = program.settingsValues();
    return {v.CheckIntervalMinutes, v.ResidentFlag, v.MelodyFlag, v.CheckOnResidentFlag};
}

int checkedOption(const Form1& window)
{
    for (int n = 1; n <= 6; ++n) {
        if (control<QRadioButton>(window, QStringLiteral("Option%1").arg(n))->isChecked())
            return n;
    }
    return 0;
}

// Check1, Check14, Check2 as "0" or "1" each.
QString boxes(const Form1& window)
{
    QString ticks;
    for (const char* name : {"Check1", "Check14", "Check2"})
        ticks += control<QCheckBox>(window, QString::fromLatin1(name))->isChecked() ? '1' : '0';
    return ticks;
}

QStringList tabCaptions(const Form1& window)
{
    const auto* tabs = control<QTabWidget>(window, QStringLiteral("SSTab1"));
    QStringList captions;
    for (int i = 0; i < tabs->count(); ++i)
        captions << tabs->tabText(i);
    return captions;
}

// Rows of controlNames from "name=text" entries: the text is the caption, also spoken, or spoken
// only.
void addNameRows(bool captioned, const QStringList& entries)
{
    for (const QString& entry : entries) {
        const QString name = entry.section('=', 0, 0);
        const QString text = entry.section('=', 1);
        QTest::newRow(qPrintable(name)) << name << (captioned ? text : QString()) << text;
    }
}

QString text9(const Form1& window)
{
    return control<QLineEdit>(window, "Text9")->text();
}

} // namespace

class TestForm1 : public QObject
{
    Q_OBJECT

    std::unique_ptr<CurrentFolder> m_dir;

    QString path(const QString& name) const { return m_dir->filePath(name); }

    void place(const Files& files)
    {
        for (auto it = files.begin(); it != files.end(); ++it)
            writeBytes(path(it.key()), it.value());
    }

private Q_SLOTS:
    void init()
    {
        m_dir = std::make_unique<CurrentFolder>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup() { m_dir.reset(); }

    void startUp_data()
    {
        QTest::addColumn<Files>("files");
        QTest::addColumn<QString>("text9");
        QTest::addColumn<QList<int>>("values"); // interval, resident, melody, check on resident
        QTest::addColumn<int>("option");        // the selected OptionN, 0 for none
        QTest::addColumn<QString>("boxes");     // Check1, Check14, Check2
        QTest::addColumn<QStringList>("tabs");
        QTest::addColumn<QString>("title1");
        QTest::addColumn<bool>("resident");

        const QByteArray full = fixture("full.DEF");
        const QByteArray priority = fixture("priority-settings.DEF");

        QTest::newRow("no settings file")
            << Files{} << "" << QList<int>{30, 0, 0, 0} << 2 << "000" << DesignTabs << "" << false;
        QTest::newRow("full file") << Files{{Settings, full}} << "" << QList<int>{60, 0, 1, 0} << 3
                                   << "010" << FullTabs << "東海道線" << false;
        QTest::newRow("priority railway file") << Files{{Settings, priority},
                                                        {"rail.DEF", fixture("rail.DEF")},
                                                        {"other.DEF", fixture("other.DEF")}}
                                               << "rail.DEF" << QList<int>{240, 0, 0, 1} << 5
                                               << "001" << RailTabs << "中央線" << false;
        // Resident, the window keeps what the railway file says until it is first shown.
        QTest::newRow("resident, priority railway file")
            << Files{{Settings, priority},
                     {"rail.DEF", withLine(fixture("rail.DEF"), 3, "1")},
                     {"other.DEF", fixture("other.DEF")}}
            << "rail.DEF" << QList<int>{240, 1, 0, 1} << 5 << "101" << RailTabs << "中央線" << true;
        QTest::newRow("priority railway file missing")
            << Files{{Settings, priority}} << "rail.DEF" << QList<int>{30, 0, 0, 0} << 2 << "000"
            << DesignTabs << "" << false;
        // Read as resident, the program goes resident with the interval of the option it shows.
        QTest::newRow("five lines")
            << Files{{Settings, fixture("five-lines.DEF")}} << "" << QList<int>{30, 1, 1, 1} << 2
            << "111" << DesignTabs << "" << true;
        QTest::newRow("resident") << Files{{Settings, withLine(full, 3, "1")}} << ""
                                  << QList<int>{60, 1, 1, 0} << 3 << "110" << FullTabs << "東海道線"
                                  << true;
    }

    void startUp()
    {
        QFETCH(Files, files);
        place(files);
        ModalWatcher watcher;
        LoadedProgram program;
        Form1& window = program.window();
        // A window that stays hidden makes no controls; what it was given waits for them.
        QFETCH(bool, resident);
        QCOMPARE(window.findChild<QLineEdit*>() == nullptr, resident);

        QTEST(text9(window), "text9");
        QTEST(valuesOf(program), "values");
        QTEST(checkedOption(window), "option");
        QTEST(boxes(window), "boxes");
        QTEST(tabCaptions(window), "tabs");
        QCOMPARE(control<QTabWidget>(window, "SSTab1")->currentIndex(), 0);
        QTEST(program.routes().routeField(1, Title), "title1");
        for (int r = 1; r <= RouteCount; ++r) {
            QCOMPARE(program.routes().routeField(r, PortNumber), QStringLiteral("80"));
            QCOMPARE(program.round().states().at(r).Title, program.routes().routeField(r, Title));
            QCOMPARE(program.round().states().at(r).Status, int(StatusNone));
        }
        QCOMPARE(window.isVisible(), !resident);
        QCOMPARE(program.trayIcon().isPresent(), resident);
        QVERIFY(watcher.messages.isEmpty());
        window.show();
        // Only a first start, without a settings file, says where to begin.
        const auto* hint = control<QLabel>(window, "StartHint");
        QCOMPARE(hint->isVisible(), !files.contains(Settings));
        QVERIFY(hint->text().contains(QStringLiteral("「路線を選ぶ…」")));
        QVERIFY(!control<QLineEdit>(window, "Text6")->text().isEmpty());
        const QHostAddress address(control<QLineEdit>(window, "Text7")->text());
        QCOMPARE(address.protocol(), QAbstractSocket::IPv4Protocol);
    }

    // The page text's menu fills in the route whose page is open, page r being route r, and is
    // off elsewhere; what the word matched is told and marked.
    void pageTextFillsOpenRoute()
    {
        DesktopProgram program;
        Form1& window = program.window();
        window.show();
        auto* tabs = control<QTabWidget>(window, "SSTab1");
        auto* area = control<PageTextArea>(window, "RichTextBox1");
        window.setPageText(QStringLiteral("平常運転 遅延"));
        program.setMatchCount({QStringLiteral("平常運転"), 1, false});
        QVERIFY(control<QLineEdit>(window, "Text8")->text().contains(QStringLiteral("1回")));
        QCOMPARE(area->extraSelections().size(), 1);
        area->setTextCursor(area->extraSelections().at(0).cursor);
        for (int page = 0; page < tabs->count(); ++page) {
            tabs->setCurrentIndex(page);
            area->findChild<QAction*>("SetMatchWord")->trigger();
            QCOMPARE(program.routes().routeField(page, MatchWord).isEmpty(), !isRouteIndex(page));
        }
    }

    // Where the window was is kept beside the settings file and restored, on a screen that is.
    void geometryKept_data()
    {
        QTest::addColumn<QRect>("kept");
        QTest::addColumn<bool>("restored");
        QTest::newRow("on the screen: where it was") << QRect(30, 40, 640, 500) << true;
        QTest::newRow("on a screen gone since: on the one there is")
            << QRect(-4000, -3000, 640, 500) << false;
    }

    void geometryKept()
    {
        QFETCH(QRect, kept);
        QFETCH(bool, restored);
        place({{"Senrokan.ini", QStringLiteral("[Window]\nGeometry=%1,%2,%3,%4\n")
                                    .arg(kept.x())
                                    .arg(kept.y())
                                    .arg(kept.width())
                                    .arg(kept.height())
                                    .toUtf8()}});
        QRect last;
        {
            LoadedProgram program;
            Form1& window = program.window();
            QVERIFY(QTest::qWaitForWindowExposed(&window));
            // Its size no less than its controls need.
            QCOMPARE(window.geometry().topLeft() == kept.topLeft(), restored);
            QVERIFY(window.screen()->availableGeometry().intersects(window.geometry()));
            window.move(50, 60);
            last = window.normalGeometry();
            QVERIFY(window.close());
        }
        QVERIFY(readBytes(path("Senrokan.ini"))
                    .contains(QStringLiteral("Geometry=%1,%2,%3,%4")
                                  .arg(last.x())
                                  .arg(last.y())
                                  .arg(last.width())
                                  .arg(last.height())
                                  .toUtf8()));
    }

    // The characters CP932 adds to Shift_JIS come through as that coding maps them.
    void cp932Extensions()
    {
        place({{Settings, fixture("full.DEF")}});
        LoadedProgram program;
        QCOMPARE(program.routes().routeField(4, MatchWord), QStringLiteral("㈱①～"));
    }

    void editedTitleLeavesTab()
    {
        place({{Settings, fixture("full.DEF")}});
        LoadedProgram program;
        Form1& window = program.window();
        control<QLineEdit>(window, "Text1(1)")->setText(QStringLiteral("新しい名前"));
        QCOMPARE(tabCaptions(window), FullTabs);
        QCOMPARE(program.routes().routeField(1, Title), QStringLiteral("新しい名前"));
    }

    void saveAtExit_data()
    {
        QTest::addColumn<Files>("files");
        QTest::addColumn<QString>("typedText9"); // typed into Text9 before "終了"; null for none
        QTest::addColumn<QByteArray>("expected");

        const QByteArray full = fixture("full.DEF");
        const Files priority = {{Settings, fixture("priority-settings.DEF")},
                                {"rail.DEF", fixture("rail.DEF")}};
        QTest::newRow("full file") << Files{{Settings, full}} << QString() << full;
        QTest::newRow("UTF-8 field")
            << Files{{Settings, fixture("utf8.DEF")}} << QString() << fixture("utf8.DEF");
        QTest::newRow("interval 45")
            << Files{{Settings, withLine(full, 2, "45")}} << QString() << withLine(full, 2, "45");
        QTest::newRow("flag 2") << Files{{Settings, withLine(full, 4, "2")}} << QString()
                                << withLine(full, 4, "2");
        QTest::newRow("priority railway file")
            << priority << QString() << fixture("priority-saved.DEF");
        QTest::newRow("priority name typed with blanks")
            << priority << QStringLiteral("  rail.DEF  ") << fixture("priority-saved.DEF");
        // Lines 3-5 come from the values read, although the window kept its defaults; going
        // resident took the interval of the option shown.
        QTest::newRow("five lines")
            << Files{{Settings, fixture("five-lines.DEF")}} << QString()
            << QByteArray("\r\n30\r\n1\r\n1\r\n1\r\n") + QByteArray("\r\n").repeated(45);
        QTest::newRow("no settings file")
            << Files{} << QString()
            << QByteArray("\r\n30\r\n0\r\n0\r\n0\r\n") + QByteArray("\r\n").repeated(45);
    }

    void saveAtExit()
    {
        QFETCH(Files, files);
        QFETCH(QString, typedText9);
        place(files);
        ModalWatcher watcher;
        DesktopProgram program;
        Form1& window = program.window();
        QSignalSpy ended(&program, &DesktopProgram::programEnded);
        program.start();
        if (!typedText9.isNull())
            control<QLineEdit>(window, "Text9")->setText(typedText9);

        click(window, "Command13");

        QTEST(readBytes(path(Settings)), "expected");
        QCOMPARE(ended.count(), 1);
        QVERIFY(watcher.messages.isEmpty());
        if (files.contains("rail.DEF"))
            QCOMPARE(readBytes(path("rail.DEF")), files["rail.DEF"]);
    }

    // The port is no line of the settings file: it is kept in Senrokan.ini once typed, and the
    // next start shows it.
    void portKeptBesideTheSettingsFile()
    {
        place({{Settings, fixture("full.DEF")}});
        {
            LoadedProgram program;
            Form1& window = program.window();
            auto* port = control<QLineEdit>(window, "Text1(5)");
            port->clear();
            QTest::keyClicks(port, QStringLiteral("8080"));
            QTest::keyClick(port, Qt::Key_Return);
            click(window, "Command13");
        }
        QCOMPARE(readBytes(path(Settings)), fixture("full.DEF"));
        QVERIFY(readBytes(path(CompanionFileName)).startsWith("[Route1]\nPort=8080\n"));
        LoadedProgram nextProgram;
        QCOMPARE(nextProgram.routes().routeField(1, PortNumber), QStringLiteral("8080"));
    }

    void saveUnwritable_data()
    {
        QTest::addColumn<QString>("cause");
        QTest::addColumn<bool>("resident"); // ended by the icon's menu from resident operation
        QTest::newRow("current directory removed") << "removed" << false;
        QTest::newRow("read-only mount") << "read-only" << false;
        QTest::newRow("read-only mount, menu 終了 while resident") << "read-only" << true;
    }

    // A failed save at "終了" keeps the program, shown, with every edit; once the cause is gone the
    // next "終了" saves them and ends.
    void saveUnwritable()
    {
        QFETCH(QString, cause);
        QFETCH(bool, resident);
        const QByteArray old = fixture("full.DEF");
        ReadOnlyMount readOnly;
        QString folder = m_dir->path();
        if (cause == "read-only") {
            QVERIFY2(readOnly.isMounted(), "cannot mount a tmpfs");
            folder = readOnly.path();
            QVERIFY(QDir::setCurrent(folder));
        }
        const QString settings = QDir(folder).filePath(Settings);
        writeBytes(settings, old);
        ModalWatcher watcher;
        DesktopProgram program;
        Form1& window = program.window();
        QSignalSpy ended(&program, &DesktopProgram::programEnded);
        program.start();
        control<QLineEdit>(window, "Text1(1)")->setText(QStringLiteral("変更"));
        const auto endByExit = [&] {
            if (resident)
                program.trayIcon().mnuMailCheck()->findChild<QAction*>("mnuEndding")->trigger();
            else
                click(window, "Command13");
        };
        if (resident)
            click(window, "Command22");
        const bool rootHadFile = QFile::exists("/" + Settings);
        // Should the save wrongly reach the root directory, it leaves nothing behind.
        const auto removeStray = qScopeGuard([rootHadFile] {
            if (!rootHadFile)
                QFile::remove("/" + Settings);
        });

        if (cause == "removed") {
            QVERIFY(QDir(path("sub")).mkpath("."));
            QVERIFY(QDir::setCurrent(path("sub")));
            QVERIFY(QDir(path("sub")).removeRecursively());
            endByExit();
            QVERIFY(QDir::setCurrent(folder));
        } else {
            QVERIFY(readOnly.setReadOnly(true));
            endByExit();
            QVERIFY(readOnly.setReadOnly(false));
        }

        QCOMPARE(watcher.messages.size(), 1);
        const ModalWatcher::Message& box = watcher.messages.first();
        QCOMPARE(box.title, QStringLiteral("メッセージ"));
        QCOMPARE(box.text, failureDescription(FailureKind::CannotWrite));
        QCOMPARE(ended.count(), 0);
        QVERIFY(window.isVisible());
        QCOMPARE(program.trayIcon().trayCallbackFlag(), 0);
        // Shown again, the icon's menu stops counting, as it does when the icon brings it back.
        for (const QAction* entry : program.trayIcon().mnuMailCheck()->actions())
            QVERIFY(!entry->isEnabled());
        QCOMPARE(program.routes().routeField(1, Title), QStringLiteral("変更"));
        QCOMPARE(readBytes(settings), old);
        QCOMPARE(QDir(folder).entryList(QDir::Files), QStringList{Settings});
        QCOMPARE(QFile::exists("/" + Settings), rootHadFile);

        click(window, "Command13");
        QCOMPARE(ended.count(), 1);
        QCOMPARE(watcher.messages.size(), 1);
        const SettingsRead saved = readSettings(folder);
        QVERIFY(saved.complete);
        QCOMPARE(saved.routes.at(0).at(0), QStringLiteral("変更"));
    }

    void exportThroughDialog()
    {
        place({{Settings, fixture("priority-settings.DEF")}, {"rail.DEF", fixture("rail.DEF")}});
        ModalWatcher watcher;
        LoadedProgram program;
        Form1& window = program.window();
        watcher.answerFileDialog(path("mine.DEF"));

        click(window, "Command6");

        QCOMPARE(watcher.fileDialogs.size(), 1);
        const ModalWatcher::FileDialog& dialog = watcher.fileDialogs.first();
        QCOMPARE(dialog.mode, QFileDialog::AcceptSave);
        QCOMPARE(dialog.proposedName, QStringLiteral("Senrokan000.DEF"));
        QCOMPARE(dialog.nameFilters, QStringList{"テキスト ファイル（*.def） (*.DEF)"});
        QCOMPARE(readBytes(path("mine.DEF")), fixture("rail-exported.DEF"));
        QVERIFY(watcher.messages.isEmpty());
        QCOMPARE(text9(window), QStringLiteral("rail.DEF"));
        QCOMPARE(readBytes(path(Settings)), fixture("priority-settings.DEF"));
    }

    void dialogCancelled_data()
    {
        QTest::addColumn<QString>("button");
        QTest::newRow("鉄道ファイル保存") << "Command6";
        QTest::newRow("鉄道ファイル読出") << "Command7";
    }

    // Cancelling either file dialog changes neither the window nor any file, the proposed export
    // name among them.
    void dialogCancelled()
    {
        QFETCH(QString, button);
        const Files files = {{Settings, fixture("full.DEF")}, {"Senrokan000.DEF", "untouched\r\n"}};
        place(files);
        ModalWatcher watcher;
        LoadedProgram program;
        Form1& window = program.window();
        watcher.answerFileDialog(QString());

        click(window, button);

        QCOMPARE(watcher.fileDialogs.size(), 1);
        QVERIFY(watcher.messages.isEmpty());
        QCOMPARE(valuesOf(program), (QList<int>{60, 0, 1, 0}));
        QCOMPARE(tabCaptions(window), FullTabs);
        QCOMPARE(program.routes().routeField(1, Title), QStringLiteral("東海道線"));
        QCOMPARE(filesIn(m_dir->path()), files);
    }

    void exportUnwritable()
    {
        place({{Settings, fixture("full.DEF")}, {"plain", QByteArray("a file, not a folder\n")}});
        ModalWatcher watcher;
        LoadedProgram program;
        Form1& window = program.window();
        const QList<int> before = valuesOf(program);
        watcher.answerFileDialog(path("plain/Senrokan000.DEF"));

        click(window, "Command6");

        QCOMPARE(watcher.fileDialogs.size(), 1);
        QCOMPARE(watcher.messages.size(), 1);
        QCOMPARE(watcher.messages.first().title, QStringLiteral("メッセージ"));
        QCOMPARE(watcher.messages.first().text, failureDescription(FailureKind::CannotWrite));
        QCOMPARE(valuesOf(program), before);
        QCOMPARE(tabCaptions(window), FullTabs);
        QVERIFY(window.isVisible());
    }

    void importThroughDialog()
    {
        place({{"rail.DEF", fixture("rail.DEF")}, {"other.DEF", fixture("other.DEF")}});
        ModalWatcher watcher;
        LoadedProgram program;
        Form1& window = program.window();
        control<QLineEdit>(window, "Text9")->setText(QStringLiteral("some.DEF"));
        control<QLineEdit>(window, "Text1(5)")->setText(QStringLiteral("8080"));
        for (int r = 1; r <= RouteCount; ++r)
            program.round().states().at(r) = {"old", "2026-03-05T14:07:09", StatusDelayed, {}};
        watcher.answerFileDialog(path("rail.DEF"));

        click(window, "Command7");

        QCOMPARE(watcher.fileDialogs.size(), 1);
        const ModalWatcher::FileDialog& dialog = watcher.fileDialogs.first();
        QCOMPARE(dialog.mode, QFileDialog::AcceptOpen);
        QCOMPARE(dialog.nameFilters, QStringList{"テキスト ファイル (*.def) (*.DEF)"});
        QCOMPARE(valuesOf(program), (QList<int>{240, 0, 0, 1}));
        QCOMPARE(checkedOption(window), 5);
        QCOMPARE(boxes(window), QStringLiteral("001"));
        QCOMPARE(text9(window), QString());
        QCOMPARE(tabCaptions(window), RailTabs);
        QCOMPARE(program.routes().routeField(5, ServerName), QStringLiteral("saikyo.example.jp"));
        // The port is no line of the file: what was typed stays.
        QCOMPARE(program.routes().routeField(1, PortNumber), QStringLiteral("8080"));
        for (int r = 1; r <= RouteCount; ++r) {
            const RouteState& state = program.round().states().at(r);
            QCOMPARE(state.Title, program.routes().routeField(r, Title));
            QCOMPARE(state.CheckTime, QString());
            QCOMPARE(state.Status, int(StatusNone));
        }
        click(window, "Command11");
        const QString summary = control<QPlainTextEdit>(window, "RichTextBox1")->toPlainText();
        QVERIFY2(summary.startsWith(QStringLiteral("中央線　不明です。   ")), qPrintable(summary));
        QVERIFY(!summary.contains(QStringLiteral("old")));
        QVERIFY(watcher.messages.isEmpty());
        QVERIFY(!QFile::exists(path(Settings)));
    }

    void importEdgeCases_data()
    {
        QTest::addColumn<QByteArray>("file"); // null: there is no such file
        QTest::addColumn<QList<int>>("values");
        QTest::addColumn<bool>("complete");
        QTest::addColumn<QString>("boxes");
        QTest::addColumn<bool>("resident");

        const QByteArray full = fixture("full.DEF");
        // Before each import: no settings file, all three boxes ticked, so values 30, 1, 1, 1. The
        // boxes show the flags afterwards, also those a short file changed.
        QTest::newRow("flag 2 with the box on")
            << withLine(full, 4, "2") << QList<int>{60, 0, 2, 0} << true << "000" << false;
        QTest::newRow("resident 1 hides the window")
            << withLine(full, 3, "1") << QList<int>{60, 1, 1, 0} << true << "110" << true;
        QTest::newRow("not a number on line 4")
            << withLine(full, 4, "1.5") << QList<int>{60, 0, 1, 1} << false << "011" << false;
        QTest::newRow("missing file")
            << QByteArray() << QList<int>{30, 1, 1, 1} << false << "111" << false;
        QTest::newRow("settings file naming a priority file")
            << fixture("priority-settings.DEF") << QList<int>{10, 0, 0, 0} << true << "000"
            << false;
    }

    void importEdgeCases()
    {
        QFETCH(QByteArray, file);
        QFETCH(bool, complete);
        QFETCH(bool, resident);
        if (!file.isNull())
            place({{"import.DEF", file}});
        ModalWatcher watcher;
        LoadedProgram program;
        Form1& window = program.window();
        for (const char* box : {"Check1", "Check14", "Check2"})
            click(window, QString::fromLatin1(box));
        control<QLineEdit>(window, "Text9")->setText(QStringLiteral("keep.DEF"));
        control<QLineEdit>(window, "Text1(1)")->setText(QStringLiteral("before"));
        program.round().states().at(1) = {"old", "2026-03-05T14:07:09", StatusDelayed, {}};

        window.importRailwayFile(path("import.DEF"));

        QTEST(valuesOf(program), "values");
        QTEST(boxes(window), "boxes");
        QCOMPARE(window.isVisible(), !resident);
        QCOMPARE(program.trayIcon().isPresent(), resident);
        // Resident means checking: the timed checks run from the import on.
        QCOMPARE(program.cycle().isTimer1Running(), resident);
        QVERIFY(watcher.messages.isEmpty());
        const RouteState& state = program.round().states().at(1);
        if (complete) {
            QCOMPARE(text9(window), QString());
            QVERIFY(program.routes().routeField(1, Title) != QStringLiteral("before"));
            QCOMPARE(state.Title, program.routes().routeField(1, Title));
            QCOMPARE(state.Status, int(StatusNone));
            QCOMPARE(tabCaptions(window).first(), QStringLiteral("設定"));
        } else {
            QCOMPARE(text9(window), QStringLiteral("keep.DEF"));
            QCOMPARE(program.routes().routeField(1, Title), QStringLiteral("before"));
            QCOMPARE(state.Title, QStringLiteral("old"));
            QCOMPARE(state.CheckTime, QStringLiteral("2026-03-05T14:07:09"));
            QCOMPARE(state.Status, int(StatusDelayed));
            QCOMPARE(tabCaptions(window), DesignTabs);
            QCOMPARE(checkedOption(window), 2);
        }
        QVERIFY(!QFile::exists(path(Settings)));
    }

    void switchesOnlySetFlags_data()
    {
        QTest::addColumn<QString>("control");
        QTest::addColumn<QList<int>>("values");

        // What each option and box sets is the switches' own test; one of each shows the window's
        // values are the ones they set.
        QTest::newRow("Option1") << "Option1" << QList<int>{10, 0, 0, 0};
        QTest::newRow("Check1") << "Check1" << QList<int>{30, 1, 0, 0};
    }

    void switchesOnlySetFlags()
    {
        QFETCH(QString, control);
        ModalWatcher watcher;
        LoadedProgram program;
        Form1& window = program.window();

        click(window, control);

        QTEST(valuesOf(program), "values");
        // Ticking "タスクトレイに常駐" only makes the next start resident.
        QVERIFY(window.isVisible());
        QVERIFY(!program.trayIcon().isPresent());
        QVERIFY(watcher.messages.isEmpty());
        QVERIFY(QDir(m_dir->path()).entryList(QDir::Files).isEmpty());
    }

    // "ブラウザで読む" is saved at once in Senrokan.ini, beside anything else there, and a
    // window shown again shows what the file says now.
    void renderChoiceSaved()
    {
        place({{CompanionFileName, QByteArray("; mine\n[Route2]\nRender=true\n")}});
        LoadedProgram program;
        Form1& window = program.window();
        window.show();
        auto box = [&window](int r) {
            return control<QCheckBox>(window, QStringLiteral("RenderCheck%1").arg(r));
        };
        QVERIFY(box(2)->isChecked());
        QVERIFY(!box(3)->isChecked());
        click(window, QStringLiteral("RenderCheck3"));
        click(window, QStringLiteral("RenderCheck2"));
        const QByteArray saved = readBytes(path(CompanionFileName));
        QCOMPARE(saved, QByteArray("; mine\n[Route2]\nRender=false\n\n[Route3]\nRender=true\n"));

        RouteOptions rendered;
        rendered.render = true;
        QVERIFY(CompanionSettings(m_dir->path()).saveRouteOptions(5, rendered).done);
        window.hide();
        window.show();
        QCOMPARE(QList<bool>({box(2)->isChecked(), box(3)->isChecked(), box(5)->isChecked()}),
                 QList<bool>({false, true, true}));
        // The settings file itself is not touched by the choice.
        QVERIFY(!QFile::exists(path(SettingsFileName)));
    }

    void lineChosenFromList_data()
    {
        QTest::addColumn<bool>("live");     // Base= is the stand-in of the API, else out of reach
        QTest::addColumn<QString>("key");   // typed into the dialog, then 一覧を読み直す
        QTest::addColumn<QString>("query"); // typed before that read
        QTest::addColumn<QString>("line");  // chosen
        QTest::addColumn<QString>("lineId");
        QTest::addColumn<QString>("firstRead"); // what the list's source says after the first read
        QTest::addColumn<QString>("source");    // and when the line is chosen
        QTest::addColumn<QString>("wordBefore");
        QTest::addColumn<QString>("wordAfter");
        QTest::addColumn<int>("closeAnswer"); // at the close box afterwards; 0: not closed

        const auto shipped = [](const char* name, int closeAnswer) {
            QTest::newRow(name) << false << ""
                                << "ぎんざ"
                                << "銀座線"
                                << "odpt.Railway:TokyoMetro.Ginza"
                                << "届きません"
                                << "届きません"
                                << ""
                                << "平常" << closeAnswer;
        };
        shipped("shipped list, API out of reach", 0);
        shipped("chosen, then いいえ at the close box", int(QMessageBox::No));
        // Refused without a key; the one typed reads the live list, the search kept.
        QTest::newRow("live list once a key is typed")
            << true << OdptStandIn::ConsumerKey << "はなみち"
            << "花道線"
            << "odpt.Railway:Sakura.Hanamichi"
            << "断りました"
            << "ODPTのAPI（"
            << "運転"
            << "運転" << 0;
    }

    // "路線を選ぶ…" fills the route's fields and feed, an edit like typing, and names its tab; the
    // key goes to [ODPT] at once, and only there.
    void lineChosenFromList()
    {
        QFETCH(bool, live);
        QFETCH(QString, key);
        QFETCH(QString, wordBefore);
        QFETCH(QString, firstRead);
        QFETCH(QString, query);
        QFETCH(QString, source);
        QFETCH(QString, line);
        OdptStandIn api;
        if (live)
            QVERIFY2(api.start(), qPrintable(api.error()));
        const QString base = live ? api.base() : QStringLiteral("http://127.0.0.1:1/api/v4/");
        place({{CompanionFileName, "[ODPT]\nBase=" + base.toUtf8() + '\n'}});
        LoadedProgram program;
        Form1& window = program.window();
        window.show();
        setField(window, 1, MatchWord, wordBefore);
        click(window, "ChooseLine1");
        auto* dialog = control<LinePickerDialog>(window, "LinePicker");
        const auto* told = control<QLabel>(*dialog, "LineSource");
        QTRY_VERIFY2(told->text().contains(firstRead), qPrintable(told->text()));
        control<QLineEdit>(*dialog, "LineSearch")->setText(query);
        if (!key.isEmpty()) {
            control<QLineEdit>(*dialog, "ConsumerKeyText")->setText(key);
            // Enter in the key field reads the list again.
            QTest::keyClick(control<QLineEdit>(*dialog, "ConsumerKeyText"), Qt::Key_Return);
        }
        QVERIFY2(told->text().contains(source), qPrintable(told->text()));
        auto* tree = control<QTreeWidget>(*dialog, "LineTree");
        const QList<QTreeWidgetItem*> items =
            tree->findItems(line, Qt::MatchExactly | Qt::MatchRecursive);
        QCOMPARE(items.size(), 1);
        // The search narrowed the list to the line and its operator, read anew or not.
        QCOMPARE(tree->findItems("*", Qt::MatchWildcard | Qt::MatchRecursive).size(), 2);
        tree->setCurrentItem(items.at(0));
        click(*dialog, "LinePickerOk");

        QCOMPARE(program.routes().routeField(1, Title), line);
        QTEST(program.routes().routeField(1, MatchWord), "wordAfter");
        QCOMPARE(tabCaptions(window).at(1), line);
        const CompanionValues saved = CompanionSettings(m_dir->path()).read();
        QVERIFY(saved.routes[1].feed.isEmpty());
        const RouteOptions options = program.routes().options()[1];
        QTEST(options.feedLine, "lineId");
        QVERIFY2(options.feed.startsWith(base + "odpt:TrainInformation") &&
                     options.feed.endsWith(odptOperatorOf(options.feedLine)),
                 qPrintable(options.feed));
        QCOMPARE(saved.odpt.consumerKey, key);
        QCOMPARE(options.feedKey, key);
        if (!key.isEmpty())
            QCOMPARE(readBytes(path(CompanionFileName)).count(key.toUtf8()), 1);
        // The fields are saved at 終了, as typed ones are.
        QVERIFY(!QFile::exists(path(Settings)));
        QFETCH(int, closeAnswer);
        if (closeAnswer == 0)
            return;
        ModalWatcher watcher;
        watcher.answerQuestion(QMessageBox::StandardButton(closeAnswer));
        window.close();
        // Only where the window was is kept.
        QVERIFY(!readBytes(path(CompanionFileName)).contains("[Route1]"));
        QVERIFY(!QFile::exists(path(Settings)));
    }

    void busyPointer()
    {
        LoadedProgram program;
        Form1& window = program.window();
        window.setBusy(true);
        window.setBusy(true);
        QCOMPARE(window.cursor().shape(), Qt::WaitCursor);
        window.setBusy(false);
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
    }

    void controlNames_data()
    {
        QTest::addColumn<QString>("name");    // the control's name, its accessible description
        QTest::addColumn<QString>("caption"); // its caption, or null for a control without one
        QTest::addColumn<QString>("spoken");  // its accessible name

        // A control with a caption is spoken by it: the window and its settings page,
        addNameRows(true, {"Form1=Senrokan  Ver.1.20", "Command11=運行情報表示", "Command13=終了",
                           "Label6=コンピュータ名", "Label7=IPアドレス", "Command20=ｽﾀｰﾄｱｯﾌﾟに登録",
                           "Command21=ｽﾀｰﾄｱｯﾌﾟから削除", "Command22=タスクトレイに常駐",
                           "Command7=鉄道ファイル読出", "Command6=鉄道ファイル保存",
                           "Label8=優先鉄道ファイル", "Check14= メロディを鳴らす",
                           "Check1= タスクトレイに常駐", "Check2=常駐後すぐにチェック"});
        // and the interval options and a route's page.
        addNameRows(true, {"Option1= 10分", "Option2= 30分", "Option3= 1時間", "Option4= 2時間",
                           "Option5= 4時間", "Option6= 24時間", "Label1(1)=タイトル",
                           "Label2(2)=サーバ名", "Label2(4)=一致ワード", "Label4(5)=ポート番号",
                           "Label5(6)=遅延時ﾃﾞｨﾚｸﾄﾘ名", "Label1(7)=有効時間帯", "Label3(8)= ～",
                           "Label1(9)=サブタイトル", "Command1(1)=送信", "Command5(1)=送信",
                           "ChooseLine2=路線を選ぶ…", "RenderCheck2=ブラウザで読む"});
        // The others are spoken by their labels or their role.
        addNameRows(false, {"SSTab1=設定と路線", "RichTextBox1=ページテキスト", "Text8=状態",
                            "Text6=コンピュータ名", "Text7=IPアドレス", "Text9=優先鉄道ファイル",
                            "Text1(1)=タイトル", "Text3(3)=ディレクトリ名", "Text3(8)= ～",
                            "Text1(10)=サブタイトル", "WebBrowser1=Webページ",
                            "WebBrowser5=Webページ", "HistoryPage=履歴"});
    }

    void controlNames()
    {
        QFETCH(QString, name);
        QFETCH(QString, caption);
        DesktopProgram program;
        Form1& window = program.window();
        QWidget* widget = name == "Form1" ? &window : control<QWidget>(window, name);
        QCOMPARE(widget->accessibleDescription(), name);
        QTEST(widget->accessibleName(), "spoken");
        if (auto* label = qobject_cast<QLabel*>(widget))
            QCOMPARE(label->text(), caption);
        else if (auto* button = qobject_cast<QAbstractButton*>(widget))
            QCOMPARE(button->text(), caption);
        else if (widget == &window)
            QCOMPARE(window.windowTitle(), caption);
        else
            QVERIFY(caption.isNull());
    }

    void everyControlIsNamed()
    {
        DesktopProgram program;
        Form1& window = program.window();
        window.makeControls();
        // The page 履歴 has no controls before it is first shown.
        QStringList expected = {"SSTab1", "RichTextBox1", "Text8", "Command11", "Command13",
                                "HistoryPage", "StartHint", "Label6", "Text6", "Label7", "Text7",
                                "Label8", "Text9", "Command20", "Command21", "Command22",
                                "Command7", "Command6", "Check14", "Check1", "Check2",
                                // The frame 通知先 of the settings page.
                                "NotifyTargets", "NotifyList", "NotifyUrl", "NotifyAdd",
                                "NotifyRemove", "NotifyTest", "NotifyMessage"};
        for (int n = 1; n <= 6; ++n)
            expected << QStringLiteral("Option%1").arg(n);
        for (int r = 1; r <= RouteCount; ++r) {
            for (int k = 1; k <= RouteFieldCount; ++k)
                expected << QStringLiteral("Text%1(%2)").arg(r).arg(k);
            for (int k = 1; k < RouteFieldCount; ++k)
                expected << QStringLiteral("Label%1(%2)").arg(r).arg(k);
            expected << QStringLiteral("Command%1(1)").arg(r)
                     << QStringLiteral("ChooseLine%1").arg(r)
                     << QStringLiteral("WebBrowser%1").arg(r)
                     << QStringLiteral("RenderCheck%1").arg(r)
                     << QStringLiteral("RenderNote%1").arg(r);
            for (const char* name :
                 {"FeedText", "FeedLabel", "FeedLineText", "FeedLineLabel", "HolidayCheck",
                  "ConfirmSpin", "ConfirmLabel", "HoursText", "HoursLabel"})
                expected << QString::fromLatin1(name) + QString::number(r);
            for (int d = 1; d <= 7; ++d)
                expected << QStringLiteral("DayCheck%1(%2)").arg(r).arg(d);
        }

        QStringList found;
        for (QWidget* widget : window.findChildren<QWidget*>()) {
            // Every field, button and label the program made; the tab bar's own scroll arrows
            // and a spin box's own field are Qt's.
            const bool control =
                (qobject_cast<QLineEdit*>(widget) || qobject_cast<QAbstractButton*>(widget) ||
                 qobject_cast<QLabel*>(widget)) &&
                !qobject_cast<QTabBar*>(widget->parentWidget()) &&
                !qobject_cast<QAbstractSpinBox*>(widget->parentWidget());
            const QString description = widget->accessibleDescription();
            if (!control && description.isEmpty())
                continue;
            QVERIFY2(!description.isEmpty(), widget->metaObject()->className());
            QVERIFY2(!widget->accessibleName().trimmed().isEmpty(), qPrintable(description));
            // A route field says what it takes, with an example.
            if (description.startsWith(QStringLiteral("Text")) && description.contains(u'('))
                QVERIFY2(widget->toolTip().contains(QStringLiteral("例: ")),
                         qPrintable(description));
            found << description;
        }
        found.sort();
        expected.sort();
        QCOMPARE(found, expected);
        QVERIFY(!window.windowIcon().pixmap(32, 32).isNull());
    }
};

QTEST_MAIN(TestForm1)
#include "tst_form1.moc"
