// tuvero-compare-pictures MOMENTS REFERENCES RENDERS [FAILURES]: the look test's comparison for
// renders made elsewhere (the browser build's snapshots). Each moment's RENDERS/frame_NNNNNN.png
// is shrunk to the reference's size and compared with REFERENCES/NAME.png by the same PSNR and
// per-tile test and thresholds as the desktop test. Prints one line per moment; a failing
// moment's render, reference and difference go into FAILURES. Exit code 0 when every moment
// passes, 1 when one fails or a picture is missing, 2 for a bad command line.
#include "tests/reference_images.h"

#include <cstdio>
#include <filesystem>
#include <string>

namespace fs = std::filesystem;

int main(int argc, char** argv) {
    if (argc < 4 || argc > 5) {
        std::fprintf(stderr,
                     "usage: tuvero-compare-pictures MOMENTS REFERENCES RENDERS [FAILURES]\n");
        return 2;
    }
    const std::vector<Moment> moments = readMoments(argv[1]);
    const fs::path references = argv[2], renders = argv[3];
    const fs::path failures = argc > 4 ? fs::path(argv[4]) : fs::path();
    if (moments.empty()) {
        std::fprintf(stderr, "tuvero-compare-pictures: no moments in %s\n", argv[1]);
        return 1;
    }
    int failed = 0;
    for (const Moment& moment : moments) {
        RgbImage full, reference;
        std::string error;
        if (!readPngImage((references / (moment.name + ".png")).string(), reference, error) ||
            !readPngImage((renders / snapshotFileName(moment.frame)).string(), full, error)) {
            std::printf("%-40s frame %5ld  FAILED: %s\n", moment.name.c_str(), moment.frame,
                        error.c_str());
            ++failed;
            continue;
        }
        const int factor = reference.width > 0 ? full.width / reference.width : 0;
        if (factor < 1 || full.width != reference.width * factor ||
            full.height != reference.height * factor) {
            std::printf("%-40s frame %5ld  FAILED: %d x %d is no multiple of the reference's "
                        "%d x %d\n",
                        moment.name.c_str(), moment.frame, full.width, full.height, reference.width,
                        reference.height);
            ++failed;
            continue;
        }
        const RgbImage render = shrink(full, factor);
        const ImageDifference d = compareImages(render, reference, tileSize);
        const bool pass = looksAlike(d);
        std::printf("%-40s frame %5ld  %s  %s\n", moment.name.c_str(), moment.frame,
                    describe(d).c_str(), pass ? "ok" : "FAILED");
        if (pass) continue;
        ++failed;
        if (failures.empty()) continue;
        fs::create_directories(failures);
        const std::string base = (failures / moment.name).string();
        writePngImage(base + "-render.png", render, error);
        writePngImage(base + "-reference.png", reference, error);
        writePngImage(base + "-diff.png", differenceImage(render, reference), error);
    }
    std::printf("%d of %zu moments look as their references (PSNR >= %g dB, every tile <= %g)\n",
                static_cast<int>(moments.size()) - failed, moments.size(), minimumPsnr,
                maximumTileError);
    return failed == 0 ? 0 : 1;
}
