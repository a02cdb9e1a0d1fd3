#pragma once

#include "map/GeoPos.h"

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::engine {

class TGameWorld;

// Yards between ships in a column.
inline constexpr double kStationInterval = 600.0;
// A course of 999 asks for the ship's ordered course.
inline constexpr int kOrderedCourse = 999;

// The top speed the sea allows: in a gale ships must ease down.
int MaxSpeedForWind(int windForce);
// Degrees a ship turns in a minute: big ships answer the helm slowly, and a ship with little
// way on barely turns at all.
int TurnRate(int displacement, int speed, bool landTarget);

// One sub-step of every division's ships (and of the smoke floats).
void MoveAllShips(TGameWorld& world, bool fullStep, bool steering);
void MoveDivisionShips(TGameWorld& world, combat::TDivision& division, bool fullStep,
                       bool steering);
// One sub-step of one ship: turn toward the ordered course and run; answers the yards run.
double MoveShipStep(TGameWorld& world, combat::TFightingShip& ship, bool closeUp);

// The first course, turning out 10 degrees a step to either side up to half `span`, whose
// point `distance` yards ahead is clear of land and known minefields.
int FindClearCourse(TGameWorld& world, const combat::TFightingShip& ship, double distance, int span,
                    int course);
// Gives a division a new course, turning short of land.
void SetDivisionCourse(TGameWorld& world, combat::TDivision& division, int course);
void CheckAvoidCloseEnemy(TGameWorld& world, combat::TDivision& division,
                          combat::TFightingShip& ship);
// A course away from a friend of another division about to cross this ship's bow, or 0.
int AvoidCloseFriend(TGameWorld& world, combat::TFightingShip& ship, combat::TDivision& division);
// Once a minute: speed creeps up a knot at a time and comes off four or five; a sinking ship
// loses her way.
void ChangeSpeedForMinute(combat::TFightingShip& ship);
// The computer's support and scout divisions match their lead's speed on station.
void MatchStationSpeed(TGameWorld& world, combat::TDivision& division);

// An enemy worth keeping clear of: a battery with working guns, or a ship with guns that is
// not too badly hurt to use them.
bool IsThreat(TGameWorld& world, const combat::TFightingShip& enemy);

} // namespace tarnwake::engine
