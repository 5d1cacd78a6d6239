#include "tests/e2e/TestServer.h"

#include "tests/e2e/E2eSupport.h"

#include <QFile>
#include <QProcess>

#include <csignal>

namespace rdp::test {

TestServer::TestServer(int port) : port_(port) {}

TestServer::~TestServer() {
    stop();
}

QString TestServer::script() {
    return QStringLiteral(RDP_SOURCE_DIR "/scripts/rdp-test-server");
}

bool TestServer::start(const QString& state) {
    // Two displays starting at the same moment can both fail to claim a number: try twice.
    return startOnce(state) || startOnce(state);
}

bool TestServer::startOnce(const QString& state) {
    QStringList arguments{QStringLiteral("start"), QStringLiteral("--port"), QString::number(port_),
                          QStringLiteral("--state"), state};
    if (!password_.isEmpty()) {
        arguments << QStringLiteral("--password") << password_;
    }
    if (!StartServerScript(script(), arguments, 60000, values_) || display().isEmpty()) {
        return false;
    }
    port_ = values_.value(QStringLiteral("port")).toInt();
    return true;
}

void TestServer::stop() {
    for (const qint64 pid : helpers_) {
        ::kill(static_cast<pid_t>(pid), SIGKILL);
    }
    helpers_.clear();
    if (state().isEmpty()) {
        return;
    }
    QProcess::execute(script(), {QStringLiteral("stop"), QStringLiteral("--state"), state()});
    values_.clear();
}

void TestServer::killServer() {
    QFile f(state() + QStringLiteral("/shadow.pid"));
    if (f.open(QIODevice::ReadOnly)) {
        const int pid = f.readAll().trimmed().toInt();
        if (pid > 0) {
            ::kill(pid, SIGKILL);
        }
    }
}

QString TestServer::serverLog() const {
    QFile f(state() + QStringLiteral("/shadow.log"));
    return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
}

bool TestServer::runOnDisplay(const QString& program, const QStringList& arguments) {
    QProcess p;
    auto env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("DISPLAY"), display());
    p.setProcessEnvironment(env);
    p.setProgram(program);
    p.setArguments(arguments);
    p.setStandardOutputFile(QProcess::nullDevice());
    p.setStandardErrorFile(QProcess::nullDevice());
    qint64 pid = 0;
    if (!p.startDetached(&pid)) {
        return false;
    }
    helpers_.append(pid);
    return true;
}

} // namespace rdp::test
