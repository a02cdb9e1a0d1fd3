#pragma once

#include <filesystem>
#include <string>
#include <string_view>

namespace tarnwake::testing {

// A fresh folder under the system's temporary folder, removed when the object goes.
class TTempDir {
public:
    TTempDir();
    ~TTempDir();
    TTempDir(const TTempDir&) = delete;
    TTempDir& operator=(const TTempDir&) = delete;

    const std::filesystem::path& Path() const { return path_; }
    // Writes `bytes` to a file below the folder (creating sub-folders) and answers its path.
    std::filesystem::path Write(const std::string& relativeName, std::string_view bytes) const;

private:
    std::filesystem::path path_;
};

std::string ReadWholeFile(const std::filesystem::path& file);

// The test fixtures folder and the shipped game folder of the source tree.
std::filesystem::path FixturesDir();
std::filesystem::path ShippedGameDir();

} // namespace tarnwake::testing
