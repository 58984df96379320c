// Where the show's files come from: the order of the places, what counts as holding the files,
// and an error that names every place tried; then the same search in the real program.
#include "assets/data_folder.h"
#include "tests/process_support.h"

#include <fstream>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

// A tree of candidate folders: a working directory, an environment folder, and an installed
// layout prefix/bin/tuvero with prefix/share/tuvero.
class DataFolderTest : public testing::Test {
  protected:
    void SetUp() override {
        root = freshFolder("data_folder");
        for (const char* name : {"work", "env", "option", "prefix/bin", "prefix/share/tuvero"})
            fs::create_directories(root / name);
        places.workingDirectory = (root / "work").string();
        places.environment = (root / "env").string();
        places.executable = (root / "prefix/bin/tuvero").string();
    }

    void holdFiles(const char* folder) { std::ofstream(root / folder / showMarkerFile) << "x"; }
    std::string path(const char* folder) const { return (root / folder).string(); }

    fs::path root;
    DataFolderPlaces places;
    std::string folder, error;
};

TEST_F(DataFolderTest, TheFirstPlaceThatHoldsTheFilesWins) {
    holdFiles("prefix/share/tuvero");
    ASSERT_TRUE(findDataFolder(places, folder, error)) << error;
    EXPECT_EQ(folder, path("prefix/share/tuvero")) << "beside the program, ../ resolved";

    holdFiles("env");
    ASSERT_TRUE(findDataFolder(places, folder, error)) << error;
    EXPECT_EQ(folder, path("env"));

    holdFiles("work");
    ASSERT_TRUE(findDataFolder(places, folder, error)) << error;
    EXPECT_EQ(folder, "") << "the working directory keeps names relative";

    holdFiles("option");
    places.option = path("option");
    ASSERT_TRUE(findDataFolder(places, folder, error)) << error;
    EXPECT_EQ(folder, path("option"));
}

TEST_F(DataFolderTest, AFolderNamedOnTheCommandLineIsTheOnlyOneLookedAt) {
    holdFiles("work");
    places.option = path("option");
    EXPECT_FALSE(findDataFolder(places, folder, error));
    EXPECT_NE(error.find(path("option") + " (--data): no musa.mo3 there"), std::string::npos)
        << error;
    EXPECT_EQ(error.find(path("work")), std::string::npos) << error;

    places.option = path("missing");
    EXPECT_FALSE(findDataFolder(places, folder, error));
    EXPECT_NE(error.find(path("missing") + " (--data): no such folder"), std::string::npos)
        << error;
}

TEST_F(DataFolderTest, WhenNoPlaceHoldsTheFilesTheErrorNamesEveryOne) {
    fs::create_directories(root / "work" / showMarkerFile); // a folder of that name is no file
    places.environment = path("gone");
    EXPECT_FALSE(findDataFolder(places, folder, error));
    for (const std::string& expected :
         {path("work") + " (the working directory): no musa.mo3 there",
          path("gone") + " (TUVERO_DATA_DIR): no such folder",
          path("prefix/share/tuvero") + " (beside the program): no musa.mo3 there",
          std::string("--data DIR")})
        EXPECT_NE(error.find(expected), std::string::npos) << expected << "\n" << error;

    places.environment.clear();
    EXPECT_FALSE(findDataFolder(places, folder, error));
    EXPECT_NE(error.find("TUVERO_DATA_DIR is not set"), std::string::npos) << error;
}

// The program started in an empty folder finds its files through $TUVERO_DATA_DIR and reads
// every one of them from there (pictures, models and music load before the first scene); with
// nowhere to find them it says where it looked before it opens a window.
TEST(DataFolderProgram, AnEmptyWorkingDirectoryFallsBackToTheEnvironment) {
    const fs::path empty = freshFolder("empty_cwd");
    auto result = runProcess({TUVERO_BINARY, "--window", "--silent", "--step", "16", "--trace",
                              "--frames", "60", "--hidden"},
                             empty.string(), 120, {"TUVERO_DATA_DIR=" TUVERO_DATA_DIR});
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_NE(result.out.find("scene 1 "), std::string::npos) << "loading did not finish\n"
                                                              << result.out;

    result = runProcess({TUVERO_BINARY, "--window", "--silent", "--hidden"}, empty.string(), 60,
                        {"TUVERO_DATA_DIR=" + empty.string()});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("cannot find the show's files"), std::string::npos) << result.err;
    EXPECT_NE(result.err.find(empty.string() + " (TUVERO_DATA_DIR)"), std::string::npos)
        << result.err;
    EXPECT_EQ(result.out.find("scene 0"), std::string::npos) << "no frame without files";
}

TEST(DataFolderProgram, VersionComesFromTheBuild) {
    auto result = runProcess({TUVERO_BINARY, "--version"}, "", 20);
    EXPECT_EQ(result.exitCode, 0);
    EXPECT_EQ(result.out, "tuvero " TUVERO_VERSION "\n");
}

} // namespace
