// The setup window's lists and the profile they show.
#include "ui/setup/RDP_frmSetup.h"

#include "profiles/RDP_ConnectPara.h"
#include "ui/setup/SetupOptionLists.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QSignalBlocker>

namespace {

void ShowFlag(QCheckBox* box, std::uint8_t flag) {
    box->setChecked(flag != 0);
}

} // namespace

// Rebuilds every list, then selects the profile to show. The profile list is filled with its
// signals blocked, so that cmbClient_Click runs once, explicitly, after the selection is set.
void RDP_frmSetup::FillLists() {
    const RDP_ConnectPara& list = gConnectPara();
    const int selected = list.SelectIndex(); // read before filling
    {
        const QSignalBlocker quiet(cmbClient_);
        cmbClient_->clear();
        for (int i = 1; i <= list.Count(); ++i) {
            cmbClient_->addItem(list.Item(i).ConnectName(), i);
        }
        cmbClient_->setCurrentIndex(-1);
    }
    SetupOptionLists::Fill(cmbDesktopSize_, SetupOptionLists::DesktopSizeEntries());
    SetupOptionLists::Fill(cmbColorDepth_, SetupOptionLists::ColorDepthEntries());
    SetupOptionLists::Fill(cmbAudioMode_, SetupOptionLists::AudioModeEntries());

    const int entries = cmbClient_->count();
    if (list.Count() < 1 || entries == 0) {
        RefreshControl();
        return;
    }
    const int place = (selected >= 1 && selected - 1 < entries) ? selected - 1 : 0;
    {
        const QSignalBlocker quiet(cmbClient_);
        cmbClient_->setCurrentIndex(place);
    }
    cmbClient_Click();
}

void RDP_frmSetup::cmbClient_Click() {
    const int position = cmbClient_->currentData().toInt();
    if (cmbClient_->count() > 0) {
        gConnectPara().setSelectIndex(position);
    }
    RefreshControl();
}

void RDP_frmSetup::RefreshControl() {
    if (gConnectPara().Count() > 0 && cmbClient_->currentIndex() >= 0) {
        ShowProfile(gConnectPara().Item(cmbClient_->currentData().toInt()));
    } else {
        ShowDefaults();
    }
}

void RDP_frmSetup::ShowProfile(const RDP_ConnectParaItems& p) {
    txtUserName_->setText(p.UserName());
    txtPassword_->setText(p.Password());
    ShowFlag(chkIsSavePassword_, p.IsSavePassword());
    SetupOptionLists::SelectCode(cmbDesktopSize_, p.DesktopSize());
    SetupOptionLists::SelectCode(cmbColorDepth_, p.ColorDepth());
    SetupOptionLists::SelectCode(cmbAudioMode_, p.AudioMode());
    ShowFlag(chkPrint_, p.RedirectPrint());
    ShowFlag(chkDrives_, p.RedirectDrives());
    ShowFlag(chkPorts_, p.RedirectPorts());
    ShowFlag(chkSmartCards_, p.SmartCards());
    ShowFlag(chkBitmapPeristence_, p.BitmapPeristence());
    ShowFlag(chkCanAutoReconnect_, p.CanAutoReconnect());
}

// What a new profile holds: one made as the new-connection button makes it.
void RDP_frmSetup::ShowDefaults() {
    RDP_ConnectPara scratch;
    scratch.Add(QString(), QString(), QString(), QString(), QString(), 0, 0, 0);
    ShowProfile(scratch.SetDefault(1));
}
