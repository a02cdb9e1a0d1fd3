// The bad files a modder may write (tests/fixtures/bad): each one is loaded as the game loads
// it, and each must give the messages its table names, and be refused or played as it says.
#include "core/Messages.h"
#include "core/Sound.h"
#include "core/Text.h"
#include "designs/DesignFile.h"
#include "designs/NationsTable.h"
#include "engine/GameWorld.h"
#include "scenario/GameStart.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <map>
#include <set>

using namespace tarnwake;
namespace fs = std::filesystem;
namespace tw = tarnwake::testing;

namespace {

struct TExpected {
    std::string outcome;
    std::vector<std::string> fragments;
};

fs::path BadDir() {
    return tw::FixturesDir() / "bad";
}

std::map<std::string, TExpected> ReadTable() {
    std::map<std::string, TExpected> table;
    std::ifstream in(BadDir() / "messages.txt");
    std::string line;
    while (std::getline(in, line)) {
        if (line.empty() || line.front() == '#') {
            continue;
        }
        const auto tab1 = line.find('\t');
        const auto tab2 = line.find('\t', tab1 + 1);
        EXPECT_NE(std::string::npos, tab2) << "not file, outcome and message: " << line;
        if (tab2 == std::string::npos) {
            continue;
        }
        TExpected& e = table[line.substr(0, tab1)];
        e.outcome = line.substr(tab1 + 1, tab2 - tab1 - 1);
        e.fragments.push_back(line.substr(tab2 + 1));
    }
    return table;
}

// Starts the scenario as the selection window and the runner do, computer against computer.
bool Start(const fs::path& file, core::THeadlessMessages& messages) {
    core::TSilentSound sound;
    tw::TTempDir user;
    engine::TGameWorld world(messages, sound,
                             core::TGameFolders(tw::ShippedGameDir(), user.Path()));
    scenario::TGameSetup setup;
    setup.ScenarioName = file.filename().string();
    setup.ScenarioFile = file;
    setup.Seed = 1;
    return scenario::StartGame(world, setup);
}

TEST(BadFiles, EachGivesItsMessagesAndIsRefusedOrPlayedAsItsTableSays) {
    const auto table = ReadTable();
    ASSERT_FALSE(table.empty());
    std::set<std::string> inFolder;
    for (const auto& entry : fs::directory_iterator(BadDir())) {
        const std::string name = entry.path().filename().string();
        if (name != "messages.txt") {
            inFolder.insert(name);
        }
    }
    for (const auto& [name, expected] : table) {
        SCOPED_TRACE(name);
        EXPECT_EQ(1u, inFolder.erase(name)) << "no such file in tests/fixtures/bad";
        const fs::path file = BadDir() / name;
        core::THeadlessMessages messages(nullptr);
        if (core::EndsWithNoCase(name, ".nsc")) {
            ASSERT_THAT(expected.outcome, ::testing::AnyOf("refused", "starts"));
            EXPECT_EQ(expected.outcome == "starts", Start(file, messages));
        } else {
            ASSERT_THAT(expected.outcome, ::testing::AnyOf("loads", "fails"));
            designs::Tship ship;
            EXPECT_EQ(expected.outcome == "loads",
                      designs::LoadDesignFile(file, ship, designs::kHighestNationIndex, messages));
        }
        for (const std::string& fragment : expected.fragments) {
            EXPECT_TRUE(messages.Contains(fragment)) << "missing: " << fragment << "\nshown:\n"
                                                     << ::testing::PrintToString(messages.Texts());
        }
        // Each message is said once, not once for every place that noticed it.
        const auto texts = messages.Texts();
        EXPECT_EQ(texts.size(), std::set<std::string>(texts.begin(), texts.end()).size())
            << ::testing::PrintToString(texts);
    }
    EXPECT_TRUE(inFolder.empty()) << "files without their messages in messages.txt: "
                                  << ::testing::PrintToString(inFolder);
}

TEST(BadFiles, AFileTooLargeToBeAScenarioIsRefusedUnread) {
    tw::TTempDir dir;
    const fs::path huge = dir.Path() / "Huge.nsc";
    { std::ofstream(huge).put('['); }
    fs::resize_file(huge, core::kMaxTextFileBytes + 1);
    core::THeadlessMessages messages(nullptr);
    EXPECT_FALSE(Start(huge, messages));
    EXPECT_TRUE(messages.Contains("Huge.nsc is too large to be a game file"))
        << ::testing::PrintToString(messages.Texts());
}

} // namespace
