#include "ui/ChartPainter.h"

#include "combat/DivLocation.h"
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Colour.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"
#include "map/Globe.h"
#include "map/GlobeLayer.h"
#include "map/GlobeUnits.h"
#include "ui/ScreenClip.h"
#include "ui/ShipOutline.h"

#include <QFontMetricsF>
#include <QHash>
#include <QPainter>
#include <QPainterPath>
#include <QStaticText>
#include <algorithm>
#include <array>
#include <cmath>
#include <limits>
#include <numbers>
#include <string>
#include <vector>

namespace tarnwake::ui {

namespace {

using map::kGlobeUnitsPerDegree;

// ---- Drawing constants -------------------------------------------------------------------

// Points of an outline closer than this to the last one kept are left out: the chart draws
// the coast at the screen's resolution, not the layer's.
constexpr double kSimplifyPixels = 0.6;
// An outline smaller than this either way is not drawn (a rock at this zoom).
constexpr double kSmallestFeaturePixels = 0.8;
// How far outside the chart outlines are cut, so that the cut and its pen stay unseen.
constexpr double kClipMarginPixels = 64.0;
// The globe beyond the horizon, when zoomed out far enough to see it.
constexpr QColor kSpaceColour{34, 40, 52};

// Graticule: one line a degree, thinned out to wider steps when zoomed out so far that
// the lines would crowd closer than this.
constexpr double kMinGridSpacingPixels = 24.0;
constexpr std::array<int, 6> kGridSteps = {1, 2, 5, 10, 15, 30};
// Graticule lines are drawn as short straight pieces of about this many pixels.
constexpr double kGridSamplePixels = 6.0;
constexpr int kMaxGridSamples = 400;
constexpr QColor kGridColour{60, 100, 140, 110};
constexpr QColor kGridLabelColour{30, 50, 80};

// Titles smaller than this cannot be read and are left out; larger than the cap they would
// only cover the chart.
constexpr double kMinTitlePixels = 4.0;
// Ship names stop growing here, however close the chart comes: a name is for finding the
// ship, and large ones hide the ships beside it.
constexpr double kMaxShipNamePixels = 14.0;
constexpr double kMinPointPixels = 2.0;
// Objects the game marks as selected are drawn with a band of this colour and width round
// them.
constexpr QColor kHighlightColour{255, 200, 0};
constexpr double kHighlightPixels = 2.5;

// Ships: a ship shorter than this on the screen is drawn at this length (keeping its
// proportions, and at least kMinShipBeamPixels wide) so that a fleet is seen at any zoom.
constexpr double kMinShipPixels = 7.0;
constexpr double kMinShipBeamPixels = 3.0;
// Superstructure, funnels and turrets are drawn once the hull is this long on the screen.
constexpr double kShipDetailPixels = 48.0;
// A ship's wake shows how far it ran in the last half minute.
constexpr double kWakeMinutes = 0.5;
constexpr double kFeetPerNauticalMile = 6080.0;

// Division flags (pixels): a staff with a small flag at the top, the name beside it.
constexpr double kFlagWidth = 11.0;
// The names keep one size at every zoom: dark, bold, on a light halo that lifts them off
// any sea, land or ring.
constexpr int kFlagNamePixels = 12;
constexpr core::TColor kFlagRed = 255;
constexpr core::TColor kFlagBlue = 16'711'680;
constexpr core::TColor kFlagGreen = 32'768;
constexpr QColor kFlagNameColour{20, 24, 32};
constexpr QColor kFlagNameHalo{255, 255, 255, 215};
constexpr double kHaloPixels = 1.2;
constexpr int kNeutralSide = 3;

constexpr double kYardsPerNauticalMile = 6080.0 / 3.0;

// Beyond the coast data: a grey veil over sea and land alike.
constexpr QColor kBeyondChartColour{90, 90, 100, 110};

} // namespace

QColor ToQColor(core::TColor c, int alpha) {
    const core::TRgb rgb = core::ColorToRgb(c);
    return QColor(rgb.r, rgb.g, rgb.b, alpha);
}

namespace {

Qt::PenStyle ToPenStyle(std::uint8_t style) {
    switch (style) {
    case map::psDash:
        return Qt::DashLine;
    case map::psDot:
        return Qt::DotLine;
    case map::psDashDot:
        return Qt::DashDotLine;
    case map::psDashDotDot:
        return Qt::DashDotDotLine;
    case map::psClear:
        return Qt::NoPen;
    default:
        return Qt::SolidLine;
    }
}

Qt::BrushStyle ToBrushStyle(std::uint8_t style) {
    switch (style) {
    case map::bsClear:
        return Qt::NoBrush;
    case map::bsHorizontal:
        return Qt::HorPattern;
    case map::bsVertical:
        return Qt::VerPattern;
    case map::bsFDiagonal:
        return Qt::BDiagPattern; // "/" lines, as the forward diagonal hatch is drawn
    case map::bsBDiagonal:
        return Qt::FDiagPattern;
    case map::bsCross:
        return Qt::CrossPattern;
    case map::bsDiagCross:
        return Qt::DiagCrossPattern;
    default:
        return Qt::SolidPattern;
    }
}

} // namespace

TViewBox ComputeViewBox(const TOrthographicProjection& projection, const QSizeF& size) {
    TViewBox box;
    constexpr int kSamplesPerEdge = 16;
    const map::TGeoPos centre = projection.Centre();
    std::int64_t minLon = std::numeric_limits<std::int64_t>::max();
    std::int64_t maxLon = std::numeric_limits<std::int64_t>::min();
    std::int64_t minLat = minLon;
    std::int64_t maxLat = maxLon;
    const double w = size.width();
    const double h = size.height();
    for (int i = 0; i <= kSamplesPerEdge; ++i) {
        const double t = static_cast<double>(i) / kSamplesPerEdge;
        for (const QPointF& pixel :
             {QPointF(t * w, 0.0), QPointF(t * w, h), QPointF(0.0, t * h), QPointF(w, t * h)}) {
            const auto p = projection.Unproject(pixel.x(), pixel.y());
            if (!p) {
                return box; // the horizon is in sight
            }
            const std::int64_t lon = centre.lon + map::LongitudeStep(centre.lon, p->lon);
            minLon = std::min(minLon, lon);
            maxLon = std::max(maxLon, lon);
            minLat = std::min<std::int64_t>(minLat, p->lat);
            maxLat = std::max<std::int64_t>(maxLat, p->lat);
        }
    }
    // The edges of the chart bulge a little between the samples.
    const std::int64_t lonMargin = (maxLon - minLon) / 20 + 1;
    const std::int64_t latMargin = (maxLat - minLat) / 20 + 1;
    box.everything = false;
    box.left = minLon - lonMargin;
    box.right = maxLon + lonMargin;
    box.bottom = std::max(-map::kMaxLatitude, minLat - latMargin);
    box.top = std::min(map::kMaxLatitude, maxLat + latMargin);
    const QRectF screen(0.0, 0.0, w, h);
    for (int pole : {1, -1}) {
        const TScreenPoint p = projection.Project(
            map::TGeoPos{0, static_cast<std::int32_t>(pole * map::kMaxLatitude)});
        if (p.visible && screen.contains(p.x, p.y)) {
            // A pole on the chart: every longitude meets it.
            box.left = centre.lon - map::kGlobeUnitsPerCircle / 2;
            box.right = centre.lon + map::kGlobeUnitsPerCircle / 2;
            (pole > 0 ? box.top : box.bottom) = pole * map::kMaxLatitude;
        }
    }
    return box;
}

namespace {

// One chain's points on the screen: simplified to the screen's resolution, cut to `guard`.
// Nothing when the chain lies wholly on the far side of the globe or is too small to see.
void ProjectChain(const TUnitVector* points, std::size_t count, bool closed,
                  const TOrthographicProjection& projection, const QRectF& guard,
                  std::vector<QPolygonF>& out) {
    if (count == 0) {
        return;
    }
    QPolygonF polygon;
    polygon.reserve(static_cast<qsizetype>(std::min<std::size_t>(count, 4096)));
    bool anyVisible = false;
    double minX = std::numeric_limits<double>::max();
    double maxX = -minX;
    double minY = minX;
    double maxY = -minX;
    QPointF last;
    for (std::size_t i = 0; i < count; ++i) {
        const TScreenPoint p = projection.Project(points[i]);
        anyVisible = anyVisible || p.visible;
        const bool final = i + 1 == count;
        if (!polygon.isEmpty() && !(final && !closed) &&
            std::abs(p.x - last.x()) < kSimplifyPixels &&
            std::abs(p.y - last.y()) < kSimplifyPixels) {
            continue;
        }
        last = QPointF(p.x, p.y);
        polygon.append(last);
        minX = std::min(minX, p.x);
        maxX = std::max(maxX, p.x);
        minY = std::min(minY, p.y);
        maxY = std::max(maxY, p.y);
    }
    if (!anyVisible) {
        return;
    }
    if (maxX - minX < kSmallestFeaturePixels && maxY - minY < kSmallestFeaturePixels) {
        return;
    }
    if (maxX < guard.left() || minX > guard.right() || maxY < guard.top() ||
        minY > guard.bottom()) {
        return;
    }
    const bool inside = minX >= guard.left() && maxX <= guard.right() && minY >= guard.top() &&
                        maxY <= guard.bottom();
    if (inside) {
        out.push_back(std::move(polygon));
    } else if (closed) {
        QPolygonF clipped = ClipPolygon(polygon, guard);
        if (clipped.size() >= 3) {
            out.push_back(std::move(clipped));
        }
    } else {
        for (QPolygonF& piece : ClipPolyline(polygon, guard)) {
            out.push_back(std::move(piece));
        }
    }
}

bool InZoomRange(int zoomMin, int zoomMax, double zoom) {
    return (zoomMin <= 0 || zoom >= zoomMin) && (zoomMax <= 0 || zoom <= zoomMax);
}

// A layer's objects without a style of their own are coast: filled in the land colour.
map::TGlobePresenter CoastStyle(const TChartColours& colours) {
    map::TGlobePresenter style;
    style.kind = map::TPresenterKind::Poly;
    style.pen = map::TGlobePen{core::colors::Black, map::psSolid, 1, map::TGlobeUnitTypes::Pixel};
    style.brush = map::TGlobeBrush{colours.Land, colours.Land, map::bsSolid};
    style.pointSize = 4;
    return style;
}

// How a layer's object is drawn, beyond its projected shape: its style, whether selected and
// closed; 0 when it is not drawn at all.
std::uint64_t LayerLook(const map::TGeoDataObject& object, const TLayerCache::TProjected& shape,
                        double zoom) {
    if (!shape.drawn || !InZoomRange(object.ZoomMin(), object.ZoomMax(), zoom)) {
        return 0;
    }
    constexpr std::uint64_t kDrawn = 1;
    constexpr std::uint64_t kClosed = 2;
    constexpr std::uint64_t kSelected = 4;
    constexpr int kStyleShift = 3;
    return (std::uint64_t{static_cast<std::uint32_t>(object.PresenterID())} << kStyleShift) |
           (object.Selected() ? kSelected : 0) | (object.Closed() ? kClosed : 0) | kDrawn;
}

// The box round every pixel drawn on a picture that started transparent, widened to whole
// multiples of `step` pixels (the device's pixel ratio) so that it is laid down unscaled.
QRect DrawnExtent(const QImage& image, int step) {
    const int width = image.width();
    int top = image.height();
    int bottom = -1;
    int left = width;
    int right = -1;
    for (int y = 0; y < image.height(); ++y) {
        const auto* row = reinterpret_cast<const QRgb*>(image.constScanLine(y));
        // Most rows are left blank; or-ing a whole row together is quick to find them by.
        QRgb any = 0;
        for (int x = 0; x < width; ++x) {
            any |= row[x];
        }
        if (any == 0) {
            continue;
        }
        int first = 0;
        while (row[first] == 0) {
            ++first;
        }
        int last = width - 1;
        while (row[last] == 0) {
            --last;
        }
        top = std::min(top, y);
        bottom = y;
        left = std::min(left, first);
        right = std::max(right, last);
    }
    if (bottom < 0) {
        return {};
    }
    const int x0 = left / step * step;
    const int y0 = top / step * step;
    const int x1 = std::min(image.width(), (right / step + 1) * step);
    const int y1 = std::min(image.height(), (bottom / step + 1) * step);
    return QRect(x0, y0, x1 - x0, y1 - y0);
}

QString DegreeText(int degrees, char positive, char negative) {
    if (degrees == 0) {
        return QStringLiteral("0°");
    }
    return QString("%1°%2").arg(std::abs(degrees)).arg(QChar(degrees > 0 ? positive : negative));
}

} // namespace

const QString& TChartCache::FontKey(const QFont& font) {
    constexpr std::size_t kMostFonts = 16;
    for (const auto& [known, key] : fontKeys) {
        if (known == font) {
            return key;
        }
    }
    if (fontKeys.size() >= kMostFonts) {
        fontKeys.clear();
    }
    fontKeys.emplace_back(font, font.key());
    return fontKeys.back().second;
}

const TLaidOutText& TChartCache::Text(const QString& text, const QFont& font) {
    const QString key = FontKey(font) + QChar('\n') + text;
    auto it = texts.find(key);
    if (it == texts.end()) {
        if (texts.size() >= kMaxTexts) {
            texts.clear();
        }
        TLaidOutText laid;
        laid.text.setText(text);
        laid.text.setTextFormat(Qt::PlainText);
        laid.text.prepare(QTransform(), font);
        const QFontMetricsF metrics(font);
        laid.ascent = metrics.ascent();
        laid.width = metrics.horizontalAdvance(text);
        it = texts.insert(key, laid);
    }
    return *it;
}

TLayerCache& TChartCache::For(const map::TGlobeLayer* layer) {
    for (TLayerCache& entry : layers) {
        if (entry.layer == layer) {
            entry.used = true;
            return entry;
        }
    }
    layers.emplace_back();
    layers.back().layer = layer;
    layers.back().used = true;
    return layers.back();
}

void TChartCache::Prune() {
    std::erase_if(layers, [](const TLayerCache& entry) { return !entry.used; });
    for (TLayerCache& entry : layers) {
        entry.used = false;
    }
}

TChartPainter::TChartPainter(QPainter& painter, const QSize& size,
                             const TOrthographicProjection& projection, double altitude,
                             const TChartColours& colours, TChartCache& cache)
    : painter_(painter), size_(size), projection_(projection), altitude_(altitude),
      colours_(colours), cache_(cache),
      guard_(-kClipMarginPixels, -kClipMarginPixels, size.width() + 2 * kClipMarginPixels,
             size.height() + 2 * kClipMarginPixels) {}

double TChartPainter::SizeInPixels(double value, map::TGlobeUnitTypes unit) const {
    if (unit == map::TGlobeUnitTypes::Pixel) {
        return value;
    }
    return value * map::GlobeUnitFactor(unit) * projection_.PixelsPerGlobeUnit();
}

void TChartPainter::Background(core::TColor sea) {
    const double radius = projection_.PixelsPerRadian();
    const double cx = projection_.ScreenCentreX();
    const double cy = projection_.ScreenCentreY();
    const double farX = std::max(cx, size_.width() - cx);
    const double farY = std::max(cy, size_.height() - cy);
    const QRect all(QPoint(0, 0), size_);
    if (farX * farX + farY * farY <= radius * radius) {
        painter_.fillRect(all, ToQColor(sea));
        return;
    }
    painter_.fillRect(all, kSpaceColour);
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(ToQColor(sea));
    painter_.drawEllipse(QPointF(cx, cy), radius, radius);
}

int TChartPainter::GridStep() const {
    const double pixelsPerDegree = projection_.PixelsPerGlobeUnit() * kGlobeUnitsPerDegree;
    for (int step : kGridSteps) {
        if (step * pixelsPerDegree >= kMinGridSpacingPixels) {
            return step;
        }
    }
    return kGridSteps.back();
}

std::vector<TGridLine> TChartPainter::ComputeGrid() const {
    std::vector<TGridLine> lines;
    const int step = GridStep();
    const TViewBox& box = cache_.viewBox;
    // Visible range in degrees; the whole globe when the horizon is in sight.
    double lonFrom = -180.0;
    double lonTo = 180.0;
    double latFrom = -90.0;
    double latTo = 90.0;
    if (!box.everything) {
        lonFrom = static_cast<double>(box.left) / kGlobeUnitsPerDegree;
        lonTo = static_cast<double>(box.right) / kGlobeUnitsPerDegree;
        latFrom = static_cast<double>(box.bottom) / kGlobeUnitsPerDegree;
        latTo = static_cast<double>(box.top) / kGlobeUnitsPerDegree;
    }
    const double pixelsPerDegree = projection_.PixelsPerGlobeUnit() * kGlobeUnitsPerDegree;
    const auto sampleStep = [&](double span) {
        return std::max(kGridSamplePixels / pixelsPerDegree, span / kMaxGridSamples);
    };
    const auto trace = [&](TGridLine& line, auto pointAt, double from, double to) {
        const double ds = sampleStep(to - from);
        QPolygonF piece;
        const auto flush = [&] {
            if (piece.size() >= 2) {
                for (QPolygonF& cut : ClipPolyline(piece, guard_)) {
                    line.pieces.push_back(std::move(cut));
                }
            }
            piece.clear();
        };
        for (double t = from;; t += ds) {
            const double at = std::min(t, to);
            const TScreenPoint p = projection_.Project(pointAt(at));
            if (p.visible) {
                piece.append(QPointF(p.x, p.y));
            } else {
                flush();
            }
            if (at >= to) {
                break;
            }
        }
        flush();
    };
    const auto toUnits = [](double degrees) {
        return static_cast<std::int32_t>(std::llround(degrees * kGlobeUnitsPerDegree));
    };
    // Meridians, within the box. Towards the poles they close up: each stops where it would
    // come nearer its neighbours of the same step than the grid's spacing, so that only the
    // rounder meridians (and the four quarter meridians) reach a pole.
    const int firstLon = static_cast<int>(std::ceil(lonFrom / step)) * step;
    for (int lon = firstLon; lon <= lonTo; lon += step) {
        int label = ((lon % 360) + 540) % 360 - 180; // 180 W is written 180 E
        if (label == -180) {
            label = 180;
        }
        int level = step;
        for (int coarser : kGridSteps) {
            if (coarser > level && lon % coarser == 0) {
                level = coarser;
            }
        }
        double reach = 90.0;
        if (lon % 90 != 0) {
            const double ratio = kMinGridSpacingPixels / (level * pixelsPerDegree);
            reach = ratio >= 1.0 ? 0.0 : std::acos(ratio) * 180.0 / std::numbers::pi;
        }
        const double from = std::max(latFrom, -reach);
        const double to = std::min(latTo, reach);
        if (from >= to) {
            continue;
        }
        TGridLine line{label, true, {}};
        const std::int32_t x = map::WrapLongitude(toUnits(lon));
        trace(
            line,
            [&](double lat) {
                return map::TGeoPos{x, toUnits(lat)};
            },
            from, to);
        lines.push_back(std::move(line));
    }
    const int firstLat = static_cast<int>(std::ceil(latFrom / step)) * step;
    for (int lat = firstLat; lat <= latTo; lat += step) {
        if (std::abs(lat) >= 90) {
            continue;
        }
        TGridLine line{lat, false, {}};
        const std::int32_t y = toUnits(lat);
        trace(
            line,
            [&](double lon) {
                return map::TGeoPos{map::WrapLongitude(toUnits(lon)), y};
            },
            lonFrom, lonTo);
        lines.push_back(std::move(line));
    }
    return lines;
}

void TChartPainter::GridLines(core::TColor sea) {
    if (cache_.gridGeneration != cache_.viewGeneration) {
        cache_.grid = ComputeGrid();
        cache_.gridGeneration = cache_.viewGeneration;
    }
    // Thin lines over the sea only: drawn opaque in the blend of the grid colour with the
    // sea's and without smoothing, which costs a fraction of smoothed translucent lines.
    const QColor water = ToQColor(sea);
    const double a = kGridColour.alphaF();
    const QColor blend(static_cast<int>(kGridColour.red() * a + water.red() * (1 - a)),
                       static_cast<int>(kGridColour.green() * a + water.green() * (1 - a)),
                       static_cast<int>(kGridColour.blue() * a + water.blue() * (1 - a)));
    QPen pen(blend);
    pen.setCosmetic(true);
    painter_.save();
    painter_.setRenderHint(QPainter::Antialiasing, false);
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
    for (const TGridLine& line : cache_.grid) {
        for (const QPolygonF& piece : line.pieces) {
            painter_.drawPolyline(piece);
        }
    }
    painter_.restore();
}

void TChartPainter::GridLabels() {
    QFont font = painter_.font();
    font.setPixelSize(11);
    painter_.setFont(font);
    const QFontMetricsF metrics(font);
    const double bottom = size_.height() - 1.0;
    std::vector<QRectF> placed;
    for (const TGridLine& line : cache_.grid) {
        // Meridians are labelled where they leave the chart at the bottom, parallels where
        // they leave it on the left.
        std::optional<QPointF> at;
        for (const QPolygonF& piece : line.pieces) {
            for (qsizetype i = 1; i < piece.size() && !at; ++i) {
                const QPointF a = piece[i - 1];
                const QPointF b = piece[i];
                if (line.meridian && (a.y() - bottom) * (b.y() - bottom) <= 0.0 && a.y() != b.y()) {
                    const double t = (bottom - a.y()) / (b.y() - a.y());
                    at = QPointF(a.x() + t * (b.x() - a.x()), bottom);
                } else if (!line.meridian && a.x() * b.x() <= 0.0 && a.x() != b.x()) {
                    const double t = -a.x() / (b.x() - a.x());
                    at = QPointF(0.0, a.y() + t * (b.y() - a.y()));
                }
            }
        }
        if (!at) {
            continue;
        }
        const QString text =
            line.meridian ? DegreeText(line.degrees, 'E', 'W') : DegreeText(line.degrees, 'N', 'S');
        const double width = cache_.Text(text, font).width;
        QRectF box = line.meridian
                         ? QRectF(at->x() - width / 2 - 2, bottom - metrics.height() - 1, width + 4,
                                  metrics.height())
                         : QRectF(1.0, at->y() - metrics.height() - 1, width + 4, metrics.height());
        if (!QRectF(0, 0, size_.width(), size_.height()).contains(box)) {
            continue;
        }
        // Where meridians crowd together (towards a pole) a label that would cover another
        // is left out.
        const bool covers = std::any_of(placed.begin(), placed.end(), [&](const QRectF& other) {
            return other.intersects(box.adjusted(-3, 0, 3, 0));
        });
        if (covers) {
            continue;
        }
        placed.push_back(box);
        painter_.fillRect(box, QColor(255, 255, 255, 150));
        painter_.setPen(kGridLabelColour);
        Text(QPointF(box.left() + 2, box.top() + metrics.ascent()), text, font);
    }
}

void TChartPainter::UpdateLayerPoints(TLayerCache& entry, const map::TGlobeLayer& layer) const {
    const auto objects = layer.Objects();
    if (entry.revision == layer.Revision() && entry.objectCount == objects.size()) {
        return;
    }
    entry.revision = layer.Revision();
    entry.objectCount = objects.size();
    entry.points.clear();
    entry.chains.assign(objects.size(), {});
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const map::TGeoDataObject& object = *objects[i];
        for (int c = 0; c < object.ChainCount(); ++c) {
            const auto chain = object.Chain(c).Points();
            entry.chains[i].push_back({entry.points.size(), chain.size()});
            for (const map::TGeoPos& p : chain) {
                entry.points.push_back(ToUnitVector(p));
            }
        }
    }
    entry.limits = FindChartLimits(layer);
    entry.viewGeneration = 0; // the projection must be made again
}

