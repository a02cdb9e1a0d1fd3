#include "engine/ContactReports.h"

#include "WorldFixture.h"
#include "campaign/SearchArea.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Random.h"
#include "engine/GameWorld.h"
#include "engine/Report.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace tarnwake;
using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;
using engine::TComposition;
using engine::TReport;

namespace {

// What the display is told of the reports that reach the player.
struct TReportsSeen : engine::IGameView {
    void ReportDelivered(const TReport& report, bool bringForward) override {
        delivered.push_back(report.Id);
        broughtForward = broughtForward || bringForward;
    }
    std::vector<engine::TReportId> delivered;
    bool broughtForward = false;
};

// Aurora, a light cruiser of a force the computer commands, sees Hipper's two battle cruisers
// 15,000 yards to the east, steaming 135.
class ContactReportsTest : public tarnwake::testing::WorldFixture {
protected:
    ContactReportsTest()
        : observers(AddDivision("Aurora", 0, 0, 0, 1, origin, TShipType::CL, 3500)),
          hipper(AddDivision("Hipper", 1, 135, 24, 2, At(90, 15000), TShipType::BC)),
          aurora(*observers.Flagship()) {
        world.PlayerSide = 0;
        observers.ReportsBySignal = true;
        for (TFightingShip* ship : hipper.Ships) {
            ship->SightingLevel = combat::kClassIdentified;
        }
    }

    core::TScriptedRandom& Script(std::vector<int> rolls) {
        auto scripted = std::make_unique<core::TScriptedRandom>(std::move(rolls));
        core::TScriptedRandom& script = *scripted;
        world.UseGenerator(std::move(scripted));
        return script;
    }

    // A report already in a list: of `side`, made at `minute` at `at`, delivered at once.
    TReport& Existing(int side, bool forPlayer, TComposition composition = {},
                      map::TGeoPos at = tarnwake::testing::kTestOrigin, int course = 0,
                      int minute = 0) {
        auto report = std::make_unique<TReport>(ShipLayer());
        report->Side = side;
        report->ReportedPosition = at;
        report->Course = course;
        report->MinuteStamp = minute;
        report->Delivery = minute;
        report->Composition = composition;
        report->Marker->SetHidden(true);
        return world.AddReport(std::move(report), forPlayer);
    }

