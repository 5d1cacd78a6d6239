// Saving and cancelling the setup window, and the life of its modal loop.
#include "SetupTestSupport.h"

#include <QCloseEvent>
#include <QFile>

using namespace setuptest;

class tst_SetupSave : public QObject {
    Q_OBJECT

private slots:
    void init() { env_ = std::make_unique<Env>(); }
    void cleanup() { env_.reset(); }

    void savePassword_data();
    void savePassword();
    void saveWritesEveryOptionOfTheShownProfileOnly();
    void saveResetsFullScreenAndSize();
    void saveKeepsCodesTheListDoesNotOffer();
    void saveWithNoProfilesWritesNothing();
    void saveErrorIsShownAndTheWindowStays();
    void failedStoreWriteStillClosesTheWindow();
    void cancelKeepsTheChosenSelectionUnsaved();
    void initReturnsOnlyWhenClosed_data();
    void initReturnsOnlyWhenClosed();

private:
    std::unique_ptr<Env> env_;
};

void tst_SetupSave::savePassword_data() {
    QTest::addColumn<bool>("keep");
    QTest::addColumn<QString>("stored");
    QTest::newRow("box unchecked") << false << QString();
    QTest::newRow("box checked") << true << QStringLiteral("s3cret");
}

void tst_SetupSave::savePassword() {
    QFETCH(bool, keep);
    QFETCH(QString, stored);
    RDP_ConnectParaItems& p = AddProfile(QStringLiteral("甲"), QStringLiteral("old"));
    p.setPassword(QStringLiteral("before"));
    p.setIsSavePassword(1);
    RDP_frmSetup w;
    w.FillLists();
    Text(w, "txtUserName")->setText(QStringLiteral("  alice  "));
    Text(w, "txtPassword")->setText(QStringLiteral("  s3cret "));
    Check(w, "chkIsSavePassword")->setChecked(keep);
    QTest::mouseClick(Button(w, "cmdOk"), Qt::LeftButton);

    QCOMPARE(p.UserName(), QStringLiteral("alice"));
    QCOMPARE(p.Password(), stored);
    QCOMPARE(p.IsSavePassword(), std::uint8_t(keep ? 1 : 0));
    const auto back = Reload();
    QVERIFY(back);
    QCOMPARE(back->Count(), 1);
    QCOMPARE(back->Item(1).UserName(), QStringLiteral("alice"));
    QCOMPARE(back->Item(1).Password(), stored);
    QCOMPARE(back->Item(1).IsSavePassword(), std::uint8_t(keep ? 1 : 0));
    QVERIFY(env_->fake.messages.isEmpty());
}

void tst_SetupSave::saveWritesEveryOptionOfTheShownProfileOnly() {
    AddProfile(QStringLiteral("甲"), QStringLiteral("u1"));
    AddProfile(QStringLiteral("乙"), QStringLiteral("u2"));
    AddProfile(QStringLiteral("丙"), QStringLiteral("u3"));
    gConnectPara().setSelectIndex(2);
    RDP_frmSetup w;
    w.FillLists();
    List(w, "cmbDesktopSize")->setCurrentIndex(4);
    List(w, "cmbColorDepth")->setCurrentIndex(0);
    List(w, "cmbAudioMode")->setCurrentIndex(2);
    for (const char* name :
         {"chkPrint", "chkPorts", "chkSmartCards", "chkBitmapPeristence", "chkCanAutoReconnect"}) {
        Check(w, name)->setChecked(false);
    }
    Check(w, "chkDrives")->setChecked(true);
    w.cmdOk_Click();

    const auto back = Reload();
    QVERIFY(back);
    QCOMPARE(back->Count(), 3);
    QCOMPARE(back->SelectIndex(), 2);
    const RDP_ConnectParaItems& p = back->Item(2);
    QCOMPARE(p.ConnectName(), QStringLiteral("乙"));
    QCOMPARE(p.UserName(), QStringLiteral("u2"));
    QCOMPARE(p.DesktopSize(), 4.0f);
    QCOMPARE(p.ColorDepth(), 0.0f);
    QCOMPARE(p.AudioMode(), 2.0f);
    QCOMPARE(p.RedirectPrint(), std::uint8_t(0));
    QCOMPARE(p.RedirectPorts(), std::uint8_t(0));
    QCOMPARE(p.RedirectDrives(), std::uint8_t(1));
    QCOMPARE(p.SmartCards(), std::uint8_t(0));
    QCOMPARE(p.BitmapPeristence(), std::uint8_t(0));
    QCOMPARE(p.CanAutoReconnect(), std::uint8_t(0));
    // The others keep their stored values (the defaults).
    for (int i : {1, 3}) {
        QCOMPARE(back->Item(i).DesktopSize(), 0.0f);
        QCOMPARE(back->Item(i).ColorDepth(), 1.0f);
        QCOMPARE(back->Item(i).RedirectPrint(), std::uint8_t(1));
        QCOMPARE(back->Item(i).RedirectDrives(), std::uint8_t(0));
    }
    QCOMPARE(back->Item(3).ConnectName(), QStringLiteral("丙"));
}

