#include "session/freerdp/link/SettingsApply.h"

#include <freerdp/client/cmdline.h>
#include <freerdp/constants.h>

#include <array>

namespace rdp::freerdp {
namespace {

bool SetText(rdpSettings* s, size_t id, const QString& value) {
    const QByteArray utf8 = value.toUtf8();
    return freerdp_settings_set_string(s, id, value.isEmpty() ? nullptr : utf8.constData());
}

bool AddDevice(rdpSettings* s, const QString& kind, const QString& name, const QString& path) {
    std::array<QByteArray, 3> texts{kind.toUtf8(), name.toUtf8(), path.toUtf8()};
    std::array<char*, 3> params{texts[0].data(), texts[1].data(), texts[2].data()};
    return freerdp_client_add_device_channel(s, params.size(), params.data());
}

bool ApplyConnection(rdpSettings* s, const ControlSettings& c) {
    const UserAndDomain who = SplitUserName(c.userName);
    bool ok = SetText(s, FreeRDP_ServerHostname, c.server.trimmed());
    ok = ok && freerdp_settings_set_uint32(s, FreeRDP_ServerPort, static_cast<UINT32>(c.port));
    ok = ok && SetText(s, FreeRDP_Username, who.user);
    ok = ok && SetText(s, FreeRDP_Domain, who.domain);
    ok = ok && SetText(s, FreeRDP_Password, c.password);
    if (!c.configPath.isEmpty()) {
        ok = ok && SetText(s, FreeRDP_ConfigPath, c.configPath);
    }
    // A link that goes silent while connecting is found by TCP keep-alive; once connected
    // the session sets its own, shorter timers on the socket (WatchLinksTo). The library's
    // unacknowledged-data timeout stays at its default: it also bounds the wait for the
    // server's activation.
    ok = ok && freerdp_settings_set_bool(s, FreeRDP_TcpKeepAlive, TRUE);
    ok = ok && freerdp_settings_set_uint32(s, FreeRDP_TcpKeepAliveDelay, 1);
    ok = ok && freerdp_settings_set_uint32(s, FreeRDP_TcpKeepAliveInterval, 1);
    ok = ok && freerdp_settings_set_uint32(s, FreeRDP_TcpKeepAliveRetries, 3);
    // A server that does not answer the TCP handshake in 5 s (three tries) is not there;
    // the next reconnection attempt tries again.
    ok = ok && freerdp_settings_set_uint32(s, FreeRDP_TcpConnectTimeout, 5000);
    return ok;
}

bool ApplyDisplay(rdpSettings* s, const ControlSettings& c) {
    bool ok = true;
    if (c.desktopWidth > 0 && c.desktopHeight > 0) {
        ok = freerdp_settings_set_uint32(s, FreeRDP_DesktopWidth,
                                         static_cast<UINT32>(c.desktopWidth)) &&
             freerdp_settings_set_uint32(s, FreeRDP_DesktopHeight,
                                         static_cast<UINT32>(c.desktopHeight));
    }
    if (c.desktopScaleFactor != 0) {
        ok = ok &&
             freerdp_settings_set_uint32(s, FreeRDP_DesktopScaleFactor, c.desktopScaleFactor) &&
             freerdp_settings_set_uint32(s, FreeRDP_DeviceScaleFactor, c.deviceScaleFactor);
    }
    switch (c.colorDepth) {
    case 8:
    case 15:
    case 16:
    case 24:
    case 32:
        ok = ok &&
             freerdp_settings_set_uint32(s, FreeRDP_ColorDepth, static_cast<UINT32>(c.colorDepth));
        break;
    default:
        break;
    }
    ok = ok && freerdp_settings_set_bool(s, FreeRDP_SoftwareGdi, TRUE);
    ok = ok && freerdp_settings_set_bool(s, FreeRDP_CompressionEnabled, c.compress);
    ok = ok && freerdp_settings_set_bool(s, FreeRDP_BitmapCacheEnabled, TRUE);
    ok = ok && freerdp_settings_set_bool(s, FreeRDP_BitmapCachePersistEnabled, c.bitmapPersistence);
    // Servers that see a bitmap cache draw text with glyph orders (xrdp's own login screen
    // among them): announce the glyph cache so that those orders are accepted.
    ok = ok && freerdp_settings_set_uint32(s, FreeRDP_GlyphSupportLevel, GLYPH_SUPPORT_FULL);
    return ok;
}

bool ApplySound(rdpSettings* s, const ControlSettings& c) {
    const bool here = c.audioMode == 0;
    const bool remote = c.audioMode == 1;
    return freerdp_settings_set_bool(s, FreeRDP_AudioPlayback, here) &&
           freerdp_settings_set_bool(s, FreeRDP_RemoteConsoleAudio, remote);
}

// Only the folders offered here are shared: left to itself the library would share every
// mount point, the root file system included.
bool ApplyDrives(rdpSettings* s, const ControlSettings& c, const LocalOffer& offer) {
    const bool drives = c.redirectDrives && !offer.drives.empty();
    bool ok = freerdp_settings_set_bool(s, FreeRDP_RedirectDrives, drives);
    for (const LocalDrive& d : drives ? offer.drives : std::vector<LocalDrive>{}) {
        ok = ok && AddDevice(s, QStringLiteral("drive"), d.name, d.path);
    }
    return ok;
}

bool ApplyRedirection(rdpSettings* s, const ControlSettings& c, const LocalOffer& offer) {
    bool ok = ApplyDrives(s, c, offer);
    ok = ok && freerdp_settings_set_bool(s, FreeRDP_RedirectPrinters, c.redirectPrinters);
    ok = ok && freerdp_settings_set_bool(s, FreeRDP_RedirectClipboard, c.redirectClipboard);
    const bool cards = c.redirectSmartCards && offer.smartCardService;
    ok = ok && freerdp_settings_set_bool(s, FreeRDP_RedirectSmartCards, cards);
    bool serial = false;
    bool parallel = false;
    if (c.redirectPorts) {
        for (const LocalPort& p : offer.ports) {
            ok = ok && AddDevice(s, p.kind, p.name, p.path);
            serial = serial || p.kind == QStringLiteral("serial");
            parallel = parallel || p.kind == QStringLiteral("parallel");
        }
    }
    ok = ok && freerdp_settings_set_bool(s, FreeRDP_RedirectSerialPorts, serial);
    ok = ok && freerdp_settings_set_bool(s, FreeRDP_RedirectParallelPorts, parallel);
    const bool drives = c.redirectDrives && !offer.drives.empty();
    if (drives || c.redirectPrinters || cards || serial || parallel) {
        ok = ok && freerdp_settings_set_bool(s, FreeRDP_DeviceRedirection, TRUE);
    }
    return ok;
}

} // namespace

UserAndDomain SplitUserName(const QString& userName) {
    const qsizetype slash = userName.indexOf(QLatin1Char('\\'));
    if (slash < 0) {
        return {userName, {}};
    }
    return {userName.mid(slash + 1), userName.left(slash)};
}

bool ApplySettings(rdpSettings* s, const ControlSettings& c, const LocalOffer& offer) {
    bool ok = ApplyConnection(s, c) && ApplyDisplay(s, c) && ApplySound(s, c) &&
              ApplyRedirection(s, c, offer);
    ok = ok && freerdp_settings_set_bool(s, FreeRDP_AutoReconnectionEnabled, c.autoReconnect);
    ok = ok && freerdp_settings_set_uint32(s, FreeRDP_AutoReconnectMaxRetries,
                                           static_cast<UINT32>(c.reconnectAttempts));
    ok = ok && freerdp_settings_set_uint32(s, FreeRDP_OsMajorType, OSMAJORTYPE_UNIX);
    ok = ok && freerdp_settings_set_uint32(s, FreeRDP_OsMinorType, OSMINORTYPE_NATIVE_XSERVER);
    ok = ok && freerdp_settings_set_uint32(s, FreeRDP_KeyboardLayout, offer.keyboardLayout);
    return ok;
}

void CarryReconnectCookie(const rdpSettings* from, rdpSettings* to) {
    // The cookie has no accessor of its own in this library version; its struct is public.
    const ARC_SC_PRIVATE_PACKET* cookie = from->ServerAutoReconnectCookie;
    if (cookie && to->ServerAutoReconnectCookie && cookie->cbLen > 0) {
        *to->ServerAutoReconnectCookie = *cookie;
    }
}

} // namespace rdp::freerdp
