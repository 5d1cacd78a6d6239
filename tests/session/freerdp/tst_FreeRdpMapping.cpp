// The FreeRDP control's tables: disconnection reasons, keys and buttons, settings, ports.
#include "session/freerdp/DisconnectReason.h"
#include "session/freerdp/DisplayScale.h"
#include "session/freerdp/InputMapping.h"
#include "session/freerdp/LocalDevices.h"
#include "session/freerdp/SettingsApply.h"

#include <freerdp/error.h>
#include <freerdp/input.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace rdp::freerdp;

class FreeRdpMapping : public QObject {
    Q_OBJECT

private slots:
    void reasons_data();
    void reasons();
    void keyTableAgreesWithTheLibrarysX11Table();
    void keypadAndShiftedKeys();
    void buttonsAndWheel();
    void userNameSplits();
    void settingsReachTheLibrary();
    void scaledScreens();
    void soundModesAndColourDepths();
    void redirectionFollowsWhatThisComputerHas();
    void portsThatExist();
    void drivesOffered();
};

void FreeRdpMapping::reasons_data() {
    QTest::addColumn<bool>("local");
    QTest::addColumn<bool>("watchdog");
    QTest::addColumn<bool>("certRejected");
    QTest::addColumn<bool>("connected");
    QTest::addColumn<int>("nla"); // 0 not begun, 1 server gone after it began, 2 still there
    QTest::addColumn<uint>("lastError");
    QTest::addColumn<uint>("errorInfo");
    QTest::addColumn<bool>("lost"); // the link broke and could not be brought back
    QTest::addColumn<int>("reason");
    const uint transport = FREERDP_ERROR_CONNECT_TRANSPORT_FAILED;
    const uint cancelled = FREERDP_ERROR_CONNECT_CANCELLED;
    const uint logon = FREERDP_ERROR_CONNECT_LOGON_FAILURE;
    // connecting
    QTest::newRow("nothing listening")
        << false << false << false << false << 0 << transport << 0u << false << 516;
    QTest::newRow("refused by backlog") << false << false << false << false << 0
                                        << uint(FREERDP_ERROR_CONNECT_FAILED) << 0u << false << 516;
    QTest::newRow("unknown host") << false << false << false << false << 0
                                  << uint(FREERDP_ERROR_DNS_NAME_NOT_FOUND) << 0u << false << 260;
    QTest::newRow("wrong password, shadow server")
        << false << false << false << false << 2 << transport << 0u << false << 2055;
    QTest::newRow("wrong password, retry cancelled")
        << false << false << false << false << 2 << cancelled << 0u << false << 2055;
    QTest::newRow("server gone during NLA")
        << false << false << false << false << 1 << transport << 0u << false << 516;
    QTest::newRow("wrong password, windows")
        << false << false << false << false << 0 << logon << 0u << false << 2055;
    QTest::newRow("no credentials")
        << false << false << false << false << 0
        << uint(FREERDP_ERROR_CONNECT_NO_OR_MISSING_CREDENTIALS) << 0u << false << 2055;
    QTest::newRow("silent server")
        << false << true << false << false << 0 << cancelled << 0u << false << 264;
    QTest::newRow("certificate cancelled")
        << false << false << true << false << 0 << uint(FREERDP_ERROR_TLS_CONNECT_FAILED) << 0u
        << false << 1;
    QTest::newRow("cancelled here")
        << true << false << false << false << 0 << cancelled << 0u << false << 1;
    QTest::newRow("cancelled here beats the watchdog")
        << true << true << false << false << 2 << cancelled << 0u << false << 1;
    QTest::newRow("refused with error info")
        << false << false << false << false << 0 << transport
        << uint(ERRINFO_SERVER_DENIED_CONNECTION) << false << 3;
    // connected
    QTest::newRow("server killed")
        << false << false << false << true << 0 << transport << 0u << false << 2308;
    QTest::newRow("reconnection timed out")
        << false << true << false << true << 0 << cancelled << 0u << false << 2308;
    QTest::newRow("reconnection refused")
        << false << false << false << true << 0 << logon << 0u << false << 2055;
    QTest::newRow("reconnection NLA refused")
        << false << false << false << true << 2 << transport << 0u << false << 2055;
    QTest::newRow("server gone during reconnection NLA")
        << false << false << false << true << 1 << transport << 0u << false << 2308;
    QTest::newRow("reconnections used up")
        << false << false << false << true << 0 << 0u << 0u << true << 2308;
    QTest::newRow("logged off by user")
        << false << false << false << true << 0 << 0u << uint(ERRINFO_LOGOFF_BY_USER) << false << 2;
    QTest::newRow("disconnected by user")
        << false << false << false << true << 0 << 0u
        << uint(ERRINFO_RPC_INITIATED_DISCONNECT_BY_USER) << false << 2;
    QTest::newRow("disconnected by admin") << false << false << false << true << 0 << 0u
                                           << uint(ERRINFO_RPC_INITIATED_DISCONNECT) << false << 3;
    QTest::newRow("idle timeout") << false << false << false << true << 0 << 0u
                                  << uint(ERRINFO_IDLE_TIMEOUT) << false << 3;
    QTest::newRow("clean close") << false << false << false << true << 0 << 0u << 0u << false << 3;
    QTest::newRow("ended here while connected")
        << true << false << false << true << 0 << transport << 0u << false << 1;
}

