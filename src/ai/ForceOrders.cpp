#include "ai/ForceOrders.h"

#include "ai/DecisionContext.h"
#include "ai/EnemyKnowledge.h"
#include "ai/Measures.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Random.h"
#include "engine/GameWorld.h"

#include <algorithm>

namespace tarnwake::ai {

using combat::TDivision;
using combat::TFightingShip;
using combat::TForce;
using designs::TShipType;

namespace {

constexpr int kPercent = 100;
// One minute in four the force weighs its situation.
constexpr int kReassessRoll = 8;
constexpr int kReassessChance = 2;
constexpr int kLongFightMinutes = 30;
constexpr int kOutgunned = 20;
constexpr int kCautiousOutgunned = 20;
constexpr int kWithdrawingOutgunned = 10;
constexpr double kSomewhatStronger = 1.2;
constexpr double kMuchStronger = 1.5;
constexpr double kTwiceAsStrong = 2.0;
constexpr int kAggressiveLongFight = 10;
constexpr int kAggressiveLowAmmo = 15;
constexpr int kAggressiveAmmo = 40;
constexpr int kLongFight = 20;
constexpr int kLowAmmo = 20;
constexpr int kAmmo = 50;
// The odds against tiring by mission: the cautious tire sooner, the aggressive later.
constexpr int kCautiousOdds = 150;
constexpr int kWithdrawalOdds = 100;
constexpr int kAggressiveOdds = 300;
constexpr int kOrdinaryOdds = 200;
// A gale wears a force down too.
constexpr int kGaleWind = 9;
constexpr int kGaleOdds = 300;
// Flotilla attacks: one in five minutes an attack is called off; a force that has ended
// attacks orders another ever more rarely.
constexpr int kCallOffPercent = 20;
constexpr int kAttackAgainBase = 100;
constexpr int kAttackAgainStep = 60;
constexpr int kAttackAgainChance = 10;
constexpr int kCoverPerFatigue = 10;
constexpr int kCoverMost = 50;
constexpr int kCoverBase = 10;
constexpr int kAttackRangeYards = 20000;

bool UpTo(TShipType type, TShipType last) {
    return designs::TypeIndex(type) <= designs::TypeIndex(last);
}

// The force weighs what it knows of the enemy against itself, and may tire.
void Reassess(const TDecisionContext& context, TForce& force) {
    engine::TGameWorld& world = context.World;
    core::TRandomGenerator& random = world.Random();
    int ammo = 0;
    bool longFight = false;
    int own = 0;
    int ownHeavy = 0;
    int ownCapital = 0;
    for (const TDivision* d : force.Divisions) {
        if (!d->HasShips()) {
            continue;
        }
        ammo += AmmoLevel(*d);
        longFight = longFight || (UpTo(d->Flagship()->ShipType, TShipType::CA) &&
                                  d->MinutesInCombat > kLongFightMinutes);
        for (const TFightingShip* s : d->Ships) {
            own += s->IsLandTarget() ? 1 : CombatStrength(*s);
            ownHeavy += UpTo(s->ShipType, TShipType::B) ? 1 : 0;
            ownCapital += UpTo(s->ShipType, TShipType::CA) ? 1 : 0;
        }
    }
    ammo /= static_cast<int>(force.Divisions.size());
    int enemy = 0;
    int enemyHeavy = 0;
    int enemyCapital = 0;
    for (const TFightingShip* e : force.KnownEnemies) {
        const TShipType type = context.Enemy.Type(*e);
        enemyHeavy += UpTo(type, TShipType::B) ? 1 : 0;
        enemyCapital += UpTo(type, TShipType::CA) ? 1 : 0;
        enemy += context.Enemy.CombatStrength(*e);
    }
    const int mission = force.Mission;
    int d = 0;
    if (ownHeavy + 1 < enemyHeavy) {
        d += kOutgunned;
    }
    if (ownHeavy == 0 && ownCapital + 1 < enemyCapital) {
        d += kOutgunned;
    }
    if ((mission == combat::missionCautious || mission == combat::missionWithdrawal) &&
        own < enemy) {
        d +=
            kCautiousOutgunned + (mission == combat::missionWithdrawal ? kWithdrawingOutgunned : 0);
    }
    d += own * kSomewhatStronger < enemy ? kOutgunned : 0;
    d += enemy > own * kMuchStronger ? kOutgunned : 0;
    d += own * kTwiceAsStrong < enemy ? kOutgunned : 0;
    d -= own > enemy * kSomewhatStronger ? kOutgunned : 0;
    d -= own > enemy * kMuchStronger ? kOutgunned : 0;
    if (mission == combat::missionAggressive) {
        d += (longFight ? kAggressiveLongFight : 0) +
             (ammo < kAggressiveAmmo ? kAggressiveLowAmmo : 0);
    } else {
        d += (longFight ? kLongFight : 0) + (ammo < kAmmo ? kLowAmmo : 0);
    }
    const int odds = mission == combat::missionCautious     ? kCautiousOdds
                     : mission == combat::missionWithdrawal ? kWithdrawalOdds
                     : mission == combat::missionAggressive ? kAggressiveOdds
                                                            : kOrdinaryOdds;
    d /= force.WithdrawalLevel + 1;
    if (random.Random(odds) < d) {
        ++force.WithdrawalLevel;
    }
    const int wind = world.Environment.WindForce;
    if (wind > kGaleWind && random.Random(kGaleOdds) < wind - kGaleWind) {
        ++force.WithdrawalLevel;
    }
}

// A destroyer threat the flagship's division cannot outrun, close aboard: the flotillas go in.
bool FlotillasMustAttack(const TDecisionContext& context, const TDivision& flagDivision) {
    const TFightingShip& flag = *flagDivision.Flagship();
    const TFightingShip* threat = flagDivision.ThreatShip;
    const bool enemyNear = std::any_of(flag.Sighted.begin(), flag.Sighted.end(), [&](auto* e) {
        return e->Side != flag.Side &&
               context.World.SightingPairs.Range(flag, *e) < kAttackRangeYards;
    });
    return enemyNear && threat != nullptr && UpTo(context.Enemy.Type(*threat), flag.ShipType) &&
           threat->CurrentSpeed >= flagDivision.MedianSpeed();
}

void FlotillaOrders(const TDecisionContext& context, TForce& force) {
    core::TRandomGenerator& random = context.World.Random();
    if (force.FlotillaAttack && random.Random(kPercent) < kCallOffPercent) {
        force.FlotillaAttack = false;
        ++force.FlotillaAttackCount;
    }
    TDivision* flagDivision = force.FlagDivision();
    if (flagDivision == nullptr) {
        return;
    }
    const int n = force.FlotillaAttackCount;
    if (n > 0 && random.Random(n * kAttackAgainStep + kAttackAgainBase) >= kAttackAgainChance) {
        return;
    }
    const int fatigue = force.WithdrawalLevel;
    if (fatigue > 0 && flagDivision->TacticalStance == combat::stanceDisengage &&
        random.Random(kPercent) < std::min(fatigue * kCoverPerFatigue, kCoverMost) + kCoverBase) {
        // The destroyers cover the retreat.
        force.FlotillaAttack = true;
    }
    if (FlotillasMustAttack(context, *flagDivision)) {
        force.FlotillaAttack = true;
    }
}

} // namespace

bool UnderComputerControl(const TForce& force) {
    return force.AIControl || force.ComputerCommanded;
}

void AssessForces(const TDecisionContext& context) {
    for (const auto& owned : context.World.Forces) {
        TForce& force = *owned;
        force.TimeToTurnAway = std::max(0, force.TimeToTurnAway - 1);
        if (force.Divisions.empty()) {
            continue;
        }
        // A division that has reached its waypoint makes for the next.
        force.AdvanceWaypoints(context.World);
        const TFightingShip* flag =
            force.FlagDivision() != nullptr ? force.CachedFlagship() : nullptr;
        if (context.World.Random().Random(kReassessRoll) < kReassessChance && flag != nullptr &&
            !flag->IsLandTarget()) {
            Reassess(context, force);
        }
        if (UnderComputerControl(force)) {
            FlotillaOrders(context, force);
        }
    }
}

} // namespace tarnwake::ai
