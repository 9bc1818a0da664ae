// The real senrokan on a real X server (Xvfb): its window is found by its caption and closed by
// its close box, as a window manager does it, and the settings file is left as it was.
#include "support/Files.h"
#include "support/ProgramRun.h"

#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

#include <cstring>

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

private Q_SLOTS:
    void initTestCase() { QVERIFY2(m_session.start(), qPrintable(m_session.error())); }

    void closeBoxLeavesSettings_data()
    {
        QTest::addColumn<Files>("files");
        QTest::newRow("settings file") << Files{{"Senrokan.DEF", fixture("full.DEF")}};
        QTest::newRow("priority railway file")
            << Files{{"Senrokan.DEF", fixture("priority-settings.DEF")},
                     {"rail.DEF", fixture("rail.DEF")}};
        QTest::newRow("no settings file") << Files{};
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
        QCOMPARE(filesIn(dir.path()), files);
    }
};

QTEST_GUILESS_MAIN(TestSmoke)
#include "tst_smoke.moc"
