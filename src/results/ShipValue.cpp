#include "results/ShipValue.h"

#include "combat/FightingShip.h"
#include "core/Rounding.h"

#include <algorithm>
#include <cstdint>

namespace tarnwake::results {

using designs::TShipType;

namespace {

// What the type adds to the displacement before both are halved.
constexpr int kCapitalBonus = 2000; // BB, BC
constexpr int kOlderBonus = 500;    // B, CA
constexpr int kLightCruiserBonus = 1000;
constexpr int kDestroyerBonus = 100;
// Older battleships and armoured cruisers count seven tenths; transports and seaplane
// carriers are worth something to the enemy whatever their size.
constexpr int kOlderTenths = 7;
constexpr int kBatteryDivisor = 6;
constexpr int kTransportExtra = 500;
constexpr int kCarrierExtra = 1000;
// Speed above 21 knots adds a fiftieth of the value for each knot above 20, up to 28.
constexpr int kFastAbove = 21;
constexpr int kSpeedBase = 20;
constexpr int kSpeedCap = 28;
constexpr int kSpeedShare = 50;
// Protection: the belt (whole inches, halves rounded to even) moves the value from 98 to 103
// percent.
constexpr int kThinBeltPercent = 98;
constexpr int kThinBeltInches = 8;
constexpr int kThickBeltInches = 13;
constexpr int kBeltPercentBase = 90;
constexpr int kOtherBeltPercent = 100;
// Firepower: the cube of the calibre above two inches, main guns counting double; each tube
// 50 for the big ships, 100 for the small.
constexpr int kCalibreBase = 2;
constexpr int kMainGunWeight = 4;
constexpr int kSecondaryGunWeight = 2;
constexpr int kBigShipTube = 50;
constexpr int kSmallShipTube = 100;
constexpr int kFirepowerDivisor = 6;
// The value lies between a tenth and twice the displacement.
constexpr int kLeastShare = 10;
constexpr int kMostTimes = 2;
// A ship sinking or sunk gives the enemy four times its value.
constexpr int kLossTimes = 4;

int TypeBonus(TShipType type) {
    switch (type) {
    case TShipType::BB:
    case TShipType::BC:
        return kCapitalBonus;
    case TShipType::B:
    case TShipType::CA:
        return kOlderBonus;
    case TShipType::CL:
        return kLightCruiserBonus;
    case TShipType::DD:
        return kDestroyerBonus;
    default:
        return 0;
    }
}

std::int64_t ByType(TShipType type, std::int64_t c) {
    switch (type) {
    case TShipType::AMC:
        return c / 2;
    case TShipType::B:
    case TShipType::CA:
        return c * kOlderTenths / 10;
    case TShipType::LT:
        return c / kBatteryDivisor;
    case TShipType::TR:
        return c + kTransportExtra;
    case TShipType::AV:
        return c / 2 + kCarrierExtra;
    default:
        return c;
    }
}

int ProtectionPercent(const designs::Tship& design) {
    const std::int64_t k = core::Round(static_cast<double>(design.B) * 2) / 2;
    int belt = kOtherBeltPercent;
    if (k >= 0 && k <= kThinBeltInches) {
        belt = kThinBeltPercent;
    } else if (k > kThinBeltInches && k <= kThickBeltInches) {
        belt = kBeltPercentBase + static_cast<int>(k);
    }
    return design.TorpedoDefense + belt;
}

std::int64_t Cube(std::int64_t x) {
    return x * x * x;
}

std::int64_t Firepower(const designs::Tship& design) {
    std::int64_t guns = 0;
    for (const auto& turret : design.Turrets) {
        guns += turret.Guns;
    }
    std::int64_t tubes = 0;
    for (const auto& mount : design.TorpedoMounts) {
        tubes += mount.Tubes;
    }
    const bool big = designs::TypeIndex(design.ShipType) <= designs::TypeIndex(TShipType::CA);
    const std::int64_t main = design.Calibre[designs::kMainGuns];
    const std::int64_t secondary = design.Calibre[designs::kSecondaryGuns];
    return (guns * Cube(main - kCalibreBase) * kMainGunWeight +
            Cube(secondary - kCalibreBase) * design.SecNo * kSecondaryGunWeight +
            tubes * (big ? kBigShipTube : kSmallShipTube)) /
           kFirepowerDivisor;
}

} // namespace

int ShipValue(const designs::Tship& design) {
    const std::int64_t displacement = design.Displacement;
    std::int64_t c = ByType(design.ShipType, (TypeBonus(design.ShipType) + displacement) / 2);
    if (design.Speed > kFastAbove) {
        c += (std::min(design.Speed, kSpeedCap) - kSpeedBase) * (c / kSpeedShare);
    }
    std::int64_t value = core::RoundRatio(c * ProtectionPercent(design), 100) + Firepower(design);
    value = std::min(value, kMostTimes * displacement);
    value = std::max(value, displacement / kLeastShare);
    return static_cast<int>(value);
}

int CurrentValue(const combat::TFightingShip& ship) {
    const std::int64_t intact = 100 - ship.DamagePercentage();
    return static_cast<int>(core::RoundRatio(intact * ShipValue(ship), 100));
}

int DamageValue(const combat::TFightingShip& ship) {
    const int value = ShipValue(ship);
    return ship.IsSinkingOrSunk() ? kLossTimes * value : value - CurrentValue(ship);
}

} // namespace tarnwake::results
