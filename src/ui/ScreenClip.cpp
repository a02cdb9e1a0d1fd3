#include "ui/ScreenClip.h"

#include <algorithm>
#include <utility>

namespace tarnwake::ui {

namespace {

enum class TEdge { Left, Right, Top, Bottom };

bool Inside(const QPointF& p, TEdge edge, const QRectF& r) {
    switch (edge) {
    case TEdge::Left:
        return p.x() >= r.left();
    case TEdge::Right:
        return p.x() <= r.right();
    case TEdge::Top:
        return p.y() >= r.top();
    case TEdge::Bottom:
        return p.y() <= r.bottom();
    }
    return true;
}

QPointF Crossing(const QPointF& a, const QPointF& b, TEdge edge, const QRectF& r) {
    const double dx = b.x() - a.x();
    const double dy = b.y() - a.y();
    switch (edge) {
    case TEdge::Left:
    case TEdge::Right: {
        const double x = edge == TEdge::Left ? r.left() : r.right();
        const double t = dx != 0.0 ? (x - a.x()) / dx : 0.0;
        return {x, a.y() + t * dy};
    }
    case TEdge::Top:
    case TEdge::Bottom: {
        const double y = edge == TEdge::Top ? r.top() : r.bottom();
        const double t = dy != 0.0 ? (y - a.y()) / dy : 0.0;
        return {a.x() + t * dx, y};
    }
    }
    return a;
}

} // namespace

QPolygonF ClipPolygon(const QPolygonF& polygon, const QRectF& rect) {
    QPolygonF current = polygon;
    QPolygonF next;
    for (TEdge edge : {TEdge::Left, TEdge::Right, TEdge::Top, TEdge::Bottom}) {
        if (current.isEmpty()) {
            break;
        }
        next.clear();
        next.reserve(current.size() + 4);
        QPointF previous = current.back();
        bool previousInside = Inside(previous, edge, rect);
        for (const QPointF& p : current) {
            const bool inside = Inside(p, edge, rect);
            if (inside != previousInside) {
                next.append(Crossing(previous, p, edge, rect));
            }
            if (inside) {
                next.append(p);
            }
            previous = p;
            previousInside = inside;
        }
        std::swap(current, next);
    }
    return current;
}

std::vector<QPolygonF> ClipPolyline(const QPolygonF& line, const QRectF& rect) {
    std::vector<QPolygonF> pieces;
    QPolygonF piece;
    const auto flush = [&] {
        if (piece.size() >= 2) {
            pieces.push_back(piece);
        }
        piece.clear();
    };
    for (qsizetype i = 1; i < line.size(); ++i) {
        const QPointF a = line[i - 1];
        const QPointF b = line[i];
        const double dx = b.x() - a.x();
        const double dy = b.y() - a.y();
        double t0 = 0.0;
        double t1 = 1.0;
        bool visible = true;
        const auto cut = [&](double p, double q) {
            if (p == 0.0) {
                visible = visible && q >= 0.0;
                return;
            }
            const double t = q / p;
            if (p < 0.0) {
                t0 = std::max(t0, t);
            } else {
                t1 = std::min(t1, t);
            }
        };
        cut(-dx, a.x() - rect.left());
        cut(dx, rect.right() - a.x());
        cut(-dy, a.y() - rect.top());
        cut(dy, rect.bottom() - a.y());
        if (!visible || t0 > t1) {
            flush();
            continue;
        }
        const QPointF from(a.x() + t0 * dx, a.y() + t0 * dy);
        const QPointF to(a.x() + t1 * dx, a.y() + t1 * dy);
        if (piece.isEmpty() || piece.back() != from) {
            flush();
            piece.append(from);
        }
        piece.append(to);
        if (t1 < 1.0) {
            flush();
        }
    }
    flush();
    return pieces;
}

} // namespace tarnwake::ui
