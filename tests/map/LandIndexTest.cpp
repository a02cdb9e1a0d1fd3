#include "map/LandIndex.h"
#include "MapTestSupport.h"
#include "core/Random.h"
#include "map/LayerFile.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

using namespace tarnwake::map;
using tarnwake::core::TRandomGenerator;
using tarnwake::map::testing::AddArea;
using tarnwake::map::testing::Deg;
using tarnwake::map::testing::Ring;

namespace {

// The plain answer the index must reproduce: the chart's pick with no tolerance.
bool PlainHit(const TGlobeLayer& layer, const TGeoPos& p) {
    return layer.ObjectAtPoint(p, 0.0) != nullptr;
}

// The same answer for many points of a large layer: the objects whose boxes cannot hold the
// point are passed over here, before the pick (which would pass them over too) is asked.
class TPlainHits {
public:
    explicit TPlainHits(const TGlobeLayer& layer) {
        for (const TGeoDataObject* object : layer.Objects()) {
            objects_.push_back({object->BoundingRect(), object});
        }
    }
    bool operator()(const TGeoPos& p) const {
        for (const auto& [rect, object] : objects_) {
            const bool mayHold =
                rect.Empty() || rect.StrictlyContains(p.lon, p.lat) ||
                rect.StrictlyContains(std::int64_t{p.lon} + kGlobeUnitsPerCircle, p.lat);
            if (mayHold && object->HitBy(p, 0.0)) {
                return true;
            }
        }
        return false;
    }

private:
    std::vector<std::pair<TGeoRect, const TGeoDataObject*>> objects_;
};

std::int32_t Between(TRandomGenerator& random, std::int64_t low, std::int64_t high) {
    return static_cast<std::int32_t>(
        low +
        static_cast<std::int64_t>(random.RandomFloat() * static_cast<double>(high - low + 1)));
}

// Points where the two tests could part: random ones, every vertex and its neighbours, the
// middles of edges, and the corners and edges of every grid cell.
std::vector<TGeoPos> ProbePoints(const TGlobeLayer& layer, const TLandIndex& index,
                                 TRandomGenerator& random, int randomCount,
                                 std::size_t vertexStride) {
    std::vector<TGeoPos> probes;
    std::int64_t minX = 0, maxX = 0, minY = 0, maxY = 0;
    bool any = false;
    for (const TGeoDataObject* object : layer.Objects()) {
        const TGeoRect& r = object->BoundingRect();
        if (!any) {
            minX = r.left, maxX = r.Right(), minY = r.bottom, maxY = r.Top();
            any = true;
        }
        minX = std::min(minX, r.left);
        maxX = std::max(maxX, r.Right());
        minY = std::min(minY, r.bottom);
        maxY = std::max(maxY, r.Top());
        for (int c = 0; c < object->ChainCount(); ++c) {
            const auto points = object->Chain(c).Points();
            for (std::size_t i = 0; i < points.size(); i += vertexStride) {
                const TGeoPos& p = points[i];
                for (int dx = -1; dx <= 1; ++dx) {
                    for (int dy = -1; dy <= 1; ++dy) {
                        probes.push_back(
                            TGeoPos{WrapLongitude(std::int64_t{p.lon} + dx), p.lat + dy, 0});
                    }
                }
                const TGeoPos& q = points[(i + 1) % points.size()];
                probes.push_back(
                    TGeoPos{static_cast<std::int32_t>((std::int64_t{p.lon} + q.lon) / 2),
                            static_cast<std::int32_t>((std::int64_t{p.lat} + q.lat) / 2), 0});
            }
        }
    }
    const std::int64_t marginX = (maxX - minX) / 10 + 2;
    const std::int64_t marginY = (maxY - minY) / 10 + 2;
    for (int i = 0; i < randomCount; ++i) {
        probes.push_back(TGeoPos{WrapLongitude(Between(random, minX - marginX, maxX + marginX)),
                                 Between(random, minY - marginY, maxY + marginY), 0});
    }
    const TLandIndex::TStats stats = index.Stats();
    if (stats.columns > 0 && stats.columns * stats.rows <= 40'000) {
        for (int r = 0; r <= stats.rows; ++r) {
            for (int c = 0; c <= stats.columns; ++c) {
                const std::int64_t x = stats.x0 + c * stats.cellWidth;
                const std::int64_t y = stats.y0 + r * stats.cellHeight;
                for (const std::int64_t dx : {-1, 0, 1}) {
                    for (const std::int64_t dy : {-1, 0, 1}) {
                        probes.push_back(
                            TGeoPos{WrapLongitude(x + dx), static_cast<std::int32_t>(y + dy), 0});
                    }
                }
            }
        }
    }
    return probes;
}

void ExpectIndexMatches(const TGlobeLayer& layer, const TLandIndex& index, TRandomGenerator& random,
                        int randomCount, std::size_t vertexStride = 1) {
    const auto probes = ProbePoints(layer, index, random, randomCount, vertexStride);
    const TPlainHits plainHits(layer);
    std::size_t differences = 0;
    std::size_t land = 0;
    for (const TGeoPos& p : probes) {
        const bool plain = plainHits(p);
        land += plain ? 1 : 0;
        if (index.Contains(p) != plain && ++differences <= 5) {
            ADD_FAILURE() << "index and plain test differ at " << p.lon << ", " << p.lat
                          << " (plain: " << plain << ", grid " << index.Stats().columns << " x "
                          << index.Stats().rows << ")";
        }
    }
    EXPECT_EQ(0u, differences) << "of " << probes.size() << " probes";
    EXPECT_GT(land, 0u) << "the probes should reach some land";
    EXPECT_LT(land, probes.size()) << "and some sea";
}

void ExpectIndexMatchesPlainTest(const TGlobeLayer& layer, TRandomGenerator& random,
                                 int randomCount, double cellsPerEdge,
                                 std::size_t vertexStride = 1) {
    const auto index = TLandIndex::Build(layer.Objects(), cellsPerEdge);
    ExpectIndexMatches(layer, *index, random, randomCount, vertexStride);
}

// A random polygon: points scattered in a box and joined in the order drawn, so its edges
// cross each other; vertices snapped to a coarse lattice so that many share latitudes,
// longitudes and lines with each other and with the grid.
std::vector<TGeoPos> ScrambledRing(TRandomGenerator& random, int points, std::int32_t x0,
                                   std::int32_t y0, std::int32_t size, std::int32_t lattice) {
    std::vector<TGeoPos> ring;
    for (int i = 0; i < points; ++i) {
        ring.push_back(TGeoPos{x0 + Between(random, 0, size / lattice) * lattice,
                               y0 + Between(random, 0, size / lattice) * lattice, 0});
    }
    return ring;
}

} // namespace

