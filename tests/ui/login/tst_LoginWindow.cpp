// The login window: the list and its selection, the confirmation, the keys and the chrome.
#include "app/Handover.h"
#include "profiles/ConnectParaStore.h"
#include "profiles/RDP_ConnectPara.h"
#include "session/DesktopWindow.h"
#include "session/RdpControlFactory.h"
#include "tests/support/HeldLock.h"
#include "tests/support/ProgramCase.h"
#include "ui/login/ImageBox.h"
#include "ui/login/RDP_frmLogin.h"
#include "ui/setup/RDP_frmSetup.h"

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

RDP_ConnectParaItems& AddProfile(const QString& name, const QString& user,
                                 const QString& password) {
    RDP_ConnectPara& list = gConnectPara();
    list.Add(name, name + QStringLiteral(".lan"), QStringLiteral("3389"), {}, {}, 0, 0, 0);
    RDP_ConnectParaItems& p = list.SetDefault(list.Count());
    p.setUserName(user);
    p.setPassword(password);
    p.setIsSavePassword(password.isEmpty() ? 0 : 1);
    return p;
}

} // namespace

class LoginWindowTest : public rdp::test::ProgramCase {
    Q_OBJECT

    RDP_frmLogin& openWith(int profiles, int selectIndex) {
        for (int i = 1; i <= profiles; ++i) {
            AddProfile(QStringLiteral("连接%1").arg(i), QStringLiteral("user%1").arg(i),
                       QStringLiteral("pw%1").arg(i));
        }
        gConnectPara().setSelectIndex(selectIndex);
        gConnectPara().setSelectIndexOld(selectIndex);
        RDP_frmLogin& w = frmLogin();
        w.setHandover(&RDP_basClient::ProgramHandover());
        w.Init();
        return w;
    }
    static void activate(RDP_frmLogin& w) {
        QApplication::setActiveWindow(&w);
        QVERIFY(QTest::qWaitForWindowActive(&w));
        w.txtUserName->setFocus();
    }
    int storeSaves() const { return QFile::exists(RDP_basClient::ConnectParaFilePath()) ? 1 : 0; }

private slots:
    void init() { openCase(); }
    void cleanup() { closeCase(); }

    void layoutFollowsTheTwipsTable() {
        RDP_frmLogin& w = openWith(1, 1);
        QCOMPARE(w.size(), QSize(425, 224)); // 6375 x 3360 twips at 15 twips per pixel
        QVERIFY(w.windowFlags().testFlag(Qt::FramelessWindowHint));
        QCOMPARE(w.cmdOk->geometry(), QRect(168, 190, 83, 27));
        QCOMPARE(w.txtUserName->pos(), QPoint(154, 100));
        QCOMPARE(w.cmdSetup->text(), QStringLiteral("设置  >>"));
        QCOMPARE(w.lblVersion->toolTip(), QStringLiteral("版本：1.0.0"));
        QVERIFY(!w.lbl->isVisible());
        // A Chinese caption is never clipped: the label grows, keeping its place.
        QCOMPARE(w.lblTitle->pos(), QPoint(36, 12));
        QVERIFY(w.lblTitle->width() >= w.lblTitle->sizeHint().width());
        QCOMPARE(w.txtPassword->echoMode(), QLineEdit::Password);
        w.txtPassword->setText(QStringLiteral("pw"));
        QCOMPARE(w.txtPassword->displayText(), QStringLiteral("**")); // not the style's dots
        // The version is there to read, not only in the tooltip.
        QCOMPARE(w.lblVersion->text(), w.lblVersion->toolTip());
        QVERIFY(w.lblVersion->width() >= w.lblVersion->sizeHint().width());
        QCOMPARE(w.focusWidget(), w.txtUserName);
    }

    void noProfileAsksAndYesOpensTheSetupWindow() {
        fake_->answerNext(rdp::MsgResult::Yes);
        bool setupShown = false;
        QTimer::singleShot(0, this, [&] {
            for (QWidget* t : QApplication::topLevelWidgets()) {
                if (auto* s = qobject_cast<RDP_frmSetup*>(t); s && s->isVisible()) {
                    setupShown = true;
                    QVERIFY(!frmLogin().isVisible());
                    s->cmdCancel_Click();
                }
            }
        });
        RDP_frmLogin& w = openWith(0, 0);
        QCOMPARE(fake_->messages.size(), 1);
        QCOMPARE(
            fake_->messages[0].text,
            QStringLiteral("如果您是第一次使用，请先设置新的连接。\n\n您现在需要新建连接吗？"));
        QCOMPARE(fake_->messages[0].style, 52);
        QVERIFY(setupShown);
        QVERIFY(w.isVisible());
        QVERIFY(!w.cmbClient->isVisible());
        QVERIFY(w.txtUserName->text().isEmpty());
        QCOMPARE(w.focusWidget(), w.txtPassword);
    }

