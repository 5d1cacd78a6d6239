#pragma once

// ui/setup/: the setup window, where connections are made, changed and deleted, and its
// new-connection dialog; it changes gConnectPara() and saves the store.

#include <QDialog>

class QCheckBox;
class QComboBox;
class QEventLoop;
class QLabel;
class QLineEdit;
class QPushButton;
class QTabWidget;
class RDP_ConnectParaItems;

// The setup window: the user reviews and edits the saved connections of gConnectPara(),
// deletes them and creates new ones. Init() shows it modally and returns when it has been
// saved, cancelled or closed; the caller owns the object and may delete it afterwards.
//
// The window runs its own modal loop instead of QDialog::exec(): it hides itself while the
// new-connection dialog is open, and hiding a dialog ends exec().
class RDP_frmSetup final : public QDialog {
    Q_OBJECT

public:
    explicit RDP_frmSetup(QWidget* parent = nullptr);
    ~RDP_frmSetup() override;

    // Fills the lists, shows the window modally and returns once it has been closed.
    void Init();
    // True from Init() until the window is saved, cancelled or closed.
    bool IsRunning() const { return loop_ != nullptr; }

    void FillLists();
    void RefreshControl();

    // The window's key handler: sees every key before the focused control. Setting KeyCode to
    // 0 keeps the key from the control.
    void Form_KeyDown(int& KeyCode, int Shift);

public slots:
    void cmbClient_Click();
    void cmdOk_Click();
    void cmdCancel_Click();
    void cmdDelete_Click();
    void cmdNew_Click();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;

private:
    void BuildControls();
    QWidget* BuildConnectTab();
    QWidget* BuildDisplayTab();
    QWidget* BuildResourceTab();
    QWidget* BuildAdvancedTab();
    QWidget* BuildButtonRow();
    void SetTabOrder();

    void ShowModal();
    void CentreOnScreen();
    void Unload();
    void ShowError(const QString& description);

    void ShowProfile(const RDP_ConnectParaItems& profile);
    void ShowDefaults();
    void WriteProfile(int position);
    bool DeleteSelected();
    void AddNewConnection();

    QEventLoop* loop_ = nullptr;
    bool placed_ = false;
    bool centring_ = false; // waiting for the desktop's frame to centre by it

    QLabel* lblTips_ = nullptr;
    QTabWidget* tabs_ = nullptr;
    QLineEdit* txtUserName_ = nullptr;
    QLineEdit* txtPassword_ = nullptr;
    QCheckBox* chkIsSavePassword_ = nullptr;
    QComboBox* cmbClient_ = nullptr;
    QPushButton* cmdDelete_ = nullptr;
    QPushButton* cmdNew_ = nullptr;
    QComboBox* cmbDesktopSize_ = nullptr;
    QComboBox* cmbColorDepth_ = nullptr;
    QComboBox* cmbAudioMode_ = nullptr;
    QCheckBox* chkPrint_ = nullptr;
    QCheckBox* chkPorts_ = nullptr;
    QCheckBox* chkDrives_ = nullptr;
    QCheckBox* chkSmartCards_ = nullptr;
    QCheckBox* chkBitmapPeristence_ = nullptr;
    QCheckBox* chkCanAutoReconnect_ = nullptr;
    QPushButton* cmdOk_ = nullptr;
    QPushButton* cmdCancel_ = nullptr;
};
