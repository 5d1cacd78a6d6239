#pragma once

#include <QObject>
#include <QString>

#include <cstdint>
#include <mutex>

struct _cliprdr_client_context;

namespace rdp::freerdp {

// Text on the clipboard, both ways, over the remote clipboard channel (cliprdr).
//
// Three threads meet here. The GUI thread owns QClipboard: it keeps a copy of the local
// text in a locked cache (refreshed on every local change) and announces changes to the
// remote side. The channel's own thread runs the remote side's requests: it answers from
// the cache, never waiting on the GUI, and hands remote text to the GUI as a queued call.
// The session's worker attaches and detaches the channel as it connects and disconnects.
class ClipboardBridge final : public QObject {
    Q_OBJECT

public:
    using Channel = _cliprdr_client_context;

    explicit ClipboardBridge(QObject* parent = nullptr);
    ~ClipboardBridge() override;

    // GUI thread: starts following the local clipboard (at Connect when redirection is
    // on), and stops (the session ended). While stopped, an attached channel stays silent.
    void start();
    void stop();
    bool running() const;

    // Worker thread: the channel came up or went away.
    void attach(Channel* channel);
    void detach();

    // The channel's thread (ClipboardChannel.cpp).
    void remoteReady();
    void remoteFormatsChanged(bool unicodeText, bool ansiText);
    void remoteWantsText(std::uint32_t format);
    void remoteSentText(bool ok, const QByteArray& data);

signals:
    // GUI thread: remote text was put on the local clipboard.
    void remoteTextArrived(const QString& text);

private:
    void onLocalChanged();
    void applyRemoteText(const QString& text);
    void announceLocked();

    mutable std::mutex mutex_;
    Channel* channel_ = nullptr;  // guarded
    bool running_ = false;        // guarded
    bool ready_ = false;          // guarded: the remote side is ready for our format list
    QString localText_;           // guarded: the local clipboard's text
    std::uint32_t requested_ = 0; // guarded: the format asked of the remote side

    QString lastRemoteText_; // GUI thread: not announced back when it shows up locally
    QMetaObject::Connection watch_;
};

} // namespace rdp::freerdp
