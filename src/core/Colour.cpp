#include "core/Colour.h"

#include "core/Text.h"

#include <array>
#include <cstdio>

namespace tarnwake::core {

namespace {

struct TNamedColor {
    const char* name;
    TColor value;
};

// The standard colour names a preferences file written on Windows may hold. Where two names
// share a value, the first one is the name we write.
constexpr std::array<TNamedColor, 22> kNamedColors{{
    {"clBlack", colors::Black},
    {"clMaroon", colors::Maroon},
    {"clGreen", colors::Green},
    {"clOlive", colors::Olive},
    {"clNavy", colors::Navy},
    {"clPurple", colors::Purple},
    {"clTeal", colors::Teal},
    {"clGray", colors::Gray},
    {"clSilver", colors::Silver},
    {"clRed", colors::Red},
    {"clLime", colors::Lime},
    {"clYellow", colors::Yellow},
    {"clBlue", colors::Blue},
    {"clFuchsia", colors::Fuchsia},
    {"clAqua", colors::Aqua},
    {"clWhite", colors::White},
    {"clMoneyGreen", colors::MoneyGreen},
    {"clSkyBlue", colors::SkyBlue},
    {"clCream", colors::Cream},
    {"clMedGray", colors::MedGray},
    {"clLtGray", colors::Silver},
    {"clDkGray", colors::Gray},
}};

std::optional<TColor> ParseHex(std::string_view digits) {
    if (digits.empty() || digits.size() > 8) {
        return std::nullopt;
    }
    std::uint32_t value = 0;
    for (char ch : digits) {
        int d = 0;
        if (ch >= '0' && ch <= '9') {
            d = ch - '0';
        } else if (ch >= 'a' && ch <= 'f') {
            d = ch - 'a' + 10;
        } else if (ch >= 'A' && ch <= 'F') {
            d = ch - 'A' + 10;
        } else {
            return std::nullopt;
        }
        value = value * 16 + static_cast<std::uint32_t>(d);
    }
    return static_cast<TColor>(value);
}

} // namespace

std::string ColorToText(TColor c) {
    char buffer[12];
    std::snprintf(buffer, sizeof buffer, "$%08X", static_cast<std::uint32_t>(c));
    return buffer;
}

std::optional<TColor> TextToColor(std::string_view text) {
    text = TrimView(text);
    if (text.empty()) {
        return std::nullopt;
    }
    if (text.front() == '$') {
        return ParseHex(text.substr(1));
    }
    for (const auto& named : kNamedColors) {
        if (EqualsNoCase(text, named.name)) {
            return named.value;
        }
    }
    if (auto number = ParseInteger(text)) {
        return static_cast<TColor>(*number);
    }
    return std::nullopt;
}

std::string ColorName(TColor c) {
    for (const auto& named : kNamedColors) {
        if (named.value == c) {
            return named.name;
        }
    }
    return {};
}

} // namespace tarnwake::core
