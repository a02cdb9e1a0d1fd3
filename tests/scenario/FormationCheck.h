#pragma once

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Stations.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"
#include "map/PositionText.h"

#include <optional>
#include <string>
#include <vector>

namespace tarnwake::testing {

// How far a ship may stand from its place in the formation, and a flagship from its station:
// positions in scenario files are written to the second of arc (up to about 35 yards off).
inline constexpr double kFormationToleranceYards = 150.0;
inline constexpr double kStationToleranceYards = 1500.0;

// What keeps the world's divisions from being in formation at their stations, one line per
// fault; empty when every division is where it should be. A column has its ships 600 yards
// apart astern of the flagship; a search line or a screen has ship i on its station point i
// (set back 100 or 200 yards); a Core, Support, Scout or Screen division with a lead has its
// flagship at its station on the lead. Land targets and divisions in line abreast keep the
// places the scenario gives them.
inline std::vector<std::string> FormationFaults(engine::TGameWorld& world) {
    using combat::TDivision;
    using combat::TFightingShip;
    std::vector<std::string> faults;
    const auto fault = [&](const TDivision& d, const std::string& what) {
        faults.push_back(d.DivisionName + ": " + what);
    };
    for (const auto& owned : world.Divisions) {
        TDivision& d = *owned;
        const TFightingShip* flag = d.Flagship();
        if (flag == nullptr || flag->ShipType == designs::TShipType::LT) {
            continue;
        }
        const int astern = map::AddBearing(d.Course, 180);
        if (d.Formation == combat::formLineAhead) {
            for (std::size_t i = 1; i < d.Ships.size(); ++i) {
                const map::TGeoPos place =
                    map::MovePoint(d.Ships[i - 1]->Position(), astern, combat::kLineSpacingYards);
                const double off = map::RangeYards(place, d.Ships[i]->Position());
                if (off > kFormationToleranceYards) {
                    fault(d, d.Ships[i]->Name + " is " + std::to_string(static_cast<int>(off)) +
                                 " yards from its place in the column");
                }
            }
        } else if (d.Formation == combat::formSearchLine ||
                   (d.Formation == combat::formScreen && d.LeadDiv != nullptr)) {
            const bool line = d.Formation == combat::formSearchLine;
            if (line) {
                combat::UpdateSearchLinePoints(d, world);
            } else {
                combat::UpdateScreenPoints(d, world);
            }
            for (std::size_t i = 1; i < d.Ships.size() && i < d.StationPoints.size(); ++i) {
                const map::TGeoPos place =
                    map::MovePoint(d.StationPoints[i], astern, line ? 100.0 : 200.0);
                const double off = map::RangeYards(place, d.Ships[i]->Position());
                if (off > kFormationToleranceYards) {
                    fault(d, d.Ships[i]->Name + " is " + std::to_string(static_cast<int>(off)) +
                                 " yards from its station");
                }
            }
        }
        TDivision* lead = d.LeadDiv;
        if (lead == nullptr || !lead->HasShips()) {
            continue;
        }
        std::optional<map::TGeoPos> station;
        switch (d.Role) {
        case combat::roleCore:
            station = combat::CoreStartPoint(d, world);
            break;
        case combat::roleSupport: {
            // The station rules may change the formation; the check must not.
            const int formation = d.Formation;
            station = combat::SupportPoint(d, *lead, world);
            d.Formation = formation;
            break;
        }
        case combat::roleScout: {
            const int formation = d.Formation;
            station = combat::ScoutPoint(d, lead, world);
            d.Formation = formation;
            if (station) {
                station = map::MovePoint(*station, astern, 100.0);
            }
            break;
        }
        case combat::roleScreen: {
            const int formation = d.Formation;
            station = combat::ScreenPoint(d, *lead, world);
            d.Formation = formation;
            break;
        }
        default:
            break;
        }
        if (station) {
            const double off = map::RangeYards(*station, flag->Position());
            if (off > kStationToleranceYards) {
                fault(d, "flagship " + flag->Name + " at " + map::PositionToText(flag->Position()) +
                             " is " + std::to_string(static_cast<int>(off)) +
                             " yards from its station at " + map::PositionToText(*station));
            }
        }
    }
    return faults;
}

} // namespace tarnwake::testing
