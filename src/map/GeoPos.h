#pragma once

#include <cstdint>

namespace tarnwake::map {

// Angles on the chart are whole "globe units": 1 degree = 5,400,000, so one minute of arc
// (a nautical mile) is 90,000 and a yard about 44.4. Integers keep positions exact when
// they are saved, compared and written in scenario files.
inline constexpr std::int64_t kGlobeUnitsPerDegree = 5'400'000;
inline constexpr std::int64_t kGlobeUnitsPerMinute = 90'000;
inline constexpr std::int64_t kGlobeUnitsPerCircle = 360 * kGlobeUnitsPerDegree; // 1,944,000,000
// Longitudes are kept within these bounds (plus or minus 180 degrees, one unit of slack each
// way, so that both 180 E and 180 W can be written).
inline constexpr std::int64_t kMaxLongitude = 972'000'001;
inline constexpr std::int64_t kMinLongitude = -972'000'001;
inline constexpr std::int64_t kMaxLatitude = 90 * kGlobeUnitsPerDegree; // 486,000,000

// A place on the chart: longitude and latitude in globe units (east and north positive) and a
// height, which the game always leaves at 0.
struct TGeoPos {
    std::int32_t lon = 0;
    std::int32_t lat = 0;
    std::int32_t height = 0;

    bool operator==(const TGeoPos&) const = default;
};

// Brings a longitude back into the chart's range after a computation: a whole circle is
// added or taken away until it lies within kMinLongitude..kMaxLongitude.
constexpr std::int32_t WrapLongitude(std::int64_t lon) {
    while (lon > kMaxLongitude) {
        lon -= kGlobeUnitsPerCircle;
    }
    while (lon < kMinLongitude) {
        lon += kGlobeUnitsPerCircle;
    }
    return static_cast<std::int32_t>(lon);
}

// The difference b - a of two longitudes taken the short way round (within half a circle),
// so that a line from 179 E to 179 W is two degrees long, not 358.
constexpr std::int64_t LongitudeStep(std::int64_t a, std::int64_t b) {
    std::int64_t d = b - a;
    while (d > kGlobeUnitsPerCircle / 2) {
        d -= kGlobeUnitsPerCircle;
    }
    while (d < -kGlobeUnitsPerCircle / 2) {
        d += kGlobeUnitsPerCircle;
    }
    return d;
}

} // namespace tarnwake::map
