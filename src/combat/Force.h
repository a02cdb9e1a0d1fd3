#pragma once

#include "core/EntityId.h"
#include "map/GeoPos.h"

#include <string>
#include <vector>

namespace tarnwake::combat {

class IBattleContext;
class TDivision;
class TFightingShip;

using TForceId = core::TEntityId<struct TForceTag>;

// A force's mission (its orders kind): how boldly its divisions fight.
enum TMission : int {
    missionOrdinary = 0,
    missionCautious = 1,
    missionWithdrawal = 2, // cautious too: it makes for home
    missionAggressive = 3,
};

// A force: divisions under one mission, home and route. It refers to its divisions; the world
// owns them.
class TForce {
public:
    TForce(std::string name, int side) : Name(std::move(name)), Side(side) {}

    TForceId Id; // given by the world when the force joins the game

    std::string Name;
    int Side = -1;
    std::vector<TDivision*> Divisions;
    bool ComputerCommanded = false;
    bool PlayerSteered = true;
    int Mission = 0;
    int Kind = 0;
    int HomeDistance = 10;
    int TimeToRaiseSteam = 0;
    int RandomTimeToRaiseSteam = 0;
    int AltTimeToRaiseSteam = 0;
    int AltRandomTimeToRaiseSteam = 0;
    int AlternateWPIndex = -1;
    bool ActivateAlternateOnSighting = false;
    bool ActivateOnSighting = false;
    bool HVU = false;
    bool ReactionAllowed = true;
    int StartDate = 0;
    bool AIControl = false;
    TForce* MainForce = nullptr;
    std::string MainForceName = "XXX"; // as the scenario names it; resolved after loading
    int Morale = 0;
    // Lying in harbour: its ships raise steam only once the side is alerted.
    bool InPort = false;
    // Force orders.
    int WithdrawalLevel = 0;
    bool Rallied = false;
    bool FlotillaAttack = false;
    bool HasChangedLead = false;
    int TimeToTurnAway = 0;
    int FlotillaAttackCount = 0;
    int StationCounter = 0;
    // Enemy ships whose type the force's ships have made out, in the order they were.
    std::vector<TFightingShip*> KnownEnemies;
    map::TGeoPos Objective;
    map::TGeoPos Home;
    map::TGeoPos AlternatePoint;
    map::TGeoPos StartPoint;
    // The route, in order (drawn as a hidden line on the ship layer).
    std::vector<map::TGeoPos> Waypoints;

    // The point a division at waypoint index `k` makes for, with the text the log shows: the
    // waypoint, then (all visited) the flag division's base, the home point or (0, 0). A force
    // with an objective and no waypoints makes for the objective.
    map::TGeoPos WaypointFor(int k, IBattleContext& context, std::string& text);
    // Moves each division on to its next waypoint when it has reached the present one (within
    // 3,000 yards); a division keeps to its lead's waypoint while near it. Answers whether any
    // waypoint was reached.
    bool AdvanceWaypoints(IBattleContext& context);

    // The division that carries the force's flag, by the first rule that finds one:
    //  1. an Independent division with ships, not held by the computer, led by a warship
    //     (anything up to an armed merchant cruiser);
    //  2. an Independent division with ships, not held by the computer;
    //  3. any division with ships.
    // It gets the flag-division mark and its flagship becomes the cached force flagship.
    TDivision* FlagDivision();
    TFightingShip* ForceFlagship();
    TFightingShip* CachedFlagship() const { return flagship_; }

private:
    TFightingShip* flagship_ = nullptr;
};

} // namespace tarnwake::combat
