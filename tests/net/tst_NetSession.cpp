// Network tier: the session window against a server behind a router, in network namespaces
// that tests/net/run-net-case.sh made (this program runs in the client's). Each case
// changes the network as users meet it and checks what the user sees. For measuring, the
// outage (RDP_NET_OUTAGE_MS, 20000), the reconnection schedule's span (RDP_NET_SPAN_MS,
// 8000 when the link is lost for good), the relay's one-way delay (RDP_NET_ONE_WAY_MS, 75;
// -1: no relay) and the quiet time on the slow link (RDP_NET_IDLE_MS, 15000) can be changed.
#include "tests/e2e/WindowCase.h"

#include <QElapsedTimer>
#include <QFile>
#include <QLabel>
#include <QProcess>
#include <QTest>

#include <csignal>
#include <cstdlib>
#include <memory>

using namespace rdp::freerdp;

namespace {

QString Env(const char* name) {
    return qEnvironmentVariable(name);
}

int EnvMs(const char* name, int otherwise) {
    bool ok = false;
    const int value = qEnvironmentVariableIntValue(name, &ok);
    return ok ? value : otherwise;
}

// The tools script of the case's namespaces: cut, mend, reset.
bool Net(const QStringList& arguments) {
    return QProcess::execute(Env("RDP_NET_TOOLS") + QStringLiteral("/netns.sh"),
                             QStringList{arguments.first(), Env("RDP_NET_NAME")} +
                                 arguments.mid(1)) == 0;
}

// The marker colour the test paints the remote desktop's background with: seen again after
// a reconnection, it proves the user is back in the same session (a new one would show
// its own background).
constexpr QRgb kMarker = qRgb(0x2e, 0x8b, 0x57);

// An X client on the server's display, run from inside the server's namespace (the
// display's number may also be taken by another display in this namespace).
QStringList OnServerDisplay(const QString& program, const QStringList& arguments) {
    QStringList command{QStringLiteral("netns"), QStringLiteral("exec"),
                        Env("RDP_NET_NAME") + QStringLiteral("-s"), QStringLiteral("env"),
                        QStringLiteral("DISPLAY=") + Env("RDP_NET_DISPLAY")};
    if (!Env("RDP_NET_XAUTHORITY").isEmpty()) {
        command << QStringLiteral("XAUTHORITY=") + Env("RDP_NET_XAUTHORITY");
    }
    return command << program << arguments;
}

bool RunOnServerDisplay(const QString& program, const QStringList& arguments) {
    QProcess p;
    p.start(QStringLiteral("ip"), OnServerDisplay(program, arguments));
    const bool ran = p.waitForFinished(10000) && p.exitCode() == 0;
    if (!ran) {
        qWarning("%s on %s: %s", qPrintable(program), qPrintable(Env("RDP_NET_DISPLAY")),
                 p.readAllStandardError().constData());
    }
    return ran;
}

bool PaintRemoteMarker() {
    // A new background alone is not a change the shadow server sends: repaint everything.
    return RunOnServerDisplay(QStringLiteral("xsetroot"),
                              {QStringLiteral("-solid"), QStringLiteral("#2e8b57")}) &&
           RunOnServerDisplay(QStringLiteral("xrefresh"), {});
}

double MarkerShare(const QImage& image) {
    return rdp::test::ColourShare(kMarker, image);
}

// The desktop is ready for the marker: xrdp's session has painted its own background
// (#3a6ea5) by then, which would otherwise cover the marker.
bool DesktopReady(const QImage& image) {
    return Env("RDP_NET_KIND") != QStringLiteral("xrdp") ||
           rdp::test::ColourShare(qRgb(0x3a, 0x6e, 0xa5), image) > 0.5;
}

QString ReconnectingPrefix(int attempt) {
    return QStringLiteral("连接已中断，正在重新连接（第 %1 次，共 5 次）").arg(attempt);
}

} // namespace

class NetSession : public rdp::test::WindowCase {
    Q_OBJECT

public:
    // The server's port comes from the network case's script (RDP_NET_PORT), not this one.
    NetSession() : WindowCase(0) {}

private:
    qint64 relay_ = 0;

    void open(const QString& host, int reconnectSpanMs = 0);
    bool loggedInShowingMarker();
    bool panelShown() const { return window_->picTips->isVisible(); }
    qint64 untilPanel(int milliseconds);
    bool backAtTheSameDesktop(int milliseconds);
    bool staysUp(int milliseconds);
    bool startRelay(int oneWayMs);

private slots:
    void cleanup();
    void silentDropOf20sComesBack();
    void serverResetComesBack();
    void slowLinkConnectsAndStaysQuiet();
    void lostForGoodEndsWithTheMessage();
    void closeWhileReconnectingEndsAtOnce();
};

void NetSession::open(const QString& host, int reconnectSpanMs) {
    openWindow(host, Env("RDP_NET_PORT"), Env("RDP_NET_USER"), Env("RDP_NET_PASSWORD"), true,
               reconnectSpanMs);
}

