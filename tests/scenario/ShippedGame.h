#pragma once

// A game of a shipped scenario as the player starts it, with every message recorded, and the
// look-ups the battle tests use.

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "core/Messages.h"
#include "core/Sound.h"
#include "engine/GameWorld.h"
#include "map/Geometry.h"
#include "scenario/GameStart.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tarnwake::testing {

struct TShippedGame {
    TTempDir userDir;
    core::THeadlessMessages messages{nullptr};
    core::TSilentSound sound;
    engine::TGameWorld world{messages, sound, core::TGameFolders(ShippedGameDir(), userDir.Path())};

    // The player on `side` (engine::kWatchingSide: the computer commands both).
    TShippedGame(const std::string& scenario, int side, std::uint64_t seed) {
        scenario::TGameSetup setup;
        setup.ScenarioName = scenario;
        setup.ScenarioFile = *scenario::FindScenario(world.Folders(), setup.ScenarioName);
        setup.Sides.ComputerCommanded = {side != 0, side != 1};
        setup.Seed = seed;
        world.Preferences.AutosaveMinutes = 0;
        EXPECT_TRUE(scenario::StartGame(world, setup));
    }

    combat::TFightingShip& Ship(const std::string& name) const {
        for (const auto& s : world.Ships) {
            if (s->Name == name) {
                return *s;
            }
        }
        throw std::out_of_range("no ship " + name);
    }

    combat::TDivision& Division(const std::string& name) const {
        for (const auto& d : world.Divisions) {
            if (d->DivisionName == name) {
                return *d;
            }
        }
        throw std::out_of_range("no division " + name);
    }

    const combat::TFightingShip* Sunk(const std::string& name) const {
        for (const auto& s : world.SunkShips) {
            if (s->Name == name) {
                return s.get();
            }
        }
        return nullptr;
    }

    bool Logged(const std::string& fragment) const {
        const auto& full = world.Log.FullLog();
        return std::any_of(full.begin(), full.end(), [&](const engine::TFullLogEntry& e) {
            return e.line.find(fragment) != std::string::npos;
        });
    }

    bool Asked(const std::string& fragment) const {
        const auto& shown = messages.Shown();
        return std::any_of(shown.begin(), shown.end(), [&](const auto& m) {
            return m.kind == core::TMessageKind::Confirmation &&
                   m.text.find(fragment) != std::string::npos;
        });
    }

    // Every ship sees every enemy within `yards`, identified, as a sighting pass in clear
    // weather close by would leave them.
    void AllSeeAllWithin(double yards) {
        for (const auto& a : world.Ships) {
            a->Sighted.clear();
            for (const auto& b : world.Ships) {
                if (a->Side + b->Side == 1 &&
                    map::RangeYards(a->Position(), b->Position()) < yards) {
                    a->Sighted.push_back(b.get());
                    b->SightingLevel = combat::kClassIdentified;
                    if (b->IdentifiedType.empty()) {
                        b->IdentifiedType = designs::TypeCode(b->ShipType);
                    }
                    b->SeenThisMinute = true;
                    a->SeenThisMinute = true;
                }
            }
        }
    }
};

} // namespace tarnwake::testing
