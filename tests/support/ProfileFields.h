#pragma once

#include "profiles/RDP_ConnectParaItems.h"

#include <QStringList>

namespace rdp::test {

// A profile's stored fields as one comparable text: name, user, password, IsSavePassword,
// the size, colour and sound codes, then the six flags (print, ports, drives, smart cards,
// bitmap cache, reconnection).
inline QString Fields(const RDP_ConnectParaItems& p) {
    const auto n = [](auto value) {
        return QString::number(value);
    };
    return QStringList{p.ConnectName(),
                       p.UserName(),
                       p.Password(),
                       n(p.IsSavePassword()),
                       n(p.DesktopSize()),
                       n(p.ColorDepth()),
                       n(p.AudioMode()),
                       n(p.RedirectPrint()) + n(p.RedirectPorts()) + n(p.RedirectDrives()) +
                           n(p.SmartCards()) + n(p.BitmapPeristence()) + n(p.CanAutoReconnect())}
        .join(QLatin1Char('|'));
}

} // namespace rdp::test
