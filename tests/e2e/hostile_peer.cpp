// A loopback RDP server that misbehaves on purpose, for the end-to-end cases of a faulty or
// hostile server (TLS, no NLA, any credentials, one client after another).
//
//   hostile_peer PORT CERT KEY connect WIDTH HEIGHT   the desktop size given at connection
//   hostile_peer PORT CERT KEY resize WIDTH HEIGHT    a desktop resize half a second after
//   hostile_peer PORT CERT KEY pointers SECONDS [RATE] 96×96 32-bit pointers over 20 cache
//                                                     slots, each followed by a position, as
//                                                     fast as the client takes them or RATE
//                                                     a second
//   hostile_peer PORT CERT KEY clipboard MEGABYTES    an offer of Unicode text with an empty
//                                                     and a 70,000-character format name;
//                                                     a request gets MEGABYTES of text
//
// Prints "listening", then what it does: "resized", "flood begins", "flood done N", "offered",
// "asked".
#include "channel_peer.h"

#include <freerdp/channels/channels.h>
#include <freerdp/peer.h>
#include <freerdp/pointer.h>
#include <freerdp/server/cliprdr.h>
#include <freerdp/settings.h>
#include <freerdp/update.h>
#include <winpr/sysinfo.h>

#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

namespace {

std::string gMode;
UINT32 gWidth = 0;
UINT32 gHeight = 0;
int gSeconds = 0;
long gRate = 0; // pointers a second, 0: as fast as they go
std::size_t gClipboardBytes = 0;

void Say(const std::string& line) {
    std::puts(line.c_str());
    std::fflush(stdout);
}

// The size goes into the capabilities the server sends right after this.
BOOL SizeAtConnection(freerdp_peer* client) {
    freerdp_settings_set_uint32(client->settings, FreeRDP_DesktopWidth, gWidth);
    freerdp_settings_set_uint32(client->settings, FreeRDP_DesktopHeight, gHeight);
    return TRUE;
}

void Prepare(freerdp_peer* client) {
    if (gMode == "connect") {
        client->Capabilities = SizeAtConnection;
    }
}

void Resize(freerdp_peer* client) {
    freerdp_settings_set_uint32(client->settings, FreeRDP_DesktopWidth, gWidth);
    freerdp_settings_set_uint32(client->settings, FreeRDP_DesktopHeight, gHeight);
    client->update->DesktopResize(client->context);
    Say("resized");
}

// Pointers as fast as the client takes them, for gSeconds.
void FloodPointers(freerdp_peer* client) {
    constexpr UINT32 side = 96;
    std::vector<BYTE> xorMask(side * side * 4);
    std::vector<BYTE> andMask(side * side / 8);
    POINTER_NEW_UPDATE pointer{};
    pointer.xorBpp = 32;
    POINTER_COLOR_UPDATE& shape = pointer.colorPtrAttr;
    shape.width = shape.height = side;
    shape.lengthXorMask = static_cast<UINT32>(xorMask.size());
    shape.lengthAndMask = static_cast<UINT32>(andMask.size());
    shape.xorMaskData = xorMask.data();
    shape.andMaskData = andMask.data();
    rdpPointerUpdate* send = client->update->pointer;
    const ULONGLONG end = GetTickCount64() + static_cast<ULONGLONG>(gSeconds) * 1000;
    long sent = 0;
    // FreeRDP 2.11's bulk compressor and decompressor fell out of step after some 30,000
    // compressed pointers ("Decompression failure"): the flood goes uncompressed.
    freerdp_settings_set_bool(client->settings, FreeRDP_CompressionEnabled, FALSE);
    Say("flood begins");
    const ULONGLONG start = GetTickCount64();
    for (bool up = true; up && GetTickCount64() < end; ++sent) {
        while (gRate > 0 && static_cast<long>((GetTickCount64() - start) * gRate / 1000) < sent) {
            Sleep(1);
        }
        shape.cacheIndex = static_cast<UINT32>(sent % 20);
        std::memset(xorMask.data(), static_cast<int>(sent & 0xFF), xorMask.size());
        POINTER_POSITION_UPDATE at{static_cast<UINT32>(sent % 500),
                                   static_cast<UINT32>(sent % 300)};
        up = send->PointerNew(client->context, &pointer) &&
             send->PointerPosition(client->context, &at);
    }
    Say("flood done " + std::to_string(sent));
}

UINT OfferText(CliprdrServerContext* c, const CLIPRDR_FORMAT_LIST* list) {
    CLIPRDR_FORMAT_LIST_RESPONSE ok{};
    ok.msgType = CB_FORMAT_LIST_RESPONSE;
    ok.msgFlags = CB_RESPONSE_OK;
    c->ServerFormatListResponse(c, &ok);
    (void)list;
    std::string empty;
    std::string longName(70000, 'n');
    CLIPRDR_FORMAT formats[3]{};
    formats[0].formatId = CF_UNICODETEXT;
    formats[1].formatId = 0xC0A1;
    formats[1].formatName = empty.data();
    formats[2].formatId = 0xC0A2;
    formats[2].formatName = longName.data();
    CLIPRDR_FORMAT_LIST offer{};
    offer.msgType = CB_FORMAT_LIST;
    offer.numFormats = 3;
    offer.formats = formats;
    c->ServerFormatList(c, &offer);
    Say("offered");
    return CHANNEL_RC_OK;
}

UINT SendText(CliprdrServerContext* c, const CLIPRDR_FORMAT_DATA_REQUEST*) {
    Say("asked");
    std::vector<BYTE> text(gClipboardBytes, 'A');
    for (std::size_t i = 1; i < text.size(); i += 2) {
        text[i] = 0;
    }
    peer::SendClipboardData(c, text);
    return CHANNEL_RC_OK;
}

std::function<void()> StartClipboard(HANDLE vcm) {
    CliprdrServerContext* c = cliprdr_server_context_new(vcm);
    c->useLongFormatNames = TRUE;
    c->ClientFormatList = OfferText;
    c->ClientFormatListResponse = peer::IgnoreListAnswer;
    c->ClientFormatDataRequest = SendText;
    if (c->Start(c) != CHANNEL_RC_OK) {
        cliprdr_server_context_free(c);
        return {};
    }
    return [c] {
        c->Stop(c);
        cliprdr_server_context_free(c);
    };
}

std::function<void()> Start(freerdp_peer* client, HANDLE vcm) {
    if (gMode == "clipboard") {
        return StartClipboard(vcm);
    }
    if (gMode == "resize") {
        Resize(client);
    } else if (gMode == "pointers") {
        FloodPointers(client);
    }
    return [] {
    };
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 6) {
        std::fputs("usage: hostile_peer PORT CERT KEY MODE ARGUMENTS...\n", stderr);
        return 2;
    }
    gMode = argv[4];
    gWidth = static_cast<UINT32>(std::stoul(argv[5]));
    gHeight = argc > 6 ? static_cast<UINT32>(std::stoul(argv[6])) : 0;
    gSeconds = std::stoi(argv[5]);
    gRate = static_cast<long>(gHeight);
    gClipboardBytes = std::stoul(argv[5]) * 1024 * 1024;
    peer::ChannelServer server{argv[2], argv[3], Prepare, Start, gMode == "clipboard"};
    return peer::Serve(argv[1], server);
}
