#include "profiles/RDP_ConnectPara.h"

#include "common/Errors.h"

RDP_ConnectParaItems& RDP_ConnectPara::Add(const QString& ConnectName, const QString& Server,
                                           const QString& Port, const QString& UserName,
                                           const QString& Password, float Width, float Height,
                                           std::uint8_t FullScreen) {
    auto item = std::make_unique<RDP_ConnectParaItems>();
    item->setConnectName(ConnectName);
    item->setServer(Server);
    item->setPort(Port);
    item->setUserName(UserName);
    item->setPassword(Password);
    item->setWidth(Width);
    item->setHeight(Height);
    item->setFullScreen(FullScreen);
    items_.push_back(std::move(item));
    SelectIndex_ = Count();
    return *items_.back();
}

RDP_ConnectParaItems& RDP_ConnectPara::SetDefault(int i) {
    RDP_ConnectParaItems& p = Item(i);
    p.setUserName(QString());
    p.setPassword(QString());
    p.setIsSavePassword(0);
    p.setDesktopSize(0);
    p.setColorDepth(1);
    p.setAudioMode(0);
    p.setRedirectPrint(1);
    p.setRedirectDrives(0);
    p.setRedirectPorts(1);
    p.setSmartCards(1);
    p.setBitmapPeristence(1);
    p.setCanAutoReconnect(1);
    p.setFullScreen(0);
    p.setHeight(0);
    p.setWidth(0);
    return p;
}

void RDP_ConnectPara::Clear() {
    items_.clear();
    SelectIndex_ = 0;
}

void RDP_ConnectPara::Delete(int i) {
    CheckIndex(i);
    items_.erase(items_.begin() + (i - 1));
}

RDP_ConnectParaItems& RDP_ConnectPara::Item(int i) const {
    CheckIndex(i);
    return *items_[static_cast<std::size_t>(i - 1)];
}

void RDP_ConnectPara::CheckIndex(int i) const {
    if (i < 1 || i > Count()) {
        throw rdp::Error(rdp::ErrorNumber::SubscriptOutOfRange, QStringLiteral("下标越界"));
    }
}

namespace {
std::unique_ptr<RDP_ConnectPara> gList;
} // namespace

RDP_ConnectPara& gConnectPara() {
    if (!gList) {
        gList = std::make_unique<RDP_ConnectPara>();
    }
    return *gList;
}

void ResetConnectPara() {
    gList = std::make_unique<RDP_ConnectPara>();
}
