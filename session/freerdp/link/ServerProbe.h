#pragma once

#include <QString>

namespace rdp::freerdp {

// Whether `host` still accepts TCP connections on `port` within `timeoutMs` (the
// connection is closed at once). Tells a server that refused a logon and closed the link
// from a server or network that went away.
bool ServerAccepts(const QString& host, int port, int timeoutMs);

} // namespace rdp::freerdp
