#pragma once

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Colour.h"
#include "core/GameClock.h"
#include "engine/Objective.h"
#include "engine/Report.h"

#include <filesystem>
#include <functional>
#include <string>
#include <variant>
#include <vector>

namespace tarnwake::core {
class IMessages;
class ISound;
class TRandomGenerator;
} // namespace tarnwake::core

namespace tarnwake::engine {

// What a log line is about, so that clicking it can open or centre on that thing. The log
// names things by id: a line outlives the ship it speaks of.
using TLogObject =
    std::variant<std::monostate, combat::TShipId, combat::TDivisionId, TReportId, TObjectiveId>;

// A line as the log shows it: the display renders these, the core decides their look.
struct TStyledLine {
    std::string text;
    core::TColor color = core::colors::Black;
    bool bold = false;
    int sizeStep = 0; // points larger than the log's usual text
    TLogObject object;
};

struct TFullLogEntry {
    std::string line; // with its marker
    TLogObject object;
    std::string time; // "hh:nn "
    // A note of the program's own ("Game autosaved"), not a line of the game's events.
    bool note = false;
};

// The log settings of the player's preferences.
struct TLogSettings {
    int SoundOption = 1; // 0 all gunfire ... 3 explosions only, 4 no sound effects
    int BreakOnHit = 1;  // a gun hit on a ship of this type code or lower stops the clock
    bool BreakOnTorpedoHit = true;
    // Making out an enemy's type stops the clock for ships of this type code or lower.
    int BreakOnId = 1;
    bool BreakOnNewSighting = true;
    // A contact report reaching the player stops the clock while this is above 0.
    int BreakOnSighting = 1;
    bool BreakOnSubSighting = true; // "Enemy submarine/aircraft sighted"
};

struct TFlushResult {
    bool breakRequested = false; // stop a running clock after this minute
    bool showLogTab = false;     // the minute wrote lines: bring the log to the front
};

// The game's message log. Every phase of a minute appends lines to the minute buffer; at the
// end of the minute the flush styles them by their first character (the marker), decides
// whether they stop the clock, pop up or play a sound, and rebuilds the displayed log: this
// minute's lines in colour, then the previous minute's in grey. Every flushed line is also
// kept in the full log with its time.
class TMessageLog {
public:
    // Lines beyond this many in one minute are not shown: a runaway producer must not bury
    // the log (or the player) in text.
    static constexpr std::size_t kMaxLinesPerMinute = 1001;

    void AddLogLine(std::string text, TLogObject object = {});
    void AddLogLine(std::string text, const combat::TFightingShip* ship) {
        AddLogLine(std::move(text), ship != nullptr ? TLogObject(ship->Id) : TLogObject());
    }
    void AddLogLine(std::string text, const combat::TDivision* division) {
        AddLogLine(std::move(text), division != nullptr ? TLogObject(division->Id) : TLogObject());
    }

    struct TFlushContext {
        const TLogSettings& settings;
        core::IMessages& messages;
        core::ISound& sound;
        // Chooses among sounds: the cosmetic generator, so sound never changes a battle.
        core::TRandomGenerator& cosmetic;
        std::filesystem::path soundsDir;
        core::TDateTime clock;
        // The ship a line names, for the break on hits; none when it is gone.
        std::function<const combat::TFightingShip*(combat::TShipId)> findShip;
    };
    TFlushResult FlushLog(const TFlushContext& context);

    // A line written straight into the displayed and full logs, outside the flush.
    void AddLogNote(const std::string& text, core::TColor color, bool bold, core::TDateTime clock);

    // Set by the gunfire phase when guns fire (as the sound option asks); cleared at its start.
    void SetGunfireFlag() { gunfire_ = true; }
    void ClearGunfireFlag() { gunfire_ = false; }
    bool GunfireFlag() const { return gunfire_; }

    const std::string& BreakReason() const { return breakReason_; }
    // A rule outside the flush that stops the clock says why.
    void AddBreakReason(const std::string& reason) { breakReason_ += reason + "\n"; }
    void ClearBreakReason() { breakReason_.clear(); }

    const std::vector<TStyledLine>& Displayed() const { return displayed_; }
    const std::vector<TFullLogEntry>& FullLog() const { return fullLog_; }
    std::size_t PendingLines() const { return minute_.size(); }

    // Empties everything, for a new game.
    void Clear();

private:
    struct TLine {
        std::string text;
        TLogObject object;
    };
    std::vector<TLine> minute_;
    std::vector<TLine> previous_;
    std::vector<TStyledLine> displayed_;
    std::vector<TFullLogEntry> fullLog_;
    std::string breakReason_;
    bool gunfire_ = false;
};

} // namespace tarnwake::engine
