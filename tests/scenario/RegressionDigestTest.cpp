// The shipped scenarios, run with the seeds of tests/regression, must reach the same state
// digests minute for minute: the same seed gives the same battle from one commit to the next.
// A change that alters battles on purpose regenerates the files with
// scripts/regenerate-digests.sh, in the same commit, and says why.

#include "core/Folders.h"
#include "core/Messages.h"
#include "core/Sound.h"
#include "core/Text.h"
#include "engine/Digest.h"
#include "engine/GameWorld.h"
#include "scenario/GameStart.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

using namespace tarnwake;
namespace tw = tarnwake::testing;

namespace {

struct TRegressionFile {
    std::string scenario;
    std::uint64_t seed = 0;
    int minutes = 0;
    std::map<int, std::string> digests; // minute: digest
};

TRegressionFile ReadRegressionFile(const std::filesystem::path& file) {
    TRegressionFile result;
    const core::TTextFile text = core::ReadTextFile(file);
    EXPECT_TRUE(text.ok) << text.error;
    for (const std::string& raw : text.lines) {
        const std::string line = core::Trim(raw);
        if (line.empty() || line[0] == '#') {
            continue;
        }
        const std::size_t colon = line.find(':');
        if (colon != std::string::npos) {
            const std::string key = line.substr(0, colon);
            const std::string value = core::Trim(std::string_view(line).substr(colon + 1));
            if (key == "scenario") {
                result.scenario = value;
            } else if (key == "seed") {
                result.seed = std::stoull(value);
            } else if (key == "minutes") {
                result.minutes = std::stoi(value);
            }
            continue;
        }
        const std::size_t space = line.find(' ');
        result.digests[std::stoi(line.substr(0, space))] = line.substr(space + 1);
    }
    return result;
}

} // namespace

TEST(RegressionDigests, EveryShippedScenarioGivesItsRecordedBattle) {
    const auto files =
        core::ListFilesWithExtension(tw::FixturesDir().parent_path() / "regression", ".digest");
    ASSERT_GE(files.size(), 12u) << "two seeds for each of the six shipped scenarios";
    for (const auto& file : files) {
        SCOPED_TRACE(file.filename().string());
        const TRegressionFile recorded = ReadRegressionFile(file);
        ASSERT_FALSE(recorded.digests.empty());
        tw::TTempDir userDir;
        core::THeadlessMessages messages(nullptr);
        core::TSilentSound sound;
        const core::TGameFolders folders(tw::ShippedGameDir(), userDir.Path());
        engine::TGameWorld world(messages, sound, folders);
        world.Preferences.AutosaveMinutes = 0;
        scenario::TGameSetup setup;
        setup.ScenarioName = recorded.scenario;
        const auto found = scenario::FindScenario(folders, recorded.scenario);
        ASSERT_TRUE(found.has_value()) << recorded.scenario;
        setup.ScenarioFile = *found;
        setup.Seed = recorded.seed;
        scenario::StartGame(world, setup);
        std::map<int, std::string> digests;
        world.RunWholeMinutes(recorded.minutes, [&] {
            if (recorded.digests.contains(world.TimeElapsed)) {
                digests[world.TimeElapsed] = engine::DigestHex(engine::StateDigest(world));
            }
        });
        for (const auto& [minute, digest] : recorded.digests) {
            EXPECT_EQ(digest, digests[minute])
                << "the battle went another way by minute " << minute
                << "; if the change meant it, run scripts/regenerate-digests.sh";
        }
    }
}
