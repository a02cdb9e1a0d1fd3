#pragma once

#include "core/Colour.h"
#include "map/GlobeUnits.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace tarnwake::map {

// Drawing styles are plain data: the chart view draws them, the game only creates them by
// name and gives their number (PresenterID) to objects. The style numbers are the ones
// layer files store.

enum class TPresenterKind : std::uint8_t {
    Point,    // a symbol at one position
    Poly,     // lines and areas (pen and brush)
    Polygon,  // areas
    Polyline, // lines only (pen, no brush)
};

enum TPenStyle : std::uint8_t {
    psSolid = 0,
    psDash = 1,
    psDot = 2,
    psDashDot = 3,
    psDashDotDot = 4,
    psClear = 5,
};

enum TBrushStyle : std::uint8_t {
    bsSolid = 0,
    bsClear = 1,
    bsHorizontal = 2,
    bsVertical = 3,
    bsFDiagonal = 4,
    bsBDiagonal = 5,
    bsCross = 6,
    bsDiagCross = 7,
};

enum TTitleAlignment : std::uint8_t {
    taLeft = 0,
    taRight = 1,
    taCenter = 2,
};

enum TPointType : std::uint8_t {
    ppNone = 0,
    ppCircle = 1,
    ppSquare = 2,
    ppFontSymbol = 3,
    ppImage = 4,
};

// Font style bits.
enum TFontStyle : std::uint8_t {
    fsBold = 1,
    fsItalic = 2,
    fsUnderline = 4,
    fsStrikeOut = 8,
};

struct TGlobePen {
    core::TColor colour = core::colors::Black;
    std::uint8_t style = psSolid;
    std::int32_t width = 1;
    TGlobeUnitTypes widthUnit = TGlobeUnitTypes::Pixel;
    bool operator==(const TGlobePen&) const = default;
};

struct TGlobeBrush {
    core::TColor colour = core::colors::White;
    core::TColor backColour = core::colors::White;
    std::uint8_t style = bsSolid;
    bool operator==(const TGlobeBrush&) const = default;
};

struct TGlobeFont {
    core::TColor colour = core::colors::Black;
    TGlobeUnitTypes unit = TGlobeUnitTypes::Pixel;
    std::uint16_t size = 10;
    std::uint16_t angle = 0;
    std::uint8_t style = 0;
    std::string name = "Arial";
    bool operator==(const TGlobeFont&) const = default;
};

// One drawing style of a layer.
struct TGlobePresenter {
    TPresenterKind kind = TPresenterKind::Polygon;
    int PresenterID = 0;
    std::string Name;
    std::int32_t titleOffset = 0;
    std::uint8_t titleAlignment = taLeft;
    TGlobeFont titleFont;
    TGlobePen pen;
    TGlobeBrush brush;
    // Point presenters only.
    std::uint8_t pointType = ppCircle;
    TGlobeUnitTypes pointUnit = TGlobeUnitTypes::Pixel;
    std::int32_t pointSize = 5;
    std::int32_t maxPointSize = 0; // 0: no maximum
    std::uint16_t symbolIndex = 0;
    std::string imageName;
    TGlobeFont pointFont;

    bool operator==(const TGlobePresenter&) const = default;
};

// The class name a layer file gives each kind.
std::string_view PresenterClassName(TPresenterKind kind);

} // namespace tarnwake::map
