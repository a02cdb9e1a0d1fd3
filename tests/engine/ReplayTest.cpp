#include "engine/Replay.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tarnwake;

namespace {

engine::TReplay ARecordedGame() {
    engine::TReplay replay;
    replay.Scenario = "Scenarios/Dogger Bank.nsc";
    replay.Side = 0;
    replay.ForceLevels = {0, 2};
    replay.Seed = 18446744073709551615ULL;
    replay.RealismSetting = 2;
    replay.InitialAIControl = 3;
    replay.Minutes = 47;
    replay.Digest = 0x0123456789abcdefULL;
    replay.Journal = {{{0, 0}, "speed 3"},
                      {{5, 7}, "division 12 course=135 speed=15"},
                      {{9, 0}, "answer yes"},
                      {{40, 1}, "end-game"}};
    return replay;
}

} // namespace

TEST(Replay, AReplayFileReadsBackWhole) {
    const engine::TReplay replay = ARecordedGame();
    tarnwake::testing::TTempDir dir;
    const auto file = dir.Path() / "Replays" / "Dogger.twr";
    std::string error;
    ASSERT_TRUE(engine::WriteReplay(file, replay, error)) << error;
    const auto back = engine::ReadReplay(file, error);
    ASSERT_TRUE(back.has_value()) << error;
    EXPECT_EQ(engine::ReplayText(replay), engine::ReplayText(*back));
    EXPECT_EQ(replay.Journal, back->Journal);
    EXPECT_EQ(replay.Digest, back->Digest);
}

TEST(Replay, ReadingIsStrictAndSaysWhereTheFileIsWrong) {
    const std::string good = engine::ReplayText(ARecordedGame());
    const auto replaced = [&good](const std::string& from, const std::string& to) {
        std::string text = good;
        text.replace(text.find(from), from.size(), to);
        return text;
    };
    const struct {
        std::string text;
        std::string error;
    } cases[] = {
        {"", "g.twr:1: not a replay of this version (the first line must be \"Tarnwake replay "
             "1\")"},
        {replaced("replay 1", "replay 2"),
         "g.twr:1: not a replay of this version (the first line must be \"Tarnwake replay 1\")"},
        {replaced("side: 0", "side: 4"), "g.twr:3: side must be 0, 1 or 2"},
        {replaced("levels: 0 2", "levels: 0"), "g.twr:4: levels must be two force levels, each "
                                               "0, 1 or 2"},
        {replaced("seed: ", "seed: -"), "g.twr:5: seed must be a whole number of 0 or more"},
        {replaced("realism: 2", "realism: 2\nrealism: 1"), "g.twr:7: \"realism\" given twice"},
        {replaced("minutes: 47\n", ""), "g.twr:9: \"minutes\" is missing"},
        {replaced("digest: 0123456789abcdef", "digest: 12"),
         "g.twr:9: digest must be 16 hexadecimal digits"},
        {replaced("initial-ai: 3", "colour: red"), "g.twr:7: unknown key \"colour\""},
        {replaced("journal:\n", ""), "g.twr:10: expected \"key: value\" or \"journal:\""},
        {replaced("5 7 division", "5 x division"),
         "g.twr:12: the minute and the sub-steps left must be whole numbers"},
        {replaced("5 7 division 12 course=135", "5 7 division 12 course=east"),
         "g.twr:12: \"course=east\" is not key=number"},
        {replaced("speed 3", "speed 9"), "g.twr:11: speed must be -3 to 5"},
        {replaced("40 1 end-game", "4 1 end-game"),
         "g.twr:14: entries must come in the order of the clock"},
        {std::string("Tarnwake replay 1\n") + '\0' + "\n", "g.twr"},
    };
    for (const auto& c : cases) {
        std::string error;
        EXPECT_FALSE(engine::ParseReplay(c.text, "g.twr", error).has_value()) << c.error;
        EXPECT_EQ(0u, error.find(c.error)) << error;
    }
}
