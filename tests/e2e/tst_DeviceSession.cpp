// The control's local devices in a real connection, against a loopback server that speaks the
// device-redirection channel: what it announces and what the server does with a drive.
#include "tests/e2e/E2eSupport.h"
#include "tests/e2e/SessionHarness.h"
#include "tests/e2e/XrdpServer.h"

#include <QDir>
#include <QFile>
#include <QLocalServer>
#include <QProcess>
#include <QScopeGuard>
#include <QTest>

using rdp::test::SessionHarness;
using rdp::test::XrdpServer;

class DeviceSession : public rdp::test::E2eCase {
    Q_OBJECT

public:
    DeviceSession() : E2eCase(34700) {}

private slots:
    void initTestCase();
    void drivesBothWaysAndOnlyWhenAsked();
    void drivePathsOutsideTheShareAreRefused();
    void soundAsAskedPrintersAsCupsLists();
    void printersOfAPrivateCups();
    void cardReaderListedInAnXrdpSession();
    void cleanupTestCase();

private:
    struct Options {
        bool drives = true;
        bool cards = false;
        bool printers = false;
        int audio = 0; // the control's codes: 0 here, 1 left on the server, 2 none
        const XrdpServer* xrdp = nullptr; // the device peer when none
    };
    // Connects a new session; the peer's files of it end in `.N`, returned in `n`.
    std::unique_ptr<SessionHarness> session(const Options& o, int& n);
    QString path(const QString& name) const { return work_.filePath(name); }
    QByteArray peerFile(const QString& name, int n) const {
        QFile f(path(name + QLatin1Char('.') + QString::number(n)));
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }

    QLocalServer pcsc_;
    QProcess peer_;
    int sessions_ = 0;
};

void DeviceSession::initTestCase() {
    // The home folder is what the session gets as its "Home" drive.
    QVERIFY(QDir().mkpath(path(QStringLiteral("home"))));
    qputenv("HOME", path(QStringLiteral("home")).toUtf8());
    // A PC/SC socket so that smart cards are offered; the card service is never asked.
    QVERIFY(pcsc_.listen(path(QStringLiteral("pcscd.comm"))));
    qputenv("PCSCLITE_CSOCK_NAME", pcsc_.fullServerName().toUtf8());
    // No CUPS server until a case starts its own there (the library keeps the address it
    // read first).
    qputenv("CUPS_SERVER", path(QStringLiteral("cups/cups.sock")).toUtf8());
    QVERIFY(rdp::test::MakeCertificate(work_.path(), QStringLiteral("peer")));
    peer_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    peer_.start(QStringLiteral(RDP_DEVICE_PEER),
                {QString::number(port_), path(QStringLiteral("peer.crt")),
                 path(QStringLiteral("peer.key")), work_.path()});
    QVERIFY(peer_.waitForReadyRead(10000));
}

void DeviceSession::cleanupTestCase() {
    peer_.kill();
    peer_.waitForFinished(5000);
}

std::unique_ptr<SessionHarness> DeviceSession::session(const Options& o, int& n) {
    auto h = std::make_unique<SessionHarness>();
    if (o.xrdp) {
        h->target(o.xrdp->host(), o.xrdp->port(), o.xrdp->user(), o.xrdp->password());
    } else {
        h->targetLoopback(port_);
    }
    h->rdp->setRedirectDrives(o.drives);
    h->rdp->setRedirectSmartCards(o.cards);
    h->rdp->setRedirectPrinters(o.printers);
    h->rdp->setRedirectPorts(false);
    h->rdp->setAudioRedirectionMode(o.audio);
    h->rdp->Connect();
    n = o.xrdp ? 0 : ++sessions_; // the peer counts only its own clients
    return h;
}

