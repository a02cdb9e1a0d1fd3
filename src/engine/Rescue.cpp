#include "engine/Rescue.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "engine/ComputerOpponent.h"
#include "engine/Detach.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"

#include <algorithm>
#include <vector>

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;

namespace {

// Boats are lowered only when stopped close by; beyond this the rescue is given up.
constexpr double kPickUpYards = 2999.0;
constexpr int kPickUpSpeed = 5;
constexpr double kGiveUpYards = 10100.0;
// A minute's boatloads: a destroyer's crew is small, a minesweeper's smaller still.
constexpr int kMinesweeperSurvivors = 6;
constexpr int kDestroyerSurvivors = 12;
constexpr int kOtherSurvivors = 20;
// Offers: only ships near the wreck, with no enemy near it and none in sight of the rescuer,
// and fit enough to stop.
constexpr double kOfferYards = 9999.0;
constexpr double kEnemyNearWreckYards = 10000.0;
constexpr double kDestroyerClearYards = 10000.0;
constexpr double kCruiserClearYards = 18000.0;
constexpr int kRescuerDamage = 50;

void EndRescue(TDivision& division) {
    if (division.RescueTarget != nullptr) {
        division.RescueTarget->BeingRescued = false;
    }
    division.RescueTarget = nullptr;
}

combat::TRescue& RescueBy(TFightingShip& wreck, const TFightingShip& rescuer) {
    for (combat::TRescue& r : wreck.Rescues) {
        if (r.Rescuer == rescuer.Id && !r.LostWithRescuer) {
            return r;
        }
    }
    wreck.Rescues.push_back({rescuer.Id, rescuer.Name, 0, false});
    return wreck.Rescues.back();
}

// A light ship that can stop: nothing in sight near enough to threaten her.
bool MayStop(const TFightingShip& ship) {
    double clear = 0.0;
    if (ship.ShipType == TShipType::DD) {
        clear = kDestroyerClearYards;
    } else if (ship.ShipType == TShipType::CL) {
        clear = kCruiserClearYards;
    } else {
        return false;
    }
    return std::none_of(ship.Sighted.begin(), ship.Sighted.end(), [&](const TFightingShip* s) {
        return s != nullptr && combat::RangeYards(ship, *s) < clear;
    });
}

bool EnemySeenNear(const TGameWorld& world, int side, const TFightingShip& wreck) {
    return std::any_of(world.Ships.begin(), world.Ships.end(), [&](const auto& s) {
        return s->Side != side && s->Side != kNeutralSide && s->InPlay() &&
               s->SightingLevel > combat::kUnseen &&
               combat::RangeYards(*s, wreck) < kEnemyNearWreckYards;
    });
}

bool LayingMines(const TDivision& division) {
    return std::any_of(division.Ships.begin(), division.Ships.end(),
                       [](const TFightingShip* s) { return s->LayingMinefield(); });
}

void StartRescue(TGameWorld& world, TDivision& division, TFightingShip* detached,
                 TFightingShip& wreck) {
    const auto prepare = [&wreck](TDivision& rescuing) {
        rescuing.SecondPoint = wreck.Position();
        rescuing.RescueTarget = &wreck;
        rescuing.AIControl = true;
    };
    wreck.BeingRescued = true;
    if (detached != nullptr) {
        DetachShip(world, division, detached, prepare);
    } else {
        prepare(division);
    }
}

// Offers the rescue to one division; answers whether a rescue started.
bool Offer(TGameWorld& world, TDivision& division, TFightingShip* detached, TFightingShip& wreck) {
    const bool player = world.PlayerSide != kWatchingSide && division.Force != nullptr &&
                        division.Force->PlayerSteered;
    if (!player || world.RescueYesToAll) {
        if (world.Random().Random(100) >= 30) {
            StartRescue(world, division, detached, wreck);
            return true;
        }
        return false;
    }
    if (wreck.RescueAsked || world.RescueNoToAll) {
        return false;
    }
    const std::string name = wreck.Side == division.Side ? wreck.Name : wreck.IdentifiedName();
    const std::string question = detached != nullptr
                                     ? "Do you want to detach " + detached->Name +
                                           " to pick up survivors from " + name + " ?"
                                     : "Do you want " + division.Flagship()->Name +
                                           " to pick up survivors from " + name + " ?";
    switch (world.Messages().Ask(question, core::kYesNoAll, core::btYes)) {
    case core::btYesToAll:
        world.RescueYesToAll = true;
        [[fallthrough]];
    case core::btYes:
        StartRescue(world, division, detached, wreck);
        return true;
    case core::btNoToAll:
        world.RescueNoToAll = true;
        [[fallthrough]];
    default:
        wreck.RescueAsked = true;
        return false;
    }
}

} // namespace

