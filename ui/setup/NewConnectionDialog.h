#pragma once

#include <QDialog>

class QLineEdit;
class QPushButton;
class RDP_ConnectPara;

// Asks for a new connection's name, server and port. "确定" closes it only when the name is
// given and not used yet (ignoring letter case), the server is given, neither holds a control
// character (tab, CR, LF) and the port is a whole number from 1 to 65535; otherwise it tells
// why and stays open. It changes nothing itself.
class NewConnectionDialog final : public QDialog {
    Q_OBJECT

public:
    NewConnectionDialog(const RDP_ConnectPara& list, QWidget* parent = nullptr);

    // The entries, trimmed of leading and trailing blanks.
    QString ConnectName() const;
    QString Server() const;
    QString Port() const;

public slots:
    void cmdOk_Click();

private:
    bool CheckName();
    bool CheckServer();
    bool CheckPort();
    void Refuse(const QString& text, QLineEdit* field);

    const RDP_ConnectPara& list_;
    QLineEdit* txtConnectName_ = nullptr;
    QLineEdit* txtServer_ = nullptr;
    QLineEdit* txtPort_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};
