#include "ai/EnemyKnowledge.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "engine/FirePhase.h"
#include "engine/GameWorld.h"
#include "engine/Sighting.h"
#include "results/ShipValue.h"

namespace tarnwake::ai {

using combat::TFightingShip;

int CombatStrength(const TFightingShip& ship) {
    return results::CurrentValue(ship);
}

bool CanStillFight(const TFightingShip& ship) {
    return !ship.IsSinkingOrSunk() &&
           (ship.TotalTurretGuns(true) > 0 ||
            ship.CurrentSecondariesPort + ship.CurrentSecondariesStarboard > 0);
}

designs::TShipType TFullKnowledge::Type(const TFightingShip& enemy) const {
    return enemy.ShipType;
}

int TFullKnowledge::SightingLevel(const TFightingShip& enemy) const {
    return enemy.SightingLevel;
}

int TFullKnowledge::Displacement(const TFightingShip& enemy) const {
    return enemy.Displacement;
}

int TFullKnowledge::DesignSpeed(const TFightingShip& enemy) const {
    return enemy.Speed;
}

int TFullKnowledge::MainCalibre(const TFightingShip& enemy) const {
    return enemy.Calibre[designs::kMainGuns];
}

std::string TFullKnowledge::Description(const TFightingShip& enemy) const {
    return enemy.IdentifiedName();
}

bool TFullKnowledge::Afloat(const TFightingShip& enemy) const {
    return !enemy.IsSinkingOrSunk();
}

bool TFullKnowledge::CanFight(const TFightingShip& enemy) const {
    return CanStillFight(enemy);
}

int TFullKnowledge::DamagePercentage(const TFightingShip& enemy) const {
    return enemy.DamagePercentage();
}

int TFullKnowledge::CombatStrength(const TFightingShip& enemy) const {
    return ai::CombatStrength(enemy);
}

int TFullKnowledge::MaxSpeed(const TFightingShip& enemy) const {
    return enemy.CurrentMaxSpeed();
}

int TFullKnowledge::VisibilityRange(const TFightingShip& enemy) const {
    return engine::VisibilityRange(world_, enemy, false);
}

int TFullKnowledge::Course(const TFightingShip& enemy) const {
    return enemy.Course();
}

const TFightingShip* TFullKnowledge::GunTarget(const TFightingShip& enemy) const {
    return enemy.CurrentTarget;
}

double TFullKnowledge::HitChance(const TFightingShip& enemy) const {
    return engine::MainGunHitChance(world_, enemy).value_or(0.0);
}

int TFullKnowledge::DivisionStance(const TFightingShip& enemy) const {
    const combat::TDivision* division = world_.DivisionOfShip(&enemy);
    return division != nullptr ? division->TacticalStance : -1;
}

TFightingShip* TFullKnowledge::MainEnemy(const TFightingShip& own) const {
    return engine::GetMainEnemy(world_, own);
}

} // namespace tarnwake::ai
