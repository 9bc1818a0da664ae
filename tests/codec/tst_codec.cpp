// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// Coding detection, conversion and the folded search.
#include "base/Failure.h"
#include "codec/Converter.h"
#include "codec/JsonEscapes.h"
#include "codec/Kconv.h"
#include "codec/PageCoding.h"
#include "codec/TextSearch.h"

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
        row("a NUL inside a label makes it none",
            head + "<meta charset=\"utf-8" + QByteArray(1, '\0') + "x\">", "Shift_JIS (default)",
            "");
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
            "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=UTF-8\r\nX-Note: "
            "\"a\"\r\n\r\n<meta a=\"",
            "UTF-8 (header)", "UTF-8");
        row("quoted header charset, any case",
            "HTTP/1.0 200 OK\nCONTENT-TYPE :text/html;Charset=\"EUC-JP\"\n\nx", "EUC-JP (header)",
            "EUC-JP");
        const QByteArray euc = Converter(coding::EucJp).encode(QStringLiteral("平常運転"));
        row("repeated Content-Type of the same type keeps the charset",
            "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=\"euc-jp\"\r\n"
            "Content-Type: text/html\r\n\r\n" +
                euc,
            "EUC-JP (header)", "euc-jp");
        row("repeated Content-Type of another type drops it",
            "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=utf-8\r\n"
            "Content-Type: text/plain\r\n\r\n<html>",
            "Shift_JIS (default)", "");
        row("*/*, ill-formed types and quoted commas passed over",
            "HTTP/1.1 200 OK\r\nContent-Type: text/html; charset=euc-jp\r\n"
            "Content-Type: */*, nonsense; charset=utf-8\r\n"
            "Content-Type: text/html; x=\"a,b;charset=utf-8\"\r\n\r\n" +
                euc,
            "EUC-JP (header)", "euc-jp");
        row("charset in the body's text is no header",
            head + "Content-Type: text/html; charset=UTF-8", "Shift_JIS (default)", "");
        row("no charset", head + "<html>", "Shift_JIS (default)", "");
        row("byte-order mark", head + "\xEF\xBB\xBF<p>", "UTF-8 (bom)", "UTF-8");
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
        auto row = [](const char* name, const char* text, const char* decoded) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(decoded);
        };
        row("BMP characters", "\\u5E73\\u5e38", "平常");
        row("surrogate pair", "\\ud842\\udfb7野家", "𠮷野家");
        row("lone surrogate", "a\\ud842b", "a\uFFFDb");
        row("one-letter escapes", "\\\"a\\\"\\n\\t\\/\\\\", "\"a\"\n\t/\\");
        row("escaped backslash before u", "\\\\u5E73", "\\u5E73");
        row("no escape kept", "C:\\x \\u12", "C:\\x \\u12");
        row("backslash at the end", "ab\\", "ab\\");
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
        auto row = [](const char* name, const char* text, const char* word, int start,
                      int position) {
            QTest::newRow(name) << QString::fromUtf8(text) << QString::fromUtf8(word) << start
                                << position;
        };
        row("letter case", "xxNORMAL", "normal", 1, 3);
        row("full width against half width", "xＡＢＣ", "abc", 1, 2);
        row("half-width katakana against hiragana", "xﾀﾞｲﾔ", "だいや", 1, 2);
        row("katakana against hiragana", "平常ウンテン", "うんてん", 1, 3);
        row("voiced mark still counts", "タイヤ", "ダイヤ", 1, 0);
        row("different kanji", "平常運転", "平常運行", 1, 0);
        row("from a later start", "ab ab", "ab", 2, 4);
        row("start past the end", "ab", "ab", 3, 0);
        row("empty word at start", "abc", "", 2, 2);
        row("empty word in empty text", "", "", 1, 0);
        row("positions after merged voiced marks", "ﾀﾞｲﾔ ﾀﾞｲﾔ", "だいや", 2, 6);
        row("combining voiced mark", "か\u3099いしゃ", "ガイシャ", 1, 1);
        row("half-width wa with voiced mark", "ﾜﾞ", "ヷ", 1, 1);
        row("long vowel mark is no vowel", "カア", "カー", 1, 0);
        row("half-width long vowel mark", "ｶｰﾄﾞ", "カード", 1, 1);
        row("ideographic space is a wide blank", "運転\u3000再開", "運転 再開", 1, 1);
        row("circled digit stays distinct", "①番線", "1番線", 1, 0);
        row("greek case", "ΑΒΓ", "αβγ", 1, 1);
        row("positions in UTF-16 units", "𠮷野家 遅延", "遅延", 1, 6);
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
