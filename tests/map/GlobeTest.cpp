#include "map/Globe.h"
#include "MapTestSupport.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "map/GamePresenters.h"
#include "map/Geometry.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tarnwake::map;
using tarnwake::core::THeadlessMessages;
using tarnwake::core::TRandomGenerator;
using tarnwake::core::TScriptedRandom;
using tarnwake::map::testing::AddArea;
using tarnwake::map::testing::Deg;
using tarnwake::map::testing::Ring;

namespace {

std::vector<std::string> LayerNames(const TGlobe& globe) {
    std::vector<std::string> names;
    for (int i = 0; i < globe.LayerCount(); ++i) {
        names.push_back(globe.Layer(i).Name());
    }
    return names;
}

} // namespace

TEST(Globe, FindOrCreateLayerNeverAnswersNothing) {
    TGlobe globe;
    EXPECT_EQ(nullptr, globe.FindLayer("SmokeLayer"));
    TGlobeLayer& smoke = globe.FindOrCreateLayer("SmokeLayer");
    EXPECT_EQ(&smoke, &globe.FindOrCreateLayer("SmokeLayer"));
    EXPECT_EQ(&smoke, globe.FindLayer("smokelayer")) << "names are matched without regard to case";
    EXPECT_EQ(1, globe.LayerCount());
    EXPECT_EQ(0, smoke.Index());
    EXPECT_TRUE(smoke.Visible);
    EXPECT_TRUE(smoke.Enabled);
    EXPECT_FALSE(smoke.Animated);
    EXPECT_TRUE(smoke.ShowTitles);
    EXPECT_EQ(0, smoke.ZoomMin);
    EXPECT_EQ(TGlobeUnitTypes::NauticalMile, smoke.ZoomUnits);
}

TEST(Globe, ArrangeLayersPutsTheGameLayersInDrawingOrder) {
    TGlobe globe;
    for (const char* name : {"Extra", "ShipLayer", "SearchLayer", "Coast", "MineLayer1", "NorthSea",
                             "LocationLayer", "MineLayer0", "MineLayer"}) {
        globe.FindOrCreateLayer(name);
    }
    globe.SetLandLayer(1, "NorthSea");
    globe.SetLandLayer(2, "Coast");
    THeadlessMessages messages(nullptr);
    globe.ArrangeLayers(false, messages);
    EXPECT_TRUE(messages.Shown().empty());
    const std::vector<std::string> expected = {"Coast",      "SearchLayer", "MineLayer1",
                                               "MineLayer0", "NorthSea",    "LocationLayer",
                                               "ShipLayer",  "Extra",       "MineLayer"};
    EXPECT_EQ(expected, LayerNames(globe));

    globe.ArrangeLayers(true, messages);
    EXPECT_EQ("Coast", globe.Layer(0).Name());
    EXPECT_EQ("SearchLayer", globe.Layer(1).Name());
    EXPECT_EQ("MineLayer", globe.Layer(2).Name());
}

TEST(Globe, ArrangeLayersReportsWhatIsMissingAndGoesOn) {
    TGlobe globe;
    THeadlessMessages empty(nullptr);
    globe.ArrangeLayers(false, empty);
    EXPECT_EQ(std::vector<std::string>{"No layers to arrange!"}, empty.Texts());

    globe.FindOrCreateLayer("Other");
    globe.FindOrCreateLayer("MineLayer0");
    globe.SetLandLayer(1, "Baltic");
    THeadlessMessages messages(nullptr);
    globe.ArrangeLayers(false, messages);
    const std::vector<std::string> expected = {"Cannot find ShipLayer", "Cannot find LocationLayer",
                                               "Cannot find land layer 1 Baltic",
                                               "Cannot find SearchLayer"};
    EXPECT_EQ(expected, messages.Texts());
    EXPECT_EQ("MineLayer0", globe.Layer(0).Name());
}

