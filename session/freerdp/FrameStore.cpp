#include "session/freerdp/FrameStore.h"

#include <QPainter>

#include <cstring>

namespace rdp::freerdp {

void FrameStore::resize(int width, int height) {
    std::lock_guard lock(mutex_);
    if (image_.width() != width || image_.height() != height) {
        image_ = QImage(width, height, QImage::Format_RGB32);
        image_.fill(Qt::black);
    }
    changed_ = QRegion(image_.rect());
}

bool FrameStore::copyFrom(const unsigned char* buffer, int stride, const QRect* rects, int count) {
    std::lock_guard lock(mutex_);
    const QRect bounds = image_.rect();
    for (int i = 0; i < count; ++i) {
        const QRect r = rects[i].intersected(bounds);
        if (r.isEmpty()) {
            continue;
        }
        const auto bytes = static_cast<std::size_t>(r.width()) * 4;
        for (int y = r.top(); y <= r.bottom(); ++y) {
            const unsigned char* from = buffer + static_cast<std::ptrdiff_t>(y) * stride +
                                        static_cast<std::ptrdiff_t>(r.left()) * 4;
            std::memcpy(image_.scanLine(y) + static_cast<std::ptrdiff_t>(r.left()) * 4, from,
                        bytes);
        }
        changed_ += r;
        hasFrame_ = true;
    }
    if (changed_.isEmpty() || noticeOutstanding_) {
        return false;
    }
    noticeOutstanding_ = true;
    return true;
}

QRegion FrameStore::takeChanged() {
    std::lock_guard lock(mutex_);
    QRegion r = changed_;
    changed_ = QRegion();
    noticeOutstanding_ = false;
    return r;
}

void FrameStore::paint(QPainter& painter, const QRegion& region) const {
    std::lock_guard lock(mutex_);
    for (const QRect& r : region) {
        const QRect inside = r.intersected(image_.rect());
        if (!inside.isEmpty()) {
            painter.drawImage(inside.topLeft(), image_, inside);
        }
    }
}

QSize FrameStore::size() const {
    std::lock_guard lock(mutex_);
    return image_.size();
}

bool FrameStore::hasFrame() const {
    std::lock_guard lock(mutex_);
    return hasFrame_;
}

QImage FrameStore::snapshot() const {
    std::lock_guard lock(mutex_);
    return image_.copy();
}

} // namespace rdp::freerdp
