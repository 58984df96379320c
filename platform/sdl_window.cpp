// SDL backend of the window, the GL context, the offscreen picture and presentation.
#include "platform/platform.h"

#include "platform/browser.h"
#include "platform/gl_api.h"
#include <SDL.h>
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

namespace platform {
namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
bool sdlVideoStarted = false;
int pictureWidth = 640;
int pictureHeight = 480;
int pictureSampleCount = 0;
PictureSize wantedSize;
GLuint framebuffer = 0, colorBuffer = 0, depthBuffer = 0; // drawn into
GLuint resolvedFramebuffer = 0, resolvedColorBuffer = 0;  // read from, when sampling
bool keepFrames = false;
std::vector<std::uint8_t> presented;
bool fullScreenNow = false;
int contextsMade = 0;
int windowedWidth = 640, windowedHeight = 480; // restored when full screen is left

// Framebuffer entry points, looked up at run time.
PFNGLGENFRAMEBUFFERSPROC genFramebuffers = nullptr;
PFNGLDELETEFRAMEBUFFERSPROC deleteFramebuffers = nullptr;
PFNGLBINDFRAMEBUFFERPROC bindFramebuffer = nullptr;
PFNGLGENRENDERBUFFERSPROC genRenderbuffers = nullptr;
PFNGLDELETERENDERBUFFERSPROC deleteRenderbuffers = nullptr;
PFNGLBINDRENDERBUFFERPROC bindRenderbuffer = nullptr;
PFNGLRENDERBUFFERSTORAGEPROC renderbufferStorage = nullptr;
PFNGLFRAMEBUFFERRENDERBUFFERPROC framebufferRenderbuffer = nullptr;
PFNGLCHECKFRAMEBUFFERSTATUSPROC checkFramebufferStatus = nullptr;
PFNGLBLITFRAMEBUFFERPROC blitFramebuffer = nullptr;
PFNGLRENDERBUFFERSTORAGEMULTISAMPLEPROC renderbufferStorageMultisample = nullptr;
PFNGLFRAMEBUFFERTEXTURE2DPROC framebufferTexture2D = nullptr;

void deleteOffscreenPicture();

template <typename T> bool lookUp(T& function, const char* name) {
    function = reinterpret_cast<T>(SDL_GL_GetProcAddress(name));
    return function != nullptr;
}

bool lookUpFramebufferFunctions() {
    return lookUp(genFramebuffers, "glGenFramebuffers") &&
           lookUp(deleteFramebuffers, "glDeleteFramebuffers") &&
           lookUp(bindFramebuffer, "glBindFramebuffer") &&
           lookUp(genRenderbuffers, "glGenRenderbuffers") &&
           lookUp(deleteRenderbuffers, "glDeleteRenderbuffers") &&
           lookUp(bindRenderbuffer, "glBindRenderbuffer") &&
           lookUp(renderbufferStorage, "glRenderbufferStorage") &&
           lookUp(framebufferRenderbuffer, "glFramebufferRenderbuffer") &&
           lookUp(checkFramebufferStatus, "glCheckFramebufferStatus") &&
           lookUp(blitFramebuffer, "glBlitFramebuffer");
}

// The picture is made of renderbuffers: colour and 16-bit depth, multisampled when sampling,
// then with a single-sample colour copy that every read of the frame goes through.
bool buildOffscreenPicture(int width, int height, int samples, std::string& error) {
    deleteOffscreenPicture();
    pictureWidth = width;
    pictureHeight = height;
    pictureSampleCount = samples;
    auto storage = [&](GLuint buffer, GLenum format, int count) {
        bindRenderbuffer(GL_RENDERBUFFER, buffer);
        if (count > 0)
            renderbufferStorageMultisample(GL_RENDERBUFFER, count, format, width, height);
        else
            renderbufferStorage(GL_RENDERBUFFER, format, width, height);
    };
    genRenderbuffers(1, &colorBuffer);
    storage(colorBuffer, GL_RGBA8, samples);
    genRenderbuffers(1, &depthBuffer);
    storage(depthBuffer, GL_DEPTH_COMPONENT16, samples);
    genFramebuffers(1, &framebuffer);
    bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    bool complete = checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
    if (complete && samples > 0) {
        genRenderbuffers(1, &resolvedColorBuffer);
        storage(resolvedColorBuffer, GL_RGBA8, 0);
        genFramebuffers(1, &resolvedFramebuffer);
        bindFramebuffer(GL_FRAMEBUFFER, resolvedFramebuffer);
        framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER,
                                resolvedColorBuffer);
        complete = checkFramebufferStatus(GL_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE;
        bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    }
    if (!complete) {
        error = "the offscreen picture of " + std::to_string(width) + " x " +
                std::to_string(height) + " pixels (" + std::to_string(samples) +
                " samples) cannot be created";
        return false;
    }
    glViewport(0, 0, pictureWidth, pictureHeight);
    return true;
}

// The largest 4:3 area of the drawable, its width a multiple of 4 so the height is exact.
void drawablePictureSize(int& width, int& height) {
    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    width = std::min(drawableWidth, drawableHeight * 4 / 3) / 4 * 4;
    width = std::max(width, 4);
    height = width / 4 * 3;
}

int samplesFor(const PictureSize& size, int width, int height) {
    int samples = size.samples < 0 ? (width > 640 || height > 480 ? 4 : 0) : size.samples;
    if (samples <= 0 || !renderbufferStorageMultisample) return 0;
    GLint most = 0;
    glGetIntegerv(GL_MAX_SAMPLES, &most);
    return std::min(samples, static_cast<int>(most));
}

bool applyPictureSize(std::string& error) {
    int width = wantedSize.width, height = wantedSize.height;
    if (wantedSize.followDrawable) drawablePictureSize(width, height);
    if (framebuffer && width == pictureWidth && height == pictureHeight) return true;
    return buildOffscreenPicture(width, height, samplesFor(wantedSize, width, height), error);
}

bool createOffscreenPicture(std::string& error) {
    if (!lookUpFramebufferFunctions()) {
        error = "the OpenGL driver has no framebuffer objects";
        return false;
    }
    // Multisampled storage and texture attachments are optional: without them no sampling.
    lookUp(renderbufferStorageMultisample, "glRenderbufferStorageMultisample");
    lookUp(framebufferTexture2D, "glFramebufferTexture2D");
    return applyPictureSize(error);
}

void deleteOffscreenPicture() {
    if (!bindFramebuffer) return;
    bindFramebuffer(GL_FRAMEBUFFER, 0);
    for (GLuint* f : {&framebuffer, &resolvedFramebuffer})
        if (*f) deleteFramebuffers(1, f);
    for (GLuint* r : {&colorBuffer, &depthBuffer, &resolvedColorBuffer})
        if (*r) deleteRenderbuffers(1, r);
    framebuffer = resolvedFramebuffer = colorBuffer = depthBuffer = resolvedColorBuffer = 0;
}

void setSwapInterval(bool vsync) {
#ifdef __EMSCRIPTEN__
    // The page paces the frames (browser::waitForNextFrame); there is no swap interval to set.
    (void)vsync;
    return;
#endif
    if (!vsync) {
        SDL_GL_SetSwapInterval(0);
        return;
    }
    if (SDL_GL_SetSwapInterval(-1) != 0) SDL_GL_SetSwapInterval(1); // adaptive, else plain vsync
}

// The desktop the window is on (the first one before there is a window).
SDL_Rect desktopBounds() {
    int display = window ? SDL_GetWindowDisplayIndex(window) : 0;
    SDL_Rect bounds{0, 0, windowedWidth, windowedHeight};
    if (display < 0 || SDL_GetDisplayBounds(display, &bounds) != 0)
        SDL_GetDisplayBounds(0, &bounds);
    return bounds;
}

#ifndef __EMSCRIPTEN__
// SDL places a window by its frame: it subtracts the frame's size, as last reported by the
// window manager, from the position asked for. After the frame is taken away the window manager
// reports the change a little later; placing the window before that puts it off the screen by
// the old frame (20 pixels up under openbox). Without a window manager there is no frame.
void waitForFrameToGo() {
    const Uint32 giveUpAt = SDL_GetTicks() + 250;
    int top = 0, left = 0;
    while (SDL_GetWindowBordersSize(window, &top, &left, nullptr, nullptr) == 0 &&
           (top != 0 || left != 0) && !SDL_TICKS_PASSED(SDL_GetTicks(), giveUpAt)) {
        SDL_PumpEvents();
        SDL_Delay(5);
    }
}
#endif

} // namespace

