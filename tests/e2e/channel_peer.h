// The loopback RDP server that the channel test peers share: TLS, no NLA, any credentials,
// one client after another, one channel server per connection.
#pragma once

#include <freerdp/peer.h>
#include <freerdp/server/cliprdr.h>

#include <functional>
#include <string>
#include <vector>

namespace peer {

struct ChannelServer {
    std::string cert, key;
    // Called on every connection once the client is initialised (may hook its calls).
    std::function<void(freerdp_peer*)> prepare = [](freerdp_peer*) {
    };
    // Starts the channel half a second after activation (the client opens its channels only
    // after its own post-connect); returns how to stop it, or nothing when it did not start.
    std::function<std::function<void()>(freerdp_peer*, HANDLE vcm)> start;
    bool retry = false; // a channel that did not start is tried again half a second later
};

// Listens on 127.0.0.1:port and serves until the listener fails; prints "listening" once
// it listens. Returns the process's exit code.
int Serve(const char* port, const ChannelServer& server);

// Clipboard servers: answers a data request with `data`; takes a client's list answer.
UINT SendClipboardData(CliprdrServerContext* c, const std::vector<BYTE>& data);
UINT IgnoreListAnswer(CliprdrServerContext* c, const CLIPRDR_FORMAT_LIST_RESPONSE* answer);

} // namespace peer
