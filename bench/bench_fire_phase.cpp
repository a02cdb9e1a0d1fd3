// Target selection and gunfire of one minute with the battle lines of Jutland engaged: 250 ships
// in 40 divisions, two fleets on parallel courses 12,000 yards apart, every ship seeing every
// enemy within its sighting range, as the lookouts of the minute found them. The damage the salvos
// do is repaired between minutes, outside the timing, so that every minute is fought by the full
// fleets.

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Sound.h"
#include "engine/FirePhase.h"
#include "engine/GameWorld.h"
#include "engine/Sighting.h"
#include "map/Geometry.h"

#include <benchmark/benchmark.h>

#include <filesystem>
#include <memory>

using namespace tarnwake;

namespace {

struct TEngagedFleets {
    core::THeadlessMessages messages{nullptr};
    core::TSilentSound sound;
    engine::TGameWorld world{messages, sound, core::TGameFolders("data", "user")};

    TEngagedFleets() {
        const std::filesystem::path data = std::filesystem::path(TARNWAKE_SOURCE_DIR) / "data";
        world.WeaponTables.Load(data, messages);
        world.Clock = core::EncodeDateTime(1916, 5, 31, 17, 0);
        world.Seed(1916);
        world.PlayerSide = engine::kWatchingSide;
        map::TGlobeLayer* layer = &world.Chart.FindOrCreateLayer("ShipLayer");
        const map::TGeoPos start{6 * 5'400'000, 56 * 5'400'000, 0};
        int shipCount = 0;
        for (int k = 0; k < 40; ++k) {
            const int side = k < 20 ? 0 : 1;
            const int kind = k % 4;
            const auto type = kind == 0   ? designs::TShipType::BB
                              : kind == 1 ? designs::TShipType::BC
                              : kind == 2 ? designs::TShipType::CL
                                          : designs::TShipType::DD;
            const int count = k < 10 ? 7 : 6; // 10 x 7 + 30 x 6 = 250
            auto& d = world.AddDivision(
                std::make_unique<combat::TDivision>("Division " + std::to_string(k), side));
            d.Course = 90;
            d.AIControl = true;
            // Each fleet's divisions in one long line heading east, the fleets 12,000 yards
            // apart.
            const map::TGeoPos head = map::MovePoint(map::MovePoint(start, 270, 4000.0 * (k % 20)),
                                                     0, side == 0 ? 0.0 : 12000.0);
            for (int i = 0; i < count; ++i, ++shipCount) {
                auto s = std::make_unique<combat::TFightingShip>();
                s->Name = "Ship " + std::to_string(shipCount);
                s->Side = side;
                s->ShipType = type;
                const bool big = kind <= 1;
                s->Displacement = big ? 25000 : kind == 2 ? 4500 : 1000;
                s->Speed = 25;
                s->Calibre = {0, big ? 12 : kind == 2 ? 6 : 4, big ? 6 : 0, 0};
                s->SecNo = big ? 12 : 0;
                s->FireControl = 3;
                s->ApplyDesignState();
                for (int t = 0; t < (big ? 4 : 2); ++t) {
                    designs::TFightingTurret turret;
                    turret.Guns = big ? 2 : 1;
                    turret.Pos = "ABXY"[t];
                    s->Turrets.push_back(turret);
                }
                s->Ammo = {0, 1'000'000, 1'000'000, 0};
                s->SightingLevel = combat::kClassIdentified;
                s->SetCourse(d.Course);
                s->CurrentSpeed = 18;
                s->PlaceOnLayer(layer);
                s->SetPosition(map::MovePoint(head, 270, 500.0 * i));
                d.Ships.push_back(&world.AddShip(std::move(s)));
            }
        }
        // The lookouts of the minute: what each ship sees, and the ranges and bearings the fire
        // phase reads.
        engine::CheckSightingsPass(world);
    }

    // The salvos' damage is undone: every minute is fought by the whole fleets.
    void Repair() {
        for (const auto& s : world.Ships) {
            s->CurrentFloatPoints = s->MaxFloatPoints;
            s->CurrentSuperstructurePoints = s->MaxSuperstructurePoints;
            s->Flooding = 0;
            s->FireLevel = 0;
            s->Sinking = 0;
            s->ElectricDisabled = false;
            for (auto& t : s->Turrets) {
                t.Silenced = 0;
                t.Destroyed = false;
            }
        }
        world.Log.Clear();
        world.GunneryLog.Clear();
    }
};

void FirePhaseMinute(benchmark::State& state) {
    TEngagedFleets fleets;
    std::size_t salvos = 0;
    for (auto _ : state) {
        engine::SelectTargetsForAllDivisions(fleets.world);
        engine::CountFirePressure(fleets.world);
        engine::FireAllShips(fleets.world);
        state.PauseTiming();
        salvos += fleets.world.GunneryLog.Lines().size();
        fleets.Repair();
        state.ResumeTiming();
    }
    state.counters["ships"] = static_cast<double>(fleets.world.Ships.size());
    state.counters["salvos"] =
        benchmark::Counter(static_cast<double>(salvos), benchmark::Counter::kAvgIterations);
}

BENCHMARK(FirePhaseMinute)->Unit(benchmark::kMillisecond);

} // namespace
