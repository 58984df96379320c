#include "offline/music_hash.h"

#include "platform/module_player.h"

#include <algorithm>
#include <cinttypes>
#include <cmath>
#include <cstdio>

std::uint64_t hashPcm16(const std::vector<float>& samples) {
    std::uint64_t hash = 0xCBF29CE484222325ull;
    for (float sample : samples) {
        const long rounded = std::lround(std::clamp(sample, -1.0f, 1.0f) * 32767.0f);
        const auto bits = static_cast<std::uint16_t>(static_cast<std::int16_t>(rounded));
        for (std::uint8_t byte :
             {static_cast<std::uint8_t>(bits & 0xFF), static_cast<std::uint8_t>(bits >> 8)}) {
            hash ^= byte;
            hash *= 0x100000001B3ull;
        }
    }
    return hash;
}

int printMusicHash(const std::string& path, double seconds) {
    std::string error;
    if (!platform::musicLoad(path, platform::MusicOutput::LockStep, error)) {
        std::fprintf(stderr, "tuvero: %s\n", error.c_str());
        return 1;
    }
    // Frame by frame at 60 frames a second, as a capture advances the music.
    constexpr std::uint32_t start = 100000;
    const auto frames = static_cast<std::uint32_t>(std::lround(seconds * 60));
    platform::musicRecord(true);
    platform::musicPlay(start);
    std::vector<float> pcm;
    for (std::uint32_t frame = 1; frame <= frames; ++frame) {
        platform::musicDeliverSyncs(start + frame * 1000 / 60, [](int) {});
        const std::vector<float> mixed = platform::musicTakeRecorded();
        pcm.insert(pcm.end(), mixed.begin(), mixed.end());
    }
    platform::musicFree();
    // The mixer works in chunks and may run a little past the last frame's tick.
    const auto wanted =
        static_cast<std::size_t>(std::llround(seconds * platform::musicSampleRate)) * 2;
    if (pcm.size() > wanted) pcm.resize(wanted);
    std::printf("music hash: %g s, %zu frames, %016" PRIx64 "\n", seconds, pcm.size() / 2,
                hashPcm16(pcm));
    return 0;
}
