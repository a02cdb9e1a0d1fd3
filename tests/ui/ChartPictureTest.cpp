// What the chart draws: the North Sea's land and sea where the land test puts them, the sea
// in the weather's colour, ships at their positions in the colours the player may know them
// by, and the picks of ships and division flags.

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"
#include "map/LayerFile.h"
#include "ui/ChartColours.h"
#include "ui/ChartPainter.h"
#include "ui/ChartView.h"
#include "ui/MainWindow.h"

#include "support/TestWorld.h"

#include <QCoreApplication>
#include <QDir>
#include <QImage>
#include <QPainter>
#include <QtTest>
#include <cmath>
#include <filesystem>

using namespace tarnwake;
using map::TGeoPos;
using ui::TChartColours;
using ui::TChartView;

namespace {

constexpr std::int32_t kDegree = 5'400'000;
constexpr QSize kPicture(1280, 800);

TGeoPos Degrees(double lon, double lat) {
    return {static_cast<std::int32_t>(std::lround(lon * kDegree)),
            static_cast<std::int32_t>(std::lround(lat * kDegree)), 0};
}

QColor Colour(core::TColor c) {
    const core::TRgb rgb = core::ColorToRgb(c);
    return QColor(rgb.r, rgb.g, rgb.b);
}

// The shipped game folder, linked beside the test programs in the build tree.
std::filesystem::path GameDir() {
    const QByteArray fromEnvironment = qgetenv("TARNWAKE_GAME_DIR");
    if (!fromEnvironment.isEmpty()) {
        return fromEnvironment.toStdString();
    }
    return QDir(QCoreApplication::applicationDirPath() + "/../data").absolutePath().toStdString();
}

// A world on the North Sea chart, its coast as land layer 1 and a ship layer.
struct TNorthSea : tarnwake::testing::TTestWorld {
    map::TGlobeLayer* shipLayer = nullptr;
    bool loaded = false;

    TNorthSea() : tarnwake::testing::TTestWorld(core::TGameFolders(GameDir(), "user"), 31) {
        auto coast = map::LoadLayerFile(world.Folders().ScenariosDir() / "NorthSea.lyr");
        if (!coast.layer) {
            qWarning("%s", coast.error.c_str());
            return;
        }
        world.Chart.SetLandLayer(1, &world.Chart.AddLayer(std::move(coast.layer)));
        shipLayer = &world.Chart.FindOrCreateLayer("ShipLayer");
        loaded = true;
    }

    // A battleship of 600 by 90 feet with a plain deck (no superstructure, turrets or
    // funnels), so that its middle shows the deck colour.
    combat::TFightingShip& AddShip(const TGeoPos& at, int side, int nation, int course) {
        tarnwake::testing::TTestShipSpec spec;
        spec.Name = "Test " + std::to_string(world.Ships.size() + 1);
        spec.Side = side;
        spec.Course = course;
        spec.Length = 600;
        spec.Beam = 90;
        spec.Nation = nation;
        return world.AddShip(tarnwake::testing::MakeTestShip(spec, shipLayer, at));
    }
};

QImage Paint(TChartView& view) {
    QImage image(kPicture, QImage::Format_RGB32);
    QPainter painter(&image);
    view.PaintChart(painter, kPicture);
    return image;
}

QColor PixelAt(const QImage& image, const TChartView& view, const TGeoPos& p) {
    const auto pixel = view.PositionToPixel(p);
    if (!pixel || !QRectF(QPointF(0, 0), QSizeF(image.size())).contains(*pixel)) {
        return QColor();
    }
    return image.pixelColor(pixel->toPoint());
}

} // namespace

