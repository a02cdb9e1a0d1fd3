#include "core/Colour.h"

#include <gtest/gtest.h>

using namespace tarnwake::core;

TEST(Colour, ValuesAreBlueGreenRed) {
    EXPECT_EQ(0x00FFFF80, RgbToColor(0x80, 0xFF, 0xFF));
    const TRgb water = ColorToRgb(0x00FFFF80); // the fair-weather sea: light cyan
    EXPECT_EQ((TRgb{0x80, 0xFF, 0xFF}), water);
    EXPECT_EQ((TRgb{0xF4, 0xF7, 0x9D}), ColorToRgb(0x009DF7F4)); // the land colour
    EXPECT_EQ(colors::Red, RgbToColor(255, 0, 0));
}

TEST(Colour, TextRoundTripsAndReadsNames) {
    EXPECT_EQ("$00FFFF80", ColorToText(0x00FFFF80));
    EXPECT_EQ("$00000080", ColorToText(128));
    EXPECT_EQ(0x00AFBF3E, TextToColor("$00AFBF3E"));
    EXPECT_EQ(0x00AFBF3E, TextToColor("$00afbf3e"));
    EXPECT_EQ(colors::Navy, TextToColor("clNavy"));
    EXPECT_EQ(colors::Navy, TextToColor("CLNAVY"));
    EXPECT_EQ(colors::Silver, TextToColor("clLtGray"));
    EXPECT_EQ(8421504, TextToColor("8421504")); // plain numbers, as older files have
    EXPECT_EQ("clGray", ColorName(8421504));
    EXPECT_EQ("", ColorName(0x123456));
    for (const char* bad : {"", "$", "$G0000000", "$123456789", "clPlaid", "12abc"}) {
        EXPECT_FALSE(TextToColor(bad).has_value()) << bad;
    }
}
