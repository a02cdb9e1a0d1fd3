#include "combat/DamageControl.h"

#include "combat/FightingShip.h"
#include "combat/Fire.h"
#include "core/Random.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

using namespace tarnwake;
using combat::TDamageControlConditions;
using combat::TFightingShip;
using core::TScriptedRandom;
using designs::TShipType;

namespace {

// 1915, before the obsolete date of the test ships' class.
constexpr int kGameDay = 5500;

std::unique_ptr<TFightingShip> Ship(TShipType type = TShipType::BB, int displacement = 20000) {
    auto s = std::make_unique<TFightingShip>();
    s->Name = "Tiger";
    s->ShipType = type;
    s->Displacement = displacement;
    s->Speed = 21;
    s->ApplyDesignState();
    // An estimate already made is drawn again only with Random(6) = 1.
    s->DamageReport = "\nLight damage";
    return s;
}

TDamageControlConditions Calm() {
    TDamageControlConditions c;
    c.GameDay = kGameDay;
    c.Time = "14:05";
    return c;
}

// Upper works lost, percent.
void Burn(TFightingShip& ship, int percent) {
    ship.CurrentSuperstructurePoints = ship.MaxSuperstructurePoints * (100 - percent) / 100;
}

int CountLines(const std::vector<std::string>& lines, const std::string& fragment) {
    return static_cast<int>(std::count_if(lines.begin(), lines.end(), [&](const std::string& l) {
        return l.find(fragment) != std::string::npos;
    }));
}

// ---- Fire ------------------------------------------------------------------------------

TEST(FireRules, FireBaseByTypeAndWreckedUpperWorks) {
    struct TCase {
        TShipType type;
        int burnt;
        int base;
    };
    const TCase cases[] = {{TShipType::BB, 0, 3}, {TShipType::BB, 60, 4}, {TShipType::BB, 90, 8},
                           {TShipType::CA, 0, 8}, {TShipType::TR, 0, 14}, {TShipType::AV, 0, 18},
                           {TShipType::DD, 0, 4}, {TShipType::DD, 81, 12}};
    for (const TCase& c : cases) {
        auto ship = Ship(c.type);
        Burn(*ship, c.burnt);
        EXPECT_EQ(c.base, combat::FireBase(*ship)) << designs::TypeIndex(c.type) << " " << c.burnt;
    }
}

TEST(FireRules, AHitSetsAShipAlightByItsCalibreAndType) {
    // The first roll is Random(20) against T; the two that follow pass.
    struct TCase {
        TShipType type;
        int calibre;
        int roll;
        bool fire;
    };
    const TCase cases[] = {
        {TShipType::BB, 12, 14, true}, {TShipType::BB, 12, 15, false}, // T = c + 3
        {TShipType::CL, 6, 9, true},   {TShipType::CL, 6, 10, false},  // light ship, c < 8
        {TShipType::CA, 8, 10, true},  {TShipType::CA, 8, 11, false},  // c = 8: T = c + 3
        {TShipType::BB, 3, 3, true},   {TShipType::BB, 3, 4, false},   // 3 inch: T = 4
    };
    for (const TCase& c : cases) {
        auto ship = Ship(c.type);
        TScriptedRandom random(c.fire ? std::vector<int>{c.roll, 0, 0} : std::vector<int>{c.roll});
        EXPECT_EQ(c.fire ? "Fire started" : "", combat::StartFire(*ship, c.calibre, random))
            << designs::TypeIndex(c.type) << " " << c.calibre << " " << c.roll;
        EXPECT_EQ(c.fire ? 1 : 0, ship->FireLevel);
        EXPECT_EQ(0U, random.Left());
    }
}

TEST(FireRules, ANewFireAndAFireAlreadyBurning) {
    // A crew that had its last fire under control keeps it so with Random(100) >= 50.
    auto ship = Ship();
    ship->FT = -1;
    TScriptedRandom kept({0, 0, 0, 50});
    combat::StartFire(*ship, 12, kept);
    EXPECT_EQ(-1, ship->FT);
    ship->FireLevel = 0;
    TScriptedRandom lost({0, 0, 0, 49});
    combat::StartFire(*ship, 12, lost);
    EXPECT_EQ(0, ship->FT);

    // A burning ship's fire grows with Random(150) < s%, never past 9.
    Burn(*ship, 100);
    ship->FireLevel = 5;
    TScriptedRandom grows({0, 0, 0, 99});
    EXPECT_EQ("", combat::StartFire(*ship, 12, grows));
    EXPECT_EQ(6, ship->FireLevel);
    ship->FireLevel = combat::kMaxFireLevel;
    TScriptedRandom capped({0, 0, 0, 0});
    combat::StartFire(*ship, 12, capped);
    EXPECT_EQ(combat::kMaxFireLevel, ship->FireLevel);
    EXPECT_EQ(0U, capped.Left());
}

TEST(FireRules, AFireOutInTheFirstStepIsNotReducedAgain) {
    // The minute's chance, put out (Random(100) < 20), no second level, FT kept; the burn roll.
    auto ship = Ship();
    ship->FireLevel = 1;
    TScriptedRandom random({0, 0, 99, 0, 0});
    const combat::TFireResult result = combat::FightFire(*ship, {0, false, true, "14:05"}, random);
    EXPECT_EQ(0, ship->FireLevel);
    EXPECT_EQ("Fire extinguished", result.Text);
    EXPECT_EQ(std::vector<std::string>{"14:05 Fire extinguished"}, ship->Hits);
    EXPECT_EQ(0U, random.Left());
}

TEST(FireRules, OnlyAShipNobodyFiresAtFightsItsFireOnDeck) {
    // Level 3: the chance, the crew fails, no spreading, then the deck party (3 x DC + 6 = 6)
    // with Random(100) = 5 and FT kept, and the burn roll.
    struct TCase {
        bool unmolested;
        std::vector<int> script;
        int level;
    };
    const TCase cases[] = {{true, {0, 99, 99, 0, 5, 0, 9}, 2}, {false, {0, 99, 99, 0, 9}, 3}};
    for (const TCase& c : cases) {
        auto ship = Ship();
        ship->FireLevel = 3;
        TScriptedRandom random(c.script);
        combat::FightFire(*ship, {0, false, c.unmolested, "14:05"}, random);
        EXPECT_EQ(c.level, ship->FireLevel) << c.unmolested;
        EXPECT_EQ(0U, random.Left());
    }
}

TEST(FireRules, AShipAbandonedToFireIsAbandonedOnceAndSinks) {
    // A poor crew (nation -4, crew -2) cannot check a fire at its worst in a gutted ship: she is
    // abandoned at the first minute's chance, drifts burning for 60 + Random(60) minutes and
    // sinks, and the abandonment is written once.
    auto ship = Ship();
    ship->FireLevel = combat::kMaxFireLevel;
    ship->FT = 4;
    ship->CrewQuality = -2;
    ship->CurrentSpeed = 12;
    Burn(*ship, 90);
    TDamageControlConditions c = Calm();
    c.DamageControl = -4;
    auto random = TScriptedRandom::Repeating({0});
    int minutes = 0;
    while (!ship->Sunk && minutes < 200) {
        combat::ShipDamageControl(*ship, c, random);
        ++minutes;
        if (minutes == 1) {
            EXPECT_TRUE(ship->Abandoned);
            EXPECT_EQ(60, ship->Sinking);
            EXPECT_EQ(0, ship->CurrentSpeed);
        }
    }
    EXPECT_TRUE(ship->Sunk);
    EXPECT_EQ(61, minutes);
    EXPECT_EQ(1, CountLines(ship->Hits, "Fires raging out of control! Ship abandoned!"));
}

// ---- Damage control --------------------------------------------------------------------

TEST(DamageControl, AShipWithoutFlotationSinksWithinFifteenMinutes) {
    // She starts sinking with 5 + Random(10) minutes to go and no way on, and goes down when
    // they have run out: at the 6th minute at best, the 15th at worst.
    for (const int roll : {0, 9}) {
        auto ship = Ship();
        ship->CurrentFloatPoints = 0;
        ship->CurrentSpeed = 12;
        auto random = TScriptedRandom::Repeating({roll});
        int minutes = 0;
        while (!ship->Sunk && minutes < 20) {
            combat::ShipDamageControl(*ship, Calm(), random);
            ++minutes;
            if (minutes == 1) {
                EXPECT_EQ(5 + roll, ship->Sinking);
                EXPECT_EQ(0, ship->CurrentSpeed);
            }
        }
        EXPECT_EQ(6 + roll, minutes) << roll;
        EXPECT_EQ(0, ship->Sinking);
    }

    // A ship that blew up (one minute to go) sinks at the next check.
    auto blown = Ship();
    blown->Sinking = 1;
    TScriptedRandom random({0});
    combat::ShipDamageControl(*blown, Calm(), random);
    EXPECT_TRUE(blown->Sunk);
}

TEST(DamageControl, AnObsoleteShipLimitsFloodingLessOften) {
    // Flooding 100 at rest: high speed draws once and fails; the pumps' rolls pass; obsolete
    // ships need Random(100) <= 59 as well; the amount Random(31) + 10 = 30 is kept
    // (Random(100) >= 20); Random(6) makes no new estimate.
    struct TCase {
        bool obsolete;
        std::vector<int> script;
        int flooding;
    };
    const TCase cases[] = {{false, {0, 0, 0, 119, 20, 99, 0}, 70},
                           {true, {0, 0, 0, 119, 59, 20, 99, 0}, 70},
                           {true, {0, 0, 0, 119, 60, 0}, 100}};
    for (const TCase& c : cases) {
        auto ship = Ship();
        ship->Flooding = 100;
        if (c.obsolete) {
            ship->ObsoleteDate = kGameDay - 1;
        }
        const int before = ship->CurrentFloatPoints;
        TScriptedRandom random(c.script);
        combat::ShipDamageControl(*ship, Calm(), random);
        EXPECT_EQ(c.flooding, ship->Flooding) << c.obsolete;
        // What is left of the flooding drains half itself in flotation.
        EXPECT_EQ(before - c.flooding / 2, ship->CurrentFloatPoints);
        EXPECT_EQ(0U, random.Left());
    }
}

TEST(DamageControl, DeepFloodingDrainsFlotationOnlyWhileTheFiresLeaveMenForThePumps) {
    struct TCase {
        int fireLevel;
        std::vector<int> script; // the PF check (fails), the fire's chance, Random(6)
        int drained;
    };
    const TCase cases[] = {{2, {0, 99, 0}, 50}, {3, {99, 0}, 0}};
    for (const TCase& c : cases) {
        auto ship = Ship();
        ship->PF = 50;
        ship->FireLevel = c.fireLevel;
        const int before = ship->CurrentFloatPoints;
        TScriptedRandom random(c.script);
        combat::ShipDamageControl(*ship, Calm(), random);
        EXPECT_EQ(before - c.drained, ship->CurrentFloatPoints) << c.fireLevel;
        EXPECT_EQ(0U, random.Left());
    }
}

TEST(DamageControl, ASilencedTurretComesBackOnlyOnASuccessfulRoll) {
    auto ship = Ship();
    for (char pos : {'A', 'B', 'X', 'Y'}) {
        designs::TFightingTurret turret;
        turret.Guns = 2;
        turret.Pos = pos;
        ship->Turrets.push_back(turret);
    }
    ship->Turrets[1].Silenced = 1;
    TDamageControlConditions c = Calm();
    c.Report = true;
    // Random(100) < CQ x 4 + 20 fails: silenced another minute.
    TScriptedRandom first({20, 0});
    EXPECT_TRUE(combat::ShipDamageControl(*ship, c, first).Messages.empty());
    EXPECT_EQ(1, ship->Turrets[1].Silenced);
    // Then all three rolls pass.
    TScriptedRandom second({19, 199, 9, 0});
    const auto result = combat::ShipDamageControl(*ship, c, second);
    EXPECT_EQ(0, ship->Turrets[1].Silenced);
    EXPECT_EQ(std::vector<std::string>{"Tiger Turret back in action!"}, result.Messages);
    EXPECT_EQ(0U, second.Left());
}

TEST(DamageControl, ATransportFightsDamageWithCrewQualityMinusTwo) {
    // Rudder repair: Random(100) < (DC + CQ) x 5 + 12, which is 2 for a transport.
    auto ship = Ship(TShipType::TR, 5000);
    ship->CrewQuality = 3;
    ship->RudderStatus = 1;
    TScriptedRandom fails({2, 0});
    combat::ShipDamageControl(*ship, Calm(), fails);
    EXPECT_EQ(-2, ship->CrewQuality);
    EXPECT_EQ(1, ship->RudderStatus);
    TScriptedRandom repairs({1, 0});
    combat::ShipDamageControl(*ship, Calm(), repairs);
    EXPECT_EQ(0, ship->RudderStatus);
    EXPECT_EQ(std::vector<std::string>{"14:05  Rudder repaired!"}, ship->Hits);
}

TEST(DamageControl, TheFlotationWarningIsGivenOnce) {
    auto ship = Ship();
    ship->CurrentFloatPoints = ship->MaxFloatPoints / 3;
    TDamageControlConditions c = Calm();
    c.Report = true;
    c.FlotationWarning = true;
    // The bulkhead's Random(250) < speed fails at rest; Random(6).
    TScriptedRandom first({0, 0});
    EXPECT_EQ(std::vector<std::string>{"7Tiger has more than 50% flotation damage!"},
              combat::ShipDamageControl(*ship, c, first).Messages);
    TScriptedRandom second({0, 0});
    EXPECT_TRUE(combat::ShipDamageControl(*ship, c, second).Messages.empty());
    EXPECT_TRUE(ship->WarnedFlotation);
}

TEST(DamageControl, LongFastSteamingBreaksDownOnlyThePlayersShips) {
    // 28 knots against a threshold of 18: Random(100000) < 10, Random(100) < 8, and
    // Random(100) <= 59 breaks down; the obsolete-engine rolls and Random(6) follow.
    struct TCase {
        bool known;
        std::vector<int> script;
        bool broken;
    };
    const TCase cases[] = {{true, {0, 0, 0, 99999, 0, 0}, true}, {false, {99999, 0, 0}, false}};
    for (const TCase& c : cases) {
        auto ship = Ship(TShipType::BC);
        TDamageControlConditions conditions = Calm();
        conditions.Known = c.known;
        conditions.Report = c.known;
        conditions.InDivision = true;
        conditions.DivisionSpeed = 28;
        TScriptedRandom random(c.script);
        const auto result = combat::ShipDamageControl(*ship, conditions, random);
        EXPECT_EQ(c.broken, ship->EngineDisabled);
        EXPECT_EQ(c.broken ? 1 : 0,
                  CountLines(result.Messages, "Bearings overheat due to extended high speed"));
        EXPECT_EQ(0U, random.Left());
    }
}

TEST(DamageControl, CruisingThresholdsByType) {
    struct TCase {
        TShipType type;
        int speed;
        int threshold;
    };
    const TCase cases[] = {{TShipType::BB, 21, 16},  {TShipType::BC, 28, 18},
                           {TShipType::AMC, 20, 16}, {TShipType::AMC, 14, 12},
                           {TShipType::TR, 12, 8},   {TShipType::TR, 8, 5}};
    for (const TCase& c : cases) {
        auto ship = Ship(c.type);
        ship->Speed = c.speed;
        EXPECT_EQ(c.threshold, combat::CruisingThreshold(*ship))
            << designs::TypeIndex(c.type) << " " << c.speed;
    }
}

} // namespace
