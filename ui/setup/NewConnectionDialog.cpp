#include "ui/setup/NewConnectionDialog.h"

#include "common/Platform.h"
#include "common/ShowMsg.h"
#include "common/TextHelpers.h"
#include "profiles/ConnectParaStore.h"
#include "profiles/EntryText.h"
#include "profiles/PortNumber.h"
#include "profiles/RDP_ConnectPara.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace {

QLineEdit* Field(const char* name, QWidget* parent) {
    auto* field = new QLineEdit(parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setMinimumWidth(220);
    return field;
}

QPushButton* Button(const char* name, const char* caption, QWidget* parent) {
    auto* button = new QPushButton(QString::fromUtf8(caption), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setMinimumWidth(88);
    return button;
}

} // namespace

NewConnectionDialog::NewConnectionDialog(const RDP_ConnectPara& list, QWidget* parent)
    : QDialog(parent), list_(list) {
    setObjectName(QStringLiteral("NewConnectionDialog"));
    setWindowTitle(QStringLiteral("新建连接"));
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(18, 16, 18, 14);
    column->setSpacing(14);

    auto* form = new QFormLayout;
    form->setHorizontalSpacing(12);
    form->setVerticalSpacing(10);
    txtConnectName_ = Field("txtConnectName", this);
    txtServer_ = Field("txtServer", this);
    txtPort_ = Field("txtPort", this);
    txtPort_->setText(QStringLiteral("3389"));
    form->addRow(QStringLiteral("连接名称"), txtConnectName_);
    form->addRow(QStringLiteral("服务器"), txtServer_);
    form->addRow(QStringLiteral("端口"), txtPort_);
    column->addLayout(form);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    cmdOk_ = Button("cmdOk", "确定", this);
    cmdCancel_ = Button("cmdCancel", "取消", this);
    cmdOk_->setDefault(true);
    cmdCancel_->setAutoDefault(false);
    buttons->addWidget(cmdOk_);
    buttons->addWidget(cmdCancel_);
    column->addLayout(buttons);

    connect(cmdOk_, &QPushButton::clicked, this, &NewConnectionDialog::cmdOk_Click);
    connect(cmdCancel_, &QPushButton::clicked, this, &NewConnectionDialog::reject);
    txtConnectName_->setFocus(Qt::OtherFocusReason);
}

QString NewConnectionDialog::ConnectName() const {
    return RDP_basPublic::TrimSpaces(txtConnectName_->text()).toString();
}
QString NewConnectionDialog::Server() const {
    return RDP_basPublic::TrimSpaces(txtServer_->text()).toString();
}
QString NewConnectionDialog::Port() const {
    return RDP_basPublic::TrimSpaces(txtPort_->text()).toString();
}

void NewConnectionDialog::cmdOk_Click() {
    if (CheckName() && CheckServer() && CheckPort()) {
        accept();
    }
}

bool NewConnectionDialog::CheckName() {
    const QString name = ConnectName();
    if (name.isEmpty()) {
        Refuse(QStringLiteral("连接名称必须输入。"), txtConnectName_);
        return false;
    }
    if (rdp::HasControlCharacter(name)) {
        Refuse(rdp::ControlCharacterMessage(QStringLiteral("连接名称")), txtConnectName_);
        return false;
    }
    if (RDP_basClient::FindConnectName(list_, name) != 0) {
        Refuse(QLatin1Char('"') + name + QStringLiteral("\"已存在，请重新输入连接名称。"),
               txtConnectName_);
        return false;
    }
    return true;
}

bool NewConnectionDialog::CheckServer() {
    if (Server().isEmpty()) {
        Refuse(QStringLiteral("服务器地址必须输入。"), txtServer_);
        return false;
    }
    if (rdp::HasControlCharacter(Server())) {
        Refuse(rdp::ControlCharacterMessage(QStringLiteral("服务器地址")), txtServer_);
        return false;
    }
    return true;
}

bool NewConnectionDialog::CheckPort() {
    if (!rdp::PortNumber(Port())) {
        Refuse(QStringLiteral("端口必须是 1 到 65535 之间的整数。"), txtPort_);
        return false;
    }
    return true;
}

// Tells the user why, and puts the cursor into the field to correct.
void NewConnectionDialog::Refuse(const QString& text, QLineEdit* field) {
    rdp::MsgBox(text, rdp::MsgStyle::Information, rdp::ConnectTitle(), this);
    field->setFocus(Qt::OtherFocusReason);
    field->selectAll();
}
