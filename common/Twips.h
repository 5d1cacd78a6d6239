#pragma once

#include <cmath>

namespace rdp {

// The one conversion from the twips that window geometry is computed in to pixels:
// to the nearest pixel, halves to even.
inline int TwipsToPixels(double twips, double twipsPerPixel) {
    return static_cast<int>(std::nearbyint(twips / twipsPerPixel));
}

} // namespace rdp
