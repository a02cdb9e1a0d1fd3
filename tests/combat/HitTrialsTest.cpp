#include "combat/HitTrials.h"

#include "combat/FightingShip.h"
#include "core/Folders.h"
#include "core/GameClock.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "designs/NationsTable.h"
#include "designs/WeaponTables.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <numeric>
#include <string>
#include <vector>

using namespace tarnwake::combat;
using tarnwake::core::THeadlessMessages;
using tarnwake::core::TRandomGenerator;
using tarnwake::designs::TNationsTable;
using tarnwake::designs::TWeaponTables;

namespace {

constexpr int kYear = 1916;

// The shipped nations, weapon tables and every shipped design.
class ShippedDesigns : public ::testing::Test {
protected:
    void SetUp() override {
        const auto game = tarnwake::testing::ShippedGameDir();
        ASSERT_TRUE(nations.Load(game / "Data", kYear, messages));
        ASSERT_TRUE(tables.Load(game, messages));
        for (const auto& file : tarnwake::core::ListFilesWithExtension(game / "Designs", ".sdf")) {
            auto ship = std::make_unique<TFightingShip>();
            ASSERT_TRUE(ship->LoadDesign(file, tarnwake::designs::kHighestNationIndex, messages))
                << file;
            designs.push_back(std::move(ship));
        }
        ASSERT_FALSE(designs.empty());
        ASSERT_TRUE(messages.Shown().empty()) << messages.Texts().front();
    }

    const TFightingShip& Design(const std::string& name) const {
        for (const auto& d : designs) {
            if (d->Classname == name) {
                return *d;
            }
        }
        throw std::runtime_error("no design " + name);
    }

    THeadlessMessages messages{nullptr};
    TNationsTable nations;
    TWeaponTables tables;
    std::vector<std::unique_ptr<TFightingShip>> designs;
};

// Whatever falls on a ship, its state stays within its bounds: the hit rules only ever
// reduce to 0, never repeat without end and never throw.
TEST_F(ShippedDesigns, RandomHitsKeepEveryShipsStateSound) {
#ifdef NDEBUG
    constexpr int kHits = 100'000;
#else
    // The sanitizer build runs the rules some twenty times slower.
    constexpr int kHits = 10'000;
#endif
    // A ship takes at most this many hits before a fresh one of its class takes its place.
    constexpr int kHitsPerShip = 40;
    TRandomGenerator random(20'160'531);
    const int perDesign = kHits / static_cast<int>(designs.size()) + 1;
    int hits = 0;
    for (const auto& design : designs) {
        auto ship = FreshShip(*design);
        int onShip = 0;
        for (int h = 0; h < perDesign; ++h, ++hits) {
            if (onShip == kHitsPerShip || ship->CurrentFloatPoints == 0) {
                ship = FreshShip(*design);
                onShip = 0;
            }
            ++onShip;
            THitTrialWeapon weapon;
            if (random.Random(100) < 15) {
                static constexpr int kSizes[] = {18, 20, 21, kMineSize, 1, 24};
                weapon.Underwater = kSizes[random.Random(6)];
            } else {
                weapon.Calibre = random.Random(18) + 1; // 1..18, calibres without a row too
                weapon.RangeYards = random.Random(20) == 0 ? 55'000 : random.Random(30'000);
                weapon.GunQuality = random.Random(3) - 1;
                weapon.ShellQuality = -random.Random(2);
            }
            const THitConditions conditions{
                .Tables = tables,
                .Nation = nations.At(ship->Nation),
                .FFRLow = random.Random(2) == 0,
                .ScenarioYear = random.Random(2) == 0 ? 1905 : kYear,
                .GameDay = static_cast<int>(tarnwake::core::EncodeDateTime(kYear, 5, 31)),
            };
            THitResult result;
            try {
                result = ApplyTrialHit(*ship, weapon, conditions, random);
            } catch (const std::exception& e) {
                FAIL() << design->Classname << ", hit " << h << ": " << e.what();
            }
            const TFightingShip& s = *ship;
            const bool sound =
                s.CurrentFloatPoints >= 0 && s.CurrentFloatPoints <= s.MaxFloatPoints &&
                s.CurrentSuperstructurePoints >= 0 &&
                s.CurrentSuperstructurePoints <= s.MaxSuperstructurePoints &&
                s.EngineEfficiency >= 0 && s.EngineEfficiency <= 100 && s.Flooding >= 0 &&
                s.PF >= 0 && s.FireControl >= 0 && s.CurrentSecondariesPort >= 0 &&
                s.CurrentSecondariesStarboard >= 0 && s.CurrentTertiariesPort >= 0 &&
                s.CurrentTertiariesStarboard >= 0 && s.RudderStatus >= 0 && s.RudderStatus <= 3 &&
                result.Redraws <= kMaxLocationRedraws &&
                (weapon.Calibre == 0 || (result.Location >= 1 && result.Location <= 11));
            const int state = s.GetDamageState(messages);
            if (!sound || state < kDamageNone || state > kDamageSinking) {
                FAIL() << design->Classname << ", hit " << h << " (" << weapon.Calibre << " in, "
                       << weapon.Underwater << " underwater): F " << s.CurrentFloatPoints << ", S "
                       << s.CurrentSuperstructurePoints << ", engines " << s.EngineEfficiency
                       << ", flooding " << s.Flooding << ", PF " << s.PF << ", redraws "
                       << result.Redraws << ", state " << state << ": " << result.Text;
            }
        }
    }
    EXPECT_GE(hits, kHits);
    EXPECT_TRUE(messages.Shown().empty());
}

