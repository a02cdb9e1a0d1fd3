// The chart's marks of the fighting: daylight, splashes, hits, fires, wrecks, torpedoes and the
// wind. Each is a method of the chart painter, drawn from the battle scene the chart cache
// keeps (built once a minute) and from the ships as they stand.

#include "combat/FightingShip.h"
#include "combat/Visibility.h"
#include "engine/GameWorld.h"
#include "engine/Torpedo.h"
#include "map/Geometry.h"
#include "scenario/Environment.h"
#include "ui/ChartPainter.h"

#include <QPainter>
#include <QPainterPath>
#include <QRadialGradient>
#include <algorithm>
#include <cmath>
#include <numbers>

namespace tarnwake::ui {

namespace {

constexpr double kDegree = std::numbers::pi / 180.0;

// The shade over the chart: one cell of the screen a pixel of the shade picture.
constexpr int kDaylightCellPixels = 24;
constexpr QColor kTwilightShade{25, 35, 80, 60};
constexpr QColor kNightShade{8, 12, 40, 125};

// A splash stands about five yards across for each inch of the shell; on the chart never
// smaller than a dot, never larger than a blot.
constexpr double kSplashYardsPerInch = 5.0;
constexpr double kSmallestSplash = 1.6;
constexpr double kLargestSplash = 7.0;
constexpr QColor kSplashColour{250, 252, 255, 230};
constexpr QColor kSplashEdge{90, 130, 170, 200};

// A hit flashes for the first half of the minute after it, then is gone.
constexpr double kFlashShare = 0.5;
constexpr double kFlashBase = 4.0;
constexpr double kFlashPerInch = 0.5;
constexpr double kFlashPerHit = 1.0;
constexpr double kExplosionScale = 3.0;
constexpr int kFlashRays = 8;
constexpr QColor kFlashCore{255, 245, 160};
constexpr QColor kFlashEdge{235, 110, 20};

// Fires: a glow that grows with the fire's level, from a smoulder to a blaze.
constexpr double kFireBase = 3.0;
constexpr double kFirePerLevel = 1.6;
constexpr int kFirstVisibleFire = 2; // level 1 is no fire worth the name

constexpr double kTorpedoHeadPixels = 2.6;
constexpr QColor kTurnAwayColour{255, 215, 0};

// The wreck symbol: a bar with three masts, as the charts mark a wreck.
constexpr double kWreckHalfWidth = 7.0;
constexpr double kWreckMast = 4.0;
constexpr int kWreckLabelPixels = 11;
constexpr QColor kWreckColour{25, 25, 30};

constexpr double kGaugeRadius = 20.0;
constexpr double kGaugeFromRight = 36.0;
constexpr double kGaugeTop = 96.0;
constexpr int kGaugeTextPixels = 11;

QPointF At(const TScreenPoint& p) {
    return {p.x, p.y};
}

// A star of `rays` points between two radii, for flashes.
QPolygonF Burst(const QPointF& c, double outer, double inner, int rays) {
    QPolygonF star;
    for (int i = 0; i < 2 * rays; ++i) {
        const double a = i * std::numbers::pi / rays;
        const double r = i % 2 == 0 ? outer : inner;
        star.append(c + QPointF(std::sin(a), -std::cos(a)) * r);
    }
    return star;
}

// The splash of a radius (to the half pixel), drawn the first time it is asked for.
const QPixmap& SplashSprite(TBattleScene& scene, double radius) {
    const int halves =
        std::clamp(static_cast<int>(std::lround(radius * 2)), 1, TBattleScene::kSplashSizes - 1);
    QPixmap& sprite = scene.splashSprites[static_cast<std::size_t>(halves)];
    if (sprite.isNull()) {
        const double r = halves / 2.0;
        const int side = static_cast<int>(std::ceil(2 * r)) + 3;
        sprite = QPixmap(side, side);
        sprite.fill(Qt::transparent);
        QPainter p(&sprite);
        p.setRenderHint(QPainter::Antialiasing, true);
        p.setPen(QPen(kSplashEdge, 0.8));
        p.setBrush(kSplashColour);
        p.drawEllipse(QPointF(side / 2.0, side / 2.0), r, r);
    }
    return sprite;
}

} // namespace

void TChartPainter::Daylight(const engine::TGameWorld& world) {
    TBattleScene& scene = cache_.battle;
    scene.Update(world);
    const int cols = size_.width() / kDaylightCellPixels + 2;
    const int rows = size_.height() / kDaylightCellPixels + 2;
    if (scene.daylightView != cache_.viewGeneration || scene.daylight.width() != cols ||
        scene.daylight.height() != rows) {
        scene.daylight = QImage(cols, rows, QImage::Format_ARGB32_Premultiplied);
        scene.daylight.fill(Qt::transparent);
        const combat::TSunPoint sun = combat::SubSolarPoint(world.Clock);
        bool any = false;
        for (int y = 0; y < rows; ++y) {
            for (int x = 0; x < cols; ++x) {
                const auto p =
                    projection_.Unproject(x * kDaylightCellPixels, y * kDaylightCellPixels);
                if (!p) {
                    continue;
                }
                const int light = combat::LightCondition(map::SpherePoint(*p), sun);
                if (light == combat::kLightDay) {
                    continue;
                }
                const QColor shade = light == combat::kLightNight ? kNightShade : kTwilightShade;
                scene.daylight.setPixelColor(x, y, shade);
                any = true;
            }
        }
        if (!any) {
            scene.daylight = QImage(cols, rows, QImage::Format_ARGB32_Premultiplied);
            scene.daylight.fill(Qt::transparent);
        }
        scene.daylightView = cache_.viewGeneration;
        scene.daylightCell = any ? kDaylightCellPixels : 0;
    }
    if (scene.daylightCell == 0) {
        return; // broad day everywhere
    }
    // Each shade pixel stands at a cell's corner: stretched and smoothed, the edge of the night
    // runs soft across the chart as the terminator does.
    const double half = kDaylightCellPixels / 2.0;
    painter_.save();
    painter_.setRenderHint(QPainter::SmoothPixmapTransform, true);
    painter_.drawImage(QRectF(-half, -half, cols * kDaylightCellPixels, rows * kDaylightCellPixels),
                       scene.daylight);
    painter_.restore();
}

void TChartPainter::BattleUnderShips(const engine::TGameWorld& world) {
    TBattleScene& scene = cache_.battle;
    scene.Update(world);

    painter_.setPen(QPen(kWreckColour, 1.4));
    QFont font = painter_.font();
    font.setPixelSize(kWreckLabelPixels);
    font.setItalic(true);
    for (const TBattleScene::TWreck& wreck : scene.wrecks) {
        const TScreenPoint p = projection_.Project(wreck.at);
        if (!p.visible || !guard_.contains(At(p))) {
            continue;
        }
        const QPointF c = At(p);
        painter_.setPen(QPen(kWreckColour, 1.4));
        painter_.drawLine(c - QPointF(kWreckHalfWidth, 0), c + QPointF(kWreckHalfWidth, 0));
        for (double x : {-kWreckHalfWidth / 2, 0.0, kWreckHalfWidth / 2}) {
            painter_.drawLine(c + QPointF(x, -kWreckMast), c + QPointF(x, kWreckMast));
        }
        const QPointF baseline = c + QPointF(kWreckHalfWidth + 3, kWreckMast + kWreckLabelPixels);
        const QRectF box(baseline - QPointF(0, kWreckLabelPixels),
                         QSizeF(cache_.Text(wreck.label, font).width, kWreckLabelPixels + 2));
        if (PlaceLabel(box)) {
            Text(baseline, wreck.label, font);
        }
    }

    const double pixelsPerYard = SizeInPixels(1.0, map::TGlobeUnitTypes::Yard);
    for (const TBattleScene::TSplash& splash : scene.splashes) {
        const TScreenPoint p = projection_.Project(splash.at);
        if (!p.visible || !guard_.contains(At(p))) {
            continue;
        }
        const double r = std::clamp(splash.calibre * kSplashYardsPerInch / 2 * pixelsPerYard,
                                    kSmallestSplash, kLargestSplash);
        const QPixmap& sprite = SplashSprite(scene, r);
        painter_.drawPixmap(At(p) - QPointF(sprite.width(), sprite.height()) / 2.0, sprite);
    }
}

void TChartPainter::BattleOverShips(const engine::TGameWorld& world) {
    TBattleScene& scene = cache_.battle;
    scene.Update(world);
    const auto frameOf = [this, &world](combat::TShipId id) -> std::optional<TShipFrame> {
        const combat::TFightingShip* ship = world.FindShip(id);
        if (ship == nullptr || ship->Marker == nullptr) {
            return std::nullopt;
        }
        return ShipFrame(*ship, projection_);
    };

    for (const TBattleScene::TStraddle& straddle : scene.straddles) {
        const auto frame = frameOf(straddle.target);
        const auto colour = FlagColour(straddle.side);
        if (!frame || !colour || !guard_.contains(frame->at)) {
            continue;
        }
        QPen ring(ToQColor(*colour, 210), 1.3, Qt::DashLine);
        painter_.setPen(ring);
        painter_.setBrush(Qt::NoBrush);
        const double r = frame->lengthPixels * 0.6 + kFlashBase;
        painter_.drawEllipse(frame->at, r, r);
    }

    // The flash of a hit lasts through the first half of the next minute's motion (and while
    // the clock stands).
    const int steps = engine::GameSpeed(world.SpeedIndex).SubStepsPerMinute();
    const bool flashing = world.SubStepsLeft == 0 || world.SubStepsLeft > steps * kFlashShare;
    if (flashing) {
        for (const TBattleScene::TFlash& flash : scene.flashes) {
            const TScreenPoint p = projection_.Project(flash.at);
            if (!p.visible || !guard_.contains(At(p))) {
                continue;
            }
            double outer = kFlashBase + flash.calibre * kFlashPerInch + flash.hits * kFlashPerHit;
            if (flash.blewUp) {
                outer *= kExplosionScale;
            }
            painter_.setPen(QPen(kFlashEdge, 1.2));
            painter_.setBrush(kFlashCore);
            painter_.drawPolygon(Burst(At(p), outer, outer * 0.45, kFlashRays));
        }
    }

    for (const auto& owned : world.Ships) {
        const combat::TFightingShip& ship = *owned;
        if (ship.Marker == nullptr || ship.Marker->Hidden()) {
            continue;
        }
        const bool burning = ship.FireLevel >= kFirstVisibleFire;
        const bool turning = ship.AvoidedTorpedoesMinute >= 0 &&
                             ship.AvoidedTorpedoesMinute >= world.TimeElapsed - 1;
        if (!burning && !turning) {
            continue;
        }
        const auto frame = ShipFrame(ship, projection_);
        if (!frame || !guard_.contains(frame->at)) {
            continue;
        }
        if (burning) {
            const double r = kFireBase + ship.FireLevel * kFirePerLevel;
            QRadialGradient glow(frame->at, r);
            glow.setColorAt(0.0, QColor(255, 230, 120, 240));
            glow.setColorAt(0.45, QColor(250, 120, 20, 200));
            glow.setColorAt(1.0, QColor(200, 30, 0, 0));
            painter_.setPen(Qt::NoPen);
            painter_.setBrush(glow);
            painter_.drawEllipse(frame->at, r, r);
        }
        if (turning) {
            // A hooked arrow from the bow towards the side she turns to, combing the tracks.
            const double side = ship.Turn < 0 ? -1.0 : 1.0;
            const double heading = ship.CourseMilli() / 1000.0 * kDegree;
            const QPointF ahead(std::sin(heading), -std::cos(heading));
            const QPointF abeam(-ahead.y() * side, ahead.x() * side);
            const double reach = std::max(frame->lengthPixels * 0.6, 10.0);
            const QPointF bow = frame->at + ahead * (frame->lengthPixels / 2);
            const QPointF tip = bow + ahead * (reach * 0.5) + abeam * reach;
            QPainterPath hook(bow);
            hook.quadTo(bow + ahead * reach, tip);
            painter_.setPen(QPen(kTurnAwayColour, 2.0));
            painter_.setBrush(Qt::NoBrush);
            painter_.drawPath(hook);
            const QPointF back = (tip - (bow + ahead * reach)) / reach;
            const QPointF across(-back.y(), back.x());
            painter_.setBrush(kTurnAwayColour);
            const QPointF head[] = {tip + back * 4.0, tip - back * 2.0 + across * 4.0,
                                    tip - back * 2.0 - across * 4.0};
            painter_.drawPolygon(head, 3);
        }
    }

    painter_.setPen(QPen(QColor(20, 20, 20), 1.0));
    painter_.setBrush(Qt::white);
    for (const auto& torpedo : world.Torpedoes) {
        if (torpedo->Marker == nullptr || torpedo->Marker->Hidden()) {
            continue;
        }
        const TScreenPoint p = projection_.Project(torpedo->Position());
        if (p.visible && guard_.contains(At(p))) {
            painter_.drawEllipse(At(p), kTorpedoHeadPixels, kTorpedoHeadPixels);
        }
    }
}

void TChartPainter::WindGauge(const engine::TGameWorld& world) {
    const engine::TEnvironmentState& env = world.Environment;
    const QPointF c(size_.width() - kGaugeFromRight, kGaugeTop);
    painter_.setPen(QPen(QColor(40, 40, 40), 1));
    painter_.setBrush(QColor(255, 255, 255, 170));
    painter_.drawEllipse(c, kGaugeRadius, kGaugeRadius);

    // The staff points where the wind comes from, its feathers on that end: a full feather for
    // two forces of the scale, a half for one; the arrowhead shows where it blows.
    const double to = env.WindDirection * kDegree;
    const QPointF downwind(std::sin(to), -std::cos(to));
    const QPointF upwindEnd = c - downwind * (kGaugeRadius - 3);
    const QPointF arrowTip = c + downwind * (kGaugeRadius - 3);
    painter_.setPen(QPen(QColor(20, 40, 90), 2));
    painter_.drawLine(upwindEnd, arrowTip);
    const QPointF across(-downwind.y(), downwind.x());
    painter_.setBrush(QColor(20, 40, 90));
    const QPointF head[] = {arrowTip, arrowTip - downwind * 6 + across * 3.5,
                            arrowTip - downwind * 6 - across * 3.5};
    painter_.drawPolygon(head, 3);
    int force = env.WindForce;
    QPointF foot = upwindEnd;
    while (force > 0) {
        const double length = force >= 2 ? 9.0 : 5.0;
        painter_.drawLine(foot, foot + (across - downwind * 0.5) * length);
        foot += downwind * 3.5;
        force -= 2;
    }

    // The light where the chart is centred.
    const auto centre = projection_.Unproject(size_.width() / 2.0, size_.height() / 2.0);
    const int light = centre ? combat::LightCondition(*centre, world.Clock) : combat::kLightDay;
    QFont font = painter_.font();
    font.setPixelSize(kGaugeTextPixels);
    font.setBold(false);
    const QString lines[] = {
        QString("Wind force %1").arg(env.WindForce),
        QString("from ") +
            QString::fromStdString(scenario::CompassText(map::AddBearing(env.WindDirection, 180))),
        QString::fromStdString(scenario::WeatherText(env.Weather)), LightText(light)};
    double y = c.y() + kGaugeRadius + kGaugeTextPixels + 2;
    for (const QString& line : lines) {
        const double w = cache_.Text(line, font).width;
        // Centred under the gauge, but never past the chart's edge.
        constexpr double kEdgeGap = 4.0;
        const QPointF baseline(std::min(c.x() - w / 2, size_.width() - w - kEdgeGap), y);
        painter_.setPen(QColor(255, 255, 255, 200));
        for (const QPointF& d : {QPointF(-1, 0), QPointF(1, 0), QPointF(0, -1), QPointF(0, 1)}) {
            Text(baseline + d, line, font);
        }
        painter_.setPen(QColor(20, 30, 50));
        Text(baseline, line, font);
        y += kGaugeTextPixels + 2;
    }
}

} // namespace tarnwake::ui
