#pragma once

#include "common/Platform.h"

#include <QRect>

#include <cstdint>
#include <optional>

// The session window's geometry as numbers: everything in twips as the sizing rules give
// it (remote desktop sizes in pixels). The window applies these plans and converts to
// pixels in one place.
namespace rdp {

// The window's designed client area, kept for a size code outside 0 to 4.
inline constexpr double DesignedClientWidthTwips = 10785;
inline constexpr double DesignedClientHeightTwips = 8385;
// The status label's designed size.
inline constexpr double TipsLabelWidthTwips = 1980;
inline constexpr double TipsLabelHeightTwips = 180;

struct TwipsSize {
    double width = 0;
    double height = 0;
};

// What sizing the window does for a desktop size code from 0 to 4.
struct WindowSizing {
    float profileWidth = 0; // pixels, written to the profile's Width
    float profileHeight = 0;
    TwipsSize window;            // outer size, frame included
    bool atScreenCorner = false; // opens at the screen's top-left corner, else centred
};

// The size code as a whole number from 0 to 4, or nothing for any other value (a
// fractional value matches no code).
std::optional<int> DesktopSizeCode(float desktopSize);

// Nothing for a code outside 0 to 4: the window keeps its size and the profile its Width
// and Height.
std::optional<WindowSizing> PlanWindowSizing(float desktopSize, const ScreenMetrics& screen);

// The remote desktop's size given to the control, from the profile's Width and Height,
// rounded to the nearest pixel (halves to even). Throws rdp::Error (overflow) when a value
// does not fit 32 bits.
struct DesktopPixels {
    std::int32_t width = 0;
    std::int32_t height = 0;
};
DesktopPixels PlanDesktopPixels(float desktopSize, float width, float height);

// The control's size: it follows the profile, not the window.
TwipsSize PlanControlSize(float desktopSize, float width, float height, double twipsPerPixelX,
                          double twipsPerPixelY);

// The status panel covers the window's outer size; the label sits near its middle.
struct TipsLayout {
    TwipsSize panel;
    double labelLeft = 0;
    double labelTop = 0;
};
TipsLayout PlanTipsLayout(TwipsSize windowOuter);

// The monitor and its work area in pixels (the work area is the monitor when none is known).
struct MonitorPixels {
    QRect monitor;
    QRect work;
};
MonitorPixels MonitorInPixels(const ScreenMetrics& screen);

// A window's outer rectangle kept inside the work area: no larger than it, then moved in.
QRect KeepInside(const QRect& outer, const QRect& work);

} // namespace rdp
