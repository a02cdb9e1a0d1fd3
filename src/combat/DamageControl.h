#pragma once

#include <string>
#include <vector>

namespace tarnwake::core {
class TRandomGenerator;
}

namespace tarnwake::combat {

class TFightingShip;

// What a ship's damage control reads beyond the ship.
struct TDamageControlConditions {
    int DamageControl = 0; // the nation's
    int GameDay = 0;       // the game date's day number: classes obsolete before it
    int SeaState = 0;      // the wind force
    std::string Time;      // "hh:nn" for the ship's log
    // The ship's division is under the player's command: her engineers' reports reach the
    // player, and long fast steaming tells on her engines.
    bool Known = false;
    // Messages are made for the player (a known ship, or every ship when the player watches).
    bool Report = false;
    // Her type is within the player's flotation warning filter.
    bool FlotationWarning = false;
    // She steams with a division: its ordered speed, and whether she has an enemy in sight.
    bool InDivision = false;
    int DivisionSpeed = 0;
    bool EnemyInSight = false;
    // Nobody fires at the ship or aims at her this minute.
    bool Unmolested = false;
};

// What a minute's damage control did, for the minute's log: lines for the player (with their
// markers) and texts also shown in a message box.
struct TDamageControlResult {
    std::vector<std::string> Messages;
    std::vector<std::string> MessageBoxes;
};

// The speed above which long fast steaming wears a ship's engines: battleships and the older
// battleships 16 knots, the fast cruisers and destroyers 18, auxiliaries a little below their
// best speed.
int CruisingThreshold(const TFightingShip& ship);

// One minute of a ship's damage control and engineering, in order: mines jettisoned, the
// rudder, flooding, the ship starting to sink or going down, machinery and engines, the
// bulkheads, electric power, turrets, the flotation warning, engine trouble, fire, the damage
// estimate, torpedo reloads and the minute's flags. Every event is written to the ship's log.
//
// A ship without flotation starts to sink (5 to 14 minutes afloat, no way on); a ship sinking
// has a minute less each time, and at none she has sunk.
TDamageControlResult ShipDamageControl(TFightingShip& ship,
                                       const TDamageControlConditions& conditions,
                                       core::TRandomGenerator& random);

} // namespace tarnwake::combat
