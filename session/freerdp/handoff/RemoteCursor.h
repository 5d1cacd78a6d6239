#pragma once

#include <QImage>
#include <QPoint>

namespace rdp::freerdp {

// The pointer shape the remote computer asks for, handed to the GUI thread.
struct RemoteCursor {
    enum class Kind { Image, Hidden, Default };
    Kind kind = Kind::Default;
    QImage image; // ARGB32, not premultiplied
    QPoint hotSpot;
};

} // namespace rdp::freerdp
