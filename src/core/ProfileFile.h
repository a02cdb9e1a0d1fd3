#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace tarnwake::core {

struct TTextFile;

// An INI file read and written with the Windows profile rules that design files, quick
// battles, preferences and high scores were written for:
//  - "[Section]" lines and "Key=Value" lines; section and key names are compared without
//    regard to case, and blanks around names and values are trimmed;
//  - a value wrapped in matching single or double quotes loses them;
//  - lines starting with ";" are comments; other lines without "=" are ignored;
//  - the first section of a name and the first key of a name in it win;
//  - a missing file, section or key gives the caller's default.
// Writing changes only the one line of the key (or adds it at the end of its section, or
// adds the section at the end of the file); every other line stays as it was. Save writes
// a temporary file beside the real one and renames it over, so a crash or a full disk never
// leaves half a file.
class TProfileFile {
public:
    TProfileFile() = default;
    // Reads the file; a missing file is an empty profile, not an error.
    explicit TProfileFile(std::filesystem::path path);

    const std::filesystem::path& Path() const { return path_; }
    // Why the file could not be read (empty when it was read, or did not exist).
    const std::string& LoadError() const { return loadError_; }
    const std::vector<std::string>& LoadWarnings() const { return loadWarnings_; }

    // For text already in memory (`name` is used in messages).
    static TProfileFile FromText(std::string_view text, const std::string& name);

    std::optional<std::string> Find(std::string_view section, std::string_view key) const;
    std::string ReadString(std::string_view section, std::string_view key,
                           const std::string& defaultValue) const;
    // Not a whole number (after trimming) gives the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // A whole number other than 0 is true, 0 false, anything else the default.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    bool SectionExists(std::string_view section) const;
    // A "Warning!" for each key given twice in one section and each section given twice,
    // with both lines, in file order: the first counts, as the reading rules say. `fileName`
    // names the file in them.
    std::vector<std::string> Duplicates(const std::string& fileName) const;
    // The key names of a section, in file order, first occurrences only.
    std::vector<std::string> ReadSectionKeys(std::string_view section) const;

    void WriteString(std::string_view section, std::string_view key, std::string_view value);
    void WriteInteger(std::string_view section, std::string_view key, int value);
    void WriteBool(std::string_view section, std::string_view key, bool value);

    // Writes the file atomically. On failure the previous file is left whole and `error`
    // says why.
    bool Save(std::string& error) const;

    std::string ToText() const;

    // Every key asked for while recording, as (section, key) with numbers written "#"
    // (NumbersAsHash): the file format reference lists these.
    void RecordKeysAsked(bool on) { recordKeys_ = on; }
    const std::vector<std::pair<std::string, std::string>>& KeysAsked() const { return keysAsked_; }

private:
    void Parse(TTextFile&& text);
    // Index of the first line of the first section of that name ("[...]" line), or npos.
    std::size_t FindSectionLine(std::string_view section) const;
    // [first line after header, end) of a section.
    std::size_t SectionEnd(std::size_t header) const;
    std::size_t FindKeyLine(std::size_t header, std::string_view key) const;

    std::filesystem::path path_;
    std::string loadError_;
    std::vector<std::string> loadWarnings_;
    std::vector<std::string> lines_;
    bool crlf_ = false;
    bool recordKeys_ = false;
    mutable std::vector<std::pair<std::string, std::string>> keysAsked_;
};

// The texts of a key or a section given twice, as both readers of the game's files say them.
std::string KeyGivenAgainText(const std::string& fileName, int line, const std::string& section,
                              const std::string& key, int firstLine);
std::string SectionGivenAgainText(const std::string& fileName, int line, const std::string& section,
                                  int firstLine);

// One-shot helpers for a single value.
std::string ReadProfileString(const std::filesystem::path& file, std::string_view section,
                              std::string_view key, const std::string& defaultValue);
bool WriteProfileString(const std::filesystem::path& file, std::string_view section,
                        std::string_view key, std::string_view value, std::string& error);

// Replaces `file` with `contents` atomically (temporary file, flush, rename).
bool WriteFileAtomically(const std::filesystem::path& file, std::string_view contents,
                         std::string& error);

} // namespace tarnwake::core
