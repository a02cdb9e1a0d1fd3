#include "ui/ChartView.h"

#include "core/Colour.h"

#include <QPainter>

namespace tarnwake::ui {

namespace {
// The fair-weather sea colour a new player's preferences start with ($00FFFF80).
constexpr core::TColor kDefaultWaterColor = 0x00FFFF80;
} // namespace

TChartView::TChartView(QWidget* parent) : QWidget(parent) {
    setObjectName("chart");
    setMinimumSize(320, 240);
}

void TChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const core::TRgb sea = core::ColorToRgb(kDefaultWaterColor);
    painter.fillRect(rect(), QColor(sea.r, sea.g, sea.b));
    painter.setPen(QColor(40, 60, 90));
    painter.drawText(rect(), Qt::AlignCenter, "No scenario open");
}

} // namespace tarnwake::ui
