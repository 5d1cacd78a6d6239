#pragma once

#include "profiles/RDP_ConnectPara.h"
#include "session/RDP_frmDesktop.h"
#include "session/RdpControlFactory.h"
#include "tests/session/FakeRdpControl.h"
#include "tests/support/FakePlatform.h"

#include <QMetaObject>

#include <memory>

namespace rdp::test {

// A session window whose control is a recording fake, over a connection list with one
// selected profile and the platform's fake (a 1920 x 1080 screen at 15 twips per pixel).
struct DesktopFixture {
    DesktopFixture() {
        ResetConnectPara();
        SetRdpControlFactory([this](QWidget* parent) {
            control = new FakeRdpControl(parent);
            return control;
        });
        gConnectPara().Add(QStringLiteral("办公室"), QStringLiteral("10.0.0.5"),
                           QStringLiteral("3389"), QString(), QString(), 0, 0, 0);
        gConnectPara().SetDefault(1);
        profile().setUserName(QStringLiteral("张三"));
        profile().setPassword(QStringLiteral("mima 1"));
        profile().setDesktopSize(1);
        window = std::make_unique<RDP_frmDesktop>();
    }
    ~DesktopFixture() {
        window.reset();
        SetRdpControlFactory({});
        ResetConnectPara();
    }
    DesktopFixture(const DesktopFixture&) = delete;
    DesktopFixture& operator=(const DesktopFixture&) = delete;

    static RDP_ConnectParaItems& profile() { return gConnectPara().Item(1); }

    // Init, then the good-logon events up to `status` (0 connecting, 1 connected, 3 logged
    // in); the control's calls so far are cleared.
    void open(int status = 0) {
        window->Init();
        control->raiseConnecting();
        if (status >= 1) {
            control->raiseConnected();
        }
        if (status >= 3) {
            control->raiseLoginComplete();
        }
        control->calls.clear();
    }

    void tick() { QMetaObject::invokeMethod(window.get(), "Timer_Timer"); }

    FakePlatform platform;
    FakeRdpControl* control = nullptr;
    std::unique_ptr<RDP_frmDesktop> window;
};

} // namespace rdp::test
