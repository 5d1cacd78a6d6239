// New connections: the dialog's checks and the setup window around it.
#include "SetupTestCase.h"

#include "ui/setup/NewConnectionDialog.h"

using namespace setuptest;

namespace {

void FillAndConfirm(NewConnectionDialog* d, const QString& name, const QString& server,
                    const QString& port) {
    Text(*d, "txtConnectName")->setText(name);
    Text(*d, "txtServer")->setText(server);
    Text(*d, "txtPort")->setText(port);
    QTest::mouseClick(Button(*d, "cmdOk"), Qt::LeftButton);
}

} // namespace

class tst_SetupNew : public SetupTestCase {
    Q_OBJECT

private slots:

    void dialogRefuses() {
        AddProfile(QStringLiteral("Office"));
        AddProfile(QStringLiteral("总部"));
        const char* needName = "连接名称必须输入。";
        const char* badPort = "端口必须是 1 到 65535 之间的整数。";
        const char* rows[][4] = {
            {"", "host", "3389", needName},
            {"   ", "host", "3389", needName},
            {" office ", "host", "3389", "\"office\"已存在，请重新输入连接名称。"},
            {"总部", "host", "3389", "\"总部\"已存在，请重新输入连接名称。"},
            {"new", "  ", "3389", "服务器地址必须输入。"},
            {"a\tb", "host", "3389", "连接名称不能包含制表符、回车、换行等控制字符。"},
            {"new", "h\rx", "3389", "服务器地址不能包含制表符、回车、换行等控制字符。"},
            {"new", "host", "0", badPort},
            {"new", "host", "65536", badPort},
            {"new", "host", "", badPort},
            {"new", "host", "-1", badPort},
            {"new", "host", "+80", badPort},
            {"new", "host", "rdp", badPort},
            {"new", "host", "80.5", badPort},
            {"new", "host", "３３８９", badPort}}; // full-width digits
        for (const auto& [name, server, port, message] : rows) {
            env_->fake.messages.clear();
            NewConnectionDialog d(gConnectPara());
            QCOMPARE(Text(d, "txtPort")->text(), QStringLiteral("3389")); // filled in
            QVERIFY(Text(d, "txtConnectName")->text().isEmpty());
            QVERIFY(Text(d, "txtServer")->text().isEmpty());
            d.show();
            FillAndConfirm(&d, QString::fromUtf8(name), QString::fromUtf8(server),
                           QString::fromUtf8(port));
            QVERIFY2(d.isVisible(), message); // stays open
            QCOMPARE(d.result(), int(QDialog::Rejected));
            QCOMPARE(env_->fake.messages.size(), 1);
            const auto& m = env_->fake.messages.front();
            QCOMPARE(m.text, QString::fromUtf8(message));
            QCOMPARE(m.style, 64);
            QCOMPARE(m.title, QStringLiteral("连接"));
            QCOMPARE(m.owner, &d);
            QCOMPARE(gConnectPara().Count(), 2);
        }
    }

    void dialogAcceptsAndTrims() {
        AddProfile(QStringLiteral("Office"));
        for (const char* port : {"1", "65535", " 3390 ", "003389"}) {
            NewConnectionDialog d(gConnectPara());
            d.show();
            FillAndConfirm(&d, QStringLiteral("  分部 "), QStringLiteral(" 10.0.0.5 "),
                           QString::fromLatin1(port));
            QVERIFY(!d.isVisible());
            QCOMPARE(d.result(), int(QDialog::Accepted));
            QVERIFY(env_->fake.messages.isEmpty());
            QCOMPARE(d.ConnectName(), QStringLiteral("分部"));
            QCOMPARE(d.Server(), QStringLiteral("10.0.0.5"));
            QCOMPARE(d.Port(), QString::fromLatin1(port).trimmed());
            QCOMPARE(gConnectPara().Count(), 1); // the dialog itself adds nothing
        }
    }

