#include "ai/StanceCourse.h"

#include "ai/DecisionContext.h"
#include "ai/EnemyKnowledge.h"
#include "ai/ForceOrders.h"
#include "ai/Measures.h"
#include "ai/Navigation.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "combat/Stations.h"
#include "combat/Visibility.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "engine/ContactReports.h"
#include "engine/GameWorld.h"
#include "engine/Movement.h"
#include "engine/Objective.h"
#include "engine/Report.h"
#include "engine/Sighting.h"
#include "map/Geometry.h"
#include "map/Globe.h"

#include <algorithm>
#include <cstdlib>
#include <optional>
#include <string>

namespace tarnwake::ai {

using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;

namespace {

constexpr int kReverse = 180;
constexpr int kPercent = 100;
constexpr int kNoWaypoint = -1;

// Survivors are picked up while the nearest enemy keeps off: a destroyer beyond 9,000 yards,
// a light cruiser beyond 16,000.
constexpr int kRescueDestroyerYards = 9000;
constexpr int kRescueCruiserYards = 16000;
// Detached ships and damaged divisions shy from a fight.
constexpr int kDetachedHoldPercent = 30;
constexpr int kDetachedIncreasePercent = 50;
constexpr int kDetachedNamePercent = 50;
constexpr int kLowAmmo = 40;
constexpr int kDamaged = 50;
constexpr int kDamagedShyPercent = 70;
// Aircraft and objectives.
constexpr int kAircraftObjectiveYards = 20000;
constexpr int kObjectiveSearchYards = 30000;
constexpr int kFlyingSeaState = 6;
constexpr int kFlyingWeatherLow = 2;
constexpr int kFlyingWeatherHigh = 5;
constexpr int kAircraftReportPeriod = 60;
constexpr int kAircraftAngle = 90;
constexpr int kObjectiveAngle = 80;
constexpr int kObjectiveAfterMinutes = 60;
constexpr int kObjectiveAmmoRoll = 40;
constexpr int kObjectiveAmmoBase = 20;
constexpr int kObjectiveWithdrawal = 3;
// Force withdrawal wears the stance down: Random(5) and Random(10) against the level.
constexpr int kWithdrawalRoll = 5;
constexpr int kWithdrawalHoldRoll = 10;
// A disengage point is given up once an enemy comes within 16,000 yards.
constexpr int kDisengagePointEnemyYards = 16000;
constexpr int kDisengagePointAngle = 110;
// Attacking transports.
constexpr int kTransportWithdrawal = 1;
constexpr int kTransportDamage = 39;
constexpr int kTransportYards = 2000;
constexpr int kTransportLightPercent = 50;
constexpr int kTransportHeavyPercent = 10;
constexpr int kTransportAngle = 90;
// Scouts slow down on their station.
constexpr int kOnStationYards = 500;
constexpr int kOnStationSlowing = 2;
// Avoiding a heavy enemy.
constexpr int kScoutHeavyYards = 10000;
constexpr int kAnyHeavyYards = 6000;
constexpr int kAnyHeavyPercent = 40;
constexpr int kFarHeavyYards = 16000;
constexpr int kFarHeavyPercent = 50;
constexpr int kAvoidHeavyTurn = 150;
constexpr int kAvoidHeavySpread = 50;
constexpr int kAvoidHeavyAngle = 100;
constexpr int kAvoidHeavySmokePercent = 40;
constexpr int kAvoidHeavySmokeMinutes = 50;
// Shielded: on the far side of the lead flagship from its target.
constexpr int kShieldFromLow = 200;
constexpr int kShieldFromHigh = 355;
constexpr int kShieldToLow = 5;
constexpr int kShieldToHigh = 160;
// Support and screen stations.
constexpr int kStationFreeYards = 16000;
constexpr int kStationMinSpeed = 16;
constexpr int kRecallLeadYards = 15000;
constexpr int kRecallAngle = 90;
constexpr int kStationEnemyYards = 8000;
constexpr int kStationDestroyerEnemyYards = 6000;
constexpr int kBattleSpeed = 18;
constexpr int kQuietSpeed = 12;
constexpr int kQuietEnemyYards = 36000;
constexpr int kAbaftStationYards = 800;
constexpr int kAbaftSupportSlowing = 3;
constexpr int kAbaftScoutSlowing = 2;
constexpr int kFarStationYards = 2000;
constexpr int kStationDash = 10;
constexpr int kStationFastLead = 15;
constexpr int kStationCatchUp = 4;
constexpr int kOnStationCloseYards = 300;
constexpr int kScoutStationYards = 1500;
constexpr int kScoutSearchYards = 2000;
constexpr int kScoutSearchAngle = 90;
constexpr int kScoutDash = 5;
constexpr int kScoutCreep = 1;
constexpr int kStationAngle = 90;
constexpr int kBeam = 90;

// DISENGAGE.
constexpr int kEscapeTurn = 150;
constexpr int kEscapeSpread = 60;
constexpr int kEscapeNightSpread = 30000;
constexpr int kEscapeNightBase = 10000;
constexpr int kEscapeDaySpread = 40000;
constexpr int kEscapeDayBase = 20000;
constexpr int kRejoinEnemyYards = 8000;
constexpr int kRejoinDamage = 50;
constexpr int kRejoinAngle = 120;
constexpr int kRejoinSpeedUp = 4;
constexpr int kForceFlagshipAngle = 140;
constexpr int kLeadEnemyYards = 15000;
constexpr int kLeadAngle = 90;
constexpr int kBaseTurn = 20;
constexpr int kBaseExtraTurn = 10;
constexpr int kCoursePercent = 50;
constexpr int kDisengageJitter = 20;
constexpr int kDisengageExecute = 11;
constexpr int kRetreatSlowing = 2;
constexpr int kHomeAngle = 90;
constexpr int kNoEnemyRejoinAngle = 140;

// INCREASE.
constexpr int kAheadOfLeadYards = 2000;
constexpr int kForwardArc = 100;
constexpr int kAftArc = 260;
constexpr int kSimilarCourse = 79;
constexpr int kShadeTurn = 10;
constexpr int kShadeSpread = 10;
constexpr int kOpeningAngle = 90;
constexpr int kDivergeNear = 110;
constexpr int kDivergeFar = 120;
constexpr int kRejoinLeadYards = 3000;
constexpr int kRejoinLeadAngle = 100;
constexpr int kDestroyerRejoinYards = 5000;
constexpr int kDestroyerRejoinAngle = 60;
constexpr int kGunsBearYards = 10000;
constexpr int kGunsBearPercent = 30;
constexpr int kGunsBearTurn = 30;
constexpr int kQuarterFrom = 156;
constexpr int kQuarterTo = 214;
constexpr int kDivergeAngle = 120;
constexpr int kLeadOffAngle = 80;
constexpr int kBeamFrom = 46;
constexpr int kBeamTo = 134;
constexpr int kPortBeamFrom = 226;
constexpr int kPortBeamTo = 314;
constexpr int kBeamCourseDiffers = 19;
constexpr int kBeamAway = 100;
constexpr int kBeamNear = 20;
constexpr int kEndOnDiffers = 44;
constexpr int kEndOnAngle = 110;
constexpr int kEndOnTurn = 45;
constexpr int kEndOnAway = 120;
constexpr int kExecuteTurn = 10;
constexpr int kArcLimit = 10;
constexpr int kTurnTogetherYards = 1000;
constexpr int kNoEnemyIncreaseSpeed = 25;

// HOLD.
constexpr double kLeadSpeedShare = 0.6;
constexpr int kLeadLastShipYards = 8000;
constexpr int kTooCloseNightYards = 2500;
constexpr int kTooCloseYards = 5000;
constexpr int kTooCloseHarmlessYards = 1000;
constexpr int kHoldAway = 100;
constexpr int kHoldAstern = 90;
constexpr int kHoldAsternAngle = 80;
constexpr int kHoldAheadYards = 120000;
constexpr int kHoldJitter = 10;
constexpr int kHoldArcLimit = 15;
constexpr int kAsternSector = 3;

// CLOSE.
constexpr int kCoreFarFromLeadYards = 15000;
constexpr int kReportFactor = 2;
constexpr int kReportNorthAngle = 80;
constexpr int kCoreFollowYards = 30000;
constexpr int kCoreFollowPercent = 70;
constexpr int kLandTargetTurn = 65;
constexpr int kLandTargetPercent = 49;
constexpr int kAheadSector = 1;
constexpr int kSlowCrossTurn = 70;
constexpr int kCrossTurn = 85;
constexpr double kSlowLead = 0.9;
constexpr double kLead = 1.4;

// CLOSE RAPIDLY.
constexpr int kRapidSpeedUp = 2;
constexpr int kRapidRangeYards = 6000;
constexpr int kRapidShortLeadYards = 8000;
constexpr int kRapidExecute = 11;

// AVOID THREAT and AVOID TORPEDO ATTACK.
constexpr int kThreatBaseTurn = 10;
constexpr int kThreatJitter = 10;
constexpr int kThreatSpeed = 33;
constexpr int kTorpedoJitter = 20;
constexpr int kTorpedoSpeed = 30;
constexpr int kTorpedoExecute = 5;
constexpr int kQuarterTurn = 4;

// NOENEMYSIGHTED.
constexpr int kBattleshipCruise = 16;
constexpr int kCruiserCruise = 18;
constexpr int kTransportCruiseMin = 5;
constexpr int kTransportCruiseLess = 4;
constexpr int kOtherCruiseMin = 12;
constexpr int kOtherCruiseLess = 4;
constexpr int kGoHomeDamage = 50;
constexpr int kDetachDamage = 40;
constexpr int kDetachPercent = 19;
constexpr int kWithdrawHomeLevel = 3;
constexpr int kWithdrawHomePercent = 10;
constexpr int kLowAmmoHome = 30;
constexpr int kLeadNearYards = 24000;
constexpr int kPatrolReportYards = 20000;
constexpr int kPatrolReportBase = 20000;
constexpr int kPatrolPercent = 30;
constexpr int kPatrolNearYards = 1500;
constexpr int kPatrolTransportYards = 70000;
constexpr int kPatrolOtherYards = 10000;
constexpr int kPatrolSpeed = 12;
constexpr int kScoutSupportRoll = 5;
constexpr int kScoutSupportStep = 1000;
constexpr int kScoutSupportBase = 4000;
constexpr int kCautiousCombatRoll = 40;
constexpr int kInitialDamage = 40;
constexpr int kMissionSpeedCap = 24;
constexpr int kWithdrawalMax = 9;
constexpr int kStationCruiserYards = 28000;
constexpr int kStationNearYards = 30000;
constexpr int kStationOtherYards = 10000;
constexpr int kStationCounterDegrees = 10;
constexpr int kForceWithdrawHome = 2;
constexpr int kReportAmmo = 31;
constexpr int kReportDamage = 39;
constexpr int kDestroyerReportYards = 119999;
constexpr int kReportSpeed = 18;
constexpr int kStationPercent = 1;
constexpr int kMixUpPercent = 5;
constexpr int kLockedOpportunityPercent = 30;
constexpr int kNoEnemyMinWithdrawal = 2;
constexpr int kNoEnemyAmmo = 50;
constexpr int kNoEnemyDamage = 30;

// After the stance.
constexpr int kRejoinCheckYards = 7000;
constexpr int kSupportRejoinYards = 8000;
constexpr int kScoutRejoinYards = 3000;
constexpr int kRejoinAfterAngle = 90;
constexpr int kFloodingNearYards = 10000;
constexpr int kFloodingFarYards = 16000;
constexpr int kFloodingNearSpeed = 15;
constexpr int kFloodingFarSpeed = 10;
constexpr int kFloodingBad = 50;
constexpr int kFloodingSome = 10;
constexpr int kFloodingSlowSpeed = 10;
constexpr int kFloodingFightingSpeed = 14;
constexpr int kFloodingQuietSpeed = 8;
constexpr int kFloodingCalibreMargin = 2;
constexpr int kFloodingCalibreCap = 11;

bool Capital(TShipType type) {
    return designs::TypeIndex(type) <= designs::TypeIndex(TShipType::CA);
}
bool Heavy(TShipType type) {
    return designs::TypeIndex(type) <= designs::TypeIndex(TShipType::B);
}
bool TypeBelow(TShipType a, TShipType b) {
    return designs::TypeIndex(a) < designs::TypeIndex(b);
}

// Of two courses, the one nearer to `course`.
int Nearer(int course, int a, int b) {
    return map::CourseDifference(course, a) <= map::CourseDifference(course, b) ? a : b;
}
// Of bearing ± turn, the one nearer to `course`.
int EitherSideNearer(int course, int bearing, int turn) {
    return Nearer(course, map::AddBearing(bearing, turn), map::AddBearing(bearing, -turn));
}

bool IsZero(const map::TGeoPos& p) {
    return p == map::TGeoPos{};
}

// One course decision of one division; see SelectStanceCourse.
class TStanceCourse {
public:
    TStanceCourse(const TDecisionContext& context, TDivision& division)
        : context_(context), world_(context.World), division_(division),
          flag_(*division.Flagship()), last_(division.RearShip()), start_(division.Course) {}

