#include "cli/Commands.h"

#include "core/Messages.h"
#include "core/Text.h"
#include "results/BatchFile.h"
#include "results/BatchReport.h"
#include "scenario/Batch.h"
#include "scenario/GameStart.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <thread>

namespace tarnwake::cli {

namespace {

constexpr int kDefaultBatchRuns = 100;
constexpr int kMostRuns = 10'000'000;
constexpr int kMostJobs = 256;
constexpr int kProgressBarWidth = 30;
// Without a terminal, a line for every twentieth of the batch.
constexpr int kPlainLineSteps = 20;

// The K/N of --shard.
bool ParseShard(const std::string& text, int& shard, int& shards) {
    const auto slash = text.find('/');
    if (slash == std::string::npos) {
        return false;
    }
    const auto k = core::ParseInteger(text.substr(0, slash));
    const auto n = core::ParseInteger(text.substr(slash + 1));
    if (!k || !n || *n < 1 || *n > kMostRuns || *k < 1 || *k > *n) {
        return false;
    }
    shard = *k;
    shards = *n;
    return true;
}

// A file the batch will write: said before the games are played, not after.
bool CanWrite(const std::filesystem::path& file, std::string& why) {
    std::error_code ec;
    const bool existed = std::filesystem::exists(file, ec);
    if (std::filesystem::is_directory(file, ec)) {
        why = file.string() + " is a folder";
        return false;
    }
    {
        std::ofstream probe(file, std::ios::app);
        if (!probe) {
            why = file.string() + " cannot be written";
            return false;
        }
    }
    if (!existed) {
        std::filesystem::remove(file, ec);
    }
    return true;
}

bool WriteFile(const std::filesystem::path& file, const std::string& text) {
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out << text;
    out.flush();
    if (!out) {
        std::cerr << "tarnwake-cli: " << file.string() << " cannot be written\n";
        return false;
    }
    return true;
}

// Runs done, runs per second and time left: a bar rewritten in place on a terminal, a line
// now and then in a log.
class TBatchProgressPrinter {
public:
    explicit TBatchProgressPrinter(bool terminal)
        : terminal_(terminal), start_(std::chrono::steady_clock::now()) {}

