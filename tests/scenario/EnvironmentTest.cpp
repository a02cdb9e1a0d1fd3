#include "scenario/Environment.h"

#include "map/Globe.h"
#include "map/Location.h"
#include "scenario/ScenarioFixture.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <set>

using namespace tarnwake;
using tarnwake::testing::ScenarioFixture;
namespace tw = tarnwake::testing;

namespace {

class Environment : public ScenarioFixture {};

TEST_F(Environment, VariationIsHeldWithinOneEitherWay) {
    for (const auto& [text, held] : std::vector<std::pair<std::string, int>>{
             {"Variation=5", 1}, {"Variation=-3", -1}, {"Variation=0", 0}, {"", 0}}) {
        MakeWorld();
        Load(Header(text));
        EXPECT_EQ(held, world->Environment.Variation) << text;
    }
}

TEST_F(Environment, SightingDistancesAreThousandsOfYardsAndTheirMeanIsHalved) {
    Load(Header("DaySightingDistance=20\nNightSightingDistance=5"));
    const engine::TEnvironmentState& env = world->Environment;
    EXPECT_EQ(20000, env.DaySightingDistance);
    EXPECT_EQ(5000, env.NightSightingDistance);
    EXPECT_EQ(20000, env.DayRange);
    EXPECT_EQ(5000, env.NightRange);
    EXPECT_EQ(12500, env.MeanRange());
    MakeWorld();
    Load(Header());
    EXPECT_EQ(22000, world->Environment.DayRange);
    EXPECT_EQ(10000, world->Environment.NightRange);
    EXPECT_EQ(16000, world->Environment.MeanRange());
}

TEST_F(Environment, DateWeatherAndLengthSetTheClock) {
    Load(Header("Precipitation=6\nLength=300\nSeaState=4\nHour=15\nMinute=48"));
    EXPECT_EQ("1916-05-31 15:48", world->ClockText());
    EXPECT_EQ(6, world->Environment.Weather);
    EXPECT_EQ(4, world->Environment.WindForce);
    EXPECT_EQ(300, world->Length);
    EXPECT_EQ(world->Preferences.Colours.Rain, world->Chart.SeaColour);
}

TEST_F(Environment, AnImpossibleDateOrLengthIsRefusedAndNothingLoads) {
    // A month of 13 once started the game on 30 December 1899, and a year of 14 (no Year
    // key) on 1 November 0014 with a clock that ran backwards.
    struct TCase {
        const char* keys;
        const char* message;
    };
    for (const TCase& c :
         {TCase{"Month=13", "the start 1916-13-31 14:0 ([Environment] Year, Month, Day, Hour, "
                            "Minute) is not a date"},
          TCase{"Year=1889", "(text), line 2, [Environment] Year=1889: the start year must lie in "
                             "1890..1930"},
          TCase{"Year=1931", "Year=1931: the start year must lie in 1890..1930"},
          TCase{"Length=0", "(text), line 2, [Environment] Length=0: a battle lasts at least one "
                            "minute"},
          TCase{"Length=-30", "Length=-30: a battle lasts"}}) {
        MakeWorld();
        messages.Clear();
        EXPECT_FALSE(
            scenario::LoadScenario(*world, scenario::TSectionReader::FromText(Header(c.keys))));
        EXPECT_TRUE(messages.Contains(c.message))
            << c.keys << ": " << ::testing::PrintToString(messages.Texts());
        EXPECT_TRUE(messages.Contains("cannot be played: the game does not start")) << c.keys;
        EXPECT_TRUE(world->Forces.empty()) << c.keys;
    }
    // The first year and the last still start.
    for (const char* keys : {"Year=1890", "Year=1930"}) {
        MakeWorld();
        messages.Clear();
        EXPECT_TRUE(
            scenario::LoadScenario(*world, scenario::TSectionReader::FromText(Header(keys))))
            << keys << ": " << ::testing::PrintToString(messages.Texts());
    }
}

TEST_F(Environment, LocationSizeGivesClassAndLabelSide) {
    Load(Header() + "[Locations]\n"
                    "Location3Size=21\nLocation3Location=30000E 560000N\nLocation3Name=Right\n"
                    "Location4Size=20\nLocation4Location=30000E 570000N\nLocation4Name=Left\n"
                    "Location5Size=99\nLocation5Location=30000E 580000N\nLocation5Name=None\n"
                    "Location9Size=60\nLocation9Location=30000E 590000N\nLocation9Name=Big\n"
                    "Location9LabelOnly=1\n");
    map::TGlobeLayer* layer = world->Chart.FindLayer("LocationLayer");
    ASSERT_NE(nullptr, layer);
    ASSERT_EQ(3, layer->ObjectCount());
    const auto presenterName = [&](int i) {
        return layer->PresenterByID(layer->Objects()[static_cast<std::size_t>(i)]->PresenterID())
            ->Name;
    };
    EXPECT_EQ("Right", layer->Objects()[0]->Title());
    EXPECT_EQ("Medium Right", presenterName(0));
    EXPECT_EQ("Medium Left", presenterName(1));
    EXPECT_EQ("EELarge Left", presenterName(2));
    EXPECT_EQ(map::ppNone, layer->FindPresenter("EELarge Left")->pointType);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(Environment, AnAbsentEntryPointIsThePlaceItself) {
    Load(Header() + "[Locations]\n"
                    "Location0Size=10\nLocation0Location=30000E 560000N\nLocation0Name=Port\n"
                    "Location1Size=10\nLocation1Location=30000E 570000N\nLocation1Name=Other\n"
                    "Location1EntryPoint=31000E 570000N\n");
    map::TGlobeLayer* layer = world->Chart.FindLayer("LocationLayer");
    ASSERT_EQ(2, layer->ObjectCount());
    const auto* port = dynamic_cast<map::TLocation*>(layer->Objects()[0]);
    const auto* other = dynamic_cast<map::TLocation*>(layer->Objects()[1]);
    ASSERT_NE(nullptr, port);
    EXPECT_EQ(port->StoredPoint(), port->EntryPoint);
    EXPECT_EQ(map::TGeoPos(tw::Deg(3.0), tw::Deg(56.0), 0), port->EntryPoint);
    EXPECT_EQ(map::TGeoPos(tw::Deg(3.0 + 10.0 / 60), tw::Deg(57.0), 0), other->EntryPoint);
}

// The environment file loads "Sea.lyr"; scenarios name it with or without the ending.
TEST_F(Environment, LandLayerIsFoundWithOrWithoutItsEnding) {
    for (const char* name : {"Sea", "Sea.lyr", "SEA"}) {
        MakeWorld();
        messages.Clear();
        Load(Header("", std::string("EnvironmentFile=Sea\nLandLayer1=") + name + "\n"));
        ASSERT_NE(nullptr, world->Chart.LandLayer(1)) << name;
        EXPECT_EQ("Sea", world->Chart.LandLayer(1)->Name()) << name;
        EXPECT_TRUE(world->Chart.IsOnLand({tw::Deg(5.1), tw::Deg(56.1), 0}));
        EXPECT_FALSE(world->Chart.IsOnLand({tw::Deg(4.9), tw::Deg(56.1), 0}));
        EXPECT_TRUE(messages.Shown().empty()) << name;
    }
}

TEST_F(Environment, WorldServesWhenTheNamedLayerIsMissing) {
    WriteSeaArea("World.lyr", "Globe.env");
    Load(Header("", "EnvironmentFile=Globe\nLandLayer1=Nowhere\n"));
    ASSERT_NE(nullptr, world->Chart.LandLayer(1));
    EXPECT_EQ("World", world->Chart.LandLayer(1)->Name());
    EXPECT_FALSE(messages.Contains("Land layer 1 not found"));

    WriteSeaArea("LandLayer1.lyr", "Old.env");
    MakeWorld();
    Load(Header("", "EnvironmentFile=Old\nLandLayer1=Nowhere\n"));
    ASSERT_NE(nullptr, world->Chart.LandLayer(1));
    EXPECT_EQ("World", world->Chart.LandLayer(1)->Name());
}

TEST_F(Environment, AMissingLandLayerOrEnvironmentFileIsReportedOnceAndNothingIsLand) {
    Load(Header("LandLayer2=Shoals\nLandLayer3=Deep"));
    EXPECT_TRUE(messages.Contains(
        "Land layer 2 not found! (text), line 2, [Environment] LandLayer2=Shoals (the chart's "
        "layers: Sea)"))
        << ::testing::PrintToString(messages.Texts());
    EXPECT_TRUE(messages.Contains("[Environment] LandLayer3=Deep (the chart's layers: Sea)"));

    MakeWorld();
    messages.Clear();
    Load(Header("", "EnvironmentFile=Atlantis\nLandLayer1=Atlantis\n"));
    EXPECT_TRUE(messages.Contains("Cannot find Environment file: "));
    EXPECT_TRUE(messages.Contains("Atlantis.env"));
    EXPECT_TRUE(messages.Contains("Warning! Land layer 1 not found! (text), line 4, "
                                  "[Environment] LandLayer1=Atlantis: the chart has no such "
                                  "layer (its layers: none). Nothing is land"))
        << ::testing::PrintToString(messages.Texts());
    EXPECT_FALSE(world->Chart.IsOnLand({tw::Deg(5.1), tw::Deg(56.1), 0}));

    // Not named: the message says so, with no placeholder for a name, and the layers the
    // modder could name. The minute does not say it again, nor the arranging of the layers.
    MakeWorld();
    messages.Clear();
    Load(Header("", "EnvironmentFile=Sea\n"));
    EXPECT_THAT(messages.Texts(),
                ::testing::ElementsAre(
                    "Warning! Land layer 1 not found! (text), [Environment] LandLayer1 is not "
                    "given and the chart has no layer World (its layers: Sea). Nothing is land: "
                    "ships sail through the coasts"));
    EXPECT_FALSE(world->Chart.IsOnLand({tw::Deg(5.1), tw::Deg(56.1), 0}));
    EXPECT_FALSE(world->Chart.NoLandFlag());
}

TEST_F(Environment, AnEnvironmentNameCannotLeaveTheGameFolders) {
    userDir.Write("secret.env", "[Layers]\nLayer1=Sea.lyr\n");
    Load(Header("", "EnvironmentFile=../../secret\nLandLayer1=Sea\n"));
    EXPECT_TRUE(messages.Contains("Cannot find Environment file: "));
}

TEST_F(Environment, TheShippedNorthSeaChartLoads) {
    Load(Header("", "EnvironmentFile=NorthSea\nLandLayer1=NorthSea\n"));
    EXPECT_TRUE(messages.Shown().empty());
    ASSERT_NE(nullptr, world->Chart.LandLayer(1));
    // Jutland is land; the Dogger Bank is not.
    EXPECT_TRUE(world->Chart.IsOnLand({tw::Deg(9.0), tw::Deg(56.0), 0}));
    EXPECT_FALSE(world->Chart.IsOnLand({tw::Deg(2.0), tw::Deg(54.8), 0}));
}

TEST_F(Environment, LandIsPaintedInThePreferencesColour) {
    world->Preferences.Colours.Land = 0x00123456;
    Load(Header());
    const map::TGlobeLayer* land = world->Chart.LandLayer(1);
    ASSERT_NE(nullptr, land);
    const map::TGlobePresenter* style = land->FindPresenter("");
    ASSERT_NE(nullptr, style);
    EXPECT_EQ(0x00123456, style->brush.colour);
    EXPECT_EQ(style->PresenterID, land->Objects()[0]->PresenterID());
    scenario::SetLandColour(world->Chart, 0x00654321);
    EXPECT_EQ(0x00654321, land->FindPresenter("")->brush.colour);
    EXPECT_EQ(1u, land->Presenters().size());
}

TEST_F(Environment, SidesAndForcesAreRead) {
    Load(Header() + "[Side1]\n" // a second section of a name is never read
                    "Name=Nobody\n"
                    "[Force4]\nName=Scouting Forces\nSide=1\nObjective=60000E 560000N\n"
                    "Mission=3\nAIControl=1\nMainForce=High Seas Fleet\nHomeDistance=25\n");
    EXPECT_EQ("Germany", world->Sides[1].Name);
    EXPECT_EQ(50, world->Sides[1].AlternatePointChance);
    ASSERT_EQ(3u, world->Forces.size());
    const combat::TForce& scouts = *world->Forces[2];
    EXPECT_EQ("Scouting Forces", scouts.Name);
    EXPECT_EQ(3, scouts.Mission);
    EXPECT_TRUE(scouts.AIControl);
    EXPECT_EQ(25, scouts.HomeDistance);
    EXPECT_EQ(world->Forces[1].get(), scouts.MainForce);
}

TEST_F(Environment, ASideReadsOnlyTheWaypointSetsItsForcesDefine) {
    const std::string forces = "[Force2]\nName=A\nSide=0\nObjective=40000E 560000N\n"
                               "WS0Waypoint0LL=40000E 570000N\nWS0Waypoint1LL=40000E 580000N\n"
                               "WS1Waypoint0LL=30000E 570000N\n"
                               "[Force3]\nName=B\nSide=0\nObjective=40000E 560000N\n"
                               "WS0Waypoint0LL=41000E 570000N\nWS1Waypoint0LL=31000E 570000N\n"
                               "WS1Waypoint1LL=31000E 580000N\nWS1Waypoint3LL=31000E 590000N\n"
                               "[Force4]\nName=C\nSide=1\nObjective=40000E 560000N\n"
                               "WS3Waypoint0LL=50000E 570000N\n";
    std::set<std::size_t> routesOfA;
    for (int seed = 1; seed <= 12; ++seed) {
        random = std::make_unique<core::TRandomGenerator>(static_cast<std::uint64_t>(seed));
        MakeWorld();
        Load(Header() + forces);
        const combat::TForce& a = *world->Forces[2];
        const combat::TForce& b = *world->Forces[3];
        const combat::TForce& c = *world->Forces[4];
        routesOfA.insert(a.Waypoints.size());
        // Both forces of side 0 read the same set: set 0 gives A two points and B one, set 1
        // A one and B two (the gap after point 1 ends the route).
        EXPECT_EQ(3u, a.Waypoints.size() + b.Waypoints.size());
        EXPECT_NE(a.Waypoints.size(), b.Waypoints.size());
        // Side 1 defines set 3 only and always reads it; its forces without sets keep none.
        ASSERT_EQ(1u, c.Waypoints.size());
        EXPECT_TRUE(world->Forces[1]->Waypoints.empty());
        EXPECT_TRUE(world->Forces[0]->Waypoints.empty());
    }
    EXPECT_EQ((std::set<std::size_t>{1, 2}), routesOfA);
}

TEST_F(Environment, WeatherAndCompassWords) {
    EXPECT_EQ("Fog", scenario::WeatherText(0));
    EXPECT_EQ("Partly cloudy", scenario::WeatherText(3));
    EXPECT_EQ("Heavy rain", scenario::WeatherText(7));
    EXPECT_EQ("", scenario::WeatherText(8));
    for (const auto& [bearing, word] : std::vector<std::pair<int, std::string>>{{0, "N"},
                                                                                {11, "N"},
                                                                                {12, "NNE"},
                                                                                {45, "NE"},
                                                                                {90, "E"},
                                                                                {191, "S"},
                                                                                {192, "SSW"},
                                                                                {348, "NNW"},
                                                                                {349, "N"},
                                                                                {359, "N"},
                                                                                {360, "N"}}) {
        EXPECT_EQ(word, scenario::CompassText(bearing)) << bearing;
    }
}

} // namespace
