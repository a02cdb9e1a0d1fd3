#include "engine/OrderJournal.h"

namespace tarnwake::engine {

namespace {
constexpr const char* kAnswerWord = "answer ";
}

void TOrderJournal::Record(TJournalPoint at, std::string text) {
    if (!playingBack_) {
        entries_.push_back({at, std::move(text)});
    }
}

void TOrderJournal::StartPlayback(std::vector<TJournalEntry> entries) {
    entries_ = std::move(entries);
    next_ = 0;
    playingBack_ = true;
}

std::vector<TJournalEntry> TOrderJournal::TakeDue(TJournalPoint now) {
    std::vector<TJournalEntry> due;
    // Answers are taken by the questions that ask for them, not by the clock.
    while (next_ < entries_.size() && entries_[next_].At == now &&
           entries_[next_].Text.rfind(kAnswerWord, 0) != 0) {
        due.push_back(entries_[next_++]);
    }
    return due;
}

std::optional<std::string> TOrderJournal::TakeAnswer() {
    if (next_ < entries_.size() && entries_[next_].Text.rfind(kAnswerWord, 0) == 0) {
        return entries_[next_++].Text.substr(std::string(kAnswerWord).size());
    }
    return std::nullopt;
}

void TOrderJournal::Clear() {
    entries_.clear();
    next_ = 0;
    playingBack_ = false;
}

} // namespace tarnwake::engine
