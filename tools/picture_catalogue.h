// Every picture file the show reads, with its size, how the show draws it and the code that
// paints it. Files that must line up (a banner's mask and its light) are painted together.
#pragma once

#include "tools/image.h"

#include <string>
#include <vector>

enum class PictureUse {
    Screen,     // drawn whole over the 640 x 480 screen
    MiddleRows, // background drawn with texture rows 0.125 to 0.875 (and whole on a cube face)
    Surface,    // texture on geometry, repeated: tileable in both directions
    Mapped,     // texture laid over a model whole, never repeated
    Mask,       // multiplied into the frame: white keeps, black removes
    Light,      // added on top of its mask's pass: black adds nothing
};

struct PictureFile {
    std::string name;
    int width = 0, height = 0;
    PictureUse use = PictureUse::Screen;
    int shownWidth = 0, shownHeight = 0; // on-screen size in pixels where the show fixes it
};

struct PictureSet {
    std::vector<PictureFile> files;
    std::vector<Image> (*paint)(); // one image per file, in the same order
};

const std::vector<PictureSet>& pictureCatalogue();
