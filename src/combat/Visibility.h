#pragma once

#include "core/GameClock.h"
#include "designs/ShipTypes.h"
#include "map/GeoPos.h"
#include "map/Geometry.h"

#include <string>

namespace tarnwake::core {
class TRandomGenerator;
}

namespace tarnwake::combat {

class TFightingShip;

// ---- Weather codes, in the order of the environment files.
inline constexpr int kFog = 0;
inline constexpr int kMist = 1;
inline constexpr int kClear = 2;
inline constexpr int kPartlyCloudy = 3;
inline constexpr int kCloudy = 4;
inline constexpr int kOvercast = 5;
inline constexpr int kLightRain = 6;
inline constexpr int kHeavyRain = 7;
inline constexpr int kWeatherCount = 8;

// Fog, mist and rain: the weather in which ranges waver and lookouts struggle.
constexpr bool IsThickWeather(int weather) {
    return weather == kFog || weather == kMist || weather == kLightRain || weather == kHeavyRain;
}

// ---- The light where a ship is (her LightState).
inline constexpr int kLightDay = 1;
inline constexpr int kLightNight = 2;
inline constexpr int kLightDusk = 3; // twilight

// The point of the globe with the sun overhead at `clock`: a mean sun (no equation of time)
// that stands over Greenwich at noon of the game clock, with the declination of the season.
struct TSunPoint {
    double LatitudeDegrees = 0.0;
    double LongitudeDegrees = 0.0;
    // The unit vector from the centre of the Earth towards it.
    double X = 0.0;
    double Y = 0.0;
    double Z = 0.0;
};
TSunPoint SubSolarPoint(core::TDateTime clock);

// Day, night or twilight at a place: the sun above the horizon is day, no more than six degrees
// below it is twilight.
int LightCondition(const map::TGeoPos& where, core::TDateTime clock);
// The same for a place already worked out on the sphere, against a sun point already placed,
// for a pass over many ships at one time.
int LightCondition(const map::TSpherePoint& where, const TSunPoint& sun);

// ---- How far a ship can be seen.

// The day and night sighting ranges of the moment, in yards.
struct TSightingRanges {
    int Day = 0;
    int Night = 0;
    // Twilight: halfway between.
    int Mean() const { return (Day + Night) / 2; }
};

// The range for the light at the ship before the weather's jitter and its size: by night and in
// twilight a ship's bow wave and wake show farther the faster it goes.
int LightVisibility(int light, const TSightingRanges& ranges, int speedKnots);

// How much of the range a ship's size allows, in tenths: small ships are seen later, and a
// coastal battery's flashes and lights stand out at night.
int SizeFactor(designs::TShipType type, int light);

// The finished range: a ship whose guns flashed last minute is seen at the full range whatever
// its size.
int ScaledVisibility(int range, designs::TShipType type, int light, bool firedLastMinute);

// In fog, mist and rain the range wavers by up to 500 yards either way; in other weather nothing
// is drawn.
inline constexpr int kMostJitterYards = 500;
int VisibilityJitter(int weather, core::TRandomGenerator& random);

// How much a ship's funnel smoke hides, per trail point across a line of sight: coal-fired
// big ships the most; merchant cruisers and batteries none worth counting.
int FunnelSmokeWeight(designs::TShipType type);

// ---- What the enemy makes of a ship.

// The type the enemy now believes a ship to be, from what it believed (`identified`, empty when
// nothing), what its division flagship is believed to be (`flagshipIdentified`), the ship's true
// type and displacement, and the year (battle cruisers did not exist before 1907, so nobody
// reports one).
std::string IdentifyType(const std::string& identified, const std::string& flagshipIdentified,
                         designs::TShipType trueType, int displacement, int year,
                         core::TRandomGenerator& random);

// The class name the enemy now reports for a ship: its name as the enemy knows it, or now and
// then the class it is mistaken for, unless the enemy has already named it rightly.
std::string IdentifyClass(const std::string& reported, const std::string& enemyClassName,
                          const std::string& misidentifiedClassName,
                          core::TRandomGenerator& random);

} // namespace tarnwake::combat
