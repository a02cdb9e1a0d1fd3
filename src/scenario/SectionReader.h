#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarnwake::scenario {

// The reader of scenario, environment, saved-game and quick-battle files. Its matching rules
// are stricter than the profile files' and scenario authors rely on them:
//  - a section starts at a line that is exactly "[" + name + "]"; the name is compared
//    without regard to case, and the first section of a name is the one read;
//  - a section ends at the next line that begins with "[";
//  - an entry is a line that begins with its key followed by "="; keys are compared
//    with case, and nothing is trimmed: "Course =12" is not the key "Course", and the value
//    is everything after the first "=" (" 12" and "12 " are not numbers);
//  - the first entry of a key within a section wins; other lines are ignored.
class TSectionReader {
public:
    TSectionReader() = default;
    // Reads a file; `Error()` tells why nothing could be read.
    static TSectionReader FromFile(const std::filesystem::path& path);
    static TSectionReader FromLines(const std::vector<std::string>& lines);
    static TSectionReader FromText(std::string_view text);

    const std::string& Error() const { return error_; }
    const std::vector<std::string>& Warnings() const { return warnings_; }
    bool Ok() const { return error_.empty(); }

    bool SectionExists(std::string_view section) const;
    // A missing key, a missing section and an empty value give the default.
    std::string ReadString(std::string_view section, std::string_view key,
                           const std::string& defaultValue) const;
    // A signed decimal integer, exactly; anything else gives the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // "1" is true, "0" false, anything else the default.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;

private:
    struct TSection {
        std::unordered_map<std::string, std::string> entries;
    };
    const std::string* FindValue(std::string_view section, std::string_view key) const;
    void Index(const std::vector<std::string>& lines);

    std::vector<TSection> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_; // lower-case name -> section
    std::string error_;
    std::vector<std::string> warnings_;
};

} // namespace tarnwake::scenario