void OfferRescue(TGameWorld& world) {
    std::vector<TFightingShip*> wrecks;
    for (const auto& s : world.SunkShips) {
        wrecks.push_back(s.get());
    }
    for (TFightingShip* wreck : wrecks) {
        // Nobody finds men in the water in the dark; the wrecks in daylight are still offered.
        if (wreck->LightState == combat::kLightNight || wreck->BeingRescued ||
            wreck->IsLandTarget()) {
            continue;
        }
        for (TDivision* d : world.AllDivisions()) {
            TFightingShip* flag = d->Flagship();
            if (flag == nullptr || !flag->InPlay() || d->RescueTarget != nullptr ||
                LayingMines(*d)) {
                continue;
            }
            const double range = combat::RangeYards(*flag, *wreck);
            if (range >= kOfferYards || range >= world.Environment.DayRange ||
                EnemySeenNear(world, d->Side, *wreck) || !MayStop(*flag)) {
                continue;
            }
            TFightingShip* detached = d->Ships.size() == 1 ? nullptr : d->RearShip();
            const TFightingShip& rescuer = detached != nullptr ? *detached : *flag;
            if (rescuer.DamagePercentage() >= kRescuerDamage) {
                continue;
            }
            if (Offer(world, *d, detached, *wreck)) {
                break;
            }
        }
    }
}

bool ContinueRescue(TGameWorld& world, TDivision& division) {
    TFightingShip* wreck = division.RescueTarget;
    TFightingShip* flag = division.Flagship();
    if (wreck == nullptr || flag == nullptr) {
        return false;
    }
    if (flag->IsSinkingOrSunk()) {
        EndRescue(division);
        return true;
    }
    const double range = combat::RangeYards(*flag, *wreck);
    if (range > kPickUpYards || flag->CurrentSpeed > kPickUpSpeed) {
        if (range > kGiveUpYards) {
            EndRescue(division);
            if (division.AIControl) {
                world.Opponent().DivisionDecides(world, division);
            }
        }
        return false;
    }
    const int most = wreck->ShipType == TShipType::MS   ? kMinesweeperSurvivors
                     : wreck->ShipType == TShipType::DD ? kDestroyerSurvivors
                                                        : kOtherSurvivors;
    combat::TRescue& rescue = RescueBy(*wreck, *flag);
    rescue.Picked += world.Random().Random(most);
    const bool seen = world.PlayerMaySee(*flag);
    if (world.Random().Random(6) == 1) {
        division.Speed = division.MedianSpeed();
        // The wreck stays marked: her survivors have been found and nobody is sent again.
        division.RescueTarget = nullptr;
        if (seen) {
            world.Log.AddLogLine(flag->Name + " has picked up " + std::to_string(rescue.Picked) +
                                     " survivors from " + wreck->Name,
                                 flag);
        }
    } else if (seen) {
        world.Log.AddLogLine(flag->Name + " is picking up survivors from " + wreck->Name, flag);
    }
    return false;
}

int SurvivorsAboard(const TGameWorld& world, const TFightingShip& ship) {
    int n = 0;
    for (const auto& wreck : world.SunkShips) {
        for (const combat::TRescue& r : wreck->Rescues) {
            n += r.Rescuer == ship.Id && !r.LostWithRescuer ? r.Picked : 0;
        }
    }
    return n;
}

void LoseSurvivorsAboard(TGameWorld& world, const TFightingShip& ship) {
    for (const auto& wreck : world.SunkShips) {
        for (combat::TRescue& r : wreck->Rescues) {
            if (r.Rescuer == ship.Id) {
                r.LostWithRescuer = true;
            }
        }
    }
}

} // namespace tarnwake::engine