void FreeRdpMapping::reasons() {
    EndFacts f;
    QFETCH(bool, local);
    QFETCH(bool, watchdog);
    QFETCH(bool, certRejected);
    QFETCH(bool, connected);
    QFETCH(int, nla);
    QFETCH(uint, lastError);
    QFETCH(uint, errorInfo);
    QFETCH(bool, lost);
    f.linkLost = lost;
    f.localRequest = local;
    f.watchdogFired = watchdog;
    f.certificateRejected = certRejected;
    f.wasConnected = connected;
    f.credentialsSent = nla != 0;
    f.serverReachable = nla == 2;
    f.lastError = lastError;
    f.errorInfo = errorInfo;
    QTEST(DisconnectReasonFor(f), "reason");
    // The support line names what the library said and the reason chosen.
    const QString line = QString::fromStdString(EndFactsLine(f, DisconnectReasonFor(f)));
    QVERIFY2(line.contains(QStringLiteral("0x%1").arg(lastError, 8, 16, QLatin1Char('0')),
                           Qt::CaseInsensitive),
             qPrintable(line));
    QVERIFY2(line.contains(QStringLiteral("reason %1").arg(DisconnectReasonFor(f))),
             qPrintable(line));
}

void FreeRdpMapping::keyTableAgreesWithTheLibrarysX11Table() {
    // X11 (evdev) key codes of a US keyboard and the Qt keys they carry: both ways of
    // finding a scancode must name the same key.
    const QList<QPair<int, int>> keys{{9, Qt::Key_Escape},
                                      {10, Qt::Key_1},
                                      {19, Qt::Key_0},
                                      {20, Qt::Key_Minus},
                                      {21, Qt::Key_Equal},
                                      {22, Qt::Key_Backspace},
                                      {23, Qt::Key_Tab},
                                      {24, Qt::Key_Q},
                                      {33, Qt::Key_P},
                                      {34, Qt::Key_BracketLeft},
                                      {35, Qt::Key_BracketRight},
                                      {36, Qt::Key_Return},
                                      {37, Qt::Key_Control},
                                      {38, Qt::Key_A},
                                      {46, Qt::Key_L},
                                      {47, Qt::Key_Semicolon},
                                      {48, Qt::Key_Apostrophe},
                                      {49, Qt::Key_QuoteLeft},
                                      {50, Qt::Key_Shift},
                                      {51, Qt::Key_Backslash},
                                      {52, Qt::Key_Z},
                                      {58, Qt::Key_M},
                                      {59, Qt::Key_Comma},
                                      {60, Qt::Key_Period},
                                      {61, Qt::Key_Slash},
                                      {64, Qt::Key_Alt},
                                      {65, Qt::Key_Space},
                                      {66, Qt::Key_CapsLock},
                                      {67, Qt::Key_F1},
                                      {76, Qt::Key_F10},
                                      {95, Qt::Key_F11},
                                      {96, Qt::Key_F12},
                                      {110, Qt::Key_Home},
                                      {111, Qt::Key_Up},
                                      {112, Qt::Key_PageUp},
                                      {113, Qt::Key_Left},
                                      {114, Qt::Key_Right},
                                      {115, Qt::Key_End},
                                      {116, Qt::Key_Down},
                                      {117, Qt::Key_PageDown},
                                      {118, Qt::Key_Insert},
                                      {119, Qt::Key_Delete},
                                      {133, Qt::Key_Meta},
                                      {135, Qt::Key_Menu},
                                      {108, Qt::Key_AltGr}};
    for (const auto& [keycode, key] : keys) {
        const std::uint32_t fromX11 = ScancodeForX11Keycode(static_cast<std::uint32_t>(keycode));
        QVERIFY2(fromX11 != 0, qPrintable(QString::number(keycode)));
        QCOMPARE(ScancodeForQtKey(key, false), fromX11);
    }
    QCOMPARE(ScancodeForQtKey(Qt::Key_unknown, false), 0u);
}

