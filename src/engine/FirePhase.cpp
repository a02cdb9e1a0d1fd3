#include "engine/FirePhase.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Gunnery.h"
#include "combat/Visibility.h"
#include "core/GameClock.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Rounding.h"
#include "designs/ShipTypes.h"
#include "engine/GameWorld.h"
#include "engine/Sighting.h"
#include "map/Geometry.h"
#include "map/GlobeUnits.h"

#include <algorithm>
#include <array>
#include <exception>
#include <initializer_list>
#include <string>
#include <vector>

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;
using designs::kMainGuns;
using designs::kSecondaryGuns;
using designs::kTertiaryGuns;
using designs::TShipType;

namespace {

// Guns of this calibre and below are not counted as fire that a ship feels.
constexpr int kCountedCalibre = 3;
// Light ships sheer away from fire at this speed and above, or from guns above this calibre.
constexpr int kFlinchSpeed = 19;
constexpr int kFlinchCalibre = 7;
constexpr int kFlinchShooters = 3;
// A new candidate must be this much nearer than the present target to be worth a shift of
// fire.
constexpr double kKeepTargetFactor = 1.2;
constexpr int kHeavyShootersLimit = 4;
constexpr int kSideTargetShooters = 3;
constexpr int kHoldFireSpread = 80;

int TypeIndex(const TFightingShip& ship) {
    return designs::TypeIndex(ship.ShipType);
}

bool Is(const TFightingShip& ship, std::initializer_list<TShipType> types) {
    return std::find(types.begin(), types.end(), ship.ShipType) != types.end();
}

bool IsLarge(const TFightingShip& ship) {
    return ship.IsLargeShip();
}

bool Enemies(const TFightingShip& a, const TFightingShip& b) {
    return a.Side != b.Side && a.Side != kNeutralSide && b.Side != kNeutralSide;
}

bool Gone(const TFightingShip* ship) {
    return ship == nullptr || ship->Sunk;
}

// A ship of a sighted list with its range from the observer, as the minute measured it.
struct TSightedPair {
    TFightingShip* Ship = nullptr;
    int Range = 0;
};

int Range(const TGameWorld& world, const TFightingShip& a, const TFightingShip& b) {
    return world.SightingPairs.RoundedRange(a, b);
}

TSightedPair Measure(const TGameWorld& world, const TFightingShip& ship, int slot,
                     TFightingShip* other) {
    const engine::TSightingPairs& pairs = world.SightingPairs;
    const int t = pairs.Slot(*other);
    if (slot >= 0 && t >= 0) {
        return {other, pairs.RoundedRange(slot, t)};
    }
    return {other, Range(world, ship, *other)};
}

// The ships a ship sees, each with its range and bearing.
class SightedPairs {
public:
    SightedPairs(const TGameWorld& world, const TFightingShip& ship)
        : world_(world), ship_(ship), slot_(world.SightingPairs.Slot(ship)) {}
    class iterator {
    public:
        iterator(const SightedPairs& owner, std::vector<TFightingShip*>::const_iterator at)
            : owner_(owner), at_(at) {}
        TSightedPair operator*() const {
            return Measure(owner_.world_, owner_.ship_, owner_.slot_, *at_);
        }
        iterator& operator++() {
            ++at_;
            return *this;
        }
        bool operator!=(const iterator& other) const { return at_ != other.at_; }