TEST(Globe, WithoutLandLayerOneNothingIsLandAndTheFlagIsSet) {
    TGlobe globe;
    globe.FindOrCreateLayer("ShipLayer");
    EXPECT_FALSE(globe.SetLandLayer(1, "NorthSea"));
    EXPECT_FALSE(globe.NoLandFlag());
    EXPECT_FALSE(globe.IsOnLand(Deg(9, 56)));
    EXPECT_TRUE(globe.NoLandFlag());
    globe.ClearNoLandFlag();
    EXPECT_FALSE(globe.IsOnLandOrCoast(Deg(9, 56)));
    EXPECT_TRUE(globe.NoLandFlag());
    EXPECT_FALSE(globe.IsBlocked(Deg(9, 56), nullptr));

    THeadlessMessages messages(nullptr);
    EXPECT_TRUE(globe.ReportNoLandLayer(messages));
    const std::vector<std::string> expected = {"Warning! No land layer found!", "ShipLayer"};
    EXPECT_EQ(expected, messages.Texts());
    EXPECT_FALSE(globe.NoLandFlag());
    EXPECT_FALSE(globe.ReportNoLandLayer(messages)) << "shown once per setting of the flag";
}

TEST(Globe, ALackOfLandSaidAtLoadingIsNotReportedAgainUntilTheLayersAreCleared) {
    TGlobe globe;
    globe.FindOrCreateLayer("ShipLayer");
    globe.FindOrCreateLayer("LocationLayer");
    globe.FindOrCreateLayer("SearchLayer");
    globe.SetLandLayer(1, "NorthSea");
    globe.AcceptNoLand();
    EXPECT_FALSE(globe.IsOnLand(Deg(9, 56)));
    EXPECT_FALSE(globe.IsOnLandOrCoast(Deg(9, 56)));
    EXPECT_FALSE(globe.NoLandFlag());
    THeadlessMessages messages(nullptr);
    globe.ArrangeLayers(false, messages);
    EXPECT_TRUE(messages.Texts().empty()) << messages.Texts().front();

    // The next chart's lack of land is news again.
    globe.ClearLayers();
    EXPECT_FALSE(globe.IsOnLand(Deg(9, 56)));
    EXPECT_TRUE(globe.NoLandFlag());
}

TEST(Globe, LandAndCoastLayers) {
    TGlobe globe;
    AddArea(globe.FindOrCreateLayer("Land"), Ring({{0, 0}, {1, 0}, {1, 1}, {0, 1}}));
    AddArea(globe.FindOrCreateLayer("Shoals"), Ring({{1, 0}, {1.2, 0}, {1.2, 1}, {1, 1}}));
    ASSERT_TRUE(globe.SetLandLayer(1, "Land"));
    const TGeoPos onLand = Deg(0.5, 0.5);
    const TGeoPos onShoal = Deg(1.1, 0.5);
    const TGeoPos atSea = Deg(2, 0.5);
    EXPECT_TRUE(globe.IsOnLand(onLand));
    EXPECT_FALSE(globe.IsOnLandOrCoast(onShoal)) << "no land layer 2 yet";
    ASSERT_TRUE(globe.SetLandLayer(2, "Shoals"));
    EXPECT_FALSE(globe.IsOnLand(onShoal));
    EXPECT_TRUE(globe.IsOnLandOrCoast(onShoal));
    EXPECT_TRUE(globe.IsBlocked(onShoal, nullptr));
    EXPECT_FALSE(globe.IsBlocked(onShoal, nullptr, TLandRule::LandOnly));
    EXPECT_FALSE(globe.IsBlocked(atSea, nullptr));
    EXPECT_FALSE(globe.NoLandFlag());

    int asked = 0;
    globe.SetMinefieldTest([&](const TGeoPos& p, const tarnwake::combat::TFightingShip* ship) {
        ++asked;
        EXPECT_EQ(nullptr, ship);
        return p == atSea;
    });
    EXPECT_TRUE(globe.IsBlocked(atSea, nullptr));
    EXPECT_EQ(1, asked);

    // Removing a layer clears the land layer that pointed at it.
    globe.RemoveLayer(globe.FindLayer("Land"));
    EXPECT_EQ(nullptr, globe.LandLayer(1));
    EXPECT_FALSE(globe.IsOnLand(onLand));
    EXPECT_TRUE(globe.NoLandFlag());
}