bool startVideo(std::string& error) {
    if (sdlVideoStarted) return true;
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) != 0) {
        error = std::string("cannot start the video system: ") + SDL_GetError();
        return false;
    }
    sdlVideoStarted = true;
    return true;
}

bool displayAvailable() {
    std::string error;
    if (!startVideo(error)) return false;
    // Without a display server SDL falls back to drivers that show nothing.
    const char* driver = SDL_GetCurrentVideoDriver();
    return driver != nullptr && std::strcmp(driver, "offscreen") != 0 &&
           std::strcmp(driver, "dummy") != 0;
}

bool openWindow(const WindowOptions& options, std::string& error) {
    if (window) return true;
    wantedSize = PictureSize{false, options.width, options.height, 0};
    if (!startVideo(error)) return false;

    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    // OpenGL ES 3.0: the same calls and shaders as WebGL 2 in the browser.
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_ES);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MAJOR_VERSION, 3);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_MINOR_VERSION, 0);

    // Full screen is a borderless window over the whole desktop, not SDL's full-screen state:
    // without a window manager nobody carries out that request, the X window keeps its size
    // while SDL reports the desktop's, and only a piece of the picture shows. Window managers
    // treat a borderless desktop-sized window as full screen.
    windowedWidth = options.width;
    windowedHeight = options.height;
    Uint32 flags = SDL_WINDOW_OPENGL | SDL_WINDOW_ALLOW_HIGHDPI;
    if (options.hidden) flags |= SDL_WINDOW_HIDDEN;
    SDL_Rect place{static_cast<int>(SDL_WINDOWPOS_CENTERED),
                   static_cast<int>(SDL_WINDOWPOS_CENTERED), options.width, options.height};
