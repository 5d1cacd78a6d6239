// A window waiting for the store's lock while another copy holds it.
#include "ui/common/BusyLockWait.h"

#include "profiles/ConnectParaStore.h"

#include "tests/support/FakePlatform.h"
#include "tests/support/HeldLock.h"

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QTemporaryDir>
#include <QTest>
#include <QTimer>

using namespace std::chrono_literals;

namespace {

class PaintCounter final : public QLineEdit {
public:
    int paints = 0;

protected:
    void paintEvent(QPaintEvent* event) override {
        ++paints;
        QLineEdit::paintEvent(event);
    }
};

} // namespace

class tst_BusyLockWait : public QObject {
    Q_OBJECT

private slots:
    void init() {
        fake_ = std::make_unique<rdp::test::FakePlatform>();
        fake_->programFolder = dir_.path();
        fake_->systemFolder = dir_.path() + QLatin1Char('/');
        list_ = std::make_unique<RDP_ConnectPara>();
        list_->Add(QStringLiteral("甲"), QStringLiteral("h"), QStringLiteral("1"), {}, {}, 0, 0, 0);
        QFile::remove(RDP_basClient::ConnectParaFilePath());
    }
    void cleanup() { fake_.reset(); }

    // While it waits the window paints, shows the busy cursor and drops keys (they are not
    // typed afterwards); answering No gives up: nothing is saved, the list is as it was.
    void waitingKeepsPaintingAndCancelKeepsTheEdits() {
        PaintCounter edit;
        edit.show();
        QVERIFY(QTest::qWaitForWindowExposed(&edit));
        rdp::test::HeldLock held(RDP_basClient::ConnectParaFilePath());
        edit.paints = 0;
        Qt::CursorShape during = Qt::ArrowCursor;
        QTimer::singleShot(30, &edit, [&] {
            during = QApplication::overrideCursor() != nullptr
                         ? QApplication::overrideCursor()->shape()
                         : Qt::ArrowCursor;
            edit.update();
            QCoreApplication::postEvent(&edit, new QKeyEvent(QEvent::KeyPress, Qt::Key_A,
                                                             Qt::NoModifier, QStringLiteral("a")));
        });
        fake_->answerNext(rdp::MsgResult::No);
        RDP_basUI::BusyLockWait wait(&edit, 300ms);
        QVERIFY(!RDP_basClient::SaveConnectPara(*list_, wait).ok());
        QCoreApplication::processEvents();
        QVERIFY(edit.paints > 0);
        QCOMPARE(during, Qt::WaitCursor);
        QCOMPARE(edit.text(), QString());
        QCOMPARE(QApplication::overrideCursor(), nullptr);
        QCOMPARE(fake_->messages.size(), 1);
        QCOMPARE(fake_->messages[0].style, rdp::MsgStyle::ExclamationYesNo);
        QCOMPARE(fake_->messages[0].title, QStringLiteral("连接"));
        QVERIFY(fake_->messages[0].text.startsWith(
            QStringLiteral("连接设置文件正被本程序的另一个副本保存")));
        QVERIFY(!QFile::exists(RDP_basClient::ConnectParaFilePath()));
        QCOMPARE(list_->Count(), 1);
    }

    // Answering Yes waits on; the save is made once the other copy lets go.
    void waitingLongerSavesOnceTheLockIsFree() {
        rdp::test::HeldLock held(RDP_basClient::ConnectParaFilePath());
        fake_->answerNext(rdp::MsgResult::Yes);
        fake_->onMessage = [&](const rdp::test::RecordedMessage&) {
            QTimer::singleShot(50, [&] { held.Release(); });
        };
        RDP_basUI::BusyLockWait wait(nullptr, 100ms);
        QVERIFY(RDP_basClient::SaveConnectPara(*list_, wait).ok());
        QVERIFY(QFile::exists(RDP_basClient::ConnectParaFilePath()));
        QVERIFY(fake_->messages.size() >= 1);
    }

private:
    QTemporaryDir dir_;
    std::unique_ptr<rdp::test::FakePlatform> fake_;
    std::unique_ptr<RDP_ConnectPara> list_;
};

QTEST_MAIN(tst_BusyLockWait)
#include "tst_BusyLockWait.moc"
