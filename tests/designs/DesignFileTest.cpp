#include "designs/DesignFile.h"

#include "core/Messages.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tarnwake::designs;
using tarnwake::core::THeadlessMessages;
using tarnwake::testing::TTempDir;

namespace {

constexpr int kHighestNation = 10;

// A small battle cruiser design in the Windows style: CRLF, blanks around "=", odd keys case.
constexpr const char* kLion = "[Data]\r\n"
                              "ShipType=BC\r\n"
                              "Displacement = 26270\r\n"
                              "Speed=27\r\n"
                              "Nation=0\r\n"
                              "fire control=3\r\n"
                              "Obsolete date=10000\r\n"
                              "[Armor]\r\n"
                              "B=18\r\n"
                              "BE=9\r\n"
                              "D=3\r\n"
                              "[Guns]\r\n"
                              "Main=14\r\n"
                              "Secondary=4\r\n"
                              "SecNo=5\r\n"
                              "MQ=1\r\n"
                              "[Torpedoes]\r\n"
                              "Calibre=21\r\n"
                              "Designation=UK21MkII\r\n"
                              "[Turret0]\r\nGuns=2\r\nPos=A\r\n"
                              "[Turret1]\r\nGuns=2\r\nPos=B\r\n"
                              "[Turret3]\r\nGuns=2\r\nPos=Q\r\n"
                              "[Turret4]\r\nGuns=0\r\nPos=X\r\n"
                              "[Turret5]\r\nGuns=-1\r\nPos=Y\r\n"
                              "[TorpedoMount0]\r\nTubes=1\r\nPos=G\r\n"
                              "[TorpedoMount1]\r\nTubes=0\r\nPos=F\r\n"
                              "[TorpedoMount4]\r\nTubes=2\r\nPos=P\r\n"
                              "[Funnels]\r\nFunnel1Pos=30\r\nFunnel1Oval=1\r\n"
                              "[Superstructure1]\r\nPoint0Angle=10\r\nPoint0Distance=120\r\n"
                              "IsLine=1\r\n";

struct TLoaded {
    Tship ship;
    THeadlessMessages messages{nullptr};
    bool ok = false;
};

TLoaded Load(const TTempDir& dir, const std::string& name, const std::string& text,
             int highestNation = kHighestNation) {
    TLoaded result;
    const auto path = dir.Write("Designs/" + name, text);
    result.ok = LoadDesignFile(path, result.ship, highestNation, result.messages);
    return result;
}

} // namespace

TEST(DesignFile, ReadsTheRecordWithItsDefaults) {
    TTempDir dir;
    const auto r = Load(dir, "Lion.sdf", kLion);
    ASSERT_TRUE(r.ok);
    EXPECT_TRUE(r.messages.Shown().empty());
    const Tship& s = r.ship;
    EXPECT_EQ("Lion", s.Classname);
    EXPECT_EQ("Lion", s.EnemyClassName);
    EXPECT_EQ("Lion", s.MisidentifiedClassName);
    EXPECT_EQ(TShipType::BC, s.ShipType);
    EXPECT_EQ(26270, s.Displacement);
    EXPECT_EQ(3, s.FireControl);
    EXPECT_EQ(1, s.Dynamos);
    EXPECT_FLOAT_EQ(9.0F, s.B);
    EXPECT_FLOAT_EQ(4.0F, s.BE); // 9 half-inches: the odd half is dropped
    EXPECT_FLOAT_EQ(1.0F, s.D);  // 3 half-inches: one inch
    EXPECT_EQ(14, s.Calibre[kMainGuns]);
    EXPECT_EQ(1, s.GunQuality[kMainGuns]);
    EXPECT_EQ(0, s.Calibre[kTertiaryGuns]);
    EXPECT_EQ(5, s.SecNo);
    EXPECT_EQ("UK21MkII", s.TorpedoDesignation);
    EXPECT_TRUE(s.Freeboard); // no Freeboard key
    EXPECT_FALSE(s.HSC);      // British battle cruiser without an HSC key
    EXPECT_EQ(30, s.Funnels[0].Position);
    EXPECT_TRUE(s.Funnels[0].Oval);
    EXPECT_EQ(120, s.Superstructure[1][0].Distance);
    EXPECT_TRUE(s.IsLine[1]);
    EXPECT_FALSE(s.IsLine[0]);
}

