#pragma once

#include <vector>

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::engine {

class TGameWorld;

// What every ship sees this minute: the sighted lists, the sighting levels and the first
// sightings. A break event it reports stops the clock after the minute (it never cancels a
// pause already asked for).
void Checksightings(TGameWorld& world);

// How far the ship can be seen now, in yards, with or without the weather's jitter.
int VisibilityRange(TGameWorld& world, const combat::TFightingShip& ship, bool weatherJitter);

// Whether the ship has a ship of the other side in its sighted list (neutral shipping is
// nobody's enemy).
bool HasEnemyInSight(const combat::TFightingShip& ship);
// Whether any ship has an enemy in sight.
bool AnyEnemyInSight(const TGameWorld& world);
// The nearest ship of the other side in the ship's sighted list (a land target only when
// `landTargets`), and its range in yards.
combat::TFightingShip* NearestSightedEnemy(const combat::TFightingShip& ship, bool landTargets,
                                           double& range);
// Friends of other divisions the ship sees near it.
const std::vector<combat::TFightingShip*>& NearFriends(const TGameWorld& world,
                                                       const combat::TFightingShip& ship);

} // namespace tarnwake::engine
