#pragma once

#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>

namespace rdp::test {

// A private xrdp on loopback for one test, started and stopped through the project's
// scripts/xrdp-test-server. Its sessions run on the X display `display()`.
class XrdpServer {
public:
    explicit XrdpServer(int port) : port_(port) {}
    ~XrdpServer() { stop(); }
    XrdpServer(const XrdpServer&) = delete;
    XrdpServer& operator=(const XrdpServer&) = delete;

    // Starts the server; `options` are more options of the script's start (--idle-limit S).
    bool start(const QString& state, const QStringList& options = {});
    void stop();
    // Ends xrdp and its connections at once (the session manager stays).
    void kill();
    // Ends only the connections' processes: xrdp still listens and accepts again.
    void dropConnections();
    // Ends the sessions' X servers at once.
    bool killX();

    QString host() const { return values_.value(QStringLiteral("host")); }
    // The port asked for, and once started the one xrdp took (another when that was in use).
    int port() const { return port_; }
    QString user() const { return values_.value(QStringLiteral("user")); }
    QString password() const { return values_.value(QStringLiteral("password")); }
    // The X display of the test user's session.
    QString display() const { return QLatin1Char(':') + values_.value(QStringLiteral("offset")); }
    // Failed logins in xrdp's log.
    int failedLogins() const;
    // The Num Lock state on the session's display, or nothing when it cannot be read.
    std::optional<bool> remoteNumLock() const;

private:
    bool run(const QStringList& arguments);

    int port_;
    QMap<QString, QString> values_;
};

} // namespace rdp::test
