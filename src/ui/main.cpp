// tarnwake: the desktop program.

#include "core/CommandLine.h"
#include "core/Folders.h"
#include "core/Random.h"
#include "ui/MainWindow.h"

#include <QApplication>
#include <QPixmap>
#include <QTimer>
#include <cstdlib>
#include <iostream>

namespace {

using namespace tarnwake;

constexpr const char* kUsage =
    "Usage: tarnwake [options]\n"
    "\n"
    "Tarnwake, a wargame of First World War naval surface actions.\n"
    "\n"
    "Options:\n"
    "  --screenshot FILE write a picture of the main window to FILE (PNG) and exit;\n"
    "                    works without a display\n"
    "  --size WxH        the window size for --screenshot (default 1000x719)\n"
    "  --help            show this text\n"
    "  --version         show the version\n";

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
    return width >= 200 && height >= 150 && width <= 8000 && height <= 8000;
}

} // namespace

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    core::TCommonOptions options;
    std::string screenshot;
    int width = 0;
    int height = 0;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (arg == "--help" || arg == "-h") {
            std::cout << kUsage << core::CommonOptionsHelp();
            return 0;
        }
        if (arg == "--version") {
            std::cout << "tarnwake " << TARNWAKE_VERSION << "\n";
            return 0;
        }
        if ((arg == "--screenshot" || arg == "--size") && i + 1 >= args.size()) {
            std::cerr << "tarnwake: " << arg << " needs a value\n";
            return 2;
        }
        if (arg == "--screenshot") {
            screenshot = args[++i];
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
        std::cerr << "tarnwake: unknown argument " << arg << " (see --help)\n";
        return 2;
    }

    // A screenshot needs no screen: draw off screen when there is no display to draw on.
    const char* platform = std::getenv("QT_QPA_PLATFORM");
    if (!screenshot.empty() && !HasDisplay() && (platform == nullptr || *platform == '\0')) {
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
    }

    QApplication app(argc, argv);
    const auto folders = core::TGameFolders::Resolve(options.gameDir, options.userDir,
                                                     core::CurrentProgramPath(argv[0]));
    core::TRandomGenerator random(options.seed ? *options.seed
                                               : core::TRandomGenerator::ClockSeed());

    ui::TfrmMain window;
    if (width > 0) {
        window.resize(width, height);
    }
    window.show();

    if (!screenshot.empty()) {
        QTimer::singleShot(0, [&] {
            const QPixmap picture = window.grab();
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
