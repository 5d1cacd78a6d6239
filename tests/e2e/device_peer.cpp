// A tiny RDP server on loopback that speaks only the device-redirection channel, for the
// end-to-end drive test (FreeRDP's shadow server has no such channel).
//
//   device_peer PORT CERT KEY OUT_DIR [escape]
//
// Serves one client after another (TLS, no NLA, any credentials). Writes each device the
// client announces as a line "drive|printer|port|smartcard NAME" to OUT_DIR/devices.N (N
// counts the clients) and what it asked for its sound to OUT_DIR/sound.N. On the first drive it
// lists the root into OUT_DIR/listing.N (one name a line), reads 本地.txt into OUT_DIR/read.N, then
// writes 远端.txt (kRemoteContent). The printers' own names (the device list carries them
// beside the short DOS names the library hands on) go to OUT_DIR/printers.N, one a line. With
// "escape" it instead tries to create files outside the shared folder (kEscapes) and writes each
// path's open status and file to OUT_DIR/escapes.N, one "STATUS FILE PATH" a line. Every file
// appears whole (written under another name, then renamed).
#include "channel_peer.h"

#include <freerdp/channels/channels.h>
#include <freerdp/channels/rdpdr.h>
#include <freerdp/channels/wtsvc.h>
#include <freerdp/peer.h>
#include <freerdp/server/rdpdr.h>
#include <freerdp/settings.h>
#include <winpr/nt.h>
#include <winpr/string.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <functional>
#include <iterator>
#include <string>

namespace {

const char kRemoteContent[] = "写在远程计算机上";
std::string gOutDir;
bool gEscape = false;
int gClient = 0;
// Paths a hostile server may ask a shared drive to create: parent folders, absolute paths,
// and one far longer than any path.
const std::string kEscapes[] = {"\\..\\escape.txt",
                                "..\\escape.txt",
                                "\\a\\..\\..\\escape.txt",
                                "\\..\\..\\..\\tmp\\escape.txt",
                                "/tmp/escape.txt",
                                "C:\\escape.txt",
                                "\\" + std::string(5300, 'x')};
psPeerReceiveChannelData gReceive = nullptr;

struct PeerState {
    int client = 0;
    std::size_t escape = 0; // the next of kEscapes to try
    std::string escapes;    // what each one gave
    UINT32 drive = 0;
    bool haveDrive = false;
    bool writing = false;
    UINT32 file = 0;
    std::string devices;
    std::string listing;
};

PeerState* State(RdpdrServerContext* c) {
    return static_cast<PeerState*>(c->data);
}

void Publish(const PeerState* s, const char* what, const std::string& content) {
    const std::string name = gOutDir + "/" + what + "." + std::to_string(s->client);
    std::ofstream(name + ".part", std::ios::binary) << content;
    std::rename((name + ".part").c_str(), name.c_str());
}

void Announced(RdpdrServerContext* c, const char* kind, const char* name) {
    PeerState* s = State(c);
    s->devices += std::string(kind) + " " + name + "\n";
    Publish(s, "devices", s->devices);
}

void OnDrive(RdpdrServerContext* c, UINT32 id, const char* name) {
    Announced(c, "drive", name);
    PeerState* s = State(c);
    if (!s->haveDrive) {
        s->haveDrive = true;
        s->drive = id;
        if (gEscape) {
            c->DriveOpenFile(c, s, id, kEscapes[0].c_str(), GENERIC_WRITE, FILE_OPEN_IF);
        } else {
            c->DriveQueryDirectory(c, s, id, "");
        }
    }
}

void OnPrinter(RdpdrServerContext* c, UINT32, const char* name) {
    Announced(c, "printer", name);
}

void OnPort(RdpdrServerContext* c, UINT32, const char* name) {
    Announced(c, "port", name);
}

void OnSmartcard(RdpdrServerContext* c, UINT32, const char* name) {
    Announced(c, "smartcard", name);
}

void OnRemoved(RdpdrServerContext*, UINT32) {}

void OnListed(RdpdrServerContext* c, void*, UINT32 status, FILE_DIRECTORY_INFORMATION* fdi) {
    PeerState* s = State(c);
    if (status == 0 && fdi) {
        s->listing += std::string(fdi->FileName) + "\n";
        return;
    }
    Publish(s, "listing", s->listing);
    c->DriveOpenFile(c, s, s->drive, "\\本地.txt", GENERIC_READ, FILE_OPEN);
}

// One escape after another; the files that did open stay open (see OnRead).
void NextEscape(RdpdrServerContext* c, PeerState* s, UINT32 status, UINT32 file) {
    s->escapes += std::to_string(status) + " " + std::to_string(file) + " " +
                  kEscapes[s->escape].substr(0, 40) + "\n";
    if (++s->escape < std::size(kEscapes)) {
        c->DriveOpenFile(c, s, s->drive, kEscapes[s->escape].c_str(), GENERIC_WRITE, FILE_OPEN_IF);
    } else {
        Publish(s, "escapes", s->escapes);
    }
}

void OnOpened(RdpdrServerContext* c, void*, UINT32 status, UINT32 device, UINT32 file) {
    PeerState* s = State(c);
    if (gEscape) {
        NextEscape(c, s, status, file);
        return;
    }
    s->file = file;
    if (status != 0) {
        Publish(s, s->writing ? "wrote" : "read", "open failed");
    } else if (s->writing) {
        c->DriveWriteFile(c, s, device, file, kRemoteContent, std::strlen(kRemoteContent), 0);
        c->DriveCloseFile(c, s, device, file); // see OnRead
    } else {
        c->DriveReadFile(c, s, device, file, 4096, 0);
    }
}

// libfreerdp-server2 misreads the client's answers to a close (it takes the padding for a
// next message) and to a write (it looks for as many bytes as were written) and stops the
// channel there: so the file read stays open, and the write comes last with its close right
// behind it. The client carries out both all the same, in order.
void OnRead(RdpdrServerContext* c, void*, UINT32 status, const char* buffer, UINT32 length) {
    PeerState* s = State(c);
    Publish(s, "read", status == 0 ? std::string(buffer ? buffer : "", length) : "read failed");
    s->writing = true;
    c->DriveOpenFile(c, s, s->drive, "\\远端.txt", GENERIC_WRITE, FILE_OVERWRITE_IF);
}

void OnWritten(RdpdrServerContext*, void*, UINT32, UINT32) {}

void Unused(RdpdrServerContext*, void*, UINT32) {}

// What the client asked for its sound: the sound channel joined, the sound left on the server.
void PublishSound(freerdp_peer* client, HANDLE vcm, const PeerState* state) {
    const bool channel = WTSVirtualChannelManagerIsChannelJoined(vcm, "rdpsnd");
    const bool playback = freerdp_settings_get_bool(client->settings, FreeRDP_AudioPlayback);
    const bool console = freerdp_settings_get_bool(client->settings, FreeRDP_RemoteConsoleAudio);
    Publish(state, "sound",
            std::string("rdpsnd=") + (channel ? "1" : "0") + " playback=" + (playback ? "1" : "0") +
                " console=" + (console ? "1" : "0"));
}

UINT32 Read32(const BYTE* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<UINT32>(p[3]) << 24);
}

