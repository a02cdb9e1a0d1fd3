#include "engine/Objectives.h"

#include "campaign/Minefield.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "combat/Visibility.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "engine/CampaignEvents.h"
#include "engine/ComputerOpponent.h"
#include "engine/ContactReports.h"
#include "engine/GameWorld.h"
#include "engine/Sighting.h"
#include "map/GamePresenters.h"
#include "map/Geometry.h"
#include "map/Globe.h"

#include <algorithm>
#include <vector>

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;

namespace {

// Past this withdrawal level the watcher is no longer told of each rise.
constexpr int kWithdrawalToldBelow = 5;

// Sinking: a target ashore counts only when destroyed this near its objective.
constexpr double kBombardmentYards = 10000.0;
constexpr int kReaffirmBombardmentPercent = 40;
// Reaching: the ships must come within 600 yards a ship (for at least two) and 5000 more.
constexpr int kReachYardsPerShip = 600;
constexpr int kReachLeastShips = 2;
constexpr int kReachYards = 5000;
// A seaplane carrier on its objective stops to work its aircraft for a quarter to an hour.
constexpr int kCarrierStopMinutes = 15;
constexpr int kCarrierStopSpread = 45;
// Minelaying: ships with mines within this range of the spot lay them at this speed, and a
// finished field this near it does the objective.
constexpr double kMinelayingYards = 8000.0;
constexpr int kLayingDensity = 1;

// The start of the minute: a place this near is reached (or searched).
constexpr double kReachedYards = 4000.0;
constexpr double kReportSearchedYards = 5000.0;
// An objective point reached: with the enemy in sight, or often enough, the division has done
// with it; otherwise it casts about for another ahead, a little towards home.
constexpr int kKeepSearchingBelow = 60;
constexpr int kSearchSpread = 120;
constexpr int kBaseTurn = 20;
constexpr int kSecondBaseTurnPercent = 60;
constexpr int kSearchClearYards = 20000;
constexpr int kSearchStepYards = 10000;
// In twilight a division breaking off (or, now and again, opening the range) makes for a
// point away from the nearest enemy, in the dusk.
constexpr int kWaveringPercent = 20;
constexpr int kRetreatYards = 10000;
constexpr int kRetreatSpreadYards = 20000;
constexpr int kRetreatAway = 150;
constexpr int kRetreatSpread = 60;
constexpr int kExtraBaseTurnPercent = 50;
constexpr int kExtraBaseTurn = 10;

// When a search line or screen makes out an enemy: the others close on the one that saw it,
// to 4000 yards of it.
constexpr double kCloseOnObserverYards = 4000.0;

int Percent(TGameWorld& world) {
    return world.Random().Random(100);
}

bool Unset(const map::TGeoPos& p) {
    return p.lon == 0 && p.lat == 0;
}

bool Reached(const map::TGeoPos& from, const map::TGeoPos& place, double yards) {
    return !Unset(place) && map::RangeYards(from, place) < yards;
}

bool PlayersObjective(const TGameWorld& world, const TObjectiveCondition& objective) {
    return objective.Side == world.PlayerSide || world.PlayerSide == kWatchingSide;
}

void RaiseWithdrawal(TGameWorld& world, combat::TForce& force, int level) {
    force.WithdrawalLevel = level;
    if (world.PlayerSide == kWatchingSide && level < kWithdrawalToldBelow) {
        world.Messages().Inform(force.Name + " force withdrawal increased to " +
                                std::to_string(level));
    }
}

// An objective is settled: its status changes, and the player hears of it once. Answers
// whether the player heard.
bool Settle(TGameWorld& world, TObjectiveCondition& objective, bool accomplished) {
    objective.Status = accomplished ? kObjectiveAccomplished : kObjectiveFailed;
    const bool players = PlayersObjective(world, objective);
    // A minefield laid is the enemy's business too: its force turns for home all the same.
    const bool minefield = accomplished && objective.Goal == goalLayMinefield;
    if (objective.Reported || !(players || minefield)) {
        return false;
    }
    objective.Reported = true;
    if (players) {
        const TLogObject about =
            objective.Goal == goalReach ? TLogObject(objective.Id) : TLogObject();
        world.Log.AddLogLine("7Objective " + objective.Description() +
                                 (accomplished ? " Accomplished!" : " Failed!"),
                             about);
    }
    combat::TForce* force = objective.Force;
    if (accomplished && force != nullptr &&
        (force->Mission == combat::missionCautious ||
         force->Mission == combat::missionWithdrawal) &&
        (!minefield || force->ComputerCommanded) && force->WithdrawalLevel == 0) {
        RaiseWithdrawal(world, *force, 1);
    }
    if (!players) {
        return false;
    }
    // An objective settled later in the same minute must not undo one that ends the game.
    if (objective.EndGame) {
        (accomplished ? world.ObjectiveReached : world.ObjectiveFailed) = true;
    }
    // A campaign goes on past its objectives: it ends by its own rules.
    if (world.Campaign) {
        world.ObjectiveReached = false;
        world.ObjectiveFailed = false;
    }
    return true;
}

// The ships of the sunk list that really went down (not those that only left the game).
int SunkOfKind(const TGameWorld& world, const TObjectiveCondition& objective, bool ownSide) {
    const bool located =
        objective.ShipType == kObjectiveBombardmentTarget && !Unset(objective.Location);
    int count = 0;
    for (const auto& ship : world.SunkShips) {
        if (!ship->Sunk || (ship->Side == objective.Side) != ownSide ||
            !objective.Matches(ship->ShipType)) {
            continue;
        }
        if (located && map::RangeYards(ship->Position(), objective.Location) >= kBombardmentYards) {
            continue;
        }
        ++count;
    }
    return count;
}

bool CheckSink(TGameWorld& world, TObjectiveCondition& objective) {
    if (SunkOfKind(world, objective, false) >= objective.Number) {
        return Settle(world, objective, true);
    }
    if (objective.ShipType == kObjectiveBombardmentTarget &&
        Percent(world) < kReaffirmBombardmentPercent) {
        ReaffirmBombardmentMission(world, objective);
    }
    return false;
}

bool CheckLoseNoMore(TGameWorld& world, TObjectiveCondition& objective) {
    if (SunkOfKind(world, objective, true) > objective.Number) {
        return Settle(world, objective, false);
    }
    return false;
}

bool CheckReach(TGameWorld& world, TObjectiveCondition& objective) {
    const double reach =
        std::max(kReachLeastShips, objective.Number) * kReachYardsPerShip + kReachYards;
    int count = 0;
    for (const auto& ship : world.Ships) {
        if (ship->Side != objective.Side || !ship->InPlay() || !objective.Matches(ship->ShipType) ||
            map::RangeYards(ship->Position(), objective.Location) >= reach) {
            continue;
        }
        if (ship->ShipType == TShipType::AV) {
            // A seaplane carrier does its part by flying off her aircraft, by day.
            if (combat::LightCondition(ship->Position(), world.Clock) != combat::kLightDay ||
                !AircraftPossible(world)) {
                continue;
            }
            if (++count == objective.Number) {
                ship->CurrentSpeed = 0;
                ship->OrderedSpeed = 0;
                ship->OutOfControl =
                    kCarrierStopMinutes + world.Random().Random(kCarrierStopSpread);
                LaunchAirAttack(world, *ship, objective);
            }
            continue;
        }
        ++count;
    }
    return count >= objective.Number ? Settle(world, objective, true) : false;
}

// A ship on the spot with mines aboard starts her field: an outline beginning where she is,
// laid out minute by minute by her damage control.
void StartMinefield(TGameWorld& world, TFightingShip& ship) {
    const int side = ship.Side;
    map::TGlobeLayer& layer = world.Chart.FindOrCreateLayer("MineLayer" + std::to_string(side));
    campaign::TMinefield& field =
        world.AddMinefield(std::make_unique<campaign::TMinefield>(&layer));
    field.Side = side;
    field.Density = kLayingDensity;
    field.Marker->SetClosed(true);
    field.Marker->SetPresenterID(map::MinefieldPresenter(layer, side, true));
    field.Marker->AddPoint(0, ship.Position());
    field.Marker->SetHidden(side != world.PlayerSide && world.PlayerSide != kWatchingSide);
    ship.MinefieldBeingLaid = field.Id;
    ship.Hits.push_back(core::FormatTime(world.Clock) + " " + " Laying minefield");
    if (world.PlayerMaySee(ship)) {
        world.Log.AddLogLine("7" + ship.Name + " is commencing to lay mines!", &ship);
    }
}

bool CheckLayMinefield(TGameWorld& world, TObjectiveCondition& objective) {
    for (const auto& owned : world.Ships) {
        TFightingShip& ship = *owned;
        if (ship.Side != objective.Side || !ship.InPlay() || ship.LayingMinefield() ||
            ship.Mines <= 0 ||
            map::RangeYards(ship.Position(), objective.Location) >= kMinelayingYards) {
            continue;
        }
        TDivision* division = world.DivisionOfShip(&ship);
        if (division != nullptr && division->AIControl) {
            division->Speed = std::min(division->Speed, campaign::kMineLayingSpeed);
            ship.OrderedSpeed = std::min(ship.OrderedSpeed, campaign::kMineLayingSpeed);
        }
        if (ship.CurrentSpeed <= campaign::kMineLayingSpeed) {
            StartMinefield(world, ship);
        }
    }
    for (const auto& field : world.Minefields) {
        if (field->Side != objective.Side || field->Density != campaign::kLaidMinefieldDensity) {
            continue;
        }
        const map::TPointStore& outline = field->Marker->Chain(0);
        if (outline.Count() == 0) {
            break;
        }
        if (map::RangeYards(outline.Point(0), objective.Location) < kMinelayingYards) {
            return Settle(world, objective, true);
        }
    }
    return false;
}

// The division turns `degrees` towards the nearest friendly base, when its side has one.
int TowardsBase(TGameWorld& world, const TFightingShip& flag, int course, int degrees) {
    map::TGeoPos base;
    std::string title;
    if (!world.NearestBase(flag, base, title)) {
        return course;
    }
    const int toBase = map::BearingBetween(flag.Position(), base);
    return map::AddBearing(course, map::SignedTurn(course, toBase) < 0 ? -degrees : degrees);
}

// Neither the point `yards` ahead on the course nor the one halfway there is barred to the
// flagship by land or a known minefield.
bool ClearAhead(TGameWorld& world, const TFightingShip& flag, int course, int yards) {
    const map::TGeoPos at = flag.Position();
    return !world.Chart.IsBlocked(map::MovePoint(at, course, yards), &flag) &&
           !world.Chart.IsBlocked(map::MovePoint(at, course, yards / 2.0), &flag);
}

void NextObjectivePoint(TGameWorld& world, TDivision& division, const TFightingShip& flag) {
    if (HasEnemyInSight(flag) || Percent(world) >= kKeepSearchingBelow) {
        division.Objective = {};
        return;
    }
    core::TRandomGenerator& random = world.Random();
    int course = map::AddBearing(map::BearingBetween(flag.Position(), division.Objective),
                                 random.Random(kSearchSpread) - kSearchSpread / 2);
    course = TowardsBase(world, flag, course, kBaseTurn);
    if (Percent(world) < kSecondBaseTurnPercent) {
        course = TowardsBase(world, flag, course, kBaseTurn);
    }
    if (ClearAhead(world, flag, course, kSearchClearYards)) {
        division.Objective = map::MovePoint(flag.Position(), course, kSearchStepYards);
    }
}

void TwilightRetreat(TGameWorld& world, TDivision& division, const TFightingShip& flag) {
    if (division.Role != combat::roleIndependent || !Unset(division.Objective) ||
        combat::LightCondition(flag.Position(), world.Clock) != combat::kLightDusk) {
        return;
    }
    double range = 0.0;
    const TFightingShip* enemy = NearestSightedEnemy(flag, false, range);
    const int stance = division.TacticalStance;
    if (enemy == nullptr ||
        !(stance == combat::stanceDisengage || stance == combat::stanceAvoidTorpedoAttack ||
          (stance == combat::stanceIncrease && Percent(world) < kWaveringPercent))) {
        return;
    }
    core::TRandomGenerator& random = world.Random();
    const int yards = kRetreatYards + random.Random(kRetreatSpreadYards);
    int course = map::AddBearing(map::BearingBetween(flag.Position(), enemy->Position()),
                                 kRetreatAway + random.Random(kRetreatSpread));
    course = TowardsBase(world, flag, course, kBaseTurn);
    if (Percent(world) < kExtraBaseTurnPercent) {
        course = TowardsBase(world, flag, course, kExtraBaseTurn);
    }
    if (ClearAhead(world, flag, course, yards)) {
        division.Objective = map::MovePoint(flag.Position(), course, yards);
    }
}

void DivisionObjectives(TGameWorld& world, TDivision& division) {
    const TFightingShip& flag = *division.Flagship();
    const map::TGeoPos at = flag.Position();
    // A patrol's objective point is the centre of its beat: it is never done with.
    if (division.Role != combat::rolePatrol) {
        if (Reached(at, division.SecondPoint, kReachedYards)) {
            division.SecondPoint = {};
        }
        if (Reached(at, division.Objective, kReachedYards)) {
            NextObjectivePoint(world, division, flag);
        }
    }
    if (division.Side == 0 || division.Side == 1) {
        TSide& side = world.Sides[static_cast<std::size_t>(division.Side)];
        if (Reached(at, side.ImportantEnemyPosition, kReachedYards)) {
            side.ImportantEnemyPosition = {};
        }
        TReport* report = BestReport(world, division.Side, &at, flag.IsLargeShip());
        if (report != nullptr && Reached(at, report->ReportedPosition, kReportSearchedYards)) {
            report->Checked = true;
        }
    }
    TwilightRetreat(world, division, flag);
}

} // namespace

