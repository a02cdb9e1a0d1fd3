#pragma once

#include <exception>
#include <functional>
#include <string>
#include <string_view>

namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::engine {
class TGameWorld;
}

namespace tarnwake::ai {

class IEnemyKnowledge;

// One reason the computer gives for a decision: the minute, the division and the text (the
// division's short name followed by the reason's words, " selects CLOSE on enemy is
// outnumbered").
struct TTraceLine {
    int Minute = 0;
    std::string Division;
    std::string Text;
};
// Where the reasons go. It keeps nothing and changes nothing in play; none is the rule.
using TTraceHook = std::function<void(const TTraceLine&)>;

// What every decision of the computer works with: the world, what it knows of the enemy, and
// the hook its reasons go to.
class TDecisionContext {
public:
    TDecisionContext(engine::TGameWorld& world, const IEnemyKnowledge& enemy,
                     const TTraceHook* trace = nullptr)
        : World(world), Enemy(enemy), trace_(trace) {}

    engine::TGameWorld& World;
    const IEnemyKnowledge& Enemy;

    // Whether anyone listens: a reason is only worded when someone does.
    bool Tracing() const { return trace_ != nullptr && *trace_; }
    // The division's reason: its short name, then `words` (a blank between them unless the
    // words begin with one), then the enemy's description when one is named.
    void Reason(const combat::TDivision& division, std::string_view words,
                const combat::TFightingShip* enemy = nullptr) const;
    // A note of the computer's that stands on its own (a warning the rules give instead of a
    // message box in the decision loop).
    void Note(const combat::TDivision& division, const std::string& text) const;

    // Runs one of the computer's helpers, which catches its own failure and reports it as every
    // game procedure does ("Error in <procedure> procedure!", the subject, the failure's text);
    // the subject is only worded then. Answers whether the helper ran through.
    template <typename Subject, typename Fn>
    bool Guarded(const char* procedure, Subject&& subject, Fn&& fn) const {
        try {
            fn();
            return true;
        } catch (const std::exception& e) {
            ReportFailure(procedure, subject(), e.what());
        }
        return false;
    }

private:
    void ReportFailure(const char* procedure, const std::string& subject,
                       const std::string& what) const;

    const TTraceHook* trace_;
};

} // namespace tarnwake::ai