class ChartPictureTest : public QObject {
    Q_OBJECT
private slots:
    void theNorthSeaShowsLandWhereTheLandTestFindsIt_data() {
        QTest::addColumn<double>("lon");
        QTest::addColumn<double>("lat");
        QTest::addColumn<bool>("land");
        // Well inside land or open water, off the whole-degree graticule lines.
        QTest::newRow("middle of the North Sea") << 3.5 << 56.5 << false;
        QTest::newRow("Dogger Bank") << 2.3 << 54.7 << false;
        QTest::newRow("German Bight") << 7.4 << 54.3 << false;
        QTest::newRow("off Norway") << 3.3 << 59.5 << false;
        QTest::newRow("Jutland") << 9.3 << 56.3 << true;
        QTest::newRow("Norway") << 8.5 << 60.5 << true;
        QTest::newRow("Yorkshire") << -1.5 << 53.6 << true;
        QTest::newRow("Netherlands") << 5.6 << 52.2 << true;
        QTest::newRow("Scottish Highlands") << -3.6 << 57.2 << true;
    }
    void theNorthSeaShowsLandWhereTheLandTestFindsIt() {
        QFETCH(double, lon);
        QFETCH(double, lat);
        QFETCH(bool, land);
        TNorthSea sea;
        QVERIFY(sea.loaded);
        const TGeoPos p = Degrees(lon, lat);
        QCOMPARE(sea.world.Chart.IsOnLand(p), land);

        TChartView view;
        view.resize(kPicture);
        view.SetWorld(&sea.world);
        view.ShowWholeChart();
        const QImage picture = Paint(view);
        const TChartColours colours;
        QCOMPARE(PixelAt(picture, view, p), Colour(land ? colours.Land : colours.Water));
    }

    void theSeaTakesTheWeathersColour() {
        TChartColours colours;
        QCOMPARE(ui::SeaColour(colours, 0), colours.Fog);
        QCOMPARE(ui::SeaColour(colours, 1), colours.Fog);
        for (int weather = 2; weather <= 5; ++weather) {
            QCOMPARE(ui::SeaColour(colours, weather), colours.Water);
        }
        QCOMPARE(ui::SeaColour(colours, 6), colours.Rain);
        QCOMPARE(ui::SeaColour(colours, 7), colours.Rain);
        // The defaults of a new player's preferences.
        QCOMPARE(colours.Water, 0x00FFFF80);
        QCOMPARE(colours.Land, 0x009DF7F4);
        QCOMPARE(colours.Fog, 0x00EFEFEF);
        QCOMPARE(colours.Rain, 0x00AFBF3E);

        TNorthSea sea;
        QVERIFY(sea.loaded);
        TChartView view;
        view.resize(kPicture);
        view.SetWorld(&sea.world);
        view.ShowWholeChart();
        const TGeoPos openSea = Degrees(3.5, 56.5);
        sea.world.Environment.Weather = 0;
        QCOMPARE(PixelAt(Paint(view), view, openSea), Colour(colours.Fog));
        sea.world.Environment.Weather = 7;
        QCOMPARE(PixelAt(Paint(view), view, openSea), Colour(colours.Rain));
        // Preferences changed by the player take effect.
        colours.Land = core::RgbToColor(200, 100, 50);
        view.SetColours(colours);
        QCOMPARE(PixelAt(Paint(view), view, Degrees(9.3, 56.3)), QColor(200, 100, 50));
    }

