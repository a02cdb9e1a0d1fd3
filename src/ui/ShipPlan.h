#pragma once

#include <QImage>
#include <QSize>

namespace tarnwake::combat {
class TFightingShip;
}

namespace tarnwake::ui {

// The plan and profile of a ship's class, drawn from its design file as a naval annual's
// line drawing: the hull to its length and beam, the main turrets with their guns, the
// funnels and the superstructure. The ship's own damage is marked on it: turrets destroyed or
// silenced, and where shells, torpedoes and mines have struck her. Shown where the player
// has no photograph of the class.
QImage ShipPlanPicture(const combat::TFightingShip& ship, const QSize& size);

// Where a hit of the ship's hit marks is drawn on the plan: feet forward of amidships and to
// starboard, and whether it struck below the waterline.
struct TPlanHit {
    double forward = 0.0;
    double starboard = 0.0;
    bool belowWater = false;
    bool nearMiss = false;
};
TPlanHit PlanHitPlace(const combat::TFightingShip& ship, int index);

} // namespace tarnwake::ui
