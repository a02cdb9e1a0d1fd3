#pragma once

#include "core/Folders.h"

#include <iosfwd>

namespace tarnwake::core {
class THeadlessMessages;
class TRandomGenerator;
} // namespace tarnwake::core

namespace tarnwake::cli {

// Loads the nations table, the weapon tables and every design of the game folder and prints
// each message the loaders show. Answers the process exit code: 0 when nothing was said.
int CheckData(const core::TGameFolders& folders, core::THeadlessMessages& messages,
              std::ostream& out);

} // namespace tarnwake::cli