    private:
        const SightedPairs& owner_;
        std::vector<TFightingShip*>::const_iterator at_;
    };
    iterator begin() const { return {*this, ship_.Sighted.begin()}; }
    iterator end() const { return {*this, ship_.Sighted.end()}; }

private:
    const TGameWorld& world_;
    const TFightingShip& ship_;
    const int slot_;
};

// CanEngage inside the rules.
bool Engageable(const TGameWorld& world, const TFightingShip& ship, const TFightingShip* target,
                int row) {
    if (Gone(target) || target->SightingLevel < combat::kTypeIdentified) {
        return false;
    }
    const auto& list = ship.Sighted;
    return std::find(list.begin(), list.end(), target) != list.end() &&
           Range(world, ship, *target) < BatteryRange(world, ship, row);
}

int RelativeBearing(const TGameWorld& world, const TFightingShip& ship, const TSightedPair& pair) {
    return map::AddBearing(world.SightingPairs.Bearing(ship, *pair.Ship), -ship.Course());
}

bool HasGunsInRow(const TFightingShip& ship, int row) {
    if (ship.Calibre[static_cast<std::size_t>(row)] <= 0) {
        return false;
    }
    switch (row) {
    case kMainGuns:
        return !ship.Turrets.empty();
    case kSecondaryGuns:
        return ship.CurrentSecondariesPort + ship.CurrentSecondariesStarboard > 0;
    default:
        return ship.TerNo > 0;
    }
}

TFightingShip*& SideSlot(TFightingShip& ship, int row, bool starboard) {
    if (row == kSecondaryGuns) {
        return starboard ? ship.SecondaryStarboardTarget : ship.SecondaryPortTarget;
    }
    return starboard ? ship.TertiaryStarboardTarget : ship.TertiaryPortTarget;
}

void DropAllTargets(TFightingShip& ship) {
    ship.CurrentTarget = nullptr;
    ship.SecondaryPortTarget = nullptr;
    ship.SecondaryStarboardTarget = nullptr;
    ship.TertiaryPortTarget = nullptr;
    ship.TertiaryStarboardTarget = nullptr;
    ship.MainTargetSetByPlayer = false;
}

// First choice of target for a firing ship: like against like.
bool Suitable(TGameWorld& world, const TFightingShip& firer, const TFightingShip& target) {
    if (target.IsSinkingOrSunk()) {
        if (target.ShipType == TShipType::TR || world.Random().Random(100) < 30) {
            return false;
        }
    }
    const bool landHeavy = firer.IsLandTarget() && firer.Calibre[kMainGuns] > 9;
    const bool landMedium = firer.IsLandTarget() && firer.Calibre[kMainGuns] > 6;
    if (Is(firer, {TShipType::BB, TShipType::BC, TShipType::B}) || landHeavy) {
        return Is(target, {TShipType::BB, TShipType::BC, TShipType::B});
    }
    if (firer.ShipType == TShipType::CA || landMedium) {
        return !Is(target,
                   {TShipType::AMC, TShipType::DD, TShipType::MS, TShipType::TR, TShipType::LT});
    }
    if (Is(firer, {TShipType::CL, TShipType::AMC})) {
        return Is(target,
                  {TShipType::CL, TShipType::AMC, TShipType::DD, TShipType::MS, TShipType::AV});
    }
    if (Is(firer, {TShipType::DD, TShipType::MS})) {
        return Is(target, {TShipType::AMC, TShipType::DD, TShipType::MS});
    }
    return false;
}

// Second choice: what a ship fires at when nothing of its own kind is in reach.
bool SecondChoice(TGameWorld& world, const TFightingShip& firer, const TFightingShip& target,
                  int range) {
    core::TRandomGenerator& random = world.Random();
    if (Is(target, {TShipType::AV, TShipType::LT})) {
        return true;
    }
    if (target.ShipType == TShipType::TR && target.IsSinkingOrSunk() && random.Random(100) < 95) {
        return false;
    }
    const bool nearby = range < BatteryRange(world, firer, kMainGuns) / 2;
    const bool sinkingSmall =
        target.IsSinkingOrSunk() && Is(target, {TShipType::DD, TShipType::MS, TShipType::TR});
    const int ammo = firer.MainAmmoRemainingPercent();
    const bool noBigTarget = firer.CurrentTarget == nullptr ||
                             TypeIndex(*firer.CurrentTarget) > designs::TypeIndex(TShipType::CA);
    if (Is(firer, {TShipType::BB, TShipType::BC, TShipType::B})) {
        if (IsLarge(target)) {
            return true;
        }
        if (target.ShipType == TShipType::CL && target.ShipsAimingHeavyGuns < 2 && noBigTarget &&
            random.Random(100) < ammo) {
            return true;
        }
        return nearby && noBigTarget && random.Random(100) < ammo && !sinkingSmall;
    }
    if (Is(firer, {TShipType::CA, TShipType::CL})) {
        if (TypeIndex(target) <= designs::TypeIndex(TShipType::CL)) {
            return true;
        }
        return nearby && random.Random(50) < ammo && !sinkingSmall;
    }
    return nearby || firer.IsLandTarget();
}

// Hard to make out: at night or in mist an unidentified ship that has not given itself away
// by firing.
bool HardToSee(TGameWorld& world, const TFightingShip& firer, const TFightingShip& target) {
    if (target.SightingLevel >= combat::kClassIdentified || target.FiredLastMinute) {
        return false;
    }
    core::TRandomGenerator& random = world.Random();
    if (target.LightState == 2 &&
        random.Random(100) < 40 - 30 * world.NationOf(firer).NightFighting) {
        return true;
    }
    const int weather = world.Environment.Weather;
    return (weather == 0 || weather == 1) && random.Random(100) < 20;
}

// A ship's main target is its own to choose unless the player set it and it can still be
// engaged.
bool FreeForMainTarget(const TGameWorld& world, TFightingShip& ship) {
    if (!ship.MainTargetSetByPlayer) {
        return true;
    }
    if (Engageable(world, ship, ship.CurrentTarget, kMainGuns)) {
        return false;
    }
    ship.MainTargetSetByPlayer = false;
    return true;
}

void AimAt(const TGameWorld& world, TFightingShip& ship, TFightingShip* target) {
    if (Engageable(world, ship, target, kMainGuns)) {
        ship.CurrentTarget = target;
    }
}

} // namespace

int BatteryRange(const TGameWorld& world, const TFightingShip& ship, int row) {
    const int calibre = ship.Calibre[static_cast<std::size_t>(row)];
    return ship.GetMaxRange(row, world.WeaponTables.MaxRange(calibre));
}

