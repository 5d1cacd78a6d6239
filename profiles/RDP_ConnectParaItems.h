#pragma once

#include <QString>

#include <cstdint>

// One saved connection: a plain record whose getters return and setters keep the value,
// checking and converting nothing.
class RDP_ConnectParaItems final {
public:
    const QString& ConnectName() const { return ConnectName_; }
    void setConnectName(const QString& v) { ConnectName_ = v; }
    const QString& Server() const { return Server_; }
    void setServer(const QString& v) { Server_ = v; }
    const QString& Port() const { return Port_; }
    void setPort(const QString& v) { Port_ = v; }
    const QString& UserName() const { return UserName_; }
    void setUserName(const QString& v) { UserName_ = v; }
    const QString& Password() const { return Password_; }
    void setPassword(const QString& v) { Password_ = v; }
    std::uint8_t IsSavePassword() const { return IsSavePassword_; }
    void setIsSavePassword(std::uint8_t v) { IsSavePassword_ = v; }
    std::uint8_t FullScreen() const { return FullScreen_; }
    void setFullScreen(std::uint8_t v) { FullScreen_ = v; }
    float DesktopSize() const { return DesktopSize_; }
    void setDesktopSize(float v) { DesktopSize_ = v; }
    float ColorDepth() const { return ColorDepth_; }
    void setColorDepth(float v) { ColorDepth_ = v; }
    float AudioMode() const { return AudioMode_; }
    void setAudioMode(float v) { AudioMode_ = v; }
    std::uint8_t RedirectPrint() const { return RedirectPrint_; }
    void setRedirectPrint(std::uint8_t v) { RedirectPrint_ = v; }
    std::uint8_t RedirectPorts() const { return RedirectPorts_; }
    void setRedirectPorts(std::uint8_t v) { RedirectPorts_ = v; }
    std::uint8_t RedirectDrives() const { return RedirectDrives_; }
    void setRedirectDrives(std::uint8_t v) { RedirectDrives_ = v; }
    std::uint8_t SmartCards() const { return SmartCards_; }
    void setSmartCards(std::uint8_t v) { SmartCards_ = v; }
    std::uint8_t BitmapPeristence() const { return BitmapPeristence_; }
    void setBitmapPeristence(std::uint8_t v) { BitmapPeristence_ = v; }
    std::uint8_t CanAutoReconnect() const { return CanAutoReconnect_; }
    void setCanAutoReconnect(std::uint8_t v) { CanAutoReconnect_ = v; }
    float Width() const { return Width_; }
    void setWidth(float v) { Width_ = v; }
    float Height() const { return Height_; }
    void setHeight(float v) { Height_ = v; }

private:
    QString ConnectName_;
    QString Server_;
    QString Port_;
    QString UserName_;
    QString Password_;
    std::uint8_t IsSavePassword_ = 0;
    std::uint8_t FullScreen_ = 0;
    float Width_ = 0;
    float Height_ = 0;
    float DesktopSize_ = 0;
    float ColorDepth_ = 0;
    float AudioMode_ = 0;
    std::uint8_t RedirectPrint_ = 0;
    std::uint8_t RedirectPorts_ = 0;
    std::uint8_t RedirectDrives_ = 0;
    std::uint8_t SmartCards_ = 0;
    std::uint8_t BitmapPeristence_ = 0;
    std::uint8_t CanAutoReconnect_ = 0;
};
