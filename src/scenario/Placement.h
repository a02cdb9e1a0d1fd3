#pragma once

#include "map/GeoPos.h"

namespace tarnwake::core {
class TRandomGenerator;
}

namespace tarnwake::combat {
class TDivision;
}

namespace tarnwake::engine {
class TGameWorld;
}

namespace tarnwake::scenario {

// Yards a scout division is put astern of its station at the start, so that it does not
// start exactly on the point it steers for.
inline constexpr double kScoutStartSetBackYards = 100.0;
// Yards ships of a search line and of a screen are put astern of their stations.
inline constexpr double kSearchLineSetBackYards = 100.0;
inline constexpr double kScreenSetBackYards = 200.0;

// A random start displacement (of a division, minefield or submarine): its reach in yards
// from the file's thousands of yards, bounded so that no figure in a file can overflow, and
// its bearing: any bearing when `randomAngle` is 0, else that bearing or its reciprocal with
// even chance.
int DisplacementYards(int thousands);
int DisplacementBearing(int randomAngle, core::TRandomGenerator& random);

// Moves the whole division so that its flagship stands on `point`, each ship keeping its
// bearing and range from the flagship. A ship
// whose new place would be blocked (land, coast or a minefield) joins the flagship's new
// place instead; when the flagship's would be blocked, nothing moves.
void MoveDivisionTo(engine::TGameWorld& world, combat::TDivision& division,
                    const map::TGeoPos& point);

// A dependent division at its station on its lead: a core division astern (or abeam) of the
// lead, a support division on the lead's quarter, a scout ahead, a screen round the lead.
void MoveToCorePoint(engine::TGameWorld& world, combat::TDivision& division);
void MoveToSupportPoint(engine::TGameWorld& world, combat::TDivision& division);
void MoveToScoutPoint(engine::TGameWorld& world, combat::TDivision& division);
void MoveToScreenPoint(engine::TGameWorld& world, combat::TDivision& division);
// By role: Core, Support, Scout and Screen divisions go to their stations; Independent and
// Patrol divisions stay.
void MoveToStation(engine::TGameWorld& world, combat::TDivision& division);

// Puts the division's ships in their formation on the division's course: a column, a search
// line or a screen. Line abreast has no automatic placement (reported); land targets keep
// their places.
void PlaceShipsInFormation(engine::TGameWorld& world, combat::TDivision& division);
// Ship i of the division on its station point i (a blocked station: 200 yards astern of the
// flagship), then `setBackYards` further astern. Ships beyond the list follow in a column.
void PlaceShipsAtScreenPoints(engine::TGameWorld& world, combat::TDivision& division,
                              double setBackYards = kScreenSetBackYards);

} // namespace tarnwake::scenario
