#include "ui/ShipPlan.h"

#include "combat/FightingShip.h"
#include "combat/HitEffects.h"
#include "designs/Ship.h"
#include "ui/ShipOutline.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>

namespace tarnwake::ui {

namespace {

using combat::TFightingShip;

constexpr int kMargin = 14;
constexpr int kCaptionPixels = 12;
constexpr int kLegendPixels = 10;
// The profile's heights, as shares of the beam: freeboard, superstructure and funnels.
constexpr double kFreeboard = 0.28;
constexpr double kDraught = 0.32;
constexpr double kBridgeHeight = 0.55;
constexpr double kFunnelHeight = 0.75;
constexpr double kTurretHeight = 0.16;
constexpr double kTurretLength = 0.5; // of the beam
constexpr QColor kPaper{246, 241, 226};
constexpr QColor kInk{35, 35, 40};
constexpr QColor kHullShade{200, 200, 195};
constexpr QColor kDeckShade{222, 218, 205};
constexpr QColor kWaterline{60, 110, 170};
constexpr QColor kDestroyed{200, 20, 20};
constexpr QColor kSilenced{230, 140, 0};
constexpr QColor kShellHit{210, 30, 30};
constexpr QColor kUnderwaterHit{20, 60, 160};

bool FromForward(int bearing) {
    return bearing < 90 || bearing > 270;
}

double TurretGuns(const designs::TFightingTurret& turret) {
    return std::max(1, turret.Guns);
}

// Turrets marked for their state: red cross destroyed, amber ring silenced.
void TurretState(QPainter& p, const designs::TFightingTurret& turret, const QPointF& c, double r) {
    if (turret.Destroyed) {
        p.setPen(QPen(kDestroyed, 2.5));
        p.drawLine(c + QPointF(-r, -r), c + QPointF(r, r));
        p.drawLine(c + QPointF(-r, r), c + QPointF(r, -r));
    } else if (turret.Silenced > 0) {
        p.setPen(QPen(kSilenced, 2.5));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, r * 1.3, r * 1.3);
    }
}

void HitMark(QPainter& p, const QPointF& c, const TPlanHit& hit) {
    constexpr double kRadius = 3.5;
    if (hit.nearMiss) {
        p.setPen(QPen(kShellHit, 1.2, Qt::DotLine));
        p.setBrush(Qt::NoBrush);
        p.drawEllipse(c, kRadius, kRadius);
        return;
    }
    p.setPen(QPen(kInk, 0.8));
    p.setBrush(hit.belowWater ? kUnderwaterHit : kShellHit);
    p.drawEllipse(c, hit.belowWater ? kRadius * 1.4 : kRadius,
                  hit.belowWater ? kRadius * 1.4 : kRadius);
}

} // namespace

TPlanHit PlanHitPlace(const TFightingShip& ship, int index) {
    const TShipSize size = DrawingSize(ship);
    const TFightingShip::THitMark& mark = ship.HitMarks[static_cast<std::size_t>(index)];
    TPlanHit hit;
    const bool forward = FromForward(mark.Bearing);
    const double side = mark.Bearing < 180 ? 1.0 : -1.0;
    // Hits are spread a little along the hull by their order, so that many do not stack.
    const double spread = ((index * 37) % 11 - 5) / 5.0 * 0.06 * size.length;
    double along = spread;
    double across = side * size.beam * 0.3;
    switch (mark.Location) {
    case combat::kTurretHit: {
        // The turret nearest the end the shell came from.
        double best = forward ? -1e9 : 1e9;
        for (const designs::TFightingTurret& turret : ship.Turrets) {
            if (const auto place = TurretPlace(turret.Pos, size)) {
                best = forward ? std::max(best, place->forward) : std::min(best, place->forward);
            }
        }
        along = std::abs(best) < size.length ? best : spread;
        across = side * size.beam * 0.12;
        break;
    }
    case combat::kNearMiss:
        hit.nearMiss = true;
        across = side * size.beam * 0.85;
        break;
    case combat::kHullEndsHit:
    case combat::kForeAftHullHit:
        along = (forward ? 0.38 : -0.38) * size.length + spread / 3;
        across = side * size.beam * 0.2;
        break;
    case combat::kSuperstructureHit:
    case combat::kSuperstructurePassthrough:
        along = 0.18 * size.length + spread / 2;
        across = side * size.beam * 0.1;
        break;
    case combat::kLowerHullHit:
        hit.belowWater = true;
        break;
    case TFightingShip::THitMark::kBelowWaterline:
        hit.belowWater = true;
        across = side * size.beam * 0.45;
        break;
    default: // belt, engine rooms, secondary battery, critical
        break;
    }
    hit.forward = along;
    hit.starboard = across;
    return hit;
}

