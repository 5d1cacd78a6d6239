// The control against a server that misbehaves (tests/e2e/hostile_peer.cpp): whatever the
// server sends, the client stays within its memory bound and ends cleanly or carries on.
#include "session/SessionMessages.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/SessionHarness.h"

#include <QClipboard>
#include <QFile>
#include <QGuiApplication>
#include <QMimeData>
#include <QProcess>
#include <QScrollBar>
#include <QTest>

#include <memory>

using rdp::test::SessionHarness;

namespace {

// A 1024×768 session stays below this whatever the server sends.
constexpr qint64 kBoundMb = 200;
// A desktop of 8192×8192, the largest RDP allows, adds its picture of 256 MB.
constexpr qint64 kLargestDesktopBoundMb = kBoundMb + 256;

// Under the address sanitizer memory is the sanitizer's: the figures are printed, not held.
// (GCC names the sanitizer with a macro, clang through __has_feature.)
#if defined(__SANITIZE_ADDRESS__)
constexpr bool kSanitized = true;
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
constexpr bool kSanitized = true;
#else
constexpr bool kSanitized = false;
#endif
#else
constexpr bool kSanitized = false;
#endif

qint64 PeakRssMb() {
    QFile status(QStringLiteral("/proc/self/status"));
    if (!status.open(QIODevice::ReadOnly)) {
        return -1;
    }
    for (const QByteArray& line : status.readAll().split('\n')) {
        if (line.startsWith("VmHWM:")) {
            return line.mid(6).trimmed().split(' ').value(0).toLongLong() / 1024;
        }
    }
    return -1;
}

// The peak is measured from here on.
void ResetPeak() {
    QFile refs(QStringLiteral("/proc/self/clear_refs"));
    if (refs.open(QIODevice::WriteOnly)) {
        refs.write("5");
    }
}

} // namespace

class HostileServer : public rdp::test::E2eCase {
    Q_OBJECT

public:
    HostileServer() : E2eCase(34800) {}

private slots:
    void initTestCase();
    void desktopSizesBeyondTheLimitEndTheSession();
    void pointerFloodStaysFlat();
    void clipboardOfferIsFetchedOnlyOnPasteAndBounded();

private:
    // Starts the peer in `mode`; it listens on a port of its own.
    std::unique_ptr<QProcess> peer(const QStringList& mode);
    bool peerSaid(QProcess& p, const char* line, int milliseconds);
    std::unique_ptr<SessionHarness> connect(bool clipboard = false);
    void checkPeak(const char* what, qint64 boundMb);

    int peers_ = 0;
    QByteArray said_;
};

void HostileServer::initTestCase() {
    QVERIFY(rdp::test::MakeCertificate(work_.path(), QStringLiteral("peer")));
}

std::unique_ptr<QProcess> HostileServer::peer(const QStringList& mode) {
    auto p = std::make_unique<QProcess>();
    p->setProcessChannelMode(QProcess::ForwardedErrorChannel);
    p->start(QStringLiteral(RDP_HOSTILE_PEER),
             QStringList{QString::number(port_ + peers_),
                         work_.filePath(QStringLiteral("peer.crt")),
                         work_.filePath(QStringLiteral("peer.key"))} +
                 mode);
    said_.clear();
    if (!peerSaid(*p, "listening", 10000)) {
        return nullptr;
    }
    return p;
}

bool HostileServer::peerSaid(QProcess& p, const char* line, int milliseconds) {
    return QTest::qWaitFor(
        [&] {
            said_ += p.readAllStandardOutput();
            return said_.contains(line);
        },
        milliseconds);
}

std::unique_ptr<SessionHarness> HostileServer::connect(bool clipboard) {
    auto h = std::make_unique<SessionHarness>();
    h->targetLoopback(port_ + peers_++);
    h->rdp->setRedirectDrives(false);
    h->rdp->setAudioRedirectionMode(2);
    h->rdp->setRedirectClipboard(clipboard);
    h->rdp->setEnableAutoReconnect(false);
    ResetPeak();
    h->rdp->Connect();
    return h;
}

void HostileServer::checkPeak(const char* what, qint64 boundMb) {
    const qint64 peak = PeakRssMb();
    qInfo("%s: peak RSS %lld MB (bound %lld MB)", what, peak, boundMb);
    QVERIFY(peak > 0 && (kSanitized || peak < boundMb));
}

