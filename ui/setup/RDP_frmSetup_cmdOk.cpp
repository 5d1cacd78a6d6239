// Saving and cancelling the setup window.
#include "ui/setup/RDP_frmSetup.h"

#include "common/Errors.h"
#include "common/TextHelpers.h"
#include "profiles/ConnectParaStore.h"
#include "profiles/RDP_ConnectPara.h"
#include "profiles/StoreTell.h"
#include "ui/common/BusyLockWait.h"
#include "ui/setup/SetupOptionLists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>

namespace {

std::uint8_t FlagOf(const QCheckBox* box) {
    return box->checkState() != Qt::Unchecked ? 1 : 0;
}

} // namespace

void RDP_frmSetup::cmdOk_Click() {
    try {
        RDP_ConnectPara& list = gConnectPara();
        if (list.Count() > 0) {
            WriteProfile(list.SelectIndex());
            RDP_basUI::BusyLockWait wait(this);
            if (!RDP_basClient::TellStoreResult(RDP_basClient::SaveConnectPara(list, wait))) {
                return; // the edits stay for another try or 取消
            }
        }
    } catch (const rdp::Error& e) {
        ShowError(e.description());
        return; // the window stays open
    }
    Unload();
}

// Writes the controls into the profile at `position`; the profile's full-screen flag and size
// go back to 0 (the session sets the size again from the desktop size).
void RDP_frmSetup::WriteProfile(int position) {
    RDP_ConnectParaItems& p = gConnectPara().Item(position);
    p.setUserName(RDP_basPublic::TrimSpaces(txtUserName_->text()).toString());
    p.setIsSavePassword(FlagOf(chkIsSavePassword_));
    // A password is kept exactly as typed: its blanks are part of it.
    p.setPassword(p.IsSavePassword() != 0 ? txtPassword_->text() : QString());
    p.setDesktopSize(SetupOptionLists::CodeOf(cmbDesktopSize_, p.DesktopSize()));
    p.setColorDepth(SetupOptionLists::CodeOf(cmbColorDepth_, p.ColorDepth()));
    p.setAudioMode(SetupOptionLists::CodeOf(cmbAudioMode_, p.AudioMode()));
    p.setRedirectPrint(FlagOf(chkPrint_));
    p.setRedirectDrives(FlagOf(chkDrives_));
    p.setRedirectPorts(FlagOf(chkPorts_));
    p.setSmartCards(FlagOf(chkSmartCards_));
    p.setBitmapPeristence(FlagOf(chkBitmapPeristence_));
    p.setCanAutoReconnect(FlagOf(chkCanAutoReconnect_));
    p.setFullScreen(0);
    p.setHeight(0);
    p.setWidth(0);
}

// Closes without writing; a profile picked meanwhile stays the selection in memory.
void RDP_frmSetup::cmdCancel_Click() {
    Unload();
}
