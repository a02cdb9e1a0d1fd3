#pragma once

#include "engine/OrderJournal.h"

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarnwake::engine {

class TGameWorld;

// A replay: how a game was started and everything the player did in it. Started again from
// the same scenario, side, force levels, settings and seed, with the journal played back at the
// same points of the clock, the game runs to the same state.
struct TReplay {
    // As the game named it: relative to the game folder ("Scenarios/Dogger Bank.nsc"), or a
    // path of its own.
    std::string Scenario;
    int Side = 0; // 2: the player watched the computer command both sides
    std::array<int, 2> ForceLevels{1, 1};
    std::uint64_t Seed = 0;
    int RealismSetting = 1;
    int InitialAIControl = 2;
    // The completed minutes the recorded game had run, and its state digest then (when the
    // replay was written between two minutes).
    int Minutes = 0;
    std::optional<std::uint64_t> Digest;
    std::vector<TJournalEntry> Journal;
};

// The first line of every replay file; the number is the format's version.
inline constexpr const char* kReplayHeader = "Tarnwake replay 1";
// Replay files the game writes end so.
inline constexpr const char* kReplayExtension = ".twr";

std::string ReplayText(const TReplay& replay);
// Reads a replay strictly: anything the format does not allow fails with a message naming
// the file and the line ("Dogger.twr:7: ...").
std::optional<TReplay> ReadReplay(const std::filesystem::path& file, std::string& error);
std::optional<TReplay> ParseReplay(const std::string& text, const std::string& name,
                                   std::string& error);
// Writes the replay through a temporary file, so a failed write never leaves half a file.
bool WriteReplay(const std::filesystem::path& file, const TReplay& replay, std::string& error);

// Gives the world the journal's entries that are due now (orders and changes of speed).
// A line that cannot be read or given is reported as a warning and skipped.
void PlayDueEntries(TGameWorld& world);
// Plays a started game on, headless, until `minutes` minutes have run or the game has ended,
// giving back the journal at the points it was recorded. Answers the minutes completed.
int PlayBack(TGameWorld& world, std::vector<TJournalEntry> journal, int minutes);

} // namespace tarnwake::engine
