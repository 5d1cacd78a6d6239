#include "Version.h"
#include "common/Errors.h"
#include "tests/session/DesktopFixture.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

using rdp::test::DesktopFixture;

// The set-up of the session window: caption, size, topmost, the ordered settings of the
// control ending with Connect, and the already-connected path.
class DesktopInitTest : public QObject {
    Q_OBJECT

private slots:
    void orderedSettings();
    void desktopSizeCodes_data();
    void desktopSizeCodes();
    void colourCodes_data();
    void colourCodes();
    void flags_data();
    void flags();
    void sound_data();
    void sound();
    void profileFullScreenIsIgnored();
    void panelShownFromTheStart();
    void alreadyConnected_data();
    void alreadyConnected();
    void secondInitWhileConnected();
    void badPortStopsTheSetUp();
    void noControlStopsTheSetUp();
};

void DesktopInitTest::orderedSettings() {
    DesktopFixture f;
    // A second profile, selected: the set-up reads the selected one.
    RDP_ConnectParaItems& p = gConnectPara().Add(QStringLiteral("家里"), QStringLiteral("host.lan"),
                                                 QStringLiteral(" 3390 "), QStringLiteral("李四"),
                                                 QStringLiteral("pw"), 0, 0, 0);
    gConnectPara().SetDefault(2);
    p.setUserName(QStringLiteral("李四"));
    p.setPassword(QStringLiteral("pw"));
    p.setDesktopSize(1);
    f.window->Init();

    const QStringList expected = {
        QStringLiteral("Connected?"),
        QStringLiteral("ConnectingText=正在连接......"),
        QStringLiteral("Server=host.lan"),
        QStringLiteral("RDPPort=3390"),
        QStringLiteral("FullScreenTitle=ab"),
        QStringLiteral("FullScreen=false"),
        QStringLiteral("ContainerLeft=0"),
        QStringLiteral("ContainerTop=0"),
        QStringLiteral("DesktopWidth=1280"),
        QStringLiteral("DesktopHeight=768"),
        QStringLiteral("UserName=李四"),
        QStringLiteral("SmoothScroll=0"),
        QStringLiteral("ClearTextPassword=pw"),
        QStringLiteral("ColorDepth=15"),
        QStringLiteral("RedirectDrives=false"),
        QStringLiteral("RedirectPrinters=true"),
        QStringLiteral("RedirectPorts=true"),
        QStringLiteral("RedirectSmartCards=true"),
        QStringLiteral("RedirectClipboard=true"),
        QStringLiteral("BitmapPeristence=1"),
        QStringLiteral("Compress=1"),
        QStringLiteral("EnableAutoReconnect=true"),
        QStringLiteral("AudioRedirectionMode=0"),
        QStringLiteral("Connect()"),
    };
    QCOMPARE(f.control->settings(), expected);
    QCOMPARE(f.window->windowTitle(), QStringLiteral("家里"));
    QCOMPARE(p.Width(), 1280.f);
    QCOMPARE(p.Height(), 768.f);
    QCOMPARE(DesktopFixture::profile().Width(), 0.f); // the other profile is untouched
    QVERIFY(f.window->isVisible());
    QVERIFY(f.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(f.window->Status(), StatusConnecting);
}

void DesktopInitTest::desktopSizeCodes_data() {
    QTest::addColumn<float>("code");
    QTest::addColumn<QSize>("profileSize"); // after Init
    QTest::addColumn<QSize>("desktop");
    QTest::addColumn<QRect>("frame"); // outer, pixels
    QTest::addColumn<QSize>("client");
    // The offscreen platform's frame is 2 pixels on each side: the outer size is the one
    // of the sizing rules, the client area is what the frame leaves.
    QTest::newRow("0 screen") << 0.f << QSize(1920, 1080) << QSize(1918, 1050)
                              << QRect(0, 0, 1920, 1080) << QSize(1916, 1076);
    // 19290 x 11910 twips, centred: ((1920 - 1286) / 2, (1080 - 794) / 2)
    QTest::newRow("1 1280x768") << 1.f << QSize(1280, 768) << QSize(1280, 768)
                                << QRect(317, 143, 1286, 794) << QSize(1282, 790);
    QTest::newRow("2 1024x768") << 2.f << QSize(1024, 768) << QSize(1024, 768)
                                << QRect(445, 143, 1030, 794) << QSize(1026, 790);
    QTest::newRow("3 800x600") << 3.f << QSize(800, 600) << QSize(800, 600)
                               << QRect(557, 227, 806, 626) << QSize(802, 622);
    // 28900 x 16290 twips
    QTest::newRow("4 wide screen") << 4.f << QSize(1920, 1080) << QSize(1918, 1042)
                                   << QRect(0, 0, 1927, 1086) << QSize(1923, 1082);
    // The designed client area of 10785 x 8385 twips is kept; centred on it before the
    // frame is known (halves round to even).
    QTest::newRow("7 unlisted") << 7.f << QSize(1000, 700) << QSize(1000, 700)
                                << QRect(600, 260, 723, 563) << QSize(719, 559);
}

void DesktopInitTest::desktopSizeCodes() {
    QFETCH(float, code);
    QFETCH(QSize, profileSize);
    QFETCH(QSize, desktop);
    QFETCH(QRect, frame);
    QFETCH(QSize, client);
    DesktopFixture f;
    DesktopFixture::profile().setDesktopSize(code);
    DesktopFixture::profile().setWidth(1000);
    DesktopFixture::profile().setHeight(700);
    f.window->Init();
    QCOMPARE(DesktopFixture::profile().Width(), static_cast<float>(profileSize.width()));
    QCOMPARE(DesktopFixture::profile().Height(), static_cast<float>(profileSize.height()));
    QCOMPARE(f.control->valueOf(u"DesktopWidth"), QString::number(desktop.width()));
    QCOMPARE(f.control->valueOf(u"DesktopHeight"), QString::number(desktop.height()));
    QCOMPARE(f.window->frameGeometry(), frame);
    QCOMPARE(f.window->size(), client);
    QCOMPARE(f.window->windowTitle(), QStringLiteral("办公室"));
    QVERIFY(f.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint));
    QCOMPARE(f.window->windowState(), Qt::WindowNoState);
    QCOMPARE(f.control->settings().last(), QStringLiteral("Connect()"));
}