    void Run();

private:
    // ---- The situation
    int Random(int n) { return world_.Random().Random(n); }
    int Stance() const { return division_.TacticalStance; }
    bool StanceIs(std::initializer_list<int> stances) const {
        return std::find(stances.begin(), stances.end(), Stance()) != stances.end();
    }
    bool RoleIs(std::initializer_list<int> roles) const {
        return std::find(roles.begin(), roles.end(), division_.Role) != roles.end();
    }
    // Above INCREASE and not turning from a torpedo attack: the division means to fight.
    bool Fighting() const {
        return Stance() > combat::stanceIncrease && Stance() != combat::stanceAvoidTorpedoAttack;
    }
    bool IsType(TShipType type) const { return flag_.ShipType == type; }
    TShipType TypeOf(const TFightingShip& ship) const {
        return ship.Side == flag_.Side ? ship.ShipType : context_.Enemy.Type(ship);
    }
    int Range(const TFightingShip& other) const {
        return world_.SightingPairs.RoundedRange(flag_, other);
    }
    int RangeTo(const map::TGeoPos& p) const {
        return static_cast<int>(map::RangeYards(flag_.Position(), p));
    }
    int BearingTo(const TFightingShip& other) const {
        return world_.SightingPairs.Bearing(flag_, other);
    }
    int BearingTo(const map::TGeoPos& p) const { return map::BearingBetween(flag_.Position(), p); }
    int Relative(int bearing) const { return map::AddBearing(bearing, -flag_.Course()); }
    bool Night() const { return flag_.LightState == combat::kLightNight; }
    bool Detached() const {
        return division_.DetachedShip || division_.DivisionName.find('*') != std::string::npos;
    }
    bool IndependentOrLocked() const {
        return division_.Role == combat::roleIndependent || division_.LockedAI;
    }
    int Withdrawal() const { return force_ != nullptr ? force_->WithdrawalLevel : 0; }
    int Mission() const { return force_ != nullptr ? force_->Mission : 0; }
    TDivision* Lead() const {
        TDivision* lead = division_.LeadDiv;
        return lead != nullptr && lead->HasShips() ? lead : nullptr;
    }
    TFightingShip* LeadFlag() const { return Lead() != nullptr ? Lead()->Flagship() : nullptr; }
    TFightingShip* ForceFlag() const {
        return force_ != nullptr ? force_->CachedFlagship() : nullptr;
    }
    bool IsForceFlagship() const { return ForceFlag() == &flag_; }
    // The enemy lies beyond `yards`, or there is none.
    bool NBeyond(int yards) const { return n_ == nullptr || Range(*n_) > yards; }
    // The nearest sighted enemy of the flagship's own list, of any kind.
    int NearestSightedRange() const;

    // ---- Giving orders
    void Reason(std::string_view words, const TFightingShip* enemy = nullptr) const {
        context_.Reason(division_, words, enemy);
    }
    // Sets the course (the division's set-course operation turns it short of land).
    void Steer(int course, std::string_view words, const TFightingShip* enemy = nullptr) {
        engine::SetDivisionCourse(world_, division_, course);
        Reason(words, enemy);
    }
    // Sets the course when it differs from the present one by more than `threshold`.
    void Execute(int course, int threshold, std::string_view words,
                 const TFightingShip* enemy = nullptr) {
        if (map::CourseDifference(course, start_) > threshold) {
            Steer(course, words, enemy);
        }
    }
    void ChangeStance(int from, int to, std::string_view words) {
        if (Stance() == from) {
            division_.TacticalStance = to;
            Reason(words);
        }
    }
    // A line-ahead formation for a division falling back, and the mark that it does.
    void FallBackFormation() {
        if (division_.Formation == combat::formSearchLine ||
            division_.Formation == combat::formScreen) {
            division_.Formation = combat::formLineAhead;
        }
        division_.RetreatMark = true;
    }
    void LineAhead() {
        division_.Formation = combat::formLineAhead;
        division_.TurnTogether = false;
    }
    // The goal passed through TryCourse; the goal itself when no clear course is found.
    int Tried(int course, int minAngle) const {
        TryCourse(context_, division_, course, minAngle);
        return course;
    }

    // ---- Before the stance; each answers true when it ends the selection.
    void FormationReset();
    bool Rescue();
    void DetachedShyness();
    void AmmunitionAndDamage();
    std::optional<map::TGeoPos> ObjectivePoint() const;
    bool Aircraft();
    bool ObjectivePursuit();
    void ForceWithdrawal();
    void PatrolFormation();
    bool DisengagePoint();
    void LeadLoss();
    bool AttackTransports();
    void ScoutSpeed();
    bool AvoidHeavyEnemy();
    bool Shielded() const;
    bool SupportAndScreenStations();
    bool ScoutStation();
    void SightingCheck();

    // ---- By stance
    TFightingShip* ReferenceEnemy(bool freshNearest) const;
    bool Disengage();
    void DisengageWithoutEnemy();
    bool RejoinOriginal(int angle, int& course);
    void Increase();
    void Hold();
    void Close();
    void CloseRapidly();
    void AvoidThreat();
    void AvoidTorpedoAttack();
    int CruisingSpeed() const;
    void NoEnemySighted();
    bool NoEnemyTasks();
    bool MissionCourse();
    std::optional<int> ForceFlagshipStation();
    std::optional<int> FlagDivisionRoute();
    bool Opportunity();
    void NoEnemyAfterwards(bool courseChosen);

    // ---- After the stance
    void RejoinStation();
    void FloodingCaps();

