#include "tests/e2e/XrdpServer.h"

#include "tests/e2e/LockKeyState.h"

#include <QFile>
#include <QProcess>

namespace rdp::test {

namespace {
QString Script() {
    return QStringLiteral(RDP_SOURCE_DIR "/scripts/xrdp-test-server");
}
} // namespace

bool XrdpServer::start(const QString& state) {
    QProcess p;
    p.start(Script(), {QStringLiteral("start"), QStringLiteral("--port"), QString::number(port_),
                       QStringLiteral("--state"), state});
    if (!p.waitForFinished(120000) || p.exitCode() != 0) {
        qWarning("xrdp did not start: %s", p.readAllStandardError().constData());
        return false;
    }
    values_.clear();
    for (const QByteArray& line : p.readAllStandardOutput().split('\n')) {
        const qsizetype eq = line.indexOf('=');
        if (eq > 0) {
            values_.insert(QString::fromUtf8(line.left(eq)), QString::fromUtf8(line.mid(eq + 1)));
        }
    }
    return values_.contains(QStringLiteral("offset"));
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