#ifdef __EMSCRIPTEN__
    const bool borderless = false;
#else
    const bool borderless = options.fullScreen;
#endif
    if (borderless) {
        flags |= SDL_WINDOW_BORDERLESS;
        place = desktopBounds();
    } else {
        flags |= SDL_WINDOW_RESIZABLE;
    }
    window = SDL_CreateWindow(options.title, place.x, place.y, place.w, place.h, flags);
    if (!window) {
        error = std::string("cannot open the window: ") + SDL_GetError();
        return false;
    }
    context = SDL_GL_CreateContext(window);
    if (!context || SDL_GL_MakeCurrent(window, context) != 0) {
        error = std::string("cannot create the OpenGL context: ") + SDL_GetError();
        closeWindow();
        return false;
    }
    ++contextsMade;
    setSwapInterval(options.vsync);
    if (!createOffscreenPicture(error)) {
        closeWindow();
        return false;
    }
    fullScreenNow = options.fullScreen;
#ifdef __EMSCRIPTEN__
    if (options.fullScreen) browser::requestFullScreen(true);
#else
    if (options.fullScreen) SDL_ShowCursor(SDL_DISABLE);
#endif
    return true;
}

#ifdef __EMSCRIPTEN__
bool fullScreenActive() { return window && browser::fullScreen(); }

void setFullScreen(bool on) {
    if (window) browser::requestFullScreen(on);
}
#else
bool fullScreenActive() { return window && fullScreenNow; }

