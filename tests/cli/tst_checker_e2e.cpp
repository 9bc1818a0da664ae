// senrokan-check end to end: a real nginx on a loopback address, port 80, serving pages in the
// four codings, and the checker run as its own process against a settings file.
#include "codec/Converter.h"
#include "settings/SettingsFile.h"
#include "support/NginxSite.h"
#include "support/Pages.h"
#include "support/ProcessRun.h"
#include "support/SettingsWriter.h"

#include <QFile>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QRegularExpression>
#include <QSslError>
#include <QTemporaryDir>
#include <QTest>

#include <unistd.h>

using namespace senrokan;

namespace
{

const QString Host = QStringLiteral("127.0.5.1");
const QString Word = QStringLiteral("平常運転");

QByteArray page(const char* coding, const QString& declaration, const QString& body)
{
    return test::encoded(coding, test::html(test::metaFor(declaration), body));
}

using Run = test::ProcessResult;

// caFile: the test's certificate authority, trusted through SSL_CERT_FILE; empty for none.
Run runChecker(const QString& workDir, const QStringList& args, const QString& caFile = {})
{
    test::ProcessOptions options;
    options.environment.remove(QStringLiteral("SSL_CERT_FILE"));
    if (!caFile.isEmpty())
        options.environment.insert(QStringLiteral("SSL_CERT_FILE"), caFile);
    options.workingDirectory = workDir;
    return test::runProcess(QStringLiteral(SENROKAN_CHECK_EXE), args, options);
}

} // namespace

class TestCheckerEndToEnd : public QObject
{
    Q_OBJECT
    QTemporaryDir m_dir;
    test::NginxSite m_site{Host, 80};
    const test::TestCertificates& m_certificates = m_site.certificates();
    // HTTPS on ports of their own: one with a certificate for Host, one for another name.
    const QString HttpsServer = m_site.httpsServer(QStringLiteral("good"));
    const QString WrongHostServer = m_site.httpsServer(QStringLiteral("wronghost"));

    bool startNginx()
    {
        const QString normal = QStringLiteral("<p>山手線</p><p>現在、平常運転です。</p>");
        return m_site.put("sjis.html", page(coding::Cp932, QStringLiteral("Shift_JIS"), normal)) &&
               m_site.put("sjis-lower.html",
                          page(coding::Cp932, QStringLiteral("shift_jis"), normal)) &&
               m_site.put("utf8.html", page(coding::Utf8, QStringLiteral("utf-8"), normal)) &&
               m_site.put("euc.html", page(coding::EucJp, QStringLiteral("EUC-JP"), normal)) &&
               m_site.put("jis.html",
                          page(coding::Iso2022Jp, QStringLiteral("iso-2022-jp"), normal)) &&
               m_site.put("delayed.html",
                          page(coding::Utf8, QStringLiteral("UTF-8"),
                               QStringLiteral("<p>山手線</p><p>運転を見合わせています。</p>"))) &&
               m_site.start(QString());
    }

    void writeSettings(const QString& name, const QStringList& dirs,
                       const QStringList& servers = {})
    {
        QList<QStringList> routes;
        for (int r = 0; r < RouteCount; ++r)
            routes.append(
                {QStringLiteral("路線%1").arg(r + 1), servers.value(r, Host), dirs.value(r), Word});
        test::writeSettings(m_dir.filePath(name), SettingsValues(), routes);
    }

private Q_SLOTS:
    void initTestCase()
    {
        QVERIFY(m_dir.isValid());
        if (::geteuid() != 0)
            QSKIP("nginx must listen on port 80, which needs root");
        QVERIFY2(startNginx(), qPrintable(m_site.error()));
    }

    void allFourCodings()
    {
        writeSettings(SettingsFileName,
                      {QStringLiteral("sjis-lower.html"), QStringLiteral("utf8.html"),
                       QStringLiteral("euc.html"), QStringLiteral("jis.html"),
                       QStringLiteral("delayed.html")});
        const Run run = runChecker(m_dir.path(), {QStringLiteral("--json")});
        QCOMPARE(run.exitCode, 1); // a delayed route
        const QJsonArray routes = QJsonDocument::fromJson(run.out).array();
        QCOMPARE(routes.size(), 5);
        const QList<int> expected = {0, 0, 0, 0, 1};
        static const QRegularExpression iso(QStringLiteral(R"(^\d{4}-\d\d-\d\dT\d\d:\d\d:\d\d$)"));
        for (int i = 0; i < 5; ++i) {
            const QJsonObject route = routes.at(i).toObject();
            QCOMPARE(route.value(QStringLiteral("route")).toInt(), i + 1);
            QCOMPARE(route.value(QStringLiteral("title")).toString(),
                     QStringLiteral("路線%1").arg(i + 1));
            QCOMPARE(route.value(QStringLiteral("status")).toInt(), expected.at(i));
            QVERIFY(iso.match(route.value(QStringLiteral("checkTime")).toString()).hasMatch());
        }
    }

    void oneRouteAsText()
    {
        // Mixed-case Shift_JIS is not recognised, but the socket text is Shift_JIS already.
        writeSettings(
            QStringLiteral("other.DEF"),
            {QString(), QString(), QStringLiteral("sjis.html"), QStringLiteral("missing.html")});
        const Run run = runChecker(m_dir.path(), {QStringLiteral("--settings"),
                                                  m_dir.filePath(QStringLiteral("other.DEF")),
                                                  QStringLiteral("--route"), QStringLiteral("3"),
                                                  QStringLiteral("--verbose")});
        QCOMPARE(run.exitCode, 0);
        const QStringList lines = QString::fromUtf8(run.out).split(QLatin1Char('\n'));
        QCOMPARE(lines.size(), 11);
        QCOMPARE(lines.at(0), QStringLiteral("路線1　不明です。   "));
        QVERIFY(lines.at(4).startsWith(QStringLiteral("路線3　平常運転です。   ")));
        QVERIFY(QRegularExpression(QStringLiteral(R"(\d{4}年\d\d月\d\d日 \d\d時\d\d分\d\d秒$)"))
                    .match(lines.at(4))
                    .hasMatch());
        QCOMPARE(lines.at(5), QString());
        QCOMPARE(
            QString::fromUtf8(run.err),
            QStringLiteral("route 3: 接続中\nroute 3: 接続しました\nroute 3: HTTPサーバに接続\n"));
    }

