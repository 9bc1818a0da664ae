// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

// senrokan-render against real nginx on loopback: every script-written page of the shared set
// read right in one batch, the page that never yields ended at the limit while the others come
// back (that nothing outlives it is tst_rendered_e2e's to show), local schemes and untrusted
// certificates refused, a private CA trusted through SSL_CERT_FILE, and no start as root with
// the sandbox on.
#include "platform/ProcessGroup.h"
#include "support/NginxSite.h"
#include "support/ScriptPages.h"
#include "support/ScriptedServer.h"

#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QTest>

#include <unistd.h>

using namespace senrokan;
using namespace senrokan::test;

namespace
{

// Long enough for a whole batch side by side on a loaded machine, short enough for a test.
constexpr int LimitMs = 8000;

struct Batch {
    QMap<QString, QJsonObject> answers; // by the address asked for
    int exitCode = -1;
    QByteArray err;
};

QProcessEnvironment helperEnvironment()
{
    QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
    // Tests run as root, where the engine's sandbox cannot run.
    environment.insert(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"), QStringLiteral("1"));
    environment.remove(QStringLiteral("SSL_CERT_FILE"));
    return environment;
}

// Runs the helper in a session of its own, as the check does, on the addresses given.
Batch readPages(const QStringList& urls, const QProcessEnvironment& environment)
{
    QProcess helper;
    helper.setProcessEnvironment(environment);
    platform::startInOwnGroup(helper);
    helper.start(QStringLiteral(SENROKAN_RENDER_EXE),
                 {QStringLiteral("--limit-ms"), QString::number(LimitMs)});
    Batch batch;
    if (!helper.waitForStarted())
        return batch;
    for (qsizetype id = 0; id < urls.size(); ++id)
        helper.write(QJsonDocument(QJsonObject{{"id", id}, {"url", urls.at(id)}})
                         .toJson(QJsonDocument::Compact) +
                     '\n');
    helper.closeWriteChannel();
    const qint64 group = helper.processId();
    if (!helper.waitForFinished(2 * LimitMs)) {
        platform::killGroup(helper, group);
        helper.waitForFinished();
        return batch;
    }
    batch.exitCode = helper.exitStatus() == QProcess::NormalExit ? helper.exitCode() : -1;
    batch.err = helper.readAllStandardError();
    for (const QByteArray& line : helper.readAllStandardOutput().split('\n')) {
        const QJsonObject answer = QJsonDocument::fromJson(line).object();
        const QString url = urls.value(answer.value(QStringLiteral("id")).toInt(-1));
        if (!url.isEmpty() && !batch.answers.contains(url))
            batch.answers.insert(url, answer);
        else if (!line.isEmpty())
            batch.answers.insert(QStringLiteral("unexpected"), answer);
    }
    return batch;
}

} // namespace

class TestRender : public QObject
{
    Q_OBJECT

    NginxSite m_site;
    QString m_base;
    QString m_closed; // an address nothing answers
    Batch m_batch;    // the page set and the refused addresses, read together

    QString pageUrl(const ScriptPage& page) const { return m_base + QString::fromUtf8(page.path); }
    QString tlsUrl(const QString& certificate,
                   const QString& page = QStringLiteral("feed.html")) const
    {
        return m_site.httpsServer(certificate) + QStringLiteral("/render/") + page;
    }

private Q_SLOTS:
    void initTestCase()
    {
        m_base = serveScriptPages(m_site);
        QVERIFY2(!m_base.isEmpty(), qPrintable(m_site.error()));
        m_closed = QStringLiteral("http://127.0.0.1:%1/").arg(closedPort());
        QStringList urls;
        for (const ScriptPage& page : scriptPages())
            urls << pageUrl(page);
        urls << QStringLiteral("file:///etc/hostname") << m_base + QStringLiteral("missing.html")
             << tlsUrl(QStringLiteral("good")) << m_closed;
        m_batch = readPages(urls, helperEnvironment());
        QCOMPARE(m_batch.exitCode, 0);
        QCOMPARE(m_batch.answers.size(), urls.size()); // one answer a page, none unasked for
    }

    void pages_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<Reading>("reading");
        for (const ScriptPage& page : scriptPages())
            QTest::newRow(page.name) << pageUrl(page) << page.reading;
    }

