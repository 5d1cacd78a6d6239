#pragma once

#include <QMimeData>
#include <QObject>
#include <QPointer>
#include <QString>

#include <condition_variable>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <optional>

struct _cliprdr_client_context;

namespace rdp::freerdp {

// Text on the clipboard, both ways, over the remote clipboard channel (cliprdr).
//
// Three threads meet here. The GUI thread owns QClipboard: it keeps a copy of the local
// text in a locked cache (refreshed on every local change) and announces changes to the
// remote side. The channel's own thread runs the remote side's requests: it answers from
// the cache, never waiting on the GUI. The remote side's text is rendered late: its offer
// puts only a format on the local clipboard, and the text is fetched from the remote side
// when a local program pastes (the GUI thread waits for the answer, at most PasteWaitMs).
// The session's worker attaches and detaches the channel as it connects and disconnects,
// and drops a remote clipboard message larger than the limit before it is put together.
class ClipboardBridge final : public QObject {
    Q_OBJECT

public:
    using Channel = _cliprdr_client_context;

    // The most clipboard data that crosses in one piece, either way (16 MB is far beyond any
    // paste); a larger text is neither offered nor accepted.
    static constexpr qsizetype MaxDataBytes = 16 * 1024 * 1024;
    // How long a paste waits for the remote side's text.
    static constexpr int PasteWaitMs = 5000;

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
    // Worker thread: whether a piece of a clipboard message from the remote side goes on to
    // the channel (`flags` and `total` as the virtual channel gives them); every piece of a
    // message larger than the limit is dropped.
    bool passFromRemote(const unsigned char* data, std::size_t size, std::uint32_t flags,
                        std::size_t total);

    // The channel's thread (ClipboardChannel.cpp).
    void remoteReady();
    void remoteFormatsChanged(bool unicodeText, bool ansiText);
    void remoteWantsText(std::uint32_t format);
    void remoteSentText(bool ok, const QByteArray& data);

    // GUI thread, when a local program pastes: the text of the remote side's offer number
    // `offer`, asked of the remote side now; empty when that offer is no longer the latest,
    // the session is gone, the text is larger than the limit or no answer came in time.
    QString fetchRemoteText(std::uint64_t offer);

private:
    void onLocalChanged();
    void putRemoteOffer();
    void announceLocked();

    mutable std::mutex mutex_;
    Channel* channel_ = nullptr;       // guarded
    bool running_ = false;             // guarded
    bool ready_ = false;               // guarded: the remote side is ready for our format list
    QString localText_;                // guarded: the local clipboard's text
    std::uint64_t offer_ = 0;          // guarded: the remote side's latest offer
    std::uint32_t offered_ = 0;        // guarded: its text format (0 none)
    bool offerPosted_ = false;         // guarded: the GUI has yet to put the offer on the clipboard
    std::uint32_t requested_ = 0;      // guarded: the format asked of the remote side
    std::optional<QByteArray> answer_; // guarded: its answer (empty: refused or too large)
    std::condition_variable answered_;
    bool dropping_ = false; // worker: the pieces of a message too large are being dropped

    QPointer<QMimeData> onClipboard_; // GUI thread: the remote offer on the local clipboard
    QMetaObject::Connection watch_;
};

} // namespace rdp::freerdp
