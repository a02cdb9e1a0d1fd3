#include "combat/Division.h"

#include "BattleFixture.h"
#include "combat/FightingShip.h"
#include "core/Messages.h"

#include <gtest/gtest.h>

#include <memory>

using namespace tarnwake::combat;
using tarnwake::designs::TShipType;

namespace {

struct Fleet {
    std::vector<std::unique_ptr<TFightingShip>> ships;

    TFightingShip* Add(TDivision& d, TShipType type, int speed) {
        auto s = std::make_unique<TFightingShip>();
        s->Name = d.DivisionName + " " + std::to_string(d.Ships.size() + 1);
        s->ShipType = type;
        s->Speed = speed;
        s->Displacement = 20000;
        s->ApplyDesignState();
        d.Ships.push_back(s.get());
        ships.push_back(std::move(s));
        return d.Ships.back();
    }
};

} // namespace

TEST(Division, CodesAndTheirTexts) {
    EXPECT_EQ("Support", RoleText(roleSupport));
    EXPECT_EQ("Illegal Role value!", RoleText(6));
    EXPECT_EQ("Illegal Role value!", RoleText(-1));
    EXPECT_EQ("Sco", RoleShortText(roleScout));
    EXPECT_EQ("", RoleShortText(rolePatrol));
    EXPECT_EQ("Search line", FormationText(formSearchLine));
    EXPECT_EQ("", FormationText(4));
    EXPECT_EQ(rolePatrol, RoleFromText("Patrol"));
    EXPECT_EQ(formScreen, FormationFromText("Screen"));
    EXPECT_FALSE(RoleFromText("patrol").has_value());
}

TEST(Division, RolesAndFormationsByTypeAndYear) {
    TDivision empty("Empty", 0);
    for (int role = 0; role <= 5; ++role) {
        EXPECT_TRUE(empty.RoleAllowed(role, 1900)) << role;
    }
    EXPECT_TRUE(empty.FormationAllowed(formScreen, 1900));

    Fleet fleet;
    struct Case {
        TShipType type;
        int year;
        bool support, scout, screen, screenFormation;
    };
    const Case cases[] = {
        {TShipType::CL, 1916, true, true, true, true},
        {TShipType::BB, 1916, false, false, false, true},
        {TShipType::DD, 1908, true, false, true, true},
        {TShipType::DD, 1907, true, false, false, false},
        {TShipType::BC, 1907, false, true, true, false},
        {TShipType::CA, 1907, false, true, true, true},
        {TShipType::MS, 1916, true, false, true, true},
        {TShipType::AMC, 1916, false, true, true, true},
        {TShipType::TR, 1916, false, false, false, true},
    };
    for (const auto& c : cases) {
        TDivision d("D", 0);
        fleet.Add(d, c.type, 20);
        const std::string what =
            std::string(tarnwake::designs::TypeCode(c.type)) + " " + std::to_string(c.year);
        EXPECT_TRUE(d.RoleAllowed(roleIndependent, c.year)) << what;
        EXPECT_TRUE(d.RoleAllowed(roleCore, c.year)) << what;
        EXPECT_TRUE(d.RoleAllowed(rolePatrol, c.year)) << what;
        EXPECT_EQ(c.support, d.RoleAllowed(roleSupport, c.year)) << what;
        EXPECT_EQ(c.scout, d.RoleAllowed(roleScout, c.year)) << what;
        EXPECT_EQ(c.screen, d.RoleAllowed(roleScreen, c.year)) << what;
        EXPECT_EQ(c.screenFormation, d.FormationAllowed(formScreen, c.year)) << what;
        EXPECT_TRUE(d.FormationAllowed(formSearchLine, c.year)) << what;
    }
}

TEST(Division, SpeedsOfItsShips) {
    Fleet fleet;
    TDivision d("5th BS", 0);
    EXPECT_EQ(0, d.FastestSpeed());
    EXPECT_EQ(INT_MAX, d.SlowestSpeed());
    EXPECT_EQ(nullptr, d.Flagship());
    fleet.Add(d, TShipType::BB, 21);
    fleet.Add(d, TShipType::BB, 18);
    EXPECT_EQ(21, d.FastestSpeed());
    EXPECT_EQ(18, d.SlowestSpeed());
    EXPECT_EQ(18, d.MedianSpeed()); // even count: the slower middle ship
    fleet.Add(d, TShipType::BB, 25);
    EXPECT_EQ(21, d.MedianSpeed());
    EXPECT_EQ("5th BS 1", d.Flagship()->Name);
    EXPECT_EQ("5th BS 3", d.RearShip()->Name);
}

