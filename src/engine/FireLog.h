#pragma once

#include <cstddef>
#include <filesystem>
#include <string>
#include <vector>

namespace tarnwake::core {
class IMessages;
}

namespace tarnwake::engine {

// The first line of the gunnery log: the fields of every salvo line.
inline constexpr const char* kGunneryLogHeader =
    "Firing ship ;Target ship ;Calibre ;Range ;Bearing ;Guns bearing ;Hit chance ;Targeting ;"
    "ROF ;tmpRounds ;Rounds fired ;Straddle ;Hits ;";
// The first line of the torpedo log: the fields of every torpedo's run.
inline constexpr const char* kTorpedoLogHeader =
    "Firing ship ;Target ship ;Calibre ;Setting ;Close ;Hit ship;Range ;";

// A semicolon-separated log of what was fired in a game, kept as lines and written to its file
// at the end of every minute. The file gathers every game played: each game appends its header
// and its lines, so a game never overwrites an earlier one, and a crash loses at most the
// minute it happened in.
class TFireLog {
public:
    explicit TFireLog(std::string header) : header_(std::move(header)) {}

    void Add(std::string line) { lines_.push_back(std::move(line)); }
    // The lines of this game, without the header.
    const std::vector<std::string>& Lines() const { return lines_; }

    // Appends the lines not yet written (after the header, the first time in a game) to `file`,
    // making its folder when needed. A failure is shown once a game; the lines stay pending and
    // the next minute tries again. Answers whether everything was written.
    bool Write(const std::filesystem::path& file, core::IMessages& messages);

    // A new game: no lines, and the header is due again.
    void Clear();

    // The games of a batch run side by side and keep their logs in memory only: one file
    // written by many worlds at once would interleave their lines.
    bool ToFile = true;

private:
    std::string header_;
    std::vector<std::string> lines_;
    std::size_t written_ = 0;
    bool headerWritten_ = false;
    bool failureShown_ = false;
};

} // namespace tarnwake::engine
