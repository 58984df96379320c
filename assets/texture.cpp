// JPEG decoding through libjpeg.
#include "assets/texture.h"

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace {

// libjpeg reports errors through this manager: the message is kept and control jumps back to
// the decoder instead of the library's default, which ends the process.
struct ErrorManager {
    jpeg_error_mgr base;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

[[noreturn]] void jumpOnError(j_common_ptr info) {
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    manager->base.format_message(info, manager->message);
    std::longjmp(manager->jump, 1);
}

// Warnings (corrupt entropy data, stray bytes before a marker, a file that ends early) let the
// picture load as every viewer shows it: libjpeg fills what it cannot decode. The first
// warning is kept for the one line the loader prints; trace messages are dropped.
void keepFirstWarning(j_common_ptr info, int level) {
    if (level >= 0) return;
    auto* manager = reinterpret_cast<ErrorManager*>(info->err);
    if (manager->base.num_warnings++ == 0) manager->base.format_message(info, manager->message);
}

void discardMessage(j_common_ptr) {}

// CMYK to RGB by the usual rule, R = (1 - C)(1 - K) and so on. Adobe's files (every CMYK or
// YCCK JPEG that carries its marker, which is nearly all) store the inks inverted, so there
// R = C K directly.
void cmykToRgb(const JSAMPLE* cmyk, std::uint8_t* rgb, JDIMENSION width, bool inverted) {
    for (JDIMENSION x = 0; x < width; ++x, cmyk += 4, rgb += 3) {
        const unsigned k = inverted ? cmyk[3] : 255u - cmyk[3];
        for (int c = 0; c < 3; ++c) {
            const unsigned ink = inverted ? cmyk[c] : 255u - cmyk[c];
            rgb[c] = static_cast<std::uint8_t>((ink * k + 127) / 255);
        }
    }
}

// Everything the setjmp frame touches lives here, outside that frame, so its values stay
// defined after a jump back.
struct DecodeSession {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    std::FILE* file = nullptr;
    JpegImage* image = nullptr;
    std::vector<JSAMPROW> rows;
    std::vector<JSAMPLE> cmykRow;  // one decoded row of a CMYK or YCCK picture
    unsigned maxSide = 0;          // 0: any size
    const char* refusal = nullptr; // set for pictures refused by our own checks
};

// Runs the whole decompression. Returns false with the reason in the session on failure.
// No object with a destructor is created in this frame, so a longjmp out of libjpeg is safe.
bool decompress(DecodeSession& session) {
    jpeg_decompress_struct& info = session.info;
    if (setjmp(session.errors.jump)) return false;

    jpeg_read_header(&info, TRUE);
    if (std::uint64_t{info.image_width} * info.image_height > maxDecodedPixels) {
        session.refusal = "too large";
        return false;
    }
    // Every picture becomes RGB: libjpeg converts greyscale itself; CMYK and YCCK come out as
    // CMYK and are converted here, row by row.
    const bool cmyk = info.jpeg_color_space == JCS_CMYK || info.jpeg_color_space == JCS_YCCK;
    info.out_color_space = cmyk ? JCS_CMYK : JCS_RGB;
    // Larger than the texture limit: libjpeg decodes at the largest of its M/8 scales that fits
    // (less memory and time than decoding whole); the rest is averaged down afterwards.
    if (session.maxSide > 0) {
        const std::uint64_t side = std::max(info.image_width, info.image_height);
        if (side > session.maxSide) {
            unsigned eighths = 8;
            while (eighths > 1 && (side * eighths + 7) / 8 > session.maxSide)
                --eighths;
            info.scale_num = eighths;
            info.scale_denom = 8;
        }
    }
    jpeg_start_decompress(&info);
    if (info.output_components != (cmyk ? 4 : 3)) {
        session.refusal = "its colours cannot be converted to RGB";
        return false;
    }

    JpegImage& image = *session.image;
    image.width = static_cast<int>(info.output_width);
    image.height = static_cast<int>(info.output_height);
    image.rowSpan = 3 * image.width;
    const std::size_t rowSpan = static_cast<std::size_t>(image.rowSpan);
    image.pixels.assign(rowSpan * info.output_height, 0);
    session.rows.resize(info.output_height);
    for (std::size_t row = 0; row < session.rows.size(); ++row)
        session.rows[row] = image.pixels.data() + row * rowSpan;

    session.cmykRow.resize(cmyk ? std::size_t{info.output_width} * 4 : 0);
    while (info.output_scanline < info.output_height) {
        const JDIMENSION at = info.output_scanline;
        JSAMPROW cmykRow = session.cmykRow.data();
        const JDIMENSION read =
            cmyk ? jpeg_read_scanlines(&info, &cmykRow, 1)
                 : jpeg_read_scanlines(&info, session.rows.data() + at, info.output_height - at);
        if (read == 0) {
            session.refusal = "the decoder made no progress";
            return false;
        }
        if (cmyk)
            cmykToRgb(session.cmykRow.data(), session.rows[at], info.output_width,
                      info.saw_Adobe_marker != 0);
    }
    jpeg_finish_decompress(&info);
    if (session.errors.base.num_warnings > 0) image.warning = session.errors.message;
    return true;
}

// Averages blocks of k x k pixels into one, k the smallest factor that brings both sides to
// maxSide or below (the last block of a row or column may be narrower).
void shrinkToFit(JpegImage& image, unsigned maxSide) {
    const unsigned side = static_cast<unsigned>(std::max(image.width, image.height));
    if (side <= maxSide) return;
    const int k = static_cast<int>((side + maxSide - 1) / maxSide);
    const int width = (image.width + k - 1) / k, height = (image.height + k - 1) / k;
    std::vector<std::uint8_t> out(std::size_t(width) * height * 3);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            unsigned sum[3] = {0, 0, 0}, count = 0;
            for (int sy = y * k; sy < std::min(image.height, (y + 1) * k); ++sy)
                for (int sx = x * k; sx < std::min(image.width, (x + 1) * k); ++sx, ++count)
                    for (int c = 0; c < 3; ++c)
                        sum[c] += image.pixels[(std::size_t(sy) * image.width + sx) * 3 + c];
            for (int c = 0; c < 3; ++c)
                out[(std::size_t(y) * width + x) * 3 + c] =
                    static_cast<std::uint8_t>((sum[c] + count / 2) / count);
        }
    image.width = width;
    image.height = height;
    image.rowSpan = 3 * width;
    image.pixels = std::move(out);
}

} // namespace

