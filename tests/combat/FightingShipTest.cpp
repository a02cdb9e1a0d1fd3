#include "combat/FightingShip.h"

#include "core/Messages.h"
#include "core/Random.h"
#include "map/Geometry.h"
#include "map/GlobeLayer.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tarnwake::combat;
using tarnwake::core::THeadlessMessages;
using tarnwake::core::TScriptedRandom;
using tarnwake::designs::TFightingTurret;
using tarnwake::designs::TShipType;

namespace {

std::unique_ptr<TFightingShip> MakeShip(int displacement, int speed,
                                        TShipType type = TShipType::BB) {
    auto s = std::make_unique<TFightingShip>();
    s->Name = "Test";
    s->Displacement = displacement;
    s->Speed = speed;
    s->ShipType = type;
    s->ApplyDesignState();
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
    auto sOwner = MakeShip(20000, 21);
    TFightingShip& s = *sOwner;
    s.EngineEfficiency = 90;
    EXPECT_EQ(19, s.CurrentMaxSpeed()); // 18.9
    s.CurrentFloatPoints = s.MaxFloatPoints - s.MaxFloatPoints * 40 / 100;
    ASSERT_EQ(40, s.FloodingPercentage());
    EXPECT_EQ(16, s.CurrentMaxSpeed()); // 19 x 0.82 = 15.58
    s.EngineDisabled = true;
    EXPECT_EQ(8, s.CurrentMaxSpeed());
    auto smallOwner = MakeShip(1400, 30, TShipType::DD);
    TFightingShip& small = *smallOwner;
    small.EngineDisabled = true;
    EXPECT_EQ(0, small.CurrentMaxSpeed());
    s.EngineDisabled = false;
    s.ElectricDisabled = true;
    EXPECT_EQ(0, s.CurrentMaxSpeed());

    auto dryOwner = MakeShip(20000, 20);
    TFightingShip& dry = *dryOwner;
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
    auto sOwner = MakeShip(20000, 21);
    TFightingShip& s = *sOwner;
    // 140,000 units at 220 an hour (12 knots) last 636.4 hours: 7,636 nautical miles.
    EXPECT_EQ(7636, s.GetRemainingRange(12, messages));
    EXPECT_EQ(70000, s.GetRemainingRange(0, messages)); // stopped: counted at 5 knots
    EXPECT_EQ(100, s.FuelPercentage());
    s.CurrentEndurance = 17500; // an eighth: 12.5 rounds half to even
    EXPECT_EQ(12, s.FuelPercentage());
    s.CurrentEndurance = kInitialEndurance;
    s.Sinking = 3;
    EXPECT_EQ(0, s.GetRemainingRange(12, messages));
}

TEST(FightingShip, GunsBearingTrainsTurrets) {
    THeadlessMessages messages(nullptr);
    auto sOwner = MakeShip(26000, 28, TShipType::BC);
    TFightingShip& s = *sOwner;
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
    auto ddOwner = MakeShip(1000, 30, TShipType::DD);
    TFightingShip& dd = *ddOwner;
    EXPECT_EQ(9500, dd.GetMaxRange(1, 10));
    auto bbOwner = MakeShip(25000, 21);
    TFightingShip& bb = *bbOwner;
    EXPECT_EQ(20000, bb.GetMaxRange(1, 20));
    bb.GunQuality[1] = 1;
    EXPECT_EQ(22000, bb.GetMaxRange(1, 20));
    bb.GunQuality[2] = -3;
    EXPECT_EQ(7000, bb.GetMaxRange(2, 10));
}

TEST(FightingShip, DamagePercentageStatesAndTexts) {
    THeadlessMessages messages(nullptr);
    auto sOwner = MakeShip(20000, 20);
    TFightingShip& s = *sOwner;
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

    auto freshOwner = MakeShip(1000, 30, TShipType::DD);
    const TFightingShip& fresh = *freshOwner;
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
    auto batteryOwner = MakeShip(50000, 0, TShipType::LT);
    TFightingShip& battery = *batteryOwner;
    battery.Sunk = true;
    EXPECT_EQ("Destroyed!", battery.DamageText(0));
    EXPECT_TRUE(messages.Shown().empty());
}

TEST(FightingShip, LargeShipsAndHeavyDamage) {
    // The capital ships and armoured cruisers are the large ships.
    for (int t = 0; t < tarnwake::designs::kShipTypeCount; ++t) {
        auto s = MakeShip(10000, 20, static_cast<TShipType>(t));
        EXPECT_EQ(t <= 3, s->IsLargeShip()) << t;
    }
    // Heavily damaged is damage state 3 or more: from a damage percentage of 60, and sinking.
    THeadlessMessages messages(nullptr);
    auto sOwner = MakeShip(20000, 20);
    TFightingShip& s = *sOwner;
    s.CurrentFloatPoints = s.MaxFloatPoints * 41 / 100; // 59% flooded
    ASSERT_EQ(59, s.GetDamagePercentage(messages));
    EXPECT_FALSE(s.IsHeavilyDamaged());
    EXPECT_EQ(kDamageMedium, s.DamageState());
    s.CurrentFloatPoints = s.MaxFloatPoints * 40 / 100;
    EXPECT_TRUE(s.IsHeavilyDamaged());
    EXPECT_EQ(s.GetDamageState(messages), s.DamageState());
    s.CurrentFloatPoints = s.MaxFloatPoints;
    // Every hit's mark counts: upper works, turrets and lost speed as well as flotation.
    s.Turrets = {Turret('A', 2), Turret('Y', 2)};
    s.Turrets[0].Destroyed = true;
    s.Turrets[1].Silenced = 10;
    ASSERT_EQ(50, s.DamagePercentage()); // no gun working
    s.EngineEfficiency = 40;
    EXPECT_EQ(kDamageHeavy, s.DamageState()); // + 20 for the speed lost
    EXPECT_TRUE(s.IsHeavilyDamaged());
    s.EngineEfficiency = 100;
    EXPECT_FALSE(s.IsHeavilyDamaged());
    s.Turrets.clear();
    s.Sinking = 1;
    EXPECT_TRUE(s.IsHeavilyDamaged());
    EXPECT_EQ(kDamageSinking, s.DamageState());
    EXPECT_TRUE(messages.Shown().empty());
}

TEST(FightingShip, DamageEstimateIsDrawnAroundTheTruth) {
    auto sOwner = MakeShip(20000, 20);
    TFightingShip& s = *sOwner;
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
    auto sOwner = MakeShip(5000, 25, TShipType::CL);
    TFightingShip& s = *sOwner;
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

    auto heavyOwner = MakeShip(25000, 21);
    TFightingShip& heavy = *heavyOwner;
    heavy.Calibre = {0, 12, 0, 0};
    heavy.Turrets = {Turret('A', 2)};
    heavy.SetAmmoAllowance(random, true);
    EXPECT_EQ(180, heavy.Ammo[1]);   // 2 x 90
    EXPECT_EQ(0, heavy.SmokeFloats); // only light cruisers carry smoke floats
}

namespace {

// Ships on a chart layer near 56 N 5 E, placed by course and range from a reference point.
struct ChartFixture : ::testing::Test {
    tarnwake::map::TGlobeLayer layer{"ShipLayer"};
    tarnwake::map::TGeoPos origin{5 * 5'400'000, 56 * 5'400'000, 0};
    std::vector<std::unique_ptr<TFightingShip>> ships;
    THeadlessMessages messages{nullptr};

