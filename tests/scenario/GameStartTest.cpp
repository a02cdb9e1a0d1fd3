#include "scenario/GameStart.h"

#include "map/Geometry.h"
#include "map/Globe.h"
#include "scenario/FormationCheck.h"
#include "scenario/ScenarioFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <map>

using namespace tarnwake;
using tarnwake::testing::ScenarioFixture;
namespace tw = tarnwake::testing;
using ::testing::ElementsAre;

namespace {

class GameStart : public ScenarioFixture {
public:
    const combat::TFightingShip& FlagOf(const std::string& division) const {
        return *Div(division)->Flagship();
    }
    double Range(const std::string& from, const std::string& to) const {
        return map::RangeYards(FlagOf(from).Position(), FlagOf(to).Position());
    }
    int Bearing(const std::string& from, const std::string& to) const {
        return map::BearingBetween(FlagOf(from).Position(), FlagOf(to).Position());
    }
};

// The fleet fixture on the shipped North Sea chart: every dependent division starts far from
// its lead and is moved to its station.
TEST_F(GameStart, TheFleetFixtureLoadsQuietlyWithEveryDivisionAtItsStation) {
    ASSERT_TRUE(world->WeaponTables.Load(world->Folders().GameDir(), messages));
    scenario::StartGame(*world, tw::FixturesDir() / "scenario" / "OpenSea.nsc", {});
    EXPECT_THAT(messages.Texts(), ElementsAre());
    ASSERT_EQ(8u, world->Divisions.size());
    EXPECT_EQ(2, world->PlayerSide);
    for (const auto& ship : world->Ships) {
        EXPECT_FALSE(world->Chart.IsOnLand(ship->Position())) << ship->Name;
    }

    // Core: 1,000 yards astern of the lead's rear ship (the lead steers 120).
    const combat::TFightingShip& rear = *Div("4th BS")->RearShip();
    EXPECT_NEAR(1000.0, map::RangeYards(rear.Position(), FlagOf("1st BS").Position()), 2.0);
    EXPECT_NEAR(300, map::BearingBetween(rear.Position(), FlagOf("1st BS").Position()), 1);
    // Scout: dead ahead at 0.8 of the 18,000-yard sighting distance, set back 100 yards.
    EXPECT_NEAR(14300.0, Range("4th BS", "1st LCS"), 2.0);
    EXPECT_NEAR(120, Bearing("4th BS", "1st LCS"), 1);
    // Screens: 3,000 yards ahead of their battle squadrons, spread on their screen stations.
    EXPECT_NEAR(3000.0, Range("4th BS", "4th Flotilla"), 2.0);
    EXPECT_NEAR(120, Bearing("4th BS", "4th Flotilla"), 1);
    EXPECT_EQ(combat::formScreen, Div("4th Flotilla")->Formation);
    EXPECT_NEAR(3000.0, Range("III. Geschwader", "II. Flottille"), 2.0);
    EXPECT_NEAR(300, Bearing("III. Geschwader", "II. Flottille"), 1);
    // Support: 1,200 yards from its lead's flagship on the lead's course + 100.
    EXPECT_NEAR(1200.0, Range("1st BS", "4th LCS"), 2.0);
    EXPECT_NEAR(220, Bearing("1st BS", "4th LCS"), 1);

    EXPECT_THAT(tw::FormationFaults(*world), ElementsAre());
    // Every ship carries its ammunition.
    EXPECT_GT(FlagOf("4th BS").Ammo[designs::kMainGuns], 0);
}

TEST_F(GameStart, TheSameSeedStartsTheSameGame) {
    const auto start = [&](std::uint64_t seed) {
        random = std::make_unique<core::TRandomGenerator>(seed);
        MakeWorld();
        Load(Header() +
             Division(0, "Patrol", 0,
                      "Force=0\nRole=5\nRandomDistance=20\nTimeToRaiseSteam=5\n"
                      "RandomTimeToRaiseSteam=60",
                      Ship(0, "Lion", "Lion") + Ship(1, "Tiger", "Tiger", "40000E 555940N")));
        scenario::SetDivisionAIControl(*world);
        const combat::TDivision& patrol = *Div("Patrol");
        return std::make_tuple(patrol.Flagship()->Position(), patrol.TimeToRaiseSteam,
                               patrol.Objective);
    };
    EXPECT_EQ(start(11), start(11));
    EXPECT_NE(start(11), start(12));
}

class AIControl : public GameStart,
                  public ::testing::WithParamInterface<std::pair<int, std::vector<bool>>> {};

// The player's side 0: which divisions the computer steers from the start, by the
// preference "Initial AI control of subordinate divisions".
TEST_P(AIControl, ThePreferenceDecidesForThePlayersSubordinates) {
    world->Sides[0].ComputerCommanded = false;
    world->Sides[1].ComputerCommanded = true;
    world->PlayerSide = 0;
    world->Preferences.InitialAIControl = GetParam().first;
    Load(Header() + Division(0, "Battle fleet", 0, "Force=0", Ship(0, "Iron Duke", "Iron Duke")) +
         Division(1, "Battleships", 0, "Force=0\nRole=1\nLeadDiv=Battle fleet\nAIControl=1",
                  Ship(0, "Benbow", "Iron Duke")) +
         Division(2, "Cruisers", 0, "Force=0\nRole=3\nLeadDiv=Battle fleet",
                  Ship(0, "Caroline", "Caroline")) +
         Division(3, "Destroyers", 0, "Force=0\nRole=4\nLeadDiv=Battle fleet",
                  Ship(0, "Acasta", "Acasta")) +
         Division(4, "Unled cruisers", 0, "Force=0", Ship(0, "Comus", "Caroline")) +
         Division(5, "Battery", 0, "Force=0", Ship(0, "Fort", "Heligoland Battery")) +
         Division(6, "Enemy", 1, "Force=1", Ship(0, "Koenig", "Koenig")));
    scenario::SetDivisionAIControl(*world);
    std::vector<bool> control;
    for (const char* name :
         {"Battle fleet", "Battleships", "Cruisers", "Destroyers", "Unled cruisers"}) {
        control.push_back(Div(name)->AIControl);
    }
    EXPECT_EQ(GetParam().second, control);
    EXPECT_TRUE(Div("Battery")->AIControl);
    EXPECT_TRUE(Div("Enemy")->AIControl);
    EXPECT_TRUE(world->Forces[0]->PlayerSteered);
    EXPECT_FALSE(world->Forces[1]->PlayerSteered);
    EXPECT_TRUE(world->Forces[1]->AIControl);
}

INSTANTIATE_TEST_SUITE_P(
    Preferences, AIControl,
    ::testing::Values(std::make_pair(0, std::vector<bool>{false, true, true, true, false}),
                      std::make_pair(1, std::vector<bool>{false, false, true, true, false}),
                      std::make_pair(2, std::vector<bool>{false, false, false, true, false}),
                      // "None": the scenario's own choice stands.
                      std::make_pair(3, std::vector<bool>{false, true, false, false, false})));

TEST_F(GameStart, AForceTheComputerSteersOnThePlayersSideCommandsItsDivisions) {
    world->Sides[0].ComputerCommanded = false;
    world->PlayerSide = 0;
    Load(Header() +
         "[Force2]\nName=Harwich Force\nSide=0\nObjective=40000E 560000N\nAIControl=1\n" +
         Division(0, "Light cruisers", 0, "Force=2\nCourse=90", Ship(0, "Arethusa", "Arethusa")) +
         Division(1, "Empty", 0, "Force=2", ""));
    scenario::SetDivisionAIControl(*world);
    const combat::TDivision& cruisers = *Div("Light cruisers");
    EXPECT_TRUE(cruisers.ReportsBySignal);
    EXPECT_TRUE(cruisers.AIControl);
    const map::TGeoPos flag = cruisers.Flagship()->Position();
    // 15,000 yards ahead, at most 1,500 aside.
    const double ahead = map::RangeYards(flag, cruisers.MarkerPoint);
    EXPECT_GE(ahead, 15000.0 - 1.0);
    EXPECT_LE(ahead, std::hypot(15000.0, 1500.0) + 1.0);
    EXPECT_NEAR(90, map::BearingBetween(flag, cruisers.MarkerPoint), 6);
    EXPECT_TRUE(messages.Contains("Warning! Division: Empty has no ships!"));
}

TEST_F(GameStart, RandomDisplacementKeepsOffLandAndCarriesTheFollowers) {
    Load(Header() +
         Division(0, "Patrol", 0, "Force=0\nRole=5\nRandomDistance=5\nRandomAngle=90",
                  Ship(0, "Lion", "Lion", "43000E 560000N")) +
         Division(1, "Follower", 0, "Force=0\nRole=1\nLeadDiv=Patrol",
                  Ship(0, "Tiger", "Tiger", "43000E 555900N")) +
         // Wholly ashore on the island: every draw is on land.
         Division(2, "Ashore", 0, "Force=0\nRandomDistance=2",
                  Ship(0, "Iron Duke", "Iron Duke", "51000E 560500N")));
    const map::TGeoPos patrolBefore = FlagOf("Patrol").Position();
    const map::TGeoPos followerBefore = FlagOf("Follower").Position();
    const map::TGeoPos ashoreBefore = FlagOf("Ashore").Position();
    messages.Clear();
    scenario::SetDivisionAIControl(*world);

    const map::TGeoPos patrolAfter = FlagOf("Patrol").Position();
    const double moved = map::RangeYards(patrolBefore, patrolAfter);
    EXPECT_LT(moved, 5000.0);
    if (moved > 1.0) {
        const int bearing = map::BearingBetween(patrolBefore, patrolAfter);
        EXPECT_TRUE(bearing == 90 || bearing == 270) << bearing;
    }
    EXPECT_EQ(patrolAfter, Div("Patrol")->Objective);
    EXPECT_NEAR(moved, map::RangeYards(followerBefore, FlagOf("Follower").Position()), 2.0);

    EXPECT_EQ(ashoreBefore, FlagOf("Ashore").Position());
    EXPECT_THAT(messages.Texts(),
                ElementsAre("Warning! Cannot reposition division without putting it on "
                            "land!\nDivision: Ashore"));
}

TEST_F(GameStart, TimesToRaiseSteam) {
    Load(Header() + "[Force2]\nName=Late\nSide=0\nObjective=40000E 560000N\nTimeToRaiseSteam=45\n" +
         Division(0, "Ready", 0, "Force=0\nTimeToRaiseSteam=10\nRandomTimeToRaiseSteam=20",
                  Ship(0, "Lion", "Lion", "40000E 560000N", "Ship0TimeToRaiseSteam=99\n") +
                      Ship(1, "Tiger", "Tiger")) +
         Division(1, "Waiting", 0, "Force=2\nTimeToRaiseSteam=10",
                  Ship(0, "Iron Duke", "Iron Duke")) +
         Division(2, "Steamer", 3, "Course=100", Ship(0, "Sigrun", "Small Merchant")));
    scenario::SetDivisionAIControl(*world);
    const combat::TDivision& ready = *Div("Ready");
    EXPECT_GE(ready.TimeToRaiseSteam, 10);
    EXPECT_LT(ready.TimeToRaiseSteam, 30);
    for (const auto* ship : ready.Ships) {
        EXPECT_EQ(ready.TimeToRaiseSteam, ship->TimeToRaiseSteam);
    }
    // The force's time overrules its divisions'.
    EXPECT_EQ(45, Div("Waiting")->TimeToRaiseSteam);
    EXPECT_EQ(45, Div("Waiting")->Ships[0]->TimeToRaiseSteam);
    // Neutral shipping wanders a little off its course.
    const int course = Div("Steamer")->Course;
    EXPECT_TRUE(course == 90 || course == 100 || course == 110) << course;
    EXPECT_EQ(course, Div("Steamer")->Ships[0]->Course());
}

TEST_F(GameStart, ForcesMayStartAtTheirAlternatePoint) {
    Load(Header() +
         "[Force2]\nName=Battle Cruiser Fleet\nSide=0\nObjective=40000E 560000N\n"
         "AlternatePoint=30000E 570000N\nTimeToRaiseSteam=5\nAltTimeToRaiseSteam=50\n"
         "ActivateAlternateOnSighting=1\n" +
         Division(0, "1st BCS", 0, "Force=2\nCourse=90\nShortname=BCS",
                  Ship(0, "Lion", "Lion") + Ship(1, "Princess Royal", "Lion") +
                      Ship(2, "Queen Mary", "Queen Mary")) +
         Division(1, "1st LCS", 0, "Force=2\nLeadDiv=BCS", Ship(0, "Galatea", "Arethusa")) +
         Division(2, "5th BS", 0, "Force=2\nRole=1\nLeadDiv=BCS",
                  Ship(0, "Barham", "Queen Elizabeth") + Ship(1, "Valiant", "Queen Elizabeth")) +
         Division(3, "At home", 0, "Force=0", Ship(0, "Iron Duke", "Iron Duke")));
    scenario::PlaceForcesAtAlternatePoints(*world, 0, true);
    const map::TGeoPos alternate{tw::Deg(3.0), tw::Deg(57.0), 0};
    EXPECT_EQ(alternate, FlagOf("1st BCS").Position());
    const combat::TForce& bcf = *world->Forces[2];
    EXPECT_EQ(50, bcf.TimeToRaiseSteam);
    EXPECT_TRUE(bcf.ActivateOnSighting);
    // The cruisers spread ahead: 15,000 + 5,000 + up to 10,000 yards within 15 degrees.
    const double range = Range("1st BCS", "1st LCS");
    EXPECT_GE(range, 20000.0 - 1.0);
    EXPECT_LT(range, 30000.0 + 1.0);
    EXPECT_NEAR(90, Bearing("1st BCS", "1st LCS"), 16);
    EXPECT_EQ(90, Div("1st LCS")->Course);
    // The battle squadron follows astern in its column; the force at home stays.
    EXPECT_NEAR(
        1000.0,
        map::RangeYards(Div("1st BCS")->RearShip()->Position(), FlagOf("5th BS").Position()), 2.0);
    EXPECT_EQ(map::TGeoPos(tw::Deg(4.0), tw::Deg(56.0), 0), FlagOf("At home").Position());
    EXPECT_THAT(tw::FormationFaults(*world), ElementsAre());
}

TEST_F(GameStart, TheAlternateStartIsDrawnAgainstTheSidesChance) {
    const std::string scenario =
        Header() +
        "[Force2]\nName=Raiders\nSide=1\nObjective=40000E 560000N\n"
        "AlternatePoint=30000E 570000N\n" +
        Division(0, "Raiders", 1, "Force=2", Ship(0, "Seydlitz", "Seydlitz"));
    for (const auto& [draw, moved] : std::vector<std::pair<int, bool>>{{49, true}, {50, false}}) {
        random = std::make_unique<core::TScriptedRandom>(core::TScriptedRandom::Repeating({draw}));
        MakeWorld();
        Load(scenario);
        scenario::PlaceForcesAtAlternatePoints(*world, 1, false);
        EXPECT_EQ(moved,
                  FlagOf("Raiders").Position() == map::TGeoPos(tw::Deg(3.0), tw::Deg(57.0), 0))
            << draw;
    }
}

} // namespace

