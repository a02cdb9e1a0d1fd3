#pragma once

#include "map/GeoDataObject.h"
#include "map/GeoPos.h"
#include "ui/ChartColours.h"
#include "ui/ChartOptions.h"
#include "ui/OrthographicProjection.h"

#include <QMarginsF>
#include <QWidget>
#include <memory>
#include <optional>
#include <vector>

class QPainter;

namespace tarnwake::engine {
class TGameWorld;
}
namespace tarnwake::map {
class TGlobeLayer;
}
namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::ui {

struct TChartCache;
class TChartPainter;

// The sea chart: an orthographic view of the globe centred on the scenario's area, with the
// chart's layers drawn by their styles, the ships to scale from their designs, the division
// flags, a one-degree graticule, a scale bar and a compass rose.
//
// The view is set by its centre and its altitude: how many globe units of the earth's
// surface the shorter side of the chart spans at its centre (an eye looking down with a
// field of view as wide as it is high). The mouse wheel and the zoom slots change the
// altitude by the game's factors (the wheel about the point under the cursor); the right or
// middle button drags the globe under the mouse, and the arrow keys move the view.
//
// Until a world is shown the chart is open sea in the fair-weather colour.
class TChartView : public QWidget {
    Q_OBJECT
public:
    // The altitude is a 32-bit quantity: zooming out stops below the largest 32-bit integer.
    static constexpr double kMaxAltitude = 2147483647.0;
    // Closer than this the chart would show less than a boat's length across.
    static constexpr double kMinAltitude = 1000.0;
    // The zoom factors of the toolbar buttons and of the mouse wheel.
    static constexpr double kZoomInFactor = 0.8;
    static constexpr double kZoomOutFactor = 1.2;
    static constexpr double kZoomOutFarFactor = 2.0;
    static constexpr double kWheelOutFactor = 1.15;
    static constexpr double kWheelInFactor = 0.86;

    explicit TChartView(QWidget* parent = nullptr);
    ~TChartView() override;

    QSize sizeHint() const override { return {760, 600}; }

    // ---- What is shown.
    // Shows a world's chart, ships and divisions (nullptr: none). The world must outlive
    // the chart view or be replaced first. The view starts where the chart's environment
    // says (its centre and width), or on the whole chart when it gives no width.
    void SetWorld(engine::TGameWorld* world);
    engine::TGameWorld* World() const { return world_; }
    // What the chart says while no world is shown: why none is, when that is known.
    void SetNoWorldText(const QString& text);
    const QString& NoWorldText() const { return noWorldText_; }
    void SetColours(const TChartColours& colours);
    const TChartColours& Colours() const { return colours_; }
    // Division flags carry the division's name.
    void SetShowDivisionNames(bool show);
    bool ShowDivisionNames() const { return showDivisionNames_; }
    // The scale bar and the compass rose (the player's "Show map scale" and "Show compass").
    // The lines of fire of the last minute.
    void SetShowFireLines(bool show);
    bool ShowFireLines() const { return showFireLines_; }
    // Whether layers are laid down from the pictures kept of them between paints (as
    // always on the screen) or drawn anew: the check that the pictures show what is there.
    void SetKeepLayerPictures(bool keep) { keepLayerPictures_ = keep; }
    void SetShowScale(bool show);
    bool ShowScale() const { return showScale_; }
    void SetShowCompass(bool show);
    bool ShowCompass() const { return showCompass_; }
    // The division drawn highlighted (nullptr: none).
    void SetSelectedDivision(const combat::TDivision* division);
    // What the chart writes beside the ships.
    void SetShipNameMode(TShipNameMode mode);
    TShipNameMode ShipNameMode() const { return shipNames_; }
    // The range rings round the divisions.
    void SetRangeRings(const TRangeRings& rings);
    const TRangeRings& RangeRings() const { return rings_; }
    // The point the player marked with a double click (a cross on the chart; none: no mark).
    void SetMarkedPoint(const std::optional<map::TGeoPos>& point);
    const std::optional<map::TGeoPos>& MarkedPoint() const { return markedPoint_; }
    // The chart's layers were replaced or reloaded: forget everything drawn from them.
    void InvalidateCache();

    // ---- The view.
    map::TGeoPos Centre() const { return centre_; }
    void SetCentre(const map::TGeoPos& centre);
    double Altitude() const { return altitude_; }
    // Sets the altitude, kept within kMinAltitude and below kMaxAltitude; answers whether
    // it was accepted.
    bool SetAltitude(double altitude);
    // Multiplies the altitude by `factor`; refused (false, nothing changes) when zooming out
    // would reach the 32-bit limit or zooming in would pass kMinAltitude.
    bool ZoomBy(double factor);
    // Centres the view on the middle of the box and zooms so that all of it can be seen.
    void FitArea(const map::TGeoRect& area);
    // The whole of the chart's coasts and areas (every layer but the ship layer).
    void ShowWholeChart();

    // ---- Pixels and positions, for every mouse pick. Pixels are the widget's own.
    // The position under a pixel; nothing off the globe.
    std::optional<map::TGeoPos> PixelToPosition(const QPointF& pixel) const;
    // The pixel a position is drawn at; nothing when it lies on the far side of the globe.
    std::optional<QPointF> PositionToPixel(const map::TGeoPos& p) const;
    // Pixels per globe unit at the centre of the view.
    double PixelsPerGlobeUnit() const;
    const TOrthographicProjection& Projection() const;
    // The ship drawn under (or within a few pixels of) a pixel; the nearest when several.
    combat::TFightingShip* ShipAt(const QPointF& pixel) const;
    // The division whose flag itself (not its staff or ships) is under a pixel.
    combat::TDivision* FlagAt(const QPointF& pixel) const;
    // The division whose flag (or flagship) is under a pixel.
    combat::TDivision* DivisionAt(const QPointF& pixel) const;

    // Paints the whole chart with `painter` over `size` pixels (what the widget paints, and
    // what a picture of the chart is made from).
    void PaintChart(QPainter& painter, const QSize& size);

public slots:
    bool ZoomIn() { return ZoomBy(kZoomInFactor); }
    bool ZoomOut() { return ZoomBy(kZoomOutFactor); }
    // The toolbar's "Zoom out x 5": the altitude doubles.
    bool ZoomOutFar() { return ZoomBy(kZoomOutFarFactor); }
    void Redraw() { update(); }

signals:
    // The centre or altitude changed.
    void ViewChanged();
    // The player zoomed with the wheel (this stops an automatic zoom).
    void WheelZoomed();
    // A click that was not a drag: the pixel, the button and the keys held.
    void ChartClicked(QPointF pixel, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void ChartDoubleClicked(QPointF pixel);
    // The mouse moved over the chart, a button held or not.
    void CursorMoved(QPointF pixel);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    void UpdateProjection(const QSize& size) const;
    // What a paint draws just under the ship layer (with the layers below it), and the ships
    // and everything over them.
    void UnderShips(TChartPainter& chart, const std::vector<const map::TGlobeLayer*>& coastLayers);
    void OverShipLayer(TChartPainter& chart);
    // The division whose flag, grown by `reach` pixels, is under a pixel; the top one.
    combat::TDivision* FlagUnder(const QPointF& pixel, const QMarginsF& reach) const;
    void ViewMoved();
    // Turns the globe so that the position under `from` moves under `to`.
    void DragGlobe(const QPointF& from, const QPointF& to);

    engine::TGameWorld* world_ = nullptr;
    TChartColours colours_;
    QString noWorldText_ = "No scenario open";
    bool showDivisionNames_ = true;
    bool showScale_ = true;
    bool showFireLines_ = false;
    bool keepLayerPictures_ = true;
    bool showCompass_ = true;
    const combat::TDivision* selectedDivision_ = nullptr;
    std::optional<map::TGeoPos> markedPoint_;
    TShipNameMode shipNames_ = snAll;
    TRangeRings rings_;

    map::TGeoPos centre_;
    double altitude_ = 600.0 * 90'000.0;
    mutable TOrthographicProjection projection_;
    mutable QSize projectionSize_;

    std::unique_ptr<TChartCache> cache_;

    Qt::MouseButton pressedButton_ = Qt::NoButton;
    QPointF pressPixel_;
    QPointF lastDragPixel_;
    bool dragging_ = false;
};

} // namespace tarnwake::ui
