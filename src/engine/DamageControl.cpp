#include "engine/DamageControl.h"

#include "campaign/Minefield.h"
#include "combat/DamageControl.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "engine/CampaignEvents.h"
#include "engine/ContactReports.h"
#include "engine/GameWorld.h"
#include "engine/Ports.h"
#include "engine/Sighting.h"
#include "engine/Smoke.h"
#include "engine/Tracks.h"
#include "engine/Weather.h"
#include "map/Geometry.h"

#include <algorithm>
#include <stdexcept>

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;

namespace {

constexpr int kYardsPerHomeUnit = 1000;
// Heavy seas begin to tell above a strong breeze.
constexpr int kHeavySeasWind = 6;
// A lone transport with an enemy warship this close heaves to and is boarded.
constexpr double kBoardingYards = 16000.0;
constexpr int kScuttledMinutes = 20;
// The chance false reports of aircraft and submarines: one in this many a minute per ship,
// in fleets of up to thirty ships (larger fleets report proportionally less often each).
constexpr int kFalseAlarmOdds = 100000;
constexpr int kFalseAlarmFleet = 30;
// Aircraft flew over the North Sea from 1914, submarines were feared from 1908.
constexpr int kFirstAircraftYear = 1914;
constexpr int kFirstSubmarineYear = 1908;
// Lookouts do not report periscopes in a gale.
constexpr int kSubmarineAlarmWind = 9;

// A ship is home when it lies within its force's home radius of the force's home point; a ship
// of no force, or of a force with no home, is always away.
bool IsAwayFromHome(const TGameWorld& world, const TFightingShip& ship) {
    const combat::TDivision* division = world.DivisionOfShip(&ship);
    const combat::TForce* force = division != nullptr ? division->Force : nullptr;
    if (force == nullptr || (force->Home.lon == 0 && force->Home.lat == 0)) {
        return true;
    }
    return map::RangeYards(ship.Position(), force->Home) >
           static_cast<double>(force->HomeDistance) * kYardsPerHomeUnit;
}

std::string Time(const TGameWorld& world) {
    return core::FormatTime(world.Clock);
}

// The ships someone fires at or aims at this minute.
std::vector<const TFightingShip*> TargetedShips(const TGameWorld& world) {
    std::vector<const TFightingShip*> targeted;
    for (const auto& s : world.Ships) {
        for (const TFightingShip* t :
             {s->CurrentTarget, s->SecondaryPortTarget, s->SecondaryStarboardTarget,
              s->TertiaryPortTarget, s->TertiaryStarboardTarget}) {
            if (t != nullptr) {
                targeted.push_back(t);
            }
        }
    }
    return targeted;
}

// The player's divisions check their ammunition every minute.
// The player's flagship taking in water heavily is reminded every 20 minutes to ease her
// speed while she still makes 13 knots or more; the computer slows its own flagships itself.
void FloodingReminder(TGameWorld& world, TDivision& division) {
    constexpr int kReminderMinutes = 20;
    constexpr int kReminderSpeed = 13;
    TFightingShip* flag = division.Flagship();
    if (flag == nullptr || division.AIControl || flag->IsSinkingOrSunk() ||
        !flag->HeavilyFlooded()) {
        return;
    }
    if (--flag->FloodingReminder > 0) {
        return;
    }
    if (flag->CurrentSpeed >= kReminderSpeed) {
        world.Log.AddLogLine("6" + flag->Name + " has bad flooding and needs to slow down!", flag);
    }
    flag->FloodingReminder = kReminderMinutes;
}

void PlayerDivisionBookkeeping(TGameWorld& world, TDivision& division) {
    if (division.Side != world.PlayerSide) {
        return;
    }
    for (TFightingShip* s : division.Ships) {
        if (const std::string warning = s->CheckAmmoWarnings(); !warning.empty()) {
            world.Log.AddLogLine(warning, s);
        }
    }
    FloodingReminder(world, division);
}

// A transport alone with an enemy warship near gives up, unless friends are close by.
void LoneTransportGivesUp(TGameWorld& world, const TDivision& division, TFightingShip& ship) {
    if (division.Ships.size() != 1 || ship.ShipType != TShipType::TR || ship.IsSinkingOrSunk()) {
        return;
    }
    double range = 0.0;
    if (world.Random().Random(100) >= 10) {
        return;
    }
    const TFightingShip* enemy = NearestSightedEnemy(ship, false, range);
    if (enemy == nullptr || enemy->ShipType == TShipType::TR || range >= kBoardingYards ||
        IsProtected(world, ship)) {
        return;
    }
    if (world.PlayerMaySee(*enemy)) {
        world.Log.AddLogLine("6" + ship.Name + " heaves to. Crew abandons ship!", &ship);
    }
    ship.Sinking = kScuttledMinutes + world.Random().Random(kScuttledMinutes);
    ship.CurrentSpeed = 0;
    ship.Hits.push_back(Time(world) + " " + "Boarded and scuttled (" + enemy->Name + ")");
}

void RunDamageControl(TGameWorld& world, const TDivision& division, TFightingShip& ship,
                      const std::vector<const TFightingShip*>& targeted) {
    combat::TDamageControlConditions c;
    c.DamageControl = world.NationOf(ship).DamageControl;
    c.GameDay = static_cast<int>(world.Clock);
    c.SeaState = world.Environment.WindForce;
    c.Time = Time(world);
    c.Known = ship.PlayerCommanded;
    c.Report = ship.PlayerCommanded || world.PlayerSide == kWatchingSide;
    c.FlotationWarning = designs::TypeIndex(ship.ShipType) <= world.Preferences.FloatWarning;
    c.InDivision = true;
    c.DivisionSpeed = division.Speed;
    c.EnemyInSight = HasEnemyInSight(ship);
    c.Unmolested = ship.ShipsFiringAtMe == 0 &&
                   std::find(targeted.begin(), targeted.end(), &ship) == targeted.end();
    const combat::TDamageControlResult result = combat::ShipDamageControl(ship, c, world.Random());
    for (const std::string& line : result.Messages) {
        world.Log.AddLogLine(line, &ship);
    }
    for (const std::string& text : result.MessageBoxes) {
        world.Messages().Inform(text);
    }
}

// Ships in harbour raise steam once the side is alerted; ships at sea as their times say.
void RaiseSteam(TGameWorld& world, const TDivision& division, TFightingShip& ship) {
    const combat::TForce* force = division.Force;
    if (ship.TimeToRaiseSteam <= 0 ||
        (!SideAlerted(world, ship.Side) && force != nullptr && force->InPort)) {
        return;
    }
    --ship.TimeToRaiseSteam;
    ship.OrderedSpeed = 0;
    if (ship.TimeToRaiseSteam == 0 && force != nullptr && force->PlayerSteered) {
        if (&ship == division.Flagship()) {
            world.Log.AddLogLine("6" + division.DivisionName + " has raised steam!", &division);
        }
        world.Log.AddLogLine(ship.Name + " ready to put to sea!", &ship);
    }
}

void LayMines(TGameWorld& world, TFightingShip& ship) {
    if (!ship.LayingMinefield()) {
        return;
    }
    campaign::TMinefield* field = world.FindMinefield(ship.MinefieldBeingLaid);
    if (field == nullptr) {
        ship.MinefieldBeingLaid = {};
        return;
    }
    ship.CurrentSpeed = std::min(ship.CurrentSpeed, campaign::kMineLayingSpeed);
    ship.OrderedSpeed = std::min(ship.OrderedSpeed, campaign::kMineLayingSpeed);
    field->Marker->AddPoint(0, ship.Position());
    ship.Mines = std::max(ship.Mines - 1, 0);
    // Another side's minelaying is nothing the player hears of.
    const bool seen = world.PlayerMaySee(ship);
    if (ship.Mines > 0) {
        if (seen) {
            world.Log.AddLogLine(ship.Name + " is laying mines!", &ship);
        }
        return;
    }
    field->Marker->SetTitle("Minefield laid by " + ship.Name);
    field->Density = campaign::kLaidMinefieldDensity;
    field->PlayerLaid = true;
    field->Marker->SetHidden(!seen);
    ship.MinefieldBeingLaid = {};
    if (seen) {
        const std::string text = ship.Name + " has finished laying mines!";
        world.Log.AddLogLine(text, &ship);
        if (ship.Side == world.PlayerSide) {
            world.Messages().Inform(text);
        }
    }
}

// A ship is in combat when she has a target and fired, or was under more than a few rounds.
bool InCombat(const TFightingShip& ship) {
    return ship.CurrentTarget != nullptr &&
           (ship.FiredLastMinute ||
            ship.RoundsFiredAtMeLastTurn > ship.Calibre[designs::kMainGuns] - 3);
}

void FalseAlarms(TGameWorld& world, TFightingShip& ship) {
    core::TRandomGenerator& random = world.Random();
    const int ships = static_cast<int>(world.Ships.size());
    const int year = world.ScenarioYear();
    const bool breaks = world.Preferences.Log.BreakOnSubSighting;
    if (random.Random(kFalseAlarmOdds) == 1 && random.Random(ships) < kFalseAlarmFleet &&
        year >= kFirstAircraftYear && ship.LightState == combat::kLightDay &&
        world.PlayerMaySee(ship) && AircraftPossible(world)) {
        world.Log.AddLogLine(ship.Name + " has sighted an enemy aircraft", &ship);
        world.PausePending = world.PausePending || breaks;
    }
    if (random.Random(kFalseAlarmOdds) == 1 && random.Random(ships) < kFalseAlarmFleet &&
        year >= kFirstSubmarineYear && ship.LightState != combat::kLightNight &&
        world.Environment.WindForce < kSubmarineAlarmWind && world.PlayerMaySee(ship)) {
        world.Log.AddLogLine("7" + ship.Name + " has spotted a submarine!", &ship);
        world.PausePending = world.PausePending || breaks;
    }
}

void ShipMinute(TGameWorld& world, TDivision& division, TFightingShip& ship,
                const std::vector<const TFightingShip*>& targeted) {
    LoneTransportGivesUp(world, division, ship);
    if (&ship == division.Flagship()) {
        ExtendDivisionTrack(world, division);
    }
    if (!ship.IsSinkingOrSunk() && (ship.Side == 0 || ship.Side == 1) &&
        IsAwayFromHome(world, ship)) {
        world.AllHome[static_cast<std::size_t>(ship.Side)] = false;
    }
    ship.ReattachDelay = std::max(ship.ReattachDelay - 1, 0);
    if (world.Environment.WindForce > kHeavySeasWind) {
        HeavySeas(world, ship);
    }
    if (ship.InPlay()) {
        RunDamageControl(world, division, ship, targeted);
        RaiseSteam(world, division, ship);
        LayMines(world, ship);
        division.InCombat = division.InCombat || InCombat(ship);
    }
    if (ship.TimeToRaiseSteam <= 0) {
        FalseAlarms(world, ship);
    }
    CountDownSmoke(ship);
}

} // namespace

void AllShipsDamageControl(TGameWorld& world) {
    const std::vector<const TFightingShip*> targeted = TargetedShips(world);
    const TFightingShip* current = nullptr;
    try {
        for (const auto& d : world.Divisions) {
            if (d->IsNeutral()) {
                continue;
            }
            current = nullptr;
            PlayerDivisionBookkeeping(world, *d);
            for (TFightingShip* s : d->Ships) {
                current = s;
                ShipMinute(world, *d, *s, targeted);
            }
        }
    } catch (const std::exception& e) {
        world.Messages().Error(core::ProcedureErrorText(
            "AllShipsDamageControl", "Ship: " + (current != nullptr ? current->Name : "Nil"),
            e.what()));
    }
}

} // namespace tarnwake::engine
