// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The real senrokan on a real X server (Xvfb): its window is found by its caption and closed by
// its close box, as a window manager does it, and the settings file is left as it was. With a
// notification area (trayer), one program per folder: a second start in a folder where one runs
// ends at once and brings the first one's window forward; a start in another folder runs beside
// it; a killed first one leaves nothing that stops the next. --help and --version answer without
// any display.
#include "support/Files.h"
#include "support/InfoOptions.h"
#include "support/ProgramRun.h"
#include "support/SettingsWriter.h"

#include <QRect>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

#include <algorithm>
#include <cstring>
#include <memory>

namespace
{

using namespace senrokan::test;

xcb_atom_t atom(xcb_connection_t* connection, const char* name)
{
    const xcb_intern_atom_cookie_t cookie =
        xcb_intern_atom(connection, 0, uint16_t(std::strlen(name)), name);
    xcb_intern_atom_reply_t* reply = xcb_intern_atom_reply(connection, cookie, nullptr);
    xcb_atom_t value = XCB_ATOM_NONE;
    if (reply)
        value = reply->atom;
    std::free(reply);
    return value;
}

// What a window manager sends when the user clicks a window's close box.
bool sendDeleteWindow(const QString& display, xcb_window_t window)
{
    xcb_connection_t* connection = xcb_connect(display.toLatin1().constData(), nullptr);
    if (xcb_connection_has_error(connection)) {
        xcb_disconnect(connection);
        return false;
    }
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = atom(connection, "WM_PROTOCOLS");
    event.data.data32[0] = atom(connection, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    xcb_send_event(connection, 0, window, XCB_EVENT_MASK_NO_EVENT,
                   reinterpret_cast<const char*>(&event));
    // A round trip before hanging up: the server may drop requests of a client that is gone.
    xcb_get_input_focus_reply_t* reply =
        xcb_get_input_focus_reply(connection, xcb_get_input_focus(connection), nullptr);
    const bool sent = reply != nullptr;
    std::free(reply);
    xcb_disconnect(connection);
    return sent;
}

} // namespace

class TestSmoke : public QObject
{
    Q_OBJECT
    DisplaySession m_session;
    QTemporaryDir m_root;
    std::vector<std::unique_ptr<ProgramRun>> m_programs;

private Q_SLOTS:
    void initTestCase() { QVERIFY2(m_session.start(), qPrintable(m_session.error())); }

    void cleanup() { m_programs.clear(); }

    void closeBoxLeavesSettings_data()
    {
        QTest::addColumn<Files>("files");
        QTest::newRow("settings file") << Files{{"Senrokan.DEF", fixture("full.DEF")}};
        QTest::newRow("priority railway file") << Files{
            {"Senrokan.DEF", fixture("priority-settings.DEF")}, {"rail.DEF", fixture("rail.DEF")}};
        QTest::newRow("no settings file") << Files{};
        // However the window's place was kept, it opens on the screen, no larger than it, with
        // its title bar there to be grabbed.
        QTest::newRow("kept larger than the screen")
            << Files{{"Senrokan.DEF", fixture("full.DEF")},
                     {"Senrokan.ini", "[Window]\nGeometry=0,0,20000,20000\n"}};
        QTest::newRow("kept near the int limit")
            << Files{{"Senrokan.ini", "[Window]\nGeometry=2147483000,0,1000,500\n"}};
        QTest::newRow("kept one pixel column on the screen")
            << Files{{"Senrokan.ini", "[Window]\nGeometry=-1279,-23,1280,1000\n"}};
    }

    void closeBoxLeavesSettings()
    {
        QFETCH(Files, files);
        QTemporaryDir dir;
        for (auto it = files.begin(); it != files.end(); ++it)
            writeBytes(dir.filePath(it.key()), it.value());

        ProgramRun program(m_session, dir.path());
        const quint32 window = program.waitShown();
        QCOMPARE(program.shownWindows(), QList<quint32>{window});
        QVERIFY(sendDeleteWindow(m_session.display(), window));

        QCOMPARE(program.ended(), 0);
        // Only where the window was is kept, beside the settings.
        Files left = filesIn(dir.path());
        const QByteArray kept = left.take("Senrokan.ini");
        QVERIFY(kept.startsWith("[Window]\nGeometry="));
        files.remove("Senrokan.ini");
        QCOMPARE(left, files);
        const QList<QByteArray> place = kept.mid(18).trimmed().split(',');
        QCOMPARE(place.size(), 4);
        const QRect shown(place[0].toInt(), place[1].toInt(), place[2].toInt(), place[3].toInt());
        const QRect screen(0, 0, 1024, 768); // the session's Xvfb
        QCOMPARE(shown.size().boundedTo(screen.size()), shown.size());
        const QRect titleBar = QRect(shown.topLeft(), QSize(shown.width(), 24)) & screen;
        QVERIFY2(titleBar.height() == 24 && titleBar.width() >= std::min(shown.width(), 100),
                 kept.constData());
    }