void FreeRdpMapping::keypadAndShiftedKeys() {
    const QList<QPair<int, int>> keypad{
        {79, Qt::Key_7},        {90, Qt::Key_0},      {82, Qt::Key_Minus},  {86, Qt::Key_Plus},
        {63, Qt::Key_Asterisk}, {106, Qt::Key_Slash}, {104, Qt::Key_Enter}, {91, Qt::Key_Period}};
    for (const auto& [keycode, key] : keypad) {
        QCOMPARE(ScancodeForQtKey(key, true),
                 ScancodeForX11Keycode(static_cast<std::uint32_t>(keycode)));
    }
    QVERIFY(ScancodeForQtKey(Qt::Key_7, true) != ScancodeForQtKey(Qt::Key_7, false));
    // A shifted symbol is the key that carries it.
    QCOMPARE(ScancodeForQtKey(Qt::Key_Exclam, false), ScancodeForQtKey(Qt::Key_1, false));
    QCOMPARE(ScancodeForQtKey(Qt::Key_ParenRight, false), ScancodeForQtKey(Qt::Key_0, false));
    QCOMPARE(ScancodeForQtKey(Qt::Key_Question, false), ScancodeForQtKey(Qt::Key_Slash, false));
    QCOMPARE(ScancodeForQtKey(Qt::Key_Bar, false), ScancodeForQtKey(Qt::Key_Backslash, false));
    QCOMPARE(ScancodeForQtKey(Qt::Key_Backtab, false), ScancodeForQtKey(Qt::Key_Tab, false));
}

void FreeRdpMapping::buttonsAndWheel() {
    bool extended = true;
    QCOMPARE(PointerFlagsForButton(Qt::LeftButton, true, &extended),
             std::uint16_t(PTR_FLAGS_BUTTON1 | PTR_FLAGS_DOWN));
    QVERIFY(!extended);
    QCOMPARE(PointerFlagsForButton(Qt::RightButton, false, &extended),
             std::uint16_t(PTR_FLAGS_BUTTON2));
    QCOMPARE(PointerFlagsForButton(Qt::MiddleButton, true, &extended),
             std::uint16_t(PTR_FLAGS_BUTTON3 | PTR_FLAGS_DOWN));
    QCOMPARE(PointerFlagsForButton(Qt::BackButton, true, &extended),
             std::uint16_t(PTR_XFLAGS_BUTTON1 | PTR_XFLAGS_DOWN));
    QVERIFY(extended);
    QCOMPARE(PointerFlagsForButton(Qt::ExtraButton5, true, &extended), std::uint16_t(0));

    using Flags = std::vector<std::uint16_t>;
    QCOMPARE(WheelFlags(120, false), Flags{PTR_FLAGS_WHEEL | 0x078});
    QCOMPARE(WheelFlags(-120, false), Flags{PTR_FLAGS_WHEEL | PTR_FLAGS_WHEEL_NEGATIVE | 0x088});
    QCOMPARE(WheelFlags(-120, true), Flags{PTR_FLAGS_HWHEEL | PTR_FLAGS_WHEEL_NEGATIVE | 0x088});
    QCOMPARE(WheelFlags(0, false), Flags{});
    // A fast turn is split into steps that fit the 9-bit field and add up to the turn.
    const Flags fast = WheelFlags(-600, false);
    int sum = 0;
    for (const std::uint16_t f : fast) {
        const int rotation = f & WheelRotationMask;
        sum += (rotation & 0x100) ? rotation - 0x200 : rotation;
    }
    QCOMPARE(sum, -600);
    QCOMPARE(fast.size(), std::size_t(3));
}