std::unique_ptr<JpegImage> decodeJpeg(const char* fileName, std::string& error, unsigned maxSide) {
    if (fileName == nullptr) {
        error = "no file name";
        return nullptr;
    }
    auto image = std::make_unique<JpegImage>();
    DecodeSession session;
    session.image = image.get();
    session.maxSide = maxSide;
    session.file = std::fopen(fileName, "rb");
    if (session.file == nullptr) {
        error = std::strerror(errno);
        return nullptr;
    }

    session.info.err = jpeg_std_error(&session.errors.base);
    session.errors.base.error_exit = jumpOnError;
    session.errors.base.emit_message = keepFirstWarning;
    session.errors.base.output_message = discardMessage;
    jpeg_create_decompress(&session.info);
    jpeg_stdio_src(&session.info, session.file);

    const bool decoded = decompress(session);
    jpeg_destroy_decompress(&session.info);
    std::fclose(session.file);
    if (!decoded) {
        if (session.refusal == nullptr)
            error = session.errors.message;
        else if (std::string(session.refusal) == "too large")
            error = "it is " + std::to_string(session.info.image_width) + " x " +
                    std::to_string(session.info.image_height) + " pixels, more than the " +
                    std::to_string(maxDecodedPixels / 1000000) + " megapixels a picture may have";
        else
            error = session.refusal;
        return nullptr;
    }
    if (maxSide > 0) shrinkToFit(*image, maxSide);
    return image;
}
