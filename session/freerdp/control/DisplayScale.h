#pragma once

#include <QPointF>
#include <QRect>
#include <QRegion>
#include <QSize>

#include <cstdint>

namespace rdp::freerdp {

// The control on a scaled screen: the windows are laid out in the toolkit's logical pixels,
// while the remote desktop is asked for, drawn and pointed at in the screen's device pixels
// (logical × the screen's device-pixel ratio), so that its picture is sharp.

// The scale factors sent with the connection request, in per cent; 0 sends none (an
// unscaled screen asks as it always did). The desktop factor is the screen's ratio within
// the 100–500 the protocol allows; the device factor stays at 100.
struct ScaleFactors {
    std::uint32_t desktop = 0;
    std::uint32_t device = 0;
};
ScaleFactors ScaleFactorsFor(double ratio);

// A logical size in device pixels, to the nearest pixel (halves to even).
QSize DevicePixels(QSize logical, double ratio);

// The rectangles of `region` scaled by `factor` (ratio for logical to device, 1 / ratio for
// the way back), each grown to whole pixels so that the result covers every pixel touched.
QRect ScaledCover(const QRect& rect, double factor);
QRegion ScaledCover(const QRegion& region, double factor);

// A pointer position on the control (logical) as a remote desktop pixel, and back.
QPointF RemotePoint(QPointF local, double ratio, QPoint scroll);
QPoint LocalPoint(QPoint remote, double ratio, QPoint scroll);

} // namespace rdp::freerdp
