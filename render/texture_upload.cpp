// Pictures and blank textures uploaded through the drawing layer.
#include "app/app.h"
#include "app/console.h"
#include "assets/data_folder.h"
#include "assets/texture.h"
#include "render/gfx.h"

#include <set>
#include <string>

void loadJpegTexture(Texture* textures, const char* fileName, int index) {
    if (fileName == nullptr) return;
    std::string error;
    std::unique_ptr<JpegImage> image = decodeJpeg(picturePath(fileName).c_str(), error);
    if (!image) failAndExit(std::string("cannot load picture ") + fileName + ": " + error, 1);

    // Some pictures serve several scenes: the same warning is said once.
    static std::set<std::string> warnedPictures;
    if (!image->warning.empty() && warnedPictures.insert(fileName).second)
        printMessageLine(std::string("tuvero: warning: picture ") + fileName + ": " +
                         image->warning);

    textures[index] =
        gfx::createTexture(image->width, image->height, image->pixels.data(), true, error);
    if (!textures[index])
        failAndExit(std::string("cannot load picture ") + fileName + ": " + error, 1);
}

void createEmptyTexture(Texture* textures, int width, int height, int index) {
    std::string error;
    const bool fits = width > 0 && height > 0 && static_cast<unsigned>(width) <= maxPictureSide &&
                      static_cast<unsigned>(height) <= maxPictureSide;
    textures[index] = fits ? gfx::createTexture(width, height, nullptr, false, error) : 0;
    if (!textures[index])
        failAndExit("cannot create a texture of " + std::to_string(width) + " x " +
                        std::to_string(height) + " pixels" + (error.empty() ? "" : ": " + error),
                    1);
}
