// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include <QJsonObject>
#include <QList>
#include <QProcess>
#include <QTemporaryDir>

namespace senrokan::test
{

class TestCertificates;

// A real SMTP server on loopback (Debian's python3-aiosmtpd, run by smtp_receiver.py): plain,
// STARTTLS ("starttls", which refuses mail before it) or TLS from the start ("ssl"), with the
// "good" test certificate. Logs in the account u / p only. Faulty ones: "starttls-inject" puts
// a plain-text reply behind its answer to STARTTLS; "flood-line" and "flood-reply" answer EHLO
// with a line, or continuation lines, that never end.
class SmtpReceiver
{
public:
    SmtpReceiver(const QString& mode, const TestCertificates& certificates);
    ~SmtpReceiver();

    quint16 port() const { return m_port; } // 0 when it did not start
    // Each message received: from, to, login, tls, data (the message as sent).
    QList<QJsonObject> messages() const;
    // Every command line received, in order.
    QList<QByteArray> commands() const;
    // Waits on the event loop until count messages have come, at most limitMs.
    bool waitForMessages(int count, int limitMs) const;

private:
    QTemporaryDir m_dir;
    QProcess m_process;
    quint16 m_port = 0;
};

} // namespace senrokan::test
