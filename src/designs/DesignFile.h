#pragma once

#include "designs/Ship.h"

#include <filesystem>
#include <string>

namespace tarnwake::core {
class IMessages;
class TProfileFile;
} // namespace tarnwake::core

namespace tarnwake::designs {

// The flotation of a ship: float points from the displacement in tons, rounded half to even.
// Small ships float on more points per ton than large ones (a destroyer is sunk by
// proportionally more damage than its tonnage suggests); past 50,000 tons the curve turns
// linear again, and absurd displacements float on nothing.
int FloatPointsForDisplacement(int displacement);

// The class name of a design file: its file name without folder and without the last four
// characters (the extension with its dot).
std::string ClassNameFromPath(const std::filesystem::path& path);

// Reads a design file into `ship`: the design record and the class identity fields, the
// turret and mount lists and the derived turret flags. `highestNationIndex` is the highest
// index of the nations table. Fails (answering false, after its message) when the file is
// missing or unreadable or names an illegal nation; the caller then drops the ship.
// Values no ship could have (a negative displacement, a 40-inch gun) are reported naming the
// file and replaced by the default, so a damaged file gives a usable ship and a clear message.
bool LoadDesignFile(const std::filesystem::path& path, Tship& ship, int highestNationIndex,
                    core::IMessages& messages);
// The same for a design file already read from `path`.
bool LoadDesignFile(const core::TProfileFile& file, const std::filesystem::path& path, Tship& ship,
                    int highestNationIndex, core::IMessages& messages);

} // namespace tarnwake::designs
