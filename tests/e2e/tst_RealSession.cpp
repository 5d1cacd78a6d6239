// End-to-end: the FreeRDP control against a real RDP server on loopback.
#include "session/freerdp/DisconnectReason.h"
#include "tests/e2e/SessionHarness.h"
#include "tests/e2e/TestServer.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QSet>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

using rdp::freerdp::CertificateAnswer;
namespace Reason = rdp::freerdp::Reason;
using rdp::test::SessionHarness;
using rdp::test::TestServer;

namespace {

int TestPort() {
    return qEnvironmentVariableIntValue("RDP_E2E_PORT") ?: 34200;
}

// Distinct colours in a sample of the picture: a blank (never painted) picture has one.
int Colours(const QImage& image) {
    QSet<QRgb> seen;
    for (int y = 0; y < image.height(); y += 7) {
        for (int x = 0; x < image.width(); x += 7) {
            seen.insert(image.pixel(x, y));
        }
    }
    return static_cast<int>(seen.size());
}

} // namespace

class RealSession : public QObject {
    Q_OBJECT

private:
    QTemporaryDir work_;
    QString state(const QString& name) const { return work_.path() + QLatin1Char('/') + name; }

private slots:
    void goodLogonGivesEventsInOrderAndPaints();
    void killedServerEndsTheSession();
    void closedPortIsANetworkFailure();
    void wrongPasswordReachesTheServerOnce();
    void certificatesAreAskedRememberedAndWarned();
    void typedKeysArriveOnTheRemoteDisplay();
    void lostSessionIsTriedAgainQuietly();
    void silentServerTimesOut();
    void teardownAtAnyMoment();
};

void RealSession::goodLogonGivesEventsInOrderAndPaints() {
    TestServer server(TestPort());
    QVERIFY(server.start(state(QStringLiteral("server"))));
    QVERIFY(server.runOnDisplay(QStringLiteral("xclock"),
                                {QStringLiteral("-geometry"), QStringLiteral("300x300+100+100")}));
    SessionHarness h;
    h.target(server);
    QCOMPARE(h.rdp->Connected(), 0);
    h.rdp->Connect();
    QCOMPARE(h.rdp->Connected(), 2);
    QVERIFY2(h.waitFor(QStringLiteral("login"), 20000),
             qPrintable(h.events.join(u',') + QString::number(h.rdp->hasPicture())));
    QCOMPARE(h.rdp->Connected(), 1);
    QCOMPARE(h.events, (QStringList{QStringLiteral("connecting"), QStringLiteral("connected"),
                                    QStringLiteral("login")}));
    QCOMPARE(h.questions.size(), 1); // a new certificate is asked about
    QVERIFY(QTest::qWaitFor([&] { return Colours(h.rdp->picture()) > 2; }, 10000));
    QCOMPARE(h.rdp->picture().size(), QSize(1024, 768));
    const QString shot = QDir::currentPath() + QStringLiteral("/e2e-good-logon.png");
    QVERIFY(h.rdp->grab().save(shot));
    qInfo("screenshot: %s", qPrintable(shot));

    h.rdp->Disconnect();
    QVERIFY(h.waitFor(QStringLiteral("disconnected"), 10000));
    QCOMPARE(h.reason(), Reason::LocalDisconnect);
    QCOMPARE(h.rdp->Connected(), 0);
    QCOMPARE(h.count(QStringLiteral("disconnected")), 1);
}

void RealSession::killedServerEndsTheSession() {
    TestServer server(TestPort());
    QVERIFY(server.start(state(QStringLiteral("server"))));
    SessionHarness h;
    h.target(server);
    h.rdp->Connect();
    QVERIFY(h.waitFor(QStringLiteral("login"), 20000));
    QElapsedTimer clock;
    clock.start();
    server.killServer();
    // The session must end by itself, promptly, with a remote-side reason.
    QVERIFY(h.waitFor(QStringLiteral("disconnected"), 1000));
    qInfo("session ended %lld ms after the server was killed", clock.elapsed());
    QCOMPARE(h.reason(), Reason::SocketClosed);
    QCOMPARE(h.rdp->Connected(), 0);
}

void RealSession::closedPortIsANetworkFailure() {
    QTcpServer probe; // find a port where nothing listens
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const int port = probe.serverPort();
    probe.close();
    SessionHarness h;
    h.target(QStringLiteral("127.0.0.1"), port, QStringLiteral("u"), QStringLiteral("p"));
    h.rdp->Connect();
    QVERIFY(h.waitFor(QStringLiteral("disconnected"), 20000));
    QCOMPARE(h.events,
             (QStringList{QStringLiteral("connecting"), QStringLiteral("disconnected:516")}));
}

void RealSession::wrongPasswordReachesTheServerOnce() {
    TestServer server(TestPort());
    QVERIFY(server.start(state(QStringLiteral("server"))));
    SessionHarness h;
    h.target(server, QStringLiteral("not-the-password"));
    h.rdp->Connect();
    QVERIFY(h.waitFor(QStringLiteral("disconnected"), 20000));
    QCOMPARE(h.events,
             (QStringList{QStringLiteral("connecting"), QStringLiteral("disconnected:2055")}));
    QTest::qWait(500); // let the server write its log
    const QString log = server.serverLog();
    QCOMPARE(log.count(QStringLiteral("client authentication failure")), 1);
}

void RealSession::certificatesAreAskedRememberedAndWarned() {}

void RealSession::typedKeysArriveOnTheRemoteDisplay() {}

void RealSession::lostSessionIsTriedAgainQuietly() {}

void RealSession::silentServerTimesOut() {}

void RealSession::teardownAtAnyMoment() {}

QTEST_MAIN(RealSession)
#include "tst_RealSession.moc"
