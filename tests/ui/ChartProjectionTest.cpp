// The chart's geometry: the orthographic projection, pixels to positions and back, zooming
// within the altitude limits, turning the globe with the mouse, and the helpers that cut
// outlines to the screen and draw ships from their designs.

#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"
#include "map/GlobeLayer.h"
#include "ui/ChartPainter.h"
#include "ui/ChartView.h"
#include "ui/OrthographicProjection.h"
#include "ui/ScreenClip.h"
#include "ui/ShipOutline.h"

#include "support/TestWorld.h"

#include <QSignalSpy>
#include <QWheelEvent>
#include <QtTest>
#include <cmath>

using namespace tarnwake;
using map::TGeoPos;
using ui::TChartView;
using ui::TOrthographicProjection;

namespace {

constexpr std::int32_t kDegree = 5'400'000;

TGeoPos Degrees(double lon, double lat) {
    return {static_cast<std::int32_t>(std::lround(lon * kDegree)),
            static_cast<std::int32_t>(std::lround(lat * kDegree)), 0};
}

// A world with an empty chart, for the view's own arithmetic.
using TWorld = tarnwake::testing::TTestWorld;

void SendWheel(QWidget& widget, int delta) {
    const QPointF at(widget.width() / 2.0, widget.height() / 2.0);
    QWheelEvent event(at, widget.mapToGlobal(at), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&widget, &event);
}

} // namespace

