// The generated pictures: every catalogued file is written, decodes as a baseline colour JPEG of
// its catalogued size, and is the same on every run. Whether the show finds them and how they
// look there is the reference pictures' job.
#include "tools/assets.h"
#include "tools/image_io.h"
#include "tools/picture_catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <unistd.h>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::vector<PictureFile> cataloguedFiles() {
    std::vector<PictureFile> files;
    for (const PictureSet& set : pictureCatalogue())
        files.insert(files.end(), set.files.begin(), set.files.end());
    return files;
}

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

class PicturesTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        root_ = fs::temp_directory_path() / ("tuvero_pictures_" + std::to_string(getpid()));
        for (const char* run : {"a", "b"}) {
            fs::create_directories(root_ / run);
            std::string error;
            ok_ = generatePictures((root_ / run).string(), error) && ok_;
            error_ += error;
        }
        for (const PictureFile& file : cataloguedFiles()) {
            JpegInfo info;
            std::string error;
            if (readJpeg((root_ / "a" / file.name).string(), info, error))
                decoded_[file.name] = info;
        }
    }
    static void TearDownTestSuite() { fs::remove_all(root_); }

    static inline fs::path root_;
    static inline bool ok_ = true;
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
    EXPECT_EQ(std::distance(fs::directory_iterator(root_ / "a"), fs::directory_iterator()),
              std::ptrdiff_t(written));
}

TEST_F(PicturesTest, TwoRunsWriteTheSameBytes) {
    ASSERT_TRUE(ok_) << error_;
    for (const PictureFile& file : cataloguedFiles()) {
        std::string a = slurp(root_ / "a" / file.name), b = slurp(root_ / "b" / file.name);
        EXPECT_FALSE(a.empty()) << file.name;
        EXPECT_TRUE(a == b) << file.name << " differs between runs";
    }
#ifdef TUVERO_DATA_DIR
    // The build's own data folder was written by another process: same bytes again.
    fs::path built = TUVERO_DATA_DIR;
    for (const PictureFile& file : cataloguedFiles()) {
        if (fs::exists(built / file.name)) {
            EXPECT_TRUE(slurp(built / file.name) == slurp(root_ / "a" / file.name)) << file.name;
        }
    }
#endif
}

TEST(PicturesGenerator, ReportsAFolderItCannotWrite) {
    std::string error;
    EXPECT_FALSE(generatePictures("/nonexistent/folder/for/pictures", error));
    EXPECT_NE(error.find("loading.jpg"), std::string::npos);
}

TEST(PicturesGenerator, ReadJpegReportsBadFilesInsteadOfExiting) {
    fs::path bad = fs::temp_directory_path() / ("tuvero_bad_" + std::to_string(getpid()) + ".jpg");
    std::ofstream(bad, std::ios::binary) << "\xff\xd8\xff\xe0 not really a jpeg";
    JpegInfo info;
    std::string error;
    EXPECT_FALSE(readJpeg(bad.string(), info, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(readJpeg("/nonexistent.jpg", info, error));
    fs::remove(bad);
}

} // namespace