void setFullScreen(bool on) {
    if (!window || on == fullScreenNow) return;
    fullScreenNow = on;
    if (on) {
        SDL_GetWindowSize(window, &windowedWidth, &windowedHeight);
        const SDL_Rect bounds = desktopBounds();
        SDL_SetWindowResizable(window, SDL_FALSE);
        SDL_SetWindowBordered(window, SDL_FALSE);
        waitForFrameToGo();
        SDL_SetWindowSize(window, bounds.w, bounds.h);
        SDL_SetWindowPosition(window, bounds.x, bounds.y);
        SDL_RaiseWindow(window);
        SDL_ShowCursor(SDL_DISABLE);
    } else {
        const int display = std::max(0, SDL_GetWindowDisplayIndex(window));
        SDL_SetWindowBordered(window, SDL_TRUE);
        SDL_SetWindowSize(window, windowedWidth, windowedHeight);
        SDL_SetWindowPosition(window, static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(display)),
                              static_cast<int>(SDL_WINDOWPOS_CENTERED_DISPLAY(display)));
        SDL_SetWindowResizable(window, SDL_TRUE);
        SDL_ShowCursor(SDL_ENABLE);
    }
}
#endif

void closeWindow() {
    if (context) {
        deleteOffscreenPicture();
        SDL_GL_MakeCurrent(nullptr, nullptr);
        SDL_GL_DeleteContext(context);
        context = nullptr;
    }
    if (window) {
        SDL_ShowCursor(SDL_ENABLE);
        SDL_DestroyWindow(window);
        window = nullptr;
    }
    fullScreenNow = false;
}

bool windowOpen() { return window != nullptr; }

int contextGeneration() { return contextsMade; }

bool setPictureSize(const PictureSize& size, std::string& error) {
    wantedSize = size;
    if (!window) return true;
    deleteOffscreenPicture();
    return applyPictureSize(error);
}

int pictureSamples() { return window ? pictureSampleCount : 0; }

void resolvePicture(int x, int y, int width, int height) {
    if (!window) return;
    if (!resolvedFramebuffer) {
        bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
        return;
    }
    bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    bindFramebuffer(GL_DRAW_FRAMEBUFFER, resolvedFramebuffer);
    blitFramebuffer(x, y, x + width, y + height, x, y, x + width, y + height, GL_COLOR_BUFFER_BIT,
                    GL_NEAREST);
    bindFramebuffer(GL_DRAW_FRAMEBUFFER, framebuffer);
    bindFramebuffer(GL_READ_FRAMEBUFFER, resolvedFramebuffer);
}

void scaleTexture(unsigned from, int fromWidth, int fromHeight, unsigned to, int toWidth,
                  int toHeight) {
    if (!window || !framebufferTexture2D) return;
    GLuint pair[2] = {0, 0};
    genFramebuffers(2, pair);
    bindFramebuffer(GL_READ_FRAMEBUFFER, pair[0]);
    framebufferTexture2D(GL_READ_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, from, 0);
    bindFramebuffer(GL_DRAW_FRAMEBUFFER, pair[1]);
    framebufferTexture2D(GL_DRAW_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_TEXTURE_2D, to, 0);
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    if (scissor) glDisable(GL_SCISSOR_TEST);
    if (checkFramebufferStatus(GL_READ_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE &&
        checkFramebufferStatus(GL_DRAW_FRAMEBUFFER) == GL_FRAMEBUFFER_COMPLETE)
        blitFramebuffer(0, 0, fromWidth, fromHeight, 0, 0, toWidth, toHeight, GL_COLOR_BUFFER_BIT,
                        GL_LINEAR);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    deleteFramebuffers(2, pair);
}

void setWindowSize(int width, int height) {
    if (window) SDL_SetWindowSize(window, width, height);
}

int frameWidth() { return pictureWidth; }
int frameHeight() { return pictureHeight; }

void keepPresentedFrames(bool keep) { keepFrames = keep; }
const std::vector<std::uint8_t>& lastPresentedFrame() { return presented; }

void readOffscreenFrameInto(std::vector<std::uint8_t>& rgb) {
    const size_t width = static_cast<size_t>(pictureWidth);
    const size_t height = static_cast<size_t>(pictureHeight);
    rgb.resize(width * height * 3);
    if (!window) return;
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    if (scissor) glDisable(GL_SCISSOR_TEST);
    resolvePicture(0, 0, pictureWidth, pictureHeight);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    // RGBA is the picture's own layout, so the driver copies it as it is; dropping alpha and
    // turning the rows over (GL rows run bottom-up, pictures are stored top row first) then
    // takes one pass here instead of a conversion per pixel in the driver and a second pass.
    static std::vector<std::uint8_t> rgba;
    rgba.resize(width * height * 4);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, pictureWidth, pictureHeight, GL_RGBA, GL_UNSIGNED_BYTE, rgba.data());
    for (size_t y = 0; y < height; ++y) {
        const std::uint8_t* from = &rgba[(height - 1 - y) * width * 4];
        std::uint8_t* to = &rgb[y * width * 3];
        for (size_t x = 0; x < width; ++x, from += 4, to += 3) {
            to[0] = from[0];
            to[1] = from[1];
            to[2] = from[2];
        }
    }
}

