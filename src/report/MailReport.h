// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#pragma once

#include "ChangeReport.h"
#include "ReportTarget.h"

#include <QByteArray>
#include <QObject>
#include <QSslSocket>
#include <QStringList>

namespace senrokan
{

// Where and how a mail target is delivered.
struct MailRoute {
    QString host;
    quint16 port = 25;
    enum class Security { None, StartTls, Tls } security = Security::None;
    QString user;
    QString password;
    QString from;
    QStringList to;
};

// mailto:// is plain SMTP on port 25; mailtos:// is STARTTLS on 587, or with ?mode=ssl TLS from
// the start on 465. The sender is from=, else user@host; the receivers to= (comma-separated),
// else the sender.
MailRoute mailRoute(const ReportTarget& target);

// The report as a plain-text UTF-8 mail, the subject as an encoded word.
QByteArray mailMessage(const MailRoute& route, const ChangeReport& report, const QDateTime& date);

// One SMTP conversation that delivers one message, on the event loop. Certificates are checked
// as for every other connection; the account's password goes only over an encrypted connection
// or to a server reached without TLS on purpose (mailto://).
class SmtpSession : public QObject
{
    Q_OBJECT
public:
    SmtpSession(const MailRoute& route, const QByteArray& message, QObject* parent = nullptr);
    void start();
    void abort();

Q_SIGNALS:
    // retry: the failure may pass (no connection, a 4xx reply); false for a refusal (5xx) or a
    // certificate that is not trusted.
    void finished(bool delivered, bool retry, const QString& error);

private:
    enum class Step {
        Greeting,
        Hello,
        StartTls,
        HelloSecured,
        Auth,
        MailFrom,
        RcptTo,
        Data,
        Body,
        Quit
    };
    void readReplies();
    void handle(int code, const QByteArray& text);
    void sendHello();
    void sendAfterHello();
    void sendMailFrom();
    void command(Step next, const QByteArray& line);
    void fail(bool retry, const QString& error);

    MailRoute m_route;
    QByteArray m_message;
    QSslSocket m_socket;
    QByteArray m_pending;    // what came and is not yet a whole line
    qsizetype m_scanned = 0; // how much of m_pending was searched for a line's end
    QByteArray m_replyText;
    Step m_step = Step::Greeting;
    int m_rcptIndex = 0;
    bool m_done = false;
    bool m_tlsFailed = false;
};

} // namespace senrokan
