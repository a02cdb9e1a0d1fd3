// Torpedo tracks on the chart: the side that fired them sees them run; the other does not.

#include "combat/FightingShip.h"
#include "engine/GameWorld.h"
#include "engine/Torpedo.h"
#include "engine/Torpedoes.h"
#include "map/Geometry.h"
#include "support/TestWorld.h"
#include "ui/ChartView.h"

#include <QImage>
#include <QPainter>
#include <QtTest>

using namespace tarnwake;
using combat::TFightingShip;
using designs::TShipType;

namespace {

constexpr QSize kPicture(800, 600);

designs::TFightingTorpedoMount Tube(char pos) {
    designs::TFightingTorpedoMount mount;
    mount.Pos = pos;
    mount.Tubes = 1;
    mount.TorpsLeft = 1;
    return mount;
}

// How many pixels along the line from `from` to `to` differ from the open sea.
int MarkedPixels(const QImage& picture, const ui::TChartView& view, const map::TGeoPos& from,
                 const map::TGeoPos& to, const QColor& sea) {
    int marked = 0;
    const double yards = map::RangeYards(from, to);
    const int bearing = map::BearingBetween(from, to);
    for (double y = 0; y <= yards; y += 10) {
        const auto pixel = view.PositionToPixel(map::MovePoint(from, bearing, y));
        if (pixel && picture.pixelColor(pixel->toPoint()) != sea) {
            ++marked;
        }
    }
    return marked;
}

} // namespace

class TorpedoTrackTest : public QObject {
    Q_OBJECT
private slots:
    void onlyTheFiringSideSeesItsTorpedoesRun() {
        tarnwake::testing::TTestWorld game;
        engine::TGameWorld& world = game.world;
        world.PlayerSide = 0;
        TFightingShip* own =
            game.AddDivision("Laforey", 0, 0, 20, 1, game.At(180, 3000), TShipType::DD, 1000)
                .Flagship();
        TFightingShip* enemy =
            game.AddDivision("V187", 1, 0, 20, 1, game.At(0, 3000), TShipType::DD, 1000).Flagship();
        own->TorpedoMounts = {Tube('I')};
        enemy->TorpedoMounts = {Tube('H')};
        engine::LaunchFromMount(world, *own, 0, true, combat::TTorpedoSetting::High, 90, *enemy);
        engine::LaunchFromMount(world, *enemy, 0, true, combat::TTorpedoSetting::High, 270, *own);
        for (int step = 0; step < 20; ++step) {
            engine::MoveTorpedoes(world, false);
        }
        ui::TChartView view;
        view.resize(kPicture);
        view.SetWorld(&world);
        view.SetCentre(game.origin);
        QVERIFY(view.SetAltitude(4 * 90'000.0));
        QImage picture(kPicture, QImage::Format_RGB32);
        QPainter painter(&picture);
        view.PaintChart(painter, kPicture);
        painter.end();
        if (qEnvironmentVariableIsSet("TARNWAKE_PICTURE")) {
            picture.save(qEnvironmentVariable("TARNWAKE_PICTURE"));
        }
        const QColor sea = picture.pixelColor(5, kPicture.height() / 2);
        // The player's torpedo has run 2,500 yards east from the tube, the enemy's as far west.
        const map::TGeoPos ownTube = own->Position();
        const map::TGeoPos enemyTube = enemy->Position();
        QVERIFY(MarkedPixels(picture, view, map::MovePoint(ownTube, 90, 300),
                             map::MovePoint(ownTube, 90, 2400), sea) > 20);
        QCOMPARE(MarkedPixels(picture, view, map::MovePoint(enemyTube, 270, 300),
                              map::MovePoint(enemyTube, 270, 2400), sea),
                 0);
    }
};

QTEST_MAIN(TorpedoTrackTest)
#include "TorpedoTrackTest.moc"
