#pragma once

#include <cstdint>
#include <functional>
#include <string>
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

// A generator that plays back a fixed script, for tests that need exact rolls. Each draw takes
// the next scripted value (clamped into 0..n-1). A script is strict: a draw past its end is a
// fault of the test (the rule drew more often than the test says), so it throws
// std::out_of_range, or calls the test's handler when one is set. A test that means "always
// this roll" asks for a repeating script.
class TScriptedRandom : public TRandomGenerator {
public:
    explicit TScriptedRandom(std::vector<int> script, std::vector<double> floats = {});
    static TScriptedRandom Repeating(std::vector<int> script, std::vector<double> floats = {});

    int Random(int n) override;
    double RandomFloat() override;

    int DrawCount() const { return draws_; }
    // Scripted values not drawn yet.
    std::size_t Left() const { return script_.size() - next_; }
    // Called instead of throwing when the script runs out (a test framework's failure).
    std::function<void(const std::string& what)> OnExhausted;

private:
    void RanOut(const char* what);

    std::vector<int> script_;
    std::vector<double> floats_;
    std::size_t next_ = 0;
    std::size_t nextFloat_ = 0;
    int draws_ = 0;
    bool repeating_ = false;
};

} // namespace tarnwake::core
