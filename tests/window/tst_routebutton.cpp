// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The route buttons "送信" on the real window (offscreen) against a scripted loopback server:
// what the user sees of the check, its boxes, the pointer, and where the web view goes after.
#include "FormHelpers.h"
#include "ModalWatcher.h"
#include "check/StatusDecision.h"
#include "codec/Converter.h"
#include "support/FloodPages.h"
#include "support/ScriptedServer.h"
#include "support/ShortTimings.h"
#include "window/Form1.h"
#include "window/PageTextArea.h"
#include "window/RouteWebView.h"

#include <QDir>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTest>
#include <QTextBlock>
#include <QTimer>

#include <memory>

using namespace senrokan;
using namespace senrokan::test;

namespace
{

using Box = QPair<QString, QString>; // title, text

const QByteArray NormalPage = encodeCp932(u"<p>山手線</p><p>平常運転です</p>");
const QString Info = QStringLiteral("info.html");
const QString EarlierWord = QStringLiteral("前の路線");

QList<Box> boxesOf(const ModalWatcher& watcher)
{
    QList<Box> boxes;
    for (const ModalWatcher::Message& m : watcher.messages) {
        boxes.append({m.title, m.text});
        // Every box of the check: one OK button, the information icon, and what a server sent
        // never read as markup.
        if (m.buttons != QMessageBox::Ok || m.icon != QMessageBox::Information ||
            m.format != Qt::PlainText)
            boxes.append({QStringLiteral("wrong buttons, icon or format"), m.title});
    }
    return boxes;
}

} // namespace

class TestRouteButton : public QObject
{
    Q_OBJECT

    // The clock of every check.
    static inline const QDateTime CheckMoment{QDate(2026, 12, 7), QTime(12, 0)};

    std::unique_ptr<CurrentFolder> m_dir;

    static void speedUp(DesktopProgram& program, quint16 port)
    {
        program.checker().setTimings(test::shortCheckTimings(port));
        program.checker().setClock([] { return CheckMoment; });
    }

    // Route 1 checked against a page of its own first, which stays in the check-wide page buffer.
    static void checkEarlierRoute(DesktopProgram& program, ModalWatcher& watcher)
    {
        Form1& window = program.window();
        ScriptedServer earlier;
        earlier.onRequest("/info.html",
                          ScriptedServer::reply("200 OK", encodeCp932(EarlierWord + "平常運転")));
        speedUp(program, earlier.port());
        aimRoute(window, 1, Info);
        click(window, "Command1(1)");
        QCOMPARE(program.round().states().at(1).Status, int(StatusNormal));
        watcher.messages.clear();
    }

private Q_SLOTS:
    void initTestCase()
    {
        // As root the browser then refuses to start and the views show pages as text, which is
        // what this test reads.
        qunsetenv("QTWEBENGINE_DISABLE_SANDBOX");
        qunsetenv("QTWEBENGINE_CHROMIUM_FLAGS");
    }

    void init()
    {
        m_dir = std::make_unique<CurrentFolder>();
        QVERIFY(m_dir->isValid());
    }

    void cleanup() { m_dir.reset(); }

    void routeButton_data()
    {
        QTest::addColumn<QString>("server");
        QTest::addColumn<bool>("refused");
        QTest::addColumn<QList<Box>>("boxes");
        QTest::addColumn<int>("status");
        QTest::addColumn<QStringList>("requests");
        QTest::addColumn<QString>("text8");
        const QString local = QStringLiteral("127.0.0.1");
        const QString message = QStringLiteral("メッセージ");
        const QString info = QStringLiteral("運行情報");
        const QString failed = QStringLiteral("接続失敗");
        const QString normal = QStringLiteral("平常運転です。");
        QTest::newRow("empty server: no box, no network")
            << QString() << false << QList<Box>{} << 3 << QStringList{}
            << QStringLiteral("サーバ未設定");
        QTest::newRow("unreachable: 接続失敗")
            << local << true << QList<Box>{{message, failed}} << 2 << QStringList{} << failed;
        QTest::newRow("match word found")
            << local << false << QList<Box>{{info, normal}} << 0 << QStringList{"/info.html"}
            << QStringLiteral("「平常運転」がページに1回あります。");
        // A company's page of four lines, no section: the box says the word may be another's.
        QTest::newRow("match word four times, no section")
            << QStringLiteral("http://127.0.0.1:%1/four.html") << false
            << QList<Box>{{info, normal + QStringLiteral("\n「平常運転」がページに4回あります。"
                                                         "ほかの路線の行かもしれません。")}}
            << 0 << QStringList{"/four.html"}
            << matchCountNotice({QStringLiteral("平常運転"), 4, false});
    }

