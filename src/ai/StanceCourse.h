#pragma once

namespace tarnwake::combat {
class TDivision;
}

namespace tarnwake::ai {

class TDecisionContext;

// Right after a division under computer control has chosen its stance, the stance becomes
// orders: a course, a speed, at times a formation, a turn together or smoke. Overriding tasks
// come first (survivors to pick up, an objective to reach, a lead to keep station on, a heavy
// enemy to keep clear of), then the course of the stance, then the speed a flooded flagship
// can bear. The reasons go to the context's trace.
void SelectStanceCourse(const TDecisionContext& context, combat::TDivision& division);

} // namespace tarnwake::ai
