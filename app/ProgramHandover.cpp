#include "app/Handover.h"
#include "ui/login/LoginHandover.h"

namespace RDP_basClient {

namespace {

class Handover final : public rdp::LoginHandover {
public:
    bool OpenDesktop() override { return RDP_basClient::OpenDesktop(); }
    void OpenSetup() override { RDP_basClient::OpenSetup(); }
};

} // namespace

rdp::LoginHandover& ProgramHandover() {
    static Handover handover;
    return handover;
}

} // namespace RDP_basClient