    void routeButton()
    {
        QFETCH(QString, server);
        QFETCH(bool, refused);
        QFETCH(QList<Box>, boxes);
        QFETCH(int, status);
        QFETCH(QStringList, requests);
        QFETCH(QString, text8);
        ScriptedServer scripted;
        scripted.onRequest("/info.html", ScriptedServer::reply("200 OK", NormalPage));
        scripted.onRequest("/four.html",
                           ScriptedServer::reply("200 OK", encodeCp932(u"<p>A線 平常運転</p>"
                                                                       u"<p>B線 平常運転</p>"
                                                                       u"<p>C線 平常運転</p>"
                                                                       u"<p>D線 平常運転</p>")));
        ModalWatcher watcher;
        LoadedProgram program;
        Form1& window = program.window();
        checkEarlierRoute(program, watcher);
        speedUp(program, refused ? closedPort() : scripted.port());
        const int r = 2;
        aimRoute(window, r, Info);
        const QString typed =
            QString(server).replace(QLatin1String("%1"), QString::number(scripted.port()));
        setField(window, r, ServerName, typed);

        click(window, QStringLiteral("Command%1(1)").arg(r));

        QCOMPARE(boxesOf(watcher), boxes);
        QCOMPARE(program.round().states().at(r).Status, status);
        QStringList asked;
        for (const QByteArray& request : scripted.rawRequests())
            asked << QString::fromLatin1(request.split(' ').value(1));
        QCOMPARE(asked, requests);
        QCOMPARE(control<QLineEdit>(window, "Text8")->text(), text8);
        // The pointer is back in every outcome.
        QCOMPARE(window.cursor().shape(), Qt::ArrowCursor);
        // A check that came to a verdict is in the record as the button's; no server, none.
        const QList<CheckRecord> recorded =
            program.history().records(CheckMoment, r).value_or(QList<CheckRecord>());
        QCOMPARE(recorded.size(), status == StatusNoServer ? 0 : 1);
        for (const CheckRecord& record : recorded) {
            QCOMPARE(record.source, CheckSource::Button);
            QCOMPARE(record.status, status);
        }
        // The web view goes to the fields as they stand, whatever the outcome.
        auto* view = control<RouteWebView>(window, QStringLiteral("WebBrowser%1").arg(r));
        QCOMPARE(view->url(),
                 typed.startsWith(QLatin1String("http://"))
                     ? typed
                     : QStringLiteral("http://") + typed + QStringLiteral("/info.html"));
        QVERIFY(view->view());
        for (int other : {3, 4, 5})
            QVERIFY(
                !control<RouteWebView>(window, QStringLiteral("WebBrowser%1").arg(other))->view());
        // A judged page is in the page-text area.
        const QString shown = control<QPlainTextEdit>(window, "RichTextBox1")->toPlainText();
        if (status == StatusNormal)
            QVERIFY(shown.endsWith(QStringLiteral("</p>")) &&
                    shown.contains(QStringLiteral("平常運転")));

        // Without a browser: the address, then the page only when this check got one (it asked the
        // server); never the page an earlier check of route 1 left behind.
        auto* textView = qobject_cast<PageTextArea*>(view->view());
        if (!textView)
            QSKIP("the browser shows the page itself");
        const QString address = view->url();
        QCOMPARE(textView->toPlainText().section(QLatin1Char('\n'), 0, 0), address);
        QCOMPARE(textView->toPlainText() == address, requests.isEmpty());
        QVERIFY(!textView->toPlainText().contains(EarlierWord));
    }

    // Markup and scripts in a page reach the page-text area as the characters they are; the check
    // searches the whole page, however little of it the area holds.
    void pageText_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("cut"); // longer than the area holds
        QTest::newRow("markup and scripts")
            << QStringLiteral("<b>x</b><script>alert(1)</script>平常運転\x01") << false;
        QTest::newRow("the word past what the area holds")
            << lineEndsText(PageTextArea::MaxLines + 1000) + QStringLiteral("平常運転") << true;
    }

    void pageText()
    {
        QFETCH(QString, page);
        QFETCH(bool, cut);
        ScriptedServer scripted;
        scripted.onRequest("/info.html", ScriptedServer::reply("200 OK", encodeCp932(page)));
        ModalWatcher watcher;
        LoadedProgram program;
        Form1& window = program.window();
        speedUp(program, scripted.port());
        aimRoute(window, 1, Info);

        click(window, "Command1(1)");

        QCOMPARE(program.round().states().at(1).Status, int(StatusNormal));
        auto* area = control<PageTextArea>(window, "RichTextBox1");
        QTRY_VERIFY(!area->isFilling());
        const QString shown = area->toPlainText();
        if (!cut) {
            QVERIFY2(shown.endsWith(page), qPrintable(shown));
            return;
        }
        QVERIFY(!shown.contains(QStringLiteral("平常運転")));
        QCOMPARE(area->document()->blockCount(), PageTextArea::MaxLines + 1);
        const QString last = area->document()->lastBlock().text();
        const qsizetype leftOut =
            QString(last).remove(QRegularExpression(QStringLiteral("\\D"))).toLongLong();
        QCOMPARE(last, PageTextArea::omissionLine(leftOut));
        QVERIFY(leftOut > 1000);
    }

    // A click while the timed check waits for the network starts nothing.
    void clickDuringATimedCheck()
    {
        ScriptedServer scripted;
        scripted.onRequest("/held.html", {ScriptedServer::Hold{}});
        ModalWatcher watcher;
        LoadedProgram program;
        Form1& window = program.window();
        speedUp(program, scripted.port());
        program.cycle().setTimings(test::shortCycleTimings());
        aimRoute(window, 1, QStringLiteral("held.html"));
        aimRoute(window, 3, Info);
        click(window, "Check2");
        bool clicked = false;
        QTimer::singleShot(40, &window, [&] {
            QVERIFY(program.checker().isRunning());
            click(window, "Command3(1)");
            clicked = true;
        });
        click(window, "Command22");
        QTRY_VERIFY(clicked);
        QTRY_VERIFY(!program.checker().isRunning());

        // The timed check asked for routes 1 and 3; the click asked for nothing.
        QCOMPARE(scripted.rawRequests().size(), 2);
        QVERIFY(scripted.rawRequests().at(1).startsWith("GET /info.html "));
        QVERIFY(watcher.messages.isEmpty());
        QVERIFY(!control<RouteWebView>(window, "WebBrowser3")->view());
        window.close();
    }
};

QTEST_MAIN(TestRouteButton)
#include "tst_routebutton.moc"