bool CanEngage(const TGameWorld& world, const TFightingShip& ship, const TFightingShip* target,
               int row) {
    return Engageable(world, ship, target, row);
}

void SelectDivisionTarget(TGameWorld& world, TDivision& division) {
    try {
        TFightingShip* flag = division.Flagship();
        if (flag == nullptr) {
            return;
        }
        if (division.TargetDivision != nullptr && !division.TargetSetByPlayer) {
            division.TargetDivision = nullptr;
        }
        if (division.TargetDivision != nullptr) {
            if (Engageable(world, *flag, division.TargetDivision->Flagship(), kMainGuns)) {
                return;
            }
            division.TargetDivision = nullptr;
            division.TargetSetByPlayer = false;
        }
        // The candidates nearest first, so that only the ships that are looked at draw.
        std::vector<std::pair<int, TFightingShip*>> candidates;
        const int reach = BatteryRange(world, *flag, kMainGuns);
        for (const TSightedPair& pair : SightedPairs(world, *flag)) {
            TFightingShip* t = pair.Ship;
            if (!Gone(t) && Enemies(*flag, *t) && t->SightingLevel >= combat::kTypeIdentified &&
                pair.Range < reach) {
                candidates.emplace_back(pair.Range, t);
            }
        }
        std::stable_sort(candidates.begin(), candidates.end(),
                         [](const auto& a, const auto& b) { return a.first < b.first; });
        for (const auto& [range, t] : candidates) {
            TDivision* theirs = world.DivisionOfShip(t);
            if (theirs == nullptr) {
                continue;
            }
            const bool worthADivision = theirs->Ships.size() > 1 || division.Ships.size() == 1;
            if (worthADivision && Suitable(world, *flag, *t) && !HardToSee(world, *flag, *t)) {
                division.TargetDivision = theirs;
                return;
            }
        }
    } catch (const std::exception& e) {
        world.Messages().Error("Error selecting division target!\nDivision: " +
                               division.DivisionName + "\n" + e.what());
    }
}

void SetShipTargets(TGameWorld& world, TDivision& division) {
    TDivision* target = division.TargetDivision;
    try {
        if (target == nullptr || !target->HasShips()) {
            return;
        }
        core::TRandomGenerator& random = world.Random();
        const std::vector<TFightingShip*>& own = division.Ships;
        const std::vector<TFightingShip*>& theirs = target->Ships;
        const int n = static_cast<int>(own.size());
        const int t = static_cast<int>(theirs.size());
        const auto ship = [&](int i) -> TFightingShip& {
            return *own[static_cast<std::size_t>(i)];
        };
        const auto their = [&](int i) { return theirs[static_cast<std::size_t>(i)]; };
        if (t >= n) {
            for (int i = 0; i < n; ++i) {
                if (FreeForMainTarget(world, ship(i))) {
                    AimAt(world, ship(i), their(i));
                }
            }
            return;
        }
        if (n < 2 * t) {
            // The spare ships double up on the leading target.
            const int e = n - t;
            for (int i = 0; i < n; ++i) {
                TFightingShip& s = ship(i);
                const bool free = FreeForMainTarget(world, s);
                if (i > 0 && random.Random(100) >= 90) {
                    continue; // the captain keeps his own choice
                }
                if (!free) {
                    s.CurrentTarget = their(random.Random(t));
                } else if (i > e) {
                    AimAt(world, s, their(i - e));
                } else {
                    AimAt(world, s, their(0));
                }
            }
            return;
        }
        // Two ships to each target, from the rear of both lines.
        int k = t - 1;
        int i = n - 1;
        for (; i >= 0 && k >= 0; --i) {
            TFightingShip& s = ship(i);
            if (FreeForMainTarget(world, s)) {
                if (i > 0 && random.Random(100) >= 90) {
                    AimAt(world, s, their(random.Random(t)));
                } else {
                    AimAt(world, s, their(k));
                }
            }
            if ((n - 1 - i) % 2 == 1) {
                --k;
            }
        }
        for (; i >= 0; --i) {
            if (FreeForMainTarget(world, ship(i))) {
                AimAt(world, ship(i), their(0));
            }
        }
    } catch (const std::exception& e) {
        world.Messages().Error(
            "Error in TDivision.SetShipTargets\rTarget div: " +
            (target != nullptr ? target->DivisionName : std::string()) +
            " Ships: " + std::to_string(target != nullptr ? target->Ships.size() : 0) +
            "\nFiring div: " + division.DivisionName + "\n" + e.what());
    }
}

