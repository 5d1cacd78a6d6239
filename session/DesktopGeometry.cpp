#include "session/DesktopGeometry.h"

#include "common/Errors.h"

#include <cmath>
#include <limits>

namespace rdp {

namespace {

bool IsScreenCode(int code) {
    return code == 0 || code == 4;
}

std::int32_t RoundedInt32(double value) {
    const double rounded = std::nearbyint(value);
    if (!(rounded >= std::numeric_limits<std::int32_t>::min() &&
          rounded <= std::numeric_limits<std::int32_t>::max())) {
        throw Error(ErrorNumber::Overflow, QStringLiteral("溢出"));
    }
    return static_cast<std::int32_t>(rounded);
}

} // namespace

std::optional<int> DesktopSizeCode(float desktopSize) {
    for (int code = 0; code <= 4; ++code) {
        if (desktopSize == static_cast<float>(code)) {
            return code;
        }
    }
    return std::nullopt;
}

std::optional<WindowSizing> PlanWindowSizing(float desktopSize, const ScreenMetrics& screen) {
    const std::optional<int> code = DesktopSizeCode(desktopSize);
    if (!code) {
        return std::nullopt;
    }
    const double x = screen.twipsPerPixelX;
    const double y = screen.twipsPerPixelY;
    WindowSizing s;
    switch (*code) {
    case 1:
        s.profileWidth = 1280;
        s.profileHeight = 768;
        break;
    case 2:
        s.profileWidth = 1024;
        s.profileHeight = 768;
        break;
    case 3:
        s.profileWidth = 800;
        s.profileHeight = 600;
        break;
    default:
        s.profileWidth = static_cast<float>(screen.widthTwips / x);
        s.profileHeight = static_cast<float>(screen.heightTwips / y);
        break;
    }
    const double w = s.profileWidth;
    const double h = s.profileHeight;
    s.atScreenCorner = IsScreenCode(*code);
    if (*code == 0) {
        s.window = {w * x, h * y};
    } else if (*code == 4) {
        s.window = {w * x + 100, h * y + 90};
    } else {
        s.window = {(w + 6) * x, (h + 26) * y};
    }
    return s;
}

DesktopPixels PlanDesktopPixels(float desktopSize, float width, float height) {
    const std::optional<int> code = DesktopSizeCode(desktopSize);
    double w = width;
    double h = height;
    if (code == 0) {
        w -= 2;
        h -= 30;
    } else if (code == 4) {
        w -= 2;
        h -= 38;
    }
    return {RoundedInt32(w), RoundedInt32(h)};
}

TwipsSize PlanControlSize(float desktopSize, float width, float height, double twipsPerPixelX,
                          double twipsPerPixelY) {
    const std::optional<int> code = DesktopSizeCode(desktopSize);
    const double w = width;
    const double h = height;
    if (code && IsScreenCode(*code)) {
        return {w * twipsPerPixelX - 100, h * twipsPerPixelY - 150};
    }
    return {w * twipsPerPixelX - 10, (h + 18) * twipsPerPixelY};
}

TipsLayout PlanTipsLayout(TwipsSize windowOuter) {
    TipsLayout t;
    t.panel = windowOuter;
    t.labelLeft = t.panel.width / 2 - 1000;
    t.labelTop = t.panel.height / 2 - 400;
    return t;
}

} // namespace rdp
