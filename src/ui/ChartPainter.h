#pragma once

#include "core/Colour.h"
#include "map/GeoDataObject.h"
#include "map/GeoPos.h"
#include "map/GlobePresenter.h"
#include "map/GlobeUnits.h"
#include "ui/BattleScene.h"
#include "ui/ChartColours.h"
#include "ui/ChartOptions.h"
#include "ui/OrthographicProjection.h"

#include <QColor>
#include <QFont>
#include <QHash>
#include <QImage>
#include <QPen>
#include <QPointF>
#include <QPolygonF>
#include <QRectF>
#include <QSize>
#include <QStaticText>
#include <QString>
#include <QTransform>
#include <array>
#include <cstdint>
#include <limits>
#include <optional>
#include <string>
#include <vector>

class QPainter;

namespace tarnwake::engine {
class TGameWorld;
}
namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat
namespace tarnwake::map {
class TGlobeLayer;
} // namespace tarnwake::map

namespace tarnwake::ui {

// The drawing of the chart: what one paint of the chart view does, and what it keeps
// between paints. The view owns the cache and makes a painter for each paint.

// Pick distance around a ship or flag, in pixels.
inline constexpr double kPickPixels = 5.0;
// Division flags (pixels): a staff with a small flag at its top.
inline constexpr double kFlagStaff = 16.0;
inline constexpr double kFlagHeight = 7.0;

QColor ToQColor(core::TColor c, int alpha = 255);

// The label of a ship in a mode: empty when it gets none. An enemy is named once its class is
// made out and typed once its type is.
QString ShipLabel(const combat::TFightingShip& ship, int playerSide, TShipNameMode mode);

// The kinds of range ring, and the pen each is drawn with.
enum TRingKind { rkSighting, rkGuns, rkEndurance };
QPen RingPen(TRingKind kind);

// The box of longitudes and latitudes the chart shows, for leaving out what lies off it.
// Longitudes are measured from the view's centre and may run past 180 either way.
struct TViewBox {
    bool everything = true; // the horizon is in sight: only the far side is left out
    std::int64_t left = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
    std::int64_t top = 0;

    bool Overlaps(const map::TGeoRect& r) const {
        if (everything) {
            return true;
        }
        if (r.Top() < bottom || r.bottom > top) {
            return false;
        }
        for (std::int64_t shift :
             {-map::kGlobeUnitsPerCircle, std::int64_t{0}, map::kGlobeUnitsPerCircle}) {
            if (r.left + shift <= right && r.Right() + shift >= left) {
                return true;
            }
        }
        return false;
    }
};

TViewBox ComputeViewBox(const TOrthographicProjection& projection, const QSizeF& size);

// Where a coast layer's data ends. Coast data is cut out of the world's coasts along a box
// of meridians and parallels, so land reaching past the box ends in a straight edge there;
// the chart shades what lies beyond each edge where land was cut, so that the edge reads as
// the limit of the chart and not as a coast.
struct TChartLimits {
    enum TEdge { eLeft, eRight, eBottom, eTop, eEdgeCount };
    map::TGeoRect box;
    std::array<bool, eEdgeCount> cut{}; // land was cut along this edge

    bool Any() const { return cut[eLeft] || cut[eRight] || cut[eBottom] || cut[eTop]; }
};
// The box of a coast layer's closed outlines, and the edges along which one of them runs for
// a whole segment (two points in a row on the box's edge).
TChartLimits FindChartLimits(const map::TGlobeLayer& layer);

// What one layer looks like on the screen. The points of every object are kept as unit
// vectors (rebuilt only when the layer changes) and projected once per view: while the view
// stays put, a repaint only draws the polygons kept here.
struct TLayerCache {
    const map::TGlobeLayer* layer = nullptr;
    bool used = false;

    std::uint64_t revision = std::numeric_limits<std::uint64_t>::max();
    std::size_t objectCount = 0;
    struct TChainRange {
        std::size_t begin = 0;
        std::size_t count = 0;
    };
    std::vector<TUnitVector> points;
    std::vector<std::vector<TChainRange>> chains; // per object
    TChartLimits limits;                          // for a coast layer

    std::uint64_t viewGeneration = 0;
    struct TProjected {
        bool drawn = false;
        bool hasCentre = false;
        QPointF centre;
        std::vector<QPolygonF> chains;

        bool operator==(const TProjected&) const = default;
    };
    std::vector<TProjected> projected; // per object

