#pragma once

// A game on the open-sea test scenario for the interface tests: the shipped game folder, a
// world started with the player commanding side 0, and every message recorded.

#include "combat/Division.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "core/Sound.h"
#include "engine/GameWorld.h"
#include "scenario/GameStart.h"
#include "ui/MainWindow.h"

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>
#include <filesystem>
#include <string>

namespace tarnwake::testing {

// The shipped game folder is linked beside the test programs in the build tree; the test
// scenarios live in the sources, which that link leads back to.
inline std::filesystem::path UiGameDir() {
    return QDir(QCoreApplication::applicationDirPath() + "/../data").absolutePath().toStdString();
}

inline std::filesystem::path OpenSeaScenario() {
    const auto source = std::filesystem::canonical(UiGameDir()).parent_path();
    return source / "tests" / "fixtures" / "scenario" / "OpenSea.nsc";
}

// The world of a started game, the player on `playerSide` (2: watching).
struct TStartedWorld {
    QTemporaryDir userDir;
    core::THeadlessMessages messages{nullptr};
    core::TSilentSound sound;
    engine::TGameWorld world{messages, sound,
                             core::TGameFolders(UiGameDir(), userDir.path().toStdString())};
    scenario::TGameSetup setup;

    explicit TStartedWorld(int playerSide = 0) {
        setup.ScenarioName = OpenSeaScenario().string();
        setup.ScenarioFile = OpenSeaScenario();
        setup.Sides.ComputerCommanded = {playerSide != 0, playerSide != 1};
        setup.Seed = 11;
        scenario::StartGame(world, setup);
    }

    std::string LastMessage() const {
        const auto texts = messages.Texts();
        return texts.empty() ? std::string() : texts.back();
    }

    combat::TDivision* DivisionNamed(const std::string& name) const {
        for (const auto& d : world.Divisions) {
            if (d->DivisionName == name) {
                return d.get();
            }
        }
        return nullptr;
    }
};

// A started game in the main window, the player on `playerSide`; every message is recorded
// instead of shown.
struct TStartedWindow : TStartedWorld {
    ui::TfrmMain window;

    explicit TStartedWindow(int playerSide = 0) : TStartedWorld(playerSide) {
        window.SetMessages(&messages);
        window.SetWorld(&world);
        window.resize(1000, 700);
        window.show();
    }

    // The `skip`-th division of the player's that the player may order.
    combat::TDivision* Orderable(int skip = 0) {
        for (const auto& d : world.Divisions) {
            if (window.MayOrder(d.get()) && d->Flagship() != nullptr && skip-- == 0) {
                return d.get();
            }
        }
        return nullptr;
    }
};

} // namespace tarnwake::testing
