#pragma once

#include <QString>

#include <functional>

class QWidget;

namespace rdp::freerdp {

// The library's question about a server certificate it could not verify.
struct CertificateQuestion {
    QString host;
    int port = 0;
    QString commonName;
    QString subject;
    QString issuer;
    QString fingerprint;
    bool changed = false;      // the server presented another certificate than last time
    QString oldFingerprint;    // the remembered one, when changed
    bool hostMismatch = false; // the certificate names another computer
};

// The answers, numbered as the library expects them.
enum class CertificateAnswer { Reject = 0, AcceptAlways = 1, AcceptOnce = 2 };

using CertificateReply = std::function<void(CertificateAnswer)>;

// Shows the question for `owner` without blocking and calls the reply once answered.
// Returns the widget that asks (closed by the control when the session ends first), or
// null when the question was answered at once.
using CertificateAsker =
    std::function<QWidget*(QWidget* owner, const CertificateQuestion&, CertificateReply)>;

} // namespace rdp::freerdp
