#include "ui/MainWindow.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "combat/Visibility.h"
#include "core/Colour.h"
#include "core/ProfileFile.h"
#include "core/Random.h"
#include "core/Text.h"
#include "engine/ContactReports.h"
#include "engine/Detach.h"
#include "engine/GameSpeed.h"
#include "engine/GameWorld.h"
#include "engine/Movement.h"
#include "engine/Objective.h"
#include "engine/Replay.h"
#include "engine/Weather.h"
#include "map/Geometry.h"
#include "scenario/Environment.h"
#include "scenario/GameStart.h"
#include "ui/AnalyseBattleDialog.h"
#include "ui/ChartPosition.h"
#include "ui/ChartView.h"
#include "ui/DivisionReport.h"
#include "ui/GameController.h"
#include "ui/OpenScenarioDialog.h"
#include "ui/Pictures.h"
#include "ui/ShipStatus.h"
#include "ui/ToolIcons.h"
#include "ui/TorpedoTarget.h"

#include <QApplication>
#include <QCheckBox>
#include <QCloseEvent>
#include <QComboBox>
#include <QDesktopServices>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QInputDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QSpinBox>
#include <QSplitter>
#include <QStatusBar>
#include <QTabWidget>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QToolBar>
#include <QToolButton>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>
#include <algorithm>
#include <climits>
#include <cmath>
#include <limits>
#include <variant>

namespace tarnwake::ui {

namespace {
// The default main-window size of a new player's preferences.
constexpr int kDefaultWidth = 1000;
constexpr int kDefaultHeight = 719;
constexpr int kSidePanelWidth = 260;
constexpr int kOpenDialogWidth = 900;
constexpr int kOpenDialogHeight = 600;
// How close (pixels) a click must come to a division's flagship to pick the division.
constexpr double kPickRadius = 10.0;
// The highest ordered speed the speed box takes, in knots.
constexpr int kMaxOrderedSpeed = 40;
constexpr int kLogPointSize = 9;
// Flags beside the sides' names: in the status bar and in the order of battle.
constexpr int kStatusFlagHeight = 14;
constexpr int kTreeFlagHeight = 12;
// The inset view: its size, and how many ship lengths its shorter side spans.
constexpr int kInsetWidth = 240;
constexpr int kInsetHeight = 170;
constexpr int kInsetMargin = 8;
constexpr double kInsetShipLengths = 4.0;
constexpr double kFeetPerYard = 3.0;
// A bigger share of the closing-in zoom's stop test goes to the height: the toolbar and the
// flags' names need room above and below a fleet.
constexpr double kAutoZoomWidthShare = 0.97;
constexpr double kAutoZoomHeightShare = 0.9;
// The closing-in zoom gives up after this many steps, whatever happens.
constexpr int kAutoZoomMaxSteps = 1000;

// What a tree node stands for.
enum TNodeKind { nkForce = 1, nkDivision = 2, nkShip = 3 };
constexpr int kKindRole = Qt::UserRole;
constexpr int kIdRole = Qt::UserRole + 1;

// The toolbar buttons of features still to come.
const char* const kComingLater = "Coming later";
const char* const kComingLaterProperty = "comingLater";

const char* const kEndGameQuestion = "Exit scenario? You will not get any victory\rpoints if you "
                                     "exit the scenario before it is over!";

QString Q(const std::string& text) {
    return QString::fromStdString(text);
}

combat::TDivisionId IdOf(const combat::TDivision* division) {
    return division != nullptr ? division->Id : combat::TDivisionId();
}

combat::TShipId IdOf(const combat::TFightingShip* ship) {
    return ship != nullptr ? ship->Id : combat::TShipId();
}

// The window's size and state and the chart's style (0 a printed chart's, 1 the bright one)
// in the preferences.
constexpr const char* kFormSection = "MainForm";
constexpr const char* kChartSection = "Chart";
constexpr int kStateMaximised = 2;

// The replay of the game in progress, in the user folder.
constexpr const char* kReplayFolder = "Replays";
constexpr const char* kCurrentReplayName = "Last game";

QColor ToQColor(core::TColor colour) {
    const core::TRgb rgb = core::ColorToRgb(colour);
    return QColor(rgb.r, rgb.g, rgb.b);
}

// The order-of-battle tree. It has no type-ahead: the game's keys (digits, letters) would
// otherwise move its selection, and with it the selected division.
class TObTree : public QTreeWidget {
public:
    using QTreeWidget::QTreeWidget;
    void keyboardSearch(const QString&) override {}
};

} // namespace

// ---- The course box -------------------------------------------------------------------------

TCourseBox::TCourseBox(QWidget* parent) : QSpinBox(parent) {
    // One step either side of the compass so that the box can wrap.
    setRange(-1, 360);
    setWrapping(false);
    setKeyboardTracking(false);
}

QString TCourseBox::RawText() const {
    return lineEdit()->text();
}

QValidator::State TCourseBox::validate(QString& input, int& pos) const {
    (void)pos;
    bool ok = false;
    const int value = input.trimmed().toInt(&ok);
    // Anything may be typed; what is wrong is said when the box is left.
    return ok && value >= minimum() && value <= maximum() ? QValidator::Acceptable
                                                          : QValidator::Intermediate;
}

void TCourseBox::focusOutEvent(QFocusEvent* event) {
    emit left();
    QSpinBox::focusOutEvent(event);
}

// ---- The window -----------------------------------------------------------------------------

TfrmMain::TfrmMain(QWidget* parent) : QMainWindow(parent), messages_(this) {
    setWindowTitle("Tarnwake");
    resize(kDefaultWidth, kDefaultHeight);
    controller_ = new TGameController(this);

    auto* splitter = new QSplitter(Qt::Horizontal, this);
    chart_ = new TChartView(splitter);
    pauseLabel_ = new QLabel(chart_);
    pauseLabel_->setObjectName("pauseCaption");
    pauseLabel_->setStyleSheet("QLabel { color: #a00000; font-weight: bold; font-size: 14pt; "
                               "background: rgba(255, 255, 255, 190); padding: 1px 6px; }");
    pauseLabel_->hide();

    auto* right = new QWidget(splitter);
    auto* rightLayout = new QVBoxLayout(right);
    rightLayout->setContentsMargins(0, 0, 0, 0);
    sidePanel_ = new QTabWidget(right);
    sidePanel_->setObjectName("sidePanel");
    tree_ = new TObTree;
    tree_->setObjectName("obTree");
    tree_->setHeaderHidden(true);
    tree_->setIconSize(QSize(2 * kTreeFlagHeight, kTreeFlagHeight)); // ensigns are 1:2 at most
    sidePanel_->addTab(tree_, "OB");
    auto* logPage = new QWidget;
    auto* logLayout = new QVBoxLayout(logPage);
    logLayout->setContentsMargins(0, 0, 0, 0);
    logFilter_ = new QLineEdit;
    logFilter_->setObjectName("logFilter");
    logFilter_->setPlaceholderText("Filter: a ship or division");
    logFilter_->setClearButtonEnabled(true);
    logLayout->addWidget(logFilter_);
    log_ = new QTextEdit;
    log_->setObjectName("log");
    log_->setReadOnly(true);
    logLayout->addWidget(log_, 1);
    sidePanel_->addTab(logPage, "Log");
    connect(logFilter_, &QLineEdit::textChanged, this, [this] { RefreshLog(); });
    reports_ = new QListWidget;
    reports_->setObjectName("reports");
    sidePanel_->addTab(reports_, "Reports");
    objectivesPage_ = new QWidget;
    auto* objectivesLayout = new QVBoxLayout(objectivesPage_);
    objectives_ = new QListWidget;
    objectives_->setObjectName("objectives");
    briefing_ = new QTextEdit;
    briefing_->setObjectName("briefing");
    briefing_->setReadOnly(true);
    objectivesLayout->addWidget(objectives_);
    objectivesLayout->addWidget(briefing_);
    sidePanel_->addTab(objectivesPage_, "Objectives");
    rightLayout->addWidget(sidePanel_, 1);
    BuildOrdersPanel(right);

    splitter->addWidget(chart_);
    splitter->addWidget(right);
    splitter->setStretchFactor(0, 1);
    splitter->setStretchFactor(1, 0);
    splitter->setSizes({kDefaultWidth - kSidePanelWidth, kSidePanelWidth});
    setCentralWidget(splitter);

    for (int i = 0; i < kStatusPanelCount; ++i) {
        auto* label = new QLabel(this);
        label->setObjectName(QString("statusPanel%1").arg(i));
        label->setFrameShape(QFrame::StyledPanel);
        label->setMinimumWidth(60);
        // Permanent panels: a toolbar hint shown in the status bar never hides the clock.
        statusBar()->addPermanentWidget(label, i >= kCursorPanel ? 2 : 1);
        statusPanels_[static_cast<std::size_t>(i)] = label;
    }
    SetStatusText(kSidesPanel, "No scenario open");
    // The two sides' flags stand either side of their names.
    for (int i = 0; i < 2; ++i) {
        auto* flag = new QLabel(this);
        flag->setObjectName(QString("sideFlag%1").arg(i));
        statusBar()->insertPermanentWidget(i == 0 ? 0 : 2, flag);
        sideFlags_[static_cast<std::size_t>(i)] = flag;
    }

    BuildToolBar();
    auto* gameMenu = menuBar()->addMenu("&Game");
    auto* open = gameMenu->addAction("Open scenario...");
    connect(open, &QAction::triggered, this, &TfrmMain::OpenScenarioDialog);
    auto* analyse = gameMenu->addAction("Analyse battle...");
    connect(analyse, &QAction::triggered, this, &TfrmMain::AnalyseBattleDialog);
    auto* saveReplay = gameMenu->addAction("Save replay...");
    connect(saveReplay, &QAction::triggered, this, &TfrmMain::SaveReplayDialog);
    auto* find = gameMenu->addAction("Find ship...");
    connect(find, &QAction::triggered, this, &TfrmMain::FindShip);
    gameMenu->addSeparator();
    auto* quit = gameMenu->addAction("Exit");
    connect(quit, &QAction::triggered, this, &QWidget::close);
    auto* viewMenu = menuBar()->addMenu("&View");
    QMenu* styleMenu = viewMenu->addMenu("Chart style");
    for (std::size_t i = 0; i < kChartStyleNames.size(); ++i) {
        QAction* action = styleMenu->addAction(kChartStyleNames[i]);
        action->setCheckable(true);
        action->setObjectName(QString("chartStyle%1").arg(i));
        const auto style = static_cast<TChartStyle>(i);
        connect(action, &QAction::triggered, this, [this, style] { SetChartStyle(style); });
        chartStyleActions_[i] = action;
    }

    // A machine without a sound device plays silently; the log says so once.
    sound_.SetNoDeviceNotice([this](const QString& text) {
        if (world_ != nullptr) {
            world_->Log.AddLogNote(text.toStdString(), core::colors::Gray, false, world_->Clock);
        }
    });
    connect(controller_, &TGameController::minuteFinished, this, &TfrmMain::OnMinuteFinished);
    connect(controller_, &TGameController::subStepped, this, [this] {
        FollowLockedDivision();
        UpdateInset();
        chart_->update();
    });
    connect(controller_, &TGameController::stateChanged, this, &TfrmMain::RefreshRunControls);
    connect(controller_, &TGameController::reportDelivered, this, [this](bool bringForward) {
        FillReports();
        if (bringForward) {
            sidePanel_->setCurrentWidget(reports_);
        }
    });
    connect(sidePanel_, &QTabWidget::currentChanged, this, [this] {
        if (sidePanel_->currentWidget() == reports_) {
            FillReports();
        } else if (sidePanel_->currentWidget() == objectivesPage_) {
            RefreshObjectiveStatus();
        }
    });
    connect(reports_, &QListWidget::itemClicked, this, [this](const QListWidgetItem* item) {
        const engine::TReport* report =
            world_ != nullptr
                ? world_->FindReport(engine::TReportId(item->data(Qt::UserRole).toInt()))
                : nullptr;
        if (report != nullptr) {
            chart_->SetCentre(report->Marker->StoredPoint());
        }
    });
    connect(controller_, &TGameController::runEnded, this, [this] {
        FillTree();
        FillReports();
        RefreshRunControls();
        // The replay of the game so far is kept whenever the clock stops.
        if (world_ != nullptr && !ReplayFile().empty()) {
            std::string error;
            engine::WriteReplay(ReplayFile(), scenario::ReplayOfGame(*world_, setup_), error);
        }
    });
    connect(chart_, &TChartView::ChartClicked, this, &TfrmMain::OnChartClicked);
    connect(chart_, &TChartView::ChartDoubleClicked, this, &TfrmMain::OnChartDoubleClicked);
    connect(chart_, &TChartView::WheelZoomed, this, &TfrmMain::StopAutoZoom);
    connect(chart_, &TChartView::CursorMoved, this, &TfrmMain::OnCursorMoved);
    autoZoom_ = new QTimer(this);
    autoZoom_->setInterval(kAutoZoomMilliseconds);
    connect(autoZoom_, &QTimer::timeout, this, [this] {
        if (!AutoZoomStep()) {
            StopAutoZoom();
        }
    });

    // The inset sits in a frame of its own over the chart's lower left corner.
    insetFrame_ = new QFrame(chart_);
    insetFrame_->setObjectName("insetFrame");
    insetFrame_->setFrameShape(QFrame::Box);
    insetFrame_->setLineWidth(2);
    insetFrame_->setFixedSize(kInsetWidth, kInsetHeight);
    auto* insetLayout = new QVBoxLayout(insetFrame_);
    insetLayout->setContentsMargins(2, 2, 2, 2);
    inset_ = new TChartView(insetFrame_);
    inset_->setObjectName("inset");
    inset_->setMinimumSize(0, 0);
    inset_->SetShowCompass(false);
    inset_->SetShowDivisionNames(false);
    inset_->SetShowScale(false);
    insetCaption_ = new QLabel(insetFrame_);
    insetCaption_->setObjectName("insetCaption");
    insetCaption_->setAlignment(Qt::AlignCenter);
    insetCaption_->setStyleSheet("QLabel { font-weight: bold; }");
    insetLayout->addWidget(insetCaption_);
    insetLayout->addWidget(inset_, 1);
    inset_->SetShipNameMode(snNone);
    insetFrame_->hide();
    chart_->installEventFilter(this);

    tree_->setContextMenuPolicy(Qt::CustomContextMenu);
    treeMenu_ = new QMenu(this);
    for (const char* entry : {"Status...", "Center map", "Set target...", "Detach", "Find ship...",
                              "Find subordinates..."}) {
        QAction* action = treeMenu_->addAction(entry);
        action->setObjectName(entry);
        connect(action, &QAction::triggered, this, [this, entry] { TreeCommand(entry); });
    }
    connect(tree_, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        if (QTreeWidgetItem* item = tree_->itemAt(at)) {
            tree_->setCurrentItem(item);
            treeMenu_->popup(tree_->viewport()->mapToGlobal(at));
        }
    });
    objectives_->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(objectives_, &QWidget::customContextMenuRequested, this, &TfrmMain::OnObjectivesMenu);
    connect(objectives_, &QListWidget::itemClicked, chart_, &TChartView::Redraw);
    log_->viewport()->installEventFilter(this);
    // The game keys act wherever the focus is in the window (see eventFilter).
    qApp->installEventFilter(this);
    connect(tree_, &QTreeWidget::itemSelectionChanged, this, &TfrmMain::OnTreeSelection);
    RefreshRunControls();
    RefreshOrders();
    SetChartStyle(csPrintedChart);
}

