// A workload that loads an RDP client: on $DISPLAY (the server's screen) a full-screen
// window whose whole picture changes FPS times a second until the process is ended.
//
//   bench_animate [FPS]        (30 unless given)
//   bench_animate marker MS    only the frame counter, in a small window above all others,
//                              one step every MS milliseconds (+-40 %, at random); prints
//                              "VALUE NS" once the X server has drawn each value (NS:
//                              CLOCK_REALTIME), the moment a client's latency counts from
//
// Each frame fills the screen with 24 x 24 tiles in sixteen colours, shifted by one colour a
// frame, so every tile changes every frame. The top-left corner carries the frame counter:
// COUNTER_CELLS cells of COUNTER_CELL pixels, black or white, one bit each (bench_xprobe
// count-frames reads them on the client's display to count the frames the client drew).
#include <xcb/xcb.h>

#include <array>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <string>
#include <unistd.h>
#include <vector>

namespace {

constexpr int Tile = 24;
constexpr int Colours = 16;
constexpr int CounterCells = 8;
constexpr int CounterCell = 16;

// Sixteen colours far apart in every channel, so 16-bit colour keeps them apart.
constexpr std::array<std::uint32_t, Colours> Palette = {
    0x1f77b4, 0xff7f0e, 0x2ca02c, 0xd62728, 0x9467bd, 0x8c564b, 0xe377c2, 0x7f7f7f,
    0xbcbd22, 0x17becf, 0x393b79, 0xe7ba52, 0x843c39, 0x5254a3, 0x6b6ecf, 0xad494a};

struct Painter {
    xcb_connection_t* conn;
    xcb_window_t window;
    xcb_gcontext_t gc;
    int width, height;

    void Fill(std::uint32_t pixel, const std::vector<xcb_rectangle_t>& rects) const {
        if (rects.empty()) {
            return;
        }
        xcb_change_gc(conn, gc, XCB_GC_FOREGROUND, &pixel);
        xcb_poly_fill_rectangle(conn, window, gc, static_cast<std::uint32_t>(rects.size()),
                                rects.data());
    }

    void Counter(unsigned frame) const {
        std::vector<xcb_rectangle_t> ones, zeros;
        for (int bit = 0; bit < CounterCells; ++bit) {
            const xcb_rectangle_t cell{static_cast<std::int16_t>(bit * CounterCell), 0, CounterCell,
                                       CounterCell};
            ((frame >> bit) & 1U ? ones : zeros).push_back(cell);
        }
        Fill(0xffffff, ones);
        Fill(0x000000, zeros);
    }

    // A round trip: returns once the server drew everything sent before.
    void Sync() const {
        std::free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
    }

    void Frame(unsigned frame) const {
        std::array<std::vector<xcb_rectangle_t>, Colours> byColour;
        for (int y = 0; y < height; y += Tile) {
            for (int x = 0; x < width; x += Tile) {
                const unsigned c = (static_cast<unsigned>(x / Tile) * 7U +
                                    static_cast<unsigned>(y / Tile) * 3U + frame) %
                                   Colours;
                byColour[c].push_back(
                    {static_cast<std::int16_t>(x), static_cast<std::int16_t>(y), Tile, Tile});
            }
        }
        for (int c = 0; c < Colours; ++c) {
            Fill(Palette[static_cast<std::size_t>(c)], byColour[static_cast<std::size_t>(c)]);
        }
        Counter(frame);
        Sync(); // the next frame starts only once the server drew this one
    }
};

void SleepUntil(const timespec& t) {
    while (clock_nanosleep(CLOCK_MONOTONIC, TIMER_ABSTIME, &t, nullptr) != 0) {
    }
}

} // namespace

namespace {

void Advance(timespec& t, long ns) {
    t.tv_nsec += ns;
    t.tv_sec += t.tv_nsec / 1000000000L;
    t.tv_nsec %= 1000000000L;
}

Painter OpenWindow(xcb_connection_t* conn, int width, int height) {
    xcb_screen_t* screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
    Painter p{conn, xcb_generate_id(conn), xcb_generate_id(conn),
              width > 0 ? width : screen->width_in_pixels,
              height > 0 ? height : screen->height_in_pixels};
    const std::uint32_t values[] = {0, 1}; // no background, override-redirect
    xcb_create_window(conn, XCB_COPY_FROM_PARENT, p.window, screen->root, 0, 0,
                      static_cast<std::uint16_t>(p.width), static_cast<std::uint16_t>(p.height), 0,
                      XCB_WINDOW_CLASS_INPUT_OUTPUT, screen->root_visual,
                      XCB_CW_BACK_PIXEL | XCB_CW_OVERRIDE_REDIRECT, values);
    xcb_create_gc(conn, p.gc, p.window, 0, nullptr);
    xcb_map_window(conn, p.window);
    return p;
}

void Animate(xcb_connection_t* conn, int fps) {
    const Painter p = OpenWindow(conn, 0, 0);
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (unsigned frame = 0; !xcb_connection_has_error(conn); ++frame) {
        p.Frame(frame);
        Advance(next, 1000000000L / fps);
        SleepUntil(next);
    }
}

void Marker(xcb_connection_t* conn, int periodMs) {
    const Painter p = OpenWindow(conn, CounterCells * CounterCell, CounterCell);
    std::srand(static_cast<unsigned>(getpid()));
    timespec next{};
    clock_gettime(CLOCK_MONOTONIC, &next);
    for (unsigned value = 1; !xcb_connection_has_error(conn); ++value) {
        const std::uint32_t above = XCB_STACK_MODE_ABOVE; // over a window mapped later
        xcb_configure_window(conn, p.window, XCB_CONFIG_WINDOW_STACK_MODE, &above);
        p.Counter(value);
        p.Sync();
        timespec now{};
        clock_gettime(CLOCK_REALTIME, &now);
        std::printf("%u %lld\n", value % 256,
                    static_cast<long long>(now.tv_sec) * 1000000000LL + now.tv_nsec);
        std::fflush(stdout);
        Advance(next, periodMs * (600L + std::rand() % 801) * 1000L);
        SleepUntil(next);
    }
}

} // namespace

int main(int argc, char** argv) {
    const bool marker = argc > 2 && std::string(argv[1]) == "marker";
    const int rate = marker ? std::atoi(argv[2]) : argc > 1 ? std::atoi(argv[1]) : 30;
    xcb_connection_t* conn = xcb_connect(nullptr, nullptr);
    if (rate <= 0 || xcb_connection_has_error(conn)) {
        std::fprintf(stderr, "usage: bench_animate [FPS] | marker MS (with DISPLAY set)\n");
        return 2;
    }
    if (marker) {
        Marker(conn, rate);
    } else {
        Animate(conn, rate);
    }
    return 0;
}
