#include "RouteAddress.h"

namespace senrokan
{

QString webViewAddress(const QString& serverName, const QString& directoryName)
{
    return QStringLiteral("http://") + serverName + QLatin1Char('/') + directoryName;
}

} // namespace senrokan
