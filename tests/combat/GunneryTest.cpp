#include "combat/Gunnery.h"

#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "designs/NationsTable.h"
#include "designs/WeaponTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

using namespace tarnwake::combat;
using tarnwake::core::THeadlessMessages;
using tarnwake::core::TRandomGenerator;
using tarnwake::core::TScriptedRandom;
using tarnwake::designs::TFightingTurret;
using tarnwake::designs::TGunRow;
using tarnwake::designs::TNation;
using tarnwake::designs::TShipType;
using tarnwake::designs::TWeaponTables;

namespace {

// Plays a strict script and keeps the bound of every draw, so that a failing case shows the
// draws the rules made.
class TDrawLog : public TRandomGenerator {
public:
    explicit TDrawLog(std::vector<int> script) : TRandomGenerator(0), script_(std::move(script)) {}
    int Random(int n) override {
        bounds_.push_back(n);
        return script_.Random(n);
    }
    std::size_t Left() const { return script_.Left(); }
    const std::vector<int>& Bounds() const { return bounds_; }
    std::string Trace() const {
        std::ostringstream out;
        out << "draws:";
        for (int n : bounds_) {
            out << " R(" << n << ")";
        }
        return out.str();
    }

private:
    TScriptedRandom script_;
    std::vector<int> bounds_;
};

// Answers every draw by its bound: "always this roll" for rules that draw an unknown number of
// times (the hit effects), with the draws counted by bound.
class TRollByBound : public TRandomGenerator {
public:
    explicit TRollByBound(std::function<int(int)> roll)
        : TRandomGenerator(0), roll_(std::move(roll)) {}
    int Random(int n) override {
        ++counts_[n];
        return n <= 0 ? 0 : std::clamp(roll_(n), 0, n - 1);
    }
    int Count(int n) const {
        const auto it = counts_.find(n);
        return it == counts_.end() ? 0 : it->second;
    }

private:
    std::function<int(int)> roll_;
    std::map<int, int> counts_;
};

std::unique_ptr<TFightingShip> Ship(const std::string& name, TShipType type, int displacement,
                                    int side) {
    auto ship = std::make_unique<TFightingShip>();
    ship->Name = name;
    ship->ShipType = type;
    ship->Displacement = displacement;
    ship->Side = side;
    ship->Speed = 25;
    ship->CurrentSpeed = 20;
    ship->ApplyDesignState();
    ship->SightingLevel = kClassIdentified;
    return ship;
}

// 8 x 12-inch in four twin turrets, central firing, a full outfit of shells.
void ArmAsBattleCruiser(TFightingShip& ship) {
    ship.Calibre = {0, 12, 4, 0};
    ship.FireControl = kFireControlCentral;
    for (char pos : {'A', 'B', 'X', 'Y'}) {
        TFightingTurret turret;
        turret.Guns = 2;
        turret.Pos = pos;
        ship.Turrets.push_back(turret);
    }
    ship.Ammo = {0, 640, 1600, 0};
}

class GunneryTest : public ::testing::Test {
protected:
    GunneryTest() {
        TGunRow twelve;
        twelve.Penetration[0] = 10; // effective range, thousands of yards
        twelve.RateOfFire = 2.0F;
        twelve.MaxRange = 16;
        tables.SetRow(12, twelve);
        TGunRow four;
        four.Penetration[0] = 5;
        four.RateOfFire = 8.0F;
        four.MaxRange = 9;
        tables.SetRow(4, four);
        firer = Ship("Indomitable", TShipType::BC, 17250, 0);
        ArmAsBattleCruiser(*firer);
        target = Ship("Seydlitz", TShipType::BC, 24988, 1);
        geometry.RangeYards = 12000;
        geometry.RelativeBearing = 90;
        geometry.TrueBearing = 90;
        geometry.IncomingBearing = 270;
        geometry.TargetVisibility = 20000;
        geometry.FirerVisibility = 20000;
    }

    TGunneryConditions Conditions() {
        TGunneryConditions c{tables, firerNation, targetNation, messages, warnings};
        c.ScenarioYear = 1915;
        c.Weather = 2;
        c.SeaState = 2;
        c.Time = "09:10";
        c.Report = true;
        return c;
    }

    double Chance(bool skipRanging = true, std::vector<std::string>* report = nullptr) {
        return HitChance(*firer, *target, firer->Calibre[1], skipRanging, report, 1, geometry,
                         Conditions());
    }

