#include "core/Sound.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

using namespace tarnwake::core;
using tarnwake::testing::TTempDir;

namespace {

void Put16(std::string& out, std::uint32_t v) {
    out += static_cast<char>(v & 0xFF);
    out += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(std::string& out, std::uint32_t v) {
    Put16(out, v & 0xFFFF);
    Put16(out, v >> 16);
}

// The parts of a WAV file a test may spoil.
struct TWav {
    std::uint16_t formatTag = 1;
    std::uint16_t channels = 1;
    std::uint32_t rate = 11025;
    std::uint16_t bits = 16;
    std::uint32_t dataBytes = 400;
    std::uint32_t dataBytesClaimed = 400;
    bool extraChunkFirst = false;
    bool dataFirst = false;

    std::string Bytes() const {
        std::string fmt = "fmt ";
        Put32(fmt, 16);
        Put16(fmt, formatTag);
        Put16(fmt, channels);
        Put32(fmt, rate);
        Put32(fmt, rate * channels * bits / 8);
        Put16(fmt, static_cast<std::uint16_t>(channels * bits / 8));
        Put16(fmt, bits);
        std::string data = "data";
        Put32(data, dataBytesClaimed);
        data += std::string(dataBytes, '\0');
        std::string body = "WAVE";
        if (extraChunkFirst) {
            body += "LIST";
            Put32(body, 3);
            body += "abc";
            body += '\0'; // chunks are padded to an even length
        }
        body += dataFirst ? data + fmt : fmt + data;
        std::string out = "RIFF";
        Put32(out, static_cast<std::uint32_t>(body.size()));
        return out + body;
    }
};

} // namespace

TEST(WavFormat, ReadsThePcmFilesTheGamePlays) {
    TTempDir dir;
    TWav mono;
    auto format = ReadWavFormat(dir.Write("Mono.wav", mono.Bytes()));
    ASSERT_TRUE(format);
    EXPECT_EQ(1, format->Channels);
    EXPECT_EQ(11025, format->SampleRate);
    EXPECT_EQ(16, format->BitsPerSample);
    EXPECT_EQ(200, format->Frames);
    EXPECT_DOUBLE_EQ(200.0 / 11025, format->Seconds());

    // Stereo 8-bit, behind a chunk the game has no use for.
    TWav stereo;
    stereo.channels = 2;
    stereo.bits = 8;
    stereo.rate = 22050;
    stereo.extraChunkFirst = true;
    format = ReadWavFormat(dir.Write("Stereo.wav", stereo.Bytes()));
    ASSERT_TRUE(format);
    EXPECT_EQ(2, format->Channels);
    EXPECT_EQ(200, format->Frames);
}

TEST(WavFormat, RefusesWhatIsNoPlayablePcmFile) {
    const auto spoilt = [](auto spoil) {
        TWav wav;
        spoil(wav);
        return wav.Bytes();
    };
    const struct {
        const char* what;
        std::string bytes;
    } cases[] = {
        {"compressed", spoilt([](TWav& w) { w.formatTag = 2; })},
        {"floating point", spoilt([](TWav& w) { w.formatTag = 3; })},
        {"24-bit", spoilt([](TWav& w) { w.bits = 24; })},
        {"six channels", spoilt([](TWav& w) { w.channels = 6; })},
        {"no sample rate", spoilt([](TWav& w) { w.rate = 0; })},
        {"data before its format", spoilt([](TWav& w) { w.dataFirst = true; })},
        {"data cut short", spoilt([](TWav& w) { w.dataBytesClaimed = 100000; })},
        {"no data at all",
         spoilt([](TWav& w) { w.dataBytes = w.dataBytesClaimed = 0; }).substr(0, 36)},
        {"not RIFF", "RIFX" + TWav().Bytes().substr(4)},
        {"a text file", "Water.wav"},
        {"empty", ""},
    };
    TTempDir dir;
    for (const auto& c : cases) {
        EXPECT_FALSE(ReadWavFormat(dir.Write("Bad.wav", c.bytes))) << c.what;
    }
    EXPECT_FALSE(ReadWavFormat(dir.Path() / "Missing.wav"));
}
