#include "designs/Turret.h"
#include "designs/ShipTypes.h"

#include "core/Messages.h"

#include <gtest/gtest.h>

using namespace tarnwake::designs;
using tarnwake::core::THeadlessMessages;

// Each row: a position letter, a bearing and whether a turret there bears, without and with
// cross-deck fire. The bearings sit on and just inside every bound of the arc table.
TEST(Turret, ArcsAtTheirBounds) {
    struct Case {
        char pos;
        int r;
        bool bears;
        bool bearsCdf;
    };
    const Case cases[] = {
        {'1', 44, true, true},    {'1', 45, false, false},  {'1', 225, false, false},
        {'1', 226, true, true},   {'2', 134, true, true},   {'2', 135, false, false},
        {'2', 315, false, false}, {'2', 316, true, true},   {'3', 135, false, false},
        {'3', 136, true, true},   {'3', 314, true, true},   {'3', 315, false, false},
        {'4', 45, false, false},  {'4', 46, true, true},    {'4', 224, true, true},
        {'5', 210, false, false}, {'5', 211, true, true},   {'5', 329, true, true},
        {'6', 30, false, false},  {'6', 149, true, true},   {'7', 330, false, false},
        {'8', 150, false, false}, {'A', 134, true, true},   {'A', 135, false, false},
        {'A', 225, false, false}, {'A', 226, true, true},   {'B', 0, true, true},
        {'C', 45, false, false},  {'C', 46, true, true},    {'C', 135, false, false},
        {'C', 226, true, true},   {'C', 315, false, false}, {'D', 225, false, false},
        {'D', 339, true, true},   {'D', 340, false, false}, {'E', 20, false, false},
        {'E', 144, true, true},   {'F', 210, false, false}, {'F', 334, true, true},
        {'F', 90, false, true},   {'F', 55, false, false},  {'F', 124, false, true},
        {'G', 26, true, true},    {'G', 150, false, false}, {'G', 270, false, true},
        {'G', 305, false, false}, {'H', 211, true, true},   {'H', 330, false, false},
        {'I', 31, true, true},    {'I', 150, false, false}, {'J', 206, true, true},
        {'J', 205, false, false}, {'J', 56, false, true},   {'K', 154, true, true},
        {'K', 155, false, false}, {'K', 236, false, true},  {'L', 31, true, true},
        {'L', 150, false, false}, {'Q', 90, true, true},    {'Q', 0, false, false},
        {'R', 270, true, true},   {'S', 200, false, false}, {'S', 324, true, true},
        {'T', 35, false, false},  {'T', 159, true, true},   {'V', 45, false, false},
        {'V', 46, true, true},    {'W', 180, false, false}, {'X', 314, true, true},
        {'X', 315, false, false}, {'Y', 180, true, true},   {'Y', 0, false, false},
    };
    THeadlessMessages messages(nullptr);
    for (const auto& c : cases) {
        EXPECT_EQ(c.bears, TurretBears(c.pos, c.r, false, messages)) << c.pos << " " << c.r;
        EXPECT_EQ(c.bearsCdf, TurretBears(c.pos, c.r, true, messages))
            << c.pos << " " << c.r << " cdf";
    }
    EXPECT_TRUE(messages.Shown().empty());
}

TEST(Turret, IllegalLettersNeverBearAndRestAt270) {
    THeadlessMessages messages(nullptr);
    for (char pos : {'M', 'N', 'O', 'P', 'U', 'Z'}) {
        EXPECT_FALSE(TurretBears(pos, 0, true, messages));
        EXPECT_EQ("Illegal turret position!", TurretPositionName(pos));
        EXPECT_EQ(270, TurretRestBearing(TTurret{2, pos}, messages));
    }
    EXPECT_EQ("Warning! Illegal turret position: M", messages.Texts()[0]);
    EXPECT_EQ("Illegal turret position!M", messages.Texts()[1]);
}

TEST(Turret, RestBearings) {
    THeadlessMessages messages(nullptr);
    struct Case {
        char pos;
        int guns;
        int rest;
    };
    const Case cases[] = {{'A', 2, 0},   {'Y', 2, 180}, {'5', 1, 350}, {'6', 1, 10},
                          {'7', 1, 190}, {'8', 1, 170}, {'H', 0, 350}, {'H', 2, 0},
                          {'I', 0, 10},  {'I', 2, 0},   {'J', 2, 180}, {'F', 2, 0}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.rest, TurretRestBearing(TTurret{c.guns, c.pos}, messages)) << c.pos;
    }
    EXPECT_TRUE(messages.Shown().empty());
}

TEST(Turret, TorpedoMountArcs) {
    struct Case {
        char pos;
        int r;
        bool fires;
    };
    const Case cases[] = {
        {'A', 29, true},  {'A', 30, false},  {'A', 331, true}, {'B', 34, true},   {'B', 325, false},
        {'F', 241, true}, {'L', 300, false}, {'G', 61, true},  {'M', 120, false}, {'H', 226, true},
        {'J', 314, true}, {'H', 315, false}, {'I', 46, true},  {'K', 135, false}, {'P', 90, true},
        {'V', 226, true}, {'U', 45, false},  {'Y', 151, true}, {'Y', 210, false}, {'Z', 0, false},
        {'C', 90, false}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.fires, MountCanFire(c.pos, c.r)) << c.pos << " " << c.r;
    }
    for (char pos : {'A', 'F', 'G', 'L', 'M', 'Y'}) {
        EXPECT_TRUE(MountIsSubmerged(pos)) << pos;
    }
    EXPECT_FALSE(MountIsSubmerged('B'));
    EXPECT_EQ("Illegal mount designation: C", MountPositionName('C'));
}

TEST(ShipTypes, CodesAndNames) {
    THeadlessMessages messages(nullptr);
    EXPECT_EQ(TShipType::AMC, ShipTypeFromCode("AMC"));
    EXPECT_FALSE(ShipTypeFromCode("bb").has_value());
    EXPECT_EQ("LT", ShipTypeCode(TShipType::LT, messages));
    EXPECT_EQ("BATTLE-CRUISER", ShipTypeLongName(1, messages));
    EXPECT_EQ("XX", ShipTypeCode(11, messages));
    EXPECT_EQ("", ShipTypeLongName(-1, messages));
    EXPECT_EQ((std::vector<std::string>{"Debug Warning, illegal ship type! 11",
                                        "Debug Warning, illegal ship type! -1"}),
              messages.Texts());
    EXPECT_EQ("Light Cruiser", ShipTypeCategoryName(4, "x"));
    EXPECT_EQ("x", ShipTypeCategoryName(5, "x")); // an AMC has no category
    EXPECT_TRUE(TShipType::CA < TShipType::CL);
    EXPECT_EQ("Director", FireControlName(3));
    EXPECT_EQ("Unknown 7", FireControlName(7));
    EXPECT_EQ("Tertiary battery", GunLevelName(3));
    EXPECT_EQ("Gun level value out of range", GunLevelName(0));
    EXPECT_EQ("illegal value 4", GunLevelWord(4));
}
