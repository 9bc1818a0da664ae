// The real senrokan on a real X server (Xvfb) with a notification area (trayer): a second start
// in a folder where one runs ends at once and brings the first one's window forward; a start in
// another folder runs beside it; a killed first one leaves nothing that stops the next.
#include "support/DisplaySession.h"
#include "support/SettingsWriter.h"

#include <QDeadlineTimer>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>

#include <xcb/xcb.h>

#include <memory>

namespace
{

constexpr int LimitMs = 60000; // hang guards only; nothing here waits for a time to pass
const QString Caption = QStringLiteral("^Senrokan  Ver\\.1\\.20$");

// The X server's top-level windows from bottom to top, as no window manager rearranges them.
QList<quint32> stackingOrder(const QString& display)
{
    QList<quint32> windows;
    xcb_connection_t* connection = xcb_connect(display.toLatin1().constData(), nullptr);
    if (!xcb_connection_has_error(connection)) {
        const xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(connection)).data;
        xcb_query_tree_reply_t* tree =
            xcb_query_tree_reply(connection, xcb_query_tree(connection, screen->root), nullptr);
        if (tree) {
            const xcb_window_t* children = xcb_query_tree_children(tree);
            for (int i = 0; i < xcb_query_tree_children_length(tree); ++i)
                windows.append(children[i]);
        }
        std::free(tree);
    }
    xcb_disconnect(connection);
    return windows;
}

} // namespace

class TestOnePerFolder : public QObject
{
    Q_OBJECT
    senrokan::test::DisplaySession m_session;
    QTemporaryDir m_root;
    std::vector<std::unique_ptr<QProcess>> m_programs;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid() && QDir(m_root.path()).mkpath("tmp"));
        QVERIFY2(m_session.start(), qPrintable(m_session.error()));
    }

    void cleanup()
    {
        for (const auto& program : m_programs) {
            program->kill();
            program->waitForFinished();
        }
        m_programs.clear();
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
        QProcess* first = start(home);
        const quint32 ready = waitReady(first, resident);
        QVERIFY(ready != 0);
        if (resident)
            QVERIFY(shownWindows(first, true).isEmpty());

        // A start in another folder runs beside it, its window on top of the first one's.
        QProcess* beside = start(folder("elsewhere", false));
        const quint32 besideWindow = waitReady(beside, false);
        QVERIFY(besideWindow != 0);
        const QList<quint32> order = stackingOrder(m_session.display());
        QVERIFY(resident || order.indexOf(ready) < order.indexOf(besideWindow));

        QVERIFY(forwardedTo(first, home, besideWindow));
        QCOMPARE(beside->state(), QProcess::Running);
        QCOMPARE(shownWindows(beside, true), QList<quint32>{besideWindow});

        // Killed, the first leaves its lock file and socket behind; they stop nobody.
        first->kill();
        QVERIFY(first->waitForFinished(LimitMs));
        QProcess* next = start(home);
        QVERIFY(waitReady(next, resident) != 0);
        QVERIFY(forwardedTo(next, home, besideWindow));
    }

private:
    QProcess* start(const QString& folder)
    {
        QProcessEnvironment env = m_session.environment();
        // The locks and sockets of these runs never meet a user's own Senrokan.
        env.insert("TMPDIR", m_root.filePath("tmp"));
        auto program = std::make_unique<QProcess>();
        program->setWorkingDirectory(folder);
        program->setProcessEnvironment(env);
        program->setProcessChannelMode(QProcess::ForwardedChannels);
        program->start(QStringLiteral(SENROKAN_EXE), {});
        program->waitForStarted();
        m_programs.push_back(std::move(program));
        return m_programs.back().get();
    }

    // Windows of a process that are on screen, optionally only its main window.
    QList<quint32> shownWindows(const QProcess* program, bool mainOnly) const
    {
        QStringList args{"search", "--all", "--onlyvisible", "--pid",
                         QString::number(program->processId())};
        if (mainOnly)
            args << "--name" << Caption;
        QList<quint32> windows;
        for (const QString& line :
             QString::fromLatin1(m_session.x(QStringLiteral(XDOTOOL_EXE), args).out)
                 .split('\n', Qt::SkipEmptyParts))
            windows.append(line.toUInt());
        return windows;
    }

    // The program's main window once on screen, or (resident) its icon; 0 when neither comes.
    quint32 waitReady(const QProcess* program, bool resident)
    {
        const QDeadlineTimer deadline(LimitMs);
        while (!deadline.hasExpired() && program->state() == QProcess::Running) {
            if (const QList<quint32> windows = shownWindows(program, !resident); !windows.isEmpty())
                return windows.first();
            QTest::qWait(50);
        }
        return 0;
    }

    QString folder(const QString& name, bool resident)
    {
        const QString path = m_root.filePath(name);
        QDir(path).removeRecursively();
        QDir().mkpath(path);
        // Interval 10 minutes, resident, no chime, no check at once, no routes.
        if (resident)
            senrokan::test::writeSettings(QDir(path).filePath("Senrokan.DEF"), {10, 1, 0, 0});
        return path;
    }

    // Whether a later start in owner's folder ends at once and brings owner's main window up,
    // on top of the window below.
    bool forwardedTo(const QProcess* owner, const QString& folder, quint32 below)
    {
        QProcess* later = start(folder);
        if (!later->waitForFinished(LimitMs) || later->exitStatus() != QProcess::NormalExit ||
            later->exitCode() != 0)
            return false;
        QList<quint32> shown;
        QList<quint32> order;
        return QTest::qWaitFor(
                   [&] {
                       return (shown = shownWindows(owner, true)).size() == 1 &&
                              (order = stackingOrder(m_session.display())).indexOf(shown.first()) >
                                  order.indexOf(below);
                   },
                   LimitMs) &&
               owner->state() == QProcess::Running;
    }
};

QTEST_GUILESS_MAIN(TestOnePerFolder)
#include "tst_oneperfolder.moc"
