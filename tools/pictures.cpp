// Writes every picture of the catalogue as a JPEG file into the data folder, at any scale.
#include "tools/assets.h"

#include "tools/image_io.h"
#include "tools/picture_catalogue.h"
#include "tools/picture_scale.h"

bool isPictureScale(int scale) { return scale >= 1 && scale <= maxPictureScale; }

bool writePictureSet(const PictureSet& set, const std::string& directory, int scale,
                     std::string& error) {
    if (!isPictureScale(scale)) {
        error = "scale " + std::to_string(scale) + " is not a whole number from 1 to " +
                std::to_string(maxPictureScale);
        return false;
    }
    try {
        const PictureScaleScope scope(scale);
        std::vector<Image> images = set.paint();
        if (images.size() != set.files.size()) {
            error = "painter of " + set.files.front().name + " made the wrong number of pictures";
            return false;
        }
        for (std::size_t i = 0; i < images.size(); ++i) {
            const PictureFile& file = set.files[i];
            if (images[i].width != file.width * scale || images[i].height != file.height * scale) {
                error = file.name + " was painted at the wrong size";
                return false;
            }
            // Never a truncated picture that the show would fail to decode.
            const auto jpeg = [&](const std::string& part, std::string& e) {
                return writeJpeg(part, images[i], e);
            };
            if (!writeWhole(directory + "/" + file.name, error, jpeg)) return false;
        }
    } catch (const PictureError& e) {
        error = e.what();
        return false;
    }
    return true;
}

bool generatePictures(const std::string& directory, std::string& error, int scale,
                      const PictureProgress& progress) {
    const std::vector<PictureSet>& sets = pictureCatalogue();
    for (std::size_t i = 0; i < sets.size(); ++i) {
        if (progress) progress(i, sets.size(), sets[i].files.front().name);
        if (!writePictureSet(sets[i], directory, scale, error)) return false;
    }
    if (progress) progress(sets.size(), sets.size(), "");
    return true;
}
