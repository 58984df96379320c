#include "offline/snapshots.h"

#include "app/music.h"
#include "app/scene_table.h"
#include "platform/platform.h"
#include <algorithm>
#include <charconv>
#include <cstdio>
#include <filesystem>

namespace fs = std::filesystem;

bool parseSnapshotFrames(const std::string& text, std::vector<long>& frames, std::string& error) {
    frames.clear();
    const char* at = text.data();
    const char* end = at + text.size();
    while (at < end) {
        long frame = -1;
        auto [next, ec] = std::from_chars(at, end, frame);
        if (ec != std::errc() || frame < 0 || (next != end && *next != ',')) {
            error = "--snapshots takes frame numbers (0 or more) separated by commas";
            return false;
        }
        frames.push_back(frame);
        at = next == end ? end : next + 1;
        if (next != end && at == end) frames.clear(); // a trailing comma
    }
    if (frames.empty()) {
        error = "--snapshots takes frame numbers (0 or more) separated by commas";
        return false;
    }
    std::sort(frames.begin(), frames.end());
    frames.erase(std::unique(frames.begin(), frames.end()), frames.end());
    return true;
}

bool checkSnapshotFolder(const std::string& folder, std::string& error) {
    std::error_code ec;
    if (!fs::is_directory(folder, ec)) {
        error = "snapshot folder " + folder + " does not exist";
        return false;
    }
    return true;
}

bool SnapshotRun::isChosen(long frame) const {
    return std::binary_search(settings_.frames.begin(), settings_.frames.end(), frame);
}

bool SnapshotRun::frameEnded() {
    const long frame = frameNumber() - 1; // the frame just drawn
    if (isChosen(frame)) {
        const auto& picture = platform::lastPresentedFrame();
        char name[32];
        std::snprintf(name, sizeof name, "frame_%06ld.png", frame);
        const std::string path = (fs::path(settings_.folder) / name).string();
        if (picture.empty()) {
            failure_ = "frame " + std::to_string(frame) + " presented nothing";
            return false;
        }
        if (!platform::writePng(path, picture.data(), platform::frameWidth(),
                                platform::frameHeight(), failure_))
            return false;
        ++written_;
    }
    // Only the chosen frames are read back from the GL.
    platform::keepPresentedFrames(isChosen(frame + 1));
    return written_ < settings_.frames.size();
}

int SnapshotRun::run() {
    deliverSyncsByFrameSpan(true); // syncs land on the same frames as in a capture
    platform::keepPresentedFrames(isChosen(0));
    mainLoop();
    deliverSyncsByFrameSpan(false);
    platform::keepPresentedFrames(false);
    if (failure_.empty() && written_ < settings_.frames.size())
        failure_ = "the show ended after frame " + std::to_string(frameNumber() - 1) +
                   ", before frame " + std::to_string(settings_.frames[written_]);
    if (!failure_.empty()) {
        std::fprintf(stderr, "tuvero: %s\n", failure_.c_str());
        return 1;
    }
    return 0;
}
