#include "offline/capture.h"

#include "app/console.h"
#include "app/music.h"
#include "app/playback.h"
#include "app/scene_table.h"
#include "offline/frame_sink.h"
#include "offline/interrupt.h"
#include "platform/module_player.h"
#include "platform/platform.h"
#include "scenes/scenes.h"
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>

namespace {

// A show's usual length, for the progress estimate until the final picture is reached.
constexpr double usualShowSeconds = 180;

std::vector<std::uint8_t> upscale(const std::vector<std::uint8_t>& rgb, int width, int height,
                                  unsigned scale) {
    if (scale == 1) return rgb;
    const size_t outWidth = static_cast<size_t>(width) * scale;
    std::vector<std::uint8_t> out(outWidth * height * scale * 3);
    for (int y = 0; y < height; ++y) {
        std::uint8_t* row = &out[static_cast<size_t>(y) * scale * outWidth * 3];
        for (int x = 0; x < width; ++x)
            for (unsigned k = 0; k < scale; ++k)
                std::copy_n(&rgb[(static_cast<size_t>(y) * width + x) * 3], 3,
                            &row[(static_cast<size_t>(x) * scale + k) * 3]);
        for (unsigned k = 1; k < scale; ++k)
            std::copy_n(row, outWidth * 3, row + k * outWidth * 3);
    }
    return out;
}

} // namespace

CaptureRun::CaptureRun(const CaptureSettings& settings) : settings_(settings) {}

CaptureRun::~CaptureRun() = default;

bool CaptureRun::open(std::string& error) {
    width_ = settings_.width;
    height_ = settings_.height;
    sink_ = openFrameSink(settings_.target, width_ * static_cast<int>(settings_.scale),
                          height_ * static_cast<int>(settings_.scale), settings_.fps, error);
    if (!sink_) return false;
    catchInterrupts();
    return true;
}

void CaptureRun::abandon() {
    if (sink_) sink_->discard();
    sink_.reset();
    releaseInterrupts();
}

long CaptureRun::exactFrames() const {
    const double fps = settings_.fps;
    if (settings_.toSeconds > 0) return std::lround(settings_.toSeconds * fps);
    if (settings_.durationSeconds > 0) return static_cast<long>(settings_.durationSeconds * fps);
    if (holdFrame_ >= 0) return holdFrame_ + static_cast<long>(settings_.holdSeconds * fps);
    return -1;
}

// A module that never plays a cue instrument keeps the first scene waiting: the run ends
// (with an error) when the music ends. Otherwise the show's usual length.
long CaptureRun::estimatedFrames() const {
    const double fps = settings_.fps;
    if (cuesMissing_) {
        const long musicStart = musicStartFrame_ >= 0 ? musicStartFrame_ : frames_;
        return musicStart + static_cast<long>(musicSeconds_ * fps) + 1;
    }
    return static_cast<long>((usualShowSeconds + settings_.holdSeconds) * fps);
}

bool CaptureRun::frameEnded() {
    // The frame just presented; a jump to a clip's start runs frames of its own before it.
    const long frame = frameNumber() - 1;
    if (frame >= firstKept_) {
        const auto& picture = platform::lastPresentedFrame();
        std::vector<std::uint8_t> frame =
            picture.empty() ? std::vector<std::uint8_t>(static_cast<size_t>(width_) * height_ * 3)
                            : picture;
        if (!sink_->writeFrame(upscale(frame, width_, height_, settings_.scale), failure_))
            return false;
    }
    frames_ = frame + 1;

    // The soundtrack is silent until the music starts, then the module as it was mixed. What a
    // jump passed over was not recorded: the samples that follow are placed by the module's
    // own position.
    if (platform::musicPlaying()) {
        if (!musicPlaced_) {
            musicStartFrame_ = frame;
            const std::uint32_t silentMs = platform::musicStartTick() - firstTick_;
            musicOffset_ = static_cast<size_t>(silentMs) * platform::musicSampleRate / 1000;
            soundtrack_.assign(musicOffset_ * 2, 0.0f);
            musicPlaced_ = true;
        }
        std::vector<float> mixed = platform::musicTakeRecorded();
        const std::size_t mixedStart =
            musicOffset_ + platform::musicFramesMixed() - mixed.size() / 2;
        if (mixedStart > soundDropped_ + soundtrack_.size() / 2) {
            soundtrack_.clear(); // all before the clip
            soundDropped_ = mixedStart;
        }
        soundtrack_.insert(soundtrack_.end(), mixed.begin(), mixed.end());
    }
    // Only the clip's sound is kept: frame n starts at sample n * rate / fps.
    const std::size_t clipStart =
        static_cast<std::size_t>(firstKept_) * platform::musicSampleRate / settings_.fps;
    const std::size_t drop = std::min(clipStart - soundDropped_, soundtrack_.size() / 2);
    soundtrack_.erase(soundtrack_.begin(), soundtrack_.begin() + static_cast<long>(drop * 2));
    soundDropped_ += drop;

    if (holdFrame_ < 0 && showHolding()) holdFrame_ = frames_;
    if (const int signal = interruptSignal()) {
        failure_ = "capture interrupted by signal " + std::to_string(signal);
        return false;
    }
    if (holdFrame_ < 0 && musicCanNoLongerCue() && showWaitsForMusic()) {
        failure_ = cuesNeverCameMessage("the capture stops here");
        return false;
    }
    reportProgress(false);
    const long total = exactFrames();
    return total < 0 || frames_ < total;
}