TfrmMain::~TfrmMain() {
    // The world goes first, while the chart, the timers and the message boxes it refers to
    // are still there.
    controller_->SetWorld(nullptr);
    delete shipStatus_;
    shipStatus_ = nullptr;
    delete torpedoTarget_;
    torpedoTarget_ = nullptr;
    delete divisionReport_;
    divisionReport_ = nullptr;
    inset_->SetWorld(nullptr);
    chart_->SetWorld(nullptr);
    ownedWorld_.reset();
}

void TfrmMain::SetChartStyle(TChartStyle style) {
    chartStyle_ = style;
    for (std::size_t i = 0; i < chartStyleActions_.size(); ++i) {
        chartStyleActions_[i]->setChecked(i == static_cast<std::size_t>(style));
    }
    const TChartColours colours = StyleColours(chart_->Colours(), style);
    chart_->SetColours(colours);
    inset_->SetColours(colours);
    if (world_ != nullptr) {
        // The land is drawn by the chart's land layer, which takes the colour.
        world_->Preferences.Colours.Water = colours.Water;
        world_->Preferences.Colours.Land = colours.Land;
        scenario::SetLandColour(world_->Chart, colours.Land);
        chart_->InvalidateCache();
        inset_->InvalidateCache();
    }
    chart_->update();
}

QRect TfrmMain::FirstGeometry(const QRect& available) {
    const QSize size(static_cast<int>(available.width() * kFirstWindowShare),
                     static_cast<int>(available.height() * kFirstWindowShare));
    QRect geometry(QPoint(0, 0), size);
    geometry.moveCenter(available.center());
    return geometry;
}

QAction* TfrmMain::AddAction(const QString& hint, const QString& text, const QString& longHint) {
    QAction* action = new QAction(text, this);
    action->setObjectName(hint);
    action->setIcon(ToolIcon(hint));
    // The hint is the button's tooltip; it never goes to the status bar, which keeps the clock.
    action->setToolTip(longHint.isEmpty() ? hint : longHint);
    actions_[hint] = action;
    return action;
}

QAction* TfrmMain::Action(const QString& hint) const {
    const auto it = actions_.find(hint);
    return it == actions_.end() ? nullptr : it->second;
}

void TfrmMain::BuildToolBar() {
    QToolBar* bar = addToolBar("Tools");
    bar->setObjectName("toolBar");
    bar->setMovable(false);
    // Icons alone: the hints are the tooltips, and every button fits on one row.
    bar->setToolButtonStyle(Qt::ToolButtonIconOnly);
    auto add = [&](const QString& hint, const QString& text, auto slot,
                   const QString& longHint = {}) {
        QAction* action = AddAction(hint, text, longHint);
        bar->addAction(action);
        connect(action, &QAction::triggered, this, slot);
        return action;
    };
    auto later = [&](const QString& hint, const QString& text) {
        // A feature still to come: shown with its hint, not yet usable, and saying so.
        QAction* action = AddAction(hint, text, hint + " - " + kComingLater);
        action->setEnabled(false);
        action->setProperty(kComingLaterProperty, true);
        bar->addAction(action);
        return action;
    };

    add(
        "Zoom in", "+", [this] { chart_->ZoomIn(); }, "Zoom in map display");
    add(
        "Zoom out", "-", [this] { chart_->ZoomOut(); }, "Zoom out map display");
    add("Zoom out x 5", "-5", [this] { chart_->ZoomOutFar(); });
    QAction* lock = add("Lock view to division", "Lock", [this] { FollowLockedDivision(); });
    lock->setCheckable(true);
    bar->addSeparator();
    add("Turn", "Turn", &TfrmMain::Turn);
    add("Run 5 minutes", "Run 5", &TfrmMain::RunFive);
    add("Run", "Run", &TfrmMain::RunUntilStopped);
    add("Pause", "Pause", &TfrmMain::Pause);
    bar->addSeparator();
    gameSpeed_ = new QComboBox(bar);
    gameSpeed_->setObjectName("gameSpeed");
    for (int i = engine::kSlowestSpeed; i <= engine::kFastestSpeed; ++i) {
        gameSpeed_->addItem(engine::GameSpeed(i).Name);
    }
    gameSpeed_->setCurrentIndex(engine::kNormalSpeed - engine::kSlowestSpeed);
    gameSpeed_->setToolTip("Game speed");
    bar->addWidget(gameSpeed_);
    connect(gameSpeed_, &QComboBox::activated, this, [this](int index) {
        controller_->SetSpeed(index + engine::kSlowestSpeed);
        RefreshRunControls();
    });
    speedDown_ = new QToolButton(bar);
    speedDown_->setText("<");
    speedDown_->setToolTip("Game speed down");
    bar->addWidget(speedDown_);
    connect(speedDown_, &QToolButton::clicked, this, &TfrmMain::SpeedDown);
    speedUp_ = new QToolButton(bar);
    speedUp_->setText(">");
    speedUp_->setToolTip("Game speed up");
    bar->addWidget(speedUp_);
    connect(speedUp_, &QToolButton::clicked, this, &TfrmMain::SpeedUp);
    bar->addSeparator();
    add("Zoom to view all ships", "All", &TfrmMain::ZoomToPlayerShips);
    const auto ring = [&](const QString& hint, const QString& text, bool TRangeRings::*flag) {
        QAction* action = add(hint, text, [this, flag](bool on) {
            TRangeRings rings = chart_->RangeRings();
            rings.*flag = on;
            // Shift held on the button: round all the player's divisions.
            if (on) {
                rings.allDivisions = (QApplication::keyboardModifiers() & Qt::ShiftModifier) != 0;
            }
            chart_->SetRangeRings(rings);
        });
        action->setCheckable(true);
    };
    ring("Show sighting ranges", "Sight", &TRangeRings::sighting);
    ring("Show gun ranges", "Guns", &TRangeRings::guns);
    QAction* fireLines =
        add("Show fire lines", "Fire", [this](bool on) { chart_->SetShowFireLines(on); });
    fireLines->setCheckable(true);
    later("Show submarines", "Subs");
    ring("Show endurance circle", "Fuel", &TRangeRings::endurance);
    QAction* names =
        add("Show division names", "Names", [this](bool on) { chart_->SetShowDivisionNames(on); });
    names->setCheckable(true);
    names->setChecked(chart_->ShowDivisionNames());
    QAction* allObjectives = add("Show all objectives", "Obj", [this] {
        ApplyObjectiveVisibility();
        chart_->update();
    });
    allObjectives->setCheckable(true);
    shipNames_ = new QComboBox(bar);
    shipNames_->setObjectName("shipNames");
    shipNames_->setToolTip("Ship names");
    for (const char* mode : kShipNameModeNames) {
        shipNames_->addItem(mode);
    }
    bar->addWidget(shipNames_);
    connect(shipNames_, &QComboBox::activated, this,
            [this](int index) { chart_->SetShipNameMode(static_cast<TShipNameMode>(index)); });
    later("Preferences", "Prefs");
    add("End game", "End", &TfrmMain::EndGame);
    later("Save game", "Save");
    later("All the world's fighting ships", "Ships");
    add("View all log entries", "Log", &TfrmMain::ShowFullLog);
    add("Time of sunrise and sunset", "Sun", &TfrmMain::ShowSunTimes);
    later("Show track chart (available after the battle)", "Tracks");
    QAction* inset = add("Show enlarged inset view", "Inset", [this](bool on) {
        if (!on) {
            insetFrame_->hide();
            return;
        }
        inset_->SetColours(chart_->Colours());
        QAction* locked = Action("Lock to current ship");
        if (InsetShip() == nullptr || locked == nullptr || !locked->isChecked()) {
            // The selected division's flagship, else the first of the player's ships.
            const combat::TDivision* division = SelectedDivision();
            combat::TFightingShip* flagship = division != nullptr ? division->Flagship() : nullptr;
            insetShipId_ = IdOf(flagship != nullptr ? flagship : FirstPlayerShip());
        }
        PlaceInset();
        insetFrame_->show();
        insetFrame_->raise();
        UpdateInset();
    });
    inset->setCheckable(true);
    later("Emergency activation", "Emerg");
    add("Pick course from map", "Pick", [this] {
        if (!RequireDivision()) {
            return;
        }
        pickCourse_ = true;
        chart_->setCursor(Qt::CrossCursor);
    });
    later("Set division target", "Target");
    QAction* lockShip = add("Lock to current ship", "LockShip", [] {});
    lockShip->setCheckable(true);
}

