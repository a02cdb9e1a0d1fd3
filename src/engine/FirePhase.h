#pragma once

#include <optional>
#include <string>
#include <vector>

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::engine {

class TGameWorld;

// Target selection: divisions choose their target divisions and spread their ships over them;
// each ship then picks its main and side targets from what it sees.
void SelectTargetsForAllDivisions(TGameWorld& world);
void SelectDivisionTarget(TGameWorld& world, combat::TDivision& division);
void SetShipTargets(TGameWorld& world, combat::TDivision& division);
void SelectMainTarget(TGameWorld& world, combat::TFightingShip& ship);
// Row 2 secondary, 3 tertiary; `starboard` or port.
void SelectSideTargets(TGameWorld& world, combat::TFightingShip& ship, int row, bool starboard);
// Side targets out of their broadside's arc are dropped.
void CheckSideArcs(TGameWorld& world, combat::TFightingShip& ship);

// Whether `ship` can engage `target` with battery row `row` (1 main, 2 secondary, 3
// tertiary): in its sighted list, within the battery's range, at least type identified and
// still in the game.
bool CanEngage(const TGameWorld& world, const combat::TFightingShip& ship,
               const combat::TFightingShip* target, int row);
// The range in yards at which the ship's battery row can fire.
int BatteryRange(const TGameWorld& world, const combat::TFightingShip& ship, int row);

// The minute's counters are cleared and every ship counts the guns aimed at it; light ships
// under heavy fire flinch.
void CountFirePressure(TGameWorld& world);
// The gunfire phase: every ship fires each of its batteries at its targets.
void FireAllShips(TGameWorld& world);
// What a ship's guns of one level would do against their present target this minute, for the
// windows: the hit chance per round with the reason of every modifier, and the rate of fire per
// gun. None without a target or guns. The battle's dice are not touched.
struct TGunneryEstimate {
    const combat::TFightingShip* Target = nullptr;
    int RangeYards = 0;
    double HitChance = 0.0; // percent per round
    double RateOfFire = 0.0;
    std::vector<std::string> Reasons;
};
std::optional<TGunneryEstimate> EstimateGunnery(TGameWorld& world,
                                                const combat::TFightingShip& ship, int level);
// The hit chance per round, in percent, of the ship's main guns against her main target this
// minute, for the computer's judgement of enemy fire; none without a target or main guns. No
// dice are drawn.
std::optional<double> MainGunHitChance(TGameWorld& world, const combat::TFightingShip& ship);
// The gunnery log's new lines go to its file.
void WriteGunneryLog(TGameWorld& world);

// The enemy a ship is fighting, for the computer's tactics: the nearest sighted enemy of a
// matching type; none for types that have no such enemy.
combat::TFightingShip* GetMainEnemy(TGameWorld& world, const combat::TFightingShip& ship);

} // namespace tarnwake::engine
