#pragma once

#include <QPoint>
#include <QSize>

namespace rdp::freerdp {

// Which scroll bars a control needs to reach every pixel of the remote desktop, what is
// left for the picture, and how far each bar scrolls.
struct ScrollPlan {
    bool horizontal = false;
    bool vertical = false;
    QSize viewport; // the control's area that shows the picture
    QPoint maximum; // the largest scroll offset in each direction
};

// `bars` holds the vertical bar's width and the horizontal bar's height.
ScrollPlan PlanScroll(QSize control, QSize desktop, QSize bars);

} // namespace rdp::freerdp
