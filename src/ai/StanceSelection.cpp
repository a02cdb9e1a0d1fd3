#include "ai/StanceSelection.h"

#include "ai/DecisionContext.h"
#include "ai/EnemyKnowledge.h"
#include "ai/Measures.h"
#include "ai/Navigation.h"
#include "ai/Stance.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "designs/ShipTypes.h"
#include "engine/Detach.h"
#include "engine/FirePhase.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"

#include <algorithm>

namespace tarnwake::ai {

using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;

namespace {

// The many rules that toss a coin.
constexpr int kEvenChancePercent = 50;
// The measures of strength compare in tenths: the enemy is outnumbered at more than six
// fifths of his strength; we are at more than three halves, or twice, of ours.
constexpr int kOutnumbersTenths = 12;
constexpr int kOutnumberedTenths = 15;
constexpr int kOutnumberedTwiceTenths = 20;
// Short on ammunition, the enemy looks a tenth stronger; a bold force sees him a fifth weaker.
constexpr int kLowAmmoLevel = 60;
constexpr int kLowAmmoTenths = 11;
constexpr int kBoldTenths = 8;
// The range of the fight at close quarters, and of the light ships' own strength.
constexpr int kCloseQuartersYards = 9000;
constexpr int kLightShipsSupportYards = 15000;
// How long a cautious force fights before it thinks better of closing.
constexpr int kCautiousCombatMinutes = 30;
// Night cuts the odds of closing on a weaker enemy to three in ten.
constexpr int kNightClosePercent = 30;
// A core division only breaks the line to close an enemy while its lead is this near.
constexpr int kCoreCloseOnLeadYards = 9999;
// Closing at best speed when the enemy, out of range, is faster.
constexpr int kCapitalRapidPercent = 39;
// Reach of the main guns, in tenths: the enemy is beyond it past 9, well beyond past 12.
constexpr int kBeyondGunsTenths = 9;
constexpr int kWellBeyondGunsTenths = 12;
constexpr int kForceWithdrawalIncrease = 1;
// Low on ammunition: the chance to break off, in percent, by mission; less for a core division
// that follows its lead.
constexpr int kCapitalAmmoOrdinary = 40;
constexpr int kCapitalAmmoCautious = 50;
constexpr int kCapitalAmmoWithdrawal = 60;
constexpr int kCoreAmmoReduction = 10;
// Not too close: inside 10,000 yards the capital ships hold, unless a core division's enemy
// is still 8,000 yards off; twice our strength at close quarters lets them close on half the
// time; land targets bore them.
constexpr int kTooCloseYards = 10000;
constexpr int kCoreStillClosingYards = 8000;
constexpr int kOverwhelmingTimes = 2;
constexpr int kBoredPercent = 20;
// Damage: moderate past 30, heavy past 50.
constexpr int kModerateDamage = 30;
constexpr int kHeavyDamage = 50;
// Desired range: how far the target can be seen, plus this, is as close as it matters; the
// band beyond the desired range in which a division holds.
constexpr int kDesiredRangeBand = 2000;
constexpr int kDesiredDice = 10;
constexpr int kDesiredHoldAbove = 4;
constexpr int kBeyondGunsRapidPercent = 40;
// Enemy too close: inside 4,000 yards by day, 2,000 at night.
constexpr int kTooCloseDayYards = 4000;
constexpr int kTooCloseNightYards = 2000;
// Enemy fire: the hit chance, percent, above which it gets uncomfortable; holding is the less
// likely answer.
constexpr int kEnemyFireHoldPercent = 41;
// The threat rule.
constexpr int kThreatYards = 15000;
constexpr int kTorpedoThreatBaseYards = 4000;
constexpr int kCapitalTorpedoThreatSpread = 2000;
constexpr int kDetachFromThreatYards = 10000;
// A destroyer on the bow within 90 degrees of the course and this near threatens a torpedo.
constexpr int kDestroyerThreatYards = 6000;
constexpr int kDestroyerThreatAngle = 90;
// The withdrawing and cautious forces' second thoughts.
constexpr int kSecondThoughtsPercent = 20;
// Frustrated hold: the longer in combat, the less a division closes; a cautious force closes
// half as often.
constexpr int kFrustrationMinutes = 40;
// Four times in five: Random(100) above this.
constexpr int kMostlyAbove = 19;
// The force's withdrawal level against this die decides whether a division closes on an enemy
// out of range.
constexpr int kWithdrawalDice = 4;

// The light cruisers.
constexpr int kCautiousCruiserDice = 200;
constexpr int kScreenCloseOnLeadYards = 20000;
constexpr int kScoutOnLeadYards = 5001;
constexpr int kLightRapidPercent = 29;
constexpr int kCruiserAmmoOrdinary = 50;
constexpr int kCruiserAmmoCautious = 60;
constexpr int kCruiserAmmoWithdrawal = 80;
constexpr int kCruiserHeavyShellInches = 9;
constexpr int kCruiserTooCloseNightYards = 1500;
constexpr int kLightFireLimit = 5;
// Heavy fire on a cruiser: shells above 6 inches from a capital ship within 7,000 yards worry
// her six times in ten; above 7 inches she breaks off, or, in the line or well off a distant
// enemy, opens the range.
constexpr int kMediumShellInches = 6;
constexpr int kHeavyShellInches = 7;
constexpr int kHeavyFireCloseYards = 7000;
constexpr int kHeavyFireWorryPercent = 60;
constexpr int kHeavyFireKeepPercent = 40;
constexpr int kHeavyFireFarYards = 13999;
// A destroyer threat to a cruiser, and how a cruiser guarding its lead answers it.
constexpr int kLightTorpedoThreatSpread = 1000;
constexpr int kGuardTooCloseYards = 3501;
constexpr int kGuardBreaksPercent = 69;
constexpr int kGuardLeadYards = 5000;
constexpr int kGuardHoldAbove = 49;
constexpr int kCruiserThreatYards = 12000;
constexpr int kCruiserTorpedoThreatYards = 4000;

// The destroyers.
constexpr int kDestroyerStrengthFloor = 10;
constexpr int kCautiousDestroyerMinutes = 40;
// A dash at the enemy's destroyers: ten in twenty.
constexpr int kDashDice = 20;
constexpr int kDashChance = 10;
constexpr int kSupportStrayYards = 8000;
constexpr int kSupportStrayPercent = 40;
constexpr int kSupportLostYards = 22000;
constexpr int kCoveringAttackDice = 30;
constexpr int kCoveringAttackChance = 6;
// A torpedo attack: not on a ship of 12 knots or more with the flotilla abaft her beam, nor
// beyond 10,000 to 13,000 yards; pressed on a chance, on the force's order or on a cripple;
// before 1911 torpedoes only reached 6,000 yards.
constexpr int kOutrunKnots = 12;
constexpr int kAttackRangeBase = 10000;
constexpr int kAttackRangeStep = 1000;
constexpr int kAttackRangeSteps = 4;
constexpr int kAttackOnChancePercent = 5;
constexpr int kCrippledEnemyPercent = 50;
constexpr int kCrippledAttackPercent = 30;
constexpr int kModernTorpedoYear = 1910;
constexpr int kShortTorpedoYards = 6000;
constexpr int kSpeedAdvantageKnots = 5;
constexpr int kAttackCloseYards = 8000;
constexpr int kAttackEagerness = 10;
constexpr int kDestroyerAmmoOrdinary = 40;
constexpr int kDestroyerAmmoCautious = 50;
constexpr int kDestroyerAmmoWithdrawal = 70;
constexpr int kDestroyerDesiredMargin = 4000;
constexpr int kHeavyFireRoundsDice = 20;
constexpr int kHeavyFireRoundsBase = 8;
constexpr int kDestroyerTooCloseYards = 5000;
constexpr int kDestroyerTooCloseDice = 10;
constexpr int kDestroyerTooCloseChance = 6;

// The auxiliaries.
constexpr int kSweepersFleeTons = 8000;
constexpr int kAuxiliaryFleeYards = 20000;
constexpr int kAuxiliaryHoldDice = 20;
constexpr int kAuxiliaryHoldAbove = 9;
constexpr int kAuxiliaryShellInches = 5;
constexpr int kAuxiliaryTorpedoThreatYards = 8000;

// Some ship of the division fought with her main guns in the last fire phase.
bool Engaged(const TDivision& division) {
    return std::any_of(division.Ships.begin(), division.Ships.end(),
                       [](const TFightingShip* ship) { return ship->Engaged; });
}

} // namespace

TStanceSelection::TStanceSelection(const TDecisionContext& context, TDivision& division)
    : context_(context), world_(context.World), enemy_(context.Enemy), division_(division),
      flag_(*division.Flagship()), last_(division.RearShip()) {
    if (const combat::TForce* force = division.Force) {
        mission_ = force->Mission;
        withdrawal_ = force->WithdrawalLevel;
    }
    cautious_ = mission_ == combat::missionCautious || mission_ == combat::missionWithdrawal;
    humanSide_ = division.Side == world_.PlayerSide;
    gunRange_ = engine::BatteryRange(world_, flag_, designs::kMainGuns);
    division.TurnsSinceDecision = 0;
    division.ThreatShip = nullptr;
}

// ---- The situation

int TStanceSelection::Random(int n) {
    return world_.Random().Random(n);
}

bool TStanceSelection::StanceIs(std::initializer_list<int> stances) const {
    return std::find(stances.begin(), stances.end(), Stance()) != stances.end();
}

bool TStanceSelection::RoleIs(std::initializer_list<int> roles) const {
    return std::find(roles.begin(), roles.end(), division_.Role) != roles.end();
}

void TStanceSelection::Set(int stance, std::string_view words, const TFightingShip* enemy) {
    division_.TacticalStance = stance;
    if (!words.empty()) {
        context_.Reason(division_, words, enemy);
    }
}

bool TStanceSelection::Night() const {
    return flag_.LightState == combat::kLightNight;
}

bool TStanceSelection::FiredAt() const {
    return flag_.ShipsFiringAtMe > 0;
}

bool TStanceSelection::InSight() const {
    return flag_.SeenThisMinute;
}

bool TStanceSelection::LastShipSeesEnemy() const {
    return last_ != nullptr && !last_->Sighted.empty();
}

bool TStanceSelection::IsCapital(const TFightingShip& enemy) const {
    return designs::TypeIndex(enemy_.Type(enemy)) <= designs::TypeIndex(TShipType::CA);
}

bool TStanceSelection::IsType(const TFightingShip& enemy, TShipType type) const {
    return enemy_.Type(enemy) == type;
}

int TStanceSelection::RangeTo(const TFightingShip& other) const {
    return world_.SightingPairs.RoundedRange(flag_, other);
}

std::optional<int> TStanceSelection::RangeToLead() const {
    const TDivision* lead = division_.LeadDiv;
    if (lead == nullptr || !lead->HasShips()) {
        return std::nullopt;
    }
    return RangeTo(*lead->Flagship());
}

bool TStanceSelection::LeadWithin(int yards) const {
    const std::optional<int> range = RangeToLead();
    return range && *range < yards;
}

bool TStanceSelection::LeadBeyond(int yards) const {
    const std::optional<int> range = RangeToLead();
    return range && *range > yards;
}

bool TStanceSelection::SlowerThan(const TFightingShip& enemy) const {
    return flag_.CurrentMaxSpeed() < enemy_.MaxSpeed(enemy);
}

bool TStanceSelection::BeyondGuns(int range) const {
    return range * 10 > gunRange_ * kBeyondGunsTenths;
}

bool TStanceSelection::WellBeyondGuns(int range) const {
    return range * 10 > gunRange_ * kWellBeyondGunsTenths;
}

bool TStanceSelection::AbaftBeamOf(const TFightingShip& ship) const {
    constexpr int kBeam = 90;
    const int relative =
        map::AddBearing(world_.SightingPairs.Bearing(ship, flag_), -enemy_.Course(ship));
    return relative >= kBeam && relative <= 360 - kBeam;
}

bool TStanceSelection::MayBreakAway() {
    if (!mayBreakAway_) {
        mayBreakAway_ = ai::MayBreakAway(context_, division_);
    }
    return *mayBreakAway_;
}

int TStanceSelection::EnemyStrengthClose() {
    if (!enemyClose_) {
        enemyClose_ = EnemyStrength(context_, flag_, cautious_, kCloseQuartersYards);
    }
    return *enemyClose_;
}

int TStanceSelection::OwnStrengthClose() {
    if (!ownClose_) {
        ownClose_ = OwnStrength(context_, flag_, kCloseQuartersYards);
    }
    return *ownClose_;
}

void TStanceSelection::TakeNearestEnemy(TFightingShip* first) {
    b_ = first;
    if (b_ == nullptr) {
        b_ = NearestEnemy(context_, flag_);
    }
    if (b_ == nullptr && last_ != nullptr) {
        b_ = NearestEnemy(context_, *last_);
    }
    rangeB_ = b_ != nullptr ? RangeTo(*b_) : 0;
}

// ---- Rules several selectors share

void TStanceSelection::NoEnemy(bool mayKeepDisengaging) {
    if (mayKeepDisengaging && Stance() == combat::stanceDisengage && Random(100) > kMostlyAbove) {
        return;
    }
    Set(combat::stanceNoEnemySighted, "selects NOENEMYSIGHTED on no enemy sighted");
}

bool TStanceSelection::EnemyOutnumbered() const {
    return enemyStrength_ > 0 && ownStrength_ * 10 > enemyStrength_ * kOutnumbersTenths;
}

void TStanceSelection::CloseOnFasterEnemy(int rapidPercent) {
    division_.Closing = true;
    Set(combat::stanceClose, "selects CLOSE due to being out of range. Enemy ship: ", b_);
    if (WellBeyondGuns(rangeB_) || (SlowerThan(*b_) && Random(100) <= rapidPercent)) {
        Set(combat::stanceCloseRapidly,
            "selects CLOSE RAPIDLY due to being out of range. Enemy ship: ", b_);
    }
}

bool TStanceSelection::FollowForceWithdrawal(bool chaseCloses, bool lightRoles) {
    // A division running down a faster enemy keeps at it.
    if (b_ != nullptr && SlowerThan(*b_) && division_.Closing) {
        if (chaseCloses) {
            Set(combat::stanceClose);
        }
        return false;
    }
    const bool lightRole =
        lightRoles && RoleIs({combat::roleSupport, combat::roleScout, combat::roleScreen});
    if (withdrawal_ == kForceWithdrawalIncrease && !lightRole) {
        Set(combat::stanceIncrease, "selects INCREASE on FORCE WITHDRAW");
    } else {
        Set(combat::stanceDisengage, "selects DISENGAGE on FORCE WITHDRAW");
    }
    return true;
}

void TStanceSelection::Outnumbered(bool byCaution) {
    if (enemyStrength_ * 10 <= ownStrength_ * kOutnumberedTenths || division_.Closing ||
        !MayBreakAway()) {
        return;
    }
    if (byCaution ? cautious_ : mission_ == combat::missionWithdrawal) {
        Set(combat::stanceDisengage, "selects DISENGAGE due to being outnumbered - CAUTIOUS");
    } else if (byCaution || mission_ != combat::missionAggressive) {
        Set(combat::stanceIncrease, "selects INCREASE due to being outnumbered");
    }
}

void TStanceSelection::OutnumberedTwice() {
    if (enemyStrength_ * 10 <= ownStrength_ * kOutnumberedTwiceTenths || division_.Closing ||
        !MayBreakAway()) {
        return;
    }
    if (cautious_) {
        Set(combat::stanceDisengage, "selects DISENGAGE due to being outnumbered x 2 CAUTIOUS");
    } else {
        Set(combat::stanceIncrease, "selects INCREASE due to being outnumbered x 2");
    }
}

void TStanceSelection::OutnumberedAtCloseRange(bool targetBehind) {
    // The light ships count the odds at close quarters only when they have fallen astern of a
    // fast target still well off.
    constexpr int kTargetOffYards = 6000;
    constexpr int kFastTargetKnots = 18;
    if (targetBehind) {
        const TFightingShip* target = flag_.CurrentTarget;
        if (target == nullptr || !AbaftBeamOf(*target) || RangeTo(*target) <= kTargetOffYards ||
            enemy_.DesignSpeed(*target) <= kFastTargetKnots) {
            return;
        }
    }
    if (EnemyStrengthClose() * 10 <= OwnStrengthClose() * kOutnumberedTenths || division_.Closing ||
        !MayBreakAway()) {
        return;
    }
    if (cautious_) {
        Set(combat::stanceDisengage, "selects DISENGAGE due to being outnumbered 9000- CAUTIOUS");
    } else {
        Set(combat::stanceIncrease, "selects INCREASE due to being outnumbered 9000");
    }
}

void TStanceSelection::LowOnAmmunition(int ordinary, int cautious, int withdrawal,
                                       bool coreReduction) {
    int limit = mission_ == combat::missionCautious     ? cautious
                : mission_ == combat::missionWithdrawal ? withdrawal
                                                        : ordinary;
    if (coreReduction && division_.Role == combat::roleCore && division_.LeadDiv != nullptr) {
        limit -= kCoreAmmoReduction;
    }
    if (AmmoLevel(division_) < Random(limit)) {
        Set(combat::stanceDisengage, "selects DISENGAGE due to low on ammo");
    }
}

void TStanceSelection::NotTooClose() {
    if (b_ == nullptr || !StanceIs({combat::stanceClose, combat::stanceCloseRapidly})) {
        return;
    }
    if (rangeB_ < kTooCloseYards) {
        // Even with the odds overwhelmingly ours the division holds half the time, while the
        // enemy can still hit back.
        const bool overwhelming = OwnStrengthClose() >= kOverwhelmingTimes * EnemyStrengthClose();
        const bool hold =
            !overwhelming || (enemy_.CanFight(*b_) && Random(100) < kEvenChancePercent);
        const bool coreStillClosing =
            division_.Role == combat::roleCore && rangeB_ >= kCoreStillClosingYards;
        if (hold && !coreStillClosing) {
            Set(combat::stanceHold, "selects HOLD due to not wanting to get too close");
        }
    }
    if (IsType(*b_, TShipType::LT) && Random(100) < kBoredPercent) {
        Set(combat::stanceIncrease, "selects INCREASE on getting bored shooting up land targets");
    }
}

void TStanceSelection::CapitalDamage() {
    const int damage = DamageLevel(division_);
    if (damage > kModerateDamage && MayBreakAway()) {
        if (cautious_ && Random(100) < kEvenChancePercent) {
            Set(combat::stanceDisengage, "selects DISENGAGE due to moderate damage - CAUTIOUS");
        } else if (mission_ != combat::missionAggressive &&
                   !StanceIs({combat::stanceDisengage, combat::stanceAvoidThreat})) {
            Set(combat::stanceIncrease, "selects INCREASE due to moderate damage");
        }
    }
    if (damage > kHeavyDamage && !StanceIs({combat::stanceDisengage, combat::stanceAvoidThreat})) {
        if (MayBreakAway()) {
            Set(combat::stanceDisengage, "selects DISENGAGE due to heavy damage");
        } else if (Random(100) < kEvenChancePercent) {
            Set(combat::stanceIncrease, "selects INCREASE due to heavy damage");
        }
        division_.Closing = false;
    }
}

void TStanceSelection::LightDamage() {
    const int damage = DamageLevel(division_);
    if (damage > kModerateDamage) {
        if (cautious_) {
            Set(combat::stanceDisengage, "selects DISENGAGE due to moderate damage - CAUTIOUS");
        } else if (mission_ != combat::missionAggressive &&
                   !StanceIs({combat::stanceDisengage, combat::stanceAvoidThreat})) {
            Set(combat::stanceIncrease, "selects INCREASE due to moderate damage");
        }
    }
    if (damage > kHeavyDamage) {
        Set(combat::stanceDisengage, "selects DISENGAGE due to heavy damage");
        division_.Closing = false;
    }
}

void TStanceSelection::KeepDesiredRange(int visibilityMargin, const TFightingShip* enemy,
                                        TCloseTest test) {
    const int desired = DesiredRange(context_, flag_);
    if (desired <= 0) {
        return;
    }
    const TFightingShip& target = *flag_.CurrentTarget;
    const int r = RangeTo(target);
    const int seen = enemy_.VisibilityRange(target) + visibilityMargin;
    if (r >= seen) {
        return;
    }
    if (r >= desired) {
        if (r < desired + kDesiredRangeBand) {
            Set(combat::stanceHold);
        }
        return;
    }
    if (Random(kDesiredDice) > kDesiredHoldAbove) {
        Set(combat::stanceHold, "selects HOLD on keep desired range! ");
    } else {
        Set(combat::stanceIncrease, "selects INCREASE on keep desired range! ");
    }
    // Inside the range it would keep from its target, the division still closes an enemy that
    // is out of its guns' reach and firing at it.
    if (enemy == nullptr) {
        return;
    }
    const int range = RangeTo(*enemy);
    bool closes = BeyondGuns(range) && FiredAt();
    if (closes && test == TCloseTest::CapitalOrFaster) {
        closes = !IsType(*enemy, TShipType::DD) &&
                 (designs::TypeIndex(enemy_.Type(*enemy)) >= designs::TypeIndex(flag_.ShipType) ||
                  enemy_.MaxSpeed(*enemy) >= flag_.CurrentMaxSpeed());
    } else if (closes && test == TCloseTest::NotCapital) {
        closes = !IsCapital(*enemy);
    }
    if (closes) {
        Set(combat::stanceClose, "selects CLOSE due to being out of range. Enemy ship: ", enemy);
        if (WellBeyondGuns(range) && Random(100) < kBeyondGunsRapidPercent) {
            Set(combat::stanceCloseRapidly,
                "selects CLOSE RAPIDLY due to being out of range. Enemy ship: ", enemy);
        }
    }
}

void TStanceSelection::EnemyTooClose(int nightLimit) {
    if (b_ == nullptr || !enemy_.CanFight(*b_) || rangeB_ >= kTooCloseDayYards) {
        return;
    }
    if (flag_.LightState == combat::kLightDay || rangeB_ < nightLimit) {
        Set(combat::stanceDisengage, "selects DISENGAGE on enemy too close: ", b_);
        division_.TurnTogether = true;
    }
}

void TStanceSelection::EnemyFire(const TFightingShip* enemy, int limit, bool capitalOnly,
                                 bool coin) {
    if (enemy == nullptr || !enemy_.Afloat(*enemy) ||
        (capitalOnly ? !IsCapital(*enemy) : IsType(*enemy, TShipType::DD)) ||
        enemy_.GunTarget(*enemy) != &flag_ || (coin && Random(100) >= kEvenChancePercent)) {
        return;
    }
    if (Stance() <= combat::stanceIncrease || division_.Closing ||
        (!capitalOnly && Stance() == combat::stanceAvoidThreat) ||
        enemy_.HitChance(*enemy) <= limit) {
        return;
    }
    if (Random(100) < kEnemyFireHoldPercent) {
        Set(combat::stanceHold, "selects HOLD on enemy fire getting uncomfortable");
    } else {
        Set(combat::stanceIncrease, "selects INCREASE on enemy fire getting uncomfortable");
    }
}

void TStanceSelection::FlagshipStunned() {
    if (flag_.OutOfControl > 0) {
        Set(combat::stanceIncrease, "selects INCREASE on flagship stunned");
    }
}

void TStanceSelection::DestroyerTorpedoThreat(int yards, bool afloatTest) {
    TFightingShip* destroyer = NearestEnemyDestroyer(context_, flag_);
    if (destroyer == nullptr && last_ != nullptr) {
        destroyer = NearestEnemyDestroyer(context_, *last_);
    }
    if (destroyer == nullptr || (afloatTest && !enemy_.Afloat(*destroyer)) ||
        RangeTo(*destroyer) >= yards ||
        map::CourseDifference(flag_.Course(), world_.SightingPairs.Bearing(flag_, *destroyer)) >=
            kDestroyerThreatAngle) {
        return;
    }
    Set(combat::stanceAvoidTorpedoAttack);
    division_.ThreatShip = destroyer;
}

bool TStanceSelection::ThreatInReach(TFightingShip* threat, int& range) {
    threat_ = threat;
    if (threat == nullptr || !enemy_.Afloat(*threat)) {
        return false;
    }
    range = RangeTo(*threat);
    return range < kThreatYards;
}

void TStanceSelection::TurnAwayFrom(int stance, TFightingShip& threat) {
    Set(stance,
        stance == combat::stanceAvoidTorpedoAttack ? "selects AVOID TORPEDO ATTACK "
                                                   : "selects AVOID THREAT ",
        &threat);
    division_.ThreatShip = &threat;
}

bool TStanceSelection::FrustratedClose(const TFightingShip& enemy) {
    if (BeyondGuns(RangeTo(enemy)) &&
        division_.MinutesInCombat + kFrustrationMinutes < Random(100) &&
        (mission_ != combat::missionCautious || Random(100) < kEvenChancePercent) &&
        mission_ != combat::missionWithdrawal) {
        Set(combat::stanceClose, "selects CLOSE on frustrated hold");
        return true;
    }
    return false;
}

// ---- The capital ships' selector

void TStanceSelection::Capital() {
    if (!InSight() && flag_.Sighted.empty() && !LastShipSeesEnemy()) {
        NoEnemy(true);
        return;
    }
    // 1. The odds, and the enemy to fight.
    enemyStrength_ = EnemyStrength(context_, flag_, cautious_, kUnlimitedRange);
    if (AmmoLevel(division_) < kLowAmmoLevel) {
        enemyStrength_ = enemyStrength_ * kLowAmmoTenths / 10;
    }
    if (mission_ == combat::missionAggressive) {
        enemyStrength_ = enemyStrength_ * kBoldTenths / 10;
    }
    ownStrength_ = OwnStrength(context_, flag_, kUnlimitedRange);
    TakeNearestEnemy(enemy_.MainEnemy(flag_));
    Set(combat::stanceHold);
    // 2. The enemy is outnumbered.
    if (EnemyOutnumbered() && mission_ != combat::missionWithdrawal &&
        (mission_ != combat::missionCautious ||
         division_.MinutesInCombat <= kCautiousCombatMinutes) &&
        (division_.LeadDiv == nullptr || division_.Attacking) &&
        division_.Role != combat::roleScout && (!Night() || Random(100) < kNightClosePercent)) {
        Set(combat::stanceClose, "selects CLOSE on enemy is outnumbered");
    }
    // 3. The main enemy's range.
    if (b_ != nullptr && !IsType(*b_, TShipType::DD) &&
        (division_.Role != combat::roleCore ||
         RangeToLead().value_or(0) <= kCoreCloseOnLeadYards)) {
        if (!BeyondGuns(rangeB_) || !FiredAt()) {
            if (gunRange_ < rangeB_ && mission_ != combat::missionWithdrawal &&
                withdrawal_ < Random(kWithdrawalDice)) {
                Set(combat::stanceClose, "selects CLOSE on enemy out of range. Enemy: ", b_);
            }
        } else if (division_.DetachedShip) {
            Set(combat::stanceIncrease, "selects INCREASE due to detached ship being cautious");
        } else if (division_.FastestSpeed() < enemy_.MaxSpeed(*b_) &&
                   IsStrongestNearby(context_, division_)) {
            CloseOnFasterEnemy(kCapitalRapidPercent);
        }
    }
    // 4. The force withdraws behind its disengaging lead.
    const TDivision* lead = division_.LeadDiv;
    if (withdrawal_ > 0 && !humanSide_ && lead != nullptr &&
        lead->TacticalStance == combat::stanceDisengage) {
        if (b_ != nullptr && SlowerThan(*b_) && division_.Closing) {
            Set(combat::stanceClose, "selects CLOSE on FORCE WITHDRAW - closing strategy");
        } else if (FollowForceWithdrawal(true, false)) {
            return;
        }
    }
    // 5-7. Outnumbered.
    Outnumbered(false);
    OutnumberedTwice();
    OutnumberedAtCloseRange(false);
    // 8-13.
    LowOnAmmunition(kCapitalAmmoOrdinary, kCapitalAmmoCautious, kCapitalAmmoWithdrawal, true);
    NotTooClose();
    CapitalDamage();
    if (Stance() > combat::stanceIncrease && division_.Role != combat::roleCore) {
        KeepDesiredRange(kDesiredRangeBand, b_, TCloseTest::CapitalOrFaster);
    }
    EnemyTooClose(kTooCloseNightYards);
    // 14. Enemy fire getting uncomfortable.
    constexpr int kCapitalFireLimit = 4;
    constexpr int kCautiousFireLimit = 3;
    EnemyFire(enemy_.MainEnemy(flag_), cautious_ ? kCautiousFireLimit : kCapitalFireLimit, true,
              false);
    // 15-17. Threats, a stunned flagship, destroyers on the bow.
    CapitalThreat();
    FlagshipStunned();
    DestroyerTorpedoThreat(kDestroyerThreatYards, true);
    // 18-19. The withdrawing and cautious forces' second thoughts.
    if (mission_ == combat::missionWithdrawal && !humanSide_ &&
        Stance() == combat::stanceIncrease && Random(100) < kSecondThoughtsPercent) {
        Set(combat::stanceDisengage,
            " - withdrawing force modifies INCREASE stance to DISENGAGE. ");
    }
    if (cautious_ && !humanSide_) {
        if (Stance() == combat::stanceHold && Random(100) < kSecondThoughtsPercent &&
            division_.Role != combat::roleCore) {
            Set(combat::stanceIncrease,
                " - withdrawing/cautious force modifies HOLD stance to INCREASE. ");
        }
        if (Stance() == combat::stanceClose && Random(100) < kSecondThoughtsPercent) {
            Set(combat::stanceHold,
                " - withdrawing/cautious force modifies CLOSE stance to HOLD. ");
        }
    }
}

void TStanceSelection::CapitalThreat() {
    TFightingShip* threat = NearestThreat(context_, flag_);
    if (threat == nullptr && last_ != nullptr && last_ != &flag_) {
        // A lighter ship at the rear with a threat close aboard is sent off on her own.
        TFightingShip* rearThreat = NearestThreat(context_, *last_);
        if (rearThreat != nullptr &&
            designs::TypeIndex(flag_.ShipType) < designs::TypeIndex(last_->ShipType) &&
            world_.SightingPairs.RoundedRange(*last_, *rearThreat) < kDetachFromThreatYards &&
            enemy_.Afloat(*rearThreat)) {
            TFightingShip& detached = *last_;
            if (detached.Side == world_.PlayerSide) {
                world_.Log.AddLogLine(detached.Name + " has been detached to avoid close threat!",
                                      &detached);
            }
            engine::DetachShip(world_, division_, &detached);
            last_ = division_.RearShip();
        }
    }
    // In the line, armoured cruisers stand up to older battleships and battle cruisers to
    // battleships.
    if (threat != nullptr && division_.Role == combat::roleCore &&
        ((flag_.ShipType == TShipType::CA && IsType(*threat, TShipType::B)) ||
         (flag_.ShipType == TShipType::BC &&
          designs::IsOneOf(enemy_.Type(*threat), {TShipType::BB, TShipType::B})))) {
        threat = nullptr;
    }
    int range = 0;
    if (!ThreatInReach(threat, range)) {
        return;
    }
    if (IsType(*threat, TShipType::DD) &&
        range < Random(kCapitalTorpedoThreatSpread) + kTorpedoThreatBaseYards) {
        TurnAwayFrom(combat::stanceAvoidTorpedoAttack, *threat);
    } else if (!division_.Closing) {
        TurnAwayFrom(combat::stanceAvoidThreat, *threat);
    }
}

// ---- The light cruisers' selector

void TStanceSelection::Cruiser() {
    if (!InSight()) {
        NoEnemy(false);
        return;
    }
    enemyStrength_ = EnemyStrength(context_, flag_, cautious_, kUnlimitedRange);
    if (mission_ == combat::missionAggressive) {
        enemyStrength_ = static_cast<int>(core::RoundRatio(enemyStrength_ * kBoldTenths, 10));
    }
    if (AmmoLevel(division_) < kLowAmmoLevel) {
        enemyStrength_ = static_cast<int>(core::RoundRatio(enemyStrength_ * kLowAmmoTenths, 10));
    }
    ownStrength_ = OwnStrength(context_, flag_, kLightShipsSupportYards);
    TakeNearestEnemy(nullptr);
    Set(combat::stanceHold);
    // The enemy is outnumbered; screening cruisers think twice about leaving their charge.
    if (EnemyOutnumbered() && mission_ != combat::missionWithdrawal &&
        (mission_ != combat::missionCautious ||
         Random(kCautiousCruiserDice) >= division_.MinutesInCombat) &&
        (!Night() || Random(100) < kNightClosePercent)) {
        Set(combat::stanceClose, "selects CLOSE on enemy is outnumbered");
    }
    const bool screening = RoleIs({combat::roleScout, combat::roleScreen});
    if (screening && b_ != nullptr && Stance() == combat::stanceClose &&
        Random(100) < kEvenChancePercent) {
        Set(combat::stanceHold, " Screening CL changes CLOSE to HOLD");
    }
    // The main enemy's range: scouts and screens leave heavy ships to others.
    if (b_ != nullptr && (!screening || !IsCapital(*b_))) {
        if (!BeyondGuns(rangeB_) || !FiredAt()) {
            if (gunRange_ < rangeB_ && mission_ != combat::missionWithdrawal &&
                (!screening || LeadWithin(kScreenCloseOnLeadYards)) &&
                withdrawal_ < Random(kWithdrawalDice)) {
                Set(combat::stanceClose, "selects CLOSE on enemy out of range");
            }
        } else if (division_.Role == combat::roleScout && division_.LeadDiv != nullptr) {
            if (LeadWithin(kScoutOnLeadYards) || Random(100) > kMostlyAbove) {
                Set(combat::stanceHold, "selects HOLD - scouts keeping the range");
            } else {
                Set(combat::stanceIncrease, "selects INCREASE - scouts out on a limb");
            }
        } else if (division_.DetachedShip) {
            Set(combat::stanceIncrease, "selects INCREASE due to detached ship being cautious");
        } else if (designs::TypeIndex(enemy_.Type(*b_)) >= designs::TypeIndex(TShipType::CA) &&
                   IsStrongestNearby(context_, division_)) {
            CloseOnFasterEnemy(kLightRapidPercent);
        }
    }
    // The force withdraws; a lead that is disengaging takes the division with it by its own
    // orders.
    const TDivision* lead = division_.LeadDiv;
    if (withdrawal_ >= 1 && !humanSide_ &&
        (lead == nullptr || lead->TacticalStance != combat::stanceDisengage) &&
        FollowForceWithdrawal(true, true)) {
        return;
    }
    Outnumbered(true);
    OutnumberedAtCloseRange(true);
    if (b_ == nullptr) {
        Set(combat::stanceNoEnemySighted);
    }
    LowOnAmmunition(kCruiserAmmoOrdinary, kCruiserAmmoCautious, kCruiserAmmoWithdrawal, false);
    NotTooClose();
    if (flag_.BiggestCalibreTargetingMe > kCruiserHeavyShellInches) {
        Set(combat::stanceIncrease, "selects INCREASE due to being under heavy fire");
        division_.Closing = false;
    }
    LightDamage();
    if (Stance() > combat::stanceIncrease) {
        KeepDesiredRange(kDesiredRangeBand, b_, TCloseTest::None);
    }
    FlagshipStunned();
    EnemyTooClose(kCruiserTooCloseNightYards);
    TFightingShip* mainEnemy = enemy_.MainEnemy(flag_);
    EnemyFire(mainEnemy, kLightFireLimit, false, false);
    CruiserHeavyFire(mainEnemy);
    CruiserThreat();
    if (Stance() == combat::stanceHold && division_.Role == combat::roleIndependent &&
        threat_ != nullptr && !FrustratedClose(*threat_) && Random(100) < kEvenChancePercent) {
        Set(combat::stanceIncrease, "selects INCREASE on frustrated hold");
    }
    DestroyerTorpedoThreat(kCruiserTorpedoThreatYards, false);
}

void TStanceSelection::CruiserHeavyFire(const TFightingShip* mainEnemy) {
    if (mainEnemy == nullptr) {
        return;
    }
    const int range = RangeTo(*mainEnemy);
    if (flag_.BiggestCalibreTargetingMe > kMediumShellInches && IsCapital(*mainEnemy) &&
        range < kHeavyFireCloseYards && Random(100) < kHeavyFireWorryPercent) {
        if (!StanceIs({combat::stanceDisengage, combat::stanceAvoidThreat}) && !division_.Closing &&
            Random(100) > kHeavyFireKeepPercent) {
            Set(combat::stanceIncrease, "selects INCREASE on being under heavy fire");
        }
    }
    const int heaviest = std::max(flag_.BiggestCalibreTargetingMe,
                                  last_ != nullptr ? last_->BiggestCalibreTargetingMe : 0);
    if (heaviest > kHeavyShellInches &&
        !StanceIs({combat::stanceDisengage, combat::stanceAvoidThreat})) {
        // Cruisers in the line, or well off a distant enemy, only open the range.
        if ((range > kHeavyFireFarYards && division_.Role != combat::roleIndependent) ||
            division_.Role == combat::roleCore) {
            Set(combat::stanceIncrease);
        } else {
            Set(combat::stanceDisengage, "selects DISENGAGE on being under heavy fire");
        }
    }
}

void TStanceSelection::CruiserThreat() {
    TFightingShip* threat = NearestThreat(context_, flag_);
    // A cruiser in the line stands up to armoured cruisers.
    if (threat != nullptr && division_.Role == combat::roleCore && IsType(*threat, TShipType::CA)) {
        threat = nullptr;
    }
    int range = 0;
    if (!ThreatInReach(threat, range)) {
        return;
    }
    if (IsType(*threat, TShipType::DD) &&
        range < Random(kLightTorpedoThreatSpread) + kTorpedoThreatBaseYards) {
        // A supporting cruiser close by its lead stands between it and the destroyers.
        const bool guarding = RoleIs({combat::roleSupport, combat::roleScout, combat::roleScreen});
        if (!guarding || range < kGuardTooCloseYards || Random(100) > kGuardBreaksPercent ||
            Stance() == combat::stanceDisengage || !LeadWithin(kGuardLeadYards)) {
            TurnAwayFrom(combat::stanceAvoidTorpedoAttack, *threat);
            return;
        }
        if (Random(100) > kGuardHoldAbove) {
            Set(combat::stanceHold, "selects HOLD on protect lead against DD ", threat);
        } else {
            Set(combat::stanceClose, "selects CLOSE on protect lead against DD ", threat);
        }
        division_.ThreatShip = threat;
    } else if (!division_.Closing && (range < kCruiserThreatYards ||
                                      !CoursesDiverge(context_, flag_, *threat, kPresentCourse))) {
        TurnAwayFrom(combat::stanceAvoidThreat, *threat);
    }
}

// ---- The destroyers' selector

void TStanceSelection::Destroyer() {
    if (!((InSight() || LastShipSeesEnemy()) && (!flag_.Sighted.empty() || LastShipSeesEnemy()))) {
        NoEnemy(false);
        return;
    }
    enemyStrength_ = EnemyStrength(context_, flag_, cautious_, kUnlimitedRange);
    // A handful of destroyers is not made stronger or weaker by how the force sees it.
    if (enemyStrength_ > kDestroyerStrengthFloor) {
        if (AmmoLevel(division_) < kLowAmmoLevel) {
            enemyStrength_ = enemyStrength_ * kLowAmmoTenths / 10;
        }
        if (mission_ == combat::missionAggressive) {
            enemyStrength_ = enemyStrength_ * kBoldTenths / 10;
        }
    }
    ownStrength_ = OwnStrength(context_, flag_, kLightShipsSupportYards);
    TakeNearestEnemy(nullptr);
    Set(combat::stanceHold);
    DestroyerOutnumbered();
    // Supporting destroyers stay with their charge.
    if (RoleIs({combat::roleSupport, combat::roleScreen}) && b_ != nullptr) {
        if (Stance() == combat::stanceCloseRapidly && Random(100) < kEvenChancePercent) {
            Set(combat::stanceClose, " Supporting DD changes CLOSE RAPIDLY to CLOSE");
        }
        if (Stance() == combat::stanceClose && Random(100) < kEvenChancePercent) {
            Set(combat::stanceHold, " Supporting DD changes CLOSE to HOLD");
        }
        if (Stance() == combat::stanceHold && LeadBeyond(kSupportStrayYards) &&
            Random(100) < kSupportStrayPercent) {
            Set(combat::stanceIncrease, " Supporting DD changes HOLD to INCREASE");
        }
    }
    // The main enemy's range.
    if (b_ != nullptr) {
        if (BeyondGuns(rangeB_) && FiredAt()) {
            if (division_.Role == combat::roleScout && division_.LeadDiv != nullptr) {
                if (LeadWithin(kScoutOnLeadYards)) {
                    Set(combat::stanceClose);
                } else {
                    Set(combat::stanceIncrease,
                        "selects INCREASE due to scouts being out of range");
                }
            } else if (division_.DetachedShip) {
                Set(combat::stanceIncrease, "selects INCREASE due to detached ship being cautious");
            } else if (!IsCapital(*b_) && IsStrongestNearby(context_, division_)) {
                CloseOnFasterEnemy(kLightRapidPercent);
            }
        } else if (!IsCapital(*b_) && gunRange_ < rangeB_ &&
                   mission_ != combat::missionWithdrawal && withdrawal_ < Random(kWithdrawalDice)) {
            Set(combat::stanceClose, "selects CLOSE on enemy out of range. Enemy: ", b_);
        }
    }
    if (DestroyerForceWithdrawal()) {
        return;
    }
    // Outnumbered: destroyers answer an enemy flotilla's attack on their heavy ships.
    if (enemyStrength_ * 10 > ownStrength_ * kOutnumberedTenths) {
        if (b_ != nullptr && IsType(*b_, TShipType::DD) && rangeB_ < kTooCloseYards &&
            Random(kDashDice) < kDashChance && flag_.CapitalShipInSight &&
            enemy_.DivisionStance(*b_) == combat::stanceCloseRapidly) {
            Set(combat::stanceCloseRapidly, "selects CLOSE RAPIDLY on DD counterattack");
            division_.Attacking = true;
        } else if (!division_.Closing) {
            if (cautious_) {
                Set(combat::stanceDisengage,
                    "selects DISENGAGE due to being outnumbered - CAUTIOUS");
            } else {
                Set(combat::stanceIncrease, "selects INCREASE due to being outnumbered");
            }
        }
    }
    OutnumberedTwice();
    if (Stance() != combat::stanceCloseRapidly) {
        OutnumberedAtCloseRange(true);
    }
    DestroyerTorpedoAttack();
    LowOnAmmunition(kDestroyerAmmoOrdinary, kDestroyerAmmoCautious, kDestroyerAmmoWithdrawal, true);
    // A supporting flotilla caught in a fight its lead is not in gets out of it.
    const TDivision* lead = division_.LeadDiv;
    if (RoleIs({combat::roleSupport, combat::roleScreen}) && lead != nullptr &&
        Engaged(division_) && !Engaged(*lead) && Stance() != combat::stanceCloseRapidly) {
        Set(combat::stanceIncrease, "selects INCREASE - SUPPORTING DD getting out of trouble");
        division_.Closing = false;
        division_.Speed = division_.MedianSpeed();
    }
    DestroyerFrustratedHold();
    NotTooClose();
    LightDamage();
    if (Stance() > combat::stanceIncrease && division_.Role != combat::roleCore) {
        KeepDesiredRange(kDestroyerDesiredMargin, a_, TCloseTest::NotCapital);
    }
    EnemyFire(a_, kLightFireLimit, true, true);
    if (Random(kHeavyFireRoundsDice) + kHeavyFireRoundsBase < flag_.RoundsFiredAtMeThisMinute &&
        Stance() != combat::stanceDisengage) {
        Set(combat::stanceIncrease, "selects INCREASE on being under heavy fire");
    }
    FlagshipStunned();
    EnemyTooClose(kTooCloseNightYards);
    // Getting too close to the enemy's light forces.
    if (b_ != nullptr && rangeB_ < kDestroyerTooCloseYards && enemy_.Afloat(*b_) &&
        designs::IsOneOf(enemy_.Type(*b_), {TShipType::DD, TShipType::CL}) &&
        Random(kDestroyerTooCloseDice) < kDestroyerTooCloseChance) {
        Set(combat::stanceIncrease, "selects INCREASE on getting too close ", b_);
        division_.ThreatShip = b_;
    }
    // Far from their charge, supporting destroyers fall back on it.
    if (RoleIs({combat::roleSupport, combat::roleScreen}) && LeadBeyond(kSupportLostYards) &&
        StanceIs({combat::stanceHold, combat::stanceClose, combat::stanceCloseRapidly})) {
        Set(combat::stanceIncrease);
    }
}

void TStanceSelection::DestroyerOutnumbered() {
    if (!EnemyOutnumbered() || mission_ == combat::missionWithdrawal ||
        (mission_ == combat::missionCautious &&
         division_.MinutesInCombat >= Random(kCautiousDestroyerMinutes)) ||
        (division_.LeadDiv != nullptr && !division_.Attacking) ||
        division_.Role == combat::roleScout || b_ == nullptr) {
        return;
    }
    if (IsType(*b_, TShipType::DD) && rangeB_ < kTooCloseYards) {
        if (Random(kDashDice) < kDashChance && !Night()) {
            Set(combat::stanceCloseRapidly,
                "selects CLOSE RAPIDLY on enemy is outnumbered - DD attack");
        } else if (!Night() || Random(100) < kEvenChancePercent) {
            Set(combat::stanceClose, "selects CLOSE on enemy is outnumbered");
        }
    } else if (division_.Role == combat::roleIndependent && Random(100) < kEvenChancePercent) {
        Set(combat::stanceClose, "selects CLOSE on enemy is outnumbered");
    }
}

bool TStanceSelection::DestroyerForceWithdrawal() {
    const TDivision* lead = division_.LeadDiv;
    const bool flotillaAttack = division_.Force != nullptr && division_.Force->FlotillaAttack;
    if (withdrawal_ < 1 || humanSide_ ||
        !((lead != nullptr && lead->TacticalStance == combat::stanceDisengage) || flotillaAttack)) {
        return false;
    }
    if (flag_.ShipType != TShipType::DD || !HasTorpedoes(division_)) {
        return FollowForceWithdrawal(false, true);
    }
    // With torpedoes left, the flotilla covers the heavy ships' retreat by an attack.
    if (b_ != nullptr && IsCapital(*b_) && rangeB_ < kTooCloseYards &&
        Random(kCoveringAttackDice) < kCoveringAttackChance && CapitalShipNearby()) {
        division_.TorpedoAttackTarget = b_;
        Set(combat::stanceCloseRapidly, "selects CLOSE RAPIDLY on DD Torpedo covering attack");
        return true;
    }
    return false;
}

bool TStanceSelection::CapitalShipNearby() const {
    return std::any_of(world_.Ships.begin(), world_.Ships.end(), [&](const auto& ship) {
        return ship->Side == flag_.Side && ship.get() != &flag_ &&
               designs::TypeIndex(ship->ShipType) <= designs::TypeIndex(TShipType::CA) &&
               !ship->IsSinkingOrSunk() && RangeTo(*ship) < kLightShipsSupportYards;
    });
}

void TStanceSelection::DestroyerTorpedoAttack() {
    a_ = NearestEnemy(context_, flag_,
                      {TShipType::BB, TShipType::BC, TShipType::B, TShipType::CA, TShipType::TR});
    const bool flotillaAttack = division_.Force != nullptr && division_.Force->FlotillaAttack;
    if (a_ == nullptr) {
        return;
    }
    const int range = RangeTo(*a_);
    // Astern of a fast ship, or far off, the destroyers have no attack to make.
    if (((AbaftBeamOf(*a_) && enemy_.DesignSpeed(*a_) >= kOutrunKnots) ||
         range >= Random(kAttackRangeSteps) * kAttackRangeStep + kAttackRangeBase) &&
        !flotillaAttack) {
        if (Stance() != combat::stanceCloseRapidly) {
            division_.TorpedoAttackTarget = nullptr;
        }
        return;
    }
    if ((Random(100) <= kAttackOnChancePercent || division_.TorpedoAttackTarget != nullptr ||
         (flotillaAttack && Random(100) < kEvenChancePercent) ||
         (enemy_.DamagePercentage(*a_) > kCrippledEnemyPercent &&
          Random(100) < kCrippledAttackPercent)) &&
        (world_.ScenarioYear() > kModernTorpedoYear || range < kShortTorpedoYards) &&
        HasTorpedoes(division_)) {
        AttackWithTorpedoes(*a_);
    }
}

void TStanceSelection::AttackWithTorpedoes(TFightingShip& target) {
    division_.TorpedoAttackTarget = &target;
    division_.Attacking = true;
    Set(combat::stanceCloseRapidly, "selects CLOSE RAPIDLY on torpedo attack Target: ", &target);
}

void TStanceSelection::DestroyerFrustratedHold() {
    if (Stance() != combat::stanceHold || division_.Role != combat::roleIndependent ||
        a_ == nullptr || FrustratedClose(*a_)) {
        return;
    }
    const int range = RangeTo(*a_);
    // A slow heavy ship with the flotilla ahead of her beam invites an attack.
    if (IsCapital(*a_) && !AbaftBeamOf(*a_) &&
        enemy_.MaxSpeed(*a_) + kSpeedAdvantageKnots < flag_.CurrentMaxSpeed() &&
        range < kAttackCloseYards &&
        Random(100) < static_cast<int>(division_.Ships.size()) + kAttackEagerness &&
        HasTorpedoes(division_)) {
        if (world_.ScenarioYear() > kModernTorpedoYear || range < kShortTorpedoYards) {
            AttackWithTorpedoes(*a_);
        }
    } else if ((cautious_ && Random(100) < kEvenChancePercent) ||
               (mission_ != combat::missionAggressive && Random(100) < kSecondThoughtsPercent)) {
        Set(combat::stanceIncrease, "selects INCREASE on frustrated hold");
    }
}

// ---- The auxiliaries' selector

void TStanceSelection::Auxiliary() {
    if (division_.IsNeutral()) {
        return;
    }
    if (!InSight()) {
        NoEnemy(false);
        return;
    }
    enemyStrength_ = EnemyStrength(context_, flag_, cautious_, kUnlimitedRange);
    ownStrength_ = OwnStrength(context_, flag_, kUnlimitedRange);
    b_ = NearestEnemy(context_, flag_);
    rangeB_ = b_ != nullptr ? RangeTo(*b_) : 0;
    const bool transport = designs::IsOneOf(flag_.ShipType, {TShipType::TR, TShipType::AV});
    Set(transport ? combat::stanceIncrease : combat::stanceHold);
    // Minesweepers run from anything big; transports from any warship near.
    if (flag_.ShipType == TShipType::MS && division_.Side >= 0 &&
        division_.Side < static_cast<int>(world_.Sides.size())) {
        const TFightingShip* largest =
            world_.FindShip(world_.Sides[static_cast<std::size_t>(division_.Side)].ImportantEnemy);
        if (largest != nullptr && enemy_.Displacement(*largest) > kSweepersFleeTons &&
            RangeTo(*largest) < kAuxiliaryFleeYards) {
            Set(combat::stanceDisengage, "Minesweepers select DISENGAGE on sighted superior enemy");
            return;
        }
    }
    if (transport && b_ != nullptr && rangeB_ < kAuxiliaryFleeYards &&
        !IsType(*b_, TShipType::TR)) {
        Set(combat::stanceDisengage, "Transports select DISENGAGE on sighted superior enemy");
        return;
    }
    if (EnemyOutnumbered() && mission_ != combat::missionWithdrawal &&
        (mission_ != combat::missionCautious ||
         division_.MinutesInCombat <= kCautiousCombatMinutes) &&
        b_ != nullptr) {
        if (Random(kAuxiliaryHoldDice) > kAuxiliaryHoldAbove) {
            Set(combat::stanceHold, "selects HOLD on enemy is outnumbered - Aux avoid");
        } else {
            Set(combat::stanceIncrease, "selects INCREASE on enemy is outnumbered - Aux avoid");
        }
    }
    const TDivision* lead = division_.LeadDiv;
    if (withdrawal_ > 0 && !humanSide_ && lead != nullptr &&
        lead->TacticalStance == combat::stanceDisengage && FollowForceWithdrawal(false, true)) {
        return;
    }
    Outnumbered(false);
    // Under cruiser fire an auxiliary opens the range.
    if (flag_.BiggestCalibreTargetingMe > kAuxiliaryShellInches) {
        Set(combat::stanceIncrease);
        division_.Closing = false;
    }
    LightDamage();
    AuxiliaryThreat();
    DestroyerTorpedoThreat(kDestroyerThreatYards, true);
}

void TStanceSelection::AuxiliaryThreat() {
    TFightingShip* threat = NearestThreat(context_, flag_);
    int range = 0;
    if (!ThreatInReach(threat, range)) {
        return;
    }
    if (IsType(*threat, TShipType::DD) && range < kAuxiliaryTorpedoThreatYards) {
        TurnAwayFrom(combat::stanceAvoidTorpedoAttack, *threat);
    } else if (!division_.Closing) {
        TurnAwayFrom(combat::stanceAvoidThreat, *threat);
    }
}

// ---- The choice of selector

void SelectStance(const TDecisionContext& context, TDivision& division) {
    const TFightingShip* flag = division.Flagship();
    if (flag == nullptr) {
        context.Note(division, "Warning, no flagship!: Div := " + division.DivisionName);
        return;
    }
    if (division.Force == nullptr) {
        context.Note(division, "Warning! " + division.DivisionName + " has no force!");
    }
    TStanceSelection selection(context, division);
    switch (flag->ShipType) {
    case TShipType::BB:
    case TShipType::BC:
    case TShipType::B:
    case TShipType::CA:
        selection.Capital();
        break;
    case TShipType::CL:
        selection.Cruiser();
        break;
    case TShipType::DD:
        selection.Destroyer();
        break;
    default:
        selection.Auxiliary();
        break;
    }
}

} // namespace tarnwake::ai
