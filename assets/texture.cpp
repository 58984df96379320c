// JPEG decoding through libjpeg.
#include "assets/texture.h"

#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <string>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace {

// Pictures larger than this are refused before any pixel memory is allocated: no picture of
// the show comes near it, and a forged header could otherwise ask for gigabytes.
constexpr std::size_t maxPicturePixels = std::size_t{1} << 24; // 16 Mpixel, 48 MiB of RGB

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

// Everything the setjmp frame touches lives here, outside that frame, so its values stay
// defined after a jump back.
struct DecodeSession {
    jpeg_decompress_struct info{};
    ErrorManager errors{};
    std::FILE* file = nullptr;
    JpegImage* image = nullptr;
    std::vector<JSAMPROW> rows;
    const char* refusal = nullptr; // set for pictures refused by our own checks
};

// Runs the whole decompression. Returns false with the reason in the session on failure.
// No object with a destructor is created in this frame, so a longjmp out of libjpeg is safe.
bool decompress(DecodeSession& session) {
    jpeg_decompress_struct& info = session.info;
    if (setjmp(session.errors.jump)) return false;

    jpeg_read_header(&info, TRUE);
    if (info.image_width > maxPictureSide || info.image_height > maxPictureSide ||
        std::size_t{info.image_width} * info.image_height > maxPicturePixels) {
        session.refusal = "picture too large";
        return false;
    }
    // Every picture becomes RGB: greyscale converts; what libjpeg cannot convert (CMYK, YCCK)
    // fails in jpeg_start_decompress with its own message.
    info.out_color_space = JCS_RGB;
    jpeg_start_decompress(&info);
    if (info.output_components != 3) {
        session.refusal = "not convertible to RGB";
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

    while (info.output_scanline < info.output_height) {
        const JDIMENSION read =
            jpeg_read_scanlines(&info, session.rows.data() + info.output_scanline,
                                info.output_height - info.output_scanline);
        if (read == 0) {
            session.refusal = "decoder made no progress";
            return false;
        }
    }
    jpeg_finish_decompress(&info);
    if (session.errors.base.num_warnings > 0) image.warning = session.errors.message;
    return true;
}

} // namespace

std::unique_ptr<JpegImage> decodeJpeg(const char* fileName, std::string& error) {
    if (fileName == nullptr) {
        error = "no file name";
        return nullptr;
    }
    auto image = std::make_unique<JpegImage>();
    DecodeSession session;
    session.image = image.get();
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
        error = session.refusal != nullptr ? session.refusal : session.errors.message;
        return nullptr;
    }
    return image;
}
