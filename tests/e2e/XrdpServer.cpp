#include "tests/e2e/XrdpServer.h"

#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/LockKeyState.h"

#include <QFile>
#include <QProcess>

namespace rdp::test {

namespace {
QString Script() {
    return QStringLiteral(RDP_SOURCE_DIR "/scripts/xrdp-test-server");
}
} // namespace

bool XrdpServer::start(const QString& state, const QStringList& options) {
    const QStringList arguments =
        QStringList{QStringLiteral("start"), QStringLiteral("--port"), QString::number(port_),
                    QStringLiteral("--state"), state} +
        options;
    if (!StartServerScript(Script(), arguments, 120000, values_) ||
        !values_.contains(QStringLiteral("offset"))) {
        return false;
    }
    port_ = values_.value(QStringLiteral("port")).toInt();
    return true;
}

bool XrdpServer::run(const QStringList& arguments) {
    const QString state = values_.value(QStringLiteral("state"));
    return !state.isEmpty() &&
           QProcess::execute(Script(), arguments + QStringList{QStringLiteral("--state"), state}) ==
               0;
}

void XrdpServer::stop() {
    if (run({QStringLiteral("stop")})) {
        values_.clear();
    }
}

void XrdpServer::kill() {
    run({QStringLiteral("kill")});
}

void XrdpServer::dropConnections() {
    run({QStringLiteral("drop")});
}

bool XrdpServer::killX() {
    return run({QStringLiteral("kill-x")});
}

int XrdpServer::failedLogins() const {
    QFile log(values_.value(QStringLiteral("log")));
    if (!log.open(QIODevice::ReadOnly)) {
        return 0;
    }
    // xrdp writes each failure twice; this line is written once per failed login.
    return static_cast<int>(log.readAll().count("xrdp_wm_log_msg: login failed"));
}

std::optional<bool> XrdpServer::remoteNumLock() const {
    return NumLockOn(display(), QStringLiteral("/home/%1/.Xauthority").arg(user()));
}

} // namespace rdp::test
