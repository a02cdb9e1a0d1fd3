#pragma once

#include "core/EntityId.h"
#include "designs/ShipTypes.h"
#include "map/GeoDataObject.h"

#include <memory>

#include <string>

namespace tarnwake::combat {
class TForce;
}

namespace tarnwake::engine {

// What an objective asks of its side.
enum TObjectiveGoal : int {
    goalSink = 0,         // sink (or destroy) so many ships of a kind
    goalLoseNoMore = 1,   // lose no more than so many
    goalReach = 2,        // reach the location with so many ships
    goalLayMinefield = 3, // lay a minefield at the location
};

// Objective ship kinds: the ship type codes in an order of their own, then groups.
inline constexpr int kObjectiveBombardmentTarget = 9;

// The objective status.
inline constexpr int kObjectivePending = 0;
inline constexpr int kObjectiveAccomplished = 1;
inline constexpr int kObjectiveFailed = -1;

using TObjectiveId = core::TEntityId<struct TObjectiveTag>;

// One objective of a scenario, as the scenario file gives it. The world owns it; its marker is
// a chart object on "ObjectiveLayer" at the objective's location.
class TObjectiveCondition {
public:
    explicit TObjectiveCondition(map::TGlobeLayer* layer)
        : Marker(std::make_unique<map::TGeoDataObject>(layer)) {}

    TObjectiveId Id;
    std::unique_ptr<map::TGeoDataObject> Marker;

    int Side = 99;
    int Number = 0;
    int PointValue = 0;
    int Goal = goalSink;
    int ShipType = 0; // the objective kind code, see KindText
    map::TGeoPos Location;
    map::TGeoPos AltLoc; // (0, 0): none
    bool EndGame = false;
    int Mandatory = 0;
    bool VisibleToEnemy = true;
    int Status = kObjectivePending;
    bool Reported = false;
    int StartYear = 0;
    int EndYear = 0;
    int StartMonth = 1;
    int EndMonth = 1;
    combat::TForce* Force = nullptr; // the force that pursues it; none when not found
    std::string ForceName;           // as the file names it
    std::string IntelText;

    // "BB" ... "AV", "bombardment target", "capital ships (BB, BC, B)", "big ships (BB, BC,
    // B, CA)", "ships (any ship)"; empty for a code outside 0..13.
    static std::string KindText(int kind);
    // "Sink 2 BC", "Lose no CA", "Reach objective with 3 ships (any ship)" ...
    std::string Description() const;
    // Whether a ship of this type is of the objective's kind; no type is of a kind outside
    // 0..13.
    bool Matches(designs::TShipType type) const;
    // "Pending", "Accomplished" or "Failed".
    std::string StatusText() const;
};

} // namespace tarnwake::engine
