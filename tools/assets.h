// The asset generator: every picture, model and the module the show reads, made
// deterministically (the same bytes on every run).
#pragma once

#include <string>

bool generatePictures(const std::string& directory, std::string& error);
bool generateModels(const std::string& directory, std::string& error);
bool generateMusic(const std::string& directory, std::string& error);
// The program's icon at every size of `iconSizes`, as DIR/hicolor/NxN/apps/tuvero.png.
bool generateIcons(const std::string& directory, std::string& error);
inline constexpr int iconSizes[] = {48, 128, 256};
