#pragma once

#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace tarnwake::core {

// Sound effects: a WAV file from the game's Sounds folder, played without waiting; a new
// sound cuts off the one still playing, as the game always did.
class ISound {
public:
    virtual ~ISound() = default;
    virtual void PlaySound(const std::filesystem::path& wavFile) = 0;
    virtual void StopSound() = 0;
};

// What a WAV file of sound holds, as its header says.
struct TWavFormat {
    int Channels = 0;
    int SampleRate = 0;
    int BitsPerSample = 0;
    std::int64_t Frames = 0; // samples per channel
    double Seconds() const { return SampleRate > 0 ? static_cast<double>(Frames) / SampleRate : 0; }
};
// The format of a PCM WAV file (uncompressed, 8 or 16 bits, one or two channels, its data all
// there); nothing for a missing file or any other kind.
std::optional<TWavFormat> ReadWavFormat(const std::filesystem::path& file);

// Plays nothing; remembers what it was asked to play, so tests can check the sound rules.
class TSilentSound : public ISound {
public:
    void PlaySound(const std::filesystem::path& wavFile) override {
        played_.push_back(wavFile.filename().string());
    }
    void StopSound() override {}

    const std::vector<std::string>& Played() const { return played_; }
    void Clear() { played_.clear(); }

private:
    std::vector<std::string> played_;
};

} // namespace tarnwake::core
