#pragma once

#include <QString>

namespace rdp::freerdp {

// Shuts down (without closing) every TCP socket of this process whose peer is `port` (and,
// for a numeric `host`, that address). The library blocks in plain reads while it
// connects and does not look at its cancel flag there; a shut-down socket ends those
// reads at once, and since nothing is closed no descriptor can be reused under it.
// Returns the number of sockets shut down.
int ShutdownSocketsTo(const QString& host, int port);

} // namespace rdp::freerdp
