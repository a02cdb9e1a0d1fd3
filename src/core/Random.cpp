#include "core/Random.h"

#include <chrono>
#include <stdexcept>

namespace tarnwake::core {

namespace {

std::uint64_t SplitMix64(std::uint64_t& x) {
    std::uint64_t z = (x += 0x9E3779B97F4A7C15ULL);
    z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ULL;
    z = (z ^ (z >> 27)) * 0x94D049BB133111EBULL;
    return z ^ (z >> 31);
}

std::uint64_t RotateLeft(std::uint64_t x, int k) {
    return (x << k) | (x >> (64 - k));
}

} // namespace

TRandomGenerator::TRandomGenerator() : TRandomGenerator(ClockSeed()) {}

TRandomGenerator::TRandomGenerator(std::uint64_t seed) {
    Seed(seed);
}

void TRandomGenerator::Seed(std::uint64_t seed) {
    seed_ = seed;
    std::uint64_t x = seed;
    for (auto& s : state_) {
        s = SplitMix64(x);
    }
}

std::uint64_t TRandomGenerator::ClockSeed() {
    return static_cast<std::uint64_t>(
        std::chrono::high_resolution_clock::now().time_since_epoch().count());
}

std::uint64_t TRandomGenerator::NextBits() {
    const std::uint64_t result = RotateLeft(state_[1] * 5, 7) * 9;
    const std::uint64_t t = state_[1] << 17;
    state_[2] ^= state_[0];
    state_[3] ^= state_[1];
    state_[1] ^= state_[2];
    state_[0] ^= state_[3];
    state_[2] ^= t;
    state_[3] = RotateLeft(state_[3], 45);
    return result;
}

int TRandomGenerator::Random(int n) {
    if (n <= 0) {
        return 0;
    }
    // Lemire's multiply-and-reject: exactly uniform, no modulo bias.
    const auto range = static_cast<std::uint64_t>(n);
    std::uint64_t x = NextBits() >> 32;
    std::uint64_t m = x * range;
    auto low = static_cast<std::uint32_t>(m);
    if (low < range) {
        const auto threshold = static_cast<std::uint32_t>(-static_cast<std::uint32_t>(range)) %
                               static_cast<std::uint32_t>(range);
        while (low < threshold) {
            x = NextBits() >> 32;
            m = x * range;
            low = static_cast<std::uint32_t>(m);
        }
    }
    return static_cast<int>(m >> 32);
}

double TRandomGenerator::RandomFloat() {
    // 53 random bits make every double in [0, 1) on the 2^-53 grid equally likely.
    return static_cast<double>(NextBits() >> 11) * 0x1.0p-53;
}

TScriptedRandom::TScriptedRandom(std::vector<int> script, std::vector<double> floats)
    : TRandomGenerator(0), script_(std::move(script)), floats_(std::move(floats)) {}

TScriptedRandom TScriptedRandom::Repeating(std::vector<int> script, std::vector<double> floats) {
    TScriptedRandom random(std::move(script), std::move(floats));
    random.repeating_ = true;
    return random;
}

void TScriptedRandom::RanOut(const char* what) {
    const std::string text =
        std::string("The scripted ") + what + " ran out after " + std::to_string(draws_) + " draws";
    if (OnExhausted) {
        OnExhausted(text);
        return;
    }
    throw std::out_of_range(text);
}

int TScriptedRandom::Random(int n) {
    ++draws_;
    // An empty range takes no value, as the real generator draws nothing for it.
    if (n <= 0) {
        return 0;
    }
    if (repeating_ && next_ == script_.size()) {
        next_ = 0;
    }
    if (next_ >= script_.size()) {
        RanOut("random numbers");
        return 0;
    }
    int value = script_[next_++];
    if (value < 0) {
        value = 0;
    }
    return value >= n ? n - 1 : value;
}

double TScriptedRandom::RandomFloat() {
    if (repeating_ && nextFloat_ == floats_.size()) {
        nextFloat_ = 0;
    }
    if (nextFloat_ >= floats_.size()) {
        RanOut("fractions");
        return 0.0;
    }
    return floats_[nextFloat_++];
}

} // namespace tarnwake::core
