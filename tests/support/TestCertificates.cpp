// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "TestCertificates.h"

#include "ProcessRun.h"

#include <QFile>
#include <QStandardPaths>

namespace senrokan::test
{

namespace
{

// Elliptic-curve keys: made in milliseconds, where RSA keys would slow every test start.
const QString NewKey = QStringLiteral("-newkey ec -pkeyopt ec_paramgen_curve:prime256v1 -nodes");

// openssl's arguments written as one line; the files in it are named relative to the folder.
QStringList words(const QString& line)
{
    return line.split(QLatin1Char(' '));
}

} // namespace

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
    return run(words(QStringLiteral("req %1 -keyout %2.key -out %2.csr -subj /CN=%2")
                         .arg(NewKey, name))) &&
           run(words(QStringLiteral("x509 -req -in %1.csr -CA ca.pem -CAkey ca.key "
                                    "-CAcreateserial -days %2 -extfile %1.ext -out %1.pem")
                         .arg(name, days)));
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
    return run(words(
                   QStringLiteral("req -x509 %1 -keyout ca.key -out ca.pem -days 2").arg(NewKey)) +
               QStringList{QStringLiteral("-subj"), QStringLiteral("/CN=Senrokan Test CA")}) &&
           makeServer(QStringLiteral("good"), good, QStringLiteral("2")) &&
           makeServer(QStringLiteral("wronghost"), QStringLiteral("DNS:elsewhere.invalid"),
                      QStringLiteral("2")) &&
           makeServer(QStringLiteral("expired"), good, QStringLiteral("-1"));
}

} // namespace senrokan::test
