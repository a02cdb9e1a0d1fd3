#include "support/TestSupport.h"

#include <fstream>
#include <random>
#include <sstream>
#include <stdexcept>

namespace tarnwake::testing {

namespace fs = std::filesystem;

TTempDir::TTempDir() {
    std::random_device device;
    for (int attempt = 0; attempt < 100; ++attempt) {
        fs::path candidate =
            fs::temp_directory_path() / ("tarnwake-test-" + std::to_string(device()));
        std::error_code ec;
        if (fs::create_directory(candidate, ec)) {
            path_ = candidate;
            return;
        }
    }
    throw std::runtime_error("cannot create a temporary folder");
}

TTempDir::~TTempDir() {
    std::error_code ec;
    fs::permissions(path_, fs::perms::owner_all, fs::perm_options::add, ec);
    fs::remove_all(path_, ec);
}

fs::path TTempDir::Write(const std::string& relativeName, std::string_view bytes) const {
    const fs::path file = path_ / relativeName;
    fs::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return file;
}

std::string ReadWholeFile(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

fs::path FixturesDir() {
    return TARNWAKE_FIXTURES_DIR;
}
fs::path ShippedGameDir() {
    return fs::path(TARNWAKE_SOURCE_DIR) / "data";
}

} // namespace tarnwake::testing
