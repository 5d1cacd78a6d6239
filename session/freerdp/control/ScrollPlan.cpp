#include "session/freerdp/control/ScrollPlan.h"

#include <algorithm>

namespace rdp::freerdp {

ScrollPlan PlanScroll(QSize control, QSize desktop, QSize bars) {
    ScrollPlan plan;
    plan.horizontal = desktop.width() > control.width();
    plan.vertical = desktop.height() > control.height();
    // A bar takes room from the other direction, which may then need its own bar.
    for (int round = 0; round < 2; ++round) {
        plan.vertical = plan.vertical ||
                        (plan.horizontal && desktop.height() > control.height() - bars.height());
        plan.horizontal =
            plan.horizontal || (plan.vertical && desktop.width() > control.width() - bars.width());
    }
    plan.viewport = QSize(std::max(0, control.width() - (plan.vertical ? bars.width() : 0)),
                          std::max(0, control.height() - (plan.horizontal ? bars.height() : 0)));
    plan.maximum = QPoint(std::max(0, desktop.width() - plan.viewport.width()),
                          std::max(0, desktop.height() - plan.viewport.height()));
    return plan;
}

} // namespace rdp::freerdp
