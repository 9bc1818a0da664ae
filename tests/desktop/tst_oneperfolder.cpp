// The real senrokan on a real X server (Xvfb) with a notification area (trayer): a second start
// in a folder where one runs ends at once and brings the first one's window forward; a start in
// another folder runs beside it; a killed first one leaves nothing that stops the next.
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

// Interval 10 minutes, resident, no chime, no check at once, no routes.
QByteArray residentSettings()
{
    QByteArray file = "\r\n10\r\n1\r\n0\r\n0\r\n";
    for (int line = 6; line <= 50; ++line)
        file += "\r\n";
    return file;
}

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
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void cleanup();
    void laterStartInSameFolder_data();
    void laterStartInSameFolder();
    void killedOwner_data();
    void killedOwner();

private:
    QProcess* start(const QString& folder);
    // Windows of a process that are on screen, optionally only its main window.
    QList<quint32> shownWindows(const QProcess* program, bool mainOnly) const;
    // Waits until the program's main window is on screen, or (resident) its icon; 0 when it
    // never comes.
    quint32 waitReady(const QProcess* program, bool resident);
    QString folder(const QString& name, bool resident);

    QProcess m_xvfb;
    QProcess m_tray;
    QString m_display;
    QTemporaryDir m_root;
    std::vector<std::unique_ptr<QProcess>> m_programs;
};

void TestOnePerFolder::initTestCase()
{
    QVERIFY(m_root.isValid());
    QVERIFY(QDir(m_root.path()).mkpath("tmp"));
    QVERIFY(QDir(m_root.path()).mkpath("runtime"));
    QVERIFY(QFile::setPermissions(m_root.filePath("runtime"),
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner));
    m_xvfb.start(QStringLiteral(XVFB_EXE),
                 {"-displayfd", "1", "-screen", "0", "1024x768x24", "-nolisten", "tcp"});
    QVERIFY2(m_xvfb.waitForStarted(), qPrintable(m_xvfb.errorString()));
    while (!m_xvfb.canReadLine())
        QVERIFY2(m_xvfb.waitForReadyRead(LimitMs), "Xvfb named no display");
    m_display = QLatin1Char(':') + QString::fromLatin1(m_xvfb.readLine().trimmed());

    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_display);
    m_tray.setProcessEnvironment(env);
    m_tray.start(QStringLiteral(TRAYER_EXE),
                 {"--edge", "bottom", "--align", "right", "--widthtype", "pixel", "--width", "120",
                  "--heighttype", "pixel", "--height", "24"});
    QVERIFY2(m_tray.waitForStarted(), qPrintable(m_tray.errorString()));
}

void TestOnePerFolder::cleanupTestCase()
{
    for (QProcess* helper : {&m_tray, &m_xvfb}) {
        helper->terminate();
        helper->waitForFinished();
    }
}

void TestOnePerFolder::cleanup()
{
    for (const auto& program : m_programs) {
        program->kill();
        program->waitForFinished();
    }
    m_programs.clear();
}

QProcess* TestOnePerFolder::start(const QString& folder)
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_display);
    env.insert("QT_QPA_PLATFORM", "xcb");
    env.insert("XDG_RUNTIME_DIR", m_root.filePath("runtime"));
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

QList<quint32> TestOnePerFolder::shownWindows(const QProcess* program, bool mainOnly) const
{
    QStringList args{"search", "--all", "--onlyvisible", "--pid",
                     QString::number(program->processId())};
    if (mainOnly)
        args << "--name" << Caption;
    QProcess search;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DISPLAY", m_display);
    search.setProcessEnvironment(env);
    search.start(QStringLiteral(XDOTOOL_EXE), args);
    search.waitForFinished(LimitMs);
    QList<quint32> windows;
    for (const QByteArray& line : search.readAllStandardOutput().split('\n'))
        if (!line.trimmed().isEmpty())
            windows.append(line.trimmed().toUInt());
    return windows;
}

quint32 TestOnePerFolder::waitReady(const QProcess* program, bool resident)
{
    const QDeadlineTimer deadline(LimitMs);
    while (!deadline.hasExpired() && program->state() == QProcess::Running) {
        const QList<quint32> windows = shownWindows(program, !resident);
        if (!windows.isEmpty())
            return windows.first();
        QTest::qWait(50);
    }
    return 0;
}

QString TestOnePerFolder::folder(const QString& name, bool resident)
{
    const QString path = m_root.filePath(name);
    QDir(path).removeRecursively();
    QDir().mkpath(path);
    if (resident) {
        QFile settings(QDir(path).filePath("Senrokan.DEF"));
        if (settings.open(QIODevice::WriteOnly))
            settings.write(residentSettings());
    }
    return path;
}

void TestOnePerFolder::laterStartInSameFolder_data()
{
    QTest::addColumn<bool>("resident");
    QTest::addColumn<bool>("throughLink");
    QTest::newRow("window shown, below another folder's") << false << false;
    QTest::newRow("window shown, started again through a symbolic link") << false << true;
    QTest::newRow("resident with its window hidden") << true << false;
}

void TestOnePerFolder::laterStartInSameFolder()
{
    QFETCH(bool, resident);
    QFETCH(bool, throughLink);
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
    QList<quint32> order = stackingOrder(m_display);
    if (!resident)
        QVERIFY(order.indexOf(ready) < order.indexOf(besideWindow));

    QString again = home;
    if (throughLink) {
        again = m_root.filePath("link-to-home");
        QFile::remove(again);
        QVERIFY(QFile::link(home, again));
    }
    QProcess* second = start(again);
    QVERIFY2(second->waitForFinished(LimitMs), "the second start did not end");
    QCOMPARE(second->exitStatus(), QProcess::NormalExit);
    QCOMPARE(second->exitCode(), 0);

    QList<quint32> shown;
    QTRY_VERIFY_WITH_TIMEOUT((shown = shownWindows(first, true)).size() == 1, LimitMs);
    QTRY_VERIFY_WITH_TIMEOUT((order = stackingOrder(m_display)).indexOf(shown.first()) >
                                 order.indexOf(besideWindow),
                             LimitMs);
    QCOMPARE(first->state(), QProcess::Running);
    QCOMPARE(beside->state(), QProcess::Running);
    QCOMPARE(shownWindows(beside, true), QList<quint32>{besideWindow});
}

void TestOnePerFolder::killedOwner_data()
{
    QTest::addColumn<bool>("resident");
    QTest::newRow("killed with its window shown") << false;
    QTest::newRow("killed while resident") << true;
}

void TestOnePerFolder::killedOwner()
{
    QFETCH(bool, resident);
    const QString home = folder("home", resident);
    QProcess* first = start(home);
    QVERIFY(waitReady(first, resident) != 0);
    first->kill(); // SIGKILL: the lock file and the socket stay behind
    QVERIFY(first->waitForFinished(LimitMs));

    QProcess* next = start(home);
    QVERIFY(waitReady(next, resident) != 0);
    QCOMPARE(next->state(), QProcess::Running);

    // The new one owns the folder: a further start is sent to it.
    QProcess* further = start(home);
    QVERIFY2(further->waitForFinished(LimitMs), "the further start did not end");
    QCOMPARE(further->exitCode(), 0);
    QTRY_COMPARE_WITH_TIMEOUT(shownWindows(next, true).size(), 1, LimitMs);
    QCOMPARE(next->state(), QProcess::Running);
}

QTEST_GUILESS_MAIN(TestOnePerFolder)
#include "tst_oneperfolder.moc"