TChartLimits FindChartLimits(const map::TGlobeLayer& layer) {
    TChartLimits limits;
    bool first = true;
    std::int64_t right = 0;
    std::int64_t top = 0;
    for (const map::TGeoDataObject* object : layer.Objects()) {
        if (!object->Closed()) {
            continue;
        }
        const map::TGeoRect& r = object->BoundingRect();
        if (r.Empty()) {
            continue;
        }
        if (first) {
            limits.box = r;
            right = r.Right();
            top = r.Top();
            first = false;
            continue;
        }
        limits.box.left = std::min(limits.box.left, r.left);
        limits.box.bottom = std::min(limits.box.bottom, r.bottom);
        right = std::max(right, r.Right());
        top = std::max(top, r.Top());
    }
    if (first) {
        return limits;
    }
    limits.box.width = right - limits.box.left;
    limits.box.height = top - limits.box.bottom;
    const auto onEdge = [&](const map::TGeoPos& a, const map::TGeoPos& b, int edge) {
        switch (edge) {
        case TChartLimits::eLeft:
            return a.lon == limits.box.left && b.lon == limits.box.left;
        case TChartLimits::eRight:
            return a.lon == right && b.lon == right;
        case TChartLimits::eBottom:
            return a.lat == limits.box.bottom && b.lat == limits.box.bottom;
        default:
            return a.lat == top && b.lat == top;
        }
    };
    for (const map::TGeoDataObject* object : layer.Objects()) {
        if (!object->Closed()) {
            continue;
        }
        for (int c = 0; c < object->ChainCount(); ++c) {
            const auto points = object->Chain(c).Points();
            for (std::size_t i = 0; i + 1 < points.size(); ++i) {
                if (points[i] == points[i + 1]) {
                    continue;
                }
                for (int edge = 0; edge < TChartLimits::eEdgeCount; ++edge) {
                    if (onEdge(points[i], points[i + 1], edge)) {
                        limits.cut[static_cast<std::size_t>(edge)] = true;
                    }
                }
            }
        }
    }
    return limits;
}