TEST(Division, TreeText) {
    TDivision lead("1st BS", 0);
    lead.Shortname = "1BS";
    TDivision d("4th LCS", 0);
    d.Role = roleScreen;
    EXPECT_EQ("4th LCS (Scr)", d.TreeText());
    d.LeadDiv = &lead;
    EXPECT_EQ("4th LCS (Scr 1BS)", d.TreeText());
    d.Role = rolePatrol;
    EXPECT_EQ("4th LCS ( 1BS)", d.TreeText());
}

TEST(Division, FuelIsBurnedFiveMinutesAtATime) {
    Fleet fleet;
    tarnwake::core::THeadlessMessages messages(nullptr);
    TDivision d("2nd LCS", 0);
    auto* flag = fleet.Add(d, TShipType::CL, 25);
    auto* second = fleet.Add(d, TShipType::CL, 25);
    flag->CurrentSpeed = 20; // 1,000 units an hour on the ordinary curve
    second->CurrentEndurance = 100000;
    flag->TimeToRaiseSteam = 3;
    d.ComputeFuelExpenditure();
    EXPECT_EQ(kInitialEndurance, flag->CurrentEndurance); // still raising steam
    flag->TimeToRaiseSteam = 0;
    d.ComputeFuelExpenditure();
    EXPECT_EQ(kInitialEndurance - 83, flag->CurrentEndurance); // 1000 div 12
    EXPECT_EQ(100000 - 83, second->CurrentEndurance);
    EXPECT_EQ(100000 - 83, d.Endurance);
    // 99,917 units at 20 knots: 99.9 hours, 1,998 nautical miles.
    EXPECT_EQ(1998, d.GetRemainingRange(20, messages));
}

TEST(Division, AreaSmokeLevelThresholds) {
    const struct {
        int points, level;
    } cases[] = {{0, 0}, {11, 0}, {12, 1}, {20, 1}, {21, 2}, {60, 2}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.level, AreaSmokeLevel(c.points)) << c.points;
    }
}

using AreaSmoke = tarnwake::testing::BattleFixture;

TEST_F(AreaSmoke, CountsTheSmokeOfDivisionsWithin30000Yards) {
    TDivision& own = Division("2nd LCS", 0, 0, TShipType::CL, 2);
    own.Accusmoke = 41; // its own smoke counts: 2
    Division("1st Flotilla", 0, 0, TShipType::DD, 4, At(90, 29'000)).Accusmoke = 31;  // 1
    Division("2nd Flotilla", 1, 0, TShipType::DD, 4, At(180, 10'000)).Accusmoke = 40; // 1
    Division("3rd Flotilla", 1, 0, TShipType::DD, 4, At(180, 10'000)).Accusmoke = 30; // none
    Division("Far away", 1, 0, TShipType::DD, 4, At(270, 30'000)).Accusmoke = 99;     // outside
    Division("No ships", 1, 0, TShipType::DD, 0).Accusmoke = 99;                      // nowhere
    const TAreaSmoke smoke = AreaSmokeAround(own, AllDivisions());
    EXPECT_EQ(4, smoke.Points);
    EXPECT_EQ(0, smoke.Level);
    TDivision& empty = Division("Empty", 0, 0, TShipType::CL, 0);
    EXPECT_EQ(0, AreaSmokeAround(empty, AllDivisions()).Points);
}

TEST_F(AreaSmoke, LevelRisesAbove11And20Points) {
    TDivision& own = Division("Own", 0, 0, TShipType::CL, 1);
    const struct {
        int thick, light; // divisions nearby with more than 40 and more than 30 points of smoke
        int points, level;
    } cases[] = {{5, 1, 11, 0}, {6, 0, 12, 1}, {10, 0, 20, 1}, {10, 1, 21, 2}};
    for (const auto& c : cases) {
        std::vector<TDivision*> nearby{&own};
        for (int i = 0; i < c.thick + c.light; ++i) {
            TDivision& d = Division("Smoky", 1, 0, TShipType::DD, 1, At(45, 5'000));
            d.Accusmoke = i < c.thick ? 45 : 35;
            nearby.push_back(&d);
        }
        const TAreaSmoke smoke = AreaSmokeAround(own, nearby);
        EXPECT_EQ(c.points, smoke.Points) << c.thick << "+" << c.light;
        EXPECT_EQ(c.level, smoke.Level) << c.thick << "+" << c.light;
    }
}
