// SDL backend of the event pump, the key state and the tick counter.
#include "platform/platform.h"

#include "platform/browser.h"
#include <SDL.h>
#include <array>
#include <optional>
#include <vector>

namespace platform {
namespace {

std::array<bool, 256> injectedKeys{};
bool injecting = false;

bool virtualClock = false;
std::uint32_t virtualTick = 0;
std::uint32_t virtualStart = 0;
std::uint64_t virtualAdvances = 0;
// One advance moves the counter by stepNumerator / stepDenominator milliseconds.
std::uint64_t stepNumerator = 0;
std::uint64_t stepDenominator = 1;
// The real counter starts well above 0: scenes use a tick of 0 to mean "not started yet".
constexpr std::uint32_t realClockOrigin = 100000;
// Added to the real counter: moves when the clock is paused or continues from a virtual tick.
std::uint32_t realClockShift = 0;
bool clockPaused = false;
std::uint32_t pausedTick = 0;

std::uint32_t realTick() {
    return static_cast<std::uint32_t>(SDL_GetTicks64()) + realClockOrigin + realClockShift;
}

std::vector<ControlKey> controlKeys;

// The playback control a key stands for, if any.
std::optional<ControlKey> controlKeyOf(const SDL_Keysym& key) {
    switch (key.sym) {
    case SDLK_SPACE:
        return ControlKey::Pause;
    case SDLK_F11:
        return ControlKey::FullScreen;
#ifndef __EMSCRIPTEN__
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        if (key.mod & KMOD_ALT) return ControlKey::FullScreen;
        return std::nullopt;
#endif
    case SDLK_F12:
        return ControlKey::Screenshot;
#ifdef __EMSCRIPTEN__
    // The browser keeps F11 and F12 for itself: Enter and P stand in for them.
    case SDLK_p:
        return ControlKey::Screenshot;
    case SDLK_RETURN:
    case SDLK_KP_ENTER:
        return ControlKey::FullScreen;
#endif
    case SDLK_PAGEDOWN:
        return ControlKey::NextEntry;
    case SDLK_PAGEUP:
        return ControlKey::PreviousEntry;
    case SDLK_COMMA:
        return ControlKey::BackFive;
    case SDLK_PERIOD:
        return ControlKey::ForwardFive;
    case SDLK_HOME:
        return ControlKey::Restart;
    default:
        return std::nullopt;
    }
}

// The keys that steer playback. Auto-repeat does not toggle them again.
void noteControlKey(const SDL_KeyboardEvent& key) {
    if (key.repeat) return;
    if (const std::optional<ControlKey> control = controlKeyOf(key.keysym))
        controlKeys.push_back(*control);
}

SDL_Scancode scancodeOf(int virtualKey) {
    if (virtualKey >= 'A' && virtualKey <= 'Z')
        return static_cast<SDL_Scancode>(SDL_SCANCODE_A + (virtualKey - 'A'));
    switch (virtualKey) {
    case 0x09:
        return SDL_SCANCODE_TAB;
    case 0x1B:
        return SDL_SCANCODE_ESCAPE;
    case 0x25:
        return SDL_SCANCODE_LEFT;
    case 0x26:
        return SDL_SCANCODE_UP;
    case 0x27:
        return SDL_SCANCODE_RIGHT;
    case 0x28:
        return SDL_SCANCODE_DOWN;
    default:
        return SDL_SCANCODE_UNKNOWN;
    }
}

} // namespace

bool pumpEvents() {
    browser::yieldWhenBusy();
    if (!SDL_WasInit(SDL_INIT_VIDEO)) return false;
    bool quit = false;
    SDL_Event event;
    while (SDL_PollEvent(&event)) {
        switch (event.type) {
        case SDL_QUIT:
            quit = true;
            break;
        case SDL_WINDOWEVENT:
            if (event.window.event == SDL_WINDOWEVENT_CLOSE ||
                event.window.event == SDL_WINDOWEVENT_MINIMIZED)
                quit = true;
            break;
        case SDL_KEYDOWN:
            if (event.key.keysym.sym == SDLK_ESCAPE) quit = true;
            noteControlKey(event.key);
            break;
        default:
            break;
        }
    }
    return quit;
}

void postUserEvent(UserEvent userEvent) {
    SDL_Event event{};
    switch (userEvent) {
    case UserEvent::CloseWindow:
    case UserEvent::Minimise:
        event.type = SDL_WINDOWEVENT;
        event.window.event =
            userEvent == UserEvent::CloseWindow ? SDL_WINDOWEVENT_CLOSE : SDL_WINDOWEVENT_MINIMIZED;
        break;
    case UserEvent::PressEscape:
    case UserEvent::PressOtherKey:
        event.type = SDL_KEYDOWN;
        event.key.state = SDL_PRESSED;
        event.key.keysym.sym = userEvent == UserEvent::PressEscape ? SDLK_ESCAPE : SDLK_g;
        break;
    }
    SDL_PushEvent(&event);
}

bool keyDown(int virtualKey) {
    if (injecting) return virtualKey >= 0 && virtualKey < 256 && injectedKeys[virtualKey];
    SDL_Scancode code = scancodeOf(virtualKey);
    if (code == SDL_SCANCODE_UNKNOWN || !SDL_WasInit(SDL_INIT_VIDEO)) return false;
    int count = 0;
    const Uint8* state = SDL_GetKeyboardState(&count);
    return code < count && state[code] != 0;
}

void injectKey(int virtualKey, bool down) {
    if (virtualKey >= 0 && virtualKey < 256) injectedKeys[virtualKey] = down;
}
void useInjectedKeys(bool on) { injecting = on; }
void clearInjectedKeys() { injectedKeys.fill(false); }

bool takeControlKey(ControlKey& key) {
    if (controlKeys.empty()) return false;
    key = controlKeys.front();
    controlKeys.erase(controlKeys.begin());
    return true;
}

std::uint32_t tickCount() {
    if (virtualClock) return virtualTick;
    return clockPaused ? pausedTick : realTick();
}

void pauseClock(bool paused) {
    if (paused == clockPaused) return;
    if (paused) {
        pausedTick = tickCount();
    } else if (!virtualClock) {
        realClockShift += pausedTick - realTick(); // the real counter goes on from pausedTick
    }
    clockPaused = paused;
}
bool clockIsPaused() { return clockPaused; }

void useVirtualClock(std::uint32_t startTick, std::uint32_t stepMs) {
    virtualClock = true;
    virtualTick = virtualStart = startTick;
    virtualAdvances = 0;
    stepNumerator = stepMs;
    stepDenominator = 1;
}

void useVirtualClockAtStep(std::uint32_t startTick, std::uint64_t numerator,
                           std::uint64_t denominator) {
    useVirtualClock(startTick, 0);
    stepNumerator = numerator;
    stepDenominator = denominator ? denominator : 1;
}

void useVirtualClockAtRate(std::uint32_t startTick, std::uint32_t framesPerSecond,
                           std::uint64_t advances) {
    useVirtualClock(startTick, 0);
    stepNumerator = 1000;
    stepDenominator = framesPerSecond ? framesPerSecond : 1;
    virtualAdvances = advances;
    virtualTick = virtualStart + static_cast<std::uint32_t>(advances * 1000 / stepDenominator);
}
bool virtualClockActive() { return virtualClock; }
void useRealClock() { virtualClock = false; }
void useRealClockFrom(std::uint32_t tick) {
    virtualClock = false;
    clockPaused = false;
    realClockShift += tick - realTick();
}
void advanceVirtualClock() {
    if (clockPaused) return;
    ++virtualAdvances;
    virtualTick = virtualStart +
                  static_cast<std::uint32_t>(virtualAdvances * stepNumerator / stepDenominator);
}

std::uint32_t nextVirtualTick() {
    return virtualStart +
           static_cast<std::uint32_t>((virtualAdvances + 1) * stepNumerator / stepDenominator);
}

// Moving the clock by hand makes `tick` the new origin of the advances.
void setVirtualTick(std::uint32_t tick) {
    virtualTick = virtualStart = tick;
    virtualAdvances = 0;
}

} // namespace platform
