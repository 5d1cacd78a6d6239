#include "profiles/ConnectParaStore.h"

#include "common/TextCodec.h"

#include "tests/support/FakePlatform.h"
#include "tests/support/HeldLock.h"
#include "tests/support/OtherUser.h"
#include "tests/support/ProfileFields.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include <sys/stat.h>
#include <unistd.h>

namespace {

struct ToolRun {
    int code = -1;
    QString out;
    QString err;
};

QString U(const char* s) {
    return QString::fromUtf8(s);
}

class RdpStore : public ::testing::Test {
protected:
    // Runs rdp-store with `input` on its standard input (none: left open and empty), as the
    // other user when `asOtherUser`.
    ToolRun Tool(const QStringList& args, const QByteArray& input = {}, bool asOtherUser = false) {
        QProcess p;
        if (asOtherUser) {
            p.setChildProcessModifier([] {
                if (::setgid(rdp::test::kOtherGroup) != 0 || ::setuid(rdp::test::kOtherUser) != 0) {
                    ::_exit(99);
                }
            });
        }
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove(QStringLiteral("DISPLAY")); // it must not need one
        env.remove(QStringLiteral("WAYLAND_DISPLAY"));
        env.remove(QStringLiteral("QT_QPA_PLATFORM"));
        p.setProcessEnvironment(env);
        p.start(asOtherUser ? CopyForOtherUser() : QStringLiteral(RDP_STORE_BINARY), args);
        if (!input.isNull()) {
            p.write(input);
            p.closeWriteChannel();
        }
        EXPECT_TRUE(p.waitForFinished(30000));
        return {p.exitCode(), QString::fromUtf8(p.readAllStandardOutput()),
                QString::fromUtf8(p.readAllStandardError())};
    }
    // A copy of the tool that the other user can run: the build may lie in a folder only this
    // user may enter (a clone in root's home).
    QString CopyForOtherUser() {
        const QString copy = shared.filePath(QStringLiteral("rdp-store"));
        if (!QFile::exists(copy)) {
            ::chmod(QFile::encodeName(shared.path()).constData(), 0755);
            EXPECT_TRUE(QFile::copy(QStringLiteral(RDP_STORE_BINARY), copy));
        }
        return copy;
    }
    QString File(const char* name = "WinEx.DLL") const {
        return dir.filePath(QString::fromLatin1(name));
    }
    QByteArray Bytes(const QString& path) const {
        QFile f(path);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void Put(const QString& path, const QByteArray& bytes) {
        QFile f(path);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    QStringList Files() const { return QDir(dir.path()).entryList(QDir::Files); }
    ToolRun AddOffice(const QStringList& more = {}, const QByteArray& input = {}) {
        return Tool(QStringList{U("add"), File(), U("--name"), U("办公室"), U("--server"),
                                U("10.0.0.5"), U("--port"), U(" 3389 ")} +
                        more,
                    input);
    }

    QTemporaryDir dir;
    QTemporaryDir shared;
};

} // namespace

TEST_F(RdpStore, HelpAndVersion) {
    const ToolRun help = Tool({U("--help")});
    EXPECT_EQ(help.code, 0);
    EXPECT_TRUE(help.out.contains(U("用法：rdp-store")));
    for (const char* word :
         {"dump", "check", "add", "--show-passwords", "--save-password", "--password-stdin"}) {
        EXPECT_TRUE(help.out.contains(U(word))) << word;
    }
    const ToolRun version = Tool({U("--version")});
    EXPECT_EQ(version.code, 0);
    EXPECT_EQ(version.out, U("rdp-store 1.0.0\n"));
    EXPECT_EQ(Tool({}).code, 2);
    EXPECT_EQ(Tool({U("frobnicate"), File()}).code, 2);
    EXPECT_EQ(Tool({U("check"), File(), U("--name"), U("x")}).code, 2);
}

TEST_F(RdpStore, AddCreatesAStoreTheLauncherLoads) {
    const ToolRun added =
        AddOffice({U("--user"), U("u1"), U("--password"), U("p;w=1"), U("--save-password"),
                   U("--size"), U("2"), U("--audio"), U("1")});
    ASSERT_EQ(added.code, 0) << added.err.toStdString();
    EXPECT_TRUE(added.out.contains(U("办公室")));                  // UTF-8 output
    const auto ownerGroupOther = QFileDevice::Permissions(0x7077); // not the "User" bits
    EXPECT_EQ(QFile::permissions(File()) & ownerGroupOther,
              QFileDevice::ReadOwner | QFileDevice::WriteOwner);
    ASSERT_EQ(Tool({U("add"), File(), U("--name"), U("家;=1"), U("--server"), U("h2;=2"),
                    U("--port"), U("3390")})
                  .code,
              0);

    rdp::test::FakePlatform fake;
    fake.programFolder = dir.path();
    RDP_ConnectPara list;
    ASSERT_TRUE(RDP_basClient::LoadConnectPara(list).ok());
    ASSERT_EQ(list.Count(), 2);
    EXPECT_EQ(list.SelectIndex(), 2); // the added profile is the selection
    const RDP_ConnectParaItems& p = list.Item(1);
    // The named options and the defaults of a new connection for the others.
    EXPECT_EQ(rdp::test::Fields(p), U("办公室|u1|p;w=1|1|2|1|1|110111"));
    EXPECT_EQ(p.Server(), U("10.0.0.5"));
    EXPECT_EQ(p.Port(), U("3389"));
    EXPECT_EQ(list.Item(2).Password(), QString());
    EXPECT_EQ(list.Item(2).ConnectName(), U("家;=1")); // through the store's escape
    EXPECT_EQ(list.Item(2).Server(), U("h2;=2"));
    EXPECT_TRUE(fake.messages.isEmpty());
}

TEST_F(RdpStore, DumpMasksPasswordsAndCheckCounts) {
    ASSERT_EQ(AddOffice({U("--password"), U("secret"), U("--save-password")}).code, 0);
    const ToolRun dump = Tool({U("dump"), File()});
    EXPECT_EQ(dump.code, 0);
    const QStringList lines = dump.out.split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    ASSERT_EQ(lines.size(), 2);
    EXPECT_EQ(lines[0], U("Version = 1.0.0; SelectIndex = 1; "));
    EXPECT_TRUE(lines[1].startsWith(U("ConnectName = 办公室; UserName = ; Password = ***; ")));
    EXPECT_FALSE(dump.out.contains(U("secret")));
    EXPECT_TRUE(
        Tool({U("dump"), File(), U("--show-passwords")}).out.contains(U("Password = secret;")));
    const ToolRun check = Tool({U("check"), File()});
    EXPECT_EQ(check.code, 0);
    EXPECT_TRUE(check.out.contains(U("1 个连接")));
}

TEST_F(RdpStore, AddRefusesWhatTheSetupWindowWouldRefuse) {
    ASSERT_EQ(AddOffice().code, 0);
    const QByteArray before = Bytes(File());
    const char* refused[] = {"--name|办公室|--server|h|--port|1",
                             "--name|OFFICE|--server|h|--port|1",
                             "--name|   |--server|h|--port|1",
                             "--name|b|--server| |--port|1",
                             "--name|b|--server|h|--port|0",
                             "--name|b|--server|h|--port|65536",
                             "--name|b|--server|h|--port|80a",
                             "--name|b|--server|h|--port|-1",
                             "--name|b|--server|h",
                             "--name|b|--server|h|--port|1|--size|5",
                             "--name|b|--server|h|--port|1|--color|-1",
                             "--name|b|--server|h|--port|1|--audio|3",
                             "--name|b|--server|h|--port|1|--password|x",
                             "--name|b|--server|h|--port|1|--password-stdin",
                             "--name|a\tb|--server|h|--port|1",
                             "--name|a\nb|--server|h|--port|1",
                             "--name|b|--server|h\r|--port|1",
                             "--name|b|--server|h|--port|1|--user|u\tv"};
    // "OFFICE" is refused only when the store holds "office"; add one to check letter case.
    ASSERT_EQ(Tool({U("add"), File(), U("--name"), U("office"), U("--server"), U("h"), U("--port"),
                    U("1")})
                  .code,
              0);
    const QByteArray withOffice = Bytes(File());
    for (const char* args : refused) {
        const ToolRun run = Tool(QStringList{U("add"), File()} + U(args).split(QLatin1Char('|')));
        EXPECT_EQ(run.code, 2) << args;
        EXPECT_FALSE(run.err.isEmpty());
    }
    EXPECT_EQ(Bytes(File()), withOffice);
    EXPECT_NE(before, withOffice);
}

TEST_F(RdpStore, ReadingCommandsNeverCreateMoveOrDelete) {
    EXPECT_EQ(Tool({U("dump"), File()}).code, 2);
    EXPECT_EQ(Tool({U("check"), File()}).code, 2);
    EXPECT_TRUE(Files().isEmpty());

    ASSERT_EQ(AddOffice().code, 0);
    QByteArray damaged = Bytes(File());
    const qsizetype line2 = damaged.indexOf('\n') + 1;
    damaged[line2 + 4] = damaged[line2 + 4] == '5' ? '6' : '5';
    Put(File(), damaged);
    const ToolRun dump = Tool({U("dump"), File()});
    EXPECT_EQ(dump.code, 2);
    EXPECT_TRUE(dump.err.contains(U("第 2 行"))) << dump.err.toStdString();
    EXPECT_EQ(dump.out, U("Version = 1.0.0; SelectIndex = 1; \n")); // the lines before it
    const ToolRun check = Tool({U("check"), File()});
    EXPECT_EQ(check.code, 2);
    EXPECT_TRUE(check.err.contains(U("第 2 行")));
    EXPECT_EQ(
        Tool({U("add"), File(), U("--name"), U("b"), U("--server"), U("h"), U("--port"), U("1")})
            .code,
        2);
    EXPECT_EQ(Bytes(File()), damaged);
    EXPECT_EQ(Files(), (QStringList{U("WinEx.DLL"), U("WinEx.DLL.lock")})); // the add's lock
}

// The password from standard input (the first line, exactly as typed) or the terminal; on
// the command line it still works but draws a warning.
TEST_F(RdpStore, PasswordsStayOffTheCommandLine) {
    const ToolRun fromStdin =
        AddOffice({U("--save-password"), U("--password-stdin")}, QByteArray(" p;w=1 \r\nrest\n"));
    ASSERT_EQ(fromStdin.code, 0) << fromStdin.err.toStdString();
    EXPECT_TRUE(fromStdin.err.isEmpty());
    const ToolRun argument =
        Tool({U("add"), File(), U("--name"), U("b"), U("--server"), U("h"), U("--port"), U("1"),
              U("--password"), U("x"), U("--save-password")});
    ASSERT_EQ(argument.code, 0);
    EXPECT_TRUE(argument.err.contains(U("其他用户都能看到"))) << argument.err.toStdString();
    const QByteArray before = Bytes(File());
    const QStringList refused[] = {
        {U("--save-password")},                        // no terminal to ask on
        {U("--save-password"), U("--password-stdin")}, // nothing on standard input
        {U("--save-password"), U("--password-stdin"), U("--password"), U("x")},
    };
    for (const QStringList& more : refused) {
        const ToolRun run = Tool(QStringList{U("add"), File(), U("--name"), U("c"), U("--server"),
                                             U("h"), U("--port"), U("1")} +
                                     more,
                                 QByteArray(""));
        EXPECT_EQ(run.code, 2) << more.join(u' ').toStdString();
        EXPECT_FALSE(run.err.isEmpty());
    }
    EXPECT_EQ(Bytes(File()), before);
    // Once read, the value of --password is gone from the command line others can see.
    auto held = std::make_unique<rdp::test::HeldLock>(File()); // the add waits meanwhile
    QProcess waiting;
    waiting.start(QStringLiteral(RDP_STORE_BINARY),
                  {U("add"), File(), U("--name"), U("d"), U("--server"), U("h"), U("--port"),
                   U("1"), U("--password"), U("SECRET"), U("--save-password")});
    ASSERT_TRUE(waiting.waitForStarted());
    QByteArray cmdline;
    for (int i = 0; i < 200 && !cmdline.contains("xxxxxx"); ++i) {
        QThread::msleep(50);
        QFile proc(QStringLiteral("/proc/%1/cmdline").arg(waiting.processId()));
        cmdline = proc.open(QIODevice::ReadOnly) ? proc.readAll() : QByteArray();
    }
    EXPECT_TRUE(cmdline.contains("--password")) << cmdline.toStdString();
    EXPECT_FALSE(cmdline.contains("SECRET"));
    held.reset();
    ASSERT_TRUE(waiting.waitForFinished(30000));
    EXPECT_EQ(waiting.exitCode(), 0);
    RDP_ConnectPara list;
    ASSERT_TRUE(RDP_basClient::ReadConnectParaFile(File(), list).ok());
    EXPECT_EQ(list.Item(1).Password(), U(" p;w=1 "));
    EXPECT_EQ(list.Item(2).Password(), U("x"));
}

// Another user's store (mode 0600) in a folder both may write: it cannot be read, which is
// said as such; no command takes it for damaged, moves or writes it.
TEST_F(RdpStore, AnotherUsersStoreIsUnreadableNotDamaged) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "needs root, to run rdp-store as a second user (nobody)";
    }
    ASSERT_EQ(AddOffice().code, 0);
    ::chmod(QFile::encodeName(dir.path()).constData(), 0777);
    const QByteArray before = Bytes(File());
    for (const QStringList& args : {QStringList{U("check"), File()},
                                    QStringList{U("add"), File(), U("--name"), U("b"),
                                                U("--server"), U("h"), U("--port"), U("1")}}) {
        const ToolRun run = Tool(args, {}, true);
        EXPECT_EQ(run.code, 2);
        EXPECT_TRUE(run.err.contains(U("无法读取连接设置文件（没有权限）")))
            << run.err.toStdString();
        EXPECT_FALSE(run.err.contains(U("损坏")));
    }
    EXPECT_EQ(Bytes(File()), before);
    EXPECT_EQ(Files(), (QStringList{U("WinEx.DLL"), U("WinEx.DLL.lock")}));
}

