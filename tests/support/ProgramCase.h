#pragma once

#include "profiles/RDP_ConnectPara.h"
#include "tests/session/FakeRdpControl.h"
#include "tests/support/FakePlatform.h"
#include "ui/login/RDP_frmLogin.h"

#include <QObject>
#include <QTemporaryDir>

#include <memory>

namespace rdp::test {

// The fixture of the cases that run the program's windows over the recording control: for
// each case a folder of its own that is the program folder and the system folder, the faked
// platform, an empty list, and session windows made with FakeRdpControl (`control_`, the
// last one made); afterwards no login or session window is left.
class ProgramCase : public QObject {
protected:
    std::unique_ptr<QTemporaryDir> dir_;
    std::unique_ptr<FakePlatform> fake_;
    FakeRdpControl* control_ = nullptr;

    // For the test's init().
    void openCase() {
        dir_ = std::make_unique<QTemporaryDir>();
        fake_ = std::make_unique<FakePlatform>();
        fake_->programFolder = dir_->path();
        fake_->systemFolder = dir_->path() + QLatin1Char('/');
        ResetConnectPara();
        InstallFakeControls(control_);
    }

    // For the test's cleanup().
    void closeCase() {
        UnloadLoginWindow();
        RemoveFakeControls();
        fake_.reset();
        dir_.reset();
    }
};

} // namespace rdp::test
