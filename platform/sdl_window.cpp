// SDL backend of the window, the GL context, the offscreen picture and presentation.
#include "platform/platform.h"

#include <GL/gl.h>
#include <GL/glext.h>
#include <SDL.h>
#include <algorithm>
#include <cstring>

namespace platform {
namespace {

SDL_Window* window = nullptr;
SDL_GLContext context = nullptr;
bool sdlVideoStarted = false;
int pictureWidth = 640;
int pictureHeight = 480;
GLuint framebuffer = 0, colorBuffer = 0, depthBuffer = 0;
bool keepFrames = false;
std::vector<std::uint8_t> presented;
bool fullScreenNow = false;
bool minimal = false;
int windowedWidth = 640, windowedHeight = 480; // restored when full screen is left

// Framebuffer objects are GL 3.0 / ARB_framebuffer_object entry points: looked up at run time.
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

bool createOffscreenPicture(std::string& error) {
    if (!lookUpFramebufferFunctions()) {
        error = "the OpenGL driver has no framebuffer objects";
        return false;
    }
    genRenderbuffers(1, &colorBuffer);
    bindRenderbuffer(GL_RENDERBUFFER, colorBuffer);
    renderbufferStorage(GL_RENDERBUFFER, GL_RGBA8, pictureWidth, pictureHeight);
    genRenderbuffers(1, &depthBuffer);
    bindRenderbuffer(GL_RENDERBUFFER, depthBuffer);
    renderbufferStorage(GL_RENDERBUFFER, GL_DEPTH_COMPONENT16, pictureWidth, pictureHeight);
    genFramebuffers(1, &framebuffer);
    bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_COLOR_ATTACHMENT0, GL_RENDERBUFFER, colorBuffer);
    framebufferRenderbuffer(GL_FRAMEBUFFER, GL_DEPTH_ATTACHMENT, GL_RENDERBUFFER, depthBuffer);
    if (checkFramebufferStatus(GL_FRAMEBUFFER) != GL_FRAMEBUFFER_COMPLETE) {
        error = "the offscreen picture cannot be created";
        return false;
    }
    glViewport(0, 0, pictureWidth, pictureHeight);
    return true;
}

void deleteOffscreenPicture() {
    if (!bindFramebuffer) return;
    bindFramebuffer(GL_FRAMEBUFFER, 0);
    if (framebuffer) deleteFramebuffers(1, &framebuffer);
    if (colorBuffer) deleteRenderbuffers(1, &colorBuffer);
    if (depthBuffer) deleteRenderbuffers(1, &depthBuffer);
    framebuffer = colorBuffer = depthBuffer = 0;
}

void setSwapInterval(bool vsync) {
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

bool openWindow(const WindowOptions& options, std::string& error) {
    if (window) return true;
    pictureWidth = options.width;
    pictureHeight = options.height;
    if (!startVideo(error)) return false;

    SDL_GL_SetAttribute(SDL_GL_DOUBLEBUFFER, 1);
    SDL_GL_SetAttribute(SDL_GL_RED_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_GREEN_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_BLUE_SIZE, 8);
    SDL_GL_SetAttribute(SDL_GL_DEPTH_SIZE, 16);
    SDL_GL_SetAttribute(SDL_GL_CONTEXT_PROFILE_MASK, SDL_GL_CONTEXT_PROFILE_COMPATIBILITY);

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
    if (options.fullScreen) {
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
    setSwapInterval(options.vsync);
    if (!createOffscreenPicture(error)) {
        closeWindow();
        return false;
    }
    fullScreenNow = options.fullScreen;
    if (options.fullScreen) SDL_ShowCursor(SDL_DISABLE);
    return true;
}

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
    minimal = false;
}

bool windowOpen() { return window != nullptr; }

void* glProcAddress(const char* name) { return SDL_GL_GetProcAddress(name); }

int frameWidth() { return pictureWidth; }
int frameHeight() { return pictureHeight; }

void keepPresentedFrames(bool keep) { keepFrames = keep; }
const std::vector<std::uint8_t>& lastPresentedFrame() { return presented; }

std::vector<std::uint8_t> readOffscreenFrame() {
    std::vector<std::uint8_t> rgb(static_cast<size_t>(pictureWidth) * pictureHeight * 3);
    if (!window) return rgb;
    bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    glPixelStorei(GL_PACK_ALIGNMENT, 1);
    glReadPixels(0, 0, pictureWidth, pictureHeight, GL_RGB, GL_UNSIGNED_BYTE, rgb.data());
    // GL rows run bottom-up; pictures are stored top row first.
    size_t rowBytes = static_cast<size_t>(pictureWidth) * 3;
    std::vector<std::uint8_t> row(rowBytes);
    for (int top = 0, bottom = pictureHeight - 1; top < bottom; ++top, --bottom) {
        std::memcpy(row.data(), &rgb[top * rowBytes], rowBytes);
        std::memcpy(&rgb[top * rowBytes], &rgb[bottom * rowBytes], rowBytes);
        std::memcpy(&rgb[bottom * rowBytes], row.data(), rowBytes);
    }
    return rgb;
}

void setMinimalDrawing(bool on) {
    minimal = on;
    if (!window) return;
    if (on) {
        glScissor(0, 0, 1, 1);
        glEnable(GL_SCISSOR_TEST);
    } else {
        glDisable(GL_SCISSOR_TEST);
        glScissor(0, 0, pictureWidth, pictureHeight);
    }
}

void presentFrame() {
    if (!window || minimal) return;
    if (keepFrames) presented = readOffscreenFrame();

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
    bindFramebuffer(GL_DRAW_FRAMEBUFFER, 0);
    bindFramebuffer(GL_READ_FRAMEBUFFER, framebuffer);
    GLfloat clearColor[4];
    glGetFloatv(GL_COLOR_CLEAR_VALUE, clearColor);
    glClearColor(0, 0, 0, 1);
    glClear(GL_COLOR_BUFFER_BIT);
    glClearColor(clearColor[0], clearColor[1], clearColor[2], clearColor[3]);
    GLenum filter = (width == pictureWidth && height == pictureHeight) ? GL_NEAREST : GL_LINEAR;
    blitFramebuffer(0, 0, pictureWidth, pictureHeight, x, y, x + width, y + height,
                    GL_COLOR_BUFFER_BIT, filter);
    SDL_GL_SwapWindow(window);
    bindFramebuffer(GL_FRAMEBUFFER, framebuffer);
    if (scissor) glEnable(GL_SCISSOR_TEST);
}

} // namespace platform
