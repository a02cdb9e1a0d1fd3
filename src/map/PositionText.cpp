#include "map/PositionText.h"

#include "core/Messages.h"
#include "core/Text.h"
#include "map/GlobeUnits.h"

#include <cctype>
#include <optional>

namespace tarnwake::map {

namespace {

char Upper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

void AppendTwoDigits(std::string& out, std::int64_t v) {
    out += static_cast<char>('0' + (v / 10) % 10);
    out += static_cast<char>('0' + v % 10);
}

bool HasHemisphereField(std::string_view pattern) {
    for (std::size_t i = 0; i + 1 < pattern.size(); ++i) {
        if (pattern[i] == '%') {
            const char c = Upper(pattern[i + 1]);
            if (c == 'E' || c == 'N') {
                return true;
            }
            ++i;
        }
    }
    return false;
}

// Digits only, no sign: scenario positions never carry one, and a stray sign in a part is
// a typo rather than a hemisphere.
std::optional<std::int64_t> ReadDigits(std::string_view s) {
    if (s.empty()) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (char c : s) {
        if (c < '0' || c > '9') {
            return std::nullopt;
        }
        value = value * 10 + (c - '0');
        if (value > 1'000'000) {
            return std::nullopt;
        }
    }
    return value;
}

// One part such as "43000E"; the value in globe units, or nothing when it is not a position.
std::optional<std::int64_t> ParsePart(std::string_view part, char positive, char negative,
                                      std::int64_t maxDegrees) {
    constexpr std::size_t kMinPartLength = 5;
    if (part.size() < kMinPartLength) {
        return std::nullopt;
    }
    const char hemisphere = Upper(part.back());
    if (hemisphere != positive && hemisphere != negative) {
        return std::nullopt;
    }
    const std::string_view degreesText = part.substr(0, part.size() - 5);
    const auto minutes = ReadDigits(part.substr(part.size() - 5, 2));
    const auto seconds = ReadDigits(part.substr(part.size() - 3, 2));
    // "0000N" has no degree digits: no degrees.
    const auto degrees =
        degreesText.empty() ? std::optional<std::int64_t>(0) : ReadDigits(degreesText);
    if (!minutes || !seconds || !degrees || *minutes >= 60 || *seconds >= 60) {
        return std::nullopt;
    }
    const std::int64_t sign = hemisphere == negative ? -1 : 1;
    const std::int64_t value =
        FromUnits(static_cast<double>(sign * *degrees), TGlobeUnitTypes::Degree) +
        FromUnits(static_cast<double>(sign * *minutes), TGlobeUnitTypes::Minute) +
        FromUnits(static_cast<double>(sign * *seconds), TGlobeUnitTypes::Second);
    if (value > maxDegrees * kGlobeUnitsPerDegree || value < -maxDegrees * kGlobeUnitsPerDegree) {
        return std::nullopt;
    }
    return value;
}

} // namespace

std::string FormatAngle(std::int64_t value, std::string_view pattern) {
    const bool negative = value < 0;
    // The magnitude in unsigned arithmetic: the most negative value has no positive twin.
    const std::uint64_t v = negative ? std::uint64_t{0} - static_cast<std::uint64_t>(value)
                                     : static_cast<std::uint64_t>(value);
    const std::uint64_t degrees = v / kGlobeUnitsPerDegree;
    const std::uint64_t minutes = (v % kGlobeUnitsPerDegree) / kGlobeUnitsPerMinute;
    const std::uint64_t seconds = (v % kGlobeUnitsPerMinute) / 1'500;
    bool signPending = negative && !HasHemisphereField(pattern);

    std::string out;
    for (std::size_t i = 0; i < pattern.size(); ++i) {
        const char c = pattern[i];
        if (c != '%' || i + 1 >= pattern.size()) {
            out += c;
            continue;
        }
        const char field = pattern[++i];
        const char upper = Upper(field);
        if ((upper == 'D' || upper == 'M' || upper == 'S') && signPending) {
            out += '-';
            signPending = false;
        }
        switch (upper) {
        case 'D':
            out += std::to_string(degrees);
            break;
        case 'M':
            AppendTwoDigits(out, minutes);
            break;
        case 'S':
            AppendTwoDigits(out, seconds);
            break;
        case 'E':
            out += negative ? 'W' : 'E';
            break;
        case 'N':
            out += negative ? 'S' : 'N';
            break;
        default:
            out += field;
            break;
        }
    }
    return out;
}

std::string PositionToText(const TGeoPos& p) {
    return FormatAngle(p.lon, "%d%m%s%E ") + FormatAngle(p.lat, "%d%m%s%N");
}

bool TextToPosition(std::string_view text, std::string_view context, bool report,
                    core::IMessages& messages, TGeoPos& target) {
    const std::size_t blank = text.find(' ');
    const std::string_view lonPart = blank == std::string_view::npos ? text : text.substr(0, blank);
    const std::string_view latPart = blank == std::string_view::npos
                                         ? std::string_view{}
                                         : core::TrimView(text.substr(blank + 1));

    if ((lonPart == "0" && latPart == "0") ||
        (core::EqualsNoCase(lonPart, "0E") && core::EqualsNoCase(latPart, "0N"))) {
        target = TGeoPos{};
        return true;
    }
    const auto lon = ParsePart(lonPart, 'E', 'W', 180);
    const auto lat = ParsePart(latPart, 'N', 'S', 90);
    if (!lon || !lat) {
        if (report) {
            messages.Error("Error reading position!\n" + std::string(text) + "\n" +
                           std::string(context));
        }
        return false;
    }
    target = TGeoPos{static_cast<std::int32_t>(*lon), static_cast<std::int32_t>(*lat), 0};
    return true;
}

} // namespace tarnwake::map
