// A contact sheet: every picture of the catalogue read back from a data folder and laid out on
// one PNG, each as the show presents it (backgrounds cropped to their visible rows, surfaces
// tiled 2 x 2, mask and light pairs also combined over a backdrop at their on-screen size).
#pragma once

#include <string>

bool writeContactSheet(const std::string& dataDirectory, const std::string& pngPath,
                       std::string& error);
