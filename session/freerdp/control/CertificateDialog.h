#pragma once

#include "session/freerdp/handoff/CertificateQuestion.h"

#include <QDialog>

namespace rdp::freerdp {

// The certificate question in the session window: an unknown certificate offers accept
// once, always accept and cancel; a changed certificate is a strong warning whose default
// button is cancel.
class CertificateDialog final : public QDialog {
    Q_OBJECT

public:
    CertificateDialog(QWidget* owner, const CertificateQuestion& question);

    CertificateAnswer answer() const { return answer_; }

    // The control's default asker: opens a dialog above `owner` and replies when it closes.
    static QWidget* Ask(QWidget* owner, const CertificateQuestion& question,
                        CertificateReply reply);

private:
    QString describe(const CertificateQuestion& q) const;
    void addButtons(bool changed);

    CertificateAnswer answer_ = CertificateAnswer::Reject;
};

} // namespace rdp::freerdp
