#pragma once

#include "map/GeoPos.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwake::core {
class IMessages;
}

namespace tarnwake::map {

// One angle written with a pattern. The pattern is copied letter by letter; a % followed by
// a letter (either case) inserts: D whole degrees, M minutes as two digits, S seconds as two
// digits, E the letter "E" (or "W" when negative), N the letter "N" (or "S" when negative);
// % before any other letter copies that letter. Values are truncated, never rounded. A
// pattern without an E or N field marks a negative value with "-" before its first field.
std::string FormatAngle(std::int64_t value, std::string_view pattern);

// The position as scenario files and the chart write it: "43000E 565959N" is 4 deg 30 min
// 00 sec east, 56 deg 59 min 59 sec north.
std::string PositionToText(const TGeoPos& p);

// Reads a position written as PositionToText writes it ("0 0" and "0E 0N" are also the
// origin). The text is split at its first blank into longitude and latitude; each part ends
// with its hemisphere letter (E or W, N or S, either case), the two digits before it are
// seconds and the two before those minutes, and the rest are degrees. On failure `target`
// is left unchanged and, when `report` is set, "Error reading position!", the text and the
// context (what was being read) are shown. Minutes or seconds of 60 or more and positions
// past the poles or the 180th meridian are failures too: a scenario with such a typo would
// otherwise put a ship somewhere nobody meant.
bool TextToPosition(std::string_view text, std::string_view context, bool report,
                    core::IMessages& messages, TGeoPos& target);

} // namespace tarnwake::map
