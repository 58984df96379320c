// Writes every picture of the catalogue as a JPEG file into the data folder.
#include "tools/assets.h"

#include "tools/image_io.h"
#include "tools/picture_catalogue.h"

bool generatePictures(const std::string& directory, std::string& error) {
    try {
        for (const PictureSet& set : pictureCatalogue()) {
            std::vector<Image> images = set.paint();
            if (images.size() != set.files.size()) {
                error =
                    "painter of " + set.files.front().name + " made the wrong number of pictures";
                return false;
            }
            for (std::size_t i = 0; i < images.size(); ++i) {
                const PictureFile& file = set.files[i];
                if (images[i].width != file.width || images[i].height != file.height) {
                    error = file.name + " was painted at the wrong size";
                    return false;
                }
                // Never a truncated picture that the show would fail to decode.
                const auto jpeg = [&](const std::string& part, std::string& e) {
                    return writeJpeg(part, images[i], e);
                };
                if (!writeWhole(directory + "/" + file.name, error, jpeg)) return false;
            }
        }
    } catch (const PictureError& e) {
        error = e.what();
        return false;
    }
    return true;
}
