#pragma once

#include <QImage>
#include <cstdint>
#include <filesystem>

namespace tarnwake::ui {

// Whether the bytes open as a JPEG file does (the start-of-image marker).
bool LooksLikeJpeg(const std::filesystem::path& file);

// A JPEG picture decoded with libjpeg, as RGB; a null image for a missing file, one larger
// than the limits, or one libjpeg cannot decode (a damaged or truncated file is no fault of
// the game's: the picture is simply not available).
QImage DecodeJpeg(const std::filesystem::path& file, std::int64_t maxFileBytes,
                  std::int64_t maxPixels);

} // namespace tarnwake::ui