std::vector<std::uint8_t> readOffscreenFrame() {
    std::vector<std::uint8_t> rgb;
    readOffscreenFrameInto(rgb);
    return rgb;
}

void waitForDrawing() {
    if (!window) return;
    const GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    if (scissor) glDisable(GL_SCISSOR_TEST);
    resolvePicture(0, 0, 1, 1);
    std::uint8_t pixel[4];
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, 1, 1, GL_RGBA, GL_UNSIGNED_BYTE, pixel);
    if (scissor) glEnable(GL_SCISSOR_TEST);
}

void setWindowTitle(const std::string& title) {
    if (window) SDL_SetWindowTitle(window, title.c_str());
}

void presentFrame() {
    if (!window) return;
    if (keepFrames) readOffscreenFrameInto(presented);
    // Offline runs on the virtual clock show a picture in the page only when the page is about
    // to get its turn: there, copying every frame onto the page costs more than drawing it.
    if (virtualClockActive() && !browser::pageTurnDue()) return;

    int drawableWidth = 0, drawableHeight = 0;
    SDL_GL_GetDrawableSize(window, &drawableWidth, &drawableHeight);
    // Largest rectangle of the picture's aspect that fits the drawable, centred.
    int width = drawableWidth;
    int height =
        static_cast<int>(static_cast<long long>(drawableWidth) * pictureHeight / pictureWidth);
    if (height > drawableHeight) {
        height = drawableHeight;
        width =
            static_cast<int>(static_cast<long long>(drawableHeight) * pictureWidth / pictureHeight);
    }
    int x = (drawableWidth - width) / 2;
    int y = (drawableHeight - height) / 2;

    GLboolean scissor = glIsEnabled(GL_SCISSOR_TEST);
    if (scissor) glDisable(GL_SCISSOR_TEST);
    if (!keepFrames) resolvePicture(0, 0, pictureWidth, pictureHeight); // else done by the read
    bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    GLfloat clearColor[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    GLenum filter = (width == pictureWidth && height == pictureHeight) ? GL_NEAREST : GL_LINEAR;
    blitFramebuffer(0, 0, pictureWidth, pictureHeight, x, y, x + width, y + height,
                    GL_COLOR_BUFFER_BIT, filter);
    SDL_GL_SwapWindow(window);
    // In a browser the picture reaches the screen only when the page gets its turn.
    if (!virtualClockActive()) browser::waitForNextFrame();
    bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    if (scissor) glEnable(GL_SCISSOR_TEST);
    if (wantedSize.followDrawable) {
        std::string error;
        if (!applyPictureSize(error)) {
            // The old size cannot come back either (the drawable changed): give up cleanly.
            std::fprintf(stderr, "tuvero: %s\n", error.c_str());
            SDL_Event quit{};
            quit.type = SDL_QUIT;
            SDL_PushEvent(&quit);
        }
    }
}

} // namespace platform
