// A session's life: its states, the reconnection count, and the control's view of a remote
// desktop larger than itself.
#include "common/LogCategories.h"
#include "session/freerdp/control/FreeRdpControl.h"
#include "session/freerdp/control/ScrollPlan.h"
#include "session/freerdp/link/ReconnectBudget.h"
#include "session/freerdp/link/SessionState.h"

#include <QScrollBar>
#include <QTest>

#include <atomic>
#include <thread>
#include <vector>

using namespace rdp::freerdp;
using S = SessionState;
using E = SessionEvent;

Q_DECLARE_METATYPE(SessionState)
Q_DECLARE_METATYPE(SessionEvent)

class FreeRdpLife : public QObject {
    Q_OBJECT

private slots:
    void transitions_data();
    void transitions();
    void stepsAreLoggedOnlyWhenAsked();
    void closeSeesTheStateItReplaced();
    void reconnectionsCountOverTheSession();
    void scrollBars_data();
    void scrollBars();
    void controlSmallerThanTheDesktopScrolls();
};

void FreeRdpLife::transitions_data() {
    QTest::addColumn<SessionState>("from");
    QTest::addColumn<SessionEvent>("event");
    QTest::addColumn<int>("to"); // -1: the event does not apply
    // The road through every state is walked in stepsAreLoggedOnlyWhenAsked; these rows are
    // the turns that must not be taken, and the ones that road does not pass.
    const auto row = [](const char* name, S from, E event, int to) {
        QTest::newRow(name) << from << event << to;
    };
    const auto is = [](S s) {
        return static_cast<int>(s);
    };
    row("up", S::Connecting, E::Up, is(S::Connected));
    row("deadline while connecting", S::Connecting, E::DeadlineMissed, is(S::TimedOut));
    row("up after the deadline fails", S::TimedOut, E::Up, -1);
    row("deadline after up is ignored", S::Connected, E::DeadlineMissed, -1);
    row("link lost", S::Connected, E::Lost, is(S::LinkLost));
    row("reconnection failed", S::Reconnecting, E::Lost, is(S::LinkLost));
    row("reconnection timed out", S::Reconnecting, E::DeadlineMissed, is(S::TimedOut));
    row("first attempt cannot be lost", S::Connecting, E::Lost, -1);
    row("close before start", S::Idle, E::CloseRequested, is(S::Closing));
    row("nothing brings a closing session up", S::Closing, E::Up, -1);
    row("nor retries it", S::Closing, E::Retry, -1);
    row("ended stays ended", S::Ended, E::CloseRequested, -1);
}

void FreeRdpLife::transitions() {
    QFETCH(SessionState, from);
    QFETCH(SessionEvent, event);
    QFETCH(int, to);
    const std::optional<SessionState> next = NextState(from, event);
    QCOMPARE(next ? static_cast<int>(*next) : -1, to);
}

// Support staff turn the log on with a rule; without one it stays silent.
void FreeRdpLife::stepsAreLoggedOnlyWhenAsked() {
    QVERIFY(!rdp::lcFreeRdp().isInfoEnabled());
    QLoggingCategory::setFilterRules(QStringLiteral("rdp.freerdp.info=true"));
    SessionLife life;
    QTest::ignoreMessage(QtInfoMsg, "session state Idle -> Connecting");
    QTest::ignoreMessage(QtInfoMsg, "session state Connecting -> TimedOut");
    QTest::ignoreMessage(QtInfoMsg, "session state TimedOut -> LinkLost");
    QTest::ignoreMessage(QtInfoMsg, "session state LinkLost -> Reconnecting");
    QTest::ignoreMessage(QtInfoMsg, "session state Reconnecting -> Connected");
    QTest::ignoreMessage(QtInfoMsg, "session state Connected -> Closing");
    QTest::ignoreMessage(QtInfoMsg, "session state Closing -> Ended");
    for (E e :
         {E::Start, E::DeadlineMissed, E::Lost, E::Retry, E::Up, E::CloseRequested, E::Finished}) {
        QVERIFY(life.apply(e));
    }
    QLoggingCategory::setFilterRules(QString());
}

// A close decides from the state it replaced, read in the same step: while another thread
// keeps moving the session between attempts, the answer is always the state it left last.
void FreeRdpLife::closeSeesTheStateItReplaced() {
    for (int round = 0; round < 200; ++round) {
        SessionLife life;
        QVERIFY(life.apply(E::Start) && life.apply(E::Up) && life.apply(E::Lost));
        std::atomic<int> last{static_cast<int>(S::LinkLost)};
        std::thread worker([&] {
            for (bool retry = true;; retry = !retry) {
                if (!life.apply(retry ? E::Retry : E::Lost)) {
                    return;
                }
                last = static_cast<int>(retry ? S::Reconnecting : S::LinkLost);
            }
        });
        QTest::qWait(0);
        const std::optional<SessionState> replaced = life.change(E::CloseRequested);
        worker.join();
        QVERIFY(replaced.has_value());
        QCOMPARE(static_cast<int>(*replaced), last.load());
    }
}

