#include "combat/Visibility.h"

#include "core/Random.h"
#include "map/GlobeUnits.h"

#include <array>
#include <cmath>
#include <numbers>
#include <span>

namespace tarnwake::combat {

using designs::TShipType;

namespace {

constexpr double kPi = std::numbers::pi;
constexpr double kDegrees = 180.0 / kPi;
// The mean tropical year, and the tangent of the obliquity of the ecliptic (23.44 degrees).
constexpr double kTropicalYear = 365.24225;
constexpr double kTanObliquity = 0.4333823;
// The sun turns a quarter of an arc-minute a second: 21,600 arc-minutes in a day.
constexpr double kArcMinutesPerSecond = 0.25;
constexpr long long kArcMinutesPerCircle = 21600;
// Twilight lasts while the sun is no more than six degrees below the horizon; the rule takes
// the sine of that angle as pi/30.
constexpr double kTwilightDot = -kPi / 30.0;

// The speeds at which a ship's wake shows farther in the dark, and by how much.
constexpr int kWakeSpeed = 18;
constexpr int kBigWakeSpeed = 23;
constexpr int kWakeYards = 300;

constexpr int kJitterSteps = 3;

struct TUnitVector {
    double x = 0.0;
    double y = 0.0;
    double z = 0.0;
};

TUnitVector FromDegrees(double latitude, double longitude) {
    const double phi = latitude / kDegrees;
    const double lambda = longitude / kDegrees;
    return {std::cos(phi) * std::cos(lambda), std::cos(phi) * std::sin(lambda), std::sin(phi)};
}

// ---- Type identification: what each true type may be taken for, by the roll r (0..99).
struct TMistake {
    int From = 0; // r from .. to, inclusive
    int To = 0;
    const char* Code = "";
};

constexpr std::array kBattleshipMistakes{TMistake{0, 20, "BC"}, TMistake{21, 25, "CA"},
                                         TMistake{26, 30, "B"}};
constexpr std::array kBattleCruiserMistakes{TMistake{0, 20, "BB"}, TMistake{21, 25, "CA"},
                                            TMistake{26, 30, "B"}};
constexpr std::array kPreDreadnoughtMistakes{TMistake{0, 10, "BB"}, TMistake{11, 20, "CA"},
                                             TMistake{21, 30, "BC"}};
constexpr std::array kArmouredCruiserMistakes{TMistake{0, 20, "B"}, TMistake{21, 25, "BC"},
                                              TMistake{26, 30, "BB"}};
constexpr std::array kLightCruiserMistakes{TMistake{0, 14, "CA"}, TMistake{15, 28, "DD"},
                                           TMistake{29, 29, "B"}, TMistake{30, 30, "BB"}};
constexpr std::array kMerchantCruiserMistakes{TMistake{0, 26, "TR"}, TMistake{27, 30, "AV"}};
constexpr std::array kDestroyerMistakes{TMistake{0, 24, "CL"}, TMistake{25, 26, "CA"},
                                        TMistake{27, 30, "MS"}};
constexpr std::array kTransportMistakes{TMistake{0, 20, "AMC"}, TMistake{21, 30, "AV"}};
constexpr std::array kSeaplaneCarrierMistakes{TMistake{0, 15, "TR"}, TMistake{26, 30, "AMC"}};

std::span<const TMistake> MistakesFor(TShipType type) {
    switch (type) {
    case TShipType::BB:
        return kBattleshipMistakes;
    case TShipType::BC:
        return kBattleCruiserMistakes;
    case TShipType::B:
        return kPreDreadnoughtMistakes;
    case TShipType::CA:
        return kArmouredCruiserMistakes;
    case TShipType::CL:
        return kLightCruiserMistakes;
    case TShipType::AMC:
        return kMerchantCruiserMistakes;
    case TShipType::DD:
        return kDestroyerMistakes;
    case TShipType::TR:
        return kTransportMistakes;
    case TShipType::AV:
        return kSeaplaneCarrierMistakes;
    default:
        return {};
    }
}

// Minesweepers are taken for destroyers, and the bigger ones for light cruisers.
constexpr int kSweeperAsDestroyerChance = 31;
constexpr int kSweeperAsCruiserChance = 30;
constexpr int kSweeperCruiserTons = 800;

constexpr int kKeepChance = 90;
constexpr int kKeepMistakeChance = 85;
constexpr int kFollowFlagshipChance = 50;
constexpr int kFirstBattleCruiserYear = 1907;
constexpr int kMisidentifyClassChance = 25;

} // namespace

TSunPoint SubSolarPoint(core::TDateTime clock) {
    const core::TDateParts parts = core::DecodeDateTime(clock);
    const long long seconds = parts.hour * 3600LL + parts.minute * 60LL + parts.second;
    const long long m =
        std::llround(static_cast<double>(seconds) * kArcMinutesPerSecond) % kArcMinutesPerCircle;
    const double days = std::round(core::EncodeDateTime(parts.year, parts.month, parts.day) -
                                   core::EncodeDateTime(parts.year - 1, 12, 21));
    const double declination =
        std::atan(std::cos(2 * kPi * days / kTropicalYear) * kTanObliquity) * kDegrees;
    TSunPoint sun{-declination, 180.0 - static_cast<double>(m) / 60.0};
    const TUnitVector v = FromDegrees(sun.LatitudeDegrees, sun.LongitudeDegrees);
    sun.X = v.x;
    sun.Y = v.y;
    sun.Z = v.z;
    return sun;
}

int LightCondition(const map::TSpherePoint& where, const TSunPoint& sun) {
    const double dot = where.X * sun.X + where.Y * sun.Y + where.Z * sun.Z;
    if (dot > 0.0) {
        return kLightDay;
    }
    return dot >= kTwilightDot ? kLightDusk : kLightNight;
}

int LightCondition(const map::TGeoPos& where, core::TDateTime clock) {
    return LightCondition(map::SpherePoint(where), SubSolarPoint(clock));
}

int LightVisibility(int light, const TSightingRanges& ranges, int speedKnots) {
    if (light == kLightDay) {
        return ranges.Day;
    }
    int range = light == kLightNight ? ranges.Night : ranges.Mean();
    if (speedKnots > kWakeSpeed) {
        range += kWakeYards;
    }
    if (speedKnots > kBigWakeSpeed) {
        range += kWakeYards;
    }
    return range;
}

int SizeFactor(TShipType type, int light) {
    switch (type) {
    case TShipType::CL:
        return 9;
    case TShipType::DD:
    case TShipType::MS:
        return 8;
    case TShipType::LT:
        return light == kLightNight ? 12 : 10;
    default:
        return 10;
    }
}

int ScaledVisibility(int range, TShipType type, int light, bool firedLastMinute) {
    return firedLastMinute ? range : range * SizeFactor(type, light) / 10;
}

int FunnelSmokeWeight(TShipType type) {
    switch (type) {
    case TShipType::CL:
        return 3;
    case TShipType::DD:
    case TShipType::MS:
    case TShipType::TR:
    case TShipType::AV:
        return 2;
    case TShipType::AMC:
    case TShipType::LT:
        return 0;
    default:
        return 4;
    }
}

int VisibilityJitter(int weather, core::TRandomGenerator& random) {
    if (!IsThickWeather(weather)) {
        return 0;
    }
    return kMostJitterYards * random.Random(kJitterSteps) - kMostJitterYards;
}

std::string IdentifyType(const std::string& identified, const std::string& flagshipIdentified,
                         TShipType trueType, int displacement, int year,
                         core::TRandomGenerator& random) {
    const std::string trueCode = designs::TypeCode(trueType);
    std::string result = identified;
    const auto decide = [&]() -> std::string {
        if (!identified.empty()) {
            if (random.Random(100) < kKeepChance) {
                return identified;
            }
            if (identified != trueCode && random.Random(100) < kKeepMistakeChance) {
                return identified;
            }
        }
        if (!flagshipIdentified.empty() && random.Random(100) < kFollowFlagshipChance) {
            return flagshipIdentified;
        }
        if (identified == trueCode && random.Random(100) < kKeepChance) {
            return identified;
        }
        if (trueType == TShipType::MS) {
            std::string taken = identified;
            if (random.Random(100) < kSweeperAsDestroyerChance) {
                taken = "DD";
            }
            if (displacement > kSweeperCruiserTons &&
                random.Random(100) < kSweeperAsCruiserChance) {
                taken = "CL";
            }
            return taken;
        }
        const std::span<const TMistake> mistakes = MistakesFor(trueType);
        if (mistakes.empty()) {
            return identified;
        }
        const int r = random.Random(100);
        for (const TMistake& m : mistakes) {
            if (r >= m.From && r <= m.To) {
                return m.Code;
            }
        }
        return identified;
    };
    result = decide();
    if (year < kFirstBattleCruiserYear && result == "BC" && trueType != TShipType::BC) {
        result = random.Random(100) >= 50 ? "CA" : "B";
    }
    if (result.empty()) {
        result = trueCode;
    }
    return result;
}

std::string IdentifyClass(const std::string& reported, const std::string& enemyClassName,
                          const std::string& misidentifiedClassName,
                          core::TRandomGenerator& random) {
    if (random.Random(100) < kMisidentifyClassChance && reported != enemyClassName) {
        return misidentifiedClassName;
    }
    return enemyClassName;
}

} // namespace tarnwake::combat
