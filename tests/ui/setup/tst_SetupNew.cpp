// New connections: the dialog's checks and the setup window around it.
#include "SetupTestSupport.h"

#include "ui/setup/NewConnectionDialog.h"

#include <QFile>

using namespace setuptest;

namespace {

void Fill(NewConnectionDialog* d, const QString& name, const QString& server, const QString& port) {
    Text(*d, "txtConnectName")->setText(name);
    Text(*d, "txtServer")->setText(server);
    Text(*d, "txtPort")->setText(port);
}

void Confirm(NewConnectionDialog* d) {
    QTest::mouseClick(Button(*d, "cmdOk"), Qt::LeftButton);
}

} // namespace

class tst_SetupNew : public QObject {
    Q_OBJECT

private slots:
    void init() { env_ = std::make_unique<Env>(); }
    void cleanup() { env_.reset(); }

    void dialogStartsWithThePort();
    void dialogRefuses_data();
    void dialogRefuses();
    void dialogAcceptsAndTrims_data();
    void dialogAcceptsAndTrims();
    void newConnectionThroughTheWindow();
    void newConnectionOnAnEmptyList();
    void refusedThenCancelledAddsNothing();

private:
    std::unique_ptr<Env> env_;
};

void tst_SetupNew::dialogStartsWithThePort() {
    NewConnectionDialog d(gConnectPara());
    QCOMPARE(Text(d, "txtPort")->text(), QStringLiteral("3389"));
    QVERIFY(Text(d, "txtConnectName")->text().isEmpty());
    QVERIFY(Text(d, "txtServer")->text().isEmpty());
    QCOMPARE(Button(d, "cmdOk")->text(), QStringLiteral("确定"));
    QCOMPARE(Button(d, "cmdCancel")->text(), QStringLiteral("取消"));
}

void tst_SetupNew::dialogRefuses_data() {
    QTest::addColumn<QString>("name");
    QTest::addColumn<QString>("server");
    QTest::addColumn<QString>("port");
    QTest::addColumn<QString>("message");
    const QString needName = QStringLiteral("连接名称必须输入。");
    const QString needServer = QStringLiteral("服务器地址必须输入。");
    const QString badPort = QStringLiteral("端口必须是 1 到 65535 之间的整数。");
    const QString h = QStringLiteral("host");
    QTest::newRow("empty name") << QString() << h << QStringLiteral("3389") << needName;
    QTest::newRow("name of blanks")
        << QStringLiteral("   ") << h << QStringLiteral("3389") << needName;
    QTest::newRow("same name other case")
        << QStringLiteral(" office ") << h << QStringLiteral("3389")
        << QStringLiteral("\"office\"已存在，请重新输入连接名称。");
    QTest::newRow("same Chinese name") << QStringLiteral("总部") << h << QStringLiteral("3389")
                                       << QStringLiteral("\"总部\"已存在，请重新输入连接名称。");
    QTest::newRow("empty server") << QStringLiteral("new") << QStringLiteral("  ")
                                  << QStringLiteral("3389") << needServer;
    QTest::newRow("port 0") << QStringLiteral("new") << h << QStringLiteral("0") << badPort;
    QTest::newRow("port 65536") << QStringLiteral("new") << h << QStringLiteral("65536") << badPort;
    QTest::newRow("port empty") << QStringLiteral("new") << h << QString() << badPort;
    QTest::newRow("port negative") << QStringLiteral("new") << h << QStringLiteral("-1") << badPort;
    QTest::newRow("port with sign")
        << QStringLiteral("new") << h << QStringLiteral("+80") << badPort;
    QTest::newRow("port not a number")
        << QStringLiteral("new") << h << QStringLiteral("rdp") << badPort;
    QTest::newRow("port with a fraction")
        << QStringLiteral("new") << h << QStringLiteral("80.5") << badPort;
    QTest::newRow("port too long")
        << QStringLiteral("new") << h << QStringLiteral("0000080") << badPort;
}

void tst_SetupNew::dialogRefuses() {
    QFETCH(QString, name);
    QFETCH(QString, server);
    QFETCH(QString, port);
    QFETCH(QString, message);
    AddProfile(QStringLiteral("Office"));
    AddProfile(QStringLiteral("总部"));
    NewConnectionDialog d(gConnectPara());
    d.show();
    Fill(&d, name, server, port);
    Confirm(&d);
    QVERIFY(d.isVisible()); // stays open
    QCOMPARE(d.result(), int(QDialog::Rejected));
    QCOMPARE(env_->fake.messages.size(), 1);
    const auto& m = env_->fake.messages.front();
    QCOMPARE(m.text, message);
    QCOMPARE(m.style, 64);
    QCOMPARE(m.title, QStringLiteral("连接"));
    QCOMPARE(m.owner, &d);
    QCOMPARE(gConnectPara().Count(), 2);
}

void tst_SetupNew::dialogAcceptsAndTrims_data() {
    QTest::addColumn<QString>("port");
    QTest::newRow("1") << QStringLiteral("1");
    QTest::newRow("65535") << QStringLiteral("65535");
    QTest::newRow("padded") << QStringLiteral(" 3390 ");
}

