#include "combat/Fire.h"

#include "combat/FightingShip.h"

namespace tarnwake::combat {

std::string StartFire(TFightingShip& ship, int /*calibre*/, core::TRandomGenerator& /*random*/) {
    if (ship.FireLevel > 0) {
        return {};
    }
    ship.FireLevel = 1;
    ship.FT = 0;
    return "Fire started";
}

} // namespace tarnwake::combat
