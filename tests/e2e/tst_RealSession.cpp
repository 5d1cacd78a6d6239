// End-to-end: the FreeRDP control against a real RDP server on loopback.
#include "session/freerdp/link/DisconnectReason.h"
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/SessionHarness.h"
#include "tests/e2e/TestServer.h"

#include <QClipboard>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QGuiApplication>
#include <QLoggingCategory>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QSslKey>
#include <QSslSocket>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>

#include <memory>

using rdp::freerdp::CertificateAnswer;
namespace Reason = rdp::freerdp::Reason;
using rdp::test::SessionHarness;
using rdp::test::TestServer;

namespace {

// Connects, waits up to `milliseconds` for the session's end and gives the events recorded.
QStringList EventsToTheEnd(SessionHarness& h, int milliseconds) {
    h.rdp->Connect();
    h.waitFor(QStringLiteral("disconnected"), milliseconds);
    return h.events;
}

// The events of a session that ended for `reason` without getting past connecting.
QStringList EndedConnecting(int reason) {
    return {QStringLiteral("connecting"), QStringLiteral("disconnected:%1").arg(reason)};
}

// Connects with reconnection on and waits for the logon.
bool ConnectReconnecting(SessionHarness& h, const TestServer& server, int attempts, int spanMs) {
    h.target(server);
    h.rdp->setEnableAutoReconnect(true);
    h.rdp->setReconnectPolicy(attempts, spanMs);
    h.rdp->Connect();
    return h.waitFor(QStringLiteral("login"), 20000);
}

// Established TCP connections to the port on this machine, read at once from the kernel's
// table (no helper process that would give a closing link time to finish).
int EstablishedTo(int port) {
    QFile table(QStringLiteral("/proc/net/tcp"));
    if (!table.open(QIODevice::ReadOnly)) {
        return -1;
    }
    int n = 0;
    const QByteArray remote = QByteArray::number(port, 16).toUpper().rightJustified(4, '0');
    for (const QByteArray& line : table.readAll().split('\n')) {
        const QList<QByteArray> f = line.simplified().split(' ');
        // fields: slot, local address:port, remote address:port, state (01 established)
        n += f.size() > 3 && f[2].endsWith(':' + remote) && f[3] == "01" ? 1 : 0;
    }
    return n;
}

// Windows clipboard text as the remote side must receive it: UTF-16LE and a terminator.
QByteArray Utf16LeWithTerminator(const QString& text) {
    QByteArray out;
    for (const QChar c : text + QChar(0)) {
        out.append(static_cast<char>(c.unicode() & 0xFF));
        out.append(static_cast<char>(c.unicode() >> 8));
    }
    return out;
}

} // namespace

// Answers the connection request with NLA, completes TLS, and closes the link once the
// client's first NLA message arrives; `staysUp` false also stops listening at that moment.
class NlaDropper : public QTcpServer {
public:
    NlaDropper(const QString& certificate, bool staysUp) : staysUp_(staysUp) {
        QFile crt(certificate + QStringLiteral(".crt"));
        QFile key(certificate + QStringLiteral(".key"));
        if (crt.open(QIODevice::ReadOnly) && key.open(QIODevice::ReadOnly)) {
            config_.setLocalCertificate(QSslCertificate(crt.readAll()));
            config_.setPrivateKey(QSslKey(key.readAll(), QSsl::Rsa));
        }
        config_.setPeerVerifyMode(QSslSocket::VerifyNone);
    }
    bool reachedNla = false;

protected:
    void incomingConnection(qintptr descriptor) override {
        auto* s = new QSslSocket(this);
        s->setSslConfiguration(config_);
        s->setSocketDescriptor(descriptor);
        connect(s, &QSslSocket::readyRead, this, [this, s] { onData(s); });
    }

private:
    void onData(QSslSocket* s) {
        const QByteArray data = s->readAll();
        if (!s->isEncrypted() && s->mode() == QSslSocket::UnencryptedMode) {
            // X.224 connection confirm selecting CredSSP (NLA).
            s->write(QByteArray::fromHex("030000130ed000001234000200080002000000"));
            s->flush();
            s->startServerEncryption();
            return;
        }
        if (s->isEncrypted() && !data.isEmpty()) {
            reachedNla = true;
            if (!staysUp_) {
                close();
            }
            s->abort();
        }
    }