    TDivision& observers;
    TDivision& hipper;
    TFightingShip& aurora;
};

// No phantom ships and none left out: one round of each that draws a "nothing".
const std::vector<int> kNoGarbling = {0, 15, 0, 7};

std::vector<int> Then(std::vector<int> rolls, const std::vector<int>& more) {
    rolls.insert(rolls.end(), more.begin(), more.end());
    return rolls;
}

TEST_F(ContactReportsTest, AReportedDivisionIsReportedAgainLessReadily) {
    struct TCase {
        const char* what;
        int reported;
        int earlierReports; // player reports of the observers' side already made
        std::vector<int> rolls;
        bool made;
    };
    const TCase cases[] = {
        {"first report", 0, 0, Then({0, 30}, kNoGarbling), true},
        {"reported 3 times: 2 of 8 fails", 3, 0, {2}, false},
        {"reported 3 times: 3 of 8 and a lost toss", 3, 0, {3, 49}, false},
        {"reported 3 times: 3 of 8 and a won toss", 3, 0, Then({3, 50, 30}, kNoGarbling), true},
        {"nine reports waiting: a lost toss", 0, 9, {0, 49}, false},
        {"nine reports waiting: a won toss", 0, 9, Then({0, 50, 30, 0}, kNoGarbling), true},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        world.PlayerReports.clear();
        for (int i = 0; i < c.earlierReports; ++i) {
            Existing(0, true);
        }
        hipper.Reported = c.reported;
        core::TScriptedRandom& script = Script(c.rolls);
        engine::CreateReport(world, *hipper.Flagship(), aurora);
        EXPECT_EQ(0u, script.Left());
        EXPECT_EQ(c.earlierReports + (c.made ? 1 : 0),
                  static_cast<int>(world.PlayerReports.size()));
        EXPECT_EQ(c.reported + (c.made ? 1 : 0), hipper.Reported);
        EXPECT_TRUE(world.ComputerReports.empty());
    }
}

TEST_F(ContactReportsTest, APlayerReportIsLateTheMoreSoTheMoreReportsThereAre) {
    // Minute 40, twelve reports of the enemy already made: 40 + 10 + Random(10) + 5.
    world.TimeElapsed = 40;
    for (int i = 0; i < 12; ++i) {
        Existing(0, true);
    }
    Script(Then({0, 50, 30, 7}, kNoGarbling));
    engine::CreateReport(world, *hipper.Ships[1], aurora);
    const TReport& report = *world.PlayerReports.front();
    EXPECT_EQ(62, report.Delivery);
    EXPECT_EQ(40, report.MinuteStamp);
    EXPECT_EQ(0, report.Side);
    EXPECT_EQ("Aurora", report.ReporterName);
    EXPECT_EQ(aurora.Id, report.Reporter);
    EXPECT_EQ(135, report.Course);
    EXPECT_EQ(90, report.Bearing);
    // The position is the flagship's, whichever ship was seen; the marker lies off it.
    EXPECT_EQ(hipper.Flagship()->Position(), report.ReportedPosition);
    const double off = map::RangeYards(report.Marker->StoredPoint(), hipper.Ships[1]->Position());
    EXPECT_GE(off, 1499.0);
    EXPECT_LE(off, 30001.0);
    EXPECT_TRUE(report.Marker->Hidden());
    EXPECT_EQ((TComposition{0, 2, 0, 0, 0, 0, 0}), report.Composition);
    EXPECT_EQ(" 2 BC Course 135 14:00", report.Marker->Title());
    // The side now knows of the enemy's flagship.
    EXPECT_EQ(hipper.Flagship()->Id, world.Sides[0].ImportantEnemy);
}

TEST_F(ContactReportsTest, AReportedCourseStaysOnTheCompass) {
    struct TCase {
        int course;
        int roll;
        int reported;
    };
    for (const TCase& c : {TCase{10, 59, 341}, TCase{350, 0, 20}, TCase{135, 30, 135}}) {
        SCOPED_TRACE(c.course);
        world.PlayerReports.clear();
        hipper.Reported = 0;
        hipper.Course = c.course;
        Script(Then({0, c.roll}, kNoGarbling));
        engine::CreateReport(world, *hipper.Flagship(), aurora);
        EXPECT_EQ(c.reported, world.PlayerReports.front()->Course);
    }
}

TEST_F(ContactReportsTest, ALookoutCountsWhatHeHasMadeOut) {
    hipper.Ships[0]->ShipType = TShipType::BB; // class identified: its true type
    hipper.Ships[1]->ShipType = TShipType::CA; // type identified, as a battle cruiser
    hipper.Ships[1]->SightingLevel = combat::kTypeIdentified;
    hipper.Ships[1]->IdentifiedType = "BC";
    TFightingShip& sighted = AddShip(hipper, {"Kolberg", 1, TShipType::CL}, At(90, 15500));
    sighted.SightingLevel = combat::kSighted; // a guess: 3 is a destroyer
    AddShip(hipper, {"Unseen", 1, TShipType::CL}, At(90, 16000));
    core::TScriptedRandom random({3});
    EXPECT_EQ((TComposition{1, 1, 0, 0, 0, 1, 0}), engine::KnownComposition(hipper, random));
    EXPECT_EQ(0u, random.Left());
}

TEST_F(ContactReportsTest, GarblingMistakesShipsAddsSomeAndLeavesSomeOut) {
    struct TCase {
        const char* what;
        TComposition seen;
        std::vector<int> rolls;
        TComposition reported;
    };
    const TCase cases[] = {
        {"nothing garbled", {1, 0, 0, 1, 1, 0, 2}, {2, 9, 0, 15, 0, 7}, {1, 0, 0, 1, 1, 0, 2}},
        {"armoured cruisers taken for battle cruisers, a phantom squadron, one left out",
         {0, 0, 0, 2, 0, 0, 0},
         {1, 5, 0, 6, 3, 0, 1},
         {3, 1, 0, 0, 0, 0, 0}},
        {"armoured cruisers taken for battleships",
         {0, 0, 0, 2, 0, 0, 0},
         {1, 4, 0, 15, 0, 7},
         {2, 0, 0, 0, 0, 0, 0}},
        {"destroyers taken for cruisers but one",
         {0, 0, 0, 0, 0, 4, 0},
         {4, 5, 1, 9, 0, 15, 0, 7},
         {0, 0, 0, 0, 3, 1, 0}},
        {"light cruisers all taken for armoured ones, three phantoms, five left out",
         {0, 0, 0, 0, 2, 0, 0},
         {3, 4, 2, 0, 5, 9, 1, 4, 4, 0, 6, 3, 7},
         {0, 0, 0, 1, 0, 2, 0}},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        core::TScriptedRandom random(c.rolls);
        TComposition composition = c.seen;
        engine::Garble(composition, random);
        EXPECT_EQ(c.reported, composition);
        EXPECT_EQ(0u, random.Left());
    }
}

TEST_F(ContactReportsTest, TheComputerHasItsReportsExactAndAtOnceAndFeelsTheirThreat) {
    hipper.Ships[0]->ShipType = TShipType::CA;
    hipper.Ships[1]->ShipType = TShipType::DD;
    AddShip(hipper, {"G194", 1, TShipType::DD}, At(90, 15500)).SightingLevel = combat::kSighted;
    AddShip(hipper, {"Unseen", 1, TShipType::CL}, At(90, 16000));
    world.TimeElapsed = 30;
    // Course within ten degrees; a delivery minute of at most 15, long past.
    core::TScriptedRandom& script = Script({0, 14});
    engine::CreateReportExactForAI(world, *hipper.Ships[1], aurora);
    ASSERT_EQ(1u, world.ComputerReports.size());
    TReport& report = *world.ComputerReports.front();
    EXPECT_EQ(145, report.Course);
    EXPECT_EQ(15, report.Delivery);
    // One more of each kind seen; the unseen cruiser is not counted.
    EXPECT_EQ((TComposition{0, 0, 0, 2, 0, 3, 0}), report.Composition);
    EXPECT_TRUE(world.PlayerReports.empty());
    EXPECT_EQ(0u, script.Left());

    // Usable from the next minute on: the threat it makes is the same every minute it stands.
    world.Sides[0].Alerted = false;
    for (int minute = 30; minute < 33; ++minute) {
        world.TimeElapsed = minute;
        engine::UpdateReports(world);
        EXPECT_TRUE(world.Sides[0].Alerted);
        EXPECT_EQ(2 * 30000 + 3 * 2000, world.Sides[0].ThreatSum);
        EXPECT_EQ(0, world.Sides[1].ThreatSum);
    }
    EXPECT_EQ(&report, engine::BestReport(world, 0, nullptr, false));
    EXPECT_EQ(nullptr, engine::BestReport(world, 1, nullptr, false));
    report.Checked = true;
    EXPECT_EQ(nullptr, engine::BestReport(world, 0, nullptr, false));
}

TEST_F(ContactReportsTest, BeyondAHundredReportsOfASideEachOneMoreIsForgottenHalfTheTime) {
    for (int i = 0; i < 103; ++i) {
        Existing(1, false);
    }
    Existing(0, false);
    // The three oldest of side 1 are looked at last; side 0's one report is never at risk.
    core::TScriptedRandom& script = Script({49, 50, 0});
    engine::UpdateReports(world);
    EXPECT_EQ(0u, script.Left());
    const auto ofSide = [this](int side) {
        return std::count_if(world.ComputerReports.begin(), world.ComputerReports.end(),
                             [side](const auto& r) { return r->Side == side; });
    };
    EXPECT_EQ(101, ofSide(1));
    EXPECT_EQ(1, ofSide(0));
}

TEST_F(ContactReportsTest, AReportWhoseShipsMustBeAshoreByNowIsDroppedNowAndAgain) {
    // Reported steaming east 40 minutes ago: 24,000 yards on, on the island. One without a
    // course stays where it was seen, at sea.
    world.TimeElapsed = 40;
    Existing(1, false, {}, origin, 90, 0);
    const TReport& still = Existing(1, false, {}, origin, 0, 0);
    Script({10});
    engine::UpdateReports(world);
    EXPECT_EQ(2u, world.ComputerReports.size());
    Script({9});
    engine::UpdateReports(world);
    ASSERT_EQ(1u, world.ComputerReports.size());
    EXPECT_EQ(&still, world.ComputerReports.front().get());
}

TEST_F(ContactReportsTest, APlayerReportShowsAndStopsTheClockInTheMinuteItArrives) {
    TReportsSeen seen;
    world.SetView(&seen);
    TReport& now = Existing(0, true);
    now.Delivery = 12;
    TReport& earlier = Existing(0, true);
    earlier.Delivery = 11;
    TReport& enemys = Existing(1, true);
    enemys.Delivery = 12;
    world.TimeElapsed = 12;
    core::TScriptedRandom& script = Script({});
    engine::UpdateReports(world);
    EXPECT_FALSE(now.Marker->Hidden());
    EXPECT_TRUE(earlier.Marker->Hidden());
    EXPECT_TRUE(enemys.Marker->Hidden());
    EXPECT_TRUE(world.Sides[0].Alerted);
    EXPECT_TRUE(world.Sides[1].Alerted);
    EXPECT_TRUE(world.PausePending);
    EXPECT_EQ(std::vector<engine::TReportId>{now.Id}, seen.delivered);
    EXPECT_TRUE(seen.broughtForward);
    EXPECT_EQ(0, script.DrawCount());
    // The player has in hand his side's reports that have arrived; a watcher has all.
    EXPECT_EQ(std::vector<const TReport*>{&now}, engine::PlayerReportList(world));
    world.PlayerSide = engine::kWatchingSide;
    EXPECT_EQ((std::vector<const TReport*>{&enemys, &now}), engine::PlayerReportList(world));
    world.PlayerSide = 0;

    // Without a break on sightings the report only shows.
    world.PausePending = false;
    world.Preferences.Log.BreakOnSighting = 0;
    seen = {};
    world.TimeElapsed = 11;
    engine::UpdateReports(world);
    EXPECT_FALSE(earlier.Marker->Hidden());
    EXPECT_FALSE(world.PausePending);
    EXPECT_EQ(std::vector<engine::TReportId>{earlier.Id}, seen.delivered);
    EXPECT_FALSE(seen.broughtForward);
    world.SetView(nullptr);
}

TEST_F(ContactReportsTest, AReportScoresItsStrengthLessItsAgeByItsDistance) {
    struct TCase {
        const char* what;
        TComposition composition;
        int age;
        double yards; // from the reported position; negative: no position given
        bool bigShips;
        std::int64_t score;
    };
    const TCase cases[] = {
        {"a battleship", {1, 0, 0, 0, 0, 0, 0}, 0, -1, false, 100000},
        {"a battleship to capital ships", {1, 0, 0, 0, 0, 0, 0}, 0, -1, true, 90000},
        {"a battle cruiser to capital ships", {0, 1, 0, 0, 0, 0, 0}, 0, -1, true, 120000},
        {"one of each", {1, 1, 1, 1, 1, 1, 1}, 10, -1, false, 253025},
        {"eleven minutes old", {1, 0, 0, 0, 0, 0, 0}, 11, -1, false, 90000},
        {"an hour and a minute old", {1, 0, 0, 0, 0, 0, 0}, 61, -1, false, 65610},
        {"four hours and a minute old", {1, 0, 0, 0, 0, 0, 0}, 241, -1, false, 47829},
        {"a half rounded to even", {0, 0, 0, 0, 0, 1, 1}, 11, -1, false, 22},
        {"near", {1, 0, 0, 0, 0, 0, 0}, 0, 49000, false, 110000},
        {"far", {1, 0, 0, 0, 0, 0, 0}, 0, 121000, false, 90000},
        {"farther still", {1, 0, 0, 0, 0, 0, 0}, 0, 201000, false, 72000},
    };
    world.TimeElapsed = 300;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        TReport& report = Existing(1, false, c.composition, origin, 0, 300 - c.age);
        const map::TGeoPos from = At(0, c.yards);
        EXPECT_EQ(c.score,
                  engine::ReportScore(world, report, c.yards < 0 ? nullptr : &from, c.bigShips));
    }
}

