// Two copies of the program saving into one folder, and stores that are not regular files.
#include "StoreFixture.h"

#include "profiles/StoreMerge.h"

#include "common/RegularFile.h"

#include <functional>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

using namespace RDP_basClient;

namespace {

void AddNamed(RDP_ConnectPara& list, const QString& name, const QString& user) {
    list.Add(name, QStringLiteral("h"), QStringLiteral("1"), user, QString(), 0, 0, 0);
    list.SetDefault(list.Count()).setUserName(user);
}

// "name:user" of every profile, in order, then "@" and the selection.
QString Summary(const RDP_ConnectPara& list) {
    QStringList parts;
    for (const RDP_ConnectParaItems& p : list) {
        parts.append(p.ConnectName() + QLatin1Char(':') + p.UserName());
    }
    return parts.join(QLatin1Char(',')) + QStringLiteral("@%1").arg(list.SelectIndex());
}

using Edit = std::function<void(RDP_ConnectPara&)>;

Edit SetUser(int position, const char* user) {
    return [=](RDP_ConnectPara& l) {
        l.Item(position).setUserName(QString::fromUtf8(user));
    };
}
Edit Remove(int position) {
    return [=](RDP_ConnectPara& l) {
        l.Delete(position);
    };
}
Edit AddOne(const char* name) {
    return [=](RDP_ConnectPara& l) {
        AddNamed(l, QString::fromUtf8(name), QStringLiteral("n"));
    };
}
Edit Both(Edit a, Edit b) {
    return [=](RDP_ConnectPara& l) {
        a(l);
        b(l);
    };
}

} // namespace

// Copies A and B both load 甲 and 乙 (乙 selected); A edits and saves, then B edits and saves.
TEST_F(StoreTest, ASaveKeepsWhatAnotherCopySaved) {
    struct Case {
        const char* what;
        Edit first;
        Edit second;
        const char* stored; // the store after B's save, as Summary gives it
        int notices;        // B's notices: one when both changed one profile
    };
    const Case cases[] = {
        {"added there", AddOne("丙"), SetUser(2, "b"), "甲:u1,乙:b,丙:n@2", 0},
        {"changed there", SetUser(1, "a"), SetUser(2, "b"), "甲:a,乙:b@2", 0},
        {"deleted here", AddOne("丙"), Remove(2), "甲:u1,丙:n@0", 0},
        {"deleted there", Remove(1), SetUser(2, "b"), "乙:b@1", 0},
        {"deleted there, selected here", Remove(2), SetUser(1, "b"), "甲:b,乙:u2@2", 1},
        {"added on both", AddOne("丙"), AddOne("丁"), "甲:u1,乙:u2,丁:n,丙:n@3", 0},
        {"changed on both", SetUser(1, "a"), SetUser(1, "b"), "甲:b,乙:u2@2", 1},
        {"changed there, deleted here", SetUser(2, "a"), Both(Remove(2), SetUser(1, "b")), "甲:b@0",
         1},
        {"same change on both", SetUser(1, "x"), SetUser(1, "x"), "甲:x,乙:u2@2", 0},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QFile::remove(StorePath());
        RDP_ConnectPara setup;
        AddNamed(setup, U("甲"), U("u1"));
        AddNamed(setup, U("乙"), U("u2"));
        ASSERT_TRUE(SaveConnectPara(setup).ok());
        RDP_ConnectPara a;
        RDP_ConnectPara b;
        ASSERT_TRUE(LoadConnectPara(a).ok() && LoadConnectPara(b).ok());
        c.first(a);
        ASSERT_TRUE(SaveConnectPara(a).ok());
        c.second(b);
        if (b.SelectIndex() > b.Count()) {
            b.setSelectIndex(0);
        }
        const RDP_basClient::StoreResult saved = SaveConnectPara(b);
        ASSERT_TRUE(saved.ok());
        RDP_ConnectPara back;
        ASSERT_TRUE(LoadConnectPara(back).ok());
        EXPECT_EQ(Summary(back), U(c.stored));
        EXPECT_EQ(Summary(b), U(c.stored)); // B now shows what it saved
        ASSERT_EQ(saved.notices.size(), c.notices);
        if (c.notices == 1) {
            EXPECT_EQ(saved.notices[0], rdp::store::ChangedElsewhereMessage());
        }
    }
}

// A FIFO or a folder where the store belongs is refused with its error; nothing waits on it.
TEST_F(StoreTest, AStoreThatIsNotARegularFileIsRefused) {
    const auto makeFifo = [](const QString& path) {
        return ::mkfifo(QFile::encodeName(path).constData(), 0600) == 0;
    };
    const auto makeFolder = [](const QString& path) {
        return QDir().mkdir(path);
    };
    for (const auto& make : {std::function<bool(const QString&)>(makeFifo),
                             std::function<bool(const QString&)>(makeFolder)}) {
        QFile::remove(StorePath());
        QDir(StorePath()).removeRecursively();
        ASSERT_TRUE(make(StorePath()));
        RDP_ConnectPara list;
        const RDP_basClient::StoreResult loaded = LoadConnectPara(list);
        EXPECT_EQ(loaded.failure, Failure::Refused);
        EXPECT_EQ(loaded.error, 75);
        EXPECT_EQ(loaded.text, rdp::NotRegularFileError(StorePath()).description());
        AddNamed(list, U("甲"), U("u1"));
        const RDP_basClient::StoreResult saved = SaveConnectPara(list);
        EXPECT_EQ(saved.failure, Failure::WriteError);
        EXPECT_EQ(saved.error, 75);
        EXPECT_TRUE(saved.text.startsWith(U("不是普通文件")));
        EXPECT_EQ(rdp::KindOf(StorePath()), rdp::FileKind::Special); // left as it was
        EXPECT_TRUE(ReadConnectParaFile(StorePath(), list).unreadable);
    }
}

// A full disk is told as a full disk, not as an I/O error.
TEST(RegularFile, AFullDiskIsReportedAsFull) {
    const int fd = ::open("/dev/full", O_WRONLY | O_CLOEXEC);
    ASSERT_GE(fd, 0);
    try {
        rdp::WriteAll(fd, QByteArrayView("profiles\r\n"));
        ADD_FAILURE() << "the write succeeded";
    } catch (const rdp::Error& error) {
        EXPECT_EQ(error.number(), rdp::ErrorNumber::DiskFull);
    }
    ::close(fd);
}
