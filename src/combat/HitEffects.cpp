#include "combat/HitEffects.h"

#include "combat/FightingShip.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "designs/NationsTable.h"
#include "designs/Turret.h"
#include "designs/WeaponTables.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <initializer_list>
#include <limits>

namespace tarnwake::combat {

using designs::TShipType;

namespace {

// A ship that blows up loses everything at once.
constexpr int kBlowUpPoints = 10'000'000;
// Beyond this range every shell falls steeply onto the deck.
constexpr int kAlwaysPlungingYards = 49'999;
// A good gun carries its flat trajectory further, a poor one less far.
constexpr int kGunQualityYards = 300;
// Ships under this displacement are holed by hits on their turrets and upper works.
constexpr int kSmallHullTons = 1500;
// Larger ships keep their lower hull dry against splinters of a torpedo-flat hit.
constexpr int kLowerBeltEdgeTons = 7000;
// A battered ship under this displacement takes no further special damage.
constexpr int kBatteredSmallTons = 2000;
// The nations the flash rules name: the one whose blow-ups are halved, and the one whose
// battle cruisers are more prone to them.
constexpr int kHalvedBlowUpNation = 0;
constexpr int kBattleCruiserFlashNation = 3;
// A fire a merchant hull or armed merchant cruiser catches from any hit below the waterline.
constexpr int kMerchantFireStrength = 10;
// What the redraw cap of a torpedo's turret draw falls back to: a plain hull hit.
constexpr int kPlainTorpedoRoll = 26;

bool IsOneOf(const TFightingShip& ship, std::initializer_list<TShipType> types) {
    return std::find(types.begin(), types.end(), ship.ShipType) != types.end();
}

// A draw's bound within the generator's range; nothing below 0.
int Bound(std::int64_t n) {
    return static_cast<int>(std::clamp<std::int64_t>(n, 0, std::numeric_limits<int>::max()));
}

// "Reduce X by n": damage never adds points back, and nothing falls below 0.
void Reduce(int& x, std::int64_t n) {
    if (x > 0) {
        x = static_cast<int>(std::max<std::int64_t>(x - std::max<std::int64_t>(n, 0), 0));
    }
    x = std::max(x, 0);
}

// Flooding and the like only ever grow from a hit.
void Grow(int& x, std::int64_t n) {
    x = static_cast<int>(
        std::min<std::int64_t>(static_cast<std::int64_t>(x) + std::max<std::int64_t>(n, 0),
                               std::numeric_limits<int>::max()));
}

void BlowUp(TFightingShip& ship, THitResult& result) {
    Reduce(ship.CurrentSuperstructurePoints, kBlowUpPoints);
    Reduce(ship.CurrentFloatPoints, kBlowUpPoints);
    ship.Sinking = 1;
    result.Severity = kBlowUpSeverity;
    result.BlewUp = true;
}

// A turret destroyed takes its magazine's share of the main rounds still aboard with it.
void DestroyTurret(TFightingShip& ship, std::size_t index, THitResult& result) {
    auto& turret = ship.Turrets[index];
    if (turret.Destroyed) {
        return;
    }
    turret.Destroyed = true;
    ++result.TurretsDestroyed;
    const int left = ship.Ammo[designs::kMainGuns] - ship.RoundsFired[designs::kMainGuns];
    if (left > 0) {
        ship.RoundsFired[designs::kMainGuns] += left / static_cast<int>(ship.Turrets.size());
    }
}

// The turret that shares a turret's handling rooms, so that a flash fire burns out both: the
// superfiring pairs fore and aft (as Seydlitz lost both after turrets at the Dogger Bank) and
// the midships pairs. None when there is no such turret or it is already destroyed.
int TurretPair(const TFightingShip& ship, std::size_t index) {
    static constexpr std::array<std::array<char, 2>, 4> kPairs{
        {{'A', 'B'}, {'X', 'Y'}, {'V', 'W'}, {'Q', 'R'}}};
    const char pos = ship.Turrets[index].Pos;
    char partner = 0;
    for (const auto& pair : kPairs) {
        if (pair[0] == pos) {
            partner = pair[1];
        } else if (pair[1] == pos) {
            partner = pair[0];
        }
    }
    if (partner == 0) {
        return -1;
    }
    for (std::size_t i = 0; i < ship.Turrets.size(); ++i) {
        if (i != index && ship.Turrets[i].Pos == partner && !ship.Turrets[i].Destroyed) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

// ---- Location tables. r = Random(80); each table gives, for locations 1 to 11 in order, the
// last r that strikes there: location L takes the r above the last r of L - 1 up to its own
// (a location a table never gives repeats the last r before it; -1 for location 1).
using TLocationTable = std::array<int, kHitLocations>;

// Indexed [type group][plunging][broadside]. Groups: battleships and battle cruisers;
// pre-dreadnoughts and armoured cruisers; everything lighter; land targets (for which the
// broadside makes no difference).
constexpr std::array<std::array<std::array<TLocationTable, 2>, 2>, 4> kLocationTables{{
    {{{{{6, 12, 16, 21, 29, 44, 57, 65, 68, 74, 79}, {1, 6, 17, 29, 39, 50, 58, 64, 68, 75, 79}}},
      {{{3, 9, 13, 18, 28, 46, 56, 62, 68, 75, 79}, {5, 10, 20, 28, 38, 51, 58, 64, 68, 75, 79}}}}},
    {{{{{5, 11, 15, 20, 28, 42, 56, 64, 67, 74, 79}, {-1, 4, 18, 28, 38, 48, 57, 63, 67, 75, 79}}},
      {{{1, 7, 11, 16, 26, 43, 55, 61, 67, 75, 79}, {3, 8, 18, 25, 36, 49, 55, 59, 67, 75, 79}}}}},
    {{{{{3, 9, 13, 18, 26, 40, 55, 63, 67, 74, 79}, {-1, 3, 15, 25, 35, 43, 55, 62, 67, 75, 79}}},
      {{{0, 6, 10, 15, 25, 43, 55, 61, 67, 75, 79}, {2, 7, 17, 24, 33, 43, 53, 61, 66, 75, 79}}}}},
    {{{{{-1, 3, 15, 35, 35, 43, 55, 67, 67, 75, 79}, {-1, 3, 15, 35, 35, 43, 55, 67, 67, 75, 79}}},
      {{{2, 7, 17, 33, 33, 43, 53, 66, 66, 75, 79}, {2, 7, 17, 33, 33, 43, 53, 66, 66, 75, 79}}}}},
}};

constexpr int kLocationRolls = 80;

std::size_t TypeGroup(TShipType type) {
    switch (type) {
    case TShipType::BB:
    case TShipType::BC:
        return 0;
    case TShipType::B:
    case TShipType::CA:
        return 1;
    case TShipType::LT:
        return 3;
    default:
        return 2;
    }
}

} // namespace

int LocationFromTable(TShipType type, bool plunging, bool broadside, int r) {
    const TLocationTable& table =
        kLocationTables[TypeGroup(type)][plunging ? 1 : 0][broadside ? 1 : 0];
    for (std::size_t i = 0; i < table.size(); ++i) {
        if (r <= table[i]) {
            return static_cast<int>(i) + 1;
        }
    }
    return kCriticalHit;
}

namespace {

// ---- One shell hit, step by step.
class THitResolver {
public:
    THitResolver(TFightingShip& ship, const TShellHit& hit, const THitConditions& conditions,
                 core::TRandomGenerator& random)
        : ship_(ship), hit_(hit), conditions_(conditions), random_(random),
          td_(ship.TorpedoDefense) {}

    THitResult Resolve();

private:
    int R(int n) { return random_.Random(n); }
    std::string& Text() { return result_.Text; }
    int Damage(int c, bool penetrated) {
        return HitDamage(ship_, c, hit_.ShellKind, penetrated, td_, random_);
    }
    void Flood(int k) { HitFlooding(ship_, k, random_); }
    bool Overmatched() { return Overmatch(ship_, c_, random_); }
    // The firer's side of the ship: its broadside faces the shells.
    bool FacingPort() const { return hit_.IncomingBearing > 179; }
    bool GoodGun() const { return hit_.GunQuality > 0; }
    int& S() { return ship_.CurrentSuperstructurePoints; }
    int& F() { return ship_.CurrentFloatPoints; }

    int DrawLocation();
    void SuperstructureGone(int location);
    bool ApplyLocation(int location);
    void Tail(int location, const std::string& prefix);

    // Defective shells break up on the plate and strike as a smaller calibre.
    void ApplyShellQuality();
    bool Penetrates(double armour, bool horizontal);
    // A light gun of good quality sometimes strikes like the next calibre up.
    void LightGunStrikesHarder();
    void AddFire(int strength);
    void BridgeDestroyed();
    void TurnBy(int degrees) { ship_.SetCourseMilli(ship_.CourseMilli() + degrees * 1000); }
    void LoseSecondaries(bool port, int n);
    void LoseOneSecondary();
    void LoseTertiaries(bool port, int n);
    void HullSplinters();
    void BatteredDamage(int c);

    bool Turret();
    bool NearMiss();
    bool Belt();
    bool HullEnds();
    bool EngineRoom();
    bool Superstructure();
    bool ForeAftHull();
    bool SuperstructurePassthrough();
    bool LowerHull();
    bool SecondaryBattery();
    bool Critical();

    TFightingShip& ship_;
    const TShellHit& hit_;
    const THitConditions& conditions_;
    core::TRandomGenerator& random_;
    const int td_;
    THitResult result_;
    int c_ = 0; // the calibre the shell strikes with at this location
    bool broadside_ = false;
};

THitResult THitResolver::Resolve() {
    const std::string prefix = ship_.IsSinkingOrSunk() ? "## " : "";
    const int c = hit_.Calibre;

    int effectiveRange = static_cast<int>(conditions_.Tables.EffectiveRange(c)) * 1000;
    if (GoodGun()) {
        effectiveRange += kGunQualityYards;
    } else if (hit_.GunQuality < 0) {
        effectiveRange -= kGunQualityYards;
    }
    // A calibre with no table row has no trajectory to judge: only the range decides.
    if (effectiveRange > 0) {
        const auto steep =
            core::RoundRatio(static_cast<std::int64_t>(hit_.RangeYards) * 50, effectiveRange);
        result_.Plunging = R(250) < steep;
    }
    result_.Plunging = result_.Plunging || hit_.RangeYards > kAlwaysPlungingYards;

    if (ship_.ShipType == TShipType::TR) {
        // A merchant hull has no protection at all: every hit wrecks and holes it first.
        Reduce(S(), R(8 * c + 10) + 5);
        Reduce(F(), R(8 * c + 10) + 5);
        if (R(100) < 50) {
            Grow(ship_.Flooding, R(3 * c + 10));
        }
    }

    const int b = hit_.IncomingBearing;
    broadside_ = (b > 29 && b < 151) || (b > 209 && b < 331);

    int location = 0;
    for (;;) {
        c_ = c;
        Text().clear();
        location = result_.Redraws < kMaxLocationRedraws ? DrawLocation() : kBeltHit;
        SuperstructureGone(location);
        if (ApplyLocation(location)) {
            break;
        }
        ++result_.Redraws;
    }
    result_.Location = location;
    Tail(location, prefix);
    return result_;
}

int THitResolver::DrawLocation() {
    // Turrets stand out more on a ship with many of them for its size.
    int t = 3;
    if (ship_.IsLargeShip()) {
        t = 4;
    } else if (ship_.ShipType == TShipType::CL) {
        t = 8;
    } else if (ship_.ShipType == TShipType::AMC) {
        t = 6;
    }
    const auto turretWeight =
        core::RoundRatio(static_cast<std::int64_t>(ship_.Turrets.size()) * 20, t);
    int location = kTurretHit;
    if (R(Bound(turretWeight + 80)) < 81) {
        location =
            LocationFromTable(ship_.ShipType, result_.Plunging, broadside_, R(kLocationRolls));
    }
    // A small ship sits low and short: many shells burst alongside.
    if (IsOneOf(ship_, {TShipType::DD, TShipType::MS})) {
        if (R(100) < 30) {
            location = kNearMiss;
        }
    } else if (ship_.ShipType == TShipType::CL && R(100) < 15) {
        location = kNearMiss;
    }
    return location;
}

void THitResolver::SuperstructureGone(int location) {
    // With the upper works gone, every shell strikes the hull.
    if (location == kNearMiss || S() >= 1) {
        return;
    }
    if (R(20) < c_) {
        Grow(ship_.Flooding, R(c_ + 1));
    }
    Reduce(F(), R(9 * c_ - 9));
}

bool THitResolver::ApplyLocation(int location) {
    switch (location) {
    case kTurretHit:
        return Turret();
    case kNearMiss:
        return NearMiss();
    case kBeltHit:
        return Belt();
    case kHullEndsHit:
        return HullEnds();
    case kEngineRoomHit:
        return EngineRoom();
    case kSuperstructureHit:
        return Superstructure();
    case kForeAftHullHit:
        return ForeAftHull();
    case kSuperstructurePassthrough:
        return SuperstructurePassthrough();
    case kLowerHullHit:
        return LowerHull();
    case kSecondaryBatteryHit:
        return SecondaryBattery();
    default:
        return Critical();
    }
}

void THitResolver::ApplyShellQuality() {
    if (hit_.ShellQuality != -1 || R(100) >= 50) {
        return;
    }
    if (c_ > 8) {
        c_ -= R(100) < 50 ? 2 : 3;
    } else if (c_ >= 7) {
        c_ -= 1;
    }
}

bool THitResolver::Penetrates(double armour, bool horizontal) {
    return conditions_.Tables.Penetrates(random_, conditions_.ScenarioYear, c_, hit_.RangeYards,
                                         hit_.GunQuality, horizontal, armour);
}

void THitResolver::LightGunStrikesHarder() {
    if (hit_.Calibre == 3 && GoodGun() && R(100) < 30) {
        c_ = 4;
    }
}

void THitResolver::AddFire(int strength) {
    const std::string fire = conditions_.StartFire(ship_, strength, random_);
    if (!fire.empty()) {
        Text() += " " + fire;
    }
}

void THitResolver::BridgeDestroyed() {
    ship_.OutOfControl = R(6) + 1;
    TurnBy(R(40) - 20);
    ship_.CommandConfusion = R(10) + 1;
    if (R(100) < 30) {
        Reduce(ship_.FireControl, 1);
    }
}

void THitResolver::LoseSecondaries(bool port, int n) {
    Reduce(port ? ship_.CurrentSecondariesPort : ship_.CurrentSecondariesStarboard, n);
}

void THitResolver::LoseOneSecondary() {
    for (int* guns : {&ship_.CurrentSecondariesPort, &ship_.CurrentSecondariesStarboard}) {
        if (*guns > 0) {
            --*guns;
            Text() += " Secondary gun crew cut down by splinters!";
            return;
        }
    }
}

void THitResolver::LoseTertiaries(bool port, int n) {
    Reduce(port ? ship_.CurrentTertiariesPort : ship_.CurrentTertiariesStarboard, n);
}

void THitResolver::HullSplinters() {
    Text() += " Hull damaged by splinters!";
    Reduce(F(), R(4 * c_) + 2 * c_);
    Grow(ship_.Flooding, R(2 * c_) + c_);
}

// ---- Location 1: a turret.
bool THitResolver::Turret() {
    const int turrets = static_cast<int>(ship_.Turrets.size());
    // Three turrets or fewer are drawn as if there were four: the odd draw falls elsewhere.
    const int drawn = turrets > 3 ? R(turrets) : R(4);
    if (drawn >= turrets) {
        return false;
    }
    const auto index = static_cast<std::size_t>(drawn);
    auto& turret = ship_.Turrets[index];
    const bool plunging = result_.Plunging;
    const std::string place = plunging ? "TT" : "T";
    double armour = plunging ? ship_.TT : ship_.T;
    if (turret.Guns == 0) {
        // A turret without guns is a lighter gunhouse or a shield.
        armour = plunging ? ship_.TT / 2.0 : std::max<double>(ship_.T / 2.0, ship_.SEC);
    }
    ApplyShellQuality();
    const bool defeated = Penetrates(armour, plunging);
    result_.ArmourDefeated = defeated;
    if (defeated) {
        Text() = "Turret hit " + place + " *";
        if (c_ > 5) {
            const int flashRisk = conditions_.Nation.FlashRisk;
            int flash = flashRisk * (ship_.IsLargeShip() ? 8 : 4) + 1;
            if (ship_.ShipType == TShipType::DD) {
                flash /= 2;
            }
            if (conditions_.FFRLow) {
                flash /= 2;
            }
            if (turret.Destroyed) {
                flash /= 2;
            }
            if (R(100) < flash) {
                int blowUp = 5 + 25 * flashRisk;
                if (ship_.ShipType == TShipType::BC && ship_.Nation == kBattleCruiserFlashNation &&
                    flashRisk > 0) {
                    blowUp = 10 + 25 * flashRisk;
                }
                if (ship_.Nation == kHalvedBlowUpNation) {
                    blowUp /= 2;
                }
                if (flashRisk > 0 && R(100) < blowUp) {
                    Text() = "Turret hit " + place + " * Turret flash fire! Ship blows up!";
                    BlowUp(ship_, result_);
                    DestroyTurret(ship_, index, result_);
                    return true;
                }
                DestroyTurret(ship_, index, result_);
                const int pair = TurretPair(ship_, index);
                if (pair >= 0) {
                    DestroyTurret(ship_, static_cast<std::size_t>(pair), result_);
                    Text() += " * Turret flash fire! Two turrets burnt out!";
                    result_.Severity = kGunHitSeverity;
                }
            }
        }
        if (!turret.Destroyed) {
            const double chance = std::clamp((c_ - armour) * 3.0 + 50.0, 25.0, 85.0);
            if (R(100) < chance) {
                DestroyTurret(ship_, index, result_);
                Text() += " Turret destroyed";
            } else {
                if (turret.Silenced > 0) {
                    turret.Silenced += R(60);
                } else {
                    turret.Silenced = R(120) + 5;
                }
                Text() += " Turret disabled";
            }
        }
    } else {
        Text() = "Turret hit " + place;
        // A heavy blow on the armour can still jam the training gear or stun the crew.
        if ((armour + 1.0) / 3.0 < c_ && R(30) < c_ - 1) {
            if (turret.Silenced > 0) {
                turret.Silenced += R(30);
                Text() += " Turret disabled";
            } else if (!turret.Destroyed) {
                turret.Silenced = R(60) + 5;
                Text() += " Turret disabled";
            }
        }
    }
    if (R(23) < c_ + 3 && !(turret.Guns > 1 && R(100) > 49)) {
        Reduce(S(), Damage(c_ - 2, defeated));
        if (ship_.Displacement < kSmallHullTons && R(100) < 30) {
            Reduce(F(), Damage(c_ - 3, defeated));
        }
    }
    return true;
}

// ---- Location 2: a shell bursting alongside.
bool THitResolver::NearMiss() {
    Text() = "Near miss!";
    if (c_ <= 3) {
        return true;
    }
    const bool lightShip =
        IsOneOf(ship_, {TShipType::CL, TShipType::AMC, TShipType::DD, TShipType::MS});
    if (R(100) > 49 && R(20) < c_) {
        // Splinters sweep the decks.
        if (!lightShip) {
            if (ship_.SEC == 0 && R(100) <= 49) {
                LoseOneSecondary();
            }
        } else {
            const int drawn = R(12);
            if (drawn < static_cast<int>(ship_.Turrets.size())) {
                ship_.Turrets[static_cast<std::size_t>(drawn)].Silenced += R(20) + 5;
                Text() += " Gun crew cut down by splinters!";
            } else if (R(100) <= 49) {
                LoseOneSecondary();
            }
        }
        return true;
    }
    // Splinters pierce the hull, unless a belt keeps them out; the thin-ended light hulls
    // are pierced past it now and then.
    bool pierced = true;
    if (ship_.B >= 1 && !ship_.HullFlagB) {
        pierced = IsOneOf(ship_, {TShipType::CL, TShipType::AMC, TShipType::MS, TShipType::TR,
                                  TShipType::AV}) &&
                  ship_.BE < 1 && R(100) <= 29;
    }
    if (!pierced || R(22) >= c_ + 2 || R(100) >= 80) {
        return true;
    }
    const int q = R(100);
    if (q < 41) {
        HullSplinters();
    } else if (q < 71) {
        if ((ship_.ShipType != TShipType::CL || R(100) < 50) && R(10) < c_) {
            Text() += " Machinery damaged by splinters!";
            Reduce(ship_.EngineEfficiency, R(20) + 10);
            Reduce(F(), R(3 * c_));
            Grow(ship_.Flooding, R(c_) + c_);
        }
    } else {
        const auto working = std::count_if(ship_.TorpedoMounts.begin(), ship_.TorpedoMounts.end(),
                                           [](const auto& mount) { return !mount.Destroyed; });
        if (working == 0) {
            HullSplinters();
        } else {
            int drawn = R(static_cast<int>(working));
            for (auto& mount : ship_.TorpedoMounts) {
                if (!mount.Destroyed && drawn-- == 0) {
                    mount.Destroyed = true;
                    break;
                }
            }
            Text() += " Torpedo tubes damaged by splinters!";
        }
    }
    return true;
}

// ---- Location 3: the belt amidships.
bool THitResolver::Belt() {
    const bool plunging = result_.Plunging;
    double armour = 0;
    std::string place;
    if (plunging) {
        armour = ship_.D;
        place = "D";
    } else if (ship_.HullFlagA && R(100) < 25) {
        armour = ship_.BE;
        place = "BE";
    } else {
        // The belt tapers: a shell meets between half and all of its thickness.
        const int half = static_cast<int>(core::Round(ship_.B / 2.0));
        armour = static_cast<double>(core::Round(R(half) + ship_.B / 2.0));
        place = "B";
    }
    ApplyShellQuality();
    const bool defeated = Penetrates(armour, plunging);
    result_.ArmourDefeated = defeated;
    if (defeated) {
        if (armour != 0 || !Overmatched() || (plunging && R(100) > 59)) {
            Text() = "Hull hit " + place + " *";
            LightGunStrikesHarder();
            Reduce(F(), Damage(c_, true));
            Reduce(F(), c_ * c_);
            if (plunging || R(100) < 30) {
                Reduce(S(), Damage(c_, false) / 5);
            }
            Flood(c_ - 1);
            if (R(200) < 5 - td_ && Battered(ship_, 1)) {
                Grow(ship_.PF, R(ship_.MaxFloatPoints / (100 * td_ + 400)));
            }
        } else {
            // Through an unarmoured side and out of the other without bursting.
            Text() = "Hull passthrough hit *";
            c_ = R(c_ / 2) + 1;
            Reduce(S(), Damage(c_, true) / 4);
        }
        if (S() < 1 && R(20) < c_) {
            Grow(ship_.Flooding, R(c_ + 1) + c_);
            Reduce(F(), R(9 * c_ - 9) + 3 * c_);
        }
    } else {
        Text() = "Hull hit " + place;
        if (plunging) {
            if (R(100) < c_ + 20) {
                Reduce(S(), Damage(c_, false) / 2);
            }
        } else if (c_ + 4 - ship_.B / 2.0 > R(40) && ship_.B < 11 && ship_.B / 2.0 < c_) {
            // A shell of at least half the plate's thickness drives a thin belt in.
            Grow(ship_.Flooding, R(c_));
            Reduce(F(), c_ * c_ / 2);
            Text() += " Armor pushed in";
        }
    }
    if (IsOneOf(ship_, {TShipType::AMC, TShipType::TR, TShipType::AV})) {
        Reduce(F(), Damage(c_ / 2 + 5, defeated));
        Flood(c_ / 2 + 5);
    }
    if (ship_.ShipType == TShipType::TR) {
        Reduce(F(), Damage(6, defeated));
    }
    return true;
}

// ---- Location 4: the hull ends.
bool THitResolver::HullEnds() {
    const bool plunging = result_.Plunging;
    double armour = ship_.BE;
    std::string place = "BE";
    bool defeated = false;
    if (plunging) {
        armour = ship_.DE;
        place = "DE";
        ApplyShellQuality();
        defeated = Penetrates(armour, true);
    } else if (ship_.HullFlagA && R(100) < 25) {
        defeated = true;
    } else {
        ApplyShellQuality();
        defeated = Penetrates(armour, false);
    }
    result_.ArmourDefeated = defeated;
    if (defeated) {
        if (ship_.BE == 0 && Overmatched()) {
            Text() = "Hull passthrough hit *";
            c_ = R(c_ / 2) + 1;
            Reduce(S(), Damage(c_ + 1, true) / 4);
        } else {
            Text() = "Hull hit " + place + " *";
            Reduce(F(), Damage(c_ + 1, true));
            Reduce(F(), R(c_ * c_));
            Flood(c_ - 1);
            if (R(200) < 5 - td_ && Battered(ship_, 1)) {
                Grow(ship_.PF, R(ship_.MaxFloatPoints / (100 * td_ + 400)));
            }
            if (S() < 1 && R(20) < c_) {
                Grow(ship_.Flooding, R(c_ + 1) + c_);
                Reduce(F(), R(9 * c_ - 9) + 3 * c_);
            }
            if (plunging && R(100) < 50) {
                Reduce(S(), Damage(c_, false) / 5);
            }
        }
    } else {
        Text() = "Hull hit " + place;
        if (plunging) {
            if (R(100) < 50) {
                Reduce(S(), Damage(c_, false) / 2);
            }
        } else if (ship_.BE / 2.0 < c_ && c_ - ship_.BE / 2.0 > R(50)) {
            Grow(ship_.Flooding, R(c_));
            Text() += " Armor pushed in";
        }
    }
    if (ship_.ShipType == TShipType::TR) {
        Reduce(F(), Damage(c_ + 2, defeated));
        Flood(c_ + 1);
    }
    return true;
}

// ---- Location 5: the engine and boiler rooms.
bool THitResolver::EngineRoom() {
    const bool plunging = result_.Plunging;
    double armour = ship_.B;
    std::string place = "B";
    if (plunging) {
        armour = ship_.D;
        place = "D";
    } else if (ship_.HullFlagA && R(100) < 25) {
        armour = ship_.BE;
        place = "BE";
    } else if (!(R(100) > 59 || ship_.HullFlagB)) {
        // The coal bunkers behind the belt add half its thickness again.
        armour = ship_.B * 1.5;
    }
    ApplyShellQuality();
    const bool defeated = Penetrates(armour, plunging);
    result_.ArmourDefeated = defeated;
    if (defeated) {
        const int thousands = ship_.Displacement / 1000;
        int& engines = ship_.EngineEfficiency;
        Reduce(engines, 10);
        if (thousands < c_) {
            Reduce(engines, 10);
        }
        if (R(thousands + 20) < c_) {
            Reduce(engines, 10);
        }
        if (R(thousands + 20) < c_) {
            Reduce(engines, 10);
        }
        if (ship_.Displacement < R(10) * 1000) {
            Reduce(engines, R(10 * c_));
        }
        if (ship_.IsHeavilyDamaged() && R(10) < c_) {
            Reduce(engines, 10);
            if (R(100) < 50) {
                ship_.EngineDisabled = true;
            }
        }
        if (R(50) > thousands + 5) {
            Reduce(F(), Damage(c_, true));
        }
        Text() = "Engine room hit " + place + " *";
    } else {
        if (plunging && R(100) < 40) {
            Reduce(S(), Damage(c_, false) / 2);
        }
        Text() = "Engine room hit " + place;
    }
    if (ship_.ShipType == TShipType::TR) {
        Reduce(F(), Damage(c_ + 2, defeated));
        Flood(c_ + 1);
    }
    return true;
}

// ---- Location 6: the superstructure.
bool THitResolver::Superstructure() {
    const bool plunging = result_.Plunging;
    double armour = plunging ? ship_.DE : ship_.BE;
    const std::string place = plunging ? "DE" : "BE";
    const bool unarmoured = !plunging && ship_.HullFlagA && R(100) < 25;
    if (ship_.Mines > 0 && R(100) <= 29) {
        Text() = "Superstructure hit. Mines explode! Ship blows up!";
        BlowUp(ship_, result_);
        return true;
    }
    bool defeated = true;
    if (!unarmoured) {
        ApplyShellQuality();
        defeated = Penetrates(armour, plunging);
    }
    result_.ArmourDefeated = defeated;
    if (defeated) {
        Reduce(S(), Damage(c_, false));
        Text() = "Superstructure hit " + place + " *";
        if (R(15) < c_ + 1) {
            LoseTertiaries(FacingPort(), R(3));
        }
        if (ship_.D == 0) {
            // No armoured deck: the blast reaches the uptakes and the boiler rooms.
            if (R(10) < c_) {
                Reduce(ship_.EngineEfficiency, 20);
            }
            if (R(10) < c_) {
                Reduce(ship_.EngineEfficiency, 20);
            }
            if (R(10) < c_) {
                Reduce(F(), Damage(c_, false) / 4);
            }
        }
        AddFire(c_);
    } else {
        if (R(100) < 50) {
            Reduce(S(), Damage(c_ / 2, false));
        }
        Text() = "Superstructure hit " + place;
        if (plunging) {
            AddFire(c_);
        }
    }
    return true;
}

// ---- Location 7: the hull fore and aft of the belt.
bool THitResolver::ForeAftHull() {
    result_.ArmourDefeated = true;
    if (S() < 1 && R(20) < c_) {
        Grow(ship_.Flooding, 2 * c_ - 4);
    }
    if (S() < 1 && R(20) < c_) {
        Grow(ship_.Flooding, R(c_ + 1) + c_);
        Reduce(F(), R(9 * c_ - 9) + 5 * c_);
    }
    if (IsOneOf(ship_, {TShipType::AMC, TShipType::TR, TShipType::AV})) {
        Reduce(F(), Damage(c_ / 2 + 5, true));
        Flood(c_ / 2 + 5);
        Text() = "Hull hit *";
    } else if (!Overmatched() || (result_.Plunging && R(100) > 59)) {
        if (R(30) < c_ - 4) {
            Text() = "Hull passthrough hit *";
            c_ = R(c_ / 2) + 1;
        } else {
            Text() = "Fore/aft hull hit *";
        }
    } else {
        Text() = "Hull passthrough hit *";
        c_ = R(c_ / 2) + 1;
    }
    if (S() < 1 && R(20) < c_) {
        Grow(ship_.Flooding, 2 * c_ - 4);
    }
    // An old hull's rivets and plating give way more easily.
    if (ship_.ObsoleteDate < conditions_.GameDay && R(100) < 50) {
        Grow(ship_.Flooding, 2 * c_ - 4);
    }
    if (R(100) > 49) {
        Reduce(S(), Damage(c_, false));
    } else {
        Reduce(F(), Damage(c_, true));
        Flood(c_ - 1);
    }
    return true;
}

// ---- Location 8: through the superstructure.
bool THitResolver::SuperstructurePassthrough() {
    result_.ArmourDefeated = true;
    if (S() < 1 && R(20) < c_) {
        Grow(ship_.Flooding, 2 * c_ - 4);
    }
    if (ship_.Mines > 0 && R(100) < 40 && R(20) < c_ + 2) {
        Text() = "Superstructure hit. Mines explode! Ship blows up!";
        BlowUp(ship_, result_);
        return true;
    }
    if (!Overmatched() || (result_.Plunging && R(100) > 59)) {
        if (R(30) < c_ - 4) {
            Text() = "Superstructure passthrough hit *";
            AddFire(c_);
            c_ = std::max(3, R(c_ / 2) + 1);
        } else {
            Text() = "Superstructure hit *";
            AddFire(c_);
        }
    } else {
        Text() = "Superstructure passthrough hit *";
        c_ = std::max(3, R(c_ / 2) + 1);
    }
    LightGunStrikesHarder();
    Reduce(S(), Damage(c_, false));
    if (ship_.Displacement < kSmallHullTons && R(100) < c_ + 30) {
        Reduce(F(), Damage(c_ - 2, true));
    }
    if (ship_.CurrentTertiariesPort + ship_.CurrentTertiariesStarboard > 0 && R(15) < c_ + 1) {
        LoseTertiaries(true, R(2));
        LoseTertiaries(false, R(2));
    }
    if (ship_.CurrentSecondariesPort + ship_.CurrentSecondariesStarboard > 0 && R(20) < c_ + 3 &&
        ship_.SEC == 0) {
        LoseSecondaries(FacingPort(), R(2) + 1);
    }
    if (!ship_.IsLargeShip() && R(100) < 20 && R(20) < c_) {
        Text() = "Critical hit. Bridge destroyed!";
        BridgeDestroyed();
    }
    if (S() < 1 && R(20) < c_) {
        Grow(ship_.Flooding, R(c_ + 1) + c_);
        Reduce(F(), R(9 * c_ - 9) + 5 * c_);
    }
    return true;
}

// ---- Location 9: the lower hull: a torpedo flat, the lower belt edge, the tubes on deck.
bool THitResolver::LowerHull() {
    const int mounts = static_cast<int>(ship_.TorpedoMounts.size());
    const int drawn = R(mounts + 1);
    if (drawn >= mounts) {
        return false;
    }
    auto& mount = ship_.TorpedoMounts[static_cast<std::size_t>(drawn)];
    if (designs::MountIsSubmerged(mount.Pos)) {
        if (R(10) > 5) {
            return false;
        }
        ApplyShellQuality();
        const bool defeated = Penetrates(ship_.BE, false);
        result_.ArmourDefeated = defeated;
        if (defeated || R(100) < 30) {
            mount.Destroyed = true;
            Text() = "Submerged torpedo flat hit *";
            if (R(100) < 3 * c_ - 12) {
                // The flat floods, and the warheads stored there may go up.
                Reduce(F(), HitDamage(ship_, c_ + 1, hit_.ShellKind, defeated, td_ - 1, random_));
                Flood(static_cast<int>(core::RoundRatio(3 * c_, 2)));
                if (R(200) < 5 && Battered(ship_, 1)) {
                    Grow(ship_.PF, R(ship_.MaxFloatPoints / 400));
                }
            } else {
                Reduce(F(), Damage(c_ - 2, false));
            }
        } else if (ship_.Displacement < kLowerBeltEdgeTons || c_ > 6) {
            Text() = "Lower belt edge hit";
            Reduce(F(), Damage(c_ - 2, false));
            if (ship_.B / 2.0 < c_ && R(100) < c_ + 10) {
                Grow(ship_.Flooding, R(c_ + 5) + 5);
            }
        } else {
            Text() = "Hull hit BE";
        }
        return true;
    }
    Text() = "Torpedo tubes hit";
    mount.Destroyed = true;
    if (R(100) > 29) {
        Reduce(S(), 2 * c_ - 4);
    } else {
        Reduce(S(), Damage(50, false));
        if (R(100) > ship_.Displacement / 1000 + 20) {
            Reduce(F(), Damage(12, false));
        }
        Text() += " Torpedo explodes!";
    }
    return true;
}

// ---- Location 10: the secondary battery.
bool THitResolver::SecondaryBattery() {
    if (ship_.SecNo == 0 || R(8) >= ship_.SecNo) {
        return false;
    }
    const bool deck = result_.Plunging && ship_.SEC > 0;
    const double armour = deck ? ship_.DE : ship_.SEC;
    const std::string place = deck ? "DE" : "SEC";
    const int guns = ship_.SecTF != 0 ? ship_.SecTF : R(3) + 1;
    if (ship_.SEC > 0) {
        ApplyShellQuality();
    }
    const bool defeated = Penetrates(armour, deck);
    result_.ArmourDefeated = defeated;
    if (defeated) {
        Text() = "Secondary battery hit *";
        AddFire(c_);
        LoseSecondaries(FacingPort(), guns);
    } else {
        if (R(50) < c_) {
            LoseSecondaries(FacingPort(), 1);
        }
        Text() = "Secondary battery hit";
    }
    Reduce(S(), Damage(c_, false) / 2);
    if (ship_.ShipType == TShipType::TR) {
        Reduce(F(), Damage(c_ + 2, defeated));
        Flood(c_ + 1);
        if (R(100) <= 19 && R(20) < c_) {
            Grow(ship_.PF, ship_.MaxFloatPoints / 200);
        }
    }
    return true;
}

// ---- Location 11: a critical hit.
bool THitResolver::Critical() {
    const bool plunging = result_.Plunging;
    int q = R(100);
    if (ship_.IsHeavilyDamaged() && q > 42 && q < 50) {
        q = R(100); // a wreck's magazines are as often flooded as not
    }
    const auto test = [&](double armour) {
        ApplyShellQuality();
        const bool defeated = Penetrates(armour, plunging);
        result_.ArmourDefeated = defeated;
        return defeated;
    };
    if (q <= 5) {
        Text() = plunging ? "Hull hit DE" : "Hull hit BE";
        if (test(plunging ? ship_.D : ship_.B / 2.0) &&
            (R(10) + 3 < c_ || (c_ > 3 && designs::TypeIndex(ship_.ShipType) > 3))) {
            Text() = "Critical hit *! Salt water enters feed tanks. Machinery disabled!";
            if (R(10) > 3) {
                Reduce(ship_.EngineEfficiency, R(20) + 20);
            } else {
                ship_.EngineDisabled = true;
            }
            Reduce(F(), Damage(c_, true) / 2);
            Flood(c_);
        }
    } else if (q <= 16) {
        if (test(plunging ? ship_.DE : ship_.BE)) {
            ship_.RudderStatus = R(3) + 1;
            Text() = "Critical hit *! Rudder damaged!";
        } else {
            Text() = "Hull hit BE";
            Reduce(F(), Damage(c_, false) / 2);
        }
        if (R(100) < 30) {
            if (R(100) < 50) {
                Reduce(F(), Damage(c_, false) / 2);
                Flood(c_ - 2);
            } else {
                Reduce(S(), Damage(c_, false) / 2);
            }
        }
    } else if (q <= 22) {
        if (R(30) < c_ && IsOneOf(ship_, {TShipType::CA, TShipType::CL, TShipType::DD})) {
            result_.ArmourDefeated = true;
            Text() = "Critical hit *! Funnel topples!";
            Reduce(ship_.EngineEfficiency, R(10) + 10);
            Reduce(S(), Damage(c_, true) / 3);
        }
    } else if (q <= 42) {
        Text() = plunging ? "Hull hit D" : "Hull hit B";
        if (test(plunging ? ship_.D : ship_.B)) {
            Text() = "Critical hit *! Machinery damaged!";
            if (R(10) > 5) {
                Reduce(ship_.EngineEfficiency, R(20) + 20);
            } else {
                ship_.EngineDisabled = true;
            }
            Reduce(F(), Damage(c_, true) / 2);
            Flood(c_);
            if (IsOneOf(ship_, {TShipType::TR, TShipType::AV})) {
                Reduce(F(), Damage(c_ / 2 + 4, true));
                Flood(c_ / 2 + 4);
            }
        }
    } else if (q <= 50) {
        Text() = plunging ? "Hull hit D" : "Hull hit B";
        const bool defeated = test(plunging ? ship_.D * 1.5 : ship_.B * 1.5);
        const int damage = Damage(c_, defeated);
        Reduce(S(), plunging ? damage / 2 : damage / 3);
        // A ship already going down may have its magazines flooded in time.
        if (defeated && !(ship_.Sinking > 0 && R(100) > 29) &&
            R(100) < conditions_.Nation.FlashRisk * 5 + 50) {
            Text() = "Critical hit *! Magazine hit! Ship blows up!";
            BlowUp(ship_, result_);
        }
    } else if (q <= 60) {
        if (ship_.IsLargeShip() ? R(20) < c_ + 1 : R(10) < c_) {
            result_.ArmourDefeated = true;
            Text() = "Critical hit! Fire control damaged";
            Reduce(ship_.FireControl, 2);
        }
    } else if (q <= 70) {
        Text() = plunging ? "Hull hit D" : "Hull hit CT";
        if (test(plunging ? ship_.D * 1.5 : ship_.CT)) {
            Text() = "Critical hit *! Conning tower hit!";
            ship_.OutOfControl = R(8) + 1;
            TurnBy(R(40) - 20);
            Reduce(ship_.FireControl, 1);
            int confusion = R(10);
            Reduce(confusion, R(2));
            ship_.CommandConfusion = confusion;
        }
    } else if (q <= 80) {
        Text() = plunging ? "Hull hit DE" : "Hull hit BE";
        const bool defeated = test(plunging ? ship_.DE : ship_.BE);
        const int damage = Damage(c_, defeated);
        Reduce(S(), plunging ? damage / 2 : damage / 3);
        if (defeated && ship_.Dynamos < R(4)) {
            Text() = "Critical hit *! Electric power disabled";
            ship_.ElectricDisabled = true;
        }
    } else if (q <= 90) {
        const std::string place = plunging ? "DE" : "BE";
        const double armour = plunging ? ship_.DE : ship_.BE;
        const bool defeated = test(armour);
        if (defeated) {
            Text() = "Waterline hit " + place + " *";
            Reduce(F(), 2 * static_cast<std::int64_t>(Damage(c_ + 1, true)));
            Reduce(F(), 2 * c_ * c_);
            Flood(c_);
            Flood(c_);
        } else {
            Text() = "Lower belt edge hit";
            if (ship_.BE / 2.0 < c_ && c_ > 5 && R(25) < c_ - ship_.BE / 2.0) {
                Grow(ship_.Flooding, R(c_ + 1));
            }
        }
        if (IsOneOf(ship_, {TShipType::AMC, TShipType::TR, TShipType::AV})) {
            Reduce(F(), Damage(c_ / 2 + 3, defeated));
            Flood(c_ + 1);
        }
    } else if (ship_.IsLargeShip() ? R(15) < c_ : R(10) < c_) {
        result_.ArmourDefeated = true;
        Text() = "Critical hit. Bridge destroyed!";
        BridgeDestroyed();
        Reduce(S(), Damage(c_, false));
    }
    return true;
}

void THitResolver::BatteredDamage(int c) {
    if (ship_.Sinking >= 2) {
        // More hits on a sinking ship hasten its end.
        if (R(100) < c) {
            Reduce(ship_.Sinking, 1);
        }
        return;
    }
    if (ship_.FloodingPercentage() < 20 && R(100) < 50) {
        return;
    }
    const int thousands = ship_.Displacement / 1000;
    const int h = ship_.HeavyHits;
    const int m = ship_.MediumHits;
    const int l = ship_.LightHits;
    bool hurt = false;
    switch (ship_.ShipType) {
    case TShipType::BB:
    case TShipType::BC:
    case TShipType::B:
        hurt = c >= 7 && thousands < R(h + c + 50);
        break;
    case TShipType::CA:
        hurt = c >= 4 && thousands < R(h + m + c + 35);
        break;
    case TShipType::CL:
        hurt = c >= 4 && thousands < R(h + m + c + 15);
        break;
    default:
        hurt = R(h + m + l + c + 5) > 8;
        break;
    }
    if (!hurt) {
        return;
    }
    Reduce(F(), R(c * c));
    if (ship_.Displacement < kBatteredSmallTons) {
        return;
    }
    const int r = R(100);
    const int e = (c - 2) * (c - 2);
    if (r <= 30) {
        Grow(ship_.Flooding, c + R(2 * c));
    } else if (r <= 35) {
        Grow(ship_.PF, c / 3 + 2);
    } else if (r <= 60) {
        Reduce(S(), c + R(3 * e));
    } else if (r <= 70) {
        Reduce(F(), c + 6 * R(e));
    } else {
        Reduce(F(), c + 8 * R(e));
    }
}

void THitResolver::Tail(int location, const std::string& prefix) {
    // The tail judges the shell as fired, whatever it struck with at the location.
    const int c = hit_.Calibre;
    if (Text().find("miss") != std::string::npos) {
        // A heavy shell bursting alongside a small craft can overwhelm it.
        if (ship_.Displacement < R(20 * c)) {
            Reduce(S(), R(ship_.MaxSuperstructurePoints));
            Reduce(F(), R(ship_.MaxFloatPoints));
        }
        if (ship_.Displacement < 100 && ship_.Displacement < R(100)) {
            ship_.CurrentFloatPoints = 0;
        }
    }
    if (ship_.Sinking > 0 && ship_.Displacement < 1000 && R(10) < c &&
        ship_.Displacement < R(1100)) {
        ship_.Sinking = 1;
    }
    if (location > kNearMiss && IsOneOf(ship_, {TShipType::AMC, TShipType::TR}) &&
        ship_.FireLevel == 0) {
        // Merchant hulls burn: wooden fittings, cargo and no fire-fighting to speak of.
        AddFire(kMerchantFireStrength);
        if (R(100) < 50) {
            Reduce(F(), R(c) * 10 + 40);
        }
    }
    if (location != kNearMiss) {
        if (c >= 3 && c <= 4) {
            ++ship_.LightHits;
        } else if (c >= 5 && c <= 10) {
            ++ship_.MediumHits;
        } else if (c >= 11 && c <= 18) {
            ++ship_.HeavyHits;
        }
    }
    if (Battered(ship_, 0) && location >= kBeltHit && location <= kSecondaryBatteryHit &&
        result_.ArmourDefeated) {
        BatteredDamage(c);
    }
    result_.LogLine = hit_.Time + " " + std::to_string(c) + " in " +
                      std::to_string(hit_.RangeYards) + " yds " + prefix + Text() + " (" +
                      hit_.Firer + ")";
}

} // namespace

THitResult ResolveHit(TFightingShip& ship, const TShellHit& hit, const THitConditions& conditions,
                      core::TRandomGenerator& random) {
    return THitResolver(ship, hit, conditions, random).Resolve();
}

int HitDamage(const TFightingShip& ship, int c, int kind, bool penetrated, int td,
              core::TRandomGenerator& random) {
    // A size below nothing (a small shell's "c - 3") does no more than a size of nothing.
    c = std::max(c, 0);
    const int b = random.Random(c * c);
    std::int64_t v = 0;
    switch (kind) {
    case 0:
        v = 2 * b + random.Random(c) + 1;
        break;
    case 1:
        v = random.Random(c + 1) + b * 8 / 3;
        break;
    case 2:
        v = random.Random(c + 1) + 3 * b;
        break;
    default:
        v = c + 2 * b;
        break;
    }
    // A penetrating shell bursts inside and lets the sea in; the better the subdivision, the
    // less it takes. One that does not penetrates wrecks what stands above the armour.
    v = penetrated ? core::RoundRatio(v * (12 - td) * 87, 100) : v * 10;
    const int points = penetrated ? ship.MaxFloatPoints : ship.MaxSuperstructurePoints;
    if (v > 800) {
        v = std::min<std::int64_t>(v, points / 2);
    }
    if (v > 1200) {
        v = std::min<std::int64_t>(v, points / 3);
    }
    return Bound(v);
}

void HitFlooding(TFightingShip& ship, int k, core::TRandomGenerator& random) {
    if (random.Random(8) + 2 >= k) {
        return;
    }
    const int td = ship.TorpedoDefense;
    int v = (k - 2) * random.Random(k - 2);
    v += random.Random(2 * k);
    v += random.Random(Bound(static_cast<std::int64_t>(k - 1) * (k - td)));
    // The pumps and the subdivision hold some of it back.
    for (int i = 0; i < 2 * td + 3; ++i) {
        Reduce(v, random.Random(60));
    }
    v = std::min(v, ship.Displacement / 20);
    if (IsOneOf(ship, {TShipType::AMC, TShipType::TR, TShipType::AV})) {
        v += random.Random(v);
    }
    if (IsOneOf(ship, {TShipType::DD, TShipType::MS, TShipType::TR}) && v == 0 &&
        random.Random(100) < 30) {
        v = random.Random(k);
    }
    Grow(ship.Flooding, v);
}

bool Overmatch(const TFightingShip& ship, int c, core::TRandomGenerator& random) {
    if (c < 7) {
        return false;
    }
    if (IsOneOf(ship, {TShipType::DD, TShipType::MS})) {
        return random.Random(100) < 2 * c + 3;
    }
    if (ship.ShipType == TShipType::CL) {
        return random.Random(200) < 2 * c + 3;
    }
    return false;
}

bool Battered(const TFightingShip& ship, int flag) {
    const int h = ship.HeavyHits;
    const int m = ship.MediumHits;
    const int l = ship.LightHits;
    const int t = ship.TorpedoHits;
    const bool punished = flag != 0;
    switch (ship.ShipType) {
    case TShipType::BB:
    case TShipType::BC:
        return punished ? !(h <= 3 && t < 1) : h > 18;
    case TShipType::B:
        return punished ? !(h < 3 && h + m < 6 && t < 1) : !(h < 15 && h + m < 21);
    case TShipType::CA:
        return punished ? !(h < 2 && h + m < 5 && t < 1) : !(h < 13 && h + m < 16);
    case TShipType::CL:
        return punished ? !(h <= 1 && m <= 2 && l <= 4 && t < 1)
                        : !(h < 9 && h + m < 13 && h + m + l < 19);
    default:
        return punished ? !(h <= 1 && m <= 1 && l <= 2 && t < 1)
                        : !(h < 4 && h + m < 5 && h + m + l < 11);
    }
}

int UnderwaterDamage(const TFightingShip& ship, int k, core::TRandomGenerator& random) {
    const std::int64_t td = ship.TorpedoDefense;
    const std::int64_t fmax = ship.MaxFloatPoints;
    std::int64_t v = random.Random(Bound(std::min<std::int64_t>(fmax / 2, 2500))) + 60;
    // The warhead's blow beyond what the bulges and bulkheads absorb.
    const std::int64_t blow = k - td - 3;
    if (random.Random(10) > 2 * td + 2) {
        v += random.Random(Bound(2 * blow * blow));
    } else {
        v += random.Random(Bound(blow * blow)) / 2;
    }
    v += random.Random(Bound((5 - td) * (fmax / (td + 15) + v / 4)));
    v += random.Random(Bound(fmax / (2 * td + 6)));
    if (v > fmax) {
        // A ship is seldom sunk outright: most such blows leave it just afloat.
        const int r = random.Random(100);
        if (r <= 10) {
            return Bound(core::RoundRatio(fmax * 8, 10));
        }
        if (r <= 30) {
            return Bound(core::RoundRatio(fmax * 9, 10));
        }
    }
    return Bound(v);
}

THitResult UnderwaterHit(TFightingShip& ship, int k, const std::string& text,
                         core::TRandomGenerator& random) {
    THitResult result;
    result.Severity = kTorpedoHitSeverity;
    result.Text = text;
    std::string& out = result.Text;
    const int td = ship.TorpedoDefense;
    int& f = ship.CurrentFloatPoints;
    ++ship.TorpedoHits;
    std::int64_t a = static_cast<std::int64_t>(k) * k;
    // Whether the blow defeats the ship's underwater protection; each test weakens the next.
    const auto defeats = [&] {
        a = random.Random(Bound(a));
        return 300 * td + 50 < 3 * a;
    };
    const auto damage = [&] { return UnderwaterDamage(ship, k, random); };

    int q = random.Random(100);
    int turret = -1;
    while (q <= 25) {
        const int turrets = static_cast<int>(ship.Turrets.size());
        const int drawn = random.Random(turrets + 2);
        if (drawn < turrets) {
            turret = drawn;
            break;
        }
        if (result.Redraws >= kMaxLocationRedraws) {
            q = kPlainTorpedoRoll;
            break;
        }
        ++result.Redraws;
        q = random.Random(100);
    }

    if (q <= 25) {
        const auto index = static_cast<std::size_t>(turret);
        if (defeats()) {
            result.ArmourDefeated = true;
            if (random.Random(100) >= 50) {
                out += "Turret damaged";
                ship.Turrets[index].Silenced = random.Random(120) + 5;
            } else {
                out += "Turret destroyed";
                DestroyTurret(ship, index, result);
            }
            // The magazines under a turret lie close to the bottom plating.
            int magazine = 11 - 5 * td;
            if (ship.ShipType == TShipType::B || ship.ShipType == TShipType::CA) {
                magazine = 51 - 5 * td;
            } else if (ship.ShipType == TShipType::CL) {
                magazine = 12 - 5 * td;
            } else if (IsOneOf(ship, {TShipType::DD, TShipType::MS})) {
                magazine = 0;
            }
            if (random.Random(100) < magazine) {
                out = "9" + out + " Magazine hit * Ship blows up!";
                BlowUp(ship, result);
            }
        }
        Reduce(f, damage());
    } else if (q <= 46) {
        Reduce(f, damage());
    } else if (q <= 56) {
        out += "Engine room hit";
        if (defeats()) {
            result.ArmourDefeated = true;
            Reduce(ship.EngineEfficiency, random.Random(6) * 10 + 10);
        }
        Reduce(f, damage());
    } else if (q <= 84) {
        Reduce(f, damage());
    } else if (q <= 94) {
        Reduce(f, damage());
        if (defeats()) {
            result.ArmourDefeated = true;
            out += " Engine room hit";
            if (random.Random(10) > 5) {
                Reduce(ship.EngineEfficiency, random.Random(30) + 10);
            } else {
                ship.EngineDisabled = true;
            }
            if (IsOneOf(ship, {TShipType::AMC, TShipType::DD, TShipType::MS, TShipType::TR,
                               TShipType::AV}) &&
                random.Random(10) < 6) {
                ship.EngineDisabled = true;
                Reduce(ship.EngineEfficiency, random.Random(70) + 30);
            }
        }
    } else {
        out += "Critical hit!";
        const int d = random.Random(100);
        if (d == 0) {
            // a dud hit in a vital place
        } else if (d <= 40) {
            out += " Rudder damaged";
            ship.RudderStatus = random.Random(3) + 1;
            Reduce(f, damage() / 2);
        } else if (d <= 50) {
            if (random.Random(k) > 2 * td + 8 && random.Random(100) < 50) {
                out += " Engines disabled!";
                ship.EngineDisabled = true;
                Reduce(ship.EngineEfficiency, random.Random(3) * 10 + 10);
            } else {
                Reduce(f, damage() / 2);
            }
        } else if (d <= 60) {
            Reduce(f, damage());
            Reduce(ship.FireControl, 1);
            out += " Fire control damaged!";
        } else if (d <= 90) {
            a = random.Random(Bound(a));
            if (200 * td + 50 < 3 * a && random.Random(100) < 50 &&
                ship.Dynamos < random.Random(3) + 1) {
                out += " Electric power disabled";
                ship.ElectricDisabled = true;
            }
            Reduce(f, damage());
        } else if (defeats() && td < random.Random(5)) {
            result.ArmourDefeated = true;
            out += " Transverse bulkhead ruptured";
            Reduce(f, damage());
            Grow(ship.Flooding, random.Random(100));
            Grow(ship.Flooding, random.Random(ship.Displacement / 50));
            if (random.Random(100) < 50 - 10 * td) {
                Grow(ship.PF, random.Random(ship.Displacement / 400));
            }
        }
    }
    HitFlooding(ship, k + 1, random);
    if (random.Random(100) < 5 - td) {
        Grow(ship.PF, random.Random(ship.MaxFloatPoints / (100 * td + 400)));
    }
    return result;
}

} // namespace tarnwake::combat
