#pragma once

#include <QColor>
#include <QPoint>
#include <QRegion>

#include <cstddef>
#include <memory>

class QImage;
class QWidget;

namespace rdp::freerdp {

// Pixels in a shared memory segment that the X server can read straight from. The segment
// is marked for removal at once: it disappears with the last process that has it attached,
// even when the program is killed.
struct SharedPixels {
    unsigned char* bits = nullptr;
    int id = -1;

    // None (bits null) when the system gives no segment of that size.
    static SharedPixels Allocate(std::size_t bytes);
    static void Release(unsigned char* bits);
};

// Draws the remote screen into a control's own X window straight from the picture's shared
// pixels: the X server copies them, the program keeps no second copy of the picture (Qt's
// window buffer) and copies nothing per frame. Only on X11 with the shared memory extension
// and a 24-bit true-colour screen whose pixels are the picture's (32-bit BGRX).
class ScreenBlit {
public:
    // Whether this display can show pictures of shared pixels (checked once).
    static bool Available();

    explicit ScreenBlit(QWidget* widget);
    ~ScreenBlit();
    ScreenBlit(const ScreenBlit&) = delete;
    ScreenBlit& operator=(const ScreenBlit&) = delete;

    // Copies the picture's part within `region` (picture coordinates) to the window, shifted
    // by `shift`, and returns once the X server has read those pixels: from then on they may
    // change. False when the server cannot read the segment (the caller paints instead).
    bool put(const QImage& picture, int segment, const QRegion& region, QPoint shift);
    // Fills `region` (window coordinates) with a plain colour.
    void fill(const QRegion& region, const QColor& colour);
    // Copies a small picture of ordinary memory (window coordinates).
    void putImage(const QImage& image, QPoint at);
    void flush();

private:
    bool attach(int segment);
    void detach();

    struct X;
    std::unique_ptr<X> x_;
};

} // namespace rdp::freerdp
