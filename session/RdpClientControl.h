#pragma once

#include "session/SessionMessages.h"

#include <QSize>
#include <QString>
#include <QWidget>

#include <cstdint>

// The Remote Desktop control that the session window hosts as `rdp`: the properties it
// sets, the two methods, the connection state and the events it handles. The session
// window talks to nothing else; the FreeRDP control does the real work and tests use a
// recording fake. Events are always delivered on the GUI thread.
class RdpClientControl : public QWidget {
    Q_OBJECT

public:
    explicit RdpClientControl(QWidget* parent = nullptr) : QWidget(parent) {}
    ~RdpClientControl() override = default;

    // 0 no session, 1 connected, 2 connecting.
    virtual std::int16_t Connected() const = 0;

    virtual void setConnectingText(const QString& text) = 0;
    virtual void setServer(const QString& server) = 0;
    virtual void setRDPPort(std::int32_t port) = 0; // AdvancedSettings3
    virtual void setFullScreenTitle(const QString& title) = 0;
    virtual void setFullScreen(bool on) = 0;
    virtual void setDesktopWidth(std::int32_t pixels) = 0;
    virtual void setDesktopHeight(std::int32_t pixels) = 0;
    virtual void setUserName(const QString& user) = 0;
    virtual void setColorDepth(std::int32_t bitsPerPixel) = 0;

    // AdvancedSettings3
    virtual void setSmoothScroll(std::int32_t value) = 0;
    virtual void setClearTextPassword(const QString& password) = 0;
    virtual void setRedirectDrives(bool on) = 0;
    virtual void setRedirectPrinters(bool on) = 0;
    virtual void setRedirectPorts(bool on) = 0;
    virtual void setRedirectSmartCards(bool on) = 0;
    virtual void setRedirectClipboard(bool on) = 0;
    virtual void setBitmapPeristence(std::int32_t value) = 0;
    virtual void setCompress(std::int32_t value) = 0;
    virtual void setEnableAutoReconnect(bool on) = 0;

    // SecuredSettings: 0 play on this computer, 1 leave on the remote computer, 2 no sound.
    virtual void setAudioRedirectionMode(std::int32_t mode) = 0;

    // The container's geometry in pixels (the session window converts from twips).
    virtual void setContainerLeft(int x) { move(x, y()); }
    virtual void setContainerTop(int y) { move(x(), y); }
    virtual void setContainerWidth(int w) { resize(w, height()); }
    virtual void setContainerHeight(int h) { resize(width(), h); }

    // Starts connecting and returns at once; progress arrives as events.
    virtual void Connect() = 0;
    virtual void Disconnect() = 0;

    // The largest desktop side a server may ask for (what RDP allows), in pixels.
    static constexpr int MaxDesktopSide = 8192;
    // The desktop size the server asked for when the session ended because this side
    // refused it (too large, or no memory for it); empty otherwise.
    virtual QSize RefusedDesktopSize() const { return {}; }
    // What the user is told about the end OnDisconnected reported with `discReason`: empty
    // for an end that needs no message. A control that knows why the session ended says
    // so; the reason's own message otherwise (with the refused desktop's size, if any).
    virtual QString GetErrorDescription(int discReason) const {
        return rdp::DisconnectMessage(discReason, RefusedDesktopSize()).value_or(QString());
    }

signals:
    void OnConnecting();
    void OnConnected();
    void OnLoginComplete();
    void OnDisconnected(int discReason);
    // The link broke: attempt `attempt` of `maxAttempts` to bring it back is under way; and
    // the link is back.
    void OnAutoReconnecting(int attempt, int maxAttempts);
    void OnAutoReconnected();
    // Raised only by controls that ask; the session window answers false.
    void OnConfirmClose(bool* allowClose);
    void OnReceivedTSPublicKey(const QByteArray& publicKey, bool* continueLogon);
};