void TfrmMain::BuildOrdersPanel(QWidget* parent) {
    auto* panel = new QWidget(parent);
    panel->setObjectName("ordersPanel");
    auto* layout = new QVBoxLayout(panel);
    auto* row = new QHBoxLayout;
    row->addWidget(new QLabel("Course", panel));
    courseBox_ = new TCourseBox(panel);
    courseBox_->setObjectName("courseBox");
    row->addWidget(courseBox_);
    row->addWidget(new QLabel("Speed", panel));
    speedBox_ = new QSpinBox(panel);
    speedBox_->setObjectName("speedBox");
    speedBox_->setRange(0, kMaxOrderedSpeed);
    speedBox_->setKeyboardTracking(false);
    row->addWidget(speedBox_);
    layout->addLayout(row);
    turnTogether_ = new QCheckBox("Turn together", panel);
    turnTogether_->setObjectName("turnTogether");
    layout->addWidget(turnTogether_);
    auto* buttons = new QHBoxLayout;
    sqMax_ = new QPushButton("Sq max", panel);
    med_ = new QPushButton("Med", panel);
    cruise_ = new QPushButton("Cruise", panel);
    for (QPushButton* b : {sqMax_, med_, cruise_}) {
        b->setObjectName(b->text());
        buttons->addWidget(b);
    }
    layout->addLayout(buttons);
    parent->layout()->addWidget(panel);

    connect(courseBox_, &QSpinBox::valueChanged, this, &TfrmMain::CourseBoxChanged);
    connect(courseBox_, &TCourseBox::left, this, [this] {
        if (!leavingBoxes_) {
            CommitOrderBoxes();
        }
    });
    connect(speedBox_, &QSpinBox::valueChanged, this, [this](int value) {
        if (!updatingOrders_ && !leavingBoxes_ && SelectedDivision() != nullptr) {
            engine::TDivisionOrder order;
            order.Division = selectedId_;
            order.Speed = value;
            Order(order);
        }
    });
    connect(turnTogether_, &QCheckBox::toggled, this, [this](bool on) {
        if (updatingOrders_) {
            return;
        }
        if (!RequireDivision()) {
            return;
        }
        engine::TDivisionOrder order;
        order.Division = selectedId_;
        order.TurnTogether = on;
        order.Formation = on ? combat::formLineAbreast : combat::formLineAhead;
        Order(order);
    });
    connect(sqMax_, &QPushButton::clicked, this, [this] {
        if (RequireDivision()) {
            SetDivisionSpeed(SelectedDivision()->SlowestSpeed());
        }
    });
    connect(med_, &QPushButton::clicked, this, [this] {
        if (RequireDivision()) {
            SetDivisionSpeed(SelectedDivision()->MedianSpeed());
        }
    });
    connect(cruise_, &QPushButton::clicked, this, [this] {
        if (RequireDivision()) {
            SetDivisionSpeed(kCruiseSpeed);
        }
    });
}

QLabel* TfrmMain::StatusPanel(int index) const {
    if (index < 0 || index >= kStatusPanelCount) {
        return nullptr;
    }
    return statusPanels_[static_cast<std::size_t>(index)];
}

void TfrmMain::SetStatusText(int index, const QString& text) {
    constexpr int kPanelPadding = 16;
    if (QLabel* label = StatusPanel(index)) {
        label->setText(text);
        // The fixed panels are never cut short; the two that follow the mouse stretch.
        if (index < kCursorPanel) {
            label->setMinimumWidth(label->fontMetrics().horizontalAdvance(text) + kPanelPadding);
        }
    }
}

void TfrmMain::SetWorld(engine::TGameWorld* world) {
    StopAutoZoom();
    selectedId_ = {};
    pickCourse_ = false;
    awaitingMark_ = false;
    insetShipId_ = {};
    // The windows show ships and divisions of the world going away.
    delete shipStatus_;
    shipStatus_ = nullptr;
    delete torpedoTarget_;
    torpedoTarget_ = nullptr;
    delete divisionReport_;
    divisionReport_ = nullptr;
    dialogPickCourse_ = false;
    pickDivisionTarget_ = false;
    flotillaAttackDisplay_ = false;
    controller_->SetWorld(world);
    inset_->SetWorld(world);
    chart_->SetSelectedDivision(nullptr);
    world_ = world;
    chart_->SetWorld(world);
    if (world_ != nullptr) {
        gameSpeed_->setCurrentIndex(world_->SpeedIndex - engine::kSlowestSpeed);
    }
    FillTree();
    FillObjectives();
    FillReports();
    ApplyObjectiveVisibility();
    RefreshLog();
    RefreshStatus();
    RefreshRunControls();
    RefreshOrders();
}

void TfrmMain::SetServices(const core::TGameFolders& folders,
                           std::optional<std::uint64_t> firstSeed) {
    folders_ = folders;
    nextSeed_ = firstSeed;
}

combat::TDivision* TfrmMain::SelectedDivision() const {
    return world_ != nullptr ? world_->FindDivision(selectedId_) : nullptr;
}

combat::TFightingShip* TfrmMain::InsetShip() const {
    return world_ != nullptr ? world_->FindShip(insetShipId_) : nullptr;
}

combat::TFightingShip* TfrmMain::ShipOfItem(const QTreeWidgetItem* item) const {
    return world_ != nullptr && item != nullptr
               ? world_->FindShip(combat::TShipId(item->data(0, kIdRole).toInt()))
               : nullptr;
}

combat::TDivision* TfrmMain::DivisionOfItem(const QTreeWidgetItem* item) const {
    return world_ != nullptr && item != nullptr
               ? world_->FindDivision(combat::TDivisionId(item->data(0, kIdRole).toInt()))
               : nullptr;
}

bool TfrmMain::Order(const engine::TOrder& order) {
    if (world_ == nullptr) {
        return false;
    }
    const engine::TOrderResult result = engine::IssueOrder(*world_, order);
    if (!result && !result.Refusal.empty()) {
        Messages().Inform(result.Refusal);
    }
    return result.Applied;
}

std::filesystem::path TfrmMain::ReplayFile() const {
    return folders_ ? folders_->UserDir() / kReplayFolder /
                          (std::string(kCurrentReplayName) + engine::kReplayExtension)
                    : std::filesystem::path();
}

bool TfrmMain::SaveReplay(const std::filesystem::path& file) {
    if (world_ == nullptr || file.empty()) {
        return false;
    }
    std::string error;
    if (!engine::WriteReplay(file, scenario::ReplayOfGame(*world_, setup_), error)) {
        Messages().Error("The replay could not be saved: " + error);
        return false;
    }
    return true;
}

void TfrmMain::SaveReplayDialog() {
    if (world_ == nullptr || !folders_) {
        return;
    }
    const QString start = Q((folders_->UserDir() / kReplayFolder).string());
    const QString name = QFileDialog::getSaveFileName(
        this, "Save replay", start, QString("Replays (*%1)").arg(engine::kReplayExtension));
    if (name.isEmpty()) {
        return;
    }
    std::filesystem::path file = name.toStdString();
    if (file.extension() != engine::kReplayExtension) {
        file += engine::kReplayExtension;
    }
    SaveReplay(file);
}

void TfrmMain::RestorePreferences() {
    if (!folders_) {
        return;
    }
    keepsPreferences_ = true;
    const core::TProfileFile prefs(folders_->PreferencesFile());
    const int w = prefs.ReadInteger(kFormSection, "MainFormWidth", 0);
    const int h = prefs.ReadInteger(kFormSection, "MainFormHeight", 0);
    if (w >= kSmallestWidth && h >= kSmallestHeight && w <= kLargestSide && h <= kLargestSide) {
        resize(w, h);
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        setGeometry(FirstGeometry(screen->availableGeometry()));
    }
    SetChartStyle(prefs.ReadInteger(kChartSection, "Style", csPrintedChart) == csBright
                      ? csBright
                      : csPrintedChart);
    if (prefs.ReadInteger(kFormSection, "MainFormState", 0) == kStateMaximised) {
        setWindowState(windowState() | Qt::WindowMaximized);
    }
}

bool TfrmMain::KeepPreferences() {
    if (!folders_) {
        return false;
    }
    std::error_code ec;
    std::filesystem::create_directories(folders_->UserDir(), ec);
    core::TProfileFile prefs(folders_->PreferencesFile());
    const bool maximised = isMaximized();
    const QSize size = maximised ? normalGeometry().size() : this->size();
    prefs.WriteInteger(kFormSection, "MainFormWidth", size.width());
    prefs.WriteInteger(kFormSection, "MainFormHeight", size.height());
    prefs.WriteInteger(kFormSection, "MainFormState", maximised ? kStateMaximised : 0);
    prefs.WriteInteger(kChartSection, "Style", chartStyle_);
    std::string error;
    if (prefs.Save(error)) {
        return true;
    }
    Messages().Warn("Warning! Your preferences (the window and the chart style) could not be "
                    "kept:\n" +
                    error);
    return false;
}