TEST(DesignFile, TurretAndMountSectionsSkipGapsAndEmptyMounts) {
    TTempDir dir;
    const auto r = Load(dir, "Lion.sdf", kLion);
    const Tship& s = r.ship;
    // Turret2 is missing, Turret4 has no guns but exists, Turret5 (-1) does not.
    ASSERT_EQ(4u, s.Turrets.size());
    EXPECT_EQ('Q', s.Turrets[2].Pos);
    EXPECT_EQ(0, s.Turrets[3].Guns);
    EXPECT_EQ('X', s.Turrets[3].Pos);
    // The zero-tube mount makes none; a submerged mount carries two reloads.
    ASSERT_EQ(2u, s.TorpedoMounts.size());
    EXPECT_EQ('G', s.TorpedoMounts[0].Pos);
    EXPECT_EQ(2, s.TorpedoMounts[0].Reloads);
    EXPECT_EQ(1, s.TorpedoMounts[0].TorpsLeft);
    EXPECT_EQ(0, s.TorpedoMounts[1].Reloads);
    EXPECT_EQ(2, s.TorpedoMounts[1].Tubes);
    // B and X make superfiring turrets, Q is not a centre position of the plan.
    EXPECT_FALSE(s.NoSuperfiringTurrets);
    EXPECT_TRUE(s.NoCentreTurrets);
    EXPECT_TRUE(s.CentrelineOnly);
    EXPECT_FALSE(s.HasMidshipsAftTurret);

    const auto bare = Load(dir, "Bare.sdf", "[Data]\nNation=1\n[Turret3]\nGuns=2\n");
    ASSERT_EQ(1u, bare.ship.Turrets.size());
    EXPECT_EQ('Z', bare.ship.Turrets[0].Pos); // no Pos: the illegal default
    const auto none = Load(dir, "None.sdf", "[Data]\nNation=1\n");
    EXPECT_TRUE(none.ship.Turrets.empty());
    EXPECT_EQ(10000, none.ship.Displacement);
    EXPECT_EQ(18, none.ship.Speed);
}

TEST(DesignFile, NationMustBeInTheTable) {
    TTempDir dir;
    const auto missing = Load(dir, "Nowhere.sdf", "[Data]\nShipType=CL\n");
    EXPECT_FALSE(missing.ok);
    ASSERT_EQ(1u, missing.messages.Texts().size());
    EXPECT_EQ("Illegal nation value! Class: Nowhere\n(" +
                  (dir.Path() / "Designs/Nowhere.sdf").string() + ", [Data] Nation)",
              missing.messages.Texts()[0]);
    EXPECT_FALSE(Load(dir, "Over.sdf", "[Data]\nNation=11\n").ok);
    EXPECT_TRUE(Load(dir, "Last.sdf", "[Data]\nNation=10\n").ok);
    EXPECT_TRUE(Load(dir, "First.sdf", "[Data]\nNation=0\n").ok);
}

TEST(DesignFile, HscDefaultsByNationAndType) {
    TTempDir dir;
    struct Case {
        const char* text;
        bool hsc;
    };
    const Case cases[] = {{"[Data]\nNation=3\nShipType=BB\n", true},
                          {"[Data]\nNation=7\nShipType=CL\n", true},
                          {"[Data]\nNation=1\nShipType=DD\n", true},
                          {"[Data]\nNation=1\nShipType=CL\n", false},
                          {"[Data]\nNation=1\nShipType=DD\nHSC=0\n", false},
                          {"[Data]\nNation=0\nShipType=BB\nHSC=1\n", true}};
    for (const auto& c : cases) {
        EXPECT_EQ(c.hsc, Load(dir, "X.sdf", c.text).ship.HSC) << c.text;
    }
}

