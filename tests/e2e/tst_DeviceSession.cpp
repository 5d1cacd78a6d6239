// The control's local devices in a real connection, against a loopback server that speaks the
// device-redirection channel: what it announces and what the server does with a drive.
#include "tests/e2e/SessionHarness.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QTest>

using rdp::test::SessionHarness;

class DeviceSession : public QObject {
    Q_OBJECT

private slots:
    void drivesBothWaysAndOnlyWhenAsked();

private:
    QTemporaryDir work_;
    QString path(const QString& name) const { return work_.filePath(name); }
    QByteArray peerFile(const QString& name) const {
        QFile f(path(name));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
};

void DeviceSession::drivesBothWaysAndOnlyWhenAsked() {
    // The home folder is what the session gets as its "Home" drive.
    QVERIFY(QDir().mkpath(path(QStringLiteral("home"))));
    qputenv("HOME", path(QStringLiteral("home")).toUtf8());
    const QByteArray local("写在这台计算机上");
    QFile here(path(QStringLiteral("home/本地.txt")));
    QVERIFY(here.open(QIODevice::WriteOnly) && here.write(local) == local.size());
    here.close();
    // A PC/SC socket so that smart cards are offered; the card service is never asked.
    QLocalServer pcsc;
    QVERIFY(pcsc.listen(path(QStringLiteral("pcscd.comm"))));
    qputenv("PCSCLITE_CSOCK_NAME", pcsc.fullServerName().toUtf8());

    QCOMPARE(QProcess::execute(QStringLiteral("winpr-makecert"),
                               {QStringLiteral("-silent"), QStringLiteral("-rdp"),
                                QStringLiteral("-path"), work_.path(), QStringLiteral("peer")}),
             0);
    const int port = qEnvironmentVariableIntValue("RDP_E2E_PORT") ?: 34700;
    QProcess peer;
    peer.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    peer.start(QStringLiteral(RDP_DEVICE_PEER),
               {QString::number(port), path(QStringLiteral("peer.crt")),
                path(QStringLiteral("peer.key")), work_.path()});
    QVERIFY(peer.waitForReadyRead(10000));
    const auto session = [&](bool drives, bool cards) {
        auto h = std::make_unique<SessionHarness>();
        h->target(QStringLiteral("127.0.0.1"), port, QStringLiteral("u"), QStringLiteral("p"));
        h->rdp->setRedirectDrives(drives);
        h->rdp->setRedirectSmartCards(cards);
        h->rdp->setRedirectPrinters(false);
        h->rdp->setRedirectPorts(false);
        h->rdp->Connect();
        return h;
    };

    auto first = session(true, false);
    QVERIFY(first->waitFor(QStringLiteral("connected"), 20000));
    // The remote side lists the drive's root, reads a file of this side and writes one here.
    QVERIFY(QTest::qWaitFor([&] { return !peerFile(QStringLiteral("read.1")).isEmpty(); }, 20000));
    QCOMPARE(peerFile(QStringLiteral("read.1")), local);
    QVERIFY(peerFile(QStringLiteral("devices.1")).startsWith("drive Home\n"));
    QVERIFY(!peerFile(QStringLiteral("devices.1")).contains("smartcard"));
    QVERIFY(peerFile(QStringLiteral("listing.1")).split('\n').contains("本地.txt"));
    // The remote side's file, written through the channel, is complete here.
    const QByteArray remote("写在远程计算机上");
    QFile there(path(QStringLiteral("home/远端.txt")));
    QVERIFY(QTest::qWaitFor([&] { return there.size() == remote.size(); }, 10000));
    QVERIFY(there.open(QIODevice::ReadOnly));
    QCOMPARE(there.readAll(), remote);
    first->rdp->Disconnect();
    QVERIFY(first->waitFor(QStringLiteral("disconnected"), 10000));

    // Drives unchecked, smart cards checked: the card reader device only, no drive.
    auto second = session(false, true);
    QVERIFY(second->waitFor(QStringLiteral("connected"), 20000));
    QVERIFY(QTest::qWaitFor(
        [&] { return peerFile(QStringLiteral("devices.2")).contains("smartcard"); }, 20000));
    QVERIFY(!peerFile(QStringLiteral("devices.2")).contains("drive"));
    second->rdp->Disconnect();
    QVERIFY(second->waitFor(QStringLiteral("disconnected"), 10000));
    peer.kill();
    peer.waitForFinished(5000);
}

QTEST_MAIN(DeviceSession)
#include "tst_DeviceSession.moc"
