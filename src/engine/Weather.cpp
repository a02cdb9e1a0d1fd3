#include "engine/Weather.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "combat/Visibility.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "engine/GameWorld.h"
#include "map/Globe.h"
#include "map/GlobeUnits.h"
#include "map/PositionText.h"

#include <algorithm>
#include <string>

namespace tarnwake::engine {

using combat::kClear;
using combat::kCloudy;
using combat::kFog;
using combat::kHeavyRain;
using combat::kLightRain;
using combat::kMist;
using combat::kOvercast;
using combat::kPartlyCloudy;
using combat::TFightingShip;
using designs::TShipType;

namespace {

constexpr int kCalm = 0;
constexpr int kStrongestWind = 13;
constexpr int kGale = 9;
constexpr int kStrongGale = 12;
constexpr int kVeerDegrees = 5;
// The small hours, when mist forms over a cooling sea.
constexpr int kMistHour = 3;
constexpr int kMistCalmBelow = 5;
constexpr int kStrayMistChance = 5;
// A strong wind drives clouds in and rain with them.
constexpr int kRainWind = 6;
constexpr int kRainChance = 6;
constexpr int kSummerCalmChance = 1;

// Wind above this force shortens the day range, at this force and above makes it patchy.
constexpr int kHazeWind = 5;
constexpr int kSprayWind = 8;
constexpr int kNightHazeWind = 6;
constexpr int kWindScale = 15;

// Heavy seas.
constexpr int kHeavySeasWind = 6;
constexpr int kFloodingPercent = 30;
constexpr int kHeavySeasWaterChance = 30;
constexpr int kWaterFlooding = 10;
constexpr int kWaterFloodingLarge = 20;
constexpr int kSinkingMinutesShortened = 10;
constexpr int kFounderMinutes = 5;
constexpr int kFounderSpread = 10;
constexpr int kPlayerShipDamageChance = 30;
constexpr int kSlowShipDamageChance = 50;
constexpr int kDamageSpeed = 10;
constexpr int kSmallCraftTons = 100;
constexpr int kWeatherFloodingChance = 30;
constexpr int kWeatherWithdrawal = 3;
constexpr int kRepeatReportChance = 30;

constexpr int kSunStepMinutes = 5;
constexpr int kSunSteps = 201;

int Percent(core::TRandomGenerator& random) {
    return random.Random(100);
}

void ChangeWind(TGameWorld& world, int& w, int trend) {
    core::TRandomGenerator& random = world.Random();
    // 1. The trend decides which way the wind is likelier to go.
    if (trend == -1 && w < kGale) {
        if (Percent(random) <= 5 && w <= kStrongGale) {
            ++w;
        } else if (Percent(random) < 4 && w > 2) {
            --w;
        }
    } else if (trend == 1) {
        if (Percent(random) <= 5 && w >= 3) {
            --w;
        } else if (Percent(random) < 4 && w < kStrongestWind) {
            ++w;
        }
    } else {
        if (Percent(random) <= 4 && w >= 3) {
            --w;
        } else if (Percent(random) <= 3 && w <= kStrongGale) {
            ++w;
        } else if (Percent(random) < 3 && w > 7) {
            --w;
        }
    }
    // 2. Summer gales blow themselves out.
    const int month = core::DecodeDateTime(world.Clock).month;
    if (month >= 5 && month <= 8 && w > kGale && random.Random(100) == kSummerCalmChance) {
        --w;
    }
    // 3. The wind veers or backs.
    int& direction = world.Environment.WindDirection;
    if (Percent(random) < 10) {
        direction = map::NormaliseCourse(direction + kVeerDegrees);
    } else if (Percent(random) < 10) {
        direction = map::NormaliseCourse(direction - kVeerDegrees);
    }
    // 4. A hurricane does not last.
    if (w > kStrongGale && Percent(random) < 10) {
        --w;
    }
}

// 5. The small hours: the wind drops, and over a calm sea mist or fog may form, once a game.
void MorningMist(TGameWorld& world, int& w, int hour) {
    core::TRandomGenerator& random = world.Random();
    TEnvironmentState& env = world.Environment;
    if (hour == kMistHour && !env.MorningMistChecked) {
        env.MorningMistChecked = true;
        if (Percent(random) < 50) {
            w = std::max(kCalm, w - 1);
        }
        if (w < kMistCalmBelow) {
            if (Percent(random) < env.MorningMist) {
                SetWeather(world, Percent(random) < env.MorningMist ? kFog : kMist);
            } else if (Percent(random) < kStrayMistChance) {
                SetWeather(world, kMist);
            }
        }
    }
    if (env.Weather < kLightRain && w > kRainWind && Percent(random) < kRainChance) {
        SetWeather(world, env.Weather + 1);
    }
}

// 6. The sky by the present weather; the trend tips it towards clearing or closing in. Where a
// weather may go two ways both are tried, in order, and the second change stands.
void ChangeSky(TGameWorld& world, int w, int trend, int hour) {
    core::TRandomGenerator& random = world.Random();
    const auto tryChange = [&](int chance, int to) {
        if (Percent(random) < chance) {
            SetWeather(world, to);
        }
    };
    const int liftChance = 2 * hour + 10; // per thousand: mist lifts as the day warms
    switch (world.Environment.Weather) {
    case kFog:
        if (random.Random(1000) < liftChance || (w >= kRainWind && random.Random(20) < w)) {
            SetWeather(world, kMist);
        }
        break;
    case kMist:
        if (random.Random(1000) < liftChance || (w >= kRainWind && random.Random(20) < w)) {
            SetWeather(world, Percent(random) < 30 * trend + 60 ? kClear : kOvercast);
        }
        break;
    case kClear:
        tryChange(4 - trend, kCloudy);
        break;
    case kPartlyCloudy:
        tryChange(4 - trend, kCloudy);
        tryChange(trend + 4, kClear);
        break;
    case kCloudy:
        tryChange(4 - trend, kOvercast);
        tryChange(trend + 4, kPartlyCloudy);
        break;
    case kOvercast:
        tryChange(3 - trend, kLightRain);
        tryChange(trend + 4, kCloudy);
        break;
    case kLightRain:
        tryChange(4 - trend, kHeavyRain);
        tryChange(trend + 4, kOvercast);
        break;
    case kHeavyRain:
        tryChange(5, kLightRain);
        break;
    default:
        break;
    }
}

// 7. A long blow turns the trend.
void ChangeTrend(TGameWorld& world, int w, int& trend) {
    core::TRandomGenerator& random = world.Random();
    if (w > 7 && trend < 0 && Percent(random) < 10) {
        trend = 0;
    }
    if (w > 8 && trend < 1 && Percent(random) < 4) {
        trend = 1;
    }
    if (world.Environment.Weather == kHeavyRain && trend < 0 && Percent(random) < 20) {
        trend = 0;
    }
}

int WindShortened(int range, int windForce, int above) {
    return windForce > above ? range * (kWindScale - windForce) / 10 : range;
}

std::string Clock(core::TDateTime clock) {
    return core::FormatTime(clock);
}

std::string HoursAndMinutes(int minutes) {
    return std::to_string(minutes / 60) + " hours and " + std::to_string(minutes % 60) + " minutes";
}

} // namespace

void SetSeaColour(map::TGlobe& chart, int weather, const TChartColours& colours) {
    if (weather == kFog || weather == kMist) {
        chart.SeaColour = colours.Fog;
    } else if (weather == kLightRain || weather == kHeavyRain) {
        chart.SeaColour = colours.Rain;
    } else {
        chart.SeaColour = colours.Water;
    }
}

void SetWeather(TGameWorld& world, int type) {
    world.Environment.Weather = std::clamp(type, kFog, kHeavyRain);
    SetSeaColour(world.Chart, world.Environment.Weather, world.Preferences.Colours);
}

void Weatherchange(TGameWorld& world) {
    TEnvironmentState& env = world.Environment;
    int w = env.WindForce;
    int trend = env.Variation;
    int hour = -1;
    if (!world.Ships.empty()) {
        hour = core::DecodeDateTime(LocalTime(world.Ships.front()->Position(), world.Clock)).hour;
    }
    ChangeWind(world, w, trend);
    if (hour >= 0) {
        MorningMist(world, w, hour);
    }
    ChangeSky(world, w, trend, std::max(hour, 0));
    ChangeTrend(world, w, trend);
    env.WindForce = std::clamp(w, kCalm, kStrongestWind);
    env.Variation = trend;
}

int DayRangeTarget(int weather, int windForce, core::TRandomGenerator& random) {
    int target = 0;
    switch (weather) {
    case kFog:
    case kHeavyRain:
        target = 3000 + 1000 * random.Random(6);
        break;
    case kMist:
        target = 8000 + 1000 * random.Random(8);
        break;
    case kCloudy:
        target = 22000 + 500 * random.Random(3);
        break;
    case kOvercast:
        target = 18000 + 500 * random.Random(4);
        break;
    case kLightRain:
        target = 6000 + 1000 * random.Random(8);
        break;
    default: // clear, partly cloudy
        target = 24000;
        break;
    }
    target = WindShortened(target, windForce, kHazeWind);
    if (windForce >= kSprayWind) {
        target -= 500 * random.Random(6);
    }
    return target;
}

int AdjustDayRange(int dayRange, int target) {
    constexpr int kStep = 500;
    constexpr int kWideGap = 1500;
    constexpr int kVeryWideGap = 2000;
    if (target < dayRange) {
        dayRange -= dayRange - kStep - target > kWideGap ? 2 * kStep : kStep;
        if (dayRange - target > kVeryWideGap) {
            dayRange -= 2 * kStep;
        }
    } else if (target > dayRange) {
        dayRange += kStep;
        if (target - dayRange > kWideGap) {
            dayRange += kStep;
        }
        if (target - dayRange > kVeryWideGap) {
            dayRange += 2 * kStep;
        }
    }
    return dayRange;
}

int NightRangeFor(int weather, int windForce, core::TRandomGenerator& random) {
    int night = 0;
    switch (weather) {
    case kFog:
        night = 1000 + 1000 * random.Random(3);
        break;
    case kMist:
        night = 2000 + 1000 * random.Random(4);
        break;
    case kClear:
        night = 4000 + 500 * random.Random(4);
        break;
    case kOvercast:
        night = 3500;
        break;
    case kLightRain:
        night = 2500 + 500 * random.Random(4);
        break;
    case kHeavyRain:
        night = 1500 + 500 * random.Random(4);
        break;
    default: // partly cloudy, cloudy
        night = 4000;
        break;
    }
    return windForce >= kNightHazeWind ? night * (kWindScale - windForce) / 10 : night;
}

void AdjustSightingLevel(TGameWorld& world) {
    TEnvironmentState& env = world.Environment;
    const int target = DayRangeTarget(env.Weather, env.WindForce, world.Random());
    env.DayRange = AdjustDayRange(env.DayRange, target);
    env.NightRange = NightRangeFor(env.Weather, env.WindForce, world.Random());
}

void HeavySeas(TGameWorld& world, TFightingShip& ship) {
    core::TRandomGenerator& random = world.Random();
    const int w = world.Environment.WindForce;
    if (ship.IsLandTarget() || w <= kHeavySeasWind || random.Random(50) >= w - 2) {
        return;
    }
    const std::string time = core::FormatTime(world.Clock) + " ";
    const bool seen = world.PlayerMaySee(ship);
    const int p = ship.MaxFloatPoints > 0
                      ? static_cast<int>(core::Round(static_cast<double>(ship.CurrentFloatPoints) /
                                                     ship.MaxFloatPoints * 100.0))
                      : 0;
    if (p < kFloodingPercent && !ship.Sunk) {
        if (random.Random(50) > p - 2 * w && Percent(random) < kHeavySeasWaterChance) {
            if (ship.Sinking == 0) {
                for (int k = 0; k < 2; ++k) {
                    ship.CurrentFloatPoints -= random.Random(ship.Displacement / 100) + 10;
                }
                ship.Hits.push_back(time + "Shipping water in heavy seas!");
                if (seen) {
                    world.Log.AddLogLine("6" + ship.Name + " is shipping water in heavy seas!",
                                         &ship);
                }
                ship.Flooding += ship.IsLargeShip() ? kWaterFloodingLarge : kWaterFlooding;
            } else if (ship.Sinking > kSinkingMinutesShortened) {
                ship.Sinking -= random.Random(ship.Sinking / 4 + 1) + 1;
            }
        }
        if (ship.CurrentFloatPoints <= 0 && ship.Sinking == 0) {
            if (seen) {
                world.Log.AddLogLine("8" + ship.Name + " founders due to heavy seas!", &ship);
            }
            ship.Hits.push_back(time + " Founders due to heavy seas!");
            ship.Sinking = kFounderMinutes + random.Random(kFounderSpread);
            ship.CurrentSpeed = 0;
        }
        return;
    }
    const int type = designs::TypeIndex(ship.ShipType);
    bool damaged = false;
    switch (ship.ShipType) {
    case TShipType::DD:
    case TShipType::MS:
    case TShipType::TR:
    case TShipType::AV:
        damaged = w > kGale && random.Random(500) < w - 8;
        break;
    case TShipType::CL:
        damaged = w > kGale && random.Random(1000) < w - 8;
        break;
    case TShipType::AMC:
        break;
    default: // the capital ships and armoured cruisers
        damaged = w > kGale + 1 && random.Random(1000) < w - 9;
        break;
    }
    if (!damaged) {
        return;
    }
    // Ships of the player's side are driven harder than the computer's, and slow ships ride
    // the seas better.
    const bool playerShip = ship.Side == world.PlayerSide;
    if (!(playerShip || Percent(random) < kPlayerShipDamageChance) ||
        !(ship.CurrentSpeed > kDamageSpeed || Percent(random) < kSlowShipDamageChance)) {
        return;
    }
    ship.CurrentSuperstructurePoints =
        std::max(0, ship.CurrentSuperstructurePoints - random.Random(200));
    if (random.Random(300) < type + w - 9) {
        ship.CurrentFloatPoints -=
            ship.Displacement <= kSmallCraftTons ? random.Random(10) : random.Random(50);
    }
    ship.Hits.push_back(time + "Taking weather damage!");
    if (seen) {
        TEnvironmentState& env = world.Environment;
        char marker = '5';
        if (env.WeatherDamageReported && Percent(random) >= kRepeatReportChance) {
            marker = '7';
        }
        env.WeatherDamageReported = true;
        world.Log.AddLogLine(std::string(1, marker) + ship.Name + " is taking weather damage!",
                             &ship);
    }
    if (Percent(random) < type + kWeatherFloodingChance) {
        ship.Flooding += kWaterFlooding;
    }
    if (const combat::TDivision* division = world.DivisionOfShip(&ship)) {
        if (division->Force != nullptr) {
            division->Force->WithdrawalLevel += kWeatherWithdrawal;
        }
    }
}

core::TDateTime LocalTime(const map::TGeoPos& where, core::TDateTime clock) {
    const double longitude =
        static_cast<double>(where.lon) / static_cast<double>(map::kGlobeUnitsPerDegree);
    constexpr double kHalfZone = 7.5;
    constexpr double kZone = 15.0;
    const int hours = longitude >= 0.0 ? static_cast<int>((longitude + kHalfZone) / kZone)
                                       : static_cast<int>((longitude - kHalfZone) / kZone);
    return core::IncMinute(clock, 60LL * hours);
}

std::string SunTimes(const TFightingShip& ship, core::TDateTime clock) {
    const map::TGeoPos where = ship.Position();
    const int now = combat::LightCondition(where, clock);
    core::TDateTime at = clock;
    int steps = 0;
    int next = now;
    while (steps < kSunSteps) {
        at = core::IncMinute(at, kSunStepMinutes);
        ++steps;
        next = combat::LightCondition(where, at);
        if (next != now) {
            break;
        }
    }
    if (next == now) {
        return {};
    }
    const std::string span = HoursAndMinutes((steps - 1) * kSunStepMinutes);
    std::string text = "Ship: " + ship.Name + "\nPosition: " + map::PositionToText(where) + "\n";
    switch (now) {
    case combat::kLightDay:
        return text + "It is daylight. Dusk will be at " + Clock(at) + "Z,\nin " + span;
    case combat::kLightNight:
        return text + "It is night. Dawn will be at " + Clock(at) + "Z,\nin " + span;
    default:
        return text +
               (next == combat::kLightNight ? "It is twilight. Sunset will be in "
                                            : "It is twilight. Sunrise will be in ") +
               span;
    }
}

} // namespace tarnwake::engine
