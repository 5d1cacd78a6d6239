#include "app/FreeRdpLoader.h"

#include "session/freerdp/FreeRdpModule.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>

#include <dlfcn.h>

namespace rdp {
namespace {

struct FreeRdpModule {
    RdpFreeRdpCreateControl create = nullptr;
};

void* OpenModule() {
    const QString beside =
        QCoreApplication::applicationDirPath() + QStringLiteral("/" RDP_FREERDP_MODULE_FILE);
    const QByteArray path = QFile::exists(beside) ? QFile::encodeName(beside)
                                                  : QByteArray(RDP_FREERDP_MODULE_BUILD_PATH);
    void* handle = dlopen(path.constData(), RTLD_NOW | RTLD_LOCAL);
    if (!handle) {
        std::fprintf(stderr, "rdp-launcher: %s\n", dlerror());
    }
    return handle;
}

FreeRdpModule Load() {
    FreeRdpModule m;
    void* handle = OpenModule();
    if (!handle) {
        return m;
    }
    auto warmUp = reinterpret_cast<RdpFreeRdpWarmUp>(dlsym(handle, "rdp_freerdp_warm_up"));
    m.create =
        reinterpret_cast<RdpFreeRdpCreateControl>(dlsym(handle, "rdp_freerdp_create_control"));
    if (warmUp) {
        warmUp();
    }
    return m;
}

const FreeRdpModule& Module() {
    static const FreeRdpModule module = Load(); // never unloaded
    return module;
}

} // namespace

void PreloadFreeRdpModule() {
    Module();
}

RdpClientControl* CreateFreeRdpControlFromModule(QWidget* parent) {
    const FreeRdpModule& module = Module();
    return module.create ? module.create(parent) : nullptr;
}

} // namespace rdp
