#pragma once

// The nations' flags of the game folder (data/Flags), drawn from their simple geometry: the
// naval ensigns as the fleets flew them in 1914-1918. Each flag is a list of shapes in a
// colour, painted one over another and sampled sixteen times a pixel, and written as a PNG
// file; the shapes are plain arithmetic, so the files come out byte for byte the same on every
// machine.

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace tarnwake::flags {

// Every flag is this many pixels high; its width follows the ensign's proportions.
inline constexpr int kFlagPixelHeight = 48;

struct TRgb {
    std::uint8_t r = 0;
    std::uint8_t g = 0;
    std::uint8_t b = 0;
    bool operator==(const TRgb&) const = default;
};

// A picture of rows of pixels, top row first.
struct TPicture {
    int width = 0;
    int height = 0;
    std::vector<TRgb> pixels;
    const TRgb& At(int x, int y) const {
        return pixels[static_cast<std::size_t>(y) * static_cast<std::size_t>(width) +
                      static_cast<std::size_t>(x)];
    }
};

// The flags by the file names of the nations table, in its order.
std::vector<std::string> FlagFileNames();

// The picture of a flag of FlagFileNames() (an empty picture for an unknown name).
TPicture DrawFlag(const std::string& fileName);

// The bytes of a PNG file of the picture (8-bit RGB, stored without compression).
std::string PngFile(const TPicture& picture);

// Every flag as a file: its name and its bytes.
std::vector<std::pair<std::string, std::string>> FlagFiles();

} // namespace tarnwake::flags
