#pragma once

#include <QStringView>

#include <cstdint>
#include <optional>

namespace rdp {

// The one rule for a profile's port, wherever one is typed, stored or used: leading and
// trailing blanks are ignored, the rest must be ASCII decimal digits (leading zeros allowed)
// with a value from 1 to 65535. Anything else gives no value.
std::optional<std::int32_t> PortNumber(QStringView text);

} // namespace rdp
