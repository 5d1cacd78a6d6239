// The setup window's layout, its lists and the profile it shows.
#include "SetupTestCase.h"

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

QStringList Split(const char* texts) {
    return QString::fromUtf8(texts).split(QLatin1Char('|'));
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
        parts << QString::number(Check(w, name)->isChecked());
    }
    return parts.join(QLatin1Char('|'));
}

} // namespace

class tst_SetupWindow : public SetupTestCase {
    Q_OBJECT

private slots:

    void layoutHasEveryControlWithItsCaption() {
        RDP_frmSetup w;
        QCOMPARE(w.windowTitle(), QStringLiteral("连接设置"));
        QCOMPARE(w.objectName(), QStringLiteral("RDP_frmSetup"));
        // The designed client area, 6330 x 5835 twips, and every control fits in it.
        QCOMPARE(w.size(), QSize(422, 389));
        QVERIFY(w.width() >= w.minimumSizeHint().width());
        QVERIFY(w.height() >= w.minimumSizeHint().height());

        auto* tabs = w.findChild<QTabWidget*>();
        QVERIFY(tabs);
        QStringList tabTexts;
        for (int i = 0; i < tabs->count(); ++i) {
            tabTexts << tabs->tabText(i);
        }
        QCOMPARE(tabTexts, Split("连接|显示|本地资源|高级"));
        const struct {
            const char *name, *caption;
            int tab; // -1: outside the tabs
        } controls[] = {{"lblTips", "连接设置", -1},
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
                        {"cmdCancel", "取消", -1}};
        for (const auto& c : controls) {
            QCOMPARE(Caption(w, c.name), QString::fromUtf8(c.caption));
            QVERIFY2(c.tab < 0 || tabs->widget(c.tab)->isAncestorOf(Child<QWidget>(w, c.name)),
                     c.name);
        }
        // The local resources sit inside their frame; reconnection is not in the performance one.
        QVERIFY(Child<QGroupBox>(w, "fraPrint")->isAncestorOf(Check(w, "chkSmartCards")));
        QVERIFY(!Child<QGroupBox>(w, "fraBitmapPeristence")
                     ->isAncestorOf(Check(w, "chkCanAutoReconnect")));
        const QString tip = Check(w, "chkSmartCards")->toolTip();
        QVERIFY(tip.contains(QStringLiteral("剪贴板")) && tip.contains(QStringLiteral("智能卡")));
        QVERIFY(Child<QWidget>(w, "Image1") && Child<QWidget>(w, "Image2"));
        QCOMPARE(Text(w, "txtPassword")->echoMode(), QLineEdit::Password);
        Text(w, "txtPassword")->setText(QStringLiteral("pw"));
        QCOMPARE(Text(w, "txtPassword")->displayText(), QStringLiteral("**"));
        QCOMPARE(Text(w, "txtUserName")->echoMode(), QLineEdit::Normal);
        for (auto* list : w.findChildren<QComboBox*>()) {
            QVERIFY2(!list->isEditable(), qPrintable(list->objectName()));
        }
        for (auto* button : w.findChildren<QPushButton*>()) {
            QVERIFY2(!button->isDefault() && !button->autoDefault(),
                     qPrintable(button->objectName()));
        }
    }

    void optionListsHoldTheirEntriesInCodeOrder() {
        RDP_frmSetup w;
        w.FillLists();
        w.FillLists(); // a second fill rebuilds rather than appends
        QCOMPARE(Entries(List(w, "cmbDesktopSize")),
                 Split("最大屏幕|1280 x 768 像素|1024 x 768 像素|800 x 600 像素|最大屏幕(宽屏)"));
        QCOMPARE(Entries(List(w, "cmbColorDepth")), Split("256 色|增强色(15 位)"));
        QCOMPARE(Entries(List(w, "cmbAudioMode")),
                 Split("带到这台计算机播放|不要播放|留在远程计算机播放"));
    }

    void noProfilesShowsTheDefaults() {
        RDP_frmSetup w;
        Text(w, "txtUserName")->setText(QStringLiteral("x")); // something else before the fill
        Check(w, "chkDrives")->setChecked(true);
        w.FillLists();
        QCOMPARE(List(w, "cmbClient")->count(), 0);
        // Empty account, 最大屏幕, 增强色(15 位), 带到这台计算机播放, all flags on but drives.
        QCOMPARE(Shown(w), QStringLiteral("||0|1|0|0|1|1|0|1|1|1"));
        QCOMPARE(gConnectPara().SelectIndex(), 0);
    }

    void selectionOutOfRangeShowsTheFirstProfile() {
        AddThree();
        for (const int selection : {0, 4, -1}) {
            gConnectPara().setSelectIndex(selection);
            RDP_frmSetup w;
            w.FillLists();
            QCOMPARE(List(w, "cmbClient")->currentText(), QStringLiteral("甲"));
            QCOMPARE(Text(w, "txtUserName")->text(), QStringLiteral("u1"));
            QCOMPARE(gConnectPara().SelectIndex(), 1);
        }
    }

    void storedSelectionIsShown() {
        AddThree();
        RDP_ConnectParaItems& second = gConnectPara().Item(2);
        second.setPassword(QStringLiteral("pw"));
        second.setIsSavePassword(1);
        second.setDesktopSize(3);
        second.setColorDepth(0);
        second.setAudioMode(2);
        second.setRedirectPrint(0);
        second.setRedirectDrives(1);
        second.setSmartCards(0);
        second.setCanAutoReconnect(0);
        gConnectPara().setSelectIndex(2);
        RDP_frmSetup w;
        w.FillLists();
        QCOMPARE(Shown(w), QStringLiteral("u2|pw|3|0|2|1|0|1|1|0|1|0"));
        QCOMPARE(gConnectPara().SelectIndex(), 2);
    }

    void choosingAnotherProfileDiscardsEdits() {
        AddThree();
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
        QVERIFY(!StoreExists());
    }

    void entriesCarryTheirPositions() {
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

    // Codes are rounded half to even; a code outside a list shows no entry, and the entry of
    // the profile shown before does not linger.
    void storedCodesAndTheirEntries() {
        const std::pair<float, int> places[] = {{0.5f, 0}, {1.5f, 2},  {2.5f, 2},  {3.6f, 4},
                                                {4.5f, 4}, {-0.4f, 0}, {4.6f, -1}, {3.0e9f, -1}};
        RDP_ConnectParaItems& p = AddProfile(QStringLiteral("甲"));
        RDP_frmSetup w;
        for (const auto& [code, place] : places) {
            p.setDesktopSize(2);
            w.FillLists();
            p.setDesktopSize(code);
            w.FillLists();
            QVERIFY2(List(w, "cmbDesktopSize")->currentIndex() == place,
                     qPrintable(QString::number(code)));
        }
        p.setColorDepth(3); // 24 bits, as the store tool can write it
        p.setAudioMode(-1);
        w.FillLists();
        QCOMPARE(List(w, "cmbColorDepth")->currentIndex(), -1);
        QCOMPARE(List(w, "cmbAudioMode")->currentIndex(), -1);
        QVERIFY(List(w, "cmbColorDepth")->currentText().isEmpty());
    }
};

QTEST_MAIN(tst_SetupWindow)
#include "tst_SetupWindow.moc"
