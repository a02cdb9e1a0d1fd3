#include "combat/Visibility.h"

#include "core/Random.h"
#include "map/GlobeUnits.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using namespace tarnwake;
using combat::kLightDay;
using combat::kLightDusk;
using combat::kLightNight;
using designs::TShipType;

namespace {

map::TGeoPos Degrees(double lat, double lon) {
    const double unit = static_cast<double>(map::kGlobeUnitsPerDegree);
    return {static_cast<std::int32_t>(lon * unit), static_cast<std::int32_t>(lat * unit), 0};
}

// The first minute after `from` at which the light at `where` becomes `light`.
int MinuteLightBecomes(const map::TGeoPos& where, core::TDateTime from, int light) {
    int before = combat::LightCondition(where, from);
    for (int minute = 1; minute < 24 * 60; ++minute) {
        const int now = combat::LightCondition(where, core::IncMinute(from, minute));
        if (now == light && before != light) {
            return minute;
        }
        before = now;
    }
    return -1;
}

TEST(LightCondition, AgreesWithTheAlmanacWithinAQuarterHourOrSo) {
    // Sunrise, sunset and civil twilight from the almanac, in GMT. The rule's sun is a mean sun
    // on a simple declination curve: it runs up to sixteen minutes off the true sun in early
    // November, so Coronel's dusk is judged with that much more room.
    struct TCase {
        const char* Place;
        map::TGeoPos Where;
        core::TDateTime Midnight;
        int Light;
        int AlmanacMinute; // minutes after midnight GMT
        int Tolerance;
    };
    const map::TGeoPos doggerBank = Degrees(54.9, 3.9);
    const map::TGeoPos coronel = Degrees(-36.8, -73.9);
    const core::TDateTime jan24 = core::EncodeDateTime(1915, 1, 24);
    const core::TDateTime nov1 = core::EncodeDateTime(1914, 11, 1, 12, 0);
    const std::vector<TCase> cases = {
        {"Dogger Bank twilight begins", doggerBank, jan24, kLightDusk, 7 * 60 + 9, 20},
        {"Dogger Bank day begins", doggerBank, jan24, kLightDay, 7 * 60 + 50, 20},
        // From noon: the day ends at 23:28 and twilight at 23:56 of 1 November.
        {"Coronel day ends", coronel, nov1, kLightDusk, 11 * 60 + 28, 20},
        {"Coronel twilight ends", coronel, nov1, kLightNight, 11 * 60 + 56, 25},
    };
    for (const TCase& c : cases) {
        const int minute = MinuteLightBecomes(c.Where, c.Midnight, c.Light);
        EXPECT_LE(std::abs(minute - c.AlmanacMinute), c.Tolerance)
            << c.Place << ": " << minute << " against " << c.AlmanacMinute;
    }
}

TEST(LightCondition, NoonIsDayAndMidnightIsNightAtMidLatitudes) {
    const map::TGeoPos northSea = Degrees(56.0, 6.0);
    EXPECT_EQ(kLightDay, combat::LightCondition(northSea, core::EncodeDateTime(1916, 5, 31, 12)));
    EXPECT_EQ(kLightNight, combat::LightCondition(northSea, core::EncodeDateTime(1916, 12, 1, 0)));
}

TEST(Visibility, SizeSpeedAndGunFlashes) {
    const combat::TSightingRanges clear{24000, 4000};
    struct TCase {
        const char* What;
        TShipType Type;
        int Light;
        int Speed;
        bool Fired;
        int Yards;
    };
    const std::vector<TCase> cases = {
        {"battleship by day", TShipType::BB, kLightDay, 15, false, 24000},
        {"destroyer by day", TShipType::DD, kLightDay, 15, false, 19200},
        {"destroyer that fired", TShipType::DD, kLightDay, 15, true, 24000},
        {"light cruiser by day", TShipType::CL, kLightDay, 15, false, 21600},
        {"battleship at 15 knots at night", TShipType::BB, kLightNight, 15, false, 4000},
        {"battleship at 20 knots at night", TShipType::BB, kLightNight, 20, false, 4300},
        {"battleship at 25 knots at night", TShipType::BB, kLightNight, 25, false, 4600},
        {"battleship at 25 knots at dusk", TShipType::BB, kLightDusk, 25, false, 14600},
        {"battery at night", TShipType::LT, kLightNight, 0, false, 4800},
        {"battery by day", TShipType::LT, kLightDay, 0, false, 24000},
    };
    for (const TCase& c : cases) {
        const int range = combat::LightVisibility(c.Light, clear, c.Speed);
        EXPECT_EQ(c.Yards, combat::ScaledVisibility(range, c.Type, c.Light, c.Fired)) << c.What;
    }
}

TEST(Visibility, JitterDrawsOnlyInThickWeather) {
    core::TScriptedRandom rolls({0, 2});
    EXPECT_EQ(0, combat::VisibilityJitter(combat::kClear, rolls));
    EXPECT_EQ(0, combat::VisibilityJitter(combat::kOvercast, rolls));
    EXPECT_EQ(0, rolls.DrawCount());
    EXPECT_EQ(-500, combat::VisibilityJitter(combat::kFog, rolls));
    EXPECT_EQ(500, combat::VisibilityJitter(combat::kHeavyRain, rolls));
}

struct TTypeCase {
    const char* What;
    std::string Identified;
    std::string Flagship;
    TShipType Type;
    int Displacement;
    int Year;
    std::vector<int> Rolls;
    std::string Expected;
};

TEST(IdentifyType, TheRowsOfTheTable) {
    const std::vector<TTypeCase> cases = {
        {"a battleship kept as it was", "BB", "", TShipType::BB, 25000, 1916, {10}, "BB"},
        {"a wrong type kept", "CA", "", TShipType::BB, 25000, 1916, {95, 50}, "CA"},
        {"a wrong type dropped, the flagship's taken",
         "CA",
         "BC",
         TShipType::BB,
         25000,
         1916,
         {95, 90, 10},
         "BC"},
        {"a first look at a battleship: a battle cruiser",
         "",
         "",
         TShipType::BB,
         25000,
         1916,
         {20},
         "BC"},
        {"a first look at a battleship: armoured cruiser",
         "",
         "",
         TShipType::BB,
         25000,
         1916,
         {23},
         "CA"},
        {"a first look at a battleship: right", "", "", TShipType::BB, 25000, 1916, {31}, "BB"},
        {"a light cruiser taken for a destroyer", "", "", TShipType::CL, 4000, 1916, {28}, "DD"},
        {"a light cruiser taken for a battleship", "", "", TShipType::CL, 4000, 1916, {30}, "BB"},
        {"a seaplane carrier between the rows", "", "", TShipType::AV, 4000, 1916, {20}, "AV"},
        {"a right type kept on the second look",
         "BB",
         "",
         TShipType::BB,
         25000,
         1916,
         {95, 95, 89},
         "BB"},
        {"a big sweeper taken for a cruiser", "", "", TShipType::MS, 1200, 1916, {30, 29}, "CL"},
        {"a small sweeper never a cruiser", "", "", TShipType::MS, 700, 1916, {31}, "MS"},
        {"a battery is a battery", "", "", TShipType::LT, 0, 1916, {}, "LT"},
        {"no battle cruisers before 1907: armoured cruiser",
         "",
         "",
         TShipType::BB,
         15000,
         1905,
         {5, 50},
         "CA"},
        {"no battle cruisers before 1907: battleship",
         "",
         "",
         TShipType::BB,
         15000,
         1905,
         {5, 49},
         "B"},
    };
    for (const TTypeCase& c : cases) {
        core::TScriptedRandom rolls(c.Rolls);
        EXPECT_EQ(c.Expected, combat::IdentifyType(c.Identified, c.Flagship, c.Type, c.Displacement,
                                                   c.Year, rolls))
            << c.What;
        EXPECT_EQ(0U, rolls.Left()) << c.What;
    }
}

TEST(IdentifyType, BeforeBattleCruisersOnlyATrueOneIsReportedAsOne) {
    core::TRandomGenerator random(7);
    for (int i = 0; i < 2000; ++i) {
        for (TShipType type : {TShipType::BB, TShipType::B, TShipType::CA}) {
            EXPECT_NE("BC", combat::IdentifyType("", "", type, 12000, 1906, random));
        }
    }
    core::TScriptedRandom right({95});
    EXPECT_EQ("BC", combat::IdentifyType("", "", TShipType::BC, 17000, 1906, right));
}

TEST(IdentifyClass, AMistakeOnlyUntilTheClassIsRightlyNamed) {
    core::TScriptedRandom rolls({24, 24, 25});
    EXPECT_EQ("Konig", combat::IdentifyClass("", "Kaiser", "Konig", rolls));
    EXPECT_EQ("Kaiser", combat::IdentifyClass("Kaiser", "Kaiser", "Konig", rolls));
    EXPECT_EQ("Kaiser", combat::IdentifyClass("Konig", "Kaiser", "Konig", rolls));
}

} // namespace
