#include "engine/Smoke.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Random.h"
#include "engine/FirePhase.h"
#include "engine/GameWorld.h"
#include "engine/Sighting.h"
#include "engine/SmokeFloat.h"
#include "map/Geometry.h"
#include "map/GlobeLayer.h"
#include "map/GlobeUnits.h"

#include <algorithm>
#include <memory>
#include <vector>

namespace tarnwake::engine {

using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;
using map::AddBearing;
using map::CourseDifference;
using map::MovePoint;
using map::TGeoPos;

namespace {

constexpr const char* kSmokeLayer = "SmokeLayer";
constexpr int kSubStepsPerMinuteBase = 240;

int BearingTo(const TFightingShip& from, const TGeoPos& to) {
    return map::BearingBetween(from.Position(), to);
}

} // namespace

void SmokeDecision(TGameWorld& world, TDivision& division, bool playerSmokeOrder) {
    TFightingShip* flag = division.Flagship();
    if (flag == nullptr || (flag->ShipType != TShipType::CL && flag->ShipType != TShipType::DD)) {
        return;
    }
    core::TRandomGenerator& random = world.Random();
    int chance = 0;
    if (!division.AIControl) {
        chance = playerSmokeOrder ? 40 : 0;
    } else {
        TDivision* lead = division.LeadDiv;
        if (lead != nullptr && lead->HasShips()) {
            TFightingShip* leadFlag = lead->Flagship();
            double range = 0.0;
            TFightingShip* enemy = GetMainEnemy(world, *leadFlag);
            if (enemy == nullptr) {
                enemy = NearestSightedEnemy(*leadFlag, false, range);
            }
            if (enemy == nullptr) {
                enemy = NearestSightedEnemy(*division.RearShip(), false, range);
            }
            if (enemy != nullptr && enemy->ShipType != TShipType::TR && enemy->Sinking == 0) {
                const int toEnemy = BearingTo(*leadFlag, enemy->Position());
                // Smoke goes down between the lead and the enemy when this division lies on
                // the enemy's side of the lead and the lead is not closing the enemy.
                if (CourseDifference(lead->Course, toEnemy) > 150) {
                    const int enemyRelative = leadFlag->GetBearingToShip(enemy, world.Messages());
                    const int ownRelative = leadFlag->GetBearingToShip(flag, world.Messages());
                    if (CourseDifference(enemyRelative, ownRelative) <= 39 &&
                        random.Random(100) <= 49) {
                        chance = 40;
                    }
                }
            }
        }
        if (chance == 0 && division.TacticalStance == 0) {
            const bool hasLead = lead != nullptr;
            if (random.Random(100) < (hasLead ? 25 : 50)) {
                chance = hasLead ? 20 : 30;
            }
        }
    }
    if (chance > 0) {
        if (flag->ShipType == TShipType::CL) {
            DropSmokeFloats(world, division, chance);
        }
        LaySmoke(world, division);
    }
}

void LaySmoke(TGameWorld& world, TDivision& division) {
    // Smoke screens were not part of fleet tactics before 1908.
    constexpr int kFirstSmokeYear = 1908;
    constexpr int kSmokeMinutes = 25;
    if (world.ScenarioYear() < kFirstSmokeYear) {
        return;
    }
    for (TFightingShip* ship : division.Ships) {
        if ((ship->ShipType != TShipType::CL && ship->ShipType != TShipType::DD) ||
            ship->SmokeMinutes > 0) {
            continue;
        }
        if (world.Random().Random(100) < 60) {
            ship->SmokeMinutes = kSmokeMinutes;
            if (world.PlayerMaySee(*ship)) {
                world.Log.AddLogLine(ship->Name + " is laying smoke!", ship);
            }
        }
    }
}

void DropSmokeFloats(TGameWorld& world, TDivision& division, int chance) {
    map::TGlobeLayer& layer = world.Chart.FindOrCreateLayer(kSmokeLayer);
    for (TFightingShip* ship : division.Ships) {
        if (ship->SmokeFloats <= 0 || world.Random().Random(100) >= chance) {
            continue;
        }
        --ship->SmokeFloats;
        const TGeoPos astern = MovePoint(ship->Position(), AddBearing(ship->Course(), 180), 100.0);
        world.AddSmokeFloat(
            std::make_unique<TSmokeFloat>(&layer, astern, 10 + world.Random().Random(10)));
    }
}

void DriftSmokeFloats(TGameWorld& world) {
    const int wind = world.Environment.WindForce;
    const int direction = world.Environment.WindDirection;
    const double miles =
        (4.0 * wind - 3.0) / 60.0 * GameSpeed(world.SpeedIndex).D / kSubStepsPerMinuteBase;
    const double drift = miles * map::kGlobeUnitsPerNauticalMile / map::kGlobeUnitsPerYard;
    // The float itself drifts with the wind; the shape of its puffs only shows, and is drawn
    // from the cosmetic generator.
    core::TRandomGenerator& puffs = world.Cosmetic();
    for (const auto& smoke : world.SmokeFloats) {
        map::TGeoDataObject& marker = *smoke->Marker;
        if (drift > 0.0) {
            const auto points = marker.Chain(0).Points();
            std::vector<TGeoPos> moved(points.begin(), points.end());
            for (TGeoPos& p : moved) {
                p = MovePoint(p, direction, drift);
            }
            marker.SetChainPoints(0, std::move(moved));
            smoke->Origin = MovePoint(smoke->Origin, direction, drift);
        }
        // The newest puffs thin out in the wind.
        const int count = marker.Chain(0).Count();
        if (count > 3) {
            for (int i = count - 1; i >= std::max(0, count - 10); --i) {
                if (puffs.Random(100) < wind + 30 && marker.Chain(0).Count() > 1) {
                    marker.DeletePoint(0, i);
                }
            }
        }
        for (int k = 0; k < 3; ++k) {
            marker.AddPoint(
                0, MovePoint(smoke->Origin, direction + puffs.Random(20), std::max(drift, 0.0)));
        }
        while (marker.Chain(0).Count() > TSmokeFloat::kMaxPuffs) {
            marker.DeletePoint(0, 0);
        }
    }
}

void LeaveSmokeTrails(TGameWorld& world) {
    // Only the lookouts that count smoke read the trails.
    if (!world.Preferences.CountFunnelSmoke) {
        return;
    }
    const double drift =
        std::max(0.0, (4.0 * world.Environment.WindForce - 3.0) / 60.0 *
                          map::kGlobeUnitsPerNauticalMile / map::kGlobeUnitsPerYard);
    const int direction = world.Environment.WindDirection;
    const auto leave = [&](auto& trail, const TGeoPos& at, bool present) {
        for (std::size_t k = trail.size() - 1; k > 0; --k) {
            trail[k] = trail[k - 1];
            if (trail[k].Present && drift > 0.0) {
                trail[k].At = MovePoint(trail[k].At, direction, drift);
            }
        }
        trail[0] = {at, present};
    };
    for (const auto& ship : world.Ships) {
        const TGeoPos at = ship->Position();
        leave(ship->FunnelTrail, at, ship->CurrentSpeed > 0 && !ship->IsLandTarget());
        leave(ship->ScreenTrail, at, ship->SmokeMinutes > 0);
    }
}

void AgeSmokeFloats(TGameWorld& world) {
    // Every float ages every minute and every spent one goes, however many there are.
    std::vector<TSmokeFloat*> spent;
    for (const auto& smoke : world.SmokeFloats) {
        if (--smoke->MinutesLeft <= 0) {
            spent.push_back(smoke.get());
        }
    }
    for (TSmokeFloat* smoke : spent) {
        world.RemoveSmokeFloat(smoke);
    }
}

void CountDownSmoke(TFightingShip& ship) {
    if (ship.SmokeMinutes > 0) {
        --ship.SmokeMinutes;
    }
}

} // namespace tarnwake::engine
