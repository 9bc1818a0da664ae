// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The page-text area takes a long page in slices, and only while its window is shown: what it
// ends up showing must be the page, however the slices fall, with lines and piles of marks over
// the display limits broken on screen only; a page larger than the area holds is cut to its head
// with one line saying how much was left out, and fills without holding the event loop or taking
// memory in proportion to the page; a window shown late shows what a window shown at once does.
#include "codec/TextSearch.h"
#include "settings/RouteSettings.h"
#include "support/FloodPages.h"
#include "support/ProcessFigures.h"
#include "support/Sanitized.h"
#include "window/PageTextArea.h"
#include "window/RoutePage.h"

#include <QAction>
#include <QDir>
#include <QElapsedTimer>
#include <QTest>
#include <QTextBlock>

using namespace senrokan;
using namespace senrokan::test;

namespace
{

// What an area shown all along shows of text, once filled.
QString filledText(const QString& text)
{
    PageTextArea area;
    area.show();
    area.showText(text);
    while (area.isFilling())
        QCoreApplication::processEvents();
    return area.toPlainText();
}

} // namespace

class TestPageTextArea : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void endsAsOneSetting_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("replacedBy"); // given while the first still fills; null: none
        QTest::addColumn<bool>("broken");        // whether lines are broken on screen
        const QString line = QStringLiteral("<td>列車の遅れ ｶﾀｶﾅ 12:34</td>\r\n");
        QTest::newRow("short page") << QStringLiteral("<b>x</b>\r\n平常運転") << QString() << false;
        QTest::newRow("long page, CR LF lines") << line.repeated(9000) << QString() << false;
        QTest::newRow("long page, lone CRs and LFs")
            << QStringLiteral("a\rb\nc\r\n").repeated(30000) << QString() << false;
        QTest::newRow("paragraph and frame separators")
            << QStringLiteral("a\u2029b\ufdd0c\ufdd1d\n").repeated(20000) << QString() << false;
        QTest::newRow("one long line of surrogate pairs")
            << QStringLiteral("𠮷").repeated(70000) << QString() << true;
        QTest::newRow("a letter under 5 000 marks") << markRunText(5000) << QString() << true;
        QTest::newRow("letters under 40 marks each")
            << (u'\n' + markRunText(40)).repeated(2000) << QString() << true;
        QTest::newRow("a second page while the first fills")
            << line.repeated(9000) << QStringLiteral("運行情報").repeated(20000) << true;
        QTest::newRow("a short page while a long one fills")
            << line.repeated(9000) << QStringLiteral("short") << false;
    }

    void endsAsOneSetting()
    {
        QFETCH(QString, text);
        QFETCH(QString, replacedBy);
        QFETCH(bool, broken);
        PageTextArea area;
        area.show();
        area.showText(text);
        QString last = text;
        if (!replacedBy.isNull()) {
            QVERIFY(area.isFilling());
            area.showText(replacedBy);
            last = replacedBy;
        }
        QTRY_VERIFY(!area.isFilling());
        QPlainTextEdit reference;
        reference.setPlainText(last);
        if (!broken) {
            QCOMPARE(area.toPlainText(), reference.toPlainText());
            QCOMPARE(area.document()->blockCount(), reference.document()->blockCount());
            return;
        }
        // Broken on screen: the breaks taken out give the page back, no surrogate pair split, and
        // no line so long, or so piled with marks, that laying it out holds the window.
        QCOMPARE(area.toPlainText().remove(QLatin1Char('\n')),
                 reference.toPlainText().remove(QLatin1Char('\n')));
        QVERIFY(area.document()->blockCount() > reference.document()->blockCount());
        for (QTextBlock b = area.document()->begin(); b.isValid(); b = b.next()) {
            QVERIFY(b.length() - 1 <= PageTextArea::DisplayLineChars + 1);
            QVERIFY(b.text().isEmpty() || !b.text().front().isLowSurrogate());
            qsizetype marks = 0;
            for (const QChar c : b.text())
                marks = c.category() == QChar::Mark_NonSpacing ? marks + 1 : 0;
            QVERIFY2(marks <= PageTextArea::DisplayClusterChars,
                     qPrintable(QString::number(marks)));
        }
    }

    // Pages any server may send within the reply cap: every line a text block took 2.2 GB and
    // minutes, a huge line or a pile of marks held the loop for a second and more at a time. The
    // area holds the head of such a page and fills in turns bounded in number and in length. The
    // turn bound is ten times the 50 ms target, so that a machine busy with other work does not
    // fail it; bench/ui_latency measures the target itself.
    void largePage_data()
    {
        QTest::addColumn<QString>("page");
        QTest::addColumn<qsizetype>("headChars"); // how much of the page the area shows
        const qsizetype M = 1024 * 1024;
        QTest::newRow("16 M line ends")
            << lineEndsText(16 * M) << qsizetype(PageTextArea::MaxLines - 1);
        QTest::newRow("one line of 16 M characters")
            << oneLineText(16 * M) << PageTextArea::MaxChars;
        QTest::newRow("more short lines than the area holds")
            << QStringLiteral("行\r\n").repeated(PageTextArea::MaxLines + 10)
            << qsizetype(3 * (PageTextArea::MaxLines - 1) + 1);
        const QString marks = markRunText(2 * M);
        QTest::newRow("a letter under 2 M combining marks") << marks << marks.size();
    }

    void largePage()
    {
        QFETCH(QString, page);
        QFETCH(qsizetype, headChars);
        PageTextArea area;
        area.resize(600, 300);
        area.show();
        QCoreApplication::processEvents();
        const qint64 before = residentKiB();
        QElapsedTimer turn;
        qint64 longestMs = 0;
        qsizetype turns = 0;
        turn.start();
        area.showText(page);
        while (area.isFilling() && turns <= PageTextArea::MaxLines) {
            longestMs = qMax(longestMs, turn.restart());
            QCoreApplication::processEvents();
            ++turns;
        }
        longestMs = qMax(longestMs, turn.elapsed());
        const qint64 grownKiB = residentKiB() - before;
        // Every turn shows one line at least.
        QVERIFY2(!area.isFilling(), qPrintable(QString::number(turns)));
        QVERIFY2(longestMs < 500, qPrintable(QStringLiteral("%1 ms").arg(longestMs)));
        QVERIFY(area.document()->blockCount() <= PageTextArea::MaxLines + 1);

        QString shown = area.toPlainText();
        if (headChars < page.size()) {
            const QString omission = u'\n' + PageTextArea::omissionLine(page.size() - headChars);
            QVERIFY2(shown.endsWith(omission), qPrintable(shown.right(80)));
            shown.chop(omission.size());
        }
        QCOMPARE(shown.remove(QLatin1Char('\n')),
                 filledText(page.left(headChars)).remove(QLatin1Char('\n')));
        SKIP_MEMORY_BOUNDS_WHEN_SANITIZED();
        // Some 35 MiB at most, whatever the page (bench/ui_latency measures it in the window).
        QVERIFY2(grownKiB < 64 * 1024, qPrintable(QStringLiteral("%1 KiB").arg(grownKiB)));
    }

    // Every occurrence of the match word is marked as the checks find it, also in the part of
    // a long page still to come when the word is told, up to the bound.
    void marksTheWord_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("word");
        QTest::addColumn<qsizetype>("marks");
        QTest::newRow("case and width folded") << QStringLiteral("平常運転 ＡＢＣ\r\nabc 遅延\nAbc")
                                               << QStringLiteral("abc") << qsizetype(3);
        QTest::newRow("a half-width voiced kana")
            << QStringLiteral("ﾀﾞｲﾔ 通常ダイヤ") << QStringLiteral("ダイヤ") << qsizetype(2);
        QTest::newRow("not on the page")
            << QStringLiteral("遅延") << QStringLiteral("平常") << qsizetype(0);
        QTest::newRow("a long page, marked to the bound")
            << QStringLiteral("<td>京浜東北線</td><td>平常運転</td>\r\n").repeated(9000)
            << QStringLiteral("平常運転") << PageTextArea::MaxMarks;
    }

    void marksTheWord()
    {
        QFETCH(QString, text);
        QFETCH(QString, word);
        PageTextArea area;
        area.show();
        area.showText(text);
        area.markWord(word);
        QTRY_VERIFY(!area.isFilling());
        const QList<QTextEdit::ExtraSelection> marks = area.extraSelections();
        QTEST(marks.size(), "marks");
        int after = 0;
        for (const QTextEdit::ExtraSelection& mark : marks) {
            QCOMPARE(TextSearch::fold(mark.cursor.selectedText()), TextSearch::fold(word));
            QVERIFY(mark.cursor.selectionStart() >= after);
            after = mark.cursor.selectionEnd();
        }
        area.showText(QStringLiteral("次のページ ") + word);
        QVERIFY(area.extraSelections().isEmpty());
    }

    // The context menu's entries set a selected text of one line as a field of the route page
    // given, and are off without a page or a selection.
    void setsRouteFields_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<int>("element");
        QTest::addColumn<bool>("routePage");
        QTest::addColumn<QString>("selected");
        QTest::addColumn<bool>("set");
        QTest::newRow("match word")
            << "SetMatchWord" << int(MatchWord) << true << "平常運転" << true;
        QTest::newRow("section start")
            << "SetSubtitleStart" << int(SubtitleStart) << true << "京浜東北線" << true;
        QTest::newRow("section end")
            << "SetSubtitleEnd" << int(SubtitleEnd) << true << "中央線" << true;
        QTest::newRow("no route page")
            << "SetMatchWord" << int(MatchWord) << false << "平常運転" << false;
        QTest::newRow("nothing selected")
            << "SetMatchWord" << int(MatchWord) << true << "" << false;
        QTest::newRow("across lines")
            << "SetSubtitleStart" << int(SubtitleStart) << true << "平常運転\n中央線" << false;
    }

    void setsRouteFields()
    {
        QFETCH(QString, action);
        QFETCH(int, element);
        QFETCH(bool, routePage);
        QFETCH(QString, selected);
        QFETCH(bool, set);
        const QString text = QStringLiteral("京浜東北線 平常運転\n中央線 遅延");
        RouteSettings routes(QDir::tempPath());
        RoutePage page(2, routes, {});
        PageTextArea area;
        area.show();
        area.showText(text);
        area.setFieldTarget(routePage ? &page : nullptr);
        QTextCursor selection = area.textCursor();
        selection.setPosition(int(text.indexOf(selected)));
        selection.setPosition(selection.position() + int(selected.size()), QTextCursor::KeepAnchor);
        area.setTextCursor(selection);
        auto* entry = area.findChild<QAction*>(action);
        QCOMPARE(entry->isEnabled(), set);
        entry->trigger();
        QCOMPARE(page.field(element), set ? selected : QString());
    }

    // Nothing is laid out while the window is hidden, so a resident program never loads the
    // fonts for a page; shown, the window shows what it would have shown all along.
    void waitsForTheWindow_data()
    {
        QTest::addColumn<QString>("earlier");       // shown before the window is hidden; null: none
        QTest::addColumn<QString>("page");          // given once the window is hidden
        QTest::addColumn<bool>("hideWhileFilling"); // hidden as the earlier page goes in
        const QString longPage = QStringLiteral("<td>列車の遅れ</td>\r\n").repeated(20000);
        QTest::newRow("never shown") << QString() << longPage << false;
        QTest::newRow("hidden after an earlier page")
            << QStringLiteral("前のページ") << QStringLiteral("平常運転") << false;
        QTest::newRow("hidden while a page fills") << longPage << QString() << true;
        QTest::newRow("an empty page after an earlier one")
            << QStringLiteral("前のページ") << QStringLiteral("") << false;
    }

    void waitsForTheWindow()
    {
        QFETCH(QString, earlier);
        QFETCH(QString, page);
        QFETCH(bool, hideWhileFilling);
        QWidget window;
        auto* area = new PageTextArea(&window);
        if (!earlier.isNull()) {
            window.show();
            area->showText(earlier);
            if (!hideWhileFilling) {
                QTRY_VERIFY(!area->isFilling());
                QCOMPARE(area->toPlainText(), earlier);
            }
            window.hide();
        }
        const QString expected = hideWhileFilling ? earlier : page;
        if (!hideWhileFilling)
            area->showText(page);
        const int shownBlocks = area->document()->blockCount();
        for (int i = 0; i < 10; ++i)
            QCoreApplication::processEvents();
        QVERIFY(area->isFilling());
        // Hidden: nothing new goes in, and an earlier page is gone.
        QCOMPARE(area->document()->blockCount(), shownBlocks);
        if (!hideWhileFilling)
            QVERIFY(area->document()->isEmpty());

        window.show();
        QTRY_VERIFY(!area->isFilling());
        QCOMPARE(area->toPlainText(), filledText(expected));
    }
};

QTEST_MAIN(TestPageTextArea)
#include "tst_pagetextarea.moc"
