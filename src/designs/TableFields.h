#pragma once

#include <cstdint>
#include <string_view>

namespace tarnwake::designs {

// The nations table and the weapon tables are tab-separated text, one record a line, with
// columns numbered from 1. A column is found by cutting off everything up to and including
// the first tab once for each column before it; the column is the text up to the next tab,
// or the rest of the line. A line with fewer columns than asked for answers its last column:
// a table edited by hand that lost its trailing columns still reads, repeating what is there.
std::string_view TableField(std::string_view line, int column);

// A column as a decimal integer (blanks around it allowed). Anything else, an empty column
// included, reads as 0: a damaged figure degrades one value and never stops the loading.
std::int32_t TableInteger(std::string_view line, int column);

} // namespace tarnwake::designs
