#include "combat/HitEffects.h"

#include "combat/FightingShip.h"
#include "combat/Fire.h"
#include "core/Random.h"
#include "designs/NationsTable.h"
#include "designs/WeaponTables.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

using namespace tarnwake::combat;
using tarnwake::core::TRandomGenerator;
using tarnwake::core::TScriptedRandom;
using tarnwake::designs::TFightingTorpedoMount;
using tarnwake::designs::TFightingTurret;
using tarnwake::designs::TGunRow;
using tarnwake::designs::TNation;
using tarnwake::designs::TShipType;
using tarnwake::designs::TWeaponTables;

namespace {

constexpr int kTop = 1 << 30; // clamped to n - 1: the largest value of any draw

// Plays a strict script and keeps the bound of every draw, so that a failing case shows the
// draws the rules made.
class TDrawLog : public TRandomGenerator {
public:
    explicit TDrawLog(TScriptedRandom script) : TRandomGenerator(0), script_(std::move(script)) {}
    int Random(int n) override {
        bounds_.push_back(n);
        return script_.Random(n);
    }
    std::size_t Left() const { return script_.Left(); }
    std::string Trace() const {
        std::ostringstream out;
        out << "draws:";
        for (int n : bounds_) {
            out << " R(" << n << ")";
        }
        return out.str();
    }
    const std::vector<int>& Bounds() const { return bounds_; }

private:
    TScriptedRandom script_;
    std::vector<int> bounds_;
};

// The fires a hit asked for, by strength: the test's own fire rule, which draws nothing.
std::vector<int> gFires;
std::string RecordFire(TFightingShip&, int strength, TRandomGenerator&) {
    gFires.push_back(strength);
    return "Fire started";
}

TFightingTurret Turret(char pos, int guns = 2) {
    TFightingTurret t;
    t.Pos = pos;
    t.Guns = guns;
    return t;
}

TFightingTorpedoMount Mount(char pos) {
    TFightingTorpedoMount m;
    m.Pos = pos;
    m.Tubes = m.TorpsLeft = 1;
    return m;
}

// A dreadnought of 20,000 tons with four twin turrets fore and aft, unarmoured unless a case
// gives it armour, so that every armour test is decided by the case.
std::unique_ptr<TFightingShip> Dreadnought() {
    auto s = std::make_unique<TFightingShip>();
    s->Name = "Test";
    s->ShipType = TShipType::BB;
    s->Displacement = 20000;
    s->Speed = 21;
    s->Nation = 1;
    s->FireControl = 3;
    s->Dynamos = 2;
    s->Calibre[1] = 12;
    s->Turrets = {Turret('A'), Turret('B'), Turret('X'), Turret('Y')};
    s->SecNo = 12;
    s->SecTF = 2;
    s->ApplyDesignState();
    TRandomGenerator none(0);
    s->SetAmmoAllowance(none, false);
    return s;
}

std::unique_ptr<TFightingShip> SmallShip(TShipType type, int displacement, int turrets) {
    auto s = Dreadnought();
    s->ShipType = type;
    s->Displacement = displacement;
    s->Turrets.clear();
    for (int i = 0; i < turrets; ++i) {
        s->Turrets.push_back(Turret("AXY"[i % 3], 1));
    }
    s->SecNo = 0;
    s->ApplyDesignState();
    return s;
}

class HitEffects : public ::testing::Test {
protected:
    void SetUp() override {
        // Every calibre penetrates 10 inches at best and 5 at worst, at every range, and has
        // an effective range of 10,000 yards: 5,000 yards plunges with Random(250) < 25.
        TGunRow row;
        row.Penetration.fill(100);
        row.Penetration[0] = 10;
        for (int c = 3; c <= 18; ++c) {
            tables.SetRow(c, row);
        }
        nation.FlashRisk = 0;
        gFires.clear();
    }

    TShellHit Shell(int calibre = 12) const {
        TShellHit hit;
        hit.Calibre = calibre;
        hit.RangeYards = 5000;
        hit.Firer = "Moltke";
        hit.Time = "14:05";
        return hit;
    }

    THitConditions Conditions() const {
        return THitConditions{.Tables = tables,
                              .Nation = nation,
                              .FFRLow = ffrLow,
                              .ScenarioYear = 1916,
                              .GameDay = 6000,
                              .StartFire = &RecordFire};
    }

    // The hit with a strict script that must be used up.
    THitResult Hit(TFightingShip& ship, std::vector<int> script, const TShellHit& hit) {
        TDrawLog random{TScriptedRandom(std::move(script))};
        THitResult result;
        try {
            result = ResolveHit(ship, hit, Conditions(), random);
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what() << "; " << random.Trace();
            return result;
        }
        EXPECT_EQ(0u, random.Left()) << "script not used up; " << random.Trace();
        trace = random.Trace();
        return result;
    }
    THitResult Hit(TFightingShip& ship, std::vector<int> script) {
        return Hit(ship, std::move(script), Shell());
    }

