#include "tools/contact_sheet.h"

#include "tools/font_text.h"
#include "tools/image_io.h"
#include "tools/image_ops.h"
#include "tools/picture_catalogue.h"

#include <algorithm>
#include <map>

namespace {

struct Preview {
    Image image;
    std::string label;
};

constexpr int kSheetWidth = 1400, kGap = 12, kLabel = 20;

Image fitHeight(const Image& image, int height) {
    int width = std::max(1, image.width * height / image.height);
    return resized(image, width, height);
}

Image cropRows(const Image& image, float from, float to) {
    int y0 = int(image.height * from), y1 = int(image.height * to);
    Image out(image.width, y1 - y0);
    for (int y = y0; y < y1; ++y) {
        for (int x = 0; x < image.width; ++x)
            out.at(x, y - y0) = image.at(x, y);
    }
    return out;
}

Image tiled(const Image& image) {
    Image out(image.width * 2, image.height * 2);
    for (int y = 0; y < out.height; ++y) {
        for (int x = 0; x < out.width; ++x)
            out.at(x, y) = image.wrapped(x, y);
    }
    return out;
}

// backdrop * mask + light, the way the show's two blending passes combine a pair.
Image combined(const Image& backdrop, const Image& mask, const Image& light) {
    Image out = backdrop;
    for (std::size_t i = 0; i < out.data.size(); ++i) {
        Rgb c = backdrop.data[i] * mask.data[i] + light.data[i];
        out.data[i] = {std::min(c.r, 1.0f), std::min(c.g, 1.0f), std::min(c.b, 1.0f)};
    }
    return out;
}

bool wanted(const PictureSet& set, const std::vector<std::string>& only) {
    if (only.empty()) return true;
    for (const PictureFile& file : set.files) {
        if (std::find(only.begin(), only.end(), file.name) != only.end()) return true;
    }
    return false;
}

std::vector<Preview> previews(const std::map<std::string, Image>& pictures,
                              const std::vector<std::string>& only) {
    std::vector<Preview> out;
    const int k = only.empty() ? 1 : 2; // a sheet of a few pictures shows them larger
    const Image* backdrop = nullptr;
    if (auto it = pictures.find("mindcontrol.jpg"); it != pictures.end()) backdrop = &it->second;
    for (const PictureSet& set : pictureCatalogue()) {
        if (!wanted(set, only)) continue;
        for (const PictureFile& file : set.files) {
            const Image& image = pictures.at(file.name);
            switch (file.use) {
            case PictureUse::Screen:
                out.push_back({resized(image, 320 * k, 240 * k), file.name});
                break;
            case PictureUse::MiddleRows:
                out.push_back({resized(cropRows(image, 0.125f, 0.875f), 320 * k, 240 * k),
                               file.name + " (on screen)"});
                out.push_back({fitHeight(image, 240 * k), file.name + " (on the cube)"});
                break;
            case PictureUse::Mapped:
                out.push_back({fitHeight(image, 240 * k), file.name});
                break;
            case PictureUse::Surface:
                out.push_back({fitHeight(tiled(image), 240 * k), file.name + " (2 x 2)"});
                break;
            case PictureUse::Mask:
            case PictureUse::Light:
                out.push_back({fitHeight(image, 120 * k), file.name});
                break;
            }
        }
        if (set.files.size() == 2 && set.files[0].use == PictureUse::Mask) {
            const PictureFile& f = set.files[0];
            const Image& mask = pictures.at(f.name);
            const Image& light = pictures.at(set.files[1].name);
            int w = f.shownWidth ? f.shownWidth : 256, h = f.shownHeight ? f.shownHeight : 256;
            Image ground = backdrop ? resized(cropRows(*backdrop, 0.55f, 0.85f), w, h)
                                    : Image(w, h, Rgb{0.3f, 0.3f, 0.3f});
            out.push_back({combined(ground, resized(mask, w, h), resized(light, w, h)),
                           f.name + " + light, on screen"});
        }
    }
    return out;
}

} // namespace

bool writeContactSheet(const std::string& dataDirectory, const std::string& pngPath,
                       std::string& error, const std::vector<std::string>& only) {
    std::map<std::string, Image> pictures;
    for (const PictureSet& set : pictureCatalogue()) {
        for (const PictureFile& file : set.files) {
            JpegInfo info;
            if (!readJpeg(dataDirectory + "/" + file.name, info, error)) return false;
            pictures[file.name] = toImage(info);
        }
    }
    std::vector<Preview> cells;
    try {
        cells = previews(pictures, only);
    } catch (const std::out_of_range&) {
        error = "a picture is missing";
        return false;
    }
    // Flow layout: left to right, a new row when the next cell does not fit.
    struct Placed {
        int x, y;
    };
    std::vector<Placed> places;
    int x = kGap, y = kGap, rowHeight = 0;
    for (const Preview& cell : cells) {
        if (x + cell.image.width + kGap > kSheetWidth && x > kGap) {
            x = kGap;
            y += rowHeight + kLabel + kGap;
            rowHeight = 0;
        }
        places.push_back({x, y});
        x += cell.image.width + kGap;
        rowHeight = std::max(rowHeight, cell.image.height);
    }
    Image sheet(kSheetWidth, y + rowHeight + kLabel + kGap, Rgb{0.12f, 0.12f, 0.13f});
    Mask labels(sheet.width, sheet.height);
    try {
        Font font("DejaVuSans.ttf");
        for (std::size_t i = 0; i < cells.size(); ++i) {
            blit(sheet, cells[i].image, places[i].x, places[i].y);
            font.draw(labels, cells[i].label, float(places[i].x),
                      float(places[i].y + cells[i].image.height + 15), {13, 1, 0});
        }
    } catch (const PictureError& e) {
        error = e.what();
        return false;
    }
    paint(sheet, labels, Rgb{0.8f, 0.8f, 0.8f});
    return writePng(pngPath, sheet, error);
}
