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
    void goodLogon();
    void connectingAfterLogonChangesNothing();
    void disconnection_data();
    void disconnection();
    void failureMessagesDiffer();
    void messageComesBeforeTheClosingText();
    void eventsWaitWhileAMessageIsOpen();
    void closeWaitsWhileAMessageIsOpen();
    void statusChangeCancelsShutdown_data();
    void statusChangeCancelsShutdown();
    void tickAppliesTheStatusAgain();
    void closeWhileConnected_data();
    void closeWhileConnected();
    void shutdownRunsOnce_data();
    void shutdownRunsOnce();
    void disconnectReportedDuringShutdownIsIgnored();
    void questionsAreAnsweredNo();
};

void DesktopStatusTest::goodLogon() {
    DesktopFixture f;
    f.window->Init();
    f.control->raiseConnecting();
    QCOMPARE(f.window->Status(), StatusConnecting);
    QVERIFY(f.window->picTips->isVisible());
    QCOMPARE(f.window->lblTips->text(), LoggingOn);

    f.control->raiseConnected();
    QCOMPARE(f.window->Status(), StatusConnected);
    QVERIFY(!f.window->picTips->isVisible());
    QCOMPARE(f.window->lblTips->text(), LoggingOn); // the label keeps its text

    f.control->raiseLoginComplete();
    QCOMPARE(f.window->Status(), StatusLoggedIn);
    QVERIFY(!f.window->picTips->isVisible());
    QVERIFY(!f.window->Timer->isActive());
    QVERIFY(f.platform.messages.isEmpty());
    QCOMPARE(f.platform.endCalls, 0);
}

void DesktopStatusTest::connectingAfterLogonChangesNothing() {
    DesktopFixture f;
    f.open(StatusLoggedIn);
    f.control->raiseConnecting();
    QCOMPARE(f.window->Status(), StatusLoggedIn);
    QVERIFY(!f.window->picTips->isVisible());
    QVERIFY(f.control->calls.isEmpty());
}

void DesktopStatusTest::disconnection_data() {
    QTest::addColumn<int>("reason");
    QTest::addColumn<bool>("reported");
    QTest::newRow("0 none") << 0 << false;
    QTest::newRow("1 local") << 1 << false;
    QTest::newRow("2 remote by user") << 2 << false;
    QTest::newRow("3 remote by server") << 3 << false;
    QTest::newRow("2308 socket closed") << 2308 << false;
    QTest::newRow("260 name not found") << 260 << true;
    QTest::newRow("264 timeout") << 264 << true;
    QTest::newRow("516 network") << 516 << true;
    QTest::newRow("2055 logon failed") << 2055 << true;
}

