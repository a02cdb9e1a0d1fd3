#include "scenario/SectionReader.h"
#include "core/Messages.h"

#include "support/TestSupport.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

using tarnwake::scenario::TSectionReader;

namespace {
constexpr const char* kScenario = "[Environment]\r\n"
                                  "Year=1916\r\n"
                                  "Title=Jutland \r\n"
                                  "[DIVISION0]\r\n"
                                  "DivisionName=1st BCS\r\n"
                                  "Course =90\r\n"
                                  "Speed= 25\r\n"
                                  " Role=3\r\n"
                                  "Formation=1 \r\n"
                                  "course=45\r\n"
                                  "Probability=-1\r\n"
                                  "Probability=50\r\n"
                                  "Historical=1\r\n"
                                  "AIControl=yes\r\n"
                                  "Base=\r\n"
                                  "Ship0Name=Lion=flagship\r\n"
                                  "[Division0]\r\n"
                                  "DivisionName=Shadow\r\n"
                                  "[Division1] \r\n"
                                  "DivisionName=Lost\r\n"
                                  "[Division2]\r\n"
                                  "Side=1\r\n"
                                  "[Notes\r\n"
                                  "Speed=3\r\n";
}

TEST(SectionReader, SectionNamesIgnoreCaseButMustFillTheLine) {
    const auto r = TSectionReader::FromText(kScenario);
    EXPECT_TRUE(r.SectionExists("division0"));
    EXPECT_EQ("1st BCS", r.ReadString("Division0", "DivisionName", "XX")); // first section wins
    EXPECT_FALSE(r.SectionExists("Division1")); // "[Division1] " has a trailing blank
    EXPECT_EQ(1, r.ReadInteger("Division2", "Side", 0));
    // A line beginning with "[" ends the section even when it names none.
    EXPECT_EQ(12, r.ReadInteger("Division2", "Speed", 12));
}

TEST(SectionReader, KeysAreExactAndValuesUntrimmed) {
    const auto r = TSectionReader::FromText(kScenario);
    EXPECT_EQ(12, r.ReadInteger("Division0", "Course", 12));         // blank before "=": not found
    EXPECT_EQ(12, r.ReadInteger("Division0", "Speed", 12));          // " 25" is not a number
    EXPECT_EQ(0, r.ReadInteger("Division0", "Role", 0));             // blank before the key
    EXPECT_EQ(0, r.ReadInteger("Division0", "Formation", 0));        // "1 " is not a number
    EXPECT_EQ(45, r.ReadInteger("Division0", "course", 12));         // keys are case-sensitive
    EXPECT_EQ(-1, r.ReadInteger("Division0", "Probability", 0));     // first entry wins
    EXPECT_EQ("Jutland ", r.ReadString("Environment", "Title", "")); // trailing blank kept
    EXPECT_EQ("Lion=flagship", r.ReadString("Division0", "Ship0Name", "XX"));
    EXPECT_EQ("none", r.ReadString("Division0", "Base", "none")); // empty value: default
}

TEST(SectionReader, BooleansAreOneOrZeroOnly) {
    const auto r = TSectionReader::FromText(kScenario);
    EXPECT_TRUE(r.ReadBool("Division0", "Historical", false));
    EXPECT_FALSE(r.ReadBool("Division0", "AIControl", false)); // "yes" is not a boolean
    EXPECT_TRUE(r.ReadBool("Division0", "AIControl", true));
    EXPECT_TRUE(r.ReadBool("Nowhere", "Historical", true));
}

TEST(SectionReader, BadFilesGiveAnErrorNamingTheFile) {
    tarnwake::testing::TTempDir dir;
    const auto missing = TSectionReader::FromFile(dir.Path() / "Nowhere.nsc");
    EXPECT_FALSE(missing.Ok());
    EXPECT_NE(std::string::npos, missing.Error().find("Nowhere.nsc"));
    const auto binary =
        TSectionReader::FromFile(dir.Write("Bad.nsc", std::string("[A]\nB=\0\1\2", 9)));
    EXPECT_NE(std::string::npos, binary.Error().find("Bad.nsc, line 2"));
    EXPECT_EQ(5, binary.ReadInteger("A", "B", 5));
    const auto empty = TSectionReader::FromFile(dir.Write("Empty.nsc", ""));
    EXPECT_TRUE(empty.Ok());
    EXPECT_EQ("XX", empty.ReadString("Division0", "DivisionName", "XX"));
}

