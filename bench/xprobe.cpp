// Small X11 measuring helper for bench/run-all.sh, the same for every client measured:
//
//   xprobe paint-root RRGGBB
//       gives the root window of $DISPLAY a solid background (a server's known colour, or
//       on the client's display a colour no server shows).
//   xprobe map-time WIDTH HEIGHT -- COMMAND [ARGS...]
//       starts COMMAND and prints map_ms (start until a top-level window of WIDTH x HEIGHT
//       is mapped), then, one second later, hwm_kb (its peak resident memory); ends it.
//   xprobe frame-time SINCE_NS PID RRGGBB REMOTE_W REMOTE_H [TIMEOUT_S]
//       first checks that the screen of $DISPLAY shows none of RRGGBB (else exit 3: a
//       harness fault), then polls the session window of process PID (its largest viewable
//       top-level window by _NET_WM_PID, not covered by another) until 80 % of the remote
//       desktop's part of it (REMOTE_W x REMOTE_H from its top-left corner) shows RRGGBB;
//       prints frame_ms, counted from SINCE_NS (CLOCK_REALTIME nanoseconds), and the window.
//       SINCE_NS given as @FILE: the probe prints "ready" and takes SINCE_NS from FILE once
//       it exists (the key that starts the client comes after it); the client's own windows
//       (a login window) are up then, so the first check is left to check-clear before the
//       client started and to the client's phase stamps.
//   xprobe check-clear RRGGBB
//       exit 3 (a harness fault) if the screen of $DISPLAY already shows RRGGBB.
//   xprobe count-frames PID SECONDS
//       reads the frame counter bench_animate draws in the remote desktop's top-left corner
//       from the session window of PID every 2 ms for SECONDS; prints the frames the client
//       drew, frames per second, the client's CPU seconds (all threads) and CPU per frame.
//   xprobe watch PID SECONDS
//       for SECONDS, every millisecond: prints "marker VALUE NS" when the counter of
//       bench_animate marker in the session window of PID shows a new value (NS:
//       CLOCK_REALTIME), and counts the changes of the strip below it (64 pixels wide, the
//       window's height: the start of every line of a terminal); prints updates and
//       updates per second, the pictures the client drew there.
//   xprobe picture-sum PID WIDTH HEIGHT
//       prints a checksum of WIDTH x HEIGHT pixels from the top-left corner of the session
//       window of PID (PID 0: of the screen), each channel cut to the bits 16-bit colour
//       keeps, so that a client's picture and the server's screen can be compared.
//   xprobe key-echo PID X Y W H -- COMMAND [ARGS...]
//       reads the area X,Y WxH of the top-level window of process PID, starts COMMAND (one
//       that types a key), and polls the area every millisecond until it changes over more
//       than three columns (a blinking text cursor changes one or two); prints echo_ms,
//       counted from COMMAND's start.
//   xprobe stamp-lines SINCE_NS
//       copies standard input to standard output, each line prefixed with the milliseconds
//       from SINCE_NS (CLOCK_REALTIME nanoseconds) to its arrival: a client's log lines as
//       phase stamps (FreeRDP's own log time has no usable milliseconds).
#include "xprobe_screen.h"

#include <xcb/xcb.h>

#include <algorithm>
#include <filesystem>

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

