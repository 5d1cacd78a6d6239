// Scroll bars of the FreeRDP control for a remote desktop larger than the control.
#include "session/freerdp/control/DisplayScale.h"
#include "session/freerdp/control/FreeRdpControl.h"
#include "session/freerdp/control/ScrollPlan.h"

#include <QResizeEvent>
#include <QScrollBar>
#include <QStyle>

namespace rdp::freerdp {

void FreeRdpControl::createScrollBars() {
    hBar_ = new QScrollBar(Qt::Horizontal, this);
    vBar_ = new QScrollBar(Qt::Vertical, this);
    for (QScrollBar* bar : {hBar_, vBar_}) {
        bar->setFocusPolicy(Qt::NoFocus); // the keyboard stays with the session
        bar->hide();
        connect(bar, &QScrollBar::valueChanged, this, [this] { update(); });
    }
    hBar_->setObjectName(QStringLiteral("rdpHScroll"));
    vBar_->setObjectName(QStringLiteral("rdpVScroll"));
}

QSize FreeRdpControl::desktopSize() const {
    if (frames_.hasFrame()) {
        return frames_.size();
    }
    if (session_) {
        return requested_;
    }
    return DevicePixels(
        QSize(std::max(0, settings_.desktopWidth), std::max(0, settings_.desktopHeight)), ratio());
}

QPoint FreeRdpControl::scrollOffset() const {
    return {hBar_->isVisible() ? hBar_->value() : 0, vBar_->isVisible() ? vBar_->value() : 0};
}

// The plan is made in device pixels (the remote desktop's); the bars are placed in logical
// ones and scroll by device pixels.
void FreeRdpControl::layoutScrollBars() {
    const int extent = style()->pixelMetric(QStyle::PM_ScrollBarExtent, nullptr, this);
    barsLaidOutFor_ = desktopSize();
    const QSize bars = DevicePixels(QSize(extent, extent), ratio());
    const ScrollPlan plan = PlanScroll(DevicePixels(size(), ratio()), barsLaidOutFor_, bars);
    const QSize viewport(width() - (plan.vertical ? extent : 0),
                         height() - (plan.horizontal ? extent : 0));
    hBar_->setGeometry(0, viewport.height(), viewport.width(), extent);
    vBar_->setGeometry(viewport.width(), 0, extent, viewport.height());
    hBar_->setRange(0, plan.maximum.x());
    vBar_->setRange(0, plan.maximum.y());
    hBar_->setPageStep(std::max(1, plan.viewport.width()));
    vBar_->setPageStep(std::max(1, plan.viewport.height()));
    hBar_->setVisible(plan.horizontal);
    vBar_->setVisible(plan.vertical);
}

void FreeRdpControl::resizeEvent(QResizeEvent* event) {
    RdpClientControl::resizeEvent(event);
    layoutScrollBars();
}

} // namespace rdp::freerdp
