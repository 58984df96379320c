// The page's side of the browser build (see web/index.html for the functions called here).
#include "platform/browser.h"

#include <emscripten.h>

// web/sdl_audio_needs.js: a reference keeps what SDL's audio needs in the program.
extern "C" void tuveroKeepSdlAudioNeeds();

namespace platform::browser {
namespace {

// clang-format off
EM_ASYNC_JS(void, waitForAnimationFrame, (), {
    await new Promise(resolve => requestAnimationFrame(() => resolve()));
});

EM_JS(void, pageFullScreen, (int on), {
    if (Module.tuveroFullScreen) Module.tuveroFullScreen(on !== 0);
});

EM_JS(int, pageIsFullScreen, (), {
    return document.fullscreenElement ? 1 : 0;
});

EM_JS(void, pageDownload, (const char* path), {
    if (Module.tuveroDownload) Module.tuveroDownload(UTF8ToString(path));
});
EM_JS(void, pageShowEnded, (int code), {
    if (Module.tuveroEnded) Module.tuveroEnded(code);
});
// clang-format on

double lastTurn = 0;
// Milliseconds between the page's turns while the show runs without presenting to the screen.
constexpr double turnInterval = 250;

} // namespace

void waitForNextFrame() {
    waitForAnimationFrame();
    lastTurn = emscripten_get_now();
}

bool pageTurnDue() { return emscripten_get_now() - lastTurn >= turnInterval; }

void yieldWhenBusy() {
    if (!pageTurnDue()) return;
    emscripten_sleep(0);
    lastTurn = emscripten_get_now();
}

void requestFullScreen(bool on) {
    tuveroKeepSdlAudioNeeds();
    pageFullScreen(on ? 1 : 0);
}

bool fullScreen() { return pageIsFullScreen() != 0; }

void offerDownload(const std::string& path) { pageDownload(path.c_str()); }

void showEnded(int exitCode) { pageShowEnded(exitCode); }

} // namespace platform::browser
