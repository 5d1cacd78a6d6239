#include "session/RDP_frmDesktop.h"

#include "common/Platform.h"
#include "common/Twips.h"
#include "profiles/RDP_ConnectPara.h"
#include "session/DesktopGeometry.h"

#include <QLabel>
#include <QResizeEvent>

#include <algorithm>

namespace {

// Twips to pixels for a widget's geometry, bounded to what a widget can take.
int Px(double twips, double twipsPerPixel) {
    const double bound = QWIDGETSIZE_MAX * twipsPerPixel;
    return rdp::TwipsToPixels(std::clamp(twips, -bound, bound), twipsPerPixel);
}

bool HasSelectedProfile() {
    const RDP_ConnectPara& list = gConnectPara();
    return list.SelectIndex() >= 1 && list.SelectIndex() <= list.Count();
}

} // namespace

// The control follows the profile; the status panel covers the window's outer size and
// the label sits near its middle.
void RDP_frmDesktop::Form_Resize() {
    if (ending_ || !loaded_ || !HasSelectedProfile()) {
        return;
    }
    const rdp::ScreenMetrics s = rdp::platform().Screen();
    const rdp::TwipsSize control =
        rdp::PlanControlSize(Profile().DesktopSize(), Profile().Width(), Profile().Height(),
                             s.twipsPerPixelX, s.twipsPerPixelY);
    const QSize room = RoomForControl();
    rdp->setContainerWidth(std::clamp(Px(control.width, s.twipsPerPixelX), 0, room.width()));
    rdp->setContainerHeight(std::clamp(Px(control.height, s.twipsPerPixelY), 0, room.height()));

    const QSize outer = frameGeometry().size();
    const rdp::TipsLayout tips =
        rdp::PlanTipsLayout({outer.width() * s.twipsPerPixelX, outer.height() * s.twipsPerPixelY});
    picTips->resize(Px(tips.panel.width, s.twipsPerPixelX),
                    Px(tips.panel.height, s.twipsPerPixelY));
    lblTips->move(Px(tips.labelLeft, s.twipsPerPixelX), Px(tips.labelTop, s.twipsPerPixelY));
}

void RDP_frmDesktop::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (backdrop_ != nullptr) {
        backdrop_->setGeometry(rect());
    }
    FitFrame();
    Form_Resize();
}

void RDP_frmDesktop::moveEvent(QMoveEvent* event) {
    QWidget::moveEvent(event);
    FitFrame();
}

void RDP_frmDesktop::ApplyDesignedSize() {
    const rdp::ScreenMetrics s = rdp::platform().Screen();
    resize(Px(rdp::DesignedClientWidthTwips, s.twipsPerPixelX),
           Px(rdp::DesignedClientHeightTwips, s.twipsPerPixelY));
}

// The sizes of the sizing rules are outer sizes: the frame gets them and the client area
// is what the frame leaves.
// A window that would not fit the monitor's work area is kept inside it.
void RDP_frmDesktop::SetOuterWidth(double twips) {
    const QMargins m = FrameMargins();
    const int wanted = Px(twips, rdp::platform().Screen().twipsPerPixelX);
    const int room = WorkArea().width();
    shrunk_.first = wanted > room;
    plannedOuter_ = QSize(std::min(wanted, room), frameGeometry().height());
    fittedMargins_ = m;
    resize(std::max(1, plannedOuter_.width() - m.left() - m.right()), height());
    Form_Resize();
}

void RDP_frmDesktop::SetOuterHeight(double twips) {
    const QMargins m = FrameMargins();
    const int wanted = Px(twips, rdp::platform().Screen().twipsPerPixelY);
    const int room = WorkArea().height();
    shrunk_.second = wanted > room;
    plannedOuter_ = QSize(frameGeometry().width(), std::min(wanted, room));
    fittedMargins_ = m;
    resize(width(), std::max(1, plannedOuter_.height() - m.top() - m.bottom()));
    Form_Resize();
}

// Screen-sized windows open at the monitor's top-left corner, the others centred on it; the
// monitor is the one the login window is on. Either way the window stays in the work area.
void RDP_frmDesktop::PlaceForOpening(bool atScreenCorner) {
    const rdp::ScreenMetrics s = rdp::platform().Screen();
    const rdp::MonitorPixels monitor = rdp::MonitorInPixels(s);
    const QSize outer = plannedOuter_.isEmpty() ? frameGeometry().size() : plannedOuter_;
    QPoint pos = monitor.monitor.topLeft();
    if (!atScreenCorner) {
        const double left = (s.widthTwips - outer.width() * s.twipsPerPixelX) / 2;
        const double top = (s.heightTwips - outer.height() * s.twipsPerPixelY) / 2;
        pos +=
            QPoint(std::max(0, Px(left, s.twipsPerPixelX)), std::max(0, Px(top, s.twipsPerPixelY)));
    }
    plannedPos_ = rdp::KeepInside(QRect(pos, outer), monitor.work).topLeft();
    move(plannedPos_);
    placed_ = true;
}

QRect RDP_frmDesktop::WorkArea() const {
    return rdp::MonitorInPixels(rdp::platform().Screen()).work;
}

// Where the window was kept inside the work area, the control stays within the client area
// so that its scroll bars are in view; elsewhere it has the size the sizing rules give it.
QSize RDP_frmDesktop::RoomForControl() const {
    const QMargins m = fittedMargins_;
    return {shrunk_.first ? plannedOuter_.width() - m.left() - m.right() : QWIDGETSIZE_MAX,
            shrunk_.second ? plannedOuter_.height() - m.top() - m.bottom() : QWIDGETSIZE_MAX};
}

// Once the window is mapped the frame's margins become known: give the frame the planned
// outer size and position again. A maximised or full-screen window is left to the window
// manager.
void RDP_frmDesktop::FitFrame() {
    if (ending_ || fitting_ || !isVisible() || plannedOuter_.isEmpty() ||
        windowState() != Qt::WindowNoState) {
        return;
    }
    const QMargins m = FrameMargins();
    if (m == fittedMargins_) {
        return;
    }
    fittedMargins_ = m;
    fitting_ = true;
    resize(std::max(1, plannedOuter_.width() - m.left() - m.right()),
           std::max(1, plannedOuter_.height() - m.top() - m.bottom()));
    move(plannedPos_);
    fitting_ = false;
    Form_Resize();
}

QMargins RDP_frmDesktop::FrameMargins() const {
    const QRect frame = frameGeometry();
    const QRect client = geometry();
    return {client.left() - frame.left(), client.top() - frame.top(),
            frame.right() - client.right(), frame.bottom() - client.bottom()};
}

// The label keeps its designed size unless its text needs more room; its position stays.
void RDP_frmDesktop::GrowLabel() {
    const rdp::ScreenMetrics s = rdp::platform().Screen();
    const QSize hint = lblTips->sizeHint();
    lblTips->resize(std::max(hint.width(), Px(rdp::TipsLabelWidthTwips, s.twipsPerPixelX)),
                    std::max(hint.height(), Px(rdp::TipsLabelHeightTwips, s.twipsPerPixelY)));
}
