// The remote pointer's shape as a cursor: row order, colours, transparency, hot spot.
#include "session/freerdp/handoff/PointerHandOff.h"
#include "session/freerdp/link/RemotePointer.h"

#include <QTest>

#include <atomic>
#include <thread>
#include <vector>

using namespace rdp::freerdp;

namespace {

// A pointer as the server sends it: XOR rows bottom-up, each padded to an even length;
// AND mask one bit per pixel, rows padded to an even number of bytes.
struct WirePointer {
    std::vector<BYTE> xorMask;
    std::vector<BYTE> andMask;
    rdpPointer pointer{};

    WirePointer(int w, int h, int bpp, int hotX, int hotY) {
        pointer.width = static_cast<UINT32>(w);
        pointer.height = static_cast<UINT32>(h);
        pointer.xorBpp = static_cast<UINT32>(bpp);
        pointer.xPos = static_cast<UINT32>(hotX);
        pointer.yPos = static_cast<UINT32>(hotY);
        const int xorStep = (w * bpp / 8 + 1) / 2 * 2;
        const int andStep = ((w + 7) / 8 + 1) / 2 * 2;
        xorMask.assign(static_cast<std::size_t>(xorStep * h), 0);
        andMask.assign(static_cast<std::size_t>(andStep * h), 0);
        xorStep_ = xorStep;
        andStep_ = andStep;
        seal();
    }
    // (x, y) on screen, y from the top.
    void setPixel(int x, int y, QRgb argb, bool andBit) {
        const int row = static_cast<int>(pointer.height) - 1 - y;
        BYTE* p = &xorMask[static_cast<std::size_t>(row * xorStep_ + x * bytes())];
        p[0] = static_cast<BYTE>(qBlue(argb));
        p[1] = static_cast<BYTE>(qGreen(argb));
        p[2] = static_cast<BYTE>(qRed(argb));
        if (bytes() == 4) {
            p[3] = static_cast<BYTE>(qAlpha(argb));
        }
        BYTE& a = andMask[static_cast<std::size_t>(row * andStep_ + x / 8)];
        const BYTE bit = static_cast<BYTE>(0x80 >> (x % 8));
        a = andBit ? static_cast<BYTE>(a | bit) : static_cast<BYTE>(a & ~bit);
    }
    void seal() {
        pointer.xorMaskData = xorMask.data();
        pointer.lengthXorMask = static_cast<UINT32>(xorMask.size());
        pointer.andMaskData = andMask.data();
        pointer.lengthAndMask = static_cast<UINT32>(andMask.size());
    }

private:
    int bytes() const { return static_cast<int>(pointer.xorBpp) / 8; }
    int xorStep_ = 0;
    int andStep_ = 0;
};

} // namespace

class FreeRdpCursor : public QObject {
    Q_OBJECT

private slots:
    void colourPointerRowsColoursAndMask();
    void alphaPointerKeepsItsAlpha();
    void hotSpotStaysInside();
    void brokenPointersGiveTheDefaultCursor();
    void handOffKeepsTheLatestWithOneNotice();
};

void FreeRdpCursor::colourPointerRowsColoursAndMask() {
    // 3 x 2, 24 bits: top row red, green, blue (opaque); bottom row black under the AND
    // mask (transparent), then white without it (opaque white).
    WirePointer w(3, 2, 24, 1, 0);
    w.setPixel(0, 0, qRgb(255, 0, 0), false);
    w.setPixel(1, 0, qRgb(0, 255, 0), false);
    w.setPixel(2, 0, qRgb(0, 0, 255), false);
    w.setPixel(0, 1, qRgb(0, 0, 0), true);
    w.setPixel(1, 1, qRgb(0, 0, 0), true);
    w.setPixel(2, 1, qRgb(255, 255, 255), false);
    const RemoteCursor c = CursorFromPointer(w.pointer, nullptr);
    QCOMPARE(c.kind, RemoteCursor::Kind::Image);
    QCOMPARE(c.image.size(), QSize(3, 2));
    QCOMPARE(c.image.format(), QImage::Format_ARGB32);
    QCOMPARE(c.image.pixel(0, 0), qRgba(255, 0, 0, 255));
    QCOMPARE(c.image.pixel(1, 0), qRgba(0, 255, 0, 255));
    QCOMPARE(c.image.pixel(2, 0), qRgba(0, 0, 255, 255));
    QCOMPARE(qAlpha(c.image.pixel(0, 1)), 0);
    QCOMPARE(qAlpha(c.image.pixel(1, 1)), 0);
    QCOMPARE(c.image.pixel(2, 1), qRgba(255, 255, 255, 255));
    QCOMPARE(c.hotSpot, QPoint(1, 0));
}

