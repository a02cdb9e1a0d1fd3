#include "engine/GameWorld.h"

#include "campaign/Submarine.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "engine/Movement.h"
#include "engine/Objective.h"
#include "map/Geometry.h"

#include <algorithm>

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;
using combat::TForce;

namespace {

constexpr int kMinutesBeforeQuietEnd = 30;
constexpr core::TColor kAutosaveNoteColor = 128; // dark red
constexpr int kNeutralSide = 3;

template <typename T> void Erase(std::vector<T*>& list, const T* item) {
    list.erase(std::remove(list.begin(), list.end(), item), list.end());
}

} // namespace

TGameWorld::TGameWorld(core::IMessages& messages, core::ISound& sound,
                       core::TRandomGenerator& random, core::TGameFolders folders)
    : messages_(messages), sound_(sound), random_(random), folders_(std::move(folders)) {
    SetGameSpeed(kNormalSpeed);
    Chart.SetMessages(&messages_);
}

TGameWorld::~TGameWorld() = default;

int TGameWorld::ScenarioYear() const {
    return core::DecodeDateTime(Clock).year;
}

// ---- Ownership ------------------------------------------------------------------------------

TFightingShip& TGameWorld::AddShip(std::unique_ptr<TFightingShip> ship) {
    Ships.push_back(std::move(ship));
    return *Ships.back();
}

TDivision& TGameWorld::AddDivision(std::unique_ptr<TDivision> division) {
    Divisions.push_back(std::move(division));
    return *Divisions.back();
}

TForce& TGameWorld::AddForce(std::unique_ptr<TForce> force) {
    Forces.push_back(std::move(force));
    return *Forces.back();
}

bool TGameWorld::HoldsShip(const TFightingShip* ship) const {
    return ship != nullptr && std::any_of(Ships.begin(), Ships.end(),
                                          [ship](const auto& s) { return s.get() == ship; });
}

TDivision* TGameWorld::DivisionOfShip(const TFightingShip* ship) const {
    for (const auto& division : Divisions) {
        if (std::find(division->Ships.begin(), division->Ships.end(), ship) !=
            division->Ships.end()) {
            return division.get();
        }
    }
    return nullptr;
}

void TGameWorld::RemoveShip(TFightingShip* ship) {
    if (ship == nullptr) {
        return;
    }
    for (auto& d : Divisions) {
        Erase(d->Ships, ship);
        if (d->RescueTarget == ship) {
            d->RescueTarget = nullptr;
        }
        if (d->ThreatShip == ship) {
            d->ThreatShip = nullptr;
        }
    }
    for (auto& s : Ships) {
        Erase(s->Sighted, ship);
        for (TFightingShip** target :
             {&s->CurrentTarget, &s->SecondaryPortTarget, &s->SecondaryStarboardTarget,
              &s->TertiaryPortTarget, &s->TertiaryStarboardTarget}) {
            if (*target == ship) {
                *target = nullptr;
            }
        }
    }
    for (auto& f : Forces) {
        if (f->CachedFlagship() == ship) {
            f->FlagDivision();
        }
    }
    Log.Forget(ship);
    Ships.erase(std::remove_if(Ships.begin(), Ships.end(),
                               [ship](const auto& s) { return s.get() == ship; }),
                Ships.end());
}

void TGameWorld::RemoveDivision(TDivision* division) {
    if (division == nullptr) {
        return;
    }
    for (auto& d : Divisions) {
        if (d->LeadDiv == division) {
            d->LeadDiv = nullptr;
        }
        if (d->TargetDivision == division) {
            d->TargetDivision = nullptr;
        }
    }
    for (auto& s : Ships) {
        if (s->InitialDivision == division) {
            s->InitialDivision = nullptr;
        }
    }
    for (auto& f : Forces) {
        Erase(f->Divisions, division);
        f->FlagDivision();
    }
    Log.Forget(division);
    Divisions.erase(std::remove_if(Divisions.begin(), Divisions.end(),
                                   [division](const auto& d) { return d.get() == division; }),
                    Divisions.end());
}

