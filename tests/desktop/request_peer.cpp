// A tiny RDP server on loopback that tells what each client asked for: the desktop size and
// the desktop and device scale factors of its connection request, as one line on standard
// output, "request WIDTHxHEIGHT scale DESKTOP/DEVICE", once the client is connected.
//
//   request_peer PORT CERT KEY
//
// Serves one client after another (TLS, no NLA, any credentials) and draws nothing.
#include "channel_peer.h"

#include <freerdp/settings.h>

#include <cstdio>
#include <functional>

namespace {

BOOL Tell(freerdp_peer* client) {
    const rdpSettings* s = client->settings;
    std::printf("request %ux%u scale %u/%u\n", freerdp_settings_get_uint32(s, FreeRDP_DesktopWidth),
                freerdp_settings_get_uint32(s, FreeRDP_DesktopHeight),
                freerdp_settings_get_uint32(s, FreeRDP_DesktopScaleFactor),
                freerdp_settings_get_uint32(s, FreeRDP_DeviceScaleFactor));
    std::fflush(stdout);
    return TRUE;
}

void Prepare(freerdp_peer* client) {
    client->PostConnect = Tell;
}

std::function<void()> Start(freerdp_peer*, HANDLE) {
    return {};
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fputs("usage: request_peer PORT CERT KEY\n", stderr);
        return 2;
    }
    peer::ChannelServer server{argv[2], argv[3], Prepare, Start, false};
    return peer::Serve(argv[1], server);
}
