#include "tests/session/DesktopFixture.h"

#include <QLabel>
#include <QTest>
#include <QTimer>

using rdp::test::DesktopFixture;
using rdp::test::RecordedMessage;

namespace {

const QString LoggingOn = QStringLiteral("正在登录，请稍候。。。");
const QString LoggingOff = QStringLiteral("正在退出，请稍候。。。");

} // namespace

// The events of the control, the timer and the close of the window driving the status
// panel, the failure messages and the one shutdown.
class DesktopStatusTest : public QObject {
    Q_OBJECT

private slots:
    void goodLogon() {
        DesktopFixture f;
        f.window->Init();
        f.control->raiseConnecting();
        QCOMPARE(f.window->Status(), StatusConnecting);
        QVERIFY(f.window->picTips->isVisible());
        f.control->raiseConnected();
        QCOMPARE(f.window->Status(), StatusConnected);
        QVERIFY(!f.window->picTips->isVisible());
        QCOMPARE(f.window->lblTips->text(), LoggingOn); // the label keeps its text
        f.control->raiseLoginComplete();
        QCOMPARE(f.window->Status(), StatusLoggedIn);
        QVERIFY(!f.window->picTips->isVisible());
        QVERIFY(!f.window->Timer->isActive());
        // OnConnecting after the logon changes nothing.
        f.control->calls.clear();
        f.control->raiseConnecting();
        QCOMPARE(f.window->Status(), StatusLoggedIn);
        QVERIFY(!f.window->picTips->isVisible());
        QVERIFY(f.control->calls.isEmpty());
        QVERIFY(f.platform.messages.isEmpty());
        QCOMPARE(f.platform.endCalls, 0);
    }

    // Normal ends are silent; failures get a message of their own in the form of the
    // network failure's (what happened, a blank line, what to do); all end after 300 ms.
    void disconnection() {
        QStringList texts;
        for (const int reason : {0, 1, 2, 3, 2308, 260, 264, 516, 2055}) {
            const bool reported =
                reason == 260 || reason == 264 || reason == 516 || reason == 2055 || reason == 2308;
            DesktopFixture f;
            f.open(StatusLoggedIn);
            f.control->raiseDisconnected(reason);
            QCOMPARE(f.platform.messages.size(), reported ? 1 : 0);
            if (reported) {
                const RecordedMessage& m = f.platform.messages.first();
                QCOMPARE(m.style, 16);
                QCOMPARE(m.title, QStringLiteral("连接"));
                QCOMPARE(m.owner, f.window.get());
                QVERIFY2(!texts.contains(m.text), qPrintable(m.text));
                QCOMPARE(m.text.count(QStringLiteral("\n\n")), 1);
                texts.append(m.text);
                if (reason == 2308) {
                    QCOMPARE(m.text, QStringLiteral("与远程计算机的连接已中断。\n\n请检查网络后"
                                                    "重新连接。如果问题仍然存在，请联系网络管理员或"
                                                    "系统服务商获得帮助。"));
                }
                if (reason == 516) {
                    QCOMPARE(m.text, QStringLiteral("此计算机无法连接到系统。\n\n请尝试重新连接。"
                                                    "如果问题仍然存在，请联系网络管理员或系统服务"
                                                    "商获得帮助。"));
                }
            }
            QVERIFY(f.window->picTips->isVisible());
            QCOMPARE(f.window->lblTips->text(), LoggingOff);
            QCOMPARE(f.window->Status(), StatusClosing);
            QVERIFY(f.window->Timer->isActive());
            QCOMPARE(f.window->Timer->interval(), 300);
            QCOMPARE(f.platform.endCalls, 0);
            QTRY_COMPARE(f.platform.endCalls, 1);
            QVERIFY(!f.window->isVisible());
            QVERIFY(!f.window->Timer->isActive());
            // Not connected any more: read, and no Disconnect.
            QCOMPARE(f.control->calls, QStringList{QStringLiteral("Connected?")});
        }
    }

    // A desktop the control refused: the message names the size the server asked for, and
    // the limit when it was above it; the program ends as after any failure.
    void refusedDesktopIsNamed() {
        for (const QSize asked : {QSize(16384, 16384), QSize(8000, 6000)}) {
            DesktopFixture f;
            f.open(StatusLoggedIn);
            f.control->refusedDesktop = asked;
            f.control->raiseDisconnected(262);
            QCOMPARE(f.platform.messages.size(), 1);
            const RecordedMessage& m = f.platform.messages.first();
            QCOMPARE(m.style, 16);
            QCOMPARE(m.title, QStringLiteral("连接"));
            QVERIFY(
                m.text.contains(QStringLiteral("%1×%2").arg(asked.width()).arg(asked.height())));
            QCOMPARE(m.text.contains(QStringLiteral("8192×8192")), asked.width() > 8192);
            QTRY_COMPARE(f.platform.endCalls, 1);
        }
    }

