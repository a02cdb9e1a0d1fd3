#include "combat/FightingShip.h"

#include "core/Messages.h"
#include "core/Random.h"

#include <gtest/gtest.h>

using namespace tarnwake::combat;
using tarnwake::core::THeadlessMessages;
using tarnwake::core::TScriptedRandom;
using tarnwake::designs::TFightingTurret;
using tarnwake::designs::TShipType;

namespace {

TFightingShip MakeShip(int displacement, int speed, TShipType type = TShipType::BB) {
    TFightingShip s;
    s.Name = "Test";
    s.Displacement = displacement;
    s.Speed = speed;
    s.ShipType = type;
    s.ApplyDesignState();
    return s;
}

TFightingTurret Turret(char pos, int guns) {
    TFightingTurret t;
    t.Pos = pos;
    t.Guns = guns;
    return t;
}

} // namespace

TEST(FightingShip, DesignStateSplitsGunsBetweenBroadsides) {
    TFightingShip s;
    s.Displacement = 1499;
    s.SecNo = 5;
    s.TerNo = 8;
    s.ApplyDesignState();
    EXPECT_EQ(2, s.InitialSecondariesPort); // the odd gun is lost
    EXPECT_EQ(2, s.CurrentSecondariesStarboard);
    EXPECT_EQ(4, s.InitialTertiariesStarboard);
    EXPECT_EQ(1829, s.MaxFloatPoints);
    EXPECT_EQ(1829, s.CurrentFloatPoints);
    EXPECT_EQ(749, s.MaxSuperstructurePoints);
    EXPECT_EQ(140000, s.CurrentEndurance);
    EXPECT_EQ(100, s.EngineEfficiency);
}

TEST(FightingShip, MaximumSpeedFollowsEnginesFloodingAndFuel) {
    TFightingShip s = MakeShip(20000, 21);
    s.EngineEfficiency = 90;
    EXPECT_EQ(19, s.CurrentMaxSpeed()); // 18.9
    s.CurrentFloatPoints = s.MaxFloatPoints - s.MaxFloatPoints * 40 / 100;
    ASSERT_EQ(40, s.FloodingPercentage());
    EXPECT_EQ(16, s.CurrentMaxSpeed()); // 19 x 0.82 = 15.58
    s.EngineDisabled = true;
    EXPECT_EQ(8, s.CurrentMaxSpeed());
    TFightingShip small = MakeShip(1400, 30, TShipType::DD);
    small.EngineDisabled = true;
    EXPECT_EQ(0, small.CurrentMaxSpeed());
    s.EngineDisabled = false;
    s.ElectricDisabled = true;
    EXPECT_EQ(0, s.CurrentMaxSpeed());

    TFightingShip dry = MakeShip(20000, 20);
    dry.CurrentEndurance = 0;
    EXPECT_EQ(5, dry.CurrentMaxSpeed()); // cut to 5 knots
    dry.Speed = 4;
    EXPECT_EQ(4, dry.CurrentMaxSpeed()); // a slow ship keeps its speed
}

TEST(FightingShip, FuelRatesAndRemainingRange) {
    EXPECT_EQ(10, TFightingShip::FuelRate(0, true));
    EXPECT_EQ(140, TFightingShip::FuelRate(5, false));
    EXPECT_EQ(150, TFightingShip::FuelRate(9, true));
    EXPECT_EQ(1000, TFightingShip::FuelRate(20, false));
    EXPECT_EQ(940, TFightingShip::FuelRate(20, true));
    EXPECT_EQ(6300, TFightingShip::FuelRate(32, true));
    EXPECT_EQ(7300, TFightingShip::FuelRate(33, true));
    EXPECT_EQ(10400, TFightingShip::FuelRate(100, false));
    EXPECT_EQ(10000, TFightingShip::FuelRate(101, false));

    THeadlessMessages messages(nullptr);
    TFightingShip s = MakeShip(20000, 21);
    // 140,000 units at 220 an hour (12 knots) last 636.4 hours: 7,636 nautical miles.
    EXPECT_EQ(7636, s.GetRemainingRange(12, messages));
    EXPECT_EQ(70000, s.GetRemainingRange(0, messages)); // stopped: counted at 5 knots
    s.Sinking = 3;
    EXPECT_EQ(0, s.GetRemainingRange(12, messages));
}

