#pragma once

#include <QPolygonF>
#include <QRectF>
#include <vector>

namespace tarnwake::ui {

// Outlines are cut to a rectangle a little larger than the chart before they are drawn:
// close in, a coast runs millions of pixels off the screen, beyond what the painter's
// fixed-point arithmetic can hold.

// The part of a closed polygon inside the rectangle (Sutherland-Hodgman); the cut follows
// the rectangle's edges, which lie off the chart. Empty when nothing is inside.
QPolygonF ClipPolygon(const QPolygonF& polygon, const QRectF& rect);

// The pieces of an open line inside the rectangle (Liang-Barsky on each segment).
std::vector<QPolygonF> ClipPolyline(const QPolygonF& line, const QRectF& rect);

} // namespace tarnwake::ui
