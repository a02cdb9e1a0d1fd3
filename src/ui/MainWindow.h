#pragma once

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Folders.h"
#include "engine/Orders.h"
#include "engine/Side.h"
#include "map/GeoDataObject.h"
#include "map/GeoPos.h"
#include "scenario/GameStart.h"
#include "ui/ChartColours.h"
#include "ui/QtPlatform.h"
#include "ui/QtSound.h"

#include <QMainWindow>
#include <QSpinBox>
#include <array>
#include <filesystem>
#include <map>
#include <memory>
#include <optional>
#include <vector>

class QAction;
class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QTabWidget;
class QTextEdit;
class QLineEdit;
class QToolButton;
class QTreeWidget;
class QTreeWidgetItem;
class QListWidget;
class QFrame;
class QMenu;
class QTimer;

namespace tarnwake::engine {
class TGameWorld;
struct TStyledLine;
} // namespace tarnwake::engine

namespace tarnwake::ui {

class TChartView;
class TGameController;
class TdlgShipStatus;
class TdlgDivisionReport;
class TdlgTorpedoTarget;

// The course box of the orders panel: it wraps round the compass (360 is 0, below 0 is 359)
// and lets anything be typed, so that the window can say what is wrong with a bad entry
// when the box is left.
class TCourseBox : public QSpinBox {
    Q_OBJECT
public:
    explicit TCourseBox(QWidget* parent = nullptr);
    QString RawText() const;

signals:
    void left();

protected:
    QValidator::State validate(QString& input, int& pos) const override;
    void focusOutEvent(QFocusEvent* event) override;
};

// The main window: the chart, the toolbar, the orders panel, the side panel with its four
// tabs and the status bar.
class TfrmMain : public QMainWindow {
    Q_OBJECT
public:
    // The status bar: the sides, the weather and wind, the game speed, the clock, the time
    // elapsed, the point under the cursor and the marked point.
    static constexpr int kStatusPanelCount = 7;
    static constexpr int kSidesPanel = 0;
    static constexpr int kWeatherPanel = 1;
    static constexpr int kGameSpeedPanel = 2;
    static constexpr int kClockPanel = 3;
    static constexpr int kElapsedPanel = 4;
    static constexpr int kCursorPanel = 5;
    static constexpr int kMarkPanel = 6;
    // The "Cruise" button's speed in knots, whatever the ships can make.
    static constexpr int kCruiseSpeed = 16;

    explicit TfrmMain(QWidget* parent = nullptr);
    ~TfrmMain() override;

    // A new player's first window: most of the screen's free area, centred in it.
    static QRect FirstGeometry(const QRect& available);
    // The sizes a window may be given, by the preferences or for a picture.
    static constexpr int kSmallestWidth = 200;
    static constexpr int kSmallestHeight = 150;
    static constexpr int kLargestSide = 8000;
    static constexpr double kFirstWindowShare = 0.85;

    TChartView* Chart() const { return chart_; }
    // Shows a loaded world on the chart (nullptr: none); the world must outlive the window
    // or be replaced first.
    void SetWorld(engine::TGameWorld* world);
    engine::TGameWorld* World() const { return world_; }
    TGameController& Controller() { return *controller_; }
    QTabWidget* SidePanel() const { return sidePanel_; }
    QLabel* StatusPanel(int index) const;
    void SetStatusText(int index, const QString& text);

    // Message boxes go to `messages` instead of Qt dialogs (nullptr: back to the dialogs):
    // for a run without a screen and for the tests. Must outlive the window or be reset.
    void SetMessages(core::IMessages* messages) {
        injectedMessages_ = messages;
        gameMessages_.SetShown(Messages());
    }
    core::IMessages& Messages() { return injectedMessages_ ? *injectedMessages_ : messages_; }
    core::ISound& Sound() { return sound_; }

