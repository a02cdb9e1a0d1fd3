#pragma once

#include "designs/ShipTypes.h"

#include <string>

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::engine {
class TGameWorld;
}

namespace tarnwake::ai {

// Everything the computer opponent reads of an enemy ship goes through here: what she is, how
// she fares and what she does. Where she is, her range and bearing from our own ships, and the
// flag she flies are what our lookouts see, and are read from the minute's measures directly.
//
// The rules of the game let the computer know the enemy's true type, damage and state: that is
// TFullKnowledge. An opponent that plays fairer (identified types only, estimated damage) is
// another implementation of this interface, and the rules that read it do not change.
class IEnemyKnowledge {
public:
    virtual ~IEnemyKnowledge() = default;

    // ---- What she is
    virtual designs::TShipType Type(const combat::TFightingShip& enemy) const = 0;
    // How well our side knows her: 0 unseen ... 3 class identified.
    virtual int SightingLevel(const combat::TFightingShip& enemy) const = 0;
    virtual int Displacement(const combat::TFightingShip& enemy) const = 0;
    virtual int DesignSpeed(const combat::TFightingShip& enemy) const = 0;
    // Inches; 0 without main guns.
    virtual int MainCalibre(const combat::TFightingShip& enemy) const = 0;
    // How the reasons of the computer name her.
    virtual std::string Description(const combat::TFightingShip& enemy) const = 0;

    // ---- How she fares
    // Neither sinking nor sunk.
    virtual bool Afloat(const combat::TFightingShip& enemy) const = 0;
    // Afloat with a gun that still works.
    virtual bool CanFight(const combat::TFightingShip& enemy) const = 0;
    virtual int DamagePercentage(const combat::TFightingShip& enemy) const = 0;
    // What she is worth in a fight now: her value less her damage.
    virtual int CombatStrength(const combat::TFightingShip& enemy) const = 0;
    virtual int MaxSpeed(const combat::TFightingShip& enemy) const = 0;
    // How far she can be seen, yards (no weather jitter).
    virtual int VisibilityRange(const combat::TFightingShip& enemy) const = 0;

    // ---- What she does
    virtual int Course(const combat::TFightingShip& enemy) const = 0;
    // Her main guns' target; none when she has none.
    virtual const combat::TFightingShip* GunTarget(const combat::TFightingShip& enemy) const = 0;
    // Her main guns' chance per round, percent, against her target this minute; 0 without one.
    virtual double HitChance(const combat::TFightingShip& enemy) const = 0;
    // The stance her division has taken; -1 when she sails in none.
    virtual int DivisionStance(const combat::TFightingShip& enemy) const = 0;

    // ---- Whom our ship fights: the enemy the fire rules call her main enemy, or none.
    virtual combat::TFightingShip* MainEnemy(const combat::TFightingShip& own) const = 0;
};

// The enemy as he is: true type, damage and state, as the rules of the game allow the
// computer to know him.
class TFullKnowledge : public IEnemyKnowledge {
public:
    explicit TFullKnowledge(engine::TGameWorld& world) : world_(world) {}

    designs::TShipType Type(const combat::TFightingShip& enemy) const override;
    int SightingLevel(const combat::TFightingShip& enemy) const override;
    int Displacement(const combat::TFightingShip& enemy) const override;
    int DesignSpeed(const combat::TFightingShip& enemy) const override;
    int MainCalibre(const combat::TFightingShip& enemy) const override;
    std::string Description(const combat::TFightingShip& enemy) const override;
    bool Afloat(const combat::TFightingShip& enemy) const override;
    bool CanFight(const combat::TFightingShip& enemy) const override;
    int DamagePercentage(const combat::TFightingShip& enemy) const override;
    int CombatStrength(const combat::TFightingShip& enemy) const override;
    int MaxSpeed(const combat::TFightingShip& enemy) const override;
    int VisibilityRange(const combat::TFightingShip& enemy) const override;
    int Course(const combat::TFightingShip& enemy) const override;
    const combat::TFightingShip* GunTarget(const combat::TFightingShip& enemy) const override;
    double HitChance(const combat::TFightingShip& enemy) const override;
    int DivisionStance(const combat::TFightingShip& enemy) const override;
    combat::TFightingShip* MainEnemy(const combat::TFightingShip& own) const override;

private:
    engine::TGameWorld& world_;
};

// Measures of our own ships, which the computer knows as they are; the full knowledge of an
// enemy answers the same.
// Combat strength: the ship's value (the value the victory points count) less her damage.
int CombatStrength(const combat::TFightingShip& ship);
// Afloat, with at least one working turret gun or secondary gun.
bool CanStillFight(const combat::TFightingShip& ship);

} // namespace tarnwake::ai
