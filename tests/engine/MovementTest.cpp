#include "engine/Movement.h"

#include "WorldFixture.h"
#include "combat/Stations.h"
#include "engine/SmokeFloat.h"
#include "map/Globe.h"

using namespace tarnwake;
using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;
using Movement = tarnwake::testing::WorldFixture;

TEST_F(Movement, TurnRatesBySizeAndSpeed) {
    struct Case {
        int tons, knots, rate;
    };
    const Case cases[] = {{3999, 20, 120}, {4000, 20, 100}, {9999, 20, 80},  {10000, 20, 70},
                          {20999, 20, 60}, {21000, 20, 55}, {29000, 20, 40}, {30000, 0, 0},
                          {30000, 2, 15},  {30000, 4, 25},  {1000, 5, 120}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.rate, engine::TurnRate(c.tons, c.knots, false)) << c.tons << " " << c.knots;
    }
    EXPECT_EQ(0, engine::TurnRate(1000, 20, true));
}

TEST_F(Movement, ABigShipTurnsFortyDegreesAMinuteFourPerSubStep) {
    TDivision& d = AddDivision("Iron Duke", 0, 0, 20, 1, At(270, 20000), TShipType::BB, 30000);
    TFightingShip& ship = *d.Flagship();
    ship.OrderedCourse = 90;
    world.SetGameSpeed(1); // "Normal": ten sub-steps
    world.SubStepsLeft = 10;
    engine::MoveShipStep(world, ship, false);
    EXPECT_EQ(4, ship.Course());
    EXPECT_EQ(4000, ship.CourseMilli());
    for (int i = 0; i < 9; ++i) {
        engine::MoveShipStep(world, ship, false);
    }
    EXPECT_EQ(40, ship.Course());
    ship.OrderedCourse = 42; // 2 degrees to go: closed in one sub-step
    engine::MoveShipStep(world, ship, false);
    EXPECT_EQ(42, ship.Course());
    ship.OrderedCourse = 350; // the shorter way round, to port
    engine::MoveShipStep(world, ship, false);
    EXPECT_EQ(38, ship.Course());
}

TEST_F(Movement, SpeedComesOffFastAndGoesOnSlowly) {
    TDivision& d = AddDivision("Tiger", 0, 0, 30, 1);
    TFightingShip& ship = *d.Flagship();
    ship.OrderedSpeed = 10;
    std::vector<int> speeds;
    for (int minute = 0; minute < 7; ++minute) {
        engine::ChangeSpeedForMinute(ship);
        speeds.push_back(ship.CurrentSpeed);
    }
    EXPECT_EQ((std::vector<int>{25, 20, 16, 12, 8, 9, 10}), speeds);
    ship.OrderedSpeed = 40; // never above what the ship can make
    for (int minute = 0; minute < 30; ++minute) {
        engine::ChangeSpeedForMinute(ship);
    }
    EXPECT_EQ(30, ship.CurrentSpeed);
}

TEST_F(Movement, NoShipExceedsSixteenKnotsInAStorm) {
    EXPECT_EQ(40, engine::MaxSpeedForWind(5));
    EXPECT_EQ(23, engine::MaxSpeedForWind(6));
    EXPECT_EQ(20, engine::MaxSpeedForWind(9));
    world.Environment.WindForce = 10;
    TDivision& d = AddDivision("Lion", 0, 270, 28, 1);
    engine::MoveShipStep(world, *d.Flagship(), false);
    EXPECT_EQ(16, d.Flagship()->CurrentSpeed);
}

TEST_F(Movement, FollowersTurnWhereTheFlagshipTurned) {
    // A column of four steaming north well clear of the island, turning to west.
    TDivision& d = AddDivision("2nd BS", 0, 0, 20, 4, At(270, 30000));
    AddDivision("High Seas Fleet", 1, 180, 0, 1, At(180, 80000)); // keeps the game going
    combat::PlaceLineAhead(d);
    world.SetGameSpeed(1);
    const map::TGeoPos turnPoint = d.Flagship()->Position();
    world.RunHeadless(1); // settle in
    engine::SetDivisionCourse(world, d, 270);
    TFightingShip& fourth = *d.Ships[3];
    const map::TGeoPos fourthStart = fourth.Position();
    // Run minute by minute: the fourth ship holds north until she has run 1,800 yards.
    bool turned = false;
    for (int minute = 0; minute < 6 && !turned; ++minute) {
        world.RunHeadless(1);
        if (fourth.Course() != 0) {
            turned = true;
            const double run = map::RangeYards(fourthStart, fourth.Position());
            EXPECT_GT(run, 1700.0);
            EXPECT_LT(run, 2800.0);
        }
    }
    EXPECT_TRUE(turned);
    // She turned in the flagship's wake: near the point where the flagship turned.
    EXPECT_LT(map::RangeYards(turnPoint, fourth.Position()), 2500.0);
}

