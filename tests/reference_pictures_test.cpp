// The show's look: chosen moments of one offline run (60 frames per second on the virtual
// clock) compared with the pictures in tests/reference/. The comparison is at half size (2 x 2
// box mean), which forgives single edge pixels and rounding but not a wrong texture, rotation,
// viewport or blend mode. Besides the PSNR of the whole picture every 16 x 16 tile (32 x 32
// pixels of the show) is checked on its own, so one wrong small object cannot hide in a good
// average.
//
// With TUVERO_UPDATE_REFERENCES=1 (scripts/update-references) the test instead rewrites the
// references from this run and writes a contact sheet: render | old reference | difference.
#include "tests/process_support.h"
#include "tests/reference_images.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <sstream>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

const fs::path referenceFolder = fs::path(TUVERO_SOURCE_DIR) / "tests" / "reference";
const fs::path workFolder = fs::path(TUVERO_BUILD_DIR) / "reference-pictures";

std::vector<Moment> showMoments() {
    return readMoments((referenceFolder / "moments.txt").string());
}

// One run of the show that writes every moment's frame into `folder`, with `options` added.
ProcessResult renderMoments(const std::vector<Moment>& moments, const fs::path& folder,
                            const std::vector<std::string>& options) {
    fs::remove_all(folder);
    fs::create_directories(folder);
    std::string frames;
    for (const Moment& moment : moments)
        frames += (frames.empty() ? "" : ",") + std::to_string(moment.frame);
    std::vector<std::string> command = {TUVERO_BINARY, "--snapshots", frames, "--snapshot-dir",
                                        folder.string()};
    command.insert(command.end(), options.begin(), options.end());
    return runProcess(command, TUVERO_DATA_DIR, 1700);
}

void writeOrFail(const fs::path& path, const RgbImage& image) {
    std::string error;
    if (!writePngImage(path.string(), image, error)) ADD_FAILURE() << error;
}

// Renders `moments` with `options` (pictures `factor` times the half-size references) and
// compares each with its reference; `update` rewrites the references instead.
void expectMomentsLookAsReferences(const std::vector<Moment>& moments, const fs::path& work,
                                   const std::vector<std::string>& options, int factor,
                                   bool update) {
    ASSERT_FALSE(moments.empty()) << "no moments in " << referenceFolder / "moments.txt";
    const fs::path renders = work / "render";
    const ProcessResult run = renderMoments(moments, renders, options);
    ASSERT_EQ(run.exitCode, 0) << run.err;

    const fs::path failures = work / "failures";
    fs::remove_all(failures);
    std::vector<RgbImage> sheetImages; // render, old reference, difference per moment
    sheetImages.reserve(moments.size() * 3);
    for (const Moment& moment : moments) {
        SCOPED_TRACE(moment.name + " (frame " + std::to_string(moment.frame) + ")");
        RgbImage full, reference;
        std::string error;
        ASSERT_TRUE(readPngImage((renders / snapshotFileName(moment.frame)).string(), full, error))
            << error;
        const RgbImage render = shrink(full, factor);
        const fs::path referencePath = referenceFolder / (moment.name + ".png");
        const bool haveReference = readPngImage(referencePath.string(), reference, error) &&
                                   reference.width == render.width &&
                                   reference.height == render.height;
        if (!update) {
            ASSERT_TRUE(haveReference) << referencePath << " is missing or not " << render.width
                                       << " x " << render.height << " (scripts/update-references)";
        }
        if (!haveReference)
            reference = {render.width, render.height,
                         std::vector<std::uint8_t>(render.pixels.size())};
        const ImageDifference d = compareImages(render, reference, tileSize);
        std::printf("%-40s frame %5ld  %s\n", moment.name.c_str(), moment.frame,
                    describe(d).c_str());
        if (update) {
            writeOrFail(referencePath, render);
            sheetImages.push_back(render);
            sheetImages.push_back(reference);
            sheetImages.push_back(differenceImage(render, reference));
            continue;
        }
        if (looksAlike(d)) continue;
        fs::create_directories(failures);
        const fs::path base = failures / moment.name;
        writeOrFail(base.string() + "-render.png", render);
        writeOrFail(base.string() + "-reference.png", reference);
        writeOrFail(base.string() + "-diff.png", differenceImage(render, reference));
        ADD_FAILURE() << describe(d) << " (needs PSNR >= " << minimumPsnr
                      << " and every tile <= " << maximumTileError << "); see " << base.string()
                      << "-{render,reference,diff}.png";
    }
    if (update) {
        std::vector<std::vector<const RgbImage*>> rows;
        for (size_t i = 0; i < sheetImages.size(); i += 3)
            rows.push_back({&sheetImages[i], &sheetImages[i + 1], &sheetImages[i + 2]});
        const fs::path sheet = work / "contact-sheet.png";
        writeOrFail(sheet, contactSheet(rows));
        std::printf("references rewritten in %s; look at %s before committing them\n",
                    referenceFolder.c_str(), sheet.c_str());
    }
}

} // namespace

TEST(ReferencePictures, EveryMomentOfTheShowLooksAsItsReference) {
    expectMomentsLookAsReferences(showMoments(), workFolder, {}, 2,
                                  std::getenv("TUVERO_UPDATE_REFERENCES") != nullptr);
}

// The show drawn at 960 x 720 (3 x 3 pixels for each pixel of the half-size references) looks as
// the classic run up to the first interlude: by then the interlude's viewport, its screen copy
// and a live face have been drawn. A viewport, copy or live texture that kept its classic pixel
// size misplaces or shrinks a whole part of the picture and fails (the worst moment had 34.7 dB
// and a tile of 9.7). No multisampling: the resolve has a test of its own, and a software
// renderer needs minutes for these frames even so.
TEST(ReferencePictures, AtALargeRenderSizeEveryMomentLooksAsItsClassicReference) {
    if (std::getenv("TUVERO_UPDATE_REFERENCES")) GTEST_SKIP() << "references come from classic";
    std::vector<Moment> moments = showMoments();
    std::erase_if(moments, [](const Moment& moment) {
        return moment.frame > 2240; // 09-interlude-1-live-tunnel
    });
    expectMomentsLookAsReferences(moments, fs::path(TUVERO_BUILD_DIR) / "reference-pictures-large",
                                  {"--render-size", "960x720", "--msaa", "0"}, 3, false);
}
