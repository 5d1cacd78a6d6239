// The remote screen drawn straight from the picture's shared pixels on a real X display.
#include "session/freerdp/control/ScreenBlit.h"
#include "session/freerdp/handoff/FrameStore.h"

#include <QTest>
#include <QWidget>
#include <qguiapplication_platform.h>

#include <X11/Xlib.h>
#include <X11/Xutil.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

using namespace rdp::freerdp;

class FreeRdpScreen : public QObject {
    Q_OBJECT

private slots:
    void framePutIsReadBeforeTheNextIsDrawn();
};

namespace {

constexpr int kSide = 64;
constexpr std::uint32_t kRed = 0xff0000, kBlue = 0x0000ff;

// The library's drawing of a whole frame of one colour.
void DrawFrame(FrameStore& store, FrameStore::Canvas canvas, std::uint32_t colour) {
    const QRect all(0, 0, kSide, kSide);
    store.beginDrawing();
    std::fill_n(reinterpret_cast<std::uint32_t*>(canvas.bits), kSide * kSide, colour);
    store.endDrawing(&all, 1);
}

} // namespace

// Another client holds the X server (it handles no request of the program's) while the
// program shows a red frame and the library then draws a blue one; the server lets go
// once the blue frame is drawn, or after a while when drawing cannot start. The window
// must show the red frame: the pixels never changed before the server had read them.
void FreeRdpScreen::framePutIsReadBeforeTheNextIsDrawn() {
    QVERIFY(ScreenBlit::Available());
    FrameStore store;
    store.setShared(true);
    store.beginDrawing();
    const FrameStore::Canvas canvas = store.prepareResize(kSide, kSide);
    store.commitResize();
    store.endDrawing(nullptr, 0);
    QWidget window;
    window.setAttribute(Qt::WA_NativeWindow);
    window.setFixedSize(kSide, kSide);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    ScreenBlit blit(&window);
    const auto show = [&] {
        return store.paintShared([&](const QImage& picture, int segment) {
            return blit.put(picture, segment, QRegion(picture.rect()), {});
        });
    };
    QVERIFY(show()); // attaches the segment

    DrawFrame(store, canvas, kRed);
    Display* other = XOpenDisplay(nullptr);
    QVERIFY(other != nullptr);
    XGrabServer(other);
    XSync(other, False);
    std::mutex m;
    std::condition_variable cv;
    bool blueDrawn = false;
    std::thread holder([&] {
        std::unique_lock lock(m);
        cv.wait_for(lock, std::chrono::milliseconds(300), [&] { return blueDrawn; });
        XUngrabServer(other);
        XFlush(other);
    });
    const bool shown = show();
    DrawFrame(store, canvas, kBlue);
    {
        std::lock_guard lock(m);
        blueDrawn = true;
    }
    cv.notify_one();
    holder.join();
    blit.flush();
    XSync(qGuiApp->nativeInterface<QNativeInterface::QX11Application>()->display(), False);
    XImage* seen = XGetImage(other, window.winId(), 0, 0, kSide, kSide, AllPlanes, ZPixmap);
    const unsigned long pixel = seen != nullptr ? XGetPixel(seen, kSide / 2, kSide / 2) : 0;
    if (seen != nullptr) {
        XDestroyImage(seen);
    }
    XCloseDisplay(other);
    QVERIFY(shown);
    QCOMPARE(pixel & 0xffffffu, static_cast<unsigned long>(kRed));
}

QTEST_MAIN(FreeRdpScreen)
#include "tst_FreeRdpScreen.moc"
