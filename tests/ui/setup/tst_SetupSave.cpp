// Saving and cancelling the setup window, and the life of its modal loop.
#include "SetupTestCase.h"

#include "tests/support/HeldLock.h"

#include <QCloseEvent>

using namespace setuptest;

class tst_SetupSave : public SetupTestCase {
    Q_OBJECT

private slots:

    // The password is kept exactly as typed; the user name loses its blanks only.
    void savePassword() {
        for (const bool keep : {false, true}) {
            RDP_ConnectParaItems& p = AddProfile(QStringLiteral("甲"), QStringLiteral("old"));
            p.setPassword(QStringLiteral("before"));
            p.setIsSavePassword(1);
            RDP_frmSetup w;
            w.FillLists();
            Text(w, "txtUserName")->setText(QStringLiteral("  alice\t "));
            Text(w, "txtPassword")->setText(QStringLiteral("  s3cret "));
            Check(w, "chkIsSavePassword")->setChecked(keep);
            QTest::mouseClick(Button(w, "cmdOk"), Qt::LeftButton);
            const QString expected = keep ? QStringLiteral("甲|alice\t|  s3cret |1|0|1|0|110111")
                                          : QStringLiteral("甲|alice\t||0|0|1|0|110111");
            QCOMPARE(Fields(p), expected);
            const auto back = Reload();
            QVERIFY(back && back->Count() == 1);
            QCOMPARE(Fields(back->Item(1)), expected);
            QVERIFY(env_->fake.messages.isEmpty());
            ResetConnectPara();
            QFile::remove(RDP_basClient::ConnectParaFilePath()); // a fresh start, not a second copy
        }
    }

    void saveWritesEveryOptionOfTheShownProfileOnly() {
        AddThree();
        gConnectPara().setSelectIndex(2);
        RDP_frmSetup w;
        w.FillLists();
        List(w, "cmbDesktopSize")->setCurrentIndex(4);
        List(w, "cmbColorDepth")->setCurrentIndex(0);
        List(w, "cmbAudioMode")->setCurrentIndex(2);
        for (const char* name : {"chkPrint", "chkPorts", "chkSmartCards", "chkBitmapPeristence",
                                 "chkCanAutoReconnect"}) {
            Check(w, name)->setChecked(false);
        }
        Check(w, "chkDrives")->setChecked(true);
        w.cmdOk_Click();
        const auto back = Reload();
        QVERIFY(back && back->Count() == 3);
        QCOMPARE(back->SelectIndex(), 2);
        QCOMPARE(Fields(back->Item(2)), QStringLiteral("乙|u2||0|4|0|2|001000"));
        // The others keep their stored values (the defaults).
        QCOMPARE(Fields(back->Item(1)), QStringLiteral("甲|u1||0|0|1|0|110111"));
        QCOMPARE(Fields(back->Item(3)), QStringLiteral("丙|u3||0|0|1|0|110111"));
    }

    void saveResetsFullScreenAndSize() {
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
        QVERIFY(StoreExists());
    }

    void saveKeepsCodesTheListDoesNotOffer() {
        RDP_ConnectParaItems& first = AddProfile(QStringLiteral("甲"));
        first.setColorDepth(3);
        first.setDesktopSize(7);
        first.setAudioMode(9);
        AddProfile(QStringLiteral("乙")).setColorDepth(4);
        gConnectPara().setSelectIndex(1);
        RDP_frmSetup w;
        w.FillLists();
        List(w, "cmbAudioMode")->setCurrentIndex(1); // picked: written
        w.cmdOk_Click();
        QCOMPARE(Fields(first), QStringLiteral("甲|||0|7|3|1|110111"));
        const auto back = Reload();
        QVERIFY(back);
        QCOMPARE(Fields(back->Item(1)), Fields(first));
        QCOMPARE(back->Item(2).ColorDepth(), 4.0f);
    }

    void saveWithNoProfilesWritesNothing() {
        RDP_frmSetup w;
        QVERIFY(RunInit(w, [&w] { QTest::mouseClick(Button(w, "cmdOk"), Qt::LeftButton); }));
        QVERIFY(!w.isVisible());
        QVERIFY(!StoreExists());
        QVERIFY(env_->fake.messages.isEmpty());
    }

    // A selection that no longer names a profile makes the write fail: the error's
    // description is shown and the window stays open.
    void saveErrorIsShownAndTheWindowStays() {
        AddProfile(QStringLiteral("甲"));
        RDP_frmSetup w;
        QVERIFY(RunInit(w, [&w, this] {
            gConnectPara().setSelectIndex(5);
            w.cmdOk_Click();
            QVERIFY(w.isVisible() && w.IsRunning());
            QCOMPARE(env_->fake.messages.size(), 1);
            const auto& m = env_->fake.messages.front();
            QCOMPARE(m.text, QStringLiteral("下标越界"));
            QCOMPARE(m.style, 48);
            QCOMPARE(m.title, QStringLiteral("连接"));
            QCOMPARE(m.owner, &w);
            QCOMPARE(env_->fake.beeps, 1);
            w.cmdCancel_Click();
        }));
        QVERIFY(!StoreExists());
    }

