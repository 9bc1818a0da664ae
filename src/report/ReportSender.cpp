// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "ReportSender.h"

#include "HttpReport.h"
#include "MailReport.h"
#include "base/Version.h"
#include "platform/TlsTrust.h"
#include "route/MaskedUrl.h"

#include <QDateTime>
#include <QNetworkAccessManager>
#include <QNetworkReply>
#include <QPointer>
#include <QProcess>
#include <QStandardPaths>
#include <QTemporaryFile>
#include <QTimer>

namespace senrokan
{

// One target's report, tried until it is delivered, refused or out of tries. Deletes itself.
class Delivery : public QObject
{
public:
    Delivery(ReportSender& sender, const ReportTarget& target, const ChangeReport& report)
        : QObject(&sender), m_sender(sender), m_target(target), m_report(report)
    {
        m_limit.setSingleShot(true);
        connect(&m_limit, &QTimer::timeout, this, [this] {
            endTry(true, QStringLiteral("%1 秒以内に応答がありません")
                             .arg(m_sender.m_timings.tryMs / 1000.0));
        });
    }

    void attempt()
    {
        ++m_outcome.tries;
        m_limit.start(m_sender.m_timings.tryMs);
        switch (m_target.kind) {
        case TargetKind::Mail:
            tryMail();
            break;
        case TargetKind::Apprise:
            tryApprise();
            break;
        default:
            tryHttp();
            break;
        }
    }

private:
    void tryHttp()
    {
        const HttpReport request = httpReport(m_target, m_report);
        QNetworkRequest http(request.url);
        http.setSslConfiguration(tlsConfiguration());
        // A redirect would carry the account and the tokens in the headers to wherever it
        // points: it is a failure of its own.
        http.setAttribute(QNetworkRequest::RedirectPolicyAttribute,
                          QNetworkRequest::ManualRedirectPolicy);
        http.setHeader(QNetworkRequest::UserAgentHeader,
                       QStringLiteral("Senrokan/") + QLatin1String(packageVersion()));
        for (const auto& [name, value] : request.headers)
            http.setRawHeader(name, value);
        QNetworkReply* reply = m_sender.manager()->post(http, request.body);
        m_abort = [reply] { reply->abort(); };
        connect(reply, &QNetworkReply::sslErrors, this, [this] { m_tlsFailed = true; });
        connect(reply, &QNetworkReply::finished, this, [this, reply] {
            reply->deleteLater();
            if (m_finished)
                return;
            const int status = reply->attribute(QNetworkRequest::HttpStatusCodeAttribute).toInt();
            const QString statusText =
                QStringLiteral("HTTP %1 %2")
                    .arg(status)
                    .arg(reply->attribute(QNetworkRequest::HttpReasonPhraseAttribute).toString());
            if (status >= 200 && status < 300)
                endTry(false, {});
            else if (status >= 300 && status < 400)
                endTry(false,
                       statusText +
                           QStringLiteral(": 転送先 %1 には送りません")
                               .arg(maskedUrlText(reply->url().resolved(
                                   reply->attribute(QNetworkRequest::RedirectionTargetAttribute)
                                       .toUrl()))));
            else if (status != 0)
                endTry(status == 429 || status >= 500, statusText);
            else
                endTry(!m_tlsFailed, reply->errorString());
        });
    }

    void tryMail()
    {
        const MailRoute route = mailRoute(m_target);
        auto* session = new SmtpSession(
            route, mailMessage(route, m_report, QDateTime::currentDateTime()), this);
        m_abort = [session] { session->abort(); };
        connect(session, &SmtpSession::finished, this,
                [this, session](bool delivered, bool retry, const QString& error) {
                    session->deleteLater();
                    if (!m_finished)
                        endTry(retry && !delivered, delivered ? QString() : error);
                });
        session->start();
    }

