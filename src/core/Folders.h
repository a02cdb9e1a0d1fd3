#pragma once

#include <filesystem>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace tarnwake::core {

namespace fs = std::filesystem;

// Finds a file under `base` by a relative name written as a Windows program wrote it:
// backslashes or slashes, any letter case ("Designs\IRON DUKE.sdf"). Each part is matched
// exactly when it exists, else without regard to case (the first match in name order).
// "..", absolute names and drive letters are refused, so a data file can never reach
// outside the folder it names.
std::optional<fs::path> FindFileNoCase(const fs::path& base, std::string_view relativeName);

// The files in `dir` whose name ends with `extension` (".nsc"; compared without regard to
// case), sorted by name. A missing folder gives an empty list.
std::vector<fs::path> ListFilesWithExtension(const fs::path& dir, std::string_view extension);

// The running program's own file: /proc/self/exe where the system has it, else argv[0].
fs::path CurrentProgramPath(const char* argv0);

// The two folders of the game. The game folder holds the shipped, read-only data
// (Designs, Data, Scenarios, Sounds, Flags); the user folder holds everything the game
// writes (Save, Custom Files, Preferences, HiScores.cfg, the gunnery and torpedo logs).
class TGameFolders {
public:
    TGameFolders() = default;
    TGameFolders(fs::path gameDir, fs::path userDir);

    // Chooses the folders: the command-line value wins, then the environment
    // (TARNWAKE_GAME_DIR, TARNWAKE_USER_DIR), then the defaults: the game folder "data"
    // beside the program or "../share/tarnwake" from it; the user folder
    // $XDG_DATA_HOME/tarnwake, or ~/.local/share/tarnwake.
    static TGameFolders Resolve(const std::optional<fs::path>& gameDirArg,
                                const std::optional<fs::path>& userDirArg,
                                const fs::path& programPath);

    const fs::path& GameDir() const { return gameDir_; }
    const fs::path& UserDir() const { return userDir_; }

    fs::path DesignsDir() const { return gameDir_ / "Designs"; }
    fs::path DataDir() const { return gameDir_ / "Data"; }
    fs::path ScenariosDir() const { return gameDir_ / "Scenarios"; }
    fs::path SoundsDir() const { return gameDir_ / "Sounds"; }
    fs::path FlagsDir() const { return gameDir_ / "Flags"; }

    fs::path SaveDir() const { return userDir_ / "Save"; }
    fs::path CustomFilesDir() const { return userDir_ / "Custom Files"; }
    fs::path PreferencesFile() const { return userDir_ / "Preferences"; }
    fs::path HiScoresFile() const { return userDir_ / "HiScores.cfg"; }
    fs::path GunneryLogFile() const { return userDir_ / "Gunnery Log.skv"; }
    fs::path TorpedoLogFile() const { return userDir_ / "Torpedo Log.skv"; }

    // A game file by its Windows-style name relative to the game folder
    // ("Designs\Iron Duke.sdf"); no value when it does not exist.
    std::optional<fs::path> FindGameFile(std::string_view relativeName) const;

    // The "Custom files" rule: a file of the same file name in the user's Custom Files
    // folder wins over the shipped one. Answers the custom file when it exists, else
    // `shipped` unchanged (whether or not that exists).
    fs::path WithCustomOverride(const fs::path& shipped) const;

    // Creates the user folder with its Save and Custom Files folders and makes sure it takes
    // files; false with a message when that fails.
    bool EnsureUserFolders(std::string& error) const;

private:
    fs::path gameDir_;
    fs::path userDir_;
};

} // namespace tarnwake::core