void TChartPainter::ChartLimits(const std::vector<const map::TGlobeLayer*>& coastLayers) {
    const TViewBox& view = cache_.viewBox;
    if (view.everything) {
        return; // the whole globe in sight: the chart's area is plain enough
    }
    QPainterPath beyond;
    beyond.setFillRule(Qt::WindingFill);
    for (const map::TGlobeLayer* layer : coastLayers) {
        const TLayerCache* entry = nullptr;
        for (const TLayerCache& e : cache_.layers) {
            if (e.layer == layer) {
                entry = &e;
            }
        }
        if (entry == nullptr || !entry->limits.Any()) {
            continue;
        }
        const TChartLimits& limits = entry->limits;
        // Each cut edge shades a band from the edge out past the view, running the length of
        // the view; the band is drawn as projected meridians and parallels.
        const map::TGeoRect& b = limits.box;
        const std::int64_t viewLeft = view.left;
        const std::int64_t viewRight = view.right;
        // The box's longitudes as seen from the view's centre (the view box's frame).
        const std::int64_t centreLon = projection_.Centre().lon;
        const std::int64_t boxLeft = centreLon + map::LongitudeStep(centreLon, b.left);
        const std::int64_t boxRight = boxLeft + b.width;
        struct TBand {
            std::int64_t lon0, lon1, lat0, lat1;
        };
        std::vector<TBand> bands;
        const std::int64_t lat0 = std::min(view.bottom, b.bottom);
        const std::int64_t lat1 = std::max(view.top, b.Top());
        if (limits.cut[TChartLimits::eLeft] && viewLeft < boxLeft) {
            bands.push_back({viewLeft, boxLeft, lat0, lat1});
        }
        if (limits.cut[TChartLimits::eRight] && viewRight > boxRight) {
            bands.push_back({boxRight, viewRight, lat0, lat1});
        }
        const std::int64_t lon0 = std::min(viewLeft, boxLeft);
        const std::int64_t lon1 = std::max(viewRight, boxRight);
        if (limits.cut[TChartLimits::eBottom] && view.bottom < b.bottom) {
            bands.push_back({lon0, lon1, view.bottom, b.bottom});
        }
        if (limits.cut[TChartLimits::eTop] && view.top > b.Top()) {
            bands.push_back({lon0, lon1, b.Top(), view.top});
        }
        constexpr int kSteps = 24;
        for (const TBand& band : bands) {
            QPolygonF polygon;
            bool visible = true;
            const auto add = [&](std::int64_t lon, std::int64_t lat) {
                const TScreenPoint p = projection_.Project(
                    map::TGeoPos{map::WrapLongitude(lon), static_cast<std::int32_t>(lat)});
                visible = visible && p.visible;
                polygon.append(QPointF(p.x, p.y));
            };
            for (int i = 0; i <= kSteps; ++i) {
                add(band.lon0 + (band.lon1 - band.lon0) * i / kSteps, band.lat0);
            }
            for (int i = 0; i <= kSteps; ++i) {
                add(band.lon1, band.lat0 + (band.lat1 - band.lat0) * i / kSteps);
            }
            for (int i = 0; i <= kSteps; ++i) {
                add(band.lon1 - (band.lon1 - band.lon0) * i / kSteps, band.lat1);
            }
            for (int i = 0; i <= kSteps; ++i) {
                add(band.lon0, band.lat1 - (band.lat1 - band.lat0) * i / kSteps);
            }
            if (visible) {
                beyond.addPolygon(polygon);
            }
        }
    }
    if (beyond.isEmpty()) {
        return;
    }
    painter_.setPen(Qt::NoPen);
    painter_.setBrush(kBeyondChartColour);
    painter_.drawPath(beyond.simplified());
}

