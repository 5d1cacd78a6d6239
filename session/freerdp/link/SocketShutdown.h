#pragma once

#include <QString>

#include <optional>

namespace rdp::freerdp {

// Shuts down (without closing) every TCP socket of this process whose peer is `port` (and,
// for a numeric `host`, that address). The library blocks in plain reads while it
// connects and does not look at its cancel flag there; a shut-down socket ends those
// reads at once, and since nothing is closed no descriptor can be reused under it.
// Returns the number of sockets shut down.
int ShutdownSocketsTo(const QString& host, int port);

// How soon a link that went silent is given up: keep-alive probes after `idleSeconds`
// without traffic, every `intervalSeconds`, and the link dropped once sent data or probes
// stayed unanswered for `unacknowledgedMs`.
struct LinkTimers {
    int idleSeconds = 1;
    int intervalSeconds = 1;
    int probes = 3;
    int unacknowledgedMs = 3500;
};

// Sets the timers on every TCP socket of this process to `port` (and a numeric `host`);
// returns how many took them.
int WatchLinksTo(const QString& host, int port, const LinkTimers& timers);
// The timers of a socket with keep-alive on to that peer, if there is one.
std::optional<LinkTimers> LinkTimersTo(const QString& host, int port);

} // namespace rdp::freerdp
