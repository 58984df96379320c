// Textures of the drawing layer. GL ES cannot report a texture's size or filters, so the layer
// keeps them itself.
#include "render/gfx_internal.h"

#include <cstring>
#include <unordered_map>

#ifndef GL_TEXTURE_MAX_ANISOTROPY_EXT
#define GL_TEXTURE_MAX_ANISOTROPY_EXT 0x84FE
#define GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT 0x84FF
#endif

namespace gfx {
namespace {

std::unordered_map<Texture, TextureInfo> known;
bool anisotropyWanted = false;
int anisotropyKnown = -1; // -1 until the driver was asked; then 1 with the extension, 0 without
GLfloat anisotropyMost = 1;
constexpr GLfloat anisotropyChosen =
    8; // beyond 8 pictures gain little and a software renderer slows

GLint glFilter(Filter filter) {
    switch (filter) {
    case Filter::Nearest:
        return GL_NEAREST;
    case Filter::Linear:
        return GL_LINEAR;
    case Filter::LinearMipmapNearest:
        return GL_LINEAR_MIPMAP_NEAREST;
    }
    return GL_LINEAR;
}

bool hasExtension(const char* name) {
    GLint count = 0;
    glGetIntegerv(GL_NUM_EXTENSIONS, &count);
    for (GLint i = 0; i < count; ++i) {
        const auto* extension =
            reinterpret_cast<const char*>(glGetStringi(GL_EXTENSIONS, static_cast<GLuint>(i)));
        if (extension && std::strcmp(extension, name) == 0) return true;
    }
    return false;
}

void applyAnisotropy() {
    if (!anisotropyWanted) return;
    if (anisotropyKnown < 0) {
        anisotropyKnown = hasExtension("GL_EXT_texture_filter_anisotropic") ? 1 : 0;
        if (anisotropyKnown) glGetFloatv(GL_MAX_TEXTURE_MAX_ANISOTROPY_EXT, &anisotropyMost);
    }
    if (anisotropyKnown == 1)
        glTexParameterf(GL_TEXTURE_2D, GL_TEXTURE_MAX_ANISOTROPY_EXT,
                        anisotropyMost < anisotropyChosen ? anisotropyMost : anisotropyChosen);
}

} // namespace

namespace detail {
void forgetTextures() {
    known.clear();
    anisotropyKnown = -1;
}
} // namespace detail

Texture createTexture(int width, int height, const std::uint8_t* rgb, bool mipmaps,
                      std::string& error) {
    while (glGetError() != GL_NO_ERROR) {
    } // earlier errors are not this upload's
    std::vector<std::uint8_t> black;
    if (!rgb) {
        black.assign(static_cast<std::size_t>(width) * static_cast<std::size_t>(height) * 3, 0);
        rgb = black.data();
    }
    Texture texture = 0;
    glGenTextures(1, &texture);
    glBindTexture(GL_TEXTURE_2D, texture);
    detail::textureBindingChanged();
    // Rows are packed: the default alignment of 4 would skew widths whose rows are not a
    // multiple of 4 bytes.
    GLint unpack = 4;
    glGetIntegerv(GL_UNPACK_ALIGNMENT, &unpack);
    glPixelStorei(GL_UNPACK_ALIGNMENT, 1);
    glTexImage2D(GL_TEXTURE_2D, 0, GL_RGB8, width, height, 0, GL_RGB, GL_UNSIGNED_BYTE, rgb);
    glPixelStorei(GL_UNPACK_ALIGNMENT, unpack);
    if (mipmaps) glGenerateMipmap(GL_TEXTURE_2D);
    const GLenum status = glGetError();
    if (status != GL_NO_ERROR) {
        error = status == GL_OUT_OF_MEMORY
                    ? "out of texture memory"
                    : "texture upload failed (GL error " + std::to_string(status) + ")";
        glDeleteTextures(1, &texture);
        return 0;
    }
    TextureInfo info;
    info.width = width;
    info.height = height;
    info.mipmaps = mipmaps;
    info.minFilter = mipmaps ? Filter::LinearMipmapNearest : Filter::Linear;
    info.magFilter = Filter::Linear;
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, glFilter(info.minFilter));
    glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, glFilter(info.magFilter));
    if (mipmaps) applyAnisotropy();
    known[texture] = info;
    return texture;
}

void deleteTexture(Texture& texture) {
    if (!texture) return;
    glDeleteTextures(1, &texture);
    known.erase(texture);
    detail::textureDeleted(texture);
    texture = 0;
}

void deleteTextures(Texture* textures, int count) {
    for (int i = 0; i < count; ++i)
        deleteTexture(textures[i]);
}

void setTextureFilters(Texture texture, Filter minFilter, Filter magFilter) {
    const auto found = known.find(texture);
    if (found == known.end()) return;
    TextureInfo& info = found->second;
    if (info.minFilter == minFilter && info.magFilter == magFilter) return;
    glBindTexture(GL_TEXTURE_2D, texture);
    if (info.minFilter != minFilter)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MIN_FILTER, glFilter(minFilter));
    if (info.magFilter != magFilter)
        glTexParameteri(GL_TEXTURE_2D, GL_TEXTURE_MAG_FILTER, glFilter(magFilter));
    info.minFilter = minFilter;
    info.magFilter = magFilter;
    detail::textureBindingChanged();
}

TextureInfo textureInfo(Texture texture) {
    const auto found = known.find(texture);
    return found == known.end() ? TextureInfo{} : found->second;
}

int maxTextureSide() {
    GLint side = 0;
    glGetIntegerv(GL_MAX_TEXTURE_SIZE, &side);
    return side > 0 ? side : 0;
}

bool isTexture(Texture texture) { return texture && glIsTexture(texture) == GL_TRUE; }

void useAnisotropicFiltering(bool on) { anisotropyWanted = on; }

void copyReadFrameIntoTexture(Texture texture, int width, int height) {
    glBindTexture(GL_TEXTURE_2D, texture);
    detail::textureBindingChanged();
    glCopyTexSubImage2D(GL_TEXTURE_2D, 0, 0, 0, 0, 0, width, height);
}

std::vector<std::uint8_t> readTexture(Texture texture) {
    const TextureInfo info = textureInfo(texture);
    const std::size_t width = static_cast<std::size_t>(info.width);
    const std::size_t height = static_cast<std::size_t>(info.height);
    std::vector<std::uint8_t> rgb(width * height * 3);
    if (rgb.empty()) return rgb;
    GLint readFramebuffer = 0;
    glGetIntegerv(GL_READ_FRAMEBUFFER_BINDING, &readFramebuffer);
    GLuint framebuffer = 0;
    glGenFramebuffers(1, &framebuffer);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glFramebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, texture, 0);
    std::vector<std::uint8_t> rgba(width * height * 4);
    GLint pack = 4;
    glGetIntegerv(GL_PACK_ALIGNMENT, &pack);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, info.width, info.height, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    glPixelStorei(GL_PACK_ALIGNMENT, pack);
    glBindFramebuffer(GL_READ_FRAMEBUFFER, static_cast<GLuint>(readFramebuffer));
    glDeleteFramebuffers(1, &framebuffer);
    for (std::size_t i = 0; i < width * height; ++i)
        for (std::size_t c = 0; c < 3; ++c)
            rgb[i * 3 + c] = rgba[i * 4 + c];
    return rgb;
}

} // namespace gfx
