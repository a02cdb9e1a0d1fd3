#include "map/GeoDataObject.h"
#include "MapTestSupport.h"
#include "map/GlobeLayer.h"

#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

using namespace tarnwake::map;
using tarnwake::map::testing::AddArea;
using tarnwake::map::testing::Deg;
using tarnwake::map::testing::Ring;

TEST(GeoDataObject, ChainsAreCreatedOnDemandAndHeightsAreNotKept) {
    TGeoDataObject object;
    EXPECT_EQ(0, object.ChainCount());
    EXPECT_EQ(0, object.Chain(5).Count()) << "reading a chain beyond the count creates nothing";
    EXPECT_EQ(0, object.ChainCount());
    EXPECT_EQ(0, object.AddPoint(2, TGeoPos{10, 20, 99}));
    EXPECT_EQ(3, object.ChainCount()) << "chains 0 and 1 were created empty";
    EXPECT_EQ((TGeoPos{10, 20, 0}), object.Chain(2).Point(0));
    EXPECT_EQ(1, object.AddPoint(2, TGeoPos{30, 40, 0}));
    object.SetPoint(2, 0, TGeoPos{11, 21, 5});
    EXPECT_EQ((TGeoPos{11, 21, 0}), object.Chain(2).Point(0));
    object.DeletePoint(2, 0);
    EXPECT_EQ(1, object.Chain(2).Count());
    EXPECT_EQ((TGeoPos{30, 40, 0}), object.Chain(2).Point(0));
    EXPECT_THROW(object.SetPoint(2, 3, TGeoPos{}), std::out_of_range);
    EXPECT_THROW(object.DeletePoint(2, -1), std::out_of_range);
    EXPECT_THROW((void)object.Chain(2).Point(1), std::out_of_range);
}

TEST(GeoDataObject, CentreIsTheRoundedMeanOfChainMeans) {
    TGeoDataObject object;
    EXPECT_EQ(TGeoPos{}, object.Centre());
    object.SetStoredPoint(TGeoPos{7, 8, 0});
    EXPECT_EQ((TGeoPos{7, 8, 0}), object.Centre()) << "no chains: the stored point";
    object.SetChainPoints(0, {{0, 0, 0}, {3, 0, 0}}); // mean 1.5 -> 2 (half to even)
    object.SetChainPoints(1, {{10, 10, 0}, {11, 10, 0}, {13, 13, 0}}); // mean 11.33, 11
    // Chain means (2, 0) and (11, 11); their mean (6.5, 5.5) rounds to (6, 6).
    EXPECT_EQ((TGeoPos{6, 6, 0}), object.Centre());
    object.SetPoint(1, 2, TGeoPos{15, 13, 0}); // chain mean (12, 11): centre (7, 5.5) -> (7, 6)
    EXPECT_EQ((TGeoPos{7, 6, 0}), object.Centre()) << "the cache follows a changed point";
    EXPECT_EQ((TGeoPos{12, 11, 0}), object.ChainCentre(1));
}

TEST(GeoDataObject, BoundingRectangleFollowsThePoints) {
    TGeoDataObject object;
    object.SetChainPoints(0, {{10, 20, 0}, {40, -5, 0}, {25, 30, 0}});
    EXPECT_EQ((TGeoRect{10, -5, 30, 35}), object.BoundingRect());
    object.AddPoint(0, TGeoPos{0, 0, 0});
    EXPECT_EQ((TGeoRect{0, -5, 40, 35}), object.BoundingRect());
}

TEST(GeoDataObject, MoveToShiftsEveryPointByTheCentreOffset) {
    TGeoDataObject object;
    object.SetChainPoints(0, Ring({{1, 1}, {2, 1}, {2, 2}, {1, 2}}));
    object.SetChainPoints(1, Ring({{1.5, 0.5}}));
    const TGeoPos before = object.Centre();
    const TGeoPos target = Deg(10, 20);
    object.MoveTo(target);
    EXPECT_EQ(target, object.Centre());
    EXPECT_EQ(Deg(1, 1).lon + target.lon - before.lon, object.Chain(0).Point(0).lon);
    EXPECT_EQ(Deg(1.5, 0.5).lat + target.lat - before.lat, object.Chain(1).Point(0).lat);
    TGeoDataObject single;
    single.MoveTo(target);
    EXPECT_EQ(target, single.StoredPoint());
}

