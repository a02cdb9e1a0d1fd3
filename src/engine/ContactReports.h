#pragma once

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::engine {

class TGameWorld;

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
// A contact report for the computer's side: `reporter` has `enemy` in sight.
void ReportToComputer(TGameWorld& world, const combat::TFightingShip& reporter,
                      const combat::TFightingShip& enemy);

} // namespace tarnwake::engine