void tst_SetupNew::dialogAcceptsAndTrims() {
    QFETCH(QString, port);
    AddProfile(QStringLiteral("Office"));
    NewConnectionDialog d(gConnectPara());
    d.show();
    Fill(&d, QStringLiteral("  分部 "), QStringLiteral(" 10.0.0.5 "), port);
    Confirm(&d);
    QVERIFY(!d.isVisible());
    QCOMPARE(d.result(), int(QDialog::Accepted));
    QVERIFY(env_->fake.messages.isEmpty());
    QCOMPARE(d.ConnectName(), QStringLiteral("分部"));
    QCOMPARE(d.Server(), QStringLiteral("10.0.0.5"));
    QCOMPARE(d.Port(), port.trimmed());
    QCOMPARE(gConnectPara().Count(), 1); // the dialog itself adds nothing
}

// The window hides for the dialog, shows again with the new profile selected, and its modal
// loop runs on until it is closed.
void tst_SetupNew::newConnectionThroughTheWindow() {
    AddProfile(QStringLiteral("甲"), QStringLiteral("u1")).setColorDepth(0);
    RDP_frmSetup w;
    bool hiddenDuringDialog = false;
    bool shownAgain = false;
    bool stillRunning = false;
    bool done = RunInit(w, [&] {
        WhenShown<NewConnectionDialog>([&](NewConnectionDialog* d) {
            hiddenDuringDialog = !w.isVisible();
            Fill(d, QStringLiteral("乙"), QStringLiteral("srv2"), QStringLiteral("3390"));
            Confirm(d);
        });
        QTest::mouseClick(Button(w, "cmdNew"), Qt::LeftButton); // returns after the dialog
        QTimer::singleShot(0, &w, [&] {
            shownAgain = w.isVisible() && w.isModal();
            stillRunning = w.IsRunning();
            QCOMPARE(List(w, "cmbClient")->count(), 2);
            QCOMPARE(List(w, "cmbClient")->currentText(), QStringLiteral("乙"));
            QCOMPARE(List(w, "cmbColorDepth")->currentIndex(), 1); // the new one's default
            w.cmdCancel_Click();
        });
    });
    QVERIFY(done);
    QVERIFY(hiddenDuringDialog);
    QVERIFY(shownAgain);
    QVERIFY(stillRunning);
    QCOMPARE(gConnectPara().SelectIndex(), 2);
    const RDP_ConnectParaItems& added = gConnectPara().Item(2);
    QCOMPARE(added.Server(), QStringLiteral("srv2"));
    QCOMPARE(added.Port(), QStringLiteral("3390"));

    const auto back = Reload();
    QVERIFY(back);
    QCOMPARE(back->Count(), 2);
    QCOMPARE(back->SelectIndex(), 2);
    QCOMPARE(back->Item(2).ConnectName(), QStringLiteral("乙"));
    QCOMPARE(back->Item(2).Server(), QStringLiteral("srv2"));
    QCOMPARE(back->Item(2).Port(), QStringLiteral("3390"));
    QCOMPARE(back->Item(1).ColorDepth(), 0.0f);
}

void tst_SetupNew::newConnectionOnAnEmptyList() {
    RDP_frmSetup w;
    w.FillLists();
    WhenShown<NewConnectionDialog>([](NewConnectionDialog* d) {
        Fill(d, QStringLiteral("办公室"), QStringLiteral("host"), QStringLiteral("3389"));
        Confirm(d);
    });
    w.cmdNew_Click();
    QCOMPARE(gConnectPara().Count(), 1);
    QCOMPARE(gConnectPara().SelectIndex(), 1);
    QCOMPARE(List(w, "cmbClient")->currentText(), QStringLiteral("办公室"));

    const auto back = Reload();
    QVERIFY(back);
    QCOMPARE(back->Count(), 1);
    QCOMPARE(back->SelectIndex(), 1);
    const RDP_ConnectParaItems& p = back->Item(1);
    QCOMPARE(p.ConnectName(), QStringLiteral("办公室"));
    QVERIFY(p.UserName().isEmpty());
    QCOMPARE(p.IsSavePassword(), std::uint8_t(0));
    QCOMPARE(p.DesktopSize(), 0.0f);
    QCOMPARE(p.ColorDepth(), 1.0f);
    QCOMPARE(p.AudioMode(), 0.0f);
    QCOMPARE(p.RedirectPrint(), std::uint8_t(1));
    QCOMPARE(p.RedirectDrives(), std::uint8_t(0));
    QCOMPARE(p.RedirectPorts(), std::uint8_t(1));
    QCOMPARE(p.SmartCards(), std::uint8_t(1));
    QCOMPARE(p.BitmapPeristence(), std::uint8_t(1));
    QCOMPARE(p.CanAutoReconnect(), std::uint8_t(1));
    w.cmdCancel_Click();
}

void tst_SetupNew::refusedThenCancelledAddsNothing() {
    AddProfile(QStringLiteral("Office"));
    RDP_frmSetup w;
    w.FillLists();
    WhenShown<NewConnectionDialog>([](NewConnectionDialog* d) {
        Fill(d, QStringLiteral("OFFICE"), QStringLiteral("host"), QStringLiteral("3389"));
        Confirm(d);
        QVERIFY(d->isVisible());
        QTest::mouseClick(Button(*d, "cmdCancel"), Qt::LeftButton);
    });
    w.cmdNew_Click();
    QVERIFY(w.isVisible()); // shown again after a cancelled dialog too
    QCOMPARE(env_->fake.messages.size(), 1);
    QCOMPARE(gConnectPara().Count(), 1);
    QCOMPARE(List(w, "cmbClient")->count(), 1);
    QVERIFY(!QFile::exists(RDP_basClient::ConnectParaFilePath()));
    w.cmdCancel_Click();
}

QTEST_MAIN(tst_SetupNew)
#include "tst_SetupNew.moc"
