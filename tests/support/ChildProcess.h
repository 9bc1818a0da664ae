#pragma once

#include <QProcess>
#include <QString>

#include <optional>

namespace senrokan::test
{

// The first line a started helper prints (a display, a bus address), once it is there; none
// when it ends or stays silent within limitMs.
std::optional<QString> firstLine(QProcess& process, int limitMs);

// Asks a helper to end, and makes it when it does not within limitMs.
void stopChild(QProcess& process, int limitMs);

} // namespace senrokan::test
