#include "combat/TorpedoMounts.h"

#include "BattleFixture.h"
#include "combat/FightingShip.h"
#include "core/Random.h"

#include <gtest/gtest.h>

#include <cmath>
#include <optional>
#include <string>
#include <vector>

using namespace tarnwake::combat;
using tarnwake::core::TScriptedRandom;
using tarnwake::designs::TFightingTorpedoMount;
using tarnwake::designs::TShipType;

namespace {

TFightingTorpedoMount Mount(char pos, int torpedoes, int reloads = 0, int reloadTime = 0) {
    TFightingTorpedoMount mount;
    mount.Pos = pos;
    mount.Tubes = std::max(torpedoes, 1);
    mount.TorpsLeft = torpedoes;
    mount.Reloads = reloads;
    mount.ReloadTime = reloadTime;
    return mount;
}

// ---- The torpedo computer ------------------------------------------------------------------

struct TSolutionCase {
    int bowAngle;
    int torpedoSpeed;
    int targetSpeed;
    std::optional<double> lead;
};

class FireSolutionTable : public ::testing::TestWithParam<TSolutionCase> {};

TEST_P(FireSolutionTable, LeadsByTheTargetsRunOverTheTorpedos) {
    const TSolutionCase& c = GetParam();
    const auto lead = FireSolution(c.bowAngle, c.torpedoSpeed, c.targetSpeed);
    ASSERT_EQ(c.lead.has_value(), lead.has_value());
    if (c.lead) {
        EXPECT_NEAR(*c.lead, *lead, 0.01);
    }
}

INSTANTIATE_TEST_SUITE_P(Cases, FireSolutionTable,
                         ::testing::Values(
                             // Bow on, the torpedo is aimed straight at the target.
                             TSolutionCase{0, 37, 25, 0.0},
                             // 30 knots abeam outruns a 27-knot torpedo: no solution at LOW.
                             TSolutionCase{90, 27, 30, std::nullopt},
                             // Abeam to starboard the lead is ahead of her; to port, the other way.
                             TSolutionCase{90, 45, 15, 19.47}, TSolutionCase{270, 45, 15, -19.47},
                             TSolutionCase{30, 37, 0, 0.0},
                             // A table row with a torpedo that does not run (or runs backwards).
                             TSolutionCase{30, 0, 10, std::nullopt},
                             TSolutionCase{30, -5, 10, std::nullopt}));

TEST(RunDistance, ClosesTheTriangleOfTorpedoTargetAndMeetingPoint) {
    // Bow on the two run at each other: a 30-knot torpedo meets a 20-knot target after three
    // fifths of the range.
    EXPECT_EQ(6000, RunDistance(0, 0, 10000, 30, 20));
    EXPECT_EQ(4000, RunDistance(0, 0, 4000, 37, 0));
    // Abeam with a 30-degree lead: R / sin 60.
    EXPECT_EQ(4619, RunDistance(30, 90, 4000, 40, 20));
    EXPECT_EQ(4619, RunDistance(-30, 270, 4000, 40, 20));
    // Dead astern the torpedo never draws level.
    EXPECT_EQ(kNeverReached, RunDistance(0, 180, 4000, 40, 20));
    // On the quarter of a faster target the meeting point lies behind the tubes.
    EXPECT_LT(RunDistance(34, 150, 4000, 27, 30), 0);
}

TEST(AimSetting, ARunOneYardBeyondTheSettingsRangeIsNoSolution) {
    // A stopped target bow on: the run is the range.
    ASSERT_TRUE(AimSetting(0, 37, 0, 4300, 4300).has_value());
    EXPECT_EQ(4300, AimSetting(0, 37, 0, 4300, 4300)->Run);
    EXPECT_FALSE(AimSetting(0, 37, 0, 4301, 4300).has_value());
    EXPECT_FALSE(AimSetting(180, 37, 10, 1000, 10100).has_value()); // a stern chase
}

TEST(AimSetting, ATargetFasterThanTheTorpedoIsNeverCaughtFromItsQuarters) {
    // Abaft the beam on either side a target that outruns the torpedo draws away from it,
    // however close: no run is offered, at any range.
    for (int speed : {28, 30, 36}) {
        for (int bow = 91; bow <= 269; bow += 7) {
            for (int range : {500, 3000, 9000}) {
                EXPECT_FALSE(AimSetting(bow, 27, speed, range, 10100).has_value())
                    << "bow " << bow << ", " << speed << " knots, " << range << " yards";
            }
        }
    }
    // The same quarters against a slower target are a fair shot close in.
    for (int bow = 91; bow <= 269; bow += 7) {
        if (bow != 180) {
            EXPECT_TRUE(AimSetting(bow, 27, 20, 1000, 10100).has_value()) << "bow " << bow;
        }
    }
}

TEST(JitteredCourse, EveryDoubtedCourseStaysOnTheCompass) {
    // Draws: +1 (taken), -1 (not taken).
    TScriptedRandom up({0, 99});
    EXPECT_EQ(0, JitteredCourse(359, true, false, up));
    // Draws: +1 no, -1 yes; then the identity doubt: -1 yes, +1 no.
    TScriptedRandom down({99, 0, 0, 99});
    EXPECT_EQ(358, JitteredCourse(0, true, true, down));
    EXPECT_EQ(0U, down.Left());
    TScriptedRandom none({});
    EXPECT_EQ(45, JitteredCourse(405, false, false, none));
}

// ---- Mounts and reloads ---------------------------------------------------------------------

TEST(TorpedoMounts, TheFirstReadyMountThatBearsFires) {
    TFightingShip ship;
    ship.SetCourse(90);
    ship.TorpedoMounts = {Mount('B', 0), Mount('I', 2), Mount('A', 1), Mount('H', 2)};
    ship.TorpedoMounts[3].Destroyed = true;
    EXPECT_EQ(1, FirstMountReady(ship, 180));  // 90 on the bow: the starboard swivel mount
    EXPECT_EQ(2, FirstMountReady(ship, 90));   // right ahead: the bow tube, the deck one empty
    EXPECT_EQ(-1, FirstMountReady(ship, 0));   // abeam to port: that mount is wrecked
    EXPECT_EQ(-1, FirstMountReady(ship, 270)); // astern: none
}

TEST(TorpedoReloads, SubmergedTubesReloadFromBelowDeckMountsNever) {
    TScriptedRandom random({5});
    TFightingTorpedoMount tube = Mount('A', 0, 2);
    StartReload(tube, 3, random);
    EXPECT_EQ(35, tube.ReloadTime);

    // One minute to go with two reloads carried: ready next step, one reload left, no draw.
    tube = Mount('G', 0, 2, 1);
    TScriptedRandom noDraws({});
    EXPECT_TRUE(ReloadStep(tube, 6, noDraws));
    EXPECT_EQ(1, tube.TorpsLeft);
    EXPECT_EQ(1, tube.Reloads);
    EXPECT_EQ(0, tube.ReloadTime);

    // A deck mount carries no reloads: empty it stays.
    TFightingTorpedoMount deck = Mount('I', 0);
    StartReload(deck, 3, noDraws);
    EXPECT_EQ(0, deck.ReloadTime);
    for (int minute = 0; minute < 10; ++minute) {
        EXPECT_FALSE(ReloadStep(deck, 0, noDraws));
    }
    EXPECT_EQ(0, deck.TorpsLeft);
}

TEST(TorpedoReloads, HeavySeasSlowTheReloadCrews) {
    struct TCase {
        int seaState;
        int countedDown; // of the ten draws 0..9
    };
    for (const TCase& c : {TCase{0, 10}, TCase{3, 10}, TCase{4, 9}, TCase{8, 5}, TCase{13, 0}}) {
        TFightingTorpedoMount tube = Mount('Y', 0, 1, 100);
        TScriptedRandom draws({0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
        for (int i = 0; i < 10; ++i) {
            ReloadStep(tube, c.seaState, draws);
        }
        EXPECT_EQ(100 - c.countedDown, tube.ReloadTime) << "sea state " << c.seaState;
    }
}

TEST(TorpedoReloads, EachReloadedTubeIsLoggedAndAFloodedHullWorksSlower) {
    TFightingShip ship;
    ship.MaxFloatPoints = 1000;
    ship.CurrentFloatPoints = 1000;
    ship.TorpedoMounts = {Mount('A', 0, 2, 1), Mount('B', 0), Mount('G', 0, 2, 1),
                          Mount('Y', 0, 2, 1)};
    ship.TorpedoMounts[3].Destroyed = true;
    // The two working submerged tubes draw Random(100) > flooding - 20; the deck mount and the
    // wrecked tube draw nothing.
    TScriptedRandom dry({0, 0});
    ReloadTorpedoMounts(ship, 2, "14:05", dry);
    EXPECT_EQ(0U, dry.Left());
    EXPECT_EQ(
        (std::vector<std::string>{"14:05 Torpedo tube reloaded", "14:05 Torpedo tube reloaded"}),
        ship.Hits);

    // Flooded 90%: a draw of 70 or less loses the minute.
    ship.Hits.clear();
    ship.CurrentFloatPoints = 100;
    ship.TorpedoMounts = {Mount('A', 0, 2, 1), Mount('F', 0, 2, 1)};
    TScriptedRandom flooded({70, 71});
    ReloadTorpedoMounts(ship, 2, "14:06", flooded);
    EXPECT_EQ(0, ship.TorpedoMounts[0].TorpsLeft);
    EXPECT_EQ(1, ship.TorpedoMounts[1].TorpsLeft);
    EXPECT_EQ(1U, ship.Hits.size());
}

// ---- The player's torpedo window ------------------------------------------------------------

class TorpedoWindow : public tarnwake::testing::BattleFixture {
protected:
    TorpedoWindow() {
        TDivision& own = Division("Laforey", 0, 0, TShipType::DD, 1);
        firer = own.Ships[0];
        firer->CurrentSpeed = 20;
        // Bow tube, starboard swivel mount, an empty stern tube.
        firer->TorpedoMounts = {Mount('A', 1, 2), Mount('I', 2), Mount('Y', 0, 2, 30)};
        // A cruiser due east steaming north at 15 knots: the firer is on her port beam.
        TDivision& enemy = Division("Stralsund", 1, 0, TShipType::CL, 1, At(90, 3000));
        target = enemy.Ships[0];
        target->CurrentSpeed = 15;
        target->SightingLevel = kClassIdentified;
    }

    std::vector<std::string> Texts(const std::vector<TTorpedoMountLine>& lines) {
        std::vector<std::string> texts;
        for (const auto& line : lines) {
            texts.push_back(line.Text);
        }
        return texts;
    }

    TFightingShip* firer = nullptr;
    TFightingShip* target = nullptr;
};

TEST_F(TorpedoWindow, EachMountShowsItsSettingAndCourseOrWhyItCannotFire) {
    // The estimate (+1 - 1: 15 knots) and no doubt on either setting's course. HIGH leads by
    // asin(-15/37) = -24 degrees, LOW by asin(-15/27) = -34.
    TScriptedRandom random({1, 1, 99, 99, 99, 99});
    const auto lines = TorpedoMountLines(*firer, *target, ships, random, messages);
    EXPECT_EQ(0U, random.Left());
    EXPECT_EQ((std::vector<std::string>{"Forward (sub) Out of arc ",
                                        "Starboard broadside swivel mount HIGH 66",
                                        "Aft (sub) Expended "}),
              Texts(lines));
    EXPECT_EQ(-1, lines[0].Mount);
    EXPECT_EQ(1, lines[1].Mount);
    EXPECT_EQ(TTorpedoSetting::High, lines[1].Setting);
    EXPECT_EQ(66, lines[1].Course);

    // At 6000 yards only the slow setting reaches her; at 20000 nothing does.
    target->SetPosition(At(90, 6000));
    TScriptedRandom far({1, 1, 99, 99});
    EXPECT_EQ("Starboard broadside swivel mount LOW 56",
              TorpedoMountLines(*firer, *target, ships, far, messages)[1].Text);
    target->SetPosition(At(90, 20000));
    TScriptedRandom beyond({1, 1});
    EXPECT_EQ("Starboard broadside swivel mount No solution ",
              TorpedoMountLines(*firer, *target, ships, beyond, messages)[1].Text);
}

TEST_F(TorpedoWindow, AnUncertainTargetOrAFriendInTheWayStopsAllTorpedoFire) {
    TScriptedRandom none({});
    firer->HoldFireUncertain = true;
    firer->CurrentTarget = target;
    EXPECT_EQ((std::vector<std::string>{kUncertainIdentity}),
              Texts(TorpedoMountLines(*firer, *target, ships, none, messages)));
    firer->HoldFireUncertain = false;

    // A friend 1500 yards off on bearing 110 steaming north: she is 20 degrees off the line
    // of fire, but the water 400 yards ahead of her is on it.
    TDivision& other = Division("Lookout", 0, 0, TShipType::DD, 1, At(110, 1500));
    firer->NearFriends = {other.Ships[0]};
    EXPECT_EQ((std::vector<std::string>{kFriendInLineOfFire}),
              Texts(TorpedoMountLines(*firer, *target, ships, none, messages)));
    // Steaming south, the friend clears the line.
    other.Ships[0]->SetCourse(180);
    EXPECT_FALSE(FriendInLineOfFire(*firer, *target, messages));

    // A ship of the own side right on the line of fire, friend list or not.
    firer->NearFriends.clear();
    Division("Lennox", 0, 0, TShipType::DD, 1, At(90, 1500));
    EXPECT_EQ((std::vector<std::string>{kFriendInLineOfFire}),
              Texts(TorpedoMountLines(*firer, *target, ships, none, messages)));
}

} // namespace
