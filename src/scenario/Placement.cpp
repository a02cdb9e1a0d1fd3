#include "scenario/Placement.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Stations.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "engine/GameWorld.h"
#include "engine/Tracks.h"
#include "map/Geometry.h"
#include "map/Globe.h"
#include "map/GlobeLayer.h"

#include <algorithm>
#include <stdexcept>

namespace tarnwake::scenario {

namespace {

using combat::TDivision;
using combat::TFightingShip;
using designs::TShipType;
using engine::TGameWorld;
using map::AddBearing;
using map::MovePoint;
using map::TGeoPos;

// A ship whose station is blocked waits this far astern of its flagship.
constexpr double kBlockedStationYards = 200.0;

bool IsLandTarget(const TFightingShip* ship) {
    return ship != nullptr && ship->ShipType == TShipType::LT;
}

void MoveTo(TGameWorld& world, TDivision& division, const std::optional<TGeoPos>& point) {
    if (point) {
        MoveDivisionTo(world, division, *point);
    }
}

// After a support, scout or screen division reaches its station, a division in screen
// formation spreads its ships on their own stations.
void SpreadScreen(TGameWorld& world, TDivision& division) {
    combat::UpdateScreenPoints(division, world);
    PlaceShipsAtScreenPoints(world, division);
}

} // namespace

int DisplacementYards(int thousands) {
    constexpr int kMostThousands = 1'000'000;
    return std::clamp(thousands, 0, kMostThousands) * 1000;
}

int DisplacementBearing(int randomAngle, core::TRandomGenerator& random) {
    if (randomAngle == 0) {
        return random.Random(360);
    }
    return random.Random(100) > 49 ? randomAngle : AddBearing(randomAngle, 180);
}

void MoveDivisionTo(TGameWorld& world, TDivision& division, const TGeoPos& point) {
    TFightingShip* flag = division.Flagship();
    if (flag == nullptr) {
        return;
    }
    map::TGlobe& chart = world.Chart;
    if (chart.IsBlocked(point, flag)) {
        return;
    }
    // Each ship keeps its bearing and range from the flagship, taken in the chart's own
    // units: the same move applied from each ship's own place, with the bearing rounded to
    // the degree, would scatter the ships by up to a ninetieth of the distance moved.
    const TGeoPos from = flag->Position();
    for (TFightingShip* ship : division.Ships) {
        if (ship == flag) {
            continue;
        }
        const TGeoPos moved =
            map::DestinationPoint(point, map::InitialBearing(from, ship->Position()),
                                  map::GreatCircleDistance(from, ship->Position()));
        ship->SetPosition(chart.IsBlocked(moved, ship) ? point : moved);
    }
    flag->SetPosition(point);
    engine::RefreshDivisionGraphics(division);
}

void MoveToCorePoint(TGameWorld& world, TDivision& division) {
    try {
        MoveDivisionTo(world, division, combat::CoreStartPoint(division, world));
    } catch (const std::exception& e) {
        world.Messages().Error("Error in MoveToCorePoint procedure! \n" + division.DivisionName +
                               "\n" + e.what());
    }
}

void MoveToSupportPoint(TGameWorld& world, TDivision& division) {
    if (division.LeadDiv == nullptr) {
        world.Messages().Warn(division.DivisionName + " No screened division!");
        return;
    }
    MoveTo(world, division, combat::SupportPoint(division, *division.LeadDiv, world));
    if (division.LeadDiv != nullptr && division.LeadDiv->Formation == combat::formScreen) {
        SpreadScreen(world, division);
    }
}

void MoveToScoutPoint(TGameWorld& world, TDivision& division) {
    if (division.LeadDiv == nullptr) {
        world.Messages().Warn("No screened division!");
        return;
    }
    if (auto point = combat::ScoutPoint(division, division.LeadDiv, world)) {
        MoveDivisionTo(
            world, division,
            MovePoint(*point, AddBearing(division.Course, 180), kScoutStartSetBackYards));
    }
    if (division.Formation == combat::formScreen) {
        SpreadScreen(world, division);
    }
}

void MoveToScreenPoint(TGameWorld& world, TDivision& division) {
    if (division.LeadDiv == nullptr) {
        world.Messages().Warn("No screened division!");
        return;
    }
    MoveTo(world, division, combat::ScreenPoint(division, *division.LeadDiv, world));
    if (division.Formation == combat::formScreen) {
        SpreadScreen(world, division);
    }
}

void MoveToStation(TGameWorld& world, TDivision& division) {
    switch (division.Role) {
    case combat::roleCore:
        MoveToCorePoint(world, division);
        break;
    case combat::roleSupport:
        MoveToSupportPoint(world, division);
        break;
    case combat::roleScout:
        MoveToScoutPoint(world, division);
        break;
    case combat::roleScreen:
        MoveToScreenPoint(world, division);
        break;
    default:
        break;
    }
}

void PlaceShipsInFormation(TGameWorld& world, TDivision& division) {
    try {
        for (TFightingShip* ship : division.Ships) {
            ship->OrderedCourse = division.Course;
        }
        const TFightingShip* flag = division.Flagship();
        // Land targets stay where they stand.
        if (flag == nullptr || IsLandTarget(flag)) {
            return;
        }
        switch (division.Formation) {
        case combat::formLineAhead:
            combat::PlaceLineAhead(division);
            break;
        case combat::formSearchLine:
            combat::UpdateSearchLinePoints(division, world);
            PlaceShipsAtScreenPoints(world, division, kSearchLineSetBackYards);
            break;
        case combat::formScreen:
            if (division.LeadDiv != nullptr) {
                combat::UpdateScreenPoints(division, world);
                PlaceShipsAtScreenPoints(world, division, kScreenSetBackYards);
            }
            break;
        case combat::formLineAbreast:
            world.Messages().Inform("No automatic placement for formation: " +
                                    combat::FormationText(combat::formLineAbreast));
            break;
        default:
            break;
        }
        engine::RefreshDivisionGraphics(division);
    } catch (const std::exception& e) {
        world.Messages().Error(core::ProcedureErrorText(
            "PlaceShipsInFormation", "Division: " + division.DivisionName, e.what()));
    }
}

void PlaceShipsAtScreenPoints(TGameWorld& world, TDivision& division, double setBackYards) {
    try {
        TFightingShip* flag = division.Flagship();
        if (flag == nullptr || IsLandTarget(flag)) {
            return;
        }
        map::TGlobe& chart = world.Chart;
        const int astern = AddBearing(division.Course, 180);
        flag->SetCourse(division.Course);
        flag->OrderedCourse = division.Course;
        for (std::size_t i = 1; i < division.Ships.size(); ++i) {
            TFightingShip* ship = division.Ships[i];
            if (IsLandTarget(ship)) {
                continue;
            }
            TGeoPos station;
            if (i < division.StationPoints.size()) {
                station = division.StationPoints[i];
                if (chart.IsBlocked(station, ship)) {
                    station = MovePoint(flag->Position(), astern, kBlockedStationYards);
                }
            } else {
                // More ships than stations: the rest follow in a column.
                station =
                    MovePoint(division.Ships[i - 1]->Position(), astern, combat::kLineSpacingYards);
            }
            const TGeoPos setBack = MovePoint(station, astern, setBackYards);
            ship->SetPosition(chart.IsBlocked(setBack, ship) ? station : setBack);
            ship->SetCourse(division.Course);
            ship->OrderedCourse = division.Course;
        }
        engine::RefreshDivisionGraphics(division);
    } catch (const std::exception&) {
        world.Messages().Error("Error in PlaceShipsAtScreenPoints\nDivision: " +
                               division.DivisionName);
    }
}

} // namespace tarnwake::scenario
