#pragma once

#include <cstdint>

namespace rdp::freerdp {

// The keyboard's Caps, Num and Scroll Lock state as the flags of an RDP synchronize
// event.
std::uint16_t LockKeyFlags(bool capsLock, bool numLock, bool scrollLock);

// This computer's lock-key state (on X11); all off where it cannot be read.
std::uint16_t LocalLockKeyFlags();

} // namespace rdp::freerdp
