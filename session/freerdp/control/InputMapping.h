#pragma once

#include <Qt>

#include <cstdint>
#include <vector>

namespace rdp::freerdp {

// RDP scancodes: the low byte is the set-1 code, this bit marks the extended (E0) keys.
inline constexpr std::uint32_t kScancodeExtended = 0x100;

// The scancode of the key at a Qt::Key's place on a US keyboard (shifted symbols map to
// the key that carries them); `keypad` for keys with Qt::KeypadModifier. 0 when unknown.
std::uint32_t ScancodeForQtKey(int qtKey, bool keypad);

// The scancode of an X11 key code (QKeyEvent::nativeScanCode on xcb), through the
// library's keyboard tables. 0 when unknown.
std::uint32_t ScancodeForX11Keycode(std::uint32_t keycode);

// Pointer flags of a button going down or up. `extended` is set for the back/forward
// buttons, which travel as extended mouse events. 0 for buttons RDP has no flag for.
std::uint16_t PointerFlagsForButton(Qt::MouseButton button, bool down, bool* extended);

// Wheel events for a wheel turn in Qt's eighths of a degree (120 per notch): one flags
// value per event, each carrying at most the 9-bit signed rotation RDP allows.
std::vector<std::uint16_t> WheelFlags(int delta, bool horizontal);

} // namespace rdp::freerdp