void DesktopInitTest::colourCodes_data() {
    QTest::addColumn<float>("code");
    QTest::addColumn<QString>("bits"); // empty: not set
    QTest::newRow("0") << 0.f << QStringLiteral("8");
    QTest::newRow("1") << 1.f << QStringLiteral("15");
    QTest::newRow("2") << 2.f << QStringLiteral("16");
    QTest::newRow("3") << 3.f << QStringLiteral("24");
    QTest::newRow("4") << 4.f << QStringLiteral("32");
    QTest::newRow("5") << 5.f << QString();
    QTest::newRow("fraction") << 1.5f << QString();
}

void DesktopInitTest::colourCodes() {
    QFETCH(float, code);
    QFETCH(QString, bits);
    DesktopFixture f;
    DesktopFixture::profile().setColorDepth(code);
    f.window->Init();
    QCOMPARE(f.control->valueOf(u"ColorDepth").value_or(QString()), bits);
    // Every other setting is made all the same.
    QCOMPARE(f.control->settings().size(), bits.isEmpty() ? 23 : 24);
    QCOMPARE(f.control->settings().last(), QStringLiteral("Connect()"));
}

void DesktopInitTest::flags_data() {
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("smartCards");
    QTest::newRow("all 0") << 0 << 0;
    QTest::newRow("all 1") << 1 << 1;
    QTest::newRow("all 2") << 2 << 2;
    QTest::newRow("only smart cards") << 0 << 1;
    QTest::newRow("all but smart cards") << 1 << 0;
}

void DesktopInitTest::flags() {
    QFETCH(int, value);
    QFETCH(int, smartCards);
    DesktopFixture f;
    RDP_ConnectParaItems& p = DesktopFixture::profile();
    const auto flag = static_cast<std::uint8_t>(value);
    p.setRedirectDrives(flag);
    p.setRedirectPrint(flag);
    p.setRedirectPorts(flag);
    p.setBitmapPeristence(flag);
    p.setCanAutoReconnect(flag);
    p.setSmartCards(static_cast<std::uint8_t>(smartCards));
    f.window->Init();
    const QString on = value != 0 ? QStringLiteral("true") : QStringLiteral("false");
    const QString cards = smartCards != 0 ? QStringLiteral("true") : QStringLiteral("false");
    QCOMPARE(f.control->valueOf(u"RedirectDrives"), on);
    QCOMPARE(f.control->valueOf(u"RedirectPrinters"), on);
    QCOMPARE(f.control->valueOf(u"RedirectPorts"), on);
    QCOMPARE(f.control->valueOf(u"EnableAutoReconnect"), on);
    QCOMPARE(f.control->valueOf(u"BitmapPeristence"),
             value != 0 ? QStringLiteral("1") : QStringLiteral("0"));
    QCOMPARE(f.control->valueOf(u"RedirectSmartCards"), cards);
    QCOMPARE(f.control->valueOf(u"RedirectClipboard"), cards);
}

void DesktopInitTest::sound_data() {
    QTest::addColumn<float>("code");
    QTest::addColumn<QString>("mode"); // empty: not set
    QTest::newRow("0 带到这台计算机播放") << 0.f << QStringLiteral("0");
    QTest::newRow("1 不要播放") << 1.f << QStringLiteral("2");
    QTest::newRow("2 留在远程计算机播放") << 2.f << QStringLiteral("1");
    QTest::newRow("3") << 3.f << QString();
}