TEST_F(Movement, ShipsSlowBeforeLandAndKnownMinefields) {
    // A narrow inlet 60 yards wide running 160 yards into a rock, open to the west: a ship 40
    // yards from its head can find no clear course and must slow down.
    const map::TGeoPos rock = At(270, 40000);
    const auto corner = [&rock](double eastYards, double northYards) {
        return map::MovePoint(map::MovePoint(rock, 90, eastYards), 0, northYards);
    };
    auto& inlet = world.Chart.LandLayer(1)->Create<map::TGeoDataObject>();
    inlet.SetChainPoints(0, {corner(-100, -100), corner(100, -100), corner(100, 100),
                             corner(-100, 100), corner(-100, 30), corner(60, 30), corner(60, -30),
                             corner(-100, -30)});
    inlet.SetClosed(true);
    TDivision& d = AddDivision("Arethusa", 0, 90, 25, 1, corner(20, 0), TShipType::CL, 3500);
    TFightingShip& ship = *d.Flagship();
    ASSERT_FALSE(world.Chart.IsOnLand(ship.Position()));
    engine::MoveDivisionShips(world, d, true, true);
    EXPECT_LE(ship.CurrentSpeed, 5);
    EXPECT_FALSE(world.Chart.IsOnLand(ship.Position()));

    // A small known minefield 100 yards ahead on open water.
    TDivision& sweep = AddDivision("Sweepers", 0, 0, 15, 1, At(270, 30000), TShipType::MS, 800);
    TFightingShip& sweeper = *sweep.Flagship();
    const map::TGeoPos minefield = map::MovePoint(sweeper.Position(), 0, 100);
    world.Chart.SetMinefieldTest([minefield](const map::TGeoPos& p, const TFightingShip*) {
        return map::RangeYards(p, minefield) < 30.0;
    });
    engine::MoveDivisionShips(world, sweep, true, true);
    EXPECT_LE(sweeper.CurrentSpeed, 10);
}

TEST_F(Movement, AShipOnLandIsPutBackInFreeWater) {
    // Pushed 100 yards inside the island's west coast.
    const map::TGeoPos ashore = At(90, 20500);
    ASSERT_TRUE(world.Chart.IsOnLand(ashore));
    TDivision& d = AddDivision("Galatea", 0, 270, 0, 1, ashore, TShipType::CL, 3500);
    engine::MoveDivisionShips(world, d, true, true);
    const map::TGeoPos after = d.Flagship()->Position();
    EXPECT_FALSE(world.Chart.IsOnLand(after));
    EXPECT_LT(map::RangeYards(ashore, after), 400.0);
}

TEST_F(Movement, ClearCourseTurnsAwayFromLand) {
    TDivision& d = AddDivision("Engadine", 0, 90, 20, 1, At(90, 19300), TShipType::AV, 2500);
    const int course = engine::FindClearCourse(world, *d.Flagship(), 3000, 160, 90);
    EXPECT_NE(90, course);
    EXPECT_FALSE(world.Chart.IsBlocked(map::MovePoint(d.Flagship()->Position(), course, 3000),
                                       d.Flagship()));
    // An order straight at the island is turned short of it.
    engine::SetDivisionCourse(world, d, 90);
    EXPECT_NE(90, d.Course);
    engine::SetDivisionCourse(world, d, 400); // outside the compass: north
    EXPECT_EQ(0, d.Course);
}

