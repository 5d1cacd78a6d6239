// The clipboard bridge's GUI side: the local clipboard, its cached text, and the remote
// side's offer on it.
#include "session/freerdp/handoff/ClipboardBridge.h"

#include "session/freerdp/handoff/ClipboardText.h"

#include <freerdp/client/cliprdr.h>

#include <QClipboard>
#include <QGuiApplication>

namespace rdp::freerdp {
namespace {

const QString kPlainText = QStringLiteral("text/plain");

// The remote side's text on the local clipboard, fetched once, when first pasted.
class RemoteTextOffer final : public QMimeData {
public:
    RemoteTextOffer(ClipboardBridge* bridge, std::uint64_t offer)
        : bridge_(bridge), offer_(offer) {}

    QStringList formats() const override { return {kPlainText}; }
    bool hasFormat(const QString& mimeType) const override { return mimeType == kPlainText; }

protected:
    QVariant retrieveData(const QString& mimeType, QMetaType) const override {
        if (mimeType != kPlainText) {
            return {};
        }
        if (!fetched_) {
            fetched_ = true;
            text_ = bridge_ ? bridge_->fetchRemoteText(offer_) : QString();
        }
        return text_;
    }

private:
    QPointer<ClipboardBridge> bridge_;
    std::uint64_t offer_;
    mutable bool fetched_ = false;
    mutable QString text_;
};

} // namespace

ClipboardBridge::ClipboardBridge(QObject* parent) : QObject(parent) {}

ClipboardBridge::~ClipboardBridge() {
    stop();
}

void ClipboardBridge::start() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    const QString text = clipboard->text(QClipboard::Clipboard);
    {
        std::lock_guard lock(mutex_);
        running_ = true;
        localText_ = text;
    }
    if (!watch_) {
        watch_ =
            connect(clipboard, &QClipboard::dataChanged, this, &ClipboardBridge::onLocalChanged);
    }
}

void ClipboardBridge::stop() {
    disconnect(watch_);
    watch_ = {};
    {
        std::lock_guard lock(mutex_);
        running_ = false;
        localText_.clear();
        offered_ = 0;
    }
    answered_.notify_all();
    // The remote side's offer cannot be pasted any more: it leaves the clipboard.
    if (onClipboard_) {
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (clipboard->mimeData(QClipboard::Clipboard) == onClipboard_.data()) {
            clipboard->clear(QClipboard::Clipboard);
        }
    }
}

bool ClipboardBridge::running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

void ClipboardBridge::onLocalChanged() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    // The remote side's own offer showing up here is not offered back to it.
    const bool echo =
        onClipboard_ && clipboard->mimeData(QClipboard::Clipboard) == onClipboard_.data();
    const QString text = echo ? QString() : clipboard->text(QClipboard::Clipboard);
    std::lock_guard lock(mutex_);
    localText_ = text;
    if (!echo && running_ && ready_ && channel_) {
        announceLocked();
    }
}

void ClipboardBridge::putRemoteOffer() {
    std::uint64_t offer = 0;
    {
        std::lock_guard lock(mutex_);
        offerPosted_ = false;
        if (!running_ || offered_ == 0) {
            return; // a late offer after the session ended, or one already withdrawn
        }
        offer = offer_;
    }
    auto* data = new RemoteTextOffer(this, offer);
    onClipboard_ = data;
    QGuiApplication::clipboard()->setMimeData(data, QClipboard::Clipboard);
}

QString ClipboardBridge::fetchRemoteText(std::uint64_t offer) {
    std::unique_lock lock(mutex_);
    if (!running_ || !channel_ || offer != offer_ || offered_ == 0 || requested_ != 0) {
        return {};
    }
    const std::uint32_t format = offered_;
    requested_ = format;
    answer_.reset();
    CLIPRDR_FORMAT_DATA_REQUEST request{};
    request.msgType = CB_FORMAT_DATA_REQUEST;
    request.requestedFormatId = format;
    channel_->ClientFormatDataRequest(channel_, &request);
    answered_.wait_for(lock, std::chrono::milliseconds(PasteWaitMs),
                       [this] { return answer_.has_value() || !channel_ || !running_; });
    requested_ = 0;
    const QByteArray data = std::exchange(answer_, std::nullopt).value_or(QByteArray());
    lock.unlock();
    return format == CF_UNICODETEXT ? UnicodeTextFromRemote(data) : AnsiTextFromRemote(data);
}

} // namespace rdp::freerdp
