// Saves that find something else at the store's place: another file, a damaged store, a
// store or lock of another user, and profiles of equal names.
#include "StoreFixture.h"

#include "profiles/StoreLock.h"
#include "profiles/StoreTarget.h"

#include "common/RegularFile.h"

#include "tests/support/OtherUser.h"

#include <QFileInfo>

#include <functional>
#include <ios>

#include <sys/stat.h>

using namespace RDP_basClient;

namespace {

void AddNamed(RDP_ConnectPara& list, const char* name, const char* server = "h") {
    list.Add(QString::fromUtf8(name), QString::fromUtf8(server), QStringLiteral("1"), {}, {}, 0, 0,
             0);
    list.SetDefault(list.Count());
}

void Share(const QTemporaryDir& dir) { // a folder every user may write
    ::chmod(QFile::encodeName(dir.path()).constData(), 0777);
}

} // namespace

// Between load and save something else comes to the store's place: a save writes only over
// the file it read, or where nothing is; anything else stays as it is, the save says why, and
// the edits stay in the list. A symbolic link to a store keeps working.
TEST_F(StoreTest, ASaveWritesOnlyOverTheFileItRead) {
    const QString victim = stateDir.filePath(U("victim.txt"));
    const QString shared = stateDir.filePath(U("shared.DLL"));
    const QString gone = stateDir.filePath(U("gone.DLL"));
    struct Case {
        const char* what;
        bool throughLink;             // the store is a link to `shared` from the start
        std::function<void()> change; // between load and save
        QString leftAlone;            // a file that keeps its content; empty when the save writes
        QString leadsTo;              // where the refusal says the store's place leads
    };
    const auto replaceBy = [this](const QString& target) {
        return [this, target] {
            QFile::remove(StorePath());
            QFile::link(target, StorePath());
        };
    };
    const Case cases[] = {
        {"link to another file", false, replaceBy(victim), victim, victim},
        {"link to a missing file", false, replaceBy(gone), gone, gone},
        {"a file that is no store", false,
         [this] {
             QFile::remove(StorePath());
             PutFile(StorePath(), "my notes\n");
         },
         StorePath(), StorePath()},
        {"a link to a store, kept", true, [] {}, QString(), QString()},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(StorePath());
        QFile::remove(shared);
        PutFile(victim, "my notes\n");
        RDP_ConnectPara base;
        AddNamed(base, "甲");
        ASSERT_TRUE(SaveConnectParaTo(base, c.throughLink ? shared : StorePath()).ok());
        if (c.throughLink) {
            ASSERT_TRUE(QFile::link(shared, StorePath()));
        }
        RDP_ConnectPara list;
        ASSERT_TRUE(LoadConnectPara(list).ok());
        AddNamed(list, "乙");
        c.change();
        const QByteArray before = c.leftAlone.isEmpty() ? QByteArray() : FileBytes(c.leftAlone);
        const RDP_basClient::StoreResult saved = SaveConnectPara(list);
        EXPECT_EQ(saved.ok(), c.leftAlone.isEmpty());
        EXPECT_EQ(list.Count(), 2); // the edits stay
        if (c.leftAlone.isEmpty()) {
            EXPECT_TRUE(QFileInfo(StorePath()).isSymLink());
            EXPECT_EQ(StoreLines().size(), 3);
            EXPECT_TRUE(saved.notices.isEmpty());
            continue;
        }
        EXPECT_EQ(FileBytes(c.leftAlone), before);
        EXPECT_EQ(saved.failure, Failure::Refused);
        EXPECT_EQ(saved.error, rdp::ErrorNumber::PathFileAccess);
        EXPECT_EQ(saved.text, rdp::store::NotAStoreMessage(StorePath(), c.leadsTo));
        EXPECT_TRUE(saved.text.contains(StorePath()));
    }
}

// A store damaged between load and save (in place, or replaced by a damaged copy) is set
// aside as at start-up and the save goes on: what the other copy had added stays in the copy.
TEST_F(StoreTest, AStoreDamagedBeforeASaveIsSetAsideAndTheSaveGoesOn) {
    for (const bool inPlace : {true, false}) {
        SCOPED_TRACE(inPlace ? "in place" : "replaced");
        QDir(programDir.path()).removeRecursively();
        QDir().mkpath(programDir.path());
        RDP_ConnectPara base;
        AddNamed(base, "甲");
        ASSERT_TRUE(SaveConnectPara(base).ok());
        RDP_ConnectPara mine;
        RDP_ConnectPara other;
        ASSERT_TRUE(LoadConnectPara(mine).ok() && LoadConnectPara(other).ok());
        for (const char* name : {"一", "二", "三"}) {
            AddNamed(other, name);
        }
        ASSERT_TRUE(SaveConnectPara(other).ok());
        QByteArray damaged = StoreBytes();
        damaged[5] = damaged[5] == '1' ? '2' : '1';
        if (inPlace) {
            QFile f(StorePath());
            ASSERT_TRUE(f.open(QIODevice::ReadWrite));
            f.write(damaged);
        } else {
            QFile::remove(StorePath());
            PutStore(damaged);
        }
        mine.Item(1).setUserName(U("u"));
        const RDP_basClient::StoreResult saved = SaveConnectPara(mine);
        EXPECT_TRUE(saved.ok());
        const QStringList kept = QDir(programDir.path()).entryList({U("WinEx.DLL.damaged-*")});
        ASSERT_EQ(kept.size(), 1);
        const QString keptAt = programDir.filePath(kept[0]);
        EXPECT_EQ(saved.keptAt, keptAt);
        EXPECT_EQ(FileBytes(keptAt), damaged);
        EXPECT_EQ(ModeOf(keptAt), 0600u);
        EXPECT_EQ(saved.notices, QStringList{rdp::store::DamagedAtSaveMessage(keptAt, true)});
        RDP_ConnectPara back;
        ASSERT_TRUE(LoadConnectPara(back).ok());
        ASSERT_EQ(back.Count(), 1);
        EXPECT_EQ(back.Item(1).UserName(), U("u"));
    }
    EXPECT_TRUE(rdp::store::LooksLikeStore(" 097000098000000195 "));
    EXPECT_FALSE(rdp::store::LooksLikeStore("12345678901"));
    EXPECT_FALSE(rdp::store::LooksLikeStore("0970000980x0000195"));
}

