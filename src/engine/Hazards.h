#pragma once

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::campaign {
class TMinefield;
}

namespace tarnwake::engine {

class TGameWorld;

// How the log tells an underwater explosion: a crew cannot always tell a torpedo from a mine.
inline constexpr const char* kTorpedoHitPhrase = " is hit by a torpedo!";
inline constexpr const char* kMineHitPhrase = " strikes a mine!";

// Two ships within 35 yards of each other: a ram, when one of them comes at the other's beam
// bow first, fast and much the heavier; otherwise, perhaps, a glancing blow.
void ResolveCollision(TGameWorld& world, combat::TFightingShip& ship, combat::TFightingShip& enemy);
// On the last sub-step of a minute a ship in a minefield may strike a mine, and now and again,
// in the later years of the war, a mine adrift where no field is marked.
void CheckMineStrike(TGameWorld& world, combat::TFightingShip& ship);
// A ship in `field`: whether she meets a mine and what it does.
void CheckMineHitInField(TGameWorld& world, campaign::TMinefield& field,
                         combat::TFightingShip& ship);

} // namespace tarnwake::engine
