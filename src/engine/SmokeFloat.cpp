#include "engine/SmokeFloat.h"

namespace tarnwake::engine {

TSmokeFloat::TSmokeFloat(map::TGlobeLayer* layer, const map::TGeoPos& origin, int minutes)
    : Marker(std::make_unique<map::TGeoDataObject>(layer)), Origin(origin), MinutesLeft(minutes) {
    Marker->SetClosed(false);
    Marker->AddPoint(0, origin);
}

} // namespace tarnwake::engine
