#include "common/PhaseStamps.h"

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>

namespace rdp {
namespace {

long long Now(clockid_t clock) {
    timespec ts{};
    clock_gettime(clock, &ts);
    return static_cast<long long>(ts.tv_sec) * 1000000000LL + ts.tv_nsec;
}

bool Enabled() {
    static const bool on = [] {
        const char* v = std::getenv("RDP_PHASE_STAMPS");
        return v != nullptr && std::strcmp(v, "1") == 0;
    }();
    return on;
}

std::atomic<long long> origin{0}; // monotonic nanoseconds of the "enter" stamp

} // namespace

void StampPhase(const char* name) {
    if (!Enabled()) {
        return;
    }
    const long long now = Now(CLOCK_MONOTONIC);
    long long start = 0;
    if (std::strcmp(name, "enter") == 0) {
        origin.store(now);
        start = now;
    } else if (origin.compare_exchange_strong(start, now)) {
        start = now; // the first stamp of a process without an Enter
    }
    std::fprintf(stderr, "rdp-phase %s %.1f %lld\n", name, (now - start) / 1e6,
                 Now(CLOCK_REALTIME));
}

} // namespace rdp
