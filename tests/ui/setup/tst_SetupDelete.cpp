// Deleting connections in the setup window.
#include "SetupTestSupport.h"

#include <QFile>

using namespace setuptest;

class tst_SetupDelete : public QObject {
    Q_OBJECT

private slots:
    void init() { env_ = std::make_unique<Env>(); }
    void cleanup() { env_.reset(); }

    void deleteOfThree_data();
    void deleteOfThree();
    void deleteTheOnlyProfile();
    void cancelledQuestionChangesNothing();
    void nothingToDelete_data();
    void nothingToDelete();
    void nameWithQuotesIsQuotedAsItIs();
    void errorIsShownAndTheWindowStays();
    void failedStoreWriteStillRebuildsTheLists();

private:
    void AddThree() {
        AddProfile(QStringLiteral("甲"), QStringLiteral("u1"));
        AddProfile(QStringLiteral("乙"), QStringLiteral("u2"));
        AddProfile(QStringLiteral("丙"), QStringLiteral("u3"));
    }

    std::unique_ptr<Env> env_;
};

void tst_SetupDelete::deleteOfThree_data() {
    QTest::addColumn<int>("selected");
    QTest::addColumn<int>("storedSelection");
    QTest::addColumn<QString>("shown");
    QTest::addColumn<QString>("shownUser");
    QTest::addColumn<QStringList>("left");
    QTest::newRow("first") << 1 << 0 << QStringLiteral("乙") << QStringLiteral("u2")
                           << QStringList{QStringLiteral("乙"), QStringLiteral("丙")};
    QTest::newRow("middle") << 2 << 1 << QStringLiteral("甲") << QStringLiteral("u1")
                            << QStringList{QStringLiteral("甲"), QStringLiteral("丙")};
    QTest::newRow("last") << 3 << 2 << QStringLiteral("乙") << QStringLiteral("u2")
                          << QStringList{QStringLiteral("甲"), QStringLiteral("乙")};
}