bool TfrmMain::CheckUserFolder() {
    std::string error;
    if (!folders_ || folders_->EnsureUserFolders(error)) {
        return true;
    }
    Messages().Warn("Warning! The user folder cannot be written:\n" + error +
                    "\nYour preferences, replays and logs will not be kept. Start tarnwake with "
                    "--user-dir DIR, or set TARNWAKE_USER_DIR, to keep them elsewhere.");
    return false;
}

bool TfrmMain::OpenFirstScenario(const std::string& name, int playerSide) {
    if (!folders_) {
        return false;
    }
    std::string why;
    if (const auto file = scenario::FindScenario(*folders_, name)) {
        if (OpenScenario(*file, playerSide, name)) {
            return true;
        }
        // What is wrong with it was shown as it loaded.
        why = file->filename().string() +
              " cannot be played. Open another with Game > Open scenario...";
    } else {
        why = scenario::NoScenarioReason(*folders_, name) + ".";
        Messages().Error(why);
    }
    chart_->SetNoWorldText(Q("No scenario open\n\n" + why));
    return false;
}

bool TfrmMain::OpenScenario(const std::filesystem::path& file, int playerSide,
                            const std::string& name, std::array<int, 2> forceLevels) {
    if (!folders_) {
        return false;
    }
    scenario::TGameSetup setup;
    setup.ScenarioName = name.empty() ? file.string() : name;
    setup.ScenarioFile = file;
    setup.Sides.ComputerCommanded = {playerSide != 0, playerSide != 1};
    setup.Sides.ForceLevel = forceLevels;
    setup.Seed = nextSeed_.value_or(core::TRandomGenerator::ClockSeed());
    nextSeed_.reset();
    // The new game is made in a world of its own: the game in progress stays until the new
    // one has started.
    auto world = std::make_unique<engine::TGameWorld>(gameMessages_, Sound(), *folders_);
    setup.RealismSetting = world->Preferences.RealismSetting;
    // The chart takes the player's style of sea and land as the scenario loads.
    const TChartColours colours = StyleColours(chart_->Colours(), chartStyle_);
    world->Preferences.Colours.Water = colours.Water;
    world->Preferences.Colours.Land = colours.Land;
    setup.InitialAIControl = world->Preferences.InitialAIControl;
    // Whatever the loading says of the file is shown in one message once it is done.
    gameMessages_.Begin();
    bool started = false;
    try {
        // A scenario that could not be read leaves a world without ships: the game in
        // progress goes on.
        const bool loaded = scenario::StartGame(*world, setup, nullptr);
        started = loaded && std::any_of(world->Divisions.begin(), world->Divisions.end(),
                                        [](const auto& d) { return d->HasShips(); });
        if (loaded && !started) {
            gameMessages_.Error("Cannot open scenario " + file.string() +
                                ": it has no ships in play. The game in progress goes on.");
        }
    } catch (const std::exception& e) {
        gameMessages_.Error("Cannot open scenario " + file.string() + ": " + e.what());
    }
    gameMessages_.End("Loading " + file.filename().string());
    if (!started) {
        return false; // the reasons were shown; the game in progress stays
    }
    world->Log.AddLogNote("Seed " + std::to_string(setup.Seed) + " replays this game",
                          core::colors::Gray, false, world->Clock);
    SetWorld(nullptr);
    ownedWorld_ = std::move(world);
    setup_ = setup;
    SetWorld(ownedWorld_.get());
    setWindowTitle("Tarnwake - " + Q(file.stem().string()) + " - " + SidesText());
    if (QLabel* panel = StatusPanel(0)) {
        panel->setToolTip(QString("Seed %1: tarnwake-cli replay \"%2\" replays this game")
                              .arg(setup.Seed)
                              .arg(Q(ReplayFile().string())));
    }
    briefing_->setPlainText(ScenarioBriefing(file, *folders_, world_->PlayerSide));
    // The briefing is shown once, as the game opens.
    sidePanel_->setCurrentWidget(objectivesPage_);
    ZoomAtStart();
    return true;
}

std::optional<map::TGeoRect> TfrmMain::PlayerShipsBox() const {
    if (world_ == nullptr) {
        return std::nullopt;
    }
    std::int64_t left = std::numeric_limits<std::int64_t>::max();
    std::int64_t bottom = left;
    std::int64_t right = std::numeric_limits<std::int64_t>::min();
    std::int64_t top = right;
    int count = 0;
    for (const auto& ship : world_->Ships) {
        if (!ship->InPlay() || !ship->Marker) {
            continue;
        }
        if (world_->PlayerSide != 2 && ship->Side != world_->PlayerSide) {
            continue;
        }
        const map::TGeoPos p = ship->Position();
        left = std::min<std::int64_t>(left, p.lon);
        right = std::max<std::int64_t>(right, p.lon);
        bottom = std::min<std::int64_t>(bottom, p.lat);
        top = std::max<std::int64_t>(top, p.lat);
        ++count;
    }
    if (count == 0) {
        return std::nullopt;
    }
    return map::TGeoRect{left, bottom, right - left, top - bottom};
}

void TfrmMain::ZoomAtStart(bool animate) {
    // A watcher starts on the scenario's own view of the battle area, which the chart takes
    // from the environment (or the whole chart).
    if (world_ == nullptr || world_->PlayerSide == 2) {
        return;
    }
    const auto box = PlayerShipsBox();
    if (!box) {
        return;
    }
    chart_->SetCentre(map::TGeoPos{static_cast<std::int32_t>(box->left + box->width / 2),
                                   static_cast<std::int32_t>(box->bottom + box->height / 2), 0});
    if (!animate) {
        for (int i = 0; i < kAutoZoomMaxSteps && AutoZoomStep(); ++i) {
        }
        return;
    }
    autoZoom_->start();
}

bool TfrmMain::AutoZooming() const {
    return autoZoom_->isActive();
}

void TfrmMain::StopAutoZoom() {
    autoZoom_->stop();
}

bool TfrmMain::AutoZoomStep() {
    try {
        const auto box = PlayerShipsBox();
        if (!box || chart_->width() <= 0 || chart_->height() <= 0) {
            return false;
        }
        const double next = chart_->Altitude() * kAutoZoomFactor;
        if (next < kAutoZoomFloor) {
            return false;
        }
        // What the chart would show after the step, in globe units on the ground; a degree
        // of longitude is shorter than one of latitude away from the equator.
        const double perPixel = next / std::min(chart_->width(), chart_->height());
        const double visibleWidth = chart_->width() * perPixel;
        const double visibleHeight = chart_->height() * perPixel;
        const double latitude = (box->bottom + box->height / 2.0) * map::kRadiansPerGlobeUnit;
        const double boxWidth = static_cast<double>(box->width) * std::cos(latitude);
        const double boxHeight = static_cast<double>(box->height);
        if (visibleWidth * kAutoZoomWidthShare < boxWidth ||
            visibleHeight * kAutoZoomHeightShare < boxHeight) {
            return false;
        }
        return chart_->SetAltitude(next);
    } catch (const std::exception&) {
        Messages().Error("Error zooming in to player ships! ErrNo: 234");
        return false;
    }
}