TEST(FightingShip, GunsBearingTrainsTurrets) {
    THeadlessMessages messages(nullptr);
    TFightingShip s = MakeShip(26000, 28, TShipType::BC);
    s.Turrets = {Turret('A', 2), Turret('B', 2), Turret('Q', 2), Turret('Y', 0)};
    s.Turrets[1].Destroyed = true;
    EXPECT_EQ(7, s.TotalTurretGuns(false));
    EXPECT_EQ(5, s.TotalTurretGuns(true));
    // Dead ahead: only A bears (B is destroyed, Q and Y do not bear).
    EXPECT_EQ(2, s.GetMainGunsBearing(0, messages));
    EXPECT_EQ(0, s.Turrets[0].Bearing);
    EXPECT_EQ(180, s.Turrets[2].Bearing); // trained to rest
    // On the beam: A, Q and the gunless Y (counted as one).
    EXPECT_EQ(5, s.GetMainGunsBearing(90, messages));
    EXPECT_EQ(90, s.Turrets[3].Bearing);
    EXPECT_EQ(0, s.Turrets[1].Bearing); // a destroyed turret is not trained
    EXPECT_TRUE(messages.Shown().empty());
}

TEST(FightingShip, MaximumRangeOfAGunLevel) {
    TFightingShip dd = MakeShip(1000, 30, TShipType::DD);
    EXPECT_EQ(9500, dd.GetMaxRange(1, 10));
    TFightingShip bb = MakeShip(25000, 21);
    EXPECT_EQ(20000, bb.GetMaxRange(1, 20));
    bb.GunQuality[1] = 1;
    EXPECT_EQ(22000, bb.GetMaxRange(1, 20));
    bb.GunQuality[2] = -3;
    EXPECT_EQ(7000, bb.GetMaxRange(2, 10));
}

