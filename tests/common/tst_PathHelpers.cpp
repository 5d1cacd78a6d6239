#include "common/PathHelpers.h"

#include "tests/support/FakePlatform.h"

#include <QDir>
#include <QFile>
#include <QStorageInfo>
#include <QTemporaryDir>

#include <gtest/gtest.h>

using namespace RDP_basFile;

namespace {
QString L(const char* s) {
    return QString::fromUtf8(s);
}
} // namespace

TEST(PathHelpers, AddPathSlashAndCutAtNull) {
    // Trailing blanks go; a path that already ends with "/" (blanks aside) is left exactly.
    const char* cases[][2] = {{"/tmp", "/tmp/"},      {"/tmp/", "/tmp/"},    {"/tmp  ", "/tmp/"},
                              {" /tmp/ ", " /tmp/ "}, {"  /tmp", "  /tmp/"}, {"", "/"}};
    for (const auto& [path, slashed] : cases) {
        QString t = L(path);
        AddPathSlash(t);
        EXPECT_EQ(t, L(slashed)) << path;
    }
    EXPECT_EQ(CutAtNull(L("abc")), L("abc"));
    EXPECT_EQ(CutAtNull(QString(QChar(u'\0')) + L("abc")), QString());
    EXPECT_EQ(CutAtNull(L("ab") + QChar(u'\0') + L("c") + QChar(u'\0')), L("ab"));
}

TEST(PathHelpers, CheckAndRemoveFiles) {
    QTemporaryDir dir;
    const QString file = dir.filePath(L("a.DLL"));
    EXPECT_FALSE(CheckFileExist(file));
    EXPECT_FALSE(RemoveFile(file));
    QFile f(file);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.close();
    EXPECT_TRUE(CheckFileExist(file));
    EXPECT_FALSE(CheckFileExist(dir.path())); // a folder is no file
    EXPECT_FALSE(RemoveFile(dir.path()));
    QFile::setPermissions(file, QFileDevice::ReadOwner);
    EXPECT_TRUE(RemoveFile(file)); // read-only files are removed too
    EXPECT_FALSE(CheckFileExist(file));
    EXPECT_FALSE(CheckFileExist(QString()));
}

TEST(PathHelpers, DriveIsTheMountPoint) {
    EXPECT_EQ(GetPathDrive(L("/")), QString()); // the root file system
    EXPECT_EQ(GetPathDrive(L("relative/path")), QString());
    // Every mounted volume is its own drive, for itself and for every path below it.
    int volumes = 0;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        const QString root = volume.rootPath();
        if (root == L("/") || !QDir(root).exists()) {
            continue;
        }
        EXPECT_EQ(GetPathDrive(root), root) << root.toStdString();
        EXPECT_EQ(GetPathDrive(root + L("/")), root) << root.toStdString();
        EXPECT_EQ(GetPathDrive(root + L("/no/such/child")), root) << root.toStdString();
        ++volumes;
    }
    QTemporaryDir dir;
    const QString drive = GetPathDrive(dir.path());
    EXPECT_TRUE(dir.path().startsWith(drive + L("/")));
    EXPECT_NE(dir.path(), drive); // a temporary folder is no volume root
}

TEST(PathHelpers, SystemPathComesFromThePlatform) {
    rdp::test::FakePlatform fake;
    fake.systemFolder = L("/var/lib/rdp-launcher");
    EXPECT_EQ(GetSystemPath(), L("/var/lib/rdp-launcher/"));
    fake.systemFolder = L("/state/");
    EXPECT_EQ(GetSystemPath(), L("/state/"));
    fake.systemFolder.clear();
    EXPECT_EQ(GetSystemPath(), QString());
}
