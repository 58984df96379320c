// Message boxes through SDL; texts arrive in Windows-1252 and are shown as UTF-8.
#include "platform/platform.h"

#include <SDL.h>
#include <cstdio>

namespace platform {
namespace {
std::function<bool(const MessageBoxRequest&)> messageBoxHook;

// Windows-1252 0x80..0x9F differ from Latin-1; the rest of 0xA0..0xFF map to U+00A0..U+00FF.
const char16_t cp1252High[32] = {0x20AC, 0xFFFD, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021,
                                 0x02C6, 0x2030, 0x0160, 0x2039, 0x0152, 0xFFFD, 0x017D, 0xFFFD,
                                 0xFFFD, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,
                                 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0xFFFD, 0x017E, 0x0178};
} // namespace

std::string cp1252ToUtf8(const std::string& text) {
    std::string out;
    for (unsigned char c : text) {
        char32_t code = c < 0x80 ? c : (c < 0xA0 ? cp1252High[c - 0x80] : c);
        if (code < 0x80) {
            out += static_cast<char>(code);
        } else if (code < 0x800) {
            out += static_cast<char>(0xC0 | (code >> 6));
            out += static_cast<char>(0x80 | (code & 0x3F));
        } else {
            out += static_cast<char>(0xE0 | (code >> 12));
            out += static_cast<char>(0x80 | ((code >> 6) & 0x3F));
            out += static_cast<char>(0x80 | (code & 0x3F));
        }
    }
    return out;
}

void setMessageBoxHook(std::function<bool(const MessageBoxRequest&)> hook) {
    messageBoxHook = std::move(hook);
}

bool messageBox(const MessageBoxRequest& request) {
    if (messageBoxHook) return messageBoxHook(request);
    std::string text = cp1252ToUtf8(request.text);
    std::string title = cp1252ToUtf8(request.title);
    // Return answers Yes, Escape answers No.
    const SDL_MessageBoxButtonData yesNo[] = {
        {SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 0, "No"},
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT, 1, "Yes"},
    };
    const SDL_MessageBoxButtonData ok[] = {
        {SDL_MESSAGEBOX_BUTTON_RETURNKEY_DEFAULT | SDL_MESSAGEBOX_BUTTON_ESCAPEKEY_DEFAULT, 1,
         "OK"},
    };
    SDL_MessageBoxData data{};
    data.flags = request.yesNo ? SDL_MESSAGEBOX_INFORMATION : SDL_MESSAGEBOX_WARNING;
    data.title = title.c_str();
    data.message = text.c_str();
    data.numbuttons = request.yesNo ? 2 : 1;
    data.buttons = request.yesNo ? yesNo : ok;
    int answer = 0;
    if (SDL_ShowMessageBox(&data, &answer) != 0) {
        std::fprintf(stderr, "tuvero: cannot show the message box \"%s\": %s\n", title.c_str(),
                     SDL_GetError());
        return !request.yesNo;
    }
    return answer == 1;
}

} // namespace platform
