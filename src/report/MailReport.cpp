// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "MailReport.h"

#include "platform/TlsTrust.h"

#include <QDateTime>
#include <QLocale>
#include <QUuid>

#include <algorithm>

namespace senrokan
{

namespace
{

// A reply line may have 512 octets (RFC 5321), with room for servers that write longer texts;
// a whole reply of many lines, such as EHLO's, at most MaxReply.
constexpr qsizetype MaxReplyLine = 1000;
constexpr qsizetype MaxReply = 64 * 1024;

// RFC 2047 encoded words of at most 75 characters, split between characters.
QByteArray encodedWords(const QString& text)
{
    QList<QByteArray> words;
    QByteArray chunk;
    for (qsizetype i = 0; i < text.size();) {
        const qsizetype width = text.at(i).isHighSurrogate() && i + 1 < text.size() ? 2 : 1;
        const QByteArray bytes = text.mid(i, width).toUtf8();
        if (chunk.size() + bytes.size() > 45) {
            words << "=?utf-8?b?" + chunk.toBase64() + "?=";
            chunk.clear();
        }
        chunk += bytes;
        i += width;
    }
    if (!chunk.isEmpty() || words.isEmpty())
        words << "=?utf-8?b?" + chunk.toBase64() + "?=";
    return words.join("\r\n ");
}

QByteArray base64Lines(const QByteArray& bytes)
{
    const QByteArray encoded = bytes.toBase64();
    QByteArray out;
    for (qsizetype i = 0; i < encoded.size(); i += 76)
        out += encoded.mid(i, 76) + "\r\n";
    return out;
}

} // namespace

MailRoute mailRoute(const ReportTarget& target)
{
    MailRoute route;
    route.host = target.url.host();
    route.user = target.url.userName();
    route.password = target.url.password();
    if (target.secure) {
        const bool implicit = target.option(QStringLiteral("mode"))
                                  .compare(QLatin1String("ssl"), Qt::CaseInsensitive) == 0;
        route.security = implicit ? MailRoute::Security::Tls : MailRoute::Security::StartTls;
        route.port = implicit ? 465 : 587;
    }
    route.port = quint16(target.url.port(route.port));
    route.from = target.option(QStringLiteral("from"));
    if (route.from.isEmpty())
        route.from = route.user.contains(u'@') ? route.user : route.user + u'@' + route.host;
    for (const QString& to : target.option(QStringLiteral("to")).split(u',', Qt::SkipEmptyParts))
        route.to << to.trimmed();
    if (route.to.isEmpty())
        route.to << route.from;
    return route;
}

QByteArray mailMessage(const MailRoute& route, const ChangeReport& report, const QDateTime& date)
{
    QByteArray text = report.message.toUtf8();
    text.replace("\r\n", "\n").replace('\n', "\r\n");
    const QByteArray domain = route.from.section(u'@', 1).toUtf8();
    return "From: " + route.from.toUtf8() + "\r\n" +
           "To: " + route.to.join(QStringLiteral(", ")).toUtf8() + "\r\n" +
           "Subject: " + encodedWords(report.title) + "\r\n" + "Date: " +
           QLocale::c().toString(date, QStringLiteral("ddd, dd MMM yyyy HH:mm:ss t")).toUtf8() +
           "\r\n" + "Message-ID: <" + QUuid::createUuid().toByteArray(QUuid::WithoutBraces) + '@' +
           (domain.isEmpty() ? QByteArray("senrokan") : domain) + ">\r\n" +
           "MIME-Version: 1.0\r\n"
           "Content-Type: text/plain; charset=\"utf-8\"\r\n"
           "Content-Transfer-Encoding: base64\r\n"
           "\r\n" +
           base64Lines(text);
}

SmtpSession::SmtpSession(const MailRoute& route, const QByteArray& message, QObject* parent)
    : QObject(parent), m_route(route), m_message(message)
{
    m_socket.setSslConfiguration(tlsConfiguration());
    m_socket.setPeerVerifyName(route.host);
    connect(&m_socket, &QSslSocket::readyRead, this, &SmtpSession::readReplies);
    connect(&m_socket, &QSslSocket::encrypted, this, [this] {
        if (m_route.security == MailRoute::Security::StartTls)
            sendHello();
    });
    connect(&m_socket, &QSslSocket::sslErrors, this, [this] { m_tlsFailed = true; });
    connect(&m_socket, &QSslSocket::errorOccurred, this,
            [this] { fail(!m_tlsFailed, m_socket.errorString()); });
}

void SmtpSession::start()
{
    if (m_route.security == MailRoute::Security::Tls)
        m_socket.connectToHostEncrypted(m_route.host, m_route.port);
    else
        m_socket.connectToHost(m_route.host, m_route.port);
}

void SmtpSession::abort()
{
    m_done = true;
    m_socket.abort();
}

void SmtpSession::readReplies()
{
    const auto lineTooLong = [this] {
        fail(false, QStringLiteral("SMTPの応答の行が長すぎます (%1 バイト超)").arg(MaxReplyLine));
    };
    m_pending += m_socket.readAll();
    qsizetype start = 0;
    qsizetype end;
    // Only what came since the last look is searched for a line's end (a CR may end the last).
    while (!m_done && (end = m_pending.indexOf("\r\n", std::max(start, m_scanned - 1))) >= 0) {
        if (end - start > MaxReplyLine) {
            lineTooLong();
            return;
        }
        const QByteArray line = m_pending.mid(start, end - start);
        start = end + 2;
        m_scanned = start;
        m_replyText += line.mid(4) + ' ';
        if (m_replyText.size() > MaxReply) {
            fail(false, QStringLiteral("SMTPの応答が長すぎます (%1 KiB 超)").arg(MaxReply / 1024));
            return;
        }
        // "250-" goes on, "250 " is the reply's last line.
        if (line.size() >= 4 && line.at(3) == '-')
            continue;
        bool ok = false;
        const int code = line.left(3).toInt(&ok);
        const QByteArray text = m_replyText.trimmed();
        m_replyText.clear();
        if (!ok) {
            fail(false, QStringLiteral("SMTPの応答が読めません"));
            return;
        }
        handle(code, text);
        if (m_socket.mode() == QSslSocket::SslClientMode && !m_socket.isEncrypted()) {
            // What came in plain text behind the reply to STARTTLS is no word of the server's
            // (RFC 3207): it could only have been put there on the way.
            m_pending.clear();
            m_scanned = 0;
            return;
        }
    }
    m_pending.remove(0, start);
    m_scanned = m_pending.size();
    if (!m_done && m_pending.size() > MaxReplyLine)
        lineTooLong();
}

void SmtpSession::handle(int code, const QByteArray& text)
{
    static constexpr int Expected[] = {220, 250, 220, 250, 235, 250, 250, 354, 250, 221};
    if (code != Expected[int(m_step)]) {
        fail(code >= 400 && code < 500,
             QStringLiteral("SMTP %1 %2").arg(code).arg(QString::fromUtf8(text)));
        return;
    }
    switch (m_step) {
    case Step::Greeting:
        sendHello();
        break;
    case Step::Hello:
        if (m_route.security == MailRoute::Security::StartTls)
            command(Step::StartTls, "STARTTLS");
        else
            sendAfterHello();
        break;
    case Step::StartTls:
        m_step = Step::HelloSecured;
        m_socket.startClientEncryption();
        break;
    case Step::HelloSecured:
        sendAfterHello();
        break;
    case Step::Auth:
        sendMailFrom();
        break;
    case Step::MailFrom:
    case Step::RcptTo:
        if (m_rcptIndex < m_route.to.size()) {
            command(Step::RcptTo, "RCPT TO:<" + m_route.to.at(m_rcptIndex++).toUtf8() + '>');
        } else {
            command(Step::Data, "DATA");
        }
        break;
    case Step::Data: {
        // Lines that start with a dot get another, so none ends the data early.
        QByteArray body = m_message;
        body.replace("\r\n.", "\r\n..");
        if (body.startsWith('.'))
            body.prepend('.');
        m_step = Step::Body;
        m_socket.write(body + ".\r\n");
        break;
    }
    case Step::Body:
        command(Step::Quit, "QUIT");
        break;
    case Step::Quit:
        m_done = true;
        m_socket.disconnectFromHost();
        Q_EMIT finished(true, false, {});
        break;
    }
}

void SmtpSession::sendHello()
{
    command(m_step == Step::Greeting ? Step::Hello : Step::HelloSecured, "EHLO senrokan");
}

void SmtpSession::sendAfterHello()
{
    if (!m_route.user.isEmpty()) {
        const QByteArray plain = '\0' + m_route.user.toUtf8() + '\0' + m_route.password.toUtf8();
        command(Step::Auth, "AUTH PLAIN " + plain.toBase64());
        return;
    }
    sendMailFrom();
}

void SmtpSession::sendMailFrom()
{
    command(Step::MailFrom, "MAIL FROM:<" + m_route.from.toUtf8() + '>');
}

void SmtpSession::command(Step next, const QByteArray& line)
{
    m_step = next;
    m_socket.write(line + "\r\n");
}

void SmtpSession::fail(bool retry, const QString& error)
{
    if (m_done)
        return;
    m_done = true;
    m_socket.abort();
    Q_EMIT finished(false, retry, error);
}

} // namespace senrokan
