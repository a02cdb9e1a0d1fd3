// The fighting on the chart, read back by its pixels: the line of fire from a firing ship to
// her target, the wreck mark where a ship went down, and the torpedoes in the water, each
// drawn only for a player who may see it.

#include "combat/FightingShip.h"
#include "core/GameClock.h"
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

Q_DECLARE_METATYPE(tarnwake::map::TGeoPos)

namespace {

constexpr QSize kPicture(800, 600);
// Eight miles across: a destroyer action's whole field.
constexpr double kAltitude = 8 * 90'000.0;
// Ships and their targets stand this far apart, east and west of the origin.
constexpr double kApartYards = 12'000.0;
// A pixel differs from the open sea by more than this when something is drawn on it.
constexpr int kMarkedDifference = 24;

bool Marked(const QColor& pixel, const QColor& sea) {
    return std::abs(pixel.red() - sea.red()) + std::abs(pixel.green() - sea.green()) +
               std::abs(pixel.blue() - sea.blue()) >
           kMarkedDifference;
}

// A battle off Jutland painted as the chart shows it to the player.
struct TBattle {
    tarnwake::testing::TTestWorld game;
    ui::TChartView view;
    QImage picture{kPicture, QImage::Format_RGB32};
    QColor sea;

    explicit TBattle(int playerSide) {
        game.world.PlayerSide = playerSide;
        view.resize(kPicture);
        view.SetWorld(&game.world);
        view.SetCentre(game.origin);
        view.SetAltitude(kAltitude);
    }

    TFightingShip& Ship(const std::string& name, int side, double bearing, double yards,
                        TShipType type = TShipType::BB) {
        auto& division =
            game.AddDivision(name, side, 0, 15, 1, game.At(bearing, yards), type, 20000);
        TFightingShip& ship = *division.Flagship();
        const bool seen = game.world.PlayerMaySee(ship);
        ship.Marker->SetHidden(!seen);
        ship.SightingLevel = seen ? combat::kSighted : combat::kUnseen;
        return ship;
    }
    // An enemy the player's lookouts have in sight.
    void Sight(TFightingShip& ship) {
        ship.Marker->SetHidden(false);
        ship.SightingLevel = combat::kSighted;
    }

    void Paint() {
        QPainter painter(&picture);
        view.PaintChart(painter, kPicture);
        painter.end();
        if (qEnvironmentVariableIsSet("TARNWAKE_PICTURE")) {
            picture.save(qEnvironmentVariable("TARNWAKE_PICTURE"));
        }
        // The top left corner holds nothing but sea.
        sea = picture.pixelColor(4, 4);
    }

    QPoint Pixel(const map::TGeoPos& p) const {
        const auto pixel = view.PositionToPixel(p);
        return pixel ? pixel->toPoint() : QPoint(-1, -1);
    }
    // How many of the points every 50 yards from `from` to `to` (ends included) are drawn on.
    int MarkedAlong(const map::TGeoPos& from, const map::TGeoPos& to) const {
        const double yards = map::RangeYards(from, to);
        const int bearing = map::BearingBetween(from, to);
        int marked = 0;
        for (double y = 0; y <= yards; y += 50) {
            marked += Marked(picture.pixelColor(Pixel(map::MovePoint(from, bearing, y))), sea);
        }
        return marked;
    }
    int PointsAlong(const map::TGeoPos& from, const map::TGeoPos& to) const {
        return static_cast<int>(map::RangeYards(from, to) / 50) + 1;
    }
    // How many pixels of the square `half` pixels either side of a place are drawn on.
    int MarkedAround(const map::TGeoPos& at, int half) const {
        const QPoint c = Pixel(at);
        int marked = 0;
        for (int y = c.y() - half; y <= c.y() + half; ++y) {
            for (int x = c.x() - half; x <= c.x() + half; ++x) {
                marked += picture.valid(x, y) && Marked(picture.pixelColor(x, y), sea);
            }
        }
        return marked;
    }
};

designs::TFightingTorpedoMount Tube(char pos) {
    designs::TFightingTorpedoMount mount;
    mount.Pos = pos;
    mount.Tubes = 1;
    mount.TorpsLeft = 1;
    return mount;
}

} // namespace

