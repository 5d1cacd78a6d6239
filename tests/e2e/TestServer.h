#pragma once

#include <QMap>
#include <QString>

namespace rdp::test {

// A real RDP server on loopback for one test, started and stopped through the project's
// scripts/rdp-test-server (Xvfb + FreeRDP's shadow server with NLA).
class TestServer {
public:
    explicit TestServer(int port);
    ~TestServer();
    TestServer(const TestServer&) = delete;
    TestServer& operator=(const TestServer&) = delete;

    // Starts the server; `state` is its folder (a new folder gives a new certificate).
    bool start(const QString& state);
    // The password the next start gives the test user (the script's own when empty).
    void setPassword(const QString& password) { password_ = password; }
    void stop();
    // Ends the shadow server at once (SIGKILL), leaving the display.
    void killServer();

    QString host() const { return values_.value(QStringLiteral("host")); }
    // The port asked for, and once started the one the server took (another when that was in
    // use); a later start asks for it again.
    int port() const { return port_; }
    QString user() const { return values_.value(QStringLiteral("user")); }
    QString password() const { return values_.value(QStringLiteral("password")); }
    QString display() const { return values_.value(QStringLiteral("display")); }
    QString state() const { return values_.value(QStringLiteral("state")); }
    QString serverLog() const;

    // Starts a program on the server's display; it ends with the server's display.
    bool runOnDisplay(const QString& program, const QStringList& arguments);

    static QString script();

private:
    bool startOnce(const QString& state);

    int port_;
    QMap<QString, QString> values_;
    QList<qint64> helpers_;
    QString password_;
};

} // namespace rdp::test
