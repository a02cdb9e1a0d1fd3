#include "engine/Sinking.h"

#include "combat/DamageControl.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Messages.h"
#include "engine/GameWorld.h"
#include "engine/Movement.h"
#include "engine/Rescue.h"

#include <stdexcept>
#include <vector>

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;

namespace {

// Rounds of damage control at the end of a scenario: long enough for any ship abandoned or
// sinking to have gone down.
constexpr int kFinalRounds = 201;
// Ships still afloat at the end are taken to steam slowly for home.
constexpr int kFinalSpeed = 10;

// Whether the player is told the ship is going down: a ship of a force the player commands
// (every ship when the player watches).
bool TellPlayerSinking(const TGameWorld& world, const TDivision* division,
                       const TFightingShip& ship) {
    if (ship.Side == kNeutralSide || ship.IsLandTarget()) {
        return false;
    }
    if (world.PlayerSide == kWatchingSide) {
        return true;
    }
    return division != nullptr && division->Force != nullptr && division->Force->PlayerSteered;
}

void AnnounceSunk(TGameWorld& world, const TFightingShip& ship) {
    const bool own = world.PlayerMaySee(ship);
    const bool identified = ship.SightingLevel >= combat::kTypeIdentified;
    if (ship.IsLandTarget()) {
        if (own || identified) {
            world.Log.AddLogLine("8" + ship.Name + " destroyed!", &ship);
        }
    } else if (own) {
        world.Log.AddLogLine("5" + ship.Name + " has sunk!", &ship);
    } else if (identified) {
        world.Log.AddLogLine("5The enemy ship " + ship.IdentifiedName() + " has sunk!", &ship);
    }
}

// The ship leaves the game for the sunk list, with the survivors she had picked up.
void Lose(TGameWorld& world, TFightingShip& ship) {
    ship.TimeOfLoss = world.Clock;
    LoseSurvivorsAboard(world, ship);
    world.RetireShip(&ship);
}

} // namespace

void AllShipsCheckSinkings(TGameWorld& world) {
    try {
        std::vector<TFightingShip*> sunk;
        for (auto it = world.Ships.rbegin(); it != world.Ships.rend(); ++it) {
            TFightingShip& ship = **it;
            ChangeSpeedForMinute(ship);
            if (ship.IsSinkingOrSunk() && !ship.SinkingAnnounced) {
                ship.SinkingAnnounced = true;
                if (TellPlayerSinking(world, world.DivisionOfShip(&ship), ship)) {
                    world.Log.AddLogLine("5" + ship.Name + " is sinking!", &ship);
                }
            }
            if (ship.Sunk) {
                sunk.push_back(&ship);
            }
        }
        for (TFightingShip* ship : sunk) {
            AnnounceSunk(world, *ship);
            Lose(world, *ship);
        }
    } catch (const std::exception& e) {
        world.Messages().Error(std::string("Error in AllShipsCheckSinkings!\r") + e.what());
    }
}

void SinkAllSinking(TGameWorld& world) {
    try {
        for (const auto& d : world.Divisions) {
            if (d->FlagMarker) {
                d->FlagMarker->SetTitle(d->DivisionName);
                d->FlagMarker->SetHidden(false);
            }
            for (TFightingShip* ship : d->Ships) {
                if (!ship->InPlay()) {
                    continue;
                }
                ship->CurrentSpeed = kFinalSpeed;
                combat::TDamageControlConditions c;
                c.DamageControl = world.NationOf(*ship).DamageControl;
                c.GameDay = static_cast<int>(world.Clock);
                c.SeaState = world.Environment.WindForce;
                c.Time = core::FormatTime(world.Clock);
                c.Known = ship->PlayerCommanded;
                c.InDivision = true;
                c.DivisionSpeed = d->Speed;
                for (int round = 0; round < kFinalRounds && !ship->Sunk; ++round) {
                    combat::ShipDamageControl(*ship, c, world.Random());
                }
            }
        }
        std::vector<TFightingShip*> lost;
        for (const auto& ship : world.Ships) {
            ship->Marker->SetHidden(false);
            ship->SightingLevel = combat::kClassIdentified;
            if (ship->IsSinkingOrSunk()) {
                lost.push_back(ship.get());
            }
        }
        for (TFightingShip* ship : lost) {
            ship->Sinking = 0;
            ship->Sunk = true;
            Lose(world, *ship);
        }
    } catch (const std::exception& e) {
        world.Messages().Error(std::string("Error in SinkAllSinking procedure!\r") + e.what());
    }
}

} // namespace tarnwake::engine
