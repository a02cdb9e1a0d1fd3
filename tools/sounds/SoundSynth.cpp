#include "SoundSynth.h"

#include "DetMath.h"

#include <algorithm>
#include <cstdint>
#include <functional>

namespace tarnwake::sounds {

namespace {

using ballistics::Exp;
using ballistics::kPi;
using ballistics::Sin;

constexpr double kSecond = kSampleRate;
// The loudest sample of every sound, as a share of full scale: headroom for the mixer.
constexpr double kPeak = 0.9;
constexpr double kFullScale = 32767.0;

// The noise every sound is made of: a fixed xorshift sequence, so each file is the same on
// every machine.
class TNoise {
public:
    explicit TNoise(std::uint32_t seed) : state_(seed == 0 ? 1 : seed) {}
    double Next() {
        state_ ^= state_ << 13;
        state_ ^= state_ >> 17;
        state_ ^= state_ << 5;
        return static_cast<double>(state_) / 2147483647.5 - 1.0;
    }

private:
    std::uint32_t state_;
};

// A one-pole low-pass filter with its corner frequency in hertz.
class TLowPass {
public:
    explicit TLowPass(double hertz) : a_(std::min(1.0, 2.0 * kPi * hertz / kSecond)) {}
    double operator()(double x) {
        y_ += a_ * (x - y_);
        return y_;
    }

private:
    double a_;
    double y_ = 0.0;
};

// A sine whose frequency may change from sample to sample; the phase stays within ±pi, where
// the sine is computed exactly enough.
class TOscillator {
public:
    double operator()(double hertz) {
        const double out = Sin(phase_);
        phase_ += 2.0 * kPi * hertz / kSecond;
        if (phase_ > kPi) {
            phase_ -= 2.0 * kPi;
        }
        return out;
    }

private:
    double phase_ = 0.0;
};

// A quick rise over `attack` seconds, then a fall by e every `decay` seconds.
double Envelope(double t, double attack, double decay) {
    if (t < 0.0) {
        return 0.0;
    }
    if (t < attack) {
        return t / attack;
    }
    return Exp(-(t - attack) / decay);
}

int Samples(double seconds) {
    return static_cast<int>(seconds * kSecond);
}

// A gun firing: the crack of the blast (noise through two filters), the thump of the charge
// (a sine falling in pitch) and the rumble rolling over the water after it. `shots` are the
// seconds at which the guns of the salvo go off.
struct TGun {
    std::uint32_t seed;
    double seconds;
    double crackHertz; // bigger guns: a duller crack
    double thumpHertz;
    double decay;
    std::vector<double> shots;
};

std::vector<double> Gunfire(const TGun& gun) {
    const int n = Samples(gun.seconds);
    std::vector<double> out(static_cast<std::size_t>(n), 0.0);
    TNoise noise(gun.seed);
    for (double start : gun.shots) {
        TLowPass crack1(gun.crackHertz);
        TLowPass crack2(gun.crackHertz);
        TLowPass rumble1(gun.crackHertz / 6.0);
        TLowPass rumble2(gun.crackHertz / 6.0);
        TOscillator thump;
        for (int i = Samples(start); i < n; ++i) {
            const double t = (i - Samples(start)) / kSecond;
            const double x = noise.Next();
            const double blast = crack2(crack1(x)) * 3.0 * Envelope(t, 0.002, gun.decay * 0.35);
            const double boom = rumble2(rumble1(x)) * 9.0 * Envelope(t, 0.02, gun.decay);
            const double pitch = gun.thumpHertz * (0.6 + 0.4 * Exp(-t / 0.08));
            const double body = thump(pitch) * 0.8 * Envelope(t, 0.004, gun.decay * 0.25);
            out[static_cast<std::size_t>(i)] += blast + boom + body;
        }
    }
    return out;
}

// A shell falling into the sea: the hiss of the column of water thrown up, then its spray
// coming down. `seconds` long; `brightness` the hiss's upper frequency.
std::vector<double> Splash(std::uint32_t seed, double seconds, double brightness) {
    const int n = Samples(seconds);
    std::vector<double> out(static_cast<std::size_t>(n));
    TNoise noise(seed);
    TLowPass upper(brightness);
    TLowPass lower(brightness / 8.0);
    TLowPass spray(brightness / 2.0);
    for (int i = 0; i < n; ++i) {
        const double t = i / kSecond;
        const double x = noise.Next();
        const double hiss = (upper(x) - lower(x)) * Envelope(t, 0.015, 0.18);
        const double fall = spray(x) * 0.6 * Envelope(t - 0.25, 0.1, 0.3);
        out[static_cast<std::size_t>(i)] = hiss + fall;
    }
    return out;
}

// Steel on steel: a ringing of inharmonic plates over the crunch of the impact.
std::vector<double> Collision(double seconds) {
    const int n = Samples(seconds);
    std::vector<double> out(static_cast<std::size_t>(n));
    TNoise noise(77);
    TLowPass crunch(900.0);
    static constexpr double kPlates[] = {97.0, 143.0, 211.0, 287.0, 419.0};
    TOscillator plate[std::size(kPlates)];
    for (int i = 0; i < n; ++i) {
        const double t = i / kSecond;
        double ring = 0.0;
        for (std::size_t p = 0; p < std::size(kPlates); ++p) {
            ring += plate[p](kPlates[p]) * Envelope(t, 0.003, 0.6 / (1.0 + p * 0.5));
        }
        // The grinding goes on as the hulls scrape past each other.
        const double grind = crunch(noise.Next()) * 2.5 *
                             (Envelope(t, 0.004, 0.12) + 0.4 * Envelope(t - 0.3, 0.1, 0.35));
        out[static_cast<std::size_t>(i)] = ring * 0.35 + grind;
    }
    return out;
}

// A torpedo striking: a deep underwater thud felt more than heard, and the column of water.
std::vector<double> TorpedoHit(double seconds) {
    const int n = Samples(seconds);
    std::vector<double> out(static_cast<std::size_t>(n));
    TNoise noise(4242);
    TLowPass deep1(180.0);
    TLowPass deep2(180.0);
    TOscillator thud;
    const std::vector<double> column = Splash(4243, seconds, 2200.0);
    for (int i = 0; i < n; ++i) {
        const double t = i / kSecond;
        const double pitch = 38.0 + 40.0 * Exp(-t / 0.15);
        const double low = thud(pitch) * Envelope(t, 0.01, 0.45);
        const double rumble = deep2(deep1(noise.Next())) * 6.0 * Envelope(t, 0.02, 0.5);
        out[static_cast<std::size_t>(i)] =
            low + rumble + 0.5 * column[static_cast<std::size_t>(i)] * Envelope(t - 0.1, 0.2, 1.0);
    }
    return out;
}

// A magazine going up: a blast, a second heavier one and a long rumble.
std::vector<double> Explosion(double seconds) {
    TGun blast{90210, seconds, 700.0, 42.0, 0.7, {0.0, 0.12}};
    std::vector<double> out = Gunfire(blast);
    TNoise noise(90211);
    TLowPass roll(60.0);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double t = static_cast<double>(i) / kSecond;
        out[i] += roll(noise.Next()) * 14.0 * Envelope(t - 0.1, 0.3, 0.8);
    }
    return out;
}

// A torpedo leaving its tube: the rush of compressed air, then the torpedo striking the water.
std::vector<double> TorpedoLaunch(double seconds) {
    const int n = Samples(seconds);
    std::vector<double> out(static_cast<std::size_t>(n));
    TNoise noise(31337);
    TLowPass air1(2500.0);
    TLowPass air2(400.0);
    const std::vector<double> entry = Splash(31338, seconds, 1800.0);
    constexpr double kEntry = 0.3;
    for (int i = 0; i < n; ++i) {
        const double t = i / kSecond;
        const double x = noise.Next();
        const double rush = (air1(x) - air2(x)) * Envelope(t, 0.08, 0.12);
        const int j = i - Samples(kEntry);
        out[static_cast<std::size_t>(i)] =
            rush + (j >= 0 ? 0.8 * entry[static_cast<std::size_t>(j)] : 0.0);
    }
    return out;
}

// The five gunfire sounds: a light gun, a secondary battery, two heavy turrets and a full
// broadside, so that one battle does not repeat one sound.
const std::vector<TGun>& Guns() {
    static const std::vector<TGun> guns = {
        {101, 0.7, 2600.0, 120.0, 0.18, {0.0}},
        {202, 1.0, 1900.0, 90.0, 0.25, {0.0, 0.21, 0.37}},
        {303, 1.3, 1300.0, 62.0, 0.38, {0.0}},
        {404, 1.5, 1100.0, 55.0, 0.42, {0.0, 0.09}},
        {505, 1.8, 900.0, 48.0, 0.5, {0.0, 0.05, 0.13, 0.2}},
    };
    return guns;
}

// A sound: its file, how long it lasts and how it is made for that length.
struct TRecipe {
    const char* name;
    double seconds;
    std::function<std::vector<double>(double)> make;
};

const std::vector<TRecipe>& Recipes() {
    static const std::vector<TRecipe> recipes = [] {
        std::vector<TRecipe> r = {
            {"Water.wav", 1.0, [](double seconds) { return Splash(11, seconds, 3000.0); }},
            {"Water2.wav", 1.2, [](double seconds) { return Splash(12, seconds, 2200.0); }},
            {"Collision.wav", 1.4, Collision},
            {"TorpHit.wav", 1.8, TorpedoHit},
            {"Explosion.wav", 2.0, Explosion},
            {"TorpedoLaunch.wav", 1.1, TorpedoLaunch},
        };
        static const char* const kGunfire[] = {"Gunfire1.wav", "Gunfire2.wav", "Gunfire3.wav",
                                               "Gunfire4.wav", "Gunfire5.wav"};
        for (std::size_t i = 0; i < Guns().size(); ++i) {
            r.push_back(
                {kGunfire[i], Guns()[i].seconds, [i](double) { return Gunfire(Guns()[i]); }});
        }
        return r;
    }();
    return recipes;
}

// To 16 bits, the loudest sample at kPeak of full scale, with a short fade at the end so that
// no sound stops with a click.
std::vector<short> ToPcm(const std::vector<double>& wave) {
    double loudest = 0.0;
    for (double x : wave) {
        loudest = std::max(loudest, x < 0.0 ? -x : x);
    }
    const double gain = loudest > 0.0 ? kPeak * kFullScale / loudest : 0.0;
    const std::size_t fade = static_cast<std::size_t>(Samples(0.05));
    std::vector<short> pcm(wave.size());
    for (std::size_t i = 0; i < wave.size(); ++i) {
        double x = wave[i] * gain;
        const std::size_t left = wave.size() - i;
        if (left < fade) {
            x = x * static_cast<double>(left) / static_cast<double>(fade);
        }
        pcm[i] = static_cast<short>(x < 0.0 ? x - 0.5 : x + 0.5);
    }
    return pcm;
}

void Put32(std::string& out, std::uint32_t v) {
    for (int i = 0; i < 4; ++i) {
        out.push_back(static_cast<char>((v >> (8 * i)) & 0xFF));
    }
}

void Put16(std::string& out, std::uint16_t v) {
    out.push_back(static_cast<char>(v & 0xFF));
    out.push_back(static_cast<char>(v >> 8));
}

} // namespace

