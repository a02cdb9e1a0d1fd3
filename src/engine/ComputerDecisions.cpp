#include "engine/ComputerDecisions.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "engine/ComputerOpponent.h"
#include "engine/GameWorld.h"
#include "engine/Movement.h"
#include "engine/Sighting.h"
#include "map/Geometry.h"

#include <vector>

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;

namespace {
// How far beyond the force flagship's sight a division may stray before the computer takes it.
constexpr int kOutOfSightMarginYards = 2000;
constexpr int kBlockedAheadYards = 1500;
} // namespace

void CheckOutOfSightOfFlagship(TGameWorld& world) {
    for (const auto& d : world.Divisions) {
        if (d->AIControl || !d->HasShips() || d->IsNeutral() || d->Force == nullptr) {
            continue;
        }
        const TFightingShip* flag = d->Flagship();
        TFightingShip* forceFlag = d->Force->CachedFlagship();
        if (forceFlag == nullptr || forceFlag == flag) {
            continue;
        }
        const double range = map::RangeYards(flag->Position(), forceFlag->Position());
        if (range > VisibilityRange(world, *forceFlag, false) + kOutOfSightMarginYards) {
            d->AIControl = true;
            world.Messages().Inform(d->DivisionName + " is out of sight of the\r" +
                                    "flagship and switches to AI control!");
        }
    }
}

void AIDivisionsDecide(TGameWorld& world) {
    // Divisions re-decide from the last to the first. Light ships in station-keeping roles
    // decide most often, heavy divisions least. A decision may detach a ship into a division
    // of her own, which decides as it is formed: the pass walks the divisions as they stood
    // when it began.
    // Each force counts its independent divisions as they decide, to spread their stations.
    for (const auto& force : world.Forces) {
        force->StationCounter = 0;
    }
    const std::vector<TDivision*> divisions = world.AllDivisions();
    for (auto it = divisions.rbegin(); it != divisions.rend(); ++it) {
        TDivision& d = **it;
        const TFightingShip* flag = d.Flagship();
        if (flag == nullptr || !d.AIControl || flag->IsLandTarget() || d.IsNeutral()) {
            continue;
        }
        if (d.Role == combat::roleIndependent && d.Force != nullptr) {
            ++d.Force->StationCounter;
        }
        core::RunGuarded(world.Messages(), "AIDivisionsDecide", "Division: " + d.DivisionName, [&] {
            MatchStationSpeed(world, d);
            const bool stationRole = d.Role == combat::roleSupport || d.Role == combat::roleScout ||
                                     d.Role == combat::roleScreen;
            const bool light = flag->ShipType == designs::TShipType::CL ||
                               flag->ShipType == designs::TShipType::DD;
            int n = 4;
            if ((stationRole && light) || (d.Role == combat::roleCore && d.LeadDiv != nullptr)) {
                n = 2;
            } else if (flag->ShipType == designs::TShipType::DD || stationRole) {
                n = 3;
            }
            bool decide = world.Random().Random(n) == 1 || n < d.TurnsSinceDecision ||
                          d.MustDecide || world.DecideForAll;
            if (!decide) {
                const map::TGeoPos ahead = combat::PointAhead(*flag, kBlockedAheadYards);
                decide = world.Chart.IsBlocked(ahead, flag, map::TLandRule::LandOnly);
            }
            if (decide) {
                d.TurnsSinceDecision = 0;
                d.MustDecide = false;
                world.Opponent().DivisionDecides(world, d);
            } else {
                ++d.TurnsSinceDecision;
            }
        });
    }
    world.DecideForAll = false;
}

} // namespace tarnwake::engine
