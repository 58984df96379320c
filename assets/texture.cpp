// JPEG decoding through libjpeg and upload as GL textures.
#include "assets/texture.h"

#include "assets/data_folder.h"
#include "assets/load_report.h"
#include "assets/texture_filtering.h"

#include <GL/gl.h>
#include <GL/glu.h>

#include <algorithm>
#include <cerrno>
#include <csetjmp>
#include <cstdio>
#include <cstring>
#include <set>
#include <string>

// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>

namespace {

// Blank textures are made no larger than this on a side.
constexpr unsigned maxEmptyTextureSide = 8192;

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

// The power of two nearest to `side`, halves rounding up: the size the mip-map builder picks.
int nearestPowerOfTwo(int side) {
    int power = 1;
    while (power * 2 <= side)
        power *= 2;
    return side - power >= power / 2 && power / 2 > 0 ? power * 2 : power;
}

// Whether the context takes textures of any size (GL 2.0, or the extension on older ones) and
// builds their mip-maps itself (GL 1.4). Asked at every upload: contexts come and go.
bool contextTakesAnyTextureSize() {
    const auto* version = reinterpret_cast<const char*>(glGetString(GL_VERSION));
    int major = 0, minor = 0;
    if (version == nullptr || std::sscanf(version, "%d.%d", &major, &minor) != 2) return false;
    if (major >= 2) return true;
    if (major < 1 || (major == 1 && minor < 4)) return false;
    const auto* extensions = reinterpret_cast<const char*>(glGetString(GL_EXTENSIONS));
    return extensions != nullptr &&
           std::strstr(extensions, "GL_ARB_texture_non_power_of_two") != nullptr;
}

// Uploads the picture at its own size and lets GL build the smaller levels: no rescaling and
// no mip-map building on the CPU, the fast path for large pictures. Returns GL's error, 0 on
// success.
GLenum uploadWithGlMipmaps(const JpegImage& image) {
    while (glGetError() != GL_NO_ERROR) {
    } // earlier errors are not this upload's
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_TRUE);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, image.width, image.height, 0, GL_RGB, GL_UNSIGNED_BYTE,
                 image.pixels.data());
    // Only this upload builds levels: later changes to the texture (none today) stay explicit.
    glTexParameteri(GL_TEXTURE_2D, GL_GENERATE_MIPMAP, GL_FALSE);
    return glGetError();
}

// Builds the texture's levels from packed RGB rows (alignment 1: the default of 4 would skew
// every width whose rows are not a multiple of 4 bytes). Mesa's gluBuild2DMipmaps leaves the last
// row of level 0 black when it has to rescale only the width (33 x 16, 640 x 256), so pictures are
// first brought to power-of-two sides with gluScaleImage, which scales correctly; the builder
// then only halves. Returns GLU's error code, 0 on success.
GLint buildMipmapsWithGlu(const JpegImage& image) {
    const int width = nearestPowerOfTwo(image.width);
    const int height = nearestPowerOfTwo(image.height);
    if (width == image.width && height == image.height)
        return gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE,
                                 image.pixels.data());
    std::vector<std::uint8_t> scaled(std::size_t(width) * std::size_t(height) * 3);
    GLint result =
        gluScaleImage(GL_RGB, image.width, image.height, GL_UNSIGNED_BYTE, image.pixels.data(),
                      width, height, GL_UNSIGNED_BYTE, scaled.data());
    if (result == 0)
        result = gluBuild2DMipmaps(GL_TEXTURE_2D, 3, width, height, GL_RGB, GL_UNSIGNED_BYTE,
                                   scaled.data());
    return result;
}

// The texture's levels from the picture, by GL where it can, else by GLU. Texture coordinates
// are the same either way: both cover the whole picture from 0 to 1. Returns the reason on
// failure, "" on success.
std::string buildMipmaps(const JpegImage& image) {
    GLint unpack = 4, pack = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
    glGetIntegerv(GL_PACK_ALIGNMENT, &pack);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    std::string reason;
    if (contextTakesAnyTextureSize()) {
        const GLenum error = uploadWithGlMipmaps(image);
        if (error == GL_OUT_OF_MEMORY)
            reason = "out of texture memory";
        else if (error != GL_NO_ERROR)
            reason = "texture upload failed (GL error " + std::to_string(error) + ")";
    } else if (const GLint error = buildMipmapsWithGlu(image); error != 0) {
        const auto* text = reinterpret_cast<const char*>(gluErrorString(GLenum(error)));
        reason = text != nullptr ? text : "mip-map build failed";
    }
    glPixelStorei(GL_UNPACK_ALIGNMENT, unpack);
    glPixelStorei(GL_PACK_ALIGNMENT, pack);
    return reason;
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

namespace {
void reportPicture(const char* fileName, const std::string& reason, bool warning) {
    const std::string name = fileName;
    reportLoadProblem(
        {LoadReport::Kind::Picture, warning, name,
         (warning ? "warning: picture " : "cannot load picture ") + name + ": " + reason,
         warning ? "Warning" : "Error"});
}
} // namespace

bool loadJpegTexture(Texture* textures, const char* fileName, int index) {
    if (fileName == nullptr) return true;
    GLint maxTextureSide = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &maxTextureSide);
    std::string error;
    std::unique_ptr<JpegImage> image = decodeJpeg(
        picturePath(fileName).c_str(), error, static_cast<unsigned>(std::max(maxTextureSide, 0)));
    if (!image) {
        reportPicture(fileName, error, false);
        return false;
    }

    // Some pictures serve several scenes: the same warning is said once.
    static std::set<std::string> warnedPictures;
    if (!image->warning.empty() && warnedPictures.insert(fileName).second)
        reportPicture(fileName, image->warning, true);

    glGenTextures(1, &textures[index]);
    glBindTexture(GL_TEXTURE_2D, textures[index]);
    const std::string failure = buildMipmaps(*image);
    if (!failure.empty()) {
        reportPicture(fileName, failure, false);
        return false;
    }
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR_MIPMAP_NEAREST);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
    applyAnisotropicFiltering();
    return true;
}

void createEmptyTexture(Texture* textures, int width, int height, int index) {
    if (width <= 0 || height <= 0 || static_cast<unsigned>(width) > maxEmptyTextureSide ||
        static_cast<unsigned>(height) > maxEmptyTextureSide) {
        textures[index] = 0;
        return;
    }
    // Three 32-bit components per pixel, matching the GL_UNSIGNED_INT upload.
    const std::vector<GLuint> zeros(std::size_t(width) * std::size_t(height) * 3, 0);
    glGenTextures(1, &textures[index]);
    glBindTexture(GL_TEXTURE_2D, textures[index]);
    glTexImage2D(GL_TEXTURE_2D, 0, 3, width, height, 0, GL_RGB, GL_UNSIGNED_INT, zeros.data());
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, GL_LINEAR);
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, GL_LINEAR);
}
