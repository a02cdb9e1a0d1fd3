#include "core/Folders.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <iterator>

using namespace tarnwake::core;
using tarnwake::testing::TTempDir;

TEST(Folders, FindsWindowsNamesWithoutRegardToCase) {
    TTempDir dir;
    const auto file = dir.Write("Designs/Iron Duke.sdf", "x");
    EXPECT_EQ(file, FindFileNoCase(dir.Path(), "Designs\\Iron Duke.sdf"));
    EXPECT_EQ(file, FindFileNoCase(dir.Path(), "designs\\IRON DUKE.SDF"));
    EXPECT_EQ(file, FindFileNoCase(dir.Path(), "DESIGNS/iron duke.sdf"));
    EXPECT_FALSE(FindFileNoCase(dir.Path(), "Designs\\Orion.sdf"));
    // Names may not climb out of the folder.
    for (const char* bad : {"..\\secret", "Designs/../../x", "/etc/passwd", "C:\\x", ""}) {
        EXPECT_FALSE(FindFileNoCase(dir.Path(), bad)) << bad;
    }
}

TEST(Folders, ListsByExtensionSorted) {
    TTempDir dir;
    dir.Write("Scenarios/Jutland.nsc", "");
    dir.Write("Scenarios/Coronel.NSC", "");
    dir.Write("Scenarios/Jutland.txt", "");
    const auto files = ListFilesWithExtension(dir.Path() / "Scenarios", ".nsc");
    ASSERT_EQ(2u, files.size());
    EXPECT_EQ("Coronel.NSC", files[0].filename());
    EXPECT_EQ("Jutland.nsc", files[1].filename());
    EXPECT_TRUE(ListFilesWithExtension(dir.Path() / "nowhere", ".nsc").empty());
}

TEST(Folders, CustomFilesOverrideShippedOnes) {
    TTempDir game;
    TTempDir user;
    const auto shipped = game.Write("Designs/Lion.sdf", "shipped");
    game.Write("Designs/Tiger.sdf", "shipped");
    const auto custom = user.Write("Custom Files/lion.SDF", "custom");
    TGameFolders folders(game.Path(), user.Path());
    EXPECT_EQ(custom, folders.WithCustomOverride(shipped));
    EXPECT_EQ(game.Path() / "Designs/Tiger.sdf",
              folders.WithCustomOverride(game.Path() / "Designs/Tiger.sdf"));
    EXPECT_EQ(shipped, folders.FindGameFile("designs\\lion.sdf"));
}

TEST(Folders, ResolveTakesArgumentsThenEnvironmentThenDefaults) {
    TTempDir dir;
    const auto programDir = dir.Path() / "bin";
    std::filesystem::create_directories(programDir / "data");
    ::unsetenv("TARNWAKE_GAME_DIR");
    ::unsetenv("TARNWAKE_USER_DIR");
    ::setenv("XDG_DATA_HOME", (dir.Path() / "xdg").c_str(), 1);

    auto f = TGameFolders::Resolve(std::nullopt, std::nullopt, programDir / "tarnwake-cli");
    EXPECT_EQ(std::filesystem::weakly_canonical(programDir / "data"), f.GameDir());
    EXPECT_EQ(dir.Path() / "xdg" / "tarnwake", f.UserDir());
    EXPECT_EQ(dir.Path() / "xdg" / "tarnwake" / "Custom Files", f.CustomFilesDir());

    ::setenv("TARNWAKE_GAME_DIR", "/games/tw", 1);
    ::setenv("TARNWAKE_USER_DIR", "/users/tw", 1);
    f = TGameFolders::Resolve(std::nullopt, std::nullopt, programDir / "tarnwake-cli");
    EXPECT_EQ("/games/tw", f.GameDir());
    EXPECT_EQ("/users/tw", f.UserDir());

    f = TGameFolders::Resolve(std::filesystem::path("/a"), std::filesystem::path("/b"),
                              programDir / "tarnwake-cli");
    EXPECT_EQ("/a", f.GameDir());
    EXPECT_EQ("/b", f.UserDir());
    ::unsetenv("TARNWAKE_GAME_DIR");
    ::unsetenv("TARNWAKE_USER_DIR");

    std::string error;
    TGameFolders made(dir.Path(), dir.Path() / "user");
    ASSERT_TRUE(made.EnsureUserFolders(error)) << error;
    EXPECT_TRUE(std::filesystem::is_directory(dir.Path() / "user" / "Save"));
}

TEST(Folders, AUserFolderThatCannotBeMadeIsReportedAtOnce) {
    TTempDir dir;
    std::string error;
    TGameFolders made(dir.Path(), dir.Path() / "user");
    ASSERT_TRUE(made.EnsureUserFolders(error)) << error;
    // Nothing of the check is left behind.
    EXPECT_EQ(2, std::distance(std::filesystem::directory_iterator(dir.Path() / "user"),
                               std::filesystem::directory_iterator()));

    // A file where the folder should be: no one, not even the administrator, can make it.
    const auto blocked = dir.Write("occupied", "a file");
    TGameFolders refused(dir.Path(), blocked / "tarnwake");
    EXPECT_FALSE(refused.EnsureUserFolders(error));
    EXPECT_NE(std::string::npos, error.find("Cannot create folder " + blocked.string())) << error;
}

// A folder that refuses files, where the system enforces that for this user.
TEST(Folders, AUserFolderThatRefusesFilesIsReportedAtOnce) {
    TTempDir dir;
    std::string error;
    const auto readOnly = dir.Path() / "read-only";
    std::filesystem::create_directories(readOnly / "Save");
    std::filesystem::create_directories(readOnly / "Custom Files");
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_read |
                                               std::filesystem::perms::owner_exec);
    if (std::ofstream(readOnly / "x")) {
        GTEST_SKIP() << "this user may write in a read-only folder";
    }
    EXPECT_FALSE(TGameFolders(dir.Path(), readOnly).EnsureUserFolders(error));
    EXPECT_NE(std::string::npos, error.find("Cannot write in folder " + readOnly.string()))
        << error;
    std::filesystem::permissions(readOnly, std::filesystem::perms::owner_all);
}