// Drives are proven against the peer: xrdp 0.9.21 (Debian 12) tells the client that the user
// logged on before it sends its capabilities, FreeRDP 2.11 drops that message ("Checking
// ExtendedPDU::RDPDR_USER_LOGGEDON_PDU, client supported, server not found") and so announces
// only its smart cards, never a drive, printer or port (xrdp 0.9.24 sends them in order).
void DeviceSession::drivesBothWaysAndOnlyWhenAsked() {
    const QByteArray local("写在这台计算机上");
    QFile here(path(QStringLiteral("home/本地.txt")));
    QVERIFY(here.open(QIODevice::WriteOnly) && here.write(local) == local.size());
    here.close();

    int n = 0;
    auto first = session({}, n);
    QVERIFY(first->waitFor(QStringLiteral("connected"), 20000));
    // The remote side lists the drive's root, reads a file of this side and writes one here.
    QVERIFY(QTest::qWaitFor([&] { return !peerFile(QStringLiteral("read"), n).isEmpty(); }, 20000));
    QCOMPARE(peerFile(QStringLiteral("read"), n), local);
    QVERIFY(peerFile(QStringLiteral("devices"), n).startsWith("drive Home\n"));
    QVERIFY(!peerFile(QStringLiteral("devices"), n).contains("smartcard"));
    QVERIFY(peerFile(QStringLiteral("listing"), n).split('\n').contains("本地.txt"));
    const QByteArray remote("写在远程计算机上");
    QFile there(path(QStringLiteral("home/远端.txt")));
    QVERIFY(QTest::qWaitFor([&] { return there.size() == remote.size(); }, 10000));
    QVERIFY(there.open(QIODevice::ReadOnly));
    QCOMPARE(there.readAll(), remote);
    first->rdp->Disconnect();
    QVERIFY(first->waitFor(QStringLiteral("disconnected"), 10000));

    // Drives unchecked, smart cards checked: the card reader device only, no drive.
    auto second = session({.drives = false, .cards = true}, n);
    QVERIFY(second->waitFor(QStringLiteral("connected"), 20000));
    QVERIFY(QTest::qWaitFor(
        [&] { return peerFile(QStringLiteral("devices"), n).contains("smartcard"); }, 20000));
    QVERIFY(!peerFile(QStringLiteral("devices"), n).contains("drive"));
    second->rdp->Disconnect();
    QVERIFY(second->waitFor(QStringLiteral("disconnected"), 10000));
}

// A hostile server asks the shared drive to create files through parent folders, absolute
// paths and a 5,300-character path: nothing appears outside the share, the session stays up.
void DeviceSession::drivePathsOutsideTheShareAreRefused() {
    const QString out = path(QStringLiteral("escape"));
    QVERIFY(QDir().mkpath(out));
    QProcess escaper;
    escaper.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    escaper.start(QStringLiteral(RDP_DEVICE_PEER),
                  {QString::number(port_ + 8), path(QStringLiteral("peer.crt")),
                   path(QStringLiteral("peer.key")), out, QStringLiteral("escape")});
    QVERIFY(escaper.waitForReadyRead(10000));
    SessionHarness h;
    h.targetLoopback(port_ + 8);
    h.rdp->setRedirectDrives(true);
    h.rdp->Connect();
    QFile escapes(out + QStringLiteral("/escapes.1"));
    QVERIFY(QTest::qWaitFor([&] { return escapes.exists(); }, 20000));
    QVERIFY(escapes.open(QIODevice::ReadOnly));
    // Every request is answered. FreeRDP 2.11 answers the ones through ".." with success and
    // a file of its own that is nowhere on disk, the absolute ones with an error.
    const QByteArray answers = escapes.readAll();
    QCOMPARE(answers.trimmed().split('\n').size(), 7);
    for (const QString& outside : {path(QStringLiteral("escape.txt")),
                                   QDir::cleanPath(path(QStringLiteral("../escape.txt"))),
                                   QStringLiteral("/tmp/escape.txt")}) {
        QVERIFY2(!QFile::exists(outside), answers.constData());
    }
    QCOMPARE(h.count(QStringLiteral("disconnected")), 0);
    h.rdp->Disconnect();
}

void DeviceSession::soundAsAskedPrintersAsCupsLists() {
    // Played here: playback asked for. Left on the server: console audio, no playback. None:
    // neither. The library joins the sound channel in every case (silent without playback).
    // Printers asked for with no CUPS server: none offered, and the session comes up.
    const QList<QPair<int, QByteArray>> modes{{0, "rdpsnd=1 playback=1 console=0"},
                                              {1, "rdpsnd=1 playback=0 console=1"},
                                              {2, "rdpsnd=1 playback=0 console=0"}};
    for (const auto& [audio, expected] : modes) {
        int n = 0;
        auto h = session({.printers = true, .audio = audio}, n);
        QVERIFY(h->waitFor(QStringLiteral("connected"), 20000));
        // The device list comes in one message: once the drive is there, so are the printers.
        QVERIFY(QTest::qWaitFor(
            [&] { return peerFile(QStringLiteral("devices"), n).contains("drive"); }, 20000));
        QCOMPARE(peerFile(QStringLiteral("sound"), n), expected);
        QVERIFY(!peerFile(QStringLiteral("devices"), n).contains("printer"));
        QCOMPARE(h->count(QStringLiteral("disconnected")), 0);
        h->rdp->Disconnect();
        QVERIFY(h->waitFor(QStringLiteral("disconnected"), 10000));
    }
}