TEST(DesignFile, BadValuesWarnNamingTheFile) {
    TTempDir dir;
    const auto lower =
        Load(dir, "Small.sdf", "[Data]\nNation=0\nShipType=bb\nFreeboard=2\n[Guns]\n");
    ASSERT_TRUE(lower.ok);
    EXPECT_EQ(TShipType::BB, lower.ship.ShipType);
    EXPECT_EQ((std::vector<std::string>{"Warning! Illegal ship type in ship file: bb\n(" +
                                        (dir.Path() / "Designs/Small.sdf").string() +
                                        ", [Data] ShipType)"}),
              lower.messages.Texts());
    EXPECT_FALSE(lower.ship.Freeboard);

    const auto absurd =
        Load(dir, "Absurd.sdf",
             "[Data]\nShipType=BB\nNation=0\nDisplacement=-5\nSpeed=400\n[Guns]\nMain=40\n"
             "[Turret0]\nGuns=5000\nPos=A\n[TorpedoMount0]\nTubes=99999\nPos=B\n"
             "[Armor]\nB=-4\nT=400\n[TorpedoMount1]\nTubes=-2\n");
    ASSERT_TRUE(absurd.ok);
    // An impossible figure falls back to the key's default, never to another extreme: a
    // 40-inch gun is no 18-inch gun, and a negative plate no plate at all.
    EXPECT_EQ(10000, absurd.ship.Displacement);
    EXPECT_EQ(18, absurd.ship.Speed);
    EXPECT_EQ(0, absurd.ship.Calibre[kMainGuns]);
    EXPECT_FLOAT_EQ(0.0F, absurd.ship.B);
    EXPECT_FLOAT_EQ(0.0F, absurd.ship.T);
    EXPECT_EQ(12, absurd.ship.Turrets[0].Guns);
    ASSERT_EQ(1u, absurd.ship.TorpedoMounts.size());
    EXPECT_EQ(12, absurd.ship.TorpedoMounts[0].Tubes);
    // Displacement, speed, calibre, turret, tubes twice, belt and turret armour; then the
    // turret of guns without a calibre makes the design damaged, said once.
    ASSERT_EQ(9u, absurd.messages.Shown().size())
        << ::testing::PrintToString(absurd.messages.Texts());
    EXPECT_NE(std::string::npos, absurd.messages.Texts().back().find(
                                     "the design is damaged: its turrets hold 12 guns"));
    for (const auto& text : absurd.messages.Texts()) {
        EXPECT_NE(std::string::npos, text.find("Absurd.sdf")) << text;
    }
}

TEST(DesignFile, MissingAndBinaryFilesFail) {
    TTempDir dir;
    Tship ship;
    THeadlessMessages messages(nullptr);
    EXPECT_FALSE(LoadDesignFile(dir.Path() / "Ghost.sdf", ship, kHighestNation, messages));
    EXPECT_EQ("Cannot find file: " + (dir.Path() / "Ghost.sdf").string(), messages.Texts()[0]);
    const auto binary = dir.Write("Binary.sdf", std::string("\x7f"
                                                            "ELF\0\0\0",
                                                            7));
    EXPECT_FALSE(LoadDesignFile(binary, ship, kHighestNation, messages));
    EXPECT_NE(std::string::npos, messages.Texts()[1].find("Binary.sdf"));
}

TEST(DesignFile, FloatPointsFollowTheDisplacementCurve) {
    EXPECT_EQ(1829, FloatPointsForDisplacement(1499)); // 1828.78
    EXPECT_EQ(1836, FloatPointsForDisplacement(1500)); // 1500^0.85 x 3.667 = 1836.49
    EXPECT_EQ(23435, FloatPointsForDisplacement(30000));
    EXPECT_EQ(36251, FloatPointsForDisplacement(50001)); // 36250.725
    EXPECT_EQ(0, FloatPointsForDisplacement(10000001));
    EXPECT_EQ("Iron Duke", ClassNameFromPath("/x/Designs/Iron Duke.sdf"));
}

TEST(DesignFile, TorpedoDefenceIsKeptWithinZeroToTen) {
    // The damage rules divide by it and subtract it from 12: outside 0..10 a file's value
    // is brought to the nearer bound, with a warning naming the file.
    struct TCase {
        int value;
        int kept;
        bool warned;
    };
    for (const TCase& c : {TCase{-3, 0, true}, TCase{0, 0, false}, TCase{10, 10, false},
                           TCase{11, 10, true}, TCase{1000000, 10, true}}) {
        TTempDir dir;
        const auto loaded =
            Load(dir, "Bulged.sdf",
                 "[Data]\nShipType=BB\nNation=0\nTorpedo defense=" + std::to_string(c.value) +
                     "\n[Guns]\n");
        ASSERT_TRUE(loaded.ok);
        EXPECT_EQ(c.kept, loaded.ship.TorpedoDefense) << c.value;
        ASSERT_EQ(c.warned ? 1u : 0u, loaded.messages.Shown().size())
            << c.value << ": " << ::testing::PrintToString(loaded.messages.Texts());
        if (c.warned) {
            const std::string text = loaded.messages.Texts().front();
            EXPECT_EQ(0u, text.find("Warning! ")) << text;
            EXPECT_NE(std::string::npos, text.find("Bulged.sdf")) << text;
            EXPECT_NE(std::string::npos, text.find("Torpedo defense")) << text;
        }
    }
}