    void pages()
    {
        QFETCH(QString, url);
        QFETCH(Reading, reading);
        const QJsonObject answer = m_batch.answers.value(url);
        const QString text = answer.value(QStringLiteral("text")).toString();
        QVERIFY2(answer.value(QStringLiteral("ok")).toBool() == (reading != Reading::Failed),
                 QJsonDocument(answer).toJson());
        QCOMPARE(text.contains(NormalWord), reading == Reading::Normal);
        if (reading == Reading::Failed) {
            QCOMPARE(answer.value(QStringLiteral("detail")).toString(), QStringLiteral("limit"));
            // Not before the limit: the page was given all of it.
            QVERIFY(answer.value(QStringLiteral("ms")).toInteger() >= LimitMs);
        } else {
            QCOMPARE(answer.value(QStringLiteral("status")).toInt(), 200);
            // Rendered text only: no style sheet of a shadow root, no script source.
            QVERIFY2(!text.contains(QStringLiteral("color")) &&
                         !text.contains(QStringLiteral("=>")),
                     qPrintable(text));
        }
    }

    void refused_data()
    {
        QTest::addColumn<QString>("url");
        QTest::addColumn<int>("status");
        QTest::addColumn<QString>("detail");
        QTest::newRow("file") << QStringLiteral("file:///etc/hostname") << 0
                              << QStringLiteral("refused scheme");
        QTest::newRow("404") << m_base + QStringLiteral("missing.html") << 404
                             << QStringLiteral("HTTP 404");
        QTest::newRow("certificate of an unknown CA")
            << tlsUrl(QStringLiteral("good")) << 0 << QStringLiteral("TLSエラー: ");
        QTest::newRow("nothing listening")
            << m_closed << 0 << QStringLiteral("net::ERR_CONNECTION_REFUSED");
    }

    void refused()
    {
        QFETCH(QString, url);
        QFETCH(int, status);
        QFETCH(QString, detail);
        const QJsonObject answer = m_batch.answers.value(url);
        QVERIFY2(!answer.value(QStringLiteral("ok")).toBool(), QJsonDocument(answer).toJson());
        QCOMPARE(answer.value(QStringLiteral("status")).toInt(), status);
        QVERIFY2(answer.value(QStringLiteral("detail")).toString().startsWith(detail),
                 QJsonDocument(answer).toJson());
        QVERIFY(!answer.contains(QStringLiteral("text")));
    }

    // A private CA in SSL_CERT_FILE is trusted as for HTTPS routes, and only for the names its
    // certificates are for; as for HTTPS routes, a redirect down to plain HTTP is refused.
    void trustedThroughCertFile_data()
    {
        QTest::addColumn<QString>("certificate");
        QTest::addColumn<QString>("page");
        QTest::addColumn<bool>("read");
        const QString feed = QStringLiteral("feed.html");
        QTest::newRow("good") << QStringLiteral("good") << feed << true;
        QTest::newRow("another host's") << QStringLiteral("wronghost") << feed << false;
        QTest::newRow("expired") << QStringLiteral("expired") << feed << false;
        QTest::newRow("redirect down to http")
            << QStringLiteral("good") << QStringLiteral("down.html") << false;
    }

    void trustedThroughCertFile()
    {
        QFETCH(QString, certificate);
        QFETCH(QString, page);
        QFETCH(bool, read);
        QProcessEnvironment environment = helperEnvironment();
        environment.insert(QStringLiteral("SSL_CERT_FILE"), m_site.certificates().caFile());
        const QString url = tlsUrl(certificate, page);
        const Batch batch = readPages({url}, environment);
        QCOMPARE(batch.exitCode, 0);
        const QJsonObject answer = batch.answers.value(url);
        QVERIFY2(answer.value(QStringLiteral("ok")).toBool() == read,
                 QJsonDocument(answer).toJson());
        QCOMPARE(answer.value(QStringLiteral("text")).toString().contains(NormalWord), read);
    }

    // As root the sandbox cannot run; switching it off is the user's choice, so without it the
    // helper refuses to start and says why in one line.
    void refusesRootWithTheSandboxOn()
    {
        if (::geteuid() != 0)
            QSKIP("needs root");
        QProcessEnvironment environment = helperEnvironment();
        environment.remove(QStringLiteral("QTWEBENGINE_DISABLE_SANDBOX"));
        environment.insert(QStringLiteral("QTWEBENGINE_CHROMIUM_FLAGS"),
                           QStringLiteral("--disable-gpu"));
        const Batch batch = readPages({m_base + QStringLiteral("feed.html")}, environment);
        QCOMPARE(batch.exitCode, 2);
        QVERIFY(batch.answers.isEmpty());
        QCOMPARE(batch.err.count('\n'), 1);
        QVERIFY(batch.err.contains("QTWEBENGINE_DISABLE_SANDBOX"));
    }
};

QTEST_GUILESS_MAIN(TestRender)
#include "tst_render.moc"