    // A control that knows why the session ended is believed over the reason: the server's
    // reason is told for reason 3, and an end it calls silent stays silent even for 2308.
    void controlsOwnDescription() {
        const QString admin = QStringLiteral("管理员断开了此会话。\r\n\r\n请稍后重新连接。");
        for (const auto& [reason, description] :
             {std::pair{3, admin}, std::pair{2308, QString()}}) {
            DesktopFixture f;
            f.open(StatusLoggedIn);
            f.control->raiseDisconnected(reason, description);
            QCOMPARE(f.platform.messages.size(), description.isEmpty() ? 0 : 1);
            if (!description.isEmpty()) {
                QCOMPARE(f.platform.messages.first().style, 16);
                QCOMPARE(f.platform.messages.first().title, QStringLiteral("连接"));
                QVERIFY(f.platform.messages.first().text.startsWith(
                    QStringLiteral("管理员断开了此会话。")));
            }
            QTRY_COMPARE(f.platform.endCalls, 1);
        }
    }

    // A lost link: the panel counts the attempts over the frozen picture and goes when the
    // link is back; after the last attempt the session ends with the lost-link message.
    void lostLinkIsExplained() {
        DesktopFixture f;
        f.open(StatusLoggedIn);
        for (int attempt = 1; attempt <= 2; ++attempt) {
            emit f.control->OnAutoReconnecting(attempt, 5);
            QVERIFY(f.window->picTips->isVisible());
            QCOMPARE(
                f.window->lblTips->text(),
                QStringLiteral("连接已中断，正在重新连接（第 %1 次，共 5 次）。。。").arg(attempt));
            QCOMPARE(f.window->Status(), StatusLoggedIn);
        }
        emit f.control->OnAutoReconnected();
        QVERIFY(!f.window->picTips->isVisible());
        QCOMPARE(f.window->Status(), StatusLoggedIn);
        emit f.control->OnAutoReconnecting(5, 5);
        f.control->raiseDisconnected(2308);
        QCOMPARE(f.platform.messages.size(), 1);
        QVERIFY(f.platform.messages.first().text.startsWith(
            QStringLiteral("与远程计算机的连接已中断。")));
        QTRY_COMPARE(f.platform.endCalls, 1);
    }

    void messageComesBeforeTheClosingText() {
        DesktopFixture f;
        f.open();
        QString labelMeanwhile;
        int statusMeanwhile = -1;
        bool panelMeanwhile = false;
        f.platform.onMessage = [&](const RecordedMessage&) {
            labelMeanwhile = f.window->lblTips->text();
            statusMeanwhile = f.window->Status();
            panelMeanwhile = f.window->picTips->isVisible();
        };
        f.control->raiseDisconnected(516);
        QCOMPARE(labelMeanwhile, LoggingOn);
        QCOMPARE(statusMeanwhile, StatusConnecting);
        QVERIFY(panelMeanwhile);
        QCOMPARE(f.window->lblTips->text(), LoggingOff);
    }

    void eventsWaitWhileAMessageIsOpen() {
        DesktopFixture f;
        f.open();
        QList<int> statusMeanwhile;
        f.platform.onMessage = [&](const RecordedMessage&) {
            f.control->raiseConnected();
            statusMeanwhile.append(f.window->Status());
            f.control->raiseLoginComplete();
            statusMeanwhile.append(f.window->Status());
            f.tick();
            f.tick();
            statusMeanwhile.append(f.window->Status());
        };
        f.control->raiseDisconnected(516);
        QCOMPARE(statusMeanwhile, (QList<int>{0, 0, 0}));
        // After the message, in order: closing, connected (timer stopped), logged in, and the
        // ticks apply logged in again.
        QCOMPARE(f.window->Status(), StatusLoggedIn);
        QVERIFY(!f.window->Timer->isActive());
        QVERIFY(!f.window->picTips->isVisible());
        QCOMPARE(f.platform.endCalls, 0);
        QCOMPARE(f.platform.messages.size(), 1);
    }

    void closeWaitsWhileAMessageIsOpen() {
        DesktopFixture f;
        f.open(StatusConnected);
        f.control->connectedValue = 1;
        int endsMeanwhile = -1;
        f.platform.onMessage = [&](const RecordedMessage&) {
            f.window->close();
            endsMeanwhile = f.platform.endCalls;
        };
        f.control->raiseDisconnected(2055);
        QCOMPARE(endsMeanwhile, 0);
        QCOMPARE(f.platform.endCalls, 1);
        QCOMPARE(f.control->count(QStringLiteral("Disconnect()")), 1);
        QVERIFY(!f.window->isVisible());
        QVERIFY(!f.window->Timer->isActive());
    }