TEST(GeoDataObject, AnIslandAcrossTheAntimeridianIsOneArea) {
    TGeoDataObject island;
    island.SetClosed(true);
    island.SetChainPoints(0, Ring({{179.5, -1}, {-179.5, -1}, {-179.5, 1}, {179.5, 1}}));
    EXPECT_TRUE(island.ContainsPoint(Deg(179.9, 0)));
    EXPECT_TRUE(island.ContainsPoint(Deg(-179.9, 0)));
    EXPECT_FALSE(island.ContainsPoint(Deg(0, 0)));
    EXPECT_FALSE(island.ContainsPoint(Deg(179.0, 0)));
    const TGeoPos centre = island.Centre();
    EXPECT_TRUE(std::abs(centre.lon) > 970'000'000) << "the centre is on the island";
    EXPECT_EQ(5'400'000, island.BoundingRect().width);
    EXPECT_TRUE(island.HitBy(Deg(-179.9, 0), 0.0)) << "tried one circle further east";
}

TEST(GeoDataObject, AnAreaAcrossTheGreenwichMeridianContainsPointsOnBothSides) {
    // A minefield or an island across 0 degrees must still be one area.
    TGeoDataObject area;
    area.SetClosed(true);
    area.SetChainPoints(0, Ring({{-1, 50}, {1, 50}, {1, 51}, {-1, 51}}));
    EXPECT_TRUE(area.ContainsPoint(Deg(0.5, 50.5)));
    EXPECT_TRUE(area.ContainsPoint(Deg(-0.5, 50.5)));
    EXPECT_TRUE(area.ContainsPoint(Deg(0, 50.5)));
    EXPECT_FALSE(area.ContainsPoint(Deg(1.5, 50.5)));
}

TEST(GeoDataObject, HitTestNeedsTheBoxToHoldThePointStrictly) {
    TGeoDataObject square;
    square.SetClosed(true);
    square.SetChainPoints(0, {{0, 0, 0}, {100, 0, 0}, {100, 100, 0}, {0, 100, 0}});
    // The even-odd rule alone counts the southern and western edges as inside...
    EXPECT_TRUE(square.ContainsPoint(TGeoPos{50, 0, 0}));
    EXPECT_TRUE(square.ContainsPoint(TGeoPos{0, 50, 0}));
    // ...but the chart's pick wants the point strictly within the box first.
    EXPECT_FALSE(square.HitBy(TGeoPos{50, 0, 0}, 0.0));
    EXPECT_FALSE(square.HitBy(TGeoPos{0, 50, 0}, 0.0));
    EXPECT_TRUE(square.HitBy(TGeoPos{1, 1, 0}, 0.0));
    EXPECT_FALSE(square.HitBy(TGeoPos{100, 50, 0}, 0.0));
    square.SetHidden(true);
    EXPECT_FALSE(square.HitBy(TGeoPos{50, 50, 0}, 0.0)) << "hidden objects are never hit";
}

