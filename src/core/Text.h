#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwake::core {

// ---- Small text helpers shared by every reader ------------------------------------------

std::string_view TrimView(std::string_view s);
std::string Trim(std::string_view s);
std::string ToLowerAscii(std::string_view s);
std::string ToUpperAscii(std::string_view s);
bool EqualsNoCase(std::string_view a, std::string_view b);
bool StartsWith(std::string_view s, std::string_view prefix);
bool EndsWithNoCase(std::string_view s, std::string_view suffix);

// A numbered name with each run of digits written "#": "Ship12Name" -> "Ship#Name". The file
// format reference lists numbered sections and keys in this form.
std::string NumbersAsHash(std::string_view name);

// A signed decimal integer and nothing else: no blanks, no trailing characters, no hex.
// Out of the 32-bit range is not a number either.
std::optional<std::int32_t> ParseInteger(std::string_view s);
// A real number written with a decimal point ("12.5", "-3", "1e3"); nothing else.
std::optional<double> ParseReal(std::string_view s);

// ---- Text from files ------------------------------------------------------------------------

// Files may come from Windows editors: UTF-8 or Windows-1252 (any byte that is not part of
// a valid UTF-8 sequence is read as Windows-1252 and converted), CRLF or LF line ends.
std::string DecodeText(std::string_view bytes);

struct TTextFile {
    bool ok = false;                   // false: nothing usable was read; see error
    std::string error;                 // names the file, and the line where there is one
    std::vector<std::string> warnings; // usable, but something was cut or skipped
    std::vector<std::string> lines;    // decoded, without line ends or a trailing CR
    bool crlf = false;                 // the file ended its lines with CR LF
};

// Limits that keep a hostile or damaged file from costing unbounded memory or time.
inline constexpr std::uintmax_t kMaxTextFileBytes = 64u * 1024u * 1024u;
inline constexpr std::size_t kMaxTextLineChars = 64u * 1024u;

// Reads a whole text file. A missing file, a directory, a file over the size limit and a
// binary file (one with a zero byte) fail with a message naming the file; an over-long
// line is cut at the limit with a warning naming the file and line.
TTextFile ReadTextFile(const std::filesystem::path& path);
// The same rules for text already in memory; `name` is used in messages.
TTextFile SplitTextLines(std::string_view bytes, const std::string& name);

} // namespace tarnwake::core
