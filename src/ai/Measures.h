#pragma once

#include "designs/ShipTypes.h"

#include <climits>
#include <initializer_list>

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::ai {

class TDecisionContext;

// The measures the stance rules weigh a situation by. Ranges are yards.

// A range limit that never bites.
inline constexpr int kUnlimitedRange = INT_MAX;

// The enemy as the ship sees him within `maxRange`: the combat strength of every sighted enemy
// but transports that is type identified (class identified unless `cautious`: a bold commander
// counts only what he has made out for certain), a coastal battery that can still fire counting
// twice; at least 1 as soon as any sighted ship is within range.
int EnemyStrength(const TDecisionContext& context, const combat::TFightingShip& ship, bool cautious,
                  int maxRange);
// Our own strength round the ship: the combat strength of every ship of her side but
// transports (she included) within `maxRange` and within nine tenths of how far she can be
// seen, where they can still support her.
int OwnStrength(const TDecisionContext& context, const combat::TFightingShip& ship, int maxRange);

// The nearest ship of the other side in the ship's sighted list, of any sighting level; of
// one of `kinds` when any are given.
combat::TFightingShip* NearestEnemy(const TDecisionContext& context,
                                    const combat::TFightingShip& ship,
                                    std::initializer_list<designs::TShipType> kinds = {});
// The nearest sighted enemy that threatens a ship of her kind: heavier ships for cruisers,
// battleships for battle cruisers, capital ships for armoured cruisers, and for any capital
// ship a destroyer that can still fight within 8,000 yards on her bow or quarter.
combat::TFightingShip* NearestThreat(const TDecisionContext& context,
                                     const combat::TFightingShip& ship);
combat::TFightingShip* NearestEnemyDestroyer(const TDecisionContext& context,
                                             const combat::TFightingShip& ship);
// The range the ship would keep from her gun target: a battle cruiser stays outside an
// armoured cruiser's reach, an armoured cruiser outside a light cruiser's, a six-inch cruiser
// outside a lighter-gunned one's, closer in once the target is badly hurt. 0 for every other
// pair, or without a target that can still fight.
int DesiredRange(const TDecisionContext& context, const combat::TFightingShip& ship);

// The mean over the division's ships of their main ammunition left, percent.
int AmmoLevel(const combat::TDivision& division);
// The mean damage percentage of the division's ships; 0 without ships.
int DamageLevel(const combat::TDivision& division);
// No other division of the side within 20,000 yards has a flagship of higher value.
bool IsStrongestNearby(const TDecisionContext& context, const combat::TDivision& division);
// How far the division's lead is breaking off: 2 disengaging (or, steered by the player, with
// the enemy more than 150 degrees off its course), 1 opening the range (or, steered by the
// player, the enemy more than 140 degrees off), else 0; 0 without a lead or an enemy.
int RetreatLevel(const TDecisionContext& context, const combat::TDivision& division);
// A core division keeps its place in the line while its lead stands and its force has not
// withdrawn: every other division may break away.
bool MayBreakAway(const TDecisionContext& context, const combat::TDivision& division);
// More than half of the division's ships still have torpedoes ready.
bool HasTorpedoes(const combat::TDivision& division);

} // namespace tarnwake::ai
