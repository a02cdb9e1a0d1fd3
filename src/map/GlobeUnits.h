#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

namespace tarnwake::map {

// The units sizes and distances are given in. The order is fixed: layer files store a unit
// as its number in this list.
enum class TGlobeUnitTypes : std::uint8_t {
    Degree,
    Minute,
    NauticalMile,
    Kilometer,
    Mile,
    Second,
    Third,
    Hundreth,
    Thousanth,
    Meter,
    CentiMeter,
    Fathom,
    Yard,
    Foot,
    Inch,
    GlobeUnit,
    Pixel,
};

inline constexpr int kGlobeUnitTypeCount = 17;

// The unit with this number, if there is one.
std::optional<TGlobeUnitTypes> GlobeUnitFromNumber(int number);

// How many globe units make one of the unit. A pixel has no fixed size (it depends on the
// zoom and only the chart view can convert it), so its factor is 0.
double GlobeUnitFactor(TGlobeUnitTypes unit);
// What the chart prints after a value in the unit ("NM", "YD"...).
std::string_view GlobeUnitAbbreviation(TGlobeUnitTypes unit);
std::string_view GlobeUnitName(TGlobeUnitTypes unit);

// A globe-unit value as a real number of the unit: v / factor. Pixels answer 0.
double ToUnits(std::int64_t value, TGlobeUnitTypes unit);
// A real number of the unit as whole globe units, rounded half to even. Pixels answer 0.
std::int64_t FromUnits(double value, TGlobeUnitTypes unit);

// The conversions every range uses: the game measures ranges in yards.
inline constexpr double kGlobeUnitsPerYard = 44.40789479527355;
inline constexpr double kGlobeUnitsPerNauticalMile = 90'000.0;

} // namespace tarnwake::map
