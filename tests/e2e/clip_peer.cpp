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
#include "channel_peer.h"

#include <freerdp/channels/channels.h>
#include <freerdp/peer.h>
#include <freerdp/server/cliprdr.h>

#include <cstdio>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

namespace {

std::string gOutDir;
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
    peer::SendClipboardData(c, bytes);
    return CHANNEL_RC_OK;
}

CliprdrServerContext* StartClipboard(HANDLE vcm, PeerState* state) {
    CliprdrServerContext* c = cliprdr_server_context_new(vcm);
    c->custom = state;
    c->useLongFormatNames = TRUE;
    c->ClientFormatList = OnClientFormatList;
    c->ClientFormatListResponse = peer::IgnoreListAnswer;
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

std::function<void()> Start(freerdp_peer*, HANDLE vcm) {
    auto* state = new PeerState;
    CliprdrServerContext* clipboard = StartClipboard(vcm, state);
    if (!clipboard) {
        delete state;
        return {};
    }
    return [clipboard, state] {
        clipboard->Stop(clipboard);
        cliprdr_server_context_free(clipboard);
        delete state;
    };
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
    gRemoteText = Utf16(argv[4]);
    gOutDir = argv[5];
    peer::ChannelServer server{argv[2], argv[3], [](freerdp_peer*) {}, Start, false};
    return peer::Serve(argv[1], server);
}
