#include "engine/Sighting.h"

#include "combat/FightingShip.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"

#include <algorithm>

namespace tarnwake::engine {

using combat::TFightingShip;

namespace {

bool Enemies(const TFightingShip& a, const TFightingShip& b) {
    return a.Side != b.Side && a.Side != kNeutralSide && b.Side != kNeutralSide;
}

} // namespace

void Checksightings(TGameWorld&) {}

void UpdateBattleSmoke(TGameWorld&, combat::TDivision&) {}

void CheckSightingAreas(TGameWorld&, combat::TDivision&) {}

int VisibilityRange(TGameWorld& world, const TFightingShip&, bool) {
    return world.Environment.DayRange;
}

bool HasEnemyInSight(const TFightingShip& ship) {
    return std::any_of(ship.Sighted.begin(), ship.Sighted.end(), [&ship](const TFightingShip* o) {
        return o != nullptr && Enemies(ship, *o);
    });
}

bool AnyEnemyInSight(const TGameWorld& world) {
    return std::any_of(world.Ships.begin(), world.Ships.end(),
                       [](const auto& s) { return HasEnemyInSight(*s); });
}

TFightingShip* NearestSightedEnemy(const TFightingShip& ship, bool landTargets, double& range) {
    TFightingShip* nearest = nullptr;
    range = 0.0;
    for (TFightingShip* other : ship.Sighted) {
        if (other == nullptr || !Enemies(ship, *other) || (landTargets && !other->IsLandTarget())) {
            continue;
        }
        const double r = map::RangeYards(ship.Position(), other->Position());
        if (nearest == nullptr || r < range) {
            nearest = other;
            range = r;
        }
    }
    return nearest;
}

const std::vector<TFightingShip*>& NearFriends(const TGameWorld&, const TFightingShip&) {
    static const std::vector<TFightingShip*> kNone;
    return kNone;
}

} // namespace tarnwake::engine
