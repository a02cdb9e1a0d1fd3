#pragma once

#include "combat/FightingShip.h"
#include "map/GeoPos.h"

#include <cstdint>
#include <string>

namespace tarnwake::engine {

// Force levels a side may choose before the game: which of the scenario's optional divisions
// and ships take part.
enum TForceLevel : int { flHistorical = 0, flVariable = 1, flMaximum = 2 };

// One of the two opponents.
struct TSide {
    std::string Name = "Xxxxxx";
    std::string FlagFile = "XXX";
    bool ComputerCommanded = false;
    int ForceLevel = flHistorical;
    int ScenarioAccuracy = 0;
    std::string UnspecName;
    int AlternatePointChance = 50;
    int Intelligence = 50;
    int RepairCapacity = 4;
    // The side knows the enemy is out: its first sighting (or a report) has come in.
    bool Alerted = false;
    // The enemy strength the side's delivered computer reports add up to, counted afresh
    // every minute.
    std::int64_t ThreatSum = 0;
    // The most important enemy the side has sighted, and where it was last seen.
    combat::TShipId ImportantEnemy;
    map::TGeoPos ImportantEnemyPosition;
};

} // namespace tarnwake::engine
