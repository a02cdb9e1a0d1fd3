#include "engine/DamageControl.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "engine/GameWorld.h"
#include "engine/Smoke.h"
#include "engine/Tracks.h"
#include "map/Geometry.h"

namespace tarnwake::engine {

using combat::TFightingShip;

namespace {

constexpr int kYardsPerHomeUnit = 1000;

// A ship is home when it lies within its force's home radius of the force's home point; a ship
// of no force, or of a force with no home, is always away.
bool IsAwayFromHome(const TGameWorld& world, const TFightingShip& ship) {
    const combat::TDivision* division = world.DivisionOfShip(&ship);
    const combat::TForce* force = division != nullptr ? division->Force : nullptr;
    if (force == nullptr || (force->Home.lon == 0 && force->Home.lat == 0)) {
        return true;
    }
    return map::RangeYards(ship.Position(), force->Home) >
           static_cast<double>(force->HomeDistance) * kYardsPerHomeUnit;
}

} // namespace

void AllShipsDamageControl(TGameWorld& world) {
    for (const auto& d : world.Divisions) {
        if (d->IsNeutral()) {
            continue;
        }
        ExtendDivisionTrack(world, *d);
        for (TFightingShip* s : d->Ships) {
            if (!s->IsSinkingOrSunk() && (s->Side == 0 || s->Side == 1) &&
                IsAwayFromHome(world, *s)) {
                world.AllHome[static_cast<std::size_t>(s->Side)] = false;
            }
            CountDownSmoke(*s);
        }
    }
}

} // namespace tarnwake::engine
