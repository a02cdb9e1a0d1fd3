#include "ai/DecisionContext.h"

#include "ai/EnemyKnowledge.h"
#include "combat/Division.h"
#include "core/Messages.h"
#include "engine/GameWorld.h"

namespace tarnwake::ai {

void TDecisionContext::Reason(const combat::TDivision& division, std::string_view words,
                              const combat::TFightingShip* enemy) const {
    if (!Tracing()) {
        return;
    }
    std::string text = division.Shortname;
    if (!words.empty() && words.front() != ' ') {
        text += ' ';
    }
    text += words;
    if (enemy != nullptr) {
        text += Enemy.Description(*enemy);
    }
    Note(division, text);
}

void TDecisionContext::Note(const combat::TDivision& division, const std::string& text) const {
    if (Tracing()) {
        (*trace_)({World.TimeElapsed, division.DivisionName, text});
    }
}

void TDecisionContext::ReportFailure(const char* procedure, const std::string& subject,
                                     const std::string& what) const {
    World.Messages().Error(core::ProcedureErrorText(procedure, subject, what));
}

} // namespace tarnwake::ai
