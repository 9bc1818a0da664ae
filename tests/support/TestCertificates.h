// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QString>

namespace senrokan::test
{

// A certificate authority of the test's own and server certificates signed by it, made with the
// openssl tool in a directory: "good" for 127.0.0.1, 127.0.5.1 and localhost, "wronghost" for
// another name only, "expired" for the good names but past its end date.
class TestCertificates
{
public:
    explicit TestCertificates(const QString& dir) : m_dir(dir) {}

    bool make(); // false with error() set when openssl is missing or fails
    QString error() const { return m_error; }

    QString caFile() const { return m_dir + "/ca.pem"; }
    QString certFile(const QString& name) const { return m_dir + '/' + name + ".pem"; }
    QString keyFile(const QString& name) const { return m_dir + '/' + name + ".key"; }

private:
    bool run(const QStringList& args);
    bool makeServer(const QString& name, const QString& altNames, const QString& days);

    QString m_dir;
    QString m_openssl;
    QString m_error;
};

} // namespace senrokan::test
