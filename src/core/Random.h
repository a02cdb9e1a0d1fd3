#pragma once

#include <cstdint>
#include <vector>

namespace tarnwake::core {

// The one source of chance in a game. Every die roll of the rules goes through the
// generator that the world owns, so a seed given at the start reproduces a whole battle.
// The generator is our own (xoshiro256**, seeded through splitmix64) rather than a
// standard-library distribution, whose results differ between library versions.
class TRandomGenerator {
public:
    TRandomGenerator();
    explicit TRandomGenerator(std::uint64_t seed);
    virtual ~TRandomGenerator() = default;

    // A uniform whole number in 0..n-1; 0 when n <= 0.
    virtual int Random(int n);
    // A uniform real in [0, 1), for the few rules that draw a fraction.
    virtual double RandomFloat();

    void Seed(std::uint64_t seed);
    std::uint64_t SeedValue() const { return seed_; }

    // A seed from the clock, for games started without --seed.
    static std::uint64_t ClockSeed();

protected:
    std::uint64_t NextBits();

private:
    std::uint64_t seed_ = 0;
    std::uint64_t state_[4] = {};
};

// A generator that plays back a fixed script, for tests that need one exact roll.
// Each draw takes the next scripted value (clamped into 0..n-1); when the script runs out
// it starts again from the beginning, so a short script never runs dry.
class TScriptedRandom : public TRandomGenerator {
public:
    explicit TScriptedRandom(std::vector<int> script, std::vector<double> floats = {});

    int Random(int n) override;
    double RandomFloat() override;

    int DrawCount() const { return draws_; }

private:
    std::vector<int> script_;
    std::vector<double> floats_;
    std::size_t next_ = 0;
    std::size_t nextFloat_ = 0;
    int draws_ = 0;
};

} // namespace tarnwake::core
