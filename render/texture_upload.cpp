// Pictures and blank textures uploaded through the drawing layer.
#include "assets/data_folder.h"
#include "assets/load_report.h"
#include "assets/texture.h"
#include "render/gfx.h"

#include <set>
#include <string>

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
    std::string error;
    std::unique_ptr<JpegImage> image = decodeJpeg(picturePath(fileName).c_str(), error,
                                                  static_cast<unsigned>(gfx::maxTextureSide()));
    if (!image) {
        reportPicture(fileName, error, false);
        return false;
    }

    // Some pictures serve several scenes: the same warning is said once.
    static std::set<std::string> warnedPictures;
    if (!image->warning.empty() && warnedPictures.insert(fileName).second)
        reportPicture(fileName, image->warning, true);

    textures[index] =
        gfx::createTexture(image->width, image->height, image->pixels.data(), true, error);
    if (!textures[index]) {
        reportPicture(fileName, error, false);
        return false;
    }
    return true;
}

void createEmptyTexture(Texture* textures, int width, int height, int index) {
    std::string error;
    const bool fits = width > 0 && height > 0 &&
                      static_cast<unsigned>(width) <= maxEmptyTextureSide &&
                      static_cast<unsigned>(height) <= maxEmptyTextureSide;
    textures[index] = fits ? gfx::createTexture(width, height, nullptr, false, error) : 0;
}