void FreeRdpMapping::userNameSplits() {
    QCOMPARE(SplitUserName(QStringLiteral("CORP\\alice")).user, QStringLiteral("alice"));
    QCOMPARE(SplitUserName(QStringLiteral("CORP\\alice")).domain, QStringLiteral("CORP"));
    QCOMPARE(SplitUserName(QStringLiteral("alice@corp.example")).user,
             QStringLiteral("alice@corp.example"));
    QVERIFY(SplitUserName(QStringLiteral("alice@corp.example")).domain.isEmpty());
    QCOMPARE(SplitUserName(QStringLiteral("a\\b\\c")).user, QStringLiteral("b\\c"));
    QCOMPARE(SplitUserName(QStringLiteral("\\alice")).user, QStringLiteral("alice"));
    QVERIFY(SplitUserName(QString()).user.isEmpty());
}

namespace {

struct Settings {
    rdpSettings* s = freerdp_settings_new(0);
    ~Settings() { freerdp_settings_free(s); }
    QString text(size_t id) const { return QString::fromUtf8(freerdp_settings_get_string(s, id)); }
    bool flag(size_t id) const { return freerdp_settings_get_bool(s, id); }
    uint number(size_t id) const { return freerdp_settings_get_uint32(s, id); }
};

ControlSettings Profile() {
    ControlSettings c;
    c.server = QStringLiteral(" host.example ");
    c.port = 3390;
    c.userName = QStringLiteral("CORP\\张三");
    c.password = QStringLiteral("密码-1");
    c.desktopWidth = 1280;
    c.desktopHeight = 768;
    return c;
}

} // namespace

void FreeRdpMapping::settingsReachTheLibrary() {
    Settings s;
    ControlSettings c = Profile();
    c.bitmapPersistence = true;
    c.compress = false;
    c.autoReconnect = true;
    c.reconnectAttempts = 4;
    c.configPath = QStringLiteral("/tmp/cfg");
    QVERIFY(ApplySettings(s.s, c, {}));
    QCOMPARE(s.text(FreeRDP_ServerHostname), QStringLiteral("host.example"));
    QCOMPARE(s.number(FreeRDP_ServerPort), 3390u);
    QCOMPARE(s.text(FreeRDP_Username), QStringLiteral("张三"));
    QCOMPARE(s.text(FreeRDP_Domain), QStringLiteral("CORP"));
    QCOMPARE(s.text(FreeRDP_Password), QStringLiteral("密码-1"));
    QCOMPARE(s.number(FreeRDP_DesktopWidth), 1280u);
    QCOMPARE(s.number(FreeRDP_DesktopHeight), 768u);
    QVERIFY(s.flag(FreeRDP_BitmapCachePersistEnabled));
    QVERIFY(s.flag(FreeRDP_BitmapCacheEnabled));
    QVERIFY(!s.flag(FreeRDP_CompressionEnabled));
    QVERIFY(s.flag(FreeRDP_AutoReconnectionEnabled));
    QCOMPARE(s.number(FreeRDP_AutoReconnectMaxRetries), 4u);
    QCOMPARE(s.text(FreeRDP_ConfigPath), QStringLiteral("/tmp/cfg"));
    // Certificates are always checked.
    QVERIFY(!s.flag(FreeRDP_IgnoreCertificate));
    QVERIFY(!s.flag(FreeRDP_AutoAcceptCertificate));

    Settings plain;
    c.userName = QStringLiteral("bob");
    c.password.clear();
    QVERIFY(ApplySettings(plain.s, c, {}));
    QCOMPARE(plain.text(FreeRDP_Username), QStringLiteral("bob"));
    QVERIFY(plain.text(FreeRDP_Domain).isEmpty());
    QVERIFY(plain.text(FreeRDP_Password).isEmpty());
}

