// A route's browser for real: the browser plugin of the built program on an X server of the
// test's own (Xvfb), loading pages in each Japanese coding from nginx on a loopback address at
// port 80; the page titles are read back through the plugin. The browser's libraries are mapped
// by the first page, not before.
#include "platform/WebViewFactory.h"
#include "window/RouteWebView.h"
#include "window/WebViewLoader.h"

#include <QApplication>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QRegularExpression>
#include <QStringEncoder>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>

#include <csignal>
#include <fcntl.h>
#include <string>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

using namespace senrokan;

namespace
{

const QString Host = QStringLiteral("127.0.5.4");
constexpr int LoadLimitMs = 60000; // a guard against hanging only

bool webEngineMapped()
{
    QFile maps(QStringLiteral("/proc/self/maps"));
    if (!maps.open(QIODevice::ReadOnly))
        qFatal("cannot read /proc/self/maps");
    return maps.readAll().contains("libQt6WebEngine");
}

QByteArray page(const QString& title, const char* coding)
{
    QStringEncoder encode(coding);
    return encode(QStringLiteral("<html><head><meta charset=\"%1\"><title>%2</title></head>"
                                 "<body><p>%2</p></body></html>")
                      .arg(QString::fromLatin1(coding), title));
}

// Xvfb must be up before the application connects to it, so it is started without Qt; it ends
// with the test even when the test crashes.
pid_t startXvfb()
{
    int fds[2];
    if (pipe(fds) != 0)
        qFatal("pipe failed");
    const pid_t pid = fork();
    if (pid == 0) {
        prctl(PR_SET_PDEATHSIG, SIGTERM);
        const int null = open("/dev/null", O_WRONLY);
        dup2(null, STDOUT_FILENO);
        dup2(null, STDERR_FILENO);
        const std::string fd = std::to_string(fds[1]);
        execl(XVFB_EXE, XVFB_EXE, "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24",
              "-nolisten", "tcp", nullptr);
        _exit(127);
    }
    close(fds[1]);
    std::string display = ":";
    char c = 0;
    while (read(fds[0], &c, 1) == 1 && c != '\n')
        display += c;
    close(fds[0]);
    if (display.size() < 2)
        qFatal("Xvfb named no display");
    qputenv("DISPLAY", display.c_str());
    return pid;
}

} // namespace

class TestWebViewE2e : public QObject
{
    Q_OBJECT
private Q_SLOTS:
    void initTestCase();
    void cleanupTestCase();
    void loadsPage_data();
    void loadsPage();

private:
    QTemporaryDir m_root;
    QProcess m_nginx;
    WebViewLoader m_loader{
        WebViewLoader::programPluginFile(QFileInfo(QStringLiteral(SENROKAN_EXE)).absolutePath())};
};

void TestWebViewE2e::initTestCase()
{
#ifndef SENROKAN_WITH_WEBENGINE
    QSKIP("built without Qt WebEngine (SENROKAN_WITH_WEBENGINE is OFF): no browser to test");
#endif
    if (geteuid() != 0)
        QSKIP("nginx needs root for port 80");
    QVERIFY(m_root.isValid());
    const QMap<QString, QByteArray> pages = {
        {"utf8.html", page(QStringLiteral("山手線 平常運転"), "UTF-8")},
        {"sjis.html", page(QStringLiteral("中央線 ﾀﾞｲﾔ乱れ"), "Shift_JIS")},
        {"eucjp.html", page(QStringLiteral("京浜東北線 運転見合わせ"), "EUC-JP")},
    };
    QVERIFY(QDir(m_root.path()).mkpath("www") && QDir(m_root.path()).mkpath("tmp"));
    for (auto it = pages.begin(); it != pages.end(); ++it) {
        QFile file(m_root.filePath("www/" + it.key()));
        QVERIFY(file.open(QIODevice::WriteOnly));
        file.write(it.value());
    }
    const QString root = m_root.path();
    QFile conf(m_root.filePath("nginx.conf"));
    QVERIFY(conf.open(QIODevice::WriteOnly));
    conf.write(QStringLiteral("daemon off; master_process off; pid %1/nginx.pid;\n"
                              "error_log %1/error.log;\nevents { worker_connections 64; }\n"
                              "http { access_log off; default_type text/html;\n"
                              "  client_body_temp_path %1/tmp; proxy_temp_path %1/tmp;\n"
                              "  fastcgi_temp_path %1/tmp; uwsgi_temp_path %1/tmp;\n"
                              "  scgi_temp_path %1/tmp;\n"
                              "  server { listen %2:80; root %1/www; } }\n")
                   .arg(root, Host)
                   .toUtf8());
    conf.close();
    m_nginx.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    m_nginx.setChildProcessModifier([] { prctl(PR_SET_PDEATHSIG, SIGTERM); });
    m_nginx.start(QStringLiteral(NGINX_EXE),
                  {"-p", root, "-c", conf.fileName(), "-e", m_root.filePath("error.log")});
    QVERIFY2(m_nginx.waitForStarted(), qPrintable(m_nginx.errorString()));
    QTRY_VERIFY2_WITH_TIMEOUT(
        [] {
            QTcpSocket socket;
            socket.connectToHost(Host, 80);
            return socket.waitForConnected(200);
        }(),
        "nginx does not answer on 127.0.5.4:80 (is port 80 free?)", 10000);

    // Nothing so far has needed the browser.
    QVERIFY(!webEngineMapped());
}

void TestWebViewE2e::cleanupTestCase()
{
    m_nginx.terminate();
    m_nginx.waitForFinished();
}

void TestWebViewE2e::loadsPage_data()
{
    QTest::addColumn<QString>("path");
    QTest::addColumn<QString>("title");
    QTest::newRow("UTF-8") << "utf8.html"
                           << "山手線 平常運転";
    QTest::newRow("Shift_JIS") << "sjis.html"
                               << "中央線 ﾀﾞｲﾔ乱れ";
    QTest::newRow("EUC-JP") << "eucjp.html"
                            << "京浜東北線 運転見合わせ";
}

void TestWebViewE2e::loadsPage()
{
    QFETCH(QString, path);
    QFETCH(QString, title);
    RouteWebView route(1, m_loader);
    route.resize(640, 480);
    route.show();
    QVERIFY(QTest::qWaitForWindowExposed(&route));
    QCOMPARE(route.view(), nullptr);

    // The program never sets Qt::AA_ShareOpenGLContexts at start; the loader must make up for it
    // before the browser's library initialises.
    QTest::failOnWarning(QRegularExpression(QStringLiteral("initialized from a plugin")));
    route.navigate(QStringLiteral("http://%1/%2").arg(Host, path), QStringLiteral("as text"));
    platform::WebViewFactory* browser = m_loader.factory();
    QVERIFY2(browser, "the browser plugin did not load; see the line on stderr");
    QVERIFY(webEngineMapped());
    QVERIFY(route.view());
    QTRY_COMPARE_WITH_TIMEOUT(browser->title(route.view()), title, LoadLimitMs);
}

int main(int argc, char* argv[])
{
    const pid_t xvfb = startXvfb();
    qputenv("QT_QPA_PLATFORM", "xcb");
    int result = 0;
    {
        QApplication app(argc, argv);
        TestWebViewE2e test;
        result = QTest::qExec(&test, argc, argv);
    }
    kill(xvfb, SIGTERM);
    waitpid(xvfb, nullptr, 0);
    return result;
}

#include "tst_webview_e2e.moc"