TEST(LandIndex, MatchesThePlainTestOnAwkwardShapes) {
    TRandomGenerator random(1916);
    TGlobeLayer layer("Awkward");
    // Self-crossing outlines on a lattice, overlapping each other.
    for (int i = 0; i < 12; ++i) {
        AddArea(layer, ScrambledRing(random, 5 + i * 3, i * 30'000, (i % 3) * 40'000, 200'000,
                                     i % 2 == 0 ? 10'000 : 1));
    }
    // Level and upright edges, repeated points, an out-and-back spike, a sliver.
    AddArea(layer, {{0, -100'000, 0},
                    {100'000, -100'000, 0},
                    {100'000, -100'000, 0},
                    {100'000, -50'000, 0},
                    {150'000, -50'000, 0},
                    {100'000, -50'000, 0},
                    {100'000, -20'000, 0},
                    {0, -20'000, 0}});
    AddArea(layer, {{200'000, -100'000, 0}, {200'001, -100'000, 0}, {200'001, 300'000, 0}});
    // Two outlines in one object: an island with a lake is land in the lake too (either
    // chain holding the point is enough).
    TGeoDataObject& lake = AddArea(
        layer, {{400'000, 0, 0}, {500'000, 0, 0}, {500'000, 100'000, 0}, {400'000, 100'000, 0}});
    lake.SetChainPoints(1, {{420'000, 20'000, 0}, {480'000, 20'000, 0}, {480'000, 80'000, 0}});
    // A line and a hidden area count for nothing.
    TGeoDataObject& line = layer.Create();
    line.SetChainPoints(0, {{0, 0, 0}, {500'000, 300'000, 0}});
    AddArea(layer, {{-50'000, 0, 0}, {0, 0, 0}, {0, 50'000, 0}}).SetHidden(true);

    for (const double cellsPerEdge : {0.05, 1.0, 6.0, 40.0}) {
        ExpectIndexMatchesPlainTest(layer, random, 20'000, cellsPerEdge);
    }
}

TEST(LandIndex, MatchesThePlainTestWhereOutlinesRunAlongCellEdges) {
    // A 10 x 10 grid of 100-unit cells over 0..999, and outlines whose corners sit on the
    // cell edges, one unit either side of them, or mid-cell: edges end exactly on the top
    // and bottom lines of cells, boxes coincide with cells.
    constexpr int kCells = 10;
    constexpr std::int32_t kCell = 100;
    TRandomGenerator random(1918);
    TGlobeLayer layer("Aligned");
    AddArea(layer, {{0, 0, 0}, {999, 0, 0}, {999, 1, 0}, {0, 1, 0}}); // fixes the grid's extent
    AddArea(layer, {{0, 998, 0}, {999, 998, 0}, {999, 999, 0}, {0, 999, 0}});
    AddArea(layer, {{200, 200, 0}, {500, 200, 0}, {500, 600, 0}, {200, 600, 0}});
    AddArea(layer, {{600, 300, 0}, {800, 300, 0}, {800, 500, 0}});
    const auto snapped = [&] {
        const std::int32_t offsets[] = {-1, 0, 1, kCell / 2};
        return Between(random, 1, kCells - 1) * kCell + offsets[Between(random, 0, 3)];
    };
    for (int i = 0; i < 20; ++i) {
        std::vector<TGeoPos> ring;
        for (int k = 0; k < 4 + i % 5; ++k) {
            ring.push_back(TGeoPos{snapped(), snapped(), 0});
        }
        AddArea(layer, std::move(ring));
    }
    const auto index = TLandIndex::BuildWithGrid(layer.Objects(), kCells, kCells);
    ASSERT_EQ(kCell, index->Stats().cellWidth);
    ASSERT_EQ(kCell, index->Stats().cellHeight);
    ExpectIndexMatches(layer, *index, random, 20'000);
    // Every unit along the lines and columns next to cell edges (and through cell middles).
    const auto nearCellEdge = [](std::int32_t v) {
        const std::int32_t m = ((v % kCell) + kCell) % kCell;
        return m <= 2 || m >= kCell - 2 || m == kCell / 2;
    };
    std::size_t differences = 0;
    for (std::int32_t y = -1; y <= 1'000; ++y) {
        for (std::int32_t x = -1; x <= 1'000; ++x) {
            if (!nearCellEdge(x) && !nearCellEdge(y)) {
                continue;
            }
            const TGeoPos p{x, y, 0};
            differences += index->Contains(p) != PlainHit(layer, p) ? 1 : 0;
        }
    }
    EXPECT_EQ(0u, differences);
}

TEST(LandIndex, MatchesThePlainTestAcrossTheAntimeridianAndAroundThePole) {
    TRandomGenerator random(1805);
    TGlobeLayer layer("Pacific");
    AddArea(layer, Ring({{179, -1}, {-179, -1.5}, {-178, 0}, {-179.5, 1}, {179.5, 0.5}}));
    AddArea(layer, Ring({{178, 5}, {179.9, 5}, {179.9, 6}, {178, 6}}));
    AddArea(layer, Ring({{-179.9, 5}, {-178, 5}, {-178, 6}, {-179.9, 6}}));
    // An outline round the pole: its longitudes never come back to where they started.
    AddArea(layer, Ring({{0, 80}, {90, 81}, {180, 80}, {-90, 81}}));
    const auto index = TLandIndex::Build(layer.Objects());
    EXPECT_EQ(1u, index->Stats().slowChains);
    EXPECT_TRUE(index->Contains(Deg(179.9, 0)));
    EXPECT_TRUE(index->Contains(Deg(-179.9, 0)));
    for (const double cellsPerEdge : {1.0, 6.0}) {
        ExpectIndexMatchesPlainTest(layer, random, 20'000, cellsPerEdge);
    }
}

TEST(LandIndex, AnEmptyLayerHasNoLand) {
    TGlobeLayer layer("Empty");
    const auto index = TLandIndex::Build(layer.Objects());
    EXPECT_FALSE(index->Contains(Deg(0, 0)));
    EXPECT_EQ(0, index->Stats().columns);
}

TEST(LandIndex, MatchesThePlainTestOnTheNorthSea) {
    const auto loaded =
        LoadLayerFile(tarnwake::testing::ShippedGameDir() / "Scenarios" / "NorthSea.lyr");
    ASSERT_TRUE(loaded.layer) << loaded.error;
    TRandomGenerator random(1916);
    // Every tenth vertex (with its neighbours) keeps the time in bounds in the sanitizer
    // build; the shapes above cover the rest.
    ExpectIndexMatchesPlainTest(*loaded.layer, random, 10'000, TLandIndex::kDefaultCellsPerEdge,
                                10);
}