// Another user's store (mode 0600) in a folder both may write: for the second user it cannot
// be read; it is neither set aside nor written, on load as on save.
TEST_F(StoreTest, AStoreThisUserMayNotReadIsLeftAlone) {
    Share(programDir);
    RDP_ConnectPara owners;
    AddNamed(owners, "甲");
    ASSERT_TRUE(SaveConnectPara(owners).ok());
    const QByteArray before = StoreBytes();
    {
        const rdp::test::AsOtherUser other;
        if (!other.active()) {
            GTEST_SKIP() << "needs root, to act as a second user (nobody)";
        }
        const QString expected =
            UnreadableStoreMessage(StorePath(), U("没有权限"), rdp::ErrorNumber::PermissionDenied);
        RDP_ConnectPara list;
        const RDP_basClient::StoreResult loaded = LoadConnectPara(list);
        AddNamed(list, "乙");
        for (const RDP_basClient::StoreResult& result : {loaded, SaveConnectPara(list)}) {
            EXPECT_EQ(result.failure, Failure::Refused);
            EXPECT_EQ(result.error, rdp::ErrorNumber::PermissionDenied);
            EXPECT_EQ(result.text, expected);
        }
    }
    EXPECT_EQ(StoreBytes(), before);
    EXPECT_EQ(FilesIn(programDir), (QStringList{U("WinEx.DLL"), U("WinEx.DLL.lock")}));
}

// The lock is taken through a read-only descriptor: a lock this user may only read works (its
// own, mode 0400, or another user's); one it may not read, and a folder in its place, each
// fail the save with an error of their own.
TEST_F(StoreTest, TheLockNeedsOnlyToBeRead) {
    const QString lock = rdp::store::StoreLock::LockPath(StorePath());
    RDP_ConnectPara list;
    AddNamed(list, "甲");
    ASSERT_TRUE(QDir().mkdir(lock));
    const RDP_basClient::StoreResult onFolder = SaveConnectPara(list);
    EXPECT_EQ(onFolder.failure, Failure::WriteError);
    EXPECT_EQ(onFolder.error, 75);
    EXPECT_EQ(onFolder.text, rdp::NotRegularFileError(lock).description());
    ASSERT_TRUE(QDir().rmdir(lock));

    Share(programDir);
    PutFile(lock, QByteArray());
    QList<RDP_basClient::StoreResult> saves;
    for (const unsigned mode : {0644u, 0600u}) { // another user's lock: readable, not readable
        ::chmod(QFile::encodeName(lock).constData(), mode);
        const rdp::test::AsOtherUser other;
        if (!other.active()) {
            GTEST_SKIP() << "needs root, to act as a second user (nobody)";
        }
        saves.append(SaveConnectPara(list));
    }
    EXPECT_TRUE(saves[0].ok());
    EXPECT_EQ(saves[1].failure, Failure::Refused);
    EXPECT_EQ(saves[1].text,
              rdp::store::UnreadableLockError(lock).description() + U("窗口中的修改仍然保留。"));
}

// Two profiles of one name, the second selected; another copy saves meanwhile. The save keeps
// the selection on the second, the one the user chose.
TEST_F(StoreTest, TheSelectionStaysOnTheChosenOfEqualNames) {
    RDP_ConnectPara base;
    AddNamed(base, "甲", "h1");
    AddNamed(base, "甲", "h2");
    base.setSelectIndex(1);
    ASSERT_TRUE(SaveConnectPara(base).ok());
    RDP_ConnectPara mine;
    RDP_ConnectPara other;
    ASSERT_TRUE(LoadConnectPara(mine).ok() && LoadConnectPara(other).ok());
    AddNamed(other, "乙");
    ASSERT_TRUE(SaveConnectPara(other).ok());
    mine.setSelectIndex(2);
    ASSERT_TRUE(SaveConnectPara(mine).ok());
    EXPECT_EQ(mine.Count(), 3);
    EXPECT_EQ(mine.SelectIndex(), 2);
    EXPECT_EQ(mine.Item(mine.SelectIndex()).Server(), U("h2"));
    RDP_ConnectPara back;
    ASSERT_TRUE(LoadConnectPara(back).ok());
    EXPECT_EQ(back.SelectIndex(), 2);
    EXPECT_TRUE(fake.messages.isEmpty());
}
