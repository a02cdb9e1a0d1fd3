// The format reference (docs/file-formats.md) and the loaders cannot drift apart: every key
// the scenario and design loaders ask for is in its tables, and every key of its tables is
// one they ask for. A scenario written from the reference alone loads without a word.
#include "core/Folders.h"
#include "core/Messages.h"
#include "core/ProfileFile.h"
#include "core/Sound.h"
#include "designs/DesignFile.h"
#include "designs/NationsTable.h"
#include "engine/GameWorld.h"
#include "scenario/GameStart.h"
#include "scenario/ScenarioLoader.h"
#include "scenario/SectionReader.h"
#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

using namespace tarnwake;
namespace fs = std::filesystem;
namespace tw = tarnwake::testing;

namespace {

std::string ReadAll(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

struct TReference {
    std::set<std::string> scenarioKeys;                       // first column of a table
    std::set<std::pair<std::string, std::string>> designKeys; // section and key columns
    std::string example;                                      // the worked example
};

TReference ReadReference() {
    const std::string text = ReadAll(fs::path(TARNWAKE_SOURCE_DIR) / "docs" / "file-formats.md");
    const std::size_t designs = text.find("## Design files");
    EXPECT_NE(std::string::npos, designs);
    TReference ref;
    const std::regex oneKey(R"(^\| `([^`]+)` \| [^`])");
    const std::regex sectionAndKey(R"(^\| `([^`]+)` \| `([^`]+)` \|)");
    std::istringstream lines(text);
    std::string line;
    std::size_t at = 0;
    std::smatch m;
    while (std::getline(lines, line)) {
        if (at < designs && std::regex_search(line, m, oneKey)) {
            ref.scenarioKeys.insert(m[1]);
        } else if (at > designs && std::regex_search(line, m, sectionAndKey)) {
            ref.designKeys.emplace(m[1], m[2]);
        }
        at += line.size() + 1;
    }
    const std::size_t example = text.find("```ini\n", text.find("## A small example"));
    EXPECT_NE(std::string::npos, example);
    const std::size_t start = example + 7;
    ref.example = text.substr(start, text.find("```", start) - start);
    return ref;
}

class FormatReference : public ::testing::Test {
public:
    core::THeadlessMessages messages{nullptr};
    core::TSilentSound sound;
    tw::TTempDir user;
    TReference ref = ReadReference();

    // The keys the loader asks for in a scenario, started at the force level that takes
    // every division.
    std::set<std::string> KeysAskedBy(const fs::path& file) {
        engine::TGameWorld world(messages, sound,
                                 core::TGameFolders(tw::ShippedGameDir(), user.Path()));
        world.Seed(1);
        for (auto& side : world.Sides) {
            side.ForceLevel = engine::flMaximum;
        }
        auto reader = scenario::TSectionReader::FromFile(file);
        reader.RecordKeysAsked(true);
        scenario::LoadScenario(world, reader);
        std::set<std::string> keys;
        for (const auto& [section, key] : reader.KeysAsked()) {
            keys.insert(key);
        }
        return keys;
    }
};

TEST_F(FormatReference, EveryScenarioKeyTheLoaderReadsIsDocumentedAndNoOther) {
    std::vector<fs::path> files =
        core::ListFilesWithExtension(tw::ShippedGameDir() / "Scenarios", ".nsc");
    files.push_back(tw::FixturesDir() / "scenario" / "EveryKind.nsc");
    std::set<std::string> asked;
    for (const fs::path& file : files) {
        const auto keys = KeysAskedBy(file);
        asked.insert(keys.begin(), keys.end());
    }
    std::set<std::string> undocumented;
    for (const std::string& key : asked) {
        if (ref.scenarioKeys.count(key) == 0) {
            undocumented.insert(key);
        }
    }
    EXPECT_TRUE(undocumented.empty()) << ::testing::PrintToString(undocumented);
    std::set<std::string> neverRead;
    for (const std::string& key : ref.scenarioKeys) {
        if (asked.count(key) == 0) {
            neverRead.insert(key);
        }
    }
    EXPECT_TRUE(neverRead.empty()) << ::testing::PrintToString(neverRead);
}

TEST_F(FormatReference, EveryDesignKeyTheLoaderReadsIsDocumentedAndNoOther) {
    std::set<std::pair<std::string, std::string>> asked;
    for (const fs::path& file :
         core::ListFilesWithExtension(tw::ShippedGameDir() / "Designs", ".sdf")) {
        core::TProfileFile profile(file);
        profile.RecordKeysAsked(true);
        designs::Tship ship;
        designs::LoadDesignFile(profile, file, ship, designs::kHighestNationIndex, messages);
        asked.insert(profile.KeysAsked().begin(), profile.KeysAsked().end());
    }
    std::set<std::pair<std::string, std::string>> undocumented;
    for (const auto& key : asked) {
        if (ref.designKeys.count(key) == 0) {
            undocumented.insert(key);
        }
    }
    EXPECT_TRUE(undocumented.empty()) << ::testing::PrintToString(undocumented);
    std::set<std::pair<std::string, std::string>> neverRead;
    for (const auto& key : ref.designKeys) {
        if (asked.count(key) == 0) {
            neverRead.insert(key);
        }
    }
    EXPECT_TRUE(neverRead.empty()) << ::testing::PrintToString(neverRead);
}

TEST_F(FormatReference, ItsExampleIsPlayedWithoutAWord) {
    const fs::path file = tw::FixturesDir() / "scenario" / "FromTheReference.nsc";
    std::string fixture = ReadAll(file);
    // The fixture is the example, after the comment lines that say so.
    while (!fixture.empty() && fixture.front() == ';') {
        fixture.erase(0, fixture.find('\n') + 1);
    }
    EXPECT_EQ(ref.example, fixture);
    for (int level = engine::flHistorical; level <= engine::flMaximum; ++level) {
        engine::TGameWorld world(messages, sound,
                                 core::TGameFolders(tw::ShippedGameDir(), user.Path()));
        scenario::TGameSetup setup;
        setup.ScenarioFile = file;
        setup.Sides.ForceLevel = {level, level};
        setup.Seed = 3;
        ASSERT_TRUE(scenario::StartGame(world, setup));
        EXPECT_EQ(3u, world.Ships.size());
        EXPECT_EQ("Great Britain", world.Sides[0].Name);
    }
    EXPECT_TRUE(messages.Shown().empty()) << ::testing::PrintToString(messages.Texts());
}

} // namespace
