#include "session/DesktopGeometry.h"

#include "common/Errors.h"
#include "common/Twips.h"

#include <algorithm>
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

MonitorPixels MonitorInPixels(const ScreenMetrics& s) {
    const auto px = &TwipsToPixels;
    const double x = s.twipsPerPixelX;
    const double y = s.twipsPerPixelY;
    MonitorPixels m;
    m.monitor =
        QRect(px(s.leftTwips, x), px(s.topTwips, y), px(s.widthTwips, x), px(s.heightTwips, y));
    m.work = QRect(px(s.workLeftTwips, x), px(s.workTopTwips, y), px(s.workWidthTwips, x),
                   px(s.workHeightTwips, y));
    if (m.work.isEmpty()) {
        m.work = m.monitor;
    }
    return m;
}

QRect KeepInside(const QRect& outer, const QRect& work) {
    QRect kept(outer.topLeft(), QSize(std::min(outer.width(), work.width()),
                                      std::min(outer.height(), work.height())));
    kept.moveLeft(std::clamp(kept.left(), work.left(), work.left() + work.width() - kept.width()));
    kept.moveTop(std::clamp(kept.top(), work.top(), work.top() + work.height() - kept.height()));
    return kept;
}

TipsLayout PlanTipsLayout(TwipsSize windowOuter) {
    TipsLayout t;
    t.panel = windowOuter;
    t.labelLeft = t.panel.width / 2 - 1000;
    t.labelTop = t.panel.height / 2 - 400;
    return t;
}

} // namespace rdp
