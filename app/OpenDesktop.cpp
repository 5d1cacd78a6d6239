#include "app/Handover.h"

#include "common/Platform.h"
#include "common/ShowMsg.h"
#include "profiles/RDP_ConnectPara.h"
#include "session/DesktopWindow.h"
#include "session/RDP_frmDesktop.h"
#include "session/SessionTarget.h"

namespace RDP_basClient {

namespace {

QString TargetFaultText(const QString& name) {
    return QStringLiteral("连接“%1”的服务器或端口不正确，无法连接。\r\n\r\n"
                          "请在“设置”窗口中删除此连接，然后用正确的服务器和端口重新新建。")
        .arg(name);
}

} // namespace

bool OpenDesktop() {
    RDP_ConnectPara& list = gConnectPara();
    if (list.Count() == 0) {
        rdp::Warn(QStringLiteral("无法指定连接！请先在“设置”窗口中新建连接。"));
        return false;
    }
    if (list.SelectIndex() == 0) {
        rdp::Warn(QStringLiteral("无法指定连接！请在选择正确的连接。"));
        return false;
    }
    const RDP_ConnectParaItems& profile = list.Item(list.SelectIndex());
    if (!rdp::IsSessionTargetValid(profile)) {
        rdp::Warn(TargetFaultText(profile.ConnectName()));
        return false;
    }
    rdp::DesktopWindow().Init();
    return true;
}

} // namespace RDP_basClient
