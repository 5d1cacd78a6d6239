#include "common/Errors.h"
#include "session/DesktopGeometry.h"

#include <QTest>

namespace {

// A 1920 x 1080 screen at 15 twips per pixel.
rdp::ScreenMetrics FullHd() {
    return {1920 * 15.0, 1080 * 15.0, 15, 15};
}

} // namespace

// The sizing rules as numbers, with the worked figures of the session window.
class DesktopGeometryTest : public QObject {
    Q_OBJECT

private slots:
    void windowSizing_data();
    void windowSizing();
    void unlistedCodesLeaveTheWindow();
    void desktopPixels_data();
    void desktopPixels();
    void desktopPixelsOverflow();
    void controlSize_data();
    void controlSize();
    void tipsLayout();
};

void DesktopGeometryTest::windowSizing_data() {
    QTest::addColumn<float>("code");
    QTest::addColumn<double>("profileWidth");
    QTest::addColumn<double>("profileHeight");
    QTest::addColumn<double>("windowWidth");
    QTest::addColumn<double>("windowHeight");
    QTest::addColumn<bool>("atCorner");
    QTest::newRow("0 screen") << 0.f << 1920.0 << 1080.0 << 28800.0 << 16200.0 << true;
    QTest::newRow("1 1280x768") << 1.f << 1280.0 << 768.0 << 19290.0 << 11910.0 << false;
    QTest::newRow("2 1024x768") << 2.f << 1024.0 << 768.0 << 15450.0 << 11910.0 << false;
    QTest::newRow("3 800x600") << 3.f << 800.0 << 600.0 << 12090.0 << 9390.0 << false;
    QTest::newRow("4 wide screen") << 4.f << 1920.0 << 1080.0 << 28900.0 << 16290.0 << true;
}

void DesktopGeometryTest::windowSizing() {
    QFETCH(float, code);
    QFETCH(double, profileWidth);
    QFETCH(double, profileHeight);
    QFETCH(double, windowWidth);
    QFETCH(double, windowHeight);
    QFETCH(bool, atCorner);
    const std::optional<rdp::WindowSizing> s = rdp::PlanWindowSizing(code, FullHd());
    QVERIFY(s.has_value());
    QCOMPARE(s->profileWidth, profileWidth);
    QCOMPARE(s->profileHeight, profileHeight);
    QCOMPARE(s->window.width, windowWidth);
    QCOMPARE(s->window.height, windowHeight);
    QCOMPARE(s->atScreenCorner, atCorner);
}

void DesktopGeometryTest::unlistedCodesLeaveTheWindow() {
    for (const float code : {5.f, 7.f, -1.f, 1.5f, 0.0001f}) {
        QVERIFY2(!rdp::PlanWindowSizing(code, FullHd()), qPrintable(QString::number(code)));
        QVERIFY(!rdp::DesktopSizeCode(code));
    }
}

void DesktopGeometryTest::desktopPixels_data() {
    QTest::addColumn<float>("code");
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<int>("desktopWidth");
    QTest::addColumn<int>("desktopHeight");
    QTest::newRow("halves to even, down") << 7.f << 1000.5f << 700.5f << 1000 << 700;
    QTest::newRow("halves to even, up") << 7.f << 1001.5f << 701.5f << 1002 << 702;
    QTest::newRow("0 on a 1366x768 screen") << 0.f << 1366.f << 768.f << 1364 << 738;
}

void DesktopGeometryTest::desktopPixels() {
    QFETCH(float, code);
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(int, desktopWidth);
    QFETCH(int, desktopHeight);
    const rdp::DesktopPixels d = rdp::PlanDesktopPixels(code, width, height);
    QCOMPARE(d.width, desktopWidth);
    QCOMPARE(d.height, desktopHeight);
}

void DesktopGeometryTest::desktopPixelsOverflow() {
    QVERIFY_THROWS_EXCEPTION(rdp::Error, rdp::PlanDesktopPixels(7, 3e9f, 600));
    QVERIFY_THROWS_EXCEPTION(rdp::Error, rdp::PlanDesktopPixels(7, 800, -3e9f));
}

void DesktopGeometryTest::controlSize_data() {
    QTest::addColumn<float>("code");
    QTest::addColumn<float>("width");
    QTest::addColumn<float>("height");
    QTest::addColumn<double>("controlWidth");
    QTest::addColumn<double>("controlHeight");
    QTest::newRow("0") << 0.f << 1920.f << 1080.f << 28700.0 << 16050.0;
    QTest::newRow("1") << 1.f << 1280.f << 768.f << 19190.0 << 11790.0;
    QTest::newRow("4") << 4.f << 1920.f << 1080.f << 28700.0 << 16050.0;
    QTest::newRow("7") << 7.f << 1000.f << 700.f << 14990.0 << 10770.0;
}

void DesktopGeometryTest::controlSize() {
    QFETCH(float, code);
    QFETCH(float, width);
    QFETCH(float, height);
    QFETCH(double, controlWidth);
    QFETCH(double, controlHeight);
    const rdp::TwipsSize c = rdp::PlanControlSize(code, width, height, 15, 15);
    QCOMPARE(c.width, controlWidth);
    QCOMPARE(c.height, controlHeight);
}

void DesktopGeometryTest::tipsLayout() {
    const rdp::TipsLayout t = rdp::PlanTipsLayout({19290, 11910});
    QCOMPARE(t.panel.width, 19290.0);
    QCOMPARE(t.panel.height, 11910.0);
    QCOMPARE(t.labelLeft, 8645.0);
    QCOMPARE(t.labelTop, 5555.0);
}

QTEST_GUILESS_MAIN(DesktopGeometryTest)
#include "tst_DesktopGeometry.moc"
