#pragma once

#include "session/freerdp/control/FreeRdpControl.h"

#include <QStringList>
#include <QTemporaryDir>
#include <QWidget>

#include <memory>

namespace rdp::test {

class TestServer;

// Hosts the real control in a small window, records its events in order and answers its
// certificate questions from a setting (or leaves them open).
class SessionHarness {
public:
    SessionHarness();
    ~SessionHarness();

    // Points the control at `server` with its credentials; `password` overrides.
    void target(const TestServer& server, const QString& password = {});
    void target(const QString& host, int port, const QString& user, const QString& password);
    // Points the control at `port` on 127.0.0.1 as user "u" with password "p" (for servers
    // that never check them, or never get that far).
    void targetLoopback(int port);

    // Waits until an event starting with `prefix` was recorded.
    bool waitFor(const QString& prefix, int milliseconds);
    int count(const QString& prefix) const;
    int reason() const; // of the last "disconnected"
    void destroyControl();

    std::unique_ptr<QWidget> window;
    freerdp::FreeRdpControl* rdp = nullptr;
    QStringList events;
    QList<freerdp::CertificateQuestion> questions;
    freerdp::CertificateAnswer answer = freerdp::CertificateAnswer::AcceptOnce;
    bool leaveQuestionsOpen = false;
    QTemporaryDir config;
};

} // namespace rdp::test
