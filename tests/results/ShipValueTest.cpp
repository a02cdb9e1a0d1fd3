#include "results/ShipValue.h"

#include "combat/FightingShip.h"
#include "designs/Ship.h"

#include <gtest/gtest.h>

#include <cmath>

using namespace tarnwake;
using designs::TShipType;

namespace {

designs::Tship Design(TShipType type, int displacement, int speed, float belt = 0) {
    designs::Tship design;
    design.ShipType = type;
    design.Displacement = displacement;
    design.Speed = speed;
    design.B = belt;
    return design;
}

TEST(ShipValue, TheWorkedFigures) {
    struct TCase {
        const char* what;
        designs::Tship design;
        int value;
    };
    designs::Tship armed = Design(TShipType::BC, 26000, 28, 9);
    // 8 x 13.5-inch (taken as 13), 16 x 4-inch, 2 tubes.
    armed.Turrets.resize(4);
    for (auto& turret : armed.Turrets) {
        turret.Guns = 2;
    }
    armed.Calibre = {0, 13, 4, 0};
    armed.SecNo = 16;
    armed.TorpedoMounts.resize(1);
    armed.TorpedoMounts[0].Tubes = 2;
    designs::Tship destroyer = Design(TShipType::DD, 1000, 34);
    destroyer.TorpedoDefense = 2;
    const TCase cases[] = {
        // c = (2000 + 20000) / 2 = 11000; belt 12: 102%; no guns.
        {"a 20,000-ton battleship of 21 knots", Design(TShipType::BB, 20000, 21, 12), 11220},
        // 22 knots: + 2 x (11000 / 50).
        {"one knot faster", Design(TShipType::BB, 20000, 22, 12), 11669},
        // An old battleship counts seven tenths, before the 98% of a thin belt.
        {"an old battleship", Design(TShipType::B, 15000, 18, 8), 5316},
        // The belt rounds half to even: 12.25 x 2 = 24.5 -> 24 -> 12 inches.
        {"a belt of 12 1/4 inches", Design(TShipType::BB, 20000, 21, 12.25F), 11220},
        {"an unarmoured belt over 13 inches", Design(TShipType::BB, 20000, 21, 14), 11000},
        // c = 14000; + 8 x 280 for speed = 16240 x 99% = 16078; guns 8 x 11^3 x 4 = 42592,
        // 2^3 x 16 x 2 = 256, tubes 100: 42948 / 6 = 7158.
        {"a battle cruiser with her guns", armed, 23236},
        // c = 550 + 8 x 11; e = 2 + 98: 638; at least a tenth of the displacement.
        {"a destroyer", destroyer, 638},
        {"an armed merchant cruiser", Design(TShipType::AMC, 12000, 17), 2940},
        {"a transport", Design(TShipType::TR, 5000, 10), 2940},
        {"a seaplane carrier", Design(TShipType::AV, 4000, 18), 1960},
        // At most twice the displacement, at least a tenth.
        {"a small battery", Design(TShipType::LT, 600, 0), 60},
        {"a small ship worth more than its size", Design(TShipType::CL, 100, 30), 200},
        {"a coastal battery", Design(TShipType::LT, 100000, 0), 10000},
    };
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.what);
        EXPECT_EQ(c.value, results::ShipValue(c.design));
    }
}

TEST(ShipValue, DamageTakesFromTheValueAndALossGivesTheEnemyFourTimesIt) {
    combat::TFightingShip ship;
    ship.ShipType = TShipType::CL;
    ship.Displacement = 1000;
    ship.Speed = 21;
    ship.ApplyDesignState();
    const int value = results::ShipValue(ship);
    ASSERT_EQ(980, value);
    EXPECT_EQ(value, results::CurrentValue(ship));
    EXPECT_EQ(0, results::DamageValue(ship));
    // A quarter of her flotation gone.
    ship.CurrentFloatPoints = ship.MaxFloatPoints * 3 / 4;
    const int damage = ship.DamagePercentage();
    EXPECT_GT(damage, 0);
    EXPECT_EQ(std::lround((100 - damage) * value / 100.0), results::CurrentValue(ship));
    EXPECT_EQ(value - results::CurrentValue(ship), results::DamageValue(ship));
    ship.Sinking = 5;
    EXPECT_EQ(4 * value, results::DamageValue(ship));
}

} // namespace
