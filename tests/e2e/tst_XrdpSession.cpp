// End-to-end: the control and the session window against xrdp, a server written elsewhere.
#include "session/freerdp/link/DisconnectReason.h"
#include "tests/e2e/LockKeyState.h"
#include "tests/e2e/SessionHarness.h"
#include "tests/e2e/WindowCase.h"
#include "tests/e2e/XrdpServer.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProcess>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

#include <cstdlib>
#include <memory>

using namespace rdp::freerdp;
using rdp::test::SessionHarness;
using rdp::test::XrdpServer;

namespace {

// The share of sampled pixels in the session's root colour (#3a6ea5): the desktop is
// shown, not xrdp's own login screen.
double DesktopShare(const QImage& image) {
    return rdp::test::ColourShare(qRgb(0x3a, 0x6e, 0xa5), image);
}

bool ShowsDesktop(FreeRdpControl* rdp) {
    const bool shown = QTest::qWaitFor([&] { return DesktopShare(rdp->picture()) > 0.5; }, 30000);
    if (!shown) {
        rdp->picture().save(QStringLiteral("e2e-xrdp-not-the-desktop.png"));
    }
    return shown;
}

void Target(SessionHarness& h, const XrdpServer& server, const QString& password = {}) {
    h.target(server.host(), server.port(), server.user(),
             password.isEmpty() ? server.password() : password);
}

} // namespace

class XrdpSession : public rdp::test::WindowCase {
    Q_OBJECT

public:
    XrdpSession() : WindowCase(34250) {}

private:
    QString state() const { return E2eCase::state(QStringLiteral("xrdp")); }
    void open(const XrdpServer& server, bool reconnect);

private slots:
    void cleanup();
    void loginShowsTheRemoteDesktop();
    void wrongPasswordShowsTheServersScreenOnce();
    void logOffEndsTheProgramSilently();
    void killedServerIsRetriedThenExplained();
    void linkThatKeepsDroppingEndsTheSession();
    void numLockFollowsThisComputer();
    void serverSideEnds_data();
    void serverSideEnds();
};

void XrdpSession::open(const XrdpServer& server, bool reconnect) {
    // Five attempts within 8 s instead of 90 s.
    openWindow(server.host(), QString::number(server.port()), server.user(), server.password(),
               reconnect, 8000);
}

void XrdpSession::cleanup() {
    closeWindow();
}

void XrdpSession::loginShowsTheRemoteDesktop() {
    XrdpServer server(port_);
    QVERIFY(server.start(state()));
    SessionHarness h;
    Target(h, server);
    h.rdp->Connect();
    QVERIFY2(h.waitFor(QStringLiteral("login"), 30000), qPrintable(h.events.join(u',')));
    QVERIFY(ShowsDesktop(h.rdp));
    QCOMPARE(server.failedLogins(), 0);
    h.rdp->Disconnect();
    QVERIFY(h.waitFor(QStringLiteral("disconnected"), 10000));
    QCOMPARE(h.reason(), Reason::LocalDisconnect);
}

void XrdpSession::wrongPasswordShowsTheServersScreenOnce() {
    XrdpServer server(port_);
    QVERIFY(server.start(state()));
    SessionHarness h;
    Target(h, server, QStringLiteral("not-the-password"));
    h.rdp->setEnableAutoReconnect(true);
    h.rdp->Connect();
    QVERIFY(QTest::qWaitFor([&] { return server.failedLogins() > 0; }, 30000));
    // xrdp's own login screen, with its failure notice, stays up: nothing tries again.
    QVERIFY(QTest::qWaitFor([&] { return rdp::test::DistinctColours(h.rdp->picture(), 5) > 3; },
                            10000));
    QTest::qWait(8000);
    QCOMPARE(server.failedLogins(), 1);
    QCOMPARE(h.rdp->reconnectTries(), 0);
    QCOMPARE(h.rdp->Connected(), 1);
    QVERIFY(h.rdp->grab().save(QStringLiteral("e2e-xrdp-wrong-password.png")));
}

void XrdpSession::logOffEndsTheProgramSilently() {
    XrdpServer server(port_);
    QVERIFY(server.start(state()));
    open(server, true);
    QVERIFY(QTest::qWaitFor([&] { return window_->Status() == StatusLoggedIn; }, 30000));
    QVERIFY(ShowsDesktop(control_));
    // `exit` in the session's only shell logs off; the pointer rests on its window.
    QTest::mouseMove(control_, QPoint(100, 60));
    control_->setFocus();
    QTest::qWait(300);
    QTest::keyClicks(control_, QStringLiteral("exit"));
    QElapsedTimer clock;
    QTest::keyClick(control_, Qt::Key_Return);
    clock.start();
    QTRY_COMPARE_WITH_TIMEOUT(platform_.endCalls, 1, 15000);
    qInfo("log-off to the end of the program: %lld ms", clock.elapsed());
    QVERIFY(platform_.messages.isEmpty());
    QCOMPARE(control_->reconnectTries(), 0);
}

