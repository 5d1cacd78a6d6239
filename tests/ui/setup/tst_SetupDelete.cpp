// Deleting connections in the setup window.
#include "SetupTestCase.h"

using namespace setuptest;

namespace {

QStringList StoredNames(const RDP_ConnectPara& list) {
    QStringList names;
    for (const RDP_ConnectParaItems& p : list) {
        names << p.ConnectName();
    }
    return names;
}

} // namespace

class tst_SetupDelete : public SetupTestCase {
    Q_OBJECT

    void CheckMessage(const QString& text, int style) {
        QCOMPARE(env_->fake.messages.size(), 1);
        const auto& m = env_->fake.messages.front();
        QCOMPARE(m.text, text);
        QCOMPARE(m.style, style);
        QCOMPARE(m.title, QStringLiteral("连接"));
    }

private slots:

    // Deleting the first, a middle and the last of three: the question, what is shown, and
    // the store (its selection is the one before the deleted profile, 0 for the first).
    void deleteOfThree() {
        const struct {
            int selected, storedSelection;
            const char *shown, *shownUser, *left;
        } rows[] = {
            {1, 0, "乙", "u2", "乙|丙"}, {2, 1, "甲", "u1", "甲|丙"}, {3, 2, "乙", "u2", "甲|乙"}};
        const QStringList names{QStringLiteral("甲"), QStringLiteral("乙"), QStringLiteral("丙")};
        for (const auto& r : rows) {
            env_.reset();
            env_ = std::make_unique<Env>();
            AddThree();
            gConnectPara().setSelectIndex(r.selected);
            RDP_frmSetup w;
            w.FillLists();
            env_->fake.answerNext(rdp::MsgResult::Ok);
            QTest::mouseClick(Button(w, "cmdDelete"), Qt::LeftButton);
            CheckMessage(QStringLiteral("是否删除连接\"%1\"，注意删除后不能恢复。")
                             .arg(names[r.selected - 1]),
                         33);
            QCOMPARE(List(w, "cmbClient")->count(), 2);
            QCOMPARE(Text(w, "txtUserName")->text(), QLatin1String(r.shownUser));
            QCOMPARE(List(w, "cmbClient")->currentText(), QString::fromUtf8(r.shown));
            QCOMPARE(gConnectPara().SelectIndex(), std::max(1, r.storedSelection));
            const auto back = Reload();
            QVERIFY(back);
            QCOMPARE(back->SelectIndex(), r.storedSelection);
            QCOMPARE(StoredNames(*back).join(QLatin1Char('|')), QString::fromUtf8(r.left));
        }
    }

    void deleteTheOnlyProfile() {
        AddProfile(QStringLiteral("甲"), QStringLiteral("u1")).setRedirectDrives(1);
        RDP_frmSetup w;
        w.FillLists();
        QVERIFY(Check(w, "chkDrives")->isChecked());
        w.cmdDelete_Click(); // the fake answers OK
        QCOMPARE(gConnectPara().Count(), 0);
        QCOMPARE(gConnectPara().SelectIndex(), 0);
        QCOMPARE(List(w, "cmbClient")->count(), 0);
        QVERIFY(Text(w, "txtUserName")->text().isEmpty());
        QVERIFY(!Check(w, "chkDrives")->isChecked()); // the defaults again
        QVERIFY(Check(w, "chkPrint")->isChecked());
        QCOMPARE(List(w, "cmbColorDepth")->currentIndex(), 1);
        const auto back = Reload();
        QVERIFY(back);
        QCOMPARE(back->Count(), 0);
        QCOMPARE(back->SelectIndex(), 0);
        w.cmdDelete_Click(); // a second delete finds nothing to delete
        QCOMPARE(env_->fake.messages.back().text, QStringLiteral("请指定需要删除的连接。"));
    }

    void cancelledQuestionChangesNothing() {
        AddThree();
        gConnectPara().Item(2).setConnectName(QStringLiteral("总部\"A\"机房"));
        gConnectPara().setSelectIndex(2);
        RDP_frmSetup w;
        w.FillLists();
        env_->fake.answerNext(rdp::MsgResult::Cancel);
        w.cmdDelete_Click();
        // The name is quoted as it is.
        CheckMessage(QStringLiteral("是否删除连接\"总部\"A\"机房\"，注意删除后不能恢复。"), 33);
        QCOMPARE(gConnectPara().Count(), 3);
        QCOMPARE(gConnectPara().SelectIndex(), 2);
        QCOMPARE(List(w, "cmbClient")->currentIndex(), 1);
        QVERIFY(!StoreExists());
    }

    void nothingToDelete() {
        for (const int profiles : {0, 2}) {
            env_.reset();
            env_ = std::make_unique<Env>();
            for (int i = 1; i <= profiles; ++i) {
                AddProfile(QStringLiteral("p%1").arg(i));
            }
            gConnectPara().setSelectIndex(0);
            RDP_frmSetup w;
            w.cmdDelete_Click(); // before any fill, so the selection stays as set
            CheckMessage(QStringLiteral("请指定需要删除的连接。"), 64);
            QCOMPARE(gConnectPara().Count(), profiles);
            QVERIFY(!StoreExists());
        }
    }

    // A selection past the end: the list refuses the position, the handler shows the error
    // and the window stays as it was.
    void errorIsShownAndTheWindowStays() {
        AddThree();
        RDP_frmSetup w;
        w.FillLists();
        gConnectPara().setSelectIndex(4);
        w.cmdDelete_Click();
        CheckMessage(QStringLiteral("下标越界"), 48);
        QCOMPARE(gConnectPara().Count(), 3);
        QCOMPARE(List(w, "cmbClient")->count(), 3);
        QVERIFY(!StoreExists());
    }

    // The store reports its own failure; the lists are rebuilt as after a successful save.
    void failedStoreWriteStillRebuildsTheLists() {
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
};

QTEST_MAIN(tst_SetupDelete)
#include "tst_SetupDelete.moc"