    void httpsRoutes()
    {
        writeSettings(
            QStringLiteral("https.DEF"),
            {QStringLiteral("utf8.html"), QStringLiteral("utf8.html"), QStringLiteral("euc.html")},
            {HttpsServer, WrongHostServer, Host, QString(), QString()});
        const QStringList args = {QStringLiteral("--settings"),
                                  m_dir.filePath(QStringLiteral("https.DEF")),
                                  QStringLiteral("--json"), QStringLiteral("--verbose")};
        const Run run = runChecker(m_dir.path(), args, m_certificates.caFile());
        QCOMPARE(run.exitCode, 2); // the wrong-host route
        const QJsonArray routes = QJsonDocument::fromJson(run.out).array();
        QCOMPARE(routes.size(), 5);
        const QList<int> expected = {0, 2, 0, 3, 3};
        for (int i = 0; i < 5; ++i)
            QCOMPARE(routes.at(i).toObject().value(QStringLiteral("status")).toInt(),
                     expected.at(i));
        const QString err = QString::fromUtf8(run.err);
        QVERIFY2(err.startsWith(QStringLiteral(
                     "route 1: 接続中\nroute 1: 接続しました\nroute 1: HTTPサーバに接続\n")),
                 run.err.constData());
        QVERIFY2(err.contains(QStringLiteral("route 2: TLSエラー: ") +
                              QSslError(QSslError::HostNameMismatch).errorString()),
                 run.err.constData());
    }

    void httpsNeedsATrustedCertificate()
    {
        // Without the test's authority the same good server is not trusted: nothing is waved
        // through.
        writeSettings(QStringLiteral("https1.DEF"), {QStringLiteral("utf8.html")},
                      {HttpsServer, QString(), QString(), QString(), QString()});
        const Run run =
            runChecker(m_dir.path(),
                       {QStringLiteral("--settings"), m_dir.filePath(QStringLiteral("https1.DEF")),
                        QStringLiteral("--json"), QStringLiteral("--verbose")});
        QCOMPARE(run.exitCode, 2);
        QVERIFY2(QString::fromUtf8(run.err).contains(QStringLiteral("route 1: TLSエラー: ")),
                 run.err.constData());
    }

    void notServedPage()
    {
        writeSettings(QStringLiteral("missing.DEF"), {QStringLiteral("missing.html")});
        const Run run =
            runChecker(m_dir.path(),
                       {QStringLiteral("--settings"), m_dir.filePath(QStringLiteral("missing.DEF")),
                        QStringLiteral("--route"), QStringLiteral("1"), QStringLiteral("--json")});
        QCOMPARE(run.exitCode, 2);
        QCOMPARE(QJsonDocument::fromJson(run.out)
                     .array()
                     .at(0)
                     .toObject()
                     .value(QStringLiteral("status"))
                     .toInt(),
                 2);
    }
};

// Usage and settings errors need no server.
class TestCheckerArguments : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void exitStatuses_data()
    {
        QTest::addColumn<QStringList>("args");
        QTest::addColumn<QByteArray>("settings");
        QTest::addColumn<int>("exitCode");
        QTest::addColumn<QString>("stderrHas");
        QTest::newRow("help") << QStringList{QStringLiteral("--help")} << QByteArray() << 0
                              << QString();
        QTest::newRow("unknown option") << QStringList{QStringLiteral("--fast")} << QByteArray()
                                        << 64 << QStringLiteral("usage:");
        QTest::newRow("route 6") << QStringList{QStringLiteral("--route"), QStringLiteral("6")}
                                 << QByteArray() << 64 << QStringLiteral("usage:");
        QTest::newRow("no settings file")
            << QStringList() << QByteArray() << 3 << QStringLiteral("Senrokan.DEF");
        QTest::newRow("file ends after line 5")
            << QStringList() << QByteArray("\r\n30\r\n0\r\n0\r\n0\r\n") << 3
            << QStringLiteral("Senrokan.DEF: 6行目");
        QTest::newRow("bad interval")
            << QStringList() << QByteArray("\r\nthirty\r\n") << 3 << QStringLiteral("2行目");
    }

    void exitStatuses()
    {
        QFETCH(QStringList, args);
        QFETCH(QByteArray, settings);
        QFETCH(int, exitCode);
        QFETCH(QString, stderrHas);
        QTemporaryDir dir;
        if (!settings.isEmpty()) {
            QFile f(dir.filePath(SettingsFileName));
            QVERIFY(f.open(QIODevice::WriteOnly));
            f.write(settings);
        }
        const Run run = runChecker(dir.path(), args);
        QCOMPARE(run.exitCode, exitCode);
        QVERIFY2(QString::fromUtf8(run.err).contains(stderrHas), run.err.constData());
        if (exitCode == 0)
            QVERIFY(run.out.startsWith("usage: senrokan-check"));
    }
};

int main(int argc, char* argv[])
{
    QCoreApplication app(argc, argv);
    TestCheckerArguments arguments;
    TestCheckerEndToEnd endToEnd;
    return QTest::qExec(&arguments, argc, argv) | QTest::qExec(&endToEnd, argc, argv);
}

#include "tst_checker_e2e.moc"
