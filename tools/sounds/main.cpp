// tarnwake-sounds: synthesises the game's sound effects (data/Sounds). See README.md.

#include "SoundSynth.h"
#include "ToolFiles.h"

int main(int argc, char** argv) {
    return tarnwake::tools::RunFileTool("tarnwake-sounds", argc, argv,
                                        tarnwake::sounds::SoundFiles());
}
