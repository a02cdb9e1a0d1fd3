#pragma once

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::engine {

class TGameWorld;

// Two ships within 35 yards of each other: a collision, or a ram.
void ResolveCollision(TGameWorld& world, combat::TFightingShip& ship, combat::TFightingShip& other);
// On the last sub-step of a minute a ship in a minefield may strike a mine.
void MineCheck(TGameWorld& world, combat::TFightingShip& ship);

} // namespace tarnwake::engine
