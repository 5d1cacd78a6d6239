#include "StoreFixture.h"

#include <QFileInfo>

#include <ios>

#include <sys/stat.h>

using namespace RDP_basClient;

namespace {

void AddProfiles(RDP_ConnectPara& list, int n) {
    for (int i = 0; i < n; ++i) {
        list.Add(QStringLiteral("p%1").arg(i), QStringLiteral("h"), QStringLiteral("1"), QString(),
                 QString(), 0, 0, 0);
        list.SetDefault(list.Count());
    }
}

} // namespace

// Whatever mode the store had, a save leaves it readable by its owner only.
TEST_F(StoreTest, EverySaveLeavesTheStorePrivate) {
    RDP_ConnectPara list;
    AddProfiles(list, 1);
    ASSERT_TRUE(SaveConnectPara(list).ok());
    EXPECT_EQ(ModeOf(StorePath()), 0600u);
    for (const unsigned before : {0644u, 0640u, 0666u, 0700u}) {
        ASSERT_EQ(::chmod(QFile::encodeName(StorePath()).constData(), before), 0);
        list.Item(1).setPassword(QStringLiteral("secret"));
        list.Item(1).setIsSavePassword(1);
        ASSERT_TRUE(SaveConnectPara(list).ok());
        EXPECT_EQ(ModeOf(StorePath()), 0600u) << std::oct << before;
    }
    EXPECT_EQ(StoreLines().size(), 2);
    EXPECT_EQ(FilesIn(programDir), (QStringList{U("WinEx.DLL"), U("WinEx.DLL.lock")}));
}

// A save killed before its rename left its temporary behind: the next save removes it, and
// nothing else of the folder.
TEST_F(StoreTest, ASaveRemovesStaleTemporariesOfItsOwn) {
    for (const char* name : {"WinEx.DLL.a1B2c3", "WinEx.DLL.damaged-20261207-193000",
                             "WinEx.DLL.bak", "Other.DLL.a1B2c3"}) {
        QFile f(programDir.filePath(U(name)));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write("left over");
    }
    RDP_ConnectPara list;
    AddProfiles(list, 1);
    ASSERT_TRUE(SaveConnectPara(list).ok());
    EXPECT_EQ(FilesIn(programDir),
              (QStringList{U("Other.DLL.a1B2c3"), U("WinEx.DLL"), U("WinEx.DLL.bak"),
                           U("WinEx.DLL.damaged-20261207-193000"), U("WinEx.DLL.lock")}));
}

TEST_F(StoreTest, ReadOnlyStoreIsNotReplacedAndTheErrorComesBack) {
    RDP_ConnectPara list;
    AddProfiles(list, 2);
    ASSERT_TRUE(SaveConnectPara(list).ok());
    const QByteArray before = StoreBytes();
    ASSERT_EQ(::chmod(QFile::encodeName(StorePath()).constData(), 0444), 0);
    AddProfiles(list, 30);
    const RDP_basClient::StoreResult saved = SaveConnectPara(list);
    EXPECT_EQ(saved.failure, Failure::WriteError);
    EXPECT_EQ(saved.error, 70);
    EXPECT_EQ(saved.text, U("没有权限"));
    EXPECT_TRUE(saved.notices.isEmpty());
    EXPECT_EQ(StoreBytes(), before);
    EXPECT_EQ(FilesIn(programDir), (QStringList{U("WinEx.DLL"), U("WinEx.DLL.lock")}));
}

TEST_F(StoreTest, ALineTooLongToCheckFailsTheWholeSave) {
    RDP_ConnectPara list;
    AddProfiles(list, 3);
    ASSERT_TRUE(SaveConnectPara(list).ok());
    const QByteArray before = StoreBytes();
    list.Item(2).setUserName(QString(111112, QLatin1Char('Z'))); // digit sum above 999999
    const RDP_basClient::StoreResult saved = SaveConnectPara(list);
    EXPECT_EQ(saved.failure, Failure::WriteError);
    EXPECT_EQ(saved.error, 6);
    EXPECT_EQ(saved.text, U("溢出"));
    EXPECT_EQ(StoreBytes(), before);                             // the previous store is intact
    list.Item(2).setUserName(QString(110000, QLatin1Char('Z'))); // still within the check
    EXPECT_TRUE(SaveConnectPara(list).ok());
    RDP_ConnectPara back;
    ASSERT_TRUE(LoadConnectPara(back).ok());
    EXPECT_EQ(back.Item(2).UserName().size(), 110000);
}

TEST_F(StoreTest, SaveIntoAMissingFolderFailsWithItsError) {
    fake.programFolder = programDir.filePath(U("gone"));
    RDP_ConnectPara list;
    AddProfiles(list, 5);
    const RDP_basClient::StoreResult saved = SaveConnectPara(list);
    EXPECT_EQ(saved.failure, Failure::WriteError);
    EXPECT_EQ(saved.error, 76);
    EXPECT_EQ(saved.text, U("路径未找到"));
}

// A store that is a symbolic link is saved through it: the link stays a link.
TEST_F(StoreTest, ASaveWritesThroughASymbolicLink) {
    const QString target = stateDir.filePath(U("shared.DLL"));
    RDP_ConnectPara list;
    AddProfiles(list, 1);
    ASSERT_TRUE(SaveConnectParaTo(list, target).ok());
    ASSERT_TRUE(QFile::link(target, StorePath()));
    AddProfiles(list, 1);
    ASSERT_TRUE(SaveConnectPara(list).ok());
    EXPECT_TRUE(QFileInfo(StorePath()).isSymLink());
    EXPECT_EQ(StoreLines().size(), 3);
    EXPECT_EQ(ModeOf(target), 0600u);
}
