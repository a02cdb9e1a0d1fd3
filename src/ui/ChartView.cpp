#include "ui/ChartView.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"
#include "map/Globe.h"
#include "map/GlobeLayer.h"
#include "map/GlobeUnits.h"
#include "ui/ChartPainter.h"

#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <limits>

namespace tarnwake::ui {

namespace {
// Where the chart looks before a world is shown.
constexpr map::TGeoPos kDefaultCentre{static_cast<std::int32_t>(4 * map::kGlobeUnitsPerDegree),
                                      static_cast<std::int32_t>(56 * map::kGlobeUnitsPerDegree), 0};
// The weather whose sea colour the empty chart shows ("Clear").
constexpr int kFairWeather = 2;
// Room round the text of an empty chart.
const QMargins kNoWorldMargins(40, 40, 40, 40);
} // namespace

TChartView::TChartView(QWidget* parent) : QWidget(parent), cache_(std::make_unique<TChartCache>()) {
    setObjectName("chart");
    setMinimumSize(320, 240);
    setAttribute(Qt::WA_OpaquePaintEvent);
    setFocusPolicy(Qt::StrongFocus);
    // The status bar follows the cursor.
    setMouseTracking(true);
    centre_ = kDefaultCentre;
}

TChartView::~TChartView() = default;

void TChartView::SetWorld(engine::TGameWorld* world) {
    world_ = world;
    selectedDivision_ = nullptr;
    markedPoint_.reset();
    InvalidateCache();
    if (world_ != nullptr) {
        const map::TGlobe& chart = world_->Chart;
        if (chart.ViewZoom > 0.0) {
            centre_ = chart.ViewCentre;
            altitude_ = std::clamp(chart.ViewZoom * map::kGlobeUnitsPerNauticalMile, kMinAltitude,
                                   kMaxAltitude - 1.0);
        } else {
            centre_ = chart.ViewCentre;
            ShowWholeChart();
        }
    }
    ViewMoved();
}

void TChartView::SetShipNameMode(TShipNameMode mode) {
    shipNames_ = mode;
    update();
}

void TChartView::SetRangeRings(const TRangeRings& rings) {
    rings_ = rings;
    update();
}

void TChartView::SetMarkedPoint(const std::optional<map::TGeoPos>& point) {
    markedPoint_ = point;
    update();
}

void TChartView::SetColours(const TChartColours& colours) {
    colours_ = colours;
    update();
}

void TChartView::SetShowDivisionNames(bool show) {
    showDivisionNames_ = show;
    update();
}

void TChartView::SetShowFireLines(bool show) {
    showFireLines_ = show;
    update();
}

void TChartView::SetShowScale(bool show) {
    showScale_ = show;
    update();
}

void TChartView::SetShowCompass(bool show) {
    showCompass_ = show;
    update();
}

void TChartView::SetSelectedDivision(const combat::TDivision* division) {
    selectedDivision_ = division;
    update();
}

void TChartView::InvalidateCache() {
    cache_ = std::make_unique<TChartCache>();
    projectionSize_ = QSize();
    update();
}

void TChartView::SetCentre(const map::TGeoPos& centre) {
    centre_.lon = map::WrapLongitude(centre.lon);
    centre_.lat = static_cast<std::int32_t>(
        std::clamp<std::int64_t>(centre.lat, -map::kMaxLatitude, map::kMaxLatitude));
    centre_.height = 0;
    ViewMoved();
}

bool TChartView::SetAltitude(double altitude) {
    if (!(altitude >= kMinAltitude) || !(altitude < kMaxAltitude)) {
        return false;
    }
    altitude_ = altitude;
    ViewMoved();
    return true;
}

bool TChartView::ZoomBy(double factor) {
    // Zooming out is applied only while the altitude stays below the largest 32-bit integer.
    return SetAltitude(altitude_ * factor);
}

void TChartView::FitArea(const map::TGeoRect& area) {
    if (area.width < 0 || area.height < 0) {
        return;
    }
    const map::TGeoPos middle{map::WrapLongitude(area.left + area.width / 2),
                              static_cast<std::int32_t>(area.bottom + area.height / 2), 0};
    // The box's extent on a globe of radius one seen from above its middle.
    const TOrthographicProjection unit(middle, 1.0 / map::kGlobeRadius, 0.0, 0.0);
    constexpr int kSamples = 24;
    double extentX = 0.0;
    double extentY = 0.0;
    for (int i = 0; i <= kSamples; ++i) {
        const double t = static_cast<double>(i) / kSamples;
        const std::int64_t lon = area.left + static_cast<std::int64_t>(t * area.width);
        const std::int64_t lat = area.bottom + static_cast<std::int64_t>(t * area.height);
        for (const map::TGeoPos& p :
             {map::TGeoPos{map::WrapLongitude(lon), static_cast<std::int32_t>(area.bottom), 0},
              map::TGeoPos{map::WrapLongitude(lon), static_cast<std::int32_t>(area.Top()), 0},
              map::TGeoPos{map::WrapLongitude(area.left), static_cast<std::int32_t>(lat), 0},
              map::TGeoPos{map::WrapLongitude(area.Right()), static_cast<std::int32_t>(lat), 0}}) {
            const TScreenPoint s = unit.Project(p);
            extentX = std::max(extentX, std::abs(s.x));
            extentY = std::max(extentY, std::abs(s.y));
        }
    }
    centre_ = middle;
    const QSize view = size();
    const double shorter = std::min(view.width(), view.height());
    constexpr double kMargin = 1.04;
    // The pixels per radian that fit the box, turned into the altitude that gives them.
    const double fitX = extentX > 0.0 ? view.width() / 2.0 / (extentX * kMargin) : 0.0;
    const double fitY = extentY > 0.0 ? view.height() / 2.0 / (extentY * kMargin) : 0.0;
    double pixelsPerRadian = 0.0;
    if (fitX > 0.0 && fitY > 0.0) {
        pixelsPerRadian = std::min(fitX, fitY);
    } else {
        pixelsPerRadian = std::max(fitX, fitY);
    }
    if (pixelsPerRadian > 0.0) {
        altitude_ = std::clamp(shorter * map::kGlobeRadius / pixelsPerRadian, kMinAltitude,
                               kMaxAltitude - 1.0);
    }
    ViewMoved();
}

void TChartView::ShowWholeChart() {
    if (world_ == nullptr) {
        return;
    }
    const map::TGlobe& chart = world_->Chart;
    bool any = false;
    std::int64_t left = 0;
    std::int64_t right = 0;
    std::int64_t bottom = 0;
    std::int64_t top = 0;
    for (int i = 0; i < chart.LayerCount(); ++i) {
        const map::TGlobeLayer& layer = chart.Layer(i);
        if (!layer.Visible || layer.Name() == "ShipLayer" || &layer == chart.LandLayer(3)) {
            continue;
        }
        for (const map::TGeoDataObject* object : layer.Objects()) {
            if (object->Hidden() || object->ChainCount() == 0) {
                continue;
            }
            const map::TGeoRect& r = object->BoundingRect();
            if (!any) {
                left = r.left;
                right = r.Right();
                bottom = r.bottom;
                top = r.Top();
                any = true;
            } else {
                left = std::min(left, r.left);
                right = std::max(right, r.Right());
                bottom = std::min(bottom, r.bottom);
                top = std::max(top, r.Top());
            }
        }
    }
    if (!any) {
        ViewMoved();
        return;
    }
    FitArea(map::TGeoRect{left, bottom, right - left, top - bottom});
}

void TChartView::UpdateProjection(const QSize& size) const {
    const double shorter = std::max(1, std::min(size.width(), size.height()));
    const double scale = shorter / altitude_;
    if (size == projectionSize_ && projection_.Centre() == centre_ &&
        projection_.PixelsPerGlobeUnit() == scale) {
        return;
    }
    projectionSize_ = size;
    projection_.SetCentre(centre_);
    projection_.SetScale(scale);
    projection_.SetScreenCentre(size.width() / 2.0, size.height() / 2.0);
    ++cache_->viewGeneration;
    cache_->viewBox = ComputeViewBox(projection_, QSizeF(size));
    if (world_ != nullptr) {
        world_->Chart.SetScale(scale);
    }
}

void TChartView::ViewMoved() {
    if (world_ != nullptr) {
        world_->Chart.ViewCentre = centre_;
        world_->Chart.ViewZoom = altitude_ / map::kGlobeUnitsPerNauticalMile;
    }
    UpdateProjection(size());
    emit ViewChanged();
    update();
}

double TChartView::PixelsPerGlobeUnit() const {
    UpdateProjection(size());
    return projection_.PixelsPerGlobeUnit();
}

const TOrthographicProjection& TChartView::Projection() const {
    UpdateProjection(size());
    return projection_;
}

std::optional<map::TGeoPos> TChartView::PixelToPosition(const QPointF& pixel) const {
    return Projection().Unproject(pixel.x(), pixel.y());
}

std::optional<QPointF> TChartView::PositionToPixel(const map::TGeoPos& p) const {
    const TScreenPoint s = Projection().Project(p);
    if (!s.visible) {
        return std::nullopt;
    }
    return QPointF(s.x, s.y);
}

combat::TFightingShip* TChartView::ShipAt(const QPointF& pixel) const {
    if (world_ == nullptr) {
        return nullptr;
    }
    const TOrthographicProjection& projection = Projection();
    combat::TFightingShip* best = nullptr;
    double bestDistance = std::numeric_limits<double>::max();
    for (const auto& ship : world_->Ships) {
        if (!ship || ship->Sunk || ship->Marker == nullptr || ship->Marker->Hidden()) {
            continue;
        }
        const auto frame = ShipFrame(*ship, projection);
        if (!frame) {
            continue;
        }
        const double distance = std::hypot(pixel.x() - frame->at.x(), pixel.y() - frame->at.y());
        if (distance <= frame->lengthPixels / 2 + kPickPixels && distance < bestDistance) {
            best = ship.get();
            bestDistance = distance;
        }
    }
    return best;
}

combat::TDivision* TChartView::FlagUnder(const QPointF& pixel, const QMarginsF& reach) const {
    if (world_ == nullptr) {
        return nullptr;
    }
    const TOrthographicProjection& projection = Projection();
    // The flags are drawn in list order, so the last one drawn is on top.
    for (auto it = world_->Divisions.rbegin(); it != world_->Divisions.rend(); ++it) {
        const combat::TDivision* division = it->get();
        if (division == nullptr || !FlagColour(division->Side) || FlagHidden(*division)) {
            continue;
        }
        const auto anchor = FlagAnchor(*division, projection);
        if (anchor && FlagBox(*anchor).marginsAdded(reach).contains(pixel)) {
            return it->get();
        }
    }
    return nullptr;
}

combat::TDivision* TChartView::FlagAt(const QPointF& pixel) const {
    constexpr double kFlagPickPixels = 2.0;
    return FlagUnder(pixel,
                     QMarginsF(kFlagPickPixels, kFlagPickPixels, kFlagPickPixels, kFlagPickPixels));
}

combat::TDivision* TChartView::DivisionAt(const QPointF& pixel) const {
    if (world_ == nullptr) {
        return nullptr;
    }
    // The flag and its staff down to the flagship.
    constexpr double kStaffPickPixels = 3.0;
    if (combat::TDivision* division =
            FlagUnder(pixel, QMarginsF(kStaffPickPixels, kStaffPickPixels, kStaffPickPixels,
                                       kFlagStaff - kFlagHeight + kStaffPickPixels))) {
        return division;
    }
    const combat::TFightingShip* ship = ShipAt(pixel);
    return ship != nullptr ? world_->DivisionOfShip(ship) : nullptr;
}

void TChartView::SetNoWorldText(const QString& text) {
    noWorldText_ = text;
    update();
}

void TChartView::PaintChart(QPainter& painter, const QSize& size) {
    UpdateProjection(size);
    if (world_ == nullptr) {
        painter.fillRect(QRect(QPoint(0, 0), size), ToQColor(SeaColour(colours_, kFairWeather)));
        painter.setPen(QColor(40, 60, 90));
        painter.drawText(QRect(QPoint(0, 0), size).marginsRemoved(kNoWorldMargins),
                         Qt::AlignCenter | Qt::TextWordWrap, noWorldText_);
        return;
    }
    painter.setRenderHint(QPainter::Antialiasing, true);
    TChartPainter chart(painter, size, projection_, altitude_, colours_, *cache_);
    chart.KeepLayerPictures(keepLayerPictures_);
    const core::TColor sea = SeaColour(colours_, world_->Environment.Weather);
    chart.Background(sea);
    chart.GridLines(sea);

    map::TGlobe& globe = world_->Chart;
    const map::TGlobeLayer* shipLayer = globe.FindLayer("ShipLayer");
    const map::TGlobeLayer* hiddenLand = globe.LandLayer(3);
    bool shipsDrawn = false;
    bool limitsDrawn = false;
    std::vector<const map::TGlobeLayer*> coastLayers;
    chart.PlaceFlagNames(*world_, showDivisionNames_, selectedDivision_);
    // Layer 0 is the bottom of the chart: each layer is drawn over the ones before it.
    for (int i = 0; i < globe.LayerCount(); ++i) {
        map::TGlobeLayer& layer = globe.Layer(i);
        if (!layer.Visible || &layer == hiddenLand) {
            if (&layer == shipLayer) {
                shipsDrawn = true; // a hidden ship layer hides the ships
            }
            continue;
        }
        if (&layer == shipLayer) {
            UnderShips(chart, coastLayers);
            limitsDrawn = true;
        }
        chart.Layer(layer);
        if (&layer == globe.LandLayer(1) || &layer == globe.LandLayer(2)) {
            coastLayers.push_back(&layer);
        }
        if (&layer == shipLayer) {
            OverShipLayer(chart);
            shipsDrawn = true;
        }
    }
    if (!limitsDrawn) {
        UnderShips(chart, coastLayers);
    }
    if (!shipsDrawn) {
        OverShipLayer(chart);
    }
    cache_->Prune();

    if (markedPoint_) {
        chart.MarkedPoint(*markedPoint_);
    }
    chart.GridLabels();
    chart.RingLegend(rings_);
    if (showScale_) {
        chart.ScaleBar();
    }
    if (showCompass_) {
        chart.CompassRose();
        chart.WindGauge(*world_);
    }
}

void TChartView::UnderShips(TChartPainter& chart,
                            const std::vector<const map::TGlobeLayer*>& coastLayers) {
    // The night and the chart's limits shade the sea and the coasts, under the ships, their
    // rings and the marks of the fighting.
    chart.Daylight(*world_);
    chart.ChartLimits(coastLayers);
    chart.RangeRings(*world_, rings_, selectedDivision_);
    if (showFireLines_) {
        chart.FireLines(*world_);
    }
    chart.BattleUnderShips(*world_);
}

void TChartView::OverShipLayer(TChartPainter& chart) {
    chart.Ships(*world_, shipNames_);
    chart.BattleOverShips(*world_);
    chart.Flags(*world_, selectedDivision_);
}

// ---- Input ---------------------------------------------------------------------------------

void TChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    PaintChart(painter, size());
}

