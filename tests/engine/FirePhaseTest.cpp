#include "engine/FirePhase.h"

#include "core/Random.h"
#include "designs/WeaponTables.h"
#include "engine/GameWorld.h"
#include "engine/Orders.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <map>
#include <memory>
#include <string>
#include <unistd.h>
#include <vector>

using namespace tarnwake;
using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;

namespace {

class FirePhaseTest : public ::testing::Test, public tarnwake::testing::TTestWorld {
protected:
    FirePhaseTest() {
        designs::TGunRow twelve;
        twelve.Penetration[0] = 10;
        twelve.RateOfFire = 2.0F;
        twelve.MaxRange = 16;
        world.WeaponTables.SetRow(12, twelve);
        designs::TGunRow six;
        six.Penetration[0] = 7;
        six.RateOfFire = 5.0F;
        six.MaxRange = 12;
        world.WeaponTables.SetRow(6, six);
        world.PlayerSide = 0;
    }

    // A division of big-gun ships in line ahead, 500 yards apart, steering north from `at`.
    TDivision& Line(const std::string& name, int side, int ships, map::TGeoPos at,
                    TShipType type = TShipType::BB) {
        TDivision& d = world.AddDivision(std::make_unique<TDivision>(name, side));
        for (int i = 0; i < ships; ++i) {
            tarnwake::testing::TTestShipSpec spec;
            spec.Name = name + " " + std::to_string(i + 1);
            spec.Side = side;
            spec.Type = type;
            spec.Speed = 15;
            TFightingShip& s = AddShip(d, spec, map::MovePoint(at, 180, 500.0 * i));
            s.Calibre = {0, 12, 6, 0};
            s.FireControl = 3;
            s.SecNo = 12;
            s.ApplyDesignState();
            for (char pos : {'A', 'B', 'X', 'Y'}) {
                designs::TFightingTurret turret;
                turret.Guns = 2;
                turret.Pos = pos;
                s.Turrets.push_back(turret);
            }
            s.Ammo = {0, 800, 1200, 0};
            s.SightingLevel = combat::kClassIdentified;
        }
        return d;
    }

    // Every ship of each side sees every ship of the other, as a sighting pass would leave
    // them.
    void AllSeeAll() {
        for (const auto& a : world.Ships) {
            a->Sighted.clear();
            for (const auto& b : world.Ships) {
                if (a->Side != b->Side) {
                    a->Sighted.push_back(b.get());
                    a->SeenThisMinute = true;
                }
            }
        }
    }

    void Script(std::vector<int> rolls) {
        auto scripted = std::make_unique<core::TScriptedRandom>(std::move(rolls));
        script = scripted.get();
        world.UseGenerator(std::move(scripted));
    }

