// The setup window's keys: Enter, Up and Down walk through the fields; Enter never saves and
// Escape does nothing.
#include "SetupTestSupport.h"

#include <QTabWidget>

using namespace setuptest;

class tst_SetupKeys : public QObject {
    Q_OBJECT

    std::unique_ptr<Env> env_;
    std::unique_ptr<RDP_frmSetup> w_;

    // Focuses the named control (on its tab), presses the key there, lets a queued focus
    // move happen and returns the control that has the focus afterwards.
    QWidget* Press(const char* focusedName, Qt::Key key,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
        auto* control = Child<QWidget>(*w_, focusedName);
        auto* tabs = w_->findChild<QTabWidget*>();
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->widget(i)->isAncestorOf(control)) {
                tabs->setCurrentIndex(i);
            }
        }
        control->setFocus(Qt::OtherFocusReason);
        if (QApplication::focusWidget() != control) {
            return nullptr;
        }
        QTest::keyClick(control, key, modifiers);
        QCoreApplication::processEvents();
        return QApplication::focusWidget();
    }

private slots:
    void init() {
        env_ = std::make_unique<Env>();
        AddProfile(QStringLiteral("甲"), QStringLiteral("u1"));
        AddProfile(QStringLiteral("乙"), QStringLiteral("u2"));
        gConnectPara().setSelectIndex(1);
        w_ = std::make_unique<RDP_frmSetup>();
        w_->FillLists();
        w_->show();
        QVERIFY(QTest::qWaitForWindowActive(w_.get()));
    }
    void cleanup() {
        w_.reset();
        env_.reset();
    }

    void keyMovesTheFocus() {
        // The window opens in the list, followed by the account.
        QCOMPARE(QApplication::focusWidget(), List(*w_, "cmbClient"));
        QCOMPARE(List(*w_, "cmbClient")->nextInFocusChain(), Text(*w_, "txtUserName"));
        QCOMPARE(Text(*w_, "txtUserName")->nextInFocusChain(), Text(*w_, "txtPassword"));
        const Qt::Key enter = Qt::Key_Return, down = Qt::Key_Down, up = Qt::Key_Up;
        const struct {
            const char* from;
            Qt::Key key;
            Qt::KeyboardModifiers modifiers;
            const char* to;
        } rows[] = {{"cmbClient", enter, {}, "txtUserName"},
                    {"txtUserName", enter, {}, "txtPassword"},
                    {"txtUserName", Qt::Key_Enter, Qt::KeypadModifier, "txtPassword"},
                    {"txtPassword", enter, {}, "chkIsSavePassword"},
                    {"txtUserName", enter, Qt::ShiftModifier, "txtPassword"}, // forward too
                    {"txtUserName", down, {}, "txtPassword"},
                    {"txtPassword", up, {}, "txtUserName"},
                    {"chkIsSavePassword", enter, {}, "cmdDelete"},
                    {"chkIsSavePassword", down, {}, "cmdDelete"},
                    {"chkPorts", up, {}, "chkPrint"}, // one step each
                    {"chkPrint", down, {}, "chkPorts"},
                    {"cmdNew", up, {}, "cmdDelete"},
                    {"cmbDesktopSize", enter, {}, "cmbColorDepth"},
                    {"cmdOk", enter, {}, "cmdCancel"}, // Enter on the save button moves on
                    // Escape does nothing anywhere.
                    {"txtUserName", Qt::Key_Escape, {}, "txtUserName"},
                    {"cmbClient", Qt::Key_Escape, {}, "cmbClient"},
                    {"chkIsSavePassword", Qt::Key_Escape, {}, "chkIsSavePassword"},
                    {"cmdCancel", Qt::Key_Escape, {}, "cmdCancel"}};
        Text(*w_, "txtUserName")->setText(QStringLiteral("changed"));
        for (const auto& r : rows) {
            const QWidget* focused = Press(r.from, r.key, r.modifiers);
            QVERIFY2(focused != nullptr, r.from);
            QCOMPARE(focused->objectName(), QString::fromLatin1(r.to));
            QVERIFY(w_->isVisible());
        }
        QCOMPARE(w_->result(), 0);
        QCOMPARE(gConnectPara().Item(1).UserName(), QStringLiteral("u1"));
        QVERIFY(!StoreExists()); // Enter never saves
        QVERIFY(env_->fake.messages.isEmpty());
    }

    // Up and Down in a drop-down list choose in the list and keep the focus there.
    void arrowsInAListChooseInIt() {
        QCOMPARE(Press("cmbClient", Qt::Key_Down), List(*w_, "cmbClient"));
        QCOMPARE(gConnectPara().SelectIndex(), 2);
        QCOMPARE(Text(*w_, "txtUserName")->text(), QStringLiteral("u2"));
        QCOMPARE(Press("cmbDesktopSize", Qt::Key_Down), List(*w_, "cmbDesktopSize"));
        QCOMPARE(List(*w_, "cmbDesktopSize")->currentIndex(), 1);
        QCOMPARE(Press("cmbClient", Qt::Key_Up), List(*w_, "cmbClient"));
        QCOMPARE(gConnectPara().SelectIndex(), 1);
    }
};

QTEST_MAIN(tst_SetupKeys)
#include "tst_SetupKeys.moc"
