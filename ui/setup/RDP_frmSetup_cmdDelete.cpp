// Deleting the selected connection.
#include "ui/setup/RDP_frmSetup.h"

#include "common/Errors.h"
#include "common/Platform.h"
#include "common/ShowMsg.h"
#include "profiles/ConnectParaStore.h"
#include "profiles/RDP_ConnectPara.h"
#include "profiles/StoreTell.h"
#include "ui/common/BusyLockWait.h"

void RDP_frmSetup::cmdDelete_Click() {
    bool removed = false;
    try {
        removed = DeleteSelected();
        if (removed) {
            RDP_basUI::BusyLockWait wait(this);
            RDP_basClient::TellStoreResult(RDP_basClient::SaveConnectPara(gConnectPara(), wait));
        }
    } catch (const rdp::Error& e) {
        ShowError(e.description());
    }
    if (removed) {
        FillLists(); // shows the profile before the deleted one, the first, or the defaults
    }
}

// Asks, then removes the selected profile and selects the one before it. True when removed.
bool RDP_frmSetup::DeleteSelected() {
    RDP_ConnectPara& list = gConnectPara();
    const int count = list.Count();
    const int selected = list.SelectIndex();
    if (selected < 1 || count < 1) {
        rdp::MsgBox(QStringLiteral("请指定需要删除的连接。"), rdp::MsgStyle::Information,
                    rdp::ConnectTitle(), this);
        return false;
    }
    const QString question = QStringLiteral("是否删除连接\"") + list.Item(selected).ConnectName() +
                             QStringLiteral("\"，注意删除后不能恢复。");
    if (rdp::MsgBox(question, rdp::MsgStyle::QuestionOkCancel, rdp::ConnectTitle(), this) !=
        rdp::MsgResult::Ok) {
        return false;
    }
    list.Delete(selected);
    list.setSelectIndex(selected - 1);
    return true;
}
