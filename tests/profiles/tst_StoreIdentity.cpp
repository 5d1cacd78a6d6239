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

// A message as the platform shows it (CR LF as one line break).
QString Shown(QString text) {
    return text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
}

void Share(const QTemporaryDir& dir) { // a folder every user may write
    ::chmod(QFile::encodeName(dir.path()).constData(), 0777);
}

} // namespace

// Between load and save something else comes to the store's place: a save writes only over
// the file it read, or where nothing is; anything else stays as it is, the user is told, and
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
        QString leadsTo;              // where the message says the store's place leads
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
        ASSERT_TRUE(SaveConnectParaTo(base, c.throughLink ? shared : StorePath()));
        if (c.throughLink) {
            ASSERT_TRUE(QFile::link(shared, StorePath()));
        }
        RDP_ConnectPara list;
        ASSERT_TRUE(LoadConnectPara(list));
        AddNamed(list, "乙");
        c.change();
        const QByteArray before = c.leftAlone.isEmpty() ? QByteArray() : FileBytes(c.leftAlone);
        fake.messages.clear();
        EXPECT_EQ(SaveConnectPara(list), c.leftAlone.isEmpty());
        EXPECT_EQ(list.Count(), 2); // the edits stay
        if (c.leftAlone.isEmpty()) {
            EXPECT_TRUE(QFileInfo(StorePath()).isSymLink());
            EXPECT_EQ(StoreLines().size(), 3);
            EXPECT_TRUE(fake.messages.isEmpty());
            continue;
        }
        EXPECT_EQ(FileBytes(c.leftAlone), before);
        ASSERT_EQ(fake.messages.size(), 1);
        EXPECT_EQ(fake.messages[0].text,
                  Shown(rdp::store::NotAStoreMessage(StorePath(), c.leadsTo)));
        EXPECT_TRUE(fake.messages[0].text.contains(StorePath()));
        EXPECT_EQ(fake.messages[0].style, 48);
        EXPECT_EQ(fake.messages[0].title, U("连接"));
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
        ASSERT_TRUE(SaveConnectPara(base));
        RDP_ConnectPara mine;
        RDP_ConnectPara other;
        ASSERT_TRUE(LoadConnectPara(mine) && LoadConnectPara(other));
        for (const char* name : {"一", "二", "三"}) {
            AddNamed(other, name);
        }
        ASSERT_TRUE(SaveConnectPara(other));
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
        fake.messages.clear();
        mine.Item(1).setUserName(U("u"));
        EXPECT_TRUE(SaveConnectPara(mine));
        const QStringList kept = QDir(programDir.path()).entryList({U("WinEx.DLL.damaged-*")});
        ASSERT_EQ(kept.size(), 1);
        const QString keptAt = programDir.filePath(kept[0]);
        EXPECT_EQ(FileBytes(keptAt), damaged);
        EXPECT_EQ(ModeOf(keptAt), 0600u);
        ASSERT_EQ(fake.messages.size(), 1);
        EXPECT_EQ(fake.messages[0].text, Shown(rdp::store::DamagedAtSaveMessage(keptAt, true)));
        EXPECT_EQ(fake.messages[0].style, 48);
        RDP_ConnectPara back;
        ASSERT_TRUE(LoadConnectPara(back));
        ASSERT_EQ(back.Count(), 1);
        EXPECT_EQ(back.Item(1).UserName(), U("u"));
    }
    EXPECT_TRUE(rdp::store::LooksLikeStore(" 097000098000000195 "));
    EXPECT_FALSE(rdp::store::LooksLikeStore("12345678901"));
    EXPECT_FALSE(rdp::store::LooksLikeStore("0970000980x0000195"));
}

// Another user's store (mode 0600) in a folder both may write: the second user is told that
// it cannot be read; it is neither set aside nor written, on load as on save.
TEST_F(StoreTest, AStoreThisUserMayNotReadIsLeftAlone) {
    Share(programDir);
    RDP_ConnectPara owners;
    AddNamed(owners, "甲");
    ASSERT_TRUE(SaveConnectPara(owners));
    const QByteArray before = StoreBytes();
    {
        const rdp::test::AsOtherUser other;
        if (!other.active()) {
            GTEST_SKIP() << "needs root, to act as a second user (nobody)";
        }
        RDP_ConnectPara list;
        EXPECT_FALSE(LoadConnectPara(list));
        AddNamed(list, "乙");
        EXPECT_FALSE(SaveConnectPara(list));
    }
    const QString expected = Shown(
        UnreadableStoreMessage(StorePath(), U("没有权限"), rdp::ErrorNumber::PermissionDenied));
    ASSERT_EQ(fake.messages.size(), 2);
    EXPECT_EQ(fake.messages[0].text, expected);
    EXPECT_EQ(fake.messages[1].text, expected);
    EXPECT_EQ(fake.messages[0].style, 48);
    EXPECT_EQ(StoreBytes(), before);
    EXPECT_EQ(FilesIn(programDir), (QStringList{U("WinEx.DLL"), U("WinEx.DLL.lock")}));
}

// The lock is taken through a read-only descriptor: a lock this user may only read works (its
// own, mode 0400, or another user's); one it may not read, and a folder in its place, each
// get a message of their own.
TEST_F(StoreTest, TheLockNeedsOnlyToBeRead) {
    const QString lock = rdp::store::StoreLock::LockPath(StorePath());
    RDP_ConnectPara list;
    AddNamed(list, "甲");
    ASSERT_TRUE(QDir().mkdir(lock));
    EXPECT_FALSE(SaveConnectPara(list));
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, U("75:") + rdp::NotRegularFileError(lock).description());
    ASSERT_TRUE(QDir().rmdir(lock));

    Share(programDir);
    PutFile(lock, QByteArray());
    fake.messages.clear();
    for (const unsigned mode : {0644u, 0600u}) { // another user's lock: readable, not readable
        ::chmod(QFile::encodeName(lock).constData(), mode);
        const rdp::test::AsOtherUser other;
        if (!other.active()) {
            GTEST_SKIP() << "needs root, to act as a second user (nobody)";
        }
        EXPECT_EQ(SaveConnectPara(list), mode == 0644u) << std::oct << mode;
    }
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, Shown(rdp::store::UnreadableLockError(lock).description() +
                                           U("窗口中的修改仍然保留。")));
    EXPECT_EQ(fake.messages[0].style, 48);
}

// Two profiles of one name, the second selected; another copy saves meanwhile. The save keeps
// the selection on the second, the one the user chose.
TEST_F(StoreTest, TheSelectionStaysOnTheChosenOfEqualNames) {
    RDP_ConnectPara base;
    AddNamed(base, "甲", "h1");
    AddNamed(base, "甲", "h2");
    base.setSelectIndex(1);
    ASSERT_TRUE(SaveConnectPara(base));
    RDP_ConnectPara mine;
    RDP_ConnectPara other;
    ASSERT_TRUE(LoadConnectPara(mine) && LoadConnectPara(other));
    AddNamed(other, "乙");
    ASSERT_TRUE(SaveConnectPara(other));
    mine.setSelectIndex(2);
    ASSERT_TRUE(SaveConnectPara(mine));
    EXPECT_EQ(mine.Count(), 3);
    EXPECT_EQ(mine.SelectIndex(), 2);
    EXPECT_EQ(mine.Item(mine.SelectIndex()).Server(), U("h2"));
    RDP_ConnectPara back;
    ASSERT_TRUE(LoadConnectPara(back));
    EXPECT_EQ(back.SelectIndex(), 2);
    EXPECT_TRUE(fake.messages.isEmpty());
}
