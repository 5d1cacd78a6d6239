// The program: the application object, the platform, the Remote Desktop control's factory,
// the start and the event loop.
#include "Version.h"
#include "app/FreeRdpLoader.h"
#include "app/RDP_basApp.h"
#include "common/ProcessDumps.h"
#include "session/DesktopWindow.h"
#include "session/RdpControlFactory.h"
#include "ui/common/QtPlatform.h"
#include "ui/common/RDP_basUI.h"
#include "ui/login/RDP_frmLogin.h"

#include <QApplication>
#include <QStyleFactory>

#include <cstdio>
#include <cstring>

namespace {

// --version and --help are answered without a display; any other argument is ignored.
bool AnswerCommandLine(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--version") == 0) {
            std::printf("rdp-launcher %s\n", rdp::VersionText);
            return true;
        }
        if (std::strcmp(argv[i], "--help") == 0) {
            std::printf("%s %s\n用法：rdp-launcher [--version] [--help]\n"
                        "通过保存的连接登录远程桌面。连接设置保存在程序所在文件夹的 WinEx.DLL "
                        "中。\n",
                        rdp::DisplayName, rdp::VersionText);
            return true;
        }
    }
    return false;
}

// The passwords typed into the program stay in its memory: never in a core dump in the
// program's folder, never read by another process of the user.
void KeepSecretsInMemory() {
    if (!rdp::ForbidProcessDumps()) {
        std::fputs("rdp-launcher: core dumps could not be switched off\n", stderr);
    }
}

} // namespace

int main(int argc, char** argv) {
    KeepSecretsInMemory();
    if (AnswerCommandLine(argc, argv)) {
        return 0;
    }
    // Topmost windows and moving a window by code need X11; under Wayland this runs
    // through XWayland.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "xcb");
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("rdp-launcher"));
    // No application display name: Qt would append it to every title the desktop shows.
    QApplication::setApplicationVersion(QString::fromLatin1(rdp::VersionText));
    QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
    // Name the CJK face the set-up installs: Qt then finds every glyph of the windows in one
    // font instead of searching the fallbacks (a fifth of the start-up's work).
    QApplication::setFont(RDP_basUI::DesignedFont());
    // The program ends only through its own windows, never because none is shown.
    QApplication::setQuitOnLastWindowClosed(false);

    rdp::QtPlatform platform;
    rdp::setPlatform(&platform);
    // The FreeRDP control and its library are a module, loaded when the user starts typing
    // in the login window (or, at the latest, for the first session).
    rdp::SetRdpControlFactory(&rdp::CreateFreeRdpControlFromModule);

    // Every screen question is answered by the monitor the login window is on.
    platform.setScreenWindow(&frmLogin());
    RDP_basApp::Main();
    // The library loads while the user types: the idle login window stays small.
    QObject::connect(&frmLogin(), &RDP_frmLogin::FirstKeyPress, &app, &rdp::PreloadFreeRdpModule,
                     Qt::QueuedConnection);
    const int status = QApplication::exec();
    UnloadLoginWindow();
    rdp::UnloadDesktopWindow();
    return status;
}
