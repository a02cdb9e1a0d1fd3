#include "engine/MinutePhases.h"

#include "core/Messages.h"
#include "core/Random.h"
#include "engine/CampaignEvents.h"
#include "engine/ComputerDecisions.h"
#include "engine/ComputerOpponent.h"
#include "engine/ContactReports.h"
#include "engine/DamageControl.h"
#include "engine/DivisionUpkeep.h"
#include "engine/EndOfScenario.h"
#include "engine/FirePhase.h"
#include "engine/GameWorld.h"
#include "engine/MinuteBookkeeping.h"
#include "engine/Objectives.h"
#include "engine/PhaseProfile.h"
#include "engine/Rescue.h"
#include "engine/Sighting.h"
#include "engine/Sinking.h"
#include "engine/Smoke.h"
#include "engine/Torpedoes.h"
#include "engine/Weather.h"

#include <span>

namespace tarnwake::engine {

namespace {

bool Always(TGameWorld&, bool) {
    return true;
}

bool EveryTenthMinute(TGameWorld& world, bool) {
    return world.TimeElapsed % 10 == 0;
}

// Settled weather (clear, cloudy, overcast) changes only every other time it is looked at.
bool WeatherDue(TGameWorld& world, bool previousDue) {
    if (!EveryTenthMinute(world, previousDue)) {
        return false;
    }
    const int w = world.Environment.Weather;
    const bool settled = w == 2 || w == 4 || w == 5;
    return !settled || world.Random().Random(100) < 50;
}

bool RearAdmiralsMode(TGameWorld& world, bool) {
    return world.Preferences.RealismSetting == kRealismRearAdmiral;
}

bool OneInTen(TGameWorld& world, bool) {
    return world.Random().Random(10) == 1;
}

bool OneInFifty(TGameWorld& world, bool) {
    return world.Random().Random(50) == 1;
}

bool FortyPercentAfterPrevious(TGameWorld& world, bool previousDue) {
    return previousDue && world.Random().Random(100) < 40;
}

// Submarines meet submarines only in campaigns: in the first minute, then now and again.
bool CampaignSubmarineDue(TGameWorld& world, bool) {
    return world.Campaign && (world.Random().Random(10) == 1 || world.TimeElapsed == 1);
}

bool AutosaveDue(TGameWorld& world, bool) {
    const int every = world.Preferences.AutosaveMinutes;
    return every != 0 && world.TimeElapsed % every == 0;
}

void ForceCombatCheck(TGameWorld& world) {
    world.Opponent().CheckSubordinateForceInCombat(world);
}

void CautiousForceCheck(TGameWorld& world) {
    world.Opponent().CheckCautiousAIFeelingGood(world);
}

constexpr TPhase kStartPhases[] = {
    {"BeginMinute", Always, BeginMinute},
    {"SpeedCap", Always, ApplySpeedCap},
    {"CheckOutOfSightOfFlagship", RearAdmiralsMode, CheckOutOfSightOfFlagship},
    {"AIDivisionsDecide", Always, AIDivisionsDecide},
    {"CheckObjectives", Always, CheckObjectives},
    {"CheckForceWithdrawal", Always, CheckForceWithdrawal},
    {"RememberCourses", Always, RememberCourses},
    {"StartMotion", Always, StartMotion},
};

constexpr TPhase kFinishPhases[] = {
    {"SetAllHomeFlags", Always, SetAllHomeFlags},
    {"CourseBookkeeping", Always, CourseBookkeeping},
    {"RememberGunfire", Always, RememberGunfire},
    {"Weatherchange", WeatherDue, Weatherchange},
    {"AdjustSightingLevel", EveryTenthMinute, AdjustSightingLevel},
    {"AgeSmokeFloats", Always, AgeSmokeFloats},
    {"LeaveSmokeTrails", Always, LeaveSmokeTrails},
    {"Checksightings", Always, Checksightings},
    {"SelectTargetsForAllDivisions", Always, SelectTargetsForAllDivisions},
    {"ComputerLaunchesTorpedoes", Always, ComputerLaunchesTorpedoes},
    {"CountFirePressure", Always, CountFirePressure},
    {"FireAllShips", Always, FireAllShips},
    {"AllShipsDamageControl", Always, AllShipsDamageControl},
    {"AllShipsCheckSinkings", Always, AllShipsCheckSinkings},
    {"CheckAllDivAfterMove", Always, CheckAllDivAfterMove},
    {"UpdateReports", Always, UpdateReports},
    {"AircraftSightings", Always, AircraftSightings},
    {"CheckSubmarines", Always, CheckSubmarines},
    {"CheckSubordinateForceInCombat", OneInTen, ForceCombatCheck},
    {"ReduceSearchAreaReports", OneInFifty, ReduceSearchAreaReports},
    {"CheckCautiousAIFeelingGood", FortyPercentAfterPrevious, CautiousForceCheck},
    {"SubmarineChecks", CampaignSubmarineDue, SubmarineChecks},
    {"ObjectiveResults", Always, ObjectiveResults},
    {"FlushLog", Always, FlushMinuteLog},
    {"WriteGunneryLog", Always, WriteGunneryLog},
    {"WriteTorpedoLog", Always, WriteTorpedoLog},
    {"OfferRescue", Always, OfferRescue},
    {"RunEnded", Always, NotifyRunEnded},
    {"AdvanceClock", Always, AdvanceClock},
    {"Autosave", AutosaveDue, Autosave},
    {"StopIfPausePending", Always, StopIfPausePending},
    {"EndOfScenarioChecks", Always, EndOfScenarioChecks},
};

void RunPhases(TGameWorld& world, std::span<const TPhase> phases) {
    bool previousDue = true;
    for (const TPhase& phase : phases) {
        bool due = false;
        core::RunGuarded(world.Messages(), phase.Name, "", [&] {
            due = phase.Due(world, previousDue);
            if (due) {
                TPhaseProfile::Time(world.Profile, phase.Name, [&] { phase.Run(world); });
            }
        });
        previousDue = due;
    }
}

} // namespace

void RunStartOfMinute(TGameWorld& world) {
    RunPhases(world, kStartPhases);
}

void RunEndOfMinute(TGameWorld& world) {
    RunPhases(world, kFinishPhases);
}

} // namespace tarnwake::engine
