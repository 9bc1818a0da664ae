// The real senrokan on a real X server (Xvfb) with a notification area (trayer): a second start
// in a folder where one runs ends at once and brings the first one's window forward; a start in
// another folder runs beside it; a killed first one leaves nothing that stops the next.
#include "support/ProgramRun.h"
#include "support/SettingsWriter.h"

#include <QDir>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

class TestOnePerFolder : public QObject
{
    Q_OBJECT
    using ProgramRun = senrokan::test::ProgramRun;
    senrokan::test::DisplaySession m_session;
    QTemporaryDir m_root;
    std::vector<std::unique_ptr<ProgramRun>> m_programs;

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_root.isValid() && QDir(m_root.path()).mkpath("tmp"));
        QVERIFY2(m_session.start(), qPrintable(m_session.error()));
    }

    void cleanup() { m_programs.clear(); }

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
        // The locks and sockets of these runs never meet a user's own Senrokan.
        m_programs.push_back(std::make_unique<ProgramRun>(
            m_session, folder, QHash<QString, QString>{{"TMPDIR", m_root.filePath("tmp")}}));
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
            senrokan::test::writeSettings(QDir(path).filePath("Senrokan.DEF"), {10, 1, 0, 0});
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

QTEST_GUILESS_MAIN(TestOnePerFolder)
#include "tst_oneperfolder.moc"
