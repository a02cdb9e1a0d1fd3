#include "engine/Weather.h"

#include "combat/Force.h"
#include "combat/Visibility.h"
#include "core/Random.h"
#include "engine/GameWorld.h"
#include "map/Globe.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace tarnwake;
using combat::TFightingShip;

namespace {

class WeatherTest : public ::testing::Test, public tarnwake::testing::TTestWorld {
protected:
    core::TScriptedRandom& Script(std::vector<int> rolls) {
        auto scripted = std::make_unique<core::TScriptedRandom>(std::move(rolls));
        core::TScriptedRandom& ref = *scripted;
        world.UseGenerator(std::move(scripted));
        return ref;
    }
    // A ship at sea off Jutland, at 56 N 6 E: local time there is GMT.
    TFightingShip& Ship(designs::TShipType type = designs::TShipType::DD, int displacement = 1000) {
        return *AddDivision("Ship", 0, 0, 15, 1, {}, type, displacement).Flagship();
    }
};

TEST_F(WeatherTest, ClearTurnsCloudyByTheTrend) {
    // Clear weather with a light wind and no ships: the wind rolls, the veer and back rolls,
    // then the cloud roll, 4 - trend in a hundred.
    world.Clock = core::EncodeDateTime(1916, 5, 31, 14, 0);
    for (int trend : {-1, 0, 1}) {
        for (int roll : {3 - trend, 4 - trend}) {
            world.Environment.Weather = combat::kClear;
            world.Environment.WindForce = 2;
            world.Environment.Variation = trend;
            // The wind rolls three times without a trend, twice with one.
            std::vector<int> rolls(trend == 0 ? 3 : 2, 99);
            rolls.insert(rolls.end(), {99, 99, roll});
            Script(rolls);
            engine::Weatherchange(world);
            EXPECT_EQ(roll < 4 - trend ? combat::kCloudy : combat::kClear,
                      world.Environment.Weather)
                << "trend " << trend << " roll " << roll;
        }
    }
}

TEST_F(WeatherTest, BothSkyDrawsAreMadeAndTheSecondChangeStands) {
    world.Environment.Weather = combat::kPartlyCloudy;
    world.Environment.WindForce = 2;
    // Wind: no change (three rolls); no veer, no back; cloudy (0 < 4), then clear (0 < 4).
    core::TScriptedRandom& rolls = Script({99, 99, 99, 99, 99, 0, 0});
    engine::Weatherchange(world);
    EXPECT_EQ(combat::kClear, world.Environment.Weather);
    EXPECT_EQ(0U, rolls.Left());
}

TEST_F(WeatherTest, HeavyRainOnlyFollowsLightRainAndFogOnlyTheSmallHours) {
    world.UseGenerator(std::make_unique<core::TRandomGenerator>(11));
    world.Clock = core::EncodeDateTime(1916, 5, 31, 12, 0);
    Ship();
    int previous = combat::kClear;
    world.Environment.Weather = previous;
    for (int step = 0; step < 5000; ++step) {
        world.Environment.WindForce = step % 12;
        engine::Weatherchange(world);
        const int now = world.Environment.Weather;
        if (now == combat::kHeavyRain && previous != combat::kHeavyRain) {
            EXPECT_EQ(combat::kLightRain, previous) << step;
        }
        if (now == combat::kFog) {
            EXPECT_EQ(combat::kFog, previous) << step; // never at noon
        }
        previous = now;
    }
}

TEST_F(WeatherTest, MorningMistOnceAGame) {
    world.Clock = core::EncodeDateTime(1916, 6, 1, 3, 0);
    world.Environment.Weather = combat::kClear;
    world.Environment.WindForce = 2;
    world.Environment.MorningMist = 100;
    Ship();
    // Wind unchanged (three), no veer or back (two); the small hours: the wind holds (50), mist
    // forms (0 < 100) and is fog (0 < 100); mist lifts? 999 no, and the gale rolls nothing.
    Script({99, 99, 99, 99, 99, 50, 0, 0, 999});
    engine::Weatherchange(world);
    EXPECT_EQ(combat::kFog, world.Environment.Weather);
    EXPECT_TRUE(world.Environment.MorningMistChecked);

    world.Environment.Weather = combat::kClear;
    // Ten minutes later, still three o'clock: no second look, just the clear-sky roll.
    world.Clock = core::EncodeDateTime(1916, 6, 1, 3, 10);
    core::TScriptedRandom& again = Script({99, 99, 99, 99, 99, 99});
    engine::Weatherchange(world);
    EXPECT_EQ(combat::kClear, world.Environment.Weather);
    EXPECT_EQ(0U, again.Left());
}

TEST_F(WeatherTest, TheDayRangeFollowsTheWeatherInSteps) {
    core::TScriptedRandom none({});
    EXPECT_EQ(24000, engine::DayRangeTarget(combat::kClear, 4, none));
    core::TScriptedRandom gale({3});
    // Force 10: 24000 x 5 / 10, less 500 x Random(6).
    EXPECT_EQ(12000 - 1500, engine::DayRangeTarget(combat::kClear, 10, gale));
    core::TScriptedRandom mist({2});
    EXPECT_EQ(10000, engine::DayRangeTarget(combat::kMist, 3, mist));

    struct TStep {
        int Day;
        int Target;
        int After;
    };
    for (const TStep& s : std::vector<TStep>{{20000, 24000, 22000},
                                             {23000, 24000, 23500},
                                             {24000, 24000, 24000},
                                             {24000, 23000, 23500},
                                             {24000, 22000, 23500},
                                             {24000, 12000, 22000},
                                             {12000, 24000, 14000}}) {
        EXPECT_EQ(s.After, engine::AdjustDayRange(s.Day, s.Target))
            << s.Day << " towards " << s.Target;
    }
    core::TScriptedRandom night({1});
    EXPECT_EQ(3500 * 6 / 10, engine::NightRangeFor(combat::kOvercast, 9, none));
    EXPECT_EQ(4500, engine::NightRangeFor(combat::kClear, 2, night));
}

TEST_F(WeatherTest, SeaColourFollowsTheWeather) {
    const engine::TChartColours colours;
    map::TGlobe chart;
    for (int weather = 0; weather <= 7; ++weather) {
        engine::SetSeaColour(chart, weather, colours);
        const core::TColor expected = weather <= 1   ? colours.Fog
                                      : weather >= 6 ? colours.Rain
                                                     : colours.Water;
        EXPECT_EQ(expected, chart.SeaColour) << weather;
    }
}

TEST_F(WeatherTest, ACrippledShipShipsWaterAndFounders) {
    world.Environment.WindForce = 10;
    TFightingShip& ship = Ship();
    ship.MaxFloatPoints = 100;
    ship.CurrentFloatPoints = 20;
    // In heavy seas (0 < 8); water comes aboard (49 > 20 - 20, 0 < 30) twice (5 + 10 each);
    // with nothing left to float on she founders, sinking in 5 + 3 minutes.
    Script({0, 49, 0, 5, 5, 3});
    engine::HeavySeas(world, ship);
    EXPECT_EQ(20 - 15 - 15, ship.CurrentFloatPoints);
    EXPECT_EQ(10, ship.Flooding);
    EXPECT_EQ(5 + 3, ship.Sinking);
    EXPECT_EQ(0, ship.CurrentSpeed);
    ASSERT_EQ(2U, ship.Hits.size());
    EXPECT_NE(std::string::npos, ship.Hits[0].find("Shipping water in heavy seas!"));
    EXPECT_NE(std::string::npos, ship.Hits[1].find(" Founders due to heavy seas!"));
}

TEST_F(WeatherTest, WeatherDamageToADestroyerIsReportedAndRaisesWithdrawal) {
    world.Environment.WindForce = 11;
    TFightingShip& ship = Ship();
    ship.MaxFloatPoints = 100;
    ship.CurrentFloatPoints = 100;
    ship.CurrentSuperstructurePoints = 300;
    combat::TForce& force = world.AddForce(std::make_unique<combat::TForce>("Flotilla", 0));
    world.Divisions.front()->Force = &force;
    // Heavy seas (0); no water (the ship is sound); damage (0 < 3); the player's ship at 15
    // knots; 120 superstructure points; flotation holds (299); flooding (0 < 36).
    Script({0, 0, 120, 299, 0});
    engine::HeavySeas(world, ship);
    EXPECT_EQ(180, ship.CurrentSuperstructurePoints);
    EXPECT_EQ(100, ship.CurrentFloatPoints);
    EXPECT_EQ(10, ship.Flooding);
    EXPECT_EQ(3, force.WithdrawalLevel);
    EXPECT_TRUE(world.Environment.WeatherDamageReported);
}

TEST_F(WeatherTest, LocalTimeByWholeZones) {
    const core::TDateTime noon = core::EncodeDateTime(1916, 5, 31, 12, 0);
    struct TZone {
        double Longitude;
        int Hour;
    };
    for (const TZone& z :
         std::vector<TZone>{{0.0, 12}, {7.4, 12}, {7.6, 13}, {-7.6, 11}, {-73.9, 7}, {179.0, 0}}) {
        const map::TGeoPos p{static_cast<std::int32_t>(z.Longitude * map::kGlobeUnitsPerDegree), 0,
                             0};
        EXPECT_EQ(z.Hour, core::DecodeDateTime(engine::LocalTime(p, noon)).hour) << z.Longitude;
    }
}

TEST_F(WeatherTest, SunTimesTellsTheNextChangeOfLight) {
    TFightingShip& ship = Ship();
    const std::string day = engine::SunTimes(ship, core::EncodeDateTime(1916, 5, 31, 14, 0));
    EXPECT_NE(std::string::npos, day.find("Ship: Ship\nPosition: ")) << day;
    EXPECT_NE(std::string::npos, day.find("It is daylight. Dusk will be at ")) << day;
    EXPECT_NE(std::string::npos, day.find("Z,\nin ")) << day;
    const std::string night = engine::SunTimes(ship, core::EncodeDateTime(1916, 12, 1, 0, 0));
    EXPECT_NE(std::string::npos, night.find("It is night. Dawn will be at ")) << night;
    // Midsummer near the pole: the sun never sets within the thousand minutes looked at.
    ship.SetPosition({0, static_cast<std::int32_t>(80 * map::kGlobeUnitsPerDegree), 0});
    EXPECT_EQ("", engine::SunTimes(ship, core::EncodeDateTime(1916, 6, 21, 12, 0)));
}

} // namespace