TEST_F(Movement, NoSmokeBefore1908AndEverySpentFloatGoes) {
    TDivision& d = AddDivision("1st Flotilla", 0, 0, 25, 4, At(270, 20000), TShipType::DD, 800);
    world.Clock = core::EncodeDateTime(1907, 6, 1);
    engine::LaySmoke(world, d);
    for (auto* s : d.Ships) {
        EXPECT_EQ(0, s->SmokeMinutes);
    }
    world.Clock = core::EncodeDateTime(1916, 5, 31);
    for (int i = 0; i < 20; ++i) {
        engine::LaySmoke(world, d);
    }
    for (auto* s : d.Ships) {
        EXPECT_EQ(25, s->SmokeMinutes);
    }

    auto& layer = world.Chart.FindOrCreateLayer("SmokeLayer");
    layer.Create<engine::TSmokeFloat>(origin, 1);
    layer.Create<engine::TSmokeFloat>(origin, 3);
    layer.Create<engine::TSmokeFloat>(origin, 1);
    engine::AgeSmokeFloats(world);
    ASSERT_EQ(1, layer.ObjectCount()); // both spent floats went in the same minute
    EXPECT_EQ(2, dynamic_cast<engine::TSmokeFloat*>(layer.Objects()[0])->MinutesLeft);
    world.Environment.WindForce = 4;
    world.Environment.WindDirection = 90;
    for (int i = 0; i < 200; ++i) {
        engine::DriftSmokeFloats(world);
    }
    const auto* smoke = dynamic_cast<engine::TSmokeFloat*>(layer.Objects()[0]);
    EXPECT_LE(smoke->Chain(0).Count(), engine::TSmokeFloat::kMaxPuffs);
    EXPECT_EQ(90, map::BearingBetween(origin, smoke->Origin)); // drifted downwind
}

TEST_F(Movement, SameSeedSameBattle) {
    // Two worlds built alike and run 120 minutes with one seed end alike.
    std::vector<std::string> results;
    for (int attempt = 0; attempt < 2; ++attempt) {
        core::THeadlessMessages messages(nullptr);
        core::TSilentSound sound;
        core::TRandomGenerator random(42);
        engine::TGameWorld w(messages, sound, random, core::TGameFolders("g", "u"));
        w.Clock = core::EncodeDateTime(1916, 5, 31, 14, 0);
        w.Length = 1000;
        map::TGlobeLayer& shipLayer = w.Chart.FindOrCreateLayer("ShipLayer");
        map::TGlobeLayer& land = w.Chart.FindOrCreateLayer("Land");
        w.Chart.SetLandLayer(1, &land);
        for (int side = 0; side < 2; ++side) {
            for (int k = 0; k < 3; ++k) {
                auto& d = w.AddDivision(std::make_unique<TDivision>(
                    "D" + std::to_string(side) + std::to_string(k), side));
                d.Course = side == 0 ? 45 : 225;
                d.Speed = 18 + k;
                d.Formation = k == 2 ? combat::formSearchLine : combat::formLineAhead;
                for (int i = 0; i < 4; ++i) {
                    auto s = std::make_unique<TFightingShip>();
                    s->Name = d.DivisionName + "-" + std::to_string(i);
                    s->Side = side;
                    s->Displacement = 5000 + 5000 * k;
                    s->Speed = 25;
                    s->ApplyDesignState();
                    s->SetCourse(d.Course);
                    s->CurrentSpeed = d.Speed;
                    s->PlaceOnLayer(&shipLayer);
                    s->SetPosition(map::MovePoint(origin, side == 0 ? 225 : 45,
                                                  20000.0 + 3000.0 * k + 600.0 * i));
                    d.Ships.push_back(&w.AddShip(std::move(s)));
                }
            }
        }
        w.Ships[0]->Sighted.push_back(w.Ships[12].get()); // in contact: random avoidance runs
        w.RunHeadless(120);
        std::string state;
        for (const auto& s : w.Ships) {
            const auto p = s->Position();
            state += std::to_string(p.lon) + "," + std::to_string(p.lat) + "," +
                     std::to_string(s->Course()) + ";";
        }
        for (const auto& line : w.Log.FullLog()) {
            state += line.line;
        }
        state += std::to_string(random.Random(1000000));
        results.push_back(state);
    }
    EXPECT_EQ(results[0], results[1]);
}
