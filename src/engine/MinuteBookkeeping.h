#pragma once

namespace tarnwake::engine {

class TGameWorld;

// The clock's own steps of the minute.

// A minute starts: no other may start until it has finished, and the run has one minute less
// to go.
void BeginMinute(TGameWorld& world);
// Fast speeds are for quiet seas: with an enemy in sight or a torpedo running, a speed above
// "Fast" drops back to "Normal" so the player sees the action.
void ApplySpeedCap(TGameWorld& world);
// Every ship remembers its course at the start of the minute (gunnery reads the turn made).
void RememberCourses(TGameWorld& world);
// The minute's motion begins: its sub-steps are counted and the sub-step timer runs.
void StartMotion(TGameWorld& world);

// Both sides count as all home until a ship away from home says otherwise.
void SetAllHomeFlags(TGameWorld& world);
// A course gone astray is replaced by a random one; each ship's turn of the minute is noted.
void CourseBookkeeping(TGameWorld& world);
// Last minute's gun flashes become the ones the lookouts and gunlayers of this minute saw; this
// minute's are yet to come.
void RememberGunfire(TGameWorld& world);
// The minute's messages go to the log, which may ask the clock to stop.
void FlushMinuteLog(TGameWorld& world);
// When neither timer runs any more, the display rebuilds its lists.
void NotifyRunEnded(TGameWorld& world);
// The clock moves on one minute, and the next minute may start.
void AdvanceClock(TGameWorld& world);
// The game is saved to the autosave file.
void Autosave(TGameWorld& world);
// A pause asked for (or a break event) stops the run after this minute.
void StopIfPausePending(TGameWorld& world);

} // namespace tarnwake::engine
