#include "tests/session/DesktopFixture.h"

#include <QLabel>
#include <QTest>

using rdp::test::DesktopFixture;

// The resize handling: the control follows the profile, the panel the window's outer
// size, the label the panel. Pixels are the twips of the sizing rules at 15 twips per
// pixel, rounded to the nearest.
class DesktopResizeTest : public QObject {
    Q_OBJECT

private slots:
    void afterInit_data();
    void afterInit();
    void runsWhileHiddenDuringSizing();
    void resizeByHandMovesOnlyThePanel();
    void labelGrowsForItsText();
};

void DesktopResizeTest::afterInit_data() {
    QTest::addColumn<float>("code");
    QTest::addColumn<QSize>("control");
    QTest::addColumn<QSize>("panel");
    QTest::addColumn<QPoint>("label");
    // 19190 x 11790 twips; window 19290 x 11910; label at 8645, 5555.
    QTest::newRow("1") << 1.f << QSize(1279, 786) << QSize(1286, 794) << QPoint(576, 370);
    // 28700 x 16050 twips in a window of 28800 x 16200.
    QTest::newRow("0") << 0.f << QSize(1913, 1070) << QSize(1920, 1080) << QPoint(893, 513);
    // 28700 x 16050 twips in a window of 28900 x 16290.
    QTest::newRow("4") << 4.f << QSize(1913, 1070) << QSize(1927, 1086) << QPoint(897, 516);
    // Stored 1000 x 700 pixels: 14990 x 10770 twips; the window keeps its designed client
    // area (719 x 559), the panel covers the outer size with the offscreen 2-pixel frame.
    QTest::newRow("7") << 7.f << QSize(999, 718) << QSize(723, 563) << QPoint(295, 255);
}

void DesktopResizeTest::afterInit() {
    QFETCH(float, code);
    QFETCH(QSize, control);
    QFETCH(QSize, panel);
    QFETCH(QPoint, label);
    DesktopFixture f;
    DesktopFixture::profile().setDesktopSize(code);
    DesktopFixture::profile().setWidth(1000);
    DesktopFixture::profile().setHeight(700);
    f.window->Init();
    QCOMPARE(f.control->geometry(), QRect(QPoint(0, 0), control));
    QCOMPARE(f.window->picTips->geometry(), QRect(QPoint(0, 0), panel));
    QCOMPARE(f.window->lblTips->pos(), label);
}

void DesktopResizeTest::runsWhileHiddenDuringSizing() {
    DesktopFixture f;
    f.window->Init();
    // Width, then height of the window: each runs the handling (control width and height).
    QVERIFY2(f.control->hiddenResizes >= 4, qPrintable(f.control->calls.join(u' ')));
    const qsizetype firstRead = f.control->calls.indexOf(QStringLiteral("Connected?"));
    QVERIFY(f.control->calls.indexOf(QStringLiteral("ContainerWidth=1279")) < firstRead);
}

void DesktopResizeTest::resizeByHandMovesOnlyThePanel() {
    DesktopFixture f;
    f.open();
    // A client area of 996 x 696 in the offscreen 2-pixel frame: 1000 x 700 outside.
    f.window->resize(996, 696);
    QCOMPARE(f.window->frameGeometry().size(), QSize(1000, 700));
    QCOMPARE(f.control->size(), QSize(1279, 786));
    QCOMPARE(f.window->picTips->size(), QSize(1000, 700));
    // 15000 / 2 - 1000 = 6500 twips, 10500 / 2 - 400 = 4850 twips
    QCOMPARE(f.window->lblTips->pos(), QPoint(433, 323));
    // The control only hears its unchanged size again.
    for (const QString& call : f.control->calls) {
        QVERIFY2(call == QStringLiteral("ContainerWidth=1279") ||
                     call == QStringLiteral("ContainerHeight=786"),
                 qPrintable(call));
    }
}

void DesktopResizeTest::labelGrowsForItsText() {
    DesktopFixture f;
    f.open();
    QLabel* label = f.window->lblTips;
    QVERIFY(label->width() >= 132); // 1980 twips
    QVERIFY(label->height() >= 12); // 180 twips
    QVERIFY(label->width() >= label->sizeHint().width());
    QCOMPARE(label->pos(), QPoint(576, 370));
}

QTEST_MAIN(DesktopResizeTest)
#include "tst_DesktopResize.moc"
