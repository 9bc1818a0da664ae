// SPDX-License-Identifier: GPL-3.0-or-later
// Copyright 2026 The Senrokan developers

#include "SmtpReceiver.h"

#include "ProcessRun.h"
#include "TestCertificates.h"

#include <QDir>
#include <QEventLoop>
#include <QFile>
#include <QJsonDocument>
#include <QTest>
#include <QTimer>

namespace senrokan::test
{

SmtpReceiver::SmtpReceiver(const QString& mode, const TestCertificates& certificates)
{
    endsWithTest(m_process);
    m_process.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    // Debian's interpreter, which has the packaged aiosmtpd, whatever python3 comes first.
    m_process.start(QStringLiteral("/usr/bin/python3"),
                    {QStringLiteral(SENROKAN_TEST_SUPPORT "/smtp_receiver.py"), mode, m_dir.path(),
                     QStringLiteral("--cert"), certificates.certFile(QStringLiteral("good")),
                     QStringLiteral("--key"), certificates.keyFile(QStringLiteral("good"))});
    m_port = quint16(firstLine(m_process, 15000).toUInt());
}

SmtpReceiver::~SmtpReceiver()
{
    stopHelper(m_process, 5000);
}

QList<QJsonObject> SmtpReceiver::messages() const
{
    QList<QJsonObject> found;
    for (int n = 1;; ++n) {
        QFile file(m_dir.filePath(QStringLiteral("%1.json").arg(n)));
        if (!file.open(QIODevice::ReadOnly))
            return found;
        found << QJsonDocument::fromJson(file.readAll()).object();
    }
}

QList<QByteArray> SmtpReceiver::commands() const
{
    QFile file(m_dir.filePath(QStringLiteral("commands.log")));
    if (!file.open(QIODevice::ReadOnly))
        return {};
    QList<QByteArray> lines = file.readAll().split('\n');
    lines.removeLast(); // after the last line's end
    return lines;
}

bool SmtpReceiver::waitForMessages(int count, int limitMs) const
{
    return QTest::qWaitFor([&] { return messages().size() >= count; }, limitMs);
}

} // namespace senrokan::test
