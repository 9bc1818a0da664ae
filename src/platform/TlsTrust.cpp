// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "TlsTrust.h"

#include <QSslCertificate>

namespace senrokan
{

// Qt does not read SSL_CERT_FILE, so a private or test certificate authority could otherwise be
// trusted only by installing it system-wide.
QSslConfiguration tlsConfiguration()
{
    QSslConfiguration tls = QSslConfiguration::defaultConfiguration();
    const QString extraFile = qEnvironmentVariable("SSL_CERT_FILE");
    if (extraFile.isEmpty())
        return tls; // keeps Qt's loading of system certificates on demand
    const QList<QSslCertificate> extra = QSslCertificate::fromPath(extraFile, QSsl::Pem);
    if (!extra.isEmpty())
        tls.setCaCertificates(QSslConfiguration::systemCaCertificates() + extra);
    return tls;
}

} // namespace senrokan
