#include "engine/Detach.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "engine/ComputerOpponent.h"
#include "engine/GameWorld.h"
#include "engine/Sighting.h"
#include "engine/Tracks.h"
#include "map/Geometry.h"
#include "map/Globe.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;

namespace {

// A detached ship keeps away from her division this long before she may rejoin.
constexpr int kReattachDelayMinutes = 15;
// Above this damage a detached ship is a cripple that makes for home alone.
constexpr int kCrippleDamage = 40;
// The player is not asked again about a ship he chose to keep for this many checks.
constexpr int kAskAgainAfter = 30;
// Stragglers: this far behind the ship ahead and this much slower than the division.
constexpr double kStragglerYards = 5000.0;
constexpr double kFarStragglerYards = 8000.0;
constexpr int kStragglerMedianMargin = 4;
constexpr int kStragglerOrderedMargin = 2;
constexpr int kHeavyDamagePercent = 90;
// A ship well astern of her next ahead (or spread in a search line) turns on an enemy close
// by rather than follow.
constexpr double kWellAsternYards = 4000.0;
constexpr int kCloseEnemyYards = 15000;
constexpr double kConvoyScatterYards = 10000.0;
// Ships lost in the dark steer anything up to 20 degrees off, out of control for a while.
constexpr int kLostContactDrift = 40;
constexpr int kLostContactCourseSpread = 80;
constexpr int kLostContactRunYards = 30000;
constexpr int kLostContactSearchYards = 40000;
constexpr int kLostContactSearchMinYards = 2000;
constexpr int kLostContactOutOfControl = 5;
constexpr int kLostContactRejoinMinutes = 30;
constexpr int kLostContactRejoinSpread = 120;
constexpr int kFallOutOfLineTurn = 30;
constexpr int kFallOutOfLineMinutes = 3;
// Before 1908 signalling by night and in thick weather was poor.
constexpr int kGoodSignallingYear = 1908;
// Rejoining: close up on the rear ship, or come near the flagship.
constexpr double kRejoinRearYards = 2500.0;
constexpr double kRejoinNearFlagshipYards = 6000.0;
constexpr double kRejoinFlagshipYards = 3000.0;
// The player's "Detach" is for ships that need it.
constexpr int kDetachDamage = 30;
constexpr int kDetachEngines = 94;

bool JammedToOneSide(const TFightingShip& ship) {
    return ship.RudderStatus == 1 || ship.RudderStatus == 3;
}

void MoveToEnd(TDivision& division, TFightingShip* ship) {
    auto& ships = division.Ships;
    const auto at = std::find(ships.begin(), ships.end(), ship);
    if (at != ships.end()) {
        std::rotate(at, at + 1, ships.end());
    }
}

// The division the ship leaves her own for, before it decides anything.
TDivision& FormDivision(TGameWorld& world, TDivision& division, TFightingShip& ship) {
    auto& ships = division.Ships;
    ships.erase(std::remove(ships.begin(), ships.end(), &ship), ships.end());
    TDivision& fresh =
        world.AddDivision(std::make_unique<TDivision>(ship.Name + " *", division.Side));
    fresh.Shortname = fresh.DivisionName;
    fresh.Course = division.Course;
    fresh.Force = division.Force;
    if (fresh.Force != nullptr) {
        fresh.Force->Divisions.push_back(&fresh);
    }
    fresh.AIControl = division.AIControl || world.Preferences.RealismSetting == kRealismAdmiral;
    fresh.ReportsBySignal = division.ReportsBySignal;
    fresh.DetachedShip = true;
    fresh.Ships.push_back(&ship);
    ship.ReattachDelay = kReattachDelayMinutes;
    if (ship.DamagePercentage() <= kCrippleDamage) {
        fresh.Role = division.Role;
        fresh.LeadDiv = division.LeadDiv;
        if (division.Role == combat::rolePatrol) {
            fresh.Objective = division.Objective;
        }
    } else {
        fresh.GoHome = true;
        fresh.Role = combat::roleIndependent;
    }
    fresh.Speed = fresh.MedianSpeed();
    CreateDivisionGraphics(world, fresh);
    return fresh;
}

void Decide(TGameWorld& world, TDivision& division) {
    const TFightingShip* flag = division.Flagship();
    if (division.AIControl && flag != nullptr && !flag->IsSinkingOrSunk()) {
        world.Opponent().DivisionDecides(world, division);
    }
}

bool AskedOfPlayer(const TGameWorld& world, const TDivision& division) {
    return division.Side == world.PlayerSide && !division.AIControl;
}

// Loses contact with her division in the dark or in thick weather.
bool LosesContact(TGameWorld& world, const TDivision& division, const TFightingShip& ship) {
    const TFightingShip* flag = division.Flagship();
    const int weather = world.Environment.Weather;
    const bool night = flag->LightState == combat::kLightNight;
    const bool thick = weather == 0 || weather == 1 || weather == 7;
    const bool spread = division.Formation == combat::formLineAbreast ||
                        division.Formation == combat::formSearchLine ||
                        division.Formation == combat::formScreen;
    if (!spread || !(night || thick) || division.Force == nullptr ||
        !division.Force->PlayerSteered) {
        return false;
    }
    core::TRandomGenerator& random = world.Random();
    const bool rain = weather == 6 || weather == 7;
    return random.Random(2000 + 100 * world.NationOf(ship).NightFighting) == 1 ||
           (night && rain && random.Random(2000) == 1) ||
           (world.ScenarioYear() < kGoodSignallingYear && random.Random(2000) == 1);
}

void DetachLostShip(TGameWorld& world, TDivision& division, TFightingShip& ship) {
    core::TRandomGenerator& random = world.Random();
    ship.OrderedCourse =
        map::AddBearing(ship.Course(), random.Random(kLostContactDrift) - kLostContactDrift / 2);
    ship.OutOfControl = random.Random(10) + kLostContactOutOfControl;
    DetachShip(world, division, &ship, [&](TDivision& fresh) {
        fresh.Course =
            map::AddBearing(division.Course,
                            kLostContactCourseSpread / 2 - random.Random(kLostContactCourseSpread));
        fresh.AIControl = true;
        fresh.SecondPoint = map::RandomFreePointNear(
            world.Chart, map::MovePoint(ship.Position(), ship.Course(), kLostContactRunYards),
            kLostContactSearchYards, kLostContactSearchMinYards, &ship, random);
        fresh.LockedAI = true;
        fresh.Role = combat::roleIndependent;
        ship.ReattachDelay = random.Random(kLostContactRejoinSpread) + kLostContactRejoinMinutes;
        if (world.PlayerMaySee(ship)) {
            world.Log.AddLogLine("4 " + ship.Name + " loses contact with division!", &ship);
        }
    });
}

void FallOutOfLine(TGameWorld& world, TDivision& division, TFightingShip& ship) {
    ship.OutOfControl = kFallOutOfLineMinutes;
    DetachShip(world, division, &ship, [&](TDivision& fresh) {
        if (ship.CurrentTarget != nullptr) {
            const int r = ship.GetBearingToShip(ship.CurrentTarget, world.Messages());
            fresh.Course = map::AddBearing(division.Course,
                                           r <= 180 ? -kFallOutOfLineTurn : kFallOutOfLineTurn);
        } else {
            fresh.Course =
                map::AddBearing(division.Course,
                                kFallOutOfLineTurn - world.Random().Random(2 * kFallOutOfLineTurn));
        }
        if (world.PlayerMaySee(ship)) {
            world.Log.AddLogLine(ship.Name + " falls out of line!", &ship);
        }
    });
}

// Slow ships drop to the rear; a flagship flooding badly or with her rudder jammed hauls out
// of the line, and the line falls into disorder.
void ShuffleLine(TGameWorld& world, TDivision& division) {
    core::TRandomGenerator& random = world.Random();
    const int median = division.MedianSpeed();
    const std::vector<TFightingShip*> line(division.Ships.begin(), division.Ships.end() - 1);
    bool disrupted = false;
    for (std::size_t i = 0; i < line.size(); ++i) {
        TFightingShip* ship = line[i];
        const bool flagship = i == 0;
        const int top = ship->CurrentMaxSpeed();
        if (random.Random(100) < 50 && top < median - kStragglerMedianMargin &&
            top < division.Speed) {
            MoveToEnd(division, ship);
            disrupted = disrupted || flagship;
        }
        if (flagship && random.Random(100) < 50 &&
            ((ship->HeavilyFlooded() && random.Random(20) < 10) || JammedToOneSide(*ship))) {
            MoveToEnd(division, ship);
            disrupted = true;
        }
        if (ship->IsSinkingOrSunk()) {
            MoveToEnd(division, ship);
        }
        if (disrupted && division.Ships.size() > 1) {
            ship->OrderedCourse = map::AddBearing(ship->Course(), random.Random(80) - 40);
            ship->OutOfControl = random.Random(5) + 1;
        }
    }
}

// The checks of one ship against the ship ahead; answers whether the minute's checks end.
bool CheckShip(TGameWorld& world, TDivision& division, TFightingShip& ship,
               const TFightingShip& ahead, int median) {
    core::TRandomGenerator& random = world.Random();
    const bool seen = world.PlayerMaySee(ship);
    const auto say = [&](const std::string& text) {
        if (seen) {
            world.Log.AddLogLine(ship.Name + text, &ship);
        }
    };
    const auto detachAndSplit = [&] {
        TDivision* fresh = DetachShip(world, division, &ship);
        SplitEscorts(world, division, *fresh);
    };
    if (ship.Sinking > 0) {
        DetachShip(world, division, &ship);
        division.Losses += LossValue(ship) / 2;
        say(" is sinking and has been detached");
        return false;
    }
    if (!ship.InPlay()) {
        DetachShip(world, division, &ship);
        say(" has sunk and has been detached");
        return false;
    }
    const double behind = combat::RangeYards(ship, ahead);
    const int top = ship.CurrentMaxSpeed();
    if ((behind > kStragglerYards && top < median - kStragglerMedianMargin &&
         top < division.Speed - kStragglerOrderedMargin) ||
        (behind > kFarStragglerYards && top < division.Speed - kStragglerOrderedMargin)) {
        if (!AskedOfPlayer(world, division) ||
            AskDetach(world, ship, " cannot keep up with the division.")) {
            detachAndSplit();
            say(" cannot keep up and has been detached");
        }
        return true;
    }
    if (ship.DamagePercentage() > kHeavyDamagePercent) {
        detachAndSplit();
        say(" has been detached due to heavy damage");
        return true;
    }
    double range = 0.0;
    const TFightingShip* enemy = NearestSightedEnemy(ship, false, range);
    if ((division.Formation == combat::formSearchLine || behind > kWellAsternYards) &&
        enemy != nullptr &&
        range < std::min(kCloseEnemyYards, world.VisibilityRange(*enemy, false) / 2) &&
        range < 1.2 * behind) {
        DetachShip(world, division, &ship);
        say(" detaches to move independently against close enemy");
        return true;
    }
    const TFightingShip* flag = division.Flagship();
    if (flag->ShipType == TShipType::TR && enemy != nullptr && range < kConvoyScatterYards &&
        random.Random(100) < 50) {
        DetachShip(world, division, &ship);
        say(" detaches on convoy scatters");
        return true;
    }
    if (LosesContact(world, division, ship)) {
        DetachLostShip(world, division, ship);
        return true;
    }
    if (ship.CommandConfusion > 0) {
        --ship.CommandConfusion;
        if (random.Random(100) < 30) {
            FallOutOfLine(world, division, ship);
            return false;
        }
    }
    if (JammedToOneSide(ship)) {
        DetachShip(world, division, &ship);
        say(" detaches due to jammed rudder!");
        return false;
    }
    if (ship.HeavilyFlooded()) {
        detachAndSplit();
        say(" has been detached because of heavy flooding.");
    }
    return false;
}

} // namespace

