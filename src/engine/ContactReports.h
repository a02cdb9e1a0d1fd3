#pragma once

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::engine {

class TGameWorld;

// A sighting becomes a contact report: for the reporter's side as the player receives it
// (late, with errors), and for the computer (nearly at once, exact).
void CreateReport(TGameWorld& world, combat::TFightingShip& reported,
                  combat::TFightingShip& reporter);
void CreateReportExactForAI(TGameWorld& world, combat::TFightingShip& reported,
                            combat::TFightingShip& reporter);

// Contact reports of both sides: delivered, aged and culled.
void UpdateReports(TGameWorld& world);
// Now and again the search areas' old reports are thinned out.
void ReduceSearchAreaReports(TGameWorld& world);

} // namespace tarnwake::engine
