#include "tests/e2e/SessionHarness.h"

#include "tests/e2e/TestServer.h"

#include <QTest>

namespace rdp::test {

using freerdp::CertificateQuestion;
using freerdp::CertificateReply;

SessionHarness::SessionHarness() : window(std::make_unique<QWidget>()) {
    window->setWindowTitle(QStringLiteral("e2e-session"));
    window->resize(1024, 768);
    rdp = new freerdp::FreeRdpControl(window.get());
    rdp->setGeometry(0, 0, 1024, 768);
    rdp->setConfigPath(config.path() + QStringLiteral("/freerdp"));
    QObject* ctx = window.get();
    QObject::connect(rdp, &RdpClientControl::OnConnecting, ctx,
                     [this] { events << QStringLiteral("connecting"); });
    QObject::connect(rdp, &RdpClientControl::OnConnected, ctx,
                     [this] { events << QStringLiteral("connected"); });
    QObject::connect(rdp, &RdpClientControl::OnLoginComplete, ctx,
                     [this] { events << QStringLiteral("login"); });
    QObject::connect(rdp, &RdpClientControl::OnDisconnected, ctx, [this](int reason) {
        events << QStringLiteral("disconnected:%1").arg(reason);
    });
    rdp->setCertificateAsker(
        [this](QWidget*, const CertificateQuestion& q, CertificateReply reply) -> QWidget* {
            questions << q;
            if (!leaveQuestionsOpen) {
                reply(answer);
            }
            return nullptr;
        });
    window->show();
}

SessionHarness::~SessionHarness() = default;

void SessionHarness::target(const TestServer& server, const QString& password) {
    target(server.host(), server.port(), server.user(),
           password.isEmpty() ? server.password() : password);
}

void SessionHarness::target(const QString& host, int port, const QString& user,
                            const QString& password) {
    rdp->setServer(host);
    rdp->setRDPPort(port);
    rdp->setUserName(user);
    rdp->setClearTextPassword(password);
    rdp->setDesktopWidth(1024);
    rdp->setDesktopHeight(768);
}

void SessionHarness::targetLoopback(int port) {
    target(QStringLiteral("127.0.0.1"), port, QStringLiteral("u"), QStringLiteral("p"));
}

bool SessionHarness::waitFor(const QString& prefix, int milliseconds) {
    return QTest::qWaitFor([&] { return count(prefix) > 0; }, milliseconds);
}

int SessionHarness::count(const QString& prefix) const {
    int n = 0;
    for (const QString& e : events) {
        n += e.startsWith(prefix) ? 1 : 0;
    }
    return n;
}

int SessionHarness::reason() const {
    for (qsizetype i = events.size() - 1; i >= 0; --i) {
        if (events[i].startsWith(QStringLiteral("disconnected:"))) {
            return events[i].mid(13).toInt();
        }
    }
    return -1;
}

void SessionHarness::destroyControl() {
    delete rdp;
    rdp = nullptr;
}

} // namespace rdp::test
