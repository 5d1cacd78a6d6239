// The clipboard bridge's channel side: the cliprdr callbacks, run on the channel's thread,
// and what the bridge sends to the remote side.
#include "session/freerdp/handoff/ClipboardBridge.h"

#include "session/freerdp/handoff/ClipboardText.h"

#include <freerdp/client/cliprdr.h>

namespace rdp::freerdp {
namespace {

ClipboardBridge* BridgeOf(CliprdrClientContext* channel) {
    return static_cast<ClipboardBridge*>(channel->custom);
}

UINT OnServerCapabilities(CliprdrClientContext*, const CLIPRDR_CAPABILITIES*) {
    return CHANNEL_RC_OK; // the channel keeps what the server can do by itself
}

UINT OnMonitorReady(CliprdrClientContext* channel, const CLIPRDR_MONITOR_READY*) {
    BridgeOf(channel)->remoteReady();
    return CHANNEL_RC_OK;
}

UINT OnServerFormatList(CliprdrClientContext* channel, const CLIPRDR_FORMAT_LIST* list) {
    bool unicode = false;
    bool ansi = false;
    for (UINT32 i = 0; i < list->numFormats; ++i) {
        unicode = unicode || list->formats[i].formatId == CF_UNICODETEXT;
        ansi = ansi || list->formats[i].formatId == CF_TEXT;
    }
    BridgeOf(channel)->remoteFormatsChanged(unicode, ansi);
    return CHANNEL_RC_OK;
}

UINT OnServerFormatListResponse(CliprdrClientContext*, const CLIPRDR_FORMAT_LIST_RESPONSE*) {
    return CHANNEL_RC_OK;
}

UINT OnServerFormatDataRequest(CliprdrClientContext* channel,
                               const CLIPRDR_FORMAT_DATA_REQUEST* request) {
    BridgeOf(channel)->remoteWantsText(request->requestedFormatId);
    return CHANNEL_RC_OK;
}

UINT OnServerFormatDataResponse(CliprdrClientContext* channel,
                                const CLIPRDR_FORMAT_DATA_RESPONSE* response) {
    const bool ok = (response->msgFlags & CB_RESPONSE_OK) != 0;
    const QByteArray data =
        ok && response->requestedFormatData
            ? QByteArray(reinterpret_cast<const char*>(response->requestedFormatData),
                         static_cast<qsizetype>(response->dataLen))
            : QByteArray();
    BridgeOf(channel)->remoteSentText(ok, data);
    return CHANNEL_RC_OK;
}

} // namespace

void ClipboardBridge::attach(Channel* channel) {
    std::lock_guard lock(mutex_);
    channel_ = channel;
    ready_ = false;
    requested_ = 0;
    offered_ = 0;
    channel->custom = this;
    channel->ServerCapabilities = OnServerCapabilities;
    channel->MonitorReady = OnMonitorReady;
    channel->ServerFormatList = OnServerFormatList;
    channel->ServerFormatListResponse = OnServerFormatListResponse;
    channel->ServerFormatDataRequest = OnServerFormatDataRequest;
    channel->ServerFormatDataResponse = OnServerFormatDataResponse;
}

void ClipboardBridge::detach() {
    // The channel's memory is the library's: after its disconnection it is not touched.
    {
        std::lock_guard lock(mutex_);
        channel_ = nullptr;
        ready_ = false;
        requested_ = 0;
        offered_ = 0;
    }
    answered_.notify_all(); // a paste waiting for the remote side gets nothing
}

void ClipboardBridge::remoteReady() {
    std::lock_guard lock(mutex_);
    if (!running_ || !channel_) {
        return;
    }
    CLIPRDR_GENERAL_CAPABILITY_SET general{};
    general.capabilitySetType = CB_CAPSTYPE_GENERAL;
    general.capabilitySetLength = CB_CAPSTYPE_GENERAL_LEN;
    general.version = CB_CAPS_VERSION_2;
    general.generalFlags = CB_USE_LONG_FORMAT_NAMES;
    CLIPRDR_CAPABILITIES caps{};
    caps.msgType = CB_CLIP_CAPS;
    caps.cCapabilitiesSets = 1;
    caps.capabilitySets = reinterpret_cast<CLIPRDR_CAPABILITY_SET*>(&general);
    channel_->ClientCapabilities(channel_, &caps);
    announceLocked();
    ready_ = true;
}

void ClipboardBridge::announceLocked() {
    CLIPRDR_FORMAT unicode{};
    unicode.formatId = CF_UNICODETEXT;
    CLIPRDR_FORMAT_LIST list{};
    list.msgType = CB_FORMAT_LIST;
    // A text beyond the limit is not offered (its line ends may grow it a little more; the
    // answer checks the exact size).
    list.numFormats = localText_.isEmpty() || (localText_.size() + 1) * 2 > MaxDataBytes ? 0 : 1;
    list.formats = &unicode;
    channel_->ClientFormatList(channel_, &list);
}

// Only the formats go on the local clipboard; one notice at a time brings the latest offer.
void ClipboardBridge::remoteFormatsChanged(bool unicodeText, bool ansiText) {
    std::lock_guard lock(mutex_);
    if (!running_ || !channel_) {
        return;
    }
    CLIPRDR_FORMAT_LIST_RESPONSE answer{};
    answer.msgType = CB_FORMAT_LIST_RESPONSE;
    answer.msgFlags = CB_RESPONSE_OK;
    channel_->ClientFormatListResponse(channel_, &answer);
    ++offer_;
    offered_ = unicodeText ? CF_UNICODETEXT : ansiText ? CF_TEXT : 0;
    if (offered_ != 0 && !std::exchange(offerPosted_, true)) {
        QMetaObject::invokeMethod(
            this, [this] { putRemoteOffer(); }, Qt::QueuedConnection);
    }
}

void ClipboardBridge::remoteWantsText(std::uint32_t format) {
    std::lock_guard lock(mutex_);
    if (!running_ || !channel_) {
        return;
    }
    // Only Unicode text is offered; Windows makes its 8-bit texts from it by itself.
    QByteArray data = format == CF_UNICODETEXT && !localText_.isEmpty()
                          ? UnicodeTextForRemote(localText_)
                          : QByteArray();
    if (data.size() > MaxDataBytes) {
        data.clear();
    }
    CLIPRDR_FORMAT_DATA_RESPONSE response{};
    response.msgType = CB_FORMAT_DATA_RESPONSE;
    response.msgFlags = data.isEmpty() ? CB_RESPONSE_FAIL : CB_RESPONSE_OK;
    response.dataLen = static_cast<UINT32>(data.size());
    response.requestedFormatData = reinterpret_cast<const BYTE*>(data.constData());
    channel_->ClientFormatDataResponse(channel_, &response);
}

// An answer nobody asked for is dropped; the one asked for wakes the paste waiting for it.
void ClipboardBridge::remoteSentText(bool ok, const QByteArray& data) {
    {
        std::lock_guard lock(mutex_);
        if (requested_ == 0) {
            return;
        }
        requested_ = 0;
        answer_ = ok && data.size() <= MaxDataBytes ? data : QByteArray();
    }
    answered_.notify_all();
}

bool ClipboardBridge::passFromRemote(const unsigned char* data, std::size_t size,
                                     std::uint32_t flags, std::size_t total) {
    constexpr std::size_t header = 8; // message type, flags and length
    if (flags & CHANNEL_FLAG_FIRST) {
        dropping_ = total > static_cast<std::size_t>(MaxDataBytes) + header;
        // A paste waiting for this answer gets nothing, at once.
        if (dropping_ && size >= 2 && (data[0] | data[1] << 8) == CB_FORMAT_DATA_RESPONSE) {
            remoteSentText(false, {});
        }
    }
    const bool pass = !dropping_;
    if (flags & CHANNEL_FLAG_LAST) {
        dropping_ = false;
    }
    return pass;
}

} // namespace rdp::freerdp