void TfrmMain::ZoomToPlayerShips() {
    if (world_ == nullptr) {
        return;
    }
    StopAutoZoom();
    const auto box = PlayerShipsBox();
    if (!box) {
        chart_->ShowWholeChart();
        return;
    }
    // Some sea round the ships, so that the outermost are not drawn on the edge.
    const std::int64_t margin = std::max<std::int64_t>(
        {box->width / 8, box->height / 8, static_cast<std::int64_t>(200'000)});
    chart_->FitArea({box->left - margin, box->bottom - margin, box->width + 2 * margin,
                     box->height + 2 * margin});
}

// ---- Clock controls -------------------------------------------------------------------------

void TfrmMain::Turn() {
    Action("Turn")->setEnabled(false);
    controller_->Run(1);
    RefreshRunControls();
}

void TfrmMain::RunFive() {
    Action("Run 5 minutes")->setEnabled(false);
    controller_->Run(5);
    RefreshRunControls();
}

void TfrmMain::RunUntilStopped() {
    Action("Run")->setEnabled(false);
    controller_->Run(engine::TGameWorld::kRunUntilStopped);
    RefreshRunControls();
}

void TfrmMain::Pause() {
    controller_->Pause();
    RefreshRunControls();
}

void TfrmMain::SpeedUp() {
    if (world_ != nullptr && world_->SpeedIndex < engine::kFastestSpeed) {
        controller_->SetSpeed(world_->SpeedIndex + 1);
    }
    RefreshRunControls();
}

void TfrmMain::SpeedDown() {
    if (world_ != nullptr && world_->SpeedIndex >= engine::kSlowestSpeed + 1) {
        controller_->SetSpeed(world_->SpeedIndex - 1);
    }
    RefreshRunControls();
}

void TfrmMain::EndGame() {
    if (world_ == nullptr) {
        return;
    }
    if (Messages().Ask(kEndGameQuestion, core::kOkCancel) != core::btOk) {
        return;
    }
    if (!Order(engine::TEndGameOrder{})) {
        return;
    }
    controller_->Run(0);
    // The results window is still to come; the scenario's end is shown in the status bar.
    SetStatusText(kSidesPanel, "Scenario ended");
    RefreshRunControls();
    RefreshOrders();
}

QString TfrmMain::PauseCaption() const {
    if (world_ == nullptr) {
        return {};
    }
    if (controller_->Running()) {
        return world_->PausePending ? "Pause pending" : QString();
    }
    return "Paused";
}

void TfrmMain::RefreshRunControls() {
    const bool loaded = world_ != nullptr;
    const bool running = controller_->Running();
    const bool finished = loaded && world_->ScenarioFinished;
    for (const char* hint : {"Turn", "Run 5 minutes", "Run"}) {
        Action(hint)->setEnabled(loaded && !running && !finished);
    }
    Action("Pause")->setEnabled(running);
    Action("End game")->setEnabled(loaded && !finished);
    gameSpeed_->setEnabled(loaded && !finished);
    if (loaded) {
        gameSpeed_->setCurrentIndex(world_->SpeedIndex - engine::kSlowestSpeed);
        speedUp_->setEnabled(!finished && world_->SpeedIndex < engine::kFastestSpeed);
        speedDown_->setEnabled(!finished && world_->SpeedIndex >= engine::kSlowestSpeed + 1);
        SetStatusText(kGameSpeedPanel,
                      QString("Speed: ") + engine::GameSpeed(world_->SpeedIndex).Name);
    }
    const QString caption = PauseCaption();
    pauseLabel_->setText(caption);
    pauseLabel_->adjustSize();
    PlacePauseCaption();
    pauseLabel_->setVisible(!caption.isEmpty());
}

void TfrmMain::OnMinuteFinished() {
    RefreshStatus();
    RefreshLog();
    RefreshObjectiveStatus();
    RefreshOrders();
    FollowLockedDivision();
    UpdateInset();
    if (shipStatus_ != nullptr && shipStatus_->isVisible()) {
        shipStatus_->Refresh();
    }
    // The orders window lets go of a division that has left the battle.
    if (divisionReport_ != nullptr && divisionReport_->Division() != nullptr &&
        std::none_of(world_->Divisions.begin(), world_->Divisions.end(),
                     [this](const auto& d) { return d.get() == divisionReport_->Division(); })) {
        divisionReport_->DivisionLeaving(divisionReport_->Division());
    }
    chart_->update();
}

QString TfrmMain::SidesText() const {
    if (world_ == nullptr) {
        return {};
    }
    const int first = world_->PlayerSide == 1 ? 1 : 0;
    return Q(world_->Sides[static_cast<std::size_t>(first)].Name + " - " +
             world_->Sides[static_cast<std::size_t>(1 - first)].Name);
}

void TfrmMain::RefreshStatus() {
    if (world_ == nullptr) {
        for (int panel : {kWeatherPanel, kGameSpeedPanel, kClockPanel, kElapsedPanel, kCursorPanel,
                          kMarkPanel}) {
            SetStatusText(panel, {});
        }
        return;
    }
    SetStatusText(kSidesPanel, SidesText());
    const int first = world_->PlayerSide == 1 ? 1 : 0;
    for (int i = 0; i < 2; ++i) {
        const engine::TSide& side =
            world_->Sides[static_cast<std::size_t>(i == 0 ? first : 1 - first)];
        sideFlags_[static_cast<std::size_t>(i)]->setPixmap(
            FlagPicture(world_->Folders(), side.FlagFile, kStatusFlagHeight));
    }
    const engine::TEnvironmentState& env = world_->Environment;
    // Seamen name a wind by where it blows from; the game keeps where its smoke drifts to.
    SetStatusText(kWeatherPanel,
                  QString("%1, wind from %2 force %3, %4")
                      .arg(Q(scenario::WeatherText(env.Weather)))
                      .arg(Q(scenario::CompassText(map::AddBearing(env.WindDirection, 180))))
                      .arg(env.WindForce)
                      .arg(LightText(combat::LightCondition(chart_->Centre(), world_->Clock))));
    SetStatusText(kGameSpeedPanel, QString("Speed: ") + engine::GameSpeed(world_->SpeedIndex).Name);
    SetStatusText(kClockPanel, Q(world_->ClockText()));
    SetStatusText(kElapsedPanel, Q(world_->ElapsedText()));
    RefreshMarkPanel();
}

QString TfrmMain::PointText(const map::TGeoPos& p) const {
    QString text = PositionText(p);
    const combat::TDivision* division = SelectedDivision();
    const combat::TFightingShip* flagship = division != nullptr ? division->Flagship() : nullptr;
    if (flagship != nullptr && flagship->Marker) {
        text += ", " + RangeBearingText(flagship->Position(), p) + " from " + Q(flagship->Name);
    }
    return text;
}

void TfrmMain::OnCursorMoved(QPointF pixel) {
    const auto p = world_ != nullptr ? chart_->PixelToPosition(pixel) : std::nullopt;
    if (!p) {
        SetStatusText(kCursorPanel, QString());
        return;
    }
    // The time of day where the cursor is, and its light when that is not day.
    QString text = PointText(*p) +
                   ", Local time: " + Q(core::FormatTime(engine::LocalTime(*p, world_->Clock)));
    const int light = combat::LightCondition(*p, world_->Clock);
    if (light != combat::kLightDay) {
        text += QString(" ") + LightText(light);
    }
    SetStatusText(kCursorPanel, text);
}

void TfrmMain::RefreshMarkPanel() {
    const auto mark = MarkedPoint();
    SetStatusText(kMarkPanel, mark && world_ != nullptr ? "Mark " + PointText(*mark) : QString());
}

const combat::TFightingShip* TfrmMain::LogLineShip(const engine::TStyledLine& line) const {
    const auto* id = std::get_if<combat::TShipId>(&line.object);
    if (id == nullptr) {
        return nullptr;
    }
    const combat::TFightingShip* ship = world_->FindShip(*id);
    return ship != nullptr ? ship : world_->FindSunkShip(*id);
}

bool TfrmMain::LogLinePasses(const engine::TStyledLine& line, const QString& filter) const {
    if (filter.isEmpty() || Q(line.text).contains(filter, Qt::CaseInsensitive)) {
        return true;
    }
    const auto names = [&filter](const combat::TDivision* division) {
        return division != nullptr &&
               (Q(division->DivisionName).contains(filter, Qt::CaseInsensitive) ||
                Q(division->Shortname).contains(filter, Qt::CaseInsensitive));
    };
    // A line about a ship or division the filter names passes, whatever it says of it; so does
    // a line about a ship of a division it names.
    if (const combat::TFightingShip* ship = LogLineShip(line);
        ship != nullptr && world_->PlayerMaySee(*ship)) {
        return Q(ship->Name).contains(filter, Qt::CaseInsensitive) ||
               names(world_->DivisionOfShip(ship));
    }
    if (const auto* id = std::get_if<combat::TDivisionId>(&line.object)) {
        return names(world_->FindDivision(*id));
    }
    return false;
}

void TfrmMain::RefreshLog() {
    logRows_.clear();
    if (world_ == nullptr) {
        log_->clear();
        return;
    }
    const QString filter = logFilter_->text().trimmed();
    const auto& lines = world_->Log.Displayed();
    QString html;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const engine::TStyledLine& line = lines[i];
        if (!LogLinePasses(line, filter)) {
            continue;
        }
        logRows_.push_back(static_cast<int>(i));
        QString style = "color:" + ToQColor(line.color).name() + ";";
        if (line.bold) {
            style += "font-weight:bold;";
        }
        style += QString("font-size:%1pt;").arg(kLogPointSize + line.sizeStep);
        QString text = Q(line.text).toHtmlEscaped();
        // The name of the ship a line is about is a link that selects her (an enemy's only
        // where the line already names her).
        if (const combat::TFightingShip* ship = LogLineShip(line); ship != nullptr) {
            const QString name = Q(ship->Name).toHtmlEscaped();
            const qsizetype at = name.isEmpty() ? -1 : text.indexOf(name);
            if (at >= 0) {
                text.replace(at, name.size(),
                             QString("<a href=\"ship:%1\" style=\"color:%2;\">%3</a>")
                                 .arg(ship->Id.Value)
                                 .arg(ToQColor(line.color).name(), name));
            }
        }
        html += "<div style=\"" + style + "\">" + text + "</div>";
    }
    log_->setHtml(html);
}

void TfrmMain::SelectShip(combat::TFightingShip* ship) {
    if (world_ == nullptr || ship == nullptr || ship->Sunk || ship->Marker == nullptr) {
        return;
    }
    // One of the player's ships is chosen in the order of battle, as a click there would;
    // another side's ship in sight is shown where she is.
    for (QTreeWidgetItemIterator it(tree_); *it != nullptr; ++it) {
        QTreeWidgetItem* item = *it;
        if (item->data(0, kKindRole).toInt() == nkShip &&
            item->data(0, kIdRole).toInt() == ship->Id.Value) {
            tree_->clearSelection();
            item->setSelected(true);
            tree_->setCurrentItem(item);
            tree_->scrollToItem(item);
            return;
        }
    }
    if (!ship->Marker->Hidden()) {
        chart_->SetCentre(ship->Position());
    }
}

void TfrmMain::ShowFullLog() {
    if (world_ == nullptr) {
        return;
    }
    QDialog dialog(this);
    dialog.setWindowTitle("Full log");
    auto* layout = new QVBoxLayout(&dialog);
    auto* text = new QPlainTextEdit(&dialog);
    text->setObjectName("fullLog");
    text->setReadOnly(true);
    for (const engine::TFullLogEntry& entry : world_->Log.FullLog()) {
        // Flushed lines keep their one-digit marker; the reader wants the text.
        const bool marked = entry.line.size() > 1 && entry.line[0] >= '0' && entry.line[0] <= '9';
        text->appendPlainText(Q(entry.time + (marked ? entry.line.substr(1) : entry.line)));
    }
    layout->addWidget(text);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Close, &dialog);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(buttons);
    dialog.resize(600, 500);
    dialog.exec();
}

// ---- Order of battle ------------------------------------------------------------------------

void TfrmMain::FillTree() {
    const QSignalBlocker blocker(tree_);
    tree_->clear();
    if (world_ == nullptr) {
        return;
    }
    for (const auto& force : world_->Forces) {
        if (world_->PlayerSide != 2 && force->Side != world_->PlayerSide) {
            continue;
        }
        auto* forceItem = new QTreeWidgetItem(tree_, {Q(force->Name)});
        if (force->Side == 0 || force->Side == 1) {
            forceItem->setIcon(
                0, FlagPicture(world_->Folders(),
                               world_->Sides[static_cast<std::size_t>(force->Side)].FlagFile,
                               kTreeFlagHeight));
        }
        forceItem->setData(0, kKindRole, nkForce);
        forceItem->setData(0, kIdRole, force->Id.Value);
        for (combat::TDivision* division : force->Divisions) {
            auto* divisionItem = new QTreeWidgetItem(forceItem, {Q(division->TreeText())});
            divisionItem->setData(0, kKindRole, nkDivision);
            divisionItem->setData(0, kIdRole, division->Id.Value);
            for (combat::TFightingShip* ship : division->Ships) {
                auto* shipItem = new QTreeWidgetItem(divisionItem, {Q(ship->Name)});
                shipItem->setData(0, kKindRole, nkShip);
                shipItem->setData(0, kIdRole, ship->Id.Value);
            }
            if (division == SelectedDivision()) {
                divisionItem->setSelected(true);
            }
        }
        forceItem->setExpanded(true);
    }
}

void TfrmMain::ApplyObjectiveVisibility() {
    if (world_ == nullptr) {
        return;
    }
    // The chart marks the player's own objectives; the enemy's only when asked for (and
    // always for a watcher).
    const QAction* all = Action("Show all objectives");
    const bool showAll = world_->PlayerSide == 2 || (all != nullptr && all->isChecked());
    for (const auto& objective : world_->Objectives) {
        objective->Marker->SetHidden(!showAll && objective->Side != world_->PlayerSide);
    }
}

void TfrmMain::FillObjectives() {
    objectives_->clear();
    briefing_->clear();
    if (world_ == nullptr) {
        return;
    }
    for (const auto& objective : world_->Objectives) {
        // The player sees the side's own objectives; a watcher sees both sides'.
        if (world_->PlayerSide != 2 && objective->Side != world_->PlayerSide) {
            continue;
        }
        if (objective->Description().empty()) {
            continue;
        }
        auto* item = new QListWidgetItem(objectives_);
        item->setData(Qt::UserRole, objective->Id.Value);
    }
    RefreshObjectiveStatus();
}

void TfrmMain::RefreshObjectiveStatus() {
    if (world_ == nullptr) {
        return;
    }
    for (int i = 0; i < objectives_->count(); ++i) {
        QListWidgetItem* item = objectives_->item(i);
        const engine::TObjectiveCondition* objective =
            world_->FindObjective(engine::TObjectiveId(item->data(Qt::UserRole).toInt()));
        if (objective == nullptr) {
            continue;
        }
        QString text = Q(objective->Description());
        if (objective->PointValue != 0) {
            text += QString(" (%1 points)").arg(objective->PointValue);
        }
        item->setText(text + " - " + Q(objective->StatusText()));
    }
}

void TfrmMain::FillReports() {
    reports_->clear();
    if (world_ == nullptr) {
        return;
    }
    for (const engine::TReport* report : engine::PlayerReportList(*world_)) {
        auto* item = new QListWidgetItem(Q(report->ListText()), reports_);
        item->setData(Qt::UserRole, report->Id.Value);
    }
}

void TfrmMain::LogLineClicked(int line, Qt::MouseButton button) {
    if (world_ == nullptr) {
        return;
    }
    const auto& lines = world_->Log.Displayed();
    if (line < 0 || line >= static_cast<int>(lines.size())) {
        return;
    }
    const engine::TLogObject& object = lines[static_cast<std::size_t>(line)].object;
    const auto* shipId = std::get_if<combat::TShipId>(&object);
    const auto* divisionId = std::get_if<combat::TDivisionId>(&object);
    const auto* objectiveId = std::get_if<engine::TObjectiveId>(&object);
    combat::TFightingShip* ship = shipId != nullptr ? world_->FindShip(*shipId) : nullptr;
    combat::TDivision* division =
        divisionId != nullptr ? world_->FindDivision(*divisionId) : nullptr;
    const engine::TObjectiveCondition* objective =
        objectiveId != nullptr ? world_->FindObjective(*objectiveId) : nullptr;
    if (button == Qt::RightButton) {
        // The chart centres on what the line is about.
        if (ship != nullptr && ship->Marker) {
            chart_->SetCentre(ship->Position());
        } else if (objective != nullptr) {
            chart_->SetCentre(objective->Location);
        }
        return;
    }
    if (std::holds_alternative<std::monostate>(object)) {
        Messages().Inform("No object!");
        return;
    }
    if (ship != nullptr) {
        if (!world_->PlayerMaySee(*ship)) {
            Messages().Inform("Cannot inspect enemy ships");
            return;
        }
        ShowShipStatus(ship);
        return;
    }
    if (division != nullptr) {
        SelectDivision(division);
    }
}

bool TfrmMain::eventFilter(QObject* watched, QEvent* event) {
    // The key pressed in the window's focused widget comes here before the widget sees it,
    // so that the game keys act wherever the focus is; keys sent to the window itself come
    // through keyPressEvent.
    if (event->type() == QEvent::KeyPress && watched != this && watched->isWidgetType() &&
        watched == focusWidget()) {
        if (HandleKey(*static_cast<QKeyEvent*>(event))) {
            event->accept();
            return true;
        }
    }
    if (watched == chart_ && event->type() == QEvent::Resize) {
        PlaceInset();
        PlacePauseCaption();
    }
    if (watched == log_->viewport() && event->type() == QEvent::MouseButtonRelease) {
        const auto* mouse = static_cast<QMouseEvent*>(event);
        const QString anchor = log_->anchorAt(mouse->position().toPoint());
        if (anchor.startsWith("ship:") && mouse->button() == Qt::LeftButton && world_ != nullptr) {
            SelectShip(world_->FindShip(combat::TShipId(anchor.mid(5).toInt())));
            return true;
        }
        const QTextCursor cursor = log_->cursorForPosition(mouse->position().toPoint());
        const int row = cursor.blockNumber();
        LogLineClicked(row >= 0 && row < static_cast<int>(logRows_.size())
                           ? logRows_[static_cast<std::size_t>(row)]
                           : -1,
                       mouse->button());
    }
    return QMainWindow::eventFilter(watched, event);
}

void TfrmMain::OnTreeSelection() {
    try {
        TreeSelectionChanged();
    } catch (const std::exception& e) {
        Messages().Error(std::string("Error in tvShips change procedure!\r") + e.what());
    }
}

void TfrmMain::TreeSelectionChanged() {
    const auto items = tree_->selectedItems();
    if (items.isEmpty()) {
        return;
    }
    QTreeWidgetItem* item = items.front();
    const int kind = item->data(0, kKindRole).toInt();
    if (kind == nkShip) {
        SetInsetShip(ShipOfItem(item));
        item = item->parent();
    } else if (kind != nkDivision) {
        return;
    }
    auto* division = DivisionOfItem(item);
    if (division != SelectedDivision()) {
        selectedId_ = IdOf(division);
        chart_->SetSelectedDivision(division);
        if (kind == nkDivision && division != nullptr) {
            SetInsetShip(division->Flagship());
        }
        RefreshOrders();
        chart_->update();
    }
}

void TfrmMain::SelectDivision(combat::TDivision* division) {
    selectedId_ = IdOf(division);
    chart_->SetSelectedDivision(division);
    if (division != nullptr) {
        SetInsetShip(division->Flagship());
    }
    {
        const QSignalBlocker blocker(tree_);
        tree_->clearSelection();
        for (QTreeWidgetItemIterator it(tree_); *it != nullptr; ++it) {
            QTreeWidgetItem* item = *it;
            if (item->data(0, kKindRole).toInt() == nkDivision && division != nullptr &&
                item->data(0, kIdRole).toInt() == division->Id.Value) {
                item->setSelected(true);
                tree_->setCurrentItem(item);
                tree_->scrollToItem(item);
                break;
            }
        }
    }
    RefreshOrders();
    chart_->update();
}

// ---- The tree's popup menu -----------------------------------------------------------------

QTreeWidgetItem* TfrmMain::CurrentTreeItem() const {
    QTreeWidgetItem* item = tree_->currentItem();
    if (item == nullptr) {
        const auto selected = tree_->selectedItems();
        item = selected.isEmpty() ? nullptr : selected.front();
    }
    return item;
}

void TfrmMain::TreeCommand(const QString& entry) {
    if (entry == "Find ship...") {
        FindShip();
        return;
    }
    if (entry == "Find subordinates...") {
        FindSubordinates();
        return;
    }
    QTreeWidgetItem* item = CurrentTreeItem();
    if (item == nullptr || world_ == nullptr) {
        return;
    }
    const int kind = item->data(0, kKindRole).toInt();
    combat::TFightingShip* ship = kind == nkShip ? ShipOfItem(item) : nullptr;
    combat::TDivision* division = kind == nkDivision ? DivisionOfItem(item) : nullptr;
    // A watcher leaves every division to the computer, yet may look at all of them.
    const bool watching = world_->PlayerSide == 2;
    if (entry == "Status...") {
        if (ship != nullptr) {
            const combat::TDivision* own = world_->DivisionOfShip(ship);
            if (!watching && own != nullptr && own->AIControl) {
                Messages().Inform("Ship is under AI control!");
                return;
            }
            ShowShipStatus(ship);
        } else if (division != nullptr) {
            if (!watching && division->AIControl) {
                Messages().Inform("Division is under AI control!");
                return;
            }
            SelectDivision(division);
            ShowDivisionOrders(division);
        }
    } else if (entry == "Center map") {
        const combat::TFightingShip* at = ship != nullptr       ? ship
                                          : division != nullptr ? division->Flagship()
                                                                : nullptr;
        if (at != nullptr && at->Marker) {
            chart_->SetCentre(at->Position());
        }
    } else if (entry == "Detach") {
        DetachShip(ship);
    } else if (entry == "Set target...") {
        if (world_->Preferences.RealismSetting != engine::kRealismCaptain) {
            if (ship != nullptr) {
                Messages().Inform("No manual targeting for ships on this setting!");
            } else if (division != nullptr) {
                Messages().Inform("No manual targeting on this setting!");
            }
        }
    }
}

void TfrmMain::DetachShip(combat::TFightingShip* ship) {
    if (ship == nullptr || world_ == nullptr) {
        return;
    }
    if (world_->PlayerSide == engine::kWatchingSide || ship->Side != world_->PlayerSide) {
        Messages().Inform("Ship is under AI control!");
        return;
    }
    if (const std::string refusal = engine::DetachRefusal(*world_, *ship); !refusal.empty()) {
        Messages().Inform(refusal);
        return;
    }
    if (!Messages().ConfirmYesNo("Do you want to detach " + ship->Name +
                                 " and send her home to closest friendly base?")) {
        return;
    }
    if (Order(engine::TDetachOrder{ship->Id})) {
        FillTree();
        RefreshOrders();
    }
}

std::vector<combat::TDivision*> TfrmMain::Subordinates(const combat::TDivision* division) const {
    std::vector<combat::TDivision*> result;
    if (division == nullptr || division->Force == nullptr) {
        return result;
    }
    for (combat::TDivision* other : division->Force->Divisions) {
        if (other != division) {
            result.push_back(other);
        }
    }
    return result;
}

void TfrmMain::GoToDivision(combat::TDivision* division) {
    if (division == nullptr) {
        return;
    }
    SelectDivision(division);
    if (const combat::TFightingShip* flagship = division->Flagship();
        flagship != nullptr && flagship->Marker) {
        chart_->SetCentre(flagship->Position());
    }
}

void TfrmMain::FindSubordinates() {
    if (!RequireDivision()) {
        return;
    }
    const std::vector<combat::TDivision*> others = Subordinates(SelectedDivision());
    if (others.empty()) {
        return;
    }
    QStringList names;
    for (const combat::TDivision* d : others) {
        names << Q(d->DivisionName);
    }
    bool ok = false;
    const QString chosen =
        QInputDialog::getItem(this, "Find subordinates", "Division", names, 0, false, &ok);
    const auto index = names.indexOf(chosen);
    if (ok && index >= 0) {
        GoToDivision(others[static_cast<std::size_t>(index)]);
    }
}

void TfrmMain::OnObjectivesMenu(const QPoint& at) {
    QListWidgetItem* item = objectives_->itemAt(at);
    if (item == nullptr) {
        return;
    }
    auto* objective =
        world_ != nullptr
            ? world_->FindObjective(engine::TObjectiveId(item->data(Qt::UserRole).toInt()))
            : nullptr;
    QMenu menu(this);
    QAction* locate = menu.addAction("Locate");
    // An objective without a place (sink so many ships) has its location at (0, 0).
    locate->setEnabled(objective != nullptr && objective->Location != map::TGeoPos{});
    if (menu.exec(objectives_->viewport()->mapToGlobal(at)) == locate && objective != nullptr) {
        chart_->SetCentre(objective->Location);
    }
}

void TfrmMain::FindShip() {
    if (world_ == nullptr) {
        return;
    }
    const auto entry = Messages().InputBox("Find ship", "Enter ship name or part of ship name", "");
    if (!entry) {
        return;
    }
    const QString wanted = Q(*entry).toUpper();
    for (QTreeWidgetItemIterator it(tree_); *it != nullptr; ++it) {
        QTreeWidgetItem* item = *it;
        if (item->data(0, kKindRole).toInt() == nkShip &&
            item->text(0).toUpper().contains(wanted)) {
            tree_->clearSelection();
            item->setSelected(true);
            tree_->setCurrentItem(item);
            tree_->scrollToItem(item);
            tree_->setFocus();
            return;
        }
    }
    Messages().Inform(*entry + " not found!");
}

// ---- Orders ---------------------------------------------------------------------------------

bool TfrmMain::MayOrder(const combat::TDivision* division) const {
    return world_ != nullptr && division != nullptr && world_->PlayerSide != 2 &&
           division->Side == world_->PlayerSide && !division->AIControl &&
           engine::OrdersAllowed(*world_, division->Side) && !world_->ScenarioFinished;
}

void TfrmMain::ShowSunTimes() {
    const combat::TDivision* division = SelectedDivision();
    if (world_ == nullptr || division == nullptr) {
        Messages().Inform("Select a division first");
        return;
    }
    const combat::TFightingShip* flagship = division->Flagship();
    if (flagship == nullptr) {
        Messages().Inform("No ships in selected division!");
        return;
    }
    // Nothing is shown when the light does not change for the next thousand minutes.
    const std::string text = engine::SunTimes(*flagship, world_->Clock);
    if (!text.empty()) {
        Messages().Inform(text);
    }
}

bool TfrmMain::RequireDivision() {
    if (SelectedDivision() == nullptr) {
        Messages().Inform("No division selected");
        return false;
    }
    return true;
}

void TfrmMain::RefreshOrders() {
    const bool enabled = MayOrder(SelectedDivision());
    for (QWidget* w : std::initializer_list<QWidget*>{courseBox_, speedBox_, turnTogether_, sqMax_,
                                                      med_, cruise_}) {
        w->setEnabled(enabled);
    }
    if (QAction* pick = Action("Pick course from map")) {
        pick->setEnabled(enabled);
    }
    RefreshMarkPanel();
    if (SelectedDivision() == nullptr || courseBox_->hasFocus() || speedBox_->hasFocus()) {
        return;
    }
    updatingOrders_ = true;
    courseBox_->setValue(SelectedDivision()->Course % 360);
    speedBox_->setValue(SelectedDivision()->Speed);
    turnTogether_->setChecked(SelectedDivision()->TurnTogether);
    updatingOrders_ = false;
}

void TfrmMain::CourseBoxChanged(int value) {
    if (updatingOrders_ || leavingBoxes_) {
        return;
    }
    // Round the compass: 360 is north again, one below north is 359.
    if (value >= 360 || value < 0) {
        updatingOrders_ = true;
        value = value >= 360 ? 0 : 359;
        courseBox_->setValue(value);
        updatingOrders_ = false;
    }
    if (world_ != nullptr && MayOrder(SelectedDivision())) {
        engine::TDivisionOrder order;
        order.Division = selectedId_;
        order.Course = value;
        Order(order);
        chart_->update();
    }
}

bool TfrmMain::CommitOrderBoxes() {
    const QString text = courseBox_->RawText().trimmed();
    bool ok = false;
    const int course = text.toInt(&ok);
    if (!ok) {
        Messages().Error("Not a valid course! Enter course in degrees!");
        return false;
    }
    if (course < 0 || course > 360) {
        Messages().Error("Illegal value! Enter course as 0 - 360 degrees!");
        return false;
    }
    if (!RequireDivision()) {
        return false;
    }
    if (world_ != nullptr && MayOrder(SelectedDivision())) {
        const combat::TDivision& d = *SelectedDivision();
        // Only what the boxes change is ordered.
        engine::TDivisionOrder order;
        order.Division = selectedId_;
        if (map::NormaliseCourse(course) != d.Course) {
            order.Course = course;
        }
        // What is typed in the speed box, which the box itself takes only when it is left.
        bool speedOk = false;
        const int typedSpeed = speedBox_->cleanText().toInt(&speedOk);
        const int speed = speedOk
                              ? std::clamp(typedSpeed, speedBox_->minimum(), speedBox_->maximum())
                              : speedBox_->value();
        if (speed != d.Speed) {
            order.Speed = speed;
        }
        if (turnTogether_->isChecked() != d.TurnTogether) {
            order.TurnTogether = turnTogether_->isChecked();
        }
        if (order.Course || order.Speed || order.TurnTogether) {
            Order(order);
        }
    }
    return true;
}

void TfrmMain::SetDivisionSpeed(int speed) {
    if (!MayOrder(SelectedDivision())) {
        return;
    }
    engine::TDivisionOrder order;
    order.Division = selectedId_;
    order.Speed = speed;
    Order(order);
    updatingOrders_ = true;
    speedBox_->setValue(SelectedDivision()->Speed);
    updatingOrders_ = false;
}

void TfrmMain::CourseToPixel(const QPointF& pixel) {
    if (!RequireDivision() || world_ == nullptr) {
        return;
    }
    const combat::TFightingShip* flagship = SelectedDivision()->Flagship();
    const auto target = chart_->PixelToPosition(pixel);
    if (flagship == nullptr || !target || !MayOrder(SelectedDivision())) {
        return;
    }
    engine::TDivisionOrder order;
    order.Division = selectedId_;
    order.Course = map::BearingBetween(flagship->Position(), *target);
    Order(order);
    updatingOrders_ = true;
    courseBox_->setValue(SelectedDivision()->Course);
    updatingOrders_ = false;
    chart_->update();
}

combat::TDivision* TfrmMain::DivisionNear(const QPointF& pixel) const {
    if (world_ == nullptr) {
        return nullptr;
    }
    combat::TDivision* best = nullptr;
    double bestDistance = kPickRadius;
    for (const auto& division : world_->Divisions) {
        const combat::TFightingShip* flagship = division->Flagship();
        if (flagship == nullptr || !flagship->Marker) {
            continue;
        }
        const auto at = chart_->PositionToPixel(flagship->Position());
        if (!at) {
            continue;
        }
        const double distance = std::hypot(at->x() - pixel.x(), at->y() - pixel.y());
        if (distance <= bestDistance) {
            bestDistance = distance;
            best = division.get();
        }
    }
    if (best == nullptr) {
        best = chart_->DivisionAt(pixel);
    }
    return best;
}

void TfrmMain::OnChartDoubleClicked() {
    awaitingMark_ = true;
}

std::optional<map::TGeoPos> TfrmMain::MarkedPoint() const {
    return chart_->MarkedPoint();
}

void TfrmMain::OnChartClicked(QPointF pixel, Qt::MouseButton button,
                              Qt::KeyboardModifiers modifiers) {
    if (awaitingMark_) {
        // The release that ends a double click marks the point.
        awaitingMark_ = false;
        chart_->SetMarkedPoint(chart_->PixelToPosition(pixel));
        RefreshMarkPanel();
        return;
    }
    if (button == Qt::LeftButton && chart_->MarkedPoint()) {
        chart_->SetMarkedPoint(std::nullopt);
        RefreshMarkPanel();
    }
    if (button == Qt::LeftButton && dialogPickCourse_ && divisionReport_ != nullptr) {
        // The course goes into the orders window, which the player then confirms.
        EndChartModes();
        const combat::TDivision* division = divisionReport_->Division();
        const combat::TFightingShip* flagship =
            division != nullptr ? division->Flagship() : nullptr;
        const auto target = chart_->PixelToPosition(pixel);
        if (flagship != nullptr && target) {
            divisionReport_->SetPickedCourse(map::BearingBetween(flagship->Position(), *target) %
                                             360);
        } else {
            divisionReport_->Resume();
        }
        return;
    }
    if (button == Qt::LeftButton && pickDivisionTarget_ && divisionReport_ != nullptr) {
        EndChartModes();
        combat::TDivision* division = divisionReport_->Division();
        combat::TDivision* target = DivisionNear(pixel);
        if (division != nullptr && target != nullptr && target->Side != division->Side &&
            !target->IsNeutral()) {
            Order(engine::TDivisionTargetOrder{division->Id, target->Id});
        }
        divisionReport_->Resume();
        return;
    }
    if (button == Qt::LeftButton && pickCourse_) {
        pickCourse_ = false;
        chart_->unsetCursor();
        CourseToPixel(pixel);
        return;
    }
    if (button == Qt::LeftButton && (modifiers & Qt::ShiftModifier) &&
        MayOrder(SelectedDivision())) {
        CourseToPixel(pixel);
        return;
    }
    if (button == Qt::RightButton && world_ != nullptr) {
        // A right click on a flag gives the division its orders; on a ship, its status.
        if (combat::TDivision* division = chart_->FlagAt(pixel);
            division != nullptr && division->Side == world_->PlayerSide) {
            SelectDivision(division);
            ShowDivisionOrders(division);
            return;
        }
        if (combat::TFightingShip* ship = chart_->ShipAt(pixel)) {
            ShowShipStatus(ship);
            return;
        }
    }
    if (combat::TDivision* division = DivisionNear(pixel)) {
        SelectDivision(division);
    }
}

void TfrmMain::EndChartModes() {
    pickCourse_ = false;
    dialogPickCourse_ = false;
    pickDivisionTarget_ = false;
    chart_->unsetCursor();
}

void TfrmMain::ShowDivisionOrders(combat::TDivision* division, int courseValue) {
    if (world_ == nullptr || division == nullptr || world_->PlayerSide == 2 ||
        division->Side != world_->PlayerSide) {
        return;
    }
    if (divisionReport_ == nullptr) {
        divisionReport_ = new TdlgDivisionReport(*world_, Messages(), this);
        connect(divisionReport_, &TdlgDivisionReport::pickCourseRequested, this, [this] {
            EndChartModes();
            dialogPickCourse_ = true;
            chart_->setCursor(Qt::CrossCursor);
        });
        connect(divisionReport_, &TdlgDivisionReport::divisionTargetRequested, this, [this] {
            EndChartModes();
            pickDivisionTarget_ = true;
            chart_->setCursor(Qt::CrossCursor);
        });
        // Aiming one ship's guns by hand comes with the targeting windows; until then the
        // orders window comes straight back.
        connect(divisionReport_, &TdlgDivisionReport::shipTargetRequested, divisionReport_,
                &TdlgDivisionReport::Resume);
        connect(divisionReport_, &TdlgDivisionReport::torpedoTargetRequested, this,
                &TfrmMain::ShowTorpedoTarget);
        connect(divisionReport_, &TdlgDivisionReport::shipDetailsRequested, this,
                &TfrmMain::ShowShipStatus);
        connect(divisionReport_, &TdlgDivisionReport::centreRequested, this,
                [this](map::TGeoPos position) { chart_->SetCentre(position); });
        connect(divisionReport_, &TdlgDivisionReport::flotillaAttackDisplayChanged, this,
                [this](bool on) {
                    flotillaAttackDisplay_ = on;
                    chart_->update();
                });
        connect(divisionReport_, &TdlgDivisionReport::divisionChanged, this,
                [this](combat::TDivision* changed) {
                    RefreshDivisionNode(changed);
                    RefreshOrders();
                    chart_->update();
                });
    }
    EndChartModes();
    divisionReport_->Open(division, courseValue);
}

void TfrmMain::ShowTorpedoTarget(combat::TFightingShip* ship) {
    if (world_ == nullptr || ship == nullptr) {
        return;
    }
    if (torpedoTarget_ == nullptr) {
        torpedoTarget_ = new TdlgTorpedoTarget(*world_, Messages(), this);
        connect(torpedoTarget_, &TdlgTorpedoTarget::finished, this, [this] {
            if (divisionReport_ != nullptr) {
                divisionReport_->Resume();
            }
        });
        connect(torpedoTarget_, &TdlgTorpedoTarget::torpedoesFired, this, [this] {
            RefreshLog();
            chart_->update();
        });
    }
    torpedoTarget_->Open(ship);
}

void TfrmMain::RefreshDivisionNode(const combat::TDivision* division) {
    for (QTreeWidgetItemIterator it(tree_); *it != nullptr; ++it) {
        if ((*it)->data(0, kKindRole).toInt() == nkDivision && division != nullptr &&
            (*it)->data(0, kIdRole).toInt() == division->Id.Value) {
            (*it)->setText(0, Q(division->TreeText()));
            return;
        }
    }
}

void TfrmMain::ShowShipStatus(combat::TFightingShip* ship) {
    if (world_ == nullptr || ship == nullptr) {
        return;
    }
    const bool own = world_->PlayerMaySee(*ship);
    // An enemy is looked at only once the class has been made out.
    if (!own && ship->SightingLevel < combat::kClassIdentified) {
        return;
    }
    if (shipStatus_ == nullptr) {
        shipStatus_ = new TdlgShipStatus(*world_, Messages(), this);
        connect(shipStatus_, &TdlgShipStatus::divisionRequested, this,
                [this](combat::TDivision* division) { GoToDivision(division); });
    }
    shipStatus_->SetChartColours(chart_->Colours());
    shipStatus_->Open(ship, !own);
}

// ---- The inset view -------------------------------------------------------------------------

combat::TFightingShip* TfrmMain::FirstPlayerShip() const {
    if (world_ == nullptr) {
        return nullptr;
    }
    for (const auto& ship : world_->Ships) {
        if (ship->InPlay() && ship->Marker &&
            (world_->PlayerSide == 2 || ship->Side == world_->PlayerSide)) {
            return ship.get();
        }
    }
    return nullptr;
}

void TfrmMain::SetInsetShip(combat::TFightingShip* ship, bool force) {
    const QAction* locked = Action("Lock to current ship");
    if (!force && locked != nullptr && locked->isChecked() && InsetShip() != nullptr) {
        return;
    }
    insetShipId_ = IdOf(ship);
    UpdateInset();
}

void TfrmMain::UpdateInset() {
    if (!insetFrame_->isVisible() || InsetShip() == nullptr || world_ == nullptr) {
        return;
    }
    if (!InsetShip()->Marker) {
        return;
    }
    // The name goes above the picture, where the frame cannot cut it short.
    insetCaption_->setText(Q(InsetShip()->Name));
    const double lengthYards = std::max(1, InsetShip()->Length) / kFeetPerYard;
    inset_->SetAltitude(lengthYards * kInsetShipLengths * map::kGlobeUnitsPerYard);
    inset_->SetCentre(InsetShip()->Position());
    inset_->update();
}

void TfrmMain::PlacePauseCaption() {
    // Top centre, clear of the latitude labels down the left edge.
    constexpr int kCaptionTop = 24;
    pauseLabel_->move((chart_->width() - pauseLabel_->width()) / 2, kCaptionTop);
}

void TfrmMain::PlaceInset() {
    // The lower right corner: the scale bar has the lower left, and the bottom edge its
    // longitude labels.
    constexpr int kBottomLabelsRoom = 22;
    insetFrame_->move(chart_->width() - kInsetWidth - kInsetMargin,
                      chart_->height() - kInsetHeight - kInsetMargin - kBottomLabelsRoom);
}

void TfrmMain::keyReleaseEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Shift) {
        chart_->setCursor(pickCourse_ ? Qt::CrossCursor : Qt::ArrowCursor);
    }
    QMainWindow::keyReleaseEvent(event);
}