    TWeaponTables tables;
    TNation nation;
    bool ffrLow = false;
    std::string trace;
};

// ---- The location tables -------------------------------------------------------------------

// The bands as the rules give them, "first-last:location" from r = 0 to 79.
struct TTableCase {
    TShipType type;
    bool plunging;
    bool broadside;
    const char* bands;
};

std::vector<int> Expand(const char* bands) {
    std::vector<int> byR;
    std::istringstream in(bands);
    std::string band;
    while (in >> band) {
        int first = 0;
        int last = 0;
        int location = 0;
        char dash = 0;
        char colon = 0;
        std::istringstream b(band);
        if (band.find('-') != std::string::npos) {
            b >> first >> dash >> last >> colon >> location;
        } else {
            b >> first >> colon >> location;
            last = first;
        }
        EXPECT_EQ(static_cast<int>(byR.size()), first) << band;
        for (int r = first; r <= last; ++r) {
            byR.push_back(location);
        }
    }
    EXPECT_EQ(80u, byR.size()) << bands;
    return byR;
}

TEST(HitLocations, EveryTableGivesItsBands) {
    using T = TShipType;
    const TTableCase cases[] = {
        {T::BB, false, false,
         "0-6:1 7-12:2 13-16:3 17-21:4 22-29:5 30-44:6 45-57:7 58-65:8 "
         "66-68:9 69-74:10 75-79:11"},
        {T::BC, false, true,
         "0-1:1 2-6:2 7-17:3 18-29:4 30-39:5 40-50:6 51-58:7 59-64:8 "
         "65-68:9 69-75:10 76-79:11"},
        {T::BB, true, false,
         "0-3:1 4-9:2 10-13:3 14-18:4 19-28:5 29-46:6 47-56:7 57-62:8 "
         "63-68:9 69-75:10 76-79:11"},
        {T::BC, true, true,
         "0-5:1 6-10:2 11-20:3 21-28:4 29-38:5 39-51:6 52-58:7 59-64:8 "
         "65-68:9 69-75:10 76-79:11"},
        {T::B, false, false,
         "0-5:1 6-11:2 12-15:3 16-20:4 21-28:5 29-42:6 43-56:7 57-64:8 "
         "65-67:9 68-74:10 75-79:11"},
        {T::CA, false, true,
         "0-4:2 5-18:3 19-28:4 29-38:5 39-48:6 49-57:7 58-63:8 64-67:9 "
         "68-75:10 76-79:11"},
        {T::B, true, false,
         "0-1:1 2-7:2 8-11:3 12-16:4 17-26:5 27-43:6 44-55:7 56-61:8 "
         "62-67:9 68-75:10 76-79:11"},
        {T::CA, true, true,
         "0-3:1 4-8:2 9-18:3 19-25:4 26-36:5 37-49:6 50-55:7 56-59:8 "
         "60-67:9 68-75:10 76-79:11"},
        {T::CL, false, false,
         "0-3:1 4-9:2 10-13:3 14-18:4 19-26:5 27-40:6 41-55:7 56-63:8 "
         "64-67:9 68-74:10 75-79:11"},
        {T::DD, false, true,
         "0-3:2 4-15:3 16-25:4 26-35:5 36-43:6 44-55:7 56-62:8 63-67:9 "
         "68-75:10 76-79:11"},
        {T::TR, true, false,
         "0:1 1-6:2 7-10:3 11-15:4 16-25:5 26-43:6 44-55:7 56-61:8 "
         "62-67:9 68-75:10 76-79:11"},
        {T::AV, true, true,
         "0-2:1 3-7:2 8-17:3 18-24:4 25-33:5 34-43:6 44-53:7 54-61:8 "
         "62-66:9 67-75:10 76-79:11"},
        {T::LT, false, true, "0-3:2 4-15:3 16-35:4 36-43:6 44-55:7 56-67:8 68-75:10 76-79:11"},
        {T::LT, true, false,
         "0-2:1 3-7:2 8-17:3 18-33:4 34-43:6 44-53:7 54-66:8 67-75:10 "
         "76-79:11"},
    };
    for (const auto& c : cases) {
        const std::vector<int> expected = Expand(c.bands);
        for (int r = 0; r < static_cast<int>(expected.size()); ++r) {
            EXPECT_EQ(expected[static_cast<std::size_t>(r)],
                      LocationFromTable(c.type, c.plunging, c.broadside, r))
                << tarnwake::designs::TypeCode(c.type) << (c.plunging ? " plunging" : " flat")
                << (c.broadside ? " broadside" : "") << " r=" << r;
        }
    }
    // Land targets do not care about the broadside.
    for (int r = 0; r < 80; ++r) {
        EXPECT_EQ(LocationFromTable(TShipType::LT, true, true, r),
                  LocationFromTable(TShipType::LT, true, false, r));
    }
}

// ---- Every location, with scripted rolls ---------------------------------------------------
// The common start of a flat hit on the dreadnought: no plunge (Random(250) = 249), the
// location table (Random(100) < 81) and its roll r.

struct TLocationCase {
    const char* name;
    std::function<void(TFightingShip&)> setUp;
    std::vector<int> script;
    int location;
    const char* text;
    std::function<void(const TFightingShip&, const THitResult&)> check;
};

TEST_F(HitEffects, EveryLocation) {
    const auto noChange = [](TFightingShip&) {};
    const int maxF = Dreadnought()->MaxFloatPoints;
    const TLocationCase cases[] = {
        {"turret defeated and destroyed",
         noChange,
         // turret (Random(100) >= 81), turret A, penetrates, no flash, destroyed (< 85),
         // structure hit (Random(23) < 15, twin turret's Random(100) <= 49), HitDamage 10
         {249, 99, 0, 0, 99, 0, 0, 0, 0, 0},
         kTurretHit,
         "Turret hit T * Turret destroyed",
         [](const TFightingShip& s, const THitResult& r) {
             EXPECT_TRUE(s.Turrets[0].Destroyed);
             EXPECT_EQ(1, r.TurretsDestroyed);
             EXPECT_EQ(720 / 4, s.RoundsFired[1]); // the turret's share of the rounds
             EXPECT_EQ(s.MaxSuperstructurePoints - 10, s.CurrentSuperstructurePoints);
         }},
        {"turret not defeated is disabled",
         [](TFightingShip& s) { s.T = 20; },
         // turret B; 10 inches at best against 20; (20 + 1) / 3 < 12 and Random(30) < 11:
         // silenced Random(60) + 5; no structure hit (Random(23) = 22)
         {249, 99, 1, 50, 0, 10, 22},
         kTurretHit,
         "Turret hit T Turret disabled",
         [](const TFightingShip& s, const THitResult& r) {
             EXPECT_EQ(15, s.Turrets[1].Silenced);
             EXPECT_FALSE(r.ArmourDefeated);
         }},
        {"near miss splinters a destroyer's hull",
         [](TFightingShip& s) {
             s.ShipType = TShipType::DD;
             s.Turrets.resize(3);
             s.B = 0;
         },
         // table (Random(100) < 81), r = 0, destroyer's near miss (Random(100) < 30); no
         // sweep (Random(100) <= 49); Random(22) < 14, Random(100) < 80, q = 0: F - (R(48) +
         // 24), flooding + R(24) + 12; the tail: Displacement < Random(240) fails
         {249, 0, 0, 0, 0, 0, 0, 0, 2, 1, 239},
         kNearMiss,
         "Near miss! Hull damaged by splinters!",
         [](const TFightingShip& s, const THitResult&) {
             EXPECT_EQ(s.MaxFloatPoints - 26, s.CurrentFloatPoints);
             EXPECT_EQ(13, s.Flooding);
             EXPECT_EQ(0, s.HeavyHits); // a near miss is not counted
         }},
        {"belt defeated",
         [](TFightingShip& s) { s.B = 6; },
         // r = 13; the belt at Round(Random(3) + 3) = 3 inches, defeated; F - HitDamage 10 -
         // 144; no upper-works damage (Random(100) = 99); HitFlooding(11) lets in
         // 9 x 2 + 3 + 4 - 5 = 20; no progressive flooding (Random(200) = 199)
         {249, 0, 13, 0, 0, 0, 0, 99, 0, 2, 3, 4, 5, 0, 0, 199},
         kBeltHit,
         "Hull hit B *",
         [maxF](const TFightingShip& s, const THitResult& r) {
             EXPECT_EQ(maxF - 10 - 144, s.CurrentFloatPoints);
             EXPECT_EQ(20, s.Flooding);
             EXPECT_TRUE(r.ArmourDefeated);
             EXPECT_EQ(1, s.HeavyHits);
         }},
        {"belt not defeated is pushed in",
         [](TFightingShip& s) { s.B = 10; },
         // the belt at Round(Random(5) + 5) = 9 inches, not defeated by 5; 12 + 4 - 5 >
         // Random(40) on a belt under 11 inches: flooding + Random(12), F - 144 div 2
         {249, 0, 13, 4, 0, 0, 3},
         kBeltHit,
         "Hull hit B Armor pushed in",
         [maxF](const TFightingShip& s, const THitResult&) {
             EXPECT_EQ(maxF - 72, s.CurrentFloatPoints);
             EXPECT_EQ(3, s.Flooding);
         }},
        {"a heavy shell passes through a destroyer",
         [](TFightingShip& s) {
             s.ShipType = TShipType::DD;
             s.Turrets.resize(3);
         },
         // r = 10 (belt), no near miss (99); belt 0 defeated; Overmatch (Random(100) < 27):
         // c := Random(6) + 1 = 3; S - HitDamage(3) div 4 = 10 div 4
         {249, 0, 10, 99, 0, 0, 2, 0, 0},
         kBeltHit,
         "Hull passthrough hit *",
         [](const TFightingShip& s, const THitResult&) {
             EXPECT_EQ(s.MaxSuperstructurePoints - 2, s.CurrentSuperstructurePoints);
             EXPECT_EQ(1, s.HeavyHits); // counted as the shell that was fired
         }},
        {"hull ends defeated",
         noChange,
         // r = 17; BE 0 defeated; F - HitDamage(13) 10 - Random(144) 5; HitFlooding(11) none
         {249, 0, 17, 0, 0, 0, 5, 0, 0, 0, 0, 0, 0, 0, 199},
         kHullEndsHit,
         "Hull hit BE *",
         [maxF](const TFightingShip& s, const THitResult&) {
             EXPECT_EQ(maxF - 15, s.CurrentFloatPoints);
         }},
        {"engine room defeated",
         noChange,
         // r = 22; B x 1.5 (Random(100) <= 59) = 0, defeated: - 10; 20 < 12 fails; Random(40)
         // < 12 once (0) and not twice (39); not a small hull (Random(10) = 9); not heavily
         // damaged; Random(50) = 49 > 25: F - HitDamage 10
         {249, 0, 22, 0, 0, 0, 39, 9, 49, 0, 0},
         kEngineRoomHit,
         "Engine room hit B *",
         [maxF](const TFightingShip& s, const THitResult&) {
             EXPECT_EQ(80, s.EngineEfficiency);
             EXPECT_EQ(maxF - 10, s.CurrentFloatPoints);
         }},
        {"superstructure: mines explode",
         [](TFightingShip& s) { s.Mines = 10; },
         {249, 0, 35, 0},
         kSuperstructureHit,
         "Superstructure hit. Mines explode! Ship blows up!",
         [](const TFightingShip& s, const THitResult& r) {
             EXPECT_EQ(kBlowUpSeverity, r.Severity);
             EXPECT_TRUE(r.BlewUp);
             EXPECT_EQ(0, s.CurrentFloatPoints);
             EXPECT_EQ(1, s.Sinking);
         }},
        {"superstructure defeated starts a fire",
         [](TFightingShip& s) { s.D = 2; },
         // r = 35; BE 0 defeated; S - HitDamage(12, not penetrated) 10; no tertiaries lost
         // (Random(15) = 14); an armoured deck keeps the machinery; a fire of strength 12
         {249, 0, 35, 0, 0, 0, 14},
         kSuperstructureHit,
         "Superstructure hit BE * Fire started",
         [](const TFightingShip& s, const THitResult&) {
             EXPECT_EQ(s.MaxSuperstructurePoints - 10, s.CurrentSuperstructurePoints);
             EXPECT_EQ(std::vector<int>{12}, gFires);
         }},
        {"fore and aft hull",
         noChange,
         // r = 50; not overmatched; Random(30) = 29 is not < 8; S - HitDamage 10 (Random(100)
         // > 49)
         {249, 0, 50, 29, 99, 0, 0},
         kForeAftHullHit,
         "Fore/aft hull hit *",
         [](const TFightingShip& s, const THitResult&) {
             EXPECT_EQ(s.MaxSuperstructurePoints - 10, s.CurrentSuperstructurePoints);
             EXPECT_EQ(0, s.Flooding);
         }},
        {"fore and aft hull of an obsolete class",
         [](TFightingShip& s) { s.ObsoleteDate = 5000; },
         // the old hull floods 2c - 4 with Random(100) < 50; then F - HitDamage 10 and
         // HitFlooding(11) with nothing (Random(8) + 2 >= 11 never: all zero)
         {249, 0, 50, 29, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0},
         kForeAftHullHit,
         "Fore/aft hull hit *",
         [maxF](const TFightingShip& s, const THitResult&) {
             EXPECT_EQ(20, s.Flooding);
             EXPECT_EQ(maxF - 10, s.CurrentFloatPoints);
         }},
        {"superstructure passthrough destroys a light cruiser's bridge",
         [](TFightingShip& s) {
             s.ShipType = TShipType::CL;
             s.Displacement = 4000;
             s.Turrets.clear();
             s.SecNo = 0;
             s.ApplyDesignState();
         },
         // no turrets: Random(80) < 81; r = 60; no near miss (99); not overmatched
         // (Random(200) = 199); Random(30) = 29: "Superstructure hit *" with a fire; S - 10;
         // bridge: Random(100) < 20, Random(20) < 12; out of control Random(6) + 1, course
         // + Random(40) - 20, confusion Random(10) + 1, fire control - 1 (Random(100) < 30)
         {249, 0, 60, 99, 199, 29, 0, 0, 0, 0, 2, 30, 4, 0},
         kSuperstructurePassthrough,
         "Critical hit. Bridge destroyed!",
         [](const TFightingShip& s, const THitResult&) {
             EXPECT_EQ(3, s.OutOfControl);
             EXPECT_EQ(10, s.Course());
             EXPECT_EQ(5, s.CommandConfusion);
             EXPECT_EQ(2, s.FireControl);
             EXPECT_EQ(std::vector<int>{12}, gFires);
         }},
        {"submerged torpedo flat",
         [](TFightingShip& s) { s.TorpedoMounts = {Mount('G')}; },
         // r = 67; mount 0 of Random(2); not drawn again (Random(10) <= 5); BE 0 defeated;
         // Random(100) < 24: F - HitDamage(13, with td - 1) = Round(13 x 0.87) = 11;
         // HitFlooding(18) none
         {249, 0, 67, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 199},
         kLowerHullHit,
         "Submerged torpedo flat hit *",
         [maxF](const TFightingShip& s, const THitResult&) {
             EXPECT_TRUE(s.TorpedoMounts[0].Destroyed);
             EXPECT_EQ(maxF - 11, s.CurrentFloatPoints);
         }},
        {"torpedo tubes on deck",
         [](TFightingShip& s) { s.TorpedoMounts = {Mount('P')}; },
         {249, 0, 67, 0, 99},
         kLowerHullHit,
         "Torpedo tubes hit",
         [](const TFightingShip& s, const THitResult&) {
             EXPECT_TRUE(s.TorpedoMounts[0].Destroyed);
             EXPECT_EQ(s.MaxSuperstructurePoints - 20, s.CurrentSuperstructurePoints);
         }},
        {"secondary battery",
         noChange,
         // r = 70; Random(8) < 12; SEC 0 defeated: the starboard battery (bearing 0) loses
         // SecTF 2 guns, a fire; S - HitDamage div 2
         {249, 0, 70, 0, 0, 0, 0},
         kSecondaryBatteryHit,
         "Secondary battery hit * Fire started",
         [](const TFightingShip& s, const THitResult&) {
             EXPECT_EQ(4, s.CurrentSecondariesStarboard);
             EXPECT_EQ(6, s.CurrentSecondariesPort);
             EXPECT_EQ(s.MaxSuperstructurePoints - 5, s.CurrentSuperstructurePoints);
         }},
        {"critical: magazine of a nation without flash risk blows up",
         [](TFightingShip& s) { s.B = 0; },
         // r = 77; q = 45; B x 1.5 = 0 defeated, S - 10 div 3; Random(100) = 49 < 50
         {249, 0, 77, 45, 0, 0, 0, 49},
         kCriticalHit,
         "Critical hit *! Magazine hit! Ship blows up!",
         [](const TFightingShip& s, const THitResult& r) {
             EXPECT_TRUE(r.BlewUp);
             EXPECT_EQ(kBlowUpSeverity, r.Severity);
             EXPECT_EQ(0, s.CurrentSuperstructurePoints);
         }},
        {"critical: the magazine holds at Random(100) = 50",
         noChange,
         {249, 0, 77, 45, 0, 0, 0, 50},
         kCriticalHit,
         "Hull hit B",
         [](const TFightingShip& s, const THitResult& r) {
             EXPECT_FALSE(r.BlewUp);
             EXPECT_EQ(s.MaxSuperstructurePoints - 3, s.CurrentSuperstructurePoints);
         }},
        {"critical: rudder",
         noChange,
         {249, 0, 77, 10, 0, 1, 99},
         kCriticalHit,
         "Critical hit *! Rudder damaged!",
         [](const TFightingShip& s, const THitResult&) { EXPECT_EQ(2, s.RudderStatus); }},
        {"critical: conning tower",
         noChange,
         // stunned Random(8) + 1, course - 20, confusion Random(10) reduced by Random(2)
         {249, 0, 77, 65, 0, 3, 0, 5, 1},
         kCriticalHit,
         "Critical hit *! Conning tower hit!",
         [](const TFightingShip& s, const THitResult&) {
             EXPECT_EQ(4, s.OutOfControl);
             EXPECT_EQ(340, s.Course());
             EXPECT_EQ(2, s.FireControl);
             EXPECT_EQ(4, s.CommandConfusion);
         }},
        {"critical: electric power",
         noChange,
         // BE 0 defeated, S - 10 div 3, two dynamos < Random(4) = 3
         {249, 0, 77, 75, 0, 0, 0, 3},
         kCriticalHit,
         "Critical hit *! Electric power disabled",
         [](const TFightingShip& s, const THitResult&) { EXPECT_TRUE(s.ElectricDisabled); }},
        {"critical: a heavily damaged ship draws q again",
         [](TFightingShip& s) { s.CurrentFloatPoints = s.MaxFloatPoints / 4; },
         // q = 45 is drawn again: 95, the bridge (a large ship: Random(15) < 12)
         {249, 0, 77, 45, 95, 0, 2, 20, 0, 99, 0, 0},
         kCriticalHit,
         "Critical hit. Bridge destroyed!",
         [](const TFightingShip& s, const THitResult&) {
             EXPECT_EQ(3, s.OutOfControl);
             EXPECT_EQ(1, s.CommandConfusion);
             EXPECT_EQ(s.MaxSuperstructurePoints - 10, s.CurrentSuperstructurePoints);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        gFires.clear();
        auto ship = Dreadnought();
        c.setUp(*ship);
        const THitResult result = Hit(*ship, c.script);
        EXPECT_EQ(c.location, result.Location) << trace;
        EXPECT_EQ(c.text, result.Text) << trace;
        c.check(*ship, result);
    }
}

// ---- Turret flash fires ----------------------------------------------------------------------

TEST_F(HitEffects, TurretFlashBlowsTheShipUpOrBurnsOutTwoTurrets) {
    nation.FlashRisk = 2; // flash 2 x 8 + 1 = 17; blow-up 5 + 50 = 55
    auto ship = Dreadnought();
    // Turret A defeated; flash (0 < 17); blow-up (0 < 55).
    THitResult r = Hit(*ship, {249, 99, 0, 0, 0, 0});
    EXPECT_EQ("Turret hit T * Turret flash fire! Ship blows up!", r.Text);
    EXPECT_EQ(kBlowUpSeverity, r.Severity);
    EXPECT_TRUE(r.BlewUp);
    EXPECT_TRUE(ship->Turrets[0].Destroyed);
    EXPECT_EQ(0, ship->CurrentFloatPoints);
    EXPECT_EQ(0, ship->CurrentSuperstructurePoints);
    EXPECT_EQ(1, ship->Sinking);

    // No blow-up (99): A burns out with B, its superfiring partner, which shares its rooms.
    ship = Dreadnought();
    r = Hit(*ship, {249, 99, 0, 0, 0, 99, 22});
    EXPECT_EQ("Turret hit T * * Turret flash fire! Two turrets burnt out!", r.Text);
    EXPECT_EQ(kGunHitSeverity, r.Severity);
    EXPECT_EQ(2, r.TurretsDestroyed);
    EXPECT_TRUE(ship->Turrets[0].Destroyed && ship->Turrets[1].Destroyed);
    EXPECT_FALSE(ship->Turrets[2].Destroyed || ship->Turrets[3].Destroyed);
    EXPECT_EQ(180 + 135, ship->RoundsFired[1]); // each takes a share of what is left
    EXPECT_EQ(0, ship->Sinking);

    // The preference halves the flash chance: 17 div 2 = 8, so Random(100) = 8 is no flash
    // and the turret is destroyed by the shell alone (Random(100) < 85).
    ffrLow = true;
    ship = Dreadnought();
    r = Hit(*ship, {249, 99, 3, 0, 8, 0, 22});
    EXPECT_EQ("Turret hit T * Turret destroyed", r.Text);
    EXPECT_EQ(1, r.TurretsDestroyed);
    EXPECT_TRUE(ship->Turrets[3].Destroyed);
}

TEST_F(HitEffects, BlowUpChanceFollowsTheNationRules) {
    // Flash certain (Random(100) = 0); blow-up chance 5 + 25 x 1 = 30, halved for nation 0.
    nation.FlashRisk = 1;
    struct TCase {
        int nationIndex;
        TShipType type;
        int blowUpDraw;
        bool blowsUp;
    };
    const TCase cases[] = {
        {1, TShipType::BB, 29, true},  {1, TShipType::BB, 30, false},
        {0, TShipType::BB, 14, true},  {0, TShipType::BB, 15, false},
        {3, TShipType::BC, 34, true},  {3, TShipType::BC, 35, false}, // 10 + 25
        {3, TShipType::BB, 30, false},
    };
    for (const auto& c : cases) {
        auto ship = Dreadnought();
        ship->Nation = c.nationIndex;
        ship->ShipType = c.type;
        std::vector<int> script{249, 99, 0, 0, 0, c.blowUpDraw};
        if (!c.blowsUp) {
            script.push_back(22); // burnt out with B; no structure hit
        }
        const THitResult r = Hit(*ship, script);
        EXPECT_EQ(c.blowsUp, r.BlewUp) << "nation " << c.nationIndex << " draw " << c.blowUpDraw;
    }
}

// ---- Plunging fire -------------------------------------------------------------------------

TEST_F(HitEffects, PlungingFireFallsOnTheDecks) {
    // Against an effective range of 10,000 yards: Random(250) < Round(range x 50 / 10,000).
    // Beyond 49,999 yards every shell plunges. r = 8 is a near miss flat and plunging alike.
    struct TCase {
        int calibre;
        int range;
        std::vector<int> script;
        bool plunging;
    };
    // A near miss: no sweep (Random(100) <= 49), a belted hull keeps the splinters out; the
    // tail's Random(20c). A 2-inch gun has no table row: only the range makes it plunge.
    const TCase cases[] = {
        {12, 5000, {24, 0, 8, 0, 0}, true},  {12, 5000, {25, 0, 8, 0, 0}, false},
        {12, 12000, {59, 0, 8, 0, 0}, true}, {12, 12000, {60, 0, 8, 0, 0}, false},
        {2, 50000, {0, 8, 0}, true},         {2, 49999, {0, 8, 0}, false}};
    for (const TCase& c : cases) {
        auto ship = Dreadnought();
        ship->B = 1;
        TShellHit hit = Shell(c.calibre);
        hit.RangeYards = c.range;
        const THitResult r = Hit(*ship, c.script, hit);
        EXPECT_EQ(c.plunging, r.Plunging) << c.calibre << " in at " << c.range << " yds";
        EXPECT_EQ(kNearMiss, r.Location);
    }

    // The same belt roll tests the deck when plunging, the belt when flat.
    auto flat = Dreadnought();
    flat->B = 20;
    flat->D = 0;
    EXPECT_EQ("Hull hit B", Hit(*flat, {249, 0, 13, 9, 0, 39}).Text) << trace;
    auto plunging = Dreadnought();
    plunging->B = 20;
    // r = 13 plunging is the belt too; D 0 defeated; F - 10 - 144; S - 10 div 5;
    // HitFlooding(11) none; no progressive flooding
    const THitResult r = Hit(*plunging, {0, 0, 13, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 199});
    EXPECT_EQ("Hull hit D *", r.Text);
    EXPECT_TRUE(r.Plunging);
    EXPECT_EQ(plunging->MaxSuperstructurePoints - 2, plunging->CurrentSuperstructurePoints);
}

// ---- Redrawn locations -----------------------------------------------------------------------

TEST_F(HitEffects, AShipWithThreeTurretsCanBeDrawnAFourth) {
    auto ship = Dreadnought();
    ship->Turrets = {Turret('A'), Turret('X'), Turret('Y')};
    ship->D = 2;
    // Random(95) = 94: a turret; Random(4) = 3 is no turret: drawn again, r = 35, the
    // superstructure (as in the location case above).
    const THitResult r = Hit(*ship, {249, 94, 3, 0, 35, 0, 0, 0, 14});
    EXPECT_EQ(1, r.Redraws);
    EXPECT_EQ(kSuperstructureHit, r.Location);
    EXPECT_EQ("Superstructure hit BE * Fire started", r.Text);
    EXPECT_EQ(1, ship->HeavyHits); // counted once
}

TEST_F(HitEffects, EndlessRedrawsStopAtTheCapAsABeltHit) {
    auto ship = Dreadnought();
    ship->Turrets = {Turret('A'), Turret('X'), Turret('Y')};
    // Always the highest roll: never plunging, always a turret, always the fourth turret.
    TDrawLog random{TScriptedRandom::Repeating({kTop})};
    const THitResult r = ResolveHit(*ship, Shell(), Conditions(), random);
    EXPECT_EQ(kMaxLocationRedraws, r.Redraws);
    EXPECT_EQ(kBeltHit, r.Location);
    EXPECT_EQ(0, r.Text.find("Hull hit B")) << r.Text;
}

// ---- The tail: hit classes, a merchant's pre-damage, the log line ---------------------------

TEST_F(HitEffects, HitsAreCountedByCalibre) {
    struct TCase {
        int calibre;
        int light;
        int medium;
        int heavy;
    };
    for (const TCase& c :
         {TCase{2, 0, 0, 0}, TCase{3, 1, 0, 0}, TCase{4, 1, 0, 0}, TCase{5, 0, 1, 0},
          TCase{10, 0, 1, 0}, TCase{11, 0, 0, 1}, TCase{12, 0, 0, 1}, TCase{18, 0, 0, 1}}) {
        auto ship = Dreadnought();
        // The fore and aft hull: Random(30) = 29, S - HitDamage (Random(100) > 49). A 2-inch
        // gun has no table row, so nothing is drawn for its plunge.
        std::vector<int> script{0, 50, 29, 99, 0, 0};
        if (c.calibre >= 3) {
            script.insert(script.begin(), 249);
        }
        Hit(*ship, script, Shell(c.calibre));
        EXPECT_EQ(c.light, ship->LightHits) << c.calibre << " in";
        EXPECT_EQ(c.medium, ship->MediumHits) << c.calibre << " in";
        EXPECT_EQ(c.heavy, ship->HeavyHits) << c.calibre << " in";
    }
}

TEST_F(HitEffects, AMerchantLosesPointsBeforeTheLocation) {
    auto ship = SmallShip(TShipType::TR, 5000, 0);
    // Random(58) + 5 from both, flooding Random(28) (Random(100) < 50); no turrets:
    // Random(80) < 81, r = 5: a near miss; no sweep, an unbelted hull but Random(22) = 21 is
    // not < 8; the tail's Random(120)
    const THitResult r = Hit(*ship, {249, 10, 10, 0, 7, 0, 5, 0, 21, 0}, Shell(6));
    EXPECT_EQ("Near miss!", r.Text);
    EXPECT_EQ(ship->MaxSuperstructurePoints - 15, ship->CurrentSuperstructurePoints);
    EXPECT_EQ(ship->MaxFloatPoints - 15, ship->CurrentFloatPoints);
    EXPECT_EQ(7, ship->Flooding);
}

TEST_F(HitEffects, TheLogLineNamesTimeCalibreRangeAndFirer) {
    auto ship = Dreadnought();
    THitResult r = Hit(*ship, {249, 0, 50, 29, 99, 0, 0});
    EXPECT_EQ("14:05 12 in 5000 yds Fore/aft hull hit * (Moltke)", r.LogLine);
    EXPECT_EQ(kGunHitSeverity, r.Severity);
    // A ship already sinking is marked.
    ship->Sinking = 5;
    r = Hit(*ship, {249, 0, 50, 29, 99, 0, 0});
    EXPECT_EQ("14:05 12 in 5000 yds ## Fore/aft hull hit * (Moltke)", r.LogLine);
}

TEST_F(HitEffects, DefectiveShellsStrikeAsASmallerCalibre) {
    // The superstructure's fire takes the calibre the shell struck with: 12 - 3 = 9 after
    // Random(100) < 50 twice over (the second choosing 3 inches less).
    auto ship = Dreadnought();
    ship->D = 2;
    TShellHit hit = Shell();
    hit.ShellQuality = -1;
    Hit(*ship, {249, 0, 35, 0, 50, 0, 0, 0, 0, 14}, hit);
    EXPECT_EQ(std::vector<int>{9}, gFires) << trace;
    EXPECT_EQ(1, ship->HeavyHits); // still a 12-inch hit
}

// ---- The damage helpers ----------------------------------------------------------------------

TEST(HitDamageRules, HitDamageScalesAndCaps) {
    auto ship = Dreadnought();
    struct TCase {
        int c;
        bool penetrated;
        int td;
        std::vector<int> script;
        int expected;
    };
    const TCase cases[] = {
        // v = 2b + Random(c) + 1
        {12, false, 0, {10, 3}, (2 * 10 + 3 + 1) * 10},
        {12, true, 0, {10, 3}, 251},      // Round(24 x 12 x 0.87) = Round(250.56)
        {12, true, 2, {10, 3}, 209},      // Round(24 x 10 x 0.87) = Round(208.8)
        {12, true, -1, {0, 0}, 11},       // a torpedo flat's td - 1: Round(13 x 0.87)
        {50, false, 0, {2400, 10}, 3333}, // 48110 capped at 10000 div 2, then div 3
        {-3, false, 0, {}, 10},           // nothing to draw from: v = 1
    };
    for (const auto& c : cases) {
        TScriptedRandom random(c.script);
        EXPECT_EQ(c.expected, HitDamage(*ship, c.c, 0, c.penetrated, c.td, random))
            << c.c << " in, td " << c.td;
        EXPECT_EQ(0u, random.Left());
    }
}

TEST(HitDamageRules, HitFloodingOfSmallHolesIsOftenNone) {
    auto ship = Dreadnought();
    // HitFlooding(4): nothing once Random(8) + 2 >= 4.
    TScriptedRandom two({2});
    HitFlooding(*ship, 4, two);
    EXPECT_EQ(0, ship->Flooding);
    // Random(8) = 1: v = 2 x Random(2) + Random(8) + Random(12), less three Random(60).
    TScriptedRandom one({1, 1, 7, 11, 5, 0, 0});
    HitFlooding(*ship, 4, one);
    EXPECT_EQ(2 + 7 + 11 - 5, ship->Flooding);
    EXPECT_EQ(0u, one.Left());
    // A merchant's flooding doubles at most; a destroyer's nothing may become Random(k).
    auto merchant = SmallShip(TShipType::TR, 3000, 0);
    TScriptedRandom m({0, 0, 0, 0, 0, 0, 0, 29, 5});
    HitFlooding(*merchant, 6, m);
    EXPECT_EQ(5, merchant->Flooding);
    EXPECT_EQ(0u, m.Left());
}

TEST(HitDamageRules, OvermatchAndBattered) {
    auto destroyer = SmallShip(TShipType::DD, 900, 3);
    auto cruiser = SmallShip(TShipType::CL, 4000, 2);
    auto dreadnought = Dreadnought();
    TScriptedRandom draws({16, 17, 16, 17});
    EXPECT_TRUE(Overmatch(*destroyer, 7, draws));  // 16 < 17
    EXPECT_FALSE(Overmatch(*destroyer, 7, draws)); // 17
    EXPECT_TRUE(Overmatch(*cruiser, 7, draws));    // of 200
    EXPECT_FALSE(Overmatch(*cruiser, 7, draws));
    TScriptedRandom none({});
    EXPECT_FALSE(Overmatch(*destroyer, 6, none));    // too light to pass through
    EXPECT_FALSE(Overmatch(*dreadnought, 18, none)); // too big a hull

    dreadnought->HeavyHits = 3;
    EXPECT_FALSE(Battered(*dreadnought, 1));
    dreadnought->TorpedoHits = 1;
    EXPECT_TRUE(Battered(*dreadnought, 1));
    EXPECT_FALSE(Battered(*dreadnought, 0));
    dreadnought->HeavyHits = 19;
    EXPECT_TRUE(Battered(*dreadnought, 0));
    destroyer->LightHits = 3;
    EXPECT_TRUE(Battered(*destroyer, 1));
    EXPECT_FALSE(Battered(*destroyer, 0));
    destroyer->LightHits = 11;
    EXPECT_TRUE(Battered(*destroyer, 0));
}

// ---- Torpedoes and mines -------------------------------------------------------------------

struct TUnderwaterCase {
    const char* name;
    TShipType type;
    int displacement;
    int td;
    int k;
    std::vector<int> script;
    const char* text;
    std::function<void(const TFightingShip&)> check;
};

TEST(UnderwaterHits, TorpedoesOfEighteenAndTwentyOneInches) {
    const TUnderwaterCase cases[] = {
        {"18-inch on a destroyer",
         TShipType::DD,
         800,
         0,
         18,
         // q = 30: plain damage. v = Random(488) 100 + 60; k' = 15: Random(10) > 2, + Random(450)
         // 40; + Random(5 x (976 div 15 + 200 div 4) = 575) 75; + Random(976 div 6) 25 = 300.
         // HitFlooding(19): 17 x Random(17) 1 + Random(38) 3 + Random(342) 10 - 5 - 5 = 20
         // (at most 800 div 20); no progressive flooding (Random(100) = 99 is not < 5).
         {30, 100, 9, 40, 75, 25, 0, 1, 3, 10, 5, 5, 0, 99},
         "",
         [](const TFightingShip& s) {
             EXPECT_EQ(976 - 300, s.CurrentFloatPoints);
             EXPECT_EQ(20, s.Flooding);
             EXPECT_EQ(1, s.TorpedoHits);
         }},
        {"21-inch on a destroyer",
         TShipType::DD,
         800,
         0,
         21,
         // q = 50: the engine room; Defeats: Random(441) 300 x 3 > 50: engines - (Random(6)
         // x 10 + 10); k' = 18: the bigger warhead draws from Random(648)
         {50, 300, 2, 100, 9, 500, 75, 25, 0, 1, 3, 10, 5, 5, 0, 99},
         "Engine room hit",
         [](const TFightingShip& s) {
             EXPECT_EQ(70, s.EngineEfficiency);
             EXPECT_EQ(976 - 760, s.CurrentFloatPoints);
         }},
        {"18-inch on a light cruiser",
         TShipType::CL,
         4500,
         1,
         18,
         // q = 10: turret 0 of Random(4); Defeats: 3 x 200 > 350; destroyed (Random(100) <
         // 50); magazine 12 - 5 = 7: Random(100) = 6 blows the ship up
         {10, 0, 200, 0, 6, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 99},
         "9Turret destroyed Magazine hit * Ship blows up!",
         [](const TFightingShip& s) {
             EXPECT_TRUE(s.Turrets[0].Destroyed);
             EXPECT_EQ(0, s.CurrentFloatPoints);
             EXPECT_EQ(1, s.Sinking);
         }},
        {"21-inch on a light cruiser",
         TShipType::CL,
         4500,
         1,
         21,
         // q = 90: damage, then Defeats: an engine room hit that disables the engines
         // (Random(10) <= 5)
         {90, 0, 0, 0, 0, 0, 300, 5, 0, 0, 0, 0, 0, 0, 0, 0, 0, 99},
         " Engine room hit",
         [](const TFightingShip& s) {
             EXPECT_TRUE(s.EngineDisabled);
             EXPECT_EQ(s.MaxFloatPoints - 60, s.CurrentFloatPoints);
         }},
        {"18-inch on a dreadnought",
         TShipType::BB,
         20000,
         3,
         18,
         // q = 99 critical, d = 95: Defeats needs 3a > 950: Random(324) = 323 does, and td 3
         // < Random(5) = 4 ruptures a transverse bulkhead
         {99, 95, 323, 4, 0, 0, 0, 0, 0, 40, 10, 0, 10, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 99},
         "Critical hit! Transverse bulkhead ruptured",
         [](const TFightingShip& s) {
             EXPECT_EQ(s.MaxFloatPoints - 60, s.CurrentFloatPoints);
             EXPECT_EQ(40 + 10, s.Flooding);
             EXPECT_EQ(10, s.PF);
         }},
        {"21-inch on a dreadnought",
         TShipType::BB,
         20000,
         3,
         21,
         // q = 70: plain damage; k' = 15, and Random(10) = 9 > 8: + Random(450)
         {70, 1000, 9, 400, 500, 600, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 99},
         "",
         [](const TFightingShip& s) {
             EXPECT_EQ(s.MaxFloatPoints - (1060 + 400 + 500 + 600), s.CurrentFloatPoints);
         }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto ship = c.type == TShipType::BB ? Dreadnought() : SmallShip(c.type, c.displacement, 2);
        ship->TorpedoDefense = c.td;
        TDrawLog random{TScriptedRandom(c.script)};
        THitResult r;
        try {
            r = UnderwaterHit(*ship, c.k, "", random);
        } catch (const std::exception& e) {
            ADD_FAILURE() << e.what() << "; " << random.Trace();
            continue;
        }
        EXPECT_EQ(0u, random.Left()) << random.Trace();
        EXPECT_EQ(c.text, r.Text) << random.Trace();
        c.check(*ship);
    }
}

TEST(UnderwaterHits, ATurretDrawnPastTheListDrawsQAgain) {
    auto ship = SmallShip(TShipType::DD, 800, 0);
    // No turrets: Random(2) is always past the list. After the cap the hit is plain damage.
    TDrawLog random{TScriptedRandom::Repeating({0})};
    const THitResult r = UnderwaterHit(*ship, kMineSize, "Mine", random);
    EXPECT_EQ(kMaxLocationRedraws, r.Redraws);
    EXPECT_EQ("Mine", r.Text);
    EXPECT_EQ(1, ship->TorpedoHits);
}

} // namespace
