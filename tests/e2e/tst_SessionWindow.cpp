// End-to-end: the session window with the real FreeRDP control against a real server.
#include "profiles/RDP_ConnectPara.h"
#include "session/RDP_frmDesktop.h"
#include "session/RdpControlFactory.h"
#include "session/freerdp/FreeRdpControl.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/TestServer.h"
#include "tests/support/FakePlatform.h"

#include <QDir>
#include <QLabel>
#include <QSet>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>

#include <memory>

using namespace rdp::freerdp;
using rdp::test::TestServer;

namespace {

int TestPort() {
    return qEnvironmentVariableIntValue("RDP_E2E_PORT") ?: 34200;
}

} // namespace

class SessionWindow : public QObject {
    Q_OBJECT

private:
    QTemporaryDir work_;
    rdp::test::FakePlatform platform_;
    std::unique_ptr<RDP_frmDesktop> window_;
    FreeRdpControl* control_ = nullptr;

    void open(const QString& host, int port, const QString& user, const QString& password) {
        ResetConnectPara();
        rdp::test::InstallAcceptingControls(work_.path() + QStringLiteral("/freerdp"), control_);
        gConnectPara().Add(QStringLiteral("测试"), host, QString::number(port), QString(),
                           QString(), 0, 0, 0);
        gConnectPara().SetDefault(1);
        gConnectPara().Item(1).setUserName(user);
        gConnectPara().Item(1).setPassword(password);
        gConnectPara().Item(1).setDesktopSize(2);
        gConnectPara().Item(1).setCanAutoReconnect(0);
        window_ = std::make_unique<RDP_frmDesktop>();
        window_->Init();
    }

private slots:
    void cleanup() {
        window_.reset();
        rdp::SetRdpControlFactory({});
        ResetConnectPara();
        platform_.messages.clear();
        platform_.endCalls = 0;
    }

    void goodLogonHidesThePanelAndShowsTheDesktop() {
        TestServer server(TestPort());
        QVERIFY(server.start(work_.path() + QStringLiteral("/server")));
        open(server.host(), server.port(), server.user(), server.password());
        QCOMPARE(control_->Connected(), 2);
        QVERIFY(QTest::qWaitFor([&] { return window_->Status() == StatusLoggedIn; }, 20000));
        QVERIFY(!window_->picTips->isVisible());
        QVERIFY(QTest::qWaitFor([&] { return control_->hasPicture(); }, 10000));
        QVERIFY(
            window_->grab().save(QDir::currentPath() + QStringLiteral("/e2e-session-window.png")));
        QVERIFY(platform_.messages.isEmpty());
        // Closing the window disconnects and ends the program.
        window_->close();
        QCOMPARE(platform_.endCalls, 1);
    }

    // Without reconnection a lost link is explained at once, then the program ends.
    void killedServerEndsTheProgram() {
        TestServer server(TestPort());
        QVERIFY(server.start(work_.path() + QStringLiteral("/server")));
        open(server.host(), server.port(), server.user(), server.password());
        QVERIFY(QTest::qWaitFor([&] { return window_->Status() == StatusLoggedIn; }, 20000));
        server.killServer();
        QVERIFY(QTest::qWaitFor([&] { return !platform_.messages.isEmpty(); }, 10000));
        QCOMPARE(platform_.messages.first().title, QStringLiteral("连接"));
        QCOMPARE(platform_.messages.first().style, 16);
        QVERIFY(platform_.messages.first().text.startsWith(
            QStringLiteral("与远程计算机的连接已中断。")));
        QTRY_COMPARE_WITH_TIMEOUT(platform_.endCalls, 1, 5000);
    }

    void closedPortShowsTheNetworkMessage() {
        QTcpServer probe;
        QVERIFY(probe.listen(QHostAddress::LocalHost));
        const int port = probe.serverPort();
        probe.close();
        open(QStringLiteral("127.0.0.1"), port, QStringLiteral("u"), QStringLiteral("p"));
        QVERIFY(QTest::qWaitFor([&] { return !platform_.messages.isEmpty(); }, 20000));
        QCOMPARE(platform_.messages.first().title, QStringLiteral("连接"));
        QCOMPARE(platform_.messages.first().style, 16);
        QVERIFY(
            platform_.messages.first().text.startsWith(QStringLiteral("此计算机无法连接到系统。")));
        QTRY_COMPARE_WITH_TIMEOUT(platform_.endCalls, 1, 2000);
    }
};

QTEST_MAIN(SessionWindow)
#include "tst_SessionWindow.moc"
