#include "channel_peer.h"

#include <freerdp/channels/channels.h>
#include <freerdp/channels/wtsvc.h>
#include <freerdp/listener.h>
#include <freerdp/settings.h>
#include <winpr/sysinfo.h>

#include <cstdio>

namespace peer {
namespace {

const ChannelServer* gServer = nullptr;

BOOL Accept(freerdp_peer*) {
    return TRUE;
}

void Initialize(freerdp_peer* client) {
    rdpSettings* s = client->settings;
    freerdp_settings_set_string(s, FreeRDP_CertificateFile, gServer->cert.c_str());
    freerdp_settings_set_string(s, FreeRDP_PrivateKeyFile, gServer->key.c_str());
    freerdp_settings_set_bool(s, FreeRDP_RdpSecurity, FALSE);
    freerdp_settings_set_bool(s, FreeRDP_TlsSecurity, TRUE);
    freerdp_settings_set_bool(s, FreeRDP_NlaSecurity, FALSE);
    client->PostConnect = Accept; // without these two the peer never becomes active
    client->Activate = Accept;
    client->Initialize(client);
}

void Run(freerdp_peer* client) {
    Initialize(client);
    HANDLE vcm = WTSOpenServerA(reinterpret_cast<LPSTR>(client->context));
    gServer->prepare(client);
    std::function<void()> stop;
    bool tried = false;
    ULONGLONG since = 0;
    for (bool open = true; open;) {
        HANDLE events[MAXIMUM_WAIT_OBJECTS];
        const DWORD n = client->GetEventHandles(client, events, MAXIMUM_WAIT_OBJECTS - 1);
        events[n] = WTSVirtualChannelManagerGetEventHandle(vcm);
        const bool waiting = client->activated && !tried;
        open =
            n > 0 &&
            WaitForMultipleObjects(n + 1, events, FALSE, waiting ? 50 : INFINITE) != WAIT_FAILED &&
            client->CheckFileDescriptor(client) && WTSVirtualChannelManagerCheckFileDescriptor(vcm);
        since = since == 0 && client->activated ? GetTickCount64() : since;
        if (open && !tried && since != 0 && GetTickCount64() - since > 500) {
            stop = gServer->start(client, vcm);
            tried = stop || !gServer->retry;
            since = tried ? since : 0;
        }
    }
    if (stop) {
        stop();
    }
    WTSCloseServer(vcm);
    client->Disconnect(client);
    freerdp_peer_context_free(client);
    freerdp_peer_free(client);
}

BOOL PeerAccepted(freerdp_listener*, freerdp_peer* client) {
    if (!freerdp_peer_context_new(client)) {
        freerdp_peer_free(client);
        return FALSE;
    }
    Run(client);
    return TRUE;
}

} // namespace

int Serve(const char* port, const ChannelServer& server) {
    gServer = &server;
    WTSRegisterWtsApiFunctionTable(FreeRDP_InitWtsApi());
    freerdp_listener* listener = freerdp_listener_new();
    listener->PeerAccepted = PeerAccepted;
    if (!listener->Open(listener, "127.0.0.1", static_cast<UINT16>(std::stoi(port)))) {
        std::fputs("cannot listen\n", stderr);
        return 1;
    }
    std::puts("listening");
    std::fflush(stdout);
    for (;;) {
        HANDLE events[MAXIMUM_WAIT_OBJECTS];
        const DWORD n = listener->GetEventHandles(listener, events, MAXIMUM_WAIT_OBJECTS);
        if (n == 0 || WaitForMultipleObjects(n, events, FALSE, INFINITE) == WAIT_FAILED ||
            !listener->CheckFileDescriptor(listener)) {
            break;
        }
    }
    freerdp_listener_free(listener);
    return 0;
}

UINT SendClipboardData(CliprdrServerContext* c, const std::vector<BYTE>& data) {
    CLIPRDR_FORMAT_DATA_RESPONSE response{};
    response.msgType = CB_FORMAT_DATA_RESPONSE;
    response.msgFlags = CB_RESPONSE_OK;
    response.dataLen = static_cast<UINT32>(data.size());
    response.requestedFormatData = data.data();
    return c->ServerFormatDataResponse(c, &response);
}

UINT IgnoreListAnswer(CliprdrServerContext*, const CLIPRDR_FORMAT_LIST_RESPONSE*) {
    return CHANNEL_RC_OK;
}

} // namespace peer
