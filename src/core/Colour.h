#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarnwake::core {

// Colours are kept as the integers the preference and scenario files use: 0x00BBGGRR
// (blue in the high byte, red in the low), written "$00BBGGRR" or as a standard colour
// name such as "clNavy".
using TColor = std::int32_t;

struct TRgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const TRgb&) const = default;
};

constexpr TColor RgbToColor(std::uint8_t r, std::uint8_t g, std::uint8_t b) {
    return static_cast<TColor>(r | (g << 8) | (b << 16));
}
constexpr TColor RgbToColor(TRgb rgb) {
    return RgbToColor(rgb.r, rgb.g, rgb.b);
}
constexpr TRgb ColorToRgb(TColor c) {
    return {static_cast<std::uint8_t>(c & 0xFF), static_cast<std::uint8_t>((c >> 8) & 0xFF),
            static_cast<std::uint8_t>((c >> 16) & 0xFF)};
}

// "$00BBGGRR" with eight upper-case hexadecimal digits.
std::string ColorToText(TColor c);
// Reads "$" + hex digits, a standard colour name (without regard to case), or a plain
// decimal number; nothing else.
std::optional<TColor> TextToColor(std::string_view text);
// The standard name of a colour, if it has one ("clRed"), else empty.
std::string ColorName(TColor c);

namespace colors {
constexpr TColor Black = 0x000000;
constexpr TColor Maroon = 0x000080;
constexpr TColor Green = 0x008000;
constexpr TColor Olive = 0x008080;
constexpr TColor Navy = 0x800000;
constexpr TColor Purple = 0x800080;
constexpr TColor Teal = 0x808000;
constexpr TColor Gray = 0x808080;
constexpr TColor Silver = 0xC0C0C0;
constexpr TColor Red = 0x0000FF;
constexpr TColor Lime = 0x00FF00;
constexpr TColor Yellow = 0x00FFFF;
constexpr TColor Blue = 0xFF0000;
constexpr TColor Fuchsia = 0xFF00FF;
constexpr TColor Aqua = 0xFFFF00;
constexpr TColor White = 0xFFFFFF;
constexpr TColor MoneyGreen = 0xC0DCC0;
constexpr TColor SkyBlue = 0xF0CAA6;
constexpr TColor Cream = 0xF0FBFF;
constexpr TColor MedGray = 0xA4A0A0;
} // namespace colors

} // namespace tarnwake::core
