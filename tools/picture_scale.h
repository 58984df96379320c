// The scale pictures are painted at. Painting code works in design pixels, the pixels of the
// classic files; at scale K the same composition lands on a canvas K times wider and taller.
// Every position and length handed to a drawing function (shape distances, boxes, blur radii,
// offsets, font sizes) is in design pixels and grows by K there, so shapes, noise features and
// strokes keep their size relative to the picture while edges stay one real pixel wide. Grid
// sizes (Image, Mask, resized) are always real pixels. Scale 1 paints the classic files.
#pragma once

#include "tools/image.h"

namespace picture_scale_detail {
inline int current = 1;
} // namespace picture_scale_detail

// The scale in force: 1 unless a PictureScaleScope is active.
inline int pictureScale() { return picture_scale_detail::current; }

// Sets the scale for the scope's lifetime. The scale is global: set it before painting starts,
// not while pictures are being painted on other threads.
class PictureScaleScope {
  public:
    explicit PictureScaleScope(int scale) : previous_(picture_scale_detail::current) {
        picture_scale_detail::current = scale;
    }
    ~PictureScaleScope() { picture_scale_detail::current = previous_; }
    PictureScaleScope(const PictureScaleScope&) = delete;
    PictureScaleScope& operator=(const PictureScaleScope&) = delete;

  private:
    int previous_;
};

// A canvas of the given design size: (width x height) times the scale in real pixels.
inline Image canvas(int designWidth, int designHeight, Rgb fill = {}) {
    const int k = pictureScale();
    return Image(designWidth * k, designHeight * k, fill);
}
inline Mask canvasMask(int designWidth, int designHeight) {
    const int k = pictureScale();
    return Mask(designWidth * k, designHeight * k);
}