    // The setup button (which took the focus when clicked) opens the setup window; saved or
    // cancelled, the keyboard comes back to the password box.
    void theKeyboardIsBackInThePasswordBoxAfterTheSetupWindow() {
        RDP_frmLogin& w = openWith(2, 1);
        activate(w);
        for (const bool save : {false, true}) {
            w.cmdSetup->setFocus();
            QTimer::singleShot(0, this, [save] {
                for (QWidget* t : QApplication::topLevelWidgets()) {
                    if (auto* s = qobject_cast<RDP_frmSetup*>(t); s && s->isVisible()) {
                        save ? s->cmdOk_Click() : s->cmdCancel_Click();
                    }
                }
            });
            w.cmdSetup_Click();
            QCOMPARE(w.focusWidget(), w.txtPassword);
            QTRY_COMPARE(QApplication::focusWidget(), w.txtPassword);
        }
    }

    // A desktop that sets a dark palette and a 14 pt font once the program runs (as a
    // platform theme does): the captions keep their dark ink on the window's light artwork and
    // their designed font, and every caption fits its label.
    void aDesktopsPaletteAndFontLeaveTheWindowAsDesigned() {
        RDP_frmLogin& w = openWith(2, 1);
        const QPalette appPalette = QApplication::palette();
        const QFont appFont = QApplication::font();
        QPalette dark = appPalette;
        dark.setColor(QPalette::Window, QColor(0x30, 0x30, 0x30));
        dark.setColor(QPalette::WindowText, Qt::white);
        dark.setColor(QPalette::Base, QColor(0x20, 0x20, 0x20));
        QApplication::setPalette(dark);
        QFont large = appFont;
        large.setPointSize(14);
        QApplication::setFont(large);
        QCoreApplication::processEvents(); // the change reaches the widgets
        for (QLabel* caption : {w.lblClient, w.lblUserName, w.lblPassword}) {
            QVERIFY(caption->palette().color(QPalette::WindowText).lightness() < 80);
            QCOMPARE(caption->font().pointSize(), 9);
            QVERIFY(caption->width() >= caption->sizeHint().width());
            QVERIFY(caption->height() >= caption->sizeHint().height());
        }
        QVERIFY(w.cmdSetup->fontMetrics().horizontalAdvance(w.cmdSetup->text()) <
                w.cmdSetup->width() - 8);
        QApplication::setPalette(appPalette);
        QApplication::setFont(appFont);
    }

    void oneProfileIsUsedWithoutAChoice() {
        RDP_frmLogin& w = openWith(1, 1);
        QVERIFY(!w.cmbClient->isVisible());
        QVERIFY(!w.lblClient->isVisible());
        QCOMPARE(w.txtUserName->text(), QStringLiteral("user1"));
        QCOMPARE(w.txtPassword->text(), QStringLiteral("pw1"));
        QVERIFY(fake_->messages.isEmpty());
    }

    void storedSelectionOutOfRangeSelectsTheFirst() {
        for (const auto& [stored, selected] : {std::pair{0, 1}, {5, 1}, {2, 2}}) {
            cleanup();
            init();
            RDP_frmLogin& w = openWith(3, stored);
            QVERIFY(w.cmbClient->isVisible());
            QCOMPARE(w.cmbClient->count(), 3);
            QCOMPARE(gConnectPara().SelectIndex(), selected);
            QCOMPARE(w.txtUserName->text(), QStringLiteral("user%1").arg(selected));
        }
    }

    void choosingAProfileReplacesWhatWasTyped() {
        RDP_frmLogin& w = openWith(3, 1);
        gConnectPara().Item(3).setPassword(QString());
        w.txtPassword->setText(QStringLiteral("typed"));
        w.cmbClient->setCurrentIndex(2);
        emit w.cmbClient->activated(2);
        QCOMPARE(gConnectPara().SelectIndex(), 3);
        QCOMPARE(w.txtUserName->text(), QStringLiteral("user3"));
        QVERIFY(w.txtPassword->text().isEmpty());
    }

