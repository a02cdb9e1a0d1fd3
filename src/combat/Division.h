#pragma once

#include "combat/DivLocation.h"
#include "core/EntityId.h"
#include "designs/ShipTypes.h"
#include "map/GeoPos.h"

#include <climits>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwake::core {
class IMessages;
}

namespace tarnwake::combat {

class IBattleContext;
class TFightingShip;
class TForce;

using TDivisionId = core::TEntityId<struct TDivisionTag>;

// Roles: what a division does for its force and its lead division.
enum TRole : int {
    roleIndependent = 0,
    roleCore = 1,
    roleSupport = 2,
    roleScout = 3,
    roleScreen = 4,
    rolePatrol = 5,
};

// Formations a division's ships keep among themselves.
enum TFormation : int {
    formLineAhead = 0,
    formLineAbreast = 1,
    formSearchLine = 2,
    formScreen = 3,
};

// "Independent" ... "Patrol"; "Illegal Role value!" outside 0..5.
std::string RoleText(int role);
// "Ind", "Cor", "Sup", "Sco", "Scr"; Patrol and illegal values have none.
std::string RoleShortText(int role);
// "Line ahead" ... "Screen"; nothing outside 0..3.
std::string FormationText(int formation);
std::optional<int> RoleFromText(std::string_view text);
std::optional<int> FormationFromText(std::string_view text);

// The computer's tactical stance for a division: what it means to do about the enemy. The
// course that carries it out is chosen right after the stance.
enum TStance : int {
    stanceDisengage = 0,          // break off and run for safety
    stanceIncrease = 1,           // open the range
    stanceHold = 2,               // keep the range
    stanceClose = 3,              // close the range
    stanceCloseRapidly = 4,       // close at best speed (also the destroyers' torpedo attack)
    stanceAvoidThreat = 5,        // turn away from the threat ship
    stanceAvoidTorpedoAttack = 6, // turn away from the destroyer threat
    stanceNoEnemySighted = 7,     // no enemy: follow the mission
};
// "DISENGAGE" ... "NOENEMYSIGHTED"; "?" outside 0..7.
std::string StanceText(int stance);

// The division a stance of the computer opponent starts from.
inline constexpr int kInitialStance = stanceHold;
// A support division's side angle before any target gives it a side.
inline constexpr int kInitialSupportSideAngle = 100;
// "Hold fire" without an end.
inline constexpr int kHoldFireIndefinitely = INT_MAX;
// "Hold fire for 10 minutes".
inline constexpr int kHoldFireShort = 10;

// An ordered group of ships of like type under one course, speed, formation and role. The
// division refers to its ships; the world owns them. The first ship is the flagship.
class TDivision {
public:
    TDivision(std::string name, int side);

    TDivisionId Id; // given by the world when the division joins the game