class ChartProjectionTest : public QObject {
    Q_OBJECT
private slots:
    void projectionRoundTrip_data() {
        QTest::addColumn<double>("lon");
        QTest::addColumn<double>("lat");
        QTest::addColumn<double>("pixelsPerGlobeUnit");
        // The North Sea at full extent, a battle close in, the whole globe, and places where
        // the arithmetic could break: the date line, high latitudes, the equator.
        QTest::newRow("north sea") << 4.5 << 56.0 << 800.0 / (720 * 90'000.0);
        QTest::newRow("close in") << 1.2 << 57.3 << 800.0 / 2'000.0;
        QTest::newRow("whole globe") << -30.0 << 10.0 << 600.0 / 2.0e9;
        QTest::newRow("date line") << 179.95 << -52.0 << 800.0 / (60 * 90'000.0);
        QTest::newRow("near the pole") << -120.0 << 88.5 << 800.0 / (300 * 90'000.0);
        QTest::newRow("equator") << 0.0 << 0.0 << 800.0 / (60 * 90'000.0);
    }
    void projectionRoundTrip() {
        QFETCH(double, lon);
        QFETCH(double, lat);
        QFETCH(double, pixelsPerGlobeUnit);
        const TOrthographicProjection projection(Degrees(lon, lat), pixelsPerGlobeUnit, 400, 300);
        // The centre of the view lands on the screen's centre.
        const auto centre = projection.Project(Degrees(lon, lat));
        QVERIFY(std::abs(centre.x - 400) < 1e-6 && std::abs(centre.y - 300) < 1e-6);
        int onGlobe = 0;
        for (int y = 0; y <= 600; y += 50) {
            for (int x = 0; x <= 800; x += 50) {
                const auto p = projection.Unproject(x, y);
                if (!p) {
                    continue;
                }
                ++onGlobe;
                const auto back = projection.Project(*p);
                QVERIFY(back.visible);
                // Positions are whole globe units: the way back is good to a hundredth of a
                // pixel at any zoom the chart allows.
                const double tolerance = 0.01 + pixelsPerGlobeUnit;
                if (std::abs(back.x - x) > tolerance || std::abs(back.y - y) > tolerance) {
                    QFAIL(qPrintable(QString("pixel (%1, %2) came back as (%3, %4)")
                                         .arg(x)
                                         .arg(y)
                                         .arg(back.x)
                                         .arg(back.y)));
                }
            }
        }
        QVERIFY(onGlobe > 0);
    }

    void northIsUpAndEastIsRight() {
        const TOrthographicProjection projection(Degrees(4.5, 56.0), 1e-5, 400, 300);
        const auto here = projection.Project(Degrees(4.5, 56.0));
        const auto north = projection.Project(Degrees(4.5, 57.0));
        const auto east = projection.Project(Degrees(5.5, 56.0));
        QVERIFY(north.y < here.y);
        QCOMPARE(north.x, here.x);
        QVERIFY(east.x > here.x);
        // One nautical mile north of the centre is 90,000 globe units on the screen.
        const auto mile =
            projection.Project(TGeoPos{Degrees(4.5, 56.0).lon, Degrees(4.5, 56.0).lat + 90'000, 0});
        QVERIFY(std::abs((here.y - mile.y) - 90'000 * 1e-5) < 1e-4);
    }

    void theFarSideIsNotVisible() {
        const TOrthographicProjection projection(Degrees(4.5, 56.0), 300.0 / 309'397'209.0, 400,
                                                 300);
        QVERIFY(!projection.Project(Degrees(-175.5, -56.0)).visible);
        QVERIFY(projection.Project(Degrees(60.0, 10.0)).visible);
        // Off the globe's disc there is no position.
        QVERIFY(!projection.Unproject(400 + 301, 300).has_value());
        QVERIFY(projection.Unproject(400 + 299, 300).has_value());
    }

    void localAxesMatchTheProjection() {
        const TOrthographicProjection projection(Degrees(4.5, 56.0), 1e-4, 400, 300);
        const TGeoPos ship = Degrees(5.2, 56.4);
        const auto axes = projection.LocalAxes(ship);
        const auto at = projection.Project(ship);
        constexpr std::int32_t kStep = 2'000;
        const auto north = projection.Project(TGeoPos{ship.lon, ship.lat + kStep, 0});
        const double radians = kStep * map::kRadiansPerGlobeUnit;
        QVERIFY(std::abs((north.x - at.x) - axes.northX * radians) < 1e-3);
        QVERIFY(std::abs((north.y - at.y) - axes.northY * radians) < 1e-3);
        const double eastStep = kStep / std::cos(56.4 * std::numbers::pi / 180.0);
        const auto east = projection.Project(
            TGeoPos{ship.lon + static_cast<std::int32_t>(std::lround(eastStep)), ship.lat, 0});
        QVERIFY(std::abs((east.x - at.x) - axes.eastX * radians) < 1e-3);
        QVERIFY(std::abs((east.y - at.y) - axes.eastY * radians) < 1e-3);
    }

    void viewPixelsAndPositionsRoundTrip() {
        TWorld w;
        TChartView view;
        view.resize(900, 600);
        view.SetWorld(&w.world);
        view.SetCentre(Degrees(4.5, 56.0));
        for (double altitude : {720 * 90'000.0, 30 * 90'000.0, 2'000.0}) {
            QVERIFY(view.SetAltitude(altitude));
            // The shorter side spans the altitude.
            QVERIFY(std::abs(view.PixelsPerGlobeUnit() - 600.0 / altitude) < 1e-12);
            for (const QPointF pixel :
                 {QPointF(0, 0), QPointF(450, 300), QPointF(899, 17), QPointF(123.5, 598.25)}) {
                const auto position = view.PixelToPosition(pixel);
                QVERIFY(position.has_value());
                const auto back = view.PositionToPixel(*position);
                QVERIFY(back.has_value());
                // Good to a hundredth of a pixel, or half a globe unit when very close in.
                const double tolerance = 0.01 + view.PixelsPerGlobeUnit();
                QVERIFY(std::abs(back->x() - pixel.x()) < tolerance);
                QVERIFY(std::abs(back->y() - pixel.y()) < tolerance);
            }
        }
        // The chart tells the globe its scale, for the two-pixel pick tolerance.
        QCOMPARE(w.world.Chart.Scale(), view.PixelsPerGlobeUnit());
        // Zoomed out to see the whole globe, the corners are space.
        QVERIFY(view.SetAltitude(TChartView::kMaxAltitude / 1.01));
        QVERIFY(!view.PixelToPosition(QPointF(0, 0)).has_value());
        QVERIFY(view.PixelToPosition(QPointF(450, 300)).has_value());
    }

    void zoomFactorsAndTheAltitudeLimits() {
        TWorld w;
        TChartView view;
        view.resize(800, 600);
        view.SetWorld(&w.world);
        QSignalSpy changed(&view, &TChartView::ViewChanged);

        QVERIFY(view.SetAltitude(1'000'000.0));
        QVERIFY(view.ZoomIn());
        QCOMPARE(view.Altitude(), 800'000.0);
        QVERIFY(view.ZoomOut());
        QCOMPARE(view.Altitude(), 960'000.0);
        QVERIFY(view.ZoomOutFar());
        QCOMPARE(view.Altitude(), 1'920'000.0);

        // Zooming out is applied only while the altitude stays below the largest 32-bit
        // integer: refused ones change nothing.
        const double nearLimit = TChartView::kMaxAltitude / 1.1;
        QVERIFY(view.SetAltitude(nearLimit));
        changed.clear();
        QVERIFY(!view.ZoomOut());
        QCOMPARE(view.Altitude(), nearLimit);
        QVERIFY(!view.ZoomOutFar());
        QCOMPARE(view.Altitude(), nearLimit);
        QCOMPARE(changed.count(), 0);
        QVERIFY(!view.SetAltitude(TChartView::kMaxAltitude));
        // Just below the limit a step out is still taken.
        QVERIFY(view.SetAltitude(TChartView::kMaxAltitude / 1.25));
        QVERIFY(view.ZoomOut());
        QVERIFY(view.Altitude() < TChartView::kMaxAltitude);
        QVERIFY(!view.ZoomOut());

        // The closest view has a floor too.
        QVERIFY(view.SetAltitude(TChartView::kMinAltitude * 1.1));
        QVERIFY(!view.ZoomIn());
        QCOMPARE(view.Altitude(), TChartView::kMinAltitude * 1.1);
    }

    void theWheelZoomsByItsOwnFactors() {
        TWorld w;
        TChartView view;
        view.resize(800, 600);
        view.SetWorld(&w.world);
        QSignalSpy wheeled(&view, &TChartView::WheelZoomed);
        QVERIFY(view.SetAltitude(1'000'000.0));
        SendWheel(view, -120); // down: further out
        QVERIFY(std::abs(view.Altitude() - 1'150'000.0) < 1e-6);
        SendWheel(view, 120); // up: closer in
        QVERIFY(std::abs(view.Altitude() - 1'150'000.0 * 0.86) < 1e-6);
        QCOMPARE(wheeled.count(), 2);
        // At the limit the wheel cannot take the view further out.
        const double nearLimit = TChartView::kMaxAltitude / 1.1;
        QVERIFY(view.SetAltitude(nearLimit));
        SendWheel(view, -120);
        QCOMPARE(view.Altitude(), nearLimit);
    }

    void theRightButtonTurnsTheGlobeUnderTheMouse() {
        TWorld w;
        TChartView view;
        view.resize(800, 600);
        view.SetWorld(&w.world);
        view.SetCentre(Degrees(4.5, 56.0));
        QVERIFY(view.SetAltitude(300 * 90'000.0));
        QSignalSpy clicked(&view, &TChartView::ChartClicked);
        const QPoint from(300, 250);
        const auto grabbed = view.PixelToPosition(from);
        QVERIFY(grabbed.has_value());
        QTest::mousePress(&view, Qt::RightButton, Qt::NoModifier, from);
        for (int step = 1; step <= 10; ++step) {
            QMouseEvent move(QEvent::MouseMove, QPointF(from + QPoint(step * 15, step * 8)),
                             view.mapToGlobal(QPointF(from + QPoint(step * 15, step * 8))),
                             Qt::NoButton, Qt::RightButton, Qt::NoModifier);
            QApplication::sendEvent(&view, &move);
        }
        const QPoint to = from + QPoint(150, 80);
        QTest::mouseRelease(&view, Qt::RightButton, Qt::NoModifier, to);
        const auto under = view.PositionToPixel(*grabbed);
        QVERIFY(under.has_value());
        QVERIFY2(
            std::abs(under->x() - to.x()) < 2.0 && std::abs(under->y() - to.y()) < 2.0,
            qPrintable(QString("grabbed point now at (%1, %2)").arg(under->x()).arg(under->y())));
        // A drag is not a click.
        QCOMPARE(clicked.count(), 0);

        // A click without moving turns nothing and is reported with its button.
        const TGeoPos centre = view.Centre();
        QTest::mouseClick(&view, Qt::RightButton, Qt::NoModifier, QPoint(100, 100));
        QTest::mouseClick(&view, Qt::LeftButton, Qt::ShiftModifier, QPoint(120, 90));
        QCOMPARE(view.Centre(), centre);
        QCOMPARE(clicked.count(), 2);
        QCOMPARE(clicked.at(0).at(1).value<Qt::MouseButton>(), Qt::RightButton);
        QCOMPARE(clicked.at(1).at(1).value<Qt::MouseButton>(), Qt::LeftButton);
        QCOMPARE(clicked.at(1).at(2).value<Qt::KeyboardModifiers>(),
                 Qt::KeyboardModifiers(Qt::ShiftModifier));
        QCOMPARE(clicked.at(1).at(0).toPointF(), QPointF(120, 90));
    }

    void fittingAnAreaShowsAllOfIt() {
        TWorld w;
        TChartView view;
        view.resize(1280, 800);
        view.SetWorld(&w.world);
        const map::TGeoRect northSea{-4LL * kDegree, 50LL * kDegree, 17LL * kDegree,
                                     12LL * kDegree};
        view.FitArea(northSea);
        int onScreen = 0;
        for (double lon = -4; lon <= 13; lon += 17.0 / 8) {
            for (double lat = 50; lat <= 62; lat += 1.5) {
                const auto p = view.PositionToPixel(Degrees(lon, lat));
                QVERIFY(p.has_value());
                QVERIFY(QRectF(0, 0, 1280, 800).contains(*p));
                ++onScreen;
            }
        }
        QCOMPARE(onScreen, 9 * 9);
        // ...and no more than it needs: the box touches the chart's edges within a margin.
        const auto top = view.PositionToPixel(Degrees(4.5, 62.0));
        const auto bottom = view.PositionToPixel(Degrees(4.5, 50.0));
        QVERIFY(bottom->y() - top->y() > 800 * 0.85);
    }

    void outlinesAreCutToTheScreen() {
        const QRectF rect(0, 0, 100, 100);
        const QPolygonF inside({{10, 10}, {90, 10}, {50, 90}});
        QCOMPARE(ui::ClipPolygon(inside, rect), inside);
        // A square reaching far off to the right keeps only the part inside.
        const QPolygonF wide({{50, 20}, {5'000'000, 20}, {5'000'000, 80}, {50, 80}});
        const QPolygonF cut = ui::ClipPolygon(wide, rect);
        QVERIFY(cut.size() >= 4);
        for (const QPointF& p : cut) {
            QVERIFY(rect.adjusted(-1e-9, -1e-9, 1e-9, 1e-9).contains(p));
        }
        QCOMPARE(cut.boundingRect(), QRectF(50, 20, 50, 60));
        QVERIFY(ui::ClipPolygon(QPolygonF({{200, 200}, {300, 200}, {250, 300}}), rect).isEmpty());
        // A line leaving and re-entering the screen comes out as two pieces.
        const QPolygonF line({{10, 50}, {200, 50}, {200, 70}, {10, 70}});
        const auto pieces = ui::ClipPolyline(line, rect);
        QCOMPARE(pieces.size(), std::size_t{2});
        QCOMPARE(pieces[0], QPolygonF({{10, 50}, {100, 50}}));
        QCOMPARE(pieces[1], QPolygonF({{100, 70}, {10, 70}}));
        QVERIFY(ui::ClipPolyline(QPolygonF({{-10, -10}, {-20, 500}}), rect).empty());
    }

    void shipPlansFollowTheDesign() {
        designs::Tship design;
        design.Length = 600;
        design.Beam = 90;
        const ui::TShipSize size = ui::DrawingSize(design);
        const auto hull = ui::HullOutline(size);
        // The stem is the point furthest forward, the beam the widest, and the two sides
        // mirror each other.
        QCOMPARE(hull.front().forward, 300.0);
        QCOMPARE(hull.front().starboard, 0.0);
        double widest = 0.0;
        double aftmost = 0.0;
        for (const auto& p : hull) {
            widest = std::max(widest, std::abs(p.starboard));
            aftmost = std::min(aftmost, p.forward);
            const bool mirrored = std::any_of(hull.begin(), hull.end(), [&](const auto& q) {
                return q.forward == p.forward && q.starboard == -p.starboard;
            });
            QVERIFY(mirrored);
        }
        QCOMPARE(widest, 45.0);
        QCOMPARE(aftmost, -300.0);

        // A design without a size is drawn at its type's typical size.
        designs::Tship unsized;
        unsized.ShipType = designs::TShipType::DD;
        const ui::TShipSize typical = ui::DrawingSize(unsized);
        QVERIFY(typical.length > 200 && typical.length < 400);
        QVERIFY(typical.beam > 0 && typical.beam < typical.length / 5);

        // Superstructure: bearing clockwise from the bow and distance from the centre; the
        // repeated last corner and unused outlines are left out.
        for (auto& p : design.Superstructure[0]) {
            p = {90, 20};
        }
        design.Superstructure[0][0] = {0, 100};
        design.Superstructure[0][1] = {180, 50};
        const auto deckHouse = ui::SuperstructureOutline(design, 0);
        QCOMPARE(deckHouse.size(), std::size_t{3});
        QVERIFY(std::abs(deckHouse[0].forward - 100) < 1e-9 &&
                std::abs(deckHouse[0].starboard) < 1e-9);
        QVERIFY(std::abs(deckHouse[1].forward + 50) < 1e-9);
        QVERIFY(std::abs(deckHouse[2].starboard - 20) < 1e-9); // 90 degrees: to starboard
        QVERIFY(ui::SuperstructureOutline(design, 1).empty());
        QVERIFY(ui::SuperstructureOutline(design, 7).empty());

        QCOMPARE(ui::FunnelPlace({25, false}, size).forward, 150.0);
        const auto a = ui::TurretPlace('A', size);
        const auto y = ui::TurretPlace('Y', size);
        const auto portWing = ui::TurretPlace('F', size);
        QVERIFY(a && y && portWing);
        QVERIFY(a->forward > 0 && y->forward < 0);
        QVERIFY(portWing->starboard < 0);
        QVERIFY(!ui::TurretPlace('Z', size).has_value());
    }

    // Coast data cut out along a box: land running into the box's right edge was cut there;
    // an island that only touches the box's corner points and an open line along an edge
    // cut nothing.
    void chartLimitsAreTheEdgesAlongWhichLandWasCut() {
        map::TGlobeLayer layer("Coast");
        auto& cutLand = layer.Create<map::TGeoDataObject>();
        cutLand.SetChainPoints(
            0, {Degrees(8, 54), Degrees(13, 54), Degrees(13, 56), Degrees(10, 57), Degrees(8, 54)});
        cutLand.SetClosed(true);
        auto& island = layer.Create<map::TGeoDataObject>();
        island.SetChainPoints(
            0, {Degrees(0, 52.5), Degrees(1, 52), Degrees(0.5, 53), Degrees(0, 52.5)});
        island.SetClosed(true);
        auto& line = layer.Create<map::TGeoDataObject>();
        line.SetChainPoints(0, {Degrees(0, 50), Degrees(0, 58)});

        const ui::TChartLimits limits = ui::FindChartLimits(layer);
        QCOMPARE(limits.box.left, std::int64_t{0});
        QCOMPARE(limits.box.Right(), std::int64_t{13} * kDegree);
        QCOMPARE(limits.box.bottom, std::int64_t{52} * kDegree);
        QCOMPARE(limits.box.Top(), std::int64_t{57} * kDegree);
        QVERIFY(limits.cut[ui::TChartLimits::eRight]);
        // The land's southern side lies along 54N, inside the box: not a cut.
        QVERIFY(!limits.cut[ui::TChartLimits::eLeft]);
        QVERIFY(!limits.cut[ui::TChartLimits::eBottom]);
        QVERIFY(!limits.cut[ui::TChartLimits::eTop]);

        QVERIFY(!ui::FindChartLimits(map::TGlobeLayer("Empty")).Any());
    }
};

QTEST_MAIN(ChartProjectionTest)
#include "ChartProjectionTest.moc"
