#pragma once

#include "ui/QtPlatform.h"

#include <QMainWindow>
#include <array>

class QLabel;
class QTabWidget;

namespace tarnwake::engine {
class TGameWorld;
}

namespace tarnwake::ui {

class TChartView;

// The main window: the chart, the side panel with its four tabs and the status bar.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    static constexpr int kStatusPanelCount = 7;

    explicit TfrmMain(QWidget* parent = nullptr);

    TChartView* Chart() const { return chart_; }
    // Shows a loaded world on the chart (nullptr: none); the world must outlive the window
    // or be replaced first.
    void SetWorld(engine::TGameWorld* world);
    engine::TGameWorld* World() const { return world_; }
    QTabWidget* SidePanel() const { return sidePanel_; }
    QLabel* StatusPanel(int index) const;
    void SetStatusText(int index, const QString& text);

    core::IMessages& Messages() { return messages_; }
    core::ISound& Sound() { return sound_; }

private:
    TChartView* chart_ = nullptr;
    engine::TGameWorld* world_ = nullptr;
    QTabWidget* sidePanel_ = nullptr;
    std::array<QLabel*, kStatusPanelCount> statusPanels_{};
    TQtMessages messages_;
    TQtSound sound_;
};

} // namespace tarnwake::ui
