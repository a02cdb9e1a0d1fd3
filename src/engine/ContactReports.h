#pragma once

#include "engine/Report.h"
#include "map/GeoPos.h"

#include <cstdint>
#include <vector>

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::core {
class TRandomGenerator;
}

namespace tarnwake::engine {

class TGameWorld;

// A sighting becomes a contact report: for the reporter's side as the player receives it
// (late, with errors), and for the computer (nearly at once, exact).
void CreateReport(TGameWorld& world, combat::TFightingShip& reported,
                  combat::TFightingShip& reporter);
void CreateReportExactForAI(TGameWorld& world, combat::TFightingShip& reported,
                            combat::TFightingShip& reporter);

// What a lookout makes of a division: each ship the other side has sighted counted by its
// true type once its class is made out, by the type it was taken for once its type is, and as
// a guess at a big ship or a small one before that.
TComposition KnownComposition(const combat::TDivision& division, core::TRandomGenerator& random);
// What reaches the player of it: cruisers taken for bigger ships, ships that are not there and
// ships left out.
void Garble(TComposition& composition, core::TRandomGenerator& random);

// Contact reports of both sides, once a minute: the computer's are culled, alert their side
// and add up to its threat; the player's that arrive this minute show on the chart.
void UpdateReports(TGameWorld& world);
// Now and again the search areas forget a little of what they have spotted.
void ReduceSearchAreaReports(TGameWorld& world);

// How pressing a computer report is: the strength reported, less with its age, more near
// `position` (when one is given) and less far from it. `bigShips`: the division weighing it
// is of capital ships, which rate battle cruisers above battleships.
std::int64_t ReportScore(const TGameWorld& world, const TReport& report,
                         const map::TGeoPos* position, bool bigShips);
// The side's most pressing computer report: delivered, not yet searched and younger than 500
// minutes, with the highest score; none when there is none.
TReport* BestReport(const TGameWorld& world, int side, const map::TGeoPos* position, bool bigShips);

// The reports the player has in hand, newest first: those of the player's side that have
// arrived (every side's when the player only watches).
std::vector<const TReport*> PlayerReportList(const TGameWorld& world);

// Whether the side has been alerted by a sighting or a report: a force in harbour then raises
// steam.
bool SideAlerted(const TGameWorld& world, int side);
// Once a minute per division: a division that reports by signal and that no friend has seen
// now and again signals its own position.
void SendPositionReport(TGameWorld& world, combat::TDivision& division);

} // namespace tarnwake::engine