void FreeRdpLife::reconnectionsCountOverTheSession() {
    using namespace std::chrono_literals;
    const auto t0 = ReconnectBudget::Clock::time_point{};
    ReconnectBudget budget(5, 30s, 90s, 1s);
    budget.linkLost(t0);
    QCOMPARE(budget.nextAttempt(), std::optional(1));
    QCOMPARE(budget.nextAttempt(), std::optional(2));
    budget.reconnected(t0 + 5s);
    // Dropped again soon after: the count goes on, up to five in all.
    budget.linkLost(t0 + 20s);
    QCOMPARE(budget.nextAttempt(), std::optional(3));
    QCOMPARE(budget.nextAttempt(), std::optional(4));
    budget.reconnected(t0 + 25s);
    budget.linkLost(t0 + 26s);
    QCOMPARE(budget.nextAttempt(), std::optional(5));
    QCOMPARE(budget.nextAttempt(), std::nullopt);
    // A link that held for the settle time starts a new count.
    ReconnectBudget settled(5, 30s, 90s, 1s);
    settled.linkLost(t0);
    settled.nextAttempt();
    settled.nextAttempt();
    settled.reconnected(t0 + 1s);
    settled.linkLost(t0 + 31s);
    QCOMPARE(settled.nextAttempt(), std::optional(1));

    // The attempts of one count: growing pauses, the last one 90 s after the loss.
    ReconnectBudget timed(5, 30s, 90s, 1s);
    timed.linkLost(t0);
    const std::vector<ReconnectBudget::Clock::duration> due{1s, 5625ms, 22500ms, 50625ms, 90s};
    for (int n = 1; n <= 5; ++n) {
        QCOMPARE(timed.dueAt(n) - t0, due[n - 1]);
    }
    // A count continued after a short-lived reconnection keeps its next pause.
    timed.nextAttempt();
    timed.nextAttempt();
    timed.reconnected(t0 + 25s);
    timed.linkLost(t0 + 40s);
    QCOMPARE(timed.nextAttempt(), std::optional(3));
    QCOMPARE(timed.dueAt(3) - (t0 + 40s), 22500ms - 5625ms);
    // A single attempt comes after the first pause.
    ReconnectBudget once(1, 30s, 90s, 1s);
    once.linkLost(t0);
    QCOMPARE(once.dueAt(1) - t0, ReconnectBudget::Clock::duration(1s));
}

void FreeRdpLife::scrollBars_data() {
    QTest::addColumn<QSize>("control");
    QTest::addColumn<QSize>("desktop");
    QTest::addColumn<bool>("horizontal");
    QTest::addColumn<bool>("vertical");
    QTest::addColumn<QPoint>("maximum");
    // 1024 x 768 at 15 twips per pixel: width - 10 twips, height + 18 rows.
    QTest::newRow("one column short")
        << QSize(1023, 786) << QSize(1024, 768) << true << false << QPoint(1, 0);
    QTest::newRow("same size") << QSize(1024, 768) << QSize(1024, 768) << false << false
                               << QPoint(0, 0);
    QTest::newRow("larger control")
        << QSize(1100, 800) << QSize(1024, 768) << false << false << QPoint(0, 0);
    QTest::newRow("screen-filling codes")
        << QSize(1017, 758) << QSize(1024, 768) << true << true << QPoint(22, 25);
    QTest::newRow("one bar brings the other")
        << QSize(1000, 770) << QSize(1024, 760) << true << true << QPoint(39, 5);
}

void FreeRdpLife::scrollBars() {
    QFETCH(QSize, control);
    QFETCH(QSize, desktop);
    const ScrollPlan plan = PlanScroll(control, desktop, QSize(15, 15));
    QTEST(plan.horizontal, "horizontal");
    QTEST(plan.vertical, "vertical");
    QTEST(plan.maximum, "maximum");
    // Every pixel is in reach: the viewport scrolled to its end shows the last one.
    QCOMPARE(plan.viewport.width() + plan.maximum.x(),
             std::max(desktop.width(), plan.viewport.width()));
    QCOMPARE(plan.viewport.height() + plan.maximum.y(),
             std::max(desktop.height(), plan.viewport.height()));
}

void FreeRdpLife::controlSmallerThanTheDesktopScrolls() {
    QWidget window;
    auto* rdp = new FreeRdpControl(&window);
    rdp->setDesktopWidth(1024);
    rdp->setDesktopHeight(768);
    rdp->setGeometry(0, 0, 1023, 786);
    window.resize(1100, 800);
    window.show();
    QVERIFY(QTest::qWaitForWindowExposed(&window));
    auto* h = rdp->findChild<QScrollBar*>(QStringLiteral("rdpHScroll"));
    auto* v = rdp->findChild<QScrollBar*>(QStringLiteral("rdpVScroll"));
    QVERIFY(h && v);
    QVERIFY(h->isVisible());
    QVERIFY(!v->isVisible());
    QCOMPARE(h->maximum(), 1);
    // Below the desktop, above the bar: one steady colour from the first paint on.
    const QImage shot = rdp->grab().toImage();
    const int belowDesktop = 768 + (h->y() - 768) / 2;
    QCOMPARE(QColor(shot.pixel(500, belowDesktop)), QColor(Qt::black));
    QCOMPARE(QColor(shot.pixel(10, 767)), rdp->palette().window().color());
}

QTEST_MAIN(FreeRdpLife)
#include "tst_FreeRdpLife.moc"
