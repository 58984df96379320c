// What the show needs from the web page when it runs in a browser: handing control back to the
// page between frames (the show's loop runs as on the desktop, suspended and resumed by
// asyncify), the page's full-screen state, and files handed to the page. On the desktop these
// do nothing.
#pragma once

#include <string>

namespace platform::browser {

#ifdef __EMSCRIPTEN__
// After a presented frame of the live show: returns at the browser's next animation frame, so
// the picture reaches the screen and the page's events run.
void waitForNextFrame();
// During runs that present no frame to the screen (offline runs, jumps): gives the page a turn
// when the last one is more than a quarter of a second ago, so it stays responsive.
void yieldWhenBusy();
// Whether yieldWhenBusy will give the page its turn at the next call.
bool pageTurnDue();
// Asks the page to show the canvas full screen or to leave full screen. The browser may refuse
// (no recent user gesture): the show goes on in the page.
void requestFullScreen(bool on);
bool fullScreen();
// Hands a file of the virtual file system to the page, which offers it as a download.
void offerDownload(const std::string& path);
// Tells the page that the show has ended with this exit code.
void showEnded(int exitCode);
#else
inline void waitForNextFrame() {}
inline void yieldWhenBusy() {}
inline bool pageTurnDue() { return true; }
inline void requestFullScreen(bool) {}
inline bool fullScreen() { return false; }
inline void offerDownload(const std::string&) {}
inline void showEnded(int) {}
#endif

} // namespace platform::browser
