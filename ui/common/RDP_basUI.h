#pragma once

// ui/common/: what both windows share: the platform seam on Qt, keyboard navigation,
// focus return and password echo.

#include <QFont>
#include <QString>
#include <Qt>

class QWidget;

// Keyboard navigation and window look-up shared by the login and setup windows.
namespace RDP_basUI {

// Virtual-key codes the windows' key handlers work with.
namespace VirtualKey {
inline constexpr int Enter = 13;
inline constexpr int Escape = 27;
inline constexpr int Up = 38;
inline constexpr int Down = 40;
inline constexpr int F12 = 123;
} // namespace VirtualKey

// Shift-state bits of the key handlers: 1 Shift, 2 Ctrl, 4 Alt.
namespace ShiftBits {
inline constexpr int Shift = 1;
inline constexpr int Ctrl = 2;
inline constexpr int Alt = 4;
} // namespace ShiftBits

// The virtual-key code of a Qt key (both Return and the keypad's Enter give 13; letters and
// digits keep their ASCII codes); 0 for keys the program never looks at.
int VirtualKeyCode(int qtKey);

// The shift-state bit set of Qt's keyboard modifiers.
int ShiftState(Qt::KeyboardModifiers modifiers);

// Moves the focus on for the navigation keys: Enter to the next control, Down / Up to the
// next / previous one except in a drop-down list (which handles the arrows itself). The move
// is a Tab or Shift+Tab given to the focused control's window at once, so that keys already
// typed behind this one land in the control it moved to; the caller keeps the key itself from
// the control (true is returned when the focus moved), so the move is all the key does. The
// shift state is not used.
bool TabByKey(QWidget* focused, int keyCode, int shift);

// True when a top-level window whose object name equals `name`, ignoring letter case, exists
// (shown or hidden).
bool IsFormLoaded(const QString& name);

// The program's own font: the CJK face the set-up installs, at the size the windows were
// laid out for.
QFont DesignedFont();

// `font` in bold drawn from its regular face (Qt thickens the strokes): a window on the way
// to a session loads no second CJK face, which would stay in memory all session long.
QFont BoldOfRegularFace(QFont font);

// Gives a designed window (its artwork, its captions' colours, its layout) its own font and
// its style's own palette, so that a desktop's palette or font setting changes nothing in it.
void KeepDesignedLook(QWidget* window);

} // namespace RDP_basUI
