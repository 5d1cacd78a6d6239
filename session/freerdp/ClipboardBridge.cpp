// The clipboard bridge's GUI side: the local clipboard and its cached text.
#include "session/freerdp/ClipboardBridge.h"

#include <QClipboard>
#include <QGuiApplication>

namespace rdp::freerdp {

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
    lastRemoteText_.clear();
    if (!watch_) {
        watch_ =
            connect(clipboard, &QClipboard::dataChanged, this, &ClipboardBridge::onLocalChanged);
    }
}

void ClipboardBridge::stop() {
    disconnect(watch_);
    watch_ = {};
    std::lock_guard lock(mutex_);
    running_ = false;
    localText_.clear();
}

bool ClipboardBridge::running() const {
    std::lock_guard lock(mutex_);
    return running_;
}

void ClipboardBridge::onLocalChanged() {
    const QString text = QGuiApplication::clipboard()->text(QClipboard::Clipboard);
    // Text that just came from the remote side is not offered back to it.
    const bool echo = !lastRemoteText_.isNull() && text == lastRemoteText_;
    if (!echo) {
        lastRemoteText_.clear();
    }
    std::lock_guard lock(mutex_);
    localText_ = text;
    if (!echo && running_ && ready_ && channel_) {
        announceLocked();
    }
}

void ClipboardBridge::applyRemoteText(const QString& text) {
    if (!running()) {
        return; // a late answer after the session ended
    }
    lastRemoteText_ = text;
    QGuiApplication::clipboard()->setText(text, QClipboard::Clipboard);
    emit remoteTextArrived(text);
}

} // namespace rdp::freerdp
