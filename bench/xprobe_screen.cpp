#include "xprobe_screen.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <vector>

namespace xprobe {

namespace {

template <typename T> using Reply = std::unique_ptr<T, decltype(&std::free)>;
template <typename T> Reply<T> Take(T* reply) {
    return Reply<T>(reply, &std::free);
}

xcb_atom_t Atom(xcb_connection_t* conn, const char* name) {
    auto r = Take(xcb_intern_atom_reply(
        conn, xcb_intern_atom(conn, 1, static_cast<std::uint16_t>(std::strlen(name)), name),
        nullptr));
    return r ? r->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
}

Reply<xcb_get_property_reply_t> Property(xcb_connection_t* conn, xcb_window_t w, xcb_atom_t a) {
    return Take(xcb_get_property_reply(
        conn, xcb_get_property(conn, 0, w, a, XCB_GET_PROPERTY_TYPE_ANY, 0, 256), nullptr));
}

long WindowPid(xcb_connection_t* conn, xcb_window_t w) {
    static const xcb_atom_t pidAtom = Atom(conn, "_NET_WM_PID");
    auto p = Property(conn, w, pidAtom);
    if (!p || xcb_get_property_value_length(p.get()) < 4) {
        return -1;
    }
    return *static_cast<const std::uint32_t*>(xcb_get_property_value(p.get()));
}

std::string WindowName(xcb_connection_t* conn, xcb_window_t w) {
    static const xcb_atom_t netName = Atom(conn, "_NET_WM_NAME");
    for (xcb_atom_t a : {netName, static_cast<xcb_atom_t>(XCB_ATOM_WM_NAME)}) {
        auto p = Property(conn, w, a);
        if (p && xcb_get_property_value_length(p.get()) > 0) {
            return {static_cast<const char*>(xcb_get_property_value(p.get())),
                    static_cast<std::size_t>(xcb_get_property_value_length(p.get()))};
        }
    }
    return {};
}

// A viewable window's place on the screen (top-level windows: relative to the root).
bool Viewable(xcb_connection_t* conn, xcb_window_t w, Rect* rect) {
    auto a =
        Take(xcb_get_window_attributes_reply(conn, xcb_get_window_attributes(conn, w), nullptr));
    if (!a || a->map_state != XCB_MAP_STATE_VIEWABLE) {
        return false;
    }
    auto g = Take(xcb_get_geometry_reply(conn, xcb_get_geometry(conn, w), nullptr));
    if (!g) {
        return false;
    }
    *rect = {g->x + g->border_width, g->y + g->border_width, g->width, g->height};
    return true;
}

} // namespace

Display::Display() {
    conn = xcb_connect(nullptr, nullptr);
    if (xcb_connection_has_error(conn)) {
        std::fprintf(stderr, "xprobe: cannot open the display\n");
        std::exit(2);
    }
    screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
}

Display::~Display() {
    xcb_disconnect(conn);
}

void Sync(xcb_connection_t* conn) {
    std::free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
}

ClientWindow FindClientWindow(Display& d, long pid) {
    auto tree = Take(xcb_query_tree_reply(d.conn, xcb_query_tree(d.conn, d.screen->root), nullptr));
    ClientWindow found;
    if (!tree) {
        return found;
    }
    const xcb_window_t* children = xcb_query_tree_children(tree.get());
    const int n = xcb_query_tree_children_length(tree.get());
    std::vector<Rect> above; // bottom to top: the windows seen after the client's
    for (int i = 0; i < n; ++i) {
        Rect r;
        if (!Viewable(d.conn, children[i], &r)) {
            continue;
        }
        if (WindowPid(d.conn, children[i]) == pid &&
            r.width * r.height > found.rect.width * found.rect.height) {
            found = {children[i], r, false, WindowName(d.conn, children[i])};
            above.clear();
        } else if (found.id != 0) {
            above.push_back(r);
        }
    }
    for (const Rect& r : above) {
        found.covered = found.covered || r.Intersects(found.rect);
    }
    return found;
}

bool Colour::Matches(const std::uint8_t* bgrx) const {
    const auto near = [this](int have, std::uint32_t want) {
        return std::abs(have - static_cast<int>(want & 0xff)) <= tolerance;
    };
    return near(bgrx[2], rgb >> 16) && near(bgrx[1], rgb >> 8) && near(bgrx[0], rgb);
}

long CountOnRows(Display& d, const Rect& area, int rows, const Colour& colour) {
    long count = 0;
    for (int i = 0; i < rows; ++i) {
        const int y = area.y + (2 * i + 1) * area.height / (2 * rows);
        const std::string row = ReadArea(d, {area.x, y, area.width, 1});
        for (std::size_t x = 0; x + 4 <= row.size(); x += 4) {
            count += colour.Matches(reinterpret_cast<const std::uint8_t*>(row.data() + x)) ? 1 : 0;
        }
    }
    return count;
}

std::string ReadArea(Display& d, const Rect& area) {
    auto img = Take(xcb_get_image_reply(
        d.conn,
        xcb_get_image(d.conn, XCB_IMAGE_FORMAT_Z_PIXMAP, d.screen->root,
                      static_cast<std::int16_t>(area.x), static_cast<std::int16_t>(area.y),
                      static_cast<std::uint16_t>(area.width),
                      static_cast<std::uint16_t>(area.height), ~0U),
        nullptr));
    if (!img) {
        return {};
    }
    return {reinterpret_cast<const char*>(xcb_get_image_data(img.get())),
            static_cast<std::size_t>(xcb_get_image_data_length(img.get()))};
}

} // namespace xprobe