void TGameWorld::RemoveForce(TForce* force) {
    if (force == nullptr) {
        return;
    }
    for (auto& d : Divisions) {
        if (d->Force == force) {
            d->Force = nullptr;
        }
    }
    for (auto& f : Forces) {
        if (f->MainForce == force) {
            f->MainForce = nullptr;
        }
    }
    for (auto& o : Objectives) {
        if (o->Force == force) {
            o->Force = nullptr;
        }
    }
    Forces.erase(std::remove_if(Forces.begin(), Forces.end(),
                                [force](const auto& f) { return f.get() == force; }),
                 Forces.end());
}

void TGameWorld::Clear() {
    // References first, owners last: forces and divisions point at ships.
    Log.Clear();
    Objectives.clear();
    Submarines.clear();
    Forces.clear();
    Divisions.clear();
    Ships.clear();
    Sides = {};
    TimeElapsed = 0;
    MinutesToRun = 0;
    MinuteReady = true;
    PausePending = false;
    SubStepsLeft = 0;
    QuietMinutes = 0;
    ScenarioFinished = false;
    ObjectiveReached = false;
    AllHome = {};
    Chart.ClearNoLandFlag();
    RunTimerEnabled = false;
    SubStepTimerEnabled = false;
}

// ---- Seams ----------------------------------------------------------------------------------

bool TGameWorld::HasEnemyInSight(const TFightingShip& ship) const {
    // Neutral shipping is nobody's enemy.
    return std::any_of(ship.Sighted.begin(), ship.Sighted.end(), [&ship](const TFightingShip* o) {
        return o != nullptr && o->Side != ship.Side && o->Side != kNeutralSide &&
               ship.Side != kNeutralSide;
    });
}

const designs::TNation& TGameWorld::NationOf(const TFightingShip& ship) const {
    return Nations.At(ship.Nation);
}

std::vector<TDivision*> TGameWorld::AllDivisions() const {
    std::vector<TDivision*> all;
    all.reserve(Divisions.size());
    for (const auto& d : Divisions) {
        all.push_back(d.get());
    }
    return all;
}

int TGameWorld::VisibilityRange(const TFightingShip&, bool) {
    return Environment.DayRange;
}

bool TGameWorld::NearestBase(const TFightingShip&, map::TGeoPos&, std::string&) {
    return false;
}

bool TGameWorld::WaypointArrivalAllowed(const TDivision&) {
    return true;
}

bool TGameWorld::IsAwayFromHome(const TFightingShip&) const {
    return true;
}

void TGameWorld::ExtendDivisionTrack(TDivision& division) const {
    const TFightingShip* flag = division.Flagship();
    if (!division.Track || flag == nullptr || flag->Marker == nullptr) {
        return;
    }
    // A point every other minute keeps a long battle's tracks light; in between, the newest
    // point follows the flagship so the track always reaches it.
    const int count = division.Track->Chain(0).Count();
    if (TimeElapsed % 2 != 0 || count < 2) {
        division.Track->AddPoint(0, flag->Position());
    } else {
        division.Track->SetPoint(0, count - 1, flag->Position());
    }
}

void TGameWorld::AllShipsDamageControl() {
    for (const auto& d : Divisions) {
        if (d->IsNeutral()) {
            continue;
        }
        ExtendDivisionTrack(*d);
        for (TFightingShip* s : d->Ships) {
            if (!s->IsSinkingOrSunk() && IsAwayFromHome(*s) && (s->Side == 0 || s->Side == 1)) {
                AllHome[static_cast<std::size_t>(s->Side)] = false;
            }
            if (s->SmokeMinutes > 0) {
                --s->SmokeMinutes;
            }
        }
    }
}

