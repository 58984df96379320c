// The generated pictures: every file the show reads is written, decodes as a baseline colour
// JPEG of the expected size, and is the same byte for byte on every run. How they look in the show
// (and so whether they tile, pair up and read well) is the reference pictures' job.
#include "tools/assets.h"
#include "tools/font_text.h"
#include "tools/image_io.h"
#include "tools/picture_catalogue.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <unistd.h>

namespace fs = std::filesystem;

namespace {

// The names and sizes the show's scenes expect, written out independently of the catalogue.
const std::map<std::string, std::pair<int, int>> kExpected = {
    {"loading.jpg", {640, 480}},
    {"mindcontrol.jpg", {512, 512}},
    {"nosmorking.jpg", {512, 512}},
    {"friends.jpg", {512, 512}},
    {"kuutio.jpg", {640, 480}},
    {"doin.jpg", {640, 480}},
    {"vatr.jpg", {640, 480}},
    {"mulo.jpg", {640, 480}},
    {"olvanusteri.jpg", {640, 480}},
    {"texture.jpg", {256, 256}},
    {"texture2.jpg", {256, 256}},
    {"texture3.jpg", {256, 256}},
    {"texture4.jpg", {256, 256}},
    {"texture5.jpg", {256, 256}},
    {"texture6.jpg", {512, 256}},
    {"texture7.jpg", {256, 256}},
    {"realtime_polygons.jpg", {512, 256}},
    {"realtime_polygons_alpha.jpg", {512, 256}},
    {"so_many.jpg", {512, 128}},
    {"so_many_alpha.jpg", {512, 128}},
    {"count.jpg", {1024, 128}},
    {"count_alpha.jpg", {1024, 128}},
    {"tuli.jpg", {256, 256}},
    {"tuli_alpha.jpg", {256, 256}},
};

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
        for (const auto& [name, size] : kExpected) {
            JpegInfo info;
            std::string error;
            if (readJpeg((root_ / "a" / name).string(), info, error)) decoded_[name] = info;
        }
    }
    static void TearDownTestSuite() { fs::remove_all(root_); }

    static const Image image(const std::string& name) { return toImage(decoded_.at(name)); }

    static inline fs::path root_;
    static inline bool ok_ = true;
    static inline std::string error_;
    static inline std::map<std::string, JpegInfo> decoded_;
};

TEST_F(PicturesTest, EveryFileIsABaselineColourJpegOfItsSize) {
    ASSERT_TRUE(ok_) << error_;
    std::size_t catalogued = 0;
    for (const PictureSet& set : pictureCatalogue())
        catalogued += set.files.size();
    EXPECT_EQ(catalogued, kExpected.size());
    for (const auto& [name, size] : kExpected) {
        SCOPED_TRACE(name);
        ASSERT_TRUE(decoded_.count(name)) << "missing or undecodable";
        const JpegInfo& info = decoded_.at(name);
        EXPECT_EQ(info.components, 3);
        EXPECT_FALSE(info.progressive);
        EXPECT_EQ(info.width, size.first);
        EXPECT_EQ(info.height, size.second);
        // Rows the show uploads with GL's default alignment of 4 must need no padding.
        EXPECT_EQ(info.width * 3 % 4, 0);
    }
    // Nothing else is left behind (no temporary files of the writer).
    for (const auto& entry : fs::directory_iterator(root_ / "a")) {
        EXPECT_TRUE(kExpected.count(entry.path().filename().string())) << entry.path();
    }
}

TEST_F(PicturesTest, TwoRunsWriteTheSameBytes) {
    ASSERT_TRUE(ok_) << error_;
    for (const auto& [name, size] : kExpected) {
        std::string a = slurp(root_ / "a" / name), b = slurp(root_ / "b" / name);
        EXPECT_FALSE(a.empty()) << name;
        EXPECT_TRUE(a == b) << name << " differs between runs";
    }
#ifdef TUVERO_DATA_DIR
    // The build's own data folder was written by another process: same bytes again.
    fs::path built = TUVERO_DATA_DIR;
    for (const auto& [name, size] : kExpected) {
        if (fs::exists(built / name)) {
            EXPECT_TRUE(slurp(built / name) == slurp(root_ / "a" / name)) << name;
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

TEST(PicturesGenerator, MissingFontIsReportedAsAnError) {
    EXPECT_THROW(Font("no-such-font.ttf"), PictureError);
}

} // namespace