void TfrmMain::FollowLockedDivision() {
    QAction* lock = Action("Lock view to division");
    if (lock == nullptr || !lock->isChecked() || SelectedDivision() == nullptr) {
        return;
    }
    if (const combat::TFightingShip* flagship = SelectedDivision()->Flagship();
        flagship && flagship->Marker) {
        chart_->SetCentre(flagship->Position());
    }
}

// ---- Keyboard -------------------------------------------------------------------------------

namespace {

// The keys that edit a number in the course or speed box while it has the focus.
bool IsEditingKey(int key) {
    switch (key) {
    case Qt::Key_Backspace:
    case Qt::Key_Delete:
    case Qt::Key_Left:
    case Qt::Key_Right:
    case Qt::Key_Home:
    case Qt::Key_End:
    case Qt::Key_Up:
    case Qt::Key_Down:
    case Qt::Key_Minus:
    case Qt::Key_Tab:
    case Qt::Key_Backtab:
        return true;
    default:
        return key >= Qt::Key_0 && key <= Qt::Key_9;
    }
}

} // namespace

bool TfrmMain::IsGameKey(int key, Qt::KeyboardModifiers modifiers) {
    if ((modifiers & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) != 0) {
        return false;
    }
    switch (key) {
    case Qt::Key_Space:
    case Qt::Key_Return:
    case Qt::Key_Enter:
    case Qt::Key_E:
    case Qt::Key_P:
    case Qt::Key_Plus:
    case Qt::Key_PageDown:
    case Qt::Key_X:
    case Qt::Key_Minus:
    case Qt::Key_PageUp:
    case Qt::Key_Z:
    case Qt::Key_C:
    case Qt::Key_V:
    case Qt::Key_F:
    case Qt::Key_Less:
        return true;
    case Qt::Key_Q:
        return (modifiers & Qt::ShiftModifier) != 0;
    default:
        return key >= Qt::Key_0 && key <= Qt::Key_9;
    }
}

