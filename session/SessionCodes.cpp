#include "session/SessionCodes.h"

#include <array>

namespace rdp {

namespace {

// The value at the code's position, for a code that is exactly a whole number in range.
template <std::size_t N>
std::optional<std::int32_t> ByCode(float code, const std::array<std::int32_t, N>& values) {
    for (std::size_t i = 0; i < N; ++i) {
        if (code == static_cast<float>(i)) {
            return values[i];
        }
    }
    return std::nullopt;
}

} // namespace

std::optional<std::int32_t> ColorDepthBits(float colorDepth) {
    return ByCode(colorDepth, std::array<std::int32_t, 5>{8, 15, 16, 24, 32});
}

std::optional<std::int32_t> AudioRedirectionMode(float audioMode) {
    return ByCode(audioMode, std::array<std::int32_t, 3>{0, 2, 1});
}

} // namespace rdp
