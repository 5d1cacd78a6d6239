// The FreeRDP control's thread-shared parts: the frame store, the watchdog, the reply waker
// and the certificate dialog.
#include "session/freerdp/control/CertificateDialog.h"
#include "session/freerdp/handoff/FrameStore.h"
#include "session/freerdp/link/ReplyWaker.h"
#include "session/freerdp/link/Watchdog.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <thread>
#include <vector>

#include <sys/shm.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cerrno>

using namespace rdp::freerdp;

class FreeRdpParts : public QObject {
    Q_OBJECT

private slots:
    void frameStoreMarksChangedRectanglesOnly();
    void frameStoreSendsOneNoticeUntilTaken();
    void frameStoreUnderConcurrentPainting();
    void frameStoreSharedPicturesLeaveNoSegment();
    void watchdogFiresOnceAndNotWhenDisarmedOrPaused();
    void replyWakerEndsSleepsOnlyWhileWatching();
    void unknownCertificateDialog();
    void changedCertificateDialogDefaultsToCancel();
    void askRepliesOnceWhenClosed();
};

namespace {

// Draws `value` into the rectangle of a 32-bit BGRX canvas, as the library does.
void Fill(const FrameStore::Canvas& canvas, const QRect& r, QRgb value) {
    for (int y = r.top(); y <= r.bottom(); ++y) {
        auto* line =
            reinterpret_cast<QRgb*>(canvas.bits + static_cast<std::size_t>(y) * canvas.stride);
        std::fill(line + r.left(), line + r.right() + 1, value | 0xFF000000);
    }
}

FrameStore::Canvas Resize(FrameStore& store, int w, int h) {
    store.beginDrawing();
    const FrameStore::Canvas canvas = store.prepareResize(w, h);
    store.commitResize();
    store.endDrawing(nullptr, 0);
    return canvas;
}

} // namespace

void FreeRdpParts::frameStoreMarksChangedRectanglesOnly() {
    FrameStore store;
    const FrameStore::Canvas canvas = Resize(store, 64, 32);
    QCOMPARE(canvas.stride, 64u * 4);
    QVERIFY(!store.hasFrame());
    QCOMPARE(store.takeChanged(), QRegion(0, 0, 64, 32)); // a new size repaints everything
    const QRect rects[] = {QRect(2, 3, 4, 5), QRect(60, 30, 10, 10)}; // the second overhangs
    store.beginDrawing();
    Fill(canvas, rects[0], qRgb(255, 0, 0));
    Fill(canvas, rects[1].intersected(QRect(0, 0, 64, 32)), qRgb(255, 0, 0));
    QVERIFY(store.endDrawing(rects, 2));
    QVERIFY(store.hasFrame());
    const QImage picture = store.snapshot();
    QCOMPARE(picture.pixel(2, 3), qRgb(255, 0, 0));
    QCOMPARE(picture.pixel(6, 3), qRgb(0, 0, 0));
    QCOMPARE(picture.pixel(63, 31), qRgb(255, 0, 0));
    QCOMPARE(store.takeChanged(), QRegion(2, 3, 4, 5) + QRegion(60, 30, 4, 2));

    // A prepared picture the library did not take is dropped; the old one stays.
    store.beginDrawing();
    QVERIFY(store.prepareResize(8, 8).bits);
    QVERIFY(!store.prepareResize(0, 8).bits);
    QVERIFY(!store.endDrawing(nullptr, 0));
    QCOMPARE(store.snapshot(), picture);
}

void FreeRdpParts::frameStoreSendsOneNoticeUntilTaken() {
    FrameStore store;
    Resize(store, 16, 16);
    store.takeChanged();
    const QRect a(0, 0, 2, 2);
    const QRect b(8, 8, 2, 2);
    store.beginDrawing();
    store.beginDrawing(); // the same thread may take the picture again
    QVERIFY(store.endDrawing(&a, 1));
    QVERIFY(!store.endDrawing(&b, 1)); // one notice is outstanding
    QCOMPARE(store.takeChanged(), QRegion(a) + QRegion(b));
    const QRect none(20, 20, 2, 2);
    store.beginDrawing();
    QVERIFY(!store.endDrawing(&none, 1)); // nothing changed: no notice
    store.beginDrawing();
    QVERIFY(store.endDrawing(&a, 1));
}

