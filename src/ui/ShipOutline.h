#pragma once

#include "designs/Ship.h"

#include <optional>
#include <vector>

namespace tarnwake::ui {

// A point of a ship's plan in feet from its centre: forward towards the bow, starboard to
// the right of a man facing the bow.
struct TShipPoint {
    double forward = 0.0;
    double starboard = 0.0;
};

// The size a ship is drawn at, in feet: the design's length and beam, or a typical size of
// its type when the design file gives none.
struct TShipSize {
    double length = 0.0;
    double beam = 0.0;
};
TShipSize DrawingSize(const designs::Tship& design);

// The hull seen from above: a fine, pointed bow widening to the full beam, parallel sides
// amidships and a rounded stern. Closed, starting at the stem and running down the starboard
// side.
std::vector<TShipPoint> HullOutline(const TShipSize& size);

// A superstructure point of a design file (bearing clockwise from the bow, distance in feet
// from the centre) in plan coordinates.
TShipPoint OutlinePoint(const designs::TOutlinePoint& point);
// The points of superstructure outline i; empty when the design leaves it out (every
// point at the centre). Repeated last corners are dropped.
std::vector<TShipPoint> SuperstructureOutline(const designs::Tship& design, int i);

// A funnel's centre: its distance from the bow is a percentage of the length.
TShipPoint FunnelPlace(const designs::TFunnel& funnel, const TShipSize& size);

// Where a main-battery turret stands, from its position letter; nothing for a letter the
// plan does not know.
std::optional<TShipPoint> TurretPlace(char pos, const TShipSize& size);

} // namespace tarnwake::ui