TEST(GeoDataObject, LinesAreHitWithinTheTolerance) {
    TGeoDataObject line;
    line.SetChainPoints(0, {{0, 0, 0}, {1'000, 0, 0}, {1'000, 1'000, 0}});
    EXPECT_TRUE(line.HitBy(TGeoPos{500, 3, 0}, 4.0));
    EXPECT_FALSE(line.HitBy(TGeoPos{500, 3, 0}, 3.0));
    EXPECT_TRUE(line.HitBy(TGeoPos{998, 500, 0}, 4.0)) << "the second segment";
    EXPECT_FALSE(line.HitBy(TGeoPos{500, 500, 0}, 4.0));
    EXPECT_FALSE(line.ContainsPoint(TGeoPos{500, 3, 0})) << "a line contains no area";
}

TEST(GlobeLayer, ObjectsJoinTheLayerAndLeaveItWhenDestroyed) {
    TGlobeLayer layer("ShipLayer");
    TGeoDataObject& owned = layer.Create();
    auto marker = std::make_unique<TGeoDataObject>(&layer); // owned by a game object
    EXPECT_EQ(2, layer.ObjectCount());
    EXPECT_EQ(&layer, marker->Layer());
    EXPECT_EQ(marker.get(), layer.Objects()[1]);
    marker.reset();
    ASSERT_EQ(1, layer.ObjectCount());
    EXPECT_EQ(&owned, layer.Objects()[0]);
    layer.DestroyObject(&owned);
    EXPECT_EQ(0, layer.ObjectCount());
}

namespace {

// A chart object of another subsystem: a game object's marker with fields of its own.
class TTestReport : public TGeoDataObject {
public:
    TTestReport(TGlobeLayer* layer, int side) : TGeoDataObject(layer), side_(side) {}
    int Side() const { return side_; }

private:
    int side_;
};

// A game object that owns its marker, as a ship owns its outline.
struct TTestShip {
    explicit TTestShip(TGlobeLayer& layer) : outline(&layer) {}
    TGeoDataObject outline;
};

} // namespace

TEST(GlobeLayer, HoldsObjectsOfDerivedClassesOwnedEitherWay) {
    TGlobeLayer layer("ShipLayer");
    TTestReport& report = layer.Create<TTestReport>(1);
    EXPECT_EQ(1, report.Side());
    {
        TTestShip ship(layer);
        ship.outline.AddPoint(0, TGeoPos{1, 1, 0});
        ASSERT_EQ(2, layer.ObjectCount());
        EXPECT_EQ(&ship.outline, layer.Objects()[1]);
    }
    ASSERT_EQ(1, layer.ObjectCount()) << "the ship took its outline with it";
    EXPECT_EQ(&report, layer.Objects()[0]);
    layer.DestroyObject(&report);
    EXPECT_EQ(0, layer.ObjectCount());
}

TEST(GlobeLayer, ALayerDestroyedFirstLetsGoOfObjectsItDoesNotOwn) {
    auto layer = std::make_unique<TGlobeLayer>("ShipLayer");
    TGeoDataObject marker(layer.get());
    layer->Create();
    layer.reset();
    EXPECT_EQ(nullptr, marker.Layer());
    marker.AddPoint(0, TGeoPos{1, 2, 0}); // still usable, on no layer
    EXPECT_EQ(1, marker.Chain(0).Count());
}

TEST(GlobeLayer, ObjectAtPointTriesTheLastObjectFirst) {
    TGlobeLayer layer("Areas");
    TGeoDataObject& lower = AddArea(layer, Ring({{0, 0}, {2, 0}, {2, 2}, {0, 2}}));
    TGeoDataObject& upper = AddArea(layer, Ring({{1, 1}, {3, 1}, {3, 3}, {1, 3}}));
    EXPECT_EQ(&upper, layer.ObjectAtPoint(Deg(1.5, 1.5), 0.0));
    EXPECT_EQ(&lower, layer.ObjectAtPoint(Deg(0.5, 0.5), 0.0));
    EXPECT_EQ(nullptr, layer.ObjectAtPoint(Deg(5, 5), 0.0));
    upper.SetHidden(true);
    EXPECT_EQ(&lower, layer.ObjectAtPoint(Deg(1.5, 1.5), 0.0));
}

TEST(GlobeLayer, PresentersAreNumberedAndMadeOncePerName) {
    TGlobeLayer layer("ShipLayer");
    int made = 0;
    const auto make = [&made] {
        ++made;
        return TGlobePresenter{};
    };
    const int first = layer.FindOrAddPresenter("RedFlagPresenter", make);
    const int again = layer.FindOrAddPresenter("RedFlagPresenter", make);
    const int other = layer.FindOrAddPresenter("BlueFlagPresenter", make);
    EXPECT_EQ(first, again);
    EXPECT_NE(first, other);
    EXPECT_EQ(2, made);
    EXPECT_EQ("BlueFlagPresenter", layer.PresenterByID(other)->Name);
    TGlobePresenter clash;
    clash.PresenterID = first;
    EXPECT_NE(first, layer.AddPresenter(clash)) << "a number already taken is not reused";
}
