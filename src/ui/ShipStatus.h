#pragma once

#include "combat/FightingShip.h"
#include "ui/ChartColours.h"

#include <QDialog>
#include <QStringList>
#include <string>
#include <vector>

class QCheckBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QProgressBar;
class QPushButton;
class QTabWidget;
class QWidget;

namespace tarnwake::core {
class IMessages;
}
namespace tarnwake::designs {
class Tship;
}
namespace tarnwake::engine {
class TGameWorld;
}
namespace tarnwake::combat {
class TDivision;
class TFightingShip;
} // namespace tarnwake::combat

namespace tarnwake::ui {

class TChartView;

// ---- The texts of the ship status view, kept apart from the widgets so the rules can be
// checked on their own.

// The currency sign that marks a line of the ship's log as the ship's own gunnery success
// ("¤14:32  Main battery scores 2 hits on Lützow"). Our texts are UTF-8; a line read from a
// Windows-1252 file may still carry the sign as the single byte 164, so both are recognised.
inline constexpr const char* kGunneryLineSign = "\xC2\xA4";
inline constexpr char kGunneryLineSignByte = '\xA4';

// "BRITISH BATTLE-CRUISER": the nation's adjective in capitals and the long type name. A
// ship of the "Unspecified" nation shows its side's own name for such ships when the
// scenario gives one. A class obsolete before `dayNumber` (the game date as a day number) is
// "OLD ".
std::string TypeLine(const designs::Tship& design, const std::string& nationAdjective,
                     const std::string& unspecifiedName, int dayNumber, core::IMessages& messages);

// The tube count line of the torpedo panel: a positive count is "n above water", a negative
// one stands for submerged tubes ("n submerged"), and 0 gives nothing.
std::string TorpedoTubeText(int count);

// Hits as a percentage of rounds, "#0.00"; "0.00" before the first round.
std::string HitPercentText(int hits, int rounds);

// "Sunk!", "Sinking!" or "On fire! (n)" with n the fire level less one; empty when none
// applies (a fire of level 1 is smouldering, not yet worth an alarm).
std::string AlarmText(const combat::TFightingShip& ship);

// "Rudder jammed stbd", "... center", "... port" for rudder status 1..3; empty otherwise.
std::string RudderText(int rudderStatus);

// The ship's log as the player may read it. While the scenario goes on, the player knows
// what struck his ship but not the details: what follows a "(" is cut off, a mine or
// torpedo hit becomes the time and " Mine/Torpedo" (a reloaded tube stays as it is), and the
// ship's own gunnery successes are left out. Once the scenario is over the lines are shown
// whole, without the gunnery sign.
std::vector<std::string> FilterLogEntries(const std::vector<std::string>& lines, bool scenarioOver);

// What "Copy to clipboard" puts on the clipboard.
std::string OperationalHistoryText(const std::string& shipName,
                                   const std::vector<std::string>& entries);

// ---- The dialog

// One ship in full: class card, damage, manoeuvring state, gunnery record, its log, and the
// ship on a small chart of its own or its picture.
//
// It reads the world (sea state, clock, nations, sides, folders, whether the scenario is
// over) each time it is filled, and keeps only the ship shown. The world must outlive the
// dialog. Should the ship leave the world while the dialog is open, the next refresh or
// button press closes the dialog instead of touching the ship.
class TdlgShipStatus : public QDialog {
    Q_OBJECT
public:
    TdlgShipStatus(engine::TGameWorld& world, core::IMessages& messages, QWidget* parent = nullptr);
    ~TdlgShipStatus() override;

    // Fills the dialog for `ship` and shows it without waiting. `reduced` is the view of an
    // enemy ship: the class card, the alarm line, the course and speed that can be seen, the
    // chart and the picture; nothing of its damage, stores, gunnery, log or sightings.
    void Open(combat::TFightingShip* ship, bool reduced);
    // The ship shown; none once it has gone from the world.
    combat::TFightingShip* Ship() const;
    bool Reduced() const { return reduced_; }
    // The colours of the player's chart, for the game view.
    void SetChartColours(const TChartColours& colours);

