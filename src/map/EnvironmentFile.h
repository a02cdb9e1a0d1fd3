#pragma once

#include "map/GeoPos.h"

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarnwake::core {
class IMessages;
}

namespace tarnwake::map {

class TGlobe;

// An environment file (.env) is the chart's set-up for a sea area: the layer files it loads
// and where the view starts. It is an INI file:
//
//   [Chart]
//   Centre=43000E 560000N   ; the view's centre, a position as scenarios write them
//   Zoom=420                ; nautical miles across the view (0 or absent: the whole area)
//   [Layers]
//   Layer1=NorthSea.lyr     ; layer files in load order, Layer1, Layer2 ... up to the first
//   Layer1Visible=1         ; gap; 0 loads the layer undrawn (it is still tested)
//
// Layer file names are relative to the environment file's folder (any letter case, either
// slash). Each loaded layer is named after its file, "NorthSea.lyr"; the scenario loader
// finds it by that name or without the ending.
struct TEnvironmentLayer {
    std::string file;
    bool visible = true;
};

struct TEnvironment {
    std::optional<TGeoPos> centre;
    double zoom = 0.0;
    std::vector<TEnvironmentLayer> layers;
};

inline constexpr int kMaxEnvironmentLayers = 64;

// Reads the file; a centre or zoom that cannot be read is reported (naming the file) and
// left out. No value when the file cannot be read at all (also reported).
std::optional<TEnvironment> ReadEnvironmentFile(const std::filesystem::path& file,
                                                core::IMessages& messages);

// Reads the file and loads its layers onto the globe (a layer of the same name already there
// is replaced), then sets the view. A layer file that is missing or damaged is reported and
// skipped. Answers false when the environment file itself could not be read.
bool LoadEnvironmentFile(TGlobe& globe, const std::filesystem::path& file,
                         core::IMessages& messages);

} // namespace tarnwake::map
