#include "engine/Hazards.h"

#include "WorldFixture.h"
#include "campaign/Minefield.h"
#include "core/Random.h"
#include "engine/Minefields.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace tarnwake;
using combat::TFightingShip;
using designs::TShipType;

namespace {

// The player's destroyer at the reference point steaming north at 15 knots, and an enemy light
// cruiser placed by each test.
class Hazards : public tarnwake::testing::WorldFixture {
protected:
    Hazards() {
        world.PlayerSide = 0;
        destroyer = Ship("Lurcher", 0, TShipType::DD, 1000, 1200, origin, 0, 15);
        destroyer->PlayerCommanded = true;
        destroyer->IdentifiedType = "DD";
    }

    TFightingShip* Ship(const std::string& name, int side, TShipType type, int tons, int flotation,
                        map::TGeoPos at, int course, int speed) {
        TFightingShip* ship = AddDivision(name, side, course, speed, 1, at, type, tons).Flagship();
        ship->MaxFloatPoints = flotation;
        ship->CurrentFloatPoints = flotation;
        return ship;
    }

    TFightingShip* Cruiser(map::TGeoPos at, int course) {
        TFightingShip* cruiser = Ship("Stralsund", 1, TShipType::CL, 4500, 6000, at, course, 20);
        cruiser->IdentifiedType = "CL";
        cruiser->ReportedClass = "Stralsund";
        return cruiser;
    }

    void Script(std::vector<int> rolls) {
        auto scripted = std::make_unique<core::TScriptedRandom>(std::move(rolls));
        script = scripted.get();
        world.UseGenerator(std::move(scripted));
    }

    std::vector<std::string> Log() { return FlushedLog(); }