    // The log dialog of "Log entries" (created on first use).
    QDialog* LogDialog() const { return logDialog_; }

public slots:
    // Shows the ship's present state again (after a minute), or closes when it has left the
    // world.
    void Refresh();
    void ShowLogEntries();
    void CopyLogToClipboard();
    void ShowSighted();

signals:
    // "Division": the main window should select this division and show it.
    void divisionRequested(combat::TDivision* division);

private:
    void BuildClassCard(QWidget* parent);
    QWidget* BuildStatePanel(QWidget* parent);
    QWidget* BuildGunnery(QWidget* parent);
    QWidget* BuildViews(QWidget* parent);
    void Fill();
    void FillClassCard();
    void FillState();
    void FillGunnery();
    void FillViews();
    void ApplyReducedView();
    bool ShipInWorld() const;
    // False, closing the dialog, when the ship has left the world; false for an enemy ship.
    bool MayShowOwnDetails();
    void FillLog();
    combat::TDivision* ShipDivision() const;
    std::vector<std::string> LogLines() const;
    void DivisionClicked();

    engine::TGameWorld& world_;
    core::IMessages& messages_;
    combat::TShipId shipId_;
    bool reduced_ = false;

    // Class card
    QGroupBox* classCard_ = nullptr;
    QLabel* flag_ = nullptr;
    QLabel* typeLine_ = nullptr;
    QLabel* shipName_ = nullptr;
    QLabel* classLine_ = nullptr;
    QLabel* displacement_ = nullptr;
    QLabel* gunLines_[4] = {};
    QWidget* torpedoPanel_ = nullptr;
    QLabel* torpedoCaption_ = nullptr;
    QLabel* tubesAbove_ = nullptr;
    QLabel* tubesSubmerged_ = nullptr;
    std::vector<QLabel*> armour_;

    // State
    QLabel* stateLine_ = nullptr;
    QLabel* alarmLine_ = nullptr;
    QLabel* rudderLine_ = nullptr;
    QGroupBox* damageBox_ = nullptr;
    QProgressBar* structure_ = nullptr;
    QProgressBar* flotation_ = nullptr;
    QLabel* heavyHits_ = nullptr;
    QLabel* mediumHits_ = nullptr;
    QLabel* lightHits_ = nullptr;
    QLabel* torpedoHits_ = nullptr;
    QLabel* flooding_ = nullptr;
    QGroupBox* manoeuvreBox_ = nullptr;
    QLabel* maxSpeed_ = nullptr;
    QLabel* maxSpeedCaption_ = nullptr;
    QLabel* currentSpeed_ = nullptr;
    QLabel* course_ = nullptr;
    QCheckBox* evading_ = nullptr;
    QLabel* endurance_ = nullptr;
    QLabel* enduranceCaption_ = nullptr;
    QGroupBox* dataBox_ = nullptr;
    QLabel* crewQuality_ = nullptr;
    QLabel* fireControl_ = nullptr;
    QLabel* pointValue_ = nullptr;

    // Gunnery; per gun level 1..3 (index 0 unused).
    QTabWidget* gunneryTabs_ = nullptr;
    QLabel* gunType_[4] = {};
    QLabel* rounds_[4] = {};
    QLabel* hits_[4] = {};
    QLabel* hitPercent_[4] = {};
    QLabel* roundsLeft_[4] = {};
    QLabel* mainTarget_ = nullptr;
    QLabel* hitChance_ = nullptr;
    QLabel* rateOfFire_ = nullptr;
    QLabel* portTarget_[4] = {};
    QLabel* stbdTarget_[4] = {};
    QPushButton* details_ = nullptr;
    // The reasons behind the main guns' hit chance, for "Details".
    QStringList accuracyReasons_;

    // Buttons
    QPushButton* logEntries_ = nullptr;
    QPushButton* division_ = nullptr;
    QPushButton* sighted_ = nullptr;
    QPushButton* smoke_ = nullptr;

    // Views
    QTabWidget* viewTabs_ = nullptr;
    TChartView* chart_ = nullptr;
    QLabel* picture_ = nullptr;

    // Log entries
    QDialog* logDialog_ = nullptr;
    QListWidget* logList_ = nullptr;
    QLabel* roundsAtShip_ = nullptr;
};

} // namespace tarnwake::ui
