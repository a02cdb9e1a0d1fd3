// tarnwake: the desktop program.

#include "combat/FightingShip.h"
#include "core/CommandLine.h"
#include "core/Folders.h"
#include "core/Messages.h"
#include "core/Random.h"
#include "engine/GameWorld.h"
#include "map/GlobeUnits.h"
#include "ui/ChartView.h"
#include "ui/ClosingOpponent.h"
#include "ui/MainWindow.h"
#include "ui/ShipStatus.h"

#include <QAction>
#include <QApplication>
#include <QImage>
#include <QPainter>
#include <QPixmap>
#include <QTabWidget>
#include <QTimer>
#include <cstdlib>
#include <iostream>
#include <memory>
#include <optional>

namespace {

using namespace tarnwake;

constexpr const char* kUsage =
    "Usage: tarnwake [options] [scenario file]\n"
    "\n"
    "Tarnwake, a wargame of First World War naval surface actions. Opens the scenario\n"
    "(a path in the game folder, such as \"Scenarios/Jutland.nsc\", or any file), by\n"
    "default Scenarios/Dogger Bank.nsc.\n"
    "\n"
    "Options:\n"
    "  --side 0|1|2      the side you command; 2 watches the computer command both\n"
    "                    (default 0)\n"
    "  --minutes N       with --screenshot: run N minutes first\n"
    "  --screenshot FILE write a picture of the main window to FILE (PNG) and exit;\n"
    "                    works without a display\n"
    "  --chart-only      with --screenshot: a picture of the chart alone\n"
    "  --status SHIP     with --screenshot: a picture of that ship's status window,\n"
    "                    showing her picture or plan\n"
    "  --centre SHIP     with --screenshot: the chart centred on that ship, 20 miles\n"
    "                    across (or as many as --miles N says)\n"
    "  --fire-lines      with --screenshot: the fire lines shown\n"
    "  --close-action    with --screenshot: the computer's divisions steer for the\n"
    "                    nearest enemy, for a picture of the fighting\n"
    "  --size WxH        the window size for --screenshot (default 1000x719)\n"
    "  --help            show this text\n"
    "  --version         show the version\n"
    "The seed of every game is written to its log; the game's replay is kept in the user\n"
    "folder (Replays/Last game.twr), and \"tarnwake-cli replay FILE\" plays it back.\n";

bool HasDisplay() {
    const char* x = std::getenv("DISPLAY");
    const char* wayland = std::getenv("WAYLAND_DISPLAY");
    return (x != nullptr && *x != '\0') || (wayland != nullptr && *wayland != '\0');
}

bool ParseSize(const std::string& text, int& width, int& height) {
    const auto x = text.find('x');
    if (x == std::string::npos) {
        return false;
    }
    try {
        width = std::stoi(text.substr(0, x));
        height = std::stoi(text.substr(x + 1));
    } catch (...) {
        return false;
    }
    return width >= ui::TfrmMain::kSmallestWidth && height >= ui::TfrmMain::kSmallestHeight &&
           width <= ui::TfrmMain::kLargestSide && height <= ui::TfrmMain::kLargestSide;
}

// The default scenario: a small, quick battle on the North Sea chart.
constexpr const char* kDefaultScenario = "Scenarios/Dogger Bank.nsc";

bool ParseCount(const std::string& text, int low, int high, int& value) {
    try {
        std::size_t used = 0;
        value = std::stoi(text, &used);
        return used == text.size() && value >= low && value <= high;
    } catch (...) {
        return false;
    }
}

constexpr int kCentredMiles = 20;
constexpr int kWidestMiles = 3000;

// The ship of that name still in play.
combat::TFightingShip* ShipNamed(ui::TfrmMain& window, const std::string& name) {
    engine::TGameWorld* world = window.World();
    if (world != nullptr) {
        for (const auto& ship : world->Ships) {
            if (ship->Name == name) {
                return ship.get();
            }
        }
    }
    return nullptr;
}

bool CentreOn(ui::TfrmMain& window, const std::string& name, int miles) {
    const combat::TFightingShip* ship = ShipNamed(window, name);
    if (ship == nullptr) {
        return false;
    }
    window.Chart()->SetCentre(ship->Position());
    window.Chart()->SetAltitude(miles * map::kGlobeUnitsPerNauticalMile);
    return true;
}

// The status window of the ship of that name, its picture tab showing.
QImage StatusPicture(ui::TfrmMain& window, const std::string& name) {
    combat::TFightingShip* ship = ShipNamed(window, name);
    if (ship == nullptr) {
        return {};
    }
    window.ShowShipStatus(ship);
    QWidget* status = window.ShipStatusWindow();
    if (status == nullptr || !status->isVisible()) {
        return {};
    }
    if (auto* views = status->findChild<QTabWidget*>("viewTabs")) {
        views->setCurrentIndex(views->count() - 1);
    }
    return status->grab().toImage();
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    core::TCommonOptions options;
    std::string screenshot;
    std::string scenarioName;
    int side = 0;
    int minutes = 0;
    bool chartOnly = false;
    std::string statusShip;
    std::string centreShip;
    bool closeAction = false;
    bool fireLines = false;
    int centreMiles = kCentredMiles;
    int width = 0;
    int height = 0;
    if (const auto code = core::HandleHelpAndVersion(args, "tarnwake", kUsage, std::cout)) {
        return *code;
    }
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if ((arg == "--screenshot" || arg == "--size" || arg == "--side" || arg == "--minutes" ||
             arg == "--status" || arg == "--centre" || arg == "--miles") &&
            i + 1 >= args.size()) {
            std::cerr << "tarnwake: " << arg << " needs a value\n";
            return 2;
        }
        if (arg == "--screenshot") {
            screenshot = args[++i];
            continue;
        }
        if (arg == "--side") {
            if (!ParseCount(args[++i], 0, 2, side)) {
                std::cerr << "tarnwake: --side takes 0, 1 or 2\n";
                return 2;
            }
            continue;
        }
        if (arg == "--minutes") {
            if (!ParseCount(args[++i], 0, 100000, minutes)) {
                std::cerr << "tarnwake: --minutes takes a number of minutes\n";
                return 2;
            }
            continue;
        }
        if (arg == "--chart-only") {
            chartOnly = true;
            continue;
        }
        if (arg == "--fire-lines") {
            fireLines = true;
            continue;
        }
        if (arg == "--close-action") {
            closeAction = true;
            continue;
        }
        if (arg == "--status") {
            statusShip = args[++i];
            continue;
        }
        if (arg == "--centre") {
            centreShip = args[++i];
            continue;
        }
        if (arg == "--miles") {
            if (!ParseCount(args[++i], 1, kWidestMiles, centreMiles)) {
                std::cerr << "tarnwake: --miles takes a number of miles\n";
                return 2;
            }
            continue;
        }
        if (arg == "--size") {
            if (!ParseSize(args[++i], width, height)) {
                std::cerr << "tarnwake: --size takes WIDTHxHEIGHT, for example 1280x800\n";
                return 2;
            }
            continue;
        }
        std::string error;
        switch (core::ParseCommonOption(args, i, options, error)) {
        case core::TOptionResult::Taken:
            continue;
        case core::TOptionResult::Bad:
            std::cerr << "tarnwake: " << error << "\n";
            return 2;
        case core::TOptionResult::NotMine:
            break;
        }
        if (!arg.empty() && arg[0] != '-' && scenarioName.empty()) {
            scenarioName = arg;
            continue;
        }
        std::cerr << "tarnwake: unknown argument " << arg << " (see --help)\n";
        return 2;
    }

