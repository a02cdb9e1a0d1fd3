// The chart must stay smooth while the clock runs: one full repaint of the North Sea at full
// extent with 250 ships should take well under a frame (16 ms), and so should one of Jutland's
// fleet action with its fire lines, splashes, fires and torpedo tracks.
//
// Set TARNWAKE_CHART_PNG=/some/prefix to also write the pictures painted here
// (prefix-full.png, prefix-zoomed.png, prefix-jutland.png) for a look at them.

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Folders.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "designs/NationsTable.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"
#include "map/LayerFile.h"
#include "scenario/GameStart.h"
#include "ui/ChartView.h"
#include "ui/ClosingOpponent.h"

#include <QApplication>
#include <QImage>
#include <QPainter>
#include <array>
#include <benchmark/benchmark.h>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <string>

namespace {

using namespace tarnwake;

constexpr int kShips = 250;
constexpr int kDivisions = 40;
constexpr QSize kPicture(1280, 800);

QApplication& App() {
    static int argc = 1;
    static char name[] = "bench_chart_paint";
    static char* argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) {
        qputenv("QT_QPA_PLATFORM", "offscreen");
    }
    static QApplication app(argc, argv);
    return app;
}

// A British and a German fleet of every kind of ship, by division: the design and the
// number of ships (ten divisions of seven, thirty of six: 250 ships in 40 divisions).
struct TDivisionPlan {
    const char* design;
    int side;
};
constexpr std::array<TDivisionPlan, 20> kPlans = {{
    {"Iron Duke", 0}, {"Lion", 0},       {"Orion", 0},   {"Queen Elizabeth", 0},
    {"Arethusa", 0},  {"Chatham", 0},    {"Acasta", 0},  {"Admiralty M", 0},
    {"Minotaur", 0},  {"Invincible", 0}, {"Koenig", 1},  {"Derfflinger", 1},
    {"Helgoland", 1}, {"Kaiser", 1},     {"Kolberg", 1}, {"Graudenz", 1},
    {"V25", 1},       {"S90", 1},        {"Roon", 1},    {"Moltke", 1},
}};

class TBenchChart {
public:
    TBenchChart()
        : world_(messages_, sound_,
                 core::TGameFolders(std::filesystem::path(TARNWAKE_SOURCE_DIR) / "data",
                                    std::filesystem::temp_directory_path())) {
        const auto scenarios = world_.Folders().ScenariosDir();
        auto loaded = map::LoadLayerFile(scenarios / "NorthSea.lyr");
        if (!loaded.layer) {
            throw std::runtime_error(loaded.error);
        }
        map::TGlobeLayer& coast = world_.Chart.AddLayer(std::move(loaded.layer));
        world_.Chart.SetLandLayer(1, &coast);
        map::TGlobeLayer& shipLayer = world_.Chart.FindOrCreateLayer("ShipLayer");
        PlaceFleets(shipLayer);

        ui::TChartColours colours;
        colours.Nation[0] = 0x00C8D8E0; // a light buff for the British
        colours.Nation[1] = 0x00A0A0A0; // German grey
        view_.SetColours(colours);
        view_.resize(kPicture);
        view_.SetWorld(&world_);
        view_.ShowWholeChart();
    }

    ui::TChartView& View() { return view_; }
    engine::TGameWorld& World() { return world_; }

    // Paints into the same picture each time, as a window repaints its backing store.
    const QImage& Paint() {
        QPainter painter(&image_);
        view_.PaintChart(painter, kPicture);
        return image_;
    }

private:
    void PlaceFleets(map::TGlobeLayer& shipLayer) {
        const auto designsDir = world_.Folders().DesignsDir();
        int made = 0;
        for (int d = 0; d < kDivisions; ++d) {
            const TDivisionPlan& plan = kPlans[static_cast<std::size_t>(d) % kPlans.size()];
            const int count = d < 10 ? 7 : 6;
            auto& division = world_.AddDivision(std::make_unique<combat::TDivision>(
                std::string(plan.design) + " division " + std::to_string(d + 1), plan.side));
            const map::TGeoPos lead = SeaPoint();
            const int course = random_.Random(360);
            for (int k = 0; k < count && made < kShips; ++k, ++made) {
                auto ship = std::make_unique<combat::TFightingShip>();
                const auto file = designsDir / (std::string(plan.design) + ".sdf");
                if (!ship->LoadDesign(file, designs::kHighestNationIndex, messages_)) {
                    throw std::runtime_error("cannot load design " + file.string());
                }
                ship->Name = std::string(plan.design) + " " + std::to_string(k + 1);
                ship->Side = plan.side;
                ship->SetCourse(course);
                ship->CurrentSpeed = 18;
                ship->PlaceOnLayer(&shipLayer);
                // Line ahead, 600 yards apart.
                ship->SetPosition(map::MovePoint(lead, (course + 180) % 360, 600.0 * k));
                ship->Marker->SetTitle(ship->Name);
                division.Ships.push_back(&world_.AddShip(std::move(ship)));
            }
        }
    }