    void statusChangeCancelsShutdown() {
        for (const int status : {StatusConnecting, StatusConnected}) {
            DesktopFixture f;
            f.open(StatusConnected);
            f.control->raiseDisconnected(2);
            QVERIFY(f.window->Timer->isActive());
            if (status == StatusConnecting) {
                f.control->raiseConnecting();
                QCOMPARE(f.window->lblTips->text(), LoggingOn);
            } else {
                f.control->raiseConnected();
            }
            QCOMPARE(f.window->Status(), status);
            QVERIFY(!f.window->Timer->isActive());
            QTest::qWait(400);
            QCOMPARE(f.platform.endCalls, 0);
        }
    }

    void tickAppliesTheStatusAgain() {
        DesktopFixture f;
        f.open(StatusConnected);
        f.control->raiseDisconnected(3); // closing: panel shown, timer running
        f.control->raiseLoginComplete(); // 3 leaves panel and timer as they are
        f.tick();
        QCOMPARE(f.window->Status(), StatusLoggedIn);
        QVERIFY(f.window->Timer->isActive());
        QVERIFY(f.window->picTips->isVisible());
        QCOMPARE(f.window->lblTips->text(), LoggingOff);
        // A tick while connected hides the panel and stops the timer.
        f.control->raiseConnected();
        f.window->picTips->show();
        f.window->Timer->start();
        f.tick();
        QCOMPARE(f.window->Status(), StatusConnected);
        QVERIFY(!f.window->picTips->isVisible());
        QVERIFY(!f.window->Timer->isActive());
        QCOMPARE(f.platform.endCalls, 0);
    }

    void closeWhileConnected() {
        // Connected() answers 1 connected, 2 connecting, 0 none: only 1 is disconnected.
        for (const int connected : {1, 2, 0}) {
            DesktopFixture f;
            f.open(StatusLoggedIn);
            f.control->connectedValue = std::int16_t(connected);
            QVERIFY(f.window->close());
            QCOMPARE(f.control->count(QStringLiteral("Disconnect()")), connected == 1 ? 1 : 0);
            QCOMPARE(f.platform.endCalls, 1);
            QVERIFY(!f.window->isVisible());
            QVERIFY(f.platform.messages.isEmpty());
        }
    }

    // Close (c), disconnection 516 (d), tick (t) and resize (r) in any order: one shutdown,
    // one Disconnect, and nothing touched after the end was requested.
    void shutdownRunsOnce() {
        for (const char* order : {"cdtcr", "dcdtr", "dtcdtr", "ccc"}) {
            DesktopFixture f;
            f.open(StatusLoggedIn);
            f.control->connectedValue = 1;
            QStringList callsAtEnd;
            qsizetype messagesAtEnd = 0;
            for (const char* step = order; *step != 0; ++step) {
                if (*step == 'c') {
                    f.window->close();
                } else if (*step == 'd') {
                    f.control->raiseDisconnected(516);
                } else if (*step == 't') {
                    f.tick();
                } else {
                    f.window->resize(900, 600);
                }
                if (f.platform.endCalls == 1 && callsAtEnd.isEmpty()) {
                    callsAtEnd = f.control->calls;
                    messagesAtEnd = f.platform.messages.size();
                }
            }
            QVERIFY2(f.platform.endCalls == 1, order);
            QCOMPARE(f.control->count(QStringLiteral("Disconnect()")), 1);
            QCOMPARE(f.control->calls, callsAtEnd);
            QCOMPARE(f.platform.messages.size(), messagesAtEnd);
            QVERIFY(!f.window->Timer->isActive());
        }
    }

    void disconnectReportedDuringShutdownIsIgnored() {
        DesktopFixture f;
        f.open(StatusLoggedIn);
        f.control->connectedValue = 1;
        f.control->disconnectRaisesEvent = true;
        f.window->close();
        QCOMPARE(f.platform.endCalls, 1);
        QCOMPARE(f.control->count(QStringLiteral("Disconnect()")), 1);
        QCOMPARE(f.window->Status(), StatusLoggedIn);
        QVERIFY(!f.window->Timer->isActive());
    }

    void questionsAreAnsweredNo() {
        DesktopFixture f;
        f.open(StatusLoggedIn);
        QVERIFY(!f.control->raiseConfirmClose());
        QVERIFY(!f.control->raiseReceivedTSPublicKey());
        QCOMPARE(f.window->Status(), StatusLoggedIn);
        QCOMPARE(f.platform.endCalls, 0);
    }
};

QTEST_MAIN(DesktopStatusTest)
#include "tst_DesktopStatus.moc"