QImage ShipPlanPicture(const TFightingShip& ship, const QSize& size) {
    QImage picture(size, QImage::Format_RGB32);
    picture.fill(kPaper);
    QPainter p(&picture);
    p.setRenderHint(QPainter::Antialiasing, true);
    const TShipSize ship_ = DrawingSize(ship);

    QFont caption = p.font();
    caption.setPixelSize(kCaptionPixels);
    caption.setBold(true);
    p.setFont(caption);
    p.setPen(kInk);
    p.drawText(QRectF(kMargin, 4, size.width() - 2 * kMargin, kCaptionPixels + 4),
               Qt::AlignLeft | Qt::AlignVCenter, QString::fromStdString(ship.Classname + " class"));
    QFont small = caption;
    small.setBold(false);
    small.setPixelSize(kLegendPixels);
    p.setFont(small);
    p.drawText(QRectF(kMargin, 4, size.width() - 2 * kMargin, kCaptionPixels + 4),
               Qt::AlignRight | Qt::AlignVCenter,
               QString("%1 ft x %2 ft").arg(ship_.length).arg(ship_.beam));

    // One scale for both views: the hull's length across the picture.
    const double scale = (size.width() - 2.0 * kMargin) / ship_.length;
    const double beamPixels = ship_.beam * scale;
    const double profileWater = kCaptionPixels + 14 + beamPixels * (kFunnelHeight + kFreeboard);
    const double planCentre = profileWater + beamPixels * kDraught + 10 + beamPixels * 0.6;
    const double cx = size.width() / 2.0;
    // Plan: forward to the right, starboard down (as the ship is seen from above, bow right).
    const auto plan = [&](double forward, double starboard) {
        return QPointF(cx + forward * scale, planCentre + starboard * scale);
    };
    const auto profile = [&](double forward, double height) {
        return QPointF(cx + forward * scale, profileWater - height * scale);
    };

    // ---- Profile
    const double half = ship_.length / 2;
    QPainterPath hull;
    hull.moveTo(profile(half, ship_.beam * kFreeboard * 1.3)); // the stem, with some sheer
    hull.lineTo(profile(half * 0.96, -ship_.beam * kDraught));
    hull.lineTo(profile(-half * 0.92, -ship_.beam * kDraught));
    hull.quadTo(profile(-half, -ship_.beam * kDraught * 0.2),
                profile(-half, ship_.beam * kFreeboard));
    hull.lineTo(profile(half, ship_.beam * kFreeboard * 1.3));
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kHullShade);
    p.drawPath(hull);
    p.setPen(QPen(kWaterline, 1.0, Qt::DashLine));
    p.drawLine(profile(-half * 1.02, 0), profile(half * 1.02, 0));

    // The bridge and deckhouses: over the spread of the superstructure outlines.
    double front = -1e9;
    double back = 1e9;
    for (int i = 0; i < designs::kOutlineCount; ++i) {
        for (const TShipPoint& point : SuperstructureOutline(ship, i)) {
            front = std::max(front, point.forward);
            back = std::min(back, point.forward);
        }
    }
    const double deck = ship_.beam * kFreeboard;
    if (front > back) {
        p.setPen(QPen(kInk, 1.0));
        p.setBrush(kDeckShade);
        p.drawRect(
            QRectF(profile(back, deck + ship_.beam * kBridgeHeight * 0.5), profile(front, deck)));
        p.drawRect(QRectF(profile(front - (front - back) * 0.2, deck + ship_.beam * kBridgeHeight),
                          profile(front, deck + ship_.beam * kBridgeHeight * 0.5)));
    }
    const double funnelWidth = ship_.beam * 0.14;
    p.setBrush(QColor(70, 70, 70));
    for (const designs::TFunnel& funnel : ship.Funnels) {
        if (funnel.Position <= 0) {
            continue;
        }
        const double at = FunnelPlace(funnel, ship_).forward;
        const double wide = funnel.Oval ? funnelWidth * 1.5 : funnelWidth;
        p.drawRect(QRectF(profile(at - wide / 2, deck + ship_.beam * kFunnelHeight),
                          profile(at + wide / 2, deck)));
    }
    for (const designs::TFightingTurret& turret : ship.Turrets) {
        const auto place = TurretPlace(turret.Pos, ship_);
        if (!place) {
            continue;
        }
        const double l = ship_.beam * kTurretLength / 2;
        const double h = ship_.beam * kTurretHeight;
        const bool facesAft = place->forward < 0;
        p.setPen(QPen(kInk, 1.0));
        p.setBrush(kDeckShade.darker(115));
        p.drawRect(
            QRectF(profile(place->forward - l, deck + h), profile(place->forward + l, deck)));
        p.setPen(QPen(kInk, 1.6));
        const double muzzle = (facesAft ? -1 : 1) * l * 2.2;
        p.drawLine(profile(place->forward, deck + h * 0.6),
                   profile(place->forward + muzzle, deck + h * 0.6));
        TurretState(p, turret, profile(place->forward, deck + h / 2), l * scale);
    }

    // ---- Plan
    QPolygonF outline;
    for (const TShipPoint& point : HullOutline(ship_)) {
        outline.append(plan(point.forward, point.starboard));
    }
    p.setPen(QPen(kInk, 1.2));
    p.setBrush(kDeckShade);
    p.drawPolygon(outline);
    p.setBrush(kDeckShade.darker(110));
    for (int i = 0; i < designs::kOutlineCount; ++i) {
        const std::vector<TShipPoint> points = SuperstructureOutline(ship, i);
        if (points.size() < 2) {
            continue;
        }
        QPolygonF shape;
        for (const TShipPoint& point : points) {
            shape.append(plan(point.forward, point.starboard));
        }
        if (ship.IsLine[static_cast<std::size_t>(i)]) {
            p.drawPolyline(shape);
        } else {
            p.drawPolygon(shape);
        }
    }
    p.setBrush(QColor(70, 70, 70));
    for (const designs::TFunnel& funnel : ship.Funnels) {
        if (funnel.Position <= 0) {
            continue;
        }
        const TShipPoint at = FunnelPlace(funnel, ship_);
        const double wide = funnel.Oval ? funnelWidth * 1.5 : funnelWidth;
        p.drawEllipse(plan(at.forward, at.starboard), wide / 2 * scale, funnelWidth / 2 * scale);
    }
    const double turretRadius = ship_.beam * 0.2;
    for (const designs::TFightingTurret& turret : ship.Turrets) {
        const auto place = TurretPlace(turret.Pos, ship_);
        if (!place) {
            continue;
        }
        const QPointF c = plan(place->forward, place->starboard);
        const bool facesAft = place->forward < 0;
        // One barrel drawn for each gun of the turret.
        const double guns = TurretGuns(turret);
        p.setPen(QPen(kInk, 1.4));
        for (int g = 0; g < turret.Guns; ++g) {
            const double offset = (g - (guns - 1) / 2) * turretRadius * 0.45 * scale;
            const QPointF start = c + QPointF(0, offset);
            p.drawLine(start, start + QPointF((facesAft ? -1 : 1) * turretRadius * 2.2 * scale, 0));
        }
        p.setPen(QPen(kInk, 1.0));
        p.setBrush(kDeckShade.darker(125));
        p.drawEllipse(c, turretRadius * scale, turretRadius * scale);
        TurretState(p, turret, c, turretRadius * scale);
    }

    // ---- Damage
    for (int i = 0; i < static_cast<int>(ship.HitMarks.size()); ++i) {
        const TPlanHit hit = PlanHitPlace(ship, i);
        HitMark(p, plan(hit.forward, hit.starboard), hit);
        const double height = hit.belowWater ? -ship_.beam * kDraught * 0.6
                              : hit.nearMiss ? -ship_.beam * 0.05
                                             : ship_.beam * kFreeboard * 0.5;
        HitMark(p, profile(hit.forward, height), hit);
    }

    // ---- Legend
    p.setFont(small);
    double x = kMargin;
    const double y = size.height() - kMargin;
    // Each key is the mark itself, drawn as on the ship.
    constexpr double kKeyRadius = 3.5;
    const auto key = [&](const QString& text, const auto& mark) {
        mark(QPointF(x + kKeyRadius + 1, y - kKeyRadius - 0.5));
        p.setPen(kInk);
        p.drawText(QPointF(x + 3 * kKeyRadius + 1, y), text);
        x += 4 * kKeyRadius + 2 + p.fontMetrics().horizontalAdvance(text);
    };
    key("Shell hit", [&](const QPointF& c) { HitMark(p, c, TPlanHit{}); });
    key("Torpedo or mine", [&](const QPointF& c) { HitMark(p, c, TPlanHit{0, 0, true, false}); });
    designs::TFightingTurret destroyed;
    destroyed.Destroyed = true;
    key("Turret destroyed", [&](const QPointF& c) { TurretState(p, destroyed, c, kKeyRadius); });
    designs::TFightingTurret silenced;
    silenced.Silenced = 1;
    key("Silenced", [&](const QPointF& c) { TurretState(p, silenced, c, kKeyRadius); });
    return picture;
}

} // namespace tarnwake::ui