bool TfrmMain::InOrderBox(const QWidget* widget) const {
    return widget != nullptr &&
           (widget == courseBox_ || widget == speedBox_ || courseBox_->isAncestorOf(widget) ||
            speedBox_->isAncestorOf(widget));
}

void TfrmMain::LeaveOrderBoxes() {
    leavingBoxes_ = true;
    chart_->setFocus(Qt::OtherFocusReason);
    leavingBoxes_ = false;
    // The boxes show the orders again, whatever was typed.
    courseBox_->clearFocus();
    speedBox_->clearFocus();
    RefreshOrders();
}

bool TfrmMain::HandleKey(const QKeyEvent& event) {
    const int key = event.key();
    const Qt::KeyboardModifiers modifiers = event.modifiers();
    if (key == Qt::Key_Shift) {
        // A shift-click steers: the cross shows it.
        chart_->setCursor(Qt::CrossCursor);
        return false;
    }
    QWidget* focus = focusWidget();
    if (InOrderBox(focus)) {
        const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
        if (enter) {
            // Enter confirms the boxes instead of running the clock.
            if (CommitOrderBoxes()) {
                LeaveOrderBoxes();
            }
            return true;
        }
        if (key == Qt::Key_Escape) {
            LeaveOrderBoxes();
            return true;
        }
        if (IsEditingKey(key) || !IsGameKey(key, modifiers)) {
            return false;
        }
    } else if (!IsGameKey(key, modifiers)) {
        return false;
    }
    if (focus != nullptr && focus != chart_) {
        chart_->setFocus(Qt::OtherFocusReason);
    }
    return GameKey(key, modifiers);
}

