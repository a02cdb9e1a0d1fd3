#include "scenario/ScenarioLoader.h"

#include "campaign/Minefield.h"
#include "campaign/SearchArea.h"
#include "campaign/Submarine.h"
#include "engine/Objective.h"
#include "map/Geometry.h"
#include "map/Globe.h"
#include "scenario/LoadProgress.h"
#include "scenario/ScenarioFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using namespace tarnwake;
using tarnwake::testing::ScenarioFixture;
namespace tw = tarnwake::testing;
using ::testing::ElementsAre;

namespace {

class Loader : public ScenarioFixture {
public:
    // Both sides at one force level.
    void Level(int level) {
        world->Sides[0].ForceLevel = level;
        world->Sides[1].ForceLevel = level;
    }
};

TEST_F(Loader, NumberingGapsAreAllowed) {
    Level(engine::flVariable);
    Load(Header() + Division(0, "First", 0, "Force=0", Ship(0, "Lion", "Lion")) +
         Division(5, "Second", 0, "Force=0",
                  Ship(0, "Tiger", "Tiger") + Ship(3, "Princess Royal", "Lion")));
    EXPECT_THAT(DivisionNames(), ElementsAre("First", "Second"));
    EXPECT_THAT(ShipNames(*Div("Second")), ElementsAre("Tiger", "Princess Royal"));
    EXPECT_EQ("Division5", Div("Second")->SectionName);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(Loader, OnlyTheFirstOfTwoDivisionsOfOneNameIsKept) {
    Level(engine::flVariable);
    Load(Header() + Division(0, "1st BCS", 0, "Force=0", Ship(0, "Lion", "Lion")) +
         Division(1, "1st BCS", 0, "Force=0", Ship(0, "Queen Mary", "Queen Mary")) +
         Division(2, "1st BCS", 1, "Force=1", Ship(0, "Seydlitz", "Seydlitz")));
    EXPECT_THAT(DivisionNames(), ElementsAre("1st BCS", "1st BCS"));
    EXPECT_THAT(ShipNames(*world->Divisions[0]), ElementsAre("Lion"));
    EXPECT_EQ(1, world->Divisions[1]->Side); // the same name on the other side is another
    // The second version never took the sea: its ship was not made.
    EXPECT_EQ(2u, world->Ships.size());
}

TEST_F(Loader, ADependentDivisionGoesWithItsLead) {
    Level(engine::flHistorical);
    Load(
        Header() +
        Division(0, "Battle cruisers", 0, "Force=0\nHistorical=0", Ship(0, "Lion", "Lion")) +
        Division(1, "Their screen", 0,
                 "Force=0\nHistorical=1\nProbability=-1\nRole=4\n"
                 "LeadDiv=Battle cruisers",
                 Ship(0, "Acasta", "Acasta")) +
        // A chain of two dependents falls together.
        Division(2, "Screen's screen", 0,
                 "Force=0\nHistorical=1\nProbability=-1\nRole=4\n"
                 "LeadDiv=Their screen",
                 Ship(0, "Ardent", "Acasta")) +
        Division(3, "Battle fleet", 0, "Force=0\nHistorical=1", Ship(0, "Iron Duke", "Iron Duke")) +
        // A lead of the other side is no lead.
        Division(4, "Wrong side", 0,
                 "Force=0\nHistorical=1\nProbability=-1\nRole=4\n"
                 "LeadDiv=Scouts",
                 Ship(0, "Fortune", "Acasta")) +
        Division(5, "Scouts", 1, "Force=1\nHistorical=1", Ship(0, "Seydlitz", "Seydlitz")) +
        // An independent division only loses a lead that has gone.
        Division(6, "Follower", 0, "Force=0\nHistorical=1\nRole=1\nLeadDiv=Battle cruisers",
                 Ship(0, "Marlborough", "Iron Duke")));
    EXPECT_THAT(DivisionNames(), ElementsAre("Battle fleet", "Scouts", "Follower"));
    EXPECT_EQ(nullptr, Div("Follower")->LeadDiv);
}

TEST_F(Loader, AnAlternativeLeadWithTheSameShortnameStandsIn) {
    // Two versions of one squadron: under "Historical" only the second sails, and the
    // dependent division finds it by its short name.
    Level(engine::flHistorical);
    Load(Header() +
         Division(0, "5th BS (at Scapa)", 0, "Force=0\nHistorical=0\nShortname=5BS",
                  Ship(0, "Barham", "Queen Elizabeth")) +
         Division(1, "5th BS", 0, "Force=0\nHistorical=1\nShortname=5BS",
                  Ship(0, "Valiant", "Queen Elizabeth")) +
         Division(2, "Destroyers", 0, "Force=0\nHistorical=1\nProbability=-1\nRole=4\nLeadDiv=5BS",
                  Ship(0, "Acasta", "Acasta")));
    EXPECT_THAT(DivisionNames(), ElementsAre("5th BS", "Destroyers"));
    EXPECT_EQ(Div("5th BS"), Div("Destroyers")->LeadDiv);
}

TEST_F(Loader, HistoricalLevelTakesOnlyWhatTookPart) {
    Level(engine::flHistorical);
    Load(Header() +
         Division(0, "Took part", 0, "Force=0\nHistorical=1\nProbability=0",
                  Ship(0, "Lion", "Lion", "40000E 560000N", "Ship0Historical=1\n") +
                      Ship(1, "Tiger", "Tiger", "40000E 560000N", "Ship1Historical=0\n")) +
         Division(1, "Did not", 0, "Force=0\nHistorical=0\nProbability=100",
                  Ship(0, "Iron Duke", "Iron Duke")) +
         Division(2, "Neutral", 3, "", Ship(0, "Sigrun", "Small Merchant")));
    EXPECT_THAT(DivisionNames(), ElementsAre("Took part", "Neutral"));
    EXPECT_THAT(ShipNames(*Div("Took part")), ElementsAre("Lion"));
    EXPECT_THAT(ShipNames(*Div("Neutral")), ElementsAre("Sigrun"));
}

TEST_F(Loader, MaximumLevelAlwaysTakesAShipOfProbabilityZero) {
    // Every draw comes out 99: any chance below 100 fails, and so does the second chance of
    // "Maximum".
    random = std::make_unique<core::TScriptedRandom>(core::TScriptedRandom::Repeating({99}));
    MakeWorld();
    Level(engine::flMaximum);
    const std::string ships =
        Ship(0, "Lion", "Lion", "40000E 560000N", "Ship0Probability=0\n") +
        Ship(1, "Tiger", "Tiger", "40000E 560000N", "Ship1Probability=50\n") +
        Ship(2, "Queen Mary", "Queen Mary", "40000E 560000N", "Ship2Probability=5000\n");
    Load(Header() + Division(0, "1st BCS", 0, "Force=0\nProbability=50", ships) +
         Division(1, "Certain", 0, "Force=0\nProbability=5000", ships));
    // The division failed both its chances; the absurd chance of 5000 always comes in.
    EXPECT_THAT(DivisionNames(), ElementsAre("Certain"));
    EXPECT_THAT(ShipNames(*Div("Certain")), ElementsAre("Lion", "Queen Mary"));
}

TEST_F(Loader, MaximumLevelKeepsNineInTenOfWhatFailsItsChance) {
    // For the division and then its ship: a first draw of 60 fails a chance of 50; the second,
    // 90, keeps it.
    random = std::make_unique<core::TScriptedRandom>(std::vector<int>{60, 90, 60, 90});
    MakeWorld();
    Level(engine::flMaximum);
    Load(Header() + Division(0, "1st BCS", 0, "Force=0\nProbability=50",
                             Ship(0, "Lion", "Lion", "40000E 560000N", "Ship0Probability=50\n")));
    ASSERT_THAT(DivisionNames(), ElementsAre("1st BCS"));
    EXPECT_THAT(ShipNames(*Div("1st BCS")), ElementsAre("Lion"));
}

TEST_F(Loader, AShipInTwoAlternativeDivisionsAppearsOnce) {
    Level(engine::flVariable);
    Load(Header() +
         Division(0, "3rd BCS", 0, "Force=0",
                  Ship(0, "Invincible", "Invincible") + Ship(1, "Inflexible", "Invincible")) +
         Division(1, "3rd BCS detached", 0, "Force=0",
                  Ship(0, "Inflexible", "Invincible") + Ship(1, "Indomitable", "Invincible")));
    EXPECT_THAT(ShipNames(*Div("3rd BCS")), ElementsAre("Invincible", "Inflexible"));
    EXPECT_THAT(ShipNames(*Div("3rd BCS detached")), ElementsAre("Indomitable"));
    EXPECT_EQ(3u, world->Ships.size());
}

TEST_F(Loader, FortyOneShipsAreReadAndNoMore) {
    Level(engine::flVariable);
    std::string ships;
    for (int n = 0; n <= 41; ++n) {
        ships += Ship(n, "Boat " + std::to_string(n), "M-Boat");
    }
    Load(Header() + Division(0, "Flotilla", 0, "Force=0", ships));
    const combat::TDivision& flotilla = *Div("Flotilla");
    ASSERT_EQ(41u, flotilla.Ships.size());
    EXPECT_EQ("Boat 40", flotilla.Ships.back()->Name);
}

TEST_F(Loader, KeysAreMatchedExactly) {
    Level(engine::flVariable);
    Load(
        Header() + Division(0, "Blank before", 0, "Force=0\nCourse =20", Ship(0, "Lion", "Lion")) +
        Division(1, "Blank after", 0, "Force=0\nCourse= 20", Ship(0, "Tiger", "Tiger")) +
        Division(2, "Trailing blank", 0, "Force=0\nCourse=20 ", Ship(0, "Iron Duke", "Iron Duke")) +
        Division(3, "Exact", 0, "Force=0\nCourse=20\nCourse=30", Ship(0, "Benbow", "Iron Duke")));
    EXPECT_EQ(12, Div("Blank before")->Course);
    EXPECT_EQ(12, Div("Blank after")->Course);
    EXPECT_EQ(12, Div("Trailing blank")->Course);
    EXPECT_EQ(20, Div("Exact")->Course); // the first entry wins
    EXPECT_EQ(20, Div("Exact")->Ships[0]->Course());
}

TEST_F(Loader, ADivisionWithoutForceWarnsAndLoadsAndNeutralsNeedNone) {
    Level(engine::flVariable);
    Load(Header() + Division(0, "Lost", 0, "Force=-1\nShortname=Lst", Ship(0, "Lion", "Lion")) +
         Division(1, "Steamer", 3, "", Ship(0, "Sigrun", "Small Merchant")));
    EXPECT_THAT(messages.Texts(), ElementsAre("Warning, cannot find force for division! Lst",
                                              "Warning! Division: Lost belongs to no force!"));
    EXPECT_THAT(DivisionNames(), ElementsAre("Lost", "Steamer"));
    EXPECT_EQ(nullptr, Div("Steamer")->Force);
    EXPECT_TRUE(Div("Steamer")->AIControl);
}

TEST_F(Loader, DivisionsJoinTheirForcesAndShipsTakeTheDivisionsValues) {
    Level(engine::flVariable);
    Load(Header() +
         Division(0, "1st BCS", 0,
                  "Force=0\nCourse=400\nSpeed=24\nFormation=2\nRole=0\nTimeToRaiseSteam=30\nWI=7",
                  Ship(0, "Lion", "Lion", "40000E 560000N",
                       "Ship0CrewQuality=2\nShip0EngineDamage=30\nShip0AmmoLevel=80\n"
                       "Ship0Mines=12\nShip0Course=90\n")) +
         Division(
             1, "Battery", 1, "Force=1\nCourse=45",
             Ship(0, "Heligoland", "Heligoland Battery", "40000E 560000N", "Ship0Course=270\n")));
    const combat::TDivision& bcs = *Div("1st BCS");
    EXPECT_EQ(world->Forces[0].get(), bcs.Force);
    EXPECT_THAT(world->Forces[0]->Divisions, ElementsAre(&bcs));
    // No compass reads 400: the figure is refused and the default course taken.
    EXPECT_EQ(12, bcs.Course);
    EXPECT_TRUE(messages.Contains("[Division0] Course=400 is outside 0..359; 12 used"));
    EXPECT_TRUE(bcs.TurnTogether);
    EXPECT_EQ(7, bcs.WI);
    const combat::TFightingShip& lion = *bcs.Ships[0];
    EXPECT_EQ(0, lion.Side);
    EXPECT_EQ(&bcs, lion.InitialDivision);
    EXPECT_EQ(24, lion.CurrentSpeed);
    EXPECT_EQ(2, lion.CrewQuality);
    EXPECT_EQ(70, lion.EngineEfficiency);
    EXPECT_EQ(80, lion.AmmoLevel);
    EXPECT_EQ(12, lion.Mines);
    EXPECT_EQ(12, lion.Course()); // only land targets read their own course
    EXPECT_TRUE(lion.PlayerCommanded);
    EXPECT_EQ(map::TGeoPos(tw::Deg(4.0), tw::Deg(56.0), 0), lion.Position());
    EXPECT_EQ(270, Div("Battery")->Ships[0]->Course());
    // Each force has its flag division.
    EXPECT_TRUE(bcs.FlagDivisionMark);
    ASSERT_NE(nullptr, bcs.FlagMarker);
    EXPECT_EQ(lion.Position(), bcs.FlagMarker->StoredPoint());
}

TEST_F(Loader, RolesAFlagshipMayNotTakeBecomeIndependent) {
    Level(engine::flVariable);
    Load(Header() + Division(0, "Battle fleet", 0, "Force=0", Ship(0, "Iron Duke", "Iron Duke")) +
         Division(1, "Scouting battleships", 0, "Force=0\nRole=3\nLeadDiv=Battle fleet",
                  Ship(0, "Benbow", "Iron Duke")) +
         Division(2, "Odd", 0, "Force=0\nRole=9", Ship(0, "Lion", "Lion")));
    EXPECT_EQ(combat::roleIndependent, Div("Scouting battleships")->Role);
    EXPECT_EQ(combat::roleIndependent, Div("Odd")->Role);
    Div("Odd")->Role = combat::roleScout;
    Div("Scouting battleships")->Role = combat::roleScout;
    messages.Clear();
    EXPECT_FALSE(scenario::CheckDivisionRoles(*world, true));
    EXPECT_THAT(messages.Texts(), ElementsAre("Division: Scouting battleships Role Scout is not "
                                              "allowed for a BB-division"));
}

TEST_F(Loader, BadInputGivesMessagesAndAPartialWorld) {
    Level(engine::flVariable);
    Load(Header() + Division(0, "Past the list", 0, "Force=7", Ship(0, "Lion", "Lion")) +
         Division(1, "Unknown class", 0, "Force=0",
                  Ship(0, "Dreadnought II", "No Such Class") + Ship(1, "Tiger", "Tiger")) +
         Division(2, "Lost position", 0, "Force=0",
                  Ship(0, "Iron Duke", "Iron Duke") +
                      Ship(1, "Benbow", "Iron Duke", "somewhere at sea")) +
         Division(3, "Illegal side", 2, "Force=0", Ship(0, "Seydlitz", "Seydlitz")) +
         Division(4, "Sneaky", 0, "Force=0", Ship(0, "Escape", "../../Data/Nations")));
    EXPECT_TRUE(messages.Contains("Error in LoadDivisionData procedure!\nDivision: Past the list\n"
                                  "(text), line "));
    EXPECT_TRUE(messages.Contains(
        "Force: force index 7 is not one of the 2 forces of the scenario"));
    EXPECT_TRUE(messages.Contains("Warning! Division: Past the list belongs to no force!"));
    EXPECT_TRUE(messages.Contains("Unable to create ship Dreadnought II Filename: "));
    EXPECT_TRUE(messages.Contains("Error reading position!\nsomewhere at sea\n"));
    EXPECT_TRUE(messages.Contains("Warning: Setting Divisional Flag Presenter. Illegal side 2"));
    EXPECT_TRUE(messages.Contains("Unable to create ship Escape"));
    EXPECT_THAT(DivisionNames(), ElementsAre("Past the list", "Unknown class", "Lost position",
                                             "Illegal side", "Sneaky"));
    EXPECT_THAT(ShipNames(*Div("Unknown class")), ElementsAre("Tiger"));
    // A ship whose position cannot be read stays with its division.
    const combat::TDivision& lost = *Div("Lost position");
    ASSERT_EQ(2u, lost.Ships.size());
    EXPECT_EQ(lost.Ships[0]->Position(), lost.Ships[1]->Position());
    EXPECT_TRUE(Div("Sneaky")->Ships.empty());
}

TEST_F(Loader, NothingAtAllIsRefusedAndLoadsNothing) {
    EXPECT_FALSE(scenario::LoadScenario(*world, scenario::TSectionReader::FromText("")));
    EXPECT_TRUE(world->Divisions.empty());
    EXPECT_TRUE(world->Forces.empty());
    EXPECT_TRUE(messages.Contains("(text): there is no [Environment] section"));
    EXPECT_TRUE(messages.Contains("(text): there is no [Side0] section"));
    EXPECT_TRUE(messages.Contains("(text): there is no [Side1] section"));
    messages.Clear();
    MakeWorld();
    EXPECT_FALSE(scenario::LoadScenario(*world, userDir.Path() / "Missing.nsc"));
    EXPECT_TRUE(messages.Contains("Missing.nsc does not exist!"));
    EXPECT_TRUE(world->Divisions.empty());
}

TEST_F(Loader, ObjectivesArePositionedRecordsOfTheirForces) {
    Load(Header() +
         "[Objectives]\n"
         "Objective0Side=0\nObjective0Number=2\nObjective0Goal=0\nObjective0ShipType=11\n"
         "Objective0Location=60000E 560000N\nObjective0Force=Grand Fleet\n"
         "Objective0PointValue=40\nObjective0EndGame=1\n"
         "Objective3Side=1\nObjective3Goal=1\nObjective3ShipType=13\n"
         "Objective3Location=70000E 540000N\nObjective3Force=Nobody\n"
         "Objective4Side=99\nObjective4Location=70000E 540000N\n");
    ASSERT_EQ(2u, world->Objectives.size());
    const engine::TObjectiveCondition& sink = *world->Objectives[0];
    EXPECT_EQ("Sink 2 capital ships (BB, BC, B)", sink.Description());
    EXPECT_EQ(world->Forces[0].get(), sink.Force);
    EXPECT_EQ(40, sink.PointValue);
    EXPECT_TRUE(sink.EndGame);
    EXPECT_TRUE(sink.VisibleToEnemy);
    EXPECT_EQ(map::TGeoPos(tw::Deg(6.0), tw::Deg(56.0), 0), sink.Marker->StoredPoint());
    EXPECT_EQ("ObjectiveLayer", sink.Marker->Layer()->Name());
    EXPECT_EQ(sink.Id.Value, sink.Marker->Ref().Id);
    EXPECT_EQ(nullptr, world->Objectives[1]->Force);
    EXPECT_THAT(messages.Texts(),
                ElementsAre("Warning! Objective has no force! Lose no ships (any ship)"));
    // Removing a force leaves no objective pointing at it.
    world->RemoveForce(world->Forces[0].get());
    EXPECT_EQ(nullptr, sink.Force);
}

TEST_F(Loader, MinefieldsSearchAreasAndSubmarinesAreRead) {
    Load(Header() + "[Minefields]\n"
                    "Minefield2Side=1\nMinefield2Density=30\n"
                    "Minefield2Point0LL=60000E 560000N\nMinefield2Point1LL=61000E 560000N\n"
                    "Minefield2Point2LL=61000E 561000N\nMinefield2Point4LL=60000E 561000N\n"
                    "[SearchAreas]\n"
                    "SearchArea0Side=0\nSearchArea0Category=3\nSearchArea0Title=Bight\n"
                    "SearchArea0Point0LL=70000E 540000N\nSearchArea0Point1LL=71000E 540000N\n"
                    "SearchArea0Point2LL=71000E 541000N\n"
                    "SearchArea1Side=1\nSearchArea1Category=1\nSearchArea1SpotChance=20\n"
                    "[Submarines]\n"
                    "Submarine0Side=1\nSubmarine0Name=U 32\nSubmarine0Location=10000W 563000N\n"
                    "Submarine0Availability=70\n");
    const map::TGlobeLayer* mines = world->Chart.FindLayer("MineLayer1");
    ASSERT_NE(nullptr, mines);
    ASSERT_EQ(1, mines->ObjectCount());
    ASSERT_EQ(1u, world->Minefields.size());
    const campaign::TMinefield* field = world->Minefields[0].get();
    EXPECT_EQ(field->Marker.get(), mines->Objects()[0]);
    EXPECT_EQ("Minefield2", field->Marker->Title());
    EXPECT_EQ(30, field->Density);
    EXPECT_EQ(3, field->Marker->Chain(0).Count()); // reading stops at the gap
    EXPECT_TRUE(field->Marker->Closed());
    EXPECT_NE(nullptr, world->Chart.FindLayer("MineLayer0"));

    const map::TGlobeLayer* bkz = world->Chart.FindLayer("BKZLayer");
    ASSERT_NE(nullptr, bkz);
    ASSERT_EQ(1, bkz->ObjectCount());
    EXPECT_EQ("Bight", bkz->Objects()[0]->Title());
    map::TGlobeLayer* search = world->Chart.FindLayer("SearchLayer");
    ASSERT_EQ(1, search->ObjectCount());
    ASSERT_EQ(2u, world->SearchAreas.size());
    EXPECT_EQ(20, world->SearchAreas[1]->SpotChance);
    EXPECT_EQ(world->SearchAreas[1]->Marker.get(), search->Objects()[0]);
    EXPECT_EQ(map::psClear, search->PresenterByID(search->Objects()[0]->PresenterID())->pen.style);

    ASSERT_EQ(1u, world->Submarines.size());
    const campaign::TSubmarine& u32 = *world->Submarines[0];
    EXPECT_EQ("U 32", u32.Name);
    EXPECT_EQ(70, u32.Availability);
    EXPECT_EQ(u32.Location, u32.OriginalLocation);
    EXPECT_EQ(-tw::Deg(1.0), u32.Location.lon);
}

TEST_F(Loader, MinefieldsAndSubmarinesTakeTheirRandomPlaces) {
    Load(Header() + "[Minefields]\n"
                    "Minefield0Side=0\nMinefield0Density=10\nMinefield0RandomDistance=5\n"
                    "Minefield0RandomAngle=90\n"
                    "Minefield0Point0LL=30000E 560000N\nMinefield0Point1LL=31000E 560000N\n"
                    "Minefield0Point2LL=31000E 561000N\n"
                    "[Submarines]\n"
                    "Submarine0Side=1\nSubmarine0Location=50500E 560500N\n" // on the island
                    "Submarine0RandomDistance=1\n"
                    "Submarine1Side=1\nSubmarine1Location=40000E 560000N\n"
                    "Submarine1RandomDistance=3\n");
    const map::TGlobeLayer* mines = world->Chart.FindLayer("MineLayer0");
    const map::TGeoPos corner = mines->Objects()[0]->Chain(0).Point(0);
    const double moved = map::RangeYards({tw::Deg(3.0), tw::Deg(56.0), 0}, corner);
    EXPECT_LT(moved, 5000.0);
    if (moved > 1.0) {
        const int bearing = map::BearingBetween({tw::Deg(3.0), tw::Deg(56.0), 0}, corner);
        EXPECT_TRUE(std::abs(bearing - 90) <= 1 || std::abs(bearing - 270) <= 1) << bearing;
    }
    // Three thousand yards from open water: never on land. One thousand yards from the
    // middle of the island: always on land, so the submarine stays.
    const campaign::TSubmarine& ashore = *world->Submarines[0];
    EXPECT_EQ(ashore.OriginalLocation, ashore.Location);
    EXPECT_TRUE(messages.Contains(
        "Warning! Cannot reposition submarine without putting it on land!\nSub: No name"));
    const campaign::TSubmarine& afloat = *world->Submarines[1];
    EXPECT_LT(map::RangeYards(afloat.OriginalLocation, afloat.Location), 3000.0);
    EXPECT_FALSE(world->Chart.IsOnLand(afloat.Location));
}

TEST_F(Loader, LayersAreArrangedForTheChart) {
    Load(Header() + Division(0, "1st BCS", 0, "Force=0", Ship(0, "Lion", "Lion")));
    std::vector<std::string> names;
    for (int i = 0; i < world->Chart.LayerCount(); ++i) {
        names.push_back(world->Chart.Layer(i).Name());
    }
    EXPECT_THAT(names, ElementsAre("SearchLayer", "MineLayer0", "Sea", "LocationLayer", "ShipLayer",
                                   "ObjectiveLayer"));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(Loader, DesignsAreFoundInAnyLetterCaseAndCustomFilesWin) {
    const core::TGameFolders& folders = world->Folders();
    EXPECT_EQ(folders.DesignsDir() / "Iron Duke.sdf",
              scenario::DesignFilePath(folders, "iron duke"));
    userDir.Write("Custom Files/Lion.sdf", tw::ReadWholeFile(folders.DesignsDir() / "Lion.sdf"));
    EXPECT_EQ(userDir.Path() / "Custom Files" / "Lion.sdf",
              scenario::DesignFilePath(folders, "Lion"));
    // A class name never leads outside the designs.
    EXPECT_EQ(folders.DesignsDir(),
              scenario::DesignFilePath(folders, "../Data/Nations").parent_path());
}

TEST_F(Loader, ShipsCarryTheirDesignsTorpedoesAndStyles) {
    ASSERT_TRUE(world->WeaponTables.Load(world->Folders().GameDir(), messages));
    world->Chart.FindOrCreateLayer("ShipLayer");
    const auto path = scenario::DesignFilePath(world->Folders(), "Iron Duke");
    const auto ship = scenario::CreateShipFromDesign(*world, path, "Marlborough");
    ASSERT_NE(nullptr, ship);
    EXPECT_EQ("Marlborough", ship->Name);
    EXPECT_EQ("Iron Duke", ship->Classname);
    const auto expected = world->WeaponTables.TorpedoDataFor(ship->TorpedoDesignation);
    EXPECT_EQ(expected.Name, ship->TorpedoData.Name);
    EXPECT_EQ(expected.FastRange, ship->TorpedoData.FastRange);
    map::TGlobeLayer* layer = world->Chart.FindLayer("ShipLayer");
    EXPECT_EQ(layer, ship->Marker->Layer());
    EXPECT_EQ("LargeShipPresenter0", layer->PresenterByID(ship->Marker->PresenterID())->Name);
    EXPECT_TRUE(messages.Shown().empty());
}

class CountingProgress : public scenario::ILoadProgress {
public:
    void Show(int maximum) override { shown = maximum; }
    void Step() override { ++steps; }
    void Hide() override { hidden = true; }
    int shown = -1;
    int steps = 0;
    bool hidden = false;
};

TEST_F(Loader, ProgressCountsTheShipsMade) {
    Level(engine::flVariable);
    CountingProgress progress;
    scenario::LoadScenario(
        *world,
        scenario::TSectionReader::FromText(
            Header("ShipCount=3") +
            Division(0, "1st BCS", 0, "Force=0",
                     Ship(0, "Lion", "Lion") + Ship(1, "Tiger", "Tiger")) +
            Division(1, "Gone", 0, "Force=0", Ship(0, "Nothing", "No Such Class"))),
        &progress);
    EXPECT_EQ(3, progress.shown);
    EXPECT_EQ(2, progress.steps);
    EXPECT_TRUE(progress.hidden);
}

} // namespace

namespace {

TEST_F(Loader, ShipsOfOneClassGetTheWholeDesignFromTheCache) {
    Level(engine::flVariable);
    Load(Header() +
         Division(0, "2nd BS", 0, "Force=0",
                  Ship(0, "King George V", "King George V") + Ship(1, "Ajax", "King George V") +
                      Ship(2, "Centurion", "King George V")));
    combat::TFightingShip fresh;
    ASSERT_TRUE(fresh.LoadDesign(scenario::DesignFilePath(world->Folders(), "King George V"),
                                 designs::kHighestNationIndex, messages));
    for (const combat::TFightingShip* ship : Div("2nd BS")->Ships) {
        SCOPED_TRACE(ship->Name);
        EXPECT_EQ("King George V", ship->Classname);
        EXPECT_EQ(fresh.Displacement, ship->Displacement);
        EXPECT_EQ(fresh.MaxFloatPoints, ship->MaxFloatPoints);
        EXPECT_EQ(fresh.CurrentFloatPoints, ship->CurrentFloatPoints);
        EXPECT_EQ(fresh.Turrets.size(), ship->Turrets.size());
        EXPECT_EQ(fresh.TorpedoMounts.size(), ship->TorpedoMounts.size());
        EXPECT_EQ(fresh.InitialSecondariesPort, ship->InitialSecondariesPort);
        EXPECT_EQ(fresh.Calibre, ship->Calibre);
    }
    EXPECT_EQ("Ajax", Div("2nd BS")->Ships[1]->Name);
}

} // namespace
