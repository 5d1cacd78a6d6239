#pragma once

#include "session/RdpClientControl.h"

#include <QStringList>

#include <cstdint>
#include <deque>
#include <optional>

namespace rdp::test {

// A Remote Desktop control for tests: every property set, method call and read of
// Connected() is recorded in order as "Name=value", "Name()" or "Connected?"; Connected()
// answers from a script; events are raised with the raise* helpers (or by emitting the
// signals directly). Container geometry is applied as well as recorded.
class FakeRdpControl final : public RdpClientControl {
    Q_OBJECT

public:
    explicit FakeRdpControl(QWidget* parent = nullptr) : RdpClientControl(parent) {}

    // The answer of Connected(): the next scripted one, else `connectedValue`.
    std::int16_t Connected() const override;
    std::int16_t connectedValue = 0;
    mutable std::deque<std::int16_t> connectedAnswers;

    void setConnectingText(const QString& text) override { Log(u"ConnectingText", text); }
    void setServer(const QString& server) override { Log(u"Server", server); }
    void setRDPPort(std::int32_t port) override { Log(u"RDPPort", port); }
    void setFullScreenTitle(const QString& title) override { Log(u"FullScreenTitle", title); }
    void setFullScreen(bool on) override { Log(u"FullScreen", on); }
    void setDesktopWidth(std::int32_t pixels) override { Log(u"DesktopWidth", pixels); }
    void setDesktopHeight(std::int32_t pixels) override { Log(u"DesktopHeight", pixels); }
    void setUserName(const QString& user) override { Log(u"UserName", user); }
    void setColorDepth(std::int32_t bits) override { Log(u"ColorDepth", bits); }
    void setSmoothScroll(std::int32_t value) override { Log(u"SmoothScroll", value); }
    void setClearTextPassword(const QString& pw) override { Log(u"ClearTextPassword", pw); }
    void setRedirectDrives(bool on) override { Log(u"RedirectDrives", on); }
    void setRedirectPrinters(bool on) override { Log(u"RedirectPrinters", on); }
    void setRedirectPorts(bool on) override { Log(u"RedirectPorts", on); }
    void setRedirectSmartCards(bool on) override { Log(u"RedirectSmartCards", on); }
    void setRedirectClipboard(bool on) override { Log(u"RedirectClipboard", on); }
    void setBitmapPeristence(std::int32_t value) override { Log(u"BitmapPeristence", value); }
    void setCompress(std::int32_t value) override { Log(u"Compress", value); }
    void setEnableAutoReconnect(bool on) override { Log(u"EnableAutoReconnect", on); }
    void setAudioRedirectionMode(std::int32_t mode) override { Log(u"AudioRedirectionMode", mode); }
    void setContainerLeft(int x) override;
    void setContainerTop(int y) override;
    void setContainerWidth(int w) override;
    void setContainerHeight(int h) override;
    void Connect() override { calls.append(QStringLiteral("Connect()")); }
    void Disconnect() override;

    void raiseConnecting() { emit OnConnecting(); }
    void raiseConnected() { emit OnConnected(); }
    void raiseLoginComplete() { emit OnLoginComplete(); }
    void raiseDisconnected(int reason) { emit OnDisconnected(reason); }
    // The desktop size a refused desktop ended the session with.
    QSize RefusedDesktopSize() const override { return refusedDesktop; }
    QSize refusedDesktop;
    // The end's own description, as a control that knows why the session ended gives it.
    void raiseDisconnected(int reason, const QString& description) {
        description_ = description;
        emit OnDisconnected(reason);
    }
    QString GetErrorDescription(int discReason) const override {
        return description_ ? *description_ : RdpClientControl::GetErrorDescription(discReason);
    }
    // The answers the window gives (true unless it sets them).
    bool raiseConfirmClose();
    bool raiseReceivedTSPublicKey();

    // The calls without the container's width and height (which every resize repeats).
    QStringList settings() const;
    int count(const QString& call) const { return static_cast<int>(calls.count(call)); }
    // The value of the last "name=value" call, or nothing when the property was never set.
    std::optional<QString> valueOf(QStringView name) const;

    mutable QStringList calls;
    // Raise OnDisconnected(1) from inside Disconnect(), as a real control may.
    bool disconnectRaisesEvent = false;
    // Container sizes set while the hosting window was hidden.
    int hiddenResizes = 0;

private:
    std::optional<QString> description_;
    void Log(QStringView name, const QString& value);
    void Log(QStringView name, std::int32_t value);
    void Log(QStringView name, bool value);
};

// Session windows made from now on get a FakeRdpControl; `made` is set to the last one
// (null until then). RemoveFakeControls destroys the session window and the factory.
void InstallFakeControls(FakeRdpControl*& made);
void RemoveFakeControls();

} // namespace rdp::test