void SelectMainTarget(TGameWorld& world, TFightingShip& ship) {
    try {
        if (!FreeForMainTarget(world, ship)) {
            return;
        }
        core::TRandomGenerator& random = world.Random();
        if (ship.CurrentTarget != nullptr && ship.CurrentTarget->ShipType == TShipType::TR &&
            ship.CurrentTarget->IsSinkingOrSunk()) {
            ship.CurrentTarget = nullptr;
        }
        if (!HasGunsInRow(ship, kMainGuns)) {
            return;
        }
        TFightingShip* candidate = nullptr;
        int candidateRange = 0;
        const int reach = BatteryRange(world, ship, kMainGuns);
        for (const TSightedPair& pair : SightedPairs(world, ship)) {
            TFightingShip* t = pair.Ship;
            const int r = pair.Range;
            if (Gone(t) || !Enemies(ship, *t) || t->SightingLevel < combat::kTypeIdentified ||
                r >= reach) {
                continue;
            }
            if (candidate != nullptr && r >= candidateRange) {
                continue;
            }
            if (Suitable(world, ship, *t) && (candidate == nullptr || random.Random(100) < 60)) {
                candidate = t;
                candidateRange = r;
            }
        }
        if (candidate == nullptr) {
            for (const TSightedPair& pair : SightedPairs(world, ship)) {
                TFightingShip* t = pair.Ship;
                const int r = pair.Range;
                if (Gone(t) || !Enemies(ship, *t)) {
                    continue;
                }
                if (candidate != nullptr && r >= candidateRange) {
                    continue;
                }
                if (SecondChoice(world, ship, *t, r) &&
                    (candidate == nullptr || random.Random(100) < 50)) {
                    candidate = t;
                    candidateRange = r;
                }
            }
        }
        if (candidate == nullptr || candidate == ship.CurrentTarget) {
            return;
        }
        if (ship.CurrentTarget != nullptr &&
            candidateRange * kKeepTargetFactor >= Range(world, ship, *ship.CurrentTarget)) {
            return;
        }
        if (Engageable(world, ship, candidate, kMainGuns) &&
            candidate->ShipsAimingHeavyGuns < kHeavyShootersLimit &&
            (ship.Calibre[kMainGuns] > 6 || candidate->BiggestCalibreTargetingMe <= 10)) {
            ship.CurrentTarget = candidate;
        }
    } catch (const std::exception& e) {
        world.Messages().Error("Error selecting target!\rShip: " + ship.Name + "\n" + e.what());
    }
}

void SelectSideTargets(TGameWorld& world, TFightingShip& ship, int row, bool starboard) {
    try {
        if (!HasGunsInRow(ship, row)) {
            return;
        }
        for (bool side : {true, false}) {
            if (Gone(SideSlot(ship, row, side))) {
                SideSlot(ship, row, side) = nullptr;
            }
        }
        core::TRandomGenerator& random = world.Random();
        const bool tertiary = row == kTertiaryGuns;
        const int reach = BatteryRange(world, ship, row);
        const bool lightTertiaries = tertiary && ship.Calibre[kTertiaryGuns] <= 3;
        const auto onSide = [&](int r) { return starboard ? r >= 1 && r <= 179 : r >= 181; };
        TFightingShip* candidate = nullptr;
        int best = 0;
        for (const TSightedPair& pair : SightedPairs(world, ship)) {
            TFightingShip* t = pair.Ship;
            if (Gone(t) || !Enemies(ship, *t) || t->ShipsFiringAtMe > kSideTargetShooters ||
                t->SightingLevel < combat::kTypeIdentified || pair.Range >= reach ||
                !onSide(RelativeBearing(world, ship, pair))) {
                continue;
            }
            if (tertiary &&
                (random.Random(10) >= 6 || (lightTertiaries && t->ShipType != TShipType::DD))) {
                continue;
            }
            const int r = pair.Range;
            const bool nearer = candidate == nullptr || r < best;
            const bool destroyerInstead = candidate != nullptr && t->ShipType == TShipType::DD &&
                                          candidate->ShipType != TShipType::DD && r < 2 * best;
            if (nearer || destroyerInstead) {
                candidate = t;
                best = r;
            }
        }
        const bool sinkingTransport = candidate != nullptr &&
                                      candidate->ShipType == TShipType::TR &&
                                      candidate->IsSinkingOrSunk();
        if (candidate != nullptr && !sinkingTransport && (tertiary || random.Random(10) < 7)) {
            SideSlot(ship, row, starboard) = candidate;
        }
        if (!starboard) {
            return;
        }
        // Destroyers on either beam draw the light guns' fire.
        const bool transport = candidate != nullptr && candidate->ShipType == TShipType::TR;
        if (!transport && random.Random(10) >= (tertiary ? 4 : 6)) {
            return;
        }
        if (candidate == nullptr) {
            best = BatteryRange(world, ship, row);
        }
        for (const TSightedPair& pair : SightedPairs(world, ship)) {
            TFightingShip* t = pair.Ship;
            const int r = pair.Range;
            if (Gone(t) || !Enemies(ship, *t) || t->ShipType != TShipType::DD ||
                t->ShipsFiringAtMe >= kHeavyShootersLimit ||
                t->SightingLevel < combat::kTypeIdentified || r >= reach ||
                r >= kKeepTargetFactor * best) {
                continue;
            }
            const int bearing = RelativeBearing(world, ship, pair);
            bool assigned = false;
            if (bearing >= 46 && bearing <= 134) {
                SideSlot(ship, row, true) = t;
                assigned = true;
            } else if (bearing >= 226 && bearing <= 314) {
                SideSlot(ship, row, false) = t;
                assigned = true;
            }
            if (assigned) {
                best = r;
                if (random.Random(10) < 6) {
                    break;
                }
            }
        }
    } catch (const std::exception& e) {
        world.Messages().Error("Error selecting secondary target!\rShip: " + ship.Name + "\n" +
                               e.what());
    }
}