void FreeRdpCursor::alphaPointerKeepsItsAlpha() {
    WirePointer w(2, 2, 32, 0, 1);
    w.setPixel(0, 0, qRgba(10, 20, 30, 128), false);
    w.setPixel(1, 1, qRgba(200, 100, 50, 255), false);
    const RemoteCursor c = CursorFromPointer(w.pointer, nullptr);
    QCOMPARE(c.kind, RemoteCursor::Kind::Image);
    QCOMPARE(c.image.pixel(0, 0), qRgba(10, 20, 30, 128)); // not premultiplied
    QCOMPARE(qAlpha(c.image.pixel(1, 0)), 0);
    QCOMPARE(c.image.pixel(1, 1), qRgba(200, 100, 50, 255));
    QCOMPARE(c.hotSpot, QPoint(0, 1));
}

void FreeRdpCursor::hotSpotStaysInside() {
    WirePointer w(32, 32, 24, 31, 31);
    QCOMPARE(CursorFromPointer(w.pointer, nullptr).hotSpot, QPoint(31, 31));
    w.pointer.xPos = 40;
    w.pointer.yPos = 32;
    QCOMPARE(CursorFromPointer(w.pointer, nullptr).hotSpot, QPoint(31, 31));
}

void FreeRdpCursor::brokenPointersGiveTheDefaultCursor() {
    WirePointer empty(0, 0, 24, 0, 0);
    QCOMPARE(CursorFromPointer(empty.pointer, nullptr).kind, RemoteCursor::Kind::Default);
    WirePointer shortMask(16, 16, 24, 0, 0);
    shortMask.pointer.lengthXorMask -= 2;
    QCOMPARE(CursorFromPointer(shortMask.pointer, nullptr).kind, RemoteCursor::Kind::Default);
    WirePointer noData(16, 16, 24, 0, 0);
    noData.pointer.xorMaskData = nullptr;
    noData.pointer.lengthXorMask = 0;
    QCOMPARE(CursorFromPointer(noData.pointer, nullptr).kind, RemoteCursor::Kind::Default);
    WirePointer paletted(8, 8, 8, 0, 0); // 8 bits without a palette
    QCOMPARE(CursorFromPointer(paletted.pointer, nullptr).kind, RemoteCursor::Kind::Default);
}

void FreeRdpCursor::handOffKeepsTheLatestWithOneNotice() {
    PointerHandOff handOff;
    const auto shape = [](int side) {
        return RemoteCursor{
            RemoteCursor::Kind::Image, QImage(side, side, QImage::Format_ARGB32), {}};
    };
    // The first change asks for a notice; later ones only replace what waits.
    QVERIFY(handOff.setShape(shape(8)));
    QVERIFY(!handOff.setPosition({1, 2}));
    QVERIFY(!handOff.setShape(shape(16)));
    QVERIFY(!handOff.setPosition({3, 4}));
    PointerHandOff::Pending pending = handOff.take();
    QCOMPARE(pending.shape->image.width(), 16);
    QCOMPARE(*pending.position, QPoint(3, 4));
    pending = handOff.take();
    QVERIFY(!pending.shape && !pending.position);
    QVERIFY(handOff.setPosition({5, 6}));
    QVERIFY(!handOff.take().shape);

    // A flood from another thread: never more notices than the GUI took, and what is left
    // at the end is the flood's last position.
    std::atomic<int> notices{0};
    std::atomic<bool> flooded{false};
    std::thread flood([&] {
        for (int i = 0; i < 20000; ++i) {
            notices += handOff.setShape(shape(32)) ? 1 : 0;
            notices += handOff.setPosition({i, i}) ? 1 : 0;
        }
        flooded = true;
    });
    int takes = 0;
    bool second = false;
    QPoint last;
    for (bool done = false; !done; ++takes) {
        done = flooded.load(); // the last take comes after the flood
        second = second || notices.load() > takes + 1;
        if (const auto p = handOff.take().position) {
            last = *p;
        }
    }
    flood.join();
    QVERIFY(!second);
    QCOMPARE(last, QPoint(19999, 19999));
}

QTEST_MAIN(FreeRdpCursor)
#include "tst_FreeRdpCursor.moc"
