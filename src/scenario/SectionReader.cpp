#include "scenario/SectionReader.h"

#include "core/Messages.h"
#include "core/ProfileFile.h"
#include "core/Text.h"

#include <algorithm>

namespace tarnwake::scenario {

using core::ToLowerAscii;

using core::NumbersAsHash;

TSectionReader TSectionReader::FromFile(const std::filesystem::path& path) {
    TSectionReader reader;
    reader.name_ = path.string();
    core::TTextFile text = core::ReadTextFile(path);
    if (!text.ok) {
        reader.error_ = text.error;
        return reader;
    }
    reader.warnings_ = std::move(text.warnings);
    reader.Index(text.lines);
    return reader;
}

TSectionReader TSectionReader::FromLines(const std::vector<std::string>& lines,
                                         const std::string& name) {
    TSectionReader reader;
    reader.name_ = name;
    reader.Index(lines);
    return reader;
}

TSectionReader TSectionReader::FromText(std::string_view text, const std::string& name) {
    TSectionReader reader;
    reader.name_ = name;
    core::TTextFile lines = core::SplitTextLines(text, name);
    if (!lines.ok) {
        reader.error_ = lines.error;
        return reader;
    }
    reader.warnings_ = std::move(lines.warnings);
    reader.Index(lines.lines);
    return reader;
}

void TSectionReader::Index(const std::vector<std::string>& lines) {
    TSection* current = nullptr;
    std::size_t currentIndex = 0;
    bool skipping = false; // inside a section given before: its entries are never read
    int lineNumber = 0;
    for (const std::string& line : lines) {
        ++lineNumber;
        if (!line.empty() && line.front() == '[') {
            current = nullptr;
            skipping = false;
            if (line.size() >= 2 && line.back() == ']') {
                const std::string_view written = std::string_view(line).substr(1, line.size() - 2);
                const std::string name = ToLowerAscii(written);
                // Only the first section of a name is ever read; a later one is skipped whole.
                const auto found = sectionIndex_.find(name);
                if (found == sectionIndex_.end()) {
                    currentIndex = sections_.size();
                    sectionIndex_.emplace(name, currentIndex);
                    sections_.push_back(TSection{std::string(written), lineNumber, {}});
                    current = &sections_.back();
                } else {
                    duplicates_.push_back(TDuplicate{
                        lineNumber, sections_[found->second].line, std::string(written), {}});
                    skipping = true;
                }
            }
            continue;
        }
        if (current == nullptr || skipping) {
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        const auto [at, added] = current->entries.try_emplace(
            line.substr(0, eq), TEntry{line.substr(eq + 1), lineNumber});
        if (!added) {
            duplicates_.push_back(
                TDuplicate{lineNumber, at->second.line, sections_[currentIndex].name, at->first});
        }
    }
}

const TSectionReader::TEntry* TSectionReader::FindEntry(std::string_view section,
                                                        std::string_view key) const {
    if (recordKeys_) {
        keysAsked_.emplace_back(NumbersAsHash(section), NumbersAsHash(key));
    }
    const auto s = sectionIndex_.find(ToLowerAscii(section));
    if (s == sectionIndex_.end()) {
        return nullptr;
    }
    const auto& entries = sections_[s->second].entries;
    const auto e = entries.find(std::string(key));
    return e == entries.end() ? nullptr : &e->second;
}

const std::string* TSectionReader::FindValue(std::string_view section, std::string_view key) const {
    const TEntry* entry = FindEntry(section, key);
    return entry == nullptr ? nullptr : &entry->value;
}

int TSectionReader::LineOf(std::string_view section, std::string_view key) const {
    if (key.empty()) {
        const auto s = sectionIndex_.find(ToLowerAscii(section));
        return s == sectionIndex_.end() ? 0 : sections_[s->second].line;
    }
    const auto s = sectionIndex_.find(ToLowerAscii(section));
    if (s == sectionIndex_.end()) {
        return 0;
    }
    const auto& entries = sections_[s->second].entries;
    const auto e = entries.find(std::string(key));
    return e == entries.end() ? 0 : e->second.line;
}

std::string TSectionReader::Where(std::string_view section, std::string_view key) const {
    const int line = LineOf(section, key);
    std::string where = name_;
    if (line > 0) {
        where += ", line " + std::to_string(line);
    }
    where += ", [" + std::string(section) + "]";
    if (!key.empty()) {
        where += " " + std::string(key);
    }
    return where;
}

std::string TSectionReader::WhereGiven(std::string_view section, std::string_view key) const {
    const std::string* value = FindValue(section, key);
    return Where(section, key) + (value != nullptr ? "=" + *value : " is not given");
}

std::vector<std::string> TSectionReader::Duplicates() const {
    std::vector<std::string> texts;
    for (const TDuplicate& d : duplicates_) {
        texts.push_back(
            d.key.empty() ? core::SectionGivenAgainText(name_, d.line, d.section, d.firstLine)
                          : core::KeyGivenAgainText(name_, d.line, d.section, d.key, d.firstLine));
    }
    return texts;
}

bool TSectionReader::SectionExists(std::string_view section) const {
    return sectionIndex_.find(ToLowerAscii(section)) != sectionIndex_.end();
}

std::string TSectionReader::ReadString(std::string_view section, std::string_view key,
                                       const std::string& defaultValue) const {
    const std::string* value = FindValue(section, key);
    return value == nullptr || value->empty() ? defaultValue : *value;
}

int TSectionReader::ReadInteger(std::string_view section, std::string_view key,
                                int defaultValue) const {
    const std::string* value = FindValue(section, key);
    if (value == nullptr) {
        return defaultValue;
    }
    const auto number = core::ParseInteger(*value);
    return number ? *number : defaultValue;
}

bool TSectionReader::ReadBool(std::string_view section, std::string_view key,
                              bool defaultValue) const {
    const std::string* value = FindValue(section, key);
    if (value == nullptr) {
        return defaultValue;
    }
    if (*value == "1") {
        return true;
    }
    if (*value == "0") {
        return false;
    }
    return defaultValue;
}

int TSectionReader::ReadIntegerInRange(std::string_view section, std::string_view key,
                                       int defaultValue, int lo, int hi,
                                       core::IMessages& messages) const {
    const std::string* value = FindValue(section, key);
    if (value == nullptr) {
        return defaultValue;
    }
    const auto number = core::ParseInteger(*value);
    if (number && *number >= lo && *number <= hi) {
        return *number;
    }
    RefuseFigure(section, key, *value,
                 number ? " is outside " + std::to_string(lo) + ".." + std::to_string(hi)
                        : " is not a whole number",
                 defaultValue, messages);
    return defaultValue;
}

int TSectionReader::ReadIntegerOneOf(std::string_view section, std::string_view key,
                                     int defaultValue, std::initializer_list<int> allowed,
                                     core::IMessages& messages) const {
    const std::string* value = FindValue(section, key);
    if (value == nullptr) {
        return defaultValue;
    }
    const auto number = core::ParseInteger(*value);
    if (number && std::find(allowed.begin(), allowed.end(), *number) != allowed.end()) {
        return *number;
    }
    // "0, 1 or 3"
    std::string codes;
    for (const int* code = allowed.begin(); code != allowed.end(); ++code) {
        if (code != allowed.begin()) {
            codes += code + 1 == allowed.end() ? " or " : ", ";
        }
        codes += std::to_string(*code);
    }
    RefuseFigure(section, key, *value, number ? " is not " + codes : " is not a whole number",
                 defaultValue, messages);
    return defaultValue;
}

void TSectionReader::RefuseFigure(std::string_view section, std::string_view key,
                                  const std::string& value, const std::string& why,
                                  int defaultValue, core::IMessages& messages) const {
    messages.Warn("Warning! " + Where(section, key) + "=" + value + why + "; " +
                  std::to_string(defaultValue) + " used");
}

} // namespace tarnwake::scenario
