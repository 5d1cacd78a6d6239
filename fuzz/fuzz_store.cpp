// Loads a profile store from arbitrary bytes with the loader's own parser. Whatever the
// bytes, nothing may crash; and every store that loads must come back the same after it
// is written again and reloaded.

#include "profiles/ConnectParaStore.h"
#include "profiles/StoreLines.h"

#include "common/Errors.h"

#include <cstdint>
#include <cstdlib>

namespace {

bool SameProfile(const RDP_ConnectParaItems& a, const RDP_ConnectParaItems& b) {
    const QString password = a.IsSavePassword() == 1 ? a.Password() : QString();
    return a.ConnectName() == b.ConnectName() && a.Server() == b.Server() && a.Port() == b.Port() &&
           a.UserName() == b.UserName() && password == b.Password() &&
           a.IsSavePassword() == b.IsSavePassword() && a.DesktopSize() == b.DesktopSize() &&
           a.ColorDepth() == b.ColorDepth() && a.AudioMode() == b.AudioMode() &&
           a.RedirectPrint() == b.RedirectPrint() && a.RedirectPorts() == b.RedirectPorts() &&
           a.RedirectDrives() == b.RedirectDrives() && a.SmartCards() == b.SmartCards() &&
           a.BitmapPeristence() == b.BitmapPeristence() &&
           a.CanAutoReconnect() == b.CanAutoReconnect();
}

void CheckRoundTrip(const RDP_ConnectPara& list) {
    QByteArray content;
    try {
        content = rdp::store::StoreContent(list);
    } catch (const rdp::Error&) {
        return; // a line too long to be checked: the save refuses it
    }
    RDP_ConnectPara again;
    const RDP_basClient::StoreReadResult result = RDP_basClient::ParseConnectPara(content, again);
    if (result.damaged || again.Count() != list.Count() ||
        again.SelectIndex() != list.SelectIndex()) {
        std::abort();
    }
    for (int i = 1; i <= list.Count(); ++i) {
        if (!SameProfile(list.Item(i), again.Item(i))) {
            std::abort();
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const QByteArrayView content(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    RDP_ConnectPara list;
    QStringList lines;
    const RDP_basClient::StoreReadResult result =
        RDP_basClient::ParseConnectPara(content, list, &lines);
    if (result.damaged && (result.line < 1 || result.line > lines.size() + 1)) {
        std::abort();
    }
    if (!result.damaged) {
        CheckRoundTrip(list);
    }
    return 0;
}
