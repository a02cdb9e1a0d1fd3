#include "map/GlobeUnits.h"

#include "core/Rounding.h"

#include <array>

namespace tarnwake::map {

namespace {

struct TUnitRow {
    std::string_view name;
    double factor;
    std::string_view abbreviation;
};

// The nautical mile is one minute of arc and 6,080 feet; the land mile 5,280 feet. These
// are the factors ranges and chart sizes have always been converted with, kept to the last
// digit so that every range comes out the same.
constexpr std::array<TUnitRow, kGlobeUnitTypeCount> kUnits = {{
    {"Degree", 5'400'000.0, "D"},
    {"Minute", 90'000.0, "MN"},
    {"NauticalMile", 90'000.0, "NM"},
    {"Kilometer", 48'596.11231101512, "KM"},
    {"Mile", 78'157.89483968144, "MI"},
    {"Second", 1'500.0, "S"},
    {"Third", 250.0, "T"},
    {"Hundreth", 15.0, "H"},
    {"Thousanth", 1.0, "T"},
    {"Meter", 48.59611231101512, "M"},
    {"CentiMeter", 0.48596112311015116, "CM"},
    {"Fathom", 88.8157895905471, "F"},
    {"Yard", kGlobeUnitsPerYard, "YD"},
    {"Foot", 14.802631598424515, "FT"},
    {"Inch", 1.233552633202043, "IN"},
    {"GlobeUnit", 1.0, "GU"},
    {"Pixel", 0.0, "PI"},
}};

const TUnitRow& Row(TGlobeUnitTypes unit) {
    const auto index = static_cast<std::size_t>(unit);
    return kUnits[index < kUnits.size() ? index
                                        : static_cast<std::size_t>(TGlobeUnitTypes::GlobeUnit)];
}

} // namespace

std::optional<TGlobeUnitTypes> GlobeUnitFromNumber(int number) {
    if (number < 0 || number >= kGlobeUnitTypeCount) {
        return std::nullopt;
    }
    return static_cast<TGlobeUnitTypes>(number);
}

double GlobeUnitFactor(TGlobeUnitTypes unit) {
    return Row(unit).factor;
}

std::string_view GlobeUnitAbbreviation(TGlobeUnitTypes unit) {
    return Row(unit).abbreviation;
}

std::string_view GlobeUnitName(TGlobeUnitTypes unit) {
    return Row(unit).name;
}

double ToUnits(std::int64_t value, TGlobeUnitTypes unit) {
    const double factor = GlobeUnitFactor(unit);
    if (factor == 0.0) {
        return 0.0;
    }
    return static_cast<double>(value) / factor;
}

std::int64_t FromUnits(double value, TGlobeUnitTypes unit) {
    return core::Round(value * GlobeUnitFactor(unit));
}

} // namespace tarnwake::map
