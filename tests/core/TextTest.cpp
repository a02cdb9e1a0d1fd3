#include "core/Text.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

using namespace tarnwake::core;
using tarnwake::testing::TTempDir;

TEST(Text, ParseIntegerIsStrict) {
    EXPECT_EQ(12, ParseInteger("12"));
    EXPECT_EQ(-3, ParseInteger("-3"));
    EXPECT_EQ(7, ParseInteger("+7"));
    for (const char* bad : {"", " 12", "12 ", "1 2", "0x10", "$10", "12.0", "+-1", "99999999999"}) {
        EXPECT_FALSE(ParseInteger(bad).has_value()) << '"' << bad << '"';
    }
    EXPECT_DOUBLE_EQ(12.5, *ParseReal("12.5"));
    EXPECT_FALSE(ParseReal("12,5").has_value());
}

TEST(Text, DecodesUtf8AndWindows1252) {
    EXPECT_EQ("K\xC3\xB6nig", DecodeText("K\xC3\xB6nig"));               // valid UTF-8 kept
    EXPECT_EQ("K\xC3\xB6nig", DecodeText("K\xF6nig"));                   // 1252 o-umlaut
    EXPECT_EQ("\xE2\x80\x9CSMS\xE2\x80\x9D", DecodeText("\x93SMS\x94")); // 1252 quotes
    EXPECT_EQ("\xE2\x82\xAC", DecodeText("\x80"));                       // euro sign
    EXPECT_EQ("abc", DecodeText("\xEF\xBB\xBF"
                                "abc")); // byte-order mark dropped
}

TEST(Text, SplitsCrLfAndLfAndDropsTrailingCr) {
    const TTextFile crlf = SplitTextLines("a=1\r\nb=2\r\n\r\nc=3", "x.ini");
    ASSERT_TRUE(crlf.ok);
    EXPECT_EQ((std::vector<std::string>{"a=1", "b=2", "", "c=3"}), crlf.lines);
    EXPECT_TRUE(crlf.crlf);
    const TTextFile lf = SplitTextLines("a=1\nb=2 \n", "x.ini");
    EXPECT_EQ((std::vector<std::string>{"a=1", "b=2 "}), lf.lines);
    EXPECT_FALSE(lf.crlf);
    EXPECT_TRUE(SplitTextLines("", "empty").lines.empty());
}

TEST(Text, RefusesBinaryAndCutsOverlongLinesNamingFileAndLine) {
    const TTextFile binary = SplitTextLines(std::string("ok\nbad\0line\n", 12), "ship.sdf");
    EXPECT_FALSE(binary.ok);
    EXPECT_EQ("ship.sdf, line 2: not a text file (it contains a zero byte)", binary.error);

    const std::string longLine(kMaxTextLineChars + 10, 'x');
    const TTextFile cut = SplitTextLines("first\n" + longLine + "\nlast", "big.nsc");
    ASSERT_TRUE(cut.ok);
    ASSERT_EQ(3u, cut.lines.size());
    EXPECT_EQ(kMaxTextLineChars, cut.lines[1].size());
    EXPECT_EQ("last", cut.lines[2]);
    ASSERT_EQ(1u, cut.warnings.size());
    EXPECT_NE(std::string::npos, cut.warnings[0].find("big.nsc, line 2"));
}

TEST(Text, ReadTextFileReportsMissingAndDirectories) {
    TTempDir dir;
    const auto file = dir.Write("a.txt", "x\r\ny");
    const TTextFile ok = ReadTextFile(file);
    EXPECT_TRUE(ok.ok);
    EXPECT_EQ((std::vector<std::string>{"x", "y"}), ok.lines);

    const TTextFile missing = ReadTextFile(dir.Path() / "nope.txt");
    EXPECT_FALSE(missing.ok);
    EXPECT_NE(std::string::npos, missing.error.find("nope.txt"));
    EXPECT_FALSE(ReadTextFile(dir.Path()).ok);
}
