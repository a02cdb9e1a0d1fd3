#pragma once

#include "designs/Ship.h"

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::results {

// What a ship is worth, from its design alone: its size and type, its speed above 21 knots,
// its protection and its guns and torpedo tubes, kept between a tenth and twice its
// displacement. The scoring of a battle and the computer's judgement of strength rest on it.
int ShipValue(const designs::Tship& design);

// What the ship is worth now: its value less its damage.
int CurrentValue(const combat::TFightingShip& ship);

// What its damage is worth to the enemy: the value lost, or four times the value for a ship
// that is sinking or sunk.
int DamageValue(const combat::TFightingShip& ship);

} // namespace tarnwake::results
