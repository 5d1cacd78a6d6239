#pragma once

#include <QImage>
#include <QRegion>

#include <mutex>

class QPainter;

namespace rdp::freerdp {

// The picture of the remote screen, shared between the library's threads (which copy
// changed rectangles in) and the GUI thread (which paints). Every access is locked. At
// most one "frame" notice is outstanding until the GUI has taken the changed region.
class FrameStore {
public:
    // Sizes the picture (the size the server actually sent); everything becomes changed.
    void resize(int width, int height);

    // Copies the given rectangles from a 32-bit BGRX buffer of the picture's size. Returns
    // true when the GUI must be told (no notice is outstanding).
    bool copyFrom(const unsigned char* buffer, int stride, const QRect* rects, int count);

    // GUI thread: the region changed since the last call; clears the outstanding notice.
    QRegion takeChanged();

    // Paints the picture's part within `region` at the widget's origin.
    void paint(QPainter& painter, const QRegion& region) const;

    QSize size() const;
    bool hasFrame() const;
    QImage snapshot() const;

private:
    mutable std::mutex mutex_;
    QImage image_;
    QRegion changed_;
    bool noticeOutstanding_ = false;
    bool hasFrame_ = false;
};

} // namespace rdp::freerdp
