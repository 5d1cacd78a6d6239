// The setup window's layout, its lists and the profile it shows.
#include "SetupTestSupport.h"

#include <QGroupBox>
#include <QLabel>
#include <QTabWidget>

using namespace setuptest;

namespace {

QStringList Entries(const QComboBox* list) {
    QStringList texts;
    for (int i = 0; i < list->count(); ++i) {
        texts << list->itemText(i);
    }
    return texts;
}

QString Caption(const QWidget& w, const char* name) {
    if (auto* frame = Child<QGroupBox>(w, name)) {
        return frame->title();
    }
    if (auto* label = Child<QLabel>(w, name)) {
        return label->text();
    }
    if (auto* button = Child<QAbstractButton>(w, name)) {
        return button->text();
    }
    return QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

// The state of every option control, as one comparable text.
QString Shown(const RDP_frmSetup& w) {
    QStringList parts{Text(w, "txtUserName")->text(), Text(w, "txtPassword")->text()};
    for (const char* name : {"cmbDesktopSize", "cmbColorDepth", "cmbAudioMode"}) {
        parts << QString::number(List(w, name)->currentIndex());
    }
    for (const char* name : {"chkIsSavePassword", "chkPrint", "chkPorts", "chkDrives",
                             "chkSmartCards", "chkBitmapPeristence", "chkCanAutoReconnect"}) {
        parts << (Check(w, name)->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
    }
    return parts.join(QLatin1Char('|'));
}

// Empty account, 最大屏幕, 增强色(15 位), 带到这台计算机播放, all flags on but drives.
const QString kDefaults = QStringLiteral("||0|1|0|0|1|1|0|1|1|1");

} // namespace

class tst_SetupWindow : public QObject {
    Q_OBJECT

private slots:
    void init() { env_ = std::make_unique<Env>(); }
    void cleanup() { env_.reset(); }

    void layoutHasEveryControlWithItsCaption();
    void optionListsHoldTheirEntriesInCodeOrder();
    void windowHasTheDesignedSizeAtLeast();
    void clipboardBoxExplainsWhatItShares();
    void noProfilesShowsTheDefaults();
    void selectionOutOfRangeShowsTheFirstProfile_data();
    void selectionOutOfRangeShowsTheFirstProfile();
    void storedSelectionIsShown();
    void choosingAnotherProfileDiscardsEdits();
    void entriesCarryTheirPositions();
    void codesOutsideTheListsShowNoEntry();
    void codesAreRoundedHalfToEven_data();
    void codesAreRoundedHalfToEven();

private:
    std::unique_ptr<Env> env_;
};

void tst_SetupWindow::layoutHasEveryControlWithItsCaption() {
    RDP_frmSetup w;
    QCOMPARE(w.windowTitle(), QStringLiteral("连接设置"));
    QCOMPARE(w.objectName(), QStringLiteral("RDP_frmSetup"));

    auto* tabs = w.findChild<QTabWidget*>();
    QVERIFY(tabs);
    QStringList tabTexts;
    for (int i = 0; i < tabs->count(); ++i) {
        tabTexts << tabs->tabText(i);
    }
    QCOMPARE(tabTexts, (QStringList{QStringLiteral("连接"), QStringLiteral("显示"),
                                    QStringLiteral("本地资源"), QStringLiteral("高级")}));

    const struct {
        const char* name;
        const char* caption;
        int tab;
    } controls[] = {
        {"lblTips", "连接设置", -1},
        {"fraUser", "用户设置", 0},
        {"lblUserName", "用户", 0},
        {"lblPassword", "密码", 0},
        {"chkIsSavePassword", "保存密码", 0},
        {"fraConnect", "连接设置", 0},
        {"lblClient", "连接", 0},
        {"cmdDelete", "删除连接", 0},
        {"cmdNew", "新建连接", 0},
        {"fraDesktopSize", "显示屏幕的大小", 1},
        {"lblDesktopSize", "屏幕大小", 1},
        {"fraColorDepth", "颜色", 1},
        {"lblColorDepth", "颜色", 1},
        {"fraAudioMode", "计算机声音", 2},
        {"lblAudioMode", "声音", 2},
        {"fraPrint", "本地设备和资源", 2},
        {"chkPrint", "打印机", 2},
        {"chkPorts", "串行口", 2},
        {"chkDrives", "磁盘驱动器", 2},
        {"chkSmartCards", "剪贴板", 2},
        {"fraBitmapPeristence", "性能", 3},
        {"chkBitmapPeristence", "位图缓存", 3},
        {"chkCanAutoReconnect", "如果连接中断，则重新连接", 3},
        {"cmdOk", "保存", -1},
        {"cmdCancel", "取消", -1},
    };
    for (const auto& c : controls) {
        QCOMPARE(Caption(w, c.name), QString::fromUtf8(c.caption));
        if (c.tab >= 0) {
            auto* control = Child<QWidget>(w, c.name);
            QVERIFY2(tabs->widget(c.tab)->isAncestorOf(control), c.name);
        }
    }
    // The check boxes of the local resources sit inside their frame; reconnection does not.
    auto* fraPrint = Child<QGroupBox>(w, "fraPrint");
    QVERIFY(fraPrint->isAncestorOf(Check(w, "chkSmartCards")));
    QVERIFY(
        !Child<QGroupBox>(w, "fraBitmapPeristence")->isAncestorOf(Check(w, "chkCanAutoReconnect")));

    QVERIFY(Child<QWidget>(w, "Image1"));
    QVERIFY(Child<QWidget>(w, "Image2"));
    QCOMPARE(Text(w, "txtPassword")->echoMode(), QLineEdit::Password);
    QVERIFY(Text(w, "txtUserName")->echoMode() == QLineEdit::Normal);
    for (auto* list : w.findChildren<QComboBox*>()) {
        QVERIFY2(!list->isEditable(), qPrintable(list->objectName()));
    }
    for (auto* button : w.findChildren<QPushButton*>()) {
        QVERIFY2(!button->isDefault() && !button->autoDefault(), qPrintable(button->objectName()));
    }
}

void tst_SetupWindow::optionListsHoldTheirEntriesInCodeOrder() {
    RDP_frmSetup w;
    w.FillLists();
    QCOMPARE(Entries(List(w, "cmbDesktopSize")),
             (QStringList{QStringLiteral("最大屏幕"), QStringLiteral("1280 x 768 像素"),
                          QStringLiteral("1024 x 768 像素"), QStringLiteral("800 x 600 像素"),
                          QStringLiteral("最大屏幕(宽屏)")}));
    QCOMPARE(Entries(List(w, "cmbColorDepth")),
             (QStringList{QStringLiteral("256 色"), QStringLiteral("增强色(15 位)")}));
    QCOMPARE(Entries(List(w, "cmbAudioMode")),
             (QStringList{QStringLiteral("带到这台计算机播放"), QStringLiteral("不要播放"),
                          QStringLiteral("留在远程计算机播放")}));
    // A second fill rebuilds rather than appends.
    w.FillLists();
    QCOMPARE(List(w, "cmbDesktopSize")->count(), 5);
}

void tst_SetupWindow::windowHasTheDesignedSizeAtLeast() {
    RDP_frmSetup w;
    QVERIFY(w.width() >= 422);
    QVERIFY(w.height() >= 389);
    // Not stretched far beyond it by the layouts either.
    QVERIFY(w.width() < 422 * 3 / 2);
    QVERIFY(w.height() < 389 * 3 / 2);
    QVERIFY(w.width() >= w.minimumSizeHint().width());
    QVERIFY(w.height() >= w.minimumSizeHint().height());
}

void tst_SetupWindow::clipboardBoxExplainsWhatItShares() {
    RDP_frmSetup w;
    const QString tip = Check(w, "chkSmartCards")->toolTip();
    QVERIFY(tip.contains(QStringLiteral("剪贴板")));
    QVERIFY(tip.contains(QStringLiteral("智能卡")));
}

void tst_SetupWindow::noProfilesShowsTheDefaults() {
    RDP_frmSetup w;
    // Controls hold something else before the fill.
    Text(w, "txtUserName")->setText(QStringLiteral("x"));
    Check(w, "chkDrives")->setChecked(true);
    w.FillLists();
    QCOMPARE(List(w, "cmbClient")->count(), 0);
    QCOMPARE(Shown(w), kDefaults);
    QCOMPARE(List(w, "cmbColorDepth")->currentText(), QStringLiteral("增强色(15 位)"));
    QCOMPARE(gConnectPara().SelectIndex(), 0);
}

void tst_SetupWindow::selectionOutOfRangeShowsTheFirstProfile_data() {
    QTest::addColumn<int>("selection");
    QTest::newRow("none") << 0;
    QTest::newRow("past the end") << 4;
    QTest::newRow("negative") << -1;
}

void tst_SetupWindow::selectionOutOfRangeShowsTheFirstProfile() {
    QFETCH(int, selection);
    AddProfile(QStringLiteral("甲"), QStringLiteral("u1"));
    AddProfile(QStringLiteral("乙"), QStringLiteral("u2"));
    AddProfile(QStringLiteral("丙"), QStringLiteral("u3"));
    gConnectPara().setSelectIndex(selection);
    RDP_frmSetup w;
    w.FillLists();
    QCOMPARE(List(w, "cmbClient")->currentText(), QStringLiteral("甲"));
    QCOMPARE(Text(w, "txtUserName")->text(), QStringLiteral("u1"));
    QCOMPARE(gConnectPara().SelectIndex(), 1);
}

void tst_SetupWindow::storedSelectionIsShown() {
    AddProfile(QStringLiteral("甲"), QStringLiteral("u1"));
    RDP_ConnectParaItems& second = AddProfile(QStringLiteral("乙"), QStringLiteral("u2"));
    second.setPassword(QStringLiteral("pw"));
    second.setIsSavePassword(1);
    second.setDesktopSize(3);
    second.setColorDepth(0);
    second.setAudioMode(2);
    second.setRedirectPrint(0);
    second.setRedirectDrives(1);
    second.setSmartCards(0);
    second.setCanAutoReconnect(0);
    AddProfile(QStringLiteral("丙"), QStringLiteral("u3"));
    gConnectPara().setSelectIndex(2);
    RDP_frmSetup w;
    w.FillLists();
    QCOMPARE(Shown(w), QStringLiteral("u2|pw|3|0|2|1|0|1|1|0|1|0"));
    QCOMPARE(gConnectPara().SelectIndex(), 2);
}

void tst_SetupWindow::choosingAnotherProfileDiscardsEdits() {
    AddProfile(QStringLiteral("甲"), QStringLiteral("u1"));
    AddProfile(QStringLiteral("乙"), QStringLiteral("u2"));
    gConnectPara().setSelectIndex(1);
    RDP_frmSetup w;
    w.FillLists();
    w.show();
    QVERIFY(QTest::qWaitForWindowActive(&w));
    const QString stored = Shown(w);
    Text(w, "txtUserName")->setText(QStringLiteral("edited"));
    Check(w, "chkDrives")->setChecked(true);
    List(w, "cmbDesktopSize")->setCurrentIndex(4);

    QComboBox* client = List(w, "cmbClient");
    client->setFocus();
    QTRY_COMPARE(QApplication::focusWidget(), client);
    QTest::keyClick(client, Qt::Key_Down); // the list takes the arrow itself
    QCOMPARE(client->currentText(), QStringLiteral("乙"));
    QCOMPARE(gConnectPara().SelectIndex(), 2);
    QCOMPARE(Text(w, "txtUserName")->text(), QStringLiteral("u2"));
    QTest::keyClick(client, Qt::Key_Up);
    QCOMPARE(gConnectPara().SelectIndex(), 1);
    QCOMPARE(Shown(w), stored);
    QCOMPARE(gConnectPara().Item(1).UserName(), QStringLiteral("u1"));
    QVERIFY(!QFile::exists(RDP_basClient::ConnectParaFilePath()));
}

void tst_SetupWindow::entriesCarryTheirPositions() {
    AddProfile(QStringLiteral("同名"), QStringLiteral("u1"));
    AddProfile(QStringLiteral("同名"), QStringLiteral("u2"));
    gConnectPara().setSelectIndex(2);
    RDP_frmSetup w;
    w.FillLists();
    QComboBox* client = List(w, "cmbClient");
    QCOMPARE(client->count(), 2);
    QCOMPARE(client->itemData(0).toInt(), 1);
    QCOMPARE(client->itemData(1).toInt(), 2);
    QCOMPARE(client->currentIndex(), 1);
    QCOMPARE(Text(w, "txtUserName")->text(), QStringLiteral("u2"));
}

void tst_SetupWindow::codesOutsideTheListsShowNoEntry() {
    AddProfile(QStringLiteral("甲")).setDesktopSize(2);
    RDP_ConnectParaItems& p = AddProfile(QStringLiteral("乙"));
    p.setDesktopSize(5);
    p.setColorDepth(3); // 24 bits, as the store tool can write it
    p.setAudioMode(-1);
    gConnectPara().setSelectIndex(1);
    RDP_frmSetup w;
    w.FillLists();
    QCOMPARE(List(w, "cmbDesktopSize")->currentIndex(), 2);
    // The entries of the profile shown before must not linger.
    gConnectPara().setSelectIndex(2);
    w.FillLists();
    QCOMPARE(List(w, "cmbDesktopSize")->currentIndex(), -1);
    QCOMPARE(List(w, "cmbColorDepth")->currentIndex(), -1);
    QCOMPARE(List(w, "cmbAudioMode")->currentIndex(), -1);
    QVERIFY(List(w, "cmbColorDepth")->currentText().isEmpty());
}

void tst_SetupWindow::codesAreRoundedHalfToEven_data() {
    QTest::addColumn<float>("code");
    QTest::addColumn<int>("place");
    QTest::newRow("0.5 to 0") << 0.5f << 0;
    QTest::newRow("1.5 to 2") << 1.5f << 2;
    QTest::newRow("2.5 to 2") << 2.5f << 2;
    QTest::newRow("3.6 to 4") << 3.6f << 4;
    QTest::newRow("4.5 to 4") << 4.5f << 4;
    QTest::newRow("-0.4 to 0") << -0.4f << 0;
    QTest::newRow("4.6 outside") << 4.6f << -1;
    QTest::newRow("huge outside") << 3.0e9f << -1;
}

void tst_SetupWindow::codesAreRoundedHalfToEven() {
    QFETCH(float, code);
    QFETCH(int, place);
    AddProfile(QStringLiteral("甲")).setDesktopSize(code);
    RDP_frmSetup w;
    w.FillLists();
    QCOMPARE(List(w, "cmbDesktopSize")->currentIndex(), place);
}

QTEST_MAIN(tst_SetupWindow)
#include "tst_SetupWindow.moc"
