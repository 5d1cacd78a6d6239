#include "session/RDP_frmDesktop.h"

#include "common/Platform.h"
#include "common/Twips.h"
#include "profiles/RDP_ConnectPara.h"
#include "session/DesktopGeometry.h"

#include <QGuiApplication>
#include <QLabel>
#include <QResizeEvent>
#include <QScreen>

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
    rdp->setContainerWidth(std::max(0, Px(control.width, s.twipsPerPixelX)));
    rdp->setContainerHeight(std::max(0, Px(control.height, s.twipsPerPixelY)));

    const QSize outer = frameGeometry().size();
    const rdp::TipsLayout tips =
        rdp::PlanTipsLayout({outer.width() * s.twipsPerPixelX, outer.height() * s.twipsPerPixelY});
    picTips->resize(Px(tips.panel.width, s.twipsPerPixelX),
                    Px(tips.panel.height, s.twipsPerPixelY));
    lblTips->move(Px(tips.labelLeft, s.twipsPerPixelX), Px(tips.labelTop, s.twipsPerPixelY));
}

void RDP_frmDesktop::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
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
void RDP_frmDesktop::SetOuterWidth(double twips) {
    const QMargins m = FrameMargins();
    plannedOuter_ =
        QSize(Px(twips, rdp::platform().Screen().twipsPerPixelX), frameGeometry().height());
    fittedMargins_ = m;
    resize(std::max(1, plannedOuter_.width() - m.left() - m.right()), height());
    Form_Resize();
}

void RDP_frmDesktop::SetOuterHeight(double twips) {
    const QMargins m = FrameMargins();
    plannedOuter_ =
        QSize(frameGeometry().width(), Px(twips, rdp::platform().Screen().twipsPerPixelY));
    fittedMargins_ = m;
    resize(width(), std::max(1, plannedOuter_.height() - m.top() - m.bottom()));
    Form_Resize();
}

// Screen-sized windows open at the screen's top-left corner, the others centred.
void RDP_frmDesktop::PlaceForOpening(bool atScreenCorner) {
    const rdp::ScreenMetrics s = rdp::platform().Screen();
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QPoint origin = screen != nullptr ? screen->geometry().topLeft() : QPoint();
    QPoint pos = origin;
    if (!atScreenCorner) {
        const QSize outer = frameGeometry().size();
        const double left = (s.widthTwips - outer.width() * s.twipsPerPixelX) / 2;
        const double top = (s.heightTwips - outer.height() * s.twipsPerPixelY) / 2;
        pos +=
            QPoint(std::max(0, Px(left, s.twipsPerPixelX)), std::max(0, Px(top, s.twipsPerPixelY)));
    }
    plannedPos_ = pos;
    move(pos);
    placed_ = true;
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
