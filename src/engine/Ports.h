#pragma once

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::engine {

class TGameWorld;

// A ship is protected when a division of her own side has its flagship (another ship) within
// 20,000 yards: nobody boards her then.
bool IsProtected(const TGameWorld& world, const combat::TFightingShip& ship);
// The last step of a division's minute: near a friendly base that can take it, it may enter
// port.
void CheckPortArrival(TGameWorld& world, combat::TDivision& division);

} // namespace tarnwake::engine
