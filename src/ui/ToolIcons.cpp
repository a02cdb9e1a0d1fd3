#include "ui/ToolIcons.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>
#include <functional>
#include <map>

namespace tarnwake::ui {

namespace {

constexpr int kIconPixels = 24;
const QColor kInk(40, 48, 64);
const QColor kRed(190, 30, 30);
const QColor kBlue(20, 90, 200);
const QColor kGreen(20, 130, 50);

using TGlyph = std::function<void(QPainter&)>;

QPen Ink(const QColor& colour = kInk, double width = 2.0, Qt::PenStyle style = Qt::SolidLine) {
    QPen pen(colour, width, style, Qt::RoundCap, Qt::RoundJoin);
    return pen;
}

void Letters(QPainter& p, const QString& text, int pixels, const QRectF& box) {
    QFont font = p.font();
    font.setPixelSize(pixels);
    font.setBold(true);
    p.setFont(font);
    p.setPen(kInk);
    p.drawText(box, Qt::AlignCenter, text);
}

void Magnifier(QPainter& p, const QString& sign) {
    p.setPen(Ink());
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(10, 10), 7, 7);
    p.drawLine(QPointF(15, 15), QPointF(21, 21));
    Letters(p, sign, 11, QRectF(3, 3, 14, 14));
}

void Padlock(QPainter& p, const QPointF& at, double scale) {
    p.setPen(Ink(kInk, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawArc(QRectF(at.x() - 4 * scale, at.y() - 9 * scale, 8 * scale, 10 * scale), 0, 180 * 16);
    p.setBrush(kInk);
    p.drawRect(QRectF(at.x() - 6 * scale, at.y() - 4 * scale, 12 * scale, 9 * scale));
}

void Play(QPainter& p, double left, double width) {
    p.setPen(Qt::NoPen);
    p.setBrush(kGreen);
    const QPointF tri[] = {{left, 5}, {left + width, 12}, {left, 19}};
    p.drawPolygon(tri, 3);
}

void Ring(QPainter& p, const QColor& colour, Qt::PenStyle style) {
    p.setPen(Ink(colour, 2.0, style));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12, 12), 9, 9);
    p.setBrush(colour);
    p.setPen(Qt::NoPen);
    p.drawEllipse(QPointF(12, 12), 2.5, 2.5);
}

void Hull(QPainter& p, const QRectF& box) {
    QPainterPath hull;
    hull.moveTo(box.left(), box.center().y());
    hull.quadTo(box.left() + box.width() * 0.3, box.top(), box.right(), box.top() + 1);
    hull.lineTo(box.right(), box.bottom() - 1);
    hull.quadTo(box.left() + box.width() * 0.3, box.bottom(), box.left(), box.center().y());
    p.setPen(Ink(kInk, 1.2));
    p.setBrush(QColor(150, 155, 165));
    p.drawPath(hull);
}

void Crosshair(QPainter& p, const QColor& colour) {
    p.setPen(Ink(colour, 1.8));
    p.setBrush(Qt::NoBrush);
    p.drawEllipse(QPointF(12, 12), 7, 7);
    p.drawLine(QPointF(12, 2), QPointF(12, 8));
    p.drawLine(QPointF(12, 16), QPointF(12, 22));
    p.drawLine(QPointF(2, 12), QPointF(8, 12));
    p.drawLine(QPointF(16, 12), QPointF(22, 12));
}

const std::map<QString, TGlyph>& Glyphs() {
    static const std::map<QString, TGlyph> glyphs = {
        {"Zoom in", [](QPainter& p) { Magnifier(p, "+"); }},
        {"Zoom out", [](QPainter& p) { Magnifier(p, "-"); }},
        {"Zoom out x 5", [](QPainter& p) { Magnifier(p, "5"); }},
        {"Lock view to division",
         [](QPainter& p) {
             Crosshair(p, kInk);
             Padlock(p, QPointF(17, 18), 0.6);
         }},
        {"Turn",
         [](QPainter& p) {
             Play(p, 5, 11);
             p.setBrush(kGreen);
             p.drawRect(QRectF(17, 5, 3, 14));
         }},
        {"Run 5 minutes",
         [](QPainter& p) {
             Play(p, 3, 10);
             Letters(p, "5", 12, QRectF(12, 4, 12, 16));
         }},
        {"Run", [](QPainter& p) { Play(p, 6, 13); }},
        {"Pause",
         [](QPainter& p) {
             p.setPen(Qt::NoPen);
             p.setBrush(kRed);
             p.drawRect(QRectF(6, 5, 4, 14));
             p.drawRect(QRectF(14, 5, 4, 14));
         }},
        {"Zoom to view all ships",
         [](QPainter& p) {
             p.setPen(Ink());
             for (const auto& [x, y, dx, dy] :
                  {std::array<double, 4>{3, 3, 1, 1}, std::array<double, 4>{21, 3, -1, 1},
                   std::array<double, 4>{3, 21, 1, -1}, std::array<double, 4>{21, 21, -1, -1}}) {
                 p.drawLine(QPointF(x, y), QPointF(x + 5 * dx, y));
                 p.drawLine(QPointF(x, y), QPointF(x, y + 5 * dy));
             }
             Hull(p, QRectF(7, 9, 10, 6));
         }},
        {"Show sighting ranges", [](QPainter& p) { Ring(p, kBlue, Qt::DotLine); }},
        {"Show gun ranges", [](QPainter& p) { Ring(p, kRed, Qt::DashLine); }},
        {"Show endurance circle", [](QPainter& p) { Ring(p, kGreen, Qt::DashDotLine); }},
        {"Show fire lines",
         [](QPainter& p) {
             p.setPen(Ink(kRed, 2.0, Qt::DashLine));
             p.drawLine(QPointF(3, 20), QPointF(20, 4));
         }},
        {"Show submarines",
         [](QPainter& p) {
             p.setPen(Ink());
             p.drawLine(QPointF(14, 4), QPointF(14, 13));
             p.drawLine(QPointF(14, 4), QPointF(18, 4));
             p.setPen(Ink(kBlue, 1.5));
             p.drawLine(QPointF(2, 15), QPointF(22, 15));
             Hull(p, QRectF(4, 16, 16, 5));
         }},
        {"Show division names",
         [](QPainter& p) {
             p.setPen(Ink(kInk, 1.2));
             p.drawLine(QPointF(4, 21), QPointF(4, 4));
             p.setBrush(kRed);
             p.drawRect(QRectF(4, 4, 7, 5));
             Letters(p, "Ab", 10, QRectF(9, 10, 15, 12));
         }},
        {"Show all objectives",
         [](QPainter& p) {
             p.setPen(Ink(kRed, 1.8));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(12, 12), 9, 9);
             p.drawEllipse(QPointF(12, 12), 5, 5);
             p.setBrush(kRed);
             p.drawEllipse(QPointF(12, 12), 1.5, 1.5);
         }},
        {"Preferences",
         [](QPainter& p) {
             p.setPen(Ink(kInk, 3.0));
             for (int i = 0; i < 8; ++i) {
                 p.save();
                 p.translate(12, 12);
                 p.rotate(i * 45.0);
                 p.drawLine(QPointF(0, 7), QPointF(0, 10));
                 p.restore();
             }
             p.setPen(Ink(kInk, 2.0));
             p.setBrush(Qt::NoBrush);
             p.drawEllipse(QPointF(12, 12), 6, 6);
         }},
        {"End game",
         [](QPainter& p) {
             p.setPen(Ink(kRed, 3.0));
             p.drawLine(QPointF(6, 6), QPointF(18, 18));
             p.drawLine(QPointF(18, 6), QPointF(6, 18));
         }},
        {"Save game",
         [](QPainter& p) {
             p.setPen(Ink(kInk, 1.5));
             p.setBrush(QColor(90, 110, 150));
             p.drawRect(QRectF(4, 4, 16, 16));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(8, 4, 8, 6));
             p.drawRect(QRectF(7, 13, 10, 7));
         }},
        {"All the world's fighting ships",
         [](QPainter& p) {
             p.setPen(Ink(kInk, 1.5));
             p.setBrush(QColor(170, 60, 50));
             p.drawRect(QRectF(5, 3, 14, 18));
             Hull(p, QRectF(7, 10, 10, 4));
         }},
        {"View all log entries",
         [](QPainter& p) {
             p.setPen(Ink(kInk, 1.5));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(5, 3, 14, 18));
             for (int y = 7; y <= 17; y += 4) {
                 p.drawLine(QPointF(8, y), QPointF(16, y));
             }
         }},
        {"Time of sunrise and sunset",
         [](QPainter& p) {
             p.setPen(Ink(QColor(200, 140, 0), 1.8));
             p.setBrush(QColor(250, 190, 40));
             p.drawChord(QRectF(5, 9, 14, 14), 0, 180 * 16);
             for (int i = 0; i <= 4; ++i) {
                 p.save();
                 p.translate(12, 16);
                 p.rotate(-90.0 + (i - 2) * 40.0);
                 p.drawLine(QPointF(10, 0), QPointF(12, 0));
                 p.restore();
             }
             p.setPen(Ink(kBlue, 1.5));
             p.drawLine(QPointF(2, 17), QPointF(22, 17));
         }},
        {"Show track chart (available after the battle)",
         [](QPainter& p) {
             QPainterPath track;
             track.moveTo(3, 20);
             track.cubicTo(8, 4, 14, 22, 21, 5);
             p.setPen(Ink(kBlue, 2.0, Qt::DashLine));
             p.setBrush(Qt::NoBrush);
             p.drawPath(track);
         }},
        {"Show enlarged inset view",
         [](QPainter& p) {
             p.setPen(Ink(kInk, 1.5));
             p.setBrush(Qt::NoBrush);
             p.drawRect(QRectF(3, 3, 18, 18));
             p.setBrush(Qt::white);
             p.drawRect(QRectF(11, 11, 10, 10));
             Hull(p, QRectF(12, 14, 8, 4));
         }},
        {"Emergency activation",
         [](QPainter& p) {
             p.setPen(Ink(kRed, 1.8));
             p.setBrush(QColor(250, 210, 60));
             const QPointF tri[] = {{12, 3}, {22, 20}, {2, 20}};
             p.drawPolygon(tri, 3);
             Letters(p, "!", 12, QRectF(6, 7, 12, 13));
         }},
        {"Pick course from map",
         [](QPainter& p) {
             Crosshair(p, kInk);
             p.setPen(Ink(kGreen, 2.0));
             p.drawLine(QPointF(12, 12), QPointF(20, 4));
         }},
        {"Set division target", [](QPainter& p) { Crosshair(p, kRed); }},
        {"Lock to current ship",
         [](QPainter& p) {
             Hull(p, QRectF(2, 6, 16, 6));
             Padlock(p, QPointF(17, 18), 0.6);
         }},
    };
    return glyphs;
}

} // namespace

QIcon ToolIcon(const QString& hint) {
    const auto it = Glyphs().find(hint);
    if (it == Glyphs().end()) {
        return {};
    }
    QPixmap pixmap(kIconPixels, kIconPixels);
    pixmap.fill(Qt::transparent);
    QPainter painter(&pixmap);
    painter.setRenderHint(QPainter::Antialiasing, true);
    it->second(painter);
    painter.end();
    return QIcon(pixmap);
}

} // namespace tarnwake::ui
