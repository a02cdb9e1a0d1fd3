#include "ui/ClosingOpponent.h"

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"

#include <limits>

namespace tarnwake::ui {

namespace {

// Inside this range the division turns to fight on a broadside rather than close further.
constexpr double kBroadsideYards = 11'000.0;
constexpr int kAbeam = 90;

} // namespace

void TClosingOpponent::DivisionDecides(engine::TGameWorld& world, combat::TDivision& division) {
    const combat::TFightingShip* flag = division.Flagship();
    if (flag == nullptr || division.Side > 1) {
        return;
    }
    const combat::TFightingShip* nearest = nullptr;
    double range = std::numeric_limits<double>::max();
    for (const auto& ship : world.Ships) {
        if (ship->Side > 1 || ship->Side == division.Side || ship->IsSinkingOrSunk()) {
            continue;
        }
        const double r = map::RangeYards(flag->Position(), ship->Position());
        if (r < range) {
            range = r;
            nearest = ship.get();
        }
    }
    if (nearest == nullptr) {
        return;
    }
    const int bearing = map::BearingBetween(flag->Position(), nearest->Position());
    if (range > kBroadsideYards) {
        division.Course = bearing;
        return;
    }
    // Of the two courses that put her abeam, the one nearer the present course.
    const int left = map::AddBearing(bearing, -kAbeam);
    const int right = map::AddBearing(bearing, kAbeam);
    division.Course =
        map::CourseDifference(left, division.Course) < map::CourseDifference(right, division.Course)
            ? left
            : right;
}

} // namespace tarnwake::ui
