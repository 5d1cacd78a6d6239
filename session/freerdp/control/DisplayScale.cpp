#include "session/freerdp/control/DisplayScale.h"

#include <algorithm>
#include <cmath>

namespace rdp::freerdp {

namespace {
constexpr double kMinDesktopFactor = 100;
constexpr double kMaxDesktopFactor = 500;
constexpr std::uint32_t kDeviceFactor = 100;
} // namespace

ScaleFactors ScaleFactorsFor(double ratio) {
    const double percent = std::nearbyint(ratio * 100);
    if (!(percent > kMinDesktopFactor)) {
        return {};
    }
    return {static_cast<std::uint32_t>(std::min(percent, kMaxDesktopFactor)), kDeviceFactor};
}

QSize DevicePixels(QSize logical, double ratio) {
    return {static_cast<int>(std::nearbyint(logical.width() * ratio)),
            static_cast<int>(std::nearbyint(logical.height() * ratio))};
}

QRect ScaledCover(const QRect& rect, double factor) {
    if (rect.isEmpty()) {
        return {};
    }
    // A hair of slack keeps 1.25 × 0.8 from reaching past a whole pixel.
    constexpr double slack = 1e-9;
    const int left = static_cast<int>(std::floor(rect.left() * factor + slack));
    const int top = static_cast<int>(std::floor(rect.top() * factor + slack));
    const int right = static_cast<int>(std::ceil((rect.left() + rect.width()) * factor - slack));
    const int bottom = static_cast<int>(std::ceil((rect.top() + rect.height()) * factor - slack));
    return {QPoint(left, top), QPoint(right - 1, bottom - 1)};
}

QRegion ScaledCover(const QRegion& region, double factor) {
    if (factor == 1.0) {
        return region;
    }
    QRegion scaled;
    for (const QRect& r : region) {
        scaled += ScaledCover(r, factor);
    }
    return scaled;
}

// The toolkit gives device positions divided by the ratio: multiplying back may land a hair
// below the whole pixel it came from.
QPointF RemotePoint(QPointF local, double ratio, QPoint scroll) {
    constexpr double slack = 1e-6;
    return QPointF(std::floor(local.x() * ratio + slack), std::floor(local.y() * ratio + slack)) +
           QPointF(scroll);
}

QPoint LocalPoint(QPoint remote, double ratio, QPoint scroll) {
    const QPointF local = QPointF(remote - scroll) / ratio;
    return {static_cast<int>(std::floor(local.x())), static_cast<int>(std::floor(local.y()))};
}

} // namespace rdp::freerdp