    const TDecisionContext& context_;
    engine::TGameWorld& world_;
    TDivision& division_;
    TFightingShip& flag_;
    TFightingShip* last_;
    combat::TForce* force_ = nullptr;
    const int start_; // C: the ordered course before this decision
    TFightingShip* m_ = nullptr;
    TFightingShip* n_ = nullptr;
    // Whether a NOENEMYSIGHTED rule chose a course: a course due north is a course too.
    bool noEnemyCourse_ = false;
};

int TStanceCourse::NearestSightedRange() const {
    const TFightingShip* nearest = NearestEnemy(context_, flag_);
    return nearest != nullptr ? Range(*nearest) : kUnlimitedRange;
}

void TStanceCourse::Run() {
    force_ = division_.Force;
    FormationReset();
    if (Rescue()) {
        return;
    }
    if (Detached()) {
        DetachedShyness();
    }
    AmmunitionAndDamage();
    if (Aircraft() || ObjectivePursuit()) {
        return;
    }
    ForceWithdrawal();
    if (force_ == nullptr) {
        world_.Messages().Warn("Warning! " + division_.DivisionName + " has no force!");
        return;
    }
    // The nearest enemy is taken once, for every division, before the steps that read it.
    n_ = NearestEnemy(context_, flag_);
    PatrolFormation();
    if (DisengagePoint()) {
        return;
    }
    LeadLoss();
    if (AttackTransports()) {
        return;
    }
    ScoutSpeed();
    if (AvoidHeavyEnemy() || SupportAndScreenStations() || ScoutStation()) {
        return;
    }
    SightingCheck();
    if (Stance() != combat::stanceDisengage) {
        division_.RetreatMark = false;
    }
    bool ended = false;
    switch (Stance()) {
    case combat::stanceDisengage:
        ended = Disengage();
        break;
    case combat::stanceIncrease:
        Increase();
        break;
    case combat::stanceHold:
        Hold();
        break;
    case combat::stanceClose:
        Close();
        break;
    case combat::stanceCloseRapidly:
        CloseRapidly();
        break;
    case combat::stanceAvoidThreat:
        AvoidThreat();
        break;
    case combat::stanceAvoidTorpedoAttack:
        AvoidTorpedoAttack();
        break;
    default:
        NoEnemySighted();
        break;
    }
    if (ended) {
        return;
    }
    RejoinStation();
    FloodingCaps();
}

// ---- Before the stance

void TStanceCourse::FormationReset() {
    if (division_.Role == combat::roleCore) {
        LineAhead();
    } else if (division_.Role == combat::roleSupport && flag_.Sighted.empty() &&
               Random(kPercent) < 20) {
        LineAhead();
    }
}

bool TStanceCourse::Rescue() {
    TFightingShip* target = division_.RescueTarget;
    if (target == nullptr) {
        return false;
    }
    const int nearest = NearestSightedRange();
    const bool keepOn = (IsType(TShipType::DD) && nearest > kRescueDestroyerYards) ||
                        (IsType(TShipType::CL) && nearest > kRescueCruiserYards);
    if (!keepOn) {
        target->BeingRescued = false;
        division_.RescueTarget = nullptr;
        return false;
    }
    Steer(BearingTo(*target), " selects course on rescue survivors - " + target->Name);
    return true;
}

void TStanceCourse::DetachedShyness() {
    const bool light = IsType(TShipType::CL) || IsType(TShipType::DD);
    if (StanceIs({combat::stanceClose, combat::stanceCloseRapidly}) &&
        (light || Random(kPercent) < kDetachedHoldPercent)) {
        division_.TacticalStance = combat::stanceHold;
        Reason(" - detached ship modifies CLOSE stance to HOLD.");
    }
    if (light && Stance() == combat::stanceHold && Random(kPercent) < kDetachedIncreasePercent) {
        ChangeStance(combat::stanceHold, combat::stanceIncrease,
                     " - detached ship modifies HOLD stance to INCREASE.");
    }
}

void TStanceCourse::AmmunitionAndDamage() {
    if (AmmoLevel(division_) >= kLowAmmo && DamageLevel(division_) <= kDamaged) {
        return;
    }
    if (StanceIs({combat::stanceClose, combat::stanceCloseRapidly}) &&
        Random(kPercent) < kDamagedShyPercent) {
        division_.TacticalStance = combat::stanceHold;
        Reason(" - low on ammo or damaged modifies CLOSE stance to HOLD.");
    }
    if (Stance() == combat::stanceHold && Random(kPercent) < kDamagedShyPercent) {
        ChangeStance(combat::stanceHold, combat::stanceIncrease,
                     " - low on ammo or damaged modifies HOLD stance to INCREASE.");
    }
}

std::optional<map::TGeoPos> TStanceCourse::ObjectivePoint() const {
    for (const auto& objective : world_.Objectives) {
        if (objective->Goal != engine::goalReach ||
            objective->Status == engine::kObjectiveAccomplished ||
            objective->Side != division_.Side ||
            (objective->Force != nullptr && objective->Force != force_) ||
            !objective->Matches(flag_.ShipType)) {
            continue;
        }
        const bool noRoute = objective->Force == nullptr || objective->Force->Waypoints.empty();
        if (noRoute || RangeTo(objective->Location) < kObjectiveSearchYards) {
            return objective->Location;
        }
    }
    return std::nullopt;
}

bool TStanceCourse::Aircraft() {
    if (!IsType(TShipType::AV) || !Fighting() || Withdrawal() >= kObjectiveWithdrawal ||
        Detached()) {
        return false;
    }
    const std::optional<map::TGeoPos> point = ObjectivePoint();
    if (!point || RangeTo(*point) >= kAircraftObjectiveYards) {
        return false;
    }
    const bool flyingWeather = world_.Environment.SeaState < kFlyingSeaState &&
                               world_.Environment.Weather >= kFlyingWeatherLow &&
                               world_.Environment.Weather <= kFlyingWeatherHigh;
    const bool night = combat::LightCondition(*point, world_.Clock) == combat::kLightNight;
    if (flyingWeather && !night) {
        Steer(Tried(BearingTo(*point), kAircraftAngle), " to reach objective ");
        return true;
    }
    if (world_.TimeElapsed % kAircraftReportPeriod == 0 && division_.Side == world_.PlayerSide) {
        world_.Log.AddLogLine(
            "4 " + flag_.Name +
                (flyingWeather ? " reports that it is too dark to launch aircraft!"
                               : " reports that weather does not permit flying operations!"),
            &flag_);
    }
    return false;
}

bool TStanceCourse::ObjectivePursuit() {
    if (IsType(TShipType::AV) || world_.TimeElapsed <= kObjectiveAfterMinutes ||
        force_ == nullptr || !UnderComputerControl(*force_) ||
        division_.Role == combat::rolePatrol || !Fighting() ||
        Withdrawal() >= kObjectiveWithdrawal) {
        return false;
    }
    if (AmmoLevel(division_) <= Random(kObjectiveAmmoRoll) + kObjectiveAmmoBase || Detached() ||
        division_.Closing) {
        return false;
    }
    const std::optional<map::TGeoPos> point = ObjectivePoint();
    if (!point) {
        return false;
    }
    Steer(Tried(BearingTo(*point), kObjectiveAngle), " to reach objective ");
    return true;
}

void TStanceCourse::ForceWithdrawal() {
    if (!IndependentOrLocked() || force_ == nullptr) {
        return;
    }
    const int w = Withdrawal();
    const std::string level = std::to_string(w);
    if (Random(kWithdrawalRoll) < w) {
        if (Stance() == combat::stanceCloseRapidly) {
            ChangeStance(combat::stanceCloseRapidly, combat::stanceHold,
                         " changes CloseRapidly to Hold on Force Withdraw = " + level);
        } else if (Stance() == combat::stanceClose) {
            ChangeStance(combat::stanceClose, combat::stanceHold,
                         " changes Close to Hold on Force Withdraw = " + level);
        } else {
            ChangeStance(combat::stanceHold, combat::stanceIncrease,
                         " changes Hold to Increase on Force Withdraw = " + level);
        }
    }
    if (Stance() == combat::stanceHold && Random(kWithdrawalHoldRoll) < w) {
        ChangeStance(combat::stanceHold, combat::stanceIncrease,
                     " changes Hold to Increase on Force Withdraw = " + level);
    }
}

void TStanceCourse::PatrolFormation() {
    if (division_.Role != combat::rolePatrol) {
        return;
    }
    if (context_.Enemy.MainEnemy(flag_) != nullptr) {
        division_.Formation = combat::formLineAhead;
    } else if (!Heavy(flag_.ShipType)) {
        division_.Formation = combat::formSearchLine;
    }
}

bool TStanceCourse::DisengagePoint() {
    if (IsZero(division_.SecondPoint)) {
        return false;
    }
    if (n_ != nullptr && Range(*n_) <= kDisengagePointEnemyYards) {
        division_.SecondPoint = {};
        return false;
    }
    int course = BearingTo(division_.SecondPoint);
    if (TryCourse(context_, division_, course, kDisengagePointAngle)) {
        Steer(course, " on Disengage - disengage objective");
        return true;
    }
    division_.SecondPoint = {};
    return false;
}

void TStanceCourse::LeadLoss() {
    if (RoleIs({combat::roleCore, combat::roleSupport, combat::roleScout, combat::roleScreen}) &&
        Lead() == nullptr) {
        division_.Role = combat::roleIndependent;
        division_.LeadDiv = nullptr;
    }
    if (division_.TargetDivision != nullptr && !division_.TargetDivision->HasShips()) {
        division_.TargetDivision = nullptr;
    }
}

bool TStanceCourse::AttackTransports() {
    if (n_ == nullptr ||
        !designs::IsOneOf(flag_.ShipType,
                          {TShipType::BC, TShipType::CA, TShipType::CL, TShipType::DD}) ||
        Withdrawal() > kTransportWithdrawal || DamageLevel(division_) > kTransportDamage ||
        TypeBelow(TypeOf(*n_), TShipType::CL) || !Fighting()) {
        return false;
    }
    const TFightingShip* main = context_.Enemy.MainEnemy(flag_);
    if (main != nullptr && designs::IsOneOf(TypeOf(*main), {TShipType::BB, TShipType::BC})) {
        return false;
    }
    const TFightingShip* transport = NearestEnemy(context_, flag_, {TShipType::TR});
    if (transport == nullptr || Range(*transport) <= kTransportYards) {
        return false;
    }
    const bool light = IsType(TShipType::CL) || IsType(TShipType::DD);
    if (Random(kPercent) >= (light ? kTransportLightPercent : kTransportHeavyPercent)) {
        return false;
    }
    Steer(Tried(BearingTo(*transport), kTransportAngle), " on Attck Transports");
    return true;
}

void TStanceCourse::ScoutSpeed() {
    if (division_.Role != combat::roleScout || Lead() == nullptr) {
        return;
    }
    division_.Speed = Lead()->Speed;
    const std::optional<map::TGeoPos> station = combat::ScoutPoint(division_, Lead(), world_);
    if (station && RangeTo(*station) < kOnStationYards) {
        division_.Speed -= kOnStationSlowing;
    }
}

bool TStanceCourse::Shielded() const {
    const TFightingShip* leadFlag = LeadFlag();
    if (!IsType(TShipType::CL) || leadFlag == nullptr) {
        return true;
    }
    const TFightingShip* target = leadFlag->CurrentTarget;
    if (target == nullptr) {
        return false;
    }
    const int toTarget = world_.SightingPairs.Bearing(*leadFlag, *target);
    const int toUs = world_.SightingPairs.Bearing(*leadFlag, flag_);
    return toTarget <= kReverse ? toUs >= kShieldFromLow && toUs <= kShieldFromHigh
                                : toUs >= kShieldToLow && toUs <= kShieldToHigh;
}

bool TStanceCourse::AvoidHeavyEnemy() {
    if (!(IsType(TShipType::CL) || IsType(TShipType::AMC)) || division_.Role == combat::roleCore ||
        division_.Closing) {
        return false;
    }
    TFightingShip* heavy =
        NearestEnemy(context_, flag_, {TShipType::BB, TShipType::BC, TShipType::B, TShipType::CA});
    if (heavy == nullptr) {
        return false;
    }
    const int range = Range(*heavy);
    const bool scout = division_.Role == combat::roleScout;
    const auto canFight = [&] { return context_.Enemy.CanFight(*heavy); };
    bool near = scout && range < kScoutHeavyYards && !Shielded() && canFight();
    if (!near && range < kAnyHeavyYards) {
        near = Random(kPercent) < kAnyHeavyPercent;
    }
    bool far = false;
    if (!near && (scout || division_.Role == combat::rolePatrol) && range < kFarHeavyYards &&
        Random(kPercent) < kFarHeavyPercent && !Shielded()) {
        const TFightingShip* leadFlag = LeadFlag();
        const bool notFarther =
            leadFlag == nullptr || range <= world_.SightingPairs.RoundedRange(*leadFlag, *heavy);
        far = notFarther && canFight();
    }
    if (!near && !far) {
        return false;
    }
    const int away =
        map::AddBearing(BearingTo(*heavy), Random(kAvoidHeavySpread) + kAvoidHeavyTurn);
    const int course = Tried(away, kAvoidHeavyAngle);
    if (near && division_.Formation == combat::formLineAhead) {
        division_.TurnTogether = true;
    }
    division_.Speed = division_.FastestSpeed();
    if (near && Random(kPercent) < kAvoidHeavySmokePercent) {
        for (TFightingShip* ship : division_.Ships) {
            ship->SmokeMinutes = kAvoidHeavySmokeMinutes;
        }
    }
    Steer(course, " to avoid heavy enemy ", heavy);
    return true;
}

bool TStanceCourse::SupportAndScreenStations() {
    TDivision* lead = Lead();
    if (!RoleIs({combat::roleSupport, combat::roleScreen}) || lead == nullptr ||
        !StanceIs({combat::stanceHold, combat::stanceClose, combat::stanceAvoidThreat,
                   combat::stanceAvoidTorpedoAttack, combat::stanceNoEnemySighted})) {
        return false;
    }
    const TFightingShip& leadFlag = *lead->Flagship();
    if (NBeyond(kStationFreeYards)) {
        division_.Speed = std::max(lead->Speed, kStationMinSpeed);
    }
    if (Range(leadFlag) > kRecallLeadYards &&
        map::CourseDifference(division_.Course, lead->Course) > kRecallAngle) {
        int course = BearingTo(leadFlag);
        if (TryCourse(context_, division_, course, kRecallAngle)) {
            Steer(course, "on RECALL TO LEAD - " + lead->DivisionName);
            return true;
        }
    }
    const int enemyYards = IsType(TShipType::DD) ? kStationDestroyerEnemyYards : kStationEnemyYards;
    if (!NBeyond(enemyYards)) {
        return false;
    }
    const std::optional<map::TGeoPos> station = division_.Role == combat::roleSupport
                                                    ? combat::SupportPoint(division_, *lead, world_)
                                                    : combat::ScreenPoint(division_, *lead, world_);
    if (!station) {
        return false;
    }
    if (division_.Role == combat::roleScreen) {
        division_.Formation = combat::formScreen;
    }
    const int toStation = RangeTo(*station);
    division_.Speed = lead->Speed - (toStation < kOnStationYards ? kOnStationSlowing : 0);
    const bool bigEnemyKnown =
        static_cast<bool>(world_.Sides[static_cast<std::size_t>(division_.Side)].ImportantEnemy);
    if (bigEnemyKnown && division_.Speed < kBattleSpeed) {
        division_.Speed = NBeyond(kQuietEnemyYards) ? kQuietSpeed : kBattleSpeed;
    }
    const int relative = Relative(BearingTo(*station));
    const bool abaft = relative > kBeam && relative < 360 - kBeam;
    if (abaft && toStation < kAbaftStationYards) {
        division_.Speed = lead->Speed - kAbaftSupportSlowing;
        return false;
    }
    if (toStation <= kOnStationYards && !(lead->TacticalStance == combat::stanceDisengage ||
                                          lead->TacticalStance == combat::stanceIncrease)) {
        return false;
    }
    if (toStation >= kFarStationYards) {
        division_.Speed = lead->Speed + kStationDash;
    } else if (toStation < kOnStationCloseYards) {
        division_.Speed = lead->Speed - kOnStationSlowing;
    } else if (lead->Speed >= kStationFastLead) {
        division_.Speed = lead->Speed;
    } else {
        division_.Speed =
            std::min(division_.MedianSpeed(), leadFlag.CurrentSpeed + kStationCatchUp);
    }
    Steer(BearingTo(*station), "on GOTO SUPPORT/SCREEN POINT - " + lead->DivisionName);
    return true;
}

bool TStanceCourse::ScoutStation() {
    TDivision* lead = Lead();
    if (division_.Role != combat::roleScout || lead == nullptr || !NBeyond(kStationEnemyYards) ||
        StanceIs({combat::stanceDisengage, combat::stanceAvoidThreat,
                  combat::stanceAvoidTorpedoAttack})) {
        return false;
    }
    const std::optional<map::TGeoPos> station = combat::ScoutPoint(division_, lead, world_);
    if (!station) {
        return false;
    }
    const int toStation = RangeTo(*station);
    if (division_.Speed < kBattleSpeed) {
        division_.Speed = NBeyond(kQuietEnemyYards) ? kQuietSpeed : kBattleSpeed;
    }
    const int relative = Relative(BearingTo(*station));
    const bool abaft = relative > kBeam && relative < 360 - kBeam;
    if (abaft && toStation < kAbaftStationYards) {
        division_.Speed = lead->Speed - kAbaftScoutSlowing;
        return false;
    }
    if (toStation <= kScoutStationYards) {
        return false;
    }
    const std::optional<int> free =
        FreeCourseNear(context_, flag_, kScoutSearchYards, kScoutSearchAngle, BearingTo(*station));
    int course = free.value_or(0);
    TryCourse(context_, division_, course, kStationAngle);
    division_.Speed = lead->Speed + (toStation >= kFarStationYards ? kScoutDash : kScoutCreep);
    Steer(course, "on GOTO SCOUT POINT 1 - " + lead->DivisionName);
    return true;
}

void TStanceCourse::SightingCheck() {
    m_ = context_.Enemy.MainEnemy(flag_);
    TFightingShip* enemy = m_;
    if (m_ != nullptr) {
        if (Stance() == combat::stanceClose) {
            const map::TGeoPos third =
                map::MovePoint(flag_.Position(), BearingTo(*m_), Range(*m_) / 3.0);
            if (world_.Chart.MinefieldBlocks(third, &flag_)) {
                ChangeStance(combat::stanceClose, combat::stanceIncrease,
                             " changes CLOSE to INCREASE on minefield ahead");
            }
        }
    } else {
        enemy = NearestEnemy(context_, flag_);
        if (enemy == nullptr && flag_.Sighted.empty() &&
            (last_ == nullptr || last_->Sighted.empty())) {
            division_.TacticalStance = combat::stanceNoEnemySighted;
            Reason(" changes to NOENEMYSIGHTED on no enemy in sight!");
        }
    }
    if (division_.Role == combat::roleCore) {
        division_.Formation = combat::formLineAhead;
    }
    if (enemy != nullptr) {
        ChangeStance(combat::stanceNoEnemySighted, combat::stanceHold,
                     " changes NOENEMYSIGHTED to HOLD as enemy is in sight!");
    }
}

// ---- By stance

TFightingShip* TStanceCourse::ReferenceEnemy(bool freshNearest) const {
    if (m_ != nullptr) {
        return m_;
    }
    if (division_.TargetDivision != nullptr && division_.TargetDivision->HasShips()) {
        return division_.TargetDivision->Flagship();
    }
    return freshNearest ? NearestEnemy(context_, flag_) : n_;
}

bool TStanceCourse::RejoinOriginal(int angle, int& course) {
    TDivision* initial = flag_.InitialDivision;
    if (!division_.DetachedShip || division_.LockedAI || initial == nullptr ||
        initial == &division_ || !initial->HasShips() || DamageLevel(division_) >= kRejoinDamage) {
        return false;
    }
    const TFightingShip& initialFlag = *initial->Flagship();
    if (initialFlag.IsSinkingOrSunk()) {
        return false;
    }
    map::TGeoPos base;
    std::string title;
    if (world_.NearestBase(flag_, base, title) &&
        map::RangeYards(initialFlag.Position(), base) >= RangeTo(base)) {
        return false;
    }
    course = Tried(BearingTo(initialFlag), angle);
    division_.Speed = initial->Speed + kRejoinSpeedUp;
    return true;
}

bool TStanceCourse::Disengage() {
    division_.Speed = division_.MedianSpeed();
    TFightingShip* e = ReferenceEnemy(true);
    if (e == nullptr) {
        DisengageWithoutEnemy();
        return false;
    }
    const int bearing = BearingTo(*e);
    int escape = map::AddBearing(bearing, Random(kEscapeSpread) + kEscapeTurn);
    const int g = Night() ? Random(kEscapeNightSpread) + kEscapeNightBase
                          : Random(kEscapeDaySpread) + kEscapeDayBase;
    const int range = Range(*e);
    int course = 0;
    std::string words;
    const TFightingShip* named = nullptr;
    TDivision* lead = Lead();
    const TFightingShip* forceFlag = ForceFlag();
    if (range > kRejoinEnemyYards && RejoinOriginal(kRejoinAngle, course)) {
        words = "on DISENGAGE stance - Rejoin original division ";
    } else if (division_.Role == combat::roleIndependent && !IsForceFlagship() &&
               forceFlag != nullptr && range > kRejoinEnemyYards) {
        course = Tried(BearingTo(*forceFlag), kForceFlagshipAngle);
        FallBackFormation();
        words = "on DISENGAGE stance - Go to force flagship";
    } else if (RoleIs({combat::roleCore, combat::roleSupport}) && lead != nullptr &&
               !((TypeBelow(TypeOf(*e), flag_.ShipType) || range < kRejoinEnemyYards) &&
                 range <= kLeadEnemyYards)) {
        course = Tried(BearingTo(*lead->Flagship()), kLeadAngle);
        FallBackFormation();
        words = "on DISENGAGE stance - Go to lead";
    } else if (division_.Role == combat::roleIndependent && IsForceFlagship() &&
               force_->MainForce != nullptr) {
        const TFightingShip* mainFlag = force_->MainForce->CachedFlagship();
        if (mainFlag == nullptr) {
            return true;
        }
        course = Tried(BearingTo(*mainFlag), kLeadAngle);
        FallBackFormation();
        words = "on DISENGAGE stance - Go to main force ";
    } else if (IsFreeOfLandInDirection(context_, flag_, g, 0, escape)) {
        escape = AdjustAngleTowardsFriendlyBase(context_, division_, escape, kBaseTurn);
        if (Random(kPercent) < kCoursePercent) {
            escape = AdjustAngleTowardsFriendlyBase(context_, division_, escape, kBaseExtraTurn);
        }
        division_.SecondPoint = map::MovePoint(flag_.Position(), escape, g);
        course = escape;
        words = " on DISENGAGE stance - Is Free Of Land In Direction, Setting DO";
    } else if (int home = start_; TryForHome(context_, division_, home)) {
        course = home;
        FallBackFormation();
        words = " on DISENGAGE stance - try for Home";
    } else {
        // Straight away from the enemy; when even that does not open the range (he chases on
        // the same course), it is still the course that keeps him longest astern.
        course = map::AddBearing(bearing, kReverse);
        words = " on DISENGAGE stance. Enemy ship: ";
        named = e;
    }
    course = map::AddBearing(course, Random(kDisengageJitter) - Random(kDisengageJitter));
    division_.TurnTogether = true;
    if (map::CourseDifference(course, start_) >= kDisengageExecute) {
        Steer(course, words, named);
        Reason(" execute course " + std::to_string(course));
    }
    return false;
}

void TStanceCourse::DisengageWithoutEnemy() {
    const int median = division_.MedianSpeed();
    int course = BearingTo(force_->Home);
    std::string words = "on DISENGAGE - Try for home";
    const TFightingShip* mainFlag =
        force_->MainForce != nullptr ? force_->MainForce->CachedFlagship() : nullptr;
    map::TGeoPos base;
    std::string title;
    if (RejoinOriginal(kNoEnemyRejoinAngle, course)) {
        words = "on DISENGAGE stance - Rejoin original division ";
    } else if (mainFlag != nullptr && mainFlag != &flag_) {
        course = BearingTo(*mainFlag);
        division_.Speed = median - kRetreatSlowing;
        words = "on DISENGAGE - Go to main force ";
    } else if (division_.HasBeenHome && world_.NearestBase(flag_, base, title)) {
        course = BearingTo(base);
        division_.Speed = median - kRetreatSlowing;
        words = "on DISENGAGE - Try for nearest friendly base ";
    } else {
        course = Tried(course, kHomeAngle);
        division_.Speed = median - kRetreatSlowing;
    }
    Steer(course, words);
}

void TStanceCourse::Increase() {
    TFightingShip* e = ReferenceEnemy(false);
    if (e == nullptr) {
        division_.Speed = std::min(division_.MedianSpeed(), kNoEnemyIncreaseSpeed);
        const TWaypointCourse next =
            NextWaypointCourse(context_, *force_, division_.WaypointIndex, flag_);
        Steer(next.Course, " No enemy ship on increase - execute course " + next.Reason);
        return;
    }
    const int c = start_;
    const int b = BearingTo(*e);
    const int a = Relative(b);
    const int enemyCourse = context_.Enemy.Course(*e);
    int d = c;
    if ((a < kForwardArc || a > kAftArc) &&
        map::CourseDifference(flag_.Course(), enemyCourse) <= kSimilarCourse && a != 0) {
        d = a < kForwardArc ? map::AddBearing(enemyCourse, -kShadeTurn - Random(kShadeSpread))
                            : map::AddBearing(enemyCourse, kShadeTurn + Random(kShadeSpread));
    } else if (map::CourseDifference(d, b) > kOpeningAngle) {
        for (const int turn : {kDivergeNear, kDivergeFar, -kDivergeNear, -kDivergeFar}) {
            if (CoursesDiverge(context_, flag_, *e, map::AddBearing(b, turn))) {
                d = map::AddBearing(b, turn);
                break;
            }
        }
    } else {
        const int signed_ = map::SignedTurn(d, b);
        if (signed_ > 0) {
            d = map::AddBearing(b, kDivergeNear);
        } else if (signed_ < 0) {
            d = map::AddBearing(b, -kDivergeNear);
        }
    }
    if (context_.Enemy.DesignSpeed(*e) >= division_.Speed) {
        division_.Speed = division_.MedianSpeed();
    }
    const TFightingShip* leadFlag = LeadFlag();
    const int range = Range(*e);
    int course = c;
    std::string words;
    int home = c;
    const bool cautiousHome =
        (Mission() == combat::missionCautious && Withdrawal() > 0) || Withdrawal() > 1;
    const auto aheadOfLead = [&] {
        return BearingTo(
            map::MovePoint(leadFlag->Position(), leadFlag->Course(), kAheadOfLeadYards));
    };
    if (leadFlag != nullptr &&
        RoleIs({combat::roleCore, combat::roleSupport, combat::roleScout, combat::roleScreen}) &&
        Range(*leadFlag) > kRejoinLeadYards) {
        course = Tried(aheadOfLead(), kRejoinLeadAngle);
        words = "  on INCREASE - rejoin lead. Enemyship = ";
    } else if (leadFlag != nullptr && IsType(TShipType::DD) &&
               Range(*leadFlag) > kDestroyerRejoinYards) {
        course = Tried(aheadOfLead(), kDestroyerRejoinAngle);
        words = "  on INCREASE - rejoin lead. Enemyship = ";
    } else if (cautiousHome && TryForHome(context_, division_, home)) {
        course = home;
        words = " on INCREASE stance try for home - Enemyship = ";
    } else if (CoursesDiverge(context_, flag_, *e, c)) {
        const int rel = Relative(b);
        if (rel >= kQuarterFrom && rel < kReverse && range < kGunsBearYards &&
            Random(kPercent) < kGunsBearPercent) {
            course = map::AddBearing(c, kGunsBearTurn);
            words = " adjusts diverging course to " + std::to_string(course) +
                    " to make guns bear - Enemyship = ";
        } else if (rel > kReverse && rel <= kQuarterTo) {
            course = map::AddBearing(c, -kGunsBearTurn);
            words = " adjusts diverging course to " + std::to_string(course) +
                    " to make guns bear - Enemyship = ";
        } else {
            words = " keeps course " + std::to_string(c) + " as courses diverge - Enemyship = ";
        }
    } else if (int tried = d; TryCourse(context_, division_, tried, kDivergeAngle)) {
        course = tried;
        words = " selects diverging course ";
    } else {
        int r = EnemyRelativeBearing(context_, division_);
        if (r < 0) {
            // No ship of the division has the enemy in its own list: the flagship's bearing of
            // him stands in.
            context_.Note(division_, division_.Shortname + " has no enemy bearing on INCREASE");
            r = a;
        }
        const bool stationRole =
            RoleIs({combat::roleSupport, combat::roleScout, combat::roleScreen});
        const bool abeam =
            (r >= kBeamFrom && r <= kBeamTo) || (r >= kPortBeamFrom && r <= kPortBeamTo);
        const int reverse = map::AddBearing(b, kReverse);
        if (stationRole && leadFlag != nullptr &&
            map::CourseDifference(r, Relative(BearingTo(*leadFlag))) > kLeadOffAngle) {
            course = Tried(BearingTo(*leadFlag), kStationAngle);
            words = " on INCREASE stance rejoin lead - Enemyship = ";
        } else if (abeam) {
            const int plus = map::AddBearing(b, kBeamAway);
            const int minus = map::AddBearing(b, -kBeamAway);
            if (map::CourseDifference(enemyCourse, c) > kBeamCourseDiffers &&
                !(map::CourseDifference(plus, c) <= kBeamNear &&
                  map::CourseDifference(minus, c) <= kBeamNear)) {
                course = Nearer(c, plus, minus);
                words = " on INCREASE stance A2 Beam general - Enemyship = ";
            } else {
                course = r == 0 || r > kReverse - 1
                             ? map::AddBearing(enemyCourse, kShadeTurn + Random(kShadeSpread))
                             : map::AddBearing(enemyCourse, -kShadeTurn - Random(kShadeSpread));
                words = " on INCREASE stance A1 Beam and similar course - Enemyship = ";
            }
        } else if (map::CourseDifference(enemyCourse, reverse) > kEndOnDiffers) {
            int kept = c;
            course = CoursesDiverge(context_, flag_, *e, c) &&
                             TryCourse(context_, division_, kept, kEndOnAngle)
                         ? kept
                         : map::AddBearing(c, Random(kPercent) < kCoursePercent ? kEndOnTurn
                                                                                : -kEndOnTurn);
            words = " on INCREASE stance X2 Diverge? - Enemyship = ";
        } else {
            course = EitherSideNearer(c, b, kEndOnAway);
            words = " on INCREASE stance X1 Closing? - Enemyship = ";
        }
    }
    if (map::CourseDifference(course, c) > kExecuteTurn) {
        division_.TurnTogether = IsType(TShipType::DD);
        if (last_ != nullptr && last_ != &flag_) {
            const map::TGeoPos lastAhead =
                map::MovePoint(last_->Position(), course, kTurnTogetherYards);
            const map::TGeoPos flagAhead =
                map::MovePoint(flag_.Position(), course, kTurnTogetherYards);
            if (map::RangeYards(lastAhead, e->Position()) <
                map::RangeYards(flagAhead, e->Position())) {
                division_.TurnTogether = true;
            }
        }
    } else {
        course = c;
    }
    const int inArc = KeepTargetInArc(course, b, kArcLimit);
    const bool arcTurn = inArc != course;
    if (arcTurn) {
        course = inArc;
        if (!division_.RetreatMark) {
            division_.TurnTogether = true;
        }
    }
    if (course != c) {
        Steer(course, words, e);
    } else {
        Reason(words, e);
    }
    if (arcTurn) {
        Reason(" adjusts course to " + std::to_string(course) + " to keep target in arc");
    }
}

void TStanceCourse::Hold() {
    TFightingShip* e = ReferenceEnemy(false);
    if (e == nullptr) {
        return;
    }
    if (division_.Formation == combat::formLineAhead) {
        division_.TurnTogether = false;
    }
    const int c = start_;
    const int b = BearingTo(*e);
    const int range = Range(*e);
    std::optional<int> course;
    std::string words;
    const TDivision* lead = Lead();
    if (division_.Role == combat::roleCore && lead != nullptr && Capital(flag_.ShipType)) {
        const TFightingShip& leadFlag = *lead->Flagship();
        const bool leadScreens =
            Range(leadFlag) >= range && Range(*lead->RearShip()) < kLeadLastShipYards;
        if (!leadScreens &&
            leadFlag.CurrentMaxSpeed() > kLeadSpeedShare * flag_.CurrentMaxSpeed()) {
            if (const std::optional<TFollowLead> follow = FollowLead(context_, division_)) {
                course = follow->Course;
                if (follow->Speed) {
                    division_.Speed = *follow->Speed;
                }
                words = follow->Reason;
            }
        }
    }
    if (!course && TypeOf(*e) != TShipType::DD &&
        context_.Enemy.SightingLevel(*e) != combat::kSighted) {
        const int median = division_.MedianSpeed();
        const int enemySpeed = e->CurrentSpeed + 1;
        division_.Speed = std::max(enemySpeed < median ? enemySpeed : median, kBattleSpeed);
        const int limit = !context_.Enemy.CanFight(*e) ? kTooCloseHarmlessYards
                          : Night()                    ? kTooCloseNightYards
                                                       : kTooCloseYards;
        int home = c;
        if (range <= limit) {
            course = EitherSideNearer(c, b, kHoldAway);
            words = " on HOLD stance getting too close - Enemyship = ";
        } else if (Mission() == combat::missionCautious && IndependentOrLocked() &&
                   Withdrawal() > 0 && division_.MinutesInCombat > 5 &&
                   TryForHome(context_, division_, home) &&
                   StanceCourseCheck(context_, division_)) {
            course = home;
            words = " on HOLD stance aiming home";
        } else if (Sector(Relative(b)) == kAsternSector) {
            int away = EitherSideNearer(c, b, kHoldAstern);
            if (TryCourse(context_, division_, away, kHoldAsternAngle) &&
                StanceCourseCheck(context_, division_)) {
                course = away;
                words = " on HOLD stance 2 sector = 3 - Enemyship = ";
            } else {
                course = c;
                words = " no good course on HOLD stance, sector 3";
            }
        } else {
            const map::TGeoPos ahead =
                map::MovePoint(e->Position(), context_.Enemy.Course(*e), kHoldAheadYards);
            course = BearingTo(ahead);
            words = " on HOLD stance 1 sector <> 3 - Enemyship = ";
        }
    }
    if (!course) {
        if (IsForceFlagship()) {
            division_.TacticalStance = combat::stanceNoEnemySighted;
            Reason(" no course on HOLD stance - NOENEMYSIGHTED");
            return;
        }
        const TFightingShip* forceFlag = ForceFlag();
        if (forceFlag == nullptr) {
            return;
        }
        course = BearingTo(*forceFlag);
        words = " no course on HOLD stance - to force flagship";
    }
    Reason(words, e);
    int chosen = map::AddBearing(*course, Random(kHoldJitter) - Random(kHoldJitter));
    chosen = KeepTargetInArc(chosen, b, kHoldArcLimit);
    if (map::CourseDifference(chosen, c) > kExecuteTurn) {
        division_.TurnTogether = false;
        Steer(chosen, " executes course " + std::to_string(chosen));
    }
}

void TStanceCourse::Close() {
    TFightingShip* e = ReferenceEnemy(true);
    if (e == nullptr) {
        return;
    }
    const int c = start_;
    const int b = BearingTo(*e);
    const int range = Range(*e);
    const TShipType enemyType = TypeOf(*e);
    const TDivision* lead = Lead();
    const bool lightEnemy = (Capital(flag_.ShipType) && enemyType == TShipType::CL) ||
                            (Heavy(flag_.ShipType) && enemyType == TShipType::CA) ||
                            enemyType == TShipType::LT;
    const bool mayLook = division_.Role == combat::roleIndependent ||
                         (division_.Role == combat::roleCore && lead != nullptr &&
                          Range(*lead->Flagship()) > kCoreFarFromLeadYards &&
                          !designs::IsOneOf(flag_.ShipType, {TShipType::TR, TShipType::AV}));
    // No course has been chosen yet: the test reads the course as due north.
    constexpr int kNoCourseYet = 0;
    if (lightEnemy && mayLook) {
        const map::TGeoPos at = flag_.Position();
        const bool capital = Capital(flag_.ShipType);
        if (const engine::TReport* report =
                engine::BestReport(world_, division_.Side, &at, capital)) {
            std::int64_t engaged = 0;
            for (const TFightingShip* s : flag_.Sighted) {
                engaged += context_.Enemy.CombatStrength(*s);
            }
            if (engine::ReportScore(world_, *report, &at, capital) > kReportFactor * engaged &&
                map::CourseDifference(b, kNoCourseYet) > kReportNorthAngle) {
                division_.Speed = division_.MedianSpeed();
                LineAhead();
                Steer(BearingTo(report->ReportedPosition),
                      " on Better report than ships engaged: ");
                return;
            }
        }
    }
    if (enemyType == TShipType::DD && Capital(flag_.ShipType)) {
        return;
    }
    division_.Speed = std::max(division_.MedianSpeed(), kBattleSpeed);
    std::optional<int> course;
    std::string words;
    const TFightingShip* named = e;
    if (division_.Role == combat::roleCore && lead != nullptr &&
        Range(*lead->Flagship()) < kCoreFollowYards &&
        lead->Flagship()->CurrentSpeed > kLeadSpeedShare * lead->Flagship()->Speed &&
        Random(kPercent) < kCoreFollowPercent) {
        if (const std::optional<TFollowLead> follow = FollowLead(context_, division_)) {
            course = follow->Course;
            if (follow->Speed) {
                division_.Speed = *follow->Speed;
            }
            words = follow->Reason;
            named = nullptr;
        }
    }
    if (!course) {
        const bool slowEnemy = 2 * e->CurrentSpeed < flag_.CurrentSpeed;
        if (enemyType == TShipType::LT) {
            course = map::AddBearing(b, Random(kPercent) > kLandTargetPercent ? kLandTargetTurn
                                                                              : -kLandTargetTurn);
            words = " on CLOSE stance - land target - Enemyship = ";
        } else if (Sector(map::AddBearing(world_.SightingPairs.Bearing(*e, flag_),
                                          -context_.Enemy.Course(*e))) == kAheadSector) {
            course = EitherSideNearer(c, b, slowEnemy ? kSlowCrossTurn : kCrossTurn);
            words = " on CLOSE stance 2 enemysector = 1 - Enemyship = ";
        } else {
            const map::TGeoPos ahead = map::MovePoint(e->Position(), context_.Enemy.Course(*e),
                                                      (slowEnemy ? kSlowLead : kLead) * range);
            course = BearingTo(ahead);
            words = " on CLOSE stance 1 enemysector <> 1 - Enemyship = ";
        }
    }
    int chosen = *course;
    if (map::CourseDifference(chosen, c) <= kExecuteTurn) {
        Reason(words, named);
        return;
    }
    division_.TurnTogether = false;
    chosen = KeepTargetInArc(chosen, b, kHoldArcLimit);
    if (StanceCourseCheck(context_, division_)) {
        Steer(chosen, words, named);
    }
}

void TStanceCourse::CloseRapidly() {
    TFightingShip* e = ReferenceEnemy(false);
    if (e == nullptr || (Capital(flag_.ShipType) && TypeOf(*e) == TShipType::DD)) {
        return;
    }
    division_.Speed = division_.MedianSpeed() + kRapidSpeedUp;
    const int range = Range(*e);
    const double lead =
        range >= kRapidRangeYards ? range / 2.0 + Random(range) : kRapidShortLeadYards;
    const int course = BearingTo(map::MovePoint(e->Position(), context_.Enemy.Course(*e), lead));
    if (!division_.RetreatMark) {
        division_.TurnTogether = true;
    }
    if (map::CourseDifference(course, start_) >= kRapidExecute) {
        Steer(course, " on CloseRapidly stance - Enemyship = ", e);
    }
}

void TStanceCourse::AvoidThreat() {
    TFightingShip* threat = division_.ThreatShip;
    if (threat == nullptr) {
        return;
    }
    int escape = map::AddBearing(BearingTo(*threat), kReverse);
    const TFightingShip* forceFlag = ForceFlag();
    if (forceFlag != nullptr && !IsForceFlagship()) {
        escape =
            map::AddBearing(escape, map::SignedTurn(escape, BearingTo(*forceFlag)) / kQuarterTurn);
    }
    escape = AdjustAngleTowardsFriendlyBase(context_, division_, escape, kThreatBaseTurn);
    if (Random(kPercent) < kCoursePercent) {
        escape = AdjustAngleTowardsFriendlyBase(context_, division_, escape, kThreatBaseTurn);
    }
    escape = map::AddBearing(escape, Random(kThreatJitter) - Random(kThreatJitter));
    division_.Speed = kThreatSpeed;
    Execute(escape, kExecuteTurn, " on AVOID THREAT stance. Threat: ", threat);
}

void TStanceCourse::AvoidTorpedoAttack() {
    TFightingShip* threat = division_.ThreatShip;
    if (threat == nullptr) {
        context_.Note(division_, "Warning! Avoiding torpedo attack - no threat! ");
        return;
    }
    const int away = world_.SightingPairs.Bearing(*threat, flag_);
    const int course = map::AddBearing(away, Random(kTorpedoJitter) - Random(kTorpedoJitter));
    division_.Speed = kTorpedoSpeed;
    division_.TurnTogether = true;
    Execute(course, kTorpedoExecute, " on AVOID TORPEDO ATTACK stance. Threat: ", threat);
}

int TStanceCourse::CruisingSpeed() const {
    int speed = 0;
    switch (flag_.ShipType) {
    case TShipType::BB:
    case TShipType::B:
        speed = kBattleshipCruise;
        break;
    case TShipType::BC:
    case TShipType::CA:
    case TShipType::CL:
    case TShipType::DD:
        speed = kCruiserCruise;
        break;
    case TShipType::TR:
        speed = std::max(kTransportCruiseMin, flag_.Speed - kTransportCruiseLess);
        break;
    default:
        speed = std::max(kOtherCruiseMin, division_.Speed - kOtherCruiseLess);
        break;
    }
    return std::min(speed, division_.FastestSpeed());
}

void TStanceCourse::NoEnemySighted() {
    division_.Speed = CruisingSpeed();
    if (division_.Role == combat::roleScout && !IsType(TShipType::BC)) {
        division_.Formation = combat::formScreen;
    } else if (division_.Role == combat::rolePatrol &&
               (IsType(TShipType::DD) || IsType(TShipType::MS))) {
        division_.Formation = combat::formSearchLine;
    }
    if (!NoEnemyTasks()) {
        noEnemyCourse_ = MissionCourse() || Opportunity();
    }
    NoEnemyAfterwards(noEnemyCourse_);
}

// Rules 1 to 6 of the quiet sea: going home, patrolling, supporting the scouts, rejoining.
bool TStanceCourse::NoEnemyTasks() {
    int course = start_;
    const int damage = DamageLevel(division_);
    const auto goHome = [&](std::string_view words) {
        if (TryForHome(context_, division_, course)) {
            Steer(course, words);
            noEnemyCourse_ = true;
        }
        return true;
    };
    if (damage > kGoHomeDamage || division_.DetachedShip) {
        return goHome("on NOENEMYSIGHTED - Go home due to damage");
    }
    if (damage > kDetachDamage && division_.Role != combat::roleCore &&
        Random(kPercent) <= kDetachPercent) {
        division_.DetachedShip = true;
        return goHome("on NOENEMYSIGHTED - Go home due to damage");
    }
    if (Withdrawal() > kWithdrawHomeLevel && division_.Role != combat::roleCore &&
        !division_.LockedAI && Random(kPercent) < kWithdrawHomePercent * Withdrawal()) {
        return goHome("on NOENEMYSIGHTED - Try for home due to force withdrawal");
    }
    const TFightingShip* leadFlag = LeadFlag();
    if (!IsType(TShipType::TR) && AmmoLevel(division_) < kLowAmmoHome &&
        !(leadFlag != nullptr && Range(*leadFlag) < kLeadNearYards)) {
        return goHome("on NOENEMYSIGHTED - Go home due to low on ammo");
    }
    if (division_.Role == combat::rolePatrol) {
        const map::TGeoPos at = flag_.Position();
        const engine::TReport* report = engine::BestReport(world_, division_.Side, &at, false);
        if (report == nullptr ||
            RangeTo(report->ReportedPosition) > Random(kPatrolReportYards) + kPatrolReportBase) {
            if (Random(kPercent) < kPatrolPercent) {
                const int far = IsType(TShipType::TR) ? kPatrolTransportYards : kPatrolOtherYards;
                const map::TGeoPos centre =
                    IsZero(division_.Objective) ? flag_.Position() : division_.Objective;
                const map::TGeoPos point = map::RandomFreePointNear(
                    world_.Chart, centre, far, kPatrolNearYards, &flag_, world_.Random());
                division_.Speed = kPatrolSpeed;
                Steer(BearingTo(point), "on NOENEMYSIGHTED - Patrol");
                noEnemyCourse_ = true;
            }
            return true;
        }
    }
    const bool mayHelpScouts =
        !IsType(TShipType::DD) && RoleIs({combat::roleIndependent, combat::roleCore}) &&
        Mission() != combat::missionWithdrawal && Withdrawal() < kNoEnemyMinWithdrawal &&
        (Mission() != combat::missionCautious ||
         division_.MinutesInCombat < Random(kCautiousCombatRoll));
    if (mayHelpScouts) {
        for (const TDivision* scout : force_->Divisions) {
            if (scout->LeadDiv != &division_ || scout->Role != combat::roleScout) {
                continue;
            }
            for (const TFightingShip* ship : scout->Ships) {
                if (!ship->Engaged) {
                    continue;
                }
                const int yards = Random(kScoutSupportRoll) * kScoutSupportStep + kScoutSupportBase;
                division_.Speed = division_.FastestSpeed() - 1;
                Steer(BearingTo(map::MovePoint(ship->Position(), start_, yards)),
                      "on NOENEMYSIGHTED - SUPPORT SCOUTS");
                noEnemyCourse_ = true;
                return true;
            }
        }
    }
    TDivision* initial = flag_.InitialDivision;
    if (division_.DetachedShip && !division_.LockedAI && initial != nullptr &&
        initial != &division_ && initial->HasShips() && DamageLevel(*initial) < kInitialDamage) {
        division_.Speed = initial->Speed + kRejoinSpeedUp;
        Steer(BearingTo(*initial->Flagship()), "on NOENEMYSIGHTED - Rejoin initial division");
        noEnemyCourse_ = true;
        return true;
    }
    return false;
}

std::optional<int> TStanceCourse::ForceFlagshipStation() {
    TFightingShip* forceFlag = ForceFlag();
    if (IsForceFlagship() || forceFlag == nullptr) {
        return FlagDivisionRoute();
    }
    const int counterTurn = kStationCounterDegrees * force_->StationCounter;
    const int forceCourse = forceFlag->Course();
    map::TGeoPos station;
    if (designs::IsOneOf(flag_.ShipType, {TShipType::BC, TShipType::CA, TShipType::CL})) {
        station = map::MovePoint(forceFlag->Position(), map::AddBearing(forceCourse, counterTurn),
                                 kStationCruiserYards);
    } else if (IsType(TShipType::AV)) {
        station = map::MovePoint(forceFlag->Position(),
                                 map::BearingBetween(forceFlag->Position(), force_->Home),
                                 map::RangeYards(forceFlag->Position(), force_->Home) / 4.0);
    } else if (const int range = Range(*forceFlag); range < kStationNearYards) {
        station = map::MovePoint(forceFlag->Position(),
                                 map::AddBearing(forceCourse, counterTurn + kReverse),
                                 kStationOtherYards);
    } else {
        station = map::MovePoint(forceFlag->Position(), forceCourse, range);
    }
    Reason("on NOENEMYSIGHTED - Take station on Force Flagship ");
    return BearingTo(station);
}

std::optional<int> TStanceCourse::FlagDivisionRoute() {
    if (Withdrawal() >= kObjectiveWithdrawal) {
        int home = start_;
        if (TryForHome(context_, division_, home)) {
            Reason(" on TryForHome - force withdraw > 2 ");
            return home;
        }
    }
    const TWaypointCourse next =
        NextWaypointCourse(context_, *force_, division_.WaypointIndex, flag_);
    Reason(next.Reason);
    return next.Course;
}

// Rule 7: the course the mission gives while the enemy is out of sight.
bool TStanceCourse::MissionCourse() {
    const bool bigEnemyKnown =
        static_cast<bool>(world_.Sides[static_cast<std::size_t>(division_.Side)].ImportantEnemy);
    const bool strongerNearby = IsType(TShipType::DD) && !IsStrongestNearby(context_, division_);
    const bool mission = !bigEnemyKnown || strongerNearby ||
                         Mission() == combat::missionWithdrawal ||
                         designs::IsOneOf(flag_.ShipType, {TShipType::TR, TShipType::AV}) ||
                         Mission() == combat::missionCautious;
    if (!mission || !IndependentOrLocked()) {
        return false;
    }
    const int w = Withdrawal();
    if (w == 0 || w > kWithdrawalMax) {
        division_.Speed = bigEnemyKnown ? std::min(division_.MedianSpeed() - 1, kMissionSpeedCap)
                                        : CruisingSpeed();
        std::optional<int> course;
        if (IsZero(division_.Objective)) {
            course = ForceFlagshipStation();
        } else {
            course = BearingTo(division_.Objective);
            Reason("on NOENEMYSIGHTED - Division objective");
        }
        if (course) {
            Steer(*course, " executes course " + std::to_string(*course));
        }
        return true;
    }
    const std::string level = std::to_string(w);
    const TFightingShip* mainFlag =
        force_->MainForce != nullptr ? force_->MainForce->CachedFlagship() : nullptr;
    map::TGeoPos base;
    std::string title;
    if (mainFlag != nullptr && mainFlag != &flag_) {
        Steer(BearingTo(*mainFlag), "on NOENEMYSIGHTED - Go to main force - FW: " + level);
    } else if (division_.HasBeenHome && world_.NearestBase(flag_, base, title)) {
        Steer(BearingTo(base), "on NOENEMYSIGHTED - Go to nearest friendly port - FW: " + level);
    } else {
        Steer(BearingTo(force_->Home), "on NOENEMYSIGHTED - Go home - FW: " + level);
    }
    return true;
}

// Rule 8: an independent division goes looking for the enemy the reports give.
bool TStanceCourse::Opportunity() {
    if (!(division_.Role == combat::roleIndependent ||
          (division_.LockedAI && Random(kPercent) < kLockedOpportunityPercent))) {
        return false;
    }
    const map::TGeoPos at = flag_.Position();
    const engine::TReport* report =
        Withdrawal() == 0 && AmmoLevel(division_) >= kReportAmmo &&
                DamageLevel(division_) <= kReportDamage &&
                !designs::IsOneOf(flag_.ShipType, {TShipType::TR, TShipType::AV})
            ? engine::BestReport(world_, division_.Side, &at, Capital(flag_.ShipType))
            : nullptr;
    if (report != nullptr &&
        ((IsType(TShipType::DD) && RangeTo(report->ReportedPosition) > kDestroyerReportYards) ||
         Mission() == combat::missionCautious)) {
        report = nullptr;
    }
    if (report != nullptr) {
        division_.Speed = kReportSpeed;
        if (division_.Formation == combat::formLineAhead) {
            division_.TurnTogether = false;
        }
        Steer(BearingTo(report->ReportedPosition), "on NOENEMYSIGHTED - Best Report ");
        return true;
    }
    std::optional<int> course;
    if (!IsZero(division_.Objective)) {
        course = BearingTo(division_.Objective);
        Reason("on NOENEMYSIGHTED - Division objective");
    } else if (Random(kPercent) > kStationPercent) {
        course = ForceFlagshipStation();
    } else if (division_.WaypointIndex == kNoWaypoint && Random(kPercent) < kMixUpPercent) {
        Reason("on NOENEMYSIGHTED - ADMIN MESSUP ");
        return true;
    } else if (division_.WaypointIndex < static_cast<int>(force_->Waypoints.size())) {
        const TWaypointCourse next =
            NextWaypointCourse(context_, *force_, division_.WaypointIndex, flag_);
        Reason(next.Reason);
        course = next.Course;
    } else {
        int home = start_;
        if (TryForHome(context_, division_, home)) {
            Reason(" on all Waypoints visted - try for home");
            course = home;
        }
    }
    if (!course) {
        return false;
    }
    Steer(*course, " executes course " + std::to_string(*course));
    return true;
}

void TStanceCourse::NoEnemyAfterwards(bool courseChosen) {
    if (!courseChosen && IndependentOrLocked()) {
        std::optional<int> course;
        if (IsForceFlagship()) {
            course = NextWaypointCourse(context_, *force_, division_.WaypointIndex, flag_).Course;
        } else if (const TFightingShip* forceFlag = ForceFlag()) {
            course = BearingTo(*forceFlag);
        }
        if (course) {
            Steer(*course, " executes course " + std::to_string(*course));
        }
        return;
    }
    if (division_.Role != combat::roleCore || Lead() == nullptr) {
        return;
    }
    if (!IsZero(division_.Objective)) {
        Steer(BearingTo(division_.Objective), "on NOENEMYSIGHTED - Division objective");
        return;
    }
    if (const std::optional<TFollowLead> follow = FollowLead(context_, division_)) {
        LineAhead();
        if (follow->Speed) {
            division_.Speed = *follow->Speed;
        }
        Steer(follow->Course, "on NOENEMYSIGHTED - Follow lead");
    }
}

// ---- After the stance

void TStanceCourse::RejoinStation() {
    TDivision* lead = Lead();
    if (lead == nullptr || NearestSightedRange() <= kRejoinCheckYards ||
        !StanceIs({combat::stanceHold, combat::stanceClose, combat::stanceCloseRapidly,
                   combat::stanceNoEnemySighted})) {
        return;
    }
    const int toLast = Range(*lead->RearShip());
    std::optional<map::TGeoPos> station;
    if (RoleIs({combat::roleSupport, combat::roleScreen}) && toLast > kSupportRejoinYards &&
        division_.TorpedoAttackTarget == nullptr) {
        station = division_.Role == combat::roleSupport
                      ? combat::SupportPoint(division_, *lead, world_)
                      : combat::ScreenPoint(division_, *lead, world_);
    } else if (division_.Role == combat::roleScout &&
               toLast > std::min(kScoutRejoinYards,
                                 static_cast<int>(engine::VisibilityRange(world_, flag_, false)))) {
        station = combat::ScoutPoint(division_, lead, world_);
    }
    if (station) {
        Steer(Tried(BearingTo(*station), kRejoinAfterAngle), " on Rejoin Lead " + lead->Shortname);
    }
}

void TStanceCourse::FloodingCaps() {
    if (flag_.IsSinkingOrSunk()) {
        return;
    }
    const int nearest = NearestSightedRange();
    int cap = kUnlimitedRange;
    if (flag_.HeavilyFlooded()) {
        if (nearest > kFloodingFarYards) {
            cap = kFloodingFarSpeed;
        } else if (nearest > kFloodingNearYards) {
            cap = kFloodingNearSpeed;
        }
        if (cap < division_.Speed && division_.Side == world_.PlayerSide) {
            world_.Log.AddLogLine("6" + flag_.Name + " has reduced speed due to heavy flooding!",
                                  &flag_);
        }
    }
    const bool anySighted = !flag_.Sighted.empty();
    if (flag_.Flooding > kFloodingBad) {
        if (!anySighted) {
            cap = std::min(cap, kFloodingQuietSpeed);
        } else if (nearest > kFloodingFarYards) {
            cap = std::min(cap, kFloodingSlowSpeed);
        } else if (Stance() != combat::stanceAvoidTorpedoAttack &&
                   flag_.BiggestCalibreAtMe <
                       std::min(flag_.Calibre[1] - kFloodingCalibreMargin, kFloodingCalibreCap)) {
            cap = std::min(cap, nearest > kFloodingNearYards ? kFloodingSlowSpeed
                                                             : kFloodingFightingSpeed);
        }
    } else if (flag_.Flooding > kFloodingSome && !anySighted) {
        cap = std::min(cap, kFloodingSlowSpeed);
    }
    division_.Speed = std::min(division_.Speed, cap);
}

} // namespace

void SelectStanceCourse(const TDecisionContext& context, TDivision& division) {
    const TFightingShip* flag = division.Flagship();
    if (flag == nullptr || division.IsNeutral() || flag->IsLandTarget()) {
        return;
    }
    TStanceCourse(context, division).Run();
}

} // namespace tarnwake::ai
