#pragma once

#include <cstdint>
#include <optional>

// The profile's colour and sound codes as the control's settings.
namespace rdp {

// Bits per pixel for colour codes 0 to 4 (8, 15, 16, 24, 32); nothing for any other code,
// which leaves the control's default.
std::optional<std::int32_t> ColorDepthBits(float colorDepth);

// The control's audio redirection mode (0 play on this computer, 1 leave on the remote
// computer, 2 no sound) for the profile's sound codes: 0 "带到这台计算机播放" plays here,
// 1 "不要播放" plays nowhere, 2 "留在远程计算机播放" stays remote. Nothing for any other
// code, which leaves the control's default.
std::optional<std::int32_t> AudioRedirectionMode(float audioMode);

} // namespace rdp
