#pragma once

#include "map/GeoPos.h"

#include <QString>

namespace tarnwake::ui {

// A chart position as a navigator writes it, to the whole minute of arc: "54°12'N 3°05'E".
QString PositionText(const map::TGeoPos& p);
// Range and true bearing from one position to another: "12,400 yds 045°".
QString RangeBearingText(const map::TGeoPos& from, const map::TGeoPos& to);

} // namespace tarnwake::ui
