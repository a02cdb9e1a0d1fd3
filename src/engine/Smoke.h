#pragma once

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::engine {

class TGameWorld;

// Once a minute, for divisions led by a light cruiser or destroyer: whether to make smoke (the
// player's order, or the computer's judgement), and then laying it.
void SmokeDecision(TGameWorld& world, combat::TDivision& division, bool playerSmokeOrder);
void LaySmoke(TGameWorld& world, combat::TDivision& division);
// Light cruisers that carry them drop smoke floats astern.
void DropSmokeFloats(TGameWorld& world, combat::TDivision& division, int chance);
// Every sub-step the floats drift downwind.
void DriftSmokeFloats(TGameWorld& world);
// Every minute the floats age, and spent ones go.
void AgeSmokeFloats(TGameWorld& world);
// Once a minute every ship leaves a point of funnel smoke (and of smoke screen while it makes
// one) where it is, and the older points drift downwind and thin out.
void LeaveSmokeTrails(TGameWorld& world);
// A minute of a ship's smoke screen is spent.
void CountDownSmoke(combat::TFightingShip& ship);

} // namespace tarnwake::engine