    TFightingShip& Place(const char* name, int side, double course, double yards) {
        ships.push_back(std::make_unique<TFightingShip>());
        TFightingShip& s = *ships.back();
        s.Name = name;
        s.Side = side;
        s.PlaceOnLayer(&layer);
        s.SetPosition(tarnwake::map::MovePoint(origin, course, yards));
        return s;
    }
};

} // namespace

TEST_F(ChartFixture, BearingsAndRangesBetweenShips) {
    TFightingShip& lion = Place("Lion", 0, 0, 0);
    TFightingShip& seydlitz = Place("Seydlitz", 1, 90, 12345);
    lion.SetCourse(45);
    seydlitz.SetCourse(180);
    EXPECT_EQ(90, lion.TrueBearingToShip(&seydlitz, messages));
    EXPECT_EQ(45, lion.GetBearingToShip(&seydlitz, messages));
    // Lion lies to the west, on Seydlitz's starboard beam as she steams south.
    EXPECT_EQ(90, TFightingShip::IncomingBearing(&seydlitz, &lion, messages));
    EXPECT_NEAR(12345, lion.GetRangeToShip(&seydlitz, messages), 1);
    tarnwake::core::TScriptedRandom random({0, 2468});
    EXPECT_EQ(12300, lion.GetRoundedRangeToShip(&seydlitz, false, random, messages));
    // An estimate runs from a tenth over (draw 0) to a tenth under (largest draw).
    EXPECT_EQ(13500, lion.GetRoundedRangeToShip(&seydlitz, true, random, messages));
    EXPECT_EQ(11100, lion.GetRoundedRangeToShip(&seydlitz, true, random, messages));
    EXPECT_TRUE(messages.Shown().empty());

    EXPECT_EQ(0, lion.TrueBearingToShip(&lion, messages));
    EXPECT_EQ(0, lion.GetRangeToShip(nullptr, messages));
    EXPECT_EQ((std::vector<std::string>{"Warning! Cannot get bearing to self!Lion",
                                        "Error in GetRangeToShip procedure for Lion! Another "
                                        "ship = nil!"}),
              messages.Texts());
}

TEST_F(ChartFixture, ShipsInTheLineOfFire) {
    TFightingShip& firer = Place("Iron Duke", 0, 0, 0);
    TFightingShip& target = Place("Koenig", 1, 90, 10000);
    Place("Marlborough", 0, 90, 5000);             // on the line
    Place("Benbow", 0, 0, 250).SetCourse(0);       // close abeam of the firer: 90 degrees off
    Place("Thunderer", 0, 85, 5000);               // 5 degrees off, 436 yards from the line
    Place("Hercules", 0, 89, 5000);                // 87 yards from the line
    Place("Grosser Kurfuerst", 1, 90, 6000);       // the enemy's own ship
    Place("Royal Oak", 0, 90, 12000).Sunk = false; // beyond the target
    EXPECT_EQ(2, firer.CountShipsInBetween(&target, ships, false));
    EXPECT_EQ(3, firer.CountShipsInBetween(&target, ships, true));
    ships[2]->Sunk = true;
    EXPECT_EQ(1, firer.CountShipsInBetween(&target, ships, false));
    EXPECT_EQ(0, firer.CountShipsInBetween(nullptr, ships, true));
}

TEST_F(ChartFixture, SecondaryTargetsOutOfArcAreDropped) {
    TFightingShip& ship = Place("Warspite", 0, 0, 0);
    TFightingShip& toStarboard = Place("S", 1, 90, 5000);
    TFightingShip& toPort = Place("P", 1, 270, 5000);
    ship.SecondaryStarboardTarget = &toStarboard;
    ship.SecondaryPortTarget = &toStarboard; // on the wrong side
    ship.TertiaryStarboardTarget = &toPort;  // on the wrong side
    ship.TertiaryPortTarget = &toPort;
    ship.DropOutOfArcSecondaryTargets(messages);
    EXPECT_EQ(&toStarboard, ship.SecondaryStarboardTarget);
    EXPECT_EQ(nullptr, ship.SecondaryPortTarget);
    EXPECT_EQ(nullptr, ship.TertiaryStarboardTarget);
    EXPECT_EQ(&toPort, ship.TertiaryPortTarget);

    // An empty slot does not end the checks: the slots after it are checked too.
    ship.SecondaryStarboardTarget = nullptr;
    ship.SecondaryPortTarget = &toStarboard;
    ship.TertiaryStarboardTarget = nullptr;
    ship.TertiaryPortTarget = &toStarboard;
    ship.DropOutOfArcSecondaryTargets(messages);
    EXPECT_EQ(nullptr, ship.SecondaryPortTarget);
    EXPECT_EQ(nullptr, ship.TertiaryPortTarget);
}

TEST_F(ChartFixture, ADisplayCopyKeepsTheDesignButNotTheDamage) {
    TFightingShip& lion = Place("Lion", 0, 0, 0);
    lion.Nation = 0;
    lion.Classname = "Lion";
    lion.Displacement = 26270;
    lion.ApplyDesignState();
    lion.Turrets = {Turret('A', 2), Turret('Q', 2)};
    lion.Turrets[1].Destroyed = true;
    lion.CurrentFloatPoints = 10;
    tarnwake::designs::TFightingTorpedoMount mount;
    mount.Pos = 'F';
    mount.Tubes = 1;
    mount.TorpsLeft = 0;
    mount.ReloadTime = 3;
    lion.TorpedoMounts = {mount};
    auto copy = CopyShipForDisplay(lion, 10, messages);
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ("Lion", copy->Name);
    EXPECT_EQ(26270, copy->Displacement);
    EXPECT_FALSE(copy->Turrets[1].Destroyed);
    EXPECT_EQ(copy->MaxFloatPoints, copy->CurrentFloatPoints);
    EXPECT_EQ(0, copy->TorpedoMounts[0].TorpsLeft); // torpedoes left are copied
    EXPECT_EQ(0, copy->TorpedoMounts[0].ReloadTime);
    EXPECT_EQ(lion.Position(), copy->Position());
    EXPECT_EQ(&layer, copy->Marker->Layer());

    lion.Nation = 11;
    EXPECT_EQ(nullptr, CopyShipForDisplay(lion, 10, messages));
    EXPECT_EQ("Illegal nation value! Class: Lion", messages.Texts().back());
}
