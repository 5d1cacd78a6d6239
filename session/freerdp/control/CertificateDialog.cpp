#include "session/freerdp/control/CertificateDialog.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

namespace rdp::freerdp {

CertificateDialog::CertificateDialog(QWidget* owner, const CertificateQuestion& q)
    : QDialog(owner, Qt::Dialog | Qt::WindowStaysOnTopHint) {
    setObjectName(QStringLiteral("certificateDialog"));
    setWindowTitle(q.changed ? QStringLiteral("安全警告：服务器证书已更改")
                             : QStringLiteral("服务器证书"));
    setModal(true);

    auto* icon = new QLabel(this);
    const auto pixmap = q.changed ? QStyle::SP_MessageBoxCritical : QStyle::SP_MessageBoxQuestion;
    icon->setPixmap(style()->standardIcon(pixmap).pixmap(48, 48));
    icon->setAlignment(Qt::AlignTop);

    auto* text = new QLabel(describe(q), this);
    text->setObjectName(QStringLiteral("certificateText"));
    text->setTextInteractionFlags(Qt::TextSelectableByMouse);
    text->setWordWrap(true);
    text->setMinimumWidth(460);

    auto* row = new QHBoxLayout;
    row->addWidget(icon);
    row->addWidget(text, 1);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(row);
    setLayout(layout);
    addButtons(q.changed);
}

QString CertificateDialog::describe(const CertificateQuestion& q) const {
    QString head;
    if (q.changed) {
        head = QStringLiteral("警告：远程计算机出示的证书与上次连接时记住的证书不同！\n"
                              "这可能是有人正在冒充该计算机或截获您的连接，也可能是"
                              "管理员更换了证书。除非您确认证书的更改是正常的，否则请取消连接。");
    } else {
        head = QStringLiteral("无法验证远程计算机的身份。请核对证书指纹后再决定是否连接。");
    }
    QString body = head + QStringLiteral("\n\n服务器：%1:%2").arg(q.host).arg(q.port);
    if (!q.commonName.isEmpty()) {
        body += QStringLiteral("\n证书名称：%1").arg(q.commonName);
    }
    if (!q.issuer.isEmpty()) {
        body += QStringLiteral("\n颁发者：%1").arg(q.issuer);
    }
    if (q.hostMismatch) {
        body += QStringLiteral("\n证书上的名称与服务器名称不符。");
    }
    body += QStringLiteral("\n证书指纹：%1").arg(q.fingerprint);
    if (q.changed) {
        body += QStringLiteral("\n原来的指纹：%1").arg(q.oldFingerprint);
    }
    return body;
}

void CertificateDialog::addButtons(bool changed) {
    auto* box = new QDialogButtonBox(this);
    auto* once = box->addButton(QStringLiteral("仅此次接受"), QDialogButtonBox::AcceptRole);
    auto* always = box->addButton(QStringLiteral("始终接受"), QDialogButtonBox::AcceptRole);
    auto* cancel = box->addButton(QStringLiteral("取消"), QDialogButtonBox::RejectRole);
    once->setObjectName(QStringLiteral("acceptOnce"));
    always->setObjectName(QStringLiteral("acceptAlways"));
    cancel->setObjectName(QStringLiteral("cancel"));
    for (auto* b : {once, always, cancel}) {
        b->setAutoDefault(false);
    }
    (changed ? cancel : once)->setDefault(true);
    (changed ? cancel : once)->setFocus();
    connect(once, &QPushButton::clicked, this, [this] {
        answer_ = CertificateAnswer::AcceptOnce;
        accept();
    });
    connect(always, &QPushButton::clicked, this, [this] {
        answer_ = CertificateAnswer::AcceptAlways;
        accept();
    });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    layout()->addWidget(box);
}

QWidget* CertificateDialog::Ask(QWidget* owner, const CertificateQuestion& question,
                                CertificateReply reply) {
    auto* dialog = new CertificateDialog(owner, question);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    connect(dialog, &QDialog::finished, dialog,
            [dialog, reply = std::move(reply)](int) { reply(dialog->answer()); });
    dialog->open();
    dialog->raise();
    dialog->activateWindow();
    return dialog;
}

} // namespace rdp::freerdp
