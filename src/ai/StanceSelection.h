#pragma once

#include "combat/Division.h"

#include <initializer_list>
#include <optional>
#include <string_view>

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::engine {
class TGameWorld;
}

namespace tarnwake::ai {

class IEnemyKnowledge;
class TDecisionContext;

// One stance decision of one division: its situation measured once, and the rules of the four
// selectors in their order. A rule that fires sets the stance and gives its reason; a rule that
// answers true ends the selection. The dice are drawn in the order the rules read them, and only
// when a rule gets as far as its dice.
class TStanceSelection {
public:
    TStanceSelection(const TDecisionContext& context, combat::TDivision& division);

    // Flagship BB, BC, B or CA.
    void Capital();
    // Flagship CL.
    void Cruiser();
    // Flagship DD.
    void Destroyer();
    // Flagship AMC, MS, TR, AV or LT.
    void Auxiliary();

private:
    using TFightingShip = combat::TFightingShip;

    // ---- The situation
    int Random(int n);
    int Stance() const { return division_.TacticalStance; }
    bool StanceIs(std::initializer_list<int> stances) const;
    bool RoleIs(std::initializer_list<int> roles) const;
    void Set(int stance, std::string_view words = {}, const TFightingShip* enemy = nullptr);
    bool Night() const;
    bool FiredAt() const;
    // The flagship saw an enemy, or was seen by one, in this minute's sighting.
    bool InSight() const;
    bool LastShipSeesEnemy() const;
    bool IsCapital(const TFightingShip& enemy) const;
    bool IsType(const TFightingShip& enemy, designs::TShipType type) const;
    int RangeTo(const TFightingShip& other) const;
    // Yards from the flagship to the lead division's flagship; none without a lead with ships.
    std::optional<int> RangeToLead() const;
    bool LeadWithin(int yards) const;
    bool LeadBeyond(int yards) const;
    bool SlowerThan(const TFightingShip& enemy) const;
    // Beyond nine tenths, and beyond six fifths, of the reach of the flagship's main guns.
    bool BeyondGuns(int range) const;
    bool WellBeyondGuns(int range) const;
    // The flagship lies abaft the beam of `ship`, as `ship` sees her.
    bool AbaftBeamOf(const TFightingShip& ship) const;
    bool MayBreakAway();
    int EnemyStrengthClose();
    int OwnStrengthClose();
    // Whom the fight is with: B of the rules, from the flagship's sighted list or the last ship's.
    void TakeNearestEnemy(TFightingShip* first);

    // ---- Rules several selectors share
    void NoEnemy(bool mayKeepDisengaging);
    bool EnemyOutnumbered() const;
    void CloseOnFasterEnemy(int rapidPercent);
    bool FollowForceWithdrawal(bool chaseCloses, bool lightRoles);
    void Outnumbered(bool byCaution);
    void OutnumberedTwice();
    void OutnumberedAtCloseRange(bool targetBehind);
    void LowOnAmmunition(int ordinary, int cautious, int withdrawal, bool coreReduction);
    void NotTooClose();
    void CapitalDamage();
    void LightDamage();
    // How the enemy out of the guns' reach must compare for the division to close him anyway.
    enum class TCloseTest { CapitalOrFaster, None, NotCapital };
    void KeepDesiredRange(int visibilityMargin, const TFightingShip* enemy, TCloseTest test);
    void EnemyTooClose(int nightLimit);
    void EnemyFire(const TFightingShip* enemy, int limit, bool capitalOnly, bool coin);
    void FlagshipStunned();
    void DestroyerTorpedoThreat(int yards, bool afloatTest);
    bool FrustratedClose(const TFightingShip& enemy);
    // The threat rules' H, kept for the rules after it; true when it is afloat within 15,000
    // yards, `range` then its range.
    bool ThreatInReach(TFightingShip* threat, int& range);
    // AVOID THREAT or AVOID TORPEDO ATTACK, turning from `threat`.
    void TurnAwayFrom(int stance, TFightingShip& threat);

    // ---- Rules of one selector
    void CapitalThreat();
    void CruiserHeavyFire(const TFightingShip* mainEnemy);
    void CruiserThreat();
    void DestroyerOutnumbered();
    bool DestroyerForceWithdrawal();
    bool CapitalShipNearby() const;
    void DestroyerTorpedoAttack();
    void DestroyerFrustratedHold();
    void AttackWithTorpedoes(TFightingShip& target);
    void AuxiliaryThreat();

    const TDecisionContext& context_;
    engine::TGameWorld& world_;
    const IEnemyKnowledge& enemy_;
    combat::TDivision& division_;
    TFightingShip& flag_;
    TFightingShip* last_;
    int mission_ = 0;
    int withdrawal_ = 0;
    bool cautious_ = false;
    bool humanSide_ = false;
    int gunRange_ = 0; // G
    // E, O and B with its range R, as the set-up measured them.
    int enemyStrength_ = 0;
    int ownStrength_ = 0;
    TFightingShip* b_ = nullptr;
    int rangeB_ = 0;
    // The destroyers' torpedo target A.
    TFightingShip* a_ = nullptr;
    // The nearest threat H once the threat rule has weighed it.
    TFightingShip* threat_ = nullptr;
    std::optional<int> enemyClose_;
    std::optional<int> ownClose_;
    std::optional<bool> mayBreakAway_;
};

} // namespace tarnwake::ai