void TChartView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    UpdateProjection(size());
    emit ViewChanged();
}

void TChartView::wheelEvent(QWheelEvent* event) {
    const int delta = event->angleDelta().y();
    if (delta == 0) {
        event->ignore();
        return;
    }
    // Down (towards the player) climbs, up descends, about the point under the cursor: it
    // stays where it is while the chart grows or shrinks round it.
    const QPointF cursor = event->position();
    const auto under = PixelToPosition(cursor);
    if (ZoomBy(delta < 0 ? kWheelOutFactor : kWheelInFactor) && under) {
        if (const auto moved = PositionToPixel(*under)) {
            DragGlobe(*moved, cursor);
        }
    }
    emit WheelZoomed();
    event->accept();
}

void TChartView::mousePressEvent(QMouseEvent* event) {
    // A click on the chart takes the keys back from the boxes and the tree.
    setFocus(Qt::MouseFocusReason);
    pressedButton_ = event->button();
    pressPixel_ = event->position();
    lastDragPixel_ = pressPixel_;
    dragging_ = false;
    event->accept();
}

void TChartView::mouseMoveEvent(QMouseEvent* event) {
    constexpr double kDragStartPixels = 4.0;
    emit CursorMoved(event->position());
    // The right and the middle button drag the chart.
    const bool dragButton = pressedButton_ == Qt::RightButton || pressedButton_ == Qt::MiddleButton;
    if (!dragButton || (event->buttons() & pressedButton_) == 0) {
        return;
    }
    const QPointF at = event->position();
    if (!dragging_) {
        if (std::hypot(at.x() - pressPixel_.x(), at.y() - pressPixel_.y()) < kDragStartPixels) {
            return;
        }
        dragging_ = true;
        setCursor(Qt::ClosedHandCursor);
    }
    DragGlobe(lastDragPixel_, at);
    lastDragPixel_ = at;
    event->accept();
}