void CheckSideArcs(TGameWorld& world, TFightingShip& ship) {
    ship.DropOutOfArcSecondaryTargets(world.Messages());
}

void SelectTargetsForAllDivisions(TGameWorld& world) {
    const TFightingShip* current = nullptr;
    const TDivision* currentDivision = nullptr;
    try {
        for (const auto& d : world.Divisions) {
            TDivision& division = *d;
            currentDivision = &division;
            if (!division.HasShips()) {
                continue;
            }
            // A hold for uncertain identity lasts the minute it was decided in; the check is
            // made again each minute. The flagship's doubt of last minute still spreads.
            const bool flagshipHeld = division.Flagship()->HoldFireUncertain;
            for (TFightingShip* s : division.Ships) {
                s->HoldFireUncertain = false;
                s->Engaged = false;
            }
            if (division.AIControl) {
                division.HoldFireMinutes = 0;
                division.HoldTorpedoFire = false;
            }
            if (division.HoldFireMinutes > 0) {
                for (TFightingShip* s : division.Ships) {
                    DropAllTargets(*s);
                }
                continue;
            }
            if (division.Flagship()->SeenThisMinute) {
                SelectDivisionTarget(world, division);
                if (division.TargetDivision != nullptr) {
                    SetShipTargets(world, division);
                }
            }
            for (std::size_t i = 0; i < division.Ships.size(); ++i) {
                TFightingShip& ship = *division.Ships[i];
                current = &ship;
                if (i > 0 && flagshipHeld && world.Random().Random(100) < kHoldFireSpread) {
                    ship.HoldFireUncertain = true;
                }
                const std::array<std::pair<TFightingShip**, int>, 5> slots{
                    {{&ship.CurrentTarget, kMainGuns},
                     {&ship.SecondaryStarboardTarget, kSecondaryGuns},
                     {&ship.SecondaryPortTarget, kSecondaryGuns},
                     {&ship.TertiaryStarboardTarget, kTertiaryGuns},
                     {&ship.TertiaryPortTarget, kTertiaryGuns}}};
                for (const auto& [slot, row] : slots) {
                    if (*slot != nullptr && (Gone(*slot) || Range(world, ship, **slot) >=
                                                                BatteryRange(world, ship, row))) {
                        *slot = nullptr;
                    }
                }
                if (!ship.SeenThisMinute) {
                    continue;
                }
                SelectMainTarget(world, ship);
                SelectSideTargets(world, ship, kSecondaryGuns, true);
                SelectSideTargets(world, ship, kSecondaryGuns, false);
                SelectSideTargets(world, ship, kTertiaryGuns, true);
                SelectSideTargets(world, ship, kTertiaryGuns, false);
                CheckSideArcs(world, ship);
            }
            current = nullptr;
        }
    } catch (const std::exception& e) {
        std::string text = "Error in SelectTargetsForAllDivisions procedure!\r";
        if (current != nullptr) {
            text += "Ship: " + current->Name + "\n";
        }
        if (currentDivision != nullptr) {
            text += "Division: " + currentDivision->DivisionName + "\n";
        }
        world.Messages().Error(text + e.what());
    }
}

void CountFirePressure(TGameWorld& world) {
    for (const auto& ship : world.Ships) {
        TFightingShip& x = *ship;
        x.ShipsFiringAtMe = 0;
        x.ShipsAimingLightGuns = 0;
        x.ShipsAimingMediumGuns = 0;
        x.ShipsAimingHeavyGuns = 0;
        x.BiggestCalibreTargetingMe = 0;
        x.Flinch = false;
        x.HitByMainGunsThisMinute = false;
    }
    const auto count = [](TFightingShip* x, int c) {
        if (x == nullptr || x->SightingLevel <= combat::kUnseen) {
            return;
        }
        if (c >= 4 && c <= 5) {
            ++x->ShipsAimingLightGuns;
        } else if (c >= 6 && c <= 10) {
            ++x->ShipsAimingMediumGuns;
        } else if (c >= 11 && c <= 20) {
            ++x->ShipsAimingHeavyGuns;
        }
        ++x->ShipsFiringAtMe;
        x->BiggestCalibreTargetingMe = std::max(x->BiggestCalibreTargetingMe, c);
    };
    // Each shooter counts once against each ship it aims at: with its main guns at its main
    // target, else with its secondaries at a secondary target.
    for (const auto& ship : world.Ships) {
        TFightingShip& s = *ship;
        if (s.Sunk) {
            continue;
        }
        TFightingShip* mainCounted = nullptr;
        if (s.CurrentTarget != nullptr && s.Calibre[kMainGuns] > kCountedCalibre) {
            mainCounted = s.CurrentTarget;
            count(mainCounted, s.Calibre[kMainGuns]);
        }
        if (s.Calibre[kSecondaryGuns] > kCountedCalibre) {
            TFightingShip* port = s.SecondaryPortTarget;
            TFightingShip* starboard = s.SecondaryStarboardTarget;
            if (port != mainCounted) {
                count(port, s.Calibre[kSecondaryGuns]);
            }
            if (starboard != mainCounted && starboard != port) {
                count(starboard, s.Calibre[kSecondaryGuns]);
            }
        }
    }
    for (const auto& ship : world.Ships) {
        TFightingShip& x = *ship;
        if ((x.ShipType == TShipType::CL || x.ShipType == TShipType::DD) &&
            x.CurrentMaxSpeed() >= kFlinchSpeed) {
            x.Flinch = (x.ShipsFiringAtMe > kFlinchShooters &&
                        x.BiggestCalibreTargetingMe >= x.Calibre[kMainGuns]) ||
                       x.BiggestCalibreTargetingMe > kFlinchCalibre;
        }
    }
}

