#include "scenario/Batch.h"

#include "core/Messages.h"
#include "core/Sound.h"
#include "core/Text.h"
#include "engine/GameWorld.h"
#include "results/BattleRecord.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>
#include <vector>

namespace tarnwake::scenario {

namespace {

// How often the calling thread reports progress while the games run.
constexpr std::chrono::milliseconds kProgressInterval{100};
// A game ends by its own rules by twice its length at the latest; this only bounds a scenario
// whose length is absurd.
constexpr int kUntilTheEnd = engine::TGameWorld::kRunUntilStopped;

std::optional<results::THistory> HistoryOf(const std::filesystem::path& scenarioFile,
                                           core::IMessages& messages) {
    const std::filesystem::path file = HistoryFileOf(scenarioFile);
    std::error_code ec;
    if (!std::filesystem::is_regular_file(file, ec)) {
        return std::nullopt;
    }
    const core::TTextFile text = core::ReadTextFile(file);
    std::string error = text.error;
    std::optional<results::THistory> history;
    if (text.ok) {
        history = results::ReadHistory(text.lines, file.filename().string(), error);
    }
    if (!history) {
        messages.Warn("Warning! The history is left out: " + error);
    }
    return history;
}

// The games of the batch, shared by the threads that play them.
class TBatchPlay {
public:
    TBatchPlay(const core::TGameFolders& folders, const TGameSetup& setup, int minutes,
               std::uint64_t firstSeed, int count)
        : folders_(folders), setup_(setup), minutes_(minutes), firstSeed_(firstSeed),
          records_(static_cast<std::size_t>(count)) {}

    void Play() {
        while (!cancelled_) {
            const int index = next_++;
            if (index >= static_cast<int>(records_.size())) {
                return;
            }
            TGameSetup setup = setup_;
            setup.Seed = firstSeed_ + static_cast<std::uint64_t>(index);
            try {
                records_[static_cast<std::size_t>(index)] =
                    PlayRecordedGame(folders_, setup, minutes_);
            } catch (const std::exception& e) {
                Fail("the game of seed " + std::to_string(setup.Seed) + " failed: " + e.what());
                return;
            }
            {
                const std::lock_guard lock(mutex_);
                ++done_;
            }
            changed_.notify_one();
        }
    }

    // Waits until every game is played (or the batch stops), reporting progress.
    void Watch(const TBatchProgress& progress) {
        std::unique_lock lock(mutex_);
        const int total = static_cast<int>(records_.size());
        while (done_ < total && failure_.empty() && running_ > 0) {
            changed_.wait_for(lock, kProgressInterval);
            const int done = done_;
            lock.unlock();
            if (progress && !progress(done, total)) {
                cancelled_ = true;
            }
            lock.lock();
        }
    }

    void Finished() {
        {
            const std::lock_guard lock(mutex_);
            --running_;
        }
        changed_.notify_one();
    }
    void Started(int jobs) { running_ = jobs; }

    bool Cancelled() const { return cancelled_; }
    const std::string& Failure() const { return failure_; }
    std::vector<results::TRunRecord> TakeRecords() { return std::move(records_); }

private:
    void Fail(const std::string& why) {
        {
            const std::lock_guard lock(mutex_);
            if (failure_.empty()) {
                failure_ = why;
            }
        }
        cancelled_ = true;
        changed_.notify_one();
    }