void TChartPainter::ProjectLayer(TLayerCache& entry, const map::TGlobeLayer& layer) const {
    if (entry.viewGeneration == cache_.viewGeneration) {
        return;
    }
    entry.viewGeneration = cache_.viewGeneration;
    const auto objects = layer.Objects();
    entry.projected.assign(objects.size(), {});
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const map::TGeoDataObject& object = *objects[i];
        // Division flags are drawn with their ships, over everything; ships are drawn from
        // their designs, not as layer objects.
        const map::TMarkerKind kind = object.Ref().Kind;
        if (kind == map::TMarkerKind::Division) {
            continue;
        }
        TLayerCache::TProjected& out = entry.projected[i];
        if (object.Hidden() || kind == map::TMarkerKind::Ship) {
            continue;
        }
        const auto& chains = entry.chains[i];
        const bool hasPoints =
            std::any_of(chains.begin(), chains.end(), [](const auto& c) { return c.count > 0; });
        if (hasPoints) {
            const map::TGeoRect& rect = object.BoundingRect();
            if (!rect.Empty() && !cache_.viewBox.Overlaps(rect)) {
                continue;
            }
            for (const auto& chain : chains) {
                ProjectChain(entry.points.data() + chain.begin, chain.count, object.Closed(),
                             projection_, guard_, out.chains);
            }
        }
        const TScreenPoint centre = projection_.Project(object.Centre());
        if (centre.visible && guard_.contains(centre.x, centre.y)) {
            out.hasCentre = true;
            out.centre = QPointF(centre.x, centre.y);
        }
        out.drawn = !out.chains.empty() || (!hasPoints && out.hasCentre);
    }
}

void TChartPainter::Layer(map::TGlobeLayer& layer) {
    const double unit = map::GlobeUnitFactor(layer.ZoomUnits);
    const double zoom = unit > 0.0 ? altitude_ / unit : 0.0;
    if (unit > 0.0 && !InZoomRange(layer.ZoomMin, layer.ZoomMax, zoom)) {
        return;
    }
    TLayerCache& entry = cache_.For(&layer);
    UpdateLayerPoints(entry, layer);
    ProjectLayer(entry, layer);
    if (!LayerFromPicture(entry, layer, zoom)) {
        LayerObjects(entry, layer, zoom, true);
    }
}

void TChartPainter::LayerObjects(const TLayerCache& entry, map::TGlobeLayer& layer, double zoom,
                                 bool titles) {
    const map::TGlobePresenter fallback = CoastStyle(colours_);
    const auto objects = layer.Objects();
    const map::TGlobePresenter* current = nullptr;
    bool currentArea = false;
    for (std::size_t i = 0; i < objects.size() && i < entry.projected.size(); ++i) {
        const TLayerCache::TProjected& shape = entry.projected[i];
        if (!shape.drawn) {
            continue;
        }
        const map::TGeoDataObject& object = *objects[i];
        // An object's zoom range is read as it is drawn (changing it does not count as a
        // change of the layer).
        if (!InZoomRange(object.ZoomMin(), object.ZoomMax(), zoom)) {
            continue;
        }
        const map::TGlobePresenter* style = layer.PresenterByID(object.PresenterID());
        if (style == nullptr) {
            style = &fallback;
        }
        const bool area = object.Closed() && style->kind != map::TPresenterKind::Polyline;
        if (object.Selected()) {
            Highlight(shape, *style, object.Closed());
            current = nullptr;
        }
        if (!shape.chains.empty()) {
            if (style != current || area != currentArea) {
                ApplyStyle(*style, area);
                current = style;
                currentArea = area;
            }
            for (const QPolygonF& chain : shape.chains) {
                if (object.Closed()) {
                    painter_.drawPolygon(chain);
                } else {
                    painter_.drawPolyline(chain);
                }
            }
        } else if (shape.hasCentre) {
            current = nullptr;
            PointSymbol(shape.centre, *style);
        }
        if (titles && layer.ShowTitles && shape.hasCentre && !object.Title().empty()) {
            current = nullptr;
            Title(object.Title(), shape.centre, *style);
        }
    }
}

bool TChartPainter::LayerFromPicture(TLayerCache& entry, map::TGlobeLayer& layer, double zoom) {
    TLayerCache::TPicture& picture = entry.picture;
    const QPaintDevice* device = painter_.device();
    const qreal ratio = device != nullptr ? device->devicePixelRatio() : 1.0;
    if (!keepLayerPictures_ || device == nullptr || !painter_.transform().isIdentity() ||
        painter_.opacity() < 1.0 ||
        painter_.compositionMode() != QPainter::CompositionMode_SourceOver ||
        ratio != std::round(ratio)) {
        return false;
    }
    const auto objects = layer.Objects();
    for (std::size_t i = 0; i < objects.size() && i < entry.projected.size(); ++i) {
        const TLayerCache::TProjected& shape = entry.projected[i];
        if (layer.ShowTitles && shape.drawn && shape.hasCentre && !objects[i]->Title().empty() &&
            LayerLook(*objects[i], shape, zoom) != 0) {
            picture = {}; // not kept while the layer writes titles
            return false;
        }
    }
    bool stale = !picture.valid || picture.looks.size() != objects.size();
    picture.looks.resize(objects.size());
    for (std::size_t i = 0; i < objects.size(); ++i) {
        const std::uint64_t look =
            i < entry.projected.size() ? LayerLook(*objects[i], entry.projected[i], zoom) : 0;
        stale = stale || picture.looks[i] != look;
        picture.looks[i] = look;
    }
    // The shapes are projected again after every change of the layer or the view; most
    // often they come out as they were.
    if (!stale &&
        (picture.viewGeneration != entry.viewGeneration || picture.revision != entry.revision)) {
        stale = picture.shapes != entry.projected;
    }
    stale = stale || picture.presenters != layer.Presenters() || picture.land != colours_.Land ||
            picture.pixelsPerGlobeUnit != projection_.PixelsPerGlobeUnit() ||
            picture.renderHints != static_cast<int>(painter_.renderHints()) ||
            picture.screen != size_ * ratio;
    if (stale && picture.viewGeneration != entry.viewGeneration) {
        // While the view moves (a drag, a zoom) every paint sees a new chart, and drawing it
        // into a picture first would only cost more: the picture waits for the view to stay.
        picture.valid = false;
        picture.viewGeneration = entry.viewGeneration;
        return false;
    }
    if (stale) {
        DrawLayerPicture(entry, layer, zoom, ratio);
    }
    picture.viewGeneration = entry.viewGeneration;
    picture.revision = entry.revision;
    if (!picture.extent.isEmpty()) {
        const QRectF target(QPointF(picture.extent.topLeft()) / ratio,
                            QSizeF(picture.extent.size()) / ratio);
        painter_.drawImage(target, picture.image,
                           QRectF(QPointF(0, 0), QSizeF(picture.extent.size())));
    }
    return true;
}

