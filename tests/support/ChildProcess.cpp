#include "ChildProcess.h"

namespace senrokan::test
{

std::optional<QString> firstLine(QProcess& process, int limitMs)
{
    while (!process.canReadLine()) {
        if (!process.waitForReadyRead(limitMs))
            return std::nullopt;
    }
    return QString::fromUtf8(process.readLine().trimmed());
}

void stopChild(QProcess& process, int limitMs)
{
    if (process.state() == QProcess::NotRunning)
        return;
    process.terminate();
    if (!process.waitForFinished(limitMs))
        process.kill();
    process.waitForFinished();
}

} // namespace senrokan::test
