#include "session/freerdp/control/InputMapping.h"

#include "session/freerdp/module/WarmUp.h"

#include <freerdp/input.h>
#include <freerdp/locale/keyboard.h>

#include <algorithm>
#include <unordered_map>

namespace rdp::freerdp {
namespace {

constexpr std::uint32_t E(std::uint32_t code) {
    return code | kScancodeExtended;
}

const std::unordered_map<int, std::uint32_t>& MainKeys() {
    static const std::unordered_map<int, std::uint32_t> table = [] {
        std::unordered_map<int, std::uint32_t> t{{Qt::Key_Escape, 0x01},
                                                 {Qt::Key_Minus, 0x0C},
                                                 {Qt::Key_Underscore, 0x0C},
                                                 {Qt::Key_Equal, 0x0D},
                                                 {Qt::Key_Plus, 0x0D},
                                                 {Qt::Key_Backspace, 0x0E},
                                                 {Qt::Key_Tab, 0x0F},
                                                 {Qt::Key_Backtab, 0x0F},
                                                 {Qt::Key_BracketLeft, 0x1A},
                                                 {Qt::Key_BraceLeft, 0x1A},
                                                 {Qt::Key_BracketRight, 0x1B},
                                                 {Qt::Key_BraceRight, 0x1B},
                                                 {Qt::Key_Return, 0x1C},
                                                 {Qt::Key_Enter, E(0x1C)},
                                                 {Qt::Key_Control, 0x1D},
                                                 {Qt::Key_Semicolon, 0x27},
                                                 {Qt::Key_Colon, 0x27},
                                                 {Qt::Key_Apostrophe, 0x28},
                                                 {Qt::Key_QuoteDbl, 0x28},
                                                 {Qt::Key_QuoteLeft, 0x29},
                                                 {Qt::Key_AsciiTilde, 0x29},
                                                 {Qt::Key_Shift, 0x2A},
                                                 {Qt::Key_Backslash, 0x2B},
                                                 {Qt::Key_Bar, 0x2B},
                                                 {Qt::Key_Comma, 0x33},
                                                 {Qt::Key_Less, 0x33},
                                                 {Qt::Key_Period, 0x34},
                                                 {Qt::Key_Greater, 0x34},
                                                 {Qt::Key_Slash, 0x35},
                                                 {Qt::Key_Question, 0x35},
                                                 {Qt::Key_Alt, 0x38},
                                                 {Qt::Key_AltGr, E(0x38)},
                                                 {Qt::Key_Space, 0x39},
                                                 {Qt::Key_CapsLock, 0x3A},
                                                 {Qt::Key_NumLock, 0x45},
                                                 {Qt::Key_ScrollLock, 0x46},
                                                 {Qt::Key_F11, 0x57},
                                                 {Qt::Key_F12, 0x58},
                                                 {Qt::Key_Print, E(0x37)},
                                                 {Qt::Key_Home, E(0x47)},
                                                 {Qt::Key_Up, E(0x48)},
                                                 {Qt::Key_PageUp, E(0x49)},
                                                 {Qt::Key_Left, E(0x4B)},
                                                 {Qt::Key_Right, E(0x4D)},
                                                 {Qt::Key_End, E(0x4F)},
                                                 {Qt::Key_Down, E(0x50)},
                                                 {Qt::Key_PageDown, E(0x51)},
                                                 {Qt::Key_Insert, E(0x52)},
                                                 {Qt::Key_Delete, E(0x53)},
                                                 {Qt::Key_Meta, E(0x5B)},
                                                 {Qt::Key_Super_L, E(0x5B)},
                                                 {Qt::Key_Super_R, E(0x5C)},
                                                 {Qt::Key_Menu, E(0x5D)},
                                                 // shifted digits
                                                 {Qt::Key_Exclam, 0x02},
                                                 {Qt::Key_At, 0x03},
                                                 {Qt::Key_NumberSign, 0x04},
                                                 {Qt::Key_Dollar, 0x05},
                                                 {Qt::Key_Percent, 0x06},
                                                 {Qt::Key_AsciiCircum, 0x07},
                                                 {Qt::Key_Ampersand, 0x08},
                                                 {Qt::Key_Asterisk, 0x09},
                                                 {Qt::Key_ParenLeft, 0x0A},
                                                 {Qt::Key_ParenRight, 0x0B}};
        // Digits 1..9 then 0 sit on 0x02..0x0B.
        for (int d = 1; d <= 9; ++d) {
            t[Qt::Key_0 + d] = static_cast<std::uint32_t>(0x01 + d);
        }
        t[Qt::Key_0] = 0x0B;
        const char* rows[] = {"QWERTYUIOP", "ASDFGHJKL", "ZXCVBNM"};
        const std::uint32_t starts[] = {0x10, 0x1E, 0x2C};
        for (int r = 0; r < 3; ++r) {
            for (std::uint32_t i = 0; rows[r][i] != '\0'; ++i) {
                t[Qt::Key_A + (rows[r][i] - 'A')] = starts[r] + i;
            }
        }
        for (int f = 0; f < 10; ++f) {
            t[Qt::Key_F1 + f] = static_cast<std::uint32_t>(0x3B + f);
        }
        return t;
    }();
    return table;
}

const std::unordered_map<int, std::uint32_t>& KeypadKeys() {
    static const std::unordered_map<int, std::uint32_t> t{
        {Qt::Key_7, 0x47},        {Qt::Key_Home, 0x47},      {Qt::Key_8, 0x48},
        {Qt::Key_Up, 0x48},       {Qt::Key_9, 0x49},         {Qt::Key_PageUp, 0x49},
        {Qt::Key_Minus, 0x4A},    {Qt::Key_4, 0x4B},         {Qt::Key_Left, 0x4B},
        {Qt::Key_5, 0x4C},        {Qt::Key_Clear, 0x4C},     {Qt::Key_6, 0x4D},
        {Qt::Key_Right, 0x4D},    {Qt::Key_Plus, 0x4E},      {Qt::Key_1, 0x4F},
        {Qt::Key_End, 0x4F},      {Qt::Key_2, 0x50},         {Qt::Key_Down, 0x50},
        {Qt::Key_3, 0x51},        {Qt::Key_PageDown, 0x51},  {Qt::Key_0, 0x52},
        {Qt::Key_Insert, 0x52},   {Qt::Key_Period, 0x53},    {Qt::Key_Delete, 0x53},
        {Qt::Key_Comma, 0x53},    {Qt::Key_Asterisk, 0x37},  {Qt::Key_Slash, E(0x35)},
        {Qt::Key_Enter, E(0x1C)}, {Qt::Key_Return, E(0x1C)}, {Qt::Key_NumLock, 0x45}};
    return t;
}

} // namespace

std::uint32_t ScancodeForQtKey(int qtKey, bool keypad) {
    if (keypad) {
        const auto it = KeypadKeys().find(qtKey);
        if (it != KeypadKeys().end()) {
            return it->second;
        }
    }
    const auto it = MainKeys().find(qtKey);
    return it != MainKeys().end() ? it->second : 0;
}

std::uint32_t ScancodeForX11Keycode(std::uint32_t keycode) {
    KeyboardLayout(); // the library's keycode table is built there
    const DWORD rdp = freerdp_keyboard_get_rdp_scancode_from_x11_keycode(keycode);
    return (rdp & 0xFF) | ((rdp & KBDEXT) != 0 ? kScancodeExtended : 0);
}

std::uint16_t PointerFlagsForButton(Qt::MouseButton button, bool down, bool* extended) {
    *extended = false;
    std::uint16_t flags = 0;
    switch (button) {
    case Qt::LeftButton:
        flags = PTR_FLAGS_BUTTON1;
        break;
    case Qt::RightButton:
        flags = PTR_FLAGS_BUTTON2;
        break;
    case Qt::MiddleButton:
        flags = PTR_FLAGS_BUTTON3;
        break;
    case Qt::BackButton:
        *extended = true;
        return static_cast<std::uint16_t>(PTR_XFLAGS_BUTTON1 | (down ? PTR_XFLAGS_DOWN : 0));
    case Qt::ForwardButton:
        *extended = true;
        return static_cast<std::uint16_t>(PTR_XFLAGS_BUTTON2 | (down ? PTR_XFLAGS_DOWN : 0));
    default:
        return 0;
    }
    return static_cast<std::uint16_t>(flags | (down ? PTR_FLAGS_DOWN : 0));
}

std::vector<std::uint16_t> WheelFlags(int delta, bool horizontal) {
    std::vector<std::uint16_t> out;
    const std::uint16_t kind = horizontal ? PTR_FLAGS_HWHEEL : PTR_FLAGS_WHEEL;
    while (delta != 0) {
        // 9-bit two's complement: -256..255.
        const int step = std::clamp(delta, -255, 255);
        delta -= step;
        const auto rotation = static_cast<std::uint16_t>(step & WheelRotationMask);
        out.push_back(static_cast<std::uint16_t>(kind | rotation));
    }
    return out;
}

} // namespace rdp::freerdp
