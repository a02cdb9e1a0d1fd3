#include "engine/DivisionUpkeep.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "engine/ContactReports.h"
#include "engine/Detach.h"
#include "engine/FirePhase.h"
#include "engine/GameWorld.h"
#include "engine/Objectives.h"
#include "engine/Ports.h"
#include "engine/Rescue.h"
#include "engine/Sighting.h"
#include "engine/Smoke.h"
#include "map/Geometry.h"
#include "map/Globe.h"

#include <algorithm>
#include <vector>

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;

namespace {

// Fuel tables are rates per hour: a twelfth of the rate every fifth minute keeps the bunkers
// emptying at the true rate.
constexpr int kFuelPeriodMinutes = 5;
// An enemy last seen this far away is no longer worth remembering, now and again.
constexpr double kForgetEnemyYards = 80000.0;
// In clear daylight a lost division soon sees its consorts again.
constexpr int kClearDayRange = 12001;
// A division that has lost its way wanders off up to 20 degrees and makes for somewhere ahead.
constexpr int kCourseJump = 40;
constexpr int kWanderAheadYards = 30000;
constexpr int kWanderSearchYards = 30000;
constexpr int kWanderSearchMinYards = 1500;
// The chance a division keeping station loses touch with the fleet: one in 450 a minute for the
// heavy divisions, one in 350 for the light ones.
constexpr int kHeavyLoseContactOdds = 450;
constexpr int kLightLoseContactOdds = 350;
constexpr int kWeatherFog = 0;
constexpr int kWeatherMist = 1;
// A division back within this range of home after the first half hour has been home.
constexpr int kHomeAfterMinutes = 30;
constexpr double kHomeYards = 15000.0;

bool Detached(const TDivision& division) {
    return division.DivisionName.find('*') != std::string::npos;
}

// Each side forgets its most important enemy once it is gone, a battery now and again, and
// an enemy long out of sight of where it was last seen.
void ForgetImportantEnemies(TGameWorld& world) {
    core::TRandomGenerator& random = world.Random();
    for (TSide& side : world.Sides) {
        if (!side.ImportantEnemy) {
            continue;
        }
        const TFightingShip* enemy = world.FindShip(side.ImportantEnemy);
        const bool forget =
            enemy == nullptr || !enemy->InPlay() ||
            (enemy->IsLandTarget() && random.Random(5) == 1) ||
            (map::RangeYards(enemy->Position(), side.ImportantEnemyPosition) > kForgetEnemyYards &&
             random.Random(100) < 5);
        if (forget) {
            side.ImportantEnemy = {};
            side.ImportantEnemyPosition = {};
        }
    }
}

void CheckLead(TGameWorld& world, TDivision& division) {
    if (division.LeadDiv != nullptr && !division.LeadDiv->HasShips()) {
        division.LeadDiv = nullptr;
        division.Role = combat::roleIndependent;
    }
    if (division.LeadDiv == &division) {
        world.Messages().Warn("Division " + division.DivisionName + " was leading itself!\n" +
                              division.DivisionName + " role set to independent.");
        division.LeadDiv = nullptr;
        division.Role = combat::roleIndependent;
    }
}

// The division steers off a little and makes for a free point somewhere ahead.
void Wander(TGameWorld& world, TDivision& division, const TFightingShip& flag) {
    core::TRandomGenerator& random = world.Random();
    division.Course = map::AddBearing(flag.Course(), random.Random(kCourseJump) - kCourseJump / 2);
    division.SecondPoint = map::RandomFreePointNear(
        world.Chart, map::MovePoint(flag.Position(), division.Course, kWanderAheadYards),
        kWanderSearchYards, kWanderSearchMinYards, &flag, random);
}

void RegainContact(TGameWorld& world, TDivision& division) {
    const TFightingShip* flag = division.Flagship();
    if (flag == nullptr || !division.LockedAI) {
        return;
    }
    core::TRandomGenerator& random = world.Random();
    if (flag->LightState == combat::kLightDay) {
        const int day = world.Environment.DayRange;
        const TDivision* initial = flag->InitialDivision;
        const TFightingShip* initialFlag = initial != nullptr ? initial->Flagship() : nullptr;
        const TFightingShip* forceFlag =
            division.Force != nullptr ? division.Force->ForceFlagship() : nullptr;
        const bool regained =
            (day >= kClearDayRange && random.Random(300) == 1) ||
            (initialFlag != nullptr && combat::RangeYards(*flag, *initialFlag) < day &&
             random.Random(20) == 1) ||
            (forceFlag != nullptr && combat::RangeYards(*flag, *forceFlag) < day &&
             random.Random(10) == 1) ||
            (random.Random(100) == 1 && random.Random(30) + 14 < day / 1000);
        if (regained) {
            division.LockedAI = false;
            if (!Detached(division) && division.Role == combat::roleIndependent &&
                world.PlayerMaySee(*flag)) {
                world.Log.AddLogLine("6" + division.DivisionName +
                                         " reestablishes contact with flagship!",
                                     &division);
            }
        }
    }
    if (division.LockedAI && random.Random(100) == 1 && !HasEnemyInSight(*flag)) {
        Wander(world, division, *flag);
    }
}

bool HasCoreFollower(const TGameWorld& world, const TDivision& division) {
    return std::any_of(world.Divisions.begin(), world.Divisions.end(), [&](const auto& d) {
        return d->LeadDiv == &division && d->Role == combat::roleCore;
    });
}

// A division of the player's keeping station may lose touch with the fleet in the dark or in
// thick weather, more readily with the enemy in sight.
void LoseContactWithFormation(TGameWorld& world, TDivision& division) {
    core::TRandomGenerator& random = world.Random();
    if (random.Random(100) >= 50) {
        return;
    }
    const TFightingShip* flag = division.Flagship();
    const int role = division.Role;
    const bool stationKeeping = role == combat::roleCore || role == combat::roleSupport ||
                                role == combat::roleScout || role == combat::roleScreen;
    if (division.Side != world.PlayerSide || division.LockedAI ||
        world.Preferences.RealismSetting == kRealismCaptain || flag == nullptr ||
        division.Force == nullptr || !division.Force->PlayerSteered || !stationKeeping ||
        HasCoreFollower(world, division)) {
        return;
    }
    const int a = role == combat::roleCore || role == combat::roleSupport ? kHeavyLoseContactOdds
                                                                          : kLightLoseContactOdds;
    if (random.Random(a) != 1 && !(random.Random(a / 2) == 1 && HasEnemyInSight(*flag))) {
        return;
    }
    const int weather = world.Environment.Weather;
    bool lost = false;
    if (flag->LightState == combat::kLightNight) {
        lost = random.Random(world.NationOf(*flag).NightFighting * 100 + 100) < 10;
    } else if (weather == kWeatherMist) {
        lost = random.Random(2 * a) < 10;
    } else if (weather == kWeatherFog) {
        lost = random.Random(a) < 10;
    }
    if (!lost) {
        return;
    }
    division.LockedAI = true;
    division.AIControl = true;
    Wander(world, division, *flag);
    if (!Detached(division) && world.PlayerMaySee(*flag)) {
        world.Log.AddLogLine("7" + division.DivisionName + " loses contact with formation!",
                             &division);
    }
}

// Two core divisions cannot both follow one lead: one of them goes its own way.
void CheckCoreFollowers(TGameWorld& world, TDivision& division) {
    if (world.Random().Random(100) >= 50 || division.Side != world.PlayerSide ||
        division.Role != combat::roleCore || Detached(division) || division.LeadDiv == nullptr) {
        return;
    }
    const TDivision* lead = division.LeadDiv;
    const auto followers =
        std::count_if(world.Divisions.begin(), world.Divisions.end(), [lead](const auto& d) {
            return d->LeadDiv == lead && d->Role == combat::roleCore;
        });
    if (followers > 1) {
        world.Messages().Warn("Warning! " + lead->DivisionName +
                              " has more than one core division following!\n" +
                              division.DivisionName + " switches to independent!");
        division.Role = combat::roleIndependent;
    }
}

void CombatAndHomeBookkeeping(TGameWorld& world, TDivision& division) {
    if (division.InCombat) {
        ++division.MinutesInCombat;
    }
    if (division.PortDelay > 0) {
        --division.PortDelay;
    }
    const TFightingShip* flag = division.Flagship();
    const combat::TForce* force = division.Force;
    if (world.TimeElapsed > kHomeAfterMinutes && flag != nullptr && force != nullptr &&
        (force->Home.lon != 0 || force->Home.lat != 0) &&
        map::RangeYards(flag->Position(), force->Home) < kHomeYards) {
        division.HasBeenHome = true;
    }
}

void DivisionMinute(TGameWorld& world, TDivision& division, bool fuelMinute) {
    RefreshObjectiveState(world, division);
    CheckLead(world, division);
    if (ContinueRescue(world, division)) {
        return;
    }
    CheckDetach(world, division);
    if (const TFightingShip* flag = division.Flagship(); flag != nullptr && !flag->IsLandTarget()) {
        CheckReattach(world, division);
        if (fuelMinute) {
            division.ComputeFuelExpenditure();
            division.CheckFuelSituation(world);
        }
    }
    RegainContact(world, division);
    LoseContactWithFormation(world, division);
    CheckCoreFollowers(world, division);
    if (!division.HasShips()) {
        world.RemoveDivision(&division);
        return;
    }
    SendPositionReport(world, division);
    CheckSightingAreas(world, division);
    if (world.Random().Random(10) == 1) {
        TFightingShip& flag = *division.Flagship();
        if (TFightingShip* enemy = GetMainEnemy(world, flag); enemy != nullptr) {
            CreateReportExactForAI(world, *enemy, flag);
        }
    }
    CombatAndHomeBookkeeping(world, division);
    UpdateBattleSmoke(world, division);
    SmokeDecision(world, division, division.MakeSmoke);
    if (division.HoldFireMinutes > 0 && division.HoldFireMinutes != combat::kHoldFireIndefinitely) {
        --division.HoldFireMinutes;
    }
    division.InCombat = false;
    CheckPortArrival(world, division);
}

} // namespace

void CheckAllDivAfterMove(TGameWorld& world) {
    core::RunGuarded(world.Messages(), "CheckAllDivAfterMove", "",
                     [&world] { ForgetImportantEnemies(world); });
    const bool fuelMinute = world.TimeElapsed % kFuelPeriodMinutes == 0;
    // The pass walks the divisions as they stood when it began: divisions detached during it
    // wait for the next minute, and one removed takes nothing else with it.
    const std::vector<TDivision*> divisions = world.AllDivisions();
    for (auto it = divisions.rbegin(); it != divisions.rend(); ++it) {
        TDivision& d = **it;
        if (d.IsNeutral()) {
            continue;
        }
        core::RunGuarded(world.Messages(), "CheckAllDivAfterMove", "Division: " + d.DivisionName,
                         [&] { DivisionMinute(world, d, fuelMinute); });
    }
}

} // namespace tarnwake::engine
