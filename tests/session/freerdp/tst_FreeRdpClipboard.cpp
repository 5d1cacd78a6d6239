// Clipboard text between this computer and the remote one: the conversions, and the
// bridge's conversation with the cliprdr channel (played here by a recording channel whose
// server side is driven from another thread, as the library's channel thread does).
#include "session/freerdp/handoff/ClipboardBridge.h"
#include "session/freerdp/handoff/ClipboardText.h"

#include <freerdp/client/cliprdr.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QSignalSpy>
#include <QTest>

#include <mutex>
#include <thread>
#include <vector>

using namespace rdp::freerdp;

namespace {

QByteArray Bytes(std::initializer_list<int> values) {
    QByteArray b;
    for (const int v : values) {
        b.append(static_cast<char>(v));
    }
    return b;
}

// What the bridge sent to the remote side, in order.
struct Sent {
    QString kind;            // caps, formats, listAnswer, request, data
    std::uint32_t value = 0; // flags, first format id, format asked for, message flags
    int count = 0;           // number of formats; for caps, the version
    QByteArray data;
};

class RecordingChannel {
public:
    RecordingChannel() {
        channel.handle = this;
        channel.ClientCapabilities = [](CliprdrClientContext* c, const CLIPRDR_CAPABILITIES* caps) {
            const auto* general =
                reinterpret_cast<const CLIPRDR_GENERAL_CAPABILITY_SET*>(caps->capabilitySets);
            Self(c)->add({QStringLiteral("caps"),
                          general->generalFlags,
                          static_cast<int>(general->version),
                          {}});
            return UINT(CHANNEL_RC_OK);
        };
        channel.ClientFormatList = [](CliprdrClientContext* c, const CLIPRDR_FORMAT_LIST* list) {
            Self(c)->add({QStringLiteral("formats"),
                          list->numFormats > 0 ? list->formats[0].formatId : 0,
                          static_cast<int>(list->numFormats),
                          {}});
            return UINT(CHANNEL_RC_OK);
        };
        channel.ClientFormatListResponse = [](CliprdrClientContext* c,
                                              const CLIPRDR_FORMAT_LIST_RESPONSE* r) {
            Self(c)->add({QStringLiteral("listAnswer"), r->msgFlags, 0, {}});
            return UINT(CHANNEL_RC_OK);
        };
        channel.ClientFormatDataRequest = [](CliprdrClientContext* c,
                                             const CLIPRDR_FORMAT_DATA_REQUEST* r) {
            Self(c)->add({QStringLiteral("request"), r->requestedFormatId, 0, {}});
            Self(c)->answerLater();
            return UINT(CHANNEL_RC_OK);
        };
        channel.ClientFormatDataResponse = [](CliprdrClientContext* c,
                                              const CLIPRDR_FORMAT_DATA_RESPONSE* r) {
            Self(c)->add({QStringLiteral("data"), r->msgFlags, 0,
                          QByteArray(reinterpret_cast<const char*>(r->requestedFormatData),
                                     static_cast<qsizetype>(r->dataLen))});
            return UINT(CHANNEL_RC_OK);
        };
    }

    // The remote side's messages, delivered on a thread of their own.
    void monitorReady() {
        onChannelThread([this] {
            CLIPRDR_MONITOR_READY ready{};
            channel.MonitorReady(&channel, &ready);
        });
    }
    void serverFormats(std::vector<UINT32> ids) {
        onChannelThread([this, ids] {
            std::vector<CLIPRDR_FORMAT> formats(ids.size());
            for (std::size_t i = 0; i < ids.size(); ++i) {
                formats[i].formatId = ids[i];
            }
            CLIPRDR_FORMAT_LIST list{};
            list.numFormats = static_cast<UINT32>(formats.size());
            list.formats = formats.data();
            channel.ServerFormatList(&channel, &list);
        });
    }
    void serverWants(UINT32 format) {
        onChannelThread([this, format] {
            CLIPRDR_FORMAT_DATA_REQUEST request{};
            request.requestedFormatId = format;
            channel.ServerFormatDataRequest(&channel, &request);
        });
    }
    void serverSends(const QByteArray& data, UINT16 flags = CB_RESPONSE_OK) {
        onChannelThread([this, data, flags] {
            CLIPRDR_FORMAT_DATA_RESPONSE response{};
            response.msgFlags = flags;
            response.dataLen = static_cast<UINT32>(data.size());
            response.requestedFormatData = reinterpret_cast<const BYTE*>(data.constData());
            channel.ServerFormatDataResponse(&channel, &response);
        });
    }

