#include "core/Folders.h"

#include "core/Text.h"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <fstream>
#include <system_error>

namespace tarnwake::core {

namespace {

// Written and removed again to learn whether the user folder takes files.
constexpr const char* kWriteProbeName = ".tarnwake-write-test";

std::vector<std::string> SplitRelativeName(std::string_view name, bool& safe) {
    std::vector<std::string> parts;
    safe = true;
    if (name.empty() || name.front() == '/' || name.front() == '\\' ||
        (name.size() >= 2 && name[1] == ':')) {
        safe = false;
        return parts;
    }
    std::string current;
    auto flush = [&] {
        if (current == "..") {
            safe = false;
        } else if (!current.empty() && current != ".") {
            parts.push_back(current);
        }
        current.clear();
    };
    for (char c : name) {
        if (c == '/' || c == '\\') {
            flush();
        } else {
            current.push_back(c);
        }
    }
    flush();
    return parts;
}

std::optional<fs::path> EnvPath(const char* variable) {
    const char* value = std::getenv(variable);
    if (value == nullptr || *value == '\0') {
        return std::nullopt;
    }
    return fs::path(value);
}

} // namespace

std::optional<fs::path> FindFileNoCase(const fs::path& base, std::string_view relativeName) {
    bool safe = true;
    const auto parts = SplitRelativeName(relativeName, safe);
    if (!safe || parts.empty()) {
        return std::nullopt;
    }
    fs::path current = base;
    std::error_code ec;
    for (const auto& part : parts) {
        const fs::path exact = current / part;
        if (fs::exists(exact, ec)) {
            current = exact;
            continue;
        }
        std::optional<fs::path> match;
        for (fs::directory_iterator it(current, ec), end; !ec && it != end; it.increment(ec)) {
            const std::string candidate = it->path().filename().string();
            if (EqualsNoCase(candidate, part) &&
                (!match || candidate < match->filename().string())) {
                match = it->path();
            }
        }
        if (!match) {
            return std::nullopt;
        }
        current = *match;
    }
    return current;
}

std::vector<fs::path> ListFilesWithExtension(const fs::path& dir, std::string_view extension) {
    std::vector<fs::path> files;
    std::error_code ec;
    for (fs::directory_iterator it(dir, ec), end; !ec && it != end; it.increment(ec)) {
        std::error_code typeEc;
        if (it->is_regular_file(typeEc) &&
            EndsWithNoCase(it->path().filename().string(), extension)) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

fs::path CurrentProgramPath(const char* argv0) {
    std::error_code ec;
    fs::path self = fs::read_symlink("/proc/self/exe", ec);
    if (!ec && !self.empty()) {
        return self;
    }
    return argv0 != nullptr ? fs::path(argv0) : fs::path();
}

TGameFolders::TGameFolders(fs::path gameDir, fs::path userDir)
    : gameDir_(std::move(gameDir)), userDir_(std::move(userDir)) {}

TGameFolders TGameFolders::Resolve(const std::optional<fs::path>& gameDirArg,
                                   const std::optional<fs::path>& userDirArg,
                                   const fs::path& programPath) {
    fs::path game;
    if (gameDirArg) {
        game = *gameDirArg;
    } else if (auto env = EnvPath("TARNWAKE_GAME_DIR")) {
        game = *env;
    } else {
        std::error_code ec;
        fs::path programDir = fs::weakly_canonical(programPath, ec).parent_path();
        if (ec || programDir.empty()) {
            programDir = programPath.parent_path();
        }
        const fs::path candidates[] = {programDir / "data",
                                       programDir / ".." / "share" / "tarnwake"};
        game = candidates[0];
        for (const auto& candidate : candidates) {
            if (fs::is_directory(candidate, ec)) {
                game = candidate.lexically_normal();
                break;
            }
        }
    }

    fs::path user;
    if (userDirArg) {
        user = *userDirArg;
    } else if (auto env = EnvPath("TARNWAKE_USER_DIR")) {
        user = *env;
    } else if (auto xdg = EnvPath("XDG_DATA_HOME")) {
        user = *xdg / "tarnwake";
    } else if (auto home = EnvPath("HOME")) {
        user = *home / ".local" / "share" / "tarnwake";
    } else {
        user = fs::temp_directory_path() / "tarnwake";
    }
    return TGameFolders(game, user);
}

std::optional<fs::path> TGameFolders::FindGameFile(std::string_view relativeName) const {
    return FindFileNoCase(gameDir_, relativeName);
}

fs::path TGameFolders::WithCustomOverride(const fs::path& shipped) const {
    const std::string name = shipped.filename().string();
    if (name.empty()) {
        return shipped;
    }
    if (auto custom = FindFileNoCase(CustomFilesDir(), name)) {
        std::error_code ec;
        if (fs::is_regular_file(*custom, ec)) {
            return *custom;
        }
    }
    return shipped;
}

bool TGameFolders::EnsureUserFolders(std::string& error) const {
    std::error_code ec;
    for (const fs::path& dir : {userDir_, SaveDir(), CustomFilesDir()}) {
        fs::create_directories(dir, ec);
        if (ec) {
            error = "Cannot create folder " + dir.string() + ": " + ec.message();
            return false;
        }
    }
    // A folder that exists may still refuse files: found out now, not when the preferences
    // are saved as the program closes.
    const fs::path probe = userDir_ / kWriteProbeName;
    const bool written = static_cast<bool>(std::ofstream(probe) << "tarnwake\n");
    const int writeErrno = errno;
    fs::remove(probe, ec);
    if (!written) {
        error = "Cannot write in folder " + userDir_.string() + ": " +
                std::generic_category().message(writeErrno);
        return false;
    }
    return true;
}

} // namespace tarnwake::core
