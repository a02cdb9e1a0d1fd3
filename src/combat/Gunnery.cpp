#include "combat/Gunnery.h"

#include "combat/FightingShip.h"
#include "combat/Visibility.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "designs/NationsTable.h"
#include "designs/ShipTypes.h"
#include "map/Geometry.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <initializer_list>

namespace tarnwake::combat {

using core::Round;
using designs::kMainGuns;
using designs::kSecondaryGuns;
using designs::kTertiaryGuns;
using designs::TShipType;

namespace {

// ---- The hit chance
constexpr int kYardsPerThousand = 1000;
// Range below which the basic chance is not divided further: a ship alongside is not a
// certainty, and a range of 0 must not divide by zero.
constexpr int kMinimumRangeYards = 100;
// Guns before the dreadnought's fire control were ranged by eye: the earlier years shorten the
// effective range by a fifth, the years up to 1912 by a tenth.
constexpr int kEarlyGunneryYear = 1909;
constexpr int kLateGunneryYear = 1912;
constexpr int kGunQualityYards = 300;
constexpr double kModifierUp = 1.1;
constexpr double kModifierDown = 0.9;
constexpr int kSlowTargetKnots = 6;
constexpr int kDuskArc = 45;
constexpr int kGlareArc = 30;
constexpr int kGlareEdgeArc = 45;
constexpr int kEvadingFastTargetKnots = 15;
constexpr int kHitModWarning = 50;
constexpr double kCapFrom = 10.0;
constexpr int kTransportCapYards = 1500;
constexpr int kBigGunsAtDestroyerCalibre = 8;
constexpr int kBigGunsAtDestroyerYards = 6000;
constexpr int kTertiaryLongRangeYards = 5000;
// Hit chances are percentages per round; a hit is Random(1000) <= c x 10.
constexpr int kHitRoll = 1000;

// ---- The rate of fire
constexpr double kMaxRate = 4.0;
constexpr int kMaxRateModifier = 30;
constexpr double kZeroBaseRate = 0.5;
constexpr int kRateBase = -5;
constexpr int kHeavyGunCalibre = 7;
constexpr int kLowAmmoPercent = 30;
constexpr int kHalfAmmoPercent = 50;
constexpr int kLongRangeYards = 10000;

// ---- The salvo
constexpr int kRangingMinutes = 3;
constexpr double kLowChance = 0.5;
constexpr double kRoundsForOneShot = 0.7;
constexpr int kHitsWithoutStraddle = 1; // drawing stops once the count exceeds it
constexpr int kIdentityNightChance = 40;
constexpr int kIdentityNightFighting = 30;
constexpr int kIdentityMistChance = 20;
constexpr int kElectricTurretCalibre = 7;
constexpr int kSplashNear = 200;
constexpr int kSplashSpread = 400;
constexpr int kSplashOver = 155;
constexpr int kSplashShort = -25;
constexpr int kSplashArc = 50;
constexpr int kJamOdds = 600;
constexpr int kJamOddsObsolete = 570;
constexpr int kJamPoorGuns = 50;
constexpr int kJamMinutes = 120;
constexpr int kMaxRoundsPerGun = 5;
constexpr int kMaxGunsBearing = 30;
constexpr int kHeavyHitCalibre = 11;
constexpr int kHeavyHitSeverity = 8;

bool Is(TShipType type, std::initializer_list<TShipType> types) {
    return std::find(types.begin(), types.end(), type) != types.end();
}

bool IsLarge(TShipType type) {
    return Is(type, {TShipType::BB, TShipType::BC, TShipType::B, TShipType::CA});
}

std::string Fixed2(double v) {
    char text[32];
    std::snprintf(text, sizeof text, "%.2f", v);
    return text;
}

// A reason line: "Glare: -40" for m = -4.
std::string Reason(const std::string& what, int m) {
    return what + ": " + std::to_string(m * 10);
}

// The reason lines of a hit chance, made only when someone reads them: the fire phase asks for
// thousands of chances a minute and reads none of their reasons.
class TReport {
public:
    explicit TReport(std::vector<std::string>* lines) : lines_(lines) {}
    void Add(const char* line) {
        if (lines_ != nullptr) {
            lines_->emplace_back(line);
        }
    }
    template <typename TMake> void Add(TMake&& make) {
        if (lines_ != nullptr) {
            lines_->push_back(make());
        }
    }

private:
    std::vector<std::string>* lines_;
};

int Level(int level) {
    return std::clamp(level, kMainGuns, kTertiaryGuns);
}

int SuperstructureLoss(const TFightingShip& ship) {
    if (ship.MaxSuperstructurePoints <= 0) {
        return 0;
    }
    return 100 - static_cast<int>(Round(static_cast<double>(ship.CurrentSuperstructurePoints) /
                                        ship.MaxSuperstructurePoints * 100.0));
}

int OwnTurnHitModifier(int turn) {
    if (turn >= 1 && turn <= 10) {
        return -1;
    }
    if (turn >= 11 && turn <= 20) {
        return -2;
    }
    if (turn >= 21 && turn <= 30) {
        return -4;
    }
    if (turn >= 31 && turn <= 50) {
        return -6;
    }
    return turn >= 51 ? -8 : 0;
}

int TargetTurnHitModifier(int turn) {
    if (turn >= 15 && turn <= 30) {
        return -1;
    }
    if (turn >= 31 && turn <= 60) {
        return -2;
    }
    return turn >= 61 ? -3 : 0;
}

int TypeFiringModifier(TShipType type, int r, std::string& label) {
    if (Is(type, {TShipType::DD, TShipType::MS})) {
        label = "DD firing";
        if (r < 2000) {
            return -2;
        }
        if (r < 3000) {
            return -4;
        }
        return r < 5000 ? -5 : -6;
    }
    if (type == TShipType::CL) {
        label = "CL firing";
        return -2;
    }
    if (type == TShipType::AMC) {
        label = "AMC firing";
        return -3;
    }
    return 0;
}

int RateSeaStateModifier(TShipType type, int level, int w) {
    if (Is(type, {TShipType::DD, TShipType::MS})) {
        switch (w) {
        case 5:
            return -2;
        case 6:
        case 7:
            return -3;
        case 8:
        case 9:
            return -5;
        case 10:
            return -7;
        case 11:
            return -9;
        case 12:
            return -11;
        default:
            return 0;
        }
    }
    if (type == TShipType::CL || level != kMainGuns) {
        switch (w) {
        case 7:
        case 8:
            return -2;
        case 9:
        case 10:
            return -4;
        case 11:
            return -6;
        case 12:
            return -8;
        default:
            return 0;
        }
    }
    switch (w) {
    case 7:
    case 8:
        return -1;
    case 9:
    case 10:
        return -3;
    case 11:
        return -5;
    case 12:
        return -6;
    default:
        return 0;
    }
}

int RateTurnModifier(int turn, int calibre) {
    if (turn <= 10) {
        return -3;
    }
    if (turn <= 20) {
        return -5;
    }
    if (turn <= 30) {
        return 0;
    }
    if (turn <= 40) {
        return -8;
    }
    return calibre > 6 ? -30 : -12;
}

double RangeBand(int k) {
    if (k <= 5) {
        return 1.0;
    }
    if (k <= 7) {
        return 0.8;
    }
    if (k <= 9) {
        return 0.6;
    }
    if (k <= 13) {
        return 0.4;
    }
    return k <= 20 ? 0.2 : 0.0;
}

int GunQualityOf(const TFightingShip& ship, int level) {
    return ship.GunQuality[static_cast<std::size_t>(Level(level))];
}

int MaxRangeOf(const TFightingShip& ship, int level, const TGunneryConditions& conditions) {
    const int calibre = ship.Calibre[static_cast<std::size_t>(Level(level))];
    return ship.GetMaxRange(level, conditions.Tables.MaxRange(calibre));
}

bool WithinFilter(const TFightingShip& ship, int threshold) {
    return designs::TypeIndex(ship.ShipType) <= threshold;
}

// The target slots a ship holding fire empties.
void DropTarget(TFightingShip& ship, const TFightingShip* target) {
    for (TFightingShip** slot :
         {&ship.CurrentTarget, &ship.SecondaryPortTarget, &ship.SecondaryStarboardTarget,
          &ship.TertiaryPortTarget, &ship.TertiaryStarboardTarget}) {
        if (*slot == target) {
            *slot = nullptr;
        }
    }
}

} // namespace

double ApplyModifier(double value, int m) {
    return m > 0 ? value * std::pow(kModifierUp, m) : value * std::pow(kModifierDown, -m);
}

double CapChance(double chance, const TFightingShip& target, int rangeYards) {
    if (chance <= kCapFrom) {
        return chance;
    }
    if (target.ShipType == TShipType::TR && rangeYards < kTransportCapYards) {
        return chance - 5 + 10;
    }
    struct TStep {
        int upTo;
        double cap;
    };
    static constexpr TStep kCaps[] = {{40, 10}, {45, 11}, {50, 12}, {55, 13},
                                      {60, 14}, {65, 15}, {70, 16}, {100, 17}};
    const auto r = Round(chance);
    for (const TStep& step : kCaps) {
        if (r <= step.upTo) {
            return step.cap;
        }
    }
    return chance;
}

int TargetSizeModifier(const TFightingShip& target, int rangeYards) {
    int d = target.Displacement / 1000;
    if (target.ShipType == TShipType::TR) {
        d += 4;
    } else if (target.ShipType == TShipType::AMC) {
        d += 2;
    }
    // Columns: d <= 2, 3..6, 7..9, 10..28, 29..100, 101 and more.
    static constexpr int kTable[3][6] = {
        {-2, -1, 0, 0, 1, 0}, {-3, -1, 0, 0, 1, 0}, {-4, -2, -1, 0, 0, 0}};
    const int row = rangeYards <= 5000 ? 0 : rangeYards <= 8000 ? 1 : 2;
    const int column = d <= 2 ? 0 : d <= 6 ? 1 : d <= 9 ? 2 : d <= 28 ? 3 : d <= 100 ? 4 : 5;
    return kTable[row][column];
}

int FireControlModifier(int level, int r) {
    switch (level) {
    case kFireControlLocal:
        if (r <= 2000) {
            return 0;
        }
        if (r <= 5000) {
            return -1;
        }
        if (r <= 10000) {
            return -2;
        }
        return r <= 100000 ? -3 : -2;
    case kFireControlRangefinder:
        return r <= 4000 ? 0 : r <= 8000 ? -1 : -2;
    case kFireControlCentral:
        return r <= 8000 ? 0 : r <= 14000 ? -1 : -2;
    case kFireControlDirector:
        return 0;
    default:
        // The improved director is rated as the rules have always rated it; the data check
        // warns about designs that use it.
        return -2;
    }
}

int SeaStateHitModifier(TShipType firerType, int w) {
    // Rows: sea states 0..3, 4, 5, 6-7, 8, 9, 10, 11, 12, 13 and above.
    static constexpr int kTable[10][3] = {{0, 0, 0},    {0, 0, 1},  {1, 1, 2}, {2, 3, 4},
                                          {3, 4, 6},    {4, 6, 7},  {6, 7, 9}, {9, 10, 12},
                                          {10, 10, 12}, {0, 10, 12}};
    int row = 0;
    if (w <= 3) {
        row = 0;
    } else if (w <= 5) {
        row = w - 3;
    } else if (w <= 7) {
        row = 3;
    } else if (w <= 12) {
        row = w - 4;
    } else {
        row = 9;
    }
    const int column = Is(firerType, {TShipType::CL, TShipType::AMC})  ? 1
                       : Is(firerType, {TShipType::DD, TShipType::MS}) ? 2
                                                                       : 0;
    return kTable[row][column];
}

double HitChance(const TFightingShip& firer, const TFightingShip& target, int calibre,
                 bool skipRanging, std::vector<std::string>* reportLines, int level,
                 const TFireGeometry& geometry, const TGunneryConditions& conditions) {
    TReport report(reportLines);
    std::int64_t e =
        static_cast<std::int64_t>(conditions.Tables.EffectiveRange(calibre)) * kYardsPerThousand;
    if (e == 0) {
        const std::size_t slot =
            static_cast<std::size_t>(std::clamp(calibre, 0, designs::kMaxCalibre + 1));
        if (!conditions.Warnings.test(slot)) {
            conditions.Warnings.set(slot);
            conditions.Messages.Error("Error in gun data!\nShip: " + firer.Name +
                                      "\nCalibre: " + std::to_string(calibre));
        }
        return 0.0;
    }
    if (conditions.ScenarioYear < kEarlyGunneryYear) {
        e = core::RoundRatio(e * 8, 10);
    } else if (conditions.ScenarioYear <= kLateGunneryYear) {
        e = core::RoundRatio(e * 9, 10);
    }
    const int quality = GunQualityOf(firer, level);
    e += quality > 0 ? kGunQualityYards : quality < 0 ? -kGunQualityYards : 0;

    const int r = std::max(geometry.RangeYards, kMinimumRangeYards);
    double basic = 4.0 * static_cast<double>(e) / r;
    basic *= r < 4000 ? 0.9 : r < 8000 ? 0.8 : 0.7;
    report.Add([&] { return std::string("Target: " + target.Name); });
    report.Add(
        [&] { return std::string("Range: " + std::to_string(geometry.RangeYards) + " yards"); });
    report.Add([&] { return std::string("Basic hit chance: " + Fixed2(basic)); });

    int m = firer.CrewQuality;
    report.Add([&] { return std::string(Reason("Crew quality", firer.CrewQuality)); });
    const int size = TargetSizeModifier(target, r);
    m += size;
    report.Add([&] { return std::string(Reason("Target size", size)); });
    if (target.CurrentSpeed < kSlowTargetKnots) {
        m += 1;
        report.Add([&] { return std::string("Target low speed: + 10"); });
    }
    const int fireControl = FireControlModifier(firer.FireControl, r);
    m += fireControl;
    report.Add([&] {
        return std::string(Reason("Fire control", fireControl) + " (" +
                           designs::FireControlName(firer.FireControl) + ")");
    });
    const int national = conditions.FirerNation.GunneryCharacteristic + conditions.SideGunneryBonus;
    if (conditions.FirerNation.GunneryCharacteristic != 0 || conditions.SideGunneryBonus != 0) {
        m += national;
        report.Add([&] { return std::string(Reason("National characteristic", national)); });
    }
    if (firer.LightState == 3 &&
        map::CourseDifference(geometry.TrueBearing, map::AddBearing(geometry.LightBearing, 180)) <
            kDuskArc) {
        m -= 2;
        report.Add("Target in dusk: -20");
    }
    if (geometry.LowSun && firer.LightState == 1 &&
        (conditions.Weather == 2 || conditions.Weather == 3)) {
        const int difference = map::CourseDifference(geometry.LightBearing, geometry.TrueBearing);
        if (difference < kGlareArc) {
            m -= 4;
            report.Add("Glare: -40");
        } else if (difference < kGlareEdgeArc) {
            m -= 2;
            report.Add("Glare: -20");
        }
    }
    if (!skipRanging && level == kMainGuns && firer.RangingMinutes > 0) {
        const bool small = Is(firer.ShipType, {TShipType::DD, TShipType::MS});
        const int ranging = r < (small ? 4000 : 5000) ? -3 : -5;
        m += ranging;
        report.Add([&] { return std::string(Reason("Ranging", ranging)); });
    }
    if (level == kSecondaryGuns || level == kTertiaryGuns) {
        int battery = -level;
        if (level == kTertiaryGuns && r > kTertiaryLongRangeYards) {
            battery -= 2;
        }
        m += battery;
        report.Add([&] {
            return std::string(Reason(
                level == kSecondaryGuns ? "Secondary battery" : "Tertiary battery", battery));
        });
    }
    const double v = geometry.TargetVisibility;
    if (r > 0.9 * v) {
        m -= 4;
        report.Add("Near sighting range: -40");
    } else if (r > 0.8 * v) {
        m -= 2;
        report.Add("Near sighting range: -20");
    }
    if (const int k = geometry.ShipsInBetween; k > 0) {
        m -= k + 1;
        report.Add([&] {
            return std::string(std::to_string(k) +
                               " ships fouling the range: " + std::to_string((k + 1) * -10));
        });
    }
    if (const int turn = OwnTurnHitModifier(std::abs(firer.Turn)); turn != 0) {
        m += turn;
        report.Add([&] { return std::string(Reason("Ship turning", turn)); });
    }
    const int targetTurn = std::abs(target.Turn);
    if (const int turn = TargetTurnHitModifier(targetTurn); turn != 0) {
        m += turn;
        report.Add([&] { return std::string(Reason("Target turning", turn)); });
    }
    if (target.Evading && target.Speed > kEvadingFastTargetKnots) {
        const int evading = targetTurn < 61 ? -3 : -2;
        m += evading;
        report.Add([&] { return std::string(Reason("Target evading", evading)); });
    }
    if (firer.Evading) {
        m -= 4;
        report.Add("Firing ship evading: -40");
    }
    if (target.ShipsFiringAtMe > 1) {
        const int same = std::min(target.ShipsFiringAtMe, 3);
        m -= same;
        report.Add([&] {
            return std::string(std::to_string(target.ShipsFiringAtMe) +
                               " ships firing at same target: -" + std::to_string(same) + "0");
        });
    }
    if (firer.CalibreAtMeLastTurn > 9 ||
        (firer.CalibreAtMeLastTurn > 4 && !IsLarge(firer.ShipType))) {
        m -= 2;
        report.Add("Under fire: -20");
    } else if (firer.CalibreAtMeLastTurn > 0) {
        m -= 1;
        report.Add("Under fire: -10");
    }
    if (target.SightingLevel == kSighted || target.SightingLevel == kTypeIdentified) {
        const int known = target.SightingLevel == kSighted ? -4 : -2;
        m += known;
        report.Add([&] { return std::string(Reason("Target sighting level", known)); });
    }
    if (target.ShipType == TShipType::DD && calibre > kBigGunsAtDestroyerCalibre) {
        const int big = r < kBigGunsAtDestroyerYards ? -4 : -2;
        m += big;
        report.Add([&] { return std::string(Reason("Big guns firing at DD", big)); });
    }
    if (const int s = geometry.SmokeInterference; s > 0) {
        m -= s;
        report.Add([&] { return std::string("Smoke interference: -" + std::to_string(s * 10)); });
    }
    if (const int d = SuperstructureLoss(firer); d > 20) {
        m -= d / 20;
        report.Add(
            [&] { return std::string("Firing ship damage: -" + std::to_string(d / 20) + "0"); });
    }
    std::string label;
    if (const int typeModifier = TypeFiringModifier(firer.ShipType, r, label); typeModifier != 0) {
        m += typeModifier;
        report.Add([&] { return std::string(Reason(label, typeModifier)); });
    }
    if (const int sea = SeaStateHitModifier(firer.ShipType, conditions.SeaState); sea > 0) {
        m -= sea;
        report.Add([&] { return std::string("Sea state: -" + std::to_string(sea * 10)); });
    }
    if (target.LightState == 2) {
        m -= 1;
        report.Add("Night firing: - 10");
        if (const int night = conditions.FirerNation.NightFighting; night > 0) {
            m += night;
            report.Add([&] {
                return std::string("Nightfighting ability: +" + std::to_string(night * 10));
            });
        }
    }
    switch (conditions.Weather) {
    case 0:
    case 1:
        m -= 3;
        report.Add("Firing in mist: - 30");
        break;
    case 6:
        m -= 2;
        report.Add("Rain: - 20");
        break;
    case 7:
        m -= 3;
        report.Add("Rain: - 30");
        break;
    default:
        break;
    }
    if (m > kHitModWarning) {
        conditions.Messages.Warn("Warning! HitMod > 50! HitMod: " + std::to_string(m) +
                                 "\nShip: " + firer.Name + " Target: " + target.Name);
    }
    const double chance = CapChance(ApplyModifier(basic, m), target, r);
    report.Add([&] { return std::string("Final hit chance: " + Fixed2(chance)); });
    return chance;
}

double RateOfFire(const TFightingShip& firer, int calibre, const TFightingShip& target,
                  bool poorVisibility, int level, const TFireGeometry& geometry,
                  const TGunneryConditions& conditions, core::TRandomGenerator& random) {
    const int r = geometry.RangeYards;
    double base = RangeBand(r / kYardsPerThousand) + conditions.Tables.RateOfFire(calibre);
    if (base == 0.0) {
        base = kZeroBaseRate;
    }
    int m = kRateBase;
    if (firer.Mines > 0) {
        m -= firer.ShipType == TShipType::DD ? 3 : 2;
    }
    if (poorVisibility) {
        m -= random.Random(3);
    }
    m -= std::max(geometry.SmokeInterference, 0);
    m -= random.Random(2);
    m += firer.CrewQuality;
    if (geometry.ShipsInBetween > 0) {
        m -= geometry.ShipsInBetween + 1;
    }
    if (level == kMainGuns && firer.RangingMinutes > 0) {
        m -= 5;
    }
    m += RateTurnModifier(std::abs(firer.Turn), calibre);
    if (firer.ShipsFiringAtMe > 0 &&
        firer.Calibre[kMainGuns] - 6 < firer.BiggestCalibreTargetingMe) {
        m -= 1;
    }
    const int ammo = firer.MainAmmoRemainingPercent();
    if (ammo < kLowAmmoPercent) {
        m -= 2;
    }
    // Short of main ammunition, a big ship keeps its heavy shells for targets worth them.
    if (level == kMainGuns && ammo < kHalfAmmoPercent) {
        m -= 2;
        const bool bigGuns = IsLarge(firer.ShipType) && calibre > kHeavyGunCalibre;
        if (bigGuns && target.ShipType == TShipType::DD) {
            m -= 6;
        } else if (bigGuns && !IsLarge(target.ShipType)) {
            m -= 4;
        }
        if (!IsLarge(target.ShipType) && r > kLongRangeYards) {
            m -= 6;
        }
    }
    if (level == kMainGuns && Is(firer.ShipType, {TShipType::BB, TShipType::BC, TShipType::B}) &&
        Is(target.ShipType, {TShipType::CL, TShipType::DD, TShipType::MS}) &&
        r > MaxRangeOf(firer, kMainGuns, conditions) / 2) {
        m -= 4;
    }
    m -= SuperstructureLoss(firer) / 20;
    if (firer.FireLevel > 2) {
        m -= firer.FireLevel - 1;
    }
    if (const int f = firer.FloodingPercentage(); f > 30) {
        m -= f / 30;
    }
    m += firer.Straddling ? 2 : -2;
    if (GunQualityOf(firer, level) <= -2) {
        m -= 2;
    }
    m += RateSeaStateModifier(firer.ShipType, level, conditions.SeaState);
    if (m > kMaxRateModifier) {
        return 0.0;
    }
    return std::min(m == 0 ? base : ApplyModifier(base, m), kMaxRate);
}

int SideGunsBearing(const TFightingShip& ship, int level, int r) {
    const bool tertiary = level == kTertiaryGuns;
    const bool starboard = r <= 180;
    const int count =
        tertiary ? (starboard ? ship.CurrentTertiariesStarboard : ship.CurrentTertiariesPort)
                 : (starboard ? ship.CurrentSecondariesStarboard : ship.CurrentSecondariesPort);
    const bool broadside = (r >= 45 && r <= 135) || (r >= 225 && r <= 315);
    int eighths = 2;
    if (broadside) {
        eighths = tertiary && count >= 7 ? 7 : 8;
    }
    return static_cast<int>(Round(eighths / 8.0 * count));
}

TSalvo FireGuns(TFightingShip& firer, TFightingShip* target, int level,
                const TFireGeometry& geometry, const TGunneryConditions& conditions,
                core::TRandomGenerator& random, core::TRandomGenerator& cosmetic) {
    TSalvo salvo;
    if (target == nullptr || target->Sunk) {
        return salvo;
    }
    try {
        const auto lv = static_cast<std::size_t>(Level(level));
        const int calibre = firer.Calibre[lv];
        const int r = geometry.RangeYards;
        const bool report = conditions.Report;
        const auto say = [&](std::string text, const TFightingShip* owner) {
            salvo.Messages.push_back({std::move(text), owner});
        };

        if (firer.RoundsFired[lv] >= firer.Ammo[lv] && !firer.Turrets.empty()) {
            if (level == kMainGuns && report && !firer.WarnedOut) {
                firer.WarnedOut = true;
                conditions.Messages.Inform(firer.Name + " is out of main ammo!");
            }
            return salvo;
        }

        salvo.Answer = true;
        bool uncertain = firer.HoldFireUncertain;
        if (!uncertain && target->SightingLevel < kClassIdentified && !target->Lit) {
            if (target->LightState == 2) {
                uncertain = random.Random(100) <
                            kIdentityNightChance -
                                kIdentityNightFighting * conditions.FirerNation.NightFighting;
            }
            if (!uncertain && (conditions.Weather == 0 || conditions.Weather == 1)) {
                uncertain = random.Random(100) < kIdentityMistChance;
            }
        }
        if (uncertain) {
            if (report) {
                say("1" + firer.Name + " holds fire - uncertain identity", &firer);
            }
            DropTarget(firer, target);
            firer.HoldFireUncertain = true;
            salvo.HeldFire = true;
            return salvo;
        }

        if (r > MaxRangeOf(firer, level, conditions)) {
            if (report && WithinFilter(firer, conditions.OpenFireMsg)) {
                say("1" + firer.Name + " " + designs::GunLevelWord(level) + " " +
                        std::to_string(calibre) + " in guns, target out of range",
                    &firer);
            }
            salvo.Answer = false;
            return salvo;
        }
        if (r > geometry.TargetVisibility) {
            if (report && WithinFilter(firer, conditions.OpenFireMsg)) {
                say("1" + firer.Name + " has lost sight of target", &firer);
            }
            salvo.Answer = false;
            return salvo;
        }
        // A light ship still unseen keeps its guns silent rather than give itself away to
        // heavier ships.
        if (level == kMainGuns && !target->Lit && geometry.FirerVisibility < r &&
            firer.SightingLevel < kTypeIdentified) {
            const bool cruiserOrBigger =
                target->ShipType == TShipType::CL || IsLarge(target->ShipType);
            if ((firer.ShipType == TShipType::DD && cruiserOrBigger) ||
                (firer.ShipType == TShipType::CL && IsLarge(target->ShipType))) {
                salvo.HeldFire = true;
                return salvo;
            }
        }

        const auto logLine = [&](int g, double c, double rate, double t, int rounds) {
            return firer.Name + ";" + target->Name + ";" + std::to_string(calibre) + ";" +
                   std::to_string(r) + ";" + std::to_string(geometry.RelativeBearing) + ";" +
                   std::to_string(g) + ";" + Fixed2(c) + ";" +
                   std::to_string(firer.RangingMinutes) + ";" + Fixed2(rate) + ";" + Fixed2(t) +
                   ";" + std::to_string(rounds);
        };

        const double c0 =
            HitChance(firer, *target, calibre, true, nullptr, level, geometry, conditions);
        if (c0 < kLowChance && c0 * 100 < random.Random(100) &&
            random.Random(10) > -(firer.CrewQuality + conditions.SideGunneryBonus)) {
            salvo.HeldFire = true;
            salvo.Chance = c0;
            salvo.LogLine = logLine(0, c0, 0.0, 0.0, 0) + ";;0";
            return salvo;
        }
        if (firer.ElectricDisabled && calibre >= kElectricTurretCalibre) {
            return salvo;
        }

        const int g = level == kMainGuns
                          ? firer.GetMainGunsBearing(geometry.RelativeBearing, conditions.Messages)
                          : SideGunsBearing(firer, level, geometry.RelativeBearing);
        salvo.GunsBearing = g;
        if (g == 0) {
            return salvo;
        }
        if (g > kMaxGunsBearing) {
            conditions.Messages.Warn("Warning! " + std::to_string(g) +
                                     " guns bearing! Ship: " + firer.Name);
        }

        const bool eitherCommanded = firer.PlayerCommanded || target->PlayerCommanded;
        const bool firerPlayers = firer.Side == conditions.PlayerSide;
        const bool targetPlayers = target->Side == conditions.PlayerSide;
        if (level == kMainGuns && firer.LastGunTarget != target) {
            salvo.OpenedFire = true;
            if (WithinFilter(firer, conditions.OpenFireMsg)) {
                if (eitherCommanded) {
                    say("1" + firer.Name + " opens fire at " + target->Name + "!", &firer);
                } else if (firerPlayers) {
                    say("1" + firer.Name + " opens fire at unknown ship!", &firer);
                } else if (targetPlayers) {
                    say("1Unknown ship opens fire at " + target->Name + "!", target);
                } else {
                    say("1Unknown ship opens fire at unknown ship!", nullptr);
                }
            }
            firer.RangingMinutes = kRangingMinutes;
            firer.LastGunTarget = target;
        }

        double c = HitChance(firer, *target, calibre, false, nullptr, level, geometry, conditions);
        if (level == kMainGuns) {
            firer.RangingMinutes = std::max(firer.RangingMinutes - 1, 0);
        }
        const bool poorVisibility = IsThickWeather(conditions.Weather);
        const double rate = RateOfFire(firer, calibre, *target, poorVisibility, level, geometry,
                                       conditions, random);
        const double t = rate * g;
        int rounds = 0;
        if (t < kRoundsForOneShot) {
            rounds = random.Random(100) < t * 100 ? 1 : 0;
        } else {
            rounds = static_cast<int>(Round(t));
        }
        if (rounds > kMaxRoundsPerGun * g) {
            conditions.Messages.Warn("Warning! " + std::to_string(rounds) +
                                     " rounds fired! Ship: " + firer.Name);
        }
        salvo.Chance = c;
        salvo.Rate = rate;
        salvo.Expected = t;
        salvo.Rounds = rounds;
        std::string line = logLine(g, c, rate, t, rounds);

        std::string text;
        if (rounds > 0) {
            target->BiggestCalibreAtMe = std::max(target->BiggestCalibreAtMe, calibre);
            firer.FiredThisMinute = true;
            if (eitherCommanded || firer.SeenByPlayerThisMinute || target->SeenByPlayerThisMinute) {
                text = firer.Name + " fires " + std::to_string(g) + " " + std::to_string(calibre) +
                       "in guns at " + target->Name + "!";
            } else if (firerPlayers) {
                text = firer.Name + " fires at unknown ship!";
            } else if (targetPlayers) {
                text = "Unknown ship fires at " + target->Name;
            } else {
                text = "Unknown ship fires at unknown ship!";
            }
            target->RoundsFiredAtMeThisMinute += rounds;
        }

        if (firer.Straddling) {
            firer.Straddling = random.Random(100) <= Round(c * 10) + 10;
        } else {
            firer.Straddling = random.Random(100) <= c * 5;
        }
        c *= firer.Straddling ? 2.0 : 0.5;
        salvo.Straddle = firer.Straddling;

        firer.RoundsFired[lv] += rounds;
        int hits = 0;
        for (int i = 0; i < rounds; ++i) {
            if (!firer.Straddling && hits > kHitsWithoutStraddle) {
                break;
            }
            if (random.Random(kHitRoll) <= c * 10) {
                ++hits;
            }
        }
        salvo.Hits = hits;
        if (!target->IsSinkingOrSunk()) {
            firer.HitsScored[lv] += hits;
        }

        if (firer.Straddling) {
            text += " Target straddled! ";
            firer.RangingMinutes = 0;
            line += ";Straddled";
        } else {
            line += ";";
        }
        line += ";" + std::to_string(hits);
        text += " " + std::to_string(hits) + " hits";
        if (report && (hits > 0 || firer.Straddling) && rounds > 0) {
            say("1" + text, eitherCommanded ? &firer : nullptr);
        }
        if (hits > 0) {
            firer.Hits.push_back(std::string("\xC2\xA4") + conditions.Time + " " + "  " +
                                 designs::GunLevelName(level) + " scores " + std::to_string(hits) +
                                 (hits == 1 ? " hit on " : " hits on ") + target->Name);
        }

        if (rounds > 0) {
            const int from = map::AddBearing(geometry.TrueBearing, 180);
            for (int i = 0; i < kSplashesPerSalvo; ++i) {
                TSplash splash;
                splash.Distance = kSplashNear + cosmetic.Random(kSplashSpread);
                const int side = cosmetic.Random(2) == 0 ? kSplashOver : kSplashShort;
                splash.Bearing = map::AddBearing(from, side + cosmetic.Random(kSplashArc));
                salvo.Splashes.push_back(splash);
            }
        }

        const THitConditions hitConditions{conditions.Tables, conditions.TargetNation,
                                           conditions.FFRLow, conditions.ScenarioYear,
                                           conditions.GameDay};
        for (int i = 0; i < hits; ++i) {
            ++target->HitsReceived;
            ++target->HitsThisMinute;
            if (calibre >= kHeavyHitCalibre) {
                ++target->HeavyHitsThisMinute;
            }
            TShellHit shell;
            shell.Calibre = calibre;
            shell.RangeYards = r;
            shell.GunQuality = GunQualityOf(firer, level);
            shell.ShellQuality = conditions.FirerNation.ShellQuality;
            shell.IncomingBearing = geometry.IncomingBearing;
            shell.Firer = firer.Name;
            shell.Time = conditions.Time;
            THitResult hit = ResolveHit(*target, shell, hitConditions, random);
            if (!hit.LogLine.empty()) {
                target->Hits.push_back(hit.LogLine);
            }
            target->HitMarks.push_back({hit.Location, shell.IncomingBearing});
            if (level == kMainGuns) {
                target->HitByMainGunsThisMinute = true;
            }
            if (report) {
                const std::string code = std::to_string(hit.Severity);
                if (target->PlayerCommanded || !firer.PlayerCommanded) {
                    say(code + target->Name + " " + hit.Text, target);
                } else if (hit.Severity < kHeavyHitSeverity) {
                    say("2" + target->IdentifiedName() + " Hit", target);
                } else {
                    say(code + target->IdentifiedName() + " " + hit.Text, target);
                }
            }
            salvo.HitResults.push_back(std::move(hit));
        }
        salvo.LogLine = line;

        if (level == kMainGuns) {
            const int n = firer.ObsoleteDate > conditions.GameDay ? kJamOdds : kJamOddsObsolete;
            const int j = GunQualityOf(firer, kMainGuns) < -1 ? random.Random(n - kJamPoorGuns)
                                                              : random.Random(n);
            if (j < static_cast<int>(firer.Turrets.size()) &&
                firer.Turrets[static_cast<std::size_t>(j)].Operable()) {
                firer.Turrets[static_cast<std::size_t>(j)].Silenced =
                    random.Random(kJamMinutes) + 1;
                salvo.JammedTurret = j;
                if (report) {
                    say("1" + firer.Name + " Turret jammed!", &firer);
                }
                firer.Hits.push_back(conditions.Time + " " + " Turret jammed!");
            }
        }
    } catch (const std::exception& e) {
        conditions.Messages.Error("Error in FireGuns Function!\nFiring ship: " + firer.Name +
                                  "\nTarget ship: " + target->Name + "\n" + e.what());
    }
    return salvo;
}

} // namespace tarnwake::combat
