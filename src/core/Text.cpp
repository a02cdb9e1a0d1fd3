#include "core/Text.h"

#include <cerrno>
#include <charconv>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace tarnwake::core {

std::string_view TrimView(std::string_view s) {
    const auto isBlank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; };
    while (!s.empty() && isBlank(s.front())) {
        s.remove_prefix(1);
    }
    while (!s.empty() && isBlank(s.back())) {
        s.remove_suffix(1);
    }
    return s;
}

std::string Trim(std::string_view s) {
    return std::string(TrimView(s));
}

std::string ToLowerAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'A' && c <= 'Z') {
            c = static_cast<char>(c - 'A' + 'a');
        }
    }
    return out;
}

std::string ToUpperAscii(std::string_view s) {
    std::string out(s);
    for (char& c : out) {
        if (c >= 'a' && c <= 'z') {
            c = static_cast<char>(c - 'a' + 'A');
        }
    }
    return out;
}

bool EqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) {
        return false;
    }
    for (std::size_t i = 0; i < a.size(); ++i) {
        char x = a[i];
        char y = b[i];
        if (x >= 'A' && x <= 'Z') {
            x = static_cast<char>(x - 'A' + 'a');
        }
        if (y >= 'A' && y <= 'Z') {
            y = static_cast<char>(y - 'A' + 'a');
        }
        if (x != y) {
            return false;
        }
    }
    return true;
}

bool StartsWith(std::string_view s, std::string_view prefix) {
    return s.size() >= prefix.size() && s.substr(0, prefix.size()) == prefix;
}

bool EndsWithNoCase(std::string_view s, std::string_view suffix) {
    return s.size() >= suffix.size() && EqualsNoCase(s.substr(s.size() - suffix.size()), suffix);
}

std::string NumbersAsHash(std::string_view name) {
    std::string out;
    for (const char c : name) {
        if (c >= '0' && c <= '9') {
            if (out.empty() || out.back() != '#') {
                out += '#';
            }
        } else {
            out += c;
        }
    }
    return out;
}

