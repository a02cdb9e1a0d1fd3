#pragma once

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

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

// Whether the side has been alerted by a sighting or a report: a force in harbour then raises
// steam.
bool SideAlerted(const TGameWorld& world, int side);
// Once a minute per division: a division that reports by signal and that no friend has seen
// now and again signals its own position.
void SendPositionReport(TGameWorld& world, combat::TDivision& division);

} // namespace tarnwake::engine
