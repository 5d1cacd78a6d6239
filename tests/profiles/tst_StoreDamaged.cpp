#include "StoreFixture.h"

#include "profiles/DamagedStore.h"

#include <QRegularExpression>

using namespace RDP_basClient;

namespace {

const QString kHeader = QStringLiteral("Version = 1.0.0; SelectIndex = 1; ");
QString Record(const char* name) {
    return QStringLiteral("ConnectName = %1; UserName = u; Password = ; IsSavePassword = 0; "
                          "DesktopSize = 0; ColorDepth = 1; Server = h; Port = 1; ")
        .arg(QString::fromUtf8(name));
}

QByteArray GoodStore() {
    return StoreTest::Encoded({kHeader, Record("一"), Record("二")});
}

// The store with byte `at` of line `line` (from 1) replaced.
QByteArray WithByte(QByteArray content, int line, int at, char byte) {
    qsizetype pos = 0;
    for (int n = 1; n < line; ++n) {
        pos = content.indexOf('\n', pos) + 1;
    }
    content[pos + at] = byte;
    return content;
}

} // namespace

// Every kind of damage: the load fails, one message tells the user, the file is kept
// beside the store under a dated name, and no store is left for the next start.
TEST_F(StoreTest, DamagedStoresAreReportedAndSetAside) {
    const QByteArray good = GoodStore();
    const qsizetype line2 = good.indexOf('\n') + 1;
    struct Case {
        const char* what;
        QByteArray content;
        int profilesKept; // profiles added before the damage
    };
    const QList<Case> cases{
        {"one digit changed", WithByte(good, 2, 10, good[line2 + 10] == '1' ? '2' : '1'), 0},
        {"digit changed in the last line",
         WithByte(good, 3, 3, good[good.lastIndexOf('\n', good.size() - 2) + 4] == '9' ? '8' : '9'),
         1},
        {"line cut short", good.left(good.size() - 40) + "\r\n", 1},
        {"line of five digits", Encoded({kHeader}) + "12345\r\n" + Encoded({Record("x")}), 0},
        {"NUL bytes", WithByte(good, 2, 0, '\0'), 0},
        {"NUL line", Encoded({kHeader}) + QByteArray(40, '\0') + "\r\n", 0},
        {"letters", WithByte(good, 2, 7, 'x'), 0},
        {"GBK text",
         Encoded({kHeader}) + "\xD6\xD0\xCE\xC4"
                              "000000\r\n",
         0},
        {"30,000 digits", Encoded({kHeader}) + QByteArray(30000, '7') + "\r\n", 0},
        {"blank line", Encoded({kHeader}) + "        \r\n" + Encoded({Record("x")}), 0},
        {"group above 255", Encoded({kHeader}) + "999000000027\r\n", 0},
        {"number not a number", Encoded({kHeader, U("ConnectName = x; DesktopSize = big; ")}), 1},
        {"empty number", Encoded({kHeader, U("ConnectName = x; ColorDepth = ; ")}), 1},
        {"flag above 255", Encoded({kHeader, U("ConnectName = x; SmartCards = 256; ")}), 1},
        {"negative flag", Encoded({kHeader, U("ConnectName = x; SmartCards = -1; ")}), 1},
        {"key without =", Encoded({kHeader, U("ConnectName; ")}), 0},
        {"selection not a number", Encoded({U("SelectIndex = two; ")}), 0},
        {"selection too large", Encoded({U("SelectIndex = 3000000000; ")}), 0},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        QTemporaryDir folder;
        fake.programFolder = folder.path();
        PutStore(c.content);
        RDP_ConnectPara list;
        const RDP_basClient::StoreResult loaded = LoadConnectPara(list);
        EXPECT_EQ(loaded.failure, Failure::Refused);
        EXPECT_EQ(loaded.error, rdp::ErrorNumber::InvalidFileFormat);
        EXPECT_EQ(list.Count(), c.profilesKept);
        EXPECT_FALSE(ConnectParaFileExists());
        const QStringList files = QDir(folder.path()).entryList(QDir::Files);
        ASSERT_EQ(files.size(), 1);
        EXPECT_TRUE(QRegularExpression(QStringLiteral("^WinEx\\.DLL\\.damaged-\\d{8}-\\d{6}$"))
                        .match(files[0])
                        .hasMatch());
        QFile kept(folder.filePath(files[0]));
        ASSERT_TRUE(kept.open(QIODevice::ReadOnly));
        EXPECT_EQ(kept.readAll(), c.content);      // the profiles are not lost
        EXPECT_EQ(ModeOf(kept.fileName()), 0600u); // nor shown to others
        EXPECT_EQ(loaded.keptAt, folder.filePath(files[0]));
        EXPECT_EQ(loaded.text, rdp::store::DamagedStoreMessage(StorePath(), loaded.keptAt));
        ++n;
    }
    EXPECT_EQ(n, cases.size());
}

