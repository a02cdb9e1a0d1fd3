#include "engine/MessageLog.h"

#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tarnwake;
using engine::TLogObject;
using engine::TMessageLog;

namespace {

struct LogFixture : ::testing::Test {
    engine::TLogSettings settings;
    core::THeadlessMessages messages{nullptr};
    core::TSilentSound sound;
    core::TScriptedRandom random{{60, 2}};
    TMessageLog log;
    const core::TDateTime clock = core::EncodeDateTime(1916, 5, 31, 16, 48);

    engine::TFlushResult Flush() {
        return log.FlushLog({settings, messages, sound, random, "Sounds", clock,
                             [this](combat::TShipId id) -> const combat::TFightingShip* {
                                 for (const auto& s : ships) {
                                     if (s->Id == id) {
                                         return s.get();
                                     }
                                 }
                                 return nullptr;
                             }});
    }

    std::vector<std::unique_ptr<combat::TFightingShip>> ships;

    combat::TFightingShip& Ship(const char* name, designs::TShipType type) {
        ships.push_back(std::make_unique<combat::TFightingShip>());
        ships.back()->Name = name;
        ships.back()->ShipType = type;
        ships.back()->Id = combat::TShipId(static_cast<int>(ships.size()));
        return *ships.back();
    }
};

} // namespace

TEST_F(LogFixture, SplashMarkerIsRedLargeStopsPopsUpAndPlays) {
    log.AddLogLine("5The enemy ship Blücher is sinking!");
    const auto result = Flush();
    EXPECT_TRUE(result.breakRequested);
    EXPECT_TRUE(result.showLogTab);
    ASSERT_EQ(1u, log.Displayed().size());
    const auto& line = log.Displayed()[0];
    EXPECT_EQ("The enemy ship Blücher is sinking!", line.text);
    EXPECT_EQ(255, line.color);
    EXPECT_TRUE(line.bold);
    EXPECT_EQ(2, line.sizeStep);
    EXPECT_EQ((std::vector<std::string>{"The enemy ship Blücher is sinking!"}), messages.Texts());
    EXPECT_EQ((std::vector<std::string>{"Water2.wav"}), sound.Played()); // draw 60 > 49

    settings.SoundOption = 4;
    log.AddLogLine("5Splash");
    Flush();
    EXPECT_EQ(1u, sound.Played().size()); // no sound effects, but the clock still stops
}

TEST_F(LogFixture, GunHitsBreakOnlyForShipsUpToTheThreshold) {
    auto& lion = Ship("Lion", designs::TShipType::BC);
    auto& southampton = Ship("Southampton", designs::TShipType::CL);
    log.AddLogLine("2Southampton is hit", &southampton);
    auto result = Flush();
    EXPECT_FALSE(result.breakRequested);
    EXPECT_TRUE(log.GunfireFlag()); // sound option 1 sounds the guns on hits
    EXPECT_EQ(0, log.Displayed()[0].color);
    EXPECT_TRUE(log.Displayed()[0].bold);

    log.ClearGunfireFlag();
    log.AddLogLine("2Lion is hit", &lion);
    result = Flush();
    EXPECT_TRUE(result.breakRequested);
    EXPECT_EQ("Gun hit BC\n", log.BreakReason());
    EXPECT_TRUE(messages.Shown().empty()); // gun hits never pop up
    // One gunfire sound (Gunfire1..5) per flush that had the flag set.
    ASSERT_EQ(2u, sound.Played().size());
    for (const auto& played : sound.Played()) {
        EXPECT_EQ(0u, played.find("Gunfire")) << played;
    }
}

TEST_F(LogFixture, TorpedoHitWithoutItsBreakIsBlueAndSoundsButRunsOn) {
    settings.BreakOnTorpedoHit = false;
    log.AddLogLine("8Queen Mary is hit by a torpedo!");
    const auto result = Flush();
    EXPECT_FALSE(result.breakRequested);
    EXPECT_EQ(16711680, log.Displayed()[0].color);
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ((std::vector<std::string>{"TorpHit.wav"}), sound.Played());
}

TEST_F(LogFixture, PreviousMinuteTurnsGreyAndAQuietMinuteKeepsOnlyIt) {
    auto& ship = Ship("Iron Duke", designs::TShipType::BB);
    log.AddLogLine("1Iron Duke opens fire", &ship);
    log.AddLogLine("Letters first: shown whole");
    log.AddLogLine("7");
    Flush();
    ASSERT_EQ(2u, log.Displayed().size());
    EXPECT_EQ("Letters first: shown whole", log.Displayed()[1].text);
    EXPECT_FALSE(log.Displayed()[1].bold);

    const auto quiet = Flush();
    EXPECT_FALSE(quiet.showLogTab);
    EXPECT_FALSE(quiet.breakRequested);
    ASSERT_EQ(2u, log.Displayed().size());
    EXPECT_EQ("Iron Duke opens fire", log.Displayed()[0].text);
    EXPECT_EQ(8421504, log.Displayed()[0].color);
    EXPECT_EQ(ship.Id, std::get<combat::TShipId>(log.Displayed()[0].object));
    EXPECT_EQ("Letters first: shown whole", log.Displayed()[1].text);

    Flush();
    EXPECT_TRUE(log.Displayed().empty()); // two quiet minutes: nothing left to show
    ASSERT_EQ(2u, log.FullLog().size());  // the one-character line is ignored
    EXPECT_EQ("1Iron Duke opens fire", log.FullLog()[0].line);
    EXPECT_EQ("16:48 ", log.FullLog()[0].time);
}

TEST_F(LogFixture, AMinuteIsCutAfterTheThousandAndFirstLine) {
    for (int i = 0; i < 1005; ++i) {
        log.AddLogLine("1line " + std::to_string(i));
    }
    Flush();
    EXPECT_EQ(1001u, log.Displayed().size());
    EXPECT_EQ(1001u, log.FullLog().size());
    EXPECT_EQ((std::vector<std::string>{"DEBUG 1000+ lines"}), messages.Texts());
    Flush();
    EXPECT_EQ(1005u, log.Displayed().size()); // all of them become the previous minute
}

TEST_F(LogFixture, LaunchSoundAndNotes) {
    settings.SoundOption = 2;
    auto& ship = Ship("Moorsom", designs::TShipType::DD);
    log.AddLogLine("1Moorsom is launching torpedoes", &ship);
    Flush();
    EXPECT_EQ((std::vector<std::string>{"TorpedoLaunch.wav"}), sound.Played());
    log.AddLogNote("Game autosaved", 128, true, clock);
    EXPECT_EQ("Game autosaved", log.Displayed().back().text);
    EXPECT_EQ("16:48 ", log.FullLog().back().time);
    EXPECT_TRUE(log.FullLog().back().note);
    // A line names its ship by id, so it never outlives what it points at.
    EXPECT_EQ(TLogObject(ship.Id), log.FullLog().front().object);
    EXPECT_FALSE(log.FullLog().front().note);
}