    QSslConfiguration config_;
    bool staysUp_;
};

class RealSession : public rdp::test::E2eCase {
    Q_OBJECT

public:
    RealSession() : E2eCase(34200) {}

private slots:
    void goodLogonGivesEventsInOrderAndPaints();
    void killedServerEndsTheSession();
    void closedPortIsANetworkFailure();
    void wrongPasswordReachesTheServerOnce();
    void serverGoneDuringNlaIsANetworkFailure();
    void certificatesAreAskedRememberedAndWarned();
    void typedKeysArriveOnTheRemoteDisplay();
    void lostSessionIsTriedAgainQuietly();
    void refusedReconnectionIsNotRepeated();
    void silentServerTimesOut();
    void teardownAtAnyMoment();
    void clipboardTextBothWays();
    void undecodablePictureIsNamedAndNotRetried();
};

void RealSession::goodLogonGivesEventsInOrderAndPaints() {
    TestServer server(port_);
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
    QVERIFY(QTest::qWaitFor([&] { return rdp::test::DistinctColours(h.rdp->picture(), 7) > 2; },
                            10000));
    QCOMPARE(h.rdp->picture().size(), QSize(1024, 768));
    // The control's window on the display and grab() both show the picture.
    const auto shows = [&](const QImage& image) {
        return image.convertToFormat(QImage::Format_RGB32) == h.rdp->picture();
    };
    QVERIFY(QTest::qWaitFor(
        [&] { return shows(h.rdp->screen()->grabWindow(h.rdp->winId()).toImage()); }, 5000));
    QVERIFY(shows(h.rdp->grab().toImage()));
    const QString shot = QDir::currentPath() + QStringLiteral("/e2e-good-logon.png");
    QVERIFY(h.rdp->grab().save(shot));
    qInfo("screenshot: %s", qPrintable(shot));

    // Disconnect returns once the server has been told: the link is already closed.
    h.rdp->Disconnect();
    QCOMPARE(EstablishedTo(server.port()), 0);
    QVERIFY(h.waitFor(QStringLiteral("disconnected"), 10000));
    QCOMPARE(h.reason(), Reason::LocalDisconnect);
    QCOMPARE(h.rdp->Connected(), 0);
    QCOMPARE(h.count(QStringLiteral("disconnected")), 1);

    // A second connection of the same control starts from no picture and gets a new one.
    h.events.clear();
    h.rdp->Connect();
    QVERIFY(!h.rdp->hasPicture());
    QVERIFY(h.waitFor(QStringLiteral("login"), 20000));
    QVERIFY(QTest::qWaitFor([&] { return rdp::test::DistinctColours(h.rdp->picture(), 7) > 2; },
                            10000));
}

