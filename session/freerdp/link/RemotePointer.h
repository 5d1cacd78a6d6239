#pragma once

#include "session/freerdp/handoff/RemoteCursor.h"

#include <freerdp/freerdp.h>
#include <freerdp/graphics.h>

namespace rdp::freerdp {

// The remote pointer's shape as a cursor: the XOR and AND masks of `pointer` converted to
// an ARGB32 picture (transparent where the masks say so), the hot spot kept inside it.
// A pointer that cannot be converted gives the default cursor.
RemoteCursor CursorFromPointer(const rdpPointer& pointer, const gdiPalette* palette);

// Registers the pointer callbacks once the GDI exists; shapes and moves go to the session.
void HookPointer(rdpContext* context);

} // namespace rdp::freerdp
