// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// The page-text area takes a long page in slices: what it ends up showing must be the page,
// however the slices fall, with lines over the display limit broken on screen only; a page of one
// huge line fills in slices whose cost does not grow with what is already shown.
#include "window/PageTextArea.h"

#include <QElapsedTimer>
#include <QTest>
#include <QTextBlock>

using namespace senrokan;

class TestPageTextArea : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void endsAsOneSetting_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("replacedBy"); // given while the first still fills; null: none
        const QString line = QStringLiteral("<td>列車の遅れ ｶﾀｶﾅ 12:34</td>\r\n");
        QTest::newRow("short page") << QStringLiteral("<b>x</b>\r\n平常運転") << QString();
        QTest::newRow("long page, CR LF lines") << line.repeated(9000) << QString();
        QTest::newRow("long page, lone CRs and LFs")
            << QStringLiteral("a\rb\nc\r\n").repeated(30000) << QString();
        QTest::newRow("one long line of surrogate pairs")
            << QStringLiteral("𠮷").repeated(70000) << QString();
        QTest::newRow("a second page while the first fills")
            << line.repeated(9000) << QStringLiteral("運行情報").repeated(20000);
        QTest::newRow("a short page while a long one fills")
            << line.repeated(9000) << QStringLiteral("short");
    }

    void endsAsOneSetting()
    {
        QFETCH(QString, text);
        QFETCH(QString, replacedBy);
        PageTextArea area;
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
        bool longLines = false;
        for (QTextBlock b = reference.document()->begin(); b.isValid(); b = b.next())
            longLines = longLines || b.length() - 1 > PageTextArea::DisplayLineChars;
        if (!longLines) {
            QCOMPARE(area.toPlainText(), reference.toPlainText());
            QCOMPARE(area.document()->blockCount(), reference.document()->blockCount());
            return;
        }
        // Broken on screen: the breaks taken out give the page back, no surrogate pair split.
        QCOMPARE(area.toPlainText().remove(QLatin1Char('\n')),
                 reference.toPlainText().remove(QLatin1Char('\n')));
        for (QTextBlock b = area.document()->begin(); b.isValid(); b = b.next()) {
            QVERIFY(b.length() - 1 <= PageTextArea::DisplayLineChars + 1);
            QVERIFY(b.text().isEmpty() || !b.text().front().isLowSurrogate());
        }
    }

    // Laid out as one paragraph, a 4 M-character line took minutes, with single pauses over a
    // second. The number of event-loop turns must follow the page's size, and no turn may hold
    // the window. The turn bound here is ten times the 50 ms target, so that a machine busy with
    // other work does not fail it; bench/ui_latency measures the target itself.
    void oneHugeLineKeepsTheLoopTurning()
    {
        const QString page = QStringLiteral("<td>列車の遅れ</td>").repeated(4 * 1024 * 1024 / 14);
        PageTextArea area;
        area.resize(600, 300);
        area.show();
        QElapsedTimer turn;
        qint64 longestMs = 0;
        int turns = 0;
        turn.start();
        area.showText(page);
        while (area.isFilling()) {
            longestMs = qMax(longestMs, turn.restart());
            QCoreApplication::processEvents();
            ++turns;
        }
        longestMs = qMax(longestMs, turn.elapsed());
        QVERIFY2(turns <= 2 * page.size() / PageTextArea::DisplayLineChars,
                 qPrintable(QString::number(turns)));
        QVERIFY2(longestMs < 500, qPrintable(QStringLiteral("%1 ms").arg(longestMs)));
        QCOMPARE(area.toPlainText().remove(QLatin1Char('\n')), page);
    }
};

QTEST_MAIN(TestPageTextArea)
#include "tst_pagetextarea.moc"
