#include "session/freerdp/link/ContextCallbacks.h"

#include "session/freerdp/link/FreeRdpSession.h"

#include <freerdp/channels/channels.h>
#include <freerdp/client.h>
#include <freerdp/event.h>
#include <freerdp/gdi/gdi.h>
#include <freerdp/update.h>

#include <cstring>

namespace rdp::freerdp {
namespace {

struct ControlContext {
    rdpClientContext common;
    FreeRdpSession* session;
    // The GDI's decoders, which the checked ones below call.
    pBitmapUpdate bitmapUpdate;
    pSurfaceBits surfaceBits;
    pcRdpgfxSurfaceCommand surfaceCommand;
};

ControlContext* Control(rdpContext* context) {
    return reinterpret_cast<ControlContext*>(context);
}

using rdp::freerdp::SessionOf;

FreeRdpSession* SessionOf(::freerdp* instance) {
    return SessionOf(instance->context);
}

QString Text(const char* s) {
    return s ? QString::fromUtf8(s) : QString();
}

BOOL PreConnect(::freerdp* instance) {
    return SessionOf(instance)->onPreConnect();
}
BOOL PostConnect(::freerdp* instance) {
    return SessionOf(instance)->onPostConnect();
}
void PostDisconnect(::freerdp* instance) {
    SessionOf(instance)->onPostDisconnect();
}

// Every piece of virtual channel data from the server passes here before the library puts
// the channel's messages together.
BOOL ReceiveChannelData(::freerdp* instance, UINT16 channelId, const BYTE* data, size_t size,
                        UINT32 flags, size_t total) {
    return !SessionOf(instance)->passChannelData(channelId, data, size, flags, total) ||
           freerdp_channels_data(instance, channelId, data, size, flags, total);
}

// Credentials are never asked for: the profile's are the only ones.
BOOL Authenticate(::freerdp*, char**, char**, char**) {
    return FALSE;
}

CertificateQuestion Question(const char* host, UINT16 port, const char* commonName,
                             const char* subject, const char* issuer, const char* fingerprint,
                             DWORD flags) {
    CertificateQuestion q;
    q.host = Text(host);
    q.port = port;
    q.commonName = Text(commonName);
    q.subject = Text(subject);
    q.issuer = Text(issuer);
    q.fingerprint = Text(fingerprint);
    q.hostMismatch = (flags & VERIFY_CERT_FLAG_MISMATCH) != 0;
    return q;
}

DWORD VerifyCertificate(::freerdp* instance, const char* host, UINT16 port, const char* commonName,
                        const char* subject, const char* issuer, const char* fingerprint,
                        DWORD flags) {
    return SessionOf(instance)->askCertificate(
        Question(host, port, commonName, subject, issuer, fingerprint, flags));
}

DWORD VerifyChangedCertificate(::freerdp* instance, const char* host, UINT16 port,
                               const char* commonName, const char* subject, const char* issuer,
                               const char* fingerprint, const char*, const char*,
                               const char* oldFingerprint, DWORD flags) {
    CertificateQuestion q = Question(host, port, commonName, subject, issuer, fingerprint, flags);
    q.changed = true;
    q.oldFingerprint = Text(oldFingerprint);
    return SessionOf(instance)->askCertificate(q);
}

BOOL ClientNew(::freerdp* instance, rdpContext*) {
    instance->PreConnect = PreConnect;
    instance->PostConnect = PostConnect;
    instance->PostDisconnect = PostDisconnect;
    instance->Authenticate = Authenticate;
    instance->ReceiveChannelData = ReceiveChannelData;
    instance->VerifyCertificateEx = VerifyCertificate;
    instance->VerifyChangedCertificateEx = VerifyChangedCertificate;
    return TRUE;
}

void ClientFree(::freerdp*, rdpContext*) {}

void OnStateChange(void* context, ConnectionStateChangeEventArgs* e) {
    SessionOf(static_cast<rdpContext*>(context))->onStateChange(e->state);
}

void OnChannelConnected(void* context, ChannelConnectedEventArgs* e) {
    SessionOf(static_cast<rdpContext*>(context))->onChannelConnected(e->name, e->pInterface);
}

void OnChannelDisconnected(void* context, ChannelDisconnectedEventArgs* e) {
    SessionOf(static_cast<rdpContext*>(context))->onChannelDisconnected(e->name, e->pInterface);
}

BOOL SaveSessionInfo(rdpContext* context, UINT32 type, void*) {
    // Types 0..2 are the logon notices; 3 carries other information.
    if (type <= 2) {
        SessionOf(context)->onLoginNotice();
    }
    return TRUE;
}

BOOL BeginPaint(rdpContext* context) {
    return SessionOf(context)->onBeginPaint();
}
BOOL EndPaint(rdpContext* context) {
    return SessionOf(context)->onEndPaint();
}
BOOL DesktopResize(rdpContext* context) {
    return SessionOf(context)->onDesktopResize();
}

// A picture the library cannot decode ends the link; the session learns why.
BOOL CheckedBitmapUpdate(rdpContext* context, const BITMAP_UPDATE* bitmap) {
    const BOOL ok = Control(context)->bitmapUpdate(context, bitmap);
    if (!ok) {
        SessionOf(context)->onDecoderFailed();
    }
    return ok;
}

BOOL CheckedSurfaceBits(rdpContext* context, const SURFACE_BITS_COMMAND* command) {
    const BOOL ok = Control(context)->surfaceBits(context, command);
    if (!ok) {
        SessionOf(context)->onDecoderFailed();
    }
    return ok;
}

UINT CheckedSurfaceCommand(RdpgfxClientContext* gfx, const RDPGFX_SURFACE_COMMAND* command) {
    rdpContext* context = static_cast<rdpGdi*>(gfx->custom)->context;
    const UINT status = Control(context)->surfaceCommand(gfx, command);
    if (status != CHANNEL_RC_OK) {
        SessionOf(context)->onDecoderFailed();
    }
    return status;
}

} // namespace

FreeRdpSession* SessionOf(rdpContext* context) {
    return reinterpret_cast<ControlContext*>(context)->session;
}

rdpContext* CreateClientContext(FreeRdpSession* session) {
    RDP_CLIENT_ENTRY_POINTS entry;
    std::memset(&entry, 0, sizeof entry);
    entry.Size = sizeof entry;
    entry.Version = RDP_CLIENT_INTERFACE_VERSION;
    entry.ContextSize = sizeof(ControlContext);
    entry.ClientNew = ClientNew;
    entry.ClientFree = ClientFree;
    rdpContext* context = freerdp_client_context_new(&entry);
    if (context) {
        reinterpret_cast<ControlContext*>(context)->session = session;
    }
    return context;
}

void HookContext(rdpContext* context) {
    // The library raises connection-state notices but does not register their type, so
    // nobody would hear them without this.
    wEventType stateChange{};
    stateChange.EventName = "ConnectionStateChange";
    stateChange.EventArgs.Size = sizeof(ConnectionStateChangeEventArgs);
    PubSub_AddEventTypes(context->pubSub, &stateChange, 1);
    PubSub_SubscribeConnectionStateChange(context->pubSub, OnStateChange);
    PubSub_SubscribeChannelConnected(context->pubSub, OnChannelConnected);
    PubSub_SubscribeChannelDisconnected(context->pubSub, OnChannelDisconnected);
    context->update->SaveSessionInfo = SaveSessionInfo;
}

void HookPaint(rdpContext* context) {
    rdpUpdate* update = context->update;
    update->BeginPaint = BeginPaint;
    update->EndPaint = EndPaint;
    update->DesktopResize = DesktopResize;
    // The GDI sets its decoders again at each connection.
    if (update->BitmapUpdate && update->BitmapUpdate != CheckedBitmapUpdate) {
        Control(context)->bitmapUpdate = update->BitmapUpdate;
        update->BitmapUpdate = CheckedBitmapUpdate;
    }
    if (update->SurfaceBits && update->SurfaceBits != CheckedSurfaceBits) {
        Control(context)->surfaceBits = update->SurfaceBits;
        update->SurfaceBits = CheckedSurfaceBits;
    }
}

void HookGraphicsDecoder(rdpContext* context, RdpgfxClientContext* gfx) {
    if (gfx->custom && gfx->SurfaceCommand && gfx->SurfaceCommand != CheckedSurfaceCommand) {
        Control(context)->surfaceCommand = gfx->SurfaceCommand;
        gfx->SurfaceCommand = CheckedSurfaceCommand;
    }
}

void Unhook(rdpContext* context) {
    PubSub_UnsubscribeConnectionStateChange(context->pubSub, OnStateChange);
    PubSub_UnsubscribeChannelConnected(context->pubSub, OnChannelConnected);
    PubSub_UnsubscribeChannelDisconnected(context->pubSub, OnChannelDisconnected);
}

} // namespace rdp::freerdp