// The printers' names in a device list announce (a printer's data: six lengths, then its
// Plug and Play name, driver name and print name in UTF-16).
std::string PrinterNames(const BYTE* data, size_t size) {
    std::string names;
    if (size < 8 || Read32(data) != (PAKID_CORE_DEVICELIST_ANNOUNCE << 16 | RDPDR_CTYP_CORE)) {
        return names;
    }
    size_t at = 8;
    for (UINT32 i = 0, count = Read32(data + 4); i < count && at + 20 <= size; ++i) {
        const UINT32 type = Read32(data + at);
        const size_t length = Read32(data + at + 16);
        const BYTE* d = data + at + 20;
        at += 20 + length;
        if (type != RDPDR_DTYP_PRINT || at > size || length < 24 ||
            24 + Read32(d + 8) + Read32(d + 12) + Read32(d + 16) > length) {
            continue;
        }
        char* name = nullptr;
        const auto* wide = reinterpret_cast<const WCHAR*>(d + 24 + Read32(d + 8) + Read32(d + 12));
        if (ConvertFromUnicode(CP_UTF8, 0, wide, static_cast<int>(Read32(d + 16) / 2), &name, 0,
                               nullptr, nullptr) > 0) {
            names += std::string(name) + "\n";
        }
        free(name);
    }
    return names;
}

// Reads the device list on its way to the library's channel server.
BOOL Receive(freerdp_peer* client, UINT16 id, const BYTE* data, size_t size, UINT32 flags,
             size_t total) {
    if (id == WTSChannelGetId(client, "rdpdr") && size == total) {
        const std::string names = PrinterNames(data, size);
        if (!names.empty()) {
            PeerState state;
            state.client = gClient;
            Publish(&state, "printers", names);
        }
    }
    return gReceive(client, id, data, size, flags, total);
}

RdpdrServerContext* StartDevices(freerdp_peer* client, HANDLE vcm, PeerState* state) {
    PublishSound(client, vcm, state);
    RdpdrServerContext* c = rdpdr_server_context_new(vcm);
    c->data = state;
    c->rdpcontext = client->context;
    c->supportsDrives = c->supportsPorts = c->supportsPrinters = c->supportsSmartcards = TRUE;
    c->OnDriveCreate = OnDrive;
    c->OnPrinterCreate = OnPrinter;
    c->OnPortCreate = OnPort;
    c->OnSmartcardCreate = OnSmartcard;
    c->OnDriveDelete = c->OnPrinterDelete = c->OnPortDelete = c->OnSmartcardDelete = OnRemoved;
    c->OnDriveQueryDirectoryComplete = OnListed;
    c->OnDriveOpenFileComplete = OnOpened;
    c->OnDriveWriteFileComplete = OnWritten;
    c->OnDriveReadFileComplete = OnRead;
    c->OnDriveCloseFileComplete = Unused;
    c->OnDriveCreateDirectoryComplete = c->OnDriveDeleteDirectoryComplete = Unused;
    c->OnDriveDeleteFileComplete = c->OnDriveRenameFileComplete = Unused;
    if (c->Start(c) != CHANNEL_RC_OK) {
        rdpdr_server_context_free(c);
        return nullptr;
    }
    std::puts("devices up");
    std::fflush(stdout);
    return c;
}

// Each connection counts as the next client; the device list is read on its way in.
void Prepare(freerdp_peer* client) {
    ++gClient;
    gReceive = client->ReceiveChannelData;
    client->ReceiveChannelData = Receive;
}

std::function<void()> Start(freerdp_peer* client, HANDLE vcm) {
    auto* state = new PeerState;
    state->client = gClient;
    RdpdrServerContext* devices = StartDevices(client, vcm, state);
    if (!devices) {
        delete state;
        return {};
    }
    return [devices, state] {
        devices->Stop(devices);
        rdpdr_server_context_free(devices);
        delete state;
    };
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 5 && argc != 6) {
        std::fputs("usage: device_peer PORT CERT KEY OUT_DIR [escape]\n", stderr);
        return 2;
    }
    gOutDir = argv[4];
    gEscape = argc == 6 && std::string(argv[5]) == "escape";
    peer::ChannelServer server{argv[2], argv[3], Prepare, Start, true};
    return peer::Serve(argv[1], server);
}