    TWeaponTables tables;
    TNation firerNation;
    TNation targetNation;
    THeadlessMessages messages{nullptr};
    TGunDataWarnings warnings;
    std::unique_ptr<TFightingShip> firer;
    std::unique_ptr<TFightingShip> target;
    TFireGeometry geometry;
};

// ---- The hit chance

TEST_F(GunneryTest, WorkedSalvoOfEightTwelveInchGunsAtABattleCruiser) {
    // 12,000 yards, clear weather by day, a new target. Basic: 4 x 10,000 / 12,000 x 0.7. The
    // modifiers: crew 0, target size 0 (24,988 tons), fire control -1 (central firing beyond
    // 8,000 yards), ranging -5; nothing else applies. m = -6.
    const double basic = 4.0 * 10000 / 12000 * 0.7;
    const double expected = basic * std::pow(0.9, 6);
    firer->RangingMinutes = 3;
    std::vector<std::string> report;
    EXPECT_DOUBLE_EQ(Chance(false, &report), expected);
    const std::vector<std::string> lines{
        "Target: Seydlitz", "Range: 12000 yards",    "Basic hit chance: 2.33",
        "Crew quality: 0",  "Target size: 0",        "Fire control: -10 (Central firing)",
        "Ranging: -50",     "Final hit chance: 1.24"};
    EXPECT_EQ(report, lines);

    // The salvo: all four turrets bear on the beam. Rate: base 0.4 + 2.0; m = -5, Random(2) 0,
    // ranging -5, a steady course -3, no straddle -2: 2.4 x 0.9^15 a gun, 3.95 rounds: 4.
    firer->RangingMinutes = 0;
    TDrawLog random({0, 3, 500, 500, 500, 500, 599});
    TDrawLog cosmetic({0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0});
    const TSalvo salvo =
        FireGuns(*firer, target.get(), 1, geometry, Conditions(), random, cosmetic);
    EXPECT_EQ(random.Left(), 0U) << random.Trace();
    EXPECT_EQ(random.Bounds(), (std::vector<int>{2, 100, 1000, 1000, 1000, 1000, 600}));
    EXPECT_TRUE(salvo.Answer);
    EXPECT_TRUE(salvo.OpenedFire);
    EXPECT_EQ(salvo.GunsBearing, 8);
    EXPECT_DOUBLE_EQ(salvo.Chance, expected);
    EXPECT_DOUBLE_EQ(salvo.Rate, 2.4 * std::pow(0.9, 15));
    EXPECT_EQ(salvo.Rounds, 4);
    // Random(100) = 3 <= 1.24 x 5: straddled, and the chance doubles for the hit rolls.
    EXPECT_TRUE(salvo.Straddle);
    EXPECT_EQ(salvo.Hits, 0);
    EXPECT_EQ(salvo.LogLine, "Indomitable;Seydlitz;12;12000;90;8;1.24;2;0.49;3.95;4;Straddled;0");
    EXPECT_EQ(firer->RoundsFired[1], 4);
    EXPECT_EQ(firer->RangingMinutes, 0); // two minutes were left; the straddle clears them
    EXPECT_EQ(firer->LastGunTarget, target.get());
    EXPECT_TRUE(firer->FiredThisMinute);
    EXPECT_EQ(target->RoundsFiredAtMeThisMinute, 4);
    EXPECT_EQ(target->BiggestCalibreAtMe, 12);
    EXPECT_EQ(salvo.Splashes.size(), static_cast<std::size_t>(kSplashesPerSalvo));
    ASSERT_FALSE(salvo.Messages.empty());
    EXPECT_EQ(salvo.Messages.front().Text, "1Indomitable opens fire at unknown ship!");
}

TEST_F(GunneryTest, HitChanceEdgeCases) {
    firer->FireControl = kFireControlDirector;
    target->Displacement = 15000;
    // At exactly the effective range, m = 0, R >= 8000: 4 x 0.7.
    geometry.RangeYards = 10000;
    EXPECT_DOUBLE_EQ(Chance(), 2.8);
    // m = -3 multiplies by 0.729: local fire control (-2) at a smaller target (-1).
    firer->FireControl = kFireControlLocal;
    target->Displacement = 8000;
    EXPECT_DOUBLE_EQ(Chance(), 2.8 * 0.729);
    // A range of 0 counts as 100 yards, not a division by zero: 4 x 10,000 / 100 x 0.9, with
    // no modifier at point-blank range; a chance beyond 100 is not capped.
    geometry.RangeYards = 0;
    EXPECT_DOUBLE_EQ(Chance(), 360.0);
}

TEST(GunneryTables, CapAndSizeAndFireControl) {
    TFightingShip target;
    target.ShipType = TShipType::BB;
    EXPECT_DOUBLE_EQ(CapChance(9.5, target, 5000), 9.5);
    EXPECT_DOUBLE_EQ(CapChance(40.4, target, 5000), 10.0);
    EXPECT_DOUBLE_EQ(CapChance(45.2, target, 5000), 11.0);
    EXPECT_DOUBLE_EQ(CapChance(70.6, target, 5000), 17.0);
    EXPECT_DOUBLE_EQ(CapChance(150.0, target, 5000), 150.0);
    target.ShipType = TShipType::TR;
    EXPECT_DOUBLE_EQ(CapChance(40.0, target, 1000), 45.0);

    struct TSizeCase {
        int tons;
        TShipType type;
        int range;
        int expected;
    };
    for (const TSizeCase& c :
         {TSizeCase{29000, TShipType::BB, 5000, 1}, TSizeCase{29000, TShipType::BB, 9000, 0},
          TSizeCase{1000, TShipType::DD, 9000, -4}, TSizeCase{1000, TShipType::DD, 6000, -3},
          TSizeCase{5000, TShipType::CL, 9000, -2},
          TSizeCase{5000, TShipType::TR, 9000, -1}, // 5 + 4: 7..9
          TSizeCase{101000, TShipType::BB, 4000, 0}}) {
        target.Displacement = c.tons;
        target.ShipType = c.type;
        EXPECT_EQ(TargetSizeModifier(target, c.range), c.expected) << c.tons << " " << c.range;
    }

    EXPECT_EQ(FireControlModifier(kFireControlLocal, 2000), 0);
    EXPECT_EQ(FireControlModifier(kFireControlLocal, 10001), -3);
    EXPECT_EQ(FireControlModifier(kFireControlLocal, 100001), -2);
    EXPECT_EQ(FireControlModifier(kFireControlRangefinder, 8000), -1);
    EXPECT_EQ(FireControlModifier(kFireControlCentral, 14001), -2);
    EXPECT_EQ(FireControlModifier(kFireControlDirector, 25000), 0);
    EXPECT_EQ(FireControlModifier(kFireControlImprovedDirector, 1000), -2);

    EXPECT_EQ(SeaStateHitModifier(TShipType::BB, 3), 0);
    EXPECT_EQ(SeaStateHitModifier(TShipType::DD, 4), 1);
    EXPECT_EQ(SeaStateHitModifier(TShipType::CL, 7), 3);
    EXPECT_EQ(SeaStateHitModifier(TShipType::BB, 11), 9);
    EXPECT_EQ(SeaStateHitModifier(TShipType::BB, 13), 0);
    EXPECT_EQ(SeaStateHitModifier(TShipType::MS, 14), 12);
}

TEST_F(GunneryTest, ReasonLinesNameEveryModifierTheyApply) {
    firer->CrewQuality = 1;
    firer->Turn = 25; // -4 in the hit chance
    firer->Evading = true;
    firer->CalibreAtMeLastTurn = 11;
    target->Turn = -40;
    target->Evading = true;
    target->ShipsFiringAtMe = 4;
    target->SightingLevel = kSighted;
    target->LightState = 2;
    firerNation.GunneryCharacteristic = 1;
    firerNation.NightFighting = 1;
    geometry.ShipsInBetween = 2;
    geometry.SmokeInterference = 1;
    geometry.TargetVisibility = 14000;
    std::vector<std::string> report;
    TGunneryConditions conditions = Conditions();
    conditions.Weather = 7;
    conditions.SeaState = 6;
    conditions.SideGunneryBonus = 1;
    const double c = HitChance(*firer, *target, 12, true, &report, 1, geometry, conditions);
    const std::vector<std::string> lines{"Target: Seydlitz",
                                         "Range: 12000 yards",
                                         "Basic hit chance: 2.33",
                                         "Crew quality: 10",
                                         "Target size: 0",
                                         "Fire control: -10 (Central firing)",
                                         "National characteristic: 20",
                                         "Near sighting range: -20",
                                         "2 ships fouling the range: -30",
                                         "Ship turning: -40",
                                         "Target turning: -20",
                                         "Target evading: -30",
                                         "Firing ship evading: -40",
                                         "4 ships firing at same target: -30",
                                         "Under fire: -20",
                                         "Target sighting level: -40",
                                         "Smoke interference: -10",
                                         "Sea state: -20",
                                         "Night firing: - 10",
                                         "Nightfighting ability: +10",
                                         "Rain: - 30",
                                         "Final hit chance: 0.09"};
    EXPECT_EQ(report, lines);
    // 1 + 0 - 1 + 2 - 2 - 3 - 4 - 2 - 3 - 4 - 3 - 2 - 4 - 1 - 2 - 1 + 1 - 3 = -31
    EXPECT_DOUBLE_EQ(c, 4.0 * 10000 / 12000 * 0.7 * std::pow(0.9, 31));
}

TEST_F(GunneryTest, DuskAndGlareReadTheLight) {
    // The firer in dusk, the target against the dark side of the sky: -2.
    firer->LightState = 3;
    geometry.LightBearing = 270;
    const double clear = 4.0 * 10000 / 12000 * 0.7 * 0.9; // fire control -1
    EXPECT_DOUBLE_EQ(Chance(), clear * 0.81);
    // In daylight with the sun low, the target lying towards the sun: glare.
    firer->LightState = 1;
    geometry.LowSun = true;
    geometry.LightBearing = 100;
    EXPECT_DOUBLE_EQ(Chance(), clear * std::pow(0.9, 4));
    geometry.LightBearing = 125; // 35 degrees off
    EXPECT_DOUBLE_EQ(Chance(), clear * 0.81);
    geometry.LightBearing = 140;
    EXPECT_DOUBLE_EQ(Chance(), clear);
}

TEST_F(GunneryTest, MissingGunDataIsReportedOncePerCalibre) {
    EXPECT_EQ(HitChance(*firer, *target, 9, true, nullptr, 1, geometry, Conditions()), 0.0);
    EXPECT_EQ(HitChance(*firer, *target, 9, true, nullptr, 1, geometry, Conditions()), 0.0);
    EXPECT_EQ(HitChance(*firer, *target, 10, true, nullptr, 1, geometry, Conditions()), 0.0);
    ASSERT_EQ(messages.Shown().size(), 2U);
    EXPECT_EQ(messages.Shown()[0].text, "Error in gun data!\nShip: Indomitable\nCalibre: 9");
}

// ---- The rate of fire and the guns bearing

TEST_F(GunneryTest, RateOfFireSteps) {
    geometry.RangeYards = 5000; // band 1.0: base 3.0
    struct TCase {
        int turn;
        bool straddling;
        double expected;
    };
    // A turn of 25 degrees costs nothing; 0..10 costs 3; a straddle is +2 against -2.
    for (const TCase& c :
         {TCase{25, true, 3.0 * std::pow(0.9, 3)}, TCase{5, true, 3.0 * std::pow(0.9, 6)},
          TCase{25, false, 3.0 * std::pow(0.9, 7)}}) {
        firer->Turn = c.turn;
        firer->Straddling = c.straddling;
        TDrawLog random({0});
        EXPECT_DOUBLE_EQ(RateOfFire(*firer, 12, *target, false, 1, geometry, Conditions(), random),
                         c.expected)
            << c.turn;
    }
    // Poor visibility draws once more; a crew good enough to pass +30 cannot fire at all.
    TDrawLog twice({2, 1});
    firer->Turn = 25;
    firer->Straddling = true;
    EXPECT_DOUBLE_EQ(RateOfFire(*firer, 12, *target, true, 1, geometry, Conditions(), twice),
                     3.0 * std::pow(0.9, 6));
    EXPECT_EQ(twice.Left(), 0U);
    firer->CrewQuality = 40;
    TDrawLog once({0});
    EXPECT_EQ(RateOfFire(*firer, 12, *target, false, 1, geometry, Conditions(), once), 0.0);
    firer->CrewQuality = 20;
    TDrawLog capped({0});
    EXPECT_DOUBLE_EQ(RateOfFire(*firer, 12, *target, false, 1, geometry, Conditions(), capped),
                     4.0);
}

TEST_F(GunneryTest, BigGunsShortOfShellsSpareSmallTargets) {
    // Below half the main ammunition, 12-inch guns at a destroyer 11,000 yards off: -2, -6 for
    // the destroyer and -6 for the range; beyond half the maximum range -4 more.
    firer->RoundsFired[1] = 400; // 37% left
    firer->Turn = 25;
    firer->Straddling = true;
    target->ShipType = TShipType::DD;
    geometry.RangeYards = 11000; // base 0.4 + 2.0
    TDrawLog random({0});
    EXPECT_DOUBLE_EQ(RateOfFire(*firer, 12, *target, false, 1, geometry, Conditions(), random),
                     2.4 * std::pow(0.9, 3 + 2 + 6 + 6 + 4));
    // At a light cruiser only -4 of the big-gun penalty, the rest as before.
    target->ShipType = TShipType::CL;
    TDrawLog again({0});
    EXPECT_DOUBLE_EQ(RateOfFire(*firer, 12, *target, false, 1, geometry, Conditions(), again),
                     2.4 * std::pow(0.9, 3 + 2 + 4 + 6 + 4));
}

TEST(GunneryBearing, SideGunsBearByArc) {
    TFightingShip ship;
    ship.CurrentSecondariesStarboard = 6;
    ship.CurrentSecondariesPort = 5;
    ship.CurrentTertiariesStarboard = 8;
    ship.CurrentTertiariesPort = 4;
    EXPECT_EQ(SideGunsBearing(ship, 2, 20), 2); // Round(0.25 x 6) = 2 (1.5 to even)
    EXPECT_EQ(SideGunsBearing(ship, 2, 90), 6);
    EXPECT_EQ(SideGunsBearing(ship, 2, 170), 2);
    EXPECT_EQ(SideGunsBearing(ship, 2, 200), 1); // Round(1.25)
    EXPECT_EQ(SideGunsBearing(ship, 2, 270), 5);
    EXPECT_EQ(SideGunsBearing(ship, 2, 350), 1);
    EXPECT_EQ(SideGunsBearing(ship, 3, 90), 7); // 7/8 of 8 on a broadside of seven or more
    EXPECT_EQ(SideGunsBearing(ship, 3, 270), 4);
}

// ---- The salvo

TEST_F(GunneryTest, WithoutAStraddleAtMostTwoHits) {
    // Every hit roll is 0, no straddle is gained (Random(100) at its top), the effects of the
    // hits draw what they like.
    firer->RangingMinutes = 0;
    firer->LastGunTarget = target.get();
    geometry.RangeYards = 4000;
    TRollByBound random([](int n) { return n == 100 ? n - 1 : 0; });
    TRollByBound cosmetic([](int) { return 0; });
    const TSalvo salvo =
        FireGuns(*firer, target.get(), 1, geometry, Conditions(), random, cosmetic);
    EXPECT_GT(salvo.Rounds, 2);
    EXPECT_FALSE(salvo.Straddle);
    EXPECT_EQ(salvo.Hits, 2);
    EXPECT_EQ(random.Count(1000), 2);
    EXPECT_EQ(salvo.HitResults.size(), 2U);
    EXPECT_EQ(target->HitsReceived, 2);
    EXPECT_TRUE(target->HitByMainGunsThisMinute);
    EXPECT_EQ(firer->HitsScored[1], 2);
    ASSERT_FALSE(firer->Hits.empty());
    EXPECT_EQ(firer->Hits.front(), "\xC2\xA4"
                                   "09:10   Main battery scores 2 hits on Seydlitz");
}

TEST_F(GunneryTest, SalvosThatCannotFire) {
    TDrawLog none({});
    TDrawLog cosmetic({});
    // No target, a sunk one, out of range, out of sight: false without a draw.
    EXPECT_FALSE(FireGuns(*firer, nullptr, 1, geometry, Conditions(), none, cosmetic).Answer);
    geometry.RangeYards = 16001;
    TSalvo far = FireGuns(*firer, target.get(), 1, geometry, Conditions(), none, cosmetic);
    EXPECT_FALSE(far.Answer);
    ASSERT_EQ(far.Messages.size(), 1U);
    EXPECT_EQ(far.Messages[0].Text, "1Indomitable main 12 in guns, target out of range");
    geometry.RangeYards = 12000;
    geometry.TargetVisibility = 11000;
    EXPECT_FALSE(FireGuns(*firer, target.get(), 1, geometry, Conditions(), none, cosmetic).Answer);
    // Out of main ammunition: said once.
    geometry.TargetVisibility = 20000;
    firer->RoundsFired[1] = 640;
    EXPECT_FALSE(FireGuns(*firer, target.get(), 1, geometry, Conditions(), none, cosmetic).Answer);
    EXPECT_FALSE(FireGuns(*firer, target.get(), 1, geometry, Conditions(), none, cosmetic).Answer);
    ASSERT_EQ(messages.Shown().size(), 1U);
    EXPECT_EQ(messages.Shown()[0].text, "Indomitable is out of main ammo!");
    target->Sunk = true;
    EXPECT_FALSE(FireGuns(*firer, target.get(), 1, geometry, Conditions(), none, cosmetic).Answer);
    EXPECT_EQ(none.Bounds().size(), 0U);
}

TEST_F(GunneryTest, UncertainIdentityHoldsFireAndDropsTheTarget) {
    // At night, an unidentified target: Random(100) < 40 - 30 x night fighting holds fire.
    target->SightingLevel = kTypeIdentified;
    target->LightState = 2;
    firer->CurrentTarget = target.get();
    firer->SecondaryStarboardTarget = target.get();
    TDrawLog random({39});
    TDrawLog cosmetic({});
    const TSalvo held = FireGuns(*firer, target.get(), 1, geometry, Conditions(), random, cosmetic);
    EXPECT_TRUE(held.Answer);
    EXPECT_TRUE(held.HeldFire);
    EXPECT_TRUE(firer->HoldFireUncertain);
    EXPECT_EQ(firer->CurrentTarget, nullptr);
    EXPECT_EQ(firer->SecondaryStarboardTarget, nullptr);
    ASSERT_EQ(held.Messages.size(), 1U);
    EXPECT_EQ(held.Messages[0].Text, "1Indomitable holds fire - uncertain identity");
    // A lit target is never in doubt, and no roll is made for it.
    firer->HoldFireUncertain = false;
    target->Lit = true;
    TDrawLog lit({0, 99, 999, 999, 999, 999, 599});
    TRollByBound anyCosmetic([](int) { return 0; });
    const TSalvo fired =
        FireGuns(*firer, target.get(), 1, geometry, Conditions(), lit, anyCosmetic);
    EXPECT_FALSE(fired.HeldFire);
    EXPECT_EQ(lit.Left(), 0U) << lit.Trace();
}

TEST_F(GunneryTest, PoorChanceMayHoldFireAndLogsANoughtRoundLine) {
    // Against a destroyer at 15,000 yards the chance is tiny: fire anyway fails (Random(100)
    // above c0 x 100), the crew's nerve fails (Random(10) > 0): hold fire, with its log line.
    target->ShipType = TShipType::DD;
    target->Displacement = 900;
    target->SightingLevel = kSighted;
    firer->Evading = true;
    geometry.RangeYards = 15000;
    TDrawLog random({99, 1});
    TDrawLog cosmetic({});
    const TSalvo held = FireGuns(*firer, target.get(), 1, geometry, Conditions(), random, cosmetic);
    EXPECT_TRUE(held.Answer);
    EXPECT_TRUE(held.HeldFire);
    EXPECT_LT(held.Chance, 0.5);
    EXPECT_EQ(random.Left(), 0U);
    EXPECT_EQ(held.LogLine, "Indomitable;Seydlitz;12;15000;90;0;0.35;0;0.00;0.00;0;;0");
    EXPECT_EQ(firer->RoundsFired[1], 0);
}

TEST_F(GunneryTest, TurretJamsOnTheLastDraw) {
    firer->LastGunTarget = target.get();
    firer->Straddling = true;
    geometry.RangeYards = 12000;
    // Ten rounds (2.4 x 0.9^6 a gun), the straddle kept, every round a miss.
    TDrawLog random({0, 0, 999, 999, 999, 999, 999, 999, 999, 999, 999, 999, 2, 44});
    TRollByBound cosmetic([](int) { return 0; });
    const TSalvo salvo =
        FireGuns(*firer, target.get(), 1, geometry, Conditions(), random, cosmetic);
    EXPECT_EQ(random.Left(), 0U) << random.Trace();
    EXPECT_EQ(salvo.JammedTurret, 2);
    EXPECT_EQ(firer->Turrets[2].Silenced, 45);
    EXPECT_EQ(firer->Hits.back(), "09:10  Turret jammed!");
}

} // namespace
