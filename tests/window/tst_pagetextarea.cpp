// The page-text area takes a long page in slices: what it ends up showing must be exactly what
// one plain-text setting would show, however the slices fall.
#include "window/PageTextArea.h"

#include <QTest>

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
        QCOMPARE(area.toPlainText(), reference.toPlainText());
        QCOMPARE(area.document()->blockCount(), reference.document()->blockCount());
    }
};

QTEST_MAIN(TestPageTextArea)
#include "tst_pagetextarea.moc"
