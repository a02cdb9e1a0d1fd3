#pragma once

#include <filesystem>
#include <initializer_list>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tarnwake::core {
class IMessages;
}

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
// Every section and entry keeps its line, so that a message can name the file, the line and
// the key; a key or section given twice is kept as a duplicate for the loader to report.
class TSectionReader {
public:
    TSectionReader() = default;
    // Reads a file; `Error()` tells why nothing could be read.
    static TSectionReader FromFile(const std::filesystem::path& path);
    static TSectionReader FromLines(const std::vector<std::string>& lines,
                                    const std::string& name = "(text)");
    static TSectionReader FromText(std::string_view text, const std::string& name = "(text)");

    // The file as messages name it.
    const std::string& Name() const { return name_; }
    const std::string& Error() const { return error_; }
    const std::vector<std::string>& Warnings() const { return warnings_; }
    bool Ok() const { return error_.empty(); }

    // The line (from 1) of the entry that counts, or of the section's header when `key` is
    // empty; 0 when there is none.
    int LineOf(std::string_view section, std::string_view key = {}) const;
    // "Dogger Bank.nsc, line 12, [Division0] Course": where a message about a key points.
    std::string Where(std::string_view section, std::string_view key) const;
    // Where, with what was written: "..., line 12, [Division0] Force=-1", or
    // "..., [Division0] Force is not given".
    std::string WhereGiven(std::string_view section, std::string_view key) const;
    // A "Warning!" for each key given twice in one section and each section given twice, with
    // both lines: the first one counts, as the reading rules say. In file order.
    std::vector<std::string> Duplicates() const;
    // Every key that was asked for, as (section, key), with each number in a name written
    // "#" ("Division#", "Ship#Name"): the reference of the file format lists these.
    const std::vector<std::pair<std::string, std::string>>& KeysAsked() const { return keysAsked_; }
    void RecordKeysAsked(bool on) { recordKeys_ = on; }

    bool SectionExists(std::string_view section) const;
    // A missing key, a missing section and an empty value give the default.
    std::string ReadString(std::string_view section, std::string_view key,
                           const std::string& defaultValue) const;
    // A signed decimal integer, exactly; anything else gives the default.
    int ReadInteger(std::string_view section, std::string_view key, int defaultValue) const;
    // "1" is true, "0" false, anything else the default.
    bool ReadBool(std::string_view section, std::string_view key, bool defaultValue) const;
    // ReadInteger for a key with a range: a value outside lo..hi, or one given that is no
    // number, is refused with a "Warning!" naming the file, line and key, and the default
    // is used instead.
    int ReadIntegerInRange(std::string_view section, std::string_view key, int defaultValue, int lo,
                           int hi, core::IMessages& messages) const;
    // The same for a key whose values are a few codes with gaps between them (the sides 0, 1
    // and 3): anything else is refused for the default.
    int ReadIntegerOneOf(std::string_view section, std::string_view key, int defaultValue,
                         std::initializer_list<int> allowed, core::IMessages& messages) const;

private:
    struct TEntry {
        std::string value;
        int line = 0;
    };
    struct TSection {
        std::string name; // as first written
        int line = 0;
        std::unordered_map<std::string, TEntry> entries;
    };
    struct TDuplicate {
        int line = 0;      // the line that does not count
        int firstLine = 0; // the one that does
        std::string section;
        std::string key; // empty for a section given twice
    };
    const TEntry* FindEntry(std::string_view section, std::string_view key) const;
    const std::string* FindValue(std::string_view section, std::string_view key) const;
    // The "Warning!" of a figure refused for its default: `why` says what it should have been.
    void RefuseFigure(std::string_view section, std::string_view key, const std::string& value,
                      const std::string& why, int defaultValue, core::IMessages& messages) const;
    void Index(const std::vector<std::string>& lines);

    std::string name_ = "(text)";
    std::vector<TSection> sections_;
    std::unordered_map<std::string, std::size_t> sectionIndex_; // lower-case name -> section
    std::vector<TDuplicate> duplicates_;
    std::string error_;
    std::vector<std::string> warnings_;
    bool recordKeys_ = false;
    mutable std::vector<std::pair<std::string, std::string>> keysAsked_;
};

} // namespace tarnwake::scenario
