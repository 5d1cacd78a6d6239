#include "session/freerdp/module/WarmUp.h"

#include <freerdp/locale/keyboard.h>
#include <freerdp/primitives.h>

#include <mutex>
#include <thread>

namespace rdp::freerdp {
namespace {

std::once_flag keyboardOnce;
std::once_flag primitivesOnce;
std::uint32_t keyboardLayout = 0x409;

// Joins the warm-up thread when the program ends normally (tests); a program that ends at
// once never runs it.
struct WarmUpThread {
    std::thread thread;
    ~WarmUpThread() {
        if (thread.joinable()) {
            thread.join();
        }
    }
};

WarmUpThread& Background() {
    static WarmUpThread t;
    return t;
}

} // namespace

std::uint32_t KeyboardLayout() {
    std::call_once(keyboardOnce, [] {
        const DWORD layout = freerdp_keyboard_init(0);
        keyboardLayout = layout != 0 ? layout : 0x409;
    });
    return keyboardLayout;
}

void EnsurePrimitives() {
    std::call_once(primitivesOnce, [] {
        // Without this hint the first call runs a speed contest of its generic and
        // optimised routines (~0.3 s); this build has no GPU routines, so the optimised
        // ones are the only other choice and are taken directly.
        primitives_set_hints(PRIMITIVES_ONLY_CPU);
        primitives_get();
    });
}

void WarmUpInBackground() {
    static std::once_flag started;
    std::call_once(started, [] {
        Background().thread = std::thread([] {
            EnsurePrimitives();
            KeyboardLayout();
        });
    });
}

} // namespace rdp::freerdp
