#include "Version.h"
#include "common/Errors.h"
#include "tests/session/DesktopFixture.h"

#include <QApplication>
#include <QLabel>
#include <QTest>
#include <QTimer>

using rdp::test::DesktopFixture;

namespace {

QStringList Split(const char* calls) {
    return QString::fromUtf8(calls).split(QLatin1Char('|'));
}

} // namespace

// The set-up of the session window (caption, size, topmost, the ordered settings of the
// control ending with Connect, the already-connected path) and its resize handling.
class DesktopInitTest : public QObject {
    Q_OBJECT

private slots:
    void orderedSettings() {
        DesktopFixture f;
        // A second profile, selected: the set-up reads the selected one.
        RDP_ConnectParaItems& p =
            gConnectPara().Add(QStringLiteral("家里"), QStringLiteral("host.lan"),
                               QStringLiteral(" 3390 "), {}, {}, 0, 0, 0);
        gConnectPara().SetDefault(2);
        p.setUserName(QStringLiteral("李四"));
        p.setPassword(QStringLiteral("pw"));
        p.setDesktopSize(1);
        f.window->Init();
        QCOMPARE(f.control->settings(),
                 Split("Connected?|ConnectingText=正在连接......|Server=host.lan|RDPPort=3390|"
                       "FullScreenTitle=ab|FullScreen=false|ContainerLeft=0|ContainerTop=0|"
                       "DesktopWidth=1280|DesktopHeight=768|UserName=李四|SmoothScroll=0|"
                       "ClearTextPassword=pw|ColorDepth=15|RedirectDrives=false|"
                       "RedirectPrinters=true|RedirectPorts=true|RedirectSmartCards=true|"
                       "RedirectClipboard=true|BitmapPeristence=1|Compress=1|"
                       "EnableAutoReconnect=true|AudioRedirectionMode=0|Connect()"));
        QCOMPARE(f.window->windowTitle(), QStringLiteral("家里"));
        QCOMPARE(p.Width(), 1280.f);
        QCOMPARE(p.Height(), 768.f);
        QCOMPARE(DesktopFixture::profile().Width(), 0.f); // the other profile is untouched
        QVERIFY(f.window->isVisible());
        QCOMPARE(f.window->Status(), StatusConnecting);
    }

    // Sizes in pixels; the offscreen platform's frame is 2 pixels on each side, so the outer
    // size is the one of the sizing rules and the client area what the frame leaves. Control,
    // panel and label are the twips of the rules rounded to the nearest pixel.
    void desktopSizeCodes() {
        const struct {
            float code;
            QSize profile, desktop;
            QRect frame;
            QSize client, control, panel;
            QPoint label;
        } rows[] = {
            {0,
             {1920, 1080},
             {1918, 1050},
             {0, 0, 1920, 1080},
             {1916, 1076},
             {1913, 1070},
             {1920, 1080},
             {893, 513}},
            // 19290 x 11910 twips, centred; control 19190 x 11790, label at 8645, 5555
            {1,
             {1280, 768},
             {1280, 768},
             {317, 143, 1286, 794},
             {1282, 790},
             {1279, 786},
             {1286, 794},
             {576, 370}},
            {2, {1024, 768}, {1024, 768}, {445, 143, 1030, 794}, {1026, 790}, {}, {}, {}},
            {3, {800, 600}, {800, 600}, {557, 227, 806, 626}, {802, 622}, {}, {}, {}},
            // 28900 x 16290 twips would reach past the screen: kept inside it.
            {4,
             {1920, 1080},
             {1918, 1042},
             {0, 0, 1920, 1080},
             {1916, 1076},
             {1913, 1070},
             {1920, 1080},
             {893, 513}},
            // Unlisted: the stored 1000 x 700 stay; the window keeps its designed client area
            // of 10785 x 8385 twips, centred on it before the frame is known.
            {7,
             {1000, 700},
             {1000, 700},
             {600, 260, 723, 563},
             {719, 559},
             {999, 718},
             {723, 563},
             {295, 255}},
        };
        for (const auto& r : rows) {
            const QByteArray tag = QByteArray::number(r.code);
            DesktopFixture f;
            DesktopFixture::profile().setDesktopSize(r.code);
            DesktopFixture::profile().setWidth(1000);
            DesktopFixture::profile().setHeight(700);
            f.window->Init();
            QCOMPARE(DesktopFixture::profile().Width(), float(r.profile.width()));
            QCOMPARE(DesktopFixture::profile().Height(), float(r.profile.height()));
            QCOMPARE(f.control->valueOf(u"DesktopWidth"), QString::number(r.desktop.width()));
            QCOMPARE(f.control->valueOf(u"DesktopHeight"), QString::number(r.desktop.height()));
            QCOMPARE(f.window->frameGeometry(), r.frame);
            QCOMPARE(f.window->size(), r.client);
            QVERIFY2(f.window->windowFlags().testFlag(Qt::WindowStaysOnTopHint), tag);
            QCOMPARE(f.window->windowState(), Qt::WindowNoState);
            QCOMPARE(f.control->settings().last(), QStringLiteral("Connect()"));
            if (!r.control.isEmpty()) {
                QCOMPARE(f.control->geometry(), QRect(QPoint(0, 0), r.control));
                QCOMPARE(f.window->picTips->geometry(), QRect(QPoint(0, 0), r.panel));
                QCOMPARE(f.window->lblTips->pos(), r.label);
            }
        }
    }

