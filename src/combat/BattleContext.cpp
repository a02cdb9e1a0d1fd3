#include "combat/BattleContext.h"

#include "combat/FightingShip.h"
#include "map/Geometry.h"

namespace tarnwake::combat {

map::TGeoPos PointAhead(const TFightingShip& ship, int yards) {
    return map::MovePoint(ship.Position(), ship.Course(), yards);
}

} // namespace tarnwake::combat
