#include "designs/NationsTable.h"
#include "designs/TableFields.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace tarnwake::designs;
using tarnwake::core::THeadlessMessages;
using tarnwake::testing::TTempDir;

namespace {

constexpr const char* kHeader = "Index\tName\tAdjective\tCode\tFlag\n";

// A nation line whose year columns each hold a different number, so that the column read
// for a year can be told from its value: flash risk 61..65 (columns 6..10), gunnery 11,
// damage control 12, shell quality 131..135 (columns 13..17), night fighting 18 and smoke
// floats 0,1,2,1,0 (columns 19..23; only the value 1 means true).
std::string MarkedLine(const std::string& name) {
    return "0\t" + name + "\t" + name + "ish\tXX\t" + name +
           ".png\t61\t62\t63\t64\t65\t11\t12\t131\t132\t133\t134\t135\t18\t0\t1\t2\t1\t0";
}

std::string FileOf(const std::vector<std::string>& lines) {
    std::string text = kHeader;
    for (const auto& line : lines) {
        text += line + "\n";
    }
    return text;
}

std::vector<std::string> ElevenNations(const std::string& prefix) {
    std::vector<std::string> lines;
    for (int i = 0; i < kNationCount; ++i) {
        lines.push_back(MarkedLine(prefix + std::to_string(i)));
    }
    return lines;
}

} // namespace

TEST(TableFields, CutsAtTabsAndAnswersTheLastColumnOfAShortLine) {
    const std::string line = "a\tb\t\td";
    EXPECT_EQ("a", TableField(line, 1));
    EXPECT_EQ("b", TableField(line, 2));
    EXPECT_EQ("", TableField(line, 3));
    EXPECT_EQ("d", TableField(line, 4));
    EXPECT_EQ("d", TableField(line, 5));  // past the end: the last column present
    EXPECT_EQ("d", TableField(line, 40)); // however far past
    EXPECT_EQ("solo", TableField("solo", 3));
    EXPECT_EQ("", TableField("", 2));
    EXPECT_EQ("", TableField("x\t", 2)); // a trailing tab leaves an empty last column
}

TEST(TableFields, NonIntegersReadAsZero) {
    EXPECT_EQ(-3, TableInteger("x\t-3", 2));
    EXPECT_EQ(7, TableInteger("x\t 7 ", 2)); // blanks of a hand-edited file are forgiven
    for (const char* bad : {"x\tone", "x\t", "x\t1.5", "x\t2a", "x\t99999999999"}) {
        EXPECT_EQ(0, TableInteger(bad, 2)) << bad;
    }
}

struct TYearCase {
    int year;
    int flashRisk;    // value of the column read
    int shellQuality; // value of the column read
    bool smokeFloats;
};

class NationYearColumns : public ::testing::TestWithParam<TYearCase> {};

TEST_P(NationYearColumns, ReadsTheColumnOfTheScenarioYear) {
    const TYearCase c = GetParam();
    const TNation nation = ParseNationLine(MarkedLine("Ruritania"), c.year);
    EXPECT_EQ(c.flashRisk, nation.FlashRisk);
    EXPECT_EQ(c.shellQuality, nation.ShellQuality);
    EXPECT_EQ(c.smokeFloats, nation.CLSmokeFloats);
    // The columns that do not depend on the year.
    EXPECT_EQ("Ruritania", nation.NationName);
    EXPECT_EQ("Ruritaniaish", nation.NationAdjective);
    EXPECT_EQ("Ruritania.png", nation.FlagPicture);
    EXPECT_EQ(11, nation.GunneryCharacteristic);
    EXPECT_EQ(12, nation.DamageControl);
    EXPECT_EQ(18, nation.NightFighting);
}

INSTANTIATE_TEST_SUITE_P(
    Years, NationYearColumns,
    ::testing::Values(TYearCase{1905, 61, 131, false},
                      TYearCase{1910, 61, 131, false}, // same as 1914
                      TYearCase{1913, 61, 131, false}, TYearCase{1914, 61, 131, false},
                      TYearCase{1915, 62, 132, true}, TYearCase{1916, 63, 133, false}, // 2 is not 1
                      TYearCase{1917, 64, 134, true}, TYearCase{1918, 65, 135, false},
                      TYearCase{1919, 65, 135, false}, TYearCase{1925, 65, 135, false}));

TEST(NationsTable, ALineEndingAfterColumn12ReadsColumn12ForTheLaterFields) {
    const std::string shortLine = "3\tShortland\tShort\tSH\tShort.png\t2\t2\t2\t2\t2\t0\t1";
    for (int year : {1912, 1916, 1925}) {
        const TNation nation = ParseNationLine(shortLine, year);
        EXPECT_EQ(2, nation.FlashRisk);
        EXPECT_EQ(1, nation.DamageControl);
        EXPECT_EQ(1, nation.ShellQuality) << year;
        EXPECT_EQ(1, nation.NightFighting) << year;
        EXPECT_TRUE(nation.CLSmokeFloats) << year;
    }
}

