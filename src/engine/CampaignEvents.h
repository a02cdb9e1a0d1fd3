#pragma once

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::engine {

class TGameWorld;
class TObjectiveCondition;

// The events of a campaign's wider sea: aircraft sightings, submarine attacks, and
// submarines meeting submarines.
void AircraftSightings(TGameWorld& world);
void CheckSubmarines(TGameWorld& world);
void SubmarineChecks(TGameWorld& world);
// Whether aircraft take part in this scenario: it has air patrol sectors.
bool AircraftPossible(const TGameWorld& world);
// A force sent to bombard a target ashore is kept to its mission.
void ReaffirmBombardmentMission(TGameWorld& world, TObjectiveCondition& objective);
// A seaplane carrier that has reached its objective flies off its aircraft against the coast.
void LaunchAirAttack(TGameWorld& world, combat::TFightingShip& carrier,
                     const TObjectiveCondition& objective);

} // namespace tarnwake::engine
