#include "core/ProfileFile.h"

#include "core/Text.h"

#include <fcntl.h>
#include <system_error>
#include <unistd.h>
#include <unordered_map>

namespace tarnwake::core {

namespace fs = std::filesystem;

namespace {

constexpr std::size_t npos = std::string::npos;

// The section name of a header line, or no value when the line is not a header.
std::optional<std::string_view> HeaderName(std::string_view line) {
    line = TrimView(line);
    if (line.empty() || line.front() != '[') {
        return std::nullopt;
    }
    const std::size_t close = line.find(']');
    if (close == std::string_view::npos) {
        return std::nullopt;
    }
    return TrimView(line.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
    line = TrimView(line);
    return !line.empty() && line.front() == ';';
}

// Key and value of an entry line, trimmed.
bool SplitEntry(std::string_view line, std::string_view& key, std::string_view& value) {
    if (IsComment(line)) {
        return false;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) {
        return false;
    }
    key = TrimView(line.substr(0, eq));
    value = TrimView(line.substr(eq + 1));
    return !key.empty();
}

std::string Unquote(std::string_view value) {
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front()) {
        value = value.substr(1, value.size() - 2);
    }
    return std::string(value);
}

} // namespace

TProfileFile::TProfileFile(fs::path path) : path_(std::move(path)) {
    std::error_code ec;
    if (!fs::exists(path_, ec)) {
        return;
    }
    TTextFile text = ReadTextFile(path_);
    if (!text.ok) {
        loadError_ = text.error;
        return;
    }
    loadWarnings_ = std::move(text.warnings);
    Parse(std::move(text));
}

TProfileFile TProfileFile::FromText(std::string_view text, const std::string& name) {
    TProfileFile profile;
    TTextFile lines = SplitTextLines(text, name);
    if (!lines.ok) {
        profile.loadError_ = lines.error;
        return profile;
    }
    profile.loadWarnings_ = std::move(lines.warnings);
    profile.Parse(std::move(lines));
    return profile;
}

void TProfileFile::Parse(TTextFile&& text) {
    lines_ = std::move(text.lines);
    crlf_ = text.crlf;
}

std::size_t TProfileFile::FindSectionLine(std::string_view section) const {
    const std::string_view wanted = TrimView(section);
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        if (auto name = HeaderName(lines_[i]); name && EqualsNoCase(*name, wanted)) {
            return i;
        }
    }
    return npos;
}

std::size_t TProfileFile::SectionEnd(std::size_t header) const {
    std::size_t i = header + 1;
    while (i < lines_.size() && !HeaderName(lines_[i])) {
        ++i;
    }
    return i;
}

std::size_t TProfileFile::FindKeyLine(std::size_t header, std::string_view key) const {
    const std::string_view wanted = TrimView(key);
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string_view k;
        std::string_view v;
        if (SplitEntry(lines_[i], k, v) && EqualsNoCase(k, wanted)) {
            return i;
        }
    }
    return npos;
}

std::optional<std::string> TProfileFile::Find(std::string_view section,
                                              std::string_view key) const {
    if (recordKeys_) {
        keysAsked_.emplace_back(NumbersAsHash(section), NumbersAsHash(key));
    }
    const std::size_t header = FindSectionLine(section);
    if (header == npos) {
        return std::nullopt;
    }
    const std::size_t line = FindKeyLine(header, key);
    if (line == npos) {
        return std::nullopt;
    }
    std::string_view k;
    std::string_view v;
    SplitEntry(lines_[line], k, v);
    return Unquote(v);
}

std::string TProfileFile::ReadString(std::string_view section, std::string_view key,
                                     const std::string& defaultValue) const {
    auto value = Find(section, key);
    return value ? *value : defaultValue;
}

int TProfileFile::ReadInteger(std::string_view section, std::string_view key,
                              int defaultValue) const {
    auto value = Find(section, key);
    if (!value) {
        return defaultValue;
    }
    auto number = ParseInteger(TrimView(*value));
    return number ? *number : defaultValue;
}

bool TProfileFile::ReadBool(std::string_view section, std::string_view key,
                            bool defaultValue) const {
    return ReadInteger(section, key, defaultValue ? 1 : 0) != 0;
}

bool TProfileFile::SectionExists(std::string_view section) const {
    return FindSectionLine(section) != npos;
}

std::vector<std::string> TProfileFile::Duplicates(const std::string& fileName) const {
    std::vector<std::string> texts;
    std::unordered_map<std::string, int> sections; // lower-case name -> its first line
    std::unordered_map<std::string, int> keys;     // of the section being read
    std::string current;
    bool reading = false; // in the first section of its name
    for (std::size_t i = 0; i < lines_.size(); ++i) {
        const int line = static_cast<int>(i) + 1;
        if (const auto name = HeaderName(lines_[i])) {
            current = std::string(*name);
            const auto [first, added] = sections.try_emplace(ToLowerAscii(current), line);
            reading = added;
            keys.clear();
            if (!added) {
                texts.push_back(SectionGivenAgainText(fileName, line, current, first->second));
            }
            continue;
        }
        std::string_view key;
        std::string_view value;
        if (!reading || !SplitEntry(lines_[i], key, value)) {
            continue;
        }
        if (const auto [first, added] = keys.try_emplace(ToLowerAscii(key), line); !added) {
            texts.push_back(
                KeyGivenAgainText(fileName, line, current, std::string(key), first->second));
        }
    }
    return texts;
}

