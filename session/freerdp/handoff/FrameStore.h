#pragma once

#include <QImage>
#include <QRegion>

#include <atomic>
#include <cstdint>
#include <mutex>

class QPainter;

namespace rdp::freerdp {

// The picture of the remote screen. The library draws straight into its pixels on its
// threads (between beginDrawing and endDrawing, which hold the picture's lock); the GUI
// thread paints from the same pixels under the same lock. At most one "frame" notice is
// outstanding until the GUI has taken the changed region.
class FrameStore {
public:
    struct Canvas {
        unsigned char* bits = nullptr; // 32-bit BGRX, owned by the store
        std::uint32_t stride = 0;
    };

    // Takes the picture for drawing; the same thread may take it again before ending.
    void beginDrawing();
    // Adds the rectangles (clipped to the picture) to the changed region and gives the
    // picture back. Returns true when the GUI must be told (no notice is outstanding).
    bool endDrawing(const QRect* rects, int count);

    // Between beginDrawing and endDrawing, to follow the size the server sent: a new black
    // picture to hand to the library (none for an empty size). Once the library has taken
    // it, commitResize makes it the picture (everything changed) and frees the old pixels;
    // a picture not committed is dropped when the picture is given back.
    Canvas prepareResize(int width, int height);
    void commitResize();
    // Between beginDrawing and endDrawing: the picture's own pixels when it already has
    // this size (a reconnection draws over the last picture instead of a black one), else
    // none.
    Canvas currentCanvas(int width, int height);

    // Forgets the picture (a new connection starts from none).
    void clear();

    // Pictures made from now on live in shared memory segments that the X server reads
    // straight from (ordinary memory where the system gives no segment).
    void setShared(bool on) { shared_ = on; }

    // GUI thread: the region changed since the last call; clears the outstanding notice.
    QRegion takeChanged();

    // Paints the picture's part within `region` at the widget's origin; returns the
    // picture's size.
    QSize paint(QPainter& painter, const QRegion& region) const;

    // Calls paint(picture, segment) under the picture's lock; the segment is -1 for a
    // picture in ordinary memory. Returns what paint returned, false without a picture.
    template <typename F> bool paintShared(F paint) const {
        std::lock_guard lock(pictureMutex_);
        return !image_.isNull() && paint(static_cast<const QImage&>(image_), segment_);
    }

    QSize size() const;
    bool hasFrame() const { return hasFrame_.load(); }
    QImage snapshot() const;

private:
    mutable std::recursive_mutex pictureMutex_; // image_'s pixels and size
    QImage image_;
    QImage next_;      // prepared, not yet the library's
    int segment_ = -1; // image_'s shared memory segment
    int nextSegment_ = -1;
    bool shared_ = false;
    std::mutex noticeMutex_; // changed_ and the outstanding notice
    QRegion changed_;
    bool noticeOutstanding_ = false;
    std::atomic<bool> hasFrame_{false};
};

} // namespace rdp::freerdp
