#pragma once

// The signals below carry ships: their type must be complete where the meta object code is
// compiled.
#include "combat/FightingShip.h"
#include "combat/TorpedoMounts.h"

#include <QDialog>
#include <vector>

class QListWidget;
class QPushButton;
class QTimer;

namespace tarnwake::core {
class IMessages;
}
namespace tarnwake::engine {
class TGameWorld;
}

namespace tarnwake::ui {

// The torpedo window of "Captain's mode": one ship's mounts against one of the enemies she has
// in sight. The targets list holds those enemies, her main target chosen first; the mounts list
// shows for each mount the setting and course it would fire on, or why it cannot. "Fire"
// launches the chosen mount as an order of the player. The lines are worked out afresh every
// few seconds, as the officer at the director would: the doubt in their courses only shows,
// and is drawn from the world's cosmetic generator; the launch itself draws from the game's.
//
// Child widgets carry object names for the tests: "targets", "mounts", "fire", "close".
class TdlgTorpedoTarget : public QDialog {
    Q_OBJECT

public:
    // Milliseconds between two workings of the mounts list.
    static constexpr int kRefreshMs = 2000;

    // The world must outlive the dialog; `messages` shows the dialog's refusals.
    TdlgTorpedoTarget(engine::TGameWorld& world, core::IMessages& messages,
                      QWidget* parent = nullptr);
    // Fills the window for `ship` and shows it.
    void Open(combat::TFightingShip* ship);
    // The ship shown; none once she has gone from the world.
    combat::TFightingShip* Ship() const;
    // The lines of the mounts list, as worked out last.
    const std::vector<combat::TTorpedoMountLine>& Lines() const { return lines_; }
    // "Fire": the selected mount fires, or the window says why not.
    void Fire();

signals:
    // A mount fired: the ship's state has changed.
    void torpedoesFired(combat::TFightingShip* ship);
    // The window was closed: the orders window may come back.
    void finished();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    void FillTargets();
    void FillMounts();
    combat::TFightingShip* SelectedTarget() const;

    engine::TGameWorld& world_;
    core::IMessages& messages_;
    combat::TShipId shipId_;
    QListWidget* targets_ = nullptr;
    QListWidget* mounts_ = nullptr;
    QPushButton* fire_ = nullptr;
    QPushButton* close_ = nullptr;
    QTimer* refresh_ = nullptr;
    std::vector<combat::TTorpedoMountLine> lines_;
};

} // namespace tarnwake::ui
