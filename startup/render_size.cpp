#include "startup/render_size.h"

#include "startup/options.h"
#include <algorithm>
#include <cctype>
#include <charconv>

const char* const renderSizeRule =
    "--render-size takes WIDTHxHEIGHT in pixels with the 4:3 shape of the show, from 160x120 "
    "to 7680x5760 (such as 1920x1440)";

bool parseRenderSize(const std::string& text, int& width, int& height) {
    const size_t x = text.find('x');
    if (x == std::string::npos) return false;
    auto number = [](const char* begin, const char* end, int& value) {
        auto [ptr, ec] = std::from_chars(begin, end, value);
        return ec == std::errc() && ptr == end && begin != end && std::isdigit(*begin);
    };
    int w = 0, h = 0;
    const char* all = text.data();
    if (!number(all, all + x, w) || !number(all + x + 1, all + text.size(), h)) return false;
    if (w < 160 || w > 7680 || static_cast<long>(w) * 3 != static_cast<long>(h) * 4) return false;
    width = w;
    height = h;
    return true;
}

bool isSoftwareRenderer(const std::string& glRenderer) {
    std::string name = glRenderer;
    std::transform(name.begin(), name.end(), name.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    for (const char* software : {"llvmpipe", "softpipe", "swrast", "software rasterizer"})
        if (name.find(software) != std::string::npos) return true;
    return false;
}

RenderChoice chooseRenderSize(const ShowOptions& options, bool offline,
                              const std::string& glRenderer) {
    RenderChoice choice;
    const bool software = isSoftwareRenderer(glRenderer);
    if (options.renderWidth > 0) {
        // Multisampling doubles a software renderer's work: off there unless asked for.
        const int samples = software && options.msaa < 0 ? 0 : options.msaa;
        choice.size = {false, options.renderWidth, options.renderHeight, samples};
        choice.anisotropic = !software;
        if (software && options.msaa < 0)
            choice.note = "tuvero: " + glRenderer +
                          " is a software renderer: no anti-aliasing; --msaa 4 turns it on";
        return choice;
    }
    if (options.classic || offline || software) {
        choice.classic = true;
        choice.size = {false, 640, 480, std::max(options.msaa, 0)};
        if (software && !options.classic && !offline)
            choice.note = "tuvero: " + glRenderer +
                          " is a software renderer: drawing 640 x 480 and scaling it up; "
                          "--render-size WxH (such as 1920x1440) draws sharper";
        return choice;
    }
    choice.size = {true, 640, 480, options.msaa};
    choice.anisotropic = true;
    return choice;
}