void CaptureRun::reportProgress(bool last) {
    using namespace std::chrono;
    const double elapsed = duration<double>(steady_clock::now() - started_).count();
    if (firstKeptAt_ < 0 && frames_ > firstKept_) firstKeptAt_ = elapsed;
    if (!last && elapsed - lastReport_ < 0.5) return;
    lastReport_ = elapsed;
    const long exact = exactFrames();
    // A clip counts its own frames; the jump to its start comes first.
    const long total = (exact >= 0 ? std::max(exact, frames_) : estimatedFrames()) - firstKept_;
    const long kept = std::max(0L, frames_ - firstKept_);
    char line[160];
    if (firstKept_ > 0 && kept == 0) {
        std::snprintf(line, sizeof line,
                      "capture: on the way to the clip's start, %.0f s elapsed   ", elapsed);
    } else if (exact < 0 && total <= kept) {
        // Past the estimate: no end is promised until the final picture is reached.
        std::snprintf(line, sizeof line, "capture: frame %ld, %.0f s elapsed, end not known yet   ",
                      kept, elapsed);
    } else {
        // At the pace of the frames kept so far (a clip's jump is not part of it).
        const double left = kept > 0 ? (elapsed - firstKeptAt_) / kept * (total - kept) : 0;
        std::snprintf(line, sizeof line,
                      "capture: frame %ld of %s%ld, %.0f s elapsed, about %.0f s left   ", kept,
                      exact < 0 ? "~" : "", total, elapsed, left);
    }
    printProgressLine(line);
    if (last) endProgressLine();
}

int CaptureRun::run() {
    started_ = std::chrono::steady_clock::now();
    firstTick_ = platform::tickCount();
    firstKept_ = std::lround(settings_.fromSeconds * settings_.fps);
    // A clip's start is reached by a jump, as a live show's is, on the capture's frame grid.
    if (firstKept_ > 0) setStartJump({JumpTarget::Kind::Frame, 0, 0, firstKept_});
    cuesMissing_ = musicCuesMissing();
    musicSeconds_ = platform::musicDurationSeconds();
    platform::keepPresentedFrames(true);
    platform::musicRecord(true);
    deliverSyncsByFrameSpan(true);
    mainLoop();
    platform::musicRecord(false);
    deliverSyncsByFrameSpan(false);
    reportProgress(true);
    if (failure_.empty() && frames_ <= firstKept_)
        failure_ = "the show ended before the clip's start (--from)";

    // A show that ends by itself ends the capture there too.
    if (interruptSignal())
        failure_ = "capture interrupted by signal " + std::to_string(interruptSignal());
    if (!failure_.empty()) {
        printMessageLine(failure_);
        abandon();
        return interruptSignal() ? 128 + interruptSignal() : 1;
    }
    // Exactly as long as the frames: frame n covers [n, n + 1) / fps seconds.
    const size_t samples = static_cast<size_t>(frames_) * platform::musicSampleRate / settings_.fps;
    soundtrack_.resize((samples - std::min(samples, soundDropped_)) * 2, 0.0f);
    std::string error;
    if (!sink_->finish(soundtrack_, platform::musicSampleRate, error)) {
        if (interruptSignal())
            error = "capture interrupted by signal " + std::to_string(interruptSignal());
        printMessageLine(error);
        abandon();
        return interruptSignal() ? 128 + interruptSignal() : 1;
    }
    sink_.reset();
    releaseInterrupts();
    return 0;
}
