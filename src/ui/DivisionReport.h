#pragma once

// The signals below carry ships and divisions: their types must be complete where the meta
// object code is compiled.
#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "map/GeoPos.h"

#include <QDialog>

class QCheckBox;
class QComboBox;
class QLabel;
class QPushButton;
class QSpinBox;
class QTreeWidget;
class QTreeWidgetItem;

namespace tarnwake::core {
class IMessages;
}
namespace tarnwake::engine {
class TGameWorld;
}

namespace tarnwake::ui {

// The division orders dialog: the standing orders of one division (course, speed, formation,
// role, lead, computer control, fire and smoke orders) and the state of its ships.
//
// It is not modal: the window opens it with Open and hears from it through the signals. For
// the chart modes (picking a course, a target division) and the other dialogs it hides
// itself; the window shows it again with SetPickedCourse or Resume. Ok writes the orders into
// the division and emits divisionChanged; Cancel leaves the division as it was.
//
// Child widgets carry object names for the window and the tests: "course", "speed",
// "formation", "role", "leadDivision", "turnTogether", "aiControl", "makeSmoke", "holdFire",
// "holdFire10", "holdTorpedoFire", "flotillaAttack", "med", "sqMax", "maxSpeed",
// "pickCourse", "selectTargetDivision", "targetDivision", "objective", "smoke",
// "smokeWarning", "ships", "shipDetails", "setShipTarget", "fireTorpedoes", "ok", "cancel".
class TdlgDivisionReport : public QDialog {
    Q_OBJECT
public:
    // The course value that stands for the division's own ordered course.
    static constexpr int kOwnCourse = 999;
    // Range figure of the ship list: nautical miles left at this speed.
    static constexpr int kRangeSpeed = 18;

    enum TShipColumn : int {
        colName,
        colSpeed,
        colMaxSpeed,
        colDamage,
        colFlooding,
        colHits,
        colGuns,
        colAmmo,
        colMainTarget,
        colTorpedoes,
        colDamagePoints,
        colFuel,
        colRange,
        kShipColumnCount
    };

    // The world must outlive the dialog; `messages` shows the dialog's refusals.
    TdlgDivisionReport(engine::TGameWorld& world, core::IMessages& messages,
                       QWidget* parent = nullptr);

    // Fills the dialog for `division` and shows it. `courseValue` is shown in the course box,
    // kOwnCourse showing the division's own course; `ship` (one of the division's) is
    // selected in the ship list. Opening the dialog, or cancelling it, changes nothing.
    void Open(combat::TDivision* division, int courseValue = kOwnCourse,
              combat::TFightingShip* ship = nullptr);

    // The division shown; none once it has gone from the world.
    combat::TDivision* Division() const;
    // The ship selected in the ship list, or none.
    combat::TFightingShip* SelectedShip() const;

    // The course picked on the chart after pickCourseRequested: shown in the course box, and
    // the dialog is shown again.
    void SetPickedCourse(int course);
    // Shows the dialog again after one of the chart modes or the target dialogs, with the
    // division's target brought up to date.
    void Resume();
    // A division or ship is leaving the game: the dialog closes unchanged when it refers to
    // it, so that it never holds on to what is gone.
    void DivisionLeaving(const combat::TDivision* division);
    void ShipLeaving(const combat::TFightingShip* ship);

signals:
    // Put the chart in pick-course mode; the next left click answers with SetPickedCourse.
    void pickCourseRequested();
    // Put the chart in division-target mode for Division(); Resume shows the dialog again.
    void divisionTargetRequested();
    // Open the ship-target dialog for the ship (make it the current ship).
    void shipTargetRequested(combat::TFightingShip* ship);
    // Open the torpedo-target dialog for the ship.
    void torpedoTargetRequested(combat::TFightingShip* ship);
    // Open the ship status dialog for the ship.
    void shipDetailsRequested(combat::TFightingShip* ship);
    // Centre the chart on a position.
    void centreRequested(map::TGeoPos position);
    // The "Order flotilla attack" button was pressed or released: the chart shows it.
    void flotillaAttackDisplayChanged(bool on);
    // Ok wrote new orders into the division: redraw it and its tree entry.
    void divisionChanged(combat::TDivision* division);

protected:
    void showEvent(QShowEvent* event) override;

private:
    void BuildLayout();
    void FillLeadList();
    void FillRoleAndFormationLists();
    void ShowAreaSmoke();
    void ShowTarget();
    void FillShipList(const combat::TFightingShip* selected);
    void FillShipRow(QTreeWidgetItem& item, const combat::TFightingShip& ship);
    void UpdateEnabledStates();
    void UpdateShipButtons();
    bool IsForceFlagshipDivision() const;
    void OkClicked();
    // Forgets the division and its ships and closes unchanged.
    void Abandon();
    void HideFor(void (TdlgDivisionReport::*request)());
    combat::TFightingShip* ShipOf(const QTreeWidgetItem* item) const;

    engine::TGameWorld& world_;
    core::IMessages& messages_;
    combat::TDivisionId divisionId_;
    // Whether the computer-control box may be used at all (before the division's lock).
    bool aiBoxAllowed_ = false;
    // The fastest of the ships' present maximum speeds, for the "Max" button.
    int highestMaxSpeed_ = 0;

    QSpinBox* course_ = nullptr;
    QSpinBox* speed_ = nullptr;
    QComboBox* formation_ = nullptr;
    QComboBox* role_ = nullptr;
    QComboBox* lead_ = nullptr;
    QCheckBox* turnTogether_ = nullptr;
    QCheckBox* aiControl_ = nullptr;
    QPushButton* makeSmoke_ = nullptr;
    QPushButton* holdFire_ = nullptr;
    QPushButton* holdFire10_ = nullptr;
    QPushButton* holdTorpedoFire_ = nullptr;
    QPushButton* flotillaAttack_ = nullptr;
    QPushButton* med_ = nullptr;
    QPushButton* sqMax_ = nullptr;
    QPushButton* maxSpeed_ = nullptr;
    QPushButton* pickCourse_ = nullptr;
    QPushButton* selectTarget_ = nullptr;
    QLabel* target_ = nullptr;
    QPushButton* objective_ = nullptr;
    QLabel* smoke_ = nullptr;
    QLabel* smokeWarning_ = nullptr;
    QTreeWidget* ships_ = nullptr;
    QPushButton* shipDetails_ = nullptr;
    QPushButton* setShipTarget_ = nullptr;
    QPushButton* fireTorpedoes_ = nullptr;
};

} // namespace tarnwake::ui