void TChartPainter::DrawLayerPicture(TLayerCache& entry, map::TGlobeLayer& layer, double zoom,
                                     qreal pixelRatio) {
    TLayerCache::TPicture& picture = entry.picture;
    const QSize pixels = size_ * pixelRatio;
    QImage& canvas = cache_.canvas;
    if (canvas.size() != pixels) {
        canvas = QImage(pixels, QImage::Format_ARGB32_Premultiplied);
    }
    canvas.setDevicePixelRatio(pixelRatio);
    canvas.fill(Qt::transparent);
    {
        QPainter painter(&canvas);
        painter.setRenderHints(painter_.renderHints());
        TChartPainter shapes(painter, size_, projection_, altitude_, colours_, cache_);
        shapes.LayerObjects(entry, layer, zoom, false);
    }
    picture.valid = true;
    picture.screen = pixels;
    picture.extent = DrawnExtent(canvas, static_cast<int>(pixelRatio));
    picture.image = picture.extent.isEmpty() ? QImage() : canvas.copy(picture.extent);
    picture.shapes = entry.projected;
    picture.presenters = layer.Presenters();
    picture.land = colours_.Land;
    picture.pixelsPerGlobeUnit = projection_.PixelsPerGlobeUnit();
    picture.renderHints = static_cast<int>(painter_.renderHints());
}

void TChartPainter::Highlight(const TLayerCache::TProjected& shape,
                              const map::TGlobePresenter& style, bool closed) {
    // A wide band under the object: a ring round an area or point, a border along a line.
    const double width = std::max(1.0, SizeInPixels(style.pen.width, style.pen.widthUnit));
    QPen band(kHighlightColour, width + 2 * kHighlightPixels, Qt::SolidLine, Qt::RoundCap,
              Qt::RoundJoin);
    painter_.setPen(band);
    painter_.setBrush(Qt::NoBrush);
    for (const QPolygonF& chain : shape.chains) {
        if (closed) {
            painter_.drawPolygon(chain);
        } else {
            painter_.drawPolyline(chain);
        }
    }
    if (shape.chains.empty() && shape.hasCentre) {
        double size = std::max(kMinPointPixels, SizeInPixels(style.pointSize, style.pointUnit));
        if (style.maxPointSize > 0) {
            size = std::min<double>(size, style.maxPointSize);
        }
        painter_.setPen(QPen(kHighlightColour, kHighlightPixels));
        painter_.drawEllipse(shape.centre, size / 2 + kHighlightPixels,
                             size / 2 + kHighlightPixels);
    }
}

double TChartPainter::Text(const QPointF& baseline, const QString& text, const QFont& font) {
    const TLaidOutText& laid = cache_.Text(text, font);
    painter_.setFont(font);
    painter_.drawStaticText(QPointF(baseline.x(), baseline.y() - laid.ascent), laid.text);
    return laid.width;
}

void TChartPainter::ApplyStyle(const map::TGlobePresenter& style, bool area) {
    const double width = SizeInPixels(style.pen.width, style.pen.widthUnit);
    QPen pen(ToQColor(style.pen.colour), width > 1.0 ? width : 0.0, ToPenStyle(style.pen.style));
    pen.setCosmetic(width <= 1.0);
    painter_.setPen(pen);
    if (area) {
        painter_.setBrush(QBrush(ToQColor(style.brush.colour), ToBrushStyle(style.brush.style)));
    } else {
        painter_.setBrush(Qt::NoBrush);
    }
}

void TChartPainter::PointSymbol(const QPointF& at, const map::TGlobePresenter& style) {
    if (style.pointType == map::ppNone) {
        return;
    }
    double size = SizeInPixels(style.pointSize, style.pointUnit);
    if (style.maxPointSize > 0) {
        size = std::min<double>(size, style.maxPointSize);
    }
    size = std::max(size, kMinPointPixels);
    const QRectF box(at.x() - size / 2, at.y() - size / 2, size, size);
    QPen pen(ToQColor(style.pen.colour), 0, ToPenStyle(style.pen.style));
    pen.setCosmetic(true);
    painter_.setPen(pen);
    painter_.setBrush(QBrush(ToQColor(style.brush.colour), ToBrushStyle(style.brush.style)));
    switch (style.pointType) {
    case map::ppSquare:
        painter_.drawRect(box);
        break;
    case map::ppFontSymbol: {
        // Symbol fonts are not to be had everywhere; the chart draws its two symbols itself:
        // a cross for a picked point, a small flag for a contact report.
        QPen symbolPen(ToQColor(style.pointFont.colour), std::max(1.5, size / 12));
        painter_.setPen(symbolPen);
        if (style.symbolIndex == 88) {
            painter_.drawLine(box.topLeft(), box.bottomRight());
            painter_.drawLine(box.topRight(), box.bottomLeft());
        } else {
            painter_.drawLine(QPointF(box.left() + size * 0.25, box.bottom()),
                              QPointF(box.left() + size * 0.25, box.top()));
            painter_.setBrush(ToQColor(style.pointFont.colour));
            painter_.drawRect(QRectF(box.left() + size * 0.25, box.top(), size * 0.6, size * 0.4));
        }
        break;
    }
    default:
        painter_.drawEllipse(box);
        break;
    }
}

void TChartPainter::Title(const std::string& title, const QPointF& anchor,
                          const map::TGlobePresenter& style, double clearance, double maxPixels,
                          bool always) {
    const double pixels = SizeInPixels(style.titleFont.size, style.titleFont.unit);
    if (pixels < kMinTitlePixels) {
        return;
    }
    QFont font(QString::fromStdString(style.titleFont.name));
    font.setPixelSize(static_cast<int>(std::lround(std::min(pixels, maxPixels))));
    font.setBold((style.titleFont.style & map::fsBold) != 0);
    font.setItalic((style.titleFont.style & map::fsItalic) != 0);
    font.setUnderline((style.titleFont.style & map::fsUnderline) != 0);
    const QString text = QString::fromStdString(title);
    const TLaidOutText& laid = cache_.Text(text, font);
    const double width = laid.width;
    const double offset = SizeInPixels(style.titleOffset, style.titleFont.unit) + clearance;
    double x = anchor.x() + offset;
    if (style.titleAlignment == map::taLeft) {
        x = anchor.x() - offset - width;
    } else if (style.titleAlignment == map::taCenter) {
        x = anchor.x() - width / 2;
    }
    // Centred on the anchor's height: the middle of the capitals.
    const double y = anchor.y() + laid.ascent * 0.35;
    // Where names would run into each other only the first to be placed is written.
    const QRectF box(x, y - laid.ascent, width, font.pixelSize() * 1.25);
    if (always) {
        labels_.push_back(box);
    } else if (!PlaceLabel(box)) {
        return;
    }
    painter_.setPen(ToQColor(style.titleFont.colour));
    Text(QPointF(x, y), text, font);
}

void TChartPainter::Ships(const engine::TGameWorld& world, TShipNameMode names) {
    // Every trail first, so that no ship is hidden under its own or another's track; then
    // the hulls; then the names, each division's leader before the ships that follow it.
    for (const auto& ship : world.Ships) {
        if (ship) {
            WakeTrail(*ship);
        }
    }
    for (const auto& ship : world.Ships) {
        if (ship) {
            Ship(*ship, world.PlayerSide);
        }
    }
    std::vector<const combat::TFightingShip*> leaders;
    for (const auto& division : world.Divisions) {
        if (division && division->Flagship() != nullptr) {
            leaders.push_back(division->Flagship());
        }
    }
    for (const combat::TFightingShip* ship : leaders) {
        ShipTitle(*ship, world.PlayerSide, names, true);
    }
    for (const auto& ship : world.Ships) {
        if (ship && std::find(leaders.begin(), leaders.end(), ship.get()) == leaders.end()) {
            ShipTitle(*ship, world.PlayerSide, names, false);
        }
    }
}

void TChartPainter::WakeTrail(const combat::TFightingShip& ship) {
    if (ship.Sunk || ship.Marker == nullptr || ship.Marker->Hidden()) {
        return;
    }
    // The game's own wake trail (chain 1 of the marker), on the screen.
    const map::TPointStore& wake = ship.Marker->Chain(1);
    if (wake.Count() < 2) {
        return;
    }
    QPolygonF trail;
    for (const map::TGeoPos& p : wake.Points()) {
        const TScreenPoint s = projection_.Project(p);
        if (s.visible) {
            trail.append(QPointF(s.x, s.y));
        }
    }
    QPen dashed(Qt::white, 0, Qt::DashLine);
    dashed.setCosmetic(true);
    painter_.setPen(dashed);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPolyline(trail);
}