    TFightingShip* destroyer = nullptr;
    core::TScriptedRandom* script = nullptr;
};

struct TRamCase {
    const char* name;
    int cruiserBearing; // from the destroyer, 30 yards off
    int cruiserCourse;
    bool destroyerMoving; // which of the two ran into the other in this sub-step
};

class Ramming : public Hazards, public ::testing::WithParamInterface<TRamCase> {};

TEST_P(Ramming, ACruiserRamsADestroyerOnEitherBeam) {
    const TRamCase& c = GetParam();
    TFightingShip* cruiser = Cruiser(At(c.cruiserBearing, 30), c.cruiserCourse);
    TFightingShip& moving = c.destroyerMoving ? *destroyer : *cruiser;
    TFightingShip& other = c.destroyerMoving ? *cruiser : *destroyer;
    // The blow: Random(6000 x 30 / 30) + Random(.. / 300) to the destroyer, Random(1200 x 30 /
    // 30 / 8) + Random(.. / 300) to the cruiser.
    Script({1000, 100, 10, 1});
    engine::ResolveCollision(world, moving, other);
    EXPECT_EQ(0U, script->Left());
    EXPECT_EQ(100, destroyer->CurrentFloatPoints);
    EXPECT_EQ(5989, cruiser->CurrentFloatPoints);
    EXPECT_EQ(0, destroyer->CurrentSpeed);
    EXPECT_EQ(0, cruiser->CurrentSpeed);
    // The little ship's dynamos are wrecked; the cruiser's bow holds against a ship of less
    // than half her size.
    EXPECT_TRUE(destroyer->ElectricDisabled);
    EXPECT_FALSE(cruiser->ElectricDisabled);
    EXPECT_FALSE(cruiser->BowDamage);
    EXPECT_TRUE(destroyer->Collided);
    EXPECT_TRUE(cruiser->Collided);
    EXPECT_EQ("14:00 Rammed by enemy (Stralsund)", destroyer->Hits.back());
    EXPECT_EQ("14:00 Rams DD(Lurcher)", cruiser->Hits.back());
    EXPECT_EQ((std::vector<std::string>{"7Collision! Lurcher has been rammed by CL Stralsund!"}),
              Log());
    // Rammed once is enough for a minute.
    Script({});
    engine::ResolveCollision(world, moving, other);
    EXPECT_EQ(100, destroyer->CurrentFloatPoints);
}

INSTANTIATE_TEST_SUITE_P(BothBeams, Ramming,
                         ::testing::Values(TRamCase{"StarboardCruiserMoving", 90, 270, false},
                                           TRamCase{"StarboardDestroyerMoving", 90, 270, true},
                                           TRamCase{"PortCruiserMoving", 270, 90, false},
                                           TRamCase{"PortDestroyerMoving", 270, 90, true},
                                           TRamCase{"PortQuarterCruiserMoving", 225, 45, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Hazards, AShipAlongsideOrTooSmallDoesNotRam) {
    // The cruiser alongside to port on a parallel course: her bow does not point at the
    // destroyer, so there is no ram, only a chance of scraping (40 in 100; none here).
    TFightingShip* cruiser = Cruiser(At(270, 30), 0);
    Script({40});
    engine::ResolveCollision(world, *cruiser, *destroyer);
    EXPECT_EQ(0U, script->Left());
    EXPECT_EQ(15, destroyer->CurrentSpeed);
    EXPECT_FALSE(destroyer->Collided);
    EXPECT_TRUE(Log().empty());

    // The destroyer's bow into the cruiser's beam: far too light to ram her, a glancing blow.
    // Each loses Random(the other's flotation x speed / 600) + Random(... / 900).
    destroyer->SetCourse(270);
    Script({39, 100, 50, 10, 5});
    engine::ResolveCollision(world, *destroyer, *cruiser);
    EXPECT_EQ(0U, script->Left());
    EXPECT_EQ(1050, destroyer->CurrentFloatPoints);
    EXPECT_EQ(5985, cruiser->CurrentFloatPoints);
    EXPECT_EQ(10, destroyer->CurrentSpeed);
    EXPECT_EQ(10, cruiser->CurrentSpeed);
    EXPECT_FALSE(destroyer->ElectricDisabled);
    EXPECT_EQ("14:00 Has collided with enemy  (Stralsund)", destroyer->Hits.back());
    EXPECT_EQ((std::vector<std::string>{"7Collision! Lurcher and CL Stralsund has collided!"}),
              Log());
}

TEST_F(Hazards, DestroyersMeetingBowToBowCollideHalfTheTime) {
    TFightingShip* enemy = Ship("V187", 1, TShipType::DD, 1000, 1200, At(0, 30), 180, 25);
    Script({50});
    engine::ResolveCollision(world, *destroyer, *enemy);
    EXPECT_FALSE(destroyer->Collided);
    // Head on both take Random(1200 x 30 / 600) twice.
    Script({49, 10, 10, 20, 20});
    engine::ResolveCollision(world, *destroyer, *enemy);
    EXPECT_EQ(0U, script->Left());
    EXPECT_EQ(1180, destroyer->CurrentFloatPoints);
    EXPECT_EQ(1160, enemy->CurrentFloatPoints);
    // Two ships all but stopped only touch.
    destroyer->Collided = enemy->Collided = false;
    destroyer->CurrentSpeed = 1;
    enemy->CurrentSpeed = 0;
    Script({});
    engine::ResolveCollision(world, *destroyer, *enemy);
    EXPECT_FALSE(destroyer->Collided);
}

TEST_F(Hazards, ARammersBowIsStoveInByAShipOfMoreThanHalfHerSize) {
    TFightingShip* cruiser = Ship("Roon", 1, TShipType::CA, 10000, 9000, At(90, 30), 270, 18);
    TFightingShip* victim = Ship("Arethusa", 0, TShipType::CL, 6000, 5000, origin, 0, 20);
    Script({0, 0, 0, 0});
    engine::ResolveCollision(world, *victim, *cruiser);
    EXPECT_TRUE(cruiser->BowDamage);
    EXPECT_TRUE(cruiser->ElectricDisabled);
    EXPECT_TRUE(victim->ElectricDisabled);
    cruiser->ElectricDisabled = false;         // her dynamos repaired, her bow still open
    EXPECT_EQ(15, cruiser->CurrentMaxSpeed()); // 30 knots halved
    destroyer->BowDamage = true;
    EXPECT_EQ(0, destroyer->CurrentMaxSpeed()); // a ship of 1,400 tons or less stops
}

// ---- Mines -----------------------------------------------------------------------------------

TEST_F(Hazards, AMineStrikeInAnEnemyFieldMakesItKnownAndTheShipSteersClear) {
    // A thick field of the enemy's round the destroyer at 30 knots: she meets a mine (density
    // 1000 of 250) and it strikes (42 of 40), whatever the rolls.
    campaign::TMinefield& field =
        engine::LaySubMineField(world, origin, 1, 0, 1000, "Minefield laid by UC 5");
    field.PlayerLaid = false; // laid before the battle: not met astern as well
    destroyer->CurrentSpeed = 30;
    EXPECT_FALSE(engine::MinefieldBlocks(world, origin, destroyer)); // not known to her side
    engine::CheckMineStrike(world, *destroyer);
    EXPECT_EQ(1, destroyer->TorpedoHits);
    const auto mineLine = std::find_if(destroyer->Hits.begin(), destroyer->Hits.end(),
                                       [](const auto& l) { return l.find(" Mine ") == 6; });
    ASSERT_NE(destroyer->Hits.end(), mineLine);
    EXPECT_NE(std::string::npos, mineLine->find(" (Minefield laid by UC 5)")) << *mineLine;
    const auto log = Log();
    ASSERT_FALSE(log.empty());
    EXPECT_TRUE(log[0] == "8Lurcher strikes a mine!" || log[0] == "8Lurcher is hit by a torpedo!")
        << log[0];
    // The field has lost half its mines, or been found and all but swept.
    EXPECT_TRUE(field.Density == 500 || field.Density == 1) << field.Density;

    // The player's side now suspects mines where she was going, and steers clear of them: she
    // has been moved off the marker already.
    ASSERT_EQ(2U, world.Minefields.size());
    const campaign::TMinefield& marker = *world.Minefields[1];
    EXPECT_EQ(0, marker.Side);
    EXPECT_EQ(0, marker.Density);
    EXPECT_EQ("Suspected enemy minefield", marker.Marker->Title());
    EXPECT_NE(0, marker.LinkId);
    EXPECT_EQ(field.LinkId, marker.LinkId);
    EXPECT_FALSE(marker.Marker->Hidden());
    const map::TGeoPos ahead = map::MovePoint(origin, 0, 100);
    EXPECT_TRUE(world.Chart.IsBlocked(ahead, destroyer));
    EXPECT_FALSE(world.Chart.IsBlocked(destroyer->Position(), destroyer));
    // The enemy knows his own field; the marker of the player's means nothing to him.
    TFightingShip* enemy = Cruiser(At(180, 5000), 0);
    EXPECT_TRUE(world.Chart.IsBlocked(origin, enemy));
    EXPECT_FALSE(world.Chart.IsBlocked(map::MovePoint(origin, 0, 350), enemy));
}

TEST_F(Hazards, AMarkerHoldsNoMines) {
    engine::LaySubMineField(world, origin, 1, 7, 0, "Suspected enemy minefield");
    // Only the drifting-mine roll is drawn.
    Script({5});
    engine::CheckMineStrike(world, *destroyer);
    EXPECT_EQ(0U, script->Left());
    EXPECT_EQ(0, destroyer->TorpedoHits);
}

TEST_F(Hazards, DriftingMinesFromTheSecondYearOfTheWar) {
    engine::LaySubMineField(world, At(0, 50000), 1, 0, 10, "Minefield laid by UC 5").PlayerLaid =
        false;
    // 1914: no mine adrift yet, however the rolls fall.
    world.Clock = core::EncodeDateTime(1914, 8, 28, 7, 0);
    Script({1, 0});
    engine::CheckMineStrike(world, *destroyer);
    EXPECT_EQ(0U, script->Left());
    EXPECT_EQ(0, destroyer->TorpedoHits);
    // 1916, the rolls always low: one strikes her.
    world.Clock = core::EncodeDateTime(1916, 5, 31, 14, 0);
    world.UseGenerator(
        std::make_unique<core::TScriptedRandom>(core::TScriptedRandom::Repeating({1, 0})));
    engine::CheckMineStrike(world, *destroyer);
    EXPECT_EQ(1, destroyer->TorpedoHits);
    ASSERT_FALSE(destroyer->Hits.empty());
    EXPECT_EQ(0U, destroyer->Hits.back().find("14:00  Drifting Mine ")) << destroyer->Hits.back();
}

} // namespace
