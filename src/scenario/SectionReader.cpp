#include "scenario/SectionReader.h"

#include "core/Text.h"

namespace tarnwake::scenario {

using core::ToLowerAscii;

TSectionReader TSectionReader::FromFile(const std::filesystem::path& path) {
    TSectionReader reader;
    core::TTextFile text = core::ReadTextFile(path);
    if (!text.ok) {
        reader.error_ = text.error;
        return reader;
    }
    reader.warnings_ = std::move(text.warnings);
    reader.Index(text.lines);
    return reader;
}

TSectionReader TSectionReader::FromLines(const std::vector<std::string>& lines) {
    TSectionReader reader;
    reader.Index(lines);
    return reader;
}

TSectionReader TSectionReader::FromText(std::string_view text) {
    TSectionReader reader;
    core::TTextFile lines = core::SplitTextLines(text, "(text)");
    if (!lines.ok) {
        reader.error_ = lines.error;
        return reader;
    }
    reader.Index(lines.lines);
    return reader;
}

void TSectionReader::Index(const std::vector<std::string>& lines) {
    TSection* current = nullptr;
    for (const std::string& line : lines) {
        if (!line.empty() && line.front() == '[') {
            current = nullptr;
            if (line.size() >= 2 && line.back() == ']') {
                const std::string name =
                    ToLowerAscii(std::string_view(line).substr(1, line.size() - 2));
                // Only the first section of a name is ever read; a later one is skipped whole.
                if (sectionIndex_.find(name) == sectionIndex_.end()) {
                    sectionIndex_.emplace(name, sections_.size());
                    sections_.emplace_back();
                    current = &sections_.back();
                }
            }
            continue;
        }
        if (current == nullptr) {
            continue;
        }
        const std::size_t eq = line.find('=');
        if (eq == std::string::npos) {
            continue;
        }
        current->entries.try_emplace(line.substr(0, eq), line.substr(eq + 1));
    }
}

const std::string* TSectionReader::FindValue(std::string_view section, std::string_view key) const {
    const auto s = sectionIndex_.find(ToLowerAscii(section));
    if (s == sectionIndex_.end()) {
        return nullptr;
    }
    const auto& entries = sections_[s->second].entries;
    const auto e = entries.find(std::string(key));
    return e == entries.end() ? nullptr : &e->second;
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

} // namespace tarnwake::scenario