void TChartPainter::ShipTitle(const combat::TFightingShip& ship, int playerSide,
                              TShipNameMode names, bool always) {
    if (ship.Sunk || ship.Marker == nullptr || ship.Marker->Hidden()) {
        return;
    }
    const QString label = ShipLabel(ship, playerSide, names);
    if (label.isEmpty()) {
        return;
    }
    const auto frame = ShipFrame(ship, projection_);
    if (!frame || !QRectF(QPointF(0, 0), QSizeF(size_)).contains(frame->at)) {
        return;
    }
    map::TGlobeLayer* layer = ship.Marker->Layer();
    if (layer != nullptr && !layer->ShowTitles) {
        return;
    }
    const map::TGlobePresenter* own =
        layer != nullptr ? layer->PresenterByID(ship.Marker->PresenterID()) : nullptr;
    map::TGlobePresenter style;
    if (own != nullptr) {
        style = *own;
    } else {
        // The ship styles' title: 300 m to the right, offset 100 m.
        style.titleFont.unit = map::TGlobeUnitTypes::Meter;
        style.titleFont.size = 300;
        style.titleOffset = 100;
        style.titleAlignment = map::taRight;
    }
    Title(label.toStdString(), frame->at, style, frame->halfWidth, kMaxShipNamePixels, always);
}

QString ShipLabel(const combat::TFightingShip& ship, int playerSide, TShipNameMode mode) {
    if (mode == snNone || !PlayerKnowsShip(ship, playerSide)) {
        return {};
    }
    const bool own = playerSide != 0 && playerSide != 1 ? true : ship.Side == playerSide;
    // Another side's ship is labelled with what the lookouts believe it is, right or wrong.
    const designs::TShipType type = ship.ShipType;
    const QString typeCode = own ? QString::fromLatin1(designs::TypeCode(type))
                                 : QString::fromStdString(ship.IdentifiedType);
    if (mode == snType || mode == snTypeNoDD) {
        if (mode == snTypeNoDD && typeCode == QLatin1String("DD")) {
            return {};
        }
        return typeCode;
    }
    if (mode == snCapitalShips &&
        designs::TypeIndex(type) > designs::TypeIndex(designs::TShipType::B)) {
        return {};
    }
    if (!own) {
        return QString::fromStdString(KnownShipName(ship, playerSide));
    }
    return QString::fromStdString(ship.Marker != nullptr ? ship.Marker->Title() : ship.Name);
}

void TChartPainter::RangeCircle(const map::TGeoPos& centre, double yards, const QPen& pen) {
    if (yards <= 0.0) {
        return;
    }
    // Fine enough that a ring looks round at any zoom that shows it whole.
    constexpr int kRingPoints = 72;
    constexpr double kDegreesPerPoint = 360.0 / kRingPoints;
    QPolygonF ring;
    ring.reserve(kRingPoints + 1);
    for (int i = 0; i <= kRingPoints; ++i) {
        const TScreenPoint p =
            projection_.Project(map::MovePoint(centre, i * kDegreesPerPoint, yards));
        if (!p.visible) {
            return;
        }
        ring.append(QPointF(p.x, p.y));
    }
    if (!ring.boundingRect().intersects(guard_)) {
        return;
    }
    painter_.setPen(pen);
    painter_.setBrush(Qt::NoBrush);
    painter_.drawPolyline(ring);
}

void TChartPainter::RangeRings(engine::TGameWorld& world, const TRangeRings& rings,
                               const combat::TDivision* selected) {
    if (!rings.sighting && !rings.guns && !rings.endurance) {
        return;
    }
    constexpr int kMainGuns = 1;
    for (const auto& division : world.Divisions) {
        if (!rings.allDivisions && division.get() != selected) {
            continue;
        }
        combat::TFightingShip* flagship = division->Flagship();
        if (flagship == nullptr || flagship->Sunk || flagship->Marker == nullptr) {
            continue;
        }
        const bool players = world.PlayerSide == 2 || division->Side == world.PlayerSide;
        if (!players) {
            continue;
        }
        const map::TGeoPos at = flagship->Position();
        if (rings.sighting) {
            RangeCircle(at, world.VisibilityRange(*flagship, false), RingPen(rkSighting));
        }
        if (rings.guns) {
            const int maxRange = world.WeaponTables.MaxRange(flagship->Calibre[kMainGuns]);
            RangeCircle(at, flagship->GetMaxRange(kMainGuns, maxRange), RingPen(rkGuns));
        }
        if (rings.endurance) {
            // How far the bunkers carry the division at its ordered speed.
            const int miles =
                division->GetRemainingRange(std::max(1, division->Speed), world.Messages());
            RangeCircle(at, miles * kYardsPerNauticalMile, RingPen(rkEndurance));
        }
    }
}

void TChartPainter::FireLines(const engine::TGameWorld& world) {
    constexpr double kThinnestLine = 1.0;
    constexpr double kInchesPerPixel = 6.0;
    const auto shown = [&world](combat::TShipId id) -> const combat::TFightingShip* {
        const combat::TFightingShip* ship = world.FindShip(id);
        return ship != nullptr && ship->Marker != nullptr && !ship->Marker->Hidden() ? ship
                                                                                     : nullptr;
    };
    for (const engine::TGameWorld::TFireLine& line : world.FireLines) {
        const combat::TFightingShip* firer = shown(line.Firer);
        const combat::TFightingShip* target = shown(line.Target);
        const auto colour = FlagColour(line.Side);
        if (firer == nullptr || target == nullptr || !colour) {
            continue;
        }
        const TScreenPoint from = projection_.Project(firer->Position());
        const TScreenPoint to = projection_.Project(target->Position());
        if (!from.visible || !to.visible) {
            continue;
        }
        constexpr int kLineAlpha = 200;
        painter_.setPen(
            QPen(ToQColor(*colour, kLineAlpha), kThinnestLine + line.Calibre / kInchesPerPixel));
        painter_.drawLine(QPointF(from.x, from.y), QPointF(to.x, to.y));
    }
}

QPen RingPen(TRingKind kind) {
    // Each kind of ring its own colour and dash, the same on the chart and in its legend.
    constexpr double kRingPenWidth = 1.6;
    switch (kind) {
    case rkSighting:
        return QPen(QColor(20, 90, 200), kRingPenWidth, Qt::DotLine);
    case rkGuns:
        return QPen(QColor(200, 30, 30), kRingPenWidth, Qt::DashLine);
    case rkEndurance:
        break;
    }
    return QPen(QColor(20, 130, 50), kRingPenWidth, Qt::DashDotLine);
}

void TChartPainter::RingLegend(const TRangeRings& rings) {
    std::vector<std::pair<TRingKind, const char*>> shown;
    if (rings.sighting) {
        shown.emplace_back(rkSighting, "Sighting range");
    }
    if (rings.guns) {
        shown.emplace_back(rkGuns, "Main gun range");
    }
    if (rings.endurance) {
        shown.emplace_back(rkEndurance, "Endurance");
    }
    if (shown.empty()) {
        return;
    }
    constexpr double kLine = 16.0;
    constexpr double kSample = 26.0;
    constexpr double kPad = 6.0;
    constexpr double kWidth = 150.0;
    constexpr double kFromRight = 10.0;
    // Below the compass rose.
    constexpr double kFromTop = 80.0;
    QFont font = painter_.font();
    font.setPixelSize(11);
    const QRectF box(size_.width() - kWidth - kFromRight, kFromTop, kWidth,
                     kPad * 2 + kLine * static_cast<double>(shown.size()));
    painter_.setPen(QPen(QColor(90, 90, 90), 1.0));
    painter_.setBrush(QColor(255, 255, 255, 200));
    painter_.drawRect(box);
    double y = box.top() + kPad + kLine / 2;
    for (const auto& [kind, text] : shown) {
        painter_.setPen(RingPen(kind));
        painter_.drawLine(QPointF(box.left() + kPad, y), QPointF(box.left() + kPad + kSample, y));
        painter_.setPen(Qt::black);
        Text(QPointF(box.left() + kPad * 2 + kSample, y + 4), text, font);
        y += kLine;
    }
}