    // The answer to the bridge's next request, sent from the channel's thread while the
    // bridge waits for it (the caller's thread is the one waiting).
    void answerWith(const QByteArray& data) { answer_ = data; }
    ~RecordingChannel() {
        if (answering_.joinable()) {
            answering_.join();
        }
    }

    std::vector<Sent> take() {
        std::lock_guard lock(mutex_);
        return std::exchange(sent_, {});
    }
    QStringList kinds() {
        QStringList k;
        for (const Sent& s : take()) {
            k << s.kind;
        }
        return k;
    }

    CliprdrClientContext channel{};

private:
    static RecordingChannel* Self(CliprdrClientContext* c) {
        return static_cast<RecordingChannel*>(c->handle);
    }
    void add(Sent s) {
        std::lock_guard lock(mutex_);
        sent_.push_back(std::move(s));
    }
    template <typename F> static void onChannelThread(F f) { std::thread(f).join(); }
    void answerLater() {
        if (answering_.joinable()) {
            answering_.join();
        }
        answering_ = std::thread([this, data = answer_] {
            CLIPRDR_FORMAT_DATA_RESPONSE response{};
            response.msgFlags = CB_RESPONSE_OK;
            response.dataLen = static_cast<UINT32>(data.size());
            response.requestedFormatData = reinterpret_cast<const BYTE*>(data.constData());
            channel.ServerFormatDataResponse(&channel, &response);
        });
    }

    QByteArray answer_;
    std::thread answering_;
    std::mutex mutex_;
    std::vector<Sent> sent_;
};

QClipboard* Clipboard() {
    return QGuiApplication::clipboard();
}

// A running bridge whose channel is up and whose remote side has said it is ready.
struct ReadyBridge {
    explicit ReadyBridge(const QString& localText) {
        Clipboard()->setText(localText);
        bridge.start();
        bridge.attach(&remote.channel);
        remote.monitorReady();
        remote.take();
    }
    ClipboardBridge bridge;
    RecordingChannel remote;
};

} // namespace

class FreeRdpClipboard : public QObject {
    Q_OBJECT

private slots:
    void textForRemoteIsTerminatedUtf16WithCrLf();
    void textFromRemoteStopsAtTheTerminator();
    void ansiTextFromRemoteIsChinesePage();
    void readyRemoteGetsCapabilitiesThenTheLocalFormats();
    void remoteAsksAndGetsTheCachedText();
    void remoteTextIsFetchedOnlyWhenPasted();
    void sizesBeyondTheLimitNeitherWay();
    void nothingIsSentBeforeReadyOrWhenStopped();
};

void FreeRdpClipboard::textForRemoteIsTerminatedUtf16WithCrLf() {
    QCOMPARE(UnicodeTextForRemote(QString()), Bytes({0, 0}));
    QCOMPARE(UnicodeTextForRemote(QStringLiteral("a")), Bytes({'a', 0, 0, 0}));
    // LF becomes CR LF; an existing CR LF is not doubled; a lone CR stays.
    QCOMPARE(UnicodeTextForRemote(QStringLiteral("a\nb\r\nc\r")),
             Bytes({'a', 0, '\r', 0, '\n', 0, 'b', 0, '\r', 0, '\n', 0, 'c', 0, '\r', 0, 0, 0}));
    // Little-endian units, characters outside the BMP as a surrogate pair.
    QCOMPARE(UnicodeTextForRemote(QString::fromUtf8("中\U0001F600")),
             Bytes({0x2D, 0x4E, 0x3D, 0xD8, 0x00, 0xDE, 0, 0}));
}

void FreeRdpClipboard::textFromRemoteStopsAtTheTerminator() {
    QCOMPARE(UnicodeTextFromRemote(QByteArray()), QString());
    QCOMPARE(UnicodeTextFromRemote(Bytes({0, 0})), QString());
    // What follows the terminator (Windows sends the whole buffer) is not text.
    QCOMPARE(UnicodeTextFromRemote(Bytes({'o', 0, 'k', 0, 0, 0, 'x', 0})), QStringLiteral("ok"));
    // No terminator, and a dangling odd byte.
    QCOMPARE(UnicodeTextFromRemote(Bytes({'o', 0, 'k', 0, 'x'})), QStringLiteral("ok"));
    QCOMPARE(UnicodeTextFromRemote(Bytes({'a', 0, '\r', 0, '\n', 0, 'b', 0, '\r', 0, 0, 0})),
             QStringLiteral("a\nb\r"));
    const QString mixed = QString::fromUtf8("行1\n\U0001F600 end");
    QCOMPARE(UnicodeTextFromRemote(UnicodeTextForRemote(mixed)), mixed);
}

