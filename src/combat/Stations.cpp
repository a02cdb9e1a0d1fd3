#include "combat/Stations.h"

#include "combat/BattleContext.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Messages.h"
#include "core/Rounding.h"
#include "designs/NationsTable.h"
#include "map/Geometry.h"
#include "map/Globe.h"

#include <algorithm>
#include <stdexcept>
#include <vector>

namespace tarnwake::combat {

using designs::TShipType;
using map::AddBearing;
using map::MovePoint;
using map::TGeoPos;

namespace {

constexpr int kMaxLeadChain = 100;
constexpr double kFollowRangeYards = 20000.0;

// The divisions of a role on one lead, in list order, and this division's number among them.
struct TPlaceAmong {
    int count = 0;
    int number = 0;     // 1-based; 0 when the division itself is not among them
    int beforeLead = 0; // how many of them stand before the lead in the list
};

TPlaceAmong PlaceAmong(const TDivision& division, const TDivision& lead, int role,
                       IBattleContext& context) {
    TPlaceAmong place;
    bool leadSeen = false;
    for (const TDivision* d : context.AllDivisions()) {
        leadSeen = leadSeen || d == &lead;
        if (d->Role != role || d->LeadDiv != &lead) {
            continue;
        }
        ++place.count;
        if (!leadSeen) {
            ++place.beforeLead;
        }
        if (d == &division) {
            place.number = place.count;
        }
    }
    return place;
}

void DropLead(TDivision& division) {
    division.LeadDiv = nullptr;
    division.Role = roleIndependent;
}

// The relative bearing of a ship's main target from its bow.
int TargetBearing(const TFightingShip& ship, core::IMessages& messages) {
    return ship.GetBearingToShip(ship.CurrentTarget, messages);
}

} // namespace

void PlaceLineAhead(TDivision& division) {
    division.TurnTogether = false;
    TFightingShip* previous = nullptr;
    for (TFightingShip* ship : division.Ships) {
        ship->SetCourse(division.Course);
        ship->OrderedCourse = division.Course;
        if (previous != nullptr) {
            ship->SetPosition(MovePoint(previous->Position(), AddBearing(division.Course, 180),
                                        kLineSpacingYards));
        }
        previous = ship;
    }
}

void UpdateSearchLinePoints(TDivision& division, IBattleContext& context) {
    try {
        const TFightingShip* flag = division.Flagship();
        if (flag == nullptr) {
            return;
        }
        // Ships spread so that each sees a little past the halfway mark to its neighbour.
        const double s =
            std::min(20000.0, std::max(3000.0, 0.95 * context.VisibilityRange(*flag, false)));
        const int course = division.Course;
        const int towardOdd = course <= 180 ? AddBearing(course, 90) : AddBearing(course, -90);
        const int towardEven = course <= 180 ? AddBearing(course, -90) : AddBearing(course, 90);
        division.StationPoints.clear();
        for (int i = 1; i <= 10; ++i) {
            const bool odd = i % 2 == 1;
            const int steps = odd ? i / 2 + 1 : (i - 1) / 2 + 1;
            division.StationPoints.push_back(
                MovePoint(flag->Position(), odd ? towardOdd : towardEven, s * steps));
        }
    } catch (const std::exception&) {
        context.Messages().Error("Error in UpdateSearchLinePoints procedure!");
    }
}

void UpdateScreenPoints(TDivision& division, IBattleContext& context) {
    try {
        if (division.LeadDiv == nullptr && division.Role != rolePatrol) {
            division.Role = roleIndependent;
            return;
        }
        const TFightingShip* flag = division.Flagship();
        if (flag == nullptr) {
            return;
        }
        division.StationPoints.clear();
        const TDivision* lead = division.LeadDiv;
        if (lead == nullptr || (division.Role != roleScout && division.Role != roleScreen &&
                                division.Role != roleSupport)) {
            return;
        }
        const int c = lead->Course;
        const TGeoPos own = flag->Position();
        division.StationPoints.push_back(own);
        struct TOffset {
            int x;
            double k;
        };
        const auto addAll = [&](double b, std::initializer_list<TOffset> offsets) {
            for (const TOffset& o : offsets) {
                division.StationPoints.push_back(MovePoint(own, AddBearing(c, o.x), o.k * b));
            }
        };
        if (division.Role == roleScout) {
            const double b = std::max(2000.0, 0.8 * context.VisibilityRange(*flag, false));
            if (division.Ships.size() == 2) {
                addAll(b, {{270, 0.8}});
            } else {
                addAll(b, {{260, 0.7},
                           {100, 0.7},
                           {230, 1.1},
                           {130, 1.1},
                           {200, 1.6},
                           {160, 1.6},
                           {180, 0.2},
                           {190, 0.3}});
            }
        } else if (division.Role == roleScreen) {
            const TFightingShip* leadFlag = lead->Flagship();
            const double range =
                leadFlag != nullptr ? map::RangeYards(own, leadFlag->Position()) : 5000.0;
            addAll(std::min(5000.0, range), {{260, 0.7},
                                             {100, 0.7},
                                             {230, 1.1},
                                             {130, 1.1},
                                             {200, 1.6},
                                             {160, 1.6},
                                             {180, 0.2},
                                             {190, 0.4},
                                             {190, 0.6}});
        } else {
            // Support: a column astern of each of the lead's ships, then on astern of its flag.
            const int astern = AddBearing(c, 180);
            for (const TFightingShip* s : lead->Ships) {
                division.StationPoints.push_back(
                    MovePoint(s->Position(), astern, kLineSpacingYards));
            }
            if (const TFightingShip* leadFlag = lead->Flagship()) {
                for (int i = static_cast<int>(lead->Ships.size()) - 1; i <= 9; ++i) {
                    division.StationPoints.push_back(
                        MovePoint(leadFlag->Position(), astern, i * kLineSpacingYards));
                }
            }
        }
    } catch (const std::exception&) {
        context.Messages().Error("Error in UpdateScreenPoints procedure! " + division.DivisionName);
    }
}

std::optional<TGeoPos> SupportPoint(TDivision& division, TDivision& lead, IBattleContext& context) {
    try {
        if (!lead.HasShips()) {
            DropLead(division);
            return std::nullopt;
        }
        const TPlaceAmong place = PlaceAmong(division, lead, roleSupport, context);
        const int k = std::max(place.number, 1);
        const TFightingShip* ownFlag = division.Flagship();
        const bool battleCruiser = ownFlag != nullptr && ownFlag->ShipType == TShipType::BC;
        if (k == 1 && lead.Formation == formScreen && lead.Ships.size() > 1 && !battleCruiser) {
            division.Formation = formScreen;
        } else if (k == 1 && lead.Formation == formSearchLine && lead.Ships.size() >= 2 &&
                   !battleCruiser) {
            division.Formation = formSearchLine;
        } else {
            division.Formation = formLineAhead;
        }

        TFightingShip& s = *lead.Flagship();
        const int c = s.Course();
        // Each further support division keeps 800 yards east of the one before.
        const auto shifted = [k](TGeoPos p) { return k >= 2 ? MovePoint(p, 90, k * 800.0) : p; };
        if (s.LightState == kLightNight && context.NationOf(s).NightFighting <= 0) {
            // Navies untrained for night action kept their supports close at night.
            const double distance = s.ShipType > TShipType::B ? 2000.0 : 6000.0;
            return shifted(MovePoint(s.Position(), AddBearing(c, 170), distance));
        }
        if (context.WeatherCode() < 2 && s.Nation != 0) {
            return shifted(MovePoint(s.Position(), AddBearing(c, 170), 3000.0));
        }
        if (k == 1 && lead.Ships.size() == 1 && s.CurrentTarget == nullptr &&
            !s.LayingMinefield()) {
            return MovePoint(s.Position(), AddBearing(c, 180), 800.0);
        }
        int a = lead.SupportSideAngle;
        if (s.CurrentTarget != nullptr) {
            // Keep to the disengaged side: the quarter away from the enemy.
            if (TargetBearing(s, context.Messages()) <= 180) {
                a = 300;
                lead.SupportSideAngle = 260;
            } else {
                a = 60;
                lead.SupportSideAngle = 100;
            }
        }
        return MovePoint(s.Position(), AddBearing(c, a), k * 1200.0);
    } catch (const std::exception&) {
        division.LeadDiv = nullptr;
        return std::nullopt;
    }
}

std::optional<TGeoPos> ScoutPoint(TDivision& division, TDivision* lead, IBattleContext& context) {
    try {
        if (division.LeadDiv == nullptr || lead == nullptr) {
            division.Role = roleIndependent;
            return std::nullopt;
        }
        if (!lead->HasShips()) {
            DropLead(division);
            return std::nullopt;
        }
        const TFightingShip& leadFlag = *lead->Flagship();
        const double d = std::max<double>(
            2000.0,
            static_cast<double>(core::Round(0.8 * context.VisibilityRange(leadFlag, false))));
        const TPlaceAmong place = PlaceAmong(division, *lead, roleScout, context);
        const int n = place.count;
        const int k = place.number;
        // The scouts fan out ahead of the lead, evenly across its bow.
        static const std::vector<std::vector<int>> kFans = {{},
                                                            {0},
                                                            {-45, 45},
                                                            {-60, 0, 60},
                                                            {-90, -30, 30, 90},
                                                            {-90, -45, 0, 45, 90},
                                                            {-110, -70, -30, 30, 70, 110}};
        int x = 0;
        if (n == 1) {
            x = division.Ships.size() == 2 ? 20 : 0;
        } else if (n >= 2 && n < static_cast<int>(kFans.size()) && k >= 1 && k <= n) {
            x = kFans[static_cast<std::size_t>(n)][static_cast<std::size_t>(k - 1)];
        }
        const int bearing = AddBearing(lead->Course, x);
        TGeoPos station = MovePoint(leadFlag.Position(), bearing, d);
        if (leadFlag.CurrentTarget != nullptr) {
            const TGeoPos target = leadFlag.CurrentTarget->Position();
            if (map::RangeYards(station, target) < map::RangeYards(leadFlag.Position(), target)) {
                station = MovePoint(leadFlag.Position(), bearing, d / 2);
            }
        }
        // Land ahead of the station: close in and follow in line ahead.
        const TFightingShip* ownFlag = division.Flagship();
        map::TGlobe& globe = context.Globe();
        const TGeoPos ahead = MovePoint(station, lead->Course, 5000.0);
        const auto fallBack = [&](const TGeoPos& from) {
            station = MovePoint(from, bearing, 2000.0);
            division.Formation = formLineAhead;
            division.TurnTogether = false;
        };
        if (globe.IsBlocked(ahead, ownFlag)) {
            fallBack(ahead);
        }
        if (globe.IsBlocked(station, ownFlag)) {
            fallBack(station);
        }
        return station;
    } catch (const std::exception&) {
        context.Messages().Error("Error in GetscoutPoint procedure!");
        return std::nullopt;
    }
}

std::optional<TGeoPos> ScreenPoint(TDivision& division, TDivision& lead, IBattleContext& context) {
    if (!lead.HasShips()) {
        DropLead(division);
        return std::nullopt;
    }
    const TPlaceAmong place = PlaceAmong(division, lead, roleScreen, context);
    const TFightingShip& s = *lead.Flagship();
    if (s.CurrentTarget != nullptr) {
        // Engaged: the screen draws ahead on the bow away from the enemy.
        const int x = TargetBearing(s, context.Messages()) <= 180 ? 315 : 45;
        division.Formation = formLineAhead;
        return MovePoint(s.Position(), AddBearing(s.Course(), x), place.count * 1500.0);
    }
    const TFightingShip* ownFlag = division.Flagship();
    if (place.beforeLead > 0 || (ownFlag != nullptr && ownFlag->ShipType == TShipType::BC)) {
        division.Formation = formLineAhead;
        division.TurnTogether = false;
        return MovePoint(s.Position(), s.Course(),
                         static_cast<double>(division.Ships.size()) * kLineSpacingYards + 2000.0);
    }
    division.Formation = formScreen;
    const bool night = ownFlag != nullptr && ownFlag->LightState == kLightNight;
    return MovePoint(s.Position(), s.Course(), night ? 2000.0 : 3000.0);
}

std::optional<TLeadPoints> LeadPoint(TDivision& division, IBattleContext& context) {
    TDivision* lead = division.LeadDiv;
    const TFightingShip* ownFlag = division.Flagship();
    if (lead == nullptr || lead->Flagship() == nullptr || ownFlag == nullptr) {
        context.Messages().Warn(
            "No lead division or flagship for lead point calculation!\rDivision: " +
            division.DivisionName);
        return std::nullopt;
    }
    const TFightingShip& leadFlag = *lead->Flagship();
    const double r = map::RangeYards(ownFlag->Position(), leadFlag.Position());
    if (r > kFollowRangeYards) {
        // Far astern: close the lead by steering for the point halfway along its track ahead.
        const TGeoPos p = PointAhead(leadFlag, static_cast<int>(r) / 2);
        return TLeadPoints{p, p};
    }
    if (division.AbeamStation(context) && division.Force != nullptr &&
        division.Force->ForceFlagship() != nullptr) {
        int k = 1;
        const TDivision* up = lead;
        for (int steps = 0; up != nullptr && up->Role == roleCore && steps < kMaxLeadChain;
             ++steps) {
            ++k;
            up = up->LeadDiv;
        }
        const TFightingShip& f = *division.Force->ForceFlagship();
        const TGeoPos p = MovePoint(f.Position(), AddBearing(f.OrderedCourse, 90), k * 3000.0);
        return TLeadPoints{p, MovePoint(p, f.Course(), 8000.0)};
    }
    if (ownFlag->ShipType == TShipType::TR && leadFlag.ShipType == TShipType::TR) {
        // Merchant ships in convoy sail in columns abreast.
        const TGeoPos p =
            MovePoint(leadFlag.Position(), AddBearing(leadFlag.OrderedCourse, 90), 3000.0);
        return TLeadPoints{p, MovePoint(p, leadFlag.OrderedCourse, 2000.0)};
    }
    const TFightingShip& rear = *lead->RearShip();
    const int toUs = map::BearingBetween(rear.Position(), ownFlag->Position());
    return TLeadPoints{MovePoint(rear.Position(), toUs, 1000.0), rear.Position()};
}

TGeoPos CoreStartPoint(TDivision& division, IBattleContext& context) {
    TDivision* lead = division.LeadDiv;
    const TFightingShip* ownFlag = division.Flagship();
    if (lead == nullptr || lead->Flagship() == nullptr) {
        context.Messages().Warn(
            "No lead division or flagship for core division start point calculation!\rDivision: " +
            division.DivisionName);
        return ownFlag != nullptr ? ownFlag->Position() : TGeoPos{};
    }
    if (division.AbeamStation(context)) {
        return MovePoint(lead->Flagship()->Position(), AddBearing(lead->Course, 90), 3000.0);
    }
    return MovePoint(lead->RearShip()->Position(), AddBearing(lead->Course, 180), 1000.0);
}

} // namespace tarnwake::combat
