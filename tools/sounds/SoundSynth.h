#pragma once

// The game's sound effects, synthesised: gunfire, shell splashes, a collision, a torpedo
// launch, a torpedo hit and an explosion, each a mono 16-bit PCM WAV file. Nothing is
// recorded or sampled; every sound is noise and sine waves shaped by filters and envelopes,
// made with a fixed pseudo-random sequence so that the files come out byte for byte the same
// on every machine.

#include <string>
#include <utility>
#include <vector>

namespace tarnwake::sounds {

// Low enough for small files, high enough for the crack of a gun.
inline constexpr int kSampleRate = 11025;
inline constexpr int kBitsPerSample = 16;

// A sound of the game folder: its file name and its length in samples.
struct TSoundFile {
    std::string Name;
    int Samples = 0;
};

// Every sound the game plays, in the order the tool writes them.
std::vector<TSoundFile> GameSounds();

// The samples of a sound of GameSounds(), by its file name (empty for an unknown name).
std::vector<short> Synthesise(const std::string& name);

// The bytes of a WAV file of mono 16-bit samples.
std::string WavFile(const std::vector<short>& samples);

// Every sound as a file: its name and its bytes.
std::vector<std::pair<std::string, std::string>> SoundFiles();

} // namespace tarnwake::sounds