void DesktopStatusTest::disconnection() {
    QFETCH(int, reason);
    QFETCH(bool, reported);
    DesktopFixture f;
    f.open(StatusLoggedIn);
    f.control->raiseDisconnected(reason);

    QCOMPARE(f.platform.messages.size(), reported ? 1 : 0);
    if (reported) {
        const RecordedMessage& m = f.platform.messages.first();
        QCOMPARE(m.style, 16);
        QCOMPARE(m.title, QStringLiteral("连接"));
        QCOMPARE(m.owner, f.window.get());
        if (reason == 516) {
            QCOMPARE(m.text,
                     QStringLiteral("此计算机无法连接到系统。\n\n请尝试重新连接。如果问题仍然"
                                    "存在，请联系网络管理员或系统服务商获得帮助。"));
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

void DesktopStatusTest::failureMessagesDiffer() {
    QStringList texts;
    for (const int reason : {260, 264, 516, 2055}) {
        DesktopFixture f;
        f.open();
        f.control->raiseDisconnected(reason);
        QCOMPARE(f.platform.messages.size(), 1);
        const QString text = f.platform.messages.first().text;
        QVERIFY2(!texts.contains(text), qPrintable(text));
        // Same form as the network failure's: what happened, a blank line, what to do.
        QCOMPARE(text.count(QStringLiteral("\n\n")), 1);
        texts.append(text);
    }
}

void DesktopStatusTest::messageComesBeforeTheClosingText() {
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

void DesktopStatusTest::eventsWaitWhileAMessageIsOpen() {
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
    // After the message: closing (4), then in order connected (1, timer stopped), logged in
    // (3), and the ticks re-apply 3.
    QCOMPARE(f.window->Status(), StatusLoggedIn);
    QVERIFY(!f.window->Timer->isActive());
    QVERIFY(!f.window->picTips->isVisible());
    QCOMPARE(f.platform.endCalls, 0);
    QCOMPARE(f.platform.messages.size(), 1);
}

void DesktopStatusTest::closeWaitsWhileAMessageIsOpen() {
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

void DesktopStatusTest::statusChangeCancelsShutdown_data() {
    QTest::addColumn<int>("status");
    QTest::newRow("connecting") << 0;
    QTest::newRow("connected") << 1;
}

void DesktopStatusTest::statusChangeCancelsShutdown() {
    QFETCH(int, status);
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

void DesktopStatusTest::tickAppliesTheStatusAgain() {
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

void DesktopStatusTest::closeWhileConnected_data() {
    QTest::addColumn<int>("connected");
    QTest::addColumn<int>("disconnects");
    QTest::newRow("connected") << 1 << 1;
    QTest::newRow("connecting") << 2 << 0;
    QTest::newRow("no session") << 0 << 0;
}

void DesktopStatusTest::closeWhileConnected() {
    QFETCH(int, connected);
    QFETCH(int, disconnects);
    DesktopFixture f;
    f.open(StatusLoggedIn);
    f.control->connectedValue = static_cast<std::int16_t>(connected);
    QVERIFY(f.window->close());
    QCOMPARE(f.control->count(QStringLiteral("Disconnect()")), disconnects);
    QCOMPARE(f.platform.endCalls, 1);
    QVERIFY(!f.window->isVisible());
    QVERIFY(f.platform.messages.isEmpty());
}

void DesktopStatusTest::shutdownRunsOnce_data() {
    QTest::addColumn<QString>("order"); // c close, d disconnection 516, t tick, r resize
    QTest::newRow("close first") << QStringLiteral("cdtcr");
    QTest::newRow("disconnection first") << QStringLiteral("dcdtr");
    QTest::newRow("tick first") << QStringLiteral("dtcdtr");
    QTest::newRow("closes only") << QStringLiteral("ccc");
}

void DesktopStatusTest::shutdownRunsOnce() {
    QFETCH(QString, order);
    DesktopFixture f;
    f.open(StatusLoggedIn);
    f.control->connectedValue = 1;
    QStringList callsAtEnd;
    int messagesAtEnd = 0;
    for (const QChar step : order) {
        if (step == u'c') {
            f.window->close();
        } else if (step == u'd') {
            f.control->raiseDisconnected(516);
        } else if (step == u't') {
            f.tick();
        } else {
            f.window->resize(900, 600);
        }
        if (f.platform.endCalls == 1 && callsAtEnd.isEmpty()) {
            callsAtEnd = f.control->calls;
            messagesAtEnd = static_cast<int>(f.platform.messages.size());
        }
    }
    QCOMPARE(f.platform.endCalls, 1);
    QCOMPARE(f.control->count(QStringLiteral("Disconnect()")), 1);
    // Nothing is touched after the end was requested.
    QCOMPARE(f.control->calls, callsAtEnd);
    QCOMPARE(f.platform.messages.size(), messagesAtEnd);
    QVERIFY(!f.window->Timer->isActive());
}

void DesktopStatusTest::disconnectReportedDuringShutdownIsIgnored() {
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

void DesktopStatusTest::questionsAreAnsweredNo() {
    DesktopFixture f;
    f.open(StatusLoggedIn);
    QVERIFY(!f.control->raiseConfirmClose());
    QVERIFY(!f.control->raiseReceivedTSPublicKey());
    QCOMPARE(f.window->Status(), StatusLoggedIn);
    QCOMPARE(f.platform.endCalls, 0);
}

QTEST_MAIN(DesktopStatusTest)
#include "tst_DesktopStatus.moc"