TEST_F(ContactReportsTest, SearchAreasForgetOneSpottingAtATime) {
    map::TGlobeLayer& layer = world.Chart.FindOrCreateLayer("SearchLayer");
    auto& busy = world.AddSearchArea(std::make_unique<campaign::TSearchArea>(&layer));
    auto& quiet = world.AddSearchArea(std::make_unique<campaign::TSearchArea>(&layer));
    busy.SpotCount = 2;
    engine::ReduceSearchAreaReports(world);
    EXPECT_EQ(1, busy.SpotCount);
    EXPECT_EQ(0, quiet.SpotCount);
}

TEST_F(ContactReportsTest, AReportReadsAsTheSignalWouldRead) {
    TReport& report = Existing(0, true, {0, 2, 0, 0, 1, 0, 0}, origin, 135);
    report.ReporterName = "Aurora";
    report.Clock = core::EncodeDateTime(1915, 1, 24, 7, 15);
    EXPECT_EQ(" 2 BC 1 CL Course 135", report.Text());
    EXPECT_EQ(" 2 BC 1 CL Course 135 07:15", report.Title());
    EXPECT_EQ("07:15 Aurora -  2 BC 1 CL Course 135", report.ListText());
    report.Course = 0;
    EXPECT_EQ(" 2 BC 1 CL", report.Text());
}

// The sighting of the minute makes the reports: Aurora's division reports by signal, so the
// player has one later, and the computer has its own at once.
TEST_F(ContactReportsTest, SightingsBecomeReportsForBothSides) {
    hipper.Ships[0]->SetPosition(At(90, 6000));
    hipper.Ships[1]->SetPosition(At(90, 6500));
    for (TFightingShip* ship : hipper.Ships) {
        ship->SightingLevel = combat::kUnseen;
    }
    TReportsSeen seen;
    world.SetView(&seen);
    for (int minute = 0; minute < 30 && seen.delivered.empty(); ++minute) {
        world.RunWholeMinutes(1);
    }
    world.SetView(nullptr);
    ASSERT_FALSE(world.PlayerReports.empty());
    ASSERT_FALSE(seen.delivered.empty());
    const TReport* delivered = world.FindReport(seen.delivered.front());
    ASSERT_NE(nullptr, delivered);
    EXPECT_EQ("Aurora", delivered->ReporterName);
    EXPECT_FALSE(delivered->Marker->Hidden());
    EXPECT_TRUE(std::any_of(world.ComputerReports.begin(), world.ComputerReports.end(),
                            [](const auto& r) { return r->Side == 0; }));
}

} // namespace
