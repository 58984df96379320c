// The generated pictures: every file the show reads is written, decodes as a baseline colour
// JPEG of the expected size, is the same byte for byte on every run, and is fit for its use.
#include "tools/assets.h"
#include "tools/contact_sheet.h"
#include "tools/image_io.h"
#include "tools/picture_catalogue.h"

#include <gtest/gtest.h>

#include <cmath>
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

float lum(const Rgb& c) { return luminance(c); }

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

// Every picture has real light and dark (not flat) and smooth structure (not noise): the
// luminance spread is wide while neighbouring pixels mostly agree.
TEST_F(PicturesTest, PicturesHaveContrastAndStructure) {
    ASSERT_TRUE(ok_) << error_;
    for (const auto& [name, size] : kExpected) {
        SCOPED_TRACE(name);
        Image img = image(name);
        double sum = 0, sum2 = 0, step = 0;
        for (int y = 0; y < img.height; ++y) {
            for (int x = 0; x < img.width; ++x) {
                double l = lum(img.at(x, y));
                sum += l;
                sum2 += l * l;
                if (x > 0) step += std::fabs(l - lum(img.at(x - 1, y)));
            }
        }
        double n = double(img.width) * img.height;
        double spread = std::sqrt(std::max(0.0, sum2 / n - (sum / n) * (sum / n)));
        EXPECT_GT(spread, 0.08);
        EXPECT_LT(step / n, spread * 0.5) << "neighbours differ as much as noise";
    }
}

TEST_F(PicturesTest, RepeatedSurfacesTileWithoutSeams) {
    ASSERT_TRUE(ok_) << error_;
    for (const PictureSet& set : pictureCatalogue()) {
        for (const PictureFile& file : set.files) {
            if (file.use != PictureUse::Surface) continue;
            SCOPED_TRACE(file.name);
            Image img = image(file.name);
            // Across the seam (last column to first) the picture must change no more than it
            // typically does between neighbouring columns inside; likewise for rows.
            auto columnStep = [&](int a, int b) {
                double d = 0;
                for (int y = 0; y < img.height; ++y)
                    d += std::fabs(lum(img.at(a, y)) - lum(img.at(b, y)));
                return d / img.height;
            };
            auto rowStep = [&](int a, int b) {
                double d = 0;
                for (int x = 0; x < img.width; ++x)
                    d += std::fabs(lum(img.at(x, a)) - lum(img.at(x, b)));
                return d / img.width;
            };
            double inside = 0, insideRows = 0;
            for (int x = 1; x < img.width; ++x)
                inside += columnStep(x - 1, x);
            for (int y = 1; y < img.height; ++y)
                insideRows += rowStep(y - 1, y);
            inside /= img.width - 1;
            insideRows /= img.height - 1;
            EXPECT_LE(columnStep(img.width - 1, 0), 2 * inside + 0.02);
            EXPECT_LE(rowStep(img.height - 1, 0), 2 * insideRows + 0.02);
        }
    }
}

TEST_F(PicturesTest, MaskAndLightPairsLineUp) {
    ASSERT_TRUE(ok_) << error_;
    for (const PictureSet& set : pictureCatalogue()) {
        if (set.files.size() != 2) continue;
        const std::string& maskName = set.files[0].name;
        SCOPED_TRACE(maskName);
        EXPECT_EQ(set.files[1].name, maskName.substr(0, maskName.size() - 4) + "_alpha.jpg");
        Image mask = image(maskName), light = image(set.files[1].name);
        ASSERT_EQ(mask.width, light.width);
        ASSERT_EQ(mask.height, light.height);
        // The quad's outline must not show: white mask and black light along every edge.
        for (int x = 0; x < mask.width; ++x) {
            for (int y : {0, mask.height - 1}) {
                EXPECT_GE(lum(mask.at(x, y)), 0.97f);
                EXPECT_LE(lum(light.at(x, y)), 0.03f);
            }
        }
        for (int y = 0; y < mask.height; ++y) {
            for (int x : {0, mask.width - 1}) {
                EXPECT_GE(lum(mask.at(x, y)), 0.97f);
                EXPECT_LE(lum(light.at(x, y)), 0.03f);
            }
        }
        // Wherever the light is bright, the mask has cleared the frame below it: letters and
        // flame show in their own colours instead of washing out over bright backgrounds.
        int bright = 0, covered = 0, clearAndDark = 0;
        for (std::size_t i = 0; i < mask.data.size(); ++i) {
            if (lum(light.data[i]) > 0.6f) {
                ++bright;
                if (lum(mask.data[i]) < 0.4f) ++covered;
            }
            if (lum(mask.data[i]) > 0.97f && lum(light.data[i]) < 0.03f) ++clearAndDark;
        }
        EXPECT_GT(bright, int(mask.data.size() / 50)) << "hardly any lettering or flame";
        EXPECT_GT(covered, bright * 95 / 100);
        EXPECT_GT(clearAndDark, int(mask.data.size() / 20)) << "no untouched margin";
    }
}

// Banner lettering fills the banner: the letters' bright pixels reach across most of the
// inner box (inside the plate's rim) in both directions.
TEST_F(PicturesTest, BannerLetteringFillsTheBanner) {
    ASSERT_TRUE(ok_) << error_;
    int banners = 0;
    for (const PictureSet& set : pictureCatalogue()) {
        const PictureFile& file = set.files.back();
        if (file.use != PictureUse::Light || file.shownWidth == 0) continue;
        SCOPED_TRACE(file.name);
        ++banners;
        Image light = image(file.name);
        int x0 = light.width / 10, x1 = light.width * 9 / 10;
        int y0 = light.height * 15 / 100, y1 = light.height * 85 / 100;
        int left = x1, right = x0, top = y1, bottom = y0;
        for (int y = y0; y < y1; ++y) {
            for (int x = x0; x < x1; ++x) {
                if (lum(light.at(x, y)) < 0.5f) continue;
                left = std::min(left, x), right = std::max(right, x);
                top = std::min(top, y), bottom = std::max(bottom, y);
            }
        }
        EXPECT_GE(right - left, (x1 - x0) * 85 / 100);
        EXPECT_GE(bottom - top, (y1 - y0) * 60 / 100);
    }
    EXPECT_EQ(banners, 3);
}

TEST_F(PicturesTest, ContactSheetShowsEveryPicture) {
    ASSERT_TRUE(ok_) << error_;
    std::string error;
    fs::path sheet = root_ / "sheet.png";
    ASSERT_TRUE(writeContactSheet((root_ / "a").string(), sheet.string(), error)) << error;
    EXPECT_GT(fs::file_size(sheet), 100000u);
    // A folder with a picture missing is reported, not drawn with a hole.
    fs::remove(root_ / "b" / "tuli.jpg");
    EXPECT_FALSE(writeContactSheet((root_ / "b").string(), (root_ / "x.png").string(), error));
    EXPECT_NE(error.find("tuli.jpg"), std::string::npos);
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