std::optional<TShipFrame> ShipFrame(const combat::TFightingShip& ship,
                                    const TOrthographicProjection& projection) {
    const map::TGeoPos position = ship.Position();
    const TScreenPoint at = projection.Project(position);
    if (!at.visible) {
        return std::nullopt;
    }
    const TShipSize size = DrawingSize(ship);
    const TScreenAxes axes = projection.LocalAxes(position);
    const double radiansPerFoot =
        map::GlobeUnitFactor(map::TGlobeUnitTypes::Foot) * map::kRadiansPerGlobeUnit;
    const double course = ship.Course() * std::numbers::pi / 180.0;
    const double c = std::cos(course);
    const double s = std::sin(course);
    // Screen vectors of one foot forward and one foot to starboard.
    double fx = (c * axes.northX + s * axes.eastX) * radiansPerFoot;
    double fy = (c * axes.northY + s * axes.eastY) * radiansPerFoot;
    double sx = (-s * axes.northX + c * axes.eastX) * radiansPerFoot;
    double sy = (-s * axes.northY + c * axes.eastY) * radiansPerFoot;
    const double lengthPixels = std::hypot(fx, fy) * size.length;
    const double beamPixels = std::hypot(sx, sy) * size.beam;
    TShipFrame frame;
    frame.at = QPointF(at.x, at.y);
    frame.lengthPixels = lengthPixels;
    if (lengthPixels > 0.0 && lengthPixels < kMinShipPixels) {
        const double grow = kMinShipPixels / lengthPixels;
        fx *= grow;
        fy *= grow;
        sx *= grow;
        sy *= grow;
        frame.lengthPixels = kMinShipPixels;
        frame.enlarged = true;
    }
    const double beamDrawn = beamPixels * (frame.enlarged ? kMinShipPixels / lengthPixels : 1.0);
    if (beamDrawn > 0.0 && beamDrawn < kMinShipBeamPixels) {
        sx *= kMinShipBeamPixels / beamDrawn;
        sy *= kMinShipBeamPixels / beamDrawn;
        frame.enlarged = true;
    }
    frame.transform = QTransform(fx, fy, sx, sy, at.x, at.y);
    frame.halfWidth = (std::abs(fx) * size.length + std::abs(sx) * size.beam) / 2;
    return frame;
}

void TChartPainter::Ship(const combat::TFightingShip& ship, int playerSide) {
    if (ship.Sunk || ship.Marker == nullptr || ship.Marker->Hidden()) {
        return;
    }
    const auto frame = ShipFrame(ship, projection_);
    if (!frame) {
        return;
    }
    const TShipSize size = DrawingSize(ship);
    const double wakeFeet = ship.CurrentSpeed > 0
                                ? ship.CurrentSpeed * kFeetPerNauticalMile / 60.0 * kWakeMinutes
                                : 0.0;
    const double reach = frame->lengthPixels * (1.0 + wakeFeet / size.length) + kPickPixels;
    if (frame->at.x() < -reach || frame->at.y() < -reach || frame->at.x() > size_.width() + reach ||
        frame->at.y() > size_.height() + reach) {
        return;
    }
    const QTransform screen = painter_.transform();
    painter_.setTransform(frame->transform, true);
    const qreal opacity = painter_.opacity();
    if (ship.Sinking > 0) {
        // A sinking ship lies over and fades as her last minutes run out.
        constexpr double kListDegrees = 9.0;
        constexpr double kFadedOpacity = 0.3;
        constexpr double kFadeMinutes = 10.0;
        painter_.rotate(kListDegrees);
        painter_.setOpacity(opacity *
                            (kFadedOpacity + (1.0 - kFadedOpacity) *
                                                 std::min(1.0, ship.Sinking / kFadeMinutes) / 2.0));
    }

    QPen outline(Qt::black, 0);
    outline.setCosmetic(true);

    // The wake: the trail the game keeps (chain 1 of the marker), or a short fading wedge
    // astern as long as the ship's run of the last half minute.
    const map::TPointStore& wake = ship.Marker->Chain(1);
    if (wake.Count() < 2 && wakeFeet > 0.0 && !frame->enlarged) {
        const double stern = -size.length / 2;
        QLinearGradient fade(QPointF(stern, 0), QPointF(stern - wakeFeet, 0));
        fade.setColorAt(0.0, QColor(255, 255, 255, 220));
        fade.setColorAt(1.0, QColor(255, 255, 255, 0));
        painter_.setPen(Qt::NoPen);
        painter_.setBrush(fade);
        const QPointF wedge[] = {
            {stern, size.beam * 0.4}, {stern - wakeFeet, 0.0}, {stern, -size.beam * 0.4}};
        painter_.drawPolygon(wedge, 3);
    }

    const std::vector<TShipPoint> hull = HullOutline(size);
    QPolygonF hullPolygon;
    hullPolygon.reserve(static_cast<qsizetype>(hull.size()));
    for (const TShipPoint& p : hull) {
        hullPolygon.append(QPointF(p.forward, p.starboard));
    }
    const QColor deck = ToQColor(ShipDeckColour(ship, playerSide, colours_));
    // A ship drawn larger than life to be seen at all is only a mark in its colour: an
    // outline would leave nothing of the deck.
    painter_.setPen(frame->enlarged ? QPen(Qt::NoPen) : outline);
    painter_.setBrush(deck);
    painter_.drawPolygon(hullPolygon);

    // The details would tell the class of a ship the player has not identified.
    if (frame->lengthPixels >= kShipDetailPixels && !frame->enlarged &&
        PlayerKnowsShip(ship, playerSide)) {
        // Deck houses and bridges, then the turrets and funnels standing above them.
        painter_.setBrush(deck.darker(118));
        for (int i = 0; i < designs::kOutlineCount; ++i) {
            const std::vector<TShipPoint> points = SuperstructureOutline(ship, i);
            if (points.size() < 2) {
                continue;
            }
            QPolygonF shape;
            for (const TShipPoint& p : points) {
                shape.append(QPointF(p.forward, p.starboard));
            }
            if (ship.IsLine[static_cast<std::size_t>(i)]) {
                painter_.drawPolyline(shape);
            } else {
                painter_.drawPolygon(shape);
            }
        }
        const double turretSize = size.beam * 0.34;
        for (const designs::TFightingTurret& turret : ship.Turrets) {
            const auto place = TurretPlace(turret.Pos, size);
            if (!place) {
                continue;
            }
            const QPointF centre(place->forward, place->starboard);
            const double bearing = turret.Bearing * std::numbers::pi / 180.0;
            const QPointF muzzle =
                centre + QPointF(std::cos(bearing), std::sin(bearing)) * (turretSize * 1.3);
            QPen barrel(turret.Operable() ? QColor(40, 40, 40) : QColor(150, 40, 40),
                        size.beam * 0.05);
            painter_.setPen(barrel);
            painter_.drawLine(centre, muzzle);
            painter_.setPen(outline);
            painter_.setBrush(turret.Destroyed ? QColor(120, 60, 60) : deck.darker(140));
            painter_.drawEllipse(centre, turretSize / 2, turretSize / 2);
        }
        const double funnelSize = size.beam * 0.16;
        painter_.setBrush(QColor(45, 45, 45));
        for (const designs::TFunnel& funnel : ship.Funnels) {
            if (funnel.Position <= 0) {
                continue;
            }
            const TShipPoint place = FunnelPlace(funnel, size);
            const double along = funnel.Oval ? funnelSize * 1.6 : funnelSize;
            painter_.drawEllipse(QPointF(place.forward, place.starboard), along / 2,
                                 funnelSize / 2);
        }
    }
    painter_.setOpacity(opacity);
    painter_.setTransform(screen);
}

// Where a division's flag stands: at its flagship (the first ship still afloat and shown).
bool FlagHidden(const combat::TDivision& division) {
    // A hidden flag marker is a squadron the player does not know of.
    return division.FlagMarker != nullptr && division.FlagMarker->Hidden();
}

std::optional<QPointF> FlagAnchor(const combat::TDivision& division,
                                  const TOrthographicProjection& projection) {
    for (const combat::TFightingShip* ship : division.Ships) {
        if (ship == nullptr || ship->Sunk || ship->Marker == nullptr || ship->Marker->Hidden()) {
            continue;
        }
        const TScreenPoint p = projection.Project(ship->Position());
        if (!p.visible) {
            return std::nullopt;
        }
        return QPointF(p.x, p.y);
    }
    return std::nullopt;
}

std::optional<core::TColor> FlagColour(int side) {
    switch (side) {
    case 0:
        return kFlagRed;
    case 1:
        return kFlagBlue;
    case kNeutralSide:
        return kFlagGreen;
    default:
        return std::nullopt;
    }
}

QRectF FlagBox(const QPointF& anchor) {
    return QRectF(anchor.x(), anchor.y() - kFlagStaff, kFlagWidth, kFlagHeight);
}

bool TChartPainter::PlaceLabel(const QRectF& box) {
    for (const QRectF& placed : labels_) {
        if (placed.intersects(box)) {
            return false;
        }
    }
    labels_.push_back(box);
    return true;
}

