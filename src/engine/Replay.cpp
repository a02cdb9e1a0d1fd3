#include "engine/Replay.h"

#include "core/Messages.h"
#include "core/ProfileFile.h"
#include "core/Text.h"
#include "engine/Digest.h"
#include "engine/GameWorld.h"
#include "engine/Orders.h"

#include <charconv>
#include <sstream>

namespace tarnwake::engine {

namespace {

constexpr const char* kJournalLine = "journal:";
constexpr const char* kSpeedWord = "speed ";
constexpr const char* kAnswerWord = "answer ";

std::optional<long long> WholeNumber(std::string_view text) {
    long long value = 0;
    const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
    if (text.empty() || ec != std::errc() || end != text.data() + text.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<int> IntIn(std::string_view text, int lowest, int highest) {
    const auto value = WholeNumber(text);
    if (!value || *value < lowest || *value > highest) {
        return std::nullopt;
    }
    return static_cast<int>(*value);
}

} // namespace

std::string ReplayText(const TReplay& replay) {
    std::ostringstream out;
    out << kReplayHeader << '\n'
        << "scenario: " << replay.Scenario << '\n'
        << "side: " << replay.Side << '\n'
        << "levels: " << replay.ForceLevels[0] << ' ' << replay.ForceLevels[1] << '\n'
        << "seed: " << replay.Seed << '\n'
        << "realism: " << replay.RealismSetting << '\n'
        << "initial-ai: " << replay.InitialAIControl << '\n'
        << "minutes: " << replay.Minutes << '\n';
    if (replay.Digest) {
        out << "digest: " << DigestHex(*replay.Digest) << '\n';
    }
    out << kJournalLine << '\n';
    for (const TJournalEntry& entry : replay.Journal) {
        out << entry.At.Minute << ' ' << entry.At.SubStepsLeft << ' ' << entry.Text << '\n';
    }
    return out.str();
}

std::optional<TReplay> ParseReplay(const std::string& text, const std::string& name,
                                   std::string& error) {
    const core::TTextFile file = core::SplitTextLines(text, name);
    if (!file.ok) {
        error = file.error;
        return std::nullopt;
    }
    const auto fail = [&](std::size_t line, const std::string& what) {
        error = name + ":" + std::to_string(line + 1) + ": " + what;
        return std::nullopt;
    };
    if (file.lines.empty() || core::Trim(file.lines[0]) != kReplayHeader) {
        return fail(0, std::string("not a replay of this version (the first line must be \"") +
                           kReplayHeader + "\")");
    }
    TReplay replay;
    bool seen[8] = {};
    const char* const kKeys[] = {"scenario", "side",       "levels",  "seed",
                                 "realism",  "initial-ai", "minutes", "digest"};
    std::size_t i = 1;
    for (; i < file.lines.size(); ++i) {
        const std::string line = core::Trim(file.lines[i]);
        if (line.empty()) {
            continue;
        }
        if (line == kJournalLine) {
            break;
        }
        const std::size_t colon = line.find(':');
        if (colon == std::string::npos) {
            return fail(i, "expected \"key: value\" or \"journal:\"");
        }
        const std::string key = core::Trim(std::string_view(line).substr(0, colon));
        const std::string value = core::Trim(std::string_view(line).substr(colon + 1));
        int k = 0;
        while (k < 8 && key != kKeys[k]) {
            ++k;
        }
        if (k == 8) {
            return fail(i, "unknown key \"" + key + "\"");
        }
        if (seen[k]) {
            return fail(i, "\"" + key + "\" given twice");
        }
        seen[k] = true;
        if (key == "scenario") {
            if (value.empty()) {
                return fail(i, "no scenario named");
            }
            replay.Scenario = value;
        } else if (key == "side") {
            const auto side = IntIn(value, 0, 2);
            if (!side) {
                return fail(i, "side must be 0, 1 or 2");
            }
            replay.Side = *side;
        } else if (key == "levels") {
            const std::size_t space = value.find(' ');
            const auto a = space == std::string::npos
                               ? std::nullopt
                               : IntIn(std::string_view(value).substr(0, space), 0, 2);
            const auto b = space == std::string::npos
                               ? std::nullopt
                               : IntIn(core::TrimView(std::string_view(value).substr(space)), 0, 2);
            if (!a || !b) {
                return fail(i, "levels must be two force levels, each 0, 1 or 2");
            }
            replay.ForceLevels = {*a, *b};
        } else if (key == "seed") {
            std::uint64_t seed = 0;
            const auto [end, ec] = std::from_chars(value.data(), value.data() + value.size(), seed);
            if (value.empty() || ec != std::errc() || end != value.data() + value.size()) {
                return fail(i, "seed must be a whole number of 0 or more");
            }
            replay.Seed = seed;
        } else if (key == "realism") {
            const auto realism = IntIn(value, 0, 2);
            if (!realism) {
                return fail(i, "realism must be 0, 1 or 2");
            }
            replay.RealismSetting = *realism;
        } else if (key == "initial-ai") {
            const auto ai = IntIn(value, 0, 3);
            if (!ai) {
                return fail(i, "initial-ai must be 0 to 3");
            }
            replay.InitialAIControl = *ai;
        } else if (key == "minutes") {
            const auto minutes = IntIn(value, 0, 10'000'000);
            if (!minutes) {
                return fail(i, "minutes must be a whole number of 0 or more");
            }
            replay.Minutes = *minutes;
        } else {
            std::uint64_t digest = 0;
            const auto [end, ec] =
                std::from_chars(value.data(), value.data() + value.size(), digest, 16);
            if (value.size() != 16 || ec != std::errc() || end != value.data() + value.size()) {
                return fail(i, "digest must be 16 hexadecimal digits");
            }
            replay.Digest = digest;
        }
    }
    for (int k = 0; k < 7; ++k) {
        if (!seen[k]) {
            return fail(std::min(i, file.lines.size() - 1),
                        std::string("\"") + kKeys[k] + "\" is missing");
        }
    }
    if (i >= file.lines.size()) {
        return fail(file.lines.size() - 1, "\"journal:\" is missing");
    }
    int lastMinute = 0;
    for (++i; i < file.lines.size(); ++i) {
        const std::string line = core::Trim(file.lines[i]);
        if (line.empty()) {
            continue;
        }
        const std::size_t first = line.find(' ');
        const std::size_t second =
            first == std::string::npos ? std::string::npos : line.find(' ', first + 1);
        if (second == std::string::npos) {
            return fail(i, "expected \"minute sub-steps entry\"");
        }
        const auto minute = IntIn(std::string_view(line).substr(0, first), 0, 10'000'000);
        const auto steps =
            IntIn(std::string_view(line).substr(first + 1, second - first - 1), 0, 240);
        if (!minute || !steps) {
            return fail(i, "the minute and the sub-steps left must be whole numbers");
        }
        TJournalEntry entry{{*minute, *steps}, core::Trim(std::string_view(line).substr(second))};
        if (entry.At.Minute < lastMinute) {
            return fail(i, "entries must come in the order of the clock");
        }
        lastMinute = entry.At.Minute;
        std::string orderError;
        const bool speed = entry.Text.rfind(kSpeedWord, 0) == 0;
        const bool answer = entry.Text.rfind(kAnswerWord, 0) == 0;
        if (speed &&
            !IntIn(std::string_view(entry.Text).substr(std::string(kSpeedWord).size()), -3, 5)) {
            return fail(i, "speed must be -3 to 5");
        }
        if (!speed && !answer && !ParseOrder(entry.Text, orderError)) {
            return fail(i, orderError);
        }
        replay.Journal.push_back(std::move(entry));
    }
    return replay;
}

std::optional<TReplay> ReadReplay(const std::filesystem::path& file, std::string& error) {
    const core::TTextFile text = core::ReadTextFile(file);
    if (!text.ok) {
        error = text.error;
        return std::nullopt;
    }
    std::string joined;
    for (const std::string& line : text.lines) {
        joined += line;
        joined += '\n';
    }
    return ParseReplay(joined, file.filename().string(), error);
}

bool WriteReplay(const std::filesystem::path& file, const TReplay& replay, std::string& error) {
    std::error_code ec;
    if (file.has_parent_path()) {
        std::filesystem::create_directories(file.parent_path(), ec);
    }
    return core::WriteFileAtomically(file, ReplayText(replay), error);
}

void PlayDueEntries(TGameWorld& world) {
    for (const TJournalEntry& entry : world.Journal.TakeDue(world.Now())) {
        if (entry.Text.rfind(kSpeedWord, 0) == 0) {
            world.SetGameSpeed(
                IntIn(std::string_view(entry.Text).substr(std::string(kSpeedWord).size()), -3, 5)
                    .value_or(world.SpeedIndex));
            continue;
        }
        std::string error;
        const auto order = ParseOrder(entry.Text, error);
        if (!order) {
            world.Messages().Warn("Warning! Replay entry not understood: " + entry.Text + " (" +
                                  error + ")");
            continue;
        }
        const TOrderResult result = IssueOrder(world, *order);
        if (!result && result.Refusal.rfind("Role ", 0) != 0) {
            world.Messages().Warn("Warning! Replay order refused: " + entry.Text + " (" +
                                  result.Refusal + ")");
        }
    }
}

int PlayBack(TGameWorld& world, std::vector<TJournalEntry> journal, int minutes) {
    const int start = world.TimeElapsed;
    world.Journal.StartPlayback(std::move(journal));
    // The desktop program's timers, minute by minute, with the player's orders given back
    // between the ticks where they were given.
    while (world.TimeElapsed - start < minutes && !world.ScenarioFinished) {
        PlayDueEntries(world);
        if (world.ScenarioFinished) {
            break;
        }
        world.MinutesToRun = 1;
        world.StartMinute();
        while (world.SubStepTimerEnabled) {
            PlayDueEntries(world);
            world.SubStepTick();
        }
    }
    PlayDueEntries(world);
    return world.TimeElapsed - start;
}

} // namespace tarnwake::engine
