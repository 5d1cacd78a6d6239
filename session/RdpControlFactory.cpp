#include "session/RdpControlFactory.h"

#include "common/Errors.h"

namespace rdp {

namespace {

// The classic runtime's number for "component cannot create object".
constexpr int CannotCreateObject = 429;

RdpControlFactory& Installed() {
    static RdpControlFactory factory;
    return factory;
}

} // namespace

void SetRdpControlFactory(RdpControlFactory factory) {
    Installed() = std::move(factory);
}

RdpClientControl* CreateRdpControl(QWidget* parent) {
    RdpClientControl* control = Installed() ? Installed()(parent) : nullptr;
    if (control == nullptr) {
        throw Error(CannotCreateObject, QStringLiteral("无法创建远程桌面控件"));
    }
    return control;
}

} // namespace rdp
