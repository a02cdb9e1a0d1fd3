#include "map/CoastlineBuilder.h"
#include "MapTestSupport.h"
#include "map/GlobeLayer.h"

#include <gtest/gtest.h>

#include <sstream>

using namespace tarnwake::map;
using tarnwake::map::testing::Deg;
using tarnwake::map::testing::Ring;

namespace {

const TCoastBox kBox{0, 10, 0, 10};

} // namespace

// Pieces as GMT gives them, land on the left of each, in no particular order:
//  - a coast across the box from the west edge (0, 8) to the south edge (8, 0), cut in two
//    at a tile edge; the land is to its north-east;
//  - a bay cut into that land from the east edge, (10, 4) round (8.5, 5) to (10, 6);
//  - a headland from beyond the west edge, (0, 5) round (1, 6) back to (0, 7);
//  - at sea: an island cut in two at a tile edge, a closed island with an out-and-back
//    spike, and a rock too small to keep.
TEST(CoastlineBuilder, JoinsPiecesAndClosesThemAlongTheBox) {
    const std::vector<TCoastPiece> pieces = {
        Ring({{4, 4}, {6, 2}, {8, 0}}),
        Ring({{10, 4}, {8.5, 5}, {10, 6}}),
        Ring({{2, 2}, {1, 2}, {1, 1}}), // island, second half
        Ring({{0, 8}, {3, 5}, {4, 4}}),
        Ring({{0, 5}, {1, 6}, {0, 7}}),
        Ring({{1, 1}, {2, 1}, {2, 2}}), // island, first half
        Ring({{3, 1}, {4, 1}, {4.5, 0.5}, {4, 1}, {4, 2}, {3, 2}, {3, 1}}),
        Ring({{1, 4}, {1.001, 4}, {1.001, 4.001}, {1, 4}}),
    };
    TGlobeLayer layer("Coast");
    const TCoastReport report = BuildCoastline(pieces, kBox, TCoastOptions{}, layer);
    EXPECT_EQ(4u, report.polygons) << "the mainland, the headland and two islands";
    EXPECT_EQ(1u, report.islandsDropped);
    EXPECT_EQ(2u, report.spikePointsDropped) << "the spike's tip and its return point";
    EXPECT_EQ(0u, report.danglingEnds);
    ASSERT_EQ(4, layer.ObjectCount());
    for (const TGeoDataObject* object : layer.Objects()) {
        EXPECT_TRUE(object->Closed());
    }
    struct TProbe {
        double lon;
        double lat;
        bool land;
        const char* where;
    };
    const TProbe probes[] = {
        {9.5, 1, true, "south-east corner, behind the coast"},
        {9.5, 9.5, true, "north-east corner"},
        {0.5, 9.5, true, "north-west corner"},
        {5, 4, true, "just behind the coast"},
        {3, 4.5, false, "just off the coast"},
        {0.5, 0.5, false, "south-west corner, at sea"},
        {9.5, 5, false, "inside the bay"},
        {9.5, 3.5, true, "south of the bay"},
        {9.5, 6.5, true, "north of the bay"},
        {0.3, 6, true, "on the headland"},
        {0.3, 4.5, false, "south of the headland"},
        {1.5, 1.5, true, "on the island joined from two pieces"},
        {3.5, 1.5, true, "on the island that had a spike"},
        {4.4, 0.65, false, "where the spike was"},
        {1.0005, 4.0002, false, "on the rock left out"},
    };
    for (const TProbe& probe : probes) {
        EXPECT_EQ(probe.land, layer.HitsArea(Deg(probe.lon, probe.lat))) << probe.where;
    }
}

TEST(CoastlineBuilder, ALineEndingInsideTheBoxIsReportedAndClosedOnItself) {
    TGlobeLayer layer("Coast");
    const TCoastReport report =
        BuildCoastline({Ring({{0, 5}, {5, 5}, {5, 6}})}, kBox, TCoastOptions{}, layer);
    EXPECT_EQ(1u, report.danglingEnds);
    ASSERT_EQ(1u, report.problems.size());
    EXPECT_EQ(1, layer.ObjectCount());
}

TEST(CoastlineBuilder, ReadsGmtSegmentDumps) {
    std::istringstream dump("# made by gmt coast\n"
                            "> Shore Bin # 2522, Level 1\n"
                            "6\t61.1263904784\n"
                            "5.98663309682\t61.1279163806\n"
                            "> Shore Bin # 2523, Level 1\n"
                            "> Shore Bin # 2524, Level 1\n"
                            "-4 58.5\n\n");
    std::vector<TCoastPiece> pieces;
    std::string error;
    ASSERT_TRUE(ReadGmtSegments(dump, pieces, error)) << error;
    ASSERT_EQ(2u, pieces.size()) << "empty pieces are dropped";
    EXPECT_EQ(Deg(6, 61.1263904784), pieces[0][0]);
    EXPECT_EQ(Deg(-4, 58.5), pieces[1][0]);

    std::istringstream bad("> x\n1 2\n3 north\n");
    pieces.clear();
    EXPECT_FALSE(ReadGmtSegments(bad, pieces, error));
    EXPECT_NE(std::string::npos, error.find("line 3")) << error;
}

TEST(CoastlineBuilder, AreaOfAnOutline) {
    // One degree square at the equator: about 111.32 km on a side.
    EXPECT_NEAR(111.32 * 111.32, OutlineAreaKm2(Ring({{0, -0.5}, {1, -0.5}, {1, 0.5}, {0, 0.5}})),
                1.0);
    // At 60 degrees north a degree of longitude is half as long.
    EXPECT_NEAR(111.32 * 111.32 / 2,
                OutlineAreaKm2(Ring({{0, 59.5}, {1, 59.5}, {1, 60.5}, {0, 60.5}})), 20.0);
}
