#include "engine/SmokeFloat.h"

namespace tarnwake::engine {

TSmokeFloat::TSmokeFloat(map::TGlobeLayer* layer, const map::TGeoPos& origin, int minutes)
    : map::TGeoDataObject(layer), Origin(origin), MinutesLeft(minutes) {
    SetClosed(false);
    AddPoint(0, origin);
}

} // namespace tarnwake::engine
