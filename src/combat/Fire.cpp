#include "combat/Fire.h"

#include "combat/FightingShip.h"
#include "core/Random.h"
#include "core/Rounding.h"

#include <algorithm>

namespace tarnwake::combat {

using designs::TShipType;

namespace {

constexpr int kFireBaseCapital = 3;
constexpr int kFireBaseCruiser = 8;
constexpr int kFireBaseMerchant = 14;
constexpr int kFireBaseCarrier = 18;
constexpr int kFireBaseOther = 4;
constexpr int kUpperWorksWrecked = 50; // percent lost
constexpr int kUpperWorksGutted = 80;

// A minute's fire fighting is a chance in five: the rest of the time the fire just burns.
constexpr int kFireFightingChance = 20;
// Beyond this much of her upper works burnt out, a ship ablaze from end to end is given up.
constexpr int kAbandonUpperWorks = 60;
// An abandoned hulk burns for an hour or two before she goes down.
constexpr int kAbandonedSinkingMinutes = 60;

constexpr const char* kFireReduced = "Fire reduced by damage control";
constexpr const char* kFireExtinguished = "Fire extinguished";
constexpr const char* kFireSpreads = "Fire spreads";
constexpr const char* kAbandoned = "Fires raging out of control! Ship abandoned!";

} // namespace

int FireBase(const TFightingShip& ship) {
    int base = kFireBaseOther;
    if (designs::IsOneOf(ship.ShipType, {TShipType::BB, TShipType::BC})) {
        base = kFireBaseCapital;
    } else if (designs::IsOneOf(ship.ShipType, {TShipType::B, TShipType::CA})) {
        base = kFireBaseCruiser;
    } else if (designs::IsOneOf(ship.ShipType, {TShipType::AMC, TShipType::TR})) {
        base = kFireBaseMerchant;
    } else if (ship.ShipType == TShipType::AV) {
        base = kFireBaseCarrier;
    }
    const int s = ship.SuperstructurePercentage();
    if (s > kUpperWorksWrecked) {
        base = static_cast<int>(core::RoundRatio(base * 3, 2));
        if (s > kUpperWorksGutted) {
            base *= 2;
        }
    }
    return base;
}

std::string StartFire(TFightingShip& ship, int calibre, core::TRandomGenerator& random) {
    // Lighter shells set lighter ships alight more readily than they would a battleship.
    constexpr int kLightShell = 8;
    constexpr int kSmallestShell = 3;
    int t = calibre + 3;
    if (designs::TypeIndex(ship.ShipType) >= designs::TypeIndex(TShipType::CA) &&
        calibre < kLightShell) {
        t = calibre + 4;
    }
    if (calibre == kSmallestShell) {
        t = 4;
    }
    const int s = ship.SuperstructurePercentage();
    if (random.Random(20) >= t || random.Random(150) >= s + 30 ||
        random.Random(100 - calibre) >= 2 * FireBase(ship) + 4) {
        return {};
    }
    if (ship.FireLevel == 0) {
        ship.FireLevel = 1;
        // A crew that had its last fire under control may still have the hoses rigged.
        if (ship.FT != -1 || random.Random(100) < 50) {
            ship.FT = 0;
        }
        return "Fire started";
    }
    if (random.Random(150) < s) {
        ship.FireLevel = std::min(ship.FireLevel + 1, kMaxFireLevel);
    }
    return {};
}

TFireResult FightFire(TFightingShip& ship, const TFireConditions& conditions,
                      core::TRandomGenerator& random) {
    TFireResult result;
    if (ship.FireLevel <= 0 || random.Random(100) >= kFireFightingChance) {
        return result;
    }
    const int dc = conditions.DamageControl;
    const int cq = ship.CrewQuality;
    const auto s = [&ship] { return ship.SuperstructurePercentage(); };
    const auto log = [&](const char* text) {
        result.Text = text;
        ship.Hits.push_back(conditions.Time + " " + text);
    };
    const auto reduced = [&ship] { return ship.FireLevel == 0 ? kFireExtinguished : kFireReduced; };

    if (random.Random(100) < (dc + cq - ship.FT) * 5 + 20) {
        ship.FireLevel = std::max(ship.FireLevel - 1, 0);
        if (random.Random(100) < 50 && random.Random(100) > s()) {
            ship.FireLevel = std::max(ship.FireLevel - 1, 0);
        }
        if (random.Random(20) == 1) {
            ship.FT = -1;
        }
        log(reduced());
    } else if (ship.FireLevel < kMaxFireLevel && ship.FT > 0 && random.Random(100) < 20 &&
               random.Random(100) < s() && ship.FireLevel < random.Random(30)) {
        ++ship.FireLevel;
        log(kFireSpreads);
    } else if (random.Random(100) < ship.FireLevel - 5 * ship.FT + 20 && random.Random(100) > s()) {
        // Old ships' fire mains and pumps are less to be relied on.
        if (!conditions.Obsolete || random.Random(100) <= 69) {
            --ship.FireLevel;
            log(reduced());
        }
    } else if (ship.FireLevel < kMaxFireLevel && ship.FT >= 0 &&
               random.Random(100) > (dc + cq) * 5 - FireBase(ship) + 70) {
        ++ship.FireLevel;
        log(kFireSpreads);
    }

    if (conditions.Unmolested && ship.FireLevel > 0 && random.Random(100) < 3 * dc + 6) {
        --ship.FireLevel;
        if (random.Random(10) == 1) {
            ship.FT = -1;
        }
        log(reduced());
    }
    if (random.Random(10) < ship.FireLevel) {
        const int burnt = static_cast<int>(core::Round(ship.MaxSuperstructurePoints / 100.0)) +
                          2 * ship.FireLevel + 10;
        ship.CurrentSuperstructurePoints = std::max(ship.CurrentSuperstructurePoints - burnt, 0);
    }
    // A crew abandons ship once; a ship already going down has nobody left to abandon her.
    if (ship.FireLevel == kMaxFireLevel && s() > kAbandonUpperWorks && !ship.Abandoned &&
        !ship.IsSinkingOrSunk()) {
        log(kAbandoned);
        ship.Sinking = kAbandonedSinkingMinutes + random.Random(kAbandonedSinkingMinutes);
        ship.CurrentSpeed = 0;
        ship.Abandoned = true;
        result.Abandoned = true;
    }
    return result;
}

} // namespace tarnwake::combat
