// The asset generator: every picture, model and the module the show reads, made
// deterministically (the same bytes on every run).
#pragma once

#include <cstddef>
#include <functional>
#include <string>

struct PictureSet;

// Pictures can be painted at whole multiples of their classic size, up to this one.
inline constexpr int maxPictureScale = 4;
bool isPictureScale(int scale);

// Told before each set is painted (done of total, the set's first file) and once at the end
// (done == total, no file).
using PictureProgress =
    std::function<void(std::size_t done, std::size_t total, const std::string& file)>;

// Every picture at `scale` times its classic width and height, same composition; scale 1
// writes the classic files.
bool generatePictures(const std::string& directory, std::string& error, int scale = 1,
                      const PictureProgress& progress = {});
// One set of the catalogue, the same files generatePictures writes for it.
bool writePictureSet(const PictureSet& set, const std::string& directory, int scale,
                     std::string& error);
bool generateModels(const std::string& directory, std::string& error);
bool generateMusic(const std::string& directory, std::string& error);
// The program's icon at every size of `iconSizes`, as DIR/hicolor/NxN/apps/tuvero.png.
bool generateIcons(const std::string& directory, std::string& error);
inline constexpr int iconSizes[] = {48, 128, 256};