void TChartView::keyPressEvent(QKeyEvent* event) {
    // The arrow keys move the view by a share of the chart's shorter side.
    constexpr double kArrowPanShare = 0.125;
    const double step = kArrowPanShare * std::min(width(), height());
    QPointF offset;
    switch (event->key()) {
    case Qt::Key_Left:
        offset = {step, 0};
        break;
    case Qt::Key_Right:
        offset = {-step, 0};
        break;
    case Qt::Key_Up:
        offset = {0, step};
        break;
    case Qt::Key_Down:
        offset = {0, -step};
        break;
    default:
        QWidget::keyPressEvent(event);
        return;
    }
    const QPointF middle(width() / 2.0, height() / 2.0);
    DragGlobe(middle, middle + offset);
    event->accept();
}

void TChartView::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != pressedButton_) {
        return;
    }
    if (dragging_) {
        unsetCursor();
    } else {
        emit ChartClicked(event->position(), event->button(), event->modifiers());
    }
    dragging_ = false;
    pressedButton_ = Qt::NoButton;
    event->accept();
}

void TChartView::mouseDoubleClickEvent(QMouseEvent* event) {
    // The second press of a double click: its release is a click like any other.
    pressedButton_ = event->button();
    pressPixel_ = event->position();
    lastDragPixel_ = pressPixel_;
    dragging_ = false;
    emit ChartDoubleClicked(event->position());
    event->accept();
}

void TChartView::DragGlobe(const QPointF& from, const QPointF& to) {
    const auto a = PixelToPosition(from);
    const auto b = PixelToPosition(to);
    std::int64_t dLon = 0;
    std::int64_t dLat = 0;
    if (a && b) {
        dLon = map::LongitudeStep(b->lon, a->lon);
        dLat = static_cast<std::int64_t>(a->lat) - b->lat;
    } else {
        // Dragging off the globe's edge: turn it by the pixels moved at the centre's scale.
        const double perPixel = 1.0 / PixelsPerGlobeUnit();
        const double cosLat = std::max(0.05, std::cos(centre_.lat * map::kRadiansPerGlobeUnit));
        dLon = static_cast<std::int64_t>((from.x() - to.x()) * perPixel / cosLat);
        dLat = static_cast<std::int64_t>((to.y() - from.y()) * perPixel);
    }
    SetCentre(map::TGeoPos{map::WrapLongitude(centre_.lon + dLon),
                           static_cast<std::int32_t>(std::clamp<std::int64_t>(
                               centre_.lat + dLat, -map::kMaxLatitude, map::kMaxLatitude)),
                           0});
}

} // namespace tarnwake::ui
