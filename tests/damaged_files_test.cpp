// The show's files damaged or replaced as a user might. Each offline run says what is wrong on a
// line of its own, naming the file, once; it never waits on a message box (on this display a box
// would hold the run until the time-out); and it plays on where the show can (a star model, a
// module) or stops with code 1 where it cannot (a picture).
#include "tests/model_test_support.h"
#include "tests/process_support.h"

#include <filesystem>
#include <functional>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

struct Damage {
    const char* what;
    std::function<void(const fs::path& data)> damage;
    int exitCode;
    const char* says; // a whole line of stderr starts with this
};

void cutTo(const fs::path& file, std::uintmax_t size) { fs::resize_file(file, size); }

// A star of one triangle: a model of its own, which the show's star cannot be blended with.
void oneTriangleStar(const fs::path& file) {
    ChunkWriter out;
    beginFile(out);
    triangleObject(out, "triangle");
    endFile(out);
    std::string error;
    ASSERT_TRUE(writeBinaryFile(file.string(), out.data(), error)) << error;
}

TEST(DamagedFiles, EachIsReportedByNameAndOnlyAMissingPictureStopsTheRun) {
    const Damage damages[] = {
        {"star cut short", [](const fs::path& d) { cutTo(d / "tahti.3ds", 1600); }, 0,
         "tuvero: Unable to load the file tahti.3ds: it ends before its last chunk!"},
        {"empty star", [](const fs::path& d) { cutTo(d / "tahti.3ds", 0); }, 0,
         "tuvero: Unable to load PRIMARY chunck from file: tahti.3ds!"},
        {"missing star", [](const fs::path& d) { fs::remove(d / "tahti.3ds"); }, 0,
         "tuvero: Unable to find the file: tahti.3ds!"},
        {"a JPEG as the star",
         [](const fs::path& d) {
             fs::copy_file(d / "loading.jpg", d / "tahti.3ds",
                           fs::copy_options::overwrite_existing);
         },
         0, "tuvero: Unable to load PRIMARY chunck from file: tahti.3ds!"},
        {"a star of its own", [](const fs::path& d) { oneTriangleStar(d / "tahti2.3ds"); }, 0,
         "tuvero: warning: the star models cannot be blended: object 1 has 120 faces in "
         "tahti.3ds and 1 in tahti2.3ds; the star shows tahti.3ds alone"},
        // Cut inside the patterns: every sample is lost, and libopenmpt plays silence.
        {"module cut short", [](const fs::path& d) { cutTo(d / "musa.mo3", 20000); }, 0,
         "tuvero: warning: musa.mo3: nothing is heard in its first 20 seconds"},
        {"missing picture", [](const fs::path& d) { fs::remove(d / "friends.jpg"); }, 1,
         "tuvero: cannot load picture friends.jpg: No such file or directory"},
    };
    int row = 0;
    for (const Damage& damage : damages) {
        SCOPED_TRACE(damage.what);
        const fs::path data = showDataWithout("", "damaged_" + std::to_string(row));
        const fs::path shots = freshFolder("damaged_shots_" + std::to_string(row++));
        damage.damage(data);
        // Frame 70 is shortly after loading: every file has been read by then.
        const ProcessResult result =
            runProcess({TUVERO_BINARY, "--snapshots", "70", "--snapshot-dir", shots.string()},
                       data.string(), 120, {"SDL_AUDIODRIVER=dummy"});
        EXPECT_FALSE(result.timedOut);
        EXPECT_EQ(result.exitCode, damage.exitCode) << result.err;
        const size_t at = result.err.find(damage.says);
        EXPECT_NE(at, std::string::npos) << result.err;
        EXPECT_TRUE(at == std::string::npos || at == 0 || result.err[at - 1] == '\n') << result.err;
        EXPECT_EQ(countOf(result.err, damage.says), 1) << result.err;
        EXPECT_EQ(fs::exists(framePath(shots, 70)), damage.exitCode == 0);
    }
}

} // namespace