void FreeRdpClipboard::ansiTextFromRemoteIsChinesePage() {
    QCOMPARE(AnsiTextFromRemote(Bytes({214, 208, '\r', '\n', 'A', 0, 'z'})),
             QString::fromUtf8("中\nA"));
    QCOMPARE(AnsiTextFromRemote(QByteArray()), QString());
}

void FreeRdpClipboard::readyRemoteGetsCapabilitiesThenTheLocalFormats() {
    Clipboard()->setText(QStringLiteral("local"));
    ClipboardBridge bridge;
    RecordingChannel remote;
    bridge.start();
    bridge.attach(&remote.channel);
    remote.monitorReady();
    const std::vector<Sent> sent = remote.take();
    QCOMPARE(sent.size(), 2u);
    QCOMPARE(sent[0].kind, QStringLiteral("caps"));
    QCOMPARE(sent[0].value, std::uint32_t(CB_USE_LONG_FORMAT_NAMES));
    QCOMPARE(sent[0].count, int(CB_CAPS_VERSION_2));
    QCOMPARE(sent[1].kind, QStringLiteral("formats"));
    QCOMPARE(sent[1].count, 1);
    QCOMPARE(sent[1].value, std::uint32_t(CF_UNICODETEXT));

    // Each local change is announced; an empty clipboard as an empty list.
    Clipboard()->setText(QStringLiteral("changed"));
    Clipboard()->clear();
    const std::vector<Sent> changes = remote.take();
    QCOMPARE(changes.size(), 2u);
    QCOMPARE(changes[0].count, 1);
    QCOMPARE(changes[1].kind, QStringLiteral("formats"));
    QCOMPARE(changes[1].count, 0);
}

void FreeRdpClipboard::remoteAsksAndGetsTheCachedText() {
    ReadyBridge ready(QStringLiteral("first"));
    RecordingChannel& remote = ready.remote;
    Clipboard()->setText(QStringLiteral("two\nlines"));
    remote.take();
    remote.serverWants(CF_UNICODETEXT);
    std::vector<Sent> sent = remote.take();
    QCOMPARE(sent.size(), 1u);
    QCOMPARE(sent[0].kind, QStringLiteral("data"));
    QCOMPARE(sent[0].value, std::uint32_t(CB_RESPONSE_OK));
    QCOMPARE(sent[0].data, UnicodeTextForRemote(QStringLiteral("two\r\nlines")));
    // A format that was not offered is refused, not answered with something else.
    remote.serverWants(CF_DIB);
    sent = remote.take();
    QCOMPARE(sent.size(), 1u);
    QCOMPARE(sent[0].value, std::uint32_t(CB_RESPONSE_FAIL));
}

void FreeRdpClipboard::remoteTextIsFetchedOnlyWhenPasted() {
    ReadyBridge ready(QStringLiteral("before"));
    RecordingChannel& remote = ready.remote;
    QSignalSpy changes(Clipboard(), &QClipboard::dataChanged);

    // An offer is acknowledged and puts only its format on the local clipboard; a flood of
    // offers puts it there once, and none is offered back.
    for (int i = 0; i < 1000; ++i) {
        remote.serverFormats({CF_TEXT, 0xC0A1, CF_UNICODETEXT});
    }
    QCOMPARE(remote.kinds(), QStringList(1000, QStringLiteral("listAnswer")));
    QTRY_COMPARE(changes.size(), 1);
    QCoreApplication::processEvents();
    QCOMPARE(changes.size(), 1);
    QCOMPARE(Clipboard()->mimeData()->formats(), QStringList{QStringLiteral("text/plain")});
    QCOMPARE(remote.kinds(), QStringList());

    // A paste asks for Unicode text (preferred over 8-bit text), once.
    remote.answerWith(UnicodeTextForRemote(QString::fromUtf8("远程\r\n\U0001F600")));
    QCOMPARE(Clipboard()->text(), QString::fromUtf8("远程\n\U0001F600"));
    // Other programs get it as bytes (UTF-8), from the same single fetch.
    QCOMPARE(Clipboard()->mimeData()->data(QStringLiteral("text/plain")),
             QString::fromUtf8("远程\n\U0001F600").toUtf8());
    const std::vector<Sent> sent = remote.take();
    QCOMPARE(sent.size(), 1u);
    QCOMPARE(sent[0].kind, QStringLiteral("request"));
    QCOMPARE(sent[0].value, std::uint32_t(CF_UNICODETEXT));
    // The remote side's own text is not what this side offers when asked.
    remote.serverWants(CF_UNICODETEXT);
    QCOMPARE(remote.take().at(0).value, std::uint32_t(CB_RESPONSE_FAIL));

    // Only 8-bit text on offer: the Chinese code page.
    remote.serverFormats({CF_TEXT});
    QTRY_COMPARE(changes.size(), 2);
    remote.answerWith(Bytes({214, 208, 0}));
    QCOMPARE(Clipboard()->text(), QString::fromUtf8("中"));
    // An answer beyond the limit: the paste gets nothing, and the next offer works.
    remote.serverFormats({CF_UNICODETEXT});
    QTRY_COMPARE(changes.size(), 3);
    remote.answerWith(QByteArray(ClipboardBridge::MaxDataBytes + 2, 'a'));
    QCOMPARE(Clipboard()->text(), QString());
    QVERIFY(ready.bridge.running());
    // No text on offer: acknowledged, the local clipboard left as it was.
    remote.take();
    remote.serverFormats({CF_DIB});
    QCOMPARE(remote.kinds(), QStringList{QStringLiteral("listAnswer")});
    QCoreApplication::processEvents();
    QCOMPARE(changes.size(), 3);

    // A local copy after that is announced again; the session's end withdraws an offer.
    Clipboard()->setText(QStringLiteral("mine"));
    QCOMPARE(remote.kinds(), QStringList{QStringLiteral("formats")});
    remote.serverFormats({CF_UNICODETEXT});
    QTRY_COMPARE(changes.size(), 5);
    ready.bridge.stop();
    QCOMPARE(Clipboard()->text(), QString());
}

