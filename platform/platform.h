// The platform layer: the only code that touches SDL. Everything the show needs from the
// operating system (window, GL context, events, keys, ticks, message boxes) goes through here,
// so tests and capture runs can drive the show on a virtual clock with injected keys.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

// ---- Window and GL context -------------------------------------------------------------

struct WindowOptions {
    bool fullScreen = false; // borderless window at desktop size, cursor hidden, no mode change
    bool vsync = true;       // adaptive where the driver has it
    bool hidden = false;     // tests and capture runs need no visible window
    int width = 640;         // window size; also the first size of the offscreen picture
    int height = 480;
    const char* title = "Tuvero";
};

// The size of the offscreen picture the show is drawn into.
struct PictureSize {
    // True: the largest 4:3 area of the window's drawable, remade whenever the drawable
    // changes (resize, full screen). False: fixed at width x height.
    bool followDrawable = false;
    int width = 640;
    int height = 480;
    // Multisampling: a sample count, 0 for none, -1 for 4 above 640 x 480 and none at or below.
    // Clamped to what the driver has.
    int samples = 0;
};

// True when windows can be seen: SDL found a display server (X11, Wayland), rather than falling
// back to a driver that draws off screen (which serves offline runs and hidden windows).
bool displayAvailable();
// Opens the window with an OpenGL ES 3.0 context (double buffered, 32-bit colour, 16-bit
// depth) and binds an offscreen width x height framebuffer (colour + 16-bit depth) for the whole
// run: scenes draw into it as if it were the 640 x 480 screen. Returns false with `error` set.
bool openWindow(const WindowOptions& options, std::string& error);
// Switches between the window and full screen (borderless over the whole desktop) while the
// show runs; the picture keeps its place in the offscreen framebuffer.
void setFullScreen(bool on);
bool fullScreenActive();
// Releases the context and the window; safe to call when nothing is open.
void closeWindow();
bool windowOpen();
// Counts the contexts made so far: GL objects belong to the context of one generation.
int contextGeneration();

// Remakes the offscreen picture (a multisampled one with a single-sample copy when sampling)
// by these rules and binds it with a viewport over it. False with `error` set.
bool setPictureSize(const PictureSize& size, std::string& error);
// Samples per pixel of the offscreen picture now (0 without multisampling).
int pictureSamples();
// Makes the rectangle (GL pixels, from the bottom left) of what was drawn so far readable
// through the read framebuffer: with multisampling it is resolved into the single-sample copy,
// which is left bound for reading. Every glCopyTexSubImage2D and glReadPixels of the frame
// must come after this call. Without multisampling it only binds the picture for reading.
void resolvePicture(int x, int y, int width, int height);
// Stretches texture `from` (fromWidth x fromHeight pixels, RGB) into texture `to` (toWidth x
// toHeight) on the GPU, linearly filtered; the offscreen picture is bound again afterwards.
void scaleTexture(unsigned from, int fromWidth, int fromHeight, unsigned to, int toWidth,
                  int toHeight);

// Presents the offscreen picture: scaled into the window's drawable with its aspect kept and
// black bars, then swapped. Rebinds the offscreen framebuffer afterwards. A picture that
// follows the drawable is remade here, after the swap, when the drawable's 4:3 area changed.
void presentFrame();
// Keep a copy of every presented picture, for --screenshot and capture.
void keepPresentedFrames(bool keep);
// The last presented picture, top row first, RGB. Empty when none was kept.
const std::vector<std::uint8_t>& lastPresentedFrame();
// Reads the offscreen picture as it is now, top row first, RGB (width * height * 3 bytes).
std::vector<std::uint8_t> readOffscreenFrame();
// The same into `rgb`, whose storage is kept when the size has not changed.
void readOffscreenFrameInto(std::vector<std::uint8_t>& rgb);
// Returns once the GPU has finished everything drawn so far, by reading back one pixel of the
// picture. A browser queues WebGL drawing and glFinish there only flushes, so a frame time
// without this would count issuing the commands, not drawing them.
void waitForDrawing();
// Size of the offscreen picture in pixels.
int frameWidth();
int frameHeight();
// The window's title (UTF-8).
void setWindowTitle(const std::string& title);
// Resizes the window (tests: a hidden window gets no resize from a window manager).
void setWindowSize(int width, int height);
// Writes an RGB picture (top row first) as PNG. False with `error` set on failure.
bool writePng(const std::string& path, const std::uint8_t* rgb, int width, int height,
              std::string& error);

