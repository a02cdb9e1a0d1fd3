#pragma once

#include <filesystem>
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
