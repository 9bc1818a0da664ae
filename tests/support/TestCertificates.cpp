#include "TestCertificates.h"

#include "ProcessRun.h"

#include <QFile>
#include <QStandardPaths>

namespace senrokan::test
{

namespace
{

// Elliptic-curve keys: made in milliseconds, where RSA keys would slow every test start.
const QStringList NewKey = {
    QStringLiteral("-newkey"), QStringLiteral("ec"), QStringLiteral("-pkeyopt"),
    QStringLiteral("ec_paramgen_curve:prime256v1"), QStringLiteral("-nodes")};

} // namespace

QString TestCertificates::caFile() const
{
    return m_dir + QStringLiteral("/ca.pem");
}

QString TestCertificates::certFile(const QString& name) const
{
    return m_dir + QLatin1Char('/') + name + QStringLiteral(".pem");
}

QString TestCertificates::keyFile(const QString& name) const
{
    return m_dir + QLatin1Char('/') + name + QStringLiteral(".key");
}

bool TestCertificates::run(const QStringList& args)
{
    const ProcessResult openssl =
        runProcess(m_openssl, args, {QProcessEnvironment::systemEnvironment(), m_dir, 30000});
    if (openssl.exitCode != 0) {
        m_error = QStringLiteral("openssl %1: %2")
                      .arg(args.join(QLatin1Char(' ')), QString::fromLocal8Bit(openssl.err));
        return false;
    }
    return true;
}

bool TestCertificates::makeServer(const QString& name, const QString& altNames, const QString& days)
{
    QFile ext(m_dir + QLatin1Char('/') + name + QStringLiteral(".ext"));
    if (!ext.open(QIODevice::WriteOnly))
        return false;
    ext.write("subjectAltName=" + altNames.toLatin1() + "\n");
    ext.close();
    return run(QStringList{QStringLiteral("req")} + NewKey +
               QStringList{QStringLiteral("-keyout"), keyFile(name), QStringLiteral("-out"),
                           name + QStringLiteral(".csr"), QStringLiteral("-subj"),
                           QStringLiteral("/CN=") + name}) &&
           run({QStringLiteral("x509"), QStringLiteral("-req"), QStringLiteral("-in"),
                name + QStringLiteral(".csr"), QStringLiteral("-CA"), caFile(),
                QStringLiteral("-CAkey"), QStringLiteral("ca.key"),
                QStringLiteral("-CAcreateserial"), QStringLiteral("-days"), days,
                QStringLiteral("-extfile"), ext.fileName(), QStringLiteral("-out"),
                certFile(name)});
}

bool TestCertificates::make()
{
    m_openssl = QStandardPaths::findExecutable(QStringLiteral("openssl"));
    if (m_openssl.isEmpty()) {
        m_error = QStringLiteral("openssl is not installed (scripts/deps installs it)");
        return false;
    }
    const QString good = QStringLiteral("IP:127.0.0.1,IP:127.0.5.1,DNS:localhost");
    // A negative day count ends the certificate before it begins: expired from the start.
    return run(QStringList{QStringLiteral("req"), QStringLiteral("-x509")} + NewKey +
               QStringList{QStringLiteral("-keyout"), QStringLiteral("ca.key"),
                           QStringLiteral("-out"), caFile(), QStringLiteral("-days"),
                           QStringLiteral("2"), QStringLiteral("-subj"),
                           QStringLiteral("/CN=Senrokan Test CA")}) &&
           makeServer(QStringLiteral("good"), good, QStringLiteral("2")) &&
           makeServer(QStringLiteral("wronghost"), QStringLiteral("DNS:elsewhere.invalid"),
                      QStringLiteral("2")) &&
           makeServer(QStringLiteral("expired"), good, QStringLiteral("-1"));
}

} // namespace senrokan::test
