#pragma once

#include <cstdint>

namespace rdp::freerdp {

// Pays the library's one-time start-up costs (the speed test of its image primitives,
// keyboard initialisation) on a background thread. The program calls it once, through the
// module's warm-up entry, right after loading the module; it returns at once. Connecting later
// waits for it only if it is still running.
void WarmUpInBackground();

// The keyboard layout the library detected; runs the keyboard initialisation first if
// nobody has (on the calling thread).
std::uint32_t KeyboardLayout();

// Runs the primitives' speed test now if nobody has (on the calling thread).
void EnsurePrimitives();

} // namespace rdp::freerdp