TEST_F(ShippedDesigns, TrialsAddUpAndRepeatWithTheirSeed) {
    THitTrialSpec spec;
    spec.Weapon.Calibre = 12;
    spec.Weapon.RangeYards = 14'000;
    spec.HitsPerRun = 3;
    spec.Runs = 200;
    spec.Seed = 7;
    const TFightingShip& lion = Design("Lion");
    const THitTrialTally a = RunHitTrials(lion, nations.At(lion.Nation), tables, spec);
    const THitTrialTally b = RunHitTrials(lion, nations.At(lion.Nation), tables, spec);
    EXPECT_EQ(600, a.Hits);
    EXPECT_EQ(0, a.Locations[0]);
    EXPECT_EQ(a.Hits, std::accumulate(a.Locations.begin(), a.Locations.end(), 0));
    EXPECT_EQ(a.Runs, std::accumulate(a.DamageStates.begin(), a.DamageStates.end(), 0));
    EXPECT_EQ(a.Runs, std::accumulate(a.TurretsLost.begin(), a.TurretsLost.end(), 0));
    EXPECT_EQ(a.Locations, b.Locations);
    EXPECT_EQ(a.FloatLostPercent, b.FloatLostPercent);
    // Five torpedoes do far more to a battle cruiser than one.
    spec.Weapon = THitTrialWeapon{};
    spec.Weapon.Underwater = 21;
    spec.HitsPerRun = 1;
    const TFightingShip& derfflinger = Design("Derfflinger");
    const THitTrialTally one =
        RunHitTrials(derfflinger, nations.At(derfflinger.Nation), tables, spec);
    spec.HitsPerRun = 5;
    const THitTrialTally five =
        RunHitTrials(derfflinger, nations.At(derfflinger.Nation), tables, spec);
    EXPECT_EQ(0, one.Locations[kBeltHit]); // no shell, no location
    const auto mean = [](const std::vector<int>& v) {
        return std::accumulate(v.begin(), v.end(), 0.0) / static_cast<double>(v.size());
    };
    EXPECT_GT(mean(five.FloatLostPercent), 3 * mean(one.FloatLostPercent));
    EXPECT_GT(mean(five.Flooding), 3 * mean(one.Flooding));
}

TEST_F(ShippedDesigns, AFreshShipIsTheDesignReadyForBattle) {
    const TFightingShip& lion = Design("Lion");
    const auto ship = FreshShip(lion);
    EXPECT_EQ(lion.MaxFloatPoints, ship->CurrentFloatPoints);
    EXPECT_EQ(lion.Turrets.size(), ship->Turrets.size());
    EXPECT_EQ(8 * 90, ship->Ammo[1]); // four twin 13.5-inch turrets
    EXPECT_EQ(8, ship->CurrentSecondariesPort);
    EXPECT_EQ(kDamageNone, ship->DamageState());
}

} // namespace