// Above 8192×8192, at connection or by a resize, the session ends with the message naming
// the size, before anything is allocated for it; 8192×8192 itself holds; an empty desktop
// loses the link.
void HostileServer::desktopSizesBeyondTheLimitEndTheSession() {
    struct Row {
        const char* mode;
        int width, height;
    };
    for (const Row row :
         {Row{"connect", 16384, 16384}, Row{"resize", 16384, 16384}, Row{"resize", 32766, 32766}}) {
        auto p = peer({QString::fromLatin1(row.mode), QString::number(row.width),
                       QString::number(row.height)});
        QVERIFY(p);
        auto h = connect();
        QVERIFY(h->waitFor(QStringLiteral("disconnected"), 20000));
        QCOMPARE(h->reason(), 262);
        const QSize refused = h->rdp->RefusedDesktopSize();
        QCOMPARE(refused, QSize(row.width, row.height));
        const QString size = QStringLiteral("%1×%2").arg(row.width).arg(row.height);
        QVERIFY(rdp::DisconnectMessage(262, refused).value_or(QString()).contains(size));
        checkPeak(qPrintable(QStringLiteral("%1 %2").arg(QLatin1String(row.mode), size)), kBoundMb);
    }

    auto largest = peer({QStringLiteral("resize"), QStringLiteral("8192"), QStringLiteral("8192")});
    QVERIFY(largest);
    auto h = connect();
    QVERIFY(peerSaid(*largest, "resized", 20000));
    // The control scrolls over the whole new desktop.
    const auto* bar = h->rdp->findChild<QScrollBar*>(QStringLiteral("rdpHScroll"));
    QVERIFY(bar);
    QTRY_VERIFY_WITH_TIMEOUT(bar->maximum() + bar->pageStep() == 8192, 20000);
    QCOMPARE(h->count(QStringLiteral("disconnected")), 0);
    h->rdp->Disconnect();
    checkPeak("8192×8192", kLargestDesktopBoundMb);

    auto empty = peer({QStringLiteral("resize"), QStringLiteral("0"), QStringLiteral("0")});
    QVERIFY(empty);
    h = connect();
    QVERIFY(h->waitFor(QStringLiteral("disconnected"), 20000));
    QVERIFY(h->reason() != 262 && h->rdp->RefusedDesktopSize().isEmpty());
}

// Pointer shapes and positions as fast as the server can send them: the client keeps only
// the latest, so its memory stays flat and the session stays up.
void HostileServer::pointerFloodStaysFlat() {
    auto p = peer({QStringLiteral("pointers"), QStringLiteral("8")});
    QVERIFY(p);
    auto h = connect();
    QVERIFY(h->waitFor(QStringLiteral("connected"), 20000));
    QVERIFY(peerSaid(*p, "flood done", 30000));
    qInfo("%s", said_.mid(said_.indexOf("flood done")).trimmed().constData());
    QCOMPARE(h->count(QStringLiteral("disconnected")), 0);
    checkPeak("pointer flood", kBoundMb);
}

// An offer of 100 MB of text with odd format names: only the format reaches the local
// clipboard; a paste asks for the text, gets nothing (beyond the limit) and the session
// stays up.
void HostileServer::clipboardOfferIsFetchedOnlyOnPasteAndBounded() {
    auto p = peer({QStringLiteral("clipboard"), QStringLiteral("100")});
    QVERIFY(p);
    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QStringLiteral("local"));
    auto h = connect(true);
    QVERIFY(peerSaid(*p, "offered", 20000));
    QTRY_VERIFY_WITH_TIMEOUT(clipboard->ownsClipboard() &&
                                 clipboard->mimeData()->formats() ==
                                     QStringList{QStringLiteral("text/plain")},
                             10000);
    QTest::qWait(500);
    QVERIFY(!said_.contains("asked"));
    QCOMPARE(clipboard->text(), QString());
    QVERIFY(peerSaid(*p, "asked", 1000));
    QTest::qWait(2000);
    QCOMPARE(h->count(QStringLiteral("disconnected")), 0);
    checkPeak("clipboard", kBoundMb);
}

QTEST_MAIN(HostileServer)
#include "tst_HostileServer.moc"