// ---- Events ----------------------------------------------------------------------------

// Handles every pending window event. Returns true when the user asked to end the program:
// the window was closed or minimised, or Escape was pressed.
bool pumpEvents();
// Queues the event the user would cause, so tests can drive each way of quitting.
enum class UserEvent { CloseWindow, Minimise, PressEscape, PressOtherKey };
void postUserEvent(UserEvent event);
// Keys that steer playback, collected by pumpEvents in the order pressed: Space pauses, F11 or
// Alt+Enter switch full screen, F12 takes a screenshot, Page Down and Page Up go to the next and
// the previous entry, comma and full stop 5 s back and forward, Home to the first scene.
enum class ControlKey {
    Pause,
    FullScreen,
    Screenshot,
    NextEntry,
    PreviousEntry,
    BackFive,
    ForwardFive,
    Restart
};
bool takeControlKey(ControlKey& key);

// ---- Keys ------------------------------------------------------------------------------

// Virtual-key codes the camera keys use: letters 'A'..'Z' (0x41..0x5A), Tab 0x09,
// Escape 0x1B, Left 0x25, Up 0x26, Right 0x27, Down 0x28.
bool keyDown(int virtualKey);
// Injected key state replaces the keyboard until cleared (tests, capture runs).
void injectKey(int virtualKey, bool down);
void useInjectedKeys(bool on);
void clearInjectedKeys();

// ---- Tick counter ----------------------------------------------------------------------

// 32-bit milliseconds. On the real clock: milliseconds since the platform started.
std::uint32_t tickCount();
// Virtual clock: the counter stands still and moves only by advanceVirtualClock or setTick.
void useVirtualClock(std::uint32_t startTick, std::uint32_t stepMs);
// Virtual clock at a frame rate: after n advances the counter stands at
// startTick + floor(n * 1000 / framesPerSecond), so no fraction of a millisecond is lost.
// `advances` of them are counted as made already (a jump lands on the same grid).
void useVirtualClockAtRate(std::uint32_t startTick, std::uint32_t framesPerSecond,
                           std::uint64_t advances = 0);
// Virtual clock with a step of numerator / denominator milliseconds, kept exactly as above.
void useVirtualClockAtStep(std::uint32_t startTick, std::uint64_t numerator,
                           std::uint64_t denominator);
bool virtualClockActive();
void useRealClock();
// Back to the real clock, going on from `tick` (the end of a jump on the virtual clock).
void useRealClockFrom(std::uint32_t tick);
// A paused counter stands still on either clock; on resume it goes on from where it stopped.
void pauseClock(bool paused);
bool clockIsPaused();
void advanceVirtualClock(); // by the step given to useVirtualClock; not while paused
// Where the next advance will put the virtual counter.
std::uint32_t nextVirtualTick();
void setVirtualTick(std::uint32_t tick);

// ---- Message boxes ---------------------------------------------------------------------

// Texts are single-byte Windows-1252, converted for display.
struct MessageBoxRequest {
    std::string text;
    std::string title;
    bool yesNo = false; // Yes/No with the question icon; otherwise OK
};
// Returns true for Yes (always true for OK boxes).
bool messageBox(const MessageBoxRequest& request);
// When set, message boxes go to the hook instead of the screen (tests); it returns the answer.
void setMessageBoxHook(std::function<bool(const MessageBoxRequest&)> hook);

std::string cp1252ToUtf8(const std::string& text);

} // namespace platform
