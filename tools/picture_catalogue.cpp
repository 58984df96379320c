#include "tools/picture_catalogue.h"

#include "tools/picture_art.h"

namespace {

template <Image (*Paint)()> std::vector<Image> one() { return {Paint()}; }
template <int Which> std::vector<Image> greeting() { return {paintGreeting(Which)}; }
template <int Which> std::vector<Image> banner() { return paintBanner(Which); }

PictureSet single(const char* name, int w, int h, PictureUse use, std::vector<Image> (*paint)()) {
    return {{{name, w, h, use, 0, 0}}, paint};
}

PictureSet pair(const char* base, int w, int h, int shownW, int shownH,
                std::vector<Image> (*paint)()) {
    std::string b = base;
    return {{{b + ".jpg", w, h, PictureUse::Mask, shownW, shownH},
             {b + "_alpha.jpg", w, h, PictureUse::Light, shownW, shownH}},
            paint};
}

} // namespace

const std::vector<PictureSet>& pictureCatalogue() {
    using U = PictureUse;
    static const std::vector<PictureSet> sets = {
        single("loading.jpg", 640, 480, U::Screen, one<paintLoading>),
        single("mindcontrol.jpg", 512, 512, U::MiddleRows, one<paintMindControl>),
        single("nosmorking.jpg", 512, 512, U::MiddleRows, one<paintNoSmorking>),
        single("friends.jpg", 512, 512, U::MiddleRows, one<paintFriends>),
        single("kuutio.jpg", 640, 480, U::Screen, one<paintCubeBackdrop>),
        single("doin.jpg", 640, 480, U::Screen, greeting<0>),
        single("vatr.jpg", 640, 480, U::Screen, greeting<1>),
        single("mulo.jpg", 640, 480, U::Screen, greeting<2>),
        single("olvanusteri.jpg", 640, 480, U::Screen, greeting<3>),
        single("texture.jpg", 256, 256, U::Mapped, one<paintStarMetal>),
        single("texture2.jpg", 256, 256, U::Surface, one<paintFloorTiles>),
        single("texture3.jpg", 256, 256, U::Surface, one<paintTunnelWall>),
        single("texture4.jpg", 256, 256, U::Surface, one<paintCircuitFace>),
        single("texture5.jpg", 256, 256, U::Surface, one<paintCeiling>),
        single("texture6.jpg", 512, 256, U::Surface, one<paintSphereSkin>),
        single("texture7.jpg", 256, 256, U::Surface, one<paintPillar>),
        pair("realtime_polygons", 512, 256, 392, 150, banner<0>),
        pair("so_many", 512, 128, 400, 100, banner<1>),
        pair("count", 1024, 128, 900, 100, banner<2>),
        pair("tuli", 256, 256, 0, 0, paintFlame),
    };
    return sets;
}