    // The window hides for the dialog, shows again with the new profile selected, and its
    // modal loop runs on until it is closed.
    void newConnectionThroughTheWindow() {
        AddProfile(QStringLiteral("甲"), QStringLiteral("u1")).setColorDepth(0);
        RDP_frmSetup w;
        bool hiddenDuringDialog = false;
        bool shownAgain = false;
        QVERIFY(RunInit(w, [&] {
            WhenShown<NewConnectionDialog>([&](NewConnectionDialog* d) {
                hiddenDuringDialog = !w.isVisible();
                FillAndConfirm(d, QStringLiteral("乙"), QStringLiteral("srv2"),
                               QStringLiteral("3390"));
            });
            QTest::mouseClick(Button(w, "cmdNew"), Qt::LeftButton); // returns after the dialog
            QTimer::singleShot(0, &w, [&] {
                shownAgain = w.isVisible() && w.isModal() && w.IsRunning();
                QCOMPARE(List(w, "cmbClient")->count(), 2);
                QCOMPARE(List(w, "cmbClient")->currentText(), QStringLiteral("乙"));
                QCOMPARE(List(w, "cmbColorDepth")->currentIndex(), 1); // the new one's default
                w.cmdCancel_Click();
            });
        }));
        QVERIFY(hiddenDuringDialog);
        QVERIFY(shownAgain);
        QCOMPARE(gConnectPara().SelectIndex(), 2);
        const auto back = Reload();
        QVERIFY(back && back->Count() == 2);
        QCOMPARE(back->SelectIndex(), 2);
        QCOMPARE(back->Item(2).Server(), QStringLiteral("srv2"));
        QCOMPARE(back->Item(2).Port(), QStringLiteral("3390"));
        QCOMPARE(Fields(back->Item(2)), QStringLiteral("乙|||0|0|1|0|110111"));
        QCOMPARE(Fields(back->Item(1)), QStringLiteral("甲|u1||0|0|0|0|110111"));
    }

    void newConnectionOnAnEmptyList() {
        RDP_frmSetup w;
        w.FillLists();
        WhenShown<NewConnectionDialog>([](NewConnectionDialog* d) {
            FillAndConfirm(d, QStringLiteral("办公室"), QStringLiteral("host"),
                           QStringLiteral("3389"));
        });
        w.cmdNew_Click();
        QCOMPARE(gConnectPara().Count(), 1);
        QCOMPARE(gConnectPara().SelectIndex(), 1);
        QCOMPARE(List(w, "cmbClient")->currentText(), QStringLiteral("办公室"));
        const auto back = Reload();
        QVERIFY(back && back->Count() == 1);
        QCOMPARE(back->SelectIndex(), 1);
        // The defaults of a new connection.
        QCOMPARE(Fields(back->Item(1)), QStringLiteral("办公室|||0|0|1|0|110111"));
        w.cmdCancel_Click();
    }

    void refusedThenCancelledAddsNothing() {
        AddProfile(QStringLiteral("Office"));
        RDP_frmSetup w;
        w.FillLists();
        WhenShown<NewConnectionDialog>([](NewConnectionDialog* d) {
            FillAndConfirm(d, QStringLiteral("OFFICE"), QStringLiteral("host"),
                           QStringLiteral("3389"));
            QVERIFY(d->isVisible());
            QTest::mouseClick(Button(*d, "cmdCancel"), Qt::LeftButton);
        });
        w.cmdNew_Click();
        QVERIFY(w.isVisible()); // shown again after a cancelled dialog too
        QCOMPARE(env_->fake.messages.size(), 1);
        QCOMPARE(gConnectPara().Count(), 1);
        QCOMPARE(List(w, "cmbClient")->count(), 1);
        QVERIFY(!StoreExists());
        w.cmdCancel_Click();
    }
};

QTEST_MAIN(tst_SetupNew)
#include "tst_SetupNew.moc"
