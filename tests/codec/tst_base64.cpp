// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "codec/Base64.h"
#include "codec/Converter.h"

#include <QTest>

using namespace senrokan;

class TestBase64 : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void encode_data()
    {
        QTest::addColumn<QByteArray>("bytes");
        QTest::addColumn<QString>("expected");
        QTest::newRow("3 bytes") << QByteArray("Man") << QStringLiteral("TWFu\r\n");
        QTest::newRow("1 byte") << QByteArray("M") << QStringLiteral("TQ==\r\n");
        QTest::newRow("2 bytes") << QByteArray("Ma") << QStringLiteral("TWE=\r\n");
        QTest::newRow("empty") << QByteArray() << QString();
        QTest::newRow("high bytes") << QByteArray("\xFF\xFE\x80") << QStringLiteral("//6A\r\n");
        const QByteArray b58(58, '\x5A');
        const QString full = QString::fromLatin1(b58.toBase64());
        QTest::newRow("58 bytes: 76 and 4")
            << b58
            << full.left(76) + QStringLiteral("\r\n") + full.mid(76) + QStringLiteral("\r\n");
        const QByteArray b57(57, '\x01');
        QTest::newRow("57 bytes: exactly one line")
            << b57 << QString::fromLatin1(b57.toBase64()) + QStringLiteral("\r\n");
    }

    void encode()
    {
        QFETCH(QByteArray, bytes);
        QFETCH(QString, expected);
        QString out = QStringLiteral("old text is replaced");
        EncodeBase64(bytes, bytes.size(), out);
        QCOMPARE(out, expected);
    }

    void encodeTakesOnlyCount()
    {
        QString out;
        EncodeBase64(QByteArray("ManMan"), 3, out);
        QCOMPARE(out, QStringLiteral("TWFu\r\n"));
        EncodeBase64(QByteArray("Man"), 0, out);
        QCOMPARE(out, QString());
    }

    void digit()
    {
        QCOMPARE(Base64Digit(0), QStringLiteral("A"));
        QCOMPARE(Base64Digit(63), QStringLiteral("/"));
        QCOMPARE(Base64Digit(64), QString());
    }

    void decode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<QString>("expected");
        const QString sjis = QString::fromLatin1(
            Converter(coding::Cp932).encode(QStringLiteral("平常運転です")).toBase64());
        QTest::newRow("Shift_JIS double-byte text") << sjis << QStringLiteral("平常運転です");
        QTest::newRow("stops at the first =")
            << QStringLiteral("TWFu=TWFu") << QStringLiteral("Man");
        QTest::newRow("line breaks and strangers skipped")
            << QStringLiteral("TW\r\nF u*") << QStringLiteral("Man");
        QTest::newRow("lone high byte at the end dropped")
            << QString::fromLatin1(QByteArray("ab\x82").toBase64()) << QStringLiteral("ab");
        // A half-width katakana byte is taken as the first byte of a pair with the next byte.
        QTest::newRow("half-width kana joins the next byte")
            << QString::fromLatin1(QByteArray("\xB1\x82\xA0").toBase64())
            << Converter(coding::Cp932).decode(QByteArray("\xB1\x82"));
    }

    void decode()
    {
        QFETCH(QString, text);
        QFETCH(QString, expected);
        QCOMPARE(UnBase64(text), expected);
    }
};

QTEST_GUILESS_MAIN(TestBase64)
#include "tst_base64.moc"
