#include "core/ProfileFile.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

using namespace tarnwake::core;
using tarnwake::testing::ReadWholeFile;
using tarnwake::testing::TTempDir;

namespace {
constexpr const char* kPreferences = "; written by hand\r\n"
                                     "[Settings]\r\n"
                                     "  Autosave =  30  \r\n"
                                     "autosave=15\r\n"
                                     "WaterColor=\"$00FFFF80\"\r\n"
                                     "Name='Jellicoe'\r\n"
                                     "Odd=\"half\r\n"
                                     "; Scale=1\r\n"
                                     "no equals sign here\r\n"
                                     "\r\n"
                                     "[Break]\r\n"
                                     "BreakOnHit=5\r\n"
                                     "BreakOnSunk=x\r\n"
                                     "[settings]\r\n"
                                     "Scale=1\r\n";
}

TEST(ProfileFile, ReadsWithTheWindowsRules) {
    const auto p = TProfileFile::FromText(kPreferences, "Preferences");
    EXPECT_EQ(30, p.ReadInteger("SETTINGS", "AUTOSAVE", 60)); // case, blanks, first match
    EXPECT_EQ("$00FFFF80", p.ReadString("settings", "WaterColor", ""));
    EXPECT_EQ("Jellicoe", p.ReadString("Settings", "Name", ""));
    EXPECT_EQ("\"half", p.ReadString("Settings", "Odd", "")); // unmatched quote stays
    EXPECT_FALSE(p.ReadBool("Settings", "Scale", false));     // comment, and second section
    EXPECT_EQ(5, p.ReadInteger(" Break ", "BreakOnHit", 1));
    EXPECT_TRUE(p.ReadBool("Break", "BreakOnSunk", true)); // not a number: the default
    EXPECT_EQ(1, p.ReadInteger("Break", "BreakOnId", 1));
    EXPECT_EQ("dflt", p.ReadString("Nowhere", "Key", "dflt"));
    EXPECT_EQ((std::vector<std::string>{"Autosave", "WaterColor", "Name", "Odd"}),
              p.ReadSectionKeys("Settings"));
}

TEST(ProfileFile, MissingFileGivesDefaultsWithoutError) {
    TTempDir dir;
    TProfileFile p(dir.Path() / "Preferences");
    EXPECT_TRUE(p.LoadError().empty());
    EXPECT_EQ(60, p.ReadInteger("Settings", "Autosave", 60));
}

TEST(ProfileFile, WriteKeepsEveryOtherLineAndTheLineEnds) {
    TTempDir dir;
    const auto file = dir.Write("Preferences", kPreferences);
    std::string error;
    ASSERT_TRUE(WriteProfileString(file, "settings", "AUTOSAVE", "360", error)) << error;
    ASSERT_TRUE(WriteProfileString(file, "Break", "BreakOnTorpedoHit", "0", error)) << error;
    ASSERT_TRUE(WriteProfileString(file, "MainForm", "MainFormWidth", "1200", error)) << error;

    const std::string text = ReadWholeFile(file);
    EXPECT_EQ("; written by hand\r\n"
              "[Settings]\r\n"
              "AUTOSAVE=360\r\n"
              "autosave=15\r\n"
              "WaterColor=\"$00FFFF80\"\r\n"
              "Name='Jellicoe'\r\n"
              "Odd=\"half\r\n"
              "; Scale=1\r\n"
              "no equals sign here\r\n"
              "\r\n"
              "[Break]\r\n"
              "BreakOnHit=5\r\n"
              "BreakOnSunk=x\r\n"
              "BreakOnTorpedoHit=0\r\n"
              "[settings]\r\n"
              "Scale=1\r\n"
              "\r\n"
              "[MainForm]\r\n"
              "MainFormWidth=1200\r\n",
              text);
    EXPECT_EQ(360, TProfileFile(file).ReadInteger("Settings", "Autosave", 0));
}

TEST(ProfileFile, FailedSaveLeavesThePreviousFileWhole) {
    if (::geteuid() == 0) {
        // Root writes into read-only folders; use a path whose folder is a file instead.
        TTempDir dir;
        const auto blocker = dir.Write("blocker", "not a folder");
        std::string error;
        EXPECT_FALSE(WriteProfileString(blocker / "Preferences", "S", "K", "V", error));
        EXPECT_FALSE(error.empty());
        EXPECT_EQ("not a folder", ReadWholeFile(blocker));
        return;
    }
    TTempDir dir;
    const auto file = dir.Write("sub/Preferences", "[S]\nK=old\n");
    ::chmod((dir.Path() / "sub").c_str(), 0555);
    std::string error;
    EXPECT_FALSE(WriteProfileString(file, "S", "K", "new", error));
    EXPECT_NE(std::string::npos, error.find("Preferences"));
    EXPECT_EQ("[S]\nK=old\n", ReadWholeFile(file));
    ::chmod((dir.Path() / "sub").c_str(), 0755);
}

TEST(ProfileFile, AtomicWriteLeavesNoTemporaryFiles) {
    TTempDir dir;
    std::string error;
    ASSERT_TRUE(WriteFileAtomically(dir.Path() / "HiScores.cfg", "[Jutland]\nScore0=12\n", error));
    ASSERT_TRUE(WriteFileAtomically(dir.Path() / "HiScores.cfg", "[Jutland]\nScore0=13\n", error));
    int files = 0;
    for (const auto& entry : std::filesystem::directory_iterator(dir.Path())) {
        (void)entry;
        ++files;
    }
    EXPECT_EQ(1, files);
    EXPECT_EQ(13, TProfileFile(dir.Path() / "HiScores.cfg").ReadInteger("jutland", "score0", 0));
}

TEST(ProfileFile, UnreadableFileIsReportedAndKeptWhenRewritten) {
    TTempDir dir;
    const auto file = dir.Write("Preferences", std::string("[S]\nK=1\0\0\0", 10));
    TProfileFile p(file);
    EXPECT_NE(std::string::npos, p.LoadError().find("Preferences"));
    EXPECT_EQ(7, p.ReadInteger("S", "K", 7));
    p.WriteInteger("S", "K", 2);
    std::string error;
    ASSERT_TRUE(p.Save(error)) << error;
    EXPECT_EQ(2, TProfileFile(file).ReadInteger("S", "K", 0));
    EXPECT_EQ(10u, ReadWholeFile(dir.Path() / "Preferences.bak").size());
}

TEST(ProfileFile, KeysAndSectionsGivenTwiceAreReportedWithBothLines) {
    const auto file = TProfileFile::FromText("[Data]\n"
                                             "Speed=29\n"
                                             "; Speed=30 is a comment\n"
                                             " SPEED = 30\n"
                                             "[Guns]\n"
                                             "Main=6\n"
                                             "[data]\n"
                                             "Speed=31\n"
                                             "Speed=32\n",
                                             "Arethusa.sdf");
    EXPECT_EQ(29, file.ReadInteger("Data", "Speed", 0));
    // The keys of a section given again are never read: its own repeats are not told.
    EXPECT_EQ((std::vector<std::string>{
                  "Warning! Arethusa.sdf, line 4: [Data] SPEED is given again; line 2 counts",
                  "Warning! Arethusa.sdf, line 7: section [data] is given again; the one at line 1 "
                  "counts"}),
              file.Duplicates("Arethusa.sdf"));
}