int LossValue(const TFightingShip& ship) {
    switch (ship.ShipType) {
    case TShipType::DD:
        return 100;
    case TShipType::CL:
        return 1000;
    case TShipType::BB:
    case TShipType::BC:
        return 2000;
    case TShipType::B:
    case TShipType::CA:
        return 500;
    default:
        return 0;
    }
}

TDivision* DetachShip(TGameWorld& world, TDivision& division, TFightingShip* ship,
                      const std::function<void(TDivision&)>& prepare) {
    TFightingShip* leaving = ship != nullptr ? ship : division.RearShip();
    if (leaving == nullptr) {
        return nullptr;
    }
    TDivision& fresh = FormDivision(world, division, *leaving);
    if (prepare) {
        prepare(fresh);
    }
    Decide(world, fresh);
    return &fresh;
}

void SplitEscorts(TGameWorld& world, TDivision& from, TDivision& to) {
    for (TDivision* escort : world.AllDivisions()) {
        const TFightingShip* flag = escort->Flagship();
        if (escort->LeadDiv != &from || escort->Ships.size() <= 1 ||
            flag->ShipType != TShipType::DD) {
            continue;
        }
        DetachShip(world, *escort, escort->Flagship(), [&to](TDivision& screen) {
            screen.Role = combat::roleScreen;
            screen.LeadDiv = &to;
        });
    }
}