    // ---- Opening a scenario. The window then owns the world.
    // The first game takes `firstSeed` when one is given; every other game of the session a
    // new seed of its own, which the log shows, so any game can be replayed.
    void SetServices(const core::TGameFolders& folders,
                     std::optional<std::uint64_t> firstSeed = std::nullopt);
    // Loads a scenario for the player's side (2: watch the computer command both); answers
    // whether it loaded. Failures are shown through Messages(). `name` is how the player named
    // it (kept in the replay); the file's own path when empty.
    bool OpenScenario(const std::filesystem::path& file, int playerSide,
                      const std::string& name = {},
                      std::array<int, 2> forceLevels = {engine::flVariable, engine::flVariable});
    // The game the program opens with: the scenario the player named, found as FindScenario
    // finds it. When there is none to open, a message and the empty chart say why: no game
    // folder, no scenario in it, not the one named, or one that cannot be played.
    bool OpenFirstScenario(const std::string& name, int playerSide);
    // Says in a message when the user folder cannot be made or written, for then the
    // preferences, replays and logs are lost. Answers whether it can be.
    bool CheckUserFolder();
    // The window's size and state and the chart style of the last session, from the user
    // folder's preferences; the window then keeps them there as it closes, and says so when
    // it cannot.
    void RestorePreferences();
    // Writes them; false, after a message, when the preferences cannot be written.
    bool KeepPreferences();
    // How the game in progress was started.
    const scenario::TGameSetup& GameSetup() const { return setup_; }
    // The replay of the game in progress, kept in the user folder as the game goes on.
    std::filesystem::path ReplayFile() const;
    // Writes the game's replay to `file`; false (after a message) when that fails.
    bool SaveReplay(const std::filesystem::path& file);
    // Zooms to the player's ships (every ship when watching), or the whole chart.
    void ZoomToPlayerShips();
    // The view a game starts with: a player's view closes in on the own ships step by step
    // (at once when `animate` is false, as for a picture); a watcher's stays on the battle
    // area the scenario shows.
    void ZoomAtStart(bool animate = true);
    bool AutoZooming() const;
    void StopAutoZoom();
    // One step of the closing-in zoom; false once it has stopped.
    bool AutoZoomStep();
    // The closing-in zoom stops before the chart spans fewer globe units than this across
    // its shorter side: about twelve nautical miles, sea room for a lone squadron.
    static constexpr double kAutoZoomFloor = 12.0 * 90'000.0;
    static constexpr int kAutoZoomMilliseconds = 50;
    static constexpr double kAutoZoomFactor = 0.97;

    // ---- The chart's style of sea and land (the player's preference): the chart shows it
    // at once, and every game opened after takes it.
    void SetChartStyle(TChartStyle style);
    TChartStyle ChartStyle() const { return chartStyle_; }

    // ---- Selection and orders
    combat::TDivision* SelectedDivision() const;
    void SelectDivision(combat::TDivision* division);
    // Whether the player may give this division orders: the player's side, not watching, and
    // not under the computer's control.
    bool MayOrder(const combat::TDivision* division) const;
    // Validates the course box's text and writes course, speed and "Turn together" to the
    // selected division; false (and a message) when the course is not valid.
    bool CommitOrderBoxes();
    // Steers the selected division towards a point of the chart (a pixel of the chart view).
    void CourseToPixel(const QPointF& pixel);
    // The division whose flagship is drawn within a few pixels of `pixel`, the nearest.
    combat::TDivision* DivisionNear(const QPointF& pixel) const;
    // The ship status window for a ship: the full view of the player's own ships (every ship
    // when watching), the outside view of an identified enemy; an enemy not yet identified
    // shows nothing.
    void ShowShipStatus(combat::TFightingShip* ship);
    TdlgShipStatus* ShipStatusWindow() const { return shipStatus_; }
    // The division orders window for one of the player's divisions; `courseValue` 999 shows
    // the division's own course.
    void ShowDivisionOrders(combat::TDivision* division, int courseValue = 999);
    TdlgDivisionReport* DivisionOrdersWindow() const { return divisionReport_; }
    // The torpedo window of one of the player's ships ("Captain's mode").
    void ShowTorpedoTarget(combat::TFightingShip* ship);
    TdlgTorpedoTarget* TorpedoWindow() const { return torpedoTarget_; }
    // Whether the chart waits for a click: a course for the orders window, or its target.
    bool PickingCourseForOrders() const { return dialogPickCourse_; }
    bool PickingDivisionTarget() const { return pickDivisionTarget_; }
    // The force flagship's "Order flotilla attack", as the chart shows it.
    bool FlotillaAttackDisplay() const { return flotillaAttackDisplay_; }
    // The chart point marked by a double click.
    std::optional<map::TGeoPos> MarkedPoint() const;
    // A chart point as the status bar shows it: its position, and its range and bearing from
    // the selected division's flagship when there is one.
    QString PointText(const map::TGeoPos& p) const;
    // "Great Britain - Germany": the player's side first (side 0 first when watching).
    QString SidesText() const;

