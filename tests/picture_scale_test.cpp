// Pictures painted at a larger scale: the same bytes on every run, K times the classic size, and
// the classic composition when brought back down to the classic size. A few sets stand for all
// (shapes on a wrapping lattice, raw per-pixel loops, fitted lettering with outlines), at scale
// 2 so the suite stays quick; the build paints every set at scale 3.
#include "tools/assets.h"
#include "tools/image_io.h"
#include "tools/image_ops.h"
#include "tools/picture_catalogue.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <iterator>

namespace fs = std::filesystem;

namespace {

constexpr int kScale = 2;
const char* const kSampleSets[] = {"texture4.jpg", "tuli.jpg", "so_many.jpg"};

const PictureSet& setOf(const std::string& firstFile) {
    for (const PictureSet& set : pictureCatalogue())
        if (set.files.front().name == firstFile) return set;
    throw std::runtime_error("no picture set " + firstFile);
}

std::string slurp(const fs::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// The worst mean absolute difference (0..255) over 16 x 16 tiles: a shape or glyph that moved
// or changed size shows up in its tile; the slight shifts of fitted lettering stay below it.
double worstTileError(const Image& a, const Image& b) {
    double worst = 0;
    for (int ty = 0; ty < a.height; ty += 16) {
        for (int tx = 0; tx < a.width; tx += 16) {
            double sum = 0;
            int n = 0;
            for (int y = ty; y < std::min(ty + 16, a.height); ++y) {
                for (int x = tx; x < std::min(tx + 16, a.width); ++x, n += 3) {
                    const Rgb p = a.at(x, y), q = b.at(x, y);
                    sum += std::fabs(clamp01(p.r) - clamp01(q.r)) +
                           std::fabs(clamp01(p.g) - clamp01(q.g)) +
                           std::fabs(clamp01(p.b) - clamp01(q.b));
                }
            }
            worst = std::max(worst, sum / n * 255);
        }
    }
    return worst;
}

class ScaledPicturesTest : public testing::Test {
  protected:
    static void SetUpTestSuite() {
        root_ = fs::path(testing::TempDir()) / "tuvero_scaled_pictures";
        for (const char* run : {"a", "b"}) {
            fs::create_directories(root_ / run);
            for (const char* name : kSampleSets) {
                std::string error;
                if (!writePictureSet(setOf(name), (root_ / run).string(), kScale, error))
                    error_ += error + "\n";
            }
        }
    }
    static void TearDownTestSuite() { fs::remove_all(root_); }

    static inline fs::path root_;
    static inline std::string error_;
};

// Determinism, size and composition in one test: the painting is the expensive part.
TEST_F(ScaledPicturesTest, SameBytesEveryRunKTimesTheSizeAndTheClassicComposition) {
    ASSERT_TRUE(error_.empty()) << error_;
    for (const char* name : kSampleSets) {
        const PictureSet& set = setOf(name);
        const std::vector<Image> classic = set.paint();
        for (std::size_t i = 0; i < set.files.size(); ++i) {
            const PictureFile& file = set.files[i];
            SCOPED_TRACE(file.name);
            const std::string a = slurp(root_ / "a" / file.name),
                              b = slurp(root_ / "b" / file.name);
            ASSERT_FALSE(a.empty());
            EXPECT_TRUE(a == b) << "differs between runs";
            JpegInfo info;
            std::string error;
            ASSERT_TRUE(readJpeg((root_ / "a" / file.name).string(), info, error)) << error;
            ASSERT_EQ(info.width, file.width * kScale);
            ASSERT_EQ(info.height, file.height * kScale);
            const Image down = resized(toImage(info), file.width, file.height);
            EXPECT_LT(worstTileError(classic[i], down), 12.0);
        }
    }
}

} // namespace