void DesktopInitTest::sound() {
    QFETCH(float, code);
    QFETCH(QString, mode);
    DesktopFixture f;
    DesktopFixture::profile().setAudioMode(code);
    f.window->Init();
    const QStringList s = f.control->settings();
    if (mode.isEmpty()) {
        QVERIFY(!f.control->valueOf(u"AudioRedirectionMode"));
        QVERIFY(s.at(s.size() - 2).startsWith(u"EnableAutoReconnect="));
    } else {
        QCOMPARE(s.at(s.size() - 2), QStringLiteral("AudioRedirectionMode=") + mode);
        QVERIFY(s.at(s.size() - 3).startsWith(u"EnableAutoReconnect="));
    }
}

void DesktopInitTest::profileFullScreenIsIgnored() {
    DesktopFixture f;
    DesktopFixture::profile().setFullScreen(1);
    f.window->Init();
    QCOMPARE(f.control->valueOf(u"FullScreen"), QStringLiteral("false"));
}

void DesktopInitTest::panelShownFromTheStart() {
    DesktopFixture f;
    f.window->Init();
    QVERIFY(f.window->picTips->isVisible());
    QCOMPARE(f.window->lblTips->text(), QStringLiteral("正在登录，请稍候。。。"));
    QVERIFY(!f.window->Timer->isActive());
    QVERIFY(f.platform.messages.isEmpty());
    // The panel lies above the control.
    QCOMPARE(f.window->childAt(f.window->rect().center()), f.window->picTips);
}

void DesktopInitTest::alreadyConnected_data() {
    QTest::addColumn<int>("connected");
    QTest::newRow("connected") << 1;
    QTest::newRow("connecting") << 2;
}

void DesktopInitTest::alreadyConnected() {
    QFETCH(int, connected);
    DesktopFixture f;
    gConnectPara().Item(1).setDesktopSize(2);
    // The control exists only after the first step; script it from the factory.
    rdp::SetRdpControlFactory([&f, connected](QWidget* parent) {
        f.control = new rdp::test::FakeRdpControl(parent);
        f.control->connectedValue = static_cast<std::int16_t>(connected);
        return f.control;
    });
    f.window->Init();
    QVERIFY(f.window->isVisible());
    QCOMPARE(f.window->frameGeometry().size(), QSize(1030, 794));
    QCOMPARE(f.control->settings(), QStringList{QStringLiteral("Connected?")});
    QCOMPARE(f.platform.messages.size(), 1);
    const rdp::test::RecordedMessage& m = f.platform.messages.first();
    QCOMPARE(m.text, QStringLiteral("已经登陆"));
    QCOMPARE(m.style, 0);
    QCOMPARE(m.title, QString::fromUtf8(rdp::DisplayName));
    QCOMPARE(m.owner, f.window.get());
}

void DesktopInitTest::secondInitWhileConnected() {
    DesktopFixture f;
    f.window->Init();
    f.control->raiseConnecting();
    f.control->raiseConnected();
    f.control->connectedValue = 1;
    f.control->calls.clear();
    // What the control reports while the message is open is handled after it closes.
    int statusMeanwhile = -1;
    f.platform.onMessage = [&f, &statusMeanwhile](const rdp::test::RecordedMessage&) {
        f.control->raiseLoginComplete();
        statusMeanwhile = f.window->Status();
    };
    f.window->Init();
    QCOMPARE(statusMeanwhile, StatusConnected);
    QCOMPARE(f.window->Status(), StatusLoggedIn);
    QCOMPARE(f.control->settings(), QStringList{QStringLiteral("Connected?")});
    QCOMPARE(f.platform.messages.size(), 1);
    QCOMPARE(f.platform.messages.first().text, QStringLiteral("已经登陆"));
    QVERIFY(f.window->isVisible());
}

void DesktopInitTest::badPortStopsTheSetUp() {
    DesktopFixture f;
    DesktopFixture::profile().setPort(QStringLiteral("abc"));
    QVERIFY_THROWS_EXCEPTION(rdp::Error, f.window->Init());
    const QStringList expected = {QStringLiteral("Connected?"),
                                  QStringLiteral("ConnectingText=正在连接......"),
                                  QStringLiteral("Server=10.0.0.5")};
    QCOMPARE(f.control->settings(), expected);
}

void DesktopInitTest::noControlStopsTheSetUp() {
    DesktopFixture f;
    rdp::SetRdpControlFactory({});
    QVERIFY_THROWS_EXCEPTION(rdp::Error, f.window->Init());
    QVERIFY(!f.window->isVisible());
    QVERIFY(f.window->rdp == nullptr);
}

QTEST_MAIN(DesktopInitTest)
#include "tst_DesktopInit.moc"
