#pragma once

#include "ai/DecisionContext.h"
#include "ai/EnemyKnowledge.h"
#include "combat/Force.h"
#include "core/Random.h"
#include "designs/WeaponTables.h"
#include "support/TestWorld.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace tarnwake::testing {

// A battle of the computer's on open sea off Jutland on a May afternoon: armed ships placed by
// bearing and range from the reference point, sighted lists set by hand, the computer's
// reasons kept.
class AIFixture : public ::testing::Test, public TTestWorld {
protected:
    AIFixture() {
        // Main guns that reach 16,000 yards (12-inch), 12,000 (6-inch) and 9,000 (4-inch).
        for (const auto& [calibre, reach] : {std::pair{12, 16}, {9, 14}, {6, 12}, {4, 9}}) {
            designs::TGunRow row;
            row.MaxRange = reach;
            row.RateOfFire = 2.0F;
            world.WeaponTables.SetRow(calibre, row);
        }
        world.PlayerSide = engine::kWatchingSide;
    }

    // A division of `count` armed ships of one type in line ahead on `course`, the flagship at
    // `at`, 600 yards apart.
    combat::TDivision& Squadron(const std::string& name, int side, designs::TShipType type,
                                map::TGeoPos at, int course = 0, int count = 1) {
        auto& d = world.AddDivision(std::make_unique<combat::TDivision>(name, side));
        d.Course = course;
        d.Speed = 18;
        d.AIControl = true;
        for (int i = 0; i < count; ++i) {
            TTestShipSpec spec;
            spec.Name = count == 1 ? name : name + " " + std::to_string(i + 1);
            spec.Side = side;
            spec.Type = type;
            spec.Course = course;
            spec.Speed = 18;
            spec.DesignSpeed = DesignSpeed(type);
            spec.Displacement = Tons(type);
            combat::TFightingShip& s =
                AddShip(d, spec, map::MovePoint(at, course + 180.0, 600.0 * i));
            Arm(s);
        }
        return d;
    }
    combat::TFightingShip& Single(const std::string& name, int side, designs::TShipType type,
                                  map::TGeoPos at, int course = 0) {
        return *Squadron(name, side, type, at, course).Flagship();
    }

    // Her guns by type: 12-inch turrets for battleships and battle cruisers, 9-inch for armoured
    // cruisers, 6-inch for light cruisers and AMCs, 4-inch and torpedoes for destroyers.
    static void Arm(combat::TFightingShip& s) {
        using designs::TShipType;
        const int index = designs::TypeIndex(s.ShipType);
        const int calibre = index <= designs::TypeIndex(TShipType::B)     ? 12
                            : s.ShipType == TShipType::CA                 ? 9
                            : index <= designs::TypeIndex(TShipType::AMC) ? 6
                            : s.ShipType == TShipType::DD                 ? 4
                                                                          : 0;
        s.Calibre = {0, calibre, 0, 0};
        if (calibre > 0) {
            for (const char pos : {'A', 'X'}) {
                designs::TFightingTurret turret;
                turret.Guns = 2;
                turret.Pos = pos;
                s.Turrets.push_back(turret);
            }
        }
        if (s.ShipType == TShipType::DD) {
            designs::TFightingTorpedoMount mount;
            mount.Tubes = 2;
            mount.TorpsLeft = 2;
            s.TorpedoMounts.push_back(mount);
        }
        s.Ammo = {0, 400, 0, 0};
        s.SightingLevel = combat::kClassIdentified;
    }
    static int DesignSpeed(designs::TShipType type) {
        using designs::TShipType;
        return type == TShipType::DD ? 30 : type == TShipType::BB ? 21 : 26;
    }
    static int Tons(designs::TShipType type) {
        using designs::TShipType;
        switch (type) {
        case TShipType::CL:
        case TShipType::AMC:
            return 4500;
        case TShipType::DD:
        case TShipType::MS:
            return 1000;
        case TShipType::TR:
            return 5000;
        default:
            return 22000;
        }
    }

    // `observer` has `enemy` in sight this minute, as the lookouts would leave it.
    static void Sees(combat::TFightingShip& observer, combat::TFightingShip& enemy) {
        observer.Sighted.push_back(&enemy);
        observer.SeenThisMinute = true;
        enemy.SeenThisMinute = true;
    }
    // Every ship of each side sees every ship of the other.
    void AllSeeAll() {
        for (const auto& a : world.Ships) {
            for (const auto& b : world.Ships) {
                if (a->Side != b->Side) {
                    Sees(*a, *b);
                }
            }
        }
    }

    combat::TForce& ForceOf(combat::TDivision& division, int mission = 0) {
        auto& f = world.AddForce(
            std::make_unique<combat::TForce>(division.DivisionName + " force", division.Side));
        f.Mission = mission;
        f.Divisions.push_back(&division);
        division.Force = &f;
        return f;
    }

    // The game's dice from now on: exactly these, and a test fails that draws one more.
    core::TScriptedRandom& Script(std::vector<int> rolls) {
        auto owned = std::make_unique<core::TScriptedRandom>(std::move(rolls));
        core::TScriptedRandom& ref = *owned;
        world.UseGenerator(std::move(owned));
        return ref;
    }

    ai::TFullKnowledge knowledge{world};
    std::vector<ai::TTraceLine> traced;
    ai::TTraceHook hook = [this](const ai::TTraceLine& line) { traced.push_back(line); };
    ai::TDecisionContext context{world, knowledge, &hook};

    // The reasons given so far, their texts only.
    std::vector<std::string> Reasons() const {
        std::vector<std::string> texts;
        for (const auto& line : traced) {
            texts.push_back(line.Text);
        }
        return texts;
    }
};

} // namespace tarnwake::testing
