#include "map/PositionText.h"
#include "core/Messages.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

using namespace tarnwake::map;
using tarnwake::core::THeadlessMessages;

namespace {

TGeoPos Dms(int lonD, int lonM, int lonS, int latD, int latM, int latS) {
    const auto v = [](int d, int m, int s) {
        const int sign = (d < 0 || m < 0 || s < 0) ? -1 : 1;
        return sign * (std::abs(d) * 5'400'000 + std::abs(m) * 90'000 + std::abs(s) * 1'500);
    };
    return TGeoPos{v(lonD, lonM, lonS), v(latD, latM, latS), 0};
}

} // namespace

TEST(PositionText, WritesDegreesMinutesSecondsWithHemispheres) {
    EXPECT_EQ("00000E 00000N", PositionToText(TGeoPos{}));
    EXPECT_EQ("43000E 565959N", PositionToText(Dms(4, 30, 0, 56, 59, 59)));
    EXPECT_EQ("1783005W 520001S", PositionToText(Dms(-178, -30, -5, -52, 0, -1)));
    // Values are truncated: a point 1,499 units short of the next second keeps its second.
    EXPECT_EQ("10001E 00000N", PositionToText(TGeoPos{5'400'000 + 1'500 + 1'499, 1'499, 0}));
}

TEST(PositionText, PatternsWithoutHemisphereUseAMinusSign) {
    EXPECT_EQ("-4 30", FormatAngle(-(4 * 5'400'000 + 30 * 90'000), "%d %m"));
    EXPECT_EQ("4 30", FormatAngle(4 * 5'400'000 + 30 * 90'000, "%D %M"));
    EXPECT_EQ("deg:4x", FormatAngle(4 * 5'400'000, "deg:%d%x"))
        << "an unknown field letter is copied";
    EXPECT_EQ("4W", FormatAngle(-4 * 5'400'000, "%d%E"));
    // The most negative value has no positive twin; its magnitude is still written.
    EXPECT_EQ("-1708031858676", FormatAngle(std::numeric_limits<std::int64_t>::min(), "%d"));
}

TEST(PositionText, ReadsWhatItWrites) {
    THeadlessMessages messages(nullptr);
    for (const TGeoPos p : {Dms(4, 30, 0, 56, 59, 59), Dms(-178, -30, -5, -52, 0, -1),
                            Dms(180, 0, 0, 90, 0, 0), Dms(-180, 0, 0, -90, 0, 0)}) {
        TGeoPos back{1, 1, 0};
        ASSERT_TRUE(TextToPosition(PositionToText(p), "test", true, messages, back));
        EXPECT_EQ(p, back) << PositionToText(p);
    }
    EXPECT_TRUE(messages.Shown().empty());
}

TEST(PositionText, OriginForms) {
    THeadlessMessages messages(nullptr);
    for (const char* text : {"0 0", "0E 0N", "00000E 000000N", "000000E 000000N", "0000E 0000N"}) {
        TGeoPos p{7, 7, 0};
        EXPECT_TRUE(TextToPosition(text, "origin", true, messages, p)) << text;
        EXPECT_EQ(TGeoPos{}, p) << text;
    }
    EXPECT_TRUE(messages.Shown().empty());
}

TEST(PositionText, BadTextLeavesThePositionAndReportsWithContext) {
    const char* bad[] = {
        "X X",              // the default of a missing key
        "43000E 000N",      // a latitude part of four characters
        "43000E",           // no latitude at all
        "43000E 56A959N",   // not numeric
        "43000N 565959N",   // a longitude with a latitude letter
        "46000E 560000N",   // 60 minutes
        "1810000E 000000N", // past the 180th meridian
        "43000E 910000N",   // past the pole
        "4-3000E 560000N",  // a sign inside the degrees
    };
    for (const char* text : bad) {
        THeadlessMessages messages(nullptr);
        const TGeoPos before{123, 456, 0};
        TGeoPos p = before;
        EXPECT_FALSE(TextToPosition(text, "Location location", true, messages, p)) << text;
        EXPECT_EQ(before, p) << text;
        ASSERT_EQ(1u, messages.Shown().size()) << text;
        EXPECT_EQ(std::string("Error reading position!\n") + text + "\nLocation location",
                  messages.Shown()[0].text);
    }
    THeadlessMessages quiet(nullptr);
    TGeoPos p;
    EXPECT_FALSE(TextToPosition("000N 000E", "context", false, quiet, p));
    EXPECT_TRUE(quiet.Shown().empty()) << "no report asked for";
}