// Once the fleet steams, each flag flies at its flagship and each track runs from where the
// division started, a point for every other minute, up to the flagship (neutrals keep none).
TEST_F(GameStart, FlagsFollowTheirFlagshipsAndTracksGrowEveryOtherMinute) {
    ASSERT_TRUE(world->WeaponTables.Load(world->Folders().GameDir(), messages));
    scenario::StartGame(*world, tw::FixturesDir() / "scenario" / "OpenSea.nsc", {});
    std::map<const combat::TDivision*, map::TGeoPos> start;
    for (const auto& division : world->Divisions) {
        start[division.get()] = division->Flagship()->Position();
    }
    constexpr int kMinutes = 10;
    world->RunHeadless(kMinutes);
    for (const auto& division : world->Divisions) {
        const map::TGeoPos flagship = division->Flagship()->Position();
        ASSERT_TRUE(division->FlagMarker) << division->DivisionName;
        EXPECT_EQ(flagship, division->FlagMarker->StoredPoint()) << division->DivisionName;
        if (division->IsNeutral()) {
            continue; // neutrals keep no track
        }
        const map::TPointStore& track = division->Track->Chain(0);
        ASSERT_GE(track.Count(), 1 + kMinutes / 2) << division->DivisionName;
        EXPECT_LE(track.Count(), 2 + kMinutes / 2) << division->DivisionName;
        EXPECT_EQ(start[division.get()], track.Point(0)) << division->DivisionName;
        EXPECT_EQ(flagship, track.Point(track.Count() - 1)) << division->DivisionName;
    }
}
