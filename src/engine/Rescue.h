#pragma once

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::engine {

class TGameWorld;

// After the minute's log: a destroyer or light cruiser near a wreck, with no enemy about, is
// offered (or, for the computer, sent) to pick up her survivors.
void OfferRescue(TGameWorld& world);
// A division picking up survivors: stopped near the wreck it takes men aboard its flagship a
// minute at a time; too far off or too fast it takes none, and far off it gives up. Answers
// whether the division's minute ends here (its flagship is sinking).
bool ContinueRescue(TGameWorld& world, combat::TDivision& division);

// Survivors of sunken ships the ship has aboard.
int SurvivorsAboard(const TGameWorld& world, const combat::TFightingShip& ship);
// The ship is lost: the survivors she had picked up are lost with her.
void LoseSurvivorsAboard(TGameWorld& world, const combat::TFightingShip& ship);

} // namespace tarnwake::engine