    // The target's own URL goes to the program as it is (apprise reads the scheme), in a
    // configuration file only the user can read: any user may list the command lines.
    void tryApprise()
    {
        const QString program = appriseProgram();
        const QString runtime = QStandardPaths::writableLocation(QStandardPaths::RuntimeLocation);
        auto* process = new QProcess(this);
        // Made user-only, and removed with the process.
        auto* config =
            new QTemporaryFile(runtime + QStringLiteral("/senrokan-apprise-XXXXXX"), process);
        QString unusable;
        if (program.isEmpty())
            unusable = QStringLiteral("apprise がインストールされていません");
        else if (runtime.isEmpty() || !config->open() ||
                 config->write('=' + m_target.text.toUtf8() + '\n') < 0 || !config->flush())
            unusable = QStringLiteral("apprise に渡す設定ファイルを作れません");
        if (!unusable.isEmpty()) {
            process->deleteLater();
            QTimer::singleShot(0, this, [this, unusable] { endTry(false, unusable); });
            return;
        }
        process->setProcessChannelMode(QProcess::SeparateChannels);
        process->setStandardOutputFile(QProcess::nullDevice());
        m_abort = [process] { process->kill(); };
        connect(
            process, &QProcess::finished, this, [this, process](int code, QProcess::ExitStatus st) {
                process->deleteLater();
                if (m_finished)
                    return;
                if (st == QProcess::NormalExit && code == 0)
                    endTry(false, {});
                else
                    endTry(true,
                           QStringLiteral("apprise: ") +
                               m_target.hiddenIn(QString::fromUtf8(process->readAllStandardError())
                                                     .trimmed()
                                                     .section(u'\n', -1)));
            });
        connect(process, &QProcess::errorOccurred, this, [this](QProcess::ProcessError error) {
            if (error == QProcess::FailedToStart && !m_finished)
                endTry(false, QStringLiteral("apprise を起動できません"));
        });
        process->start(program,
                       {QStringLiteral("-t"), m_report.title, QStringLiteral("-b"),
                        m_report.message, QStringLiteral("-n"),
                        m_report.delayed ? QStringLiteral("warning") : QStringLiteral("success"),
                        QStringLiteral("--config"), config->fileName()});
        process->closeWriteChannel();
    }

    // A failed try that may pass is repeated after the next pause, if any is left.
    void endTry(bool mayRetry, const QString& error)
    {
        if (m_finished)
            return;
        m_finished = true;
        m_limit.stop();
        if (m_abort) {
            const auto abort = std::move(m_abort);
            m_abort = nullptr;
            abort();
        }
        m_outcome.error = error;
        m_outcome.delivered = error.isEmpty();
        const QList<int>& pauses = m_sender.m_timings.retryPauseMs;
        if (!m_outcome.delivered && mayRetry && m_outcome.tries <= pauses.size()) {
            QTimer::singleShot(pauses.at(m_outcome.tries - 1), this, [this] {
                m_finished = false;
                m_tlsFailed = false;
                attempt();
            });
            return;
        }
        m_sender.done(m_target, m_outcome);
        deleteLater();
    }

    ReportSender& m_sender;
    ReportTarget m_target;
    ChangeReport m_report;
    DeliveryOutcome m_outcome;
    QTimer m_limit;
    std::function<void()> m_abort;
    bool m_finished = false;
    bool m_tlsFailed = false;
};

ReportSender::ReportSender(QObject* parent) : QObject(parent) {}

ReportSender::~ReportSender() = default;

QNetworkAccessManager* ReportSender::manager()
{
    if (!m_manager)
        m_manager = new QNetworkAccessManager(this);
    return m_manager;
}

void ReportSender::send(const QList<ReportTarget>& targets, const ChangeReport& report)
{
    for (const ReportTarget& target : targets) {
        ++m_pending;
        auto* delivery = new Delivery(*this, target, report);
        // Started from the event loop, so that send() never waits on a connection or process.
        QTimer::singleShot(0, delivery, [delivery] { delivery->attempt(); });
    }
}

void ReportSender::done(const ReportTarget& target, const DeliveryOutcome& outcome)
{
    --m_pending;
    Q_EMIT delivered(target, outcome);
    if (m_pending == 0)
        Q_EMIT idle();
}

} // namespace senrokan
