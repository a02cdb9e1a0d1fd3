#include "combat/Force.h"

#include "combat/BattleContext.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "map/Geometry.h"
#include "map/Globe.h"
#include "map/GlobeLayer.h"
#include "map/Location.h"

#include <algorithm>

namespace tarnwake::combat {

TDivision* TForce::FlagDivision() {
    const auto pick = [this](auto&& rule) -> TDivision* {
        for (TDivision* d : Divisions) {
            if (d->HasShips() && rule(*d)) {
                return d;
            }
        }
        return nullptr;
    };
    TDivision* found = pick([](const TDivision& d) {
        return d.Role == roleIndependent && !d.LockedAI &&
               d.Flagship()->ShipType <= designs::TShipType::AMC;
    });
    if (found == nullptr) {
        found = pick([](const TDivision& d) { return d.Role == roleIndependent && !d.LockedAI; });
    }
    if (found == nullptr) {
        found = pick([](const TDivision&) { return true; });
    }
    for (TDivision* d : Divisions) {
        d->FlagDivisionMark = d == found;
    }
    flagship_ = found != nullptr ? found->Flagship() : nullptr;
    return found;
}

TFightingShip* TForce::ForceFlagship() {
    FlagDivision();
    return flagship_;
}

namespace {

// A flagship this close to its waypoint has reached it.
constexpr double kWaypointReachedYards = 3000.0;
// A division this close to its lead keeps to the lead's waypoint.
constexpr double kKeepWithLeadYards = 35000.0;

bool IsZero(const map::TGeoPos& p) {
    return p.lon == 0 && p.lat == 0;
}

} // namespace

map::TGeoPos TForce::WaypointFor(int k, IBattleContext& context, std::string& text) {
    // A force sent to an objective without a route makes straight for it.
    if (Waypoints.empty() && !IsZero(Objective)) {
        text = Name + " No Waypoints - going for normal objective";
        return Objective;
    }
    // A division given no waypoint yet (an alternate route's index left at -1) makes for the
    // first.
    const int index = std::max(k, 0);
    if (index < static_cast<int>(Waypoints.size())) {
        text = "Waypoint Index " + std::to_string(index);
        return Waypoints[static_cast<std::size_t>(index)];
    }
    // Past the last waypoint the force goes to the base of its flag division, else home.
    map::TGeoPos point;
    std::string description;
    const TDivision* flag = FlagDivision();
    const map::TGlobeLayer* locations = context.Globe().FindLayer("LocationLayer");
    if (flag != nullptr && locations != nullptr) {
        for (const map::TGeoDataObject* object : locations->Objects()) {
            const auto* location = dynamic_cast<const map::TLocation*>(object);
            if (location == nullptr || location->Title() != flag->Base) {
                continue;
            }
            if (!IsZero(location->EntryPoint)) {
                point = location->EntryPoint;
                description = location->Title() + " Entry point";
            } else {
                point = location->Centre();
                description = location->Title() + " Centroid";
            }
            break;
        }
    }
    if (!IsZero(point)) {
        text = "All waypoints visited - going to base " + description;
        return point;
    }
    if (!IsZero(Home)) {
        text = "All waypoints visited - going to home point";
        return Home;
    }
    text = "No Waypoints, Objective visited - going home 0,0!!!!";
    return {};
}

bool TForce::AdvanceWaypoints(IBattleContext& context) {
    bool reached = false;
    for (TDivision* d : Divisions) {
        const TFightingShip* flag = d->Flagship();
        if (flag == nullptr) {
            break;
        }
        if (flag->ShipType == designs::TShipType::LT) {
            continue;
        }
        std::string text;
        const map::TGeoPos target = WaypointFor(d->WaypointIndex, context, text);
        if (map::RangeYards(flag->Position(), target) < kWaypointReachedYards) {
            reached = true;
            if (context.WaypointArrivalAllowed(*d)) {
                // A division without an index was making for the first waypoint.
                d->WaypointIndex = std::max(d->WaypointIndex, 0) + 1;
            }
        }
        const TDivision* lead = d->LeadDiv;
        if (lead != nullptr && lead->HasShips() &&
            map::RangeYards(lead->Flagship()->Position(), flag->Position()) < kKeepWithLeadYards) {
            d->WaypointIndex = lead->WaypointIndex;
        }
    }
    return reached;
}

} // namespace tarnwake::combat