void RealSession::killedServerEndsTheSession() {
    TestServer server(port_);
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

// 256 colours: the library cannot decode the shadow server's first picture. The session
// ends at once with a message that names the picture, not the network, and no new logon.
void RealSession::undecodablePictureIsNamedAndNotRetried() {
    TestServer server(port_);
    QVERIFY(server.start(state(QStringLiteral("server"))));
    SessionHarness h;
    h.target(server);
    h.rdp->setColorDepth(8);
    h.rdp->setEnableAutoReconnect(true);
    h.rdp->setReconnectPolicy(5, 100);
    // The end's line in the session log names the library's error and the server's.
    QLoggingCategory::setFilterRules(QStringLiteral("rdp.session.info=true"));
    QTest::ignoreMessage(QtInfoMsg,
                         QRegularExpression(QStringLiteral(
                             "^session ended: error ERRBASE_SUCCESS \\(0x00000000\\), error info "
                             "none \\(0x00000000\\), reason 3080, .*picture not decoded")));
    QElapsedTimer clock;
    clock.start();
    h.rdp->Connect();
    QVERIFY(h.waitFor(QStringLiteral("connected"), 20000));
    QVERIFY2(h.waitFor(QStringLiteral("disconnected"), 20000), qPrintable(h.events.join(u',')));
    qInfo("connect to the end: %lld ms", clock.elapsed());
    QCOMPARE(h.reason(), Reason::DecompressionError);
    QCOMPARE(h.rdp->reconnectTries(), 0);
    const QString message = h.rdp->GetErrorDescription(h.reason());
    QVERIFY2(message.startsWith(QStringLiteral("无法显示远程计算机的画面（8 位色）。")),
             qPrintable(message));
    QLoggingCategory::setFilterRules(QString());
}

void RealSession::closedPortIsANetworkFailure() {
    QTcpServer probe; // find a port where nothing listens
    QVERIFY(probe.listen(QHostAddress::LocalHost));
    const int port = probe.serverPort();
    probe.close();
    SessionHarness h;
    h.targetLoopback(port);
    QCOMPARE(EventsToTheEnd(h, 20000), EndedConnecting(516));
}

void RealSession::wrongPasswordReachesTheServerOnce() {
    TestServer server(port_);
    QVERIFY(server.start(state(QStringLiteral("server"))));
    SessionHarness h;
    h.target(server, QStringLiteral("not-the-password"));
    QCOMPARE(EventsToTheEnd(h, 20000), EndedConnecting(2055));
    QTest::qWait(500); // let the server write its log
    const QString log = server.serverLog();
    QCOMPARE(log.count(QStringLiteral("client authentication failure")), 1);
}

// A server that takes the connection into NLA and then closes it: while it still accepts
// connections that is a refused logon; gone for good, it is a network failure.
void RealSession::serverGoneDuringNlaIsANetworkFailure() {
    const QString dir = state(QStringLiteral("nla"));
    QVERIFY(rdp::test::MakeCertificate(dir, QStringLiteral("nla")));
    for (const bool staysUp : {true, false}) {
        NlaDropper server(dir + QStringLiteral("/nla"), staysUp);
        QVERIFY(server.listen(QHostAddress::LocalHost, static_cast<quint16>(port_)));
        SessionHarness h;
        h.targetLoopback(port_);
        h.rdp->Connect();
        QVERIFY(h.waitFor(QStringLiteral("disconnected"), 20000));
        QVERIFY(server.reachedNla);
        QCOMPARE(h.reason(), staysUp ? Reason::LogonFailed : Reason::SocketConnectFailed);
    }
}

void RealSession::certificatesAreAskedRememberedAndWarned() {
    auto first = std::make_unique<TestServer>(port_);
    QVERIFY(first->start(state(QStringLiteral("first"))));
    SessionHarness h;
    h.target(*first);
    h.answer = CertificateAnswer::AcceptAlways;
    h.rdp->Connect();
    QVERIFY(h.waitFor(QStringLiteral("login"), 20000));
    QCOMPARE(h.questions.size(), 1);
    const auto asked = h.questions.first();
    QVERIFY(!asked.changed);
    QCOMPARE(asked.port, port_);
    QVERIFY(asked.fingerprint.count(QLatin1Char(':')) >= 16);
    h.rdp->Disconnect();
    QVERIFY(h.waitFor(QStringLiteral("disconnected"), 10000));

    // "Always" was remembered: the next connection does not ask.
    h.events.clear();
    h.rdp->Connect();
    QVERIFY(h.waitFor(QStringLiteral("login"), 20000));
    QCOMPARE(h.questions.size(), 1);
    h.rdp->Disconnect();
    QVERIFY(h.waitFor(QStringLiteral("disconnected"), 10000));

    // Another server on the same address with a new certificate: a warning; cancelling
    // it is a local disconnection and the session never comes up.
    first.reset();
    TestServer second(port_);
    QVERIFY(second.start(state(QStringLiteral("second"))));
    h.events.clear();
    h.answer = CertificateAnswer::Reject;
    QCOMPARE(EventsToTheEnd(h, 20000), EndedConnecting(1));
    QCOMPARE(h.questions.size(), 2);
    QVERIFY(h.questions[1].changed);
    QCOMPARE(h.questions[1].oldFingerprint, asked.fingerprint);
    QVERIFY(h.questions[1].fingerprint != asked.fingerprint);

    // "Once" is not remembered: a second control with a fresh configuration asks each time.
    SessionHarness once;
    once.target(second);
    for (int round = 1; round <= 2; ++round) {
        once.events.clear();
        once.rdp->Connect();
        QVERIFY(once.waitFor(QStringLiteral("login"), 20000));
        QCOMPARE(once.questions.size(), round);
        once.rdp->Disconnect();
        QVERIFY(once.waitFor(QStringLiteral("disconnected"), 10000));
    }
}

void RealSession::typedKeysArriveOnTheRemoteDisplay() {
    TestServer server(port_);
    QVERIFY(server.start(state(QStringLiteral("server"))));
    const QString typed = state(QStringLiteral("typed.txt"));
    QVERIFY(server.runOnDisplay(QStringLiteral("xterm"),
                                {QStringLiteral("-geometry"), QStringLiteral("80x20+0+0"),
                                 QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"),
                                 QStringLiteral("cat > '%1'").arg(typed)}));
    SessionHarness h;
    h.target(server);
    h.rdp->Connect();
    QVERIFY(h.waitFor(QStringLiteral("login"), 20000));
    QTest::qWait(1000);                        // the remote xterm maps
    QTest::mouseMove(h.rdp, QPoint(150, 100)); // the remote pointer over the xterm
    h.window->activateWindow();
    h.rdp->setFocus();

    // X11 key codes: real key presses on this side's display.
    const QString title = h.window->windowTitle();
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"),
                               {QStringLiteral("search"), QStringLiteral("--name"), title,
                                QStringLiteral("windowfocus"), QStringLiteral("--sync")}),
             0);
    QTest::qWait(300);
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"),
                               {QStringLiteral("type"), QStringLiteral("--delay"),
                                QStringLiteral("40"), QStringLiteral("xdo9")}),
             0);
    QCOMPARE(QProcess::execute(QStringLiteral("xdotool"),
                               {QStringLiteral("key"), QStringLiteral("Return")}),
             0);
    const auto content = [&] {
        QFile f(typed);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    QVERIFY2(QTest::qWaitFor([&] { return content() == QStringLiteral("xdo9\n"); }, 10000),
             qPrintable(content()));

    // Key events without a native code go through the key table.
    QTest::keyClicks(h.rdp, QStringLiteral("qt7"));
    QTest::keyClick(h.rdp, Qt::Key_Return);
    QVERIFY2(QTest::qWaitFor([&] { return content() == QStringLiteral("xdo9\nqt7\n"); }, 10000),
             qPrintable(content()));
}

