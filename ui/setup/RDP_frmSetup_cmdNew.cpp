// Creating a connection through the new-connection dialog.
#include "ui/setup/RDP_frmSetup.h"

#include "common/Errors.h"
#include "profiles/ConnectParaStore.h"
#include "profiles/RDP_ConnectPara.h"
#include "profiles/StoreTell.h"
#include "ui/common/BusyLockWait.h"
#include "ui/setup/NewConnectionDialog.h"

#include <optional>

// The window is hidden while the dialog is open and shown again afterwards, with its lists
// rebuilt and the new profile selected; its own modal loop keeps running meanwhile.
void RDP_frmSetup::cmdNew_Click() {
    hide();
    std::optional<QString> failure;
    try {
        AddNewConnection();
    } catch (const rdp::Error& e) {
        failure = e.description();
    }
    FillLists();
    ShowModal();
    if (failure) {
        ShowError(*failure);
    }
}

// Runs the dialog; on its confirmation adds the profile with the default options, selected,
// and saves the store.
void RDP_frmSetup::AddNewConnection() {
    RDP_ConnectPara& list = gConnectPara();
    NewConnectionDialog dialog(list, this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    list.Add(dialog.ConnectName(), dialog.Server(), dialog.Port(), QString(), QString(), 0, 0, 0);
    list.SetDefault(list.SelectIndex());
    RDP_basUI::BusyLockWait wait(this);
    RDP_basClient::TellStoreResult(RDP_basClient::SaveConnectPara(list, wait));
}
