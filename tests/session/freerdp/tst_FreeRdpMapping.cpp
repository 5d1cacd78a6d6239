// The FreeRDP control's tables: disconnection reasons, keys and buttons, settings, ports.
#include "session/freerdp/control/DisplayScale.h"
#include "session/freerdp/control/InputMapping.h"
#include "session/freerdp/link/DisconnectReason.h"
#include "session/freerdp/link/LocalDevices.h"
#include "session/freerdp/link/SettingsApply.h"

#include <freerdp/error.h>
#include <freerdp/input.h>

#include <QFile>
#include <QTemporaryDir>
#include <QTest>

using namespace rdp::freerdp;

Q_DECLARE_METATYPE(rdp::freerdp::EndFacts)

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

// The mapping's test table: what the session saw, and the reason, the message (a part of
// it; empty for a silent end) and whether a broken link is tried again.
void FreeRdpMapping::reasons_data() {
    QTest::addColumn<EndFacts>("facts");
    QTest::addColumn<int>("reason");
    QTest::addColumn<QString>("message");
    QTest::addColumn<bool>("reconnect");
    const std::uint32_t transport = FREERDP_ERROR_CONNECT_TRANSPORT_FAILED;
    const std::uint32_t cancelled = FREERDP_ERROR_CONNECT_CANCELLED;
    const auto row = [](const char* name, EndFacts f, int reason, const char* message,
                        bool reconnect = false) {
        QTest::newRow(name) << f << reason << QString::fromUtf8(message) << reconnect;
    };
    const char* network = "此计算机无法连接到系统。";
    const char* password = "用户名或密码不正确";
    // While connecting.
    row("nothing listening", {.lastError = transport}, 516, network);
    row("refused by backlog", {.lastError = FREERDP_ERROR_CONNECT_FAILED}, 516, network);
    row("unknown host", {.lastError = FREERDP_ERROR_DNS_NAME_NOT_FOUND}, 260, "找不到远程计算机");
    row("wrong password, shadow server",
        {.credentialsSent = true, .serverReachable = true, .lastError = transport}, 2055, password);
    row("wrong password, retry cancelled",
        {.credentialsSent = true, .serverReachable = true, .lastError = cancelled}, 2055, password);
    row("server gone during NLA", {.credentialsSent = true, .lastError = transport}, 516, network);
    row("wrong password, windows", {.lastError = FREERDP_ERROR_CONNECT_LOGON_FAILURE}, 2055,
        password);
    row("no credentials", {.lastError = FREERDP_ERROR_CONNECT_NO_OR_MISSING_CREDENTIALS}, 2055,
        password);
    // The account's state wins over the guess from a link closed during NLA.
    row("password expired",
        {.credentialsSent = true,
         .serverReachable = true,
         .lastError = FREERDP_ERROR_CONNECT_PASSWORD_EXPIRED},
        2055, "此帐户的密码已过期");
    row("password certainly expired",
        {.lastError = FREERDP_ERROR_CONNECT_PASSWORD_CERTAINLY_EXPIRED}, 2055, "密码已过期");
    row("password must change", {.lastError = FREERDP_ERROR_CONNECT_PASSWORD_MUST_CHANGE}, 2055,
        "必须先更改此帐户的密码");
    row("locked out", {.lastError = FREERDP_ERROR_CONNECT_ACCOUNT_LOCKED_OUT}, 2055, "已被锁定");
    row("disabled", {.lastError = FREERDP_ERROR_CONNECT_ACCOUNT_DISABLED}, 2055, "已被停用");
    row("revoked", {.lastError = FREERDP_ERROR_CONNECT_CLIENT_REVOKED}, 2055, "已被停用");
    row("account expired", {.lastError = FREERDP_ERROR_CONNECT_ACCOUNT_EXPIRED}, 2055,
        "此帐户已过期");
    row("restricted", {.lastError = FREERDP_ERROR_CONNECT_ACCOUNT_RESTRICTION}, 2055,
        "不允许在此时间或从此计算机登录");
    row("logon type not granted", {.lastError = FREERDP_ERROR_CONNECT_LOGON_TYPE_NOT_GRANTED}, 2055,
        "没有远程登录到此系统的权限");
    row("logon hours (the library's general refusal)",
        {.lastError = FREERDP_ERROR_AUTHENTICATION_FAILED}, 2055, "不允许在此时间登录");
    row("access denied", {.lastError = FREERDP_ERROR_CONNECT_ACCESS_DENIED}, 2055,
        "没有访问远程计算机的权限");
    row("silent server", {.watchdogFired = true, .lastError = cancelled}, 264, "没有及时响应");
    row("certificate cancelled",
        {.certificateRejected = true, .lastError = FREERDP_ERROR_TLS_CONNECT_FAILED}, 1, "");
    row("cancelled here", {.localRequest = true, .lastError = cancelled}, 1, "");
    row("desktop refused here (the refusal closes the session)",
        {.localRequest = true, .refusedDesktop = QSize(16384, 16384), .lastError = cancelled}, 262,
        "16384×16384");
    row("cancelled here beats the watchdog",
        {.localRequest = true,
         .watchdogFired = true,
         .credentialsSent = true,
         .lastError = cancelled},
        1, "");
    row("refused with error info",
        {.lastError = transport, .errorInfo = ERRINFO_SERVER_DENIED_CONNECTION}, 3,
        "远程计算机拒绝了此连接");
    // Failures of this side name their cause, never the network.
    row("context", {.localFailure = LocalFailure::Context}, 1032,
        "远程桌面组件无法启动：无法创建连接（freerdp_client_context_new）");
    row("settings", {.localFailure = LocalFailure::Settings}, 1032,
        "远程桌面组件无法启动：无法应用连接设置");
    row("pre-connect", {.lastError = FREERDP_ERROR_PRE_CONNECT_FAILED}, 1032,
        "远程桌面组件无法启动：连接前的准备失败（ERRCONNECT_PRE_CONNECT_FAILED）");
    row("post-connect", {.lastError = FREERDP_ERROR_POST_CONNECT_FAILED}, 1032,
        "（ERRCONNECT_POST_CONNECT_FAILED）");
    row("closed during pre-connect",
        {.localRequest = true, .lastError = FREERDP_ERROR_PRE_CONNECT_FAILED}, 1, "");
    // Once connected.
    const char* lost = "与远程计算机的连接已中断。";
    row("server killed", {.wasConnected = true, .lastError = transport}, 2308, lost, true);
    row("reconnection timed out",
        {.watchdogFired = true, .wasConnected = true, .lastError = cancelled}, 2308, lost, true);
    row("reconnection refused",
        {.wasConnected = true, .lastError = FREERDP_ERROR_CONNECT_LOGON_FAILURE}, 2055, password);
    row("reconnection NLA refused",
        {.wasConnected = true,
         .credentialsSent = true,
         .serverReachable = true,
         .lastError = transport},
        2055, password);
    row("server gone during reconnection NLA",
        {.wasConnected = true, .credentialsSent = true, .lastError = transport}, 2308, lost, true);
    row("reconnections used up", {.wasConnected = true, .linkLost = true}, 2308, lost, true);
    row("clean close", {.wasConnected = true}, 3, "");
    row("logged off by user", {.wasConnected = true, .errorInfo = ERRINFO_LOGOFF_BY_USER}, 2, "");
    row("log-off passed on as the last error",
        {.wasConnected = true, .lastError = FREERDP_ERROR_LOGOFF_BY_USER}, 2, "");
    row("disconnected by user",
        {.wasConnected = true, .errorInfo = ERRINFO_RPC_INITIATED_DISCONNECT_BY_USER}, 2, "");
    row("disconnected by admin",
        {.wasConnected = true, .errorInfo = ERRINFO_RPC_INITIATED_DISCONNECT}, 3,
        "管理员断开了此会话。");
    row("logged off by admin", {.wasConnected = true, .errorInfo = ERRINFO_RPC_INITIATED_LOGOFF}, 3,
        "管理员注销了此会话。");
    row("idle time limit", {.wasConnected = true, .errorInfo = ERRINFO_IDLE_TIMEOUT}, 3,
        "空闲时间达到了远程计算机的限制");
    row("logon time limit", {.wasConnected = true, .errorInfo = ERRINFO_LOGON_TIMEOUT}, 3,
        "会话的时间达到了远程计算机的限制");
    row("taken over, then the link dropped",
        {.wasConnected = true,
         .lastError = transport,
         .errorInfo = ERRINFO_DISCONNECTED_BY_OTHER_CONNECTION},
        3, "另一个连接接管了此会话");
    row("server out of memory", {.wasConnected = true, .errorInfo = ERRINFO_OUT_OF_MEMORY}, 3,
        "远程计算机内存不足");
    row("server shutting down", {.wasConnected = true, .errorInfo = 0x19}, 3, "正在关机");
    row("server restarting", {.wasConnected = true, .errorInfo = 0x1A}, 3, "正在重新启动");
    row("licensing refused", {.wasConnected = true, .errorInfo = ERRINFO_LICENSE_NO_LICENSE}, 3,
        "授权服务拒绝了此连接（代码 0x00000102）");
    row("unknown code", {.wasConnected = true, .errorInfo = ERRINFO_CONNECT_FAILED}, 3,
        "远程计算机结束了会话（代码 0x000010D3）。");
    row("picture not decoded",
        {.wasConnected = true, .decoderFailed = true, .colourDepth = 8, .lastError = transport},
        3080, "无法显示远程计算机的画面（8 位色）。");
    row("channel failed",
        {.wasConnected = true,
         .channelError = 1359,
         .channelText = "[static] rdpsnd_virtual_channel_open_event_ex reported an error"},
        1032, "与远程计算机之间的声音（rdpsnd）通道出错");
    row("channel failed on a reconnected link (it has channels of its own)",
        {.wasConnected = true,
         .linkLost = true,
         .channelError = 1359,
         .channelText = "[static] rdpsnd_virtual_channel_open_event_ex reported an error"},
        1032, "与远程计算机之间的声音（rdpsnd）通道出错");
    row("ended here while connected",
        {.localRequest = true, .wasConnected = true, .decoderFailed = true, .lastError = transport},
        1, "");
}

void FreeRdpMapping::reasons() {
    QFETCH(EndFacts, facts);
    QFETCH(QString, message);
    const EndVerdict verdict = JudgeEnd(facts);
    QTEST(verdict.reason, "reason");
    QTEST(verdict.reconnect, "reconnect");
    QCOMPARE(MayReconnect(facts), verdict.reconnect);
    if (message.isEmpty()) {
        QVERIFY2(verdict.message.isEmpty(), qPrintable(verdict.message));
    } else {
        QVERIFY2(verdict.message.contains(message), qPrintable(verdict.message));
    }
    // The support line names what the library and the server said and the reason chosen.
    const QString line = QString::fromStdString(EndFactsLine(facts, verdict.reason));
    for (const std::uint32_t code : {facts.lastError, facts.errorInfo}) {
        QVERIFY2(line.contains(QStringLiteral("0x%1").arg(code, 8, 16, QLatin1Char('0')),
                               Qt::CaseInsensitive),
                 qPrintable(line));
    }
    QVERIFY2(line.contains(QStringLiteral("reason %1").arg(verdict.reason)), qPrintable(line));
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
