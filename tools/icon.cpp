// The program's icon: a translucent cube, the show's first motif, glowing on a rounded tile.
// Painted at each size directly, so lines stay at least a pixel wide on the small ones.
#include "tools/assets.h"

#include "tools/image_io.h"
#include "tools/image_ops.h"
#include "tools/image_shapes.h"
#include "tools/picture_style.h"

#include <algorithm>
#include <cmath>
#include <filesystem>

namespace {

struct Icon {
    Image colour;
    Mask opacity;
};

Icon paintIcon(int size) {
    const float s = float(size) / 256; // layout in units of the 256-pixel icon
    const auto line = [s](float width) { return std::max(width * s, 0.6f); };
    Icon icon{Image(size, size), Mask(size, size)};
    Image& image = icon.colour;

    const Point centre{size / 2.0f, size / 2.0f};
    const float half = 120 * s;
    icon.opacity =
        shapeMask(size, size, [&](Point p) { return sdBox(p, centre, half, half, 44 * s); });
    fillWith(image, [&](float, float y) {
        return ramp({{0, hex(0x22307a)}, {0.6f, hex(0x111a4a)}, {1, hex(0x070b22)}}, y / size);
    });

    // An isometric cube: the hexagon of its outline around `c`, corners from the top, clockwise.
    const Point c{centre.x, centre.y + 6 * s};
    const float r = 80 * s, rx = r * 0.8660254f;
    const Point top{c.x, c.y - r}, upperRight{c.x + rx, c.y - r / 2},
        lowerRight{c.x + rx, c.y + r / 2}, bottom{c.x, c.y + r}, lowerLeft{c.x - rx, c.y + r / 2},
        upperLeft{c.x - rx, c.y - r / 2};

    Mask glow =
        blur(shapeMask(size, size, [&](Point p) { return sdCircle(p, c, r * 0.95f); }), 28 * s);
    addLight(image, glow, hex(0x2a8cff) * 0.55f);

    struct Face {
        std::vector<Point> corners;
        Rgb colour;
    } faces[] = {{{upperLeft, top, upperRight, c}, hex(0x8fe0ff)},
                 {{c, upperRight, lowerRight, bottom}, hex(0x3a8ae8)},
                 {{upperLeft, c, bottom, lowerLeft}, hex(0x2254b8)}};
    for (const Face& face : faces)
        paint(image, shapeMask(size, size, [&](Point p) { return sdPolygon(p, face.corners); }),
              face.colour, 0.78f);

    // The hidden edges show faintly through the faces, then the outline and front edges.
    Mask hidden(size, size), edges(size, size);
    for (Point far : {top, lowerRight, lowerLeft})
        addShape(
            hidden, [&](Point p) { return sdSegment(p, c, far, line(1.6f)); }, 0, 0, size, size);
    const Point outline[] = {top, upperRight, lowerRight, bottom, lowerLeft, upperLeft};
    for (int i = 0; i < 6; ++i)
        addShape(
            edges, [&](Point p) { return sdSegment(p, outline[i], outline[(i + 1) % 6], line(3)); },
            0, 0, size, size);
    for (Point near : {upperLeft, upperRight, bottom})
        addShape(
            edges, [&](Point p) { return sdSegment(p, c, near, line(3)); }, 0, 0, size, size);
    paint(image, hidden, hex(0xd8f4ff), 0.35f);
    addLight(image, blur(edges, 5 * s), hex(0x4fb8ff) * 0.7f);
    paint(image, edges, hex(0xeaf8ff));
    return icon;
}

} // namespace

bool generateIcons(const std::string& directory, std::string& error) {
    std::error_code ec;
    for (int size : iconSizes) {
        const std::string name = std::to_string(size) + "x" + std::to_string(size);
        const std::filesystem::path folder =
            std::filesystem::path(directory) / "hicolor" / name / "apps";
        std::filesystem::create_directories(folder, ec);
        if (ec) {
            error = "cannot create " + folder.string() + ": " + ec.message();
            return false;
        }
        const Icon icon = paintIcon(size);
        const auto png = [&](const std::string& part, std::string& e) {
            return writePng(part, icon.colour, icon.opacity, e);
        };
        if (!writeWhole((folder / "tuvero.png").string(), error, png)) return false;
    }
    return true;
}
