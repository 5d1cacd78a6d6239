// Draws the setup window's four tabs side by side into one PNG, for a look at the layout:
//   SetupScreenshot <out.png> [<dialog.png>]   (under Xvfb, or with QT_QPA_PLATFORM=offscreen)
// With a second path, also the new-connection dialog.
#include "profiles/RDP_ConnectPara.h"
#include "tests/support/FakePlatform.h"
#include "ui/setup/NewConnectionDialog.h"
#include "ui/setup/RDP_frmSetup.h"

#include <QApplication>
#include <QPainter>
#include <QTabWidget>
#include <QTemporaryDir>
#include <QTest>

#include <cstdio>

int main(int argc, char** argv) {
    QApplication app(argc, argv);
    if (argc < 2) {
        std::fprintf(stderr, "usage: SetupScreenshot <out.png> [<dialog.png>]\n");
        return 2;
    }
    QTemporaryDir dir;
    rdp::test::FakePlatform fake;
    fake.programFolder = dir.path();

    RDP_ConnectPara& list = gConnectPara();
    for (const char* name : {"总部办公室", "分部机房"}) {
        list.Add(QString::fromUtf8(name), QStringLiteral("host"), QStringLiteral("3389"), {}, {}, 0,
                 0, 0);
        list.SetDefault(list.Count());
    }
    list.Item(1).setUserName(QStringLiteral("zhangsan"));
    list.Item(1).setPassword(QStringLiteral("secret"));
    list.Item(1).setIsSavePassword(1);
    list.setSelectIndex(1);

    RDP_frmSetup window;
    window.FillLists();
    window.show();
    if (!QTest::qWaitForWindowExposed(&window)) {
        return 1;
    }
    auto* tabs = window.findChild<QTabWidget*>();
    QList<QPixmap> shots;
    for (int i = 0; i < tabs->count(); ++i) {
        tabs->setCurrentIndex(i);
        QTest::qWait(50);
        shots << window.grab();
    }
    const int gap = 16;
    const QSize one = shots.front().size();
    QImage sheet(2 * one.width() + 3 * gap, 2 * one.height() + 3 * gap, QImage::Format_RGB32);
    sheet.fill(QColor(0x9a, 0xa4, 0xb0));
    QPainter p(&sheet);
    for (int i = 0; i < shots.size(); ++i) {
        p.drawPixmap(gap + (i % 2) * (one.width() + gap), gap + (i / 2) * (one.height() + gap),
                     shots[i]);
    }
    p.end();
    std::printf("window %dx%d\n", one.width(), one.height());
    if (!sheet.save(QString::fromLocal8Bit(argv[1]))) {
        return 1;
    }
    if (argc > 2) {
        NewConnectionDialog dialog(list);
        dialog.show();
        if (!QTest::qWaitForWindowExposed(&dialog) ||
            !dialog.grab().save(QString::fromLocal8Bit(argv[2]))) {
            return 1;
        }
    }
    return 0;
}
