// Temporary stand-in until texture loading lands.
#include "assets/texture.h"

#include <GL/gl.h>

static std::string dataDirectory;

void setDataDirectory(const std::string& directory) { dataDirectory = directory; }

std::string dataPath(const char* fileName) {
    if (dataDirectory.empty()) return fileName;
    return dataDirectory + "/" + fileName;
}

std::unique_ptr<JpegImage> decodeJpeg(const char*, std::string& error) {
    error = "not built yet";
    return nullptr;
}

void loadJpegTexture(Texture* textures, const char*, int index) {
    glGenTextures(1, &textures[index]);
    glBindTexture(GL_TEXTURE_2D, textures[index]);
}

void createEmptyTexture(Texture* textures, int, int, int index) {
    glGenTextures(1, &textures[index]);
    glBindTexture(GL_TEXTURE_2D, textures[index]);
}