bool TfrmMain::GameKey(int key, Qt::KeyboardModifiers modifiers) {
    const bool shift = modifiers & Qt::ShiftModifier;
    const bool enter = key == Qt::Key_Return || key == Qt::Key_Enter;
    if (key >= Qt::Key_1 && key <= Qt::Key_9) {
        controller_->Run(key - Qt::Key_0);
        if (key == Qt::Key_5) {
            controller_->TickNow();
        }
    } else if (key == Qt::Key_Space) {
        // One minute at once: start it now rather than at the next run-timer event.
        if (!controller_->Running()) {
            controller_->Run(1);
        }
        controller_->TickNow();
    } else if (enter || key == Qt::Key_0) {
        controller_->Run(engine::TGameWorld::kRunUntilStopped);
    } else if (key == Qt::Key_E || key == Qt::Key_P) {
        if (controller_->Running()) {
            controller_->Pause();
        } else {
            controller_->Run(engine::TGameWorld::kRunUntilStopped);
        }
    } else if (key == Qt::Key_Plus || key == Qt::Key_PageDown || key == Qt::Key_X) {
        chart_->ZoomIn();
    } else if (key == Qt::Key_Minus || key == Qt::Key_PageUp || key == Qt::Key_Z) {
        chart_->ZoomOut();
    } else if (key == Qt::Key_C) {
        SpeedUp();
    } else if (key == Qt::Key_V) {
        SpeedDown();
    } else if (key == Qt::Key_F) {
        ZoomToPlayerShips();
    } else if (key == Qt::Key_Q && shift) {
        EndGame();
    } else if (key == Qt::Key_Less) {
        controller_->Run(5);
    } else {
        return false;
    }
    RefreshRunControls();
    return true;
}

// Keys act as they go down. The Enter that confirms the "Find ship" box goes down in that box,
// so its release here starts nothing.
void TfrmMain::closeEvent(QCloseEvent* event) {
    if (keepsPreferences_) {
        KeepPreferences();
    }
    QMainWindow::closeEvent(event);
}

void TfrmMain::keyPressEvent(QKeyEvent* event) {
    if (HandleKey(*event)) {
        event->accept();
        return;
    }
    QMainWindow::keyPressEvent(event);
}

// ---- Opening a scenario ---------------------------------------------------------------------

void TfrmMain::AnalyseBattleDialog() {
    if (world_ == nullptr || !folders_) {
        Messages().Inform("Open a scenario first: the analysis plays the open scenario.");
        return;
    }
    TdlgAnalyseBattle dialog(QString::fromStdString(setup_.ScenarioFile.stem().string()),
                             setup_.Sides.ForceLevel[0], this);
    if (dialog.exec() != QDialog::Accepted) {
        return;
    }
    const TAnalysis analysis{dialog.RunsBox()->value(), dialog.JobsBox()->value(),
                             dialog.ForceLevelBox()->currentIndex()};
    if (const auto report = RunAnalysis(this, *folders_, setup_, analysis, Messages())) {
        QDesktopServices::openUrl(QUrl::fromLocalFile(QString::fromStdString(report->string())));
    }
}

void TfrmMain::OpenScenarioDialog() {
    if (!folders_) {
        return;
    }
    TdlgOpenScenario dialog(*folders_, this);
    dialog.resize(kOpenDialogWidth, kOpenDialogHeight);
    if (dialog.exec() != QDialog::Accepted || dialog.Selected() == nullptr) {
        return;
    }
    const TScenarioEntry entry = *dialog.Selected();
    OpenScenario(entry.File, dialog.PlayerSide(), entry.GameName, dialog.ForceLevels());
}

} // namespace tarnwake::ui
