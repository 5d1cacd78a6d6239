// Keyboard navigation and the window look-up shared by the windows.
#include "ui/common/RDP_basUI.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>

#include <memory>

using namespace RDP_basUI;

namespace {

// A window of four controls in tab order: a text box, a drop-down list, a check box, a text
// box.
struct Form {
    QWidget window;
    QLineEdit* first = new QLineEdit(&window);
    QComboBox* list = new QComboBox(&window);
    QCheckBox* check = new QCheckBox(QStringLiteral("x"), &window);
    QLineEdit* last = new QLineEdit(&window);

    Form() {
        auto* column = new QVBoxLayout(&window);
        for (QWidget* w : std::initializer_list<QWidget*>{first, list, check, last}) {
            column->addWidget(w);
        }
        list->addItems({QStringLiteral("a"), QStringLiteral("b")});
    }
};

} // namespace

class tst_RDP_basUI : public QObject {
    Q_OBJECT

private slots:
    void keyCodesOfQtKeys_data();
    void keyCodesOfQtKeys();
    void shiftStateBits();
    void tabByKey_data();
    void tabByKey();
    void focusMovesBeforeTheNextKey();
    void noFocusedControlDoesNothing();
    void isFormLoaded();
};

void tst_RDP_basUI::keyCodesOfQtKeys_data() {
    QTest::addColumn<int>("qtKey");
    QTest::addColumn<int>("code");
    QTest::newRow("Return") << int(Qt::Key_Return) << 13;
    QTest::newRow("keypad Enter") << int(Qt::Key_Enter) << 13;
    QTest::newRow("Escape") << int(Qt::Key_Escape) << 27;
    QTest::newRow("Up") << int(Qt::Key_Up) << 38;
    QTest::newRow("Down") << int(Qt::Key_Down) << 40;
    QTest::newRow("F1") << int(Qt::Key_F1) << 112;
    QTest::newRow("F12") << int(Qt::Key_F12) << 123;
    QTest::newRow("A") << int(Qt::Key_A) << 65;
    QTest::newRow("7") << int(Qt::Key_7) << 55;
    QTest::newRow("Shift alone") << int(Qt::Key_Shift) << 0;
    QTest::newRow("Left") << int(Qt::Key_Left) << 0;
}

void tst_RDP_basUI::keyCodesOfQtKeys() {
    QFETCH(int, qtKey);
    QFETCH(int, code);
    QCOMPARE(VirtualKeyCode(qtKey), code);
}

void tst_RDP_basUI::shiftStateBits() {
    QCOMPARE(ShiftState(Qt::NoModifier), 0);
    QCOMPARE(ShiftState(Qt::ShiftModifier), 1);
    QCOMPARE(ShiftState(Qt::ControlModifier | Qt::ShiftModifier), 3);
    QCOMPARE(ShiftState(Qt::AltModifier | Qt::KeypadModifier), 4);
}

void tst_RDP_basUI::tabByKey_data() {
    QTest::addColumn<int>("from"); // 0 first, 1 list, 2 check, 3 last
    QTest::addColumn<int>("code");
    QTest::addColumn<int>("shift");
    QTest::addColumn<int>("to");
    QTest::addColumn<bool>("moved");
    QTest::newRow("Enter in a text box") << 0 << 13 << 0 << 1 << true;
    QTest::newRow("Shift+Enter forward too") << 0 << 13 << 1 << 1 << true;
    QTest::newRow("Enter in a list") << 1 << 13 << 0 << 2 << true;
    QTest::newRow("Down in a text box") << 0 << 40 << 0 << 1 << true;
    QTest::newRow("Down in a list") << 1 << 40 << 0 << 1 << false;
    QTest::newRow("Up in a list") << 1 << 38 << 0 << 1 << false;
    QTest::newRow("Up in a check box") << 2 << 38 << 0 << 1 << true;
    QTest::newRow("Down in a check box") << 2 << 40 << 0 << 3 << true;
    QTest::newRow("Up in the first wraps") << 0 << 38 << 0 << 3 << true;
    QTest::newRow("Escape") << 0 << 27 << 0 << 0 << false;
    QTest::newRow("Tab code itself") << 0 << 9 << 0 << 0 << false;
    QTest::newRow("F12") << 3 << 123 << 1 << 3 << false;
}

void tst_RDP_basUI::tabByKey() {
    QFETCH(int, from);
    QFETCH(int, code);
    QFETCH(int, shift);
    QFETCH(int, to);
    QFETCH(bool, moved);
    Form f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    QWidget* controls[] = {f.first, f.list, f.check, f.last};
    controls[from]->setFocus();
    QCOMPARE(QApplication::focusWidget(), controls[from]);
    QCOMPARE(TabByKey(controls[from], code, shift), moved);
    QCoreApplication::processEvents();
    QCOMPARE(QApplication::focusWidget(), controls[to]);
}

void tst_RDP_basUI::focusMovesBeforeTheNextKey() {
    Form f;
    f.window.show();
    QVERIFY(QTest::qWaitForWindowActive(&f.window));
    f.first->setFocus();
    QVERIFY(TabByKey(f.first, 13, 0));
    QCOMPARE(QApplication::focusWidget(), f.list); // no event loop needed in between
    QVERIFY(TabByKey(f.list, 13, 0));
    QCOMPARE(QApplication::focusWidget(), f.check);
}

void tst_RDP_basUI::noFocusedControlDoesNothing() {
    QVERIFY(!TabByKey(nullptr, 13, 0));
}

void tst_RDP_basUI::isFormLoaded() {
    QVERIFY(!IsFormLoaded(QStringLiteral("RDP_frmLogin")));
    auto login = std::make_unique<QWidget>();
    login->setObjectName(QStringLiteral("RDP_frmLogin"));
    QWidget middle;
    middle.setObjectName(QStringLiteral("other"));
    auto setup = std::make_unique<QWidget>();
    setup->setObjectName(QStringLiteral("RDP_frmSetup"));
    setup->show(); // shown and hidden windows count alike

    QVERIFY(IsFormLoaded(QStringLiteral("RDP_frmLogin")));
    QVERIFY(IsFormLoaded(QStringLiteral("rdp_frmsetup")));
    QVERIFY(IsFormLoaded(QStringLiteral("RDP_FRMLOGIN")));
    QVERIFY(!IsFormLoaded(QStringLiteral("RDP_frmDesktop")));
    QVERIFY(!IsFormLoaded(QStringLiteral("RDP_frm")));

    // A control inside a window is not a window.
    auto* inner = new QWidget(setup.get());
    inner->setObjectName(QStringLiteral("cmbClient"));
    QVERIFY(!IsFormLoaded(QStringLiteral("cmbClient")));

    setup.reset(); // unloaded
    QVERIFY(!IsFormLoaded(QStringLiteral("RDP_frmSetup")));
    QVERIFY(IsFormLoaded(QStringLiteral("RDP_frmLogin")));
}

QTEST_MAIN(tst_RDP_basUI)
#include "tst_RDP_basUI.moc"