    // ---- The inset view: one ship enlarged in a small chart of its own.
    TChartView* Inset() const { return inset_; }
    combat::TFightingShip* InsetShip() const;
    // Shows a ship in the inset unless it is locked to another (`force`: even then).
    void SetInsetShip(combat::TFightingShip* ship, bool force = false);

    // ---- The order-of-battle tree's popup menu, for the node that is current.
    QMenu* TreeMenu() const { return treeMenu_; }
    // Runs a menu entry by its caption ("Status...", "Center map", ...).
    void TreeCommand(const QString& entry);
    // "Detach" on a ship of the player's: refused, or confirmed and ordered.
    void DetachShip(combat::TFightingShip* ship);
    // The other divisions of a division's force, in the force's order.
    std::vector<combat::TDivision*> Subordinates(const combat::TDivision* division) const;
    // Selects a division and centres the chart on it.
    void GoToDivision(combat::TDivision* division);

    // ---- Controls, by the hint text of their toolbar button.
    QAction* Action(const QString& hint) const;
    TCourseBox* CourseBox() const { return courseBox_; }
    QSpinBox* SpeedBox() const { return speedBox_; }
    QCheckBox* TurnTogetherBox() const { return turnTogether_; }
    QComboBox* GameSpeedBox() const { return gameSpeed_; }
    QComboBox* ShipNamesBox() const { return shipNames_; }
    QToolButton* SpeedUpButton() const { return speedUp_; }
    QToolButton* SpeedDownButton() const { return speedDown_; }
    QPushButton* SqMaxButton() const { return sqMax_; }
    QPushButton* MedButton() const { return med_; }
    QPushButton* CruiseButton() const { return cruise_; }
    QTreeWidget* ShipTree() const { return tree_; }
    QTextEdit* LogView() const { return log_; }
    QLineEdit* LogFilter() const { return logFilter_; }
    QTextEdit* Briefing() const { return briefing_; }
    QListWidget* ObjectiveList() const { return objectives_; }
    // The contact reports in hand, newest first; a click centres the chart on one.
    QListWidget* ReportList() const { return reports_; }
    // A click on a line of the log (its index among the displayed lines): a division is
    // selected, a ship of the player's shown; the right button centres the chart on it.
    void LogLineClicked(int line, Qt::MouseButton button);
    // "Paused", "Pause pending" or empty while running.
    QString PauseCaption() const;

public slots:
    void Turn();
    void RunFive();
    void RunUntilStopped();
    void Pause();
    void SpeedUp();
    void SpeedDown();
    void EndGame();
    void FindShip();
    void ShowFullLog();
    void OpenScenarioDialog();
    void AnalyseBattleDialog();
    void SaveReplayDialog();

