// How large the show draws its picture: the command line, the kind of run and the renderer
// decide between the classic 640 x 480 (scaled up to the window), a fixed size, and the 4:3
// area of the window's drawable.
#pragma once

#include "platform/platform.h"
#include <string>

struct ShowOptions;

// "WxH" in pixels, 4:3, from 160 x 120 to 7680 x 5760. False for anything else.
bool parseRenderSize(const std::string& text, int& width, int& height);
extern const char* const renderSizeRule; // the one-line rule for the usage error

// True for Mesa's software rasterizers (llvmpipe, softpipe, swrast).
bool isSoftwareRenderer(const std::string& glRenderer);

struct RenderChoice {
    platform::PictureSize size;
    bool classic = false; // 640 x 480 with the classic filtering
    // Anisotropic texture filtering: not in classic, and not on a software renderer, where it
    // triples the cost of a frame.
    bool anisotropic = false;
    std::string note; // said once on stderr when not empty
};
// `offline`: capture, benchmark or snapshots, which stay classic unless --render-size is given.
RenderChoice chooseRenderSize(const ShowOptions& options, bool offline,
                              const std::string& glRenderer);
