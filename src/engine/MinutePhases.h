#pragma once

namespace tarnwake::engine {

class TGameWorld;

// One step of the minute. `Due` says whether the step runs this minute; a gate that draws
// ("Random(10) = 1") draws in its place in the table, so the order of the draws is the order of
// the table. `previousDue` tells a gate whether the step before it was due, for a chance that
// is only rolled after another one passed. A step that fails is reported as
// "Error in <Name> procedure!" and the minute goes on with the next.
struct TPhase {
    const char* Name;
    bool (*Due)(TGameWorld& world, bool previousDue);
    void (*Run)(TGameWorld& world);
};

// The start of a minute: the decisions and bookkeeping made from the positions at its start.
void RunStartOfMinute(TGameWorld& world);
// The end of a minute, after its last sub-step: sighting, fire, damage, sinking, the log, the
// clock and the end checks.
void RunEndOfMinute(TGameWorld& world);

} // namespace tarnwake::engine