namespace {

// The point of the globe under the sun.
map::TGeoPos SunPosition(const combat::TSunPoint& sun) {
    const double perDegree = static_cast<double>(map::kGlobeUnitsPerDegree);
    return {map::WrapLongitude(core::Round(sun.LongitudeDegrees * perDegree)),
            static_cast<std::int32_t>(core::Round(sun.LatitudeDegrees * perDegree)), 0};
}

// A low sun: dusk lies a short way east or west of a ship in daylight, so the sun stands just
// above the horizon.
bool LowSun(const map::TGeoPos& at, const combat::TSunPoint& sun) {
    constexpr std::int64_t kDuskOffset = 800000; // globe units, about nine miles
    for (const std::int64_t offset : {kDuskOffset, -kDuskOffset}) {
        const map::TGeoPos p{map::WrapLongitude(at.lon + offset), at.lat, 0};
        if (combat::LightCondition(map::SpherePoint(p), sun) == combat::kLightDusk) {
            return true;
        }
    }
    return false;
}

// Where the light comes from, for a firing ship: it matters only to a ship in twilight, or in
// daylight with the sun low and the sky clear.
struct TFireLight {
    bool LowSun = false;
    int LightBearing = 0;
};

TFireLight FireLight(const TGameWorld& world, const TFightingShip& firer,
                     const combat::TSunPoint& sun) {
    TFireLight light;
    const int weather = world.Environment.Weather;
    const bool clearSky = weather == combat::kClear || weather == combat::kPartlyCloudy;
    if (firer.LightState == combat::kLightDay && clearSky) {
        light.LowSun = LowSun(firer.Position(), sun);
    }
    if (firer.LightState == combat::kLightDusk || light.LowSun) {
        light.LightBearing = map::BearingBetween(firer.Position(), SunPosition(sun));
    }
    return light;
}

combat::TFireGeometry Geometry(TGameWorld& world, const TFightingShip& firer,
                               const TFightingShip& target, const TFireLight& light) {
    core::IMessages& messages = world.Messages();
    combat::TFireGeometry g;
    g.RangeYards = Range(world, firer, target);
    g.TrueBearing = world.SightingPairs.Bearing(firer, target);
    g.RelativeBearing = map::AddBearing(g.TrueBearing, -firer.Course());
    g.IncomingBearing = TFightingShip::IncomingBearing(&target, &firer, messages);
    g.ShipsInBetween = world.SightingPairs.ShipsInBetween(firer, target, world.Ships);
    // A burning ship at night is seen (and aimed at) by her fires as far as the lookouts saw her.
    g.TargetVisibility = world.VisibilityRange(target, false) + FireGlowYards(target);
    g.FirerVisibility = world.VisibilityRange(firer, false);
    g.SmokeInterference = SmokeInterference(world, firer, target);
    g.LowSun = light.LowSun;
    g.LightBearing = light.LightBearing;
    return g;
}

// The messages of a salvo go to the minute's log; its line to the gunnery log.
void Record(TGameWorld& world, const TFightingShip& firer, const TFightingShip& target,
            const combat::TSalvo& salvo, int level) {
    for (const combat::TSalvoMessage& m : salvo.Messages) {
        world.Log.AddLogLine(m.Text, m.Owner);
    }
    if (!salvo.LogLine.empty()) {
        world.GunneryLog.Add(salvo.LogLine);
    }
    if (salvo.Rounds > 0) {
        const int sound = world.Preferences.Log.SoundOption;
        if (sound == 0 || (sound == 1 && salvo.OpenedFire)) {
            world.Log.SetGunfireFlag();
        }
        const bool blewUp = std::any_of(salvo.HitResults.begin(), salvo.HitResults.end(),
                                        [](const combat::THitResult& hit) { return hit.BlewUp; });
        world.FireLines.push_back({firer.Id, target.Id, firer.Side,
                                   firer.Calibre[static_cast<std::size_t>(level)], salvo.Rounds,
                                   salvo.Hits, salvo.Straddle, blewUp, salvo.Splashes});
    }
}

// What every salvo of the minute reads from the world's clock.
struct TMinuteFacts {
    std::string Time;
    int ScenarioYear = 0;
    int GameDay = 0;
    combat::TSunPoint Sun;
};

TMinuteFacts FactsOfTheMinute(const TGameWorld& world) {
    return {core::FormatTime(world.Clock), world.ScenarioYear(), static_cast<int>(world.Clock),
            combat::SubSolarPoint(world.Clock)};
}

combat::TGunneryConditions Conditions(TGameWorld& world, const TFightingShip& ship,
                                      const TFightingShip& target, const TMinuteFacts& facts) {
    const int side = ship.Side;
    combat::TGunneryConditions conditions{world.WeaponTables, world.NationOf(ship),
                                          world.NationOf(target), world.Messages(),
                                          world.GunDataWarnings};
    conditions.SideGunneryBonus =
        side == 0 || side == 1 ? world.Sides[static_cast<std::size_t>(side)].ScenarioAccuracy : 0;
    conditions.ScenarioYear = facts.ScenarioYear;
    conditions.GameDay = facts.GameDay;
    conditions.Weather = world.Environment.Weather;
    conditions.SeaState = world.Environment.WindForce;
    conditions.FFRLow = world.Preferences.FFRLow;
    conditions.Time = facts.Time;
    conditions.Report = world.PlayerMaySee(ship) || world.PlayerMaySee(target);
    conditions.OpenFireMsg = world.Preferences.OpenFireMsg;
    conditions.PlayerSide = world.PlayerSide;
    return conditions;
}

void FireShip(TGameWorld& world, TFightingShip& ship, const TMinuteFacts& facts) {
    if (ship.IsSinkingOrSunk() || (ship.Collided && ship.CurrentSpeed == 0)) {
        return;
    }
    struct TBattery {
        TFightingShip* target;
        int level;
    };
    const std::array<TBattery, 5> batteries{{{ship.CurrentTarget, kMainGuns},
                                             {ship.SecondaryStarboardTarget, kSecondaryGuns},
                                             {ship.SecondaryPortTarget, kSecondaryGuns},
                                             {ship.TertiaryStarboardTarget, kTertiaryGuns},
                                             {ship.TertiaryPortTarget, kTertiaryGuns}}};
    std::optional<TFireLight> light; // the same for every battery of the ship
    for (const TBattery& battery : batteries) {
        TFightingShip* target = battery.target;
        if (target == nullptr || target->Sunk ||
            ship.Calibre[static_cast<std::size_t>(battery.level)] <= 0) {
            continue;
        }
        const combat::TGunneryConditions conditions = Conditions(world, ship, *target, facts);
        if (!light) {
            light = FireLight(world, ship, facts.Sun);
        }
        const combat::TFireGeometry geometry = Geometry(world, ship, *target, *light);
        const combat::TSalvo salvo = combat::FireGuns(ship, target, battery.level, geometry,
                                                      conditions, world.Random(), world.Cosmetic());
        Record(world, ship, *target, salvo, battery.level);
        if (battery.level == kMainGuns && salvo.Rounds > 0) {
            ship.Engaged = true;
        }
    }
}

} // namespace

