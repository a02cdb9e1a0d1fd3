#pragma once

#include <vector>

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::engine {

class TGameWorld;

// What every ship sees this minute: the sighted lists, the sighting levels and the first
// sightings. A break event it reports stops the clock after the minute (it never cancels a
// pause already asked for).
void Checksightings(TGameWorld& world);
// The pass itself: answers whether it asks the clock to stop.
bool CheckSightingsPass(TGameWorld& world);
// Shows on the chart what the player's side knows: its own ships, and the enemy and neutral
// ships it has sighted and sees this minute; everything when the player only watches.
void RefreshShipMarkers(TGameWorld& world);
// The smoke lying across the line of sight from `observer` to `target`, as a weighted count:
// six or more hides the target.
int FunnelSmokeCount(TGameWorld& world, const combat::TFightingShip& observer,
                     const combat::TFightingShip& target);
// Smoke floats across the line of sight: within 200 yards of it, and less than 70 degrees off
// the bearing of the target.
int SmokeFloatsAcross(const TGameWorld& world, const combat::TFightingShip& observer,
                      const combat::TFightingShip& target);
// The smoke sources between two ships that spoil a gunlayer's aim, in tenths of the hit chance:
// each float across the line, and with "count smoke" every big ship's worth of funnel and
// screen smoke.
int SmokeInterference(TGameWorld& world, const combat::TFightingShip& firer,
                      const combat::TFightingShip& target);

// Once a minute per division: the smoke the division has made builds up or clears, and the
// battle smoke around it follows. The one writer of the division's battle-smoke level.
void UpdateBattleSmoke(TGameWorld& world, combat::TDivision& division);
// Once a minute per division: the other side's search areas may spot it.
void CheckSightingAreas(TGameWorld& world, combat::TDivision& division);

// How much farther a ship burning at night can be seen than its visibility range, yards.
int FireGlowYards(const combat::TFightingShip& ship);

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
// The ship is offered to the side as its most important sighted enemy: it takes the place of
// none, of one gone from the game, or of a smaller one.
void OfferImportantEnemy(TGameWorld& world, int side, const combat::TFightingShip& enemy);
// Friends within 3000 yards of the ship this minute.
const std::vector<combat::TFightingShip*>& NearFriends(const TGameWorld& world,
                                                       const combat::TFightingShip& ship);

} // namespace tarnwake::engine
