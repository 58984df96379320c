// A contact sheet: every picture of the catalogue read back from a data folder and laid out on
// one PNG, each as the show presents it (backgrounds cropped to their visible rows, surfaces
// tiled 2 x 2, mask and light pairs also combined over a backdrop at their on-screen size).
#pragma once

#include <string>
#include <vector>

// `only`, when not empty, limits the sheet to the pictures of those file names (and their pairs).
bool writeContactSheet(const std::string& dataDirectory, const std::string& pngPath,
                       std::string& error, const std::vector<std::string>& only = {});
