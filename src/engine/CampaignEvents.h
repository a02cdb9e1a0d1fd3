#pragma once

namespace tarnwake::engine {

class TGameWorld;

// The events of a campaign's wider sea: aircraft sightings, submarine attacks, and
// submarines meeting submarines.
void AircraftSightings(TGameWorld& world);
void CheckSubmarines(TGameWorld& world);
void SubmarineChecks(TGameWorld& world);
// Whether aircraft take part in this scenario: it has air patrol sectors.
bool AircraftPossible(const TGameWorld& world);

} // namespace tarnwake::engine
