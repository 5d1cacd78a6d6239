#include "session/freerdp/handoff/FrameStore.h"

#include "session/freerdp/control/ScreenBlit.h"

#include <QPainter>

namespace rdp::freerdp {

void FrameStore::beginDrawing() {
    pictureMutex_.lock();
}

bool FrameStore::endDrawing(const QRect* rects, int count) {
    QRegion drawn;
    const QRect bounds = image_.rect();
    for (int i = 0; i < count; ++i) {
        drawn += rects[i].intersected(bounds);
    }
    next_ = QImage();
    nextSegment_ = -1;
    pictureMutex_.unlock();
    if (!drawn.isEmpty()) {
        hasFrame_ = true;
    }
    std::lock_guard lock(noticeMutex_);
    changed_ += drawn;
    if (changed_.isEmpty() || noticeOutstanding_) {
        return false;
    }
    noticeOutstanding_ = true;
    return true;
}

namespace {

// A picture over a shared memory segment (released with the last copy of the QImage), or a
// null picture.
QImage SharedPicture(int width, int height, int& segment) {
    segment = -1;
    if (width <= 0 || height <= 0) {
        return {};
    }
    const auto stride = static_cast<std::size_t>(width) * 4;
    const SharedPixels pixels = SharedPixels::Allocate(stride * static_cast<std::size_t>(height));
    if (pixels.bits == nullptr) {
        return {};
    }
    segment = pixels.id;
    return QImage(
        pixels.bits, width, height, static_cast<qsizetype>(stride), QImage::Format_RGB32,
        [](void* bits) { SharedPixels::Release(static_cast<unsigned char*>(bits)); }, pixels.bits);
}

} // namespace

FrameStore::Canvas FrameStore::prepareResize(int width, int height) {
    // The pixels are taken once, right after allocation, and the picture is never shared
    // (snapshots are deep copies), so they never move while the library holds them.
    next_ = shared_ ? SharedPicture(width, height, nextSegment_) : QImage();
    if (next_.isNull()) {
        nextSegment_ = -1;
        next_ = QImage(width, height, QImage::Format_RGB32);
    }
    if (next_.isNull()) {
        return {};
    }
    next_.fill(Qt::black);
    return {next_.bits(), static_cast<std::uint32_t>(next_.bytesPerLine())};
}

FrameStore::Canvas FrameStore::currentCanvas(int width, int height) {
    if (image_.isNull() || image_.size() != QSize(width, height)) {
        return {};
    }
    return {image_.bits(), static_cast<std::uint32_t>(image_.bytesPerLine())};
}

void FrameStore::commitResize() {
    image_ = std::move(next_);
    segment_ = nextSegment_;
    next_ = QImage();
    nextSegment_ = -1;
    std::lock_guard lock(noticeMutex_);
    changed_ = QRegion(image_.rect());
}

void FrameStore::clear() {
    std::lock_guard picture(pictureMutex_);
    image_ = QImage();
    next_ = QImage();
    segment_ = nextSegment_ = -1;
    hasFrame_ = false;
    std::lock_guard notice(noticeMutex_);
    changed_ = QRegion();
    noticeOutstanding_ = false;
}

QRegion FrameStore::takeChanged() {
    std::lock_guard lock(noticeMutex_);
    QRegion r = changed_;
    changed_ = QRegion();
    noticeOutstanding_ = false;
    return r;
}

QSize FrameStore::paint(QPainter& painter, const QRegion& region) const {
    std::lock_guard lock(pictureMutex_);
    for (const QRect& r : region) {
        const QRect inside = r.intersected(image_.rect());
        if (!inside.isEmpty()) {
            painter.drawImage(inside.topLeft(), image_, inside);
        }
    }
    return image_.size();
}

QSize FrameStore::size() const {
    std::lock_guard lock(pictureMutex_);
    return image_.size();
}

QImage FrameStore::snapshot() const {
    std::lock_guard lock(pictureMutex_);
    return image_.copy();
}

} // namespace rdp::freerdp