void FreeRdpParts::frameStoreUnderConcurrentPainting() {
    FrameStore store;
    Resize(store, 200, 100);
    std::atomic<bool> stop{false};
    std::thread painter([&] {
        QImage target(210, 110, QImage::Format_RGB32);
        while (!stop) {
            QPainter p(&target);
            store.paint(p, store.takeChanged() + QRegion(0, 0, 210, 110));
        }
    });
    for (int i = 0; i < 200; ++i) {
        const QRect all(0, 0, 200 + i % 7, 100 + i % 5);
        store.beginDrawing();
        const FrameStore::Canvas canvas = store.prepareResize(all.width(), all.height());
        store.commitResize();
        Fill(canvas, all, qRgb(i, i, i));
        store.endDrawing(&all, 1);
    }
    stop = true;
    painter.join();
    QCOMPARE(store.snapshot().pixel(0, 0), qRgb(199, 199, 199));
    QCOMPARE(store.size(), QSize(203, 104));
}

namespace {

int SharedSegment(const FrameStore& store) {
    int segment = -1;
    store.paintShared([&](const QImage&, int s) { return (segment = s), true; });
    return segment;
}

bool SegmentExists(int segment) {
    shmid_ds facts{};
    return shmctl(segment, IPC_STAT, &facts) == 0;
}

} // namespace

// Shared pictures hold their pixels in a segment the X server may attach; every picture the
// store lets go (replaced, never taken, cleared) gives its segment back to the system.
void FreeRdpParts::frameStoreSharedPicturesLeaveNoSegment() {
    FrameStore store;
    store.setShared(true);
    const FrameStore::Canvas canvas = Resize(store, 64, 32);
    const int first = SharedSegment(store);
    QVERIFY(first >= 0);
    QVERIFY(SegmentExists(first));
    store.beginDrawing();
    Fill(canvas, QRect(1, 1, 2, 2), qRgb(0, 0, 255));
    const QRect drawn(1, 1, 2, 2);
    store.endDrawing(&drawn, 1);
    QCOMPARE(store.snapshot().pixel(1, 1), qRgb(0, 0, 255));

    store.beginDrawing();
    QVERIFY(store.prepareResize(16, 16).bits); // not taken: dropped with its segment
    store.endDrawing(nullptr, 0);
    QCOMPARE(SharedSegment(store), first);
    Resize(store, 32, 32);
    const int second = SharedSegment(store);
    QVERIFY(second >= 0 && second != first);
    QVERIFY(!SegmentExists(first));
    store.clear();
    QVERIFY(!SegmentExists(second));
    QCOMPARE(SharedSegment(store), -1);
}

void FreeRdpParts::watchdogFiresOnceAndNotWhenDisarmedOrPaused() {
    std::atomic<int> fired{0};
    Watchdog dog([&] { ++fired; });
    dog.arm(std::chrono::milliseconds(50));
    QTRY_COMPARE(fired.load(), 1);
    QTest::qWait(150);
    QCOMPARE(fired.load(), 1);

    dog.arm(std::chrono::milliseconds(80));
    dog.disarm();
    QTest::qWait(200);
    QCOMPARE(fired.load(), 1);

    // A question is open: the clock stands still until it is answered.
    dog.arm(std::chrono::milliseconds(80));
    dog.pause();
    QTest::qWait(250);
    QCOMPARE(fired.load(), 1);
    dog.resume();
    QTRY_COMPARE(fired.load(), 2);
}

namespace {

CertificateQuestion Question(bool changed) {
    CertificateQuestion q;
    q.host = QStringLiteral("server.example");
    q.port = 3389;
    q.commonName = QStringLiteral("server");
    q.issuer = QStringLiteral("CN = server");
    q.fingerprint = QStringLiteral("aa:bb:cc");
    q.changed = changed;
    q.oldFingerprint = changed ? QStringLiteral("11:22:33") : QString();
    return q;
}

QPushButton* Button(QWidget* dialog, const char* name) {
    return dialog->findChild<QPushButton*>(QString::fromLatin1(name));
}

} // namespace

