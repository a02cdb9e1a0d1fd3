#pragma once

#include <QWidget>

namespace tarnwake::ui {

// The sea chart. Until a scenario is open it shows open sea in the fair-weather colour.
class TChartView : public QWidget {
    Q_OBJECT
public:
    explicit TChartView(QWidget* parent = nullptr);

    QSize sizeHint() const override { return {760, 600}; }

protected:
    void paintEvent(QPaintEvent* event) override;
};

} // namespace tarnwake::ui