    const core::TGameFolders& folders_;
    const TGameSetup& setup_;
    const int minutes_;
    const std::uint64_t firstSeed_;
    // Each game writes its own record only.
    std::vector<results::TRunRecord> records_;
    std::atomic<int> next_{0};
    std::atomic<bool> cancelled_{false};
    std::mutex mutex_;
    std::condition_variable changed_;
    int done_ = 0;
    int running_ = 0;
    std::string failure_;
};

} // namespace

std::filesystem::path HistoryFileOf(const std::filesystem::path& scenarioFile) {
    std::filesystem::path file = scenarioFile;
    return file.replace_extension(".history");
}

results::TRunRecord PlayRecordedGame(const core::TGameFolders& folders, const TGameSetup& setup,
                                     int minutes) {
    // The games of a batch show nothing: what they say is counted, not shown.
    core::THeadlessMessages messages(nullptr);
    core::TSilentSound sound;
    engine::TGameWorld world(messages, sound, folders);
    world.Preferences.AutosaveMinutes = 0;
    world.GunneryLog.ToFile = false;
    world.TorpedoLog.ToFile = false;
    if (!StartGame(world, setup)) {
        throw std::runtime_error(setup.ScenarioFile.string() + " cannot be played");
    }
    const std::size_t loading = messages.Shown().size();
    results::TRunWatcher watcher;
    world.RunWholeMinutes(minutes > 0 ? minutes : kUntilTheEnd,
                          [&] { watcher.AfterMinute(world); });
    results::TRunRecord record = results::MeasureRun(world, watcher);
    const auto& shown = messages.Shown();
    record.Errors =
        static_cast<int>(std::count_if(shown.begin() + static_cast<std::ptrdiff_t>(loading),
                                       shown.end(), [](const core::THeadlessMessages::TShown& m) {
                                           return m.kind == core::TMessageKind::Error;
                                       }));
    return record;
}

std::optional<results::TBatch> RunBatch(const core::TGameFolders& folders,
                                        const TBatchOptions& options, core::IMessages& messages,
                                        const TBatchProgress& progress, std::string& error) {
    TGameSetup setup;
    setup.ScenarioName = options.ScenarioName;
    setup.ScenarioFile = options.ScenarioFile;
    setup.Sides.ComputerCommanded = {options.Side != 0, options.Side != 1};
    setup.Sides.ForceLevel = {options.ForceLevel, options.ForceLevel};
    setup.Seed = options.FirstSeed;
    const std::unique_ptr<TScenarioData> data = LoadScenarioData(folders, setup, messages);
    if (!data) {
        error = options.ScenarioFile.string() + " cannot be played";
        return std::nullopt;
    }
    setup.Data = data.get();

    results::TBatch batch;
    results::TBatchInfo& info = batch.Info;
    info.Scenario = options.ScenarioName;
    info.Title = options.ScenarioFile.stem().string();
    for (std::size_t side = 0; side < 2; ++side) {
        info.SideNames[side] =
            data->Scenario.ReadString("Side" + std::to_string(side), "Name", "Xxxxxx");
    }
    info.Side = options.Side;
    info.ForceLevel = options.ForceLevel;
    info.Minutes = options.Minutes;
    info.FirstSeed = options.FirstSeed;
    info.Runs = options.Runs;
    info.Shard = options.Shard;
    info.Shards = options.Shards;
    info.History = HistoryOf(options.ScenarioFile, messages);

    const auto [first, last] = results::ShardSlice(options.Runs, options.Shard, options.Shards);
    TBatchPlay play(folders, setup, options.Minutes,
                    options.FirstSeed + static_cast<std::uint64_t>(first), last - first);
    const int jobs = std::clamp(options.Jobs, 1, std::max(1, last - first));
    play.Started(jobs);
    std::vector<std::thread> threads;
    for (int j = 0; j < jobs; ++j) {
        threads.emplace_back([&play] {
            play.Play();
            play.Finished();
        });
    }
    play.Watch(progress);
    for (std::thread& thread : threads) {
        thread.join();
    }
    if (!play.Failure().empty()) {
        error = play.Failure();
        return std::nullopt;
    }
    if (play.Cancelled()) {
        error = "the batch was cancelled";
        return std::nullopt;
    }
    if (progress) {
        progress(last - first, last - first);
    }
    batch.Runs = play.TakeRecords();
    return batch;
}

} // namespace tarnwake::scenario