void TChartPainter::PlaceFlagNames(const engine::TGameWorld& world, bool names,
                                   const combat::TDivision* selected) {
    flagNames_.clear();
    if (!names) {
        return;
    }
    QFont font = painter_.font();
    font.setPixelSize(kFlagNamePixels);
    font.setBold(true);
    struct TCandidate {
        const combat::TDivision* division;
        QPointF anchor;
        int rank;
    };
    std::vector<TCandidate> candidates;
    candidates.reserve(world.Divisions.size());
    const QRectF screen(QPointF(0, 0), QSizeF(size_));
    for (const auto& division : world.Divisions) {
        if (!division || !FlagColour(division->Side) || FlagHidden(*division)) {
            continue;
        }
        const combat::TFightingShip* flagship = division->Flagship();
        const auto anchor = FlagAnchor(*division, projection_);
        if (flagship == nullptr || !anchor || !screen.contains(*anchor) ||
            !PlayerKnowsShip(*flagship, world.PlayerSide)) {
            continue;
        }
        // The selected division is always named; then the battle fleet before its cruisers
        // and flotillas, and the larger division of a kind before the smaller.
        const int type = designs::TypeIndex(flagship->ShipType);
        const int rank = division.get() == selected
                             ? -1
                             : type * 1000 - static_cast<int>(division->Ships.size());
        candidates.push_back({division.get(), *anchor, rank});
    }
    std::stable_sort(candidates.begin(), candidates.end(),
                     [](const TCandidate& a, const TCandidate& b) { return a.rank < b.rank; });
    // Every flag is drawn, so no name may run over one.
    for (const TCandidate& c : candidates) {
        labels_.push_back(FlagBox(c.anchor));
    }
    for (const TCandidate& c : candidates) {
        const QString text = QString::fromStdString(c.division->DivisionName);
        const TLaidOutText& laid = cache_.Text(text, font);
        const QRectF flag = FlagBox(c.anchor);
        const double height = kFlagNamePixels * 1.25;
        // Beside the flag if there is room, else before it, above it or below the ship.
        const std::array<QPointF, 4> baselines = {
            QPointF(flag.right() + 3, flag.bottom() - 1),
            QPointF(flag.left() - 3 - laid.width, flag.bottom() - 1),
            QPointF(flag.left(), flag.top() - 3 - (height - laid.ascent)),
            QPointF(flag.left(), c.anchor.y() + 3 + laid.ascent)};
        for (std::size_t i = 0; i < baselines.size(); ++i) {
            const QPointF& baseline = baselines[i];
            const QRectF box(baseline.x(), baseline.y() - laid.ascent, laid.width, height);
            // The selected division is named beside its flag whatever that covers.
            if (c.division == selected) {
                labels_.push_back(box);
                flagNames_.push_back({c.division, baseline, text});
                break;
            }
            if (PlaceLabel(box)) {
                flagNames_.push_back({c.division, baseline, text});
                break;
            }
            // A name is never left out: where every place is taken it goes beside its flag.
            if (i + 1 == baselines.size()) {
                labels_.push_back(
                    QRectF(baselines[0].x(), baselines[0].y() - laid.ascent, laid.width, height));
                flagNames_.push_back({c.division, baselines[0], text});
            }
        }
    }
}

void TChartPainter::Flags(const engine::TGameWorld& world, const combat::TDivision* selected) {
    QFont font = painter_.font();
    font.setPixelSize(kFlagNamePixels);
    font.setBold(true);
    const QRectF screen(-kFlagStaff, -kFlagStaff, size_.width() + 2 * kFlagStaff,
                        size_.height() + 2 * kFlagStaff);
    for (const auto& division : world.Divisions) {
        if (!division || FlagHidden(*division)) {
            continue;
        }
        const auto colour = FlagColour(division->Side);
        const auto anchor = FlagAnchor(*division, projection_);
        if (!colour || !anchor || !screen.contains(*anchor)) {
            continue;
        }
        const QRectF flag = FlagBox(*anchor);
        QPen staff(Qt::black, 1.2);
        painter_.setPen(staff);
        painter_.drawLine(*anchor, QPointF(anchor->x(), anchor->y() - kFlagStaff));
        painter_.setBrush(ToQColor(*colour));
        painter_.drawRect(flag);
        if (division.get() == selected) {
            painter_.setPen(QPen(QColor(255, 220, 0), 2.0));
            painter_.setBrush(Qt::NoBrush);
            painter_.drawRect(flag.adjusted(-2, -2, 2, 2));
        }
    }
    painter_.setPen(kFlagNameHalo);
    for (const TFlagName& name : flagNames_) {
        for (const QPointF offset :
             {QPointF(-kHaloPixels, 0), QPointF(kHaloPixels, 0), QPointF(0, -kHaloPixels),
              QPointF(0, kHaloPixels), QPointF(-kHaloPixels, -kHaloPixels),
              QPointF(kHaloPixels, kHaloPixels), QPointF(-kHaloPixels, kHaloPixels),
              QPointF(kHaloPixels, -kHaloPixels)}) {
            Text(name.baseline + offset, name.text, font);
        }
    }
    painter_.setPen(kFlagNameColour);
    for (const TFlagName& name : flagNames_) {
        Text(name.baseline, name.text, font);
    }
}

void TChartPainter::MarkedPoint(const map::TGeoPos& point) {
    constexpr double kMarkPixels = 7.0;
    const TScreenPoint at = projection_.Project(point);
    if (!at.visible) {
        return;
    }
    const QPointF c(at.x, at.y);
    painter_.setPen(QPen(QColor(200, 0, 0), 1.5));
    painter_.setBrush(Qt::NoBrush);
    painter_.drawEllipse(c, kMarkPixels, kMarkPixels);
    painter_.drawLine(c - QPointF(kMarkPixels * 1.6, 0), c + QPointF(kMarkPixels * 1.6, 0));
    painter_.drawLine(c - QPointF(0, kMarkPixels * 1.6), c + QPointF(0, kMarkPixels * 1.6));
}

void TChartPainter::ScaleBar() {
    // The longest round distance that fits in about a fifth of the chart.
    const double pixelsPerYard = projection_.PixelsPerGlobeUnit() * map::kGlobeUnitsPerYard;
    const double maxPixels = std::max(60.0, size_.width() / 5.0);
    static constexpr std::array<double, 4> kYards = {100, 200, 500, 1000};
    static constexpr std::array<double, 14> kMiles = {1,   2,   5,    10,   20,   50,   100,
                                                      200, 500, 1000, 2000, 3000, 5000, 10000};
    double yards = 0.0;
    QString text;
    for (double y : kYards) {
        if (y * pixelsPerYard <= maxPixels) {
            yards = y;
            text = QString("%1 yd").arg(y);
        }
    }
    for (double nm : kMiles) {
        if (nm * kYardsPerNauticalMile * pixelsPerYard <= maxPixels) {
            yards = nm * kYardsPerNauticalMile;
            text = QString("%1 NM").arg(nm);
        }
    }
    if (yards <= 0.0) {
        return;
    }
    const double length = yards * pixelsPerYard;
    const double x = 52.0; // clear of the latitude labels on the left edge
    const double y = size_.height() - 34.0;
    // A light ground keeps the bar readable over land and beyond the globe's edge.
    painter_.fillRect(QRectF(x - 6, y - 17, length + 40, 26), QColor(255, 255, 255, 120));
    painter_.setPen(QPen(Qt::black, 1));
    for (int i = 0; i < 4; ++i) {
        painter_.setBrush(i % 2 == 0 ? Qt::black : Qt::white);
        painter_.drawRect(QRectF(x + i * length / 4, y, length / 4, 5));
    }
    QFont font = painter_.font();
    font.setPixelSize(11);
    painter_.setFont(font);
    painter_.setPen(kGridLabelColour);
    painter_.drawText(QPointF(x, y - 4), "0");
    painter_.drawText(QPointF(x + length - QFontMetricsF(font).horizontalAdvance(text) / 2, y - 4),
                      text);
}

void TChartPainter::CompassRose() {
    // North is straight up at the centre of an orthographic chart.
    constexpr double kRadius = 22.0;
    const QPointF c(size_.width() - kRadius - 14.0, kRadius + 22.0);
    painter_.setPen(QPen(QColor(40, 40, 40), 1));
    painter_.setBrush(QColor(255, 255, 255, 160));
    painter_.drawEllipse(c, kRadius * 0.55, kRadius * 0.55);
    for (int quarter = 0; quarter < 4; ++quarter) {
        const double a = quarter * std::numbers::pi / 2;
        const QPointF tip = c + QPointF(std::sin(a), -std::cos(a)) * kRadius;
        const QPointF left = c + QPointF(std::sin(a - 0.5), -std::cos(a - 0.5)) * (kRadius * 0.22);
        const QPointF right = c + QPointF(std::sin(a + 0.5), -std::cos(a + 0.5)) * (kRadius * 0.22);
        painter_.setBrush(quarter == 0 ? QColor(180, 30, 30) : QColor(60, 60, 60));
        const QPointF point[] = {tip, left, c, right};
        painter_.drawPolygon(point, 4);
    }
    QFont font = painter_.font();
    font.setPixelSize(12);
    font.setBold(true);
    painter_.setFont(font);
    painter_.setPen(QColor(180, 30, 30));
    painter_.drawText(QRectF(c.x() - 10, c.y() - kRadius - 17, 20, 14), Qt::AlignCenter, "N");
}

} // namespace tarnwake::ui
