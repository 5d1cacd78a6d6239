#pragma once

#include "profiles/RDP_ConnectPara.h"
#include "session/RDP_frmDesktop.h"
#include "session/RdpControlFactory.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/support/FakePlatform.h"

#include <memory>

namespace rdp::test {

// The fixture of the cases that drive the program's session window with the real control:
// the private folder (its FreeRDP folder for the control), the faked platform (messages recorded,
// no end of the program) and the window opened on a one-profile list.
class WindowCase : public E2eCase {
public:
    using E2eCase::E2eCase;

protected:
    FakePlatform platform_;
    std::unique_ptr<RDP_frmDesktop> window_;
    rdp::freerdp::FreeRdpControl* control_ = nullptr;

    // `reconnectSpanMs` as for InstallAcceptingControls.
    void openWindow(const QString& host, const QString& port, const QString& user,
                    const QString& password, bool reconnect, int reconnectSpanMs = 0) {
        ResetConnectPara();
        InstallAcceptingControls(work_.path() + QStringLiteral("/freerdp"), control_,
                                 reconnectSpanMs);
        gConnectPara().Add(QStringLiteral("测试"), host, port, QString(), QString(), 0, 0, 0);
        gConnectPara().SetDefault(1);
        gConnectPara().Item(1).setUserName(user);
        gConnectPara().Item(1).setPassword(password);
        gConnectPara().Item(1).setDesktopSize(2);
        gConnectPara().Item(1).setCanAutoReconnect(reconnect ? 1 : 0);
        window_ = std::make_unique<RDP_frmDesktop>();
        window_->Init();
    }

    void closeWindow() {
        window_.reset();
        rdp::SetRdpControlFactory({});
        ResetConnectPara();
        platform_.messages.clear();
        platform_.endCalls = 0;
    }
};

} // namespace rdp::test