    // The layer's shapes as last drawn, laid down whole while nothing they are drawn from has
    // changed: the tracks of a battle cost more to stroke than all else on the chart, and they
    // change at most once a minute or when the view moves. The ships in the same layer move
    // at every step, so the shapes are compared as projected, not by the layer's revision.
    struct TPicture {
        bool valid = false;
        QImage image; // the part drawn on, cut out of the whole chart's picture
        QRect extent; // where that part lies, in the device's pixels
        QSize screen; // the whole chart, in the device's pixels
        std::uint64_t viewGeneration = 0;
        std::uint64_t revision = std::numeric_limits<std::uint64_t>::max();
        std::vector<TProjected> shapes;
        std::vector<std::uint64_t> looks; // per object: how it is drawn, see LayerLook
        std::vector<map::TGlobePresenter> presenters;
        core::TColor land = 0;
        double pixelsPerGlobeUnit = 0.0;
        int renderHints = 0;
    } picture;
};

// A meridian (degrees of longitude) or parallel (of latitude) in sight, as pieces of line on
// the screen.
struct TGridLine {
    int degrees = 0;
    bool meridian = true;
    std::vector<QPolygonF> pieces;
};

// A text laid out once: names and labels are drawn on every repaint, and laying a text out
// costs more than drawing it.
struct TLaidOutText {
    QStaticText text;
    double ascent = 0.0;
    double width = 0.0;
};

struct TChartCache {
    static constexpr qsizetype kMaxTexts = 4000;
    QHash<QString, TLaidOutText> texts;

    // The text laid out in the font, from the cache or laid out now.
    const TLaidOutText& Text(const QString& text, const QFont& font);
    // The fonts the chart writes in, each with its key: a paint asks for a thousand texts in
    // a handful of fonts, and making a font's key costs more than finding its text.
    std::vector<std::pair<QFont, QString>> fontKeys;
    const QString& FontKey(const QFont& font);

    std::uint64_t viewGeneration = 1;
    TViewBox viewBox;
    std::vector<TGridLine> grid;
    std::uint64_t gridGeneration = 0;
    std::vector<TLayerCache> layers;
    // Where a layer's picture is drawn before the part drawn on is kept.
    QImage canvas;
    TBattleScene battle;

    // The cache of a layer, made empty on first use; marks it as drawn in this paint.
    TLayerCache& For(const map::TGlobeLayer* layer);
    // Forgets the layers not drawn in the last paint (they have left the chart).
    void Prune();
};

// Everything one paint needs, so the drawing helpers stay small.
class TChartPainter {
public:
    TChartPainter(QPainter& painter, const QSize& size, const TOrthographicProjection& projection,
                  double altitude, const TChartColours& colours, TChartCache& cache);

