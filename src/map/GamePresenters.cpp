#include "map/GamePresenters.h"

#include "core/Messages.h"
#include "map/Globe.h"

#include <array>

namespace tarnwake::map {

namespace {

using core::TColor;

constexpr TColor kRed = 255;
constexpr TColor kBlue = 16'711'680;
constexpr TColor kGreen = 32'768;
constexpr TColor kWhite = 16'777'215;
constexpr TColor kBlack = 0;
constexpr int kReportSymbol = 80;
constexpr int kCrossSymbol = 88;
constexpr const char* kSymbolFont = "WingDings";

TGlobeLayer* ShipLayer(TGlobe& globe, core::IMessages& messages) {
    TGlobeLayer* layer = globe.FindLayer("ShipLayer");
    if (layer == nullptr) {
        messages.Error("Error finding ship layer!");
    }
    return layer;
}

TGlobePresenter Area(TColor brush, std::uint8_t brushStyle = bsSolid) {
    TGlobePresenter p;
    p.kind = TPresenterKind::Polygon;
    p.pen = TGlobePen{kBlack, psSolid, 1, TGlobeUnitTypes::Pixel};
    p.brush = TGlobeBrush{brush, brush, brushStyle};
    return p;
}

TGlobeFont MetreFont(TColor colour, int size) {
    TGlobeFont font;
    font.colour = colour;
    font.unit = TGlobeUnitTypes::Meter;
    font.size = static_cast<std::uint16_t>(size);
    return font;
}

enum class TShipSize { Small, Medium, Large };

TShipSize ShipSizeOf(int shipType) {
    if (shipType == 6 || shipType == 7) {
        return TShipSize::Small;
    }
    if (shipType >= 3 && shipType <= 5) {
        return TShipSize::Medium;
    }
    return TShipSize::Large;
}

TGlobePresenter ShipStyle(TShipSize size, TColor colour) {
    TGlobePresenter p = Area(colour);
    constexpr std::array<int, 3> kTitleSizes = {200, 300, 400};
    p.titleFont = MetreFont(kBlack, kTitleSizes[static_cast<std::size_t>(size)]);
    p.titleAlignment = taRight;
    p.titleOffset = 100;
    return p;
}

} // namespace

std::optional<int> ShipPresenter(TGlobe& globe, int shipType, int colourIndex, TColor colour,
                                 bool applyToDD, core::IMessages& messages) {
    TGlobeLayer* layer = ShipLayer(globe, messages);
    if (layer == nullptr) {
        return std::nullopt;
    }
    const TShipSize size = ShipSizeOf(shipType);
    static constexpr std::array<const char*, 3> kNames = {
        "SmallShipPresenter", "MediumShipPresenter", "LargeShipPresenter"};
    const std::string name = kNames[static_cast<std::size_t>(size)] + std::to_string(colourIndex);
    const TColor fill = (size == TShipSize::Small && !applyToDD) ? kGreyColour : colour;
    return layer->FindOrAddPresenter(name, [&] { return ShipStyle(size, fill); });
}

std::optional<int> UnidentifiedShipPresenter(TGlobe& globe, core::IMessages& messages) {
    TGlobeLayer* layer = ShipLayer(globe, messages);
    if (layer == nullptr) {
        return std::nullopt;
    }
    return layer->FindOrAddPresenter("MediumShipPresenter9",
                                     [] { return ShipStyle(TShipSize::Medium, kGreyColour); });
}

std::optional<int> FlagPresenter(TGlobe& globe, int side, core::IMessages& messages) {
    const char* name = nullptr;
    TColor colour = kRed;
    switch (side) {
    case 0:
        name = "RedFlagPresenter";
        colour = kRed;
        break;
    case 1:
        name = "BlueFlagPresenter";
        colour = kBlue;
        break;
    case 3:
        name = "GreenFlagPresenter";
        colour = kGreen;
        break;
    default:
        messages.Warn("Warning: Setting Divisional Flag Presenter. Illegal side " +
                      std::to_string(side));
        return std::nullopt;
    }
    TGlobeLayer* layer = ShipLayer(globe, messages);
    if (layer == nullptr) {
        return std::nullopt;
    }
    return layer->FindOrAddPresenter(name, [&] {
        TGlobePresenter p = Area(colour);
        p.titleFont = MetreFont(kGreyColour, 600);
        p.titleOffset = 400;
        return p;
    });
}

std::optional<int> TrackPresenter(TGlobe& globe, int side, int divisionShipType,
                                  core::IMessages& messages) {
    TGlobeLayer* layer = ShipLayer(globe, messages);
    if (layer == nullptr) {
        return std::nullopt;
    }
    const int width = divisionShipType <= 2 ? 3 : (divisionShipType <= 5 ? 2 : 1);
    const bool red = side == 0;
    const std::string name =
        std::string(red ? "TrackPresenterRed" : "TrackPresenterBlue") + std::to_string(width);
    return layer->FindOrAddPresenter(name, [&] {
        TGlobePresenter p;
        p.kind = TPresenterKind::Polyline;
        p.pen = TGlobePen{red ? kRed : kBlue, psSolid, width, TGlobeUnitTypes::Pixel};
        return p;
    });
}

std::optional<int> ReportPresenter(TGlobe& globe, int side, core::IMessages& messages) {
    TGlobeLayer* layer = ShipLayer(globe, messages);
    if (layer == nullptr) {
        return std::nullopt;
    }
    const bool red = side == 0;
    return layer->FindOrAddPresenter(red ? "RedReportPresenter" : "BlueReportPresenter", [&] {
        TGlobePresenter p;
        p.kind = TPresenterKind::Point;
        p.pointType = ppFontSymbol;
        p.symbolIndex = kReportSymbol;
        p.pointUnit = TGlobeUnitTypes::Meter;
        p.pointSize = 1000;
        p.pointFont = MetreFont(red ? kRed : kBlue, 1000);
        p.pointFont.name = kSymbolFont;
        p.pen.colour = red ? kRed : kBlue;
        p.titleFont = MetreFont(kGreyColour, 800);
        p.titleOffset = 400;
        return p;
    });
}

std::optional<int> ZoomedPresenter(TGlobe& globe, core::IMessages& messages) {
    TGlobeLayer* layer = ShipLayer(globe, messages);
    if (layer == nullptr) {
        return std::nullopt;
    }
    return layer->FindOrAddPresenter("ZoomedPresenter", [] {
        TGlobePresenter p = Area(kGreyColour);
        p.titleFont.unit = TGlobeUnitTypes::Pixel;
        p.titleFont.size = 20;
        p.titleOffset = 30;
        return p;
    });
}

std::optional<int> NewWakePresenter(TGlobe& globe, core::IMessages& messages) {
    TGlobeLayer* layer = ShipLayer(globe, messages);
    if (layer == nullptr) {
        return std::nullopt;
    }
    return layer->FindOrAddPresenter("NewWake", [] {
        TGlobePresenter p = Area(kWhite);
        p.pen = TGlobePen{kWhite, psDash, 1, TGlobeUnitTypes::Pixel};
        return p;
    });
}

std::optional<int> LinePresenter(TGlobe& globe, const std::string& name, TColor colour,
                                 core::IMessages& messages) {
    TGlobeLayer* layer = ShipLayer(globe, messages);
    if (layer == nullptr) {
        return std::nullopt;
    }
    return layer->FindOrAddPresenter(name, [&] {
        TGlobePresenter p;
        p.kind = TPresenterKind::Polyline;
        p.pen = TGlobePen{colour, psDot, 6, TGlobeUnitTypes::Meter};
        return p;
    });
}

int MinefieldPresenter(TGlobeLayer& layer, int side, bool ownMark) {
    const std::string name =
        "MinePresenter" + std::to_string(side) + (ownMark ? "OwnMinefields" : "EnemyMinefields");
    const bool red = ownMark ? side == 0 : side == 1;
    const TColor colour = red ? kRed : kBlue;
    return layer.FindOrAddPresenter(name, [&] {
        TGlobePresenter p = Area(colour, bsFDiagonal);
        p.pen.colour = colour;
        p.titleFont.size = 0;
        p.titleAlignment = taRight;
        p.titleOffset = 220;
        return p;
    });
}

int SearchAreaPresenter(TGlobeLayer& layer) {
    return layer.FindOrAddPresenter("SearchAreaPresenter", [] {
        TGlobePresenter p = Area(kGreen, bsFDiagonal);
        p.titleFont.size = 0;
        p.titleOffset = 220;
        return p;
    });
}

std::optional<int> LocationPresenter(TGlobe& globe, int sizeClass, bool labelRight, bool labelOnly,
                                     core::IMessages& messages) {
    struct TLocationSize {
        const char* word;
        int titleSize;
        int pointSize;
        int titleOffset;
        std::uint8_t shape;
    };
    static constexpr std::array<TLocationSize, 7> kSizes = {{
        {"Label", 400, 150, 0, ppCircle},
        {"Small", 1500, 1500, 800, ppCircle},
        {"Medium", 3000, 3000, 1500, ppCircle},
        {"Large", 4000, 4000, 2500, ppSquare},
        {"VLarge", 5000, 5000, 2500, ppSquare},
        {"ELarge", 7000, 5000, 2500, ppSquare},
        {"EELarge", 10000, 8000, 3000, ppSquare},
    }};
    constexpr int kMaxPointPixels = 30;
    TGlobeLayer* layer = globe.FindLayer("LocationLayer");
    if (layer == nullptr) {
        messages.Error("Error finding location layer!");
        return std::nullopt;
    }
    // A class outside the table is named "Small" but drawn at the smallest (label) size.
    const bool known = sizeClass >= 0 && sizeClass <= 6;
    const TLocationSize& size = kSizes[known ? static_cast<std::size_t>(sizeClass) : 0];
    const std::string word = known ? size.word : "Small";
    const std::string name = word + (labelRight ? " Right" : " Left");
    return layer->FindOrAddPresenter(name, [&] {
        TGlobePresenter p;
        p.kind = TPresenterKind::Point;
        p.pointType = labelOnly ? std::uint8_t{ppNone} : size.shape;
        p.pointUnit = TGlobeUnitTypes::Meter;
        p.pointSize = size.pointSize;
        p.maxPointSize = kMaxPointPixels;
        p.pen = TGlobePen{labelOnly ? kGreyColour : kBlack, psSolid, 1, TGlobeUnitTypes::Pixel};
        p.brush = TGlobeBrush{kSilverColour, kSilverColour, bsSolid};
        p.titleFont = MetreFont(labelOnly ? kGreyColour : kBlack, size.titleSize);
        if (labelOnly) {
            p.titleFont.style = fsItalic;
        }
        p.titleAlignment = labelRight ? taRight : taLeft;
        p.titleOffset = size.titleOffset;
        return p;
    });
}

int CrossPresenter(TGlobe& globe) {
    TGlobeLayer& layer = globe.FindOrCreateLayer("CrossLayer");
    return layer.FindOrAddPresenter("CrossPresenter", [] {
        TGlobePresenter p;
        p.kind = TPresenterKind::Point;
        p.pointType = ppFontSymbol;
        p.symbolIndex = kCrossSymbol;
        p.pointUnit = TGlobeUnitTypes::Pixel;
        p.pointSize = 36;
        p.pointFont.name = kSymbolFont;
        p.pointFont.colour = kRed;
        p.pointFont.size = 36;
        p.pen.colour = kRed;
        return p;
    });
}

} // namespace tarnwake::map