TEST(SectionReaderProvenance, KeysAndSectionsGivenTwiceAreReportedWithBothLines) {
    const auto reader = tarnwake::scenario::TSectionReader::FromText(
        "[Division0]\nCourse=90\nSpeed=12\nCourse=180\n[division0]\nCourse=270\n"
        "[Division1]\nSpeed=8\n",
        "Mine.nsc");
    // The reader's rule stands: the first key and the first section count.
    EXPECT_EQ(90, reader.ReadInteger("Division0", "Course", 0));
    EXPECT_EQ(2, reader.LineOf("Division0", "Course"));
    EXPECT_EQ(1, reader.LineOf("Division0"));
    EXPECT_EQ(0, reader.LineOf("Division0", "Role"));
    EXPECT_EQ("Mine.nsc, line 8, [Division1] Speed", reader.Where("Division1", "Speed"));
    EXPECT_EQ("Mine.nsc, [Division1] Role", reader.Where("Division1", "Role"));
    EXPECT_THAT(reader.Duplicates(),
                ::testing::ElementsAre(
                    "Warning! Mine.nsc, line 4: [Division0] Course is given again; line 2 counts",
                    "Warning! Mine.nsc, line 5: section [division0] is given again; the one at "
                    "line 1 counts"));
}

TEST(SectionReaderProvenance, ARangedKeyRefusesWhatLiesOutsideWithWhereItStands) {
    const auto reader = tarnwake::scenario::TSectionReader::FromText(
        "[Division0]\nCourse=9999\nSpeed=fast\nRole=3\nFormation=-1\n", "Mine.nsc");
    tarnwake::core::THeadlessMessages messages(nullptr);
    EXPECT_EQ(12, reader.ReadIntegerInRange("Division0", "Course", 12, 0, 359, messages));
    EXPECT_EQ(12, reader.ReadIntegerInRange("Division0", "Speed", 12, 0, 40, messages));
    EXPECT_EQ(3, reader.ReadIntegerInRange("Division0", "Role", 0, 0, 5, messages));
    EXPECT_EQ(0, reader.ReadIntegerInRange("Division0", "Formation", 0, 0, 3, messages));
    EXPECT_EQ(7, reader.ReadIntegerInRange("Division0", "Missing", 7, 0, 5, messages));
    EXPECT_THAT(messages.Texts(),
                ::testing::ElementsAre(
                    "Warning! Mine.nsc, line 2, [Division0] Course=9999 is outside 0..359; 12 used",
                    "Warning! Mine.nsc, line 3, [Division0] Speed=fast is not a whole number; 12 "
                    "used",
                    "Warning! Mine.nsc, line 5, [Division0] Formation=-1 is outside 0..3; 0 used"));
}

TEST(SectionReaderProvenance, ACodedKeyRefusesTheGapsBetweenItsCodes) {
    const auto reader = tarnwake::scenario::TSectionReader::FromText(
        "[Division0]\nSide=2\n[Division1]\nSide=3\n[Division2]\nSide=one\n[Force0]\nSide=-1\n",
        "Mine.nsc");
    tarnwake::core::THeadlessMessages messages(nullptr);
    EXPECT_EQ(0, reader.ReadIntegerOneOf("Division0", "Side", 0, {0, 1, 3}, messages));
    EXPECT_EQ(3, reader.ReadIntegerOneOf("Division1", "Side", 0, {0, 1, 3}, messages));
    EXPECT_EQ(0, reader.ReadIntegerOneOf("Division2", "Side", 0, {0, 1, 3}, messages));
    EXPECT_EQ(-1, reader.ReadIntegerOneOf("Force0", "Side", -1, {0, 1}, messages));
    EXPECT_EQ(1, reader.ReadIntegerOneOf("Force1", "Side", 1, {0, 1}, messages));
    EXPECT_THAT(messages.Texts(),
                ::testing::ElementsAre(
                    "Warning! Mine.nsc, line 2, [Division0] Side=2 is not 0, 1 or 3; 0 used",
                    "Warning! Mine.nsc, line 6, [Division2] Side=one is not a whole number; 0 used",
                    "Warning! Mine.nsc, line 8, [Force0] Side=-1 is not 0 or 1; -1 used"));
}
