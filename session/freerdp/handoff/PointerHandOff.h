#pragma once

#include "session/freerdp/handoff/RemoteCursor.h"

#include <QPoint>

#include <mutex>
#include <optional>

namespace rdp::freerdp {

// The remote pointer on its way from the library's threads to the GUI thread, kept the way
// the picture's changes are: only the latest shape and the latest position wait, and at most
// one notice is outstanding until the GUI has taken them. A server that sends pointers
// faster than the GUI can show them changes what waits, never how much.
class PointerHandOff {
public:
    struct Pending {
        std::optional<RemoteCursor> shape;
        std::optional<QPoint> position;
    };

    // The library's threads: return true when the GUI must be told (no notice outstanding).
    bool setShape(const RemoteCursor& shape);
    bool setPosition(QPoint position);

    // GUI thread: what waits, and the notice is taken with it.
    Pending take();

private:
    bool noticeLocked();

    std::mutex mutex_;
    Pending pending_;
    bool noticeOutstanding_ = false;
};

} // namespace rdp::freerdp
