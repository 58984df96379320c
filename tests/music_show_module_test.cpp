// The generated "musa.mo3" against the show's timeline: cue times, length, level.
#include "tests/music_test_support.h"
#include "tests/process_support.h"
#include "tools/assets.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

// The show's timeline, from the first frame of scene 1 (when playback starts).
constexpr double firstSceneWaitsAt = 10.8;  // scene 1 reaches the phase that waits for value 0
constexpr double dropAt = 12.0;             // the intended first note of instrument 7
constexpr double wavesStartAfterDrop = 8.0; // scene 1's two four-second tumbles
constexpr double lastInterludeAt = 175.0;   // the sixth interlude starts about here
constexpr double showLength = 180.0;

namespace fs = std::filesystem;

// The build's data folder holds the module the show plays.
const std::string showModule = std::string(TUVERO_DATA_DIR) + "/musa.mo3";

} // namespace

// The build's module was written by another run of the generator: the same bytes.
TEST(ShowMusic, GeneratedModuleIsTheSameOnEveryRun) {
    const fs::path dir = freshFolder("music");
    std::string error;
    ASSERT_TRUE(generateMusic(dir.string(), error)) << error;
    const std::string fresh = fileContents(dir / "musa.mo3");
    ASSERT_GT(fresh.size(), 100000u);
    EXPECT_TRUE(fresh == fileContents(showModule));
}

TEST(ShowMusic, CuesFollowTheShowsTimeline) {
    const auto d = playOnTicks(showModule, platform::MusicOutput::LockStep, 1, 200000);
    const auto drops = timesOf(d, 0);
    const auto beats = timesOf(d, 1);
    ASSERT_EQ(drops.size(), 1u);
    const double drop = drops[0] / 1000.0;
    EXPECT_GT(drop, firstSceneWaitsAt + 0.5);
    EXPECT_NEAR(drop, dropAt, 0.1);

    ASSERT_FALSE(beats.empty());
    EXPECT_GE(beats.front() / 1000.0, drop) << "instrument 3 must be silent before the drop";
    EXPECT_LT(beats.front() / 1000.0, drop + 1.1);
    // A steady beat, about once a second, through the last interlude.
    for (std::size_t i = 1; i < beats.size(); ++i) {
        const double gap = (beats[i] - beats[i - 1]) / 1000.0;
        EXPECT_NEAR(gap, 1.0, 0.1) << "between notes at " << beats[i - 1] << " and " << beats[i];
    }
    EXPECT_GT(beats.back() / 1000.0, lastInterludeAt);
    // Scene 1's wave part flips on each beat: nine flips within about ten seconds.
    const double wavesFrom = drop + wavesStartAfterDrop;
    int flips = 0;
    for (auto t : beats)
        flips += t / 1000.0 >= wavesFrom && t / 1000.0 < wavesFrom + 10.0;
    EXPECT_GE(flips, 9);
}

TEST(ShowMusic, OutlastsTheShowAndNeverClips) {
    const std::string bytes = fileContents(showModule);
    openmpt_module* mod =
        openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent,
                                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(mod, nullptr);
    const double length = openmpt_module_get_duration_seconds(mod);
    EXPECT_GT(length, showLength + 15.0);
    EXPECT_LT(length, 250.0);

    // Rendered as the player renders it: float, stereo, default settings.
    std::vector<float> chunk(2 * 4096);
    float peak = 0;
    double sumSquares = 0;
    std::size_t samples = 0;
    while (const std::size_t got = openmpt_module_read_interleaved_float_stereo(
               mod, platform::musicSampleRate, 4096, chunk.data())) {
        for (std::size_t i = 0; i < 2 * got; ++i) {
            peak = std::max(peak, std::fabs(chunk[i]));
            sumSquares += double{chunk[i]} * chunk[i];
        }
        samples += 2 * got;
    }
    openmpt_module_destroy(mod);
    const double rms = std::sqrt(sumSquares / std::max<std::size_t>(1, samples));
    EXPECT_LT(peak, 0.999f) << "clips";
    EXPECT_GT(peak, 0.5f) << "too quiet";
    EXPECT_GT(rms, 0.08) << "too quiet on average";
}