    bool operator()(int done, int total) {
        // A terminal's bar is refreshed while the games run (the rate and the time left move
        // on); a log gets a line only when the count moved, and the end once.
        if (done == shown_ && (!terminal_ || done == total)) {
            return true;
        }
        const double seconds =
            std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count();
        const double rate = seconds > 0.0 ? done / seconds : 0.0;
        const int left = rate > 0.0 ? static_cast<int>((total - done) / rate + 0.5) : -1;
        char figures[96];
        std::snprintf(figures, sizeof figures, "%d/%d runs, %.1f runs/s, %s", done, total, rate,
                      left < 0 ? "time left unknown" : (std::to_string(left) + " s left").c_str());
        if (terminal_) {
            const int filled = total > 0 ? kProgressBarWidth * done / total : kProgressBarWidth;
            std::cerr << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
                      << std::string(static_cast<std::size_t>(kProgressBarWidth - filled), '.')
                      << "] " << figures << "\033[K" << std::flush;
            if (done == total) {
                std::cerr << "\n";
            }
        } else if (done == total || done - shown_ >= std::max(1, total / kPlainLineSteps)) {
            std::cerr << figures << "\n";
            shown_ = done;
        }
        if (terminal_) {
            shown_ = done;
        }
        return true;
    }

private:
    bool terminal_;
    std::chrono::steady_clock::time_point start_;
    int shown_ = -1;
};

// Prints the summary and writes the files asked for; answers the exit code.
int Deliver(const results::TBatch& batch, const TBatchOptions& options, std::ostream& out) {
    out << results::BatchSummaryText(batch);
    bool written = true;
    if (options.json) {
        written = WriteFile(*options.json, results::BatchJson(batch)) && written;
    }
    if (options.report) {
        written = WriteFile(*options.report, results::BatchReportHtml(batch)) && written;
    }
    return written ? 0 : 1;
}

bool OutputsWritable(const TBatchOptions& options) {
    for (const auto* file : {&options.json, &options.report}) {
        std::string why;
        if (*file && !CanWrite(**file, why)) {
            std::cerr << "tarnwake-cli: " << why << ": nothing was run\n";
            return false;
        }
    }
    return true;
}

} // namespace

core::TOptionResult ParseBatchOption(const std::vector<std::string>& args, std::size_t& i,
                                     TBatchOptions& batch, std::string& error) {
    const std::string& arg = args[i];
    for (const char* name : {"--runs", "--jobs", "--shard", "--json", "--report"}) {
        const std::string n = name;
        std::string value;
        if (arg == n) {
            if (i + 1 >= args.size()) {
                error = n + " needs a value";
                return core::TOptionResult::Bad;
            }
            value = args[++i];
        } else if (arg.rfind(n + "=", 0) == 0) {
            value = arg.substr(n.size() + 1);
        } else {
            continue;
        }
        if (n == "--json" || n == "--report") {
            (n == "--json" ? batch.json : batch.report) = std::filesystem::path(value);
            return core::TOptionResult::Taken;
        }
        if (n == "--shard") {
            if (!ParseShard(value, batch.shard, batch.shards)) {
                error = "--shard: \"" + value + "\" is no K/N with 1 <= K <= N";
                return core::TOptionResult::Bad;
            }
            return core::TOptionResult::Taken;
        }
        const auto number = core::ParseInteger(value);
        const int most = n == "--runs" ? kMostRuns : kMostJobs;
        if (!number || *number < 1 || *number > most) {
            error = n + ": \"" + value + "\" is not allowed: " +
                    (n == "--runs" ? "a batch plays 1 to " : "a batch plays its games in 1 to ") +
                    std::to_string(most) + (n == "--runs" ? " games" : " jobs at once");
            return core::TOptionResult::Bad;
        }
        if (n == "--runs") {
            batch.runs = *number;
        } else {
            batch.jobs = *number;
        }
        return core::TOptionResult::Taken;
    }
    return core::TOptionResult::NotMine;
}

int Batch(const core::TGameFolders& folders, core::THeadlessMessages& messages,
          const TRunOptions& run, const TBatchOptions& batch, std::ostream& out) {
    const auto file = scenario::FindScenario(folders, run.scenario);
    if (!file) {
        std::cerr << "tarnwake-cli: " << scenario::NoScenarioReason(folders, run.scenario) << "\n";
        return 2;
    }
    if (!OutputsWritable(batch)) {
        return 2;
    }
    scenario::TBatchOptions options;
    options.ScenarioName = run.scenario;
    options.ScenarioFile = *file;
    options.Side = run.side;
    options.ForceLevel = run.forceLevel;
    options.Minutes = run.minutes.value_or(0);
    options.FirstSeed = run.seed;
    options.Runs = batch.runs.value_or(kDefaultBatchRuns);
    options.Shard = batch.shard;
    options.Shards = batch.shards;
    options.Jobs = batch.jobs > 0
                       ? batch.jobs
                       : static_cast<int>(std::max(1U, std::thread::hardware_concurrency()));
    TBatchProgressPrinter progress(isatty(STDERR_FILENO) != 0);
    std::string error;
    const auto result = scenario::RunBatch(folders, options, messages, std::ref(progress), error);
    if (!result) {
        std::cerr << "tarnwake-cli: " << error << "\n";
        return 1;
    }
    return Deliver(*result, batch, out);
}

int Merge(const std::vector<std::string>& files, const TBatchOptions& batch, std::ostream& out) {
    if (files.empty()) {
        std::cerr << "tarnwake-cli: merge needs the batch files of the shards (see --help)\n";
        return 2;
    }
    if (!OutputsWritable(batch)) {
        return 2;
    }
    std::vector<results::TBatch> shards;
    for (const std::string& name : files) {
        std::ifstream in(name, std::ios::binary);
        if (!in) {
            std::cerr << "tarnwake-cli: merge: no file " << name << "\n";
            return 2;
        }
        std::ostringstream text;
        text << in.rdbuf();
        std::string error;
        auto shard = results::ParseBatchJson(text.str(), name, error);
        if (!shard) {
            std::cerr << "tarnwake-cli: merge: " << error << "\n";
            return 2;
        }
        shards.push_back(std::move(*shard));
    }
    std::string error;
    const auto merged = results::MergeBatches(std::move(shards), error);
    if (!merged) {
        std::cerr << "tarnwake-cli: merge: " << error << "\n";
        return 2;
    }
    return Deliver(*merged, batch, out);
}

} // namespace tarnwake::cli
