#include "common/Platform.h"

#include <cstdlib>

namespace rdp {

namespace {
Platform* gPlatform = nullptr;
} // namespace

Platform& platform() {
    if (gPlatform == nullptr) {
        std::abort(); // a programming error: no platform was installed
    }
    return *gPlatform;
}

void setPlatform(Platform* p) {
    gPlatform = p;
}

} // namespace rdp
