#include "app/RDP_basApp.h"

#include "app/Handover.h"
#include "common/Errors.h"
#include "common/Platform.h"
#include "common/ShowMsg.h"
#include "profiles/ConnectParaStore.h"
#include "profiles/RDP_ConnectPara.h"
#include "profiles/StoreTell.h"
#include "ui/login/RDP_frmLogin.h"

namespace RDP_basApp {

namespace {

// The end path: the pending error's description, if any, then the end of the program.
void EndWith(const QString& error) {
    if (!error.isNull()) {
        rdp::Warn(error);
    }
    rdp::platform().EndProgram();
}

} // namespace

void Main() {
    try {
        RDP_ConnectPara& list = gConnectPara();
        if (!RDP_basClient::CheckRunLocation() ||
            !RDP_basClient::TellStoreResult(RDP_basClient::LoadConnectPara(list))) {
            EndWith(QString());
            return;
        }
        frmLogin().setHandover(&RDP_basClient::ProgramHandover());
        frmLogin().Init();
    } catch (const rdp::Error& e) {
        EndWith(e.description());
    } catch (const std::exception& e) {
        EndWith(QString::fromLocal8Bit(e.what()));
    }
}

} // namespace RDP_basApp
