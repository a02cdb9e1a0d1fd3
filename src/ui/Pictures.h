#pragma once

#include "core/Folders.h"

#include <QPixmap>
#include <filesystem>
#include <optional>
#include <string>

namespace tarnwake::ui {

// Pictures and flags are files anyone may drop in the folders: anything far larger than a
// photograph is refused before it is decoded.
inline constexpr qint64 kMaxPictureFileBytes = 32LL * 1024 * 1024;
inline constexpr qint64 kMaxPicturePixels = 40LL * 1000 * 1000;

// A picture from a file of the game or user folders (a JPEG file decoded with libjpeg, any
// other kind by Qt); an empty pixmap for a missing, oversized or undecodable file (no
// message: a missing picture is no fault).
QPixmap LoadPicture(const std::optional<std::filesystem::path>& file);

// A flag of the Flags folder by its file name (the nations table's or a side's), `height`
// pixels high; empty when there is no such picture. Flags are kept once loaded: the tree and
// the status bar ask for them often.
QPixmap FlagPicture(const core::TGameFolders& folders, const std::string& fileName, int height);

} // namespace tarnwake::ui
