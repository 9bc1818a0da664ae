#include "DelayReport.h"

#include "route/RouteDefinition.h"

namespace senrokan
{

QString delayReportText(const RouteStates& states)
{
    QString text;
    for (int r = 1; r <= RouteCount; ++r) {
        if (states.at(r).Status == StatusDelayed)
            text += states.at(r).Title + QChar(0x3000) + QStringLiteral("\r\n");
    }
    return text;
}

TrayPicture trayPictureFor(const RouteStates& states)
{
    TrayPicture picture = TrayPicture::Normal;
    for (int r = 1; r <= RouteCount; ++r) {
        if (states.at(r).Status == StatusDelayed)
            return TrayPicture::Delay;
        if (states.at(r).Status == StatusConnectFailed)
            picture = TrayPicture::Error;
    }
    return picture;
}

} // namespace senrokan
