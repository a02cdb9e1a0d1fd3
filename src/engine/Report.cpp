#include "engine/Report.h"

namespace tarnwake::engine {

using designs::TShipType;

std::optional<int> ReportedKindOf(TShipType type) {
    switch (type) {
    case TShipType::BB:
        return rkBB;
    case TShipType::BC:
        return rkBC;
    case TShipType::B:
        return rkB;
    case TShipType::CA:
        return rkCA;
    case TShipType::CL:
        return rkCL;
    case TShipType::DD:
    case TShipType::MS:
        return rkDD;
    case TShipType::AMC:
    case TShipType::TR:
    case TShipType::AV:
        return rkTR;
    case TShipType::LT:
        break;
    }
    return std::nullopt;
}

std::string TReport::Text() const {
    static constexpr std::array<const char*, kReportedKinds> kSuffixes = {" BB", " BC", " B", " CA",
                                                                          " CL", " DD", " TR"};
    std::string text;
    for (int kind = 0; kind < kReportedKinds; ++kind) {
        const int count = Composition[static_cast<std::size_t>(kind)];
        if (count > 0) {
            text += " " + std::to_string(count) + kSuffixes[static_cast<std::size_t>(kind)];
        }
    }
    if (Course != 0) {
        text += " Course " + std::to_string(Course);
    }
    return text;
}

std::string TReport::Title() const {
    return Text() + " " + core::FormatTime(Clock);
}

std::string TReport::ListText() const {
    return core::FormatTime(Clock) + " " + ReporterName + " - " + Text();
}

} // namespace tarnwake::engine