// Stores that are not damaged, however unusual.
TEST_F(StoreTest, UndamagedOddStores) {
    struct Case {
        const char* what;
        QByteArray content;
        int count;
        int selection;
    };
    const QByteArray good = GoodStore();
    // 119 characters of record and 4880 of name: 4999 code units, 30,000 digits with the check.
    const QString longName(4880, QChar(u'长'));
    const QList<Case> cases{
        {"empty file", QByteArray(), 0, 0},
        {"LF-only line ends", Encoded({kHeader, Record("一"), Record("二")}, "\n"), 2, 1},
        {"no line end at the end", good.chopped(2), 2, 1},
        {"empty line ends the data", Encoded({kHeader, Record("一")}) + "\r\n" + "garbage\r\n", 1,
         1},
        {"30,000-character line", Encoded({kHeader, Record("x") + longName}), 1, 1},
        {"spaces around lines", "  " + Encoded({kHeader}).chopped(2) + "  \r\n", 0, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        PutStore(c.content);
        RDP_ConnectPara list;
        EXPECT_TRUE(LoadConnectPara(list).ok());
        EXPECT_EQ(list.Count(), c.count);
        EXPECT_EQ(list.SelectIndex(), c.selection);
        EXPECT_EQ(StoreBytes(), c.content); // the loader never writes
    }
    EXPECT_EQ(Encoded({Record("x") + longName}).size(), 30000 + 2);
}

TEST_F(StoreTest, DamagedStoreThatCannotBeRenamedIsCopiedToTheStateFolder) {
    const QDateTime when(QDate(2026, 12, 7), QTime(19, 30, 0));
    PutStore("bad\r\n");
    ASSERT_TRUE(QFile::setPermissions(StorePath(),
                                      QFile::permissions(StorePath()) | QFileDevice::ReadOther));
    rdp::store::FileOps ops = rdp::store::RealFileOps();
    ops.rename = [](const QString&, const QString&) {
        return false;
    };
    const QString kept =
        rdp::store::SetAsideDamagedStore(StorePath(), fake.systemFolder, when, ops);
    EXPECT_EQ(kept, stateDir.filePath(U("WinEx.DLL.damaged-20261207-193000")));
    EXPECT_EQ(ModeOf(kept), 0600u); // it may hold passwords
    EXPECT_FALSE(QFile::exists(StorePath()));
    EXPECT_EQ(FilesIn(stateDir), QStringList{U("WinEx.DLL.damaged-20261207-193000")});

    // The same second again: the name gets a number.
    PutStore("bad\r\n");
    EXPECT_EQ(rdp::store::SetAsideDamagedStore(StorePath(), fake.systemFolder, when, ops),
              stateDir.filePath(U("WinEx.DLL.damaged-20261207-193000-2")));
}

TEST_F(StoreTest, DamagedStoreThatCannotBeMovedStaysAndTheMessageSaysSo) {
    const QDateTime when(QDate(2026, 12, 7), QTime(19, 30, 0));
    PutStore("bad\r\n");
    rdp::store::FileOps ops = rdp::store::RealFileOps();
    ops.rename = [](const QString&, const QString&) {
        return false;
    };
    ops.remove = [](const QString&) {
        return false;
    };
    EXPECT_EQ(rdp::store::SetAsideDamagedStore(StorePath(), fake.systemFolder, when, ops),
              QString());
    EXPECT_EQ(StoreBytes(), QByteArray("bad\r\n"));
    EXPECT_TRUE(FilesIn(stateDir).isEmpty()); // no copy left behind
    ops.copy = [](const QString&, const QString&) {
        return false;
    };
    EXPECT_EQ(rdp::store::SetAsideDamagedStore(StorePath(), fake.systemFolder, when, ops),
              QString());

    const QString message = rdp::store::DamagedStoreMessage(StorePath(), QString());
    EXPECT_TRUE(message.startsWith(U("连接设置不正确！")));
    EXPECT_TRUE(message.contains(U("无法移走")));
    EXPECT_TRUE(message.contains(StorePath()));
}
