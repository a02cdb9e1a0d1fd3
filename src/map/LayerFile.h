#pragma once

#include "map/GlobeLayer.h"

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <vector>

namespace tarnwake::map {

// Layer files (.lyr) hold a layer's drawing styles and then its objects, little-endian:
//   word version; four ints (a bounding box, not used);
//   drawing-style groups: int count, class name, that many styles (count <= 0 ends them; a
//     group whose class is an object class is the first object group);
//   object groups: int count (0 ends the file), class name, that many objects.
// Styles differ by version: 0x0300 has no title offset, 0x0301-0x03FF a byte one, 0x0400 on
// an int one and pen widths with a unit, 0x0405 on a background colour for brushes. Object
// chains may be "small" (whole minutes in 16 bits) and delta-coded (each point a step from
// the one before, a byte or word per coordinate, the largest value escaping to a full
// point).
inline constexpr std::uint16_t kOldestLayerFileVersion = 0x0300;
inline constexpr std::uint16_t kLayerFileVersion = 0x0405;
inline constexpr std::string_view kGeoDataObjectClass = "TGeoDataObject";

struct TLayerFileResult {
    std::unique_ptr<TGlobeLayer> layer; // null when the file could not be read
    std::string error;                  // why not, naming the file
    std::vector<std::string> warnings;  // read, but something at the end was cut short
};

// Reads a layer file; the layer is named after the file (its name without the folder).
// Damaged files never crash and never make the reader allocate more than the file could
// hold: a bad version, a truncated object, an impossible count, a position off the globe
// or an unknown object class fail with a message naming the file and the byte; a file that
// ends inside its drawing styles keeps the styles read so far (with a warning).
TLayerFileResult LoadLayerFile(const std::filesystem::path& file);
// The same for bytes in memory; `name` names the layer and appears in messages.
TLayerFileResult ReadLayerBytes(std::span<const std::uint8_t> bytes, const std::string& name);

// Writes a layer in the newest version. Each chain is written in whole minutes when all its
// points are whole minutes, and delta-coded when that is shorter. Objects are written as
// TGeoDataObject (fields of derived classes are not kept). Throws std::invalid_argument
// for what the format cannot hold: a name or title over 255 characters, a PresenterID
// outside 0..65535, more than 65,535 chains in one object.
std::vector<std::uint8_t> LayerToBytes(const TGlobeLayer& layer);
// Writes the file atomically; false with `error` set on failure.
bool WriteLayerFile(const TGlobeLayer& layer, const std::filesystem::path& file,
                    std::string& error);

// Largest layer file the reader accepts.
inline constexpr std::uintmax_t kMaxLayerFileBytes = 256u * 1024u * 1024u;

} // namespace tarnwake::map