    void blanksOnlyCredentialsAreRefused() {
        RDP_frmLogin& w = openWith(1, 1);
        w.txtUserName->setText(QStringLiteral("   "));
        w.cmdOk_Click();
        QCOMPARE(fake_->messages.last().text, QStringLiteral("用户名称不能为空。请输入用户名称。"));
        w.txtUserName->setText(QStringLiteral("u"));
        w.txtPassword->setText(QStringLiteral("   "));
        w.cmdOk_Click();
        QCOMPARE(fake_->messages.last().text, QStringLiteral("密码不能为空。请输入密码！"));
        QCOMPARE(fake_->messages.size(), 2);
        QVERIFY(w.isVisible());
        QVERIFY(control_ == nullptr);
    }

    // The user name loses its blanks; the password is used exactly as typed.
    void typedCredentialsGoToTheSessionButNotToTheStore() {
        RDP_frmLogin& w = openWith(2, 2);
        w.txtUserName->setText(QStringLiteral("  张三 "));
        w.txtPassword->setText(QStringLiteral(" 新密码 "));
        w.cmdOk_Click();
        QVERIFY(!w.isVisible());
        QVERIFY(control_ != nullptr);
        QCOMPARE(control_->valueOf(u"UserName"), QStringLiteral("张三"));
        QCOMPARE(control_->valueOf(u"ClearTextPassword"), QStringLiteral(" 新密码 "));
        QCOMPARE(storeSaves(), 0); // the selection did not change
    }

    void aChangedSelectionIsSavedWithoutTheTypedCredentials() {
        RDP_frmLogin& w = openWith(2, 1);
        w.cmbClient->setCurrentIndex(1);
        emit w.cmbClient->activated(1);
        w.txtPassword->setText(QStringLiteral("typed"));
        w.cmdOk_Click();
        RDP_ConnectPara reloaded;
        QVERIFY(RDP_basClient::LoadConnectPara(reloaded).ok());
        QCOMPARE(reloaded.SelectIndex(), 2);
        QCOMPARE(reloaded.Item(2).Password(), QStringLiteral("pw2"));
        QCOMPARE(gConnectPara().SelectIndexOld(), 1);
    }

    // Another copy holds the store's lock when Enter saves a changed selection: the user is
    // asked after a few seconds; giving up leaves the store alone and the logon goes on.
    void givingUpOnTheLockStillLogsOn() {
        RDP_frmLogin& w = openWith(2, 1);
        QVERIFY(RDP_basClient::SaveConnectPara(gConnectPara()).ok());
        const QByteArray before = [] {
            QFile f(RDP_basClient::ConnectParaFilePath());
            return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
        }();
        const rdp::test::HeldLock held(RDP_basClient::ConnectParaFilePath());
        w.cmbClient->setCurrentIndex(1);
        emit w.cmbClient->activated(1);
        fake_->answerNext(rdp::MsgResult::No);
        w.cmdOk_Click();
        QCOMPARE(fake_->messages.size(), 1);
        QCOMPARE(fake_->messages[0].style, rdp::MsgStyle::ExclamationYesNo);
        QVERIFY(control_ != nullptr); // the session was started
        QFile f(RDP_basClient::ConnectParaFilePath());
        QVERIFY(f.open(QIODevice::ReadOnly));
        QCOMPARE(f.readAll(), before);
    }

    void aRefusedSessionShowsTheWindowAgain() {
        RDP_frmLogin& w = openWith(1, 1);
        gConnectPara().Item(1).setPort(QStringLiteral("abc"));
        w.txtPassword->setText(QStringLiteral("x"));
        w.cmdOk_Click();
        QVERIFY(w.isVisible());
        QCOMPARE(fake_->messages.size(), 1);
        QCOMPARE(w.txtPassword->text(), QStringLiteral("x"));
    }

    // Enter, Shift+Enter and the arrows move through the boxes and the list (which keeps its
    // own arrows); Enter in the password box confirms and never reaches the box.
    void enterMovesOnAndConfirmsInThePasswordBox() {
        RDP_frmLogin& w = openWith(2, 1);
        activate(w);
        const struct {
            QWidget* from;
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            QWidget* to;
        } steps[] = {{w.txtUserName, Qt::Key_Return, {}, w.txtPassword},
                     {w.txtPassword, Qt::Key_Up, {}, w.txtUserName},
                     {w.txtUserName, Qt::Key_Return, Qt::ShiftModifier, w.txtPassword},
                     {w.txtPassword, Qt::Key_Down, {}, w.cmbClient},
                     {w.cmbClient, Qt::Key_Down, {}, w.cmbClient}};
        for (const auto& step : steps) {
            QTest::keyClick(step.from, step.key, step.modifiers);
            QCoreApplication::processEvents();
            QCOMPARE(QApplication::focusWidget(), step.to);
        }
        QCOMPARE(gConnectPara().SelectIndex(), 2); // the Down in the list
        w.txtPassword->setFocus();
        bool boxSawEnter = false;
        connect(w.txtPassword, &QLineEdit::returnPressed, this, [&] { boxSawEnter = true; });
        QTest::keyClick(w.txtPassword, Qt::Key_Enter);
        QVERIFY(!boxSawEnter);
        QVERIFY(!w.isVisible()); // confirmed: the session window took over
        QVERIFY(control_ != nullptr);
    }

