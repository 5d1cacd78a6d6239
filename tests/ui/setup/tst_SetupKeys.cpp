// The setup window's keys: Enter, Up and Down walk through the fields; Enter never saves and
// Escape does nothing.
#include "SetupTestSupport.h"

#include <QFile>
#include <QTabWidget>

using namespace setuptest;

class tst_SetupKeys : public QObject {
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void tabOrderStartsWithTheListThenTheAccount();
    void keyMovesTheFocus_data();
    void keyMovesTheFocus();
    void arrowsInTheProfileListChangeTheProfile();
    void enterOnTheSaveButtonDoesNotSave();
    void escapeDoesNothing();

private:
    QWidget* Press(const char* focusedName, Qt::Key key,
                   Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    std::unique_ptr<Env> env_;
    std::unique_ptr<RDP_frmSetup> w_;
};

void tst_SetupKeys::init() {
    env_ = std::make_unique<Env>();
    AddProfile(QStringLiteral("甲"), QStringLiteral("u1"));
    AddProfile(QStringLiteral("乙"), QStringLiteral("u2"));
    gConnectPara().setSelectIndex(1);
    w_ = std::make_unique<RDP_frmSetup>();
    w_->FillLists();
    w_->show();
    QVERIFY(QTest::qWaitForWindowActive(w_.get()));
}

void tst_SetupKeys::cleanup() {
    w_.reset();
    env_.reset();
}

// Focuses the named control, presses the key there, lets the queued focus move happen and
// returns the control that has the focus afterwards.
QWidget* tst_SetupKeys::Press(const char* focusedName, Qt::Key key,
                              Qt::KeyboardModifiers modifiers) {
    auto* control = Child<QWidget>(*w_, focusedName);
    if (auto* tabs = w_->findChild<QTabWidget*>()) {
        for (int i = 0; i < tabs->count(); ++i) {
            if (tabs->widget(i)->isAncestorOf(control)) {
                tabs->setCurrentIndex(i);
            }
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

void tst_SetupKeys::tabOrderStartsWithTheListThenTheAccount() {
    auto* client = List(*w_, "cmbClient");
    QCOMPARE(client->nextInFocusChain(), Text(*w_, "txtUserName"));
    QCOMPARE(Text(*w_, "txtUserName")->nextInFocusChain(), Text(*w_, "txtPassword"));
    QCOMPARE(QApplication::focusWidget(), client); // the window opens in the list
}

void tst_SetupKeys::keyMovesTheFocus_data() {
    QTest::addColumn<QString>("from");
    QTest::addColumn<int>("key");
    QTest::addColumn<int>("modifiers");
    QTest::addColumn<QString>("to");
    const int none = Qt::NoModifier;
    const int enter = Qt::Key_Return;
    const int down = Qt::Key_Down;
    const int up = Qt::Key_Up;
    auto row = [](const char* tag, const char* from, int key, int mods, const char* to) {
        QTest::newRow(tag) << QString::fromLatin1(from) << key << mods << QString::fromLatin1(to);
    };
    row("Enter in the list", "cmbClient", enter, none, "txtUserName");
    row("Enter in the user name", "txtUserName", enter, none, "txtPassword");
    row("keypad Enter in the user name", "txtUserName", Qt::Key_Enter, Qt::KeypadModifier,
        "txtPassword");
    row("Enter in the password", "txtPassword", enter, none, "chkIsSavePassword");
    row("Shift+Enter moves forward", "txtUserName", enter, Qt::ShiftModifier, "txtPassword");
    row("Down in a text box", "txtUserName", down, none, "txtPassword");
    row("Up in a text box", "txtPassword", up, none, "txtUserName");
    row("Enter in a check box", "chkIsSavePassword", enter, none, "cmdDelete");
    row("Down in a check box", "chkIsSavePassword", down, none, "cmdDelete");
    row("Up in a check box, one step", "chkPorts", up, none, "chkPrint");
    row("Down in a check box, one step", "chkPrint", down, none, "chkPorts");
    row("Up in a button", "cmdNew", up, none, "cmdDelete");
    row("Enter in an option list", "cmbDesktopSize", enter, none, "cmbColorDepth");
}

void tst_SetupKeys::keyMovesTheFocus() {
    QFETCH(QString, from);
    QFETCH(int, key);
    QFETCH(int, modifiers);
    QFETCH(QString, to);
    const QWidget* focused =
        Press(from.toLatin1().constData(), Qt::Key(key), Qt::KeyboardModifiers(modifiers));
    QVERIFY(focused != nullptr);
    QCOMPARE(focused->objectName(), to);
    QVERIFY(w_->isVisible());
    QVERIFY(!QFile::exists(RDP_basClient::ConnectParaFilePath())); // Enter never saves
    QVERIFY(env_->fake.messages.isEmpty());
}

void tst_SetupKeys::arrowsInTheProfileListChangeTheProfile() {
    const QWidget* focused = Press("cmbClient", Qt::Key_Down);
    QCOMPARE(focused, List(*w_, "cmbClient"));
    QCOMPARE(gConnectPara().SelectIndex(), 2);
    QCOMPARE(Text(*w_, "txtUserName")->text(), QStringLiteral("u2"));
    focused = Press("cmbDesktopSize", Qt::Key_Down);
    QCOMPARE(focused, List(*w_, "cmbDesktopSize"));
    QCOMPARE(List(*w_, "cmbDesktopSize")->currentIndex(), 1);
    focused = Press("cmbClient", Qt::Key_Up);
    QCOMPARE(focused, List(*w_, "cmbClient"));
    QCOMPARE(gConnectPara().SelectIndex(), 1);
}

void tst_SetupKeys::enterOnTheSaveButtonDoesNotSave() {
    Text(*w_, "txtUserName")->setText(QStringLiteral("changed"));
    const QWidget* focused = Press("cmdOk", Qt::Key_Return);
    QCOMPARE(focused, Button(*w_, "cmdCancel"));
    QVERIFY(w_->isVisible());
    QCOMPARE(gConnectPara().Item(1).UserName(), QStringLiteral("u1"));
    QVERIFY(!QFile::exists(RDP_basClient::ConnectParaFilePath()));
}

void tst_SetupKeys::escapeDoesNothing() {
    for (const char* name : {"txtUserName", "cmbClient", "chkIsSavePassword", "cmdCancel"}) {
        const QWidget* focused = Press(name, Qt::Key_Escape);
        QCOMPARE(focused, Child<QWidget>(*w_, name));
        QVERIFY2(w_->isVisible(), name);
    }
    QCOMPARE(w_->result(), 0);
    QVERIFY(!QFile::exists(RDP_basClient::ConnectParaFilePath()));
}

QTEST_MAIN(tst_SetupKeys)
#include "tst_SetupKeys.moc"