std::vector<std::string> TProfileFile::ReadSectionKeys(std::string_view section) const {
    std::vector<std::string> keys;
    const std::size_t header = FindSectionLine(section);
    if (header == npos) {
        return keys;
    }
    const std::size_t end = SectionEnd(header);
    for (std::size_t i = header + 1; i < end; ++i) {
        std::string_view k;
        std::string_view v;
        if (!SplitEntry(lines_[i], k, v)) {
            continue;
        }
        bool seen = false;
        for (const auto& existing : keys) {
            seen = seen || EqualsNoCase(existing, k);
        }
        if (!seen) {
            keys.emplace_back(k);
        }
    }
    return keys;
}

void TProfileFile::WriteString(std::string_view section, std::string_view key,
                               std::string_view value) {
    const std::string entry = Trim(key) + "=" + std::string(value);
    const std::size_t header = FindSectionLine(section);
    if (header == npos) {
        if (!lines_.empty() && !TrimView(lines_.back()).empty()) {
            lines_.emplace_back();
        }
        // Named first: GCC 12 falsely warns (-Wrestrict) on a literal plus a temporary string.
        const std::string name = Trim(section);
        lines_.push_back("[" + name + "]");
        lines_.push_back(entry);
        return;
    }
    const std::size_t line = FindKeyLine(header, key);
    if (line != npos) {
        lines_[line] = entry;
        return;
    }
    // After the section's last non-blank line, so blank separators stay between sections.
    std::size_t insertAt = SectionEnd(header);
    while (insertAt > header + 1 && TrimView(lines_[insertAt - 1]).empty()) {
        --insertAt;
    }
    lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(insertAt), entry);
}

void TProfileFile::WriteInteger(std::string_view section, std::string_view key, int value) {
    WriteString(section, key, std::to_string(value));
}

void TProfileFile::WriteBool(std::string_view section, std::string_view key, bool value) {
    WriteString(section, key, value ? "1" : "0");
}

std::string TProfileFile::ToText() const {
    std::string text;
    const char* eol = crlf_ ? "\r\n" : "\n";
    for (const auto& line : lines_) {
        text += line;
        text += eol;
    }
    return text;
}

bool TProfileFile::Save(std::string& error) const {
    if (path_.empty()) {
        error = "Cannot save a profile that has no file name";
        return false;
    }
    if (!loadError_.empty()) {
        // The old file could not be read; keep it beside the new one rather than lose it.
        std::error_code ec;
        fs::copy_file(path_, fs::path(path_.string() + ".bak"),
                      fs::copy_options::overwrite_existing, ec);
    }
    return WriteFileAtomically(path_, ToText(), error);
}

std::string ReadProfileString(const fs::path& file, std::string_view section, std::string_view key,
                              const std::string& defaultValue) {
    return TProfileFile(file).ReadString(section, key, defaultValue);
}

bool WriteProfileString(const fs::path& file, std::string_view section, std::string_view key,
                        std::string_view value, std::string& error) {
    TProfileFile profile(file);
    profile.WriteString(section, key, value);
    return profile.Save(error);
}

std::string KeyGivenAgainText(const std::string& fileName, int line, const std::string& section,
                              const std::string& key, int firstLine) {
    return "Warning! " + fileName + ", line " + std::to_string(line) + ": [" + section + "] " +
           key + " is given again; line " + std::to_string(firstLine) + " counts";
}

std::string SectionGivenAgainText(const std::string& fileName, int line, const std::string& section,
                                  int firstLine) {
    return "Warning! " + fileName + ", line " + std::to_string(line) + ": section [" + section +
           "] is given again; the one at line " + std::to_string(firstLine) + " counts";
}

bool WriteFileAtomically(const fs::path& file, std::string_view contents, std::string& error) {
    std::error_code ec;
    const fs::path dir = file.has_parent_path() ? file.parent_path() : fs::path(".");
    fs::create_directories(dir, ec);
    if (ec) {
        error = "Cannot create folder " + dir.string() + ": " + ec.message();
        return false;
    }
    // Named first: GCC 12 falsely warns (-Wrestrict) on a literal plus a temporary string.
    const std::string leaf = file.filename().string();
    std::string tempName = (dir / ("." + leaf + ".XXXXXX")).string();
    const int fd = ::mkstemp(tempName.data());
    if (fd < 0) {
        error = "Cannot write " + file.string() + ": " + std::generic_category().message(errno);
        return false;
    }
    const char* data = contents.data();
    std::size_t left = contents.size();
    bool ok = true;
    while (left > 0) {
        const ssize_t n = ::write(fd, data, left);
        if (n < 0) {
            if (errno == EINTR) {
                continue;
            }
            ok = false;
            break;
        }
        data += n;
        left -= static_cast<std::size_t>(n);
    }
    const int savedErrno = errno;
    ok = ok && ::fsync(fd) == 0;
    ok = (::close(fd) == 0) && ok;
    if (!ok) {
        error = "Cannot write " + file.string() + ": " +
                std::generic_category().message(savedErrno != 0 ? savedErrno : errno);
        ::unlink(tempName.c_str());
        return false;
    }
    // Keep the permissions of the file being replaced; a new file gets the usual 0644.
    fs::perms perms = fs::perms::owner_read | fs::perms::owner_write | fs::perms::group_read |
                      fs::perms::others_read;
    if (fs::exists(file, ec)) {
        perms = fs::status(file, ec).permissions();
    }
    fs::permissions(tempName, perms, ec);
    fs::rename(tempName, file, ec);
    if (ec) {
        error = "Cannot replace " + file.string() + ": " + ec.message();
        ::unlink(tempName.c_str());
        return false;
    }
    return true;
}

} // namespace tarnwake::core
