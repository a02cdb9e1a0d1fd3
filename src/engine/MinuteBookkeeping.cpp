#include "engine/MinuteBookkeeping.h"

#include "combat/FightingShip.h"
#include "core/Random.h"
#include "engine/GameWorld.h"
#include "engine/Sighting.h"
#include "engine/Torpedoes.h"
#include "map/Geometry.h"

#include <algorithm>

namespace tarnwake::engine {

namespace {
constexpr core::TColor kAutosaveNoteColor = 128; // dark red
constexpr int kRandomCourseRange = 350;
} // namespace

void BeginMinute(TGameWorld& world) {
    world.MinuteReady = false;
    --world.MinutesToRun;
}

void ApplySpeedCap(TGameWorld& world) {
    if (world.SpeedIndex <= kFastSpeed) {
        return;
    }
    if (AnyTorpedoRunning(world) || AnyEnemyInSight(world)) {
        world.ApplyGameSpeed(kNormalSpeed);
    }
}

void RememberCourses(TGameWorld& world) {
    for (auto& s : world.Ships) {
        s->CourseAtStartOfMinute = s->Course();
    }
}

void StartMotion(TGameWorld& world) {
    world.SightingPairs.Close();
    world.SubStepsLeft = GameSpeed(world.SpeedIndex).SubStepsPerMinute();
    world.SubStepTimerEnabled = true;
}

void SetAllHomeFlags(TGameWorld& world) {
    world.AllHome = {true, true};
}

void CourseBookkeeping(TGameWorld& world) {
    for (auto& s : world.Ships) {
        const int course = s->Course();
        if (course < 0 || course > 360) {
            s->SetCourse(world.Random().Random(kRandomCourseRange));
        }
        s->Turn = map::SignedTurn(s->CourseAtStartOfMinute, s->Course());
    }
}

void RememberGunfire(TGameWorld& world) {
    for (const auto& s : world.Ships) {
        s->FiredLastMinute = s->FiredThisMinute;
        s->FiredThisMinute = false;
    }
}

void FlushMinuteLog(TGameWorld& world) {
    const TFlushResult flushed =
        world.Log.FlushLog({world.Preferences.Log, world.Messages(), world.Sound(),
                            world.Cosmetic(), world.Folders().SoundsDir(), world.Clock,
                            [&world](combat::TShipId id) { return world.FindShip(id); }});
    if (flushed.breakRequested) {
        world.PausePending = true;
    }
}

void NotifyRunEnded(TGameWorld& world) {
    if (!world.RunTimerEnabled && !world.SubStepTimerEnabled && world.View() != nullptr) {
        world.View()->RunEnded();
    }
}

void AdvanceClock(TGameWorld& world) {
    world.Clock = core::IncMinute(world.Clock, 1);
    ++world.TimeElapsed;
    if (world.View() != nullptr) {
        world.View()->MinuteFinished();
    }
    world.MinuteReady = true;
}

void Autosave(TGameWorld& world) {
    if (!world.AutosaveHook) {
        return;
    }
    // A message box while saving runs its own event loop: the run timer must not start a
    // minute meanwhile.
    world.RunTimerEnabled = false;
    const auto file =
        world.Folders().SaveDir() / (world.Campaign ? "Autosave.sac" : "Autosave.sav");
    if (world.AutosaveHook(file)) {
        world.Log.AddLogNote("Game autosaved", kAutosaveNoteColor, true, world.Clock);
    }
    if (!world.PausePending && world.MinutesToRun > 0) {
        world.RunTimerEnabled = true;
    }
}

void StopIfPausePending(TGameWorld& world) {
    if (world.PausePending) {
        world.RunTimerEnabled = false;
    }
}

} // namespace tarnwake::engine