void TGameWorld::CheckAllDivAfterMove() {
    // Fuel tables are rates per hour: a twelfth of the rate every fifth minute keeps the
    // bunkers emptying at the true rate.
    const bool fuelMinute = TimeElapsed % 5 == 0;
    for (auto it = Divisions.rbegin(); it != Divisions.rend(); ++it) {
        TDivision& d = **it;
        if (d.IsNeutral()) {
            continue;
        }
        RunGuarded(messages_, "CheckAllDivAfterMove", "Division: " + d.DivisionName, [&] {
            const TFightingShip* flag = d.Flagship();
            if (flag != nullptr && !flag->IsLandTarget() && fuelMinute) {
                d.ComputeFuelExpenditure();
                d.CheckFuelSituation(*this);
            }
            engine::SmokeDecision(*this, d, d.MakeSmoke);
            if (d.HoldFireMinutes > 0 && d.HoldFireMinutes != combat::kHoldFireIndefinitely) {
                --d.HoldFireMinutes;
            }
        });
    }
}

void TGameWorld::AllShipsCheckSinkings() {
    for (auto it = Ships.rbegin(); it != Ships.rend(); ++it) {
        engine::ChangeSpeedForMinute(**it);
    }
}

bool TGameWorld::PlayerMaySee(const TFightingShip& ship) const {
    return PlayerSide == 2 || ship.Side == PlayerSide;
}

bool TGameWorld::OrdersAllowed(int side) const {
    if (!Environment.NoOrdersBS) {
        return true;
    }
    return side >= 0 && side < static_cast<int>(Environment.FirstSighting.size()) &&
           Environment.FirstSighting[static_cast<std::size_t>(side)];
}

bool TGameWorld::IsThreat(const TFightingShip& enemy) {
    const int working = enemy.TotalTurretGuns(true) + enemy.CurrentSecondariesPort +
                        enemy.CurrentSecondariesStarboard;
    if (enemy.IsLandTarget()) {
        return working > 0;
    }
    const int all = enemy.TotalTurretGuns(false) + enemy.InitialSecondariesPort +
                    enemy.InitialSecondariesStarboard;
    if (all == 0) {
        return false;
    }
    return enemy.GetDamagePercentage(messages_) < 70 || random_.Random(all) + 2 < working;
}

TFightingShip* TGameWorld::NearestSightedEnemy(const TFightingShip& ship, bool landTargets,
                                               double& range) const {
    TFightingShip* nearest = nullptr;
    range = 0.0;
    for (TFightingShip* other : ship.Sighted) {
        if (other == nullptr || other->Side == ship.Side || other->Side == kNeutralSide ||
            (landTargets && !other->IsLandTarget())) {
            continue;
        }
        const double r = map::RangeYards(ship.Position(), other->Position());
        if (nearest == nullptr || r < range) {
            nearest = other;
            range = r;
        }
    }
    return nearest;
}

int TGameWorld::TryCourseAvoidClose(TFightingShip&, int, int, int course) {
    return course;
}

TFightingShip* TGameWorld::MainEnemy(const TFightingShip&) const {
    return nullptr;
}

const std::vector<TFightingShip*>& TGameWorld::NearFriends(const TFightingShip&) const {
    static const std::vector<TFightingShip*> kNone;
    return kNone;
}

int TGameWorld::ShipsAtSea(int side) const {
    int count = 0;
    for (const auto& d : Divisions) {
        if (d->Side != side || d->Side == kNeutralSide) {
            continue;
        }
        for (const TFightingShip* s : d->Ships) {
            count += s->IsSinkingOrSunk() ? 0 : 1;
        }
    }
    return count;
}

// ---- Running the clock ----------------------------------------------------------------------

void TGameWorld::RunMinutes(int count) {
    if (ScenarioFinished) {
        messages_.Inform("Scenario is finished!");
        return;
    }
    ApplySpeedCap();
    MinuteReady = true;
    PausePending = false;
    MinutesToRun = count;
    ComputeSubStepCount();
    RunTimerEnabled = true;
}

void TGameWorld::RequestPause() {
    if (RunTimerEnabled) {
        PausePending = true;
    }
}

void TGameWorld::SetGameSpeed(int index) {
    const int before = GameSpeed(SpeedIndex).SubStepsPerMinute();
    SpeedIndex = std::clamp(index, kSlowestSpeed, kFastestSpeed);
    // A minute already in motion finishes at the new pace: what is left of it is cut into the
    // new speed's sub-steps, so the ships still cover one minute's run in all.
    if (SubStepsLeft > 0) {
        SubStepsLeft =
            std::max(1, SubStepsLeft * GameSpeed(SpeedIndex).SubStepsPerMinute() / before);
    }
    ComputeSubStepCount();
}

