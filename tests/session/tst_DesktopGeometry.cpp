#include "common/Errors.h"
#include "session/DesktopGeometry.h"

#include <QTest>

// The sizing rules as numbers, with the worked figures of the session window on a
// 1920 x 1080 screen at 15 twips per pixel.
class DesktopGeometryTest : public QObject {
    Q_OBJECT

private slots:
    void windowSizing() {
        const rdp::ScreenMetrics screen{1920 * 15.0, 1080 * 15.0, 15, 15};
        // code, profile size (pixels), window size (twips), at the screen's corner
        const struct {
            float code;
            double profileW, profileH, windowW, windowH;
            bool atCorner;
        } rows[] = {{0, 1920, 1080, 28800, 16200, true},
                    {1, 1280, 768, 19290, 11910, false},
                    {2, 1024, 768, 15450, 11910, false},
                    {3, 800, 600, 12090, 9390, false},
                    {4, 1920, 1080, 28900, 16290, true}};
        for (const auto& r : rows) {
            const std::optional<rdp::WindowSizing> s = rdp::PlanWindowSizing(r.code, screen);
            QVERIFY(s.has_value());
            QCOMPARE(s->profileWidth, r.profileW);
            QCOMPARE(s->profileHeight, r.profileH);
            QCOMPARE(s->window.width, r.windowW);
            QCOMPARE(s->window.height, r.windowH);
            QCOMPARE(s->atScreenCorner, r.atCorner);
        }
        for (const float code : {5.f, 7.f, -1.f, 1.5f, 0.0001f}) {
            QVERIFY2(!rdp::PlanWindowSizing(code, screen), qPrintable(QString::number(code)));
            QVERIFY(!rdp::DesktopSizeCode(code));
        }
    }

    // A window larger than the work area shrinks to it; one outside it moves in.
    void keptInsideTheWorkArea() {
        const QRect work(1920, 30, 1366, 738);
        QCOMPARE(rdp::KeepInside(QRect(1961, 0, 1286, 794), work), QRect(1961, 30, 1286, 738));
        QCOMPARE(rdp::KeepInside(QRect(1920, 0, 1927, 1086), work), work);
        QCOMPARE(rdp::KeepInside(QRect(3000, 700, 300, 200), work), QRect(2986, 568, 300, 200));
        QCOMPARE(rdp::KeepInside(QRect(2000, 100, 300, 200), work), QRect(2000, 100, 300, 200));
        // No work area known: the whole monitor.
        const rdp::ScreenMetrics s{1366 * 15.0, 768 * 15.0, 15, 15, 1920 * 15.0, 0};
        QCOMPARE(rdp::MonitorInPixels(s).work, QRect(1920, 0, 1366, 768));
    }

    void desktopAndControlSizes() {
        // Desktop pixels: halves round to even; code 0 leaves room for the frame.
        const struct {
            float code, width, height;
            int desktopW, desktopH;
        } desktops[] = {{7, 1000.5f, 700.5f, 1000, 700},
                        {7, 1001.5f, 701.5f, 1002, 702},
                        {0, 1366, 768, 1364, 738}};
        for (const auto& d : desktops) {
            const rdp::DesktopPixels p = rdp::PlanDesktopPixels(d.code, d.width, d.height);
            QCOMPARE(p.width, d.desktopW);
            QCOMPARE(p.height, d.desktopH);
        }
        QVERIFY_THROWS_EXCEPTION(rdp::Error, rdp::PlanDesktopPixels(7, 3e9f, 600));
        QVERIFY_THROWS_EXCEPTION(rdp::Error, rdp::PlanDesktopPixels(7, 800, -3e9f));

        const struct {
            float code, width, height;
            double controlW, controlH;
        } controls[] = {{0, 1920, 1080, 28700, 16050},
                        {1, 1280, 768, 19190, 11790},
                        {4, 1920, 1080, 28700, 16050},
                        {7, 1000, 700, 14990, 10770}};
        for (const auto& c : controls) {
            const rdp::TwipsSize s = rdp::PlanControlSize(c.code, c.width, c.height, 15, 15);
            QCOMPARE(s.width, c.controlW);
            QCOMPARE(s.height, c.controlH);
        }
        const rdp::TipsLayout t = rdp::PlanTipsLayout({19290, 11910});
        QCOMPARE(t.panel.width, 19290.0);
        QCOMPARE(t.panel.height, 11910.0);
        QCOMPARE(t.labelLeft, 8645.0);
        QCOMPARE(t.labelTop, 5555.0);
    }
};

QTEST_GUILESS_MAIN(DesktopGeometryTest)
#include "tst_DesktopGeometry.moc"
