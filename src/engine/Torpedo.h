#pragma once

#include "combat/FightingShip.h"
#include "core/EntityId.h"
#include "designs/WeaponTables.h"
#include "map/GeoDataObject.h"

#include <memory>
#include <string>

namespace tarnwake::engine {

using TTorpedoId = core::TEntityId<struct TTorpedoTag>;

// A torpedo in the water. The world owns it from its launch until its run ends. Its marker on
// the ship layer is the track it has run, from the tube to where it is now; the torpedo is
// where the track ends.
class TTorpedo {
public:
    TTorpedo(map::TGlobeLayer* layer, const map::TGeoPos& launchedAt);

    TTorpedoId Id;
    std::unique_ptr<map::TGeoDataObject> Marker;
    map::TGeoPos Position() const { return Marker->Chain(0).Point(1); }
    void SetPosition(const map::TGeoPos& p) { Marker->SetPoint(0, 1, p); }

    int Heading = 0;       // degrees, 0..359
    int Speed = 0;         // knots
    double TotalRun = 0.0; // yards: the range of the setting it was fired at
    double RunSoFar = 0.0; // yards
    double RemainingRun() const { return TotalRun - RunSoFar; }

    // Who fired it at whom. The firer is kept by id and name: a torpedo runs on when the ship
    // that fired it has gone down.
    combat::TShipId FiredBy;
    std::string FiringShipName;
    std::string TargetName;
    int Side = 0;
    bool BySubmarine = false;
    designs::TTorpedoType Type; // the firing ship's torpedoes
    bool LowSetting = false;    // fired at the slow, long-running setting
    // It passed within the danger radius of some ship.
    bool Close = false;
    std::string Victim; // the ship it hit, when it hit one
};

} // namespace tarnwake::engine
