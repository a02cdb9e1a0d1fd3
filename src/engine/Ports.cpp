#include "engine/Ports.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"

namespace tarnwake::engine {

namespace {
constexpr double kProtectionYards = 20000.0;
} // namespace

bool IsProtected(const TGameWorld& world, const combat::TFightingShip& ship) {
    for (const auto& d : world.Divisions) {
        const combat::TFightingShip* flag = d->Flagship();
        if (d->Side == ship.Side && flag != nullptr && flag != &ship &&
            map::RangeYards(flag->Position(), ship.Position()) < kProtectionYards) {
            return true;
        }
    }
    return false;
}

void CheckPortArrival(TGameWorld&, combat::TDivision&) {}

} // namespace tarnwake::engine
