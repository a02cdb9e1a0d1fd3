#include "engine/Sinking.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "engine/GameWorld.h"
#include "engine/Movement.h"
#include "engine/Smoke.h"

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;

namespace {
// Fuel tables are rates per hour: a twelfth of the rate every fifth minute keeps the bunkers
// emptying at the true rate.
constexpr int kFuelPeriodMinutes = 5;
} // namespace

void AllShipsCheckSinkings(TGameWorld& world) {
    for (auto it = world.Ships.rbegin(); it != world.Ships.rend(); ++it) {
        ChangeSpeedForMinute(**it);
    }
}

void CheckAllDivAfterMove(TGameWorld& world) {
    const bool fuelMinute = world.TimeElapsed % kFuelPeriodMinutes == 0;
    for (auto it = world.Divisions.rbegin(); it != world.Divisions.rend(); ++it) {
        TDivision& d = **it;
        if (d.IsNeutral()) {
            continue;
        }
        core::RunGuarded(
            world.Messages(), "CheckAllDivAfterMove", "Division: " + d.DivisionName, [&] {
                const TFightingShip* flag = d.Flagship();
                if (flag != nullptr && !flag->IsLandTarget() && fuelMinute) {
                    d.ComputeFuelExpenditure();
                    d.CheckFuelSituation(world);
                }
                SmokeDecision(world, d, d.MakeSmoke);
                if (d.HoldFireMinutes > 0 && d.HoldFireMinutes != combat::kHoldFireIndefinitely) {
                    --d.HoldFireMinutes;
                }
            });
    }
}

void OfferRescue(TGameWorld&) {}

void SinkAllSinking(TGameWorld&) {}

} // namespace tarnwake::engine
