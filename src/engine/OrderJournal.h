#pragma once

#include <compare>
#include <cstddef>
#include <optional>
#include <string>
#include <vector>

namespace tarnwake::engine {

// Where the clock stands between two ticks: the minute (`TimeElapsed`) and the sub-steps the
// minute in motion has left (0 between minutes). Every order and answer is given at such a
// point, and a replay gives it back at the same point, before the next tick.
struct TJournalPoint {
    int Minute = 0;
    int SubStepsLeft = 0;
    auto operator<=>(const TJournalPoint&) const = default;
};

// One line of the journal: an order, an answer to a question or a change of game speed, in
// the text form the replay file keeps ("division 12 course=130 speed=15", "answer yes").
struct TJournalEntry {
    TJournalPoint At;
    std::string Text;
    bool operator==(const TJournalEntry&) const = default;
};

// The order journal: everything the player did that changes the game, in the order done.
// Playing records into it; a replay plays it back.
class TOrderJournal {
public:
    void Record(TJournalPoint at, std::string text);
    const std::vector<TJournalEntry>& Entries() const { return entries_; }

    // ---- Playing back
    // Starts playing back `entries`; nothing is recorded while playing back.
    void StartPlayback(std::vector<TJournalEntry> entries);
    bool PlayingBack() const { return playingBack_; }
    // The entries due at `now` that have not yet been played, in order; each is consumed.
    std::vector<TJournalEntry> TakeDue(TJournalPoint now);
    // The next answer to a question, consumed; none when the next entry is not an answer
    // (the game then asked a question the recorded game did not ask).
    std::optional<std::string> TakeAnswer();
    // Entries left unplayed.
    std::size_t Remaining() const { return entries_.size() - next_; }

    void Clear();

private:
    std::vector<TJournalEntry> entries_;
    std::size_t next_ = 0;
    bool playingBack_ = false;
};

} // namespace tarnwake::engine
