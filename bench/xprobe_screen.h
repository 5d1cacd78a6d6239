// What bench_xprobe reads off an X display: a client's top-level window and the colours on
// the screen inside it.
#pragma once

#include <xcb/xcb.h>

#include <cstdint>
#include <string>

namespace xprobe {

struct Display {
    xcb_connection_t* conn = nullptr;
    xcb_screen_t* screen = nullptr;
    Display();
    ~Display();
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;
};

// Waits until the server has handled every request sent so far.
void Sync(xcb_connection_t* conn);

struct Rect {
    int x = 0, y = 0, width = 0, height = 0;
    bool Intersects(const Rect& o) const {
        return x < o.x + o.width && o.x < x + width && y < o.y + o.height && o.y < y + height;
    }
};

// The largest viewable top-level window of process `pid` (_NET_WM_PID), its place on the
// screen and whether another viewable window above it overlaps it.
struct ClientWindow {
    xcb_window_t id = 0;
    Rect rect;
    bool covered = false;
    std::string name; // _NET_WM_NAME, else WM_NAME
};
ClientWindow FindClientWindow(Display& d, long pid);

// An RGB colour and how far each channel may be off (16-bit colour rounds it).
struct Colour {
    std::uint32_t rgb;
    int tolerance = 0x20;
    bool Matches(const std::uint8_t* bgrx) const;
};

// Pixels of `colour` on `rows` rows spread evenly over `area` (read from the root window).
long CountOnRows(Display& d, const Rect& area, int rows, const Colour& colour);

// The screen's pixels in `area`, four bytes (BGRX) each, row after row; empty if unreadable.
std::string ReadArea(Display& d, const Rect& area);

} // namespace xprobe