bool CheckObjective(TGameWorld& world, TObjectiveCondition& objective) {
    // Once settled an objective stays so: a minefield laid is laid, and ships near the spot
    // have no more mines to lay for it.
    if (objective.Status != kObjectivePending) {
        return false;
    }
    switch (objective.Goal) {
    case goalSink:
        return CheckSink(world, objective);
    case goalLoseNoMore:
        return CheckLoseNoMore(world, objective);
    case goalReach:
        return CheckReach(world, objective);
    case goalLayMinefield:
        return CheckLayMinefield(world, objective);
    default:
        return false;
    }
}

bool CheckObjectiveResults(TGameWorld& world) {
    bool changed = false;
    for (const auto& objective : world.Objectives) {
        core::RunGuarded(world.Messages(), "CheckObjective", objective->Description(),
                         [&] { changed = CheckObjective(world, *objective) || changed; });
    }
    return changed;
}

void ObjectiveResults(TGameWorld& world) {
    if (CheckObjectiveResults(world)) {
        world.PausePending = true;
        world.Log.AddBreakReason("Objective");
    }
}

void CheckObjectives(TGameWorld& world) {
    // The pass walks the divisions as they stood when it began, from the last to the first.
    const std::vector<TDivision*> divisions = world.AllDivisions();
    for (auto it = divisions.rbegin(); it != divisions.rend(); ++it) {
        TDivision& division = **it;
        if (division.IsNeutral() || !division.HasShips()) {
            continue;
        }
        core::RunGuarded(world.Messages(), "CheckObjectives",
                         "Division: " + division.DivisionName +
                             " Ship count: " + std::to_string(division.Ships.size()),
                         [&] { DivisionObjectives(world, division); });
    }
}