    // A key pressed anywhere in the window: the game keys act wherever the focus is (and
    // give the focus back to the chart); the course and speed boxes keep their digits and
    // editing keys, take Enter as confirming and Escape as leaving them unchanged. Answers
    // whether the key was used here.
    bool HandleKey(const QKeyEvent& event);
    // Whether a key is one of the game's keys (the clock, the zoom, the game speed).
    static bool IsGameKey(int key, Qt::KeyboardModifiers modifiers);

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void keyReleaseEvent(QKeyEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The game key's action; false when the key is not one.
    bool GameKey(int key, Qt::KeyboardModifiers modifiers);
    bool InOrderBox(const QWidget* widget) const;
    // Gives the focus back to the chart, the boxes showing the division's orders again
    // without ordering what they held.
    void LeaveOrderBoxes();
    void BuildToolBar();
    void BuildOrdersPanel(QWidget* parent);
    QAction* AddAction(const QString& hint, const QString& text, const QString& longHint = {});
    void FillTree();
    void FillObjectives();
    // Each objective's line shows how it stands.
    void RefreshObjectiveStatus();
    void FillReports();
    void ApplyObjectiveVisibility();
    void RefreshLog();
    // The ship a log line is about (afloat or sunk), and whether the filter keeps the line.
    const combat::TFightingShip* LogLineShip(const engine::TStyledLine& line) const;
    bool LogLinePasses(const engine::TStyledLine& line, const QString& filter) const;
    // Chooses a ship as a click on her name in the log does.
    void SelectShip(combat::TFightingShip* ship);
    void RefreshStatus();
    void RefreshRunControls();
    void RefreshOrders();
    void OnMinuteFinished();
    void OnChartClicked(QPointF pixel, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void OnTreeSelection();
    void TreeSelectionChanged();
    void OnChartDoubleClicked();
    void OnCursorMoved(QPointF pixel);
    void RefreshMarkPanel();
    void OnObjectivesMenu(const QPoint& at);
    void FindSubordinates();
    void RefreshDivisionNode(const combat::TDivision* division);
    // Leaves the modes that wait for a chart click.
    void EndChartModes();
    void UpdateInset();
    void PlaceInset();
    void PlacePauseCaption();
    QTreeWidgetItem* CurrentTreeItem() const;
    combat::TFightingShip* ShipOfItem(const QTreeWidgetItem* item) const;
    combat::TDivision* DivisionOfItem(const QTreeWidgetItem* item) const;
    // Shows why an order was refused; answers whether it was given.
    bool Order(const engine::TOrder& order);
    combat::TFightingShip* FirstPlayerShip() const;
    // The box round the player's ships (every ship when watching); empty when none.
    std::optional<map::TGeoRect> PlayerShipsBox() const;
    void CourseBoxChanged(int value);
    void SetDivisionSpeed(int speed);
    bool RequireDivision();
    // "Time of sunrise and sunset" for the selected division's flagship.
    void ShowSunTimes();
    void FollowLockedDivision();

    TChartView* chart_ = nullptr;
    engine::TGameWorld* world_ = nullptr;
    std::unique_ptr<engine::TGameWorld> ownedWorld_;
    std::optional<core::TGameFolders> folders_;
    std::optional<std::uint64_t> nextSeed_;
    scenario::TGameSetup setup_;
    TGameController* controller_ = nullptr;
    QTabWidget* sidePanel_ = nullptr;
    QTreeWidget* tree_ = nullptr;
    std::array<QLabel*, 2> sideFlags_{};
    QTextEdit* log_ = nullptr;
    QLineEdit* logFilter_ = nullptr;
    // The line of the displayed log that each row of the log view shows (the filter leaves
    // some out).
    std::vector<int> logRows_;
    QListWidget* objectives_ = nullptr;
    QListWidget* reports_ = nullptr;
    QTextEdit* briefing_ = nullptr;
    QWidget* objectivesPage_ = nullptr;
    QLabel* pauseLabel_ = nullptr;
    std::array<QLabel*, kStatusPanelCount> statusPanels_{};
    std::map<QString, QAction*> actions_;
    QComboBox* gameSpeed_ = nullptr;
    QComboBox* shipNames_ = nullptr;
    QToolButton* speedUp_ = nullptr;
    QToolButton* speedDown_ = nullptr;
    TCourseBox* courseBox_ = nullptr;
    QSpinBox* speedBox_ = nullptr;
    QCheckBox* turnTogether_ = nullptr;
    QPushButton* sqMax_ = nullptr;
    QPushButton* med_ = nullptr;
    QPushButton* cruise_ = nullptr;
    combat::TDivisionId selectedId_;
    bool pickCourse_ = false;
    bool awaitingMark_ = false;
    QTimer* autoZoom_ = nullptr;
    QFrame* insetFrame_ = nullptr;
    TChartView* inset_ = nullptr;
    QLabel* insetCaption_ = nullptr;
    combat::TShipId insetShipId_;
    TdlgShipStatus* shipStatus_ = nullptr;
    TdlgDivisionReport* divisionReport_ = nullptr;
    TdlgTorpedoTarget* torpedoTarget_ = nullptr;
    bool dialogPickCourse_ = false;
    bool pickDivisionTarget_ = false;
    bool flotillaAttackDisplay_ = false;
    QMenu* treeMenu_ = nullptr;
    bool updatingOrders_ = false;
    // Set while the focus leaves the order boxes without confirming them (Escape).
    bool leavingBoxes_ = false;
    TChartStyle chartStyle_ = csPrintedChart;
    bool keepsPreferences_ = false;
    std::array<QAction*, 2> chartStyleActions_{};
    TQtMessages messages_;
    core::IMessages* injectedMessages_ = nullptr;
    // The games' messages: those of a scenario as it loads are shown together.
    core::TMessageGroup gameMessages_{messages_};
    TQtSound sound_;
};

} // namespace tarnwake::ui