void TGameWorld::ComputeSubStepCount() {
    const TGameSpeed& speed = GameSpeed(SpeedIndex);
    if (SpeedIndex < 3) {
        TorpedoCheckPeriod = std::max(1, speed.SubStepsPerMinute() / 10);
    }
}

void TGameWorld::ApplySpeedCap() {
    // Fast speeds are for quiet seas: with an enemy in sight or a torpedo running, the clock
    // drops back to "Normal" so the player sees the action.
    if (SpeedIndex <= kFastSpeed) {
        return;
    }
    bool action = AnyTorpedoRunning();
    for (const auto& s : Ships) {
        action = action || HasEnemyInSight(*s);
    }
    if (action) {
        SetGameSpeed(kNormalSpeed);
    }
}

void TGameWorld::RunTimerTick() {
    if (MinutesToRun > 0 && MinuteReady) {
        StartMinute();
    }
    if (MinutesToRun == 0) {
        RunTimerEnabled = false;
    }
    if (PausePending) {
        MinutesToRun = 0;
        RunTimerEnabled = false;
    }
}

void TGameWorld::StartMinute() {
    MinuteReady = false;
    --MinutesToRun;
    ApplySpeedCap();
    AIDivisionsDecide();
    RunGuarded(messages_, "CheckObjectives", "", [this] { CheckObjectives(); });
    RunGuarded(messages_, "CheckForceWithdrawal", "", [this] { AssessForceWithdrawal(); });
    for (auto& s : Ships) {
        s->CourseAtStartOfMinute = s->Course();
    }
    SubStepsLeft = GameSpeed(SpeedIndex).SubStepsPerMinute();
    SubStepTimerEnabled = true;
}

void TGameWorld::AIDivisionsDecide() {
    // Divisions re-decide from the last to the first. Light ships in station-keeping roles
    // decide most often, heavy divisions least.
    for (auto it = Divisions.rbegin(); it != Divisions.rend(); ++it) {
        TDivision& d = **it;
        const TFightingShip* flag = d.Flagship();
        if (flag == nullptr || !d.AIControl || flag->IsLandTarget() || d.IsNeutral()) {
            continue;
        }
        RunGuarded(messages_, "AIDivisionsDecide", "Division: " + d.DivisionName, [&] {
            engine::MatchStationSpeed(*this, d);
            const bool stationRole = d.Role == combat::roleSupport || d.Role == combat::roleScout ||
                                     d.Role == combat::roleScreen;
            const bool light = flag->ShipType == designs::TShipType::CL ||
                               flag->ShipType == designs::TShipType::DD;
            int n = 4;
            if ((stationRole && light) || (d.Role == combat::roleCore && d.LeadDiv != nullptr)) {
                n = 2;
            } else if (flag->ShipType == designs::TShipType::DD || stationRole) {
                n = 3;
            }
            bool decide =
                random_.Random(n) == 1 || n < d.TurnsSinceDecision || d.MustDecide || DecideForAll;
            if (!decide) {
                const map::TGeoPos ahead = combat::PointAhead(*flag, 1500);
                decide = Chart.IsBlocked(ahead, flag, map::TLandRule::LandOnly);
            }
            if (decide) {
                d.TurnsSinceDecision = 0;
                d.MustDecide = false;
                DivisionDecides(d);
            } else {
                ++d.TurnsSinceDecision;
            }
        });
    }
    DecideForAll = false;
}

void TGameWorld::SubStepTick() {
    // At the fast speeds markers, wakes and tracks are redrawn only on some sub-steps; ships
    // steer on every P-th sub-step.
    const bool fullStep =
        SpeedIndex <= kNormalSpeed || (SubStepsLeft % (SpeedIndex - 1) == 0) || SubStepsLeft == 1;
    const bool steering = SubStepsLeft % GameSpeed(SpeedIndex).P == 0;
    engine::MoveAllShips(*this, fullStep, steering);
    if (SpeedIndex <= kFastSpeed) {
        const bool check = SpeedIndex > kNormalSpeed || SubStepsLeft % TorpedoCheckPeriod == 0;
        RunGuarded(messages_, "MoveTorpedoes", "", [&] { MoveTorpedoes(check); });
    }
    --SubStepsLeft;
    if (SubStepsLeft <= 0) {
        SubStepTimerEnabled = false;
        FinishMinute();
        SubStepsLeft = 0;
    }
}