bool AskDetach(TGameWorld& world, TFightingShip& ship, const std::string& reason) {
    if (ship.AskedCount > 0) {
        --ship.AskedCount;
        return false;
    }
    const bool yes =
        world.Messages().Ask(ship.Name + " " + reason + "\n" + "Do you want to detach her?",
                             core::kYesNo, core::btYes) == core::btYes;
    if (!yes) {
        ship.AskedCount = kAskAgainAfter;
    }
    return yes;
}

void CheckDetach(TGameWorld& world, TDivision& division) {
    if (!division.HasShips()) {
        return;
    }
    ShuffleLine(world, division);
    const int median = division.MedianSpeed();
    for (std::size_t i = division.Ships.size() - 1; i >= 1; --i) {
        TFightingShip& ship = *division.Ships[i];
        if (CheckShip(world, division, ship, *division.Ships[i - 1], median)) {
            return;
        }
    }
}

void CheckReattach(TGameWorld& world, TDivision& division) {
    try {
        TFightingShip* flag = division.Flagship();
        TDivision* initial = flag != nullptr ? flag->InitialDivision : nullptr;
        if (initial == nullptr || initial == &division || !initial->HasShips()) {
            return;
        }
        const TFightingShip& initialFlag = *initial->Flagship();
        const TFightingShip* initialRear = initial->RearShip();
        const double toFlagship = combat::RangeYards(*flag, initialFlag);
        const bool close = (combat::RangeYards(*initialRear, *flag) < kRejoinRearYards &&
                            flag->InPlay() && toFlagship < kRejoinNearFlagshipYards) ||
                           toFlagship < kRejoinFlagshipYards;
        if (!close || initialRear == flag || flag->ReattachDelay != 0 ||
            division.RescueTarget != nullptr) {
            return;
        }
        const std::vector<TFightingShip*> ships = division.Ships;
        for (TFightingShip* ship : ships) {
            TDivision* home = ship->InitialDivision;
            if (home == nullptr || home == &division) {
                continue;
            }
            auto& own = division.Ships;
            own.erase(std::remove(own.begin(), own.end(), ship), own.end());
            home->Ships.push_back(ship);
            if (world.PlayerMaySee(*ship)) {
                world.Log.AddLogLine(ship->Name + " has reattached to " + home->DivisionName, ship);
            }
        }
    } catch (const std::exception& e) {
        world.Messages().Error("Error in CheckReattach procedure!\rDivision: " +
                               division.DivisionName + "\n" + e.what());
    }
}