    void keysTypedRightAfterEnterGoToThePasswordBox() {
        // Keys already waiting behind the Enter (a fast typist, a busy machine) must land in
        // the box that Enter moved to.
        RDP_frmLogin& w = openWith(1, 1);
        activate(w);
        w.txtPassword->clear();
        QTest::keyClick(w.txtUserName, Qt::Key_Return);
        QTest::keyClicks(QApplication::focusWidget(), QStringLiteral("pw"));
        QCoreApplication::processEvents();
        QCOMPARE(w.txtUserName->text(), QStringLiteral("user1"));
        QCOMPARE(w.txtPassword->text(), QStringLiteral("pw"));
    }

    void shiftF12RevealsTheDiagnosticsLabel() {
        RDP_frmLogin& w = openWith(1, 1);
        w.txtUserName->setFocus();
        QTest::keyClick(w.txtUserName, Qt::Key_F12, Qt::ControlModifier | Qt::ShiftModifier);
        QVERIFY(!w.lbl->isVisible());
        QTest::mouseClick(w.lbl, Qt::RightButton); // hidden: nothing to copy
        QVERIFY(w.lbl->toolTip().isEmpty());
        QTest::keyClick(w.txtUserName, Qt::Key_F12, Qt::ShiftModifier);
        QVERIFY(w.lbl->isVisible());
        w.txtPassword->setText(QStringLiteral("later"));
        QTest::mouseClick(w.lbl, Qt::LeftButton);
        QVERIFY(w.lbl->toolTip().isEmpty());
        QTest::mouseClick(w.lbl, Qt::RightButton);
        QCOMPARE(w.lbl->toolTip(), QStringLiteral("连接1.lan ; 3389 ; ******")); // from the store
        QTest::keyClicks(w.txtPassword, QStringLiteral("x")); // still the saved one, edited
        QTest::keyClick(w.txtUserName, Qt::Key_F12, Qt::ShiftModifier);
        QTest::mouseClick(w.lbl, Qt::RightButton);
        QCOMPARE(w.lbl->toolTip(), QStringLiteral("连接1.lan ; 3389 ; ******"));
        w.txtPassword->selectAll();
        QTest::keyClick(w.txtPassword, Qt::Key_Backspace);
        QTest::keyClicks(w.txtPassword, QStringLiteral(" typed"));
        QTest::keyClick(w.txtUserName, Qt::Key_F12, Qt::ShiftModifier);
        QTest::mouseClick(w.lbl, Qt::RightButton);
        QCOMPARE(w.lbl->toolTip(), QStringLiteral("连接1.lan ; 3389 ;  typed"));
    }

    void dragsOnlyWithTheLeftButton() {
        RDP_frmLogin& w = openWith(1, 1);
        for (const int buttons : {2, 3, 0, 1}) { // right, both, none, left: only left moves
            w.move(100, 100);
            const QPoint before = w.pos();
            w.imgTitle_MouseDown(buttons, 0, 300, 150);
            w.imgTitle_MouseMove(buttons, 0, 450, 300); // 150 twips = 10 pixels each way
            QCOMPARE(w.pos(), buttons == 1 ? before + QPoint(10, 10) : before);
        }
    }

    void cancelTheExitImageAndTheDesktopsCloseEndTheProgramWithoutSaving() {
        RDP_frmLogin& w = openWith(2, 1);
        w.cmbClient->setCurrentIndex(1);
        emit w.cmbClient->activated(1);
        w.cmdCancel_Click();
        QCOMPARE(fake_->endCalls, 1);
        emit w.imgExit->Click();
        QCOMPARE(fake_->endCalls, 2);
        w.close(); // the window manager's close request
        QCOMPARE(fake_->endCalls, 3);
        QVERIFY(w.isVisible()); // never a program without a window
        QCOMPARE(storeSaves(), 0);
    }
};

QTEST_MAIN(LoginWindowTest)
#include "tst_LoginWindow.moc"