    void aShipIsDrawnAtItsPosition() {
        TNorthSea sea;
        QVERIFY(sea.loaded);
        const TGeoPos at = Degrees(3.5, 56.5);
        combat::TFightingShip& ship = sea.AddShip(at, 0, 0, 45);
        TChartColours colours;
        colours.Nation[0] = core::RgbToColor(200, 30, 30);
        TChartView view;
        view.resize(kPicture);
        view.SetColours(colours);
        view.SetWorld(&sea.world);
        view.SetCentre(Degrees(3.49, 56.495));
        QVERIFY(view.SetAltitude(90'000.0)); // a mile across: the ship is 80 pixels long

        QImage picture = Paint(view);
        const QPointF centre = *view.PositionToPixel(at);
        QCOMPARE(picture.pixelColor(centre.toPoint()), QColor(200, 30, 30));
        // Along the course the deck reaches most of the half length either way;
        // abeam, half the beam; beyond, open sea.
        const double feetToPixels =
            view.PixelsPerGlobeUnit() * map::GlobeUnitFactor(map::TGlobeUnitTypes::Foot);
        const QPointF ahead(std::sin(M_PI / 4), -std::cos(M_PI / 4)); // north-east, y down
        const QPointF abeam(std::cos(M_PI / 4), std::sin(M_PI / 4));
        const auto colourAt = [&](const QPointF& offsetFeet) {
            const QPointF p =
                centre + (ahead * offsetFeet.x() + abeam * offsetFeet.y()) * feetToPixels;
            return picture.pixelColor(p.toPoint());
        };
        QCOMPARE(colourAt({200, 0}), QColor(200, 30, 30));
        QCOMPARE(colourAt({-240, 0}), QColor(200, 30, 30));
        QCOMPARE(colourAt({0, 25}), QColor(200, 30, 30));
        QCOMPARE(colourAt({0, -25}), QColor(200, 30, 30));
        QCOMPARE(colourAt({0, 120}), Colour(colours.Water));
        QCOMPARE(colourAt({400, 0}), Colour(colours.Water));

        // Far out, at the whole chart, the ship is still seen (drawn at a few pixels).
        view.ShowWholeChart();
        QCOMPARE(PixelAt(Paint(view), view, at), QColor(200, 30, 30));

        // A hidden marker or a sunk ship is not drawn.
        ship.Marker->SetHidden(true);
        QCOMPARE(PixelAt(Paint(view), view, at), Colour(colours.Water));
        ship.Marker->SetHidden(false);
        ship.Sunk = true;
        QCOMPARE(PixelAt(Paint(view), view, at), Colour(colours.Water));
    }

    void anEnemyNotIdentifiedIsGrey() {
        TNorthSea sea;
        QVERIFY(sea.loaded);
        const TGeoPos at = Degrees(3.5, 56.5);
        combat::TFightingShip& enemy = sea.AddShip(at, 1, 1, 200);
        TChartColours colours;
        colours.Nation[1] = core::RgbToColor(20, 20, 160);
        TChartView view;
        view.resize(kPicture);
        view.SetColours(colours);
        view.SetWorld(&sea.world);
        view.SetCentre(at);
        QVERIFY(view.SetAltitude(2 * 90'000.0));
        sea.world.PlayerSide = 0;
        enemy.SightingLevel = 1;
        QCOMPARE(PixelAt(Paint(view), view, at), QColor(128, 128, 128));
        enemy.SightingLevel = 2;
        QCOMPARE(PixelAt(Paint(view), view, at), QColor(20, 20, 160));
        // Watching the computer fight both sides, the player sees every ship as it is.
        enemy.SightingLevel = 0;
        sea.world.PlayerSide = 2;
        QCOMPARE(PixelAt(Paint(view), view, at), QColor(20, 20, 160));
    }

    void shipLabelsFollowTheNameModeAndWhatThePlayerKnows_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("type");
        QTest::addColumn<int>("sightingLevel");
        QTest::addColumn<int>("mode");
        QTest::addColumn<QString>("label");
        QTest::addColumn<QString>("identifiedType");
        QTest::addColumn<QString>("reportedClass");
        const int bb = designs::TypeIndex(designs::TShipType::BB);
        const int dd = designs::TypeIndex(designs::TShipType::DD);
        const int cl = designs::TypeIndex(designs::TShipType::CL);
        QTest::newRow("own battleship, all") << 0 << bb << 0 << int(ui::snAll) << "Warspite"
                                             << ""
                                             << "";
        QTest::newRow("own cruiser, capital ships") << 0 << cl << 0 << int(ui::snCapitalShips) << ""
                                                    << ""
                                                    << "";
        QTest::newRow("own battleship, capital ships")
            << 0 << bb << 0 << int(ui::snCapitalShips) << "Warspite"
            << ""
            << "";
        QTest::newRow("own destroyer, type") << 0 << dd << 0 << int(ui::snType) << "DD"
                                             << ""
                                             << "";
        QTest::newRow("own destroyer, type no DD") << 0 << dd << 0 << int(ui::snTypeNoDD) << ""
                                                   << ""
                                                   << "";
        QTest::newRow("own cruiser, type no DD") << 0 << cl << 0 << int(ui::snTypeNoDD) << "CL"
                                                 << ""
                                                 << "";
        QTest::newRow("own battleship, none") << 0 << bb << 0 << int(ui::snNone) << ""
                                              << ""
                                              << "";
        QTest::newRow("enemy only sighted") << 1 << bb << 1 << int(ui::snAll) << ""
                                            << ""
                                            << "";
        // Another side's ship goes by what the lookouts believe, right or wrong.
        QTest::newRow("enemy type made out") << 1 << bb << 2 << int(ui::snAll) << "BC"
                                             << "BC"
                                             << "";
        QTest::newRow("enemy type made out, types") << 1 << bb << 2 << int(ui::snType) << "BC"
                                                    << "BC"
                                                    << "";
        QTest::newRow("enemy class made out") << 1 << bb << 3 << int(ui::snAll) << "Iron Duke-class"
                                              << "BB"
                                              << "Iron Duke";
    }

    void shipLabelsFollowTheNameModeAndWhatThePlayerKnows() {
        QFETCH(int, side);
        QFETCH(int, type);
        QFETCH(int, sightingLevel);
        QFETCH(int, mode);
        QFETCH(QString, label);
        QFETCH(QString, identifiedType);
        QFETCH(QString, reportedClass);
        TNorthSea sea;
        QVERIFY(sea.loaded);
        combat::TFightingShip& ship = sea.AddShip(Degrees(3.5, 56.5), side, side, 0);
        ship.Marker->SetTitle("Warspite");
        ship.ShipType = static_cast<designs::TShipType>(type);
        ship.SightingLevel = sightingLevel;
        ship.IdentifiedType = identifiedType.toStdString();
        ship.ReportedClass = reportedClass.toStdString();
        QCOMPARE(ui::ShipLabel(ship, 0, static_cast<ui::TShipNameMode>(mode)), label);
    }

    void rangeRingsAreDrawnAtTheirRange() {
        TNorthSea sea;
        QVERIFY(sea.loaded);
        const TGeoPos at = Degrees(3.5, 56.5);
        combat::TFightingShip& ship = sea.AddShip(at, 0, 0, 0);
        combat::TDivision& division =
            sea.world.AddDivision(std::make_unique<combat::TDivision>("1st BS", 0));
        division.Ships.push_back(&ship);
        sea.world.PlayerSide = 0;
        TChartView view;
        view.resize(kPicture);
        view.SetWorld(&sea.world);
        view.SetCentre(at);
        QVERIFY(view.SetAltitude(40 * 90'000.0));
        const double yards = sea.world.VisibilityRange(ship, false);
        QVERIFY(yards > 0);
        const auto east = [&](double y) {
            return *view.PositionToPixel(map::MovePoint(at, 90, y));
        };
        // A dotted ring in the sighting rings' blue: look along a short stretch of it.
        const QColor blue = ui::RingPen(ui::rkSighting).color();
        const auto ringSeen = [&](const QImage& picture, double y) {
            const QPointF p = east(y);
            for (int dy = -12; dy <= 12; ++dy) {
                for (int dx = -1; dx <= 1; ++dx) {
                    const QColor c = picture.pixelColor(p.toPoint() + QPoint(dx, dy));
                    if (std::abs(c.red() - blue.red()) < 60 &&
                        std::abs(c.green() - blue.green()) < 60 &&
                        std::abs(c.blue() - blue.blue()) < 60) {
                        return true;
                    }
                }
            }
            return false;
        };
        QVERIFY(!ringSeen(Paint(view), yards));
        // Only the selected division has its rings, unless they are asked for all.
        view.SetRangeRings({true, false, false, false});
        QVERIFY(!ringSeen(Paint(view), yards));
        view.SetSelectedDivision(&division);
        const QImage picture = Paint(view);
        QVERIFY(ringSeen(picture, yards));
        QVERIFY(!ringSeen(picture, yards * 0.8));
        view.SetSelectedDivision(nullptr);
        view.SetRangeRings({true, false, false, true});
        QVERIFY(ringSeen(Paint(view), yards));
    }

    void deckColours_data() {
        QTest::addColumn<int>("playerSide");
        QTest::addColumn<int>("side");
        QTest::addColumn<int>("sightingLevel");
        QTest::addColumn<int>("type");
        QTest::addColumn<bool>("applyToDD");
        QTest::addColumn<int>("nation");
        QTest::addColumn<bool>("nationColour"); // else grey
        QTest::newRow("own battleship") << 0 << 0 << 0 << 0 << false << 0 << true;
        QTest::newRow("enemy sighted only") << 0 << 1 << 1 << 0 << false << 1 << false;
        QTest::newRow("enemy type identified") << 0 << 1 << 2 << 0 << false << 1 << true;
        QTest::newRow("enemy class identified") << 1 << 0 << 3 << 3 << false << 0 << true;
        QTest::newRow("neutral unseen") << 0 << 3 << 0 << 8 << false << 10 << false;
        QTest::newRow("own destroyer") << 0 << 0 << 0 << 6 << false << 0 << false;
        QTest::newRow("own destroyer, colour applied") << 0 << 0 << 0 << 6 << true << 0 << true;
        QTest::newRow("own minesweeper") << 1 << 1 << 0 << 7 << false << 1 << false;
        QTest::newRow("watching, enemy unseen") << 2 << 1 << 0 << 1 << false << 1 << true;
        QTest::newRow("no such nation") << 0 << 0 << 0 << 0 << false << -1 << false;
    }
    void deckColours() {
        QFETCH(int, playerSide);
        QFETCH(int, side);
        QFETCH(int, sightingLevel);
        QFETCH(int, type);
        QFETCH(bool, applyToDD);
        QFETCH(int, nation);
        QFETCH(bool, nationColour);
        TChartColours colours;
        for (int n = 0; n < designs::kNationCount; ++n) {
            colours.Nation[static_cast<std::size_t>(n)] = core::RgbToColor(10, 20, 30 + n);
        }
        colours.ApplyToDD = applyToDD;
        combat::TFightingShip ship;
        ship.Side = side;
        ship.SightingLevel = sightingLevel;
        ship.ShipType = static_cast<designs::TShipType>(type);
        ship.Nation = nation;
        const core::TColor expected = nationColour ? core::RgbToColor(10, 20, 30 + nation)
                                                   : TChartColours::kUnsetNationColour;
        QCOMPARE(ui::ShipDeckColour(ship, playerSide, colours), expected);
    }

    void theMarkersStyleGivesTheDeckColour() {
        TNorthSea sea;
        QVERIFY(sea.loaded);
        combat::TFightingShip& ship = sea.AddShip(Degrees(3.5, 56.5), 0, 0, 0);
        map::TGlobePresenter style;
        style.brush.colour = core::RgbToColor(1, 2, 3);
        ship.Marker->SetPresenterID(sea.shipLayer->AddPresenter(style));
        QCOMPARE(ui::ShipDeckColour(ship, 0, TChartColours()), core::RgbToColor(1, 2, 3));
        // Not identified, the style does not give the ship away.
        QCOMPARE(ui::ShipDeckColour(ship, 1, TChartColours()), TChartColours::kUnsetNationColour);
    }

    void shipsAndDivisionFlagsArePicked() {
        TNorthSea sea;
        QVERIFY(sea.loaded);
        auto& first = sea.world.AddDivision(std::make_unique<combat::TDivision>("1st BS", 0));
        auto& second = sea.world.AddDivision(std::make_unique<combat::TDivision>("I. SG", 1));
        combat::TFightingShip& flagship = sea.AddShip(Degrees(3.5, 56.5), 0, 0, 90);
        combat::TFightingShip& astern = sea.AddShip(Degrees(3.48, 56.5), 0, 0, 90);
        combat::TFightingShip& enemy = sea.AddShip(Degrees(3.6, 56.55), 1, 1, 270);
        first.Ships = {&flagship, &astern};
        second.Ships = {&enemy};
        TChartView view;
        view.resize(kPicture);
        view.SetWorld(&sea.world);
        view.SetCentre(Degrees(3.52, 56.52));
        QVERIFY(view.SetAltitude(12 * 90'000.0));

        const QPointF flagshipPixel = *view.PositionToPixel(flagship.Position());
        const QPointF asternPixel = *view.PositionToPixel(astern.Position());
        QCOMPARE(view.ShipAt(flagshipPixel), &flagship);
        QCOMPARE(view.ShipAt(asternPixel + QPointF(1, 1)), &astern);
        QCOMPARE(view.ShipAt(flagshipPixel + QPointF(0, 60)), nullptr);
        // The flag flies above the flagship.
        QCOMPARE(view.DivisionAt(flagshipPixel + QPointF(5, -13)), &first);
        QCOMPARE(view.DivisionAt(asternPixel), &first);
        QCOMPARE(view.DivisionAt(*view.PositionToPixel(enemy.Position())), &second);
        QCOMPARE(view.DivisionAt(QPointF(5, 5)), nullptr);
        // The flag is drawn in its side's colour.
        const QImage picture = Paint(view);
        QCOMPARE(picture.pixelColor((flagshipPixel + QPointF(5, -13)).toPoint()),
                 QColor(255, 0, 0));
        QCOMPARE(picture.pixelColor(
                     (*view.PositionToPixel(enemy.Position()) + QPointF(5, -13)).toPoint()),
                 QColor(0, 0, 255));
    }

    void pointSizesInMetresGrowWithTheZoomAndPixelsStay() {
        TNorthSea sea;
        QVERIFY(sea.loaded);
        map::TGlobeLayer& places = sea.world.Chart.FindOrCreateLayer("LocationLayer");
        const auto point = [](map::TPointType type, map::TGlobeUnitTypes unit, int size,
                              QColor colour) {
            map::TGlobePresenter style;
            style.kind = map::TPresenterKind::Point;
            style.pointType = type;
            style.pointUnit = unit;
            style.pointSize = size;
            style.pen.style = map::psClear;
            style.brush.colour = core::RgbToColor(colour.red(), colour.green(), colour.blue());
            return style;
        };
        const QColor green(10, 120, 10);
        const QColor purple(120, 10, 120);
        auto metres = point(map::ppCircle, map::TGlobeUnitTypes::Meter, 3000, green);
        auto& town = places.Create<>();
        town.SetStoredPoint(Degrees(3.0, 56.0));
        town.SetPresenterID(places.AddPresenter(metres));
        auto& buoy = places.Create<>();
        buoy.SetStoredPoint(Degrees(3.3, 56.0));
        buoy.SetPresenterID(
            places.AddPresenter(point(map::ppSquare, map::TGlobeUnitTypes::Pixel, 12, purple)));
        metres.maxPointSize = 30; // never more than 30 pixels across
        auto& capped = places.Create<>();
        capped.SetStoredPoint(Degrees(3.0, 56.1));
        capped.SetPresenterID(places.AddPresenter(metres));

        TChartView view;
        view.resize(kPicture);
        view.SetWorld(&sea.world);
        view.SetCentre(Degrees(3.15, 56.05));
        const TChartColours colours;
        const QColor water = Colour(colours.Water);
        for (double miles : {30.0, 15.0}) {
            QVERIFY(view.SetAltitude(miles * 90'000.0));
            const QImage picture = Paint(view);
            const auto at = [&](const map::TGeoDataObject& object, double dx) {
                const QPointF p = *view.PositionToPixel(object.StoredPoint()) + QPointF(dx, 0);
                return picture.pixelColor(p.toPoint());
            };
            const double radius = 1500.0 / (miles * 1852.0 / 800.0);
            QCOMPARE(at(town, radius - 3), green);
            QCOMPARE(at(town, radius + 3), water);
            QCOMPARE(at(buoy, 4), purple);
            QCOMPARE(at(buoy, 8), water);
            QCOMPARE(at(capped, std::min(radius, 15.0) - 3), green);
            QCOMPARE(at(capped, std::min(radius, 15.0) + 3), water);
        }
    }

    void zoomLimitsOfLayersAndObjects_data() {
        QTest::addColumn<bool>("onLayer");
        QTest::addColumn<double>("miles");
        QTest::addColumn<bool>("drawn");
        for (bool onLayer : {true, false}) {
            const char* what = onLayer ? "layer" : "object";
            QTest::addRow("%s, closer than its range", what) << onLayer << 5.0 << false;
            QTest::addRow("%s, within its range", what) << onLayer << 15.0 << true;
            QTest::addRow("%s, further than its range", what) << onLayer << 25.0 << false;
        }
    }
    void zoomLimitsOfLayersAndObjects() {
        QFETCH(bool, onLayer);
        QFETCH(double, miles);
        QFETCH(bool, drawn);
        TNorthSea sea;
        QVERIFY(sea.loaded);
        map::TGlobeLayer& layer = sea.world.Chart.FindOrCreateLayer("ObjectiveLayer");
        map::TGlobePresenter style;
        style.kind = map::TPresenterKind::Point;
        style.pointSize = 16;
        style.brush.colour = core::RgbToColor(250, 120, 0);
        auto& marker = layer.Create<>();
        marker.SetStoredPoint(Degrees(3.5, 56.5));
        marker.SetPresenterID(layer.AddPresenter(style));
        // Between 10 and 20 nautical miles across the chart.
        if (onLayer) {
            layer.ZoomMin = 10;
            layer.ZoomMax = 20;
        } else {
            marker.SetZoomRange(10, 20);
        }
        TChartView view;
        view.resize(kPicture);
        view.SetWorld(&sea.world);
        view.SetCentre(Degrees(3.5, 56.5));
        QVERIFY(view.SetAltitude(miles * 90'000.0));
        const QColor seen = PixelAt(Paint(view), view, marker.StoredPoint());
        QCOMPARE(seen == QColor(250, 120, 0), drawn);
    }

    void linesAndTitlesAsTheirStylesSay() {
        TNorthSea sea;
        QVERIFY(sea.loaded);
        map::TGlobeLayer& layer = sea.world.Chart.FindOrCreateLayer("SearchLayer");
        map::TGlobePresenter pen;
        pen.kind = map::TPresenterKind::Polyline;
        pen.pen = map::TGlobePen{core::RgbToColor(200, 0, 200), map::psSolid, 500,
                                 map::TGlobeUnitTypes::Meter};
        auto& line = layer.Create<>();
        line.AddPoint(0, Degrees(3.2, 56.3));
        line.AddPoint(0, Degrees(3.8, 56.3));
        line.SetPresenterID(layer.AddPresenter(pen));

        map::TGlobePresenter label;
        label.kind = map::TPresenterKind::Point;
        label.pointType = map::ppNone;
        label.titleFont.size = 16;
        label.titleFont.unit = map::TGlobeUnitTypes::Pixel;
        label.titleFont.colour = core::colors::Black;
        label.titleAlignment = map::taRight;
        label.titleOffset = 10;
        const int right = layer.AddPresenter(label);
        label.titleAlignment = map::taLeft;
        const int left = layer.AddPresenter(label);
        auto& east = layer.Create<>();
        east.SetStoredPoint(Degrees(3.5, 56.6));
        east.SetTitle("Horns Reef");
        east.SetPresenterID(right);
        auto& west = layer.Create<>();
        west.SetStoredPoint(Degrees(3.5, 56.7));
        west.SetTitle("Horns Reef");
        west.SetPresenterID(left);

        TChartView view;
        view.resize(kPicture);
        view.SetWorld(&sea.world);
        view.SetCentre(Degrees(3.5, 56.5));
        const auto darkPixels = [&](const QImage& picture, const QPointF& anchor, double from,
                                    double to) {
            int count = 0;
            for (int x = static_cast<int>(anchor.x() + from); x < anchor.x() + to; ++x) {
                for (int y = static_cast<int>(anchor.y()) - 9; y <= anchor.y() + 9; ++y) {
                    count += picture.pixelColor(x, y).lightness() < 80 ? 1 : 0;
                }
            }
            return count;
        };
        QVERIFY(view.SetAltitude(30 * 90'000.0));
        QImage picture = Paint(view);
        // A pen 500 m wide is 7 pixels at 30 miles across: 2 pixels off its middle is line.
        const auto middleOf = [&] {
            return (*view.PositionToPixel(line.Chain(0).Point(0)) +
                    *view.PositionToPixel(line.Chain(0).Point(1))) /
                   2;
        };
        QCOMPARE(picture.pixelColor((middleOf() + QPointF(0, 2)).toPoint()), QColor(200, 0, 200));
        // Titles: right of the point, or left of it, as aligned.
        const QPointF eastAt = *view.PositionToPixel(east.StoredPoint());
        const QPointF westAt = *view.PositionToPixel(west.StoredPoint());
        QVERIFY(darkPixels(picture, eastAt, 10, 100) > 20);
        QCOMPARE(darkPixels(picture, eastAt, -100, -2), 0);
        QVERIFY(darkPixels(picture, westAt, -100, -10) > 20);
        QCOMPARE(darkPixels(picture, westAt, 2, 100), 0);

        // Four times further out the pen is under two pixels wide.
        QVERIFY(view.SetAltitude(120 * 90'000.0));
        picture = Paint(view);
        QVERIFY(picture.pixelColor(middleOf().toPoint()).green() < 128); // still the line
        QCOMPARE(picture.pixelColor((middleOf() + QPointF(0, 3)).toPoint()),
                 Colour(TChartColours().Water));
        // A layer that shows no titles shows none.
        layer.ShowTitles = false;
        QVERIFY(view.SetAltitude(30 * 90'000.0));
        picture = Paint(view);
        QCOMPARE(darkPixels(picture, eastAt, 10, 100), 0);
        // An object the game selects is drawn with a band round it: just off the pen, the
        // highlight.
        QCOMPARE(picture.pixelColor((middleOf() + QPointF(0, 5)).toPoint()),
                 Colour(TChartColours().Water));
        line.SetSelected(true);
        picture = Paint(view);
        const QColor band = picture.pixelColor((middleOf() + QPointF(0, 5)).toPoint());
        QCOMPARE(band, QColor(255, 200, 0));
    }

    void theMainWindowShowsAWorld() {
        TNorthSea sea;
        QVERIFY(sea.loaded);
        sea.world.Chart.ViewCentre = Degrees(3.5, 56.5);
        sea.world.Chart.ViewZoom = 300; // nautical miles across, as an environment file says
        ui::TfrmMain window;
        window.SetWorld(&sea.world);
        QCOMPARE(window.World(), &sea.world);
        QCOMPARE(window.Chart()->World(), &sea.world);
        QCOMPARE(window.Chart()->Centre(), Degrees(3.5, 56.5));
        QCOMPARE(window.Chart()->Altitude(), 300 * 90'000.0);
        window.SetWorld(nullptr);
        QCOMPARE(window.Chart()->World(), nullptr);
    }
};

QTEST_MAIN(ChartPictureTest)
#include "ChartPictureTest.moc"