TEST(Globe, LandTestFollowsChangesToTheLayer) {
    TGlobe globe;
    TGlobeLayer& land = globe.FindOrCreateLayer("Land");
    globe.SetLandLayer(1, &land);
    EXPECT_FALSE(globe.IsOnLand(Deg(0.5, 0.5)));
    TGeoDataObject& island = AddArea(land, Ring({{0, 0}, {1, 0}, {1, 1}, {0, 1}}));
    EXPECT_TRUE(globe.IsOnLand(Deg(0.5, 0.5))) << "a new object is indexed";
    island.MoveTo(Deg(10.5, 10.5));
    EXPECT_FALSE(globe.IsOnLand(Deg(0.5, 0.5)));
    EXPECT_TRUE(globe.IsOnLand(Deg(10.5, 10.5))) << "a moved object is indexed where it went";
    island.SetHidden(true);
    EXPECT_FALSE(globe.IsOnLand(Deg(10.5, 10.5)));
}

TEST(Globe, PickToleranceIsTwoPixelsAtTheCurrentScale) {
    TGlobe globe;
    EXPECT_EQ(0.0, globe.PickTolerance()) << "no view yet";
    globe.SetScale(1.0 / 4'500.0); // 4,500 globe units a pixel
    EXPECT_EQ(9'000.0, globe.PickTolerance());
    globe.SetScale(0.8); // 2 / 0.8 = 2.5, rounded half to even
    EXPECT_EQ(2.0, globe.PickTolerance());
}

TEST(Globe, RandomPointNearDrawsCourseThenDistance) {
    const TGeoPos p = Deg(3, 56);
    TScriptedRandom random({90, 500});
    const TGeoPos q = RandomPointNear(p, 2'000, 1'000, random);
    EXPECT_EQ(2, random.DrawCount());
    EXPECT_EQ(90, BearingBetween(p, q));
    EXPECT_NEAR(1'500.0, RangeYards(p, q), 1.0);
    // The distance never passes the maximum, even when the minimum is larger.
    TScriptedRandom again({0, 0});
    EXPECT_NEAR(800.0, RangeYards(p, RandomPointNear(p, 800, 1'000, again)), 1.0);
}

TEST(Globe, RandomFreePointNearGivesUpOnTheStartAfter1001BlockedDraws) {
    TGlobe globe;
    globe.FindOrCreateLayer("Land");
    globe.SetLandLayer(1, "Land");
    const TGeoPos start = Deg(3, 56);
    std::vector<double> ranges;
    globe.SetMinefieldTest([&](const TGeoPos& p, const tarnwake::combat::TFightingShip*) {
        ranges.push_back(RangeYards(start, p));
        return true; // every draw is blocked
    });
    // Courses 0; distances as far as each draw may go (the script clamps to n - 1).
    auto random = TScriptedRandom::Repeating({0, 1'000'000'000});
    EXPECT_EQ(start, RandomFreePointNear(globe, start, 1'000, 100, nullptr, random));
    ASSERT_EQ(1001u, ranges.size());
    EXPECT_NEAR(999.0, ranges[0], 1.0);
    EXPECT_NEAR(999.0, ranges[399], 1.0);
    EXPECT_NEAR(1'999.0, ranges[400], 1.0) << "twice as far after the 400th failure";
    EXPECT_NEAR(4'999.0, ranges[600], 1.0);
    EXPECT_NEAR(9'999.0, ranges[800], 1.0);
    EXPECT_NEAR(19'999.0, ranges[900], 1.0);
    EXPECT_NEAR(19'999.0, ranges[1000], 1.0);
}

TEST(Globe, RandomFreePointNearAvoidsLand) {
    TGlobe globe;
    AddArea(globe.FindOrCreateLayer("Land"),
            Ring({{2.9, 55.9}, {3.1, 55.9}, {3.1, 56.1}, {2.9, 56.1}}));
    globe.SetLandLayer(1, "Land");
    TRandomGenerator random(42);
    const TGeoPos start = Deg(3, 56);
    for (int i = 0; i < 50; ++i) {
        const TGeoPos q = RandomFreePointNear(globe, start, 20'000, 0, nullptr, random);
        EXPECT_FALSE(globe.IsOnLand(q));
        EXPECT_NE(start, q);
    }
}

TEST(GamePresenters, ShipPresentersBySizeAndColour) {
    TGlobe globe;
    THeadlessMessages messages(nullptr);
    EXPECT_FALSE(ShipPresenter(globe, 0, 1, 255, false, messages).has_value());
    EXPECT_EQ(std::vector<std::string>{"Error finding ship layer!"}, messages.Texts());
    TGlobeLayer& ships = globe.FindOrCreateLayer("ShipLayer");
    const auto large = ShipPresenter(globe, 0, 1, 255, false, messages);
    const auto cruiser = ShipPresenter(globe, 4, 1, 255, false, messages);
    const auto destroyer = ShipPresenter(globe, 6, 1, 255, false, messages);
    const auto destroyerColoured = ShipPresenter(globe, 7, 2, 16711680, true, messages);
    ASSERT_TRUE(large && cruiser && destroyer && destroyerColoured);
    EXPECT_EQ("LargeShipPresenter1", ships.PresenterByID(*large)->Name);
    EXPECT_EQ("MediumShipPresenter1", ships.PresenterByID(*cruiser)->Name);
    EXPECT_EQ("SmallShipPresenter1", ships.PresenterByID(*destroyer)->Name);
    EXPECT_EQ(255, ships.PresenterByID(*large)->brush.colour);
    EXPECT_EQ(kGreyColour, ships.PresenterByID(*destroyer)->brush.colour);
    EXPECT_EQ(16711680, ships.PresenterByID(*destroyerColoured)->brush.colour);
    EXPECT_EQ(400, ships.PresenterByID(*large)->titleFont.size);
    EXPECT_EQ(200, ships.PresenterByID(*destroyer)->titleFont.size);
    EXPECT_EQ(*large, ShipPresenter(globe, 2, 1, 99, false, messages)) << "made once per name";
    EXPECT_EQ(4u, ships.Presenters().size());
}

TEST(GamePresenters, FlagsTracksReportsAndLocations) {
    TGlobe globe;
    TGlobeLayer& ships = globe.FindOrCreateLayer("ShipLayer");
    THeadlessMessages messages(nullptr);
    EXPECT_EQ("GreenFlagPresenter", ships.PresenterByID(*FlagPresenter(globe, 3, messages))->Name);
    EXPECT_FALSE(FlagPresenter(globe, 2, messages).has_value());
    EXPECT_EQ(
        std::vector<std::string>{"Warning: Setting Divisional Flag Presenter. Illegal side 2"},
        messages.Texts());
    const TGlobePresenter* track = ships.PresenterByID(*TrackPresenter(globe, 1, 4, messages));
    EXPECT_EQ("TrackPresenterBlue2", track->Name);
    EXPECT_EQ(2, track->pen.width);
    EXPECT_EQ("TrackPresenterRed3",
              ships.PresenterByID(*TrackPresenter(globe, 0, 1, messages))->Name);
    EXPECT_EQ("TrackPresenterRed1",
              ships.PresenterByID(*TrackPresenter(globe, 0, 6, messages))->Name);
    const TGlobePresenter* report = ships.PresenterByID(*ReportPresenter(globe, 0, messages));
    EXPECT_EQ("RedReportPresenter", report->Name);
    EXPECT_EQ(80, report->symbolIndex);

    messages.Clear();
    EXPECT_FALSE(LocationPresenter(globe, 2, true, false, messages).has_value());
    EXPECT_EQ(std::vector<std::string>{"Error finding location layer!"}, messages.Texts());
    TGlobeLayer& locations = globe.FindOrCreateLayer("LocationLayer");
    const TGlobePresenter* medium =
        locations.PresenterByID(*LocationPresenter(globe, 2, true, false, messages));
    EXPECT_EQ("Medium Right", medium->Name);
    EXPECT_EQ(3000, medium->pointSize);
    EXPECT_EQ(taRight, medium->titleAlignment);
    const TGlobePresenter* odd =
        locations.PresenterByID(*LocationPresenter(globe, 9, false, false, messages));
    EXPECT_EQ("Small Left", odd->Name);
    EXPECT_EQ(150, odd->pointSize) << "an unknown class is named Small but drawn at label size";

    TGlobeLayer& mines = globe.FindOrCreateLayer("MineLayer1");
    const TGlobePresenter* own = mines.PresenterByID(MinefieldPresenter(mines, 1, true));
    EXPECT_EQ("MinePresenter1OwnMinefields", own->Name);
    EXPECT_EQ(16711680, own->brush.colour);
    EXPECT_EQ(bsFDiagonal, own->brush.style);
    EXPECT_EQ(255, mines.PresenterByID(MinefieldPresenter(mines, 1, false))->brush.colour);
}