void FireAllShips(TGameWorld& world) {
    const TMinuteFacts facts = FactsOfTheMinute(world);
    for (const auto& ship : world.Ships) {
        TFightingShip& s = *ship;
        s.RoundsFiredAtMeLastTurn = s.RoundsFiredAtMeThisMinute;
        s.RoundsFiredAtMeThisMinute = 0;
        s.HitsThisMinute = 0;
        s.HeavyHitsThisMinute = 0;
    }
    world.Log.ClearGunfireFlag();
    world.FireLines.clear();
    std::vector<TFightingShip*> order;
    order.reserve(world.Ships.size());
    for (const auto& ship : world.Ships) {
        order.push_back(ship.get());
    }
    if (world.Random().Random(100) >= 50) {
        std::reverse(order.begin(), order.end());
    }
    for (TFightingShip* ship : order) {
        core::RunGuarded(world.Messages(), "FireAllShips", ship->Name,
                         [&] { FireShip(world, *ship, facts); });
    }
    // The heaviest shell that fell round each ship is remembered for a minute: it shakes the
    // aim of the ship's own gunners next minute.
    for (const auto& ship : world.Ships) {
        ship->CalibreAtMeLastTurn = ship->BiggestCalibreAtMe;
        ship->BiggestCalibreAtMe = 0;
        ship->Collided = false;
    }
}