void RealSession::lostSessionIsTriedAgainQuietly() {
    auto server = std::make_unique<TestServer>(port_);
    QVERIFY(server->start(state(QStringLiteral("server"))));
    SessionHarness h;
    QVERIFY(ConnectReconnecting(h, *server, 5, 12000));
    int reconnected = 0;
    QObject::connect(h.rdp, &RdpClientControl::OnAutoReconnected, h.window.get(),
                     [&] { ++reconnected; });

    // The server goes away and comes back: the session continues without any event.
    h.events.clear();
    server->killServer();
    QVERIFY(QTest::qWaitFor([&] { return h.rdp->reconnectTries() >= 2; }, 10000));
    server = std::make_unique<TestServer>(port_);
    QVERIFY(server->start(state(QStringLiteral("server"))));
    QVERIFY(QTest::qWaitFor([&] { return reconnected == 1; }, 15000));
    QTest::qWait(3000); // and it stays
    QCOMPARE(h.events, QStringList());
    QCOMPARE(h.rdp->Connected(), 1);
    const int triesWhenBack = h.rdp->reconnectTries();

    h.rdp->Disconnect();
    QVERIFY(h.waitFor(QStringLiteral("disconnected"), 10000));
    QCOMPARE(h.events, QStringList{QStringLiteral("disconnected:1")});
    QVERIFY(triesWhenBack >= 2);

    // It goes away for good: a bounded number of quiet tries, then one disconnection.
    SessionHarness bounded;
    bounded.target(*server);
    bounded.rdp->setEnableAutoReconnect(true);
    bounded.rdp->setReconnectPolicy(3, 2000);
    bounded.rdp->Connect();
    QVERIFY(bounded.waitFor(QStringLiteral("login"), 20000));
    bounded.events.clear();
    server->killServer();
    QVERIFY(bounded.waitFor(QStringLiteral("disconnected"), 20000));
    QCOMPARE(bounded.events, QStringList{QStringLiteral("disconnected:2308")});
    QCOMPARE(bounded.rdp->reconnectTries(), 3);
}

