#include "session/DesktopWindow.h"

#include "session/RDP_frmDesktop.h"

#include <QPointer>

namespace rdp {

namespace {
QPointer<RDP_frmDesktop>& Window() {
    static QPointer<RDP_frmDesktop> window;
    return window;
}
} // namespace

RDP_frmDesktop& DesktopWindow() {
    if (Window().isNull()) {
        Window() = new RDP_frmDesktop();
    }
    return *Window();
}

void UnloadDesktopWindow() {
    delete Window().data();
}

} // namespace rdp
