// The land test is the game's most frequent question: every ship tests the water ahead of
// it every sub-step, and the computer tries many courses for each decision. Targets on the
// North Sea layer: at least 2 million tests a second on points spread over the chart, and
// loading plus indexing the layer in under 100 ms.

#include "core/Random.h"
#include "map/Globe.h"
#include "map/LandIndex.h"
#include "map/LayerFile.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <stdexcept>
#include <vector>

namespace {

using namespace tarnwake;

const std::filesystem::path kNorthSea =
    std::filesystem::path(TARNWAKE_SOURCE_DIR) / "data" / "Scenarios" / "NorthSea.lyr";

std::unique_ptr<map::TGlobeLayer> LoadNorthSea() {
    map::TLayerFileResult loaded = map::LoadLayerFile(kNorthSea);
    if (!loaded.layer) {
        throw std::runtime_error(loaded.error);
    }
    return std::move(loaded.layer);
}

// Points spread evenly over the layer's box (-4..13 E, 50..62 N): open sea, land and coast.
std::vector<map::TGeoPos> SpreadPoints(std::size_t count) {
    core::TRandomGenerator random(1916);
    std::vector<map::TGeoPos> points;
    points.reserve(count);
    for (std::size_t i = 0; i < count; ++i) {
        const double lon = -4.0 + 17.0 * random.RandomFloat();
        const double lat = 50.0 + 12.0 * random.RandomFloat();
        points.push_back(map::TGeoPos{static_cast<std::int32_t>(lon * map::kGlobeUnitsPerDegree),
                                      static_cast<std::int32_t>(lat * map::kGlobeUnitsPerDegree),
                                      0});
    }
    return points;
}

// Points within about a kilometre of the coast: the cells with edges, the slow case.
std::vector<map::TGeoPos> CoastPoints(const map::TGlobeLayer& layer, std::size_t count) {
    core::TRandomGenerator random(1805);
    std::vector<map::TGeoPos> vertices;
    for (const map::TGeoDataObject* object : layer.Objects()) {
        const auto chain = object->Chain(0).Points();
        vertices.insert(vertices.end(), chain.begin(), chain.end());
    }
    std::vector<map::TGeoPos> points;
    points.reserve(count);
    constexpr int kJitter = 54'000; // 0.01 degree
    for (std::size_t i = 0; i < count; ++i) {
        map::TGeoPos p =
            vertices[static_cast<std::size_t>(random.Random(static_cast<int>(vertices.size())))];
        p.lon += random.Random(2 * kJitter) - kJitter;
        p.lat += random.Random(2 * kJitter) - kJitter;
        points.push_back(p);
    }
    return points;
}

void LoadAndIndex(benchmark::State& state) {
    for (auto _ : state) {
        auto layer = LoadNorthSea();
        layer->BuildAreaIndex();
        benchmark::DoNotOptimize(layer->AreaIndex());
    }
    const auto layer = LoadNorthSea();
    layer->BuildAreaIndex();
    const auto stats = layer->AreaIndex()->Stats();
    state.counters["objects"] = layer->ObjectCount();
    state.counters["columns"] = stats.columns;
    state.counters["rows"] = stats.rows;
    state.counters["mixed_cells"] = static_cast<double>(stats.mixedCells);
    state.counters["edge_refs"] = static_cast<double>(stats.edgeRefs);
}
BENCHMARK(LoadAndIndex)->Unit(benchmark::kMillisecond);

void LandTest(benchmark::State& state, bool nearCoast) {
    map::TGlobe globe;
    map::TGlobeLayer& land = globe.AddLayer(LoadNorthSea());
    globe.SetLandLayer(1, &land);
    land.BuildAreaIndex();
    const auto points = nearCoast ? CoastPoints(land, 1 << 20) : SpreadPoints(1 << 20);
    std::size_t i = 0;
    std::size_t onLand = 0;
    for (auto _ : state) {
        onLand += globe.IsOnLand(points[i]) ? 1 : 0;
        i = (i + 1) & (points.size() - 1);
    }
    benchmark::DoNotOptimize(onLand);
    state.SetItemsProcessed(state.iterations());
    state.counters["land_share"] =
        static_cast<double>(onLand) /
        static_cast<double>(std::max<std::int64_t>(1, state.iterations()));
}
BENCHMARK_CAPTURE(LandTest, SpreadOverTheChart, false);
BENCHMARK_CAPTURE(LandTest, NearTheCoast, true);

// The same questions answered without the index, for comparison.
void PlainLandTest(benchmark::State& state) {
    const auto layer = LoadNorthSea();
    const auto points = SpreadPoints(1 << 16);
    std::size_t i = 0;
    std::size_t onLand = 0;
    for (auto _ : state) {
        onLand += layer->ObjectAtPoint(points[i], 0.0) != nullptr ? 1 : 0;
        i = (i + 1) & (points.size() - 1);
    }
    benchmark::DoNotOptimize(onLand);
    state.SetItemsProcessed(state.iterations());
}
BENCHMARK(PlainLandTest);

} // namespace
