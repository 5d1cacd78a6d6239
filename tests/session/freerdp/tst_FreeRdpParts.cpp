// The FreeRDP control's thread-shared parts: the frame store, the watchdog and the
// certificate dialog.
#include "session/freerdp/CertificateDialog.h"
#include "session/freerdp/FrameStore.h"
#include "session/freerdp/Watchdog.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>
#include <QTest>

#include <atomic>
#include <thread>
#include <vector>

using namespace rdp::freerdp;

class FreeRdpParts : public QObject {
    Q_OBJECT

private slots:
    void frameStoreCopiesChangedRectanglesOnly();
    void frameStoreSendsOneNoticeUntilTaken();
    void frameStoreUnderConcurrentPainting();
    void watchdogFiresOnceAndNotWhenDisarmedOrPaused();
    void unknownCertificateDialog();
    void changedCertificateDialogDefaultsToCancel();
    void askRepliesOnceWhenClosed();
};

namespace {

// A BGRX buffer where every pixel holds `value`.
std::vector<unsigned char> Buffer(int w, int h, QRgb value) {
    std::vector<unsigned char> b(static_cast<std::size_t>(w * h * 4));
    for (std::size_t i = 0; i < b.size(); i += 4) {
        b[i] = static_cast<unsigned char>(qBlue(value));
        b[i + 1] = static_cast<unsigned char>(qGreen(value));
        b[i + 2] = static_cast<unsigned char>(qRed(value));
        b[i + 3] = 0xFF;
    }
    return b;
}

} // namespace

void FreeRdpParts::frameStoreCopiesChangedRectanglesOnly() {
    FrameStore store;
    store.resize(64, 32);
    QVERIFY(!store.hasFrame());
    QCOMPARE(store.takeChanged(), QRegion(0, 0, 64, 32)); // a new size repaints everything
    const auto red = Buffer(64, 32, qRgb(255, 0, 0));
    const QRect rects[] = {QRect(2, 3, 4, 5), QRect(60, 30, 10, 10)}; // the second overhangs
    QVERIFY(store.copyFrom(red.data(), 64 * 4, rects, 2));
    QVERIFY(store.hasFrame());
    const QImage picture = store.snapshot();
    QCOMPARE(picture.pixel(2, 3), qRgb(255, 0, 0));
    QCOMPARE(picture.pixel(5, 7), qRgb(255, 0, 0));
    QCOMPARE(picture.pixel(6, 3), qRgb(0, 0, 0));
    QCOMPARE(picture.pixel(63, 31), qRgb(255, 0, 0));
    QCOMPARE(store.takeChanged(), QRegion(2, 3, 4, 5) + QRegion(60, 30, 4, 2));
}

void FreeRdpParts::frameStoreSendsOneNoticeUntilTaken() {
    FrameStore store;
    store.resize(16, 16);
    store.takeChanged();
    const auto blue = Buffer(16, 16, qRgb(0, 0, 255));
    const QRect a(0, 0, 2, 2);
    const QRect b(8, 8, 2, 2);
    QVERIFY(store.copyFrom(blue.data(), 64, &a, 1));
    QVERIFY(!store.copyFrom(blue.data(), 64, &b, 1)); // one notice is outstanding
    QCOMPARE(store.takeChanged(), QRegion(a) + QRegion(b));
    const QRect none(20, 20, 2, 2);
    QVERIFY(!store.copyFrom(blue.data(), 64, &none, 1)); // nothing changed: no notice
    QVERIFY(store.copyFrom(blue.data(), 64, &a, 1));
}

void FreeRdpParts::frameStoreUnderConcurrentPainting() {
    FrameStore store;
    store.resize(200, 100);
    std::atomic<bool> stop{false};
    std::thread painter([&] {
        QImage target(200, 100, QImage::Format_RGB32);
        while (!stop) {
            QPainter p(&target);
            store.paint(p, store.takeChanged() + QRegion(0, 0, 200, 100));
        }
    });
    for (int i = 0; i < 200; ++i) {
        const auto buffer = Buffer(200 + i % 7, 100 + i % 5, qRgb(i, i, i));
        store.resize(200 + i % 7, 100 + i % 5);
        const QRect all(0, 0, 200 + i % 7, 100 + i % 5);
        store.copyFrom(buffer.data(), (200 + i % 7) * 4, &all, 1);
    }
    stop = true;
    painter.join();
    QCOMPARE(store.snapshot().pixel(0, 0), qRgb(199, 199, 199));
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
