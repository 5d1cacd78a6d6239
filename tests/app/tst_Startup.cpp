// Start-up: the run-location check and record, loading the store, and the refusals of
// the hand-over to the session window.
#include "app/Handover.h"
#include "app/RDP_basApp.h"
#include "common/DefaultFolders.h"
#include "common/FileLines.h"
#include "common/ProcessDumps.h"
#include "common/RegularFile.h"
#include "profiles/ConnectParaStore.h"
#include "profiles/RDP_ConnectPara.h"
#include "session/DesktopWindow.h"
#include "session/RDP_frmDesktop.h"
#include "session/RdpControlFactory.h"
#include "tests/support/ProgramCase.h"
#include "ui/login/RDP_frmLogin.h"

#include <QDir>
#include <QFile>
#include <QTest>

#include <pwd.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

class StartupTest : public rdp::test::ProgramCase {
    Q_OBJECT

    QString programIn(const QString& name) {
        const QString folder = dir_->path() + QLatin1Char('/') + name;
        QDir().mkpath(folder);
        fake_->programFolder = folder;
        return folder;
    }
    QString record() const { return fake_->systemFolder + QStringLiteral("WinClientPath.DLL"); }
    QByteArray recordBytes() const {
        QFile f(record());
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    void writeRecord(const QByteArray& bytes) {
        QFile f(record());
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

private slots:
    void init() {
        openCase();
        QDir().mkpath(dir_->path() + QStringLiteral("/state"));
        fake_->systemFolder = dir_->path() + QStringLiteral("/state/");
    }
    void cleanup() { closeCase(); }

    void refusesTheRootOfAVolumeAndWritesNothing() {
        fake_->programFolder = QStringLiteral("/");
        QVERIFY(!RDP_basClient::CheckRunLocation());
        QCOMPARE(fake_->messages.size(), 1);
        QCOMPARE(fake_->messages[0].text, QStringLiteral("由于系统安全性问题，请不要在/运行。"));
        QCOMPARE(fake_->messages[0].style, 48);
        QCOMPARE(fake_->messages[0].title, QStringLiteral("连接"));
        QCOMPARE(fake_->beeps, 1);
        QVERIFY(!QFile::exists(record()));
    }

    // The last two characters decide; nothing is recorded for a refused folder.
    void refusesFoldersEndingInDesktop() {
        for (const auto& [folder, refused] : {std::pair{"桌面", true},
                                              {"我的桌面", true},
                                              {"桌面工具", false},
                                              {"桌面/程序", false}}) {
            fake_->messages.clear();
            QFile::remove(record());
            programIn(QString::fromUtf8(folder));
            QCOMPARE(RDP_basClient::CheckRunLocation(), !refused);
            if (refused) {
                QCOMPARE(fake_->messages.size(), 1);
                QCOMPARE(fake_->messages[0].text,
                         QStringLiteral("由于系统安全性问题，请不要在桌面运行。"));
                QVERIFY(!QFile::exists(record()));
            } else {
                QVERIFY(fake_->messages.isEmpty());
                QCOMPARE(RDP_basClient::ReadRunLocations(), QStringList{fake_->programFolder});
            }
        }
    }

    void recordsEachFolderOnceIgnoringLetterCase() {
        const QString folder = programIn(QStringLiteral("Apps/RDP"));
        QVERIFY(RDP_basClient::CheckRunLocation());
        QVERIFY(RDP_basClient::CheckRunLocation());
        QCOMPARE(RDP_basClient::ReadRunLocations(), QStringList{folder});
        // The record holds the folder in other letter case: nothing is added.
        writeRecord(folder.toUpper().toLocal8Bit() + "\r\n");
        QVERIFY(RDP_basClient::CheckRunLocation());
        QCOMPARE(RDP_basClient::ReadRunLocations().size(), 1);
        QVERIFY(fake_->messages.isEmpty());
    }

    void anEmptyLineHidesTheFoldersBehindIt() {
        const QString folder = programIn(QStringLiteral("rdp"));
        writeRecord("/other\r\n\r\n" + folder.toLocal8Bit() + "\r\n");
        QCOMPARE(RDP_basClient::ReadRunLocations(), QStringList{QStringLiteral("/other")});
        QVERIFY(RDP_basClient::CheckRunLocation());
        QVERIFY(recordBytes().endsWith("\r\n" + folder.toLocal8Bit() + "\r\n"));
        QCOMPARE(recordBytes().count(folder.toLocal8Bit()), 2);
    }

    // A folder that no line of the record can hold as itself is never recorded (it would be
    // appended again at every start); every other folder once.
    void recordsOnlyFoldersALineCanHold() {
        const struct {
            QString name;
            int lines;
        } cases[] = {
            {QStringLiteral("连接工具 ü"), 1},
            {QStringLiteral("emoji \U0001F600"), 0},
            {QStringLiteral("line\nbreak"), 0},
            {QStringLiteral("cr\rhere"), 0},
        };
        for (const auto& c : cases) {
            QFile::remove(record());
            programIn(c.name);
            for (int start = 0; start < 3; ++start) {
                QVERIFY(RDP_basClient::CheckRunLocation());
            }
            QCOMPARE(recordBytes().count("\r\n"), c.lines);
        }
        QVERIFY(fake_->messages.isEmpty());
    }

    // A FIFO or folder in place of the record is left alone with a message; start-up goes on.
    void aRecordThatIsNotAFileIsNeverOpened() {
        programIn(QStringLiteral("rdp"));
        QVERIFY(::mkfifo(QFile::encodeName(record()).constData(), 0600) == 0);
        QVERIFY(RDP_basClient::CheckRunLocation());
        QVERIFY(RDP_basClient::ReadRunLocations().isEmpty());
        QCOMPARE(fake_->messages.size(), 1);
        QCOMPARE(fake_->messages[0].text, rdp::NotRegularFileError(record()).description());
        QCOMPARE(rdp::KindOf(record()), rdp::FileKind::Special);
    }

    // Without HOME the record goes to the home the password database names, never into
    // the folder the program was started from (the path alone: the test leaves that home as
    // it is).
    void withoutHomeTheStateFolderIsInTheUsersHome() {
        const QByteArray home = qgetenv("HOME");
        const QByteArray state = qgetenv("XDG_STATE_HOME");
        qunsetenv("HOME");
        qunsetenv("XDG_STATE_HOME");
        const QString folder = rdp::DefaultSystemFolderPath();
        qputenv("HOME", home);
        if (!state.isNull()) {
            qputenv("XDG_STATE_HOME", state);
        }
        const passwd* user = ::getpwuid(::getuid());
        QVERIFY(user != nullptr);
        QCOMPARE(folder,
                 QFile::decodeName(user->pw_dir) + QStringLiteral("/.local/state/rdp-launcher/"));
    }

    // Without any state folder nothing is recorded, least of all in the current folder.
    void withoutAStateFolderNothingIsRecorded() {
        programIn(QStringLiteral("rdp"));
        fake_->systemFolder.clear();
        const QString stray = QDir::current().filePath(QStringLiteral("WinClientPath.DLL"));
        QVERIFY(!QFile::exists(stray));
        QVERIFY(RDP_basClient::CheckRunLocation());
        QVERIFY(!QFile::exists(stray));
        QCOMPARE(fake_->messages.size(), 1);
        QCOMPARE(fake_->messages[0].style, 48);
    }

    void theProcessCanForbidDumps() {
        QVERIFY(rdp::ForbidProcessDumps());
        QCOMPARE(::prctl(PR_GET_DUMPABLE, 0, 0, 0, 0), 0);
        rlimit core{};
        QVERIFY(::getrlimit(RLIMIT_CORE, &core) == 0);
        QCOMPARE(core.rlim_cur, rlim_t(0));
    }

    void mainWithoutAStoreOpensTheLoginWindowAndAsks() {
        programIn(QStringLiteral("rdp"));
        RDP_basApp::Main();
        QCOMPARE(fake_->endCalls, 0);
        QVERIFY(frmLogin().isVisible());
        QCOMPARE(gConnectPara().Count(), 0);
        QCOMPARE(fake_->messages.size(), 1); // the first-use question, answered No
        QCOMPARE(fake_->messages[0].style, 52);
        QVERIFY(!QFile::exists(RDP_basClient::ConnectParaFilePath()));
    }

    void mainWithADamagedStoreShowsOneMessageAndEnds() {
        const QString folder = programIn(QStringLiteral("rdp"));
        QFile store(folder + QStringLiteral("/WinEx.DLL"));
        QVERIFY(store.open(QIODevice::WriteOnly));
        store.write("097000098000099000000052\r\n"); // one check digit wrong
        store.close();
        RDP_basApp::Main();
        QCOMPARE(fake_->messages.size(), 1);
        QVERIFY(fake_->messages[0].text.startsWith(QStringLiteral("连接设置不正确！")));
        QCOMPARE(fake_->endCalls, 1);
        QVERIFY(!QFile::exists(folder + QStringLiteral("/WinEx.DLL")));
        QVERIFY(!frmLogin().isVisible());
    }

    void mainInARefusedFolderEndsWithItsMessageOnly() {
        programIn(QStringLiteral("桌面"));
        RDP_basApp::Main();
        QCOMPARE(fake_->messages.size(), 1);
        QCOMPARE(fake_->endCalls, 1);
        QVERIFY(!QFile::exists(record()));
    }

    void openDesktopRefusesWhatCannotConnect() {
        programIn(QStringLiteral("rdp"));
        QVERIFY(!RDP_basClient::OpenDesktop());
        QVERIFY(fake_->messages.last().text.startsWith(QStringLiteral("无法指定连接！")));

        RDP_ConnectPara& list = gConnectPara();
        list.Add(QStringLiteral("甲"), QStringLiteral("host"), QStringLiteral("3389"), {}, {}, 0, 0,
                 0);
        list.setSelectIndex(0);
        QVERIFY(!RDP_basClient::OpenDesktop());
        QCOMPARE(fake_->messages.last().text, QStringLiteral("无法指定连接！请在选择正确的连接。"));

        list.setSelectIndex(1);
        list.Item(1).setPort(QStringLiteral("65536"));
        QVERIFY(!RDP_basClient::OpenDesktop());
        QCOMPARE(fake_->messages.last().style, 48);
        QVERIFY(fake_->messages.last().text.contains(QStringLiteral("“甲”")));
        QVERIFY(control_ == nullptr); // no session window was made

        list.Item(1).setPort(QStringLiteral("3389"));
        QVERIFY(RDP_basClient::OpenDesktop());
        QVERIFY(control_ != nullptr);
        QVERIFY(control_->calls.contains(QStringLiteral("Connect()")));
    }
};

QTEST_MAIN(StartupTest)
#include "tst_Startup.moc"