void tst_SetupSave::saveResetsFullScreenAndSize() {
    RDP_ConnectParaItems& p = AddProfile(QStringLiteral("甲"));
    p.setFullScreen(1);
    p.setWidth(1024);
    p.setHeight(768);
    RDP_frmSetup w;
    w.FillLists();
    w.cmdOk_Click(); // no control touched
    QCOMPARE(p.FullScreen(), std::uint8_t(0));
    QCOMPARE(p.Width(), 0.0f);
    QCOMPARE(p.Height(), 0.0f);
    QVERIFY(QFile::exists(RDP_basClient::ConnectParaFilePath()));
}

void tst_SetupSave::saveKeepsCodesTheListDoesNotOffer() {
    RDP_ConnectParaItems& first = AddProfile(QStringLiteral("甲"));
    first.setColorDepth(3);
    first.setDesktopSize(7);
    first.setAudioMode(9);
    RDP_ConnectParaItems& second = AddProfile(QStringLiteral("乙"));
    second.setColorDepth(4);
    gConnectPara().setSelectIndex(1);
    RDP_frmSetup w;
    w.FillLists();
    List(w, "cmbAudioMode")->setCurrentIndex(1); // picked: written
    w.cmdOk_Click();
    QCOMPARE(first.ColorDepth(), 3.0f);
    QCOMPARE(first.DesktopSize(), 7.0f);
    QCOMPARE(first.AudioMode(), 1.0f);
    const auto back = Reload();
    QVERIFY(back);
    QCOMPARE(back->Item(1).ColorDepth(), 3.0f);
    QCOMPARE(back->Item(1).DesktopSize(), 7.0f);
    QCOMPARE(back->Item(1).AudioMode(), 1.0f);
    QCOMPARE(back->Item(2).ColorDepth(), 4.0f);
}

void tst_SetupSave::saveWithNoProfilesWritesNothing() {
    RDP_frmSetup w;
    bool done = RunInit(w, [&w] {
        QVERIFY(w.isVisible());
        QTest::mouseClick(Button(w, "cmdOk"), Qt::LeftButton);
    });
    QVERIFY(done);
    QVERIFY(!w.isVisible());
    QVERIFY(!QFile::exists(RDP_basClient::ConnectParaFilePath()));
    QVERIFY(env_->fake.messages.isEmpty());
}

// A selection that no longer names a profile makes the write fail: the error's description is
// shown and the window stays open.
void tst_SetupSave::saveErrorIsShownAndTheWindowStays() {
    AddProfile(QStringLiteral("甲"));
    RDP_frmSetup w;
    bool done = RunInit(w, [&w, this] {
        gConnectPara().setSelectIndex(5);
        w.cmdOk_Click();
        QVERIFY(w.isVisible());
        QVERIFY(w.IsRunning());
        QCOMPARE(env_->fake.messages.size(), 1);
        const auto& m = env_->fake.messages.front();
        QCOMPARE(m.text, QStringLiteral("下标越界"));
        QCOMPARE(m.style, 48);
        QCOMPARE(m.title, QStringLiteral("连接"));
        QCOMPARE(m.owner, &w);
        QCOMPARE(env_->fake.beeps, 1);
        w.cmdCancel_Click();
    });
    QVERIFY(done);
    QVERIFY(!QFile::exists(RDP_basClient::ConnectParaFilePath()));
}

