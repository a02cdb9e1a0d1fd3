// tarnwake-flags: draws the nations' ensigns of the game folder (data/Flags). See README.md.

#include "FlagArt.h"
#include "ToolFiles.h"

int main(int argc, char** argv) {
    return tarnwake::tools::RunFileTool("tarnwake-flags", argc, argv, tarnwake::flags::FlagFiles());
}