std::optional<std::int32_t> ParseInteger(std::string_view s) {
    if (s.empty()) {
        return std::nullopt;
    }
    std::string_view digits = s;
    if (digits.front() == '+') {
        digits.remove_prefix(1);
        if (digits.empty() || digits.front() == '-') {
            return std::nullopt;
        }
    }
    std::int32_t value = 0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

std::optional<double> ParseReal(std::string_view s) {
    if (s.empty() || s.size() > 64) {
        return std::nullopt;
    }
    // from_chars for doubles is locale-independent, which matters: a German desktop must
    // read "12.5" from a data file as twelve and a half.
    std::string_view digits = s;
    if (digits.front() == '+') {
        digits.remove_prefix(1);
    }
    double value = 0.0;
    const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    if (ec != std::errc() || end != digits.data() + digits.size()) {
        return std::nullopt;
    }
    return value;
}

namespace {

// Windows-1252 bytes 0x80..0x9F as Unicode code points; 0 marks the five unassigned bytes,
// which we read as the Latin-1 control character of the same value.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0,      0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0,      0x017D, 0,      0,      0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0,      0x017E, 0x0178};

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out.push_back(static_cast<char>(cp));
    } else if (cp < 0x800) {
        out.push_back(static_cast<char>(0xC0 | (cp >> 6)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else if (cp < 0x10000) {
        out.push_back(static_cast<char>(0xE0 | (cp >> 12)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    } else {
        out.push_back(static_cast<char>(0xF0 | (cp >> 18)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 12) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | ((cp >> 6) & 0x3F)));
        out.push_back(static_cast<char>(0x80 | (cp & 0x3F)));
    }
}

// Length of a valid UTF-8 sequence starting at s[i], or 0 when the bytes there are not one.
std::size_t ValidUtf8Length(std::string_view s, std::size_t i) {
    const auto b0 = static_cast<unsigned char>(s[i]);
    std::size_t len = 0;
    char32_t cp = 0;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        len = 2;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        len = 3;
        cp = b0 & 0x0F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        len = 4;
        cp = b0 & 0x07;
    } else {
        return 0;
    }
    if (i + len > s.size()) {
        return 0;
    }
    for (std::size_t k = 1; k < len; ++k) {
        const auto b = static_cast<unsigned char>(s[i + k]);
        if ((b & 0xC0) != 0x80) {
            return 0;
        }
        cp = (cp << 6) | (b & 0x3F);
    }
    // Refuse overlong forms, surrogates and values past Unicode.
    if ((len == 3 && cp < 0x800) || (len == 4 && (cp < 0x10000 || cp > 0x10FFFF)) ||
        (cp >= 0xD800 && cp <= 0xDFFF)) {
        return 0;
    }
    return len;
}

} // namespace

std::string DecodeText(std::string_view bytes) {
    std::string out;
    out.reserve(bytes.size());
    std::size_t i = 0;
    if (StartsWith(bytes, "\xEF\xBB\xBF")) {
        i = 3;
    }
    while (i < bytes.size()) {
        const auto b = static_cast<unsigned char>(bytes[i]);
        if (b < 0x80) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        if (const std::size_t len = ValidUtf8Length(bytes, i); len > 0) {
            out.append(bytes.substr(i, len));
            i += len;
            continue;
        }
        char32_t cp = b;
        if (b >= 0x80 && b <= 0x9F && kCp1252High[b - 0x80] != 0) {
            cp = kCp1252High[b - 0x80];
        }
        AppendUtf8(out, cp);
        ++i;
    }
    return out;
}

TTextFile SplitTextLines(std::string_view bytes, const std::string& name) {
    TTextFile result;
    const std::size_t zero = bytes.find('\0');
    if (zero != std::string_view::npos) {
        std::size_t line = 1;
        for (std::size_t k = 0; k < zero; ++k) {
            line += bytes[k] == '\n' ? 1 : 0;
        }
        result.error =
            name + ", line " + std::to_string(line) + ": not a text file (it contains a zero byte)";
        return result;
    }
    std::size_t start = 0;
    std::size_t lineNumber = 0;
    while (start <= bytes.size()) {
        std::size_t end = bytes.find('\n', start);
        const bool last = end == std::string_view::npos;
        if (last) {
            end = bytes.size();
            if (start == end) {
                break; // a final line end does not start another, empty, line
            }
        }
        ++lineNumber;
        std::string_view raw = bytes.substr(start, end - start);
        if (!raw.empty() && raw.back() == '\r') {
            raw.remove_suffix(1);
            result.crlf = true;
        }
        std::string line = DecodeText(raw);
        if (line.size() > kMaxTextLineChars) {
            // Cut on a character boundary so the kept part is still valid UTF-8.
            std::size_t cut = kMaxTextLineChars;
            while (cut > 0 && (static_cast<unsigned char>(line[cut]) & 0xC0) == 0x80) {
                --cut;
            }
            line.resize(cut);
            result.warnings.push_back(name + ", line " + std::to_string(lineNumber) +
                                      ": line too long, cut at " +
                                      std::to_string(kMaxTextLineChars) + " characters");
        }
        result.lines.push_back(std::move(line));
        if (last) {
            break;
        }
        start = end + 1;
    }
    result.ok = true;
    return result;
}

TTextFile ReadTextFile(const std::filesystem::path& path) {
    TTextFile result;
    const std::string name = path.string();
    std::error_code ec;
    const auto status = std::filesystem::status(path, ec);
    if (ec || !std::filesystem::exists(status)) {
        result.error = "Cannot find file " + name;
        return result;
    }
    if (!std::filesystem::is_regular_file(status)) {
        result.error = name + " is not a file";
        return result;
    }
    const auto size = std::filesystem::file_size(path, ec);
    if (ec) {
        result.error = "Cannot read " + name + ": " + ec.message();
        return result;
    }
    if (size > kMaxTextFileBytes) {
        result.error =
            name + " is too large to be a game file (" + std::to_string(size) + " bytes)";
        return result;
    }
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.error = "Cannot open " + name;
        return result;
    }
    std::string bytes(static_cast<std::size_t>(size), '\0');
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    bytes.resize(static_cast<std::size_t>(in.gcount()));
    if (in.bad()) {
        result.error = "Cannot read " + name;
        return result;
    }
    return SplitTextLines(bytes, name);
}

} // namespace tarnwake::core