bool NetSession::loggedInShowingMarker() {
    const bool shown =
        QTest::qWaitFor([&] { return window_->Status() == StatusLoggedIn; }, 40000) &&
        QTest::qWaitFor([&] { return DesktopReady(control_->picture()); }, 30000) &&
        PaintRemoteMarker() &&
        QTest::qWaitFor([&] { return MarkerShare(control_->picture()) > 0.3; }, 20000);
    if (!shown) {
        control_->picture().save(QStringLiteral("net-no-marker.png"));
    }
    return shown;
}

// Milliseconds from now until the panel shows the first attempt, -1 when it did not.
qint64 NetSession::untilPanel(int milliseconds) {
    QElapsedTimer clock;
    clock.start();
    const bool shown = QTest::qWaitFor(
        [&] { return panelShown() && window_->lblTips->text().startsWith(ReconnectingPrefix(1)); },
        milliseconds);
    return shown ? clock.elapsed() : -1;
}

bool NetSession::backAtTheSameDesktop(int milliseconds) {
    const bool back = QTest::qWaitFor(
        [&] { return !panelShown() && MarkerShare(control_->picture()) > 0.3; }, milliseconds);
    if (!back) {
        control_->picture().save(QStringLiteral("net-not-back.png"));
    }
    return back;
}

// The session stays usable: no panel, no message, the marker still shown.
bool NetSession::staysUp(int milliseconds) {
    static_cast<void>(QTest::qWaitFor([&] { return panelShown() || !platform_.messages.isEmpty(); },
                                      milliseconds));
    return !panelShown() && platform_.messages.isEmpty() && platform_.endCalls == 0 &&
           MarkerShare(control_->picture()) > 0.3;
}

bool NetSession::startRelay(int oneWayMs) {
    const QString port = Env("RDP_NET_PORT");
    QProcess p;
    p.setProgram(QStringLiteral("ip"));
    p.setArguments({QStringLiteral("netns"), QStringLiteral("exec"),
                    Env("RDP_NET_NAME") + QStringLiteral("-r"), QStringLiteral(RDP_DELAY_RELAY),
                    QStringLiteral("10.77.1.1"), port, Env("RDP_NET_HOST"), port,
                    QString::number(oneWayMs)});
    p.setStandardOutputFile(QProcess::nullDevice());
    return p.startDetached(&relay_) &&
           QTest::qWaitFor(
               [] {
                   QProcess probe;
                   probe.start(QStringLiteral("bash"),
                               {QStringLiteral("-c"), QStringLiteral("exec 3<>/dev/tcp/"
                                                                     "10.77.1.1/%1")
                                                          .arg(Env("RDP_NET_PORT"))});
                   return probe.waitForFinished(2000) && probe.exitCode() == 0;
               },
               5000);
}

void NetSession::cleanup() {
    closeWindow();
    if (relay_ > 0) {
        ::kill(static_cast<pid_t>(relay_), SIGTERM);
        relay_ = 0;
    }
    Net({QStringLiteral("mend")});
}

// The router's link goes away without a word for 20 s: the panel comes within 5 s, and once
// the link is back the user is at the same desktop again. The shadow server's screen
// changes all the while (a clock), xrdp's stays idle: both ways of noticing are covered.
void NetSession::silentDropOf20sComesBack() {
    open(Env("RDP_NET_HOST"));
    QVERIFY(loggedInShowingMarker());
    if (Env("RDP_NET_KIND") == QStringLiteral("shadow")) {
        // It ends with the server's display.
        QVERIFY(QProcess::startDetached(
            QStringLiteral("ip"),
            OnServerDisplay(QStringLiteral("xclock"),
                            {QStringLiteral("-update"), QStringLiteral("1"),
                             QStringLiteral("-geometry"), QStringLiteral("200x200+700+300")})));
        QTest::qWait(1500);
    }
    QElapsedTimer outage;
    QVERIFY(Net({QStringLiteral("cut")}));
    outage.start();
    const qint64 panel = untilPanel(5000);
    qInfo("%s: silent drop to the panel: %lld ms", qPrintable(Env("RDP_NET_KIND")), panel);
    QVERIFY2(panel >= 0, qPrintable(window_->lblTips->text()));
    QTest::qWait(static_cast<int>(EnvMs("RDP_NET_OUTAGE_MS", 20000) - outage.elapsed()));
    QVERIFY(Net({QStringLiteral("mend")}));
    outage.restart();
    QVERIFY(backAtTheSameDesktop(60000));
    qInfo("%s: link back to the desktop shown again: %lld ms", qPrintable(Env("RDP_NET_KIND")),
          outage.elapsed());
    QVERIFY(staysUp(10000));
}

