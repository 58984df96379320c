// Feeds arbitrary bytes to the picture decoder: it must fail cleanly (no crash, no read or write
// out of bounds, no huge allocation) or return an RGB image of exactly the size it reports.
#include "assets/texture.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <unistd.h>

namespace {

const std::string& scratchFile() {
    static const std::string path = [] {
        char pattern[] = "/tmp/tuvero_fuzz_jpeg_XXXXXX";
        const int fd = mkstemp(pattern);
        if (fd < 0) std::abort();
        close(fd);
        return std::string(pattern);
    }();
    return path;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::FILE* file = std::fopen(scratchFile().c_str(), "wb");
    if (file == nullptr) std::abort();
    std::fwrite(data, 1, size, file);
    std::fclose(file);

    std::string error;
    auto image = decodeJpeg(scratchFile().c_str(), error);
    if (!image) {
        if (error.empty()) std::abort();
        return 0;
    }
    if (image->rowSpan != 3 * image->width ||
        image->pixels.size() != std::size_t(image->rowSpan) * std::size_t(image->height))
        std::abort();
    return 0;
}
