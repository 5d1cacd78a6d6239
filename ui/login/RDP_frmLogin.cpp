#include "ui/login/RDP_frmLogin.h"

#include "Version.h"
#include "common/Errors.h"
#include "common/PhaseStamps.h"
#include "common/Platform.h"
#include "common/ShowMsg.h"
#include "common/TextHelpers.h"
#include "profiles/ConnectParaStore.h"
#include "profiles/RDP_ConnectPara.h"
#include "profiles/StoreTell.h"
#include "ui/common/BusyLockWait.h"
#include "ui/login/LoginHandover.h"

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>

RDP_frmLogin::RDP_frmLogin(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("RDP_frmLogin"));
}

RDP_frmLogin::~RDP_frmLogin() = default;

void RDP_frmLogin::Init() {
    if (cmdOk == nullptr) {
        BuildControls();
        connect(txtPassword, &QLineEdit::textEdited, this, &RDP_frmLogin::txtPassword_Edited);
    }
    FillClientList();
    lblVersion->setToolTip(VersionText());
    ShowAgain();
    txtUserName->setFocus();
    if (cmbClient->count() == 0) {
        const int answer = rdp::Warn(
            QStringLiteral("如果您是第一次使用，请先设置新的连接。\r\n\r\n您现在需要新建连接吗？"),
            rdp::MsgStyle::ExclamationYesNo);
        if (answer == rdp::MsgResult::Yes) {
            SetupConnections();
        }
    }
}

QString RDP_frmLogin::VersionText() {
    return QStringLiteral("版本：%1.%2.%3")
        .arg(rdp::VersionMajor)
        .arg(rdp::VersionMinor)
        .arg(rdp::VersionRevision);
}

void RDP_frmLogin::FillClientList() {
    RDP_ConnectPara& list = gConnectPara();
    {
        // The list fires its own change signals while it is filled: the click handler runs
        // only where it is called below.
        const QSignalBlocker blocker(cmbClient);
        cmbClient->clear();
        for (int i = 1; i <= list.Count(); ++i) {
            cmbClient->addItem(list.Item(i).ConnectName(), i);
        }
        cmbClient->setCurrentIndex(-1);
    }
    const int n = cmbClient->count();
    if (list.Count() > 0 && n > 0) {
        const int s = list.SelectIndex();
        cmbClient->setCurrentIndex(s > 0 && s - 1 < n ? s - 1 : 0);
        cmbClient_Click();
    }
    lblClient->setVisible(n > 1);
    cmbClient->setVisible(n > 1);
}

void RDP_frmLogin::cmbClient_Click() {
    if (cmbClient->count() < 1) {
        return;
    }
    RDP_ConnectPara& list = gConnectPara();
    list.setSelectIndex(cmbClient->currentData().toInt());
    const RDP_ConnectParaItems& profile = list.Item(list.SelectIndex());
    txtUserName->setText(profile.UserName());
    txtPassword->setText(profile.Password());
    passwordFromStore_ = !profile.Password().isEmpty();
}

// A password filled in from the store stays secret until the user has emptied the box.
void RDP_frmLogin::txtPassword_Edited(const QString& text) {
    if (text.isEmpty()) {
        passwordFromStore_ = false;
    }
}

bool RDP_frmLogin::ConfirmCredentials(const QString& user, const QString& password) {
    if (user.isEmpty()) {
        rdp::Warn(QStringLiteral("用户名称不能为空。请输入用户名称。"));
        return false;
    }
    if (password.isEmpty()) {
        rdp::Warn(QStringLiteral("密码不能为空。请输入密码！"));
        return false;
    }
    return true;
}

void RDP_frmLogin::cmdOk_Click() {
    rdp::StampPhase("enter");
    const QString user = RDP_basPublic::TrimSpaces(txtUserName->text()).toString();
    // A password is used exactly as typed; only one of blanks alone counts as empty.
    const QString password = txtPassword->text();
    if (!ConfirmCredentials(user, RDP_basPublic::TrimSpaces(password).toString())) {
        return;
    }
    try {
        RDP_ConnectPara& list = gConnectPara();
        if (list.SelectIndex() > 0) {
            if (list.SelectIndex() != list.SelectIndexOld()) {
                RDP_basUI::BusyLockWait wait(this); // the window paints while it waits
                // the new choice survives a restart
                RDP_basClient::TellStoreResult(RDP_basClient::SaveConnectPara(list, wait));
            }
            RDP_ConnectParaItems& profile = list.Item(list.SelectIndex());
            profile.setUserName(user);
            profile.setPassword(password);
        }
        hide();
        if (handover_ == nullptr || !handover_->OpenDesktop()) {
            ShowAgain();
        }
    } catch (const rdp::Error& e) {
        rdp::Warn(e.description());
        ShowAgain();
    }
}

void RDP_frmLogin::ShowAgain() {
    show();
    raise();
    activateWindow(); // the user can type at once
}

void RDP_frmLogin::SetupConnections() {
    hide();
    if (handover_ != nullptr) {
        handover_->OpenSetup();
    }
    FillClientList();
    // Back from the setup window the keyboard is in the password box, whichever button
    // opened the setup window: what the user types next is never lost, nor sent into the
    // user name.
    txtPassword->setFocus(Qt::ActiveWindowFocusReason);
    ShowAgain();
}

void RDP_frmLogin::cmdCancel_Click() {
    rdp::platform().EndProgram();
}

void RDP_frmLogin::cmdSetup_Click() {
    SetupConnections();
}

namespace {
// Not an object with a destructor of its own: a window must never be destroyed by the
// program's exit handlers, after the window system connection may be gone.
RDP_frmLogin* gLogin = nullptr;
} // namespace

RDP_frmLogin& frmLogin() {
    if (gLogin == nullptr) {
        gLogin = new RDP_frmLogin();
    }
    return *gLogin;
}

void UnloadLoginWindow() {
    delete gLogin;
    gLogin = nullptr;
}
