#pragma once

namespace tarnwake::combat {
class TDivision;
}

namespace tarnwake::ai {

class TDecisionContext;

// A division under computer control chooses its tactical stance: the rules of its flagship's
// kind (capital ships and armoured cruisers, light cruisers, destroyers, auxiliaries) run in
// order from HOLD, a later rule overriding an earlier, some ending the choice at once. The
// reasons go to the context's trace.
void SelectStance(const TDecisionContext& context, combat::TDivision& division);

} // namespace tarnwake::ai
