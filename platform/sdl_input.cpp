// SDL backend of the event pump, the key state and the tick counter.
#include "platform/platform.h"

#include <SDL.h>
#include <array>

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

std::uint32_t tickCount() {
    if (virtualClock) return virtualTick;
    return static_cast<std::uint32_t>(SDL_GetTicks64()) + realClockOrigin;
}

void useVirtualClock(std::uint32_t startTick, std::uint32_t stepMs) {
    virtualClock = true;
    virtualTick = virtualStart = startTick;
    virtualAdvances = 0;
    stepNumerator = stepMs;
    stepDenominator = 1;
}

void useVirtualClockAtRate(std::uint32_t startTick, std::uint32_t framesPerSecond) {
    useVirtualClock(startTick, 0);
    stepNumerator = 1000;
    stepDenominator = framesPerSecond ? framesPerSecond : 1;
}
bool virtualClockActive() { return virtualClock; }
void useRealClock() { virtualClock = false; }
void advanceVirtualClock() {
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
