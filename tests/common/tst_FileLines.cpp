#include "common/FileLines.h"
#include "common/TextCodec.h"

#include "tests/support/FakePlatform.h"

#include <QFile>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include "Version.h"

using RDP_basFile::ReadFileLine;
using RDP_basFile::WriteFileLine;

namespace {

class FileLines : public ::testing::Test {
protected:
    QString PathOf(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void Put(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QByteArray Get(const QString& path) {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray("<missing>");
    }

    rdp::test::FakePlatform fake;
    QTemporaryDir dir;
};

QString U(const char* s) {
    return QString::fromUtf8(s);
}

} // namespace

TEST_F(FileLines, EncodedWriteAndRead) {
    const QString path = PathOf("f.DLL");
    EXPECT_EQ(WriteFileLine(path, false, U("abc"), true), 0); // append creates the file
    EXPECT_EQ(WriteFileLine(path, false, U("a;b =\r\n c"), true), 0);
    EXPECT_EQ(Get(path).left(26), QByteArray("097000098000099000000051\r\n"));
    QString text;
    EXPECT_EQ(ReadFileLine(path, text, 1, true), 0);
    EXPECT_EQ(text, U("abc"));
    EXPECT_EQ(ReadFileLine(path, text, 2, true), 0);
    EXPECT_EQ(text, U("a;b =\r\n c")); // CR and LF stay inside the one encoded line
    EXPECT_EQ(ReadFileLine(path, text, 3, true), 0);
    EXPECT_EQ(text, QString());                             // past the end
    EXPECT_EQ(WriteFileLine(path, true, U("中"), true), 0); // overwrite replaces all
    EXPECT_EQ(Get(path), QByteArray("045078000024\r\n"));
    EXPECT_TRUE(fake.messages.isEmpty());
}

TEST_F(FileLines, EmptyTextAndEmptyLinesEndTheNumbering) {
    const QString path = PathOf("f.DLL");
    Put(path, "097000000016\r\n\r\n098000000017\r\n");
    QString text = U("x");
    EXPECT_EQ(ReadFileLine(path, text, 2, true), 0);
    EXPECT_EQ(text, QString());
    EXPECT_EQ(ReadFileLine(path, text, 3, true), 0); // skipping stops at the empty line
    EXPECT_EQ(text, QString());
    EXPECT_EQ(ReadFileLine(path, text, 0, true), 0); // below 2 skips nothing
    EXPECT_EQ(text, U("a"));
    EXPECT_EQ(WriteFileLine(path, true, QString(), true), 0);
    EXPECT_EQ(Get(path), QByteArray("\r\n"));
}

TEST_F(FileLines, LineEndsAndBadLines) {
    const QString path = PathOf("f.DLL");
    Put(path, "097000000016\n098000000017\r\n12345\r\n098000000018\n");
    QString text;
    EXPECT_EQ(ReadFileLine(path, text, 2, true), 0);
    EXPECT_EQ(text, U("b")); // after an LF-only line end
    text = U("kept");
    EXPECT_EQ(ReadFileLine(path, text, 3, true), -1);
    EXPECT_EQ(text, U("kept"));
    EXPECT_EQ(ReadFileLine(path, text, 4, true), -2);
    EXPECT_EQ(text, QString());
    EXPECT_EQ(ReadFileLine(path, text, 3, false), 0);
    EXPECT_EQ(text, U("12345"));
}

TEST_F(FileLines, PlainLinesInCodePage936) {
    const QString path = PathOf("WinClientPath.DLL");
    const QString folder = U("/opt/远程/€x") + QChar(u'\u00B6') + QChar(char16_t(0xD800));
    EXPECT_EQ(WriteFileLine(path, false, folder, false), 0);
    EXPECT_EQ(Get(path), QByteArray("/opt/\xD4\xB6\xB3\xCC/\x80x??\r\n"));
    QString text;
    EXPECT_EQ(ReadFileLine(path, text, 1, false), 0);
    EXPECT_EQ(text, U("/opt/远程/€x??"));
}

TEST_F(FileLines, ReadingAMissingFileCreatesItEmpty) {
    const QString path = PathOf("none.DLL");
    QString text = U("x");
    EXPECT_EQ(ReadFileLine(path, text, 1, true), 0);
    EXPECT_EQ(text, QString());
    EXPECT_TRUE(QFile::exists(path));
    EXPECT_EQ(ReadFileLine(dir.path(), text, 1, false), -1); // a folder cannot be read
}

TEST_F(FileLines, WriteFailuresShowOneMessageWithTheProgramTitle) {
    const QString path = PathOf("ro.DLL");
    Put(path, "keep\r\n");
    QFile::setPermissions(path, QFileDevice::ReadOwner | QFileDevice::ReadUser);
    EXPECT_EQ(WriteFileLine(path, true, U("x"), true), -1);
    EXPECT_EQ(Get(path), QByteArray("keep\r\n")); // a read-only file is not replaced
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, U("70:没有权限"));
    EXPECT_EQ(fake.messages[0].style, 0);
    EXPECT_EQ(fake.messages[0].title, QString::fromUtf8(rdp::DisplayName));

    EXPECT_EQ(WriteFileLine(PathOf("no/such/folder.DLL"), false, U("x"), false), -1);
    EXPECT_EQ(fake.messages.back().text, U("76:路径未找到"));
}

TEST_F(FileLines, ALineThatCouldNotBeCheckedIsRefused) {
    const QString path = PathOf("f.DLL");
    Put(path, "keep\r\n");
    EXPECT_EQ(WriteFileLine(path, true, QString(111112, QLatin1Char('Z')), true), -1);
    EXPECT_EQ(Get(path), QByteArray("keep\r\n"));
    ASSERT_EQ(fake.messages.size(), 1);
    EXPECT_EQ(fake.messages[0].text, U("6:溢出"));
    EXPECT_EQ(WriteFileLine(path, false, QString(111111, QLatin1Char('Z')), true), 0);
}

TEST(NextLine, SplitsAtLfAndDropsOneCr) {
    const QByteArray content("a\r\nb\n\r\nc\r\r\nd\r");
    qsizetype pos = 0;
    QList<QByteArray> lines;
    for (int i = 0; i < 7; ++i) {
        lines.append(rdp::NextLine(content, pos).toByteArray());
    }
    const QList<QByteArray> expected{"a", "b", "", "c\r", "d", "", ""};
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(pos, content.size());
}