// On a scaled screen the desktop is asked for in device pixels with the screen's factors,
// painted regions cover every device pixel they touch, and a pointer lands on the pixel
// under it; an unscaled screen asks and maps as before.
void FreeRdpMapping::scaledScreens() {
    const struct {
        double ratio;
        QSize device;
        std::uint32_t desktop, dev;
    } rows[] = {{1, {1024, 768}, 0, 0},
                {1.25, {1280, 960}, 125, 100},
                {2, {2048, 1536}, 200, 100},
                {6, {6144, 4608}, 500, 100}};
    for (const auto& r : rows) {
        QCOMPARE(DevicePixels(QSize(1024, 768), r.ratio), r.device);
        QCOMPARE(ScaleFactorsFor(r.ratio).desktop, r.desktop);
        QCOMPARE(ScaleFactorsFor(r.ratio).device, r.dev);
    }
    QCOMPARE(DevicePixels(QSize(1918, 1050), 1.25), QSize(2398, 1312)); // 2397.5 to even

    QCOMPARE(ScaledCover(QRect(10, 10, 5, 3), 2), QRect(20, 20, 10, 6));
    QCOMPARE(ScaledCover(QRect(1, 1, 1, 1), 1.25), QRect(1, 1, 2, 2)); // 1.25 to 2.5
    QCOMPARE(ScaledCover(QRect(0, 0, 1280, 960), 0.8), QRect(0, 0, 1024, 768));
    QCOMPARE(ScaledCover(QRegion(3, 4, 5, 6), 1), QRegion(3, 4, 5, 6));

    // Device pixel (601, 401) is at logical (480.8, 320.8) at 1.25 and (300.5, 200.5) at 2.
    QCOMPARE(RemotePoint(QPointF(601 / 1.25, 401 / 1.25), 1.25, {}), QPointF(601, 401));
    QCOMPARE(RemotePoint(QPointF(300.5, 200.5), 2, QPoint(7, 9)), QPointF(608, 410));
    QCOMPARE(RemotePoint(QPointF(601, 401), 1, {}), QPointF(601, 401));
    QCOMPARE(LocalPoint(QPoint(608, 410), 2, QPoint(7, 9)), QPoint(300, 200));

    Settings s;
    ControlSettings c = Profile();
    c.desktopScaleFactor = 200;
    c.deviceScaleFactor = 100;
    QVERIFY(ApplySettings(s.s, c, {}));
    QCOMPARE(s.number(FreeRDP_DesktopScaleFactor), 200u);
    QCOMPARE(s.number(FreeRDP_DeviceScaleFactor), 100u);
}

void FreeRdpMapping::soundModesAndColourDepths() {
    const QList<QPair<int, QPair<bool, bool>>> modes{
        {0, {true, false}}, {1, {false, true}}, {2, {false, false}}};
    for (const auto& [mode, expected] : modes) {
        Settings s;
        ControlSettings c = Profile();
        c.audioMode = mode;
        QVERIFY(ApplySettings(s.s, c, {}));
        QCOMPARE(s.flag(FreeRDP_AudioPlayback), expected.first);
        QCOMPARE(s.flag(FreeRDP_RemoteConsoleAudio), expected.second);
    }
    const uint libraryDefault = Settings().number(FreeRDP_ColorDepth);
    for (const int depth : {8, 15, 16, 24, 32, 0, 5}) {
        Settings s;
        ControlSettings c = Profile();
        c.colorDepth = depth;
        QVERIFY(ApplySettings(s.s, c, {}));
        const bool known = depth == 8 || depth == 15 || depth == 16 || depth == 24 || depth == 32;
        QCOMPARE(s.number(FreeRDP_ColorDepth), known ? uint(depth) : libraryDefault);
    }
}

void FreeRdpMapping::redirectionFollowsWhatThisComputerHas() {
    LocalOffer offer;
    offer.ports = {
        {QStringLiteral("serial"), QStringLiteral("COM1"), QStringLiteral("/dev/ttyS0")},
        {QStringLiteral("parallel"), QStringLiteral("LPT1"), QStringLiteral("/dev/lp0")}};
    offer.smartCardService = false;
    offer.drives = {{QStringLiteral("Home"), QDir::tempPath()}}; // the library checks it exists
    {
        Settings s;
        ControlSettings c = Profile();
        c.redirectPorts = true;
        c.redirectSmartCards = true;
        c.redirectDrives = true;
        c.redirectPrinters = true;
        c.redirectClipboard = false;
        QVERIFY(ApplySettings(s.s, c, offer));
        QVERIFY(s.flag(FreeRDP_RedirectSerialPorts));
        QVERIFY(s.flag(FreeRDP_RedirectParallelPorts));
        QCOMPARE(s.number(FreeRDP_DeviceCount), 3u);
        const auto* home =
            reinterpret_cast<const RDPDR_DRIVE*>(freerdp_device_collection_find(s.s, "Home"));
        QVERIFY(home && home->Type == RDPDR_DTYP_FILESYSTEM);
        QCOMPARE(QString::fromUtf8(home->Path), QDir::tempPath());
        QVERIFY(s.flag(FreeRDP_RedirectDrives));
        QVERIFY(s.flag(FreeRDP_RedirectPrinters));
        QVERIFY(s.flag(FreeRDP_DeviceRedirection));
        QVERIFY(!s.flag(FreeRDP_RedirectClipboard));
        // no PC/SC service here: smart cards are not offered, the connection still works
        QVERIFY(!s.flag(FreeRDP_RedirectSmartCards));
    }
    {
        Settings s;
        ControlSettings c = Profile();
        offer.smartCardService = true;
        c.redirectSmartCards = true;
        c.redirectDrives = false; // unchecked: no drive at all, not even the home folder
        QVERIFY(ApplySettings(s.s, c, offer));
        QVERIFY(s.flag(FreeRDP_RedirectSmartCards));
        QVERIFY(!s.flag(FreeRDP_RedirectSerialPorts));
        QCOMPARE(s.number(FreeRDP_DeviceCount), 0u);
        QVERIFY(!s.flag(FreeRDP_RedirectDrives));
        QVERIFY(s.flag(FreeRDP_RedirectClipboard));
    }
}

