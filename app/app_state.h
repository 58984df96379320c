// Process-wide application state, one instance, shared by every part of the show.
#pragma once

#include <cstdint>

struct AppState {
    int fullScreen = 0;
    int musicEnabled = 0;
    std::uint32_t screenWidth = 0;  // set once at start-up: 640
    std::uint32_t screenHeight = 0; // 480
    int colorBits = 0;              // 32
    int window = 0;                 // 1 while the window and its GL context exist
    int music = 0;                  // 1 while a module is loaded
};

extern AppState appState;
