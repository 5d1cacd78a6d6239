#pragma once

#include <QString>

#include <cstdint>

namespace rdp::freerdp {

// What the session window set on the control, kept until Connect hands it to the library.
struct ControlSettings {
    QString server;
    std::int32_t port = 3389;
    std::int32_t desktopWidth = 1024;
    std::int32_t desktopHeight = 768;
    // Per cent, sent with the request when nonzero (a scaled screen).
    std::uint32_t desktopScaleFactor = 0;
    std::uint32_t deviceScaleFactor = 0;
    QString userName; // "DOMAIN\user", "user@realm" or "user"
    QString password;
    std::int32_t colorDepth = 0; // bits per pixel; 0 keeps the library default
    bool redirectDrives = false;
    bool redirectPrinters = false;
    bool redirectPorts = false;
    bool redirectSmartCards = false;
    bool redirectClipboard = true;
    bool bitmapPersistence = false;
    bool compress = true;
    bool autoReconnect = false;
    std::int32_t audioMode = 0; // 0 play here, 1 leave on the remote computer, 2 no sound

    // Not published by the control: where FreeRDP keeps known_hosts2 (empty: the user's
    // own ~/.config/freerdp), how long an unanswered connection may take, and how a lost
    // session is tried again: how many attempts, spread over how long after the loss, each
    // bounded by how long (to its first picture).
    QString configPath;
    int connectTimeoutMs = 30000;
    int reconnectAttempts = 5;
    int reconnectSpanMs = 90000;
    int reconnectAttemptMs = 10000;
};

} // namespace rdp::freerdp
