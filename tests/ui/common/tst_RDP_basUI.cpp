// Keyboard navigation and the window look-up shared by the windows.
#include "ui/common/RDP_basUI.h"

#include "common/Platform.h"
#include "ui/common/QtPlatform.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QTest>
#include <QTimer>
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
    void keyCodesAndShiftState() {
        const std::pair<int, int> keys[] = {
            {Qt::Key_Return, 13}, {Qt::Key_Enter, 13}, {Qt::Key_Escape, 27},
            {Qt::Key_Up, 38},     {Qt::Key_Down, 40},  {Qt::Key_F12, 123},
            {Qt::Key_A, 65},      {Qt::Key_Shift, 0},  {Qt::Key_Left, 0}};
        for (const auto& [qtKey, code] : keys) {
            QCOMPARE(VirtualKeyCode(qtKey), code);
        }
        QCOMPARE(ShiftState(Qt::NoModifier), 0);
        QCOMPARE(ShiftState(Qt::ShiftModifier), 1);
        QCOMPARE(ShiftState(Qt::ControlModifier | Qt::ShiftModifier), 3);
        QCOMPARE(ShiftState(Qt::AltModifier | Qt::KeypadModifier), 4);
    }

    void tabByKey() {
        Form f;
        f.window.show();
        QVERIFY(QTest::qWaitForWindowActive(&f.window));
        QWidget* controls[] = {f.first, f.list, f.check, f.last};
        // from (0 first, 1 list, 2 check, 3 last), key code, shift, to, moved
        const struct {
            int from, code, shift, to;
            bool moved;
        } rows[] = {{0, 13, 0, 1, true},    // Enter in a text box
                    {0, 13, 1, 1, true},    // Shift+Enter forward too
                    {1, 13, 0, 2, true},    // Enter in a list
                    {0, 40, 0, 1, true},    // Down in a text box
                    {1, 40, 0, 1, false},   // Down in a list: the list's own
                    {1, 38, 0, 1, false},   // Up in a list
                    {2, 38, 0, 1, true},    // Up in a check box
                    {2, 40, 0, 3, true},    // Down in a check box
                    {0, 38, 0, 3, true},    // Up in the first wraps
                    {0, 27, 0, 0, false},   // Escape
                    {0, 9, 0, 0, false},    // the Tab code itself
                    {3, 123, 1, 3, false}}; // F12
        for (const auto& r : rows) {
            controls[r.from]->setFocus();
            QCOMPARE(QApplication::focusWidget(), controls[r.from]);
            QCOMPARE(TabByKey(controls[r.from], r.code, r.shift), r.moved);
            // The focus has moved at once, before any further key is handled.
            QCOMPARE(QApplication::focusWidget(), controls[r.to]);
        }
        QVERIFY(!TabByKey(nullptr, 13, 0));
    }

    // The desktop's close request (the title bar, Alt+F4) answers a message as its escape
    // button; the keyboard then goes back to the box the user was typing in.
    void messageCloseAnswersAndGivesTheKeyboardBack() {
        const struct {
            int style, answer;
        } rows[] = {{rdp::MsgStyle::OkOnly, rdp::MsgResult::Ok},
                    {rdp::MsgStyle::Exclamation, rdp::MsgResult::Ok},
                    {rdp::MsgStyle::QuestionOkCancel, rdp::MsgResult::Cancel},
                    {rdp::MsgStyle::ExclamationYesNo, rdp::MsgResult::No}};
        for (const auto& r : rows) {
            Form f;
            f.window.show();
            QApplication::setActiveWindow(&f.window);
            QVERIFY(QTest::qWaitForWindowActive(&f.window));
            f.last->setFocus();
            QTimer::singleShot(0, &f.window, [] { QApplication::activeModalWidget()->close(); });
            rdp::QtPlatform platform;
            QCOMPARE(platform.MessageBox(QStringLiteral("?"), r.style, QStringLiteral("连接"),
                                         &f.window),
                     r.answer);
            QTRY_COMPARE(QApplication::focusWidget(), f.last);
        }
    }

    void isFormLoaded() {
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
};

QTEST_MAIN(tst_RDP_basUI)
#include "tst_RDP_basUI.moc"
