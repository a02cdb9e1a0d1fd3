#include "ai/Measures.h"

#include "ai/DecisionContext.h"
#include "ai/EnemyKnowledge.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "combat/TorpedoMounts.h"
#include "engine/GameWorld.h"
#include "engine/Sighting.h"
#include "map/Geometry.h"
#include "results/ShipValue.h"

#include <algorithm>

namespace tarnwake::ai {

using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;

namespace {

// Ships support each other within nine tenths of how far they can be seen.
constexpr double kSupportShare = 0.9;
// A capital ship fears a destroyer this close on her bow or quarter: inside the torpedo's reach,
// where a turn away still combs the tracks.
constexpr int kDestroyerThreatYards = 8000;
constexpr int kDestroyerThreatBow = 80;
constexpr int kDestroyerThreatQuarter = 280;
// A target damaged this badly may be fought closer.
constexpr int kCrippledTargetPercent = 50;
// The ranges kept from a gun target (whole, then crippled): a battle cruiser from an armoured
// cruiser, an armoured cruiser from a light cruiser, a six-inch cruiser from a lighter-gunned
// one.
constexpr int kBattleCruiserKeepsOff = 14000;
constexpr int kBattleCruiserCloses = 7000;
constexpr int kArmouredCruiserKeepsOff = 9000;
constexpr int kArmouredCruiserCloses = 5000;
constexpr int kSixInchCruiserKeepsOff = 8000;
constexpr int kSixInchCruiserCloses = 4000;
constexpr int kSixInchCalibre = 6;
// Divisions this near count as one fighting group when the strongest leads.
constexpr int kNearbyDivisionYards = 20000;
// The lead has turned its back on the enemy: past 150 degrees when steered by the player, and
// past 140 it is at least opening the range.
constexpr int kLeadRunningAngle = 150;
constexpr int kLeadOpeningAngle = 140;
// A core division holds the line while its force's withdrawal has gone no further than this.
constexpr int kHoldTheLineWithdrawal = 1;

int Range(const TDecisionContext& context, const TFightingShip& a, const TFightingShip& b) {
    return context.World.SightingPairs.RoundedRange(a, b);
}

bool Capital(TShipType type) {
    return designs::TypeIndex(type) <= designs::TypeIndex(TShipType::CA);
}

// Whether `enemy` threatens a ship of type `own` by its kind alone.
bool ThreatByKind(TShipType own, TShipType enemy) {
    switch (own) {
    case TShipType::CL:
    case TShipType::AMC:
        return Capital(enemy);
    case TShipType::BC:
        return enemy == TShipType::BB;
    case TShipType::CA:
        return designs::IsOneOf(enemy, {TShipType::BB, TShipType::BC, TShipType::B});
    default:
        return false;
    }
}

} // namespace

int EnemyStrength(const TDecisionContext& context, const TFightingShip& ship, bool cautious,
                  int maxRange) {
    const IEnemyKnowledge& enemy = context.Enemy;
    const int counted = cautious ? combat::kTypeIdentified : combat::kClassIdentified;
    int total = 0;
    bool inRange = false;
    for (const TFightingShip* other : ship.Sighted) {
        if (maxRange != kUnlimitedRange && Range(context, ship, *other) >= maxRange) {
            continue;
        }
        inRange = true;
        const TShipType type = enemy.Type(*other);
        if (type == TShipType::TR || enemy.SightingLevel(*other) < counted) {
            continue;
        }
        const int strength = enemy.CombatStrength(*other);
        total += strength;
        // A coastal battery that still fires is worth twice its weight: it cannot be sunk.
        if (type == TShipType::LT && enemy.CanFight(*other) && enemy.MainCalibre(*other) > 0) {
            total += strength;
        }
    }
    return inRange ? std::max(total, 1) : total;
}

int OwnStrength(const TDecisionContext& context, const TFightingShip& ship, int maxRange) {
    const double support = kSupportShare * engine::VisibilityRange(context.World, ship, false);
    const double limit = std::min(static_cast<double>(maxRange), support);
    int total = 0;
    for (const auto& other : context.World.Ships) {
        if (other->Side != ship.Side || other->ShipType == TShipType::TR ||
            Range(context, ship, *other) >= limit) {
            continue;
        }
        total += CombatStrength(*other);
    }
    return total;
}

TFightingShip* NearestEnemy(const TDecisionContext& context, const TFightingShip& ship,
                            std::initializer_list<TShipType> kinds) {
    TFightingShip* best = nullptr;
    int bestRange = 0;
    for (TFightingShip* other : ship.Sighted) {
        if (other->Side == ship.Side ||
            (kinds.size() > 0 && !designs::IsOneOf(context.Enemy.Type(*other), kinds))) {
            continue;
        }
        const int range = Range(context, ship, *other);
        if (best == nullptr || range < bestRange) {
            best = other;
            bestRange = range;
        }
    }
    return best;
}

TFightingShip* NearestThreat(const TDecisionContext& context, const TFightingShip& ship) {
    const IEnemyKnowledge& enemy = context.Enemy;
    const bool capital = Capital(ship.ShipType);
    TFightingShip* best = nullptr;
    int bestRange = 0;
    for (TFightingShip* other : ship.Sighted) {
        if (other->Side == ship.Side) {
            continue;
        }
        const TShipType type = enemy.Type(*other);
        if (type == TShipType::TR || enemy.SightingLevel(*other) <= combat::kSighted) {
            continue;
        }
        const int range = Range(context, ship, *other);
        if (best != nullptr && range >= bestRange) {
            continue;
        }
        bool threat = ThreatByKind(ship.ShipType, type);
        if (!threat && capital && type == TShipType::DD && range < kDestroyerThreatYards) {
            const int relative =
                map::AddBearing(context.World.SightingPairs.Bearing(ship, *other), -ship.Course());
            threat = relative < kDestroyerThreatBow || relative > kDestroyerThreatQuarter;
        }
        if (threat && enemy.CanFight(*other)) {
            best = other;
            bestRange = range;
        }
    }
    return best;
}

TFightingShip* NearestEnemyDestroyer(const TDecisionContext& context, const TFightingShip& ship) {
    return NearestEnemy(context, ship, {TShipType::DD});
}

int DesiredRange(const TDecisionContext& context, const TFightingShip& ship) {
    const IEnemyKnowledge& enemy = context.Enemy;
    const TFightingShip* target = ship.CurrentTarget;
    if (target == nullptr || !enemy.CanFight(*target)) {
        return 0;
    }
    const TShipType type = enemy.Type(*target);
    const bool crippled = enemy.DamagePercentage(*target) >= kCrippledTargetPercent;
    if (ship.ShipType == TShipType::BC && type == TShipType::CA) {
        return crippled ? kBattleCruiserCloses : kBattleCruiserKeepsOff;
    }
    if (ship.ShipType == TShipType::CA && type == TShipType::CL) {
        return crippled ? kArmouredCruiserCloses : kArmouredCruiserKeepsOff;
    }
    if (ship.ShipType == TShipType::CL && ship.Calibre[designs::kMainGuns] == kSixInchCalibre &&
        type == TShipType::CL && enemy.MainCalibre(*target) < kSixInchCalibre) {
        return crippled ? kSixInchCruiserCloses : kSixInchCruiserKeepsOff;
    }
    return 0;
}

namespace {

// The mean over the division's ships of a measure of each, truncated; 0 without ships.
template <typename Measure> int MeanOverShips(const TDivision& division, Measure&& measure) {
    if (!division.HasShips()) {
        return 0;
    }
    int sum = 0;
    for (const TFightingShip* ship : division.Ships) {
        sum += measure(*ship);
    }
    return sum / static_cast<int>(division.Ships.size());
}

} // namespace

int AmmoLevel(const TDivision& division) {
    return MeanOverShips(division,
                         [](const TFightingShip& ship) { return ship.MainAmmoRemainingPercent(); });
}

int DamageLevel(const TDivision& division) {
    return MeanOverShips(division,
                         [](const TFightingShip& ship) { return ship.DamagePercentage(); });
}

bool IsStrongestNearby(const TDecisionContext& context, const TDivision& division) {
    const TFightingShip* flag = division.Flagship();
    if (flag == nullptr) {
        return true;
    }
    const int value = results::ShipValue(*flag);
    for (const auto& other : context.World.Divisions) {
        const TFightingShip* otherFlag = other->Flagship();
        if (other.get() == &division || other->Side != division.Side || otherFlag == nullptr ||
            Range(context, *flag, *otherFlag) >= kNearbyDivisionYards) {
            continue;
        }
        if (results::ShipValue(*otherFlag) > value) {
            return false;
        }
    }
    return true;
}

int RetreatLevel(const TDecisionContext& context, const TDivision& division) {
    const TDivision* lead = division.LeadDiv;
    if (lead == nullptr || !lead->HasShips()) {
        return 0;
    }
    const TFightingShip& leadFlag = *lead->Flagship();
    const TFightingShip* enemy = context.Enemy.MainEnemy(leadFlag);
    if (enemy == nullptr) {
        enemy = NearestEnemy(context, leadFlag);
    }
    if (enemy == nullptr) {
        enemy = NearestEnemy(context, *lead->RearShip());
    }
    if (enemy == nullptr) {
        return 0;
    }
    const int away =
        map::CourseDifference(lead->Course, context.World.SightingPairs.Bearing(leadFlag, *enemy));
    if (lead->TacticalStance == combat::stanceDisengage ||
        (!lead->AIControl && away > kLeadRunningAngle)) {
        return 2;
    }
    if (lead->TacticalStance == combat::stanceIncrease) {
        return 1;
    }
    if (lead->AIControl) {
        return 0;
    }
    return away > kLeadOpeningAngle ? 1 : 0;
}

bool MayBreakAway(const TDecisionContext& context, const TDivision& division) {
    const int withdrawal = division.Force != nullptr ? division.Force->WithdrawalLevel : 0;
    return !(division.Role == combat::roleCore && division.LeadDiv != nullptr &&
             withdrawal <= kHoldTheLineWithdrawal && RetreatLevel(context, division) == 0);
}

bool HasTorpedoes(const TDivision& division) {
    int ready = 0;
    for (const TFightingShip* ship : division.Ships) {
        if (std::any_of(ship->TorpedoMounts.begin(), ship->TorpedoMounts.end(),
                        [](const auto& mount) { return combat::MountReady(mount); })) {
            ++ready;
        }
    }
    return static_cast<int>(division.Ships.size()) / 2 < ready;
}

} // namespace tarnwake::ai