std::vector<TSoundFile> GameSounds() {
    std::vector<TSoundFile> sounds;
    for (const TRecipe& recipe : Recipes()) {
        sounds.push_back({recipe.name, Samples(recipe.seconds)});
    }
    return sounds;
}

std::vector<short> Synthesise(const std::string& name) {
    for (const TRecipe& recipe : Recipes()) {
        if (name == recipe.name) {
            return ToPcm(recipe.make(recipe.seconds));
        }
    }
    return {};
}

std::string WavFile(const std::vector<short>& samples) {
    constexpr std::uint16_t kPcm = 1;
    constexpr std::uint16_t kMono = 1;
    constexpr std::uint16_t kBlockAlign = kBitsPerSample / 8;
    const auto dataBytes = static_cast<std::uint32_t>(samples.size() * kBlockAlign);
    std::string out = "RIFF";
    Put32(out, 36 + dataBytes);
    out += "WAVEfmt ";
    Put32(out, 16);
    Put16(out, kPcm);
    Put16(out, kMono);
    Put32(out, kSampleRate);
    Put32(out, kSampleRate * kBlockAlign);
    Put16(out, kBlockAlign);
    Put16(out, kBitsPerSample);
    out += "data";
    Put32(out, dataBytes);
    for (short s : samples) {
        Put16(out, static_cast<std::uint16_t>(s));
    }
    return out;
}

std::vector<std::pair<std::string, std::string>> SoundFiles() {
    std::vector<std::pair<std::string, std::string>> files;
    for (const TRecipe& recipe : Recipes()) {
        files.emplace_back(recipe.name, WavFile(Synthesise(recipe.name)));
    }
    return files;
}

} // namespace tarnwake::sounds
