// A tiny RDP server on loopback that speaks only the clipboard channel, for the
// end-to-end clipboard test (FreeRDP's shadow server has no clipboard channel).
//
//   clip_peer PORT CERT KEY REMOTE_TEXT OUT_DIR
//
// Serves one client after another (TLS, no NLA, any credentials). For each client:
// when the client announces text, asks for it and writes the raw bytes to
// OUT_DIR/received.N; after the first answer it announces its own text (REMOTE_TEXT with
// LF turned into CR LF, as Windows holds it) and answers the client's request for it.
// Prints "listening", "clipboard up" or "no clipboard" on stdout.
#include <freerdp/channels/channels.h>
#include <freerdp/listener.h>
#include <freerdp/peer.h>
#include <freerdp/server/cliprdr.h>
#include <winpr/sysinfo.h>

#include <cstdio>
#include <fstream>
#include <string>
#include <vector>

namespace {

std::string gCert, gKey, gOutDir;
std::u16string gRemoteText;
int gReceived = 0;

struct PeerState {
    bool announced = false;
};

void Send(CliprdrServerContext* c, std::uint32_t format) {
    CLIPRDR_FORMAT_DATA_REQUEST request{};
    request.msgType = CB_FORMAT_DATA_REQUEST;
    request.dataLen = 4; // the server side writes the length it is given
    request.requestedFormatId = format;
    c->ServerFormatDataRequest(c, &request);
}

UINT OnClientFormatList(CliprdrServerContext* c, const CLIPRDR_FORMAT_LIST* list) {
    CLIPRDR_FORMAT_LIST_RESPONSE ok{};
    ok.msgType = CB_FORMAT_LIST_RESPONSE;
    ok.msgFlags = CB_RESPONSE_OK;
    c->ServerFormatListResponse(c, &ok);
    for (UINT32 i = 0; i < list->numFormats; ++i) {
        if (list->formats[i].formatId == CF_UNICODETEXT) {
            Send(c, CF_UNICODETEXT);
        }
    }
    return CHANNEL_RC_OK;
}

UINT OnClientFormatDataResponse(CliprdrServerContext* c, const CLIPRDR_FORMAT_DATA_RESPONSE* r) {
    const std::string name = gOutDir + "/received." + std::to_string(++gReceived);
    std::ofstream(name + ".part", std::ios::binary)
        .write(reinterpret_cast<const char*>(r->requestedFormatData), r->dataLen);
    std::rename((name + ".part").c_str(), name.c_str());
    auto* state = static_cast<PeerState*>(c->custom);
    if (!state->announced) {
        state->announced = true;
        CLIPRDR_FORMAT unicode{};
        unicode.formatId = CF_UNICODETEXT;
        CLIPRDR_FORMAT_LIST list{};
        list.msgType = CB_FORMAT_LIST;
        list.numFormats = 1;
        list.formats = &unicode;
        c->ServerFormatList(c, &list);
    }
    return CHANNEL_RC_OK;
}

UINT OnClientFormatDataRequest(CliprdrServerContext* c, const CLIPRDR_FORMAT_DATA_REQUEST*) {
    std::u16string text;
    for (const char16_t ch : gRemoteText) {
        if (ch == u'\n') {
            text += u'\r';
        }
        text += ch;
    }
    std::vector<BYTE> bytes;
    for (const char16_t ch : text + u'\0') {
        bytes.push_back(static_cast<BYTE>(ch & 0xFF));
        bytes.push_back(static_cast<BYTE>(ch >> 8));
    }
    CLIPRDR_FORMAT_DATA_RESPONSE response{};
    response.msgType = CB_FORMAT_DATA_RESPONSE;
    response.msgFlags = CB_RESPONSE_OK;
    response.dataLen = static_cast<UINT32>(bytes.size());
    response.requestedFormatData = bytes.data();
    c->ServerFormatDataResponse(c, &response);
    return CHANNEL_RC_OK;
}

UINT Ignore(CliprdrServerContext*, const CLIPRDR_FORMAT_LIST_RESPONSE*) {
    return CHANNEL_RC_OK;
}

CliprdrServerContext* StartClipboard(HANDLE vcm, PeerState* state) {
    CliprdrServerContext* c = cliprdr_server_context_new(vcm);
    c->custom = state;
    c->useLongFormatNames = TRUE;
    c->ClientFormatList = OnClientFormatList;
    c->ClientFormatListResponse = Ignore;
    c->ClientFormatDataRequest = OnClientFormatDataRequest;
    c->ClientFormatDataResponse = OnClientFormatDataResponse;
    if (c->Start(c) != CHANNEL_RC_OK) {
        cliprdr_server_context_free(c);
        std::puts("no clipboard");
        std::fflush(stdout);
        return nullptr;
    }
    std::puts("clipboard up");
    std::fflush(stdout);
    return c;
}

BOOL Accept(freerdp_peer*) {
    return TRUE;
}

void Serve(freerdp_peer* client) {
    rdpSettings* s = client->settings;
    freerdp_settings_set_string(s, FreeRDP_CertificateFile, gCert.c_str());
    freerdp_settings_set_string(s, FreeRDP_PrivateKeyFile, gKey.c_str());
    freerdp_settings_set_bool(s, FreeRDP_RdpSecurity, FALSE);
    freerdp_settings_set_bool(s, FreeRDP_TlsSecurity, TRUE);
    freerdp_settings_set_bool(s, FreeRDP_NlaSecurity, FALSE);
    client->PostConnect = Accept; // without these two the peer never becomes active
    client->Activate = Accept;
    client->Initialize(client);
    HANDLE vcm = WTSOpenServerA(reinterpret_cast<LPSTR>(client->context));
    PeerState state;
    CliprdrServerContext* clipboard = nullptr;
    bool tried = false;
    ULONGLONG activeSince = 0;
    while (true) {
        HANDLE handles[MAXIMUM_WAIT_OBJECTS];
        DWORD count = client->GetEventHandles(client, handles, MAXIMUM_WAIT_OBJECTS - 1);
        if (count == 0) {
            break;
        }
        handles[count++] = WTSVirtualChannelManagerGetEventHandle(vcm);
        WaitForMultipleObjects(count, handles, FALSE, client->activated && !tried ? 50 : INFINITE);
        if (!client->CheckFileDescriptor(client) ||
            !WTSVirtualChannelManagerCheckFileDescriptor(vcm)) {
            break;
        }
        // The client opens its channels only after its own post-connect, a moment after
        // activation (a real server's clipboard process starts later still).
        if (client->activated && activeSince == 0) {
            activeSince = GetTickCount64();
        }
        if (activeSince != 0 && !tried && GetTickCount64() - activeSince > 500) {
            tried = true;
            clipboard = StartClipboard(vcm, &state);
        }
    }
    if (clipboard) {
        clipboard->Stop(clipboard);
        cliprdr_server_context_free(clipboard);
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
    Serve(client);
    return TRUE;
}

std::u16string Utf16(const std::string& utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        const int extra = b < 0x80 ? 0 : b < 0xE0 ? 1 : b < 0xF0 ? 2 : 3;
        char32_t cp = extra == 0 ? b : b & (0x3F >> extra);
        for (int k = 1; k <= extra && i + k < utf8.size(); ++k) {
            cp = (cp << 6) | (static_cast<unsigned char>(utf8[i + k]) & 0x3F);
        }
        i += static_cast<std::size_t>(extra) + 1;
        if (cp >= 0x10000) {
            out += static_cast<char16_t>(0xD800 + ((cp - 0x10000) >> 10));
            out += static_cast<char16_t>(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += static_cast<char16_t>(cp);
        }
    }
    return out;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 6) {
        std::fputs("usage: clip_peer PORT CERT KEY REMOTE_TEXT OUT_DIR\n", stderr);
        return 2;
    }
    gCert = argv[2];
    gKey = argv[3];
    gRemoteText = Utf16(argv[4]);
    gOutDir = argv[5];
    WTSRegisterWtsApiFunctionTable(FreeRDP_InitWtsApi());
    freerdp_listener* listener = freerdp_listener_new();
    listener->PeerAccepted = PeerAccepted;
    if (!listener->Open(listener, "127.0.0.1", static_cast<UINT16>(std::stoi(argv[1])))) {
        std::fputs("cannot listen\n", stderr);
        return 1;
    }
    std::puts("listening");
    std::fflush(stdout);
    while (true) {
        HANDLE handles[MAXIMUM_WAIT_OBJECTS];
        const DWORD count = listener->GetEventHandles(listener, handles, MAXIMUM_WAIT_OBJECTS);
        if (count == 0 || WaitForMultipleObjects(count, handles, FALSE, INFINITE) == WAIT_FAILED ||
            !listener->CheckFileDescriptor(listener)) {
            break;
        }
    }
    freerdp_listener_free(listener);
    return 0;
}
