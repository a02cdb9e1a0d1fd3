#pragma once

#include "combat/Division.h"
#include "combat/FightingShip.h"
#include "combat/Force.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "engine/GameWorld.h"
#include "map/GeoDataObject.h"
#include "map/GlobeLayer.h"
#include "map/LayerFile.h"
#include "scenario/ScenarioLoader.h"
#include "scenario/SectionReader.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace tarnwake::testing {

// Degrees as globe units.
inline std::int32_t Deg(double degrees) {
    return static_cast<std::int32_t>(degrees * 5'400'000);
}

// A world on the shipped designs with a small sea area of its own: the user's "Custom Files"
// folder holds "Sea.env" and its layer "Sea.lyr", one square island from 5 E to 5 20 E and
// 56 N to 56 10 N in open water. Scenarios written in memory start with Header().
class ScenarioFixture : public ::testing::Test {
public:
    core::THeadlessMessages messages{nullptr};
    core::TSilentSound sound;
    std::unique_ptr<core::TRandomGenerator> random = std::make_unique<core::TRandomGenerator>(1);
    TTempDir userDir;
    std::unique_ptr<engine::TGameWorld> world;

    void SetUp() override {
        WriteSeaArea("Sea.lyr", "Sea.env");
        MakeWorld();
    }

    // A new world, both sides at the selection window's default force level, "Variable". The
    // world takes over the generator set in `random` (a scripted one, say): a test reads it
    // back through world->Random().
    void MakeWorld() {
        world = std::make_unique<engine::TGameWorld>(
            messages, sound, core::TGameFolders(ShippedGameDir(), userDir.Path()));
        if (random) {
            world->UseGenerator(std::move(random));
        }
        for (auto& side : world->Sides) {
            side.ForceLevel = engine::flVariable;
        }
    }

    void WriteSeaArea(const std::string& layerFile, const std::string& envFile,
                      const std::string& extraLayers = "") const {
        map::TGlobeLayer layer(layerFile);
        auto& island = layer.Create<map::TGeoDataObject>();
        island.SetChainPoints(0, {{Deg(5.0), Deg(56.0), 0},
                                  {Deg(5.0 + 20.0 / 60), Deg(56.0), 0},
                                  {Deg(5.0 + 20.0 / 60), Deg(56.0 + 10.0 / 60), 0},
                                  {Deg(5.0), Deg(56.0 + 10.0 / 60), 0}});
        island.SetClosed(true);
        std::string error;
        const auto folder = userDir.Path() / "Custom Files";
        std::filesystem::create_directories(folder);
        ASSERT_TRUE(map::WriteLayerFile(layer, folder / layerFile, error)) << error;
        userDir.Write("Custom Files/" + envFile,
                      "[Chart]\nCentre=50000E 560000N\n[Layers]\nLayer1=" + layerFile + "\n" +
                          extraLayers);
    }

    // The environment, the two sides and a force for each.
    static std::string Header(const std::string& environment = "",
                              const std::string& chart = "EnvironmentFile=Sea\nLandLayer1=Sea\n") {
        // The first entry of a key wins: the test's own keys come first.
        return "[Environment]\n" + environment + "\n" + chart +
               "Year=1916\nMonth=5\nDay=31\nHour=14\nMinute=0\n" +
               "\n[Side0]\nName=Great Britain\n[Side1]\nName=Germany\n"
               "[Force0]\nName=Grand Fleet\nSide=0\nObjective=40000E 560000N\n"
               "[Force1]\nName=High Seas Fleet\nSide=1\nObjective=60000E 560000N\n";
    }

    // A division section with one ship per class name given, in a column on 4 E 56 N.
    static std::string Division(int number, const std::string& name, int side,
                                const std::string& keys, const std::string& ships) {
        return "[Division" + std::to_string(number) + "]\nDivisionName=" + name +
               "\nSide=" + std::to_string(side) + "\n" + keys + "\n" + ships;
    }
    static std::string Ship(int number, const std::string& name, const std::string& className,
                            const std::string& position = "40000E 560000N",
                            const std::string& keys = "") {
        const std::string p = "Ship" + std::to_string(number);
        return p + "Name=" + name + "\n" + p + "Classname=" + className + "\n" + p +
               "LL=" + position + "\n" + keys;
    }

    void Load(const std::string& text) {
        scenario::LoadScenario(*world, scenario::TSectionReader::FromText(text));
    }

    combat::TDivision* Div(const std::string& name) const {
        for (const auto& d : world->Divisions) {
            if (d->DivisionName == name) {
                return d.get();
            }
        }
        return nullptr;
    }
    std::vector<std::string> DivisionNames() const {
        std::vector<std::string> names;
        for (const auto& d : world->Divisions) {
            names.push_back(d->DivisionName);
        }
        return names;
    }
    static std::vector<std::string> ShipNames(const combat::TDivision& d) {
        std::vector<std::string> names;
        for (const auto* s : d.Ships) {
            names.push_back(s->Name);
        }
        return names;
    }
};

} // namespace tarnwake::testing