    // A random place at sea in the middle of the chart.
    map::TGeoPos SeaPoint() {
        constexpr std::int32_t kDegree = 5'400'000;
        for (;;) {
            const map::TGeoPos p{-2 * kDegree + random_.Random(13 * kDegree),
                                 52 * kDegree + random_.Random(9 * kDegree), 0};
            if (!world_.Chart.IsOnLandOrCoast(p)) {
                return p;
            }
        }
    }

    // The application comes before any widget.
    QApplication& app_ = App();
    core::THeadlessMessages messages_{nullptr};
    core::TSilentSound sound_;
    core::TRandomGenerator random_{1916};
    engine::TGameWorld world_;
    ui::TChartView view_;
    QImage image_{kPicture, QImage::Format_ARGB32_Premultiplied};
};

TBenchChart& Chart() {
    static TBenchChart chart;
    return chart;
}

void SavePicture(const QImage& image, const char* suffix) {
    const char* prefix = std::getenv("TARNWAKE_CHART_PNG");
    if (prefix != nullptr && *prefix != '\0') {
        image.save(QString("%1-%2.png").arg(prefix, suffix), "PNG");
    }
}

// The repaint while the clock runs: the view stays put, the ships move.
void BM_RepaintFullExtent(benchmark::State& state) {
    TBenchChart& chart = Chart();
    chart.View().ShowWholeChart();
    SavePicture(chart.Paint(), "full");
    for (auto _ : state) {
        benchmark::DoNotOptimize(chart.Paint().constBits());
    }
}
BENCHMARK(BM_RepaintFullExtent)->Unit(benchmark::kMillisecond);

// The repaint after the player turned or zoomed the chart: the coast is projected again.
void BM_RepaintAfterViewChange(benchmark::State& state) {
    TBenchChart& chart = Chart();
    chart.View().ShowWholeChart();
    const map::TGeoPos centre = chart.View().Centre();
    int step = 0;
    for (auto _ : state) {
        chart.View().SetCentre(map::TGeoPos{centre.lon + (++step % 2) * 1000, centre.lat, 0});
        benchmark::DoNotOptimize(chart.Paint().constBits());
    }
}
BENCHMARK(BM_RepaintAfterViewChange)->Unit(benchmark::kMillisecond);

