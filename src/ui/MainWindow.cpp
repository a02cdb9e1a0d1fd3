#include "ui/MainWindow.h"

#include "ui/ChartView.h"

#include <QLabel>
#include <QListWidget>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace tarnwake::ui {

namespace {
// The default main-window size of a new player's preferences.
constexpr int kDefaultWidth = 1000;
constexpr int kDefaultHeight = 719;
constexpr int kSidePanelWidth = 260;
} // namespace

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent), messages_(this) {
    setWindowTitle("Tarnwake");
    resize(kDefaultWidth, kDefaultHeight);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    chart_ = new TChartView(splitter);

    sidePanel_ = new QTabWidget(splitter);
    sidePanel_->setObjectName("sidePanel");
    auto* tree = new QTreeWidget;
    tree->setObjectName("obTree");
    tree->setHeaderHidden(true);
    sidePanel_->addTab(tree, "OB");
    auto* log = new QTextEdit;
    log->setObjectName("log");
    log->setReadOnly(true);
    sidePanel_->addTab(log, "Log");
    auto* reports = new QListWidget;
    reports->setObjectName("reports");
    sidePanel_->addTab(reports, "Reports");
    auto* objectivesPage = new QWidget;
    auto* objectivesLayout = new QVBoxLayout(objectivesPage);
    auto* objectives = new QListWidget;
    objectives->setObjectName("objectives");
    auto* briefing = new QTextEdit;
    briefing->setObjectName("briefing");
    briefing->setReadOnly(true);
    objectivesLayout->addWidget(objectives);
    objectivesLayout->addWidget(briefing);
    sidePanel_->addTab(objectivesPage, "Objectives");

    splitter->addWidget(chart_);
    splitter->addWidget(sidePanel_);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setSizes({kDefaultWidth - kSidePanelWidth, kSidePanelWidth});
    setCentralWidget(splitter);

    for (int i = 0; i < kStatusPanelCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QString("statusPanel%1").arg(i));
        label->setFrameShape(QFrame::StyledPanel);
        label->setMinimumWidth(60);
        statusBar()->addWidget(label, i == 0 ? 2 : 1);
        statusPanels_[static_cast<std::size_t>(i)] = label;
    }
    SetStatusText(0, "No scenario open");
}

QLabel* TfrmMain::StatusPanel(int index) const {
    if (index < 0 || index >= kStatusPanelCount) {
        return nullptr;
    }
    return statusPanels_[static_cast<std::size_t>(index)];
}

void TfrmMain::SetWorld(engine::TGameWorld* world) {
    world_ = world;
    chart_->SetWorld(world);
}

void TfrmMain::SetStatusText(int index, const QString& text) {
    if (QLabel* label = StatusPanel(index)) {
        label->setText(text);
    }
}

} // namespace tarnwake::ui