    // Lays layers down from the pictures kept of them (the default), or draws them anew.
    void KeepLayerPictures(bool keep) { keepLayerPictures_ = keep; }
    void Background(core::TColor sea);
    void GridLines(core::TColor sea);
    void GridLabels();
    void Layer(map::TGlobeLayer& layer);
    // Shades the sea and land beyond the cut edges of the coast layers drawn so far.
    void ChartLimits(const std::vector<const map::TGlobeLayer*>& coastLayers);
    void Ships(const engine::TGameWorld& world, TShipNameMode names);
    // The range rings of the player's divisions (every division when watching).
    void RangeRings(engine::TGameWorld& world, const TRangeRings& rings,
                    const combat::TDivision* selected);
    // The lines of fire of the last minute, from each firing ship to its target in its side's
    // colour, heavier for bigger guns; only between ships the player can see.
    void FireLines(const engine::TGameWorld& world);
    // The day, twilight and night across the chart, as the light is at each place: nothing
    // by day, a dusk shade in twilight, a dark one by night.
    void Daylight(const engine::TGameWorld& world);
    // The battle under the ships: the wrecks of the ships sunk, and the splashes of the last
    // minute's shells round their targets (a salvo's size in columns of water).
    void BattleUnderShips(const engine::TGameWorld& world);
    // The battle over the ships: rings round the targets straddled, the brief flashes of hits,
    // the fires aboard, the turns away from torpedo tracks and each torpedo at the head of its
    // track.
    void BattleOverShips(const engine::TGameWorld& world);
    // Where the wind blows from and how hard, with the weather and the light of the moment at
    // the centre of the chart.
    void WindGauge(const engine::TGameWorld& world);
    // Decides which division names the flags carry, before anything else is labelled: a
    // name that would overlap one already placed is left out, the selected division's first,
    // then the bigger ships'. Later titles give way to these.
    void PlaceFlagNames(const engine::TGameWorld& world, bool names,
                        const combat::TDivision* selected);
    // The flags, and the names placed for them.
    void Flags(const engine::TGameWorld& world, const combat::TDivision* selected);
    // The player's mark: a cross in a ring.
    void MarkedPoint(const map::TGeoPos& point);
    // What each kind of ring shown stands for, in the chart's top right corner.
    void RingLegend(const TRangeRings& rings);
    void ScaleBar();
    void CompassRose();

private:
    double SizeInPixels(double value, map::TGlobeUnitTypes unit) const;
    void UpdateLayerPoints(TLayerCache& entry, const map::TGlobeLayer& layer) const;
    void ProjectLayer(TLayerCache& entry, const map::TGlobeLayer& layer) const;
    // The objects of a layer as shapes, point symbols and (with `titles`) their titles.
    void LayerObjects(const TLayerCache& entry, map::TGlobeLayer& layer, double zoom, bool titles);
    // Whether the layer can be laid down from its kept picture (drawing it again first when it
    // has gone stale): not when it writes titles, which take their places among the chart's
    // other names, nor on a painter that scales or blends.
    bool LayerFromPicture(TLayerCache& entry, map::TGlobeLayer& layer, double zoom);
    void DrawLayerPicture(TLayerCache& entry, map::TGlobeLayer& layer, double zoom,
                          qreal pixelRatio);
    // A title beside `anchor`, `clearance` pixels further off than the style's offset (to
    // clear the thing it names).
    // At most `maxPixels` high; `always`: written even over other names.
    void Title(const std::string& title, const QPointF& anchor, const map::TGlobePresenter& style,
               double clearance = 0.0, double maxPixels = kMaxTitlePixelsDefault,
               bool always = false);
    static constexpr double kMaxTitlePixelsDefault = 28.0;
    void PointSymbol(const QPointF& at, const map::TGlobePresenter& style);
    void ApplyStyle(const map::TGlobePresenter& style, bool area);
    void Highlight(const TLayerCache::TProjected& shape, const map::TGlobePresenter& style,
                   bool closed);
    // Draws a text with its baseline starting at `baseline`; answers its width.
    double Text(const QPointF& baseline, const QString& text, const QFont& font);
    // The hull; its trail and its name are drawn apart, under and over all the hulls.
    void Ship(const combat::TFightingShip& ship, int playerSide);
    void WakeTrail(const combat::TFightingShip& ship);
    void ShipTitle(const combat::TFightingShip& ship, int playerSide, TShipNameMode names,
                   bool always);
    // A circle of `yards` round a position, as the globe draws it.
    void RangeCircle(const map::TGeoPos& centre, double yards, const QPen& pen);
    int GridStep() const;
    std::vector<TGridLine> ComputeGrid() const;

    // Reserves a label's box when it overlaps none placed so far; false: leave it out.
    bool PlaceLabel(const QRectF& box);

    // A division name a flag carries, as placed.
    struct TFlagName {
        const combat::TDivision* division = nullptr;
        QPointF baseline;
        QString text;
    };

    QPainter& painter_;
    QSize size_;
    std::vector<QRectF> labels_;
    std::vector<TFlagName> flagNames_;
    const TOrthographicProjection& projection_;
    double altitude_;
    const TChartColours& colours_;
    TChartCache& cache_;
    QRectF guard_;
    bool keepLayerPictures_ = true;
};

// The ship's plan in feet (forward, starboard) is put on the screen by one affine map: the
// The ship's plan in feet (forward, starboard) is put on the screen by one affine map: the
// projection is as good as flat over a ship's length.
struct TShipFrame {
    QTransform transform;
    QPointF at;
    double lengthPixels = 0.0; // as drawn
    double halfWidth = 0.0;    // half the hull's width across the screen, as drawn
    bool enlarged = false;     // drawn larger than to scale, to be seen at all
};

// Where a ship is drawn; nothing when it lies on the far side of the globe.
std::optional<TShipFrame> ShipFrame(const combat::TFightingShip& ship,
                                    const TOrthographicProjection& projection);
// Where a division's flag stands: at its flagship (the first ship still afloat and shown).
// Whether the division's flag is kept from the player.
bool FlagHidden(const combat::TDivision& division);
std::optional<QPointF> FlagAnchor(const combat::TDivision& division,
                                  const TOrthographicProjection& projection);
// Red for side 0, blue for side 1, green for neutrals; no flag for any other side.
std::optional<core::TColor> FlagColour(int side);
// The flag itself, flying from the top of the staff at `anchor`.
QRectF FlagBox(const QPointF& anchor);

} // namespace tarnwake::ui