// The connecting thread's sleep ends once the watched socket has data; its blocking reads are
// not broken by the signals; after stop() nothing interrupts it.
void FreeRdpParts::replyWakerEndsSleepsOnlyWhileWatching() {
    int link[2];
    int other[2];
    QCOMPARE(socketpair(AF_UNIX, SOCK_STREAM, 0, link), 0);
    QCOMPARE(socketpair(AF_UNIX, SOCK_STREAM, 0, other), 0);
    std::atomic<bool> sleeping{false};
    bool sleepEnded = false;
    ssize_t readWhileWoken = -1;
    bool quietAfterStop = false;
    std::thread connecting([&] {
        ReplyWaker waker;
        waker.start({link[0]});
        sleeping = true;
        sleepEnded = usleep(5'000'000) == -1 && errno == EINTR;
        char byte = 0;
        readWhileWoken = read(other[0], &byte, 1); // the link stays readable: signals go on
        waker.stop();
        quietAfterStop = usleep(50'000) == 0;
    });
    QVERIFY(QTest::qWaitFor([&] { return sleeping.load(); }, 2000));
    QCOMPARE(write(link[1], "x", 1), ssize_t{1});
    QTest::qWait(30);
    QCOMPARE(write(other[1], "y", 1), ssize_t{1});
    connecting.join();
    QVERIFY(sleepEnded);
    QCOMPARE(readWhileWoken, ssize_t{1});
    QVERIFY(quietAfterStop);
    for (const int fd : {link[0], link[1], other[0], other[1]}) {
        close(fd);
    }
}

void FreeRdpParts::unknownCertificateDialog() {
    CertificateDialog dialog(nullptr, Question(false));
    const QString text = dialog.findChild<QLabel*>(QStringLiteral("certificateText"))->text();
    QVERIFY(text.contains(QStringLiteral("server.example:3389")));
    QVERIFY(text.contains(QStringLiteral("aa:bb:cc")));
    QCOMPARE(Button(&dialog, "acceptOnce")->text(), QStringLiteral("仅此次接受"));
    QCOMPARE(Button(&dialog, "acceptAlways")->text(), QStringLiteral("始终接受"));
    QCOMPARE(Button(&dialog, "cancel")->text(), QStringLiteral("取消"));
    QVERIFY(Button(&dialog, "acceptOnce")->isDefault());
    Button(&dialog, "acceptAlways")->click();
    QCOMPARE(dialog.answer(), CertificateAnswer::AcceptAlways);
    QCOMPARE(dialog.result(), int(QDialog::Accepted));
}

void FreeRdpParts::changedCertificateDialogDefaultsToCancel() {
    CertificateDialog dialog(nullptr, Question(true));
    const QString text = dialog.findChild<QLabel*>(QStringLiteral("certificateText"))->text();
    QVERIFY(text.contains(QStringLiteral("警告")));
    QVERIFY(text.contains(QStringLiteral("11:22:33")));
    QVERIFY(text.contains(QStringLiteral("aa:bb:cc")));
    QVERIFY(Button(&dialog, "cancel")->isDefault());
    QVERIFY(!Button(&dialog, "acceptOnce")->isDefault());
    dialog.show();
    QTest::keyClick(&dialog, Qt::Key_Return); // Enter takes the default: cancel
    QCOMPARE(dialog.answer(), CertificateAnswer::Reject);
    QCOMPARE(dialog.result(), int(QDialog::Rejected));
}

void FreeRdpParts::askRepliesOnceWhenClosed() {
    QWidget owner;
    QList<CertificateAnswer> answers;
    QPointer<QWidget> dialog =
        CertificateDialog::Ask(&owner, Question(false), [&](CertificateAnswer a) { answers << a; });
    QVERIFY(dialog);
    QVERIFY(dialog->isVisible());
    QCOMPARE(dialog->parentWidget(), &owner);
    dialog->close(); // the session window goes: the question counts as cancelled
    QCOMPARE(answers, QList<CertificateAnswer>{CertificateAnswer::Reject});
    QTRY_VERIFY(dialog.isNull()); // deleted on close
    QCOMPARE(answers.size(), 1);
}

QTEST_MAIN(FreeRdpParts)
#include "tst_FreeRdpParts.moc"