// The server comes back with another password for the user: the reconnection that the
// server refuses ends the session as a refused logon, and the password is not sent again.
void RealSession::refusedReconnectionIsNotRepeated() {
    auto server = std::make_unique<TestServer>(port_);
    QVERIFY(server->start(state(QStringLiteral("server"))));
    SessionHarness h;
    QVERIFY(ConnectReconnecting(h, *server, 5, 20000));
    server->killServer();
    server = std::make_unique<TestServer>(port_);
    server->setPassword(QStringLiteral("Changed-456"));
    QVERIFY(server->start(state(QStringLiteral("server"))));
    QVERIFY(h.waitFor(QStringLiteral("disconnected"), 30000));
    QCOMPARE(h.reason(), Reason::LogonFailed);
    QTest::qWait(500); // let the server write its log
    QCOMPARE(server->serverLog().count(QStringLiteral("client authentication failure")), 1);
}

void RealSession::silentServerTimesOut() {
    // Accepts the connection and never answers.
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));
    SessionHarness h;
    h.targetLoopback(silent.serverPort());
    h.rdp->setConnectTimeout(1500);
    QCOMPARE(EventsToTheEnd(h, 15000), EndedConnecting(264));
}

void RealSession::teardownAtAnyMoment() {
    TestServer server(port_);
    QVERIFY(server.start(state(QStringLiteral("server"))));
    QTcpServer silent;
    QVERIFY(silent.listen(QHostAddress::LocalHost));

    { // while the library is blocked reading from a server that never answers
        SessionHarness h;
        h.targetLoopback(silent.serverPort());
        h.rdp->Connect();
        QTest::qWait(300);
        h.destroyControl();
    }
    { // at once after Connect
        SessionHarness h;
        h.target(server);
        h.rdp->Connect();
        h.destroyControl();
    }
    { // while the certificate question is open
        SessionHarness h;
        h.target(server);
        h.leaveQuestionsOpen = true;
        h.rdp->Connect();
        QVERIFY(QTest::qWaitFor([&] { return h.questions.size() == 1; }, 20000));
        QCOMPARE(h.rdp->Connected(), 2);
        h.destroyControl();
    }
    { // while the question is open, Disconnect answers it: a local disconnection
        SessionHarness h;
        h.target(server);
        h.leaveQuestionsOpen = true;
        h.rdp->Connect();
        QVERIFY(QTest::qWaitFor([&] { return h.questions.size() == 1; }, 20000));
        h.rdp->Disconnect();
        QVERIFY(h.waitFor(QStringLiteral("disconnected"), 10000));
        QCOMPARE(h.reason(), Reason::LocalDisconnect);
    }
    { // while connected, with the window going first
        SessionHarness h;
        h.target(server);
        h.rdp->Connect();
        QVERIFY(h.waitFor(QStringLiteral("login"), 20000));
        h.window.reset();
    }
    { // while a reconnection attempt waits on a server that never answers: the close
      // decides from the attempt it replaced and ends it at once (the last case: it kills
      // the server)
        SessionHarness h;
        QVERIFY(ConnectReconnecting(h, server, 5, 100));
        server.killServer();
        QTcpServer mute;
        QVERIFY(QTest::qWaitFor(
            [&] {
                return mute.listen(QHostAddress::LocalHost, static_cast<quint16>(server.port()));
            },
            5000));
        QVERIFY(QTest::qWaitFor([&] { return mute.hasPendingConnections(); }, 10000));
        QTest::qWait(200);
        QElapsedTimer clock;
        clock.start();
        h.rdp->Disconnect();
        QVERIFY(h.waitFor(QStringLiteral("disconnected"), 10000));
        qInfo("closed during a reconnection attempt in %lld ms", clock.elapsed());
        QCOMPARE(h.reason(), Reason::LocalDisconnect);
    }
}