    core::TScriptedRandom* script = nullptr;
};

TEST_F(FirePhaseTest, DivisionsSpreadTheirShipsOverTheTargetDivision) {
    // Three battleships against one battle cruiser: all three aim at it. Draws: the two
    // followers' Random(100) < 90 (no own choice).
    TDivision& own = Line("BS", 0, 3, origin);
    TDivision& one = Line("BC", 1, 1, At(90, 12000), TShipType::BC);
    AllSeeAll();
    own.TargetDivision = &one;
    Script({0, 0});
    SetShipTargets(world, own);
    for (TFightingShip* s : own.Ships) {
        EXPECT_EQ(s->CurrentTarget, one.Flagship()) << s->Name;
    }
    EXPECT_EQ(script->Left(), 0U);

    // Against two: ships 1 and 2 aim at target 0, ship 3 at target 1.
    TDivision& two = Line("BCS", 1, 2, At(90, 14000), TShipType::BC);
    AllSeeAll();
    own.TargetDivision = &two;
    Script({0, 0});
    SetShipTargets(world, own);
    EXPECT_EQ(own.Ships[0]->CurrentTarget, two.Ships[0]);
    EXPECT_EQ(own.Ships[1]->CurrentTarget, two.Ships[0]);
    EXPECT_EQ(own.Ships[2]->CurrentTarget, two.Ships[1]);
    EXPECT_EQ(script->Left(), 0U);
}

TEST_F(FirePhaseTest, AShipKeepsItsTargetAgainstACandidateNotMuchNearer) {
    TDivision& own = Line("BS", 0, 1, origin);
    TFightingShip& ship = *own.Flagship();
    Line("Far", 1, 1, At(90, 10000));
    Line("Near", 1, 1, At(90, 9000));
    AllSeeAll();
    TFightingShip* far = world.Ships[1].get();
    TFightingShip* near = world.Ships[2].get();
    ship.CurrentTarget = far;
    // The first candidate is taken without a draw, a nearer one with Random(100) < 60 (one
    // draw each call); 9000 x 1.2 >= 10000: keep.
    Script({0, 0, 0});
    SelectMainTarget(world, ship);
    EXPECT_EQ(ship.CurrentTarget, far);
    // At 8000 yards (9600 < 10000) it shifts fire.
    near->SetPosition(At(90, 8000));
    SelectMainTarget(world, ship);
    EXPECT_EQ(ship.CurrentTarget, near);
    // Four ships already aiming heavy guns at the candidate: no shift.
    ship.CurrentTarget = far;
    near->ShipsAimingHeavyGuns = 4;
    SelectMainTarget(world, ship);
    EXPECT_EQ(ship.CurrentTarget, far);
    EXPECT_EQ(script->Left(), 0U);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(FirePhaseTest, AStarboardTargetThatDrawsAbaftToPortIsDropped) {
    TDivision& own = Line("BS", 0, 1, origin);
    TFightingShip& ship = *own.Flagship();
    Line("Enemy", 1, 1, At(200, 5000));
    TFightingShip* enemy = world.Ships[1].get();
    ship.SecondaryStarboardTarget = enemy;
    ship.TertiaryPortTarget = enemy; // on the right side: kept
    CheckSideArcs(world, ship);
    EXPECT_EQ(ship.SecondaryStarboardTarget, nullptr);
    EXPECT_EQ(ship.TertiaryPortTarget, enemy);
}

TEST_F(FirePhaseTest, ADivisionHoldingFireFiresNoGun) {
    TDivision& own = Line("BS", 0, 2, origin);
    TDivision& enemy = Line("BC", 1, 2, At(90, 9000), TShipType::BC);
    AllSeeAll();
    own.HoldFireMinutes = 5;
    for (TFightingShip* s : own.Ships) {
        s->CurrentTarget = enemy.Ships[0];
        s->SecondaryStarboardTarget = enemy.Ships[1];
    }
    enemy.HoldFireMinutes = 5;
    SelectTargetsForAllDivisions(world);
    for (TFightingShip* s : own.Ships) {
        EXPECT_EQ(s->CurrentTarget, nullptr);
        EXPECT_EQ(s->SecondaryStarboardTarget, nullptr);
    }
    CountFirePressure(world);
    FireAllShips(world);
    for (const auto& s : world.Ships) {
        EXPECT_EQ(s->RoundsFired[1] + s->RoundsFired[2], 0) << s->Name;
        EXPECT_FALSE(s->FiredThisMinute);
    }
    EXPECT_TRUE(world.GunneryLog.Lines().empty());
}

TEST_F(FirePhaseTest, HoldingFireForUncertainIdentityLastsOneMinute) {
    TDivision& own = Line("BS", 0, 1, origin);
    Line("BC", 1, 1, At(90, 9000), TShipType::BC);
    AllSeeAll();
    own.Flagship()->HoldFireUncertain = true;
    SelectTargetsForAllDivisions(world);
    EXPECT_FALSE(own.Flagship()->HoldFireUncertain);
    EXPECT_EQ(own.Flagship()->CurrentTarget, world.Ships[1].get());
}

TEST_F(FirePhaseTest, FirePressureCountsEachShooterOnceAsTheNestedCountDoes) {
    // A mêlée of twelve ships with targets drawn at random; the count over the shooters must
    // equal the count over every (target, shooter) pair.
    Line("A", 0, 6, origin);
    Line("B", 1, 6, At(90, 8000), TShipType::CL);
    world.Ships[7]->Calibre = {0, 6, 3, 0}; // secondaries of 3 inches are not counted
    world.Ships[8]->SightingLevel = combat::kUnseen;
    core::TRandomGenerator roll(11);
    const auto pick = [&](int side) -> TFightingShip* {
        const int i = roll.Random(7);
        return i == 6 ? nullptr : world.Ships[static_cast<std::size_t>(side * 6 + i)].get();
    };
    for (const auto& s : world.Ships) {
        const int other = 1 - s->Side;
        s->CurrentTarget = pick(other);
        s->SecondaryPortTarget = pick(other);
        s->SecondaryStarboardTarget = roll.Random(2) == 0 ? s->CurrentTarget : pick(other);
    }
    CountFirePressure(world);
    for (const auto& x : world.Ships) {
        int all = 0;
        int heavy = 0;
        int medium = 0;
        int biggest = 0;
        if (x->SightingLevel > 0) {
            for (const auto& s : world.Ships) {
                int c = 0;
                if (s->CurrentTarget == x.get() && s->Calibre[1] > 3) {
                    c = s->Calibre[1];
                } else if ((s->SecondaryPortTarget == x.get() ||
                            s->SecondaryStarboardTarget == x.get()) &&
                           s->Calibre[2] > 3) {
                    c = s->Calibre[2];
                }
                if (c > 0) {
                    ++all;
                    heavy += c >= 11 ? 1 : 0;
                    medium += c >= 6 && c <= 10 ? 1 : 0;
                    biggest = std::max(biggest, c);
                }
            }
        }
        EXPECT_EQ(x->ShipsFiringAtMe, all) << x->Name;
        EXPECT_EQ(x->ShipsAimingHeavyGuns, heavy) << x->Name;
        EXPECT_EQ(x->ShipsAimingMediumGuns, medium) << x->Name;
        EXPECT_EQ(x->BiggestCalibreTargetingMe, biggest) << x->Name;
    }
}

TEST_F(FirePhaseTest, LinesEngagedFillTheGunneryLogOfBothSides) {
    // Two lines on parallel courses 11,000 yards apart, each seeing the other.
    Line("1st BCS", 0, 4, origin, TShipType::BC);
    Line("I SG", 1, 4, At(90, 11000), TShipType::BC);
    for (const auto& s : world.Ships) {
        s->PlayerCommanded = s->Side == 0;
    }
    AllSeeAll();
    for (int minute = 0; minute < 10; ++minute) {
        SelectTargetsForAllDivisions(world);
        CountFirePressure(world);
        FireAllShips(world);
    }
    std::map<int, int> salvosBySide;
    for (const std::string& line : world.GunneryLog.Lines()) {
        const std::string firer = line.substr(0, line.find(';'));
        salvosBySide[firer.starts_with("1st") ? 0 : 1]++;
    }
    EXPECT_GT(salvosBySide[0], 0);
    EXPECT_GT(salvosBySide[1], 0);
    int rounds = 0;
    for (const auto& s : world.Ships) {
        rounds += s->RoundsFired[1];
    }
    EXPECT_GT(rounds, 0);

    // The file gathers the games: a second game's lines follow the first's.
    const std::filesystem::path file = std::filesystem::temp_directory_path() /
                                       ("tarnwake-gunnery-" + std::to_string(::getpid()) + ".skv");
    std::filesystem::remove(file);
    ASSERT_TRUE(world.GunneryLog.Write(file, world.Messages()));
    const std::size_t first = world.GunneryLog.Lines().size();
    world.GunneryLog.Clear();
    world.GunneryLog.Add("Second;game");
    ASSERT_TRUE(world.GunneryLog.Write(file, world.Messages()));
    std::ifstream in(file);
    std::vector<std::string> lines;
    for (std::string line; std::getline(in, line);) {
        lines.push_back(line);
    }
    std::filesystem::remove(file);
    ASSERT_EQ(lines.size(), first + 3);
    EXPECT_EQ(lines.front(), engine::kGunneryLogHeader);
    EXPECT_EQ(lines[first + 1], engine::kGunneryLogHeader);
    EXPECT_EQ(lines.back(), "Second;game");
}

TEST_F(FirePhaseTest, AShipIsEngagedFromFiringHerMainGunsUntilTheNextTargetSelection) {
    TDivision& own = Line("BS", 0, 1, origin);
    TDivision& enemy = Line("BC", 1, 1, At(90, 11000), TShipType::BC);
    AllSeeAll();
    enemy.HoldFireMinutes = 5;
    SelectTargetsForAllDivisions(world);
    CountFirePressure(world);
    FireAllShips(world);
    ASSERT_GT(own.Flagship()->RoundsFired[1], 0);
    EXPECT_TRUE(own.Flagship()->Engaged);
    EXPECT_FALSE(enemy.Flagship()->Engaged);
    // The mark lasts until the next selection of targets, which gives none to a division
    // holding its fire.
    own.HoldFireMinutes = 5;
    SelectTargetsForAllDivisions(world);
    EXPECT_FALSE(own.Flagship()->Engaged);
}

TEST_F(FirePhaseTest, ManualShipTargetsOnlyInCaptainsMode) {
    TDivision& own = Line("BS", 0, 1, origin);
    TDivision& enemy = Line("BC", 1, 1, At(90, 9000), TShipType::BC);
    world.Preferences.RealismSetting = engine::kRealismRearAdmiral;
    const engine::TShipTargetOrder order{own.Flagship()->Id, enemy.Flagship()->Id};
    const engine::TOrderResult refused = engine::IssueOrder(world, order);
    EXPECT_FALSE(refused.Applied);
    EXPECT_EQ(refused.Refusal, "No manual targeting for ships on this setting!");
    EXPECT_EQ(own.Flagship()->CurrentTarget, nullptr);
    world.Preferences.RealismSetting = engine::kRealismCaptain;
    EXPECT_TRUE(engine::IssueOrder(world, order).Applied);
    EXPECT_TRUE(own.Flagship()->MainTargetSetByPlayer);
}

} // namespace