void tst_SetupDelete::deleteOfThree() {
    QFETCH(int, selected);
    QFETCH(int, storedSelection);
    QFETCH(QString, shown);
    QFETCH(QString, shownUser);
    QFETCH(QStringList, left);
    AddThree();
    gConnectPara().setSelectIndex(selected);
    RDP_frmSetup w;
    w.FillLists();
    env_->fake.answerNext(rdp::MsgResult::Ok);
    QTest::mouseClick(Button(w, "cmdDelete"), Qt::LeftButton);

    QCOMPARE(env_->fake.messages.size(), 1);
    const auto& question = env_->fake.messages.front();
    QCOMPARE(question.style, 33);
    QCOMPARE(question.title, QStringLiteral("连接"));
    const QString names[] = {QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")};
    QCOMPARE(question.text,
             QStringLiteral("是否删除连接\"%1\"，注意删除后不能恢复。").arg(names[selected - 1]));

    QComboBox* client = List(w, "cmbClient");
    QCOMPARE(client->count(), 2);
    QCOMPARE(client->currentText(), shown);
    QCOMPARE(Text(w, "txtUserName")->text(), shownUser);
    QCOMPARE(gConnectPara().SelectIndex(), storedSelection == 0 ? 1 : storedSelection);

    const auto back = Reload();
    QVERIFY(back);
    QCOMPARE(back->SelectIndex(), storedSelection);
    QStringList stored;
    for (const RDP_ConnectParaItems& p : *back) {
        stored << p.ConnectName();
    }
    QCOMPARE(stored, left);
}

void tst_SetupDelete::deleteTheOnlyProfile() {
    RDP_ConnectParaItems& p = AddProfile(QStringLiteral("甲"), QStringLiteral("u1"));
    p.setRedirectDrives(1);
    RDP_frmSetup w;
    w.FillLists();
    QCOMPARE(Check(w, "chkDrives")->isChecked(), true);
    w.cmdDelete_Click(); // the fake answers OK

    QCOMPARE(gConnectPara().Count(), 0);
    QCOMPARE(gConnectPara().SelectIndex(), 0);
    QCOMPARE(List(w, "cmbClient")->count(), 0);
    QVERIFY(Text(w, "txtUserName")->text().isEmpty());
    QCOMPARE(Check(w, "chkDrives")->isChecked(), false);
    QCOMPARE(Check(w, "chkPrint")->isChecked(), true);
    QCOMPARE(List(w, "cmbColorDepth")->currentIndex(), 1);
    const auto back = Reload();
    QVERIFY(back);
    QCOMPARE(back->Count(), 0);
    QCOMPARE(back->SelectIndex(), 0);

    // A second delete finds nothing to delete.
    w.cmdDelete_Click();
    QCOMPARE(env_->fake.messages.back().text, QStringLiteral("请指定需要删除的连接。"));
}

void tst_SetupDelete::cancelledQuestionChangesNothing() {
    AddThree();
    gConnectPara().setSelectIndex(2);
    RDP_frmSetup w;
    w.FillLists();
    env_->fake.answerNext(rdp::MsgResult::Cancel);
    w.cmdDelete_Click();
    QCOMPARE(env_->fake.messages.size(), 1);
    QCOMPARE(gConnectPara().Count(), 3);
    QCOMPARE(gConnectPara().SelectIndex(), 2);
    QCOMPARE(List(w, "cmbClient")->currentText(), QStringLiteral("乙"));
    QVERIFY(!QFile::exists(RDP_basClient::ConnectParaFilePath()));
}

void tst_SetupDelete::nothingToDelete_data() {
    QTest::addColumn<int>("profiles");
    QTest::addColumn<int>("selection");
    QTest::newRow("empty list") << 0 << 0;
    QTest::newRow("no selection") << 2 << 0;
}

void tst_SetupDelete::nothingToDelete() {
    QFETCH(int, profiles);
    QFETCH(int, selection);
    for (int i = 1; i <= profiles; ++i) {
        AddProfile(QStringLiteral("p%1").arg(i));
    }
    gConnectPara().setSelectIndex(selection);
    RDP_frmSetup w;
    w.cmdDelete_Click(); // before any fill, so the selection stays as set
    QCOMPARE(env_->fake.messages.size(), 1);
    const auto& m = env_->fake.messages.front();
    QCOMPARE(m.text, QStringLiteral("请指定需要删除的连接。"));
    QCOMPARE(m.style, 64);
    QCOMPARE(m.title, QStringLiteral("连接"));
    QCOMPARE(gConnectPara().Count(), profiles);
    QVERIFY(!QFile::exists(RDP_basClient::ConnectParaFilePath()));
}

void tst_SetupDelete::nameWithQuotesIsQuotedAsItIs() {
    AddProfile(QStringLiteral("总部\"A\"机房"));
    RDP_frmSetup w;
    w.FillLists();
    env_->fake.answerNext(rdp::MsgResult::Cancel);
    w.cmdDelete_Click();
    QCOMPARE(env_->fake.messages.front().text,
             QStringLiteral("是否删除连接\"总部\"A\"机房\"，注意删除后不能恢复。"));
}

// A selection past the end: the list refuses the position, the handler shows the error and
// the window stays as it was.
void tst_SetupDelete::errorIsShownAndTheWindowStays() {
    AddThree();
    RDP_frmSetup w;
    w.FillLists();
    gConnectPara().setSelectIndex(4);
    w.cmdDelete_Click();
    QCOMPARE(env_->fake.messages.size(), 1);
    const auto& m = env_->fake.messages.front();
    QCOMPARE(m.text, QStringLiteral("下标越界"));
    QCOMPARE(m.style, 48);
    QCOMPARE(m.title, QStringLiteral("连接"));
    QCOMPARE(gConnectPara().Count(), 3);
    QCOMPARE(List(w, "cmbClient")->count(), 3);
    QVERIFY(!QFile::exists(RDP_basClient::ConnectParaFilePath()));
}

// The store reports its own failure; the lists are rebuilt as after a successful save.
void tst_SetupDelete::failedStoreWriteStillRebuildsTheLists() {
    AddThree();
    gConnectPara().setSelectIndex(2);
    SaveReadOnlyStore();
    RDP_frmSetup w;
    w.FillLists();
    w.cmdDelete_Click();
    QCOMPARE(env_->fake.messages.size(), 2); // the question, then the store's message
    QCOMPARE(gConnectPara().Count(), 2);
    QCOMPARE(List(w, "cmbClient")->count(), 2);
    QCOMPARE(List(w, "cmbClient")->currentText(), QStringLiteral("甲"));
    const auto back = Reload();
    QVERIFY(back);
    QCOMPARE(back->Count(), 3);
}

QTEST_MAIN(tst_SetupDelete)
#include "tst_SetupDelete.moc"