void FreeRdpMapping::portsThatExist() {
    QTemporaryDir dev;
    QTemporaryDir sys;
    const auto touch = [](const QString& path, const QByteArray& content = {}) {
        QFile f(path);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(content);
    };
    for (const char* name :
         {"ttyS0", "ttyS1", "ttyS10", "ttyS2", "ttyUSB0", "ttyACM0", "lp0", "tty0"}) {
        touch(dev.path() + QLatin1Char('/') + QLatin1String(name));
    }
    for (const auto& [name, type] :
         QList<QPair<QString, QByteArray>>{{QStringLiteral("ttyS0"), "4\n"},
                                           {QStringLiteral("ttyS1"), "0\n"},
                                           {QStringLiteral("ttyS2"), "4\n"},
                                           {QStringLiteral("ttyS10"), "4\n"}}) {
        QVERIFY(QDir(sys.path()).mkpath(name));
        touch(sys.path() + QLatin1Char('/') + name + QStringLiteral("/type"), type);
    }
    const std::vector<LocalPort> ports = DiscoverPorts(dev.path(), sys.path());
    QStringList seen;
    for (const LocalPort& p : ports) {
        seen << p.name + QLatin1Char('=') + QFileInfo(p.path).fileName();
    }
    QCOMPARE(seen, (QStringList{QStringLiteral("COM1=ttyS0"), QStringLiteral("COM2=ttyS2"),
                                QStringLiteral("COM3=ttyS10"), QStringLiteral("COM4=ttyACM0"),
                                QStringLiteral("COM5=ttyUSB0"), QStringLiteral("LPT1=lp0")}));
    QCOMPARE(ports.front().kind, QStringLiteral("serial"));
    QCOMPARE(ports.back().kind, QStringLiteral("parallel"));
}

void FreeRdpMapping::drivesOffered() {
    QTemporaryDir tmp;
    const QString root = tmp.path();
    for (const char* dir : {"home/alice", "media/alice/USB Stick", "media/alice/照片",
                            "media/cdrom", "media/bob/Other", "run/media/alice/USB Stick"}) {
        QVERIFY(QDir(root).mkpath(QString::fromUtf8(dir)));
    }
    const QStringList media{root + QStringLiteral("/media"), root + QStringLiteral("/run/media")};
    QStringList seen;
    for (const LocalDrive& d :
         DiscoverDrives(root + QStringLiteral("/home/alice"), QStringLiteral("alice"), media)) {
        seen << d.name + QLatin1Char('=') + d.path.mid(root.size());
    }
    // The home folder first; each mounted volume of this user by a plain-letter name that
    // stays unique; empty placeholders and other users' volumes are not shared.
    QCOMPARE(seen, (QStringList{QStringLiteral("Home=/home/alice"),
                                QStringLiteral("USB_Stick=/media/alice/USB Stick"),
                                QStringLiteral("Media=/media/alice/照片"),
                                QStringLiteral("USB_Stick2=/run/media/alice/USB Stick")}));
    // A user whose home is the root folder (or missing) gets no drive for it.
    QVERIFY(DiscoverDrives(QStringLiteral("/"), QStringLiteral("alice"), {}).empty());
    QVERIFY(DiscoverDrives(root + QStringLiteral("/none"), QStringLiteral("x"), {}).empty());
}

QTEST_GUILESS_MAIN(FreeRdpMapping)
#include "tst_FreeRdpMapping.moc"
