#include "app/FreeRdpLoader.h"

#include "Version.h"
#include "common/Errors.h"
#include "session/freerdp/module/FreeRdpModule.h"

#include <QCoreApplication>
#include <QFile>
#include <QFileInfo>

#include <cstdio>
#include <cstring>
#include <future>

#include <dlfcn.h>

namespace rdp {
namespace {

// The classic runtime's number for "component cannot create object".
constexpr int CannotCreateObject = 429;

const QString ModuleFile = QStringLiteral(RDP_FREERDP_MODULE_FILE);

// Only where the program lives: beside it, or in the library folder of its installation.
// A build made for the tests also finds the module in its own build tree.
QStringList ModuleCandidates() {
    const QString dir = QCoreApplication::applicationDirPath();
    QStringList candidates{dir + QLatin1Char('/') + ModuleFile,
                           dir + QStringLiteral("/../lib/rdp-launcher/") + ModuleFile};
#ifdef RDP_FREERDP_MODULE_BUILD_PATH
    candidates.append(QStringLiteral(RDP_FREERDP_MODULE_BUILD_PATH));
#endif
    return candidates;
}

QString KeepTogether() {
    return QStringLiteral(
               "请保持程序文件夹完整：复制或移动 rdp-launcher 时，须连同同一文件夹中的 ") +
           ModuleFile + QStringLiteral(" 一起复制或移动。");
}

// The module and the program were built together: each checks the other's version.
bool VersionsMatch(void* handle) {
    auto version =
        reinterpret_cast<RdpFreeRdpModuleVersion>(dlsym(handle, "rdp_freerdp_module_version"));
    auto accepts =
        reinterpret_cast<RdpFreeRdpAcceptsProgram>(dlsym(handle, "rdp_freerdp_accepts_program"));
    return version != nullptr && accepts != nullptr &&
           std::strcmp(version(), rdp::VersionText) == 0 && accepts(rdp::VersionText) != 0;
}

FreeRdpModule Open(const QString& path) {
    FreeRdpModule m;
    void* handle = dlopen(QFile::encodeName(path).constData(), RTLD_NOW | RTLD_LOCAL);
    if (handle == nullptr) {
        m.problem = QStringLiteral("无法加载远程桌面模块 ") + path + QStringLiteral("（") +
                    QString::fromLocal8Bit(dlerror()) + QStringLiteral("）。") + KeepTogether();
        return m;
    }
    if (!VersionsMatch(handle)) {
        m.problem = QStringLiteral("远程桌面模块 ") + path + QStringLiteral(" 与程序的版本不符。") +
                    KeepTogether();
        return m; // left loaded: unloading a library that has run its constructors is unsafe
    }
    m.create =
        reinterpret_cast<RdpFreeRdpCreateControl>(dlsym(handle, "rdp_freerdp_create_control"));
    if (m.create == nullptr) {
        m.problem = QStringLiteral("远程桌面组件无法启动：模块 ") + path +
                    QStringLiteral(" 中没有入口 rdp_freerdp_create_control（") +
                    QString::fromLocal8Bit(dlerror()) + QStringLiteral("）。") + KeepTogether();
        return m;
    }
    if (auto warmUp = reinterpret_cast<RdpFreeRdpWarmUp>(dlsym(handle, "rdp_freerdp_warm_up"))) {
        warmUp();
    }
    return m;
}

} // namespace

FreeRdpModule LoadFreeRdpModule(const QStringList& candidates) {
    for (const QString& path : candidates) {
        if (QFileInfo(path).isFile()) {
            return Open(path);
        }
    }
    FreeRdpModule m;
    m.problem = QStringLiteral("找不到远程桌面模块 ") + candidates.first() + QStringLiteral("。") +
                KeepTogether();
    return m;
}

namespace {

// The one load of the module (never unloaded), started by the first caller: in the
// background or, when nothing started it before, right where it is needed. GUI thread only;
// a load still running when the program ends is waited for.
const std::shared_future<FreeRdpModule>& Module(std::launch how) {
    static std::shared_future<FreeRdpModule> loaded;
    if (!loaded.valid()) {
        loaded = std::async(how, [candidates = ModuleCandidates()] {
            FreeRdpModule m = LoadFreeRdpModule(candidates);
            if (m.create == nullptr) {
                std::fprintf(stderr, "rdp-launcher: %s\n", m.problem.toLocal8Bit().constData());
            }
            return m;
        });
    }
    return loaded;
}

} // namespace

void PreloadFreeRdpModule() {
    Module(std::launch::async);
}

RdpClientControl* CreateFreeRdpControlFromModule(QWidget* parent) {
    const FreeRdpModule& module = Module(std::launch::deferred).get();
    if (module.create == nullptr) {
        throw Error(CannotCreateObject, module.problem);
    }
    return module.create(parent);
}

} // namespace rdp
