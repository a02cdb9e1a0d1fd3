#pragma once

#include "map/GeoPos.h"

#include <optional>

namespace tarnwake::combat {

class IBattleContext;
class TDivision;

// Yards between consecutive ships of a column.
inline constexpr int kLineSpacingYards = 600;

// Puts the division's ships in a column astern of the flagship on the division's course.
void PlaceLineAhead(TDivision& division);

// The ten points of a search line: the division's ships spread abreast of the flagship at
// a spacing that lets their lookouts' horizons just meet.
void UpdateSearchLinePoints(TDivision& division, IBattleContext& context);
// The points a scout, screen or support division's ships steer for; point 0 is the
// flagship's own position, ship i steers for point i.
void UpdateScreenPoints(TDivision& division, IBattleContext& context);

// The single station point of a support, scout or screen division on its lead `lead`. Each
// may change the division's formation (and turn-together) as its station requires, and drops
// a lead that has no ships left.
std::optional<map::TGeoPos> SupportPoint(TDivision& division, TDivision& lead,
                                         IBattleContext& context);
std::optional<map::TGeoPos> ScoutPoint(TDivision& division, TDivision* lead,
                                       IBattleContext& context);
std::optional<map::TGeoPos> ScreenPoint(TDivision& division, TDivision& lead,
                                        IBattleContext& context);

// A core division following its lead: the station point P and the point Q it steers past.
struct TLeadPoints {
    map::TGeoPos P;
    map::TGeoPos Q;
};
std::optional<TLeadPoints> LeadPoint(TDivision& division, IBattleContext& context);
// Where a core division is put at the start of a scenario.
map::TGeoPos CoreStartPoint(TDivision& division, IBattleContext& context);

} // namespace tarnwake::combat
