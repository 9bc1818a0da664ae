#pragma once

#include <QString>

namespace senrokan
{

// Where a route's web view goes after its button check: the fields exactly as they stand, no
// trimming, no encoding, no port ("http:///" + directory when the server is empty).
QString webViewAddress(const QString& serverName, const QString& directoryName);

} // namespace senrokan