void DeviceSession::printersOfAPrivateCups() {
    QProcess cups;
    cups.start(QStringLiteral(RDP_SOURCE_DIR "/tests/e2e/cups-test-server"),
               {path(QStringLiteral("cups")), QStringLiteral("测试打印机")});
    const bool ready = cups.waitForReadyRead(20000);
    if (!ready && cups.waitForFinished(5000) && cups.exitCode() == 77) {
        QSKIP("CUPS's server (cupsd) is not installed");
    }
    // The server goes with the case, also when it fails half-way.
    const auto stop = qScopeGuard([&] {
        cups.terminate();
        cups.waitForFinished(10000);
    });
    QVERIFY2(ready, cups.readAllStandardError().constData());
    // The one queue is offered, once; unchecked, no printer at all.
    for (const bool printers : {true, false}) {
        int n = 0;
        auto h = session({.printers = printers}, n);
        QVERIFY(h->waitFor(QStringLiteral("connected"), 20000));
        QVERIFY(QTest::qWaitFor(
            [&] { return peerFile(QStringLiteral("devices"), n).contains("drive"); }, 20000));
        const QByteArray devices = peerFile(QStringLiteral("devices"), n);
        QCOMPARE(devices.count("printer "), printers ? 1 : 0);
        QCOMPARE(devices.contains("printer PRN1\n"), printers);
        QCOMPARE(peerFile(QStringLiteral("printers"), n),
                 printers ? QStringLiteral("测试打印机\n").toUtf8() : QByteArray());
        h->rdp->Disconnect();
        QVERIFY(h->waitFor(QStringLiteral("disconnected"), 10000));
    }
}

// The readers of this computer's PC/SC service, as a program in the xrdp session lists them
// through the channel server's stand-in (in the session's home, named after its display).
void DeviceSession::cardReaderListedInAnXrdpSession() {
    QProcess pcscd;
    pcscd.start(QStringLiteral(RDP_SOURCE_DIR "/tests/e2e/pcscd-test-server"),
                {path(QStringLiteral("pcsc")), QString::number(port_ + 5)});
    if (pcscd.waitForFinished(1000) && pcscd.exitCode() == 77) {
        QSKIP("a private PC/SC service needs root, pcscd and vsmartcard-vpcd");
    }
    const auto stop = qScopeGuard([&] {
        pcscd.terminate();
        pcscd.waitForFinished(10000);
        qputenv("PCSCLITE_CSOCK_NAME", pcsc_.fullServerName().toUtf8());
    });
    const QString service = path(QStringLiteral("pcsc/run/pcscd.comm"));
    QVERIFY(QTest::qWaitFor([&] { return QFile::exists(service); }, 10000));
    qputenv("PCSCLITE_CSOCK_NAME", service.toUtf8());
    XrdpServer xrdp(port_ + 1);
    QVERIFY(xrdp.start(path(QStringLiteral("xrdp"))));
    int n = 0;
    auto h = session({.drives = false, .cards = true, .xrdp = &xrdp}, n);
    QVERIFY(h->waitFor(QStringLiteral("connected"), 30000));
    const QString standIn =
        QStringLiteral("/home/%1/.pcsc%2/pcscd.comm").arg(xrdp.user(), xrdp.display().mid(1));
    QByteArray readers;
    QVERIFY2(QTest::qWaitFor(
                 [&] {
                     // The lister reaches the test user on its standard input: the user
                     // may not be able to enter the checkout (a clone in a private home).
                     QProcess list;
                     list.setStandardInputFile(
                         QStringLiteral(RDP_SOURCE_DIR "/tests/e2e/xrdp-scard-readers"));
                     list.start(QStringLiteral("runuser"),
                                {QStringLiteral("-u"), xrdp.user(), QStringLiteral("--"),
                                 QStringLiteral("python3"), QStringLiteral("-"), standIn});
                     list.waitForFinished(30000);
                     readers = list.readAllStandardOutput() + list.readAllStandardError();
                     return readers.contains("Virtual PCD 00 00\n");
                 },
                 40000),
             readers.constData());
    h->rdp->Disconnect();
    QVERIFY(h->waitFor(QStringLiteral("disconnected"), 10000));
}

QTEST_MAIN(DeviceSession)
#include "tst_DeviceSession.moc"