    // Colour codes 0 to 5 and a fraction, the flags 0, 1 and 2 (smart cards apart, as they
    // also switch the clipboard), the sound codes, and the profile's FullScreen ignored.
    void optionCodes() {
        const struct {
            float colour;
            int flags, cards;
            float audio;
            const char *bits, *mode; // "": not set
        } rows[] = {{0, 0, 0, 0, "8", "0"}, {1, 1, 1, 1, "15", "2"}, {2, 2, 2, 2, "16", "1"},
                    {3, 0, 1, 3, "24", ""}, {4, 1, 0, 0, "32", "0"}, {5, 2, 0, 1, "", "2"},
                    {1.5f, 0, 2, 9, "", ""}};
        for (const auto& r : rows) {
            DesktopFixture f;
            RDP_ConnectParaItems& p = DesktopFixture::profile();
            const auto flag = std::uint8_t(r.flags);
            p.setColorDepth(r.colour);
            p.setRedirectDrives(flag);
            p.setRedirectPrint(flag);
            p.setRedirectPorts(flag);
            p.setBitmapPeristence(flag);
            p.setCanAutoReconnect(flag);
            p.setSmartCards(std::uint8_t(r.cards));
            p.setAudioMode(r.audio);
            p.setFullScreen(1);
            f.window->Init();
            const QString on = QLatin1String(r.flags ? "true" : "false");
            const QString cards = QLatin1String(r.cards ? "true" : "false");
            const QString bits = QLatin1String(r.bits), mode = QLatin1String(r.mode);
            QCOMPARE(f.control->valueOf(u"ColorDepth").value_or(QString()), bits);
            QCOMPARE(f.control->valueOf(u"FullScreen"), QStringLiteral("false"));
            for (auto name : {u"RedirectDrives", u"RedirectPrinters", u"RedirectPorts",
                              u"EnableAutoReconnect"}) {
                QCOMPARE(f.control->valueOf(name), on);
            }
            QCOMPARE(f.control->valueOf(u"BitmapPeristence"), QLatin1String(r.flags ? "1" : "0"));
            QCOMPARE(f.control->valueOf(u"RedirectSmartCards"), cards);
            QCOMPARE(f.control->valueOf(u"RedirectClipboard"), cards);
            // Every other setting is made all the same; sound comes right before Connect.
            const QStringList s = f.control->settings();
            QCOMPARE(s.size(), 22 + int(!bits.isEmpty()) + int(!mode.isEmpty()));
            QCOMPARE(s.last(), QStringLiteral("Connect()"));
            if (!mode.isEmpty()) {
                QCOMPARE(s.at(s.size() - 2), QStringLiteral("AudioRedirectionMode=") + mode);
            }
            QCOMPARE(s.at(s.size() - 2 - int(!mode.isEmpty())),
                     QStringLiteral("EnableAutoReconnect=") + on);
        }
    }