// A battle's view: sixty miles across, many divisions in sight with their names.
void BM_RepaintBattleArea(benchmark::State& state) {
    TBenchChart& chart = Chart();
    const combat::TDivision& division = *chart.World().Divisions.front();
    chart.View().SetCentre(division.Ships[0]->Position());
    chart.View().SetAltitude(60.0 * 90'000.0);
    SavePicture(chart.Paint(), "battle");
    for (auto _ : state) {
        benchmark::DoNotOptimize(chart.Paint().constBits());
    }
}
BENCHMARK(BM_RepaintBattleArea)->Unit(benchmark::kMillisecond);

// Close in on one division: the ships drawn in detail, titles and wakes.
void BM_RepaintZoomedOnDivision(benchmark::State& state) {
    TBenchChart& chart = Chart();
    const combat::TDivision& division = *chart.World().Divisions.front();
    chart.View().SetCentre(division.Ships[2]->Position());
    chart.View().SetAltitude(0.8 * 90'000.0); // under a mile across
    SavePicture(chart.Paint(), "zoomed");
    for (auto _ : state) {
        benchmark::DoNotOptimize(chart.Paint().constBits());
    }
}
BENCHMARK(BM_RepaintZoomedOnDivision)->Unit(benchmark::kMillisecond);

// Jutland when the fleets are at it: the scenario played with both sides steering for the
// nearest enemy until the battle fleets' dreadnoughts fire and torpedoes are running, on a chart
// thirty miles across centred on the firing ships.
class TJutlandAction {
public:
    TJutlandAction()
        : world_(messages_, sound_,
                 core::TGameFolders(std::filesystem::path(TARNWAKE_SOURCE_DIR) / "data",
                                    std::filesystem::temp_directory_path() / "tarnwake-bench")) {
        scenario::TGameSetup setup;
        setup.ScenarioName = "Scenarios/Jutland.nsc";
        setup.ScenarioFile = world_.Folders().ScenariosDir() / "Jutland.nsc";
        setup.Seed = kSeed;
        if (!scenario::StartGame(world_, setup)) {
            throw std::runtime_error("cannot start Jutland");
        }
        world_.Preferences.AutosaveMinutes = 0;
        world_.InstallOpponent(std::make_unique<ui::TClosingOpponent>());
        while (world_.TimeElapsed < kLongestRun && !world_.ScenarioFinished) {
            world_.RunWholeMinutes(1, {});
            if (FiringDreadnoughts() >= kFiringDreadnoughts && !world_.Torpedoes.empty()) {
                break;
            }
        }
        view_.resize(kPicture);
        view_.SetWorld(&world_);
        view_.SetShowFireLines(true);
        view_.SetCentre(FiringCentre());
        view_.SetAltitude(kMilesAcross * map::kGlobeUnitsPerNauticalMile);
    }

    engine::TGameWorld& World() { return world_; }
    const QImage& Paint() {
        QPainter painter(&image_);
        view_.PaintChart(painter, kPicture);
        return image_;
    }

private:
    static constexpr std::uint64_t kSeed = 1916;
    static constexpr int kFiringDreadnoughts = 16;
    static constexpr int kLongestRun = 360;
    static constexpr double kMilesAcross = 30.0;

    // The battle fleets are in action once this many dreadnoughts fire in one minute.
    int FiringDreadnoughts() const {
        int n = 0;
        for (const auto& line : world_.FireLines) {
            const combat::TFightingShip* ship = world_.FindShip(line.Firer);
            n += ship != nullptr && ship->ShipType == designs::TShipType::BB ? 1 : 0;
        }
        return n;
    }

    // The middle of the ships that fired this minute.
    map::TGeoPos FiringCentre() const {
        double lon = 0;
        double lat = 0;
        int n = 0;
        for (const auto& line : world_.FireLines) {
            if (const combat::TFightingShip* ship = world_.FindShip(line.Firer)) {
                lon += ship->Position().lon;
                lat += ship->Position().lat;
                ++n;
            }
        }
        if (n == 0) {
            return world_.Ships.front()->Position();
        }
        return {static_cast<std::int32_t>(lon / n), static_cast<std::int32_t>(lat / n), 0};
    }

    QApplication& app_ = App();
    core::THeadlessMessages messages_{nullptr};
    core::TSilentSound sound_;
    engine::TGameWorld world_;
    ui::TChartView view_;
    QImage image_{kPicture, QImage::Format_ARGB32_Premultiplied};
};

// The repaint at the height of the fleet action: the minute's battle scene is built by the
// first paint and only projected by the others, as between two minutes at the fast speeds.
void BM_RepaintJutlandAction(benchmark::State& state) {
    static TJutlandAction action;
    SavePicture(action.Paint(), "jutland");
    const engine::TGameWorld& world = action.World();
    state.SetLabel(world.ClockText());
    state.counters["ships"] = static_cast<double>(world.Ships.size());
    state.counters["fire_lines"] = static_cast<double>(world.FireLines.size());
    state.counters["torpedoes"] = static_cast<double>(world.Torpedoes.size());
    state.counters["sunk"] = static_cast<double>(world.SunkShips.size());
    for (auto _ : state) {
        benchmark::DoNotOptimize(action.Paint().constBits());
    }
}
BENCHMARK(BM_RepaintJutlandAction)->Unit(benchmark::kMillisecond);

} // namespace