void RealSession::clipboardTextBothWays() {
    // FreeRDP's shadow server has no clipboard channel: a small server that has one.
    const QString dir = state(QStringLiteral("clip"));
    QVERIFY(rdp::test::MakeCertificate(dir, QStringLiteral("peer")));
    const QString remoteText = QString::fromUtf8("远程\nremote \U0001F600");
    QProcess peer;
    peer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    peer.start(QStringLiteral(RDP_CLIP_PEER),
               {QString::number(port_), dir + QStringLiteral("/peer.crt"),
                dir + QStringLiteral("/peer.key"), remoteText, dir});
    QByteArray said;
    const auto peerSaid = [&](const char* line) {
        return QTest::qWaitFor(
            [&] {
                said += peer.readAllStandardOutput();
                return said.contains(line);
            },
            10000);
    };
    QVERIFY(peerSaid("listening"));
    const auto received = [&](int n) {
        QFile f(dir + QStringLiteral("/received.%1").arg(n));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    };

    const auto connect = [this](SessionHarness& harness, bool redirect) {
        harness.targetLoopback(port_);
        harness.rdp->setRedirectClipboard(redirect);
        harness.rdp->Connect();
        return harness.waitFor(QStringLiteral("connected"), 20000);
    };

    QClipboard* clipboard = QGuiApplication::clipboard();
    clipboard->setText(QString::fromUtf8("本地\nlocal"));
    SessionHarness h;
    QVERIFY(connect(h, true));
    QVERIFY(peerSaid("clipboard up"));
    // This side's text, offered when the channel is ready, reaches the remote side.
    QVERIFY(QTest::qWaitFor([&] { return !received(1).isEmpty(); }, 10000));
    QCOMPARE(received(1), Utf16LeWithTerminator(QString::fromUtf8("本地\r\nlocal")));
    // The remote side's offer reaches this side's X clipboard; pasting fetches its text.
    QTRY_COMPARE_WITH_TIMEOUT(clipboard->text(), remoteText, 10000);
    // A later local copy is announced and fetched; the remote text is not sent back.
    clipboard->setText(QStringLiteral("second copy"));
    QVERIFY(QTest::qWaitFor([&] { return !received(2).isEmpty(); }, 10000));
    QCOMPARE(received(2), Utf16LeWithTerminator(QStringLiteral("second copy")));
    h.rdp->Disconnect();
    QVERIFY(h.waitFor(QStringLiteral("disconnected"), 10000));

    // With redirection off the channel is not even joined.
    SessionHarness off;
    QVERIFY(connect(off, false));
    QVERIFY(peerSaid("no clipboard"));
    clipboard->setText(QStringLiteral("third copy"));
    QTest::qWait(500);
    QVERIFY(received(3).isEmpty());
    off.rdp->Disconnect();
    QVERIFY(off.waitFor(QStringLiteral("disconnected"), 10000));
}

QTEST_MAIN(RealSession)
#include "tst_RealSession.moc"