int PaintRoot(const char* colour) {
    xprobe::Display d;
    const auto pixel = static_cast<std::uint32_t>(std::strtoul(colour, nullptr, 16));
    xcb_change_window_attributes(d.conn, d.screen->root, XCB_CW_BACK_PIXEL, &pixel);
    xcb_clear_area(d.conn, 0, d.screen->root, 0, 0, 0, 0);
    xprobe::Sync(d.conn);
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
    xprobe::Display d;
    const std::uint32_t mask = XCB_EVENT_MASK_SUBSTRUCTURE_NOTIFY;
    xcb_change_window_attributes(d.conn, d.screen->root, XCB_CW_EVENT_MASK, &mask);
    xprobe::Sync(d.conn);
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

// Client CPU time so far, all threads, in nanoseconds (the scheduler's run time).
long long RunNs(long pid) {
    long long total = 0;
    const std::string tasks = "/proc/" + std::to_string(pid) + "/task";
    std::error_code gone;
    for (const auto& t : std::filesystem::directory_iterator(tasks, gone)) {
        std::ifstream stat(t.path() / "schedstat");
        long long ns = 0;
        if (stat >> ns) {
            total += ns;
        }
    }
    return total;
}

// The remote desktop's part of the session window.
xprobe::Rect RemoteArea(const xprobe::ClientWindow& w, int remoteW, int remoteH) {
    return {w.rect.x, w.rect.y, std::min(remoteW, w.rect.width), std::min(remoteH, w.rect.height)};
}

// Whether the screen shows `colour` anywhere beyond 1 % of 32 sample rows.
bool ShowsColour(xprobe::Display& d, const xprobe::Colour& colour) {
    constexpr int rows = 32;
    const xprobe::Rect screen{0, 0, d.screen->width_in_pixels, d.screen->height_in_pixels};
    return xprobe::CountOnRows(d, screen, rows, colour) > rows * screen.width / 100;
}

int CheckClear(const xprobe::Colour& colour) {
    xprobe::Display d;
    if (ShowsColour(d, colour)) {
        std::printf("fault=the display shows the remote colour before the client started\n");
        return 3;
    }
    return 0;
}

// SINCE_NS, or from @FILE once the file is there.
long long Since(const char* arg) {
    if (arg[0] != '@') {
        return std::atoll(arg);
    }
    std::printf("ready\n");
    std::fflush(stdout);
    for (;;) {
        std::ifstream file(arg + 1);
        long long since = 0;
        if (file >> since) {
            return since;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
}

int FrameTime(const char* sinceArg, long pid, const xprobe::Colour& colour, int remoteW,
              int remoteH, int timeoutS) {
    xprobe::Display d;
    constexpr int rows = 32;
    if (sinceArg[0] != '@' && ShowsColour(d, colour)) {
        std::printf("frame_ms=-1\nfault=the display shows the remote colour before the client "
                    "drew\n");
        return 3;
    }
    const long long since = Since(sinceArg);
    const long long deadline = since + static_cast<long long>(timeoutS) * 1000000000LL;
    while (NowNs() < deadline) {
        const xprobe::ClientWindow w = xprobe::FindClientWindow(d, pid);
        if (w.id != 0 && !w.covered) {
            const xprobe::Rect area = RemoteArea(w, remoteW, remoteH);
            if (xprobe::CountOnRows(d, area, rows, colour) >= 8L * rows * area.width / 10) {
                std::printf("frame_ms=%.1f\nwindow=0x%x %dx%d+%d+%d %s\n",
                            static_cast<double>(NowNs() - since) / 1e6, w.id, w.rect.width,
                            w.rect.height, w.rect.x, w.rect.y, w.name.c_str());
                return 0;
            }
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    std::printf("frame_ms=-1\n");
    return 1;
}

// The frame counter bench_animate draws: eight 16-pixel cells, white for a one; -1 where a
// cell is neither black nor white (not drawn yet, or torn).
int ReadCounter(xprobe::Display& d, const xprobe::ClientWindow& w) {
    constexpr int cells = 8, cell = 16;
    const std::string px = xprobe::ReadArea(d, {w.rect.x, w.rect.y, cells * cell, cell});
    if (px.size() < static_cast<std::size_t>(cells * cell * cell * 4)) {
        return -1;
    }
    int value = 0;
    for (int bit = 0; bit < cells; ++bit) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(
            px.data() + 4 * ((cell / 2) * cells * cell + bit * cell + cell / 2));
        const bool white = p[0] > 0xe0 && p[1] > 0xe0 && p[2] > 0xe0;
        const bool black = p[0] < 0x20 && p[1] < 0x20 && p[2] < 0x20;
        if (!white && !black) {
            return -1;
        }
        value |= white ? 1 << bit : 0;
    }
    return value;
}

// The session window of process `pid`; says so when there is none.
xprobe::ClientWindow WindowOf(xprobe::Display& d, long pid) {
    const xprobe::ClientWindow w = xprobe::FindClientWindow(d, pid);
    if (w.id == 0) {
        std::fprintf(stderr, "xprobe: no window of process %ld\n", pid);
    }
    return w;
}

int CountFrames(long pid, double seconds) {
    xprobe::Display d;
    const xprobe::ClientWindow w = WindowOf(d, pid);
    if (w.id == 0) {
        return 1;
    }
    long frames = 0;
    int last = ReadCounter(d, w);
    const long long c0 = RunNs(pid), t0 = NowNs();
    const long long end = t0 + static_cast<long long>(seconds * 1e9);
    while (NowNs() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
        const int v = ReadCounter(d, w);
        if (v >= 0 && v != last) {
            ++frames;
            last = v;
        }
    }
    const double cpu = static_cast<double>(RunNs(pid) - c0) / 1e9;
    const double wall = static_cast<double>(NowNs() - t0) / 1e9;
    std::printf("frames=%ld\nfps=%.2f\ncpu_s=%.4f\ncpu_per_frame_ms=%.3f\n", frames,
                static_cast<double>(frames) / wall, cpu,
                frames > 0 ? 1000.0 * cpu / static_cast<double>(frames) : -1.0);
    return frames > 0 ? 0 : 1;
}

int Watch(long pid, double seconds) {
    xprobe::Display d;
    const xprobe::ClientWindow w = WindowOf(d, pid);
    if (w.id == 0) {
        return 1;
    }
    const xprobe::Rect strip{w.rect.x, w.rect.y + 16, std::min(64, w.rect.width),
                             w.rect.height - 16};
    long updates = 0;
    int last = -1;
    std::string lastStrip = xprobe::ReadArea(d, strip);
    const long long t0 = NowNs(), end = t0 + static_cast<long long>(seconds * 1e9);
    while (NowNs() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
        const int v = ReadCounter(d, w);
        if (v >= 0 && v != last) {
            std::printf("marker %d %lld\n", v, NowNs());
            last = v;
        }
        std::string now = xprobe::ReadArea(d, strip);
        if (now != lastStrip) {
            ++updates;
            lastStrip = std::move(now);
        }
    }
    const double wall = static_cast<double>(NowNs() - t0) / 1e9;
    std::printf("updates=%ld\nups=%.2f\n", updates, static_cast<double>(updates) / wall);
    return 0;
}

int PictureSum(long pid, int width, int height) {
    xprobe::Display d;
    xprobe::Rect area{0, 0, width, height};
    if (pid != 0) {
        const xprobe::ClientWindow w = WindowOf(d, pid);
        if (w.id == 0) {
            return 1;
        }
        area = RemoteArea(w, width, height);
    }
    const std::string px = xprobe::ReadArea(d, area);
    std::uint64_t sum = 1469598103934665603ULL; // FNV-1a
    for (std::size_t i = 0; i + 4 <= px.size(); i += 4) {
        const auto* p = reinterpret_cast<const std::uint8_t*>(px.data() + i);
        for (const std::uint8_t c :
             {std::uint8_t(p[0] & 0xf8), std::uint8_t(p[1] & 0xfc), std::uint8_t(p[2] & 0xf8)}) {
            sum = (sum ^ c) * 1099511628211ULL;
        }
    }
    std::printf("sum=%016llx\n", static_cast<unsigned long long>(sum));
    return px.empty() ? 1 : 0;
}

// The width of the columns in which two reads of one area differ (0: none).
int ChangedColumns(const std::string& a, const std::string& b, int width) {
    if (a.size() != b.size() || width <= 0) {
        return 0;
    }
    int first = width, last = -1;
    for (std::size_t i = 0; i + 4 <= a.size(); i += 4) {
        if (std::memcmp(a.data() + i, b.data() + i, 3) != 0) {
            const int column = static_cast<int>(i / 4) % width;
            first = std::min(first, column);
            last = std::max(last, column);
        }
    }
    return last < 0 ? 0 : last - first + 1;
}

int KeyEcho(long pid, xprobe::Rect area, char** argv) {
    xprobe::Display d;
    const xprobe::ClientWindow w = xprobe::FindClientWindow(d, pid);
    if (w.id == 0) {
        std::fprintf(stderr, "xprobe: no window of process %ld\n", pid);
        return 1;
    }
    area.x += w.rect.x;
    area.y += w.rect.y;
    const std::string before = xprobe::ReadArea(d, area);
    const long long start = NowNs();
    const pid_t typist = Spawn(argv);
    long long echoed = -1;
    while (echoed < 0 && NowNs() - start < 10000000000LL) {
        if (ChangedColumns(before, xprobe::ReadArea(d, area), area.width) > 3) {
            echoed = NowNs();
        } else {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    waitpid(typist, nullptr, 0);
    std::printf("echo_ms=%.1f\n", echoed < 0 ? -1.0 : static_cast<double>(echoed - start) / 1e6);
    return echoed < 0 ? 1 : 0;
}

int StampLines(long long since) {
    char* line = nullptr;
    std::size_t size = 0;
    ssize_t n = 0;
    while ((n = getline(&line, &size, stdin)) > 0) {
        const bool ends = line[n - 1] == '\n';
        std::printf("%.1f %s%s", static_cast<double>(NowNs() - since) / 1e6, line,
                    ends ? "" : "\n");
        std::fflush(stdout);
    }
    std::free(line);
    return 0;
}

int Usage() {
    std::fprintf(stderr,
                 "usage: xprobe paint-root RRGGBB | map-time W H -- CMD... | "
                 "frame-time SINCE_NS PID RRGGBB REMOTE_W REMOTE_H [TIMEOUT_S] | "
                 "check-clear RRGGBB | count-frames PID SECONDS | watch PID SECONDS | "
                 "picture-sum PID W H | key-echo PID X Y W H -- CMD... | stamp-lines SINCE_NS\n");
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
    if (cmd == "frame-time" && argc >= 7) {
        const xprobe::Colour colour{static_cast<std::uint32_t>(std::strtoul(argv[4], nullptr, 16))};
        return FrameTime(argv[2], std::atol(argv[3]), colour, std::atoi(argv[5]),
                         std::atoi(argv[6]), argc >= 8 ? std::atoi(argv[7]) : 30);
    }
    if (cmd == "check-clear") {
        return CheckClear(
            xprobe::Colour{static_cast<std::uint32_t>(std::strtoul(argv[2], nullptr, 16))});
    }
    if (cmd == "count-frames" && argc >= 4) {
        return CountFrames(std::atol(argv[2]), std::atof(argv[3]));
    }
    if (cmd == "picture-sum" && argc >= 5) {
        return PictureSum(std::atol(argv[2]), std::atoi(argv[3]), std::atoi(argv[4]));
    }
    if (cmd == "watch" && argc >= 4) {
        return Watch(std::atol(argv[2]), std::atof(argv[3]));
    }
    if (cmd == "key-echo" && argc >= 10 && std::strcmp(argv[7], "--") == 0) {
        return KeyEcho(
            std::atol(argv[2]),
            {std::atoi(argv[3]), std::atoi(argv[4]), std::atoi(argv[5]), std::atoi(argv[6])},
            argv + 8);
    }
    if (cmd == "stamp-lines" && argc >= 3) {
        return StampLines(std::atoll(argv[2]));
    }
    return Usage();
}
