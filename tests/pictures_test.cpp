// The generated pictures: every catalogued file is written, decodes as a baseline colour JPEG of
// its catalogued size, and is the same on every run. Whether the show finds them and how they
// look there is the reference pictures' job.
#include "tests/process_support.h"
#include "tools/assets.h"
#include "tools/image_io.h"
#include "tools/picture_catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<PictureFile> cataloguedFiles() {
    std::vector<PictureFile> files;
    for (const PictureSet& set : pictureCatalogue())
        files.insert(files.end(), set.files.begin(), set.files.end());
    return files;
}

class PicturesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        root_ = freshFolder("pictures");
        ok_ = generatePictures(root_.string(), error_);
        for (const PictureFile& file : cataloguedFiles()) {
            JpegInfo info;
            std::string error;
            if (readJpeg((root_ / file.name).string(), info, error)) decoded_[file.name] = info;
        }
    }

    static inline fs::path root_;
    static inline bool ok_ = false;
    static inline std::string error_;
    static inline std::map<std::string, JpegInfo> decoded_;
};

TEST_F(PicturesTest, EveryFileIsABaselineColourJpegOfItsSize) {
    ASSERT_TRUE(ok_) << error_;
    std::size_t written = 0;
    for (const PictureFile& file : cataloguedFiles()) {
        SCOPED_TRACE(file.name);
        ASSERT_TRUE(decoded_.count(file.name)) << "missing or undecodable";
        const JpegInfo& info = decoded_.at(file.name);
        EXPECT_EQ(info.components, 3);
        EXPECT_FALSE(info.progressive);
        EXPECT_EQ(info.width, file.width);
        EXPECT_EQ(info.height, file.height);
        // Rows the show uploads with GL's default alignment of 4 must need no padding.
        EXPECT_EQ(info.width * 3 % 4, 0);
        ++written;
    }
    // Nothing else is left behind (no temporary files of the writer).
    EXPECT_EQ(std::distance(fs::directory_iterator(root_), fs::directory_iterator()),
              std::ptrdiff_t(written));
}

// The build's data folder was written by another run of the generator: the same bytes.
TEST_F(PicturesTest, TwoRunsWriteTheSameBytes) {
    ASSERT_TRUE(ok_) << error_;
    for (const PictureFile& file : cataloguedFiles()) {
        const std::string a = fileContents(root_ / file.name);
        EXPECT_FALSE(a.empty()) << file.name;
        EXPECT_TRUE(a == fileContents(fs::path(TUVERO_DATA_DIR) / file.name))
            << file.name << " differs between runs";
    }
}

TEST(PicturesGenerator, ReportsAFolderItCannotWrite) {
    std::string error;
    EXPECT_FALSE(generatePictures("/nonexistent/folder/for/pictures", error));
    EXPECT_NE(error.find("loading.jpg"), std::string::npos);
}

TEST(PicturesGenerator, ReadJpegReportsBadFilesInsteadOfExiting) {
    const fs::path bad = freshFolder("bad_jpeg") / "bad.jpg";
    std::ofstream(bad, std::ios::binary) << "\xff\xd8\xff\xe0 not really a jpeg";
    JpegInfo info;
    std::string error;
    EXPECT_FALSE(readJpeg(bad.string(), info, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(readJpeg("/nonexistent.jpg", info, error));
}

} // namespace