// A FIFO is named as what it is, never waited on, and left as it is.
TEST_F(RdpStore, AFifoIsRefusedByEveryCommand) {
    ASSERT_EQ(::mkfifo(QFile::encodeName(File()).constData(), 0600), 0);
    for (const QStringList& args : {QStringList{U("dump"), File()}, QStringList{U("check"), File()},
                                    QStringList{U("add"), File(), U("--name"), U("a"),
                                                U("--server"), U("h"), U("--port"), U("1")}}) {
        const ToolRun run = Tool(args);
        EXPECT_EQ(run.code, 2);
        EXPECT_TRUE(run.err.contains(U("不是普通文件"))) << run.err.toStdString();
    }
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(File()).constData(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
}

// Parallel writers: every add that reported success is in the store, with its password
// exactly as given, a name added twice at once is refused once, and the store is readable by
// its owner only.
TEST_F(RdpStore, ParallelAddsKeepEveryProfile) {
    constexpr int names = 20;
    std::vector<std::pair<QString, QString>> adds; // name and password
    for (int i = 0; i < names; ++i) {
        adds.emplace_back(U("p%1").arg(i), U(" pw%1 ").arg(i));
    }
    adds.emplace_back(U("P0"), U("again")); // the same name in other letter case
    std::vector<std::unique_ptr<QProcess>> runs;
    for (const auto& [name, password] : adds) {
        runs.push_back(std::make_unique<QProcess>());
        runs.back()->start(QStringLiteral(RDP_STORE_BINARY),
                           {U("add"), File(), U("--name"), name, U("--server"), U("h"), U("--port"),
                            U("1"), U("--password"), password, U("--save-password")});
    }
    std::vector<std::pair<QString, QString>> succeeded;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        ASSERT_TRUE(runs[i]->waitForFinished(60000));
        if (runs[i]->exitStatus() == QProcess::NormalExit && runs[i]->exitCode() == 0) {
            succeeded.push_back(adds[i]);
        }
    }
    EXPECT_EQ(succeeded.size(), std::size_t(names));
    RDP_ConnectPara list;
    ASSERT_TRUE(RDP_basClient::ReadConnectParaFile(File(), list).ok());
    EXPECT_EQ(list.Count(), names);
    for (const auto& [name, password] : succeeded) {
        const int at = RDP_basClient::FindConnectName(list, name);
        ASSERT_NE(at, 0) << name.toStdString();
        EXPECT_EQ(list.Item(at).Password(), password);
    }
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(File()).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);
    EXPECT_EQ(Files(), (QStringList{U("WinEx.DLL"), U("WinEx.DLL.lock")}));
}

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