// The server's side resets the connection: the session comes back, takes keys, and stays.
void NetSession::serverResetComesBack() {
    open(Env("RDP_NET_HOST"));
    QVERIFY(loggedInShowingMarker());
    // A terminal on the remote desktop that writes what it is typed into a file.
    const QString typed = work_.path() + QStringLiteral("/typed.txt");
    QVERIFY(QProcess::startDetached(
        QStringLiteral("ip"),
        OnServerDisplay(QStringLiteral("xterm"),
                        {QStringLiteral("-geometry"), QStringLiteral("30x6+600+400"),
                         QStringLiteral("-e"), QStringLiteral("sh"), QStringLiteral("-c"),
                         QStringLiteral("cat > '%1'").arg(typed)})));
    QTest::qWait(1500); // it maps
    QElapsedTimer clock;
    QVERIFY(Net({QStringLiteral("reset"), Env("RDP_NET_PORT")}));
    clock.start();
    QVERIFY(untilPanel(5000) >= 0);
    QVERIFY(backAtTheSameDesktop(30000));
    qInfo("%s: reset to the desktop shown again: %lld ms", qPrintable(Env("RDP_NET_KIND")),
          clock.elapsed());
    // Keys reach the remote desktop again (the pointer over the terminal gives it the focus).
    QTest::mouseMove(control_, QPoint(650, 440));
    QTest::qWait(300);
    QTest::keyClicks(control_, QStringLiteral("net5"));
    QTest::keyClick(control_, Qt::Key_Return);
    const auto content = [&] {
        QFile f(typed);
        return f.open(QIODevice::ReadOnly) ? QString::fromUtf8(f.readAll()) : QString();
    };
    QVERIFY2(QTest::qWaitFor([&] { return content() == QStringLiteral("net5\n"); }, 10000),
             qPrintable(content()));
    QVERIFY(staysUp(10000));
}

// 150 ms round trips through a relay: the logon gets through, and an idle session is not
// taken for a lost one.
void NetSession::slowLinkConnectsAndStaysQuiet() {
    const int oneWay = EnvMs("RDP_NET_ONE_WAY_MS", 75);
    // Below 0: straight to the server, without the relay (its own TCP ends answer this
    // side's keep-alive probes).
    QVERIFY(oneWay < 0 || startRelay(oneWay));
    QElapsedTimer clock;
    clock.start();
    open(oneWay < 0 ? Env("RDP_NET_HOST") : QStringLiteral("10.77.1.1"));
    QVERIFY(QTest::qWaitFor([&] { return window_->Status() == StatusLoggedIn; }, 40000));
    qInfo("%s: connect to the first picture at %d ms one way: %lld ms",
          qPrintable(Env("RDP_NET_KIND")), oneWay, clock.elapsed());
    QVERIFY(loggedInShowingMarker());
    QVERIFY(staysUp(EnvMs("RDP_NET_IDLE_MS", 15000)));
}

// The link never comes back: after the attempts, the lost-link message.
void NetSession::lostForGoodEndsWithTheMessage() {
    open(Env("RDP_NET_HOST"), EnvMs("RDP_NET_SPAN_MS", 8000));
    QVERIFY(loggedInShowingMarker());
    QVERIFY(Net({QStringLiteral("cut")}));
    QElapsedTimer clock;
    clock.start();
    QVERIFY(untilPanel(5000) >= 0);
    QStringList panels;
    QVERIFY(QTest::qWaitFor(
        [&] {
            const QString text = window_->lblTips->text();
            if (panelShown() && (panels.isEmpty() || panels.last() != text)) {
                panels << text;
            }
            return !platform_.messages.isEmpty();
        },
        EnvMs("RDP_NET_SPAN_MS", 8000) + 30000));
    qInfo("%s: silent drop to the lost-link message: %lld ms", qPrintable(Env("RDP_NET_KIND")),
          clock.elapsed());
    QCOMPARE(panels.size(), 6); // five attempts, then "正在退出，请稍候。。。"
    QVERIFY(panels[4].startsWith(ReconnectingPrefix(5)));
    QCOMPARE(platform_.messages.first().style, 16);
    QVERIFY(
        platform_.messages.first().text.startsWith(QStringLiteral("与远程计算机的连接已中断。")));
    QTRY_COMPARE_WITH_TIMEOUT(platform_.endCalls, 1, 5000);
}

// The user closes the window while an attempt waits for a server that does not answer.
void NetSession::closeWhileReconnectingEndsAtOnce() {
    open(Env("RDP_NET_HOST"));
    QVERIFY(loggedInShowingMarker());
    QVERIFY(Net({QStringLiteral("cut")}));
    QVERIFY(untilPanel(5000) >= 0);
    QTest::qWait(2000); // the first attempt's connection is under way by now
    QElapsedTimer clock;
    clock.start();
    window_->close();
    QTRY_COMPARE_WITH_TIMEOUT(platform_.endCalls, 1, 5000);
    qInfo("%s: closed while reconnecting in %lld ms", qPrintable(Env("RDP_NET_KIND")),
          clock.elapsed());
    QVERIFY(platform_.messages.isEmpty());
}

QTEST_MAIN(NetSession)
#include "tst_NetSession.moc"
