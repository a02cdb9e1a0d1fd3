#pragma once

#include "core/Folders.h"
#include "core/Messages.h"
#include "core/Sound.h"

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string_view>
#include <unistd.h>

namespace tarnwake::fuzz {

// The readers of files take paths; a fuzz input goes through a file of its own per process.
inline std::filesystem::path ScratchDir() {
    static const std::filesystem::path dir = [] {
        auto d = std::filesystem::temp_directory_path() /
                 ("tarnwake-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

inline void WriteBytes(const std::filesystem::path& file, const std::uint8_t* data,
                       std::size_t size) {
    std::filesystem::create_directories(file.parent_path());
    std::ofstream out(file, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
}

inline std::string_view AsText(const std::uint8_t* data, std::size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

// The shipped game folder the targets read designs, tables and charts from.
inline std::filesystem::path GameDir() {
    return TARNWAKE_FUZZ_GAME_DIR;
}

} // namespace tarnwake::fuzz
