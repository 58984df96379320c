#include "offline/flash_report.h"

#include "app/console.h"
#include "app/music.h"
#include "app/playback.h"
#include "app/scene_table.h"
#include "offline/flash_analysis.h"
#include "offline/interrupt.h"
#include "platform/platform.h"
#include "scenes/scenes.h"
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <filesystem>

namespace {
constexpr int framesPerSecond = 60;
} // namespace

const char* sceneEntryName(int entry) {
    return entry >= 0 && entry < sceneCount ? sceneOfEntry(entry).name : "end";
}

FlashReportRun::FlashReportRun(const FlashReportSettings& settings) : settings_(settings) {}

FlashReportRun::~FlashReportRun() { discard(); }

bool FlashReportRun::open(std::string& error) {
    partPath_ = settings_.csvPath + ".part";
    csv_ = std::fopen(partPath_.c_str(), "w");
    if (!csv_) {
        error = "cannot write " + settings_.csvPath + ": " + std::strerror(errno);
        return false;
    }
    std::fputs("frame,seconds,scene,area,general_transition,red_area,red_transition,"
               "general_flashes,red_flashes,fails\n",
               csv_);
    catchInterrupts();
    return true;
}

void FlashReportRun::discard() {
    if (!csv_) return;
    std::fclose(csv_);
    csv_ = nullptr;
    std::error_code ignored;
    std::filesystem::remove(partPath_, ignored);
    releaseInterrupts();
}

void FlashReportRun::frameStarting() { sceneOfFrame_ = currentScene; }

bool FlashReportRun::frameEnded() {
    const int scene = sceneOfFrame_;
    // The frame just presented; a jump to the span's start runs frames of its own before it.
    const long frame = frameNumber() - 1;
    frames_ = frame + 1;
    if (frame >= firstKept_) {
        const auto& picture = platform::lastPresentedFrame();
        if (picture.empty()) {
            failure_ = "frame " + std::to_string(frame) + " presented nothing";
            return false;
        }
        if (!analyzer_)
            analyzer_ = std::make_unique<FlashAnalyzer>(
                platform::frameWidth(), platform::frameHeight(), framesPerSecond, frame);
        const FlashFrame f = analyzer_->addFrame(picture.data());
        if (f.fails && scene >= 0 && scene < 16) sceneFails_[scene] = true;
        std::fprintf(csv_, "%ld,%.3f,%d,%.4f,%d,%.4f,%d,%d,%d,%d\n", frame,
                     double(frame) / framesPerSecond, scene, f.area, f.generalTransition, f.redArea,
                     f.redTransition, f.generalFlashes, f.redFlashes, f.fails);
        lastFrame_ = frame;
    }
    if (holdFrame_ < 0 && showHolding()) holdFrame_ = frames_;
    if (const int signal = interruptSignal()) {
        failure_ = "flash report interrupted by signal " + std::to_string(signal);
        return false;
    }
    if (holdFrame_ < 0 && musicCanNoLongerCue() && showWaitsForMusic()) {
        failure_ = cuesNeverCameMessage("the flash report stops here");
        return false;
    }
    const double elapsed =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
    if (elapsed - lastReport_ >= 0.5) {
        lastReport_ = elapsed;
        char line[96];
        std::snprintf(line, sizeof line, "flash report: %.1f s of the show, %.0f s elapsed   ",
                      double(frames_) / framesPerSecond, elapsed);
        printProgressLine(line);
    }
    if (settings_.toSeconds > 0)
        return frames_ < std::lround(settings_.toSeconds * framesPerSecond);
    return holdFrame_ < 0 || frames_ < holdFrame_ + framesPerSecond;
}

int FlashReportRun::run() {
    started_ = std::chrono::steady_clock::now();
    firstKept_ = std::lround(settings_.fromSeconds * framesPerSecond);
    // The span's start is reached by a jump, as a live show's is.
    if (firstKept_ > 0) setStartJump({JumpTarget::Kind::Frame, 0, 0, firstKept_});
    platform::keepPresentedFrames(true);
    deliverSyncsByFrameSpan(true);
    mainLoop();
    deliverSyncsByFrameSpan(false);
    endProgressLine();
    if (failure_.empty() && !analyzer_) failure_ = "the show ended before --from";
    if (failure_.empty() && interruptSignal())
        failure_ = "flash report interrupted by signal " + std::to_string(interruptSignal());
    if (failure_.empty() && (std::fflush(csv_) != 0 || std::ferror(csv_)))
        failure_ = "cannot write " + settings_.csvPath;
    if (failure_.empty()) {
        std::fclose(csv_);
        csv_ = nullptr;
        std::error_code ec;
        std::filesystem::rename(partPath_, settings_.csvPath, ec);
        if (ec) {
            failure_ = "cannot write " + settings_.csvPath + ": " + ec.message();
            std::filesystem::remove(partPath_, ec);
        }
        releaseInterrupts();
    }
    if (!failure_.empty()) {
        printMessageLine("tuvero: " + failure_);
        const int signal = interruptSignal();
        discard();
        return signal ? 128 + signal : 1;
    }

    const auto& seconds = analyzer_->failingSeconds();
    char span[96];
    std::snprintf(span, sizeof span, "%.1f to %.1f s at %d x %d", double(firstKept_) / 60,
                  double(lastFrame_ + 1) / 60, platform::frameWidth(), platform::frameHeight());
    if (seconds.empty()) {
        std::printf("flash report: passes, no second with more than three flashes (%s)\n", span);
        return 0;
    }
    std::string scenes;
    for (int entry = 0; entry < 16; ++entry)
        if (sceneFails_[entry] && scenes.find(sceneEntryName(entry)) == std::string::npos)
            scenes += std::string(scenes.empty() ? "" : ", ") + sceneEntryName(entry);
    std::printf("flash report: fails in %zu second%s, at %s s (%s; %s)\n", seconds.size(),
                seconds.size() == 1 ? "" : "s", formatSeconds(seconds).c_str(), scenes.c_str(),
                span);
    return flashReportFails;
}
