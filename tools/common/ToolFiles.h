#pragma once

// The command line every data tool that makes shipped files answers: --out DIR writes them,
// --check DIR compares the files in DIR with what the tool makes, byte for byte.

#include <string>
#include <utility>
#include <vector>

namespace tarnwake::tools {

// A file a tool makes: its name and its bytes.
using TMadeFile = std::pair<std::string, std::string>;

// Runs the tool's command line over the files it makes; answers the exit code (0 done or all
// equal, 1 a file could not be written or differs, 2 a wrong command line).
int RunFileTool(const char* toolName, int argc, char** argv, const std::vector<TMadeFile>& files);

} // namespace tarnwake::tools