// The store reports its own failure; saving closes the window all the same.
void tst_SetupSave::failedStoreWriteStillClosesTheWindow() {
    AddProfile(QStringLiteral("甲"), QStringLiteral("u1"));
    SaveReadOnlyStore();
    RDP_frmSetup w;
    bool done = RunInit(w, [&w] {
        Text(w, "txtUserName")->setText(QStringLiteral("u2"));
        QTest::mouseClick(Button(w, "cmdOk"), Qt::LeftButton);
    });
    QVERIFY(done);
    QVERIFY(!w.isVisible());
    QCOMPARE(env_->fake.messages.size(), 1); // the store's own message, once
    QCOMPARE(gConnectPara().Item(1).UserName(), QStringLiteral("u2"));
    const auto back = Reload();
    QVERIFY(back);
    QCOMPARE(back->Item(1).UserName(), QStringLiteral("u1"));
}

void tst_SetupSave::cancelKeepsTheChosenSelectionUnsaved() {
    AddProfile(QStringLiteral("甲"), QStringLiteral("u1"));
    AddProfile(QStringLiteral("乙"), QStringLiteral("u2"));
    gConnectPara().setSelectIndex(1);
    RDP_frmSetup w;
    bool done = RunInit(w, [&w] {
        QComboBox* client = List(w, "cmbClient");
        QTRY_COMPARE(QApplication::focusWidget(), client);
        QTest::keyClick(client, Qt::Key_Down);
        Text(w, "txtUserName")->setText(QStringLiteral("edited"));
        QTest::mouseClick(Button(w, "cmdCancel"), Qt::LeftButton);
    });
    QVERIFY(done);
    QCOMPARE(gConnectPara().SelectIndex(), 2);
    QCOMPARE(gConnectPara().Item(2).UserName(), QStringLiteral("u2"));
    QVERIFY(!QFile::exists(RDP_basClient::ConnectParaFilePath()));
}

void tst_SetupSave::initReturnsOnlyWhenClosed_data() {
    QTest::addColumn<QString>("how");
    QTest::newRow("save") << QStringLiteral("save");
    QTest::newRow("cancel") << QStringLiteral("cancel");
    QTest::newRow("title bar") << QStringLiteral("close");
}

void tst_SetupSave::initReturnsOnlyWhenClosed() {
    QFETCH(QString, how);
    AddProfile(QStringLiteral("甲"));
    RDP_frmSetup w;
    int stepsRun = 0;
    bool done = RunInit(w, [&] {
        // Neither Escape nor Enter ends the window.
        QTest::keyClick(&w, Qt::Key_Escape);
        for (const char* name : {"cmbClient", "txtUserName", "cmdOk"}) {
            auto* control = Child<QWidget>(w, name);
            control->setFocus();
            QTest::keyClick(control, Qt::Key_Escape);
            QTest::keyClick(control, Qt::Key_Return);
            QCoreApplication::processEvents();
        }
        QVERIFY(w.isVisible());
        QVERIFY(w.IsRunning());
        ++stepsRun;
        if (how == QStringLiteral("save")) {
            QTest::mouseClick(Button(w, "cmdOk"), Qt::LeftButton);
        } else if (how == QStringLiteral("cancel")) {
            QTest::mouseClick(Button(w, "cmdCancel"), Qt::LeftButton);
        } else {
            w.close();
        }
        ++stepsRun;
    });
    QVERIFY(done);
    QCOMPARE(stepsRun, 2);
    QVERIFY(!w.IsRunning());
    QVERIFY(!w.isVisible());
    QCOMPARE(QFile::exists(RDP_basClient::ConnectParaFilePath()), how == QStringLiteral("save"));
}

QTEST_MAIN(tst_SetupSave)
#include "tst_SetupSave.moc"