    void panelShownFromTheStart() {
        DesktopFixture f;
        f.window->Init();
        QVERIFY(f.window->picTips->isVisible());
        QCOMPARE(f.window->lblTips->text(), QStringLiteral("正在登录，请稍候。。。"));
        QVERIFY(!f.window->Timer->isActive());
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(f.window->childAt(f.window->rect().center()), f.window->picTips); // above
        QLabel* label = f.window->lblTips; // at least 1980 x 180 twips, and its text
        QVERIFY(label->width() >= 132 && label->height() >= 12);
        QVERIFY(label->width() >= label->sizeHint().width());
        // The session holds the keyboard as soon as its window shows.
        QVERIFY(QTest::qWaitForWindowActive(f.window.get()));
        QCOMPARE(QApplication::focusWidget(), f.control);
    }

    void alreadyConnected() {
        for (const int connected : {1, 2}) {
            DesktopFixture f;
            DesktopFixture::profile().setDesktopSize(2);
            // The control exists only after the first step; script it from the factory.
            rdp::SetRdpControlFactory([&f, connected](QWidget* parent) {
                f.control = new rdp::test::FakeRdpControl(parent);
                f.control->connectedValue = std::int16_t(connected);
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
    }

    void secondInitWhileConnected() {
        DesktopFixture f;
        f.open(StatusConnected);
        f.control->connectedValue = 1;
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
    }

    void setUpStops() {
        DesktopFixture f;
        DesktopFixture::profile().setPort(QStringLiteral("abc"));
        QVERIFY_THROWS_EXCEPTION(rdp::Error, f.window->Init());
        QCOMPARE(f.control->settings(),
                 Split("Connected?|ConnectingText=正在连接......|Server=10.0.0.5"));

        DesktopFixture g; // no control could be made
        rdp::SetRdpControlFactory({});
        QVERIFY_THROWS_EXCEPTION(rdp::Error, g.window->Init());
        QVERIFY(!g.window->isVisible());
        QVERIFY(g.window->rdp == nullptr);
    }

    // The login window's monitor is the right one of two, a 1366 x 768 laptop screen with a
    // panel on top: code 1 is kept inside its work area, the control within the client area
    // (its scroll bars in view); code 0 takes that monitor's size at its corner.
    void opensInsideTheLoginWindowsMonitor() {
        for (const float code : {1.f, 0.f}) {
            DesktopFixture f;
            f.platform.screen = {1366 * 15.0, 768 * 15.0,  15,        15,          1920 * 15.0,
                                 0,           1920 * 15.0, 30 * 15.0, 1366 * 15.0, 738 * 15.0};
            DesktopFixture::profile().setDesktopSize(code);
            f.window->Init();
            const QRect frame = f.window->frameGeometry();
            QVERIFY2(QRect(1920, 30, 1366, 738).contains(frame), qPrintable(QString::number(code)));
            QCOMPARE(frame.topLeft(), QPoint(code == 1 ? 1960 : 1920, 30));
            QCOMPARE(frame.height(), 738);
            QVERIFY(f.control->height() <= f.window->height());
            QVERIFY(f.control->width() <= f.window->width());
            QCOMPARE(f.control->valueOf(u"DesktopWidth"), QString::number(code == 1 ? 1280 : 1364));
        }
    }

    void resizeRunsWhileHiddenDuringSizing() {
        DesktopFixture f;
        f.window->Init();
        // Width, then height of the window: each runs the handling (control width and height).
        QVERIFY2(f.control->hiddenResizes >= 4, qPrintable(f.control->calls.join(u' ')));
        const qsizetype firstRead = f.control->calls.indexOf(QStringLiteral("Connected?"));
        QVERIFY(f.control->calls.indexOf(QStringLiteral("ContainerWidth=1279")) < firstRead);
    }

    void resizeByHandMovesOnlyThePanel() {
        DesktopFixture f;
        f.open();
        f.window->resize(996, 696); // 1000 x 700 outside
        QCOMPARE(f.window->frameGeometry().size(), QSize(1000, 700));
        QCOMPARE(f.control->size(), QSize(1279, 786));
        QCOMPARE(f.window->picTips->size(), QSize(1000, 700));
        // 15000 / 2 - 1000 = 6500 twips, 10500 / 2 - 400 = 4850 twips
        QCOMPARE(f.window->lblTips->pos(), QPoint(433, 323));
        // The control only hears its unchanged size again.
        for (const QString& call : f.control->calls) {
            QVERIFY2(call == QStringLiteral("ContainerWidth=1279") ||
                         call == QStringLiteral("ContainerHeight=786"),
                     qPrintable(call));
        }
    }
};

QTEST_MAIN(DesktopInitTest)
#include "tst_DesktopInit.moc"
