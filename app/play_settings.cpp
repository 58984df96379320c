#include "app/play_settings.h"

namespace {
PlaySettings activeSettings;
}

void setPlaySettings(const PlaySettings& settings) { activeSettings = settings; }
const PlaySettings& playSettings() { return activeSettings; }