TEST(FightingShip, DamagePercentageStatesAndTexts) {
    THeadlessMessages messages(nullptr);
    TFightingShip s = MakeShip(20000, 20);
    EXPECT_EQ(0, s.GetDamagePercentage(messages));
    EXPECT_EQ(kDamageNone, s.GetDamageState(messages));
    // 20% flooding, 40% superstructure: (20 + 40) div 2 = 30.
    s.CurrentFloatPoints = s.MaxFloatPoints * 80 / 100;
    s.CurrentSuperstructurePoints = s.MaxSuperstructurePoints * 60 / 100;
    ASSERT_EQ(20, s.FloodingPercentage());
    ASSERT_EQ(40, s.SuperstructurePercentage());
    EXPECT_EQ(30, s.GetDamagePercentage(messages));
    EXPECT_EQ(kDamageLight, s.GetDamageState(messages));
    // Half the turret guns silenced: h = 35, + Round(0.5 x 35) = 18 -> 53.
    s.Turrets = {Turret('A', 2), Turret('Y', 2)};
    s.Turrets[1].Silenced = 5;
    EXPECT_EQ(47, s.GetDamagePercentage(messages));
    EXPECT_EQ(kDamageMedium, s.GetDamageState(messages));
    // Crippled engines add 20 (or 30 to a light total).
    s.EngineDisabled = true;
    EXPECT_EQ(67, s.GetDamagePercentage(messages));
    EXPECT_EQ(kDamageHeavy, s.GetDamageState(messages));
    s.Sinking = 1;
    EXPECT_EQ(kDamageSinking, s.GetDamageState(messages));

    const TFightingShip fresh = MakeShip(1000, 30, TShipType::DD);
    struct Case {
        int p;
        const char* text;
    };
    const Case cases[] = {{0, "No damage"},      {1, "Light damage"},   {30, "Light damage"},
                          {31, "Medium damage"}, {59, "Medium damage"}, {60, "Heavy damage"},
                          {250, "Heavy damage"}, {251, "unchanged"},    {-1, "unchanged"}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.text, fresh.DamageText(c.p, "unchanged")) << c.p;
    }
    TFightingShip battery = MakeShip(50000, 0, TShipType::LT);
    battery.Sunk = true;
    EXPECT_EQ("Destroyed!", battery.DamageText(0));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST(FightingShip, DamageEstimateIsDrawnAroundTheTruth) {
    TFightingShip s = MakeShip(20000, 20);
    TScriptedRandom random({30, 31, 96, 0, 91, 2, 21});
    s.EstimateDamage(10, random); // 30: no change
    EXPECT_EQ("", s.DamageReport);
    s.EstimateDamage(10, random); // 31
    EXPECT_EQ("\nLight damage", s.DamageReport);
    s.EstimateDamage(30, random); // 96
    EXPECT_EQ("\nHeavy damage", s.DamageReport);
    s.EstimateDamage(61, random); // 0
    EXPECT_EQ("\nMedium damage", s.DamageReport);
    s.EstimateDamage(200, random); // 91
    EXPECT_EQ("\nSinking", s.DamageReport);
    s.Sinking = 5;
    s.EstimateDamage(3, random); // no first draw at 3%; the sinking draw 2
    EXPECT_EQ("\nMedium damage", s.DamageReport);
    s.EstimateDamage(3, random); // 21
    EXPECT_EQ("\nSinking", s.DamageReport);
}

TEST(FightingShip, AmmunitionAllowanceAndWarnings) {
    TScriptedRandom random({2});
    TFightingShip s = MakeShip(5000, 25, TShipType::CL);
    s.Calibre = {0, 6, 4, 3};
    s.SecNo = 4;
    s.TerNo = 2;
    s.ApplyDesignState();
    s.Turrets = {Turret('A', 1), Turret('Y', 1), Turret('F', 1), Turret('G', 1)};
    s.AmmoLevel = 50;
    s.SetAmmoAllowance(random, true);
    EXPECT_EQ(300, s.Ammo[1]); // 4 guns x 150 x 50%
    EXPECT_EQ(300, s.Ammo[2]); // 2 a side x 300 x 50%
    EXPECT_EQ(200, s.Ammo[3]);
    EXPECT_EQ(4, s.SmokeFloats);

    EXPECT_EQ(100, s.MainAmmoRemainingPercent());
    EXPECT_EQ("", s.CheckAmmoWarnings());
    s.RoundsFired[1] = 160; // 46.7% left
    EXPECT_EQ("Test has less than 50% of main ammo remaining!", s.CheckAmmoWarnings());
    EXPECT_EQ("", s.CheckAmmoWarnings());
    s.Turrets[0].Destroyed = true; // 46.7 x 4/3 = 62
    EXPECT_EQ(62, s.MainAmmoRemainingPercent());
    s.RoundsFired[1] = 260; // 13.3 x 4/3 = 18
    EXPECT_EQ("Test has less than 20% of main ammo remaining!", s.CheckAmmoWarnings());
    for (auto& t : s.Turrets) {
        t.Destroyed = true;
    }
    EXPECT_EQ(0, s.MainAmmoRemainingPercent());

    TFightingShip heavy = MakeShip(25000, 21);
    heavy.Calibre = {0, 12, 0, 0};
    heavy.Turrets = {Turret('A', 2)};
    heavy.SetAmmoAllowance(random, true);
    EXPECT_EQ(180, heavy.Ammo[1]);   // 2 x 90
    EXPECT_EQ(0, heavy.SmokeFloats); // only light cruisers carry smoke floats
}