void TGameWorld::FinishMinute() {
    AllHome = {true, true};

    for (auto& s : Ships) {
        if (s->Course() < 0 || s->Course() > 360) {
            s->SetCourse(random_.Random(350));
        }
        int turn = s->Course() - s->CourseAtStartOfMinute;
        if (turn > 180) {
            turn -= 360;
        } else if (turn < -180) {
            turn += 360;
        }
        s->Turn = turn;
    }

    if (TimeElapsed % 10 == 0) {
        RunGuarded(messages_, "Weatherchange", "", [this] {
            // Settled weather changes less often than the unsettled kinds.
            const int w = Environment.Weather;
            const bool settled = w == 2 || w == 4 || w == 5;
            if (!settled || random_.Random(100) < 50) {
                Weatherchange();
            }
        });
        RunGuarded(messages_, "AdjustSightingLevel", "", [this] { AdjustSightingLevel(); });
        Environment.MeanRange = (Environment.DayRange + Environment.NightRange) / 2;
    }
    RunGuarded(messages_, "AgeSmokeFloats", "", [this] { engine::AgeSmokeFloats(*this); });
    RunGuarded(messages_, "Checksightings", "", [this] { PausePending = Checksightings(); });
    RunGuarded(messages_, "SelectTargetsForAllDivisions", "",
               [this] { SelectTargetsForAllDivisions(); });
    RunGuarded(messages_, "ComputerTorpedoLaunches", "", [this] { ComputerTorpedoLaunches(); });
    RunGuarded(messages_, "ClearMinuteCounters", "", [this] { ClearMinuteCounters(); });
    RunGuarded(messages_, "Gunfire", "", [this] { GunfireOfAllShips(); });
    RunGuarded(messages_, "AllShipsDamageControl", "", [this] { AllShipsDamageControl(); });
    RunGuarded(messages_, "AllShipsCheckSinkings", "", [this] { AllShipsCheckSinkings(); });
    RunGuarded(messages_, "CheckAllDivAfterMove", "", [this] { CheckAllDivAfterMove(); });
    RunGuarded(messages_, "ContactReports", "", [this] { ContactReportUpkeep(); });
    RunGuarded(messages_, "AircraftSightings", "", [this] { AircraftSightings(); });
    RunGuarded(messages_, "CheckSubmarines", "", [this] { CheckSubmarines(); });
    if (random_.Random(10) == 1) {
        RunGuarded(messages_, "CheckSubordinateForceInCombat", "",
                   [this] { CheckSubordinateForceInCombat(); });
    }
    if (random_.Random(50) == 1) {
        RunGuarded(messages_, "ReduceSearchAreaReports", "", [this] { ReduceSearchAreaReports(); });
        if (random_.Random(100) < 40) {
            RunGuarded(messages_, "CheckCautiousAIFeelingGood", "",
                       [this] { CheckCautiousAIFeelingGood(); });
        }
    }
    if (Campaign && (random_.Random(10) == 1 || TimeElapsed == 1)) {
        RunGuarded(messages_, "SubmarineChecks", "", [this] { SubmarineAgainstSubmarine(); });
    }
    RunGuarded(messages_, "ObjectiveResults", "", [this] {
        if (ObjectiveResults()) {
            PausePending = true;
        }
    });
    RunGuarded(messages_, "FlushLog", "", [this] {
        const TFlushResult flushed = Log.FlushLog(
            {Preferences.Log, messages_, sound_, random_, folders_.SoundsDir(), Clock});
        if (flushed.breakRequested) {
            PausePending = true;
        }
    });
    RunGuarded(messages_, "PlayerPrompts", "", [this] { PlayerPrompts(); });
    if (!RunTimerEnabled && !SubStepTimerEnabled && view_ != nullptr) {
        view_->RunEnded();
    }
    Clock = core::IncMinute(Clock, 1);
    ++TimeElapsed;
    if (view_ != nullptr) {
        view_->MinuteFinished();
    }
    MinuteReady = true;
    if (Preferences.AutosaveMinutes != 0 && TimeElapsed % Preferences.AutosaveMinutes == 0) {
        Autosave();
    }
    if (PausePending) {
        RunTimerEnabled = false;
    }
    RunEndOfScenarioChecks();
}