class BattleSceneTest : public QObject {
    Q_OBJECT
private slots:
    // Who fires at whom decides whether the player sees the line: both ends must be in his
    // sight.
    void aFireLineJoinsFirerAndTarget_data() {
        QTest::addColumn<int>("firerSide");
        QTest::addColumn<bool>("firerSeen");
        QTest::addColumn<bool>("drawn");
        QTest::newRow("ours at an enemy in sight") << 0 << true << true;
        QTest::newRow("an enemy in sight at ours") << 1 << true << true;
        QTest::newRow("an enemy out of sight at ours") << 1 << false << false;
    }
    void aFireLineJoinsFirerAndTarget() {
        QFETCH(int, firerSide);
        QFETCH(bool, firerSeen);
        QFETCH(bool, drawn);
        TBattle battle(0);
        TFightingShip& firer = battle.Ship("Lion", firerSide, 270, kApartYards / 2);
        TFightingShip& target = battle.Ship("Seydlitz", 1 - firerSide, 90, kApartYards / 2);
        for (TFightingShip* ship : {&firer, &target}) {
            if (ship->Side != 0 && (ship != &firer || firerSeen)) {
                battle.Sight(*ship);
            }
        }
        battle.game.world.FireLines.push_back(
            {firer.Id, target.Id, firer.Side, 13, 8, 0, false, false, {}});
        // The same chart without the lines shows what they add.
        battle.Paint();
        const QImage without = battle.picture;
        battle.view.SetShowFireLines(true);
        battle.Paint();
        const auto changedAlong = [&](const map::TGeoPos& from, const map::TGeoPos& to) {
            int changed = 0;
            const int bearing = map::BearingBetween(from, to);
            for (double y = 0; y <= map::RangeYards(from, to); y += 50) {
                const QPoint p = battle.Pixel(map::MovePoint(from, bearing, y));
                changed += battle.picture.pixelColor(p) != without.pixelColor(p);
            }
            return changed;
        };

        // The line's middle, clear of both ships.
        const map::TGeoPos from = map::MovePoint(firer.Position(), 90, kApartYards * 0.15);
        const map::TGeoPos to = map::MovePoint(firer.Position(), 90, kApartYards * 0.85);
        QCOMPARE(changedAlong(from, to), drawn ? battle.PointsAlong(from, to) : 0);
        // A parallel line a mile off is left as it was.
        QCOMPARE(changedAlong(map::MovePoint(from, 0, 2000), map::MovePoint(to, 0, 2000)), 0);
    }

    // A sunk ship leaves her wreck mark where she went down, as long as the player knew her.
    void aWreckMarksWhereAShipSank_data() {
        QTest::addColumn<int>("side");
        QTest::addColumn<bool>("seen");
        QTest::addColumn<bool>("marked");
        QTest::newRow("ours") << 0 << false << true;
        QTest::newRow("an enemy in sight as she went") << 1 << true << true;
        QTest::newRow("an enemy never seen") << 1 << false << false;
    }
    void aWreckMarksWhereAShipSank() {
        QFETCH(int, side);
        QFETCH(bool, seen);
        QFETCH(bool, marked);
        TBattle battle(0);
        TFightingShip& ship = battle.Ship("Queen Mary", side, 45, 6000, TShipType::BC);
        if (seen) {
            battle.Sight(ship);
        }
        const map::TGeoPos grave = ship.Position();
        ship.Sunk = true;
        ship.Sinking = 0;
        ship.TimeOfLoss = core::EncodeDateTime(1916, 5, 31, 15, 26);
        battle.game.world.RetireShip(&ship);
        QVERIFY(ship.Marker->Hidden());
        // The next minute's paint: the ship herself is no longer drawn.
        ++battle.game.world.TimeElapsed;
        battle.Paint();

        constexpr int kAround = 8;
        QCOMPARE(battle.MarkedAround(grave, kAround) > 10, marked);
        // Nothing where she never was: the same distance off on the other side.
        QCOMPARE(battle.MarkedAround(battle.game.At(225, 6000), kAround), 0);
    }

    // Torpedoes run with their tracks for the side that fired them; a watcher sees all, and the
    // player never sees an enemy's.
    void torpedoesShowOnlyToWhoMaySeeThem_data() {
        QTest::addColumn<int>("playerSide");
        QTest::addColumn<bool>("ownShown");
        QTest::addColumn<bool>("enemyShown");
        QTest::newRow("the British player") << 0 << true << false;
        QTest::newRow("the German player") << 1 << false << true;
        QTest::newRow("a watcher") << 2 << true << true;
    }
    void torpedoesShowOnlyToWhoMaySeeThem() {
        QFETCH(int, playerSide);
        QFETCH(bool, ownShown);
        QFETCH(bool, enemyShown);
        TBattle battle(playerSide);
        TFightingShip& british = battle.Ship("Laforey", 0, 180, 3000, TShipType::DD);
        TFightingShip& german = battle.Ship("V187", 1, 0, 3000, TShipType::DD);
        // Each side has the other in sight: only the torpedoes are the player's to guess.
        battle.Sight(british);
        battle.Sight(german);
        british.TorpedoMounts = {Tube('I')};
        german.TorpedoMounts = {Tube('H')};
        engine::TGameWorld& world = battle.game.world;
        engine::LaunchFromMount(world, british, 0, true, combat::TTorpedoSetting::High, 90, german);
        engine::LaunchFromMount(world, german, 0, true, combat::TTorpedoSetting::High, 270,
                                british);
        for (int step = 0; step < 20; ++step) {
            engine::MoveTorpedoes(world, false);
        }
        QCOMPARE(static_cast<int>(world.Torpedoes.size()), 2);
        battle.Paint();

        for (const auto& torpedo : world.Torpedoes) {
            const bool shown = torpedo->Side == 0 ? ownShown : enemyShown;
            // The torpedo at the head of its track, and the track behind it.
            QCOMPARE(battle.MarkedAround(torpedo->Position(), 2) > 0, shown);
            const map::TGeoPos behind =
                map::MovePoint(torpedo->Position(), map::AddBearing(torpedo->Heading, 180), 1500);
            QCOMPARE(battle.MarkedAlong(behind, torpedo->Position()) > 0, shown);
        }
    }
};

QTEST_MAIN(BattleSceneTest)
#include "BattleSceneTest.moc"
