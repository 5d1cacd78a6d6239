#pragma once

// session/: the session window and the interface of the Remote Desktop control it hosts;
// the control itself comes from a factory (the FreeRDP module, or a fake in the tests).

#include "session/RdpClientControl.h"

#include <QMargins>
#include <QPoint>
#include <QSize>
#include <QWidget>

#include <cstdint>
#include <deque>
#include <functional>
#include <utility>

class QLabel;
class QTimer;
class RDP_ConnectParaItems;

// The session's status codes.
enum SessionStatus : std::int32_t {
    StatusConnecting = 0,
    StatusConnected = 1,
    StatusDisconnected = 2,
    StatusLoggedIn = 3,
    StatusClosing = 4,
};

// The session window: hosts the Remote Desktop control `rdp`, sets it up from the selected
// profile and connects, shows the status panel `picTips` with its label `lblTips` while
// connecting and while closing, and ends the program when the session ends or the window
// is closed.
class RDP_frmDesktop final : public QWidget {
    Q_OBJECT

public:
    explicit RDP_frmDesktop(QWidget* parent = nullptr);
    ~RDP_frmDesktop() override;

    // Sizes, shows and sets up the window and the control from the selected profile of
    // gConnectPara() and starts connecting. Shows "已经登陆" instead when the control is
    // already connected. Errors (no control, a port that is not a number) pass to the
    // caller.
    void Init();

    // Disconnects a connected session, unloads the window and ends the program; runs once.
    void unInit();

    std::int32_t Status() const { return Status_; }

    // The controls, created by the first step of Init.
    RdpClientControl* rdp = nullptr;
    QTimer* Timer = nullptr;
    QWidget* picTips = nullptr;
    QLabel* lblTips = nullptr;

protected:
    void resizeEvent(QResizeEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void childEvent(QChildEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void rdp_OnConnecting();
    void rdp_OnConnected();
    void rdp_OnLoginComplete();
    void rdp_OnDisconnected(int discReason);
    void rdp_OnAutoReconnecting(int attempt, int maxAttempts);
    void rdp_OnAutoReconnected();
    void rdp_OnConfirmClose(bool* allowClose);
    void rdp_OnReceivedTSPublicKey(const QByteArray& publicKey, bool* continueLogon);
    void Timer_Timer();
    void Form_Resize();

private:
    // Set-up (RDP_frmDesktop.cpp).
    static RDP_ConnectParaItems& Profile();
    void Load();
    void SizeWindow();
    void MakeTopmostAndShow();
    void TakeKeyboard();
    void SetUpConnection();
    void SetUpOptions();

    // Sizing (RDP_frmDesktop_Resize.cpp).
    void ApplyDesignedSize();
    void SetOuterWidth(double twips);
    void SetOuterHeight(double twips);
    void PlaceForOpening(bool atScreenCorner);
    QRect WorkArea() const;
    QSize RoomForControl() const;
    void FitFrame();
    QMargins FrameMargins() const;
    void GrowLabel();

    // Status and shutdown (RDP_frmDesktop_Status.cpp).
    void SetStatus(std::int32_t code, std::int32_t reason = 0);
    void ShowReconnecting(bool on, int attempt = 0, int of = 0);
    int ShowMessage(const QString& text, int style, const QString& title);
    void Step(std::function<void()> step, bool tick = false);
    void RunHeld();
    void Form_Unload();

    QWidget* backdrop_ = nullptr; // the window's colour under the controls
    std::int32_t Status_ = StatusConnecting;
    bool loaded_ = false;
    bool ending_ = false;      // the shutdown has started; nothing is touched any more
    bool messageOpen_ = false; // a message of this window is open
    bool fitting_ = false;     // the window applies its own geometry
    bool placed_ = false;      // the opening position is set
    // The status steps that came while a message of this window was open, in their order
    // (whether each is a tick, and the step).
    std::deque<std::pair<bool, std::function<void()>>> held_;
    // The frame's planned position and outer size in pixels, re-applied when the frame's
    // margins become known after the window is mapped.
    QPoint plannedPos_;
    QSize plannedOuter_;
    QMargins fittedMargins_;
    std::pair<bool, bool> shrunk_; // the width, the height kept inside the work area
};
