#include "core/Sound.h"

#include <array>
#include <cstring>
#include <fstream>

namespace tarnwake::core {

namespace {

constexpr std::uint16_t kPcm = 1;
// Sound effects are short: a larger file is no effect of ours.
constexpr std::uint32_t kMaxDataBytes = 64U * 1024 * 1024;

std::uint32_t Le32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::uint16_t Le16(const unsigned char* p) {
    return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

} // namespace

std::optional<TWavFormat> ReadWavFormat(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    std::array<unsigned char, 12> riff{};
    if (!in.read(reinterpret_cast<char*>(riff.data()), riff.size()) ||
        std::memcmp(riff.data(), "RIFF", 4) != 0 || std::memcmp(riff.data() + 8, "WAVE", 4) != 0) {
        return std::nullopt;
    }
    std::error_code ec;
    const auto fileSize = std::filesystem::file_size(file, ec);
    if (ec) {
        return std::nullopt;
    }
    std::optional<TWavFormat> format;
    std::uint16_t blockAlign = 0;
    // Chunks follow one another: "fmt " before "data", others passed over.
    std::array<unsigned char, 8> header{};
    while (in.read(reinterpret_cast<char*>(header.data()), header.size())) {
        const std::uint32_t size = Le32(header.data() + 4);
        const auto at = static_cast<std::uint64_t>(in.tellg());
        if (size > kMaxDataBytes || at + size > fileSize) {
            return std::nullopt;
        }
        if (std::memcmp(header.data(), "fmt ", 4) == 0) {
            std::array<unsigned char, 16> fmt{};
            if (size < fmt.size() || !in.read(reinterpret_cast<char*>(fmt.data()), fmt.size())) {
                return std::nullopt;
            }
            TWavFormat f;
            f.Channels = Le16(fmt.data() + 2);
            f.SampleRate = static_cast<int>(Le32(fmt.data() + 4));
            blockAlign = Le16(fmt.data() + 12);
            f.BitsPerSample = Le16(fmt.data() + 14);
            const bool supported =
                Le16(fmt.data()) == kPcm && (f.Channels == 1 || f.Channels == 2) &&
                (f.BitsPerSample == 8 || f.BitsPerSample == 16) && f.SampleRate > 0 &&
                blockAlign == f.Channels * f.BitsPerSample / 8;
            if (!supported) {
                return std::nullopt;
            }
            format = f;
            in.seekg(static_cast<std::streamoff>(at + size + (size & 1)));
        } else if (std::memcmp(header.data(), "data", 4) == 0) {
            if (!format) {
                return std::nullopt;
            }
            format->Frames = size / blockAlign;
            return format;
        } else {
            in.seekg(static_cast<std::streamoff>(at + size + (size & 1)));
        }
    }
    return std::nullopt;
}

} // namespace tarnwake::core