std::string DetachRefusal(const TGameWorld& world, const TFightingShip& ship) {
    const TDivision* division = world.DivisionOfShip(&ship);
    const bool aloneMinesweeper =
        ship.ShipType == TShipType::MS && division != nullptr && division->Ships.size() == 1;
    const bool alwaysMay =
        ship.ShipType == TShipType::AMC || ship.ShipType == TShipType::AV || aloneMinesweeper;
    if (!alwaysMay && ship.TorpedoHits == 0 && ship.DamagePercentage() <= kDetachDamage &&
        ship.EngineEfficiency > kDetachEngines) {
        return "Ship is not sufficiently damaged to detach!";
    }
    return {};
}

bool DetachCommand(TGameWorld& world, TFightingShip& ship) {
    TDivision* division = world.DivisionOfShip(&ship);
    if (division == nullptr || !DetachRefusal(world, ship).empty()) {
        return false;
    }
    if (division->Ships.size() == 1 || ship.ShipType == TShipType::AMC ||
        ship.ShipType == TShipType::AV) {
        division->GoHome = true;
        division->AIControl = true;
        return true;
    }
    TDivision* fresh = DetachShip(world, *division, &ship, [](TDivision& alone) {
        alone.GoHome = true;
        alone.AIControl = true;
    });
    SplitEscorts(world, *division, *fresh);
    return true;
}

} // namespace tarnwake::engine