namespace {

// The target of a gun level, and the conditions and geometry it would fire under this minute.
struct TAim {
    const TFightingShip* Target = nullptr;
    int Calibre = 0;
    std::optional<combat::TGunneryConditions> Conditions;
    combat::TFireGeometry Geometry;
};

std::optional<TAim> AimOf(TGameWorld& world, const TFightingShip& ship, int level) {
    const TFightingShip* target =
        level == kMainGuns ? ship.CurrentTarget
        : level == kSecondaryGuns
            ? (ship.SecondaryStarboardTarget != nullptr ? ship.SecondaryStarboardTarget
                                                        : ship.SecondaryPortTarget)
            : (ship.TertiaryStarboardTarget != nullptr ? ship.TertiaryStarboardTarget
                                                       : ship.TertiaryPortTarget);
    const int calibre = level >= kMainGuns && level <= kTertiaryGuns
                            ? ship.Calibre[static_cast<std::size_t>(level)]
                            : 0;
    if (target == nullptr || target->Sunk || calibre <= 0) {
        return std::nullopt;
    }
    TAim aim;
    aim.Target = target;
    aim.Calibre = calibre;
    aim.Conditions.emplace(Conditions(world, ship, *target, FactsOfTheMinute(world)));
    aim.Geometry =
        Geometry(world, ship, *target, FireLight(world, ship, combat::SubSolarPoint(world.Clock)));
    return aim;
}

} // namespace

std::optional<TGunneryEstimate> EstimateGunnery(TGameWorld& world, const TFightingShip& ship,
                                                int level) {
    const std::optional<TAim> aim = AimOf(world, ship, level);
    if (!aim) {
        return std::nullopt;
    }
    TGunneryEstimate estimate;
    estimate.Target = aim->Target;
    estimate.RangeYards = aim->Geometry.RangeYards;
    estimate.HitChance =
        combat::HitChance(ship, *aim->Target, aim->Calibre, false, &estimate.Reasons, level,
                          aim->Geometry, *aim->Conditions);
    // The rate of fire has its own dice: the window rolls them on the cosmetic generator, so
    // looking never changes the battle.
    estimate.RateOfFire = combat::RateOfFire(
        ship, aim->Calibre, *aim->Target, combat::IsThickWeather(aim->Conditions->Weather), level,
        aim->Geometry, *aim->Conditions, world.Cosmetic());
    return estimate;
}

std::optional<double> MainGunHitChance(TGameWorld& world, const TFightingShip& ship) {
    const std::optional<TAim> aim = AimOf(world, ship, kMainGuns);
    if (!aim) {
        return std::nullopt;
    }
    return combat::HitChance(ship, *aim->Target, aim->Calibre, false, nullptr, kMainGuns,
                             aim->Geometry, *aim->Conditions);
}

void WriteGunneryLog(TGameWorld& world) {
    world.GunneryLog.Write(world.Folders().GunneryLogFile(), world.Messages());
}

TFightingShip* GetMainEnemy(TGameWorld& world, const TFightingShip& ship) {
    try {
        const auto nearest = [&](auto matches) {
            TFightingShip* best = nullptr;
            int bestRange = 0;
            for (const TSightedPair& pair : SightedPairs(world, ship)) {
                TFightingShip* t = pair.Ship;
                const int r = pair.Range;
                if (Gone(t) || !Enemies(ship, *t) || t->ShipType == TShipType::TR ||
                    t->SightingLevel < combat::kTypeIdentified || !matches(*t)) {
                    continue;
                }
                if (best == nullptr || r < bestRange) {
                    best = t;
                    bestRange = r;
                }
            }
            return best;
        };
        const int upToCA = designs::TypeIndex(TShipType::CA);
        const int upToCL = designs::TypeIndex(TShipType::CL);
        TFightingShip* enemy = nullptr;
        if (Is(ship, {TShipType::BB, TShipType::BC})) {
            enemy = nearest([](const TFightingShip& t) {
                return Is(t, {TShipType::BB, TShipType::BC, TShipType::B});
            });
        } else if (ship.ShipType == TShipType::CA) {
            enemy = nearest([](const TFightingShip& t) { return t.ShipType == TShipType::CA; });
        } else if (Is(ship, {TShipType::CL, TShipType::AMC})) {
            enemy = nearest([](const TFightingShip& t) {
                return Is(t, {TShipType::CL, TShipType::AMC});
            });
        } else if (ship.ShipType == TShipType::DD) {
            enemy = nearest([](const TFightingShip& t) {
                return Is(t, {TShipType::DD, TShipType::MS});
            });
        }
        if (enemy != nullptr) {
            return enemy;
        }
        if (Is(ship, {TShipType::BB, TShipType::BC, TShipType::B})) {
            return nearest([&](const TFightingShip& t) { return TypeIndex(t) <= upToCA; });
        }
        if (ship.ShipType == TShipType::CA) {
            return nearest([&](const TFightingShip& t) { return TypeIndex(t) <= upToCL; });
        }
        if (Is(ship, {TShipType::CL, TShipType::AMC, TShipType::DD})) {
            return nearest([](const TFightingShip&) { return true; });
        }
    } catch (const std::exception& e) {
        world.Messages().Error("Error GetMainEnemy procedure!\rDivision: " + ship.Name + "\n" +
                               e.what());
    }
    return nullptr;
}

} // namespace tarnwake::engine