    // The store reports its own failure once; the window stays open with the edits, for
    // another try or 取消.
    void failedStoreWriteKeepsTheWindowOpen() {
        AddProfile(QStringLiteral("甲"), QStringLiteral("u1"));
        SaveReadOnlyStore();
        RDP_frmSetup w;
        QVERIFY(RunInit(w, [&w, this] {
            Text(w, "txtUserName")->setText(QStringLiteral("u2"));
            QTest::mouseClick(Button(w, "cmdOk"), Qt::LeftButton);
            QVERIFY(w.isVisible() && w.IsRunning());
            QCOMPARE(Text(w, "txtUserName")->text(), QStringLiteral("u2"));
            QCOMPARE(env_->fake.messages.size(), 1); // the store's own message, once
            QTest::mouseClick(Button(w, "cmdCancel"), Qt::LeftButton);
        }));
        const auto back = Reload();
        QVERIFY(back);
        QCOMPARE(back->Item(1).UserName(), QStringLiteral("u1"));
    }

    // Another copy holds the store's lock: after a few seconds the user is asked, and giving up
    // leaves the store as it was and the window open with the edits.
    void givingUpOnTheLockKeepsTheWindowOpen() {
        AddProfile(QStringLiteral("甲"), QStringLiteral("u1"));
        QVERIFY(RDP_basClient::SaveConnectPara(gConnectPara()).ok());
        const rdp::test::HeldLock held(RDP_basClient::ConnectParaFilePath());
        RDP_frmSetup w;
        QVERIFY(RunInit(w, [&w, this] {
            Text(w, "txtUserName")->setText(QStringLiteral("u2"));
            env_->fake.answerNext(rdp::MsgResult::No);
            QTest::mouseClick(Button(w, "cmdOk"), Qt::LeftButton);
            QVERIFY(w.isVisible() && w.IsRunning());
            QCOMPARE(Text(w, "txtUserName")->text(), QStringLiteral("u2"));
            QCOMPARE(env_->fake.messages.size(), 1);
            QCOMPARE(env_->fake.messages[0].style, rdp::MsgStyle::ExclamationYesNo);
            QCOMPARE(env_->fake.messages[0].owner, &w);
            QTest::mouseClick(Button(w, "cmdCancel"), Qt::LeftButton);
        }));
        QCOMPARE(Reload()->Item(1).UserName(), QStringLiteral("u1"));
    }

    void cancelKeepsTheChosenSelectionUnsaved() {
        AddThree();
        gConnectPara().setSelectIndex(1);
        RDP_frmSetup w;
        QVERIFY(RunInit(w, [&w] {
            QComboBox* client = List(w, "cmbClient");
            QTRY_COMPARE(QApplication::focusWidget(), client);
            QTest::keyClick(client, Qt::Key_Down);
            Text(w, "txtUserName")->setText(QStringLiteral("edited"));
            QTest::mouseClick(Button(w, "cmdCancel"), Qt::LeftButton);
        }));
        QCOMPARE(gConnectPara().SelectIndex(), 2);
        QCOMPARE(gConnectPara().Item(2).UserName(), QStringLiteral("u2"));
        QVERIFY(!StoreExists());
    }

    // Neither Escape nor Enter ends the window; saving, cancelling and the title bar do.
    void initReturnsOnlyWhenClosed() {
        AddProfile(QStringLiteral("甲"));
        for (const QByteArray how : {"cancel", "close", "save"}) {
            RDP_frmSetup w;
            int stepsRun = 0;
            QVERIFY(RunInit(w, [&] {
                QTest::keyClick(&w, Qt::Key_Escape);
                for (const char* name : {"cmbClient", "txtUserName", "cmdOk"}) {
                    auto* control = Child<QWidget>(w, name);
                    control->setFocus();
                    QTest::keyClick(control, Qt::Key_Escape);
                    QTest::keyClick(control, Qt::Key_Return);
                    QCoreApplication::processEvents();
                }
                QVERIFY(w.isVisible() && w.IsRunning());
                ++stepsRun;
                if (how == "save") {
                    QTest::mouseClick(Button(w, "cmdOk"), Qt::LeftButton);
                } else if (how == "close") {
                    w.close();
                } else {
                    QTest::mouseClick(Button(w, "cmdCancel"), Qt::LeftButton);
                }
                ++stepsRun;
            }));
            QCOMPARE(stepsRun, 2);
            QVERIFY(!w.IsRunning() && !w.isVisible());
            QVERIFY2(StoreExists() == (how == "save"), how.constData()); // only the save writes
        }
    }
};

QTEST_MAIN(tst_SetupSave)
#include "tst_SetupSave.moc"
