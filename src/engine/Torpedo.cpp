#include "engine/Torpedo.h"

namespace tarnwake::engine {

TTorpedo::TTorpedo(map::TGlobeLayer* layer, const map::TGeoPos& launchedAt)
    : Marker(std::make_unique<map::TGeoDataObject>(layer)) {
    Marker->SetClosed(false);
    Marker->SetChainPoints(0, {launchedAt, launchedAt});
}

} // namespace tarnwake::engine