void FreeRdpClipboard::sizesBeyondTheLimitNeitherWay() {
    // Local text beyond the limit is not offered, and not sent when asked all the same.
    ReadyBridge ready(QString(ClipboardBridge::MaxDataBytes / 2 + 1, QLatin1Char('x')));
    RecordingChannel& remote = ready.remote;
    Clipboard()->setText(QString(ClipboardBridge::MaxDataBytes / 2, QLatin1Char('y')));
    const std::vector<Sent> announced = remote.take();
    QCOMPARE(announced.size(), 1u);
    QCOMPARE(announced[0].count, 0);
    remote.serverWants(CF_UNICODETEXT);
    QCOMPARE(remote.take().at(0).value, std::uint32_t(CB_RESPONSE_FAIL));

    // A remote message announced larger than the limit is dropped piece by piece, and the
    // pieces of the next one pass.
    const std::size_t big = ClipboardBridge::MaxDataBytes + 9;
    const unsigned char list[] = {CB_FORMAT_LIST, 0, 0, 0};
    ClipboardBridge& b = ready.bridge;
    QVERIFY(!b.passFromRemote(list, sizeof list, CHANNEL_FLAG_FIRST, big));
    QVERIFY(!b.passFromRemote(list, sizeof list, 0, big));
    QVERIFY(!b.passFromRemote(list, sizeof list, CHANNEL_FLAG_LAST, big));
    QVERIFY(b.passFromRemote(list, sizeof list, CHANNEL_FLAG_FIRST, 1000));
    QVERIFY(b.passFromRemote(list, sizeof list, CHANNEL_FLAG_LAST, 1000));
    QVERIFY(b.passFromRemote(list, sizeof list, CHANNEL_FLAG_FIRST | CHANNEL_FLAG_LAST,
                             ClipboardBridge::MaxDataBytes + 8));
}

void FreeRdpClipboard::nothingIsSentBeforeReadyOrWhenStopped() {
    ClipboardBridge bridge;
    RecordingChannel remote;
    bridge.start();
    bridge.attach(&remote.channel);
    Clipboard()->setText(QStringLiteral("too early")); // the remote side is not ready
    QCOMPARE(remote.kinds(), QStringList());
    remote.monitorReady();
    QCOMPARE(remote.kinds(), (QStringList{QStringLiteral("caps"), QStringLiteral("formats")}));

    bridge.stop();
    Clipboard()->setText(QStringLiteral("after the end"));
    remote.serverFormats({CF_UNICODETEXT});
    remote.serverWants(CF_UNICODETEXT);
    QCOMPARE(remote.kinds(), QStringList());

    // A detached channel (the link went down) is not written to; a new one starts over.
    bridge.start();
    bridge.detach();
    Clipboard()->setText(QStringLiteral("while down"));
    QCOMPARE(remote.kinds(), QStringList());
    RecordingChannel again;
    bridge.attach(&again.channel);
    again.monitorReady();
    const std::vector<Sent> sent = again.take();
    QCOMPARE(sent.size(), 2u);
    QCOMPARE(sent[1].count, 1); // the text copied while the link was down
}

QTEST_MAIN(FreeRdpClipboard)
#include "tst_FreeRdpClipboard.moc"