    // Without DISPLAY, WAYLAND_DISPLAY and QT_QPA_PLATFORM Qt could not start at all: the
    // program answers first, and neither its folder nor its runtime folder (where its lock would
    // be) is touched.
    void infoOptionsWithoutDisplay_data() { addInfoOptionRows(); }

    void infoOptionsWithoutDisplay()
    {
        QFETCH(QString, option);
        QTemporaryDir dir;
        QTemporaryDir runtime;
        const Files files{{"Senrokan.DEF", fixture("full.DEF")}};
        writeBytes(dir.filePath("Senrokan.DEF"), files.value("Senrokan.DEF"));
        ProcessOptions options;
        for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
            options.environment.remove(name);
        options.environment.insert("XDG_RUNTIME_DIR", runtime.path());
        options.workingDirectory = dir.path();

        const ProcessResult run = runProcess(SENROKAN_EXE, {option}, options);
        QCOMPARE(run.exitCode, 0);
        QCOMPARE(run.err, QByteArray());
        const QString problem = infoOptionProblem("senrokan", option, run.out);
        QVERIFY2(problem.isEmpty(), qPrintable(problem));
        QCOMPARE(filesIn(dir.path()), files);
        const QDir::Filters everything = QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden;
        QCOMPARE(QDir(runtime.path()).entryList(everything), QStringList());
    }

    void laterStartInSameFolder_data()
    {
        QTest::addColumn<bool>("resident");
        QTest::newRow("window shown, below another folder's") << false;
        QTest::newRow("resident with its window hidden") << true;
    }

    void laterStartInSameFolder()
    {
        QFETCH(bool, resident);
        // Started again should an earlier row have taken it down.
        QVERIFY2(m_session.tray().start(m_session.environment()),
                 qPrintable(m_session.tray().error()));
        const QString home = folder("home", resident);
        ProgramRun* first = start(home);
        // Its main window, or (resident) its icon.
        const quint32 ready = first->waitShown(!resident);
        QVERIFY(ready != 0);
        if (resident)
            QCOMPARE(first->shownWindows(), QList<quint32>{});

        // A start in another folder runs beside it, its window on top of the first one's.
        ProgramRun* beside = start(folder("elsewhere", false));
        const quint32 besideWindow = beside->waitShown();
        QVERIFY(besideWindow != 0);
        const QList<quint32> order = stackingOrder();
        QVERIFY(resident || order.indexOf(ready) < order.indexOf(besideWindow));

        QVERIFY(forwardedTo(first, home, besideWindow));
        QVERIFY(beside->running());
        QCOMPARE(beside->shownWindows(), QList<quint32>{besideWindow});

        // Killed, the first leaves its lock file and socket behind; they stop nobody.
        first->kill();
        ProgramRun* next = start(home);
        QVERIFY(next->waitShown(!resident) != 0);
        QVERIFY(forwardedTo(next, home, besideWindow));
    }

private:
    ProgramRun* start(const QString& folder)
    {
        m_programs.push_back(std::make_unique<ProgramRun>(m_session, folder));
        return m_programs.back().get();
    }

    // The X server's top-level windows from bottom to top, as no window manager rearranges
    // them; xwininfo lists them from the top.
    QList<quint32> stackingOrder() const
    {
        static const QRegularExpression child(QStringLiteral("^\\s+(0x[0-9a-f]+) "),
                                              QRegularExpression::MultilineOption);
        QList<quint32> windows;
        const QString listed = QString::fromLatin1(
            m_session.x(QStringLiteral("xwininfo"), {"-root", "-children"}).out);
        for (const QRegularExpressionMatch& match : child.globalMatch(listed))
            windows.prepend(match.captured(1).toUInt(nullptr, 16));
        return windows;
    }

    QString folder(const QString& name, bool resident)
    {
        const QString path = m_root.filePath(name);
        QDir(path).removeRecursively();
        QDir().mkpath(path);
        // Interval 10 minutes, resident, no chime, no check at once, no routes.
        if (resident)
            writeSettings(QDir(path).filePath("Senrokan.DEF"), {10, 1, 0, 0});
        return path;
    }

    // Whether a later start in owner's folder ends at once and brings owner's main window up,
    // on top of the window below.
    bool forwardedTo(const ProgramRun* owner, const QString& folder, quint32 below)
    {
        if (start(folder)->ended() != 0)
            return false;
        QList<quint32> shown;
        QList<quint32> order;
        return QTest::qWaitFor(
                   [&] {
                       return (shown = owner->shownWindows()).size() == 1 &&
                              (order = stackingOrder()).indexOf(shown.first()) >
                                  order.indexOf(below);
                   },
                   ProgramRun::LimitMs) &&
               owner->running();
    }
};

QTEST_GUILESS_MAIN(TestSmoke)
#include "tst_smoke.moc"