void CheckForceWithdrawal(TGameWorld& world) {
    world.Opponent().AssessForces(world);
}

void ReactToIdentification(TGameWorld& world, TFightingShip& observer) {
    TDivision* division = world.DivisionOfShip(&observer);
    if (division == nullptr || !division->AIControl || division->Role == combat::roleCore) {
        return;
    }
    const int formation = division->Formation;
    if (formation != combat::formLineAbreast && formation != combat::formSearchLine &&
        formation != combat::formScreen) {
        return;
    }
    combat::TForce* force = division->Force;
    if (force != nullptr && force->Mission == combat::missionWithdrawal) {
        // A force under orders to withdraw takes a sighting as its signal to go.
        division->TacticalStance = combat::stanceDisengage;
        division->GoHome = true;
        RaiseWithdrawal(world, *force, force->WithdrawalLevel + 1);
        return;
    }
    // The search is over: the division gathers on the ship that found the enemy, in line.
    division->Speed = division->MedianSpeed() - 1;
    const TFightingShip* flag = division->Flagship();
    division->SecondPoint =
        flag == nullptr || flag == &observer
            ? observer.Position()
            : map::MovePoint(observer.Position(),
                             map::BearingBetween(observer.Position(), flag->Position()),
                             kCloseOnObserverYards);
    if (formation == combat::formLineAbreast || formation == combat::formSearchLine) {
        division->Formation = combat::formLineAhead;
    }
    division->TurnTogether = false;
}

void RefreshObjectiveState(TGameWorld&, combat::TDivision&) {}

} // namespace tarnwake::engine
