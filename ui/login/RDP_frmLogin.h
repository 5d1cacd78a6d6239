#pragma once

// ui/login/: the login window, the program's first window; it asks the program to open
// the session and setup windows through LoginHandover.

#include <QString>
#include <QWidget>

class ImageBox;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;

namespace rdp {
class LoginHandover;
}

// The login window: the borderless first window. The user picks a connection, confirms or
// types the user name and password and connects; or opens the setup window; or leaves.
// It holds no profile data of its own: every entry points into gConnectPara().
class RDP_frmLogin final : public QWidget {
    Q_OBJECT

public:
    explicit RDP_frmLogin(QWidget* parent = nullptr);
    ~RDP_frmLogin() override;

    // Who opens the session and setup windows for this window; set before Init.
    void setHandover(rdp::LoginHandover* handover) { handover_ = handover; }
    // Fills and shows the window; with no connection at all, offers to create one.
    void Init();
    void FillClientList();
    void SetupConnections();

    // Stored properties; nothing reads them.
    const QString& ConnectID() const { return ConnectID_; }
    void setConnectID(const QString& v) { ConnectID_ = v; }
    const QString& UserName() const { return UserName_; }
    void setUserName(const QString& v) { UserName_ = v; }
    const QString& Password() const { return Password_; }
    void setPassword(const QString& v) { Password_ = v; }

    // The window's key handler: sees every key before the focused control; setting KeyCode
    // to 0 keeps the key from the control.
    void Form_KeyDown(int& KeyCode, int Shift);

    // The controls.
    ImageBox* imgTitle = nullptr;
    ImageBox* imgExit = nullptr;
    QLabel* lblTitle = nullptr;
    QLabel* lblTitle2 = nullptr;
    QLabel* lblTips = nullptr;
    QLabel* lblClient = nullptr;
    QComboBox* cmbClient = nullptr;
    QLabel* lblUserName = nullptr;
    QLineEdit* txtUserName = nullptr;
    QLabel* lblPassword = nullptr;
    QLineEdit* txtPassword = nullptr;
    QLabel* lblVersion = nullptr;
    QLabel* lbl = nullptr;
    QPushButton* cmdOk = nullptr;
    QPushButton* cmdCancel = nullptr;
    QPushButton* cmdSetup = nullptr;

signals:
    // The user's first key press in the window: a session is likely to follow.
    void FirstKeyPress();

public slots:
    void cmbClient_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdSetup_Click();
    void imgTitle_MouseDown(int Button, int Shift, float X, float Y);
    void imgTitle_MouseMove(int Button, int Shift, float X, float Y);
    void imgExit_Click();
    void lbl_MouseDown(int Button, int Shift, float X, float Y);
    void txtPassword_Edited(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

private:
    // Layout (RDP_frmLogin_Layout.cpp).
    void BuildControls();
    void CreateControls();
    void PlaceControls();
    void ConnectControls();
    void CentreOnScreen();

    bool ConfirmCredentials(const QString& user, const QString& password);
    void ShowAgain();
    QString DiagnosticsText() const;
    static QString VersionText();
    bool PassKeyOn(QEvent* event);

    QString ConnectID_;
    QString UserName_;
    QString Password_;
    // The drag origin: the pointer within imgTitle at the last press, in twips.
    float dragX_ = 0;
    float dragY_ = 0;
    bool keyPressed_ = false;
    // Whether the password box holds a password filled in from the store, not typed here.
    bool passwordFromStore_ = false;
    rdp::LoginHandover* handover_ = nullptr;
};

// The program's one login window, created on first use; it lives until the program ends.
RDP_frmLogin& frmLogin();
// Destroys it (before the application object goes).
void UnloadLoginWindow();
