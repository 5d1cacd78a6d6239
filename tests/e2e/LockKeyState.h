#pragma once

#include <QString>

#include <optional>

namespace rdp::test {

// Locks or unlocks Num Lock on this side's X display, as pressing the key does.
bool SetLocalNumLock(bool on);

// The Num Lock indicator of the X display `display` (opened with the X authority file
// `xauthority`), or nothing when it cannot be read.
std::optional<bool> NumLockOn(const QString& display, const QString& xauthority);

} // namespace rdp::test