    // A screenshot needs no screen: draw off screen when there is no display to draw on.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!screenshot.empty() && !HasDisplay() && (platform == nullptr || *platform == '\0')) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }

    if (screenshot.empty() && !HasDisplay() && (platform == nullptr || *platform == '\0')) {
        std::cerr << "tarnwake: no display found. Run it under X or Wayland (or Xvfb), give "
                     "--screenshot FILE for a picture, or play headless with tarnwake-cli.\n";
        return 1;
    }

    QApplication app(argc, argv);
    const auto folders = core::TGameFolders::Resolve(options.gameDir, options.userDir,
                                                     core::CurrentProgramPath(argv[0]));

    const bool shooting = !screenshot.empty();
    // A run for a picture asks nothing: its messages go to the terminal.
    core::THeadlessMessages terminalMessages(&std::cerr);
    ui::TfrmMain window;
    if (shooting) {
        window.SetMessages(&terminalMessages);
    }
    window.SetServices(folders, options.seed);
    if (shooting) {
        if (width > 0) {
            window.resize(width, height);
        }
    } else {
        window.RestorePreferences();
    }
    window.show();
    if (!shooting) {
        window.CheckUserFolder();
    }
    if (!window.OpenFirstScenario(scenarioName.empty() ? kDefaultScenario : scenarioName, side) &&
        shooting) {
        return 2;
    }

    if (shooting) {
        QTimer::singleShot(0, [&] {
            if (engine::TGameWorld* world = window.World(); world != nullptr && minutes > 0) {
                if (closeAction) {
                    world->InstallOpponent(std::make_unique<ui::TClosingOpponent>());
                }
                // Through the breaks a player would be stopped at.
                world->RunWholeMinutes(minutes, {});
                window.SetWorld(world);
            }
            // A picture shows where the opening zoom ends, not a step of it.
            window.ZoomAtStart(false);
            if (fireLines) {
                // As the toolbar button would, so that the picture shows the button pressed.
                if (auto* action = window.findChild<QAction*>("Show fire lines")) {
                    action->trigger();
                }
            }
            if (!centreShip.empty() && !CentreOn(window, centreShip, centreMiles)) {
                std::cerr << "tarnwake: no ship named " << centreShip << " to centre on\n";
                app.exit(2);
                return;
            }
            QImage picture;
            if (!statusShip.empty()) {
                picture = StatusPicture(window, statusShip);
                if (picture.isNull()) {
                    std::cerr << "tarnwake: no ship named " << statusShip << " to show\n";
                    app.exit(2);
                    return;
                }
            } else if (chartOnly) {
                picture = QImage(window.Chart()->size(), QImage::Format_RGB32);
                QPainter painter(&picture);
                window.Chart()->PaintChart(painter, picture.size());
            } else {
                picture = window.grab().toImage();
            }
            if (!picture.save(QString::fromStdString(screenshot), "PNG")) {
                std::cerr << "tarnwake: cannot write " << screenshot << "\n";
                app.exit(1);
                return;
            }
            std::cout << "Screenshot written to " << screenshot << "\n";
            app.exit(0);
        });
    }
    return app.exec();
}
