// Coding detection, conversion and the folded search.
#include "codec/Converter.h"
#include "codec/JsonEscapes.h"
#include "codec/Kconv.h"
#include "codec/PageCoding.h"
#include "codec/TextSearch.h"
#include "route/Failure.h"

#include <QTest>

using namespace senrokan;

class TestCodec : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    // Declarations in socket replies: what settles the coding, and the label shown for it.
    void declaration_data()
    {
        QTest::addColumn<QByteArray>("reply");
        QTest::addColumn<QString>("coding");
        QTest::addColumn<QString>("shown");
        const QByteArray head = "HTTP/1.1 200 OK\r\nContent-Type: text/html\r\n\r\n";
        auto row = [](const char* name, const QByteArray& reply, const char* coding,
                      const char* shown) {
            QTest::newRow(name) << reply << QString(coding) << QString(shown);
        };
        row("meta lower",
            head + "<meta http-equiv=\"Content-Type\" content=\"text/html; charset=shift_jis\">",
            "Shift_JIS (meta)", "shift_jis");
        row("mixed case Shift_JIS", head + "<meta charset=Shift_JIS>", "Shift_JIS (meta)",
            "Shift_JIS");
        row("other Shift_JIS labels", head + "<meta charset=\"x-sjis\">", "Shift_JIS (meta)",
            "x-sjis");
        row("blanks around the label", head + "<meta charset=\" \teuc-jp  \">", "EUC-JP (meta)",
            "euc-jp");
        row("single quotes, blanks and capitals", head + "<META CharSet = 'Utf-8' />",
            "UTF-8 (meta)", "Utf-8");
        row("CHARSET in the content",
            head + "<meta HTTP-EQUIV=content-type content='text/html;CHARSET = \"utf-8\"'>",
            "UTF-8 (meta)", "utf-8");
        row("http-equiv and content unquoted",
            head + "<meta http-equiv=Content-Type content=text/html;charset=euc-jp>",
            "EUC-JP (meta)", "euc-jp");
        row("content without http-equiv ignored",
            head + "<meta content=\"text/html; charset=utf-8\">", "Shift_JIS (default)", "");
        row("utf-16 in a meta means UTF-8", head + "<meta charset=\"utf-16\">", "UTF-8 (meta)",
            "utf-16");
        row("unknown label skipped, first valid wins",
            head + "<meta charset=\"x-unknown\"><meta charset=\"euc-jp\"><meta charset=utf-8>",
            "EUC-JP (meta)", "euc-jp");
        row("meta inside an attribute value ignored",
            head + "<a title='<meta charset=utf-8>'>x</a>", "Shift_JIS (default)", "");
        row("meta in an empty comment counts", head + "<!--><meta charset=utf-8>", "UTF-8 (meta)",
            "utf-8");
        row("meta in a comment ignored",
            head + "<!-- <meta charset=\"utf-8\"> --><meta charset=\"shift_jis\">",
            "Shift_JIS (meta)", "shift_jis");
        row("unclosed comment hides the rest", head + "<!-- <meta charset=utf-8>",
            "Shift_JIS (default)", "");
        row("header charset ends with its line",
            "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\n\r\n<meta a=\"",
            "UTF-8 (header)", "UTF-8");
        row("quoted header charset, any case",
            "HTTP/1.0 200 OK\nCONTENT-TYPE :text/html;Charset=\"EUC-JP\"\n\nx", "EUC-JP (header)",
            "EUC-JP");
        row("charset in the body's text is no header",
            head + "Content-Type: text/html; charset=UTF-8", "Shift_JIS (default)", "");
        row("no charset", head + "<html>", "Shift_JIS (default)", "");
        row("XML declaration in single quotes",
            head + "<?xml version='1.0' encoding='Shift_JIS'?><a/>", "Shift_JIS (xml)",
            "Shift_JIS");
        row("JSON reply without non-ASCII bytes",
            "HTTP/1.1 200 OK\r\nContent-Type: application/vnd.x+json\r\n\r\n[1]", "UTF-8 (json)",
            "UTF-8");
        // Too short for frequency counts alone: the byte grammar of each coding decides.
        row("short undeclared Shift_JIS", head + encodeCp932(QStringLiteral("平常運転")),
            "Shift_JIS (detected)", "Shift_JIS");
        row("short undeclared EUC-JP",
            head + Converter(coding::EucJp).encode(QStringLiteral("現在、平常運転です。")),
            "EUC-JP (detected)", "EUC-JP");
        row("JSON that is not UTF-8 is detected",
            head +
                encodeCp932(QStringLiteral("{\"status\": \"平常運転です。ダイヤは正常です。\"}")),
            "Shift_JIS (detected)", "Shift_JIS");
    }

    void declaration()
    {
        QFETCH(QByteArray, reply);
        QFETCH(QString, coding);
        QFETCH(QString, shown);
        const CodingDecision decision = decideReplyCoding(reply);
        QCOMPARE(describeCoding(decision), coding);
        QCOMPARE(shownDeclaration(decision), shown);
    }

    void jsonEscapes_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("decoded");
        QTest::newRow("BMP characters")
            << QStringLiteral("\\u5E73\\u5e38") << QStringLiteral("平常");
        QTest::newRow("surrogate pair")
            << QStringLiteral("\\ud842\\udfb7野家") << QStringLiteral("𠮷野家");
        QTest::newRow("lone surrogate")
            << QStringLiteral("a\\ud842b") << QStringLiteral("a\uFFFDb");
        QTest::newRow("one-letter escapes")
            << QStringLiteral("\\\"a\\\"\\n\\t\\/\\\\") << QStringLiteral("\"a\"\n\t/\\");
        QTest::newRow("escaped backslash before u")
            << QStringLiteral("\\\\u5E73") << QStringLiteral("\\u5E73");
        QTest::newRow("no escape kept")
            << QStringLiteral("C:\\x \\u12") << QStringLiteral("C:\\x \\u12");
        QTest::newRow("backslash at the end") << QStringLiteral("ab\\") << QStringLiteral("ab\\");
    }

    void jsonEscapes()
    {
        QFETCH(QString, text);
        QFETCH(QString, decoded);
        QCOMPARE(decodeJsonEscapes(text), decoded);
    }

    void kconvModes_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<QByteArray>("bytes");
        const QString text = QStringLiteral("平常運転 ｶﾀｶﾅ ABC");
        QTest::newRow("0 = Shift_JIS") << 0 << Converter(coding::Cp932).encode(text);
        QTest::newRow("2 = EUC-JP") << 2 << Converter(coding::EucJp).encode(text);
        QTest::newRow("5 = UTF-8") << 5 << text.toUtf8();
    }

    void kconvModes()
    {
        QFETCH(int, mode);
        QFETCH(QByteArray, bytes);
        QCOMPARE(Kconv(bytes, 3, mode), QStringLiteral("平常運転 ｶﾀｶﾅ ABC"));
    }

    // Code page 932 maps every single byte below 0x80 to the same code point.
    void cp932ControlCodes()
    {
        const QByteArray bytes("\x1A\x1C\x7F\x95\xBD\x1D");
        const QString text = QStringLiteral("\x1A\x1C\x7F平\x1D");
        QCOMPARE(decodeCp932(bytes), text);
        QCOMPARE(encodeCp932(text), bytes);
        // Arriving in pieces, through one stateful decoder.
        Converter converter(coding::Cp932);
        QString pieces;
        for (char byte : bytes)
            pieces += converter.decode(QByteArrayView(&byte, 1), false);
        QCOMPARE(pieces + converter.decode({}), text);
        QByteArray exact;
        QVERIFY(Converter(coding::Cp932).encodeExactly(text, &exact));
        QCOMPARE(exact, bytes);
    }

    void kconvRejectsUnknownMode() { QVERIFY_THROWS_EXCEPTION(Failure, Kconv("abc", 3, 7)); }

    void convertPageText_data()
    {
        QTest::addColumn<QString>("input");
        QTest::addColumn<QString>("output");
        // 7-bit throughout: kanji behind ESC $ B, half-width katakana behind ESC ( I.
        const QByteArray jis = "\x1B$BJ?>o1?E>$G$9\x1B(B \x1B(I6E\x1B(B";
        QTest::newRow("ISO-2022-JP as the socket delivers it")
            << decodeCp932(jis) << QStringLiteral("平常運転です ｶﾅ");
        QTest::newRow("already converted text passes")
            << QStringLiteral("平常運転です") << QStringLiteral("平常運転です");
        QTest::newRow("escapes among converted text")
            << QStringLiteral("見出し") + decodeCp932(jis) + QStringLiteral("終わり")
            << QStringLiteral("見出し平常運転です ｶﾅ終わり");
        QTest::newRow("plain ASCII")
            << QStringLiteral("HTTP/1.0 200 OK") << QStringLiteral("HTTP/1.0 200 OK");
    }

    void convertPageText()
    {
        QFETCH(QString, input);
        QFETCH(QString, output);
        QCOMPARE(ConvertPageText(input), output);
    }

    void search_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("word");
        QTest::addColumn<int>("start");
        QTest::addColumn<int>("position");
        QTest::newRow("letter case")
            << QStringLiteral("xxNORMAL") << QStringLiteral("normal") << 1 << 3;
        QTest::newRow("full width against half width")
            << QStringLiteral("xＡＢＣ") << QStringLiteral("abc") << 1 << 2;
        QTest::newRow("half-width katakana against hiragana")
            << QStringLiteral("xﾀﾞｲﾔ") << QStringLiteral("だいや") << 1 << 2;
        QTest::newRow("katakana against hiragana")
            << QStringLiteral("平常ウンテン") << QStringLiteral("うんてん") << 1 << 3;
        QTest::newRow("voiced mark still counts")
            << QStringLiteral("タイヤ") << QStringLiteral("ダイヤ") << 1 << 0;
        QTest::newRow("different kanji")
            << QStringLiteral("平常運転") << QStringLiteral("平常運行") << 1 << 0;
        QTest::newRow("from a later start")
            << QStringLiteral("ab ab") << QStringLiteral("ab") << 2 << 4;
        QTest::newRow("start past the end")
            << QStringLiteral("ab") << QStringLiteral("ab") << 3 << 0;
        QTest::newRow("empty word at start") << QStringLiteral("abc") << QString() << 2 << 2;
        QTest::newRow("empty word in empty text") << QString() << QString() << 1 << 0;
        QTest::newRow("positions after merged voiced marks")
            << QStringLiteral("ﾀﾞｲﾔ ﾀﾞｲﾔ") << QStringLiteral("だいや") << 2 << 6;
        QTest::newRow("combining voiced mark")
            << QStringLiteral("か\u3099いしゃ") << QStringLiteral("ガイシャ") << 1 << 1;
        QTest::newRow("half-width wa with voiced mark")
            << QStringLiteral("ﾜﾞ") << QStringLiteral("ヷ") << 1 << 1;
        QTest::newRow("long vowel mark is no vowel")
            << QStringLiteral("カア") << QStringLiteral("カー") << 1 << 0;
        QTest::newRow("half-width long vowel mark")
            << QStringLiteral("ｶｰﾄﾞ") << QStringLiteral("カード") << 1 << 1;
        QTest::newRow("ideographic space is a wide blank")
            << QStringLiteral("運転\u3000再開") << QStringLiteral("運転 再開") << 1 << 1;
        QTest::newRow("circled digit stays distinct")
            << QStringLiteral("①番線") << QStringLiteral("1番線") << 1 << 0;
        QTest::newRow("greek case") << QStringLiteral("ΑΒΓ") << QStringLiteral("αβγ") << 1 << 1;
        QTest::newRow("positions in UTF-16 units")
            << QStringLiteral("𠮷野家 遅延") << QStringLiteral("遅延") << 1 << 6;
    }

    void search()
    {
        QFETCH(QString, text);
        QFETCH(QString, word);
        QFETCH(int, start);
        QFETCH(int, position);
        QCOMPARE(TextSearch(text).find(word, start), qsizetype(position));
    }

    void searchRejectsStartZero()
    {
        QVERIFY_THROWS_EXCEPTION(Failure, TextSearch(u"abc").find(u"a", 0));
        QVERIFY_THROWS_EXCEPTION(Failure, TextSearch(u"abc").find(u"", 0));
    }
};

QTEST_GUILESS_MAIN(TestCodec)
#include "tst_codec.moc"