    int Course = 0;
    int Speed = 0;
    std::vector<TFightingShip*> Ships;
    std::string DivisionName;
    std::string Shortname;
    bool TurnTogether = false;
    int Side = 0;
    TDivision* TargetDivision = nullptr;
    bool TargetSetByPlayer = false;
    int TacticalStance = kInitialStance;
    bool AIControl = false;
    // Steered by its force's orders (a force under computer control on the player's side):
    // what it sees reaches the player only by signal, as contact reports.
    bool ReportsBySignal = false;
    int Role = roleIndependent;
    int Formation = formLineAhead;
    TDivision* LeadDiv = nullptr;
    TForce* Force = nullptr;
    bool FlagDivisionMark = false;
    int HoldFireMinutes = 0;
    bool HoldTorpedoFire = false;
    int WaypointIndex = 0;
    int TurnsSinceDecision = 0;
    bool MustDecide = false;
    int SupportSideAngle = kInitialSupportSideAngle;
    int Accusmoke = 0;
    int BattleSmokeLevel = 0;
    bool MakeSmoke = false;
    // Held under computer control: the division has lost contact with its formation.
    bool LockedAI = false;
    int Losses = 0;
    int MinutesInCombat = 0;
    bool InCombat = false; // some ship of it fought this minute
    // Formed round a ship detached from her own division.
    bool DetachedShip = false;
    // Contact reports the enemy's player has had of it: each makes another less likely.
    int Reported = 0;
    bool HasBeenHome = false;
    int PortDelay = 0;
    bool InPort = false;
    std::string Base;
    int WI = 0;
    int TimeToRaiseSteam = 0;
    TFightingShip* RescueTarget = nullptr;
    bool GoHome = false;
    // The enemy its stance turns away from (or its destroyers attack); chosen afresh each time
    // the computer decides.
    TFightingShip* ThreatShip = nullptr;
    // The computer has decided to close an enemy that outranges it: the stance rules leave
    // the range to the guns until heavy damage or heavy fire ends it.
    bool Closing = false;
    // Falling back on its force flagship or its lead while disengaging: the computer then
    // leaves the turn-together order alone. Cleared when it chooses to fight again.
    bool RetreatMark = false;
    // A destroyer division's torpedo attack: its target, and whether it presses the attack.
    TFightingShip* TorpedoAttackTarget = nullptr;
    bool Attacking = false;
    int Endurance = 0; // the lowest fuel of its ships, from the last fuel step
    bool WarnedForFuel = false;
    std::string SectionName; // the scenario section it was read from
    // The scenario's selection and start keys.
    int Probability = 0;     // percent; -1: a dependent division that goes with its lead
    bool Historical = false; // took part historically
    std::string LeadDivName; // the lead's Shortname as the scenario gives it
    int RandomAngle = 0;     // bearing of the random start displacement; 0: any
    int RandomDistance = 0;  // largest random start displacement, thousands of yards
    int RandomTimeToRaiseSteam = 0;
    int StartYear = 1900;
    int EndYear = 1922;
    int StartMonth = 1;
    int EndMonth = 1;
    map::TGeoPos MarkerPoint; // where the division's move marker stands
    // On the chart: the flag at the flagship and the track it has steamed (an open line on
    // the ship layer). Made when the division takes the sea; none before.
    std::unique_ptr<TDivLocation> FlagMarker;
    std::unique_ptr<map::TGeoDataObject> Track;
    map::TGeoPos Objective;   // for a Patrol division its patrol point
    map::TGeoPos SecondPoint; // the computer's disengage and destination point
    // Where the division's ships steer in a search line, screen or support station; rebuilt
    // from scratch on every update.
    std::vector<map::TGeoPos> StationPoints;

    TFightingShip* Flagship() const { return Ships.empty() ? nullptr : Ships.front(); }
    TFightingShip* RearShip() const { return Ships.empty() ? nullptr : Ships.back(); }
    bool HasShips() const { return !Ships.empty(); }
    bool IsNeutral() const { return Side == 3; }

    int FastestSpeed() const;
    int SlowestSpeed() const;
    // The median of the ships' maximum speeds; with an even number of ships the slower of
    // the two middle ones, so the division never orders more than half its ships can make.
    int MedianSpeed() const;

    bool RoleAllowed(int role, int scenarioYear) const;
    bool FormationAllowed(int formation, int scenarioYear) const;

    // "1st BCS (Sco 1st BS)": the order-of-battle tree line.
    std::string TreeText() const;

    // Battleship divisions of navies that kept station on the fleet flagship's beam (the
    // Americans, and the British from 1917) take station abeam of the force flagship
    // instead of astern of their lead, while they are unseen by the enemy.
    bool AbeamStation(const IBattleContext& context) const;
    // "Dreadnought-division 4 ships. Koenig-class" as the enemy sees it.
    std::string Description() const;
    std::string DescriptionFrom(const TDivision& observer, IBattleContext& context) const;

    // Every fifth minute: burn the fuel of five minutes at the flagship's speed.
    void ComputeFuelExpenditure();
    // The division can steam as far as its emptiest bunkers allow.
    void UpdateEndurance();
    int GetRemainingRange(int knots, core::IMessages& messages) const;
    // Whether the division can still reach the nearest base of its side at `knots`; true
    // when its side has none.
    bool CanReachPort(int knots, IBattleContext& context) const;
    void CheckFuelSituation(IBattleContext& context);
};

// The smoke of many divisions hanging over one battle area: the divisions whose flagships lie
// within 30,000 yards of a division's flagship (itself included) add 2 each when they have
// made more than 40 points of smoke and 1 when more than 30. Above 11 points the area is
// smoky enough to cut sighting by a tenth (level 1), above 20 by a fifth (level 2).
struct TAreaSmoke {
    int Points = 0;
    int Level = 0;
};
inline constexpr int kSmokeAreaYards = 30000;
int AreaSmokeLevel(int points);
TAreaSmoke AreaSmokeAround(const TDivision& division, const std::vector<TDivision*>& divisions);

} // namespace tarnwake::combat