TEST(NationsTable, NonNumericCharacteristicsReadAsZero) {
    const TNation nation =
        ParseNationLine("0\tX\tXish\tXX\tX.png\thigh\t\t\t\t\tgood\t-\t?\t\t\t\t\tyes\tno", 1914);
    EXPECT_EQ(0, nation.FlashRisk);
    EXPECT_EQ(0, nation.GunneryCharacteristic);
    EXPECT_EQ(0, nation.DamageControl);
    EXPECT_EQ(0, nation.ShellQuality);
    EXPECT_EQ(0, nation.NightFighting);
    EXPECT_FALSE(nation.CLSmokeFloats);
}

TEST(NationsTable, LoadsElevenNationsForTheYear) {
    TTempDir dir;
    dir.Write("Nations.dat", FileOf(ElevenNations("N")));
    TNationsTable table;
    THeadlessMessages messages(nullptr);
    ASSERT_TRUE(table.Load(dir.Path(), 1916, messages));
    EXPECT_TRUE(messages.Shown().empty());
    EXPECT_EQ("N0", table[0].NationName);
    EXPECT_EQ("N10", table[kHighestNationIndex].NationName);
    EXPECT_EQ(63, table[kHighestNationIndex].FlashRisk);
    // Read again for another year when the next scenario is loaded.
    ASSERT_TRUE(table.Load(dir.Path(), 1918, messages));
    EXPECT_EQ(65, table[4].FlashRisk);
    // Outside 0..10 there is no nation, and asking is harmless.
    EXPECT_EQ("", table[-1].NationName);
    EXPECT_EQ("", table[kNationCount].NationName);
}

TEST(NationsTable, MissingFileShowsThePathAndKeepsThePreviousTable) {
    TTempDir dir;
    dir.Write("Data/Nations.dat", FileOf(ElevenNations("Old")));
    TNationsTable table;
    THeadlessMessages messages(nullptr);
    ASSERT_TRUE(table.Load(dir.Path() / "Data", 1914, messages));

    const auto missing = dir.Path() / "Elsewhere";
    EXPECT_FALSE(table.Load(missing, 1918, messages));
    ASSERT_EQ(1u, messages.Texts().size());
    EXPECT_EQ("Cannot find nations file!\n" + (missing / "Nations.dat").string(),
              messages.Texts()[0]);
    EXPECT_EQ("Old3", table[3].NationName);
    EXPECT_EQ(61, table[3].FlashRisk); // still the 1914 figures
}

TEST(NationsTable, TooFewLinesKeepsTheNationsReadAndReportsTheFile) {
    TTempDir dir;
    dir.Write("Nations.dat", FileOf(ElevenNations("Old")));
    TNationsTable table;
    THeadlessMessages messages(nullptr);
    ASSERT_TRUE(table.Load(dir.Path(), 1914, messages));

    std::vector<std::string> four = ElevenNations("New");
    four.resize(4);
    const auto file = dir.Write("Nations.dat", FileOf(four));
    EXPECT_FALSE(table.Load(dir.Path(), 1914, messages));
    ASSERT_EQ(1u, messages.Texts().size());
    const std::string text = messages.Texts()[0];
    EXPECT_EQ(0u, text.find("Error loading nation table\n")) << text;
    EXPECT_NE(std::string::npos, text.find(file.string() + ", line 6")) << text;
    EXPECT_EQ("New3", table[3].NationName);
    EXPECT_EQ("Old4", table[4].NationName);
}

TEST(NationsTable, AFileThatIsNotTextIsAnErrorNotACrash) {
    TTempDir dir;
    dir.Write("Nations.dat", std::string("Index\tName\n0\tA\0B\n", 17));
    TNationsTable table;
    THeadlessMessages messages(nullptr);
    EXPECT_FALSE(table.Load(dir.Path(), 1914, messages));
    ASSERT_EQ(1u, messages.Texts().size());
    EXPECT_EQ(0u, messages.Texts()[0].find("Error loading nation table\n"));
}

TEST(ShippedNations, FollowTheFixedOrderAndTheWartimeReforms) {
    TNationsTable table;
    THeadlessMessages messages(nullptr);
    const auto dataDir = tarnwake::testing::ShippedGameDir() / "Data";
    ASSERT_TRUE(table.Load(dataDir, 1916, messages));
    EXPECT_TRUE(messages.Shown().empty());
    const std::vector<std::string> names = {
        "Great Britain", "Germany", "France",         "United States", "Austria-Hungary", "Italy",
        "Russia",        "Japan",   "Ottoman Empire", "Australia",     "Unspecified"};
    for (int i = 0; i < kNationCount; ++i) {
        EXPECT_EQ(names[static_cast<std::size_t>(i)], table[i].NationName);
        EXPECT_FALSE(table[i].FlagPicture.empty());
    }
    EXPECT_EQ("Unspecified", table[kHighestNationIndex].NationAdjective);

    // British cordite handling was reformed after Jutland, and the improved shells came in
    // 1918: flash risk falls from 1917, defective shells end in 1918.
    const TNation british1916 = table[0];
    ASSERT_TRUE(table.Load(dataDir, 1917, messages));
    EXPECT_LT(table[0].FlashRisk, british1916.FlashRisk);
    EXPECT_EQ(-1, british1916.ShellQuality);
    EXPECT_EQ(-1, table[0].ShellQuality);
    ASSERT_TRUE(table.Load(dataDir, 1918, messages));
    EXPECT_EQ(0, table[0].ShellQuality);
    EXPECT_TRUE(messages.Shown().empty());
}
