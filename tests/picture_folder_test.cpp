// Where pictures are read from: the high-resolution sibling of the data folder when it is
// complete and wanted, the data folder otherwise; models and music never move.
#include "assets/data_folder.h"
#include "tools/picture_catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;

namespace {

class PictureFolderTest : public testing::Test {
  protected:
    void SetUp() override {
        root = fs::weakly_canonical(fs::path(testing::TempDir()) / "tuvero_picture_folder");
        fs::remove_all(root);
        fs::create_directories(root / "data");
        std::ofstream(root / "data" / showMarkerFile) << "x";
    }
    void TearDown() override {
        setDataDirectory("");
        setPictureDirectory("");
        fs::remove_all(root);
    }
    // A high-resolution folder beside data; `complete` writes the marker picture.
    void makeHdFolder(bool complete) {
        fs::create_directories(root / "data-hd");
        std::ofstream(root / "data-hd" / "loading.jpg") << "x";
        if (complete) std::ofstream(root / "data-hd" / hdPictureMarkerFile) << "x";
    }
    std::string path(const char* relative) const { return (root / relative).string(); }

    fs::path root;
};

TEST_F(PictureFolderTest, TheSiblingCountsOnlyWhenItHoldsTheWholeSet) {
    EXPECT_EQ(hdPictureFolder(path("data")), "") << "no sibling folder";
    makeHdFolder(false);
    EXPECT_EQ(hdPictureFolder(path("data")), "") << "an interrupted generation is ignored";
    makeHdFolder(true);
    EXPECT_EQ(hdPictureFolder(path("data")), path("data-hd"));
    EXPECT_EQ(hdPictureFolder(path("data") + "/"), path("data-hd")) << "a trailing slash";
    EXPECT_EQ(hdPictureFolder("/"), "") << "the root has no sibling";
}

TEST_F(PictureFolderTest, TheWorkingDirectoryAndRelativeFoldersFindTheirSibling) {
    makeHdFolder(true);
    const fs::path before = fs::current_path();
    fs::current_path(root / "data");
    const std::string forWorkingDirectory = hdPictureFolder("");
    const std::string forDot = hdPictureFolder(".");
    fs::current_path(root);
    const std::string forRelative = hdPictureFolder("data");
    fs::current_path(before);
    EXPECT_EQ(forWorkingDirectory, path("data-hd"));
    EXPECT_EQ(forDot, path("data-hd"));
    EXPECT_EQ(forRelative, "data-hd");
}

TEST_F(PictureFolderTest, OnlyPicturesOfALargeRenderWithoutDataOptionComeFromTheHdSet) {
    makeHdFolder(true);
    setDataDirectory(path("data"));
    EXPECT_EQ(choosePictureFolder(true, false), path("data-hd"));
    EXPECT_EQ(picturePath("kuutio.jpg"), path("data-hd") + "/kuutio.jpg");
    EXPECT_EQ(dataPath("musa.mo3"), path("data") + "/musa.mo3") << "music stays";

    EXPECT_EQ(choosePictureFolder(false, false), "") << "a classic render";
    EXPECT_EQ(picturePath("kuutio.jpg"), path("data") + "/kuutio.jpg");

    EXPECT_EQ(choosePictureFolder(true, true), "") << "--data names the only folder";
    EXPECT_EQ(picturePath("kuutio.jpg"), path("data") + "/kuutio.jpg");

    fs::remove(root / "data-hd" / hdPictureMarkerFile);
    EXPECT_EQ(choosePictureFolder(true, false), "") << "an incomplete set";
    EXPECT_EQ(picturePath("kuutio.jpg"), path("data") + "/kuutio.jpg");
}

// The marker stands for the whole set only if the generator writes it last.
TEST(PictureFolderMarker, IsTheLastPictureTheGeneratorWrites) {
    EXPECT_EQ(pictureCatalogue().back().files.back().name, hdPictureMarkerFile);
}

} // namespace
