// End-to-end: the session window with the real FreeRDP control against a real server.
#include "session/freerdp/control/FreeRdpControl.h"
#include "tests/e2e/TestServer.h"
#include "tests/e2e/WindowCase.h"

#include <QDir>
#include <QLabel>
#include <QSet>
#include <QTcpServer>
#include <QTest>

#include <memory>

using namespace rdp::freerdp;
using rdp::test::TestServer;

class SessionWindow : public rdp::test::WindowCase {
    Q_OBJECT

public:
    SessionWindow() : WindowCase(34200) {}

private:
    void open(const QString& host, int port, const QString& user, const QString& password) {
        openWindow(host, QString::number(port), user, password, false);
    }

private slots:
    void cleanup() { closeWindow(); }

    void goodLogonHidesThePanelAndShowsTheDesktop() {
        TestServer server(port_);
        QVERIFY(server.start(state(QStringLiteral("server"))));
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
        TestServer server(port_);
        QVERIFY(server.start(state(QStringLiteral("server"))));
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