void XrdpSession::killedServerIsRetriedThenExplained() {
    XrdpServer server(port_);
    QVERIFY(server.start(state()));
    open(server, true);
    QVERIFY(QTest::qWaitFor([&] { return window_->Status() == StatusLoggedIn; }, 30000));
    QVERIFY(ShowsDesktop(control_));
    QElapsedTimer clock;
    server.kill();
    clock.start();
    // The panel counts the attempts over the frozen picture until the message comes.
    QStringList panels;
    QVERIFY(QTest::qWaitFor(
        [&] {
            const QString text = window_->lblTips->text();
            if (window_->picTips->isVisible() && (panels.isEmpty() || panels.last() != text)) {
                panels << text;
            }
            return !platform_.messages.isEmpty();
        },
        60000));
    QStringList expected;
    for (int n = 1; n <= 5; ++n) {
        expected << QStringLiteral("连接已中断，正在重新连接（第 %1 次，共 5 次）。。。").arg(n);
    }
    expected << QStringLiteral("正在退出，请稍候。。。"); // once the message is answered
    QCOMPARE(panels, expected);
    qInfo("server killed to the lost-link message: %lld ms", clock.elapsed());
    QCOMPARE(platform_.messages.first().style, 16);
    QCOMPARE(platform_.messages.first().title, QStringLiteral("连接"));
    QVERIFY(
        platform_.messages.first().text.startsWith(QStringLiteral("与远程计算机的连接已中断。")));
    QCOMPARE(control_->reconnectTries(), 5);
    QTRY_COMPARE_WITH_TIMEOUT(platform_.endCalls, 1, 5000);
}

// A reconnection that gets through and drops again soon counts as the next attempt: the
// session ends after five of them instead of looping.
void XrdpSession::linkThatKeepsDroppingEndsTheSession() {
    XrdpServer server(port_);
    QVERIFY(server.start(state()));
    SessionHarness h;
    Target(h, server);
    h.rdp->setEnableAutoReconnect(true);
    h.rdp->setReconnectPolicy(5, 10000);
    h.rdp->Connect();
    QVERIFY(h.waitFor(QStringLiteral("login"), 30000));
    QVERIFY(ShowsDesktop(h.rdp));
    QElapsedTimer clock;
    clock.start();
    int dropped = 0;
    QObject::connect(h.rdp, &RdpClientControl::OnAutoReconnected, h.window.get(), [&] {
        QTimer::singleShot(1000, h.window.get(), [&] {
            ++dropped;
            server.dropConnections();
        });
    });
    server.dropConnections();
    QVERIFY2(h.waitFor(QStringLiteral("disconnected"), 90000), qPrintable(h.events.join(u',')));
    qInfo("%d reconnections got through and dropped; ended after %lld ms", dropped,
          clock.elapsed());
    QCOMPARE(h.reason(), Reason::SocketClosed);
    QVERIFY(h.rdp->reconnectTries() <= 5);
}

void XrdpSession::numLockFollowsThisComputer() {
    XrdpServer server(port_);
    QVERIFY(server.start(state()));
    // Num Lock on at this side's keyboard.
    QVERIFY(rdp::test::SetLocalNumLock(true));
    SessionHarness h;
    Target(h, server);
    QLineEdit other(h.window.get());
    other.setGeometry(0, 0, 10, 10);
    other.lower();
    other.show();
    h.window->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(h.window.get()));
    h.rdp->setFocus();
    h.rdp->Connect();
    QVERIFY(h.waitFor(QStringLiteral("login"), 30000));
    QVERIFY(ShowsDesktop(h.rdp));
    // xrdp hands the state to its session only once that session runs: the window
    // regains the focus, as when the user returns to it (again while the session is still
    // starting on a busy machine).
    const auto returnUntilRemoteIs = [&](bool on) {
        for (int i = 0; i < 10; ++i) {
            other.setFocus();
            h.rdp->setFocus();
            if (QTest::qWaitFor([&] { return server.remoteNumLock() == on; }, 1000)) {
                return true;
            }
        }
        return false;
    };
    QVERIFY(returnUntilRemoteIs(true));
    // And it follows this side when it changes here.
    QVERIFY(rdp::test::SetLocalNumLock(false));
    QVERIFY(returnUntilRemoteIs(false));
}

// Ends the server itself makes while the session is up: its X server killed, the same user
// logging on from a second connection, its idle time limit. xrdp reports each as a log-off
// by the user, so the program ends quietly and nothing tries to take the session back.
void XrdpSession::serverSideEnds_data() {
    QTest::addColumn<int>("how"); // 0 X server killed, 1 taken over, 2 idle limit
    QTest::newRow("X server killed") << 0;
    QTest::newRow("taken over") << 1;
    QTest::newRow("idle limit") << 2;
}

void XrdpSession::serverSideEnds() {
    QFETCH(int, how);
    const bool takeOver = how == 1;
    XrdpServer server(port_);
    QVERIFY(server.start(state(),
                         how == 2 ? QStringList{QStringLiteral("--idle-limit"), QStringLiteral("3")}
                                  : QStringList{}));
    open(server, true);
    QVERIFY(QTest::qWaitFor([&] { return window_->Status() == StatusLoggedIn; }, 30000));
    QVERIFY(ShowsDesktop(control_));
    SessionHarness second;
    Target(second, server);
    QElapsedTimer clock;
    clock.start();
    if (takeOver) {
        second.rdp->Connect();
    } else if (how == 0) {
        QVERIFY(server.killX());
    }
    QTRY_COMPARE_WITH_TIMEOUT(platform_.endCalls, 1, 30000);
    qInfo("to the end of the program: %lld ms", clock.elapsed());
    for (const auto& m : platform_.messages) {
        qInfo("message: %s", qPrintable(m.text));
    }
    QVERIFY(platform_.messages.isEmpty());
    QCOMPARE(control_->reconnectTries(), 0);
    if (takeOver) {
        QVERIFY(ShowsDesktop(second.rdp));
    }
}

QTEST_MAIN(XrdpSession)
#include "tst_XrdpSession.moc"
