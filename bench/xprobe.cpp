// Small X11 measuring helper for bench/run-all.sh, the same for every client measured:
//
//   xprobe paint-root RRGGBB
//       gives the root window of $DISPLAY a solid background (the server's known colour).
//   xprobe map-time WIDTH HEIGHT -- COMMAND [ARGS...]
//       starts COMMAND and prints map_ms (start until a top-level window of WIDTH x HEIGHT
//       is mapped), then, one second later, hwm_kb (its peak resident memory); ends it.
//   xprobe frame-time SINCE_NS REMOTE_W REMOTE_H [TIMEOUT_S]
//       polls the screen of $DISPLAY until most of a remote desktop of REMOTE_W x REMOTE_H
//       shows in red; prints frame_ms, counted from SINCE_NS (CLOCK_REALTIME nanoseconds).
#include <xcb/xcb.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <string>
#include <thread>

#include <sys/wait.h>
#include <unistd.h>

namespace {

long long NowNs() {
    timespec ts{};
    clock_gettime(CLOCK_REALTIME, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

struct Display {
    xcb_connection_t* conn = nullptr;
    xcb_screen_t* screen = nullptr;
    Display() {
        conn = xcb_connect(nullptr, nullptr);
        if (xcb_connection_has_error(conn)) {
            std::fprintf(stderr, "xprobe: cannot open the display\n");
            std::exit(2);
        }
        screen = xcb_setup_roots_iterator(xcb_get_setup(conn)).data;
    }
    ~Display() { xcb_disconnect(conn); }
    Display(const Display&) = delete;
    Display& operator=(const Display&) = delete;
};

// Waits until the server has handled every request sent so far.
void Sync(xcb_connection_t* conn) {
    std::free(xcb_get_input_focus_reply(conn, xcb_get_input_focus(conn), nullptr));
}

int PaintRoot(const char* colour) {
    Display d;
    const auto pixel = static_cast<std::uint32_t>(std::strtoul(colour, nullptr, 16));
    xcb_change_window_attributes(d.conn, d.screen->root, XCB_CW_BACK_PIXEL, &pixel);
    xcb_clear_area(d.conn, 0, d.screen->root, 0, 0, 0, 0);
    Sync(d.conn);
    return 0;
}

pid_t Spawn(char** argv) {
    const pid_t pid = fork();
    if (pid == 0) {
        execvp(argv[0], argv);
        std::perror("xprobe: exec");
        _exit(127);
    }
    return pid;
}

long PeakResidentKb(pid_t pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

void EndChild(pid_t pid) {
    kill(pid, SIGTERM);
    for (int i = 0; i < 100; ++i) {
        if (waitpid(pid, nullptr, WNOHANG) == pid) {
            return;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
}

bool HasSize(xcb_connection_t* conn, xcb_window_t w, int width, int height) {
    xcb_get_geometry_reply_t* g = xcb_get_geometry_reply(conn, xcb_get_geometry(conn, w), nullptr);
    const bool match = g && g->width == width && g->height == height;
    std::free(g);
    return match;
}

int MapTime(int width, int height, char** argv) {
    Display d;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(d.conn, d.screen->root, XCB_CW_EVENT_MASK, &mask);
    Sync(d.conn);
    const long long start = NowNs();
    const pid_t pid = Spawn(argv);
    long long mapped = -1;
    while (mapped < 0) {
        xcb_generic_event_t* e = xcb_wait_for_event(d.conn);
        if (!e) {
            break;
        }
        if ((e->response_type & 0x7f) == XCB_MAP_NOTIFY) {
            const auto* m = reinterpret_cast<xcb_map_notify_event_t*>(e);
            if (m->event == d.screen->root && HasSize(d.conn, m->window, width, height)) {
                mapped = NowNs();
            }
        }
        std::free(e);
    }
    std::printf("map_ms=%.1f\n", static_cast<double>(mapped - start) / 1e6);
    std::this_thread::sleep_for(std::chrono::seconds(1));
    std::printf("hwm_kb=%ld\n", PeakResidentKb(pid));
    std::fflush(stdout);
    EndChild(pid);
    return mapped < 0 ? 1 : 0;
}

bool IsRed(const std::uint8_t* bgrx) {
    return bgrx[2] >= 0xc0 && bgrx[1] <= 0x40 && bgrx[0] <= 0x40;
}

// Red pixels on 32 rows spread over the screen.
long RedOnSampleRows(Display& d, int rows) {
    long red = 0;
    const int w = d.screen->width_in_pixels;
    for (int i = 0; i < rows; ++i) {
        const auto y =
            static_cast<std::int16_t>((2 * i + 1) * d.screen->height_in_pixels / (2 * rows));
        xcb_get_image_reply_t* img =
            xcb_get_image_reply(d.conn,
                                xcb_get_image(d.conn, XCB_IMAGE_FORMAT_Z_PIXMAP, d.screen->root, 0,
                                              y, static_cast<std::uint16_t>(w), 1, ~0U),
                                nullptr);
        if (!img) {
            continue;
        }
        const std::uint8_t* p = xcb_get_image_data(img);
        const int bytes = xcb_get_image_data_length(img);
        for (int x = 0; x + 4 <= bytes; x += 4) {
            red += IsRed(p + x) ? 1 : 0;
        }
        std::free(img);
    }
    return red;
}

int FrameTime(long long since, int remoteW, int remoteH, int timeoutS) {
    Display d;
    constexpr int rows = 32;
    // Rows that fall on the remote desktop, wherever the client puts it; 90 % of them red.
    const double expected =
        static_cast<double>(remoteW) * rows * remoteH / d.screen->height_in_pixels;
    const long need = static_cast<long>(0.9 * expected);
    const long long deadline = since + static_cast<long long>(timeoutS) * 1000000000LL;
    if (RedOnSampleRows(d, rows) >= need) {
        std::printf("frame_ms=-1\n"); // already there: not this client's frame
        return 1;
    }
    while (NowNs() < deadline) {
        if (RedOnSampleRows(d, rows) >= need) {
            std::printf("frame_ms=%.1f\n", static_cast<double>(NowNs() - since) / 1e6);
            return 0;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    std::printf("frame_ms=-1\n");
    return 1;
}

int Usage() {
    std::fprintf(stderr, "usage: xprobe paint-root RRGGBB | map-time W H -- CMD... | "
                         "frame-time SINCE_NS REMOTE_W REMOTE_H [TIMEOUT_S]\n");
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    if (argc < 3) {
        return Usage();
    }
    const std::string cmd = argv[1];
    if (cmd == "paint-root") {
        return PaintRoot(argv[2]);
    }
    if (cmd == "map-time" && argc >= 6 && std::strcmp(argv[4], "--") == 0) {
        return MapTime(std::atoi(argv[2]), std::atoi(argv[3]), argv + 5);
    }
    if (cmd == "frame-time" && argc >= 5) {
        return FrameTime(std::atoll(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]),
                         argc >= 6 ? std::atoi(argv[5]) : 30);
    }
    return Usage();
}