void TGameWorld::Autosave() {
    if (!AutosaveHook) {
        return;
    }
    RunTimerEnabled = false;
    const auto file = folders_.SaveDir() / (Campaign ? "Autosave.sac" : "Autosave.sav");
    if (AutosaveHook(file)) {
        Log.AddLogNote("Game autosaved", kAutosaveNoteColor, true, Clock);
    }
    if (!PausePending && MinutesToRun > 0) {
        RunTimerEnabled = true;
    }
}

void TGameWorld::RunEndOfScenarioChecks() {
    // Several checks may fire in one minute (the time limit and an empty sea, say): all are
    // evaluated, but only the first ends the game, so the end is announced, the sinking ships
    // sunk and the results shown once.
    const auto end = [this](const std::string& message) {
        RunTimerEnabled = false;
        if (!ScenarioFinished) {
            EndScenario(message);
        }
    };

    bool enemyInSight = false;
    for (const auto& s : Ships) {
        enemyInSight = enemyInSight || HasEnemyInSight(*s);
    }
    QuietMinutes = enemyInSight ? 0 : QuietMinutes + 1;
    if (TimeElapsed >= Length && QuietMinutes > kMinutesBeforeQuietEnd) {
        end("No opposing ships are in sight of each other and scenario length is "
            "reached!\rThe scenario is over!");
    }
    if (TimeElapsed >= 2 * Length) {
        end("Scenario absolute time limit is reached!\rThe scenario is over!");
    }
    if (ObjectiveReached) {
        end("Objective reached!\rThe scenario is over!");
    }
    const int atSea0 = ShipsAtSea(0);
    const int atSea1 = ShipsAtSea(1);
    if ((atSea0 == 0 || atSea1 == 0) && (!Campaign || TimeElapsed > Length / 2)) {
        const int emptySide = atSea1 == 0 ? 1 : 0;
        end(Sides[static_cast<std::size_t>(emptySide)].Name +
            " has no ships left at sea!\rThe scenario is over!");
    }
    for (int side = 0; side < 2; ++side) {
        if (AllHome[static_cast<std::size_t>(side)] && TimeElapsed > Length / 2) {
            end("All ships belonging to " + Sides[static_cast<std::size_t>(side)].Name +
                " are back home! The scenario is over!");
            ScenarioFinished = true;
        }
    }
    if (Chart.NoLandFlag()) {
        RunTimerEnabled = false;
        Chart.ReportNoLandLayer(messages_);
    }
}

void TGameWorld::EndScenario(const std::string& message) {
    messages_.Inform(message);
    RunGuarded(messages_, "SinkAllSinking", "", [this] { SinkAllSinking(); });
    ScenarioFinished = true;
    if (view_ != nullptr) {
        view_->ShowResults();
    }
}

int TGameWorld::RunHeadless(int minutes) {
    const int start = TimeElapsed;
    RunMinutes(minutes);
    // The desktop program's two timers, as one loop: a sub-step whenever a minute is in
    // motion, otherwise a run-timer event. Nothing waits.
    while (RunTimerEnabled || SubStepTimerEnabled) {
        if (SubStepTimerEnabled) {
            SubStepTick();
        } else {
            RunTimerTick();
        }
    }
    return TimeElapsed - start;
}

std::string TGameWorld::ClockText() const {
    return core::FormatDateTime(Clock);
}

std::string TGameWorld::ElapsedText() const {
    return "Time elapsed " + std::to_string(TimeElapsed) + " (" + std::to_string(Length) + ")";
}

} // namespace tarnwake::engine
