#include "offline/benchmark.h"

#include "app/console.h"
#include "app/music.h"
#include "app/scene_table.h"
#include "platform/platform.h"
#include "render/gfx.h"
#include "scenes/scenes.h"
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

using Clock = std::chrono::steady_clock;

double msSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// The cost of a frame that only clears and presents the picture.
double measureFloor() {
    std::vector<double> samples;
    for (int i = 0; i < 120; ++i) {
        auto start = Clock::now();
        gfx::setClearColor(0, 0, 0, 1);
        gfx::clear(true, true);
        platform::presentFrame();
        platform::waitForDrawing();
        samples.push_back(msSince(start));
    }
    return summarise(0, samples).medianMs;
}

} // namespace

SceneTimes summarise(int entry, std::vector<double> samples, std::vector<long> draws) {
    SceneTimes times;
    if (!draws.empty()) {
        std::nth_element(draws.begin(), draws.begin() + draws.size() / 2, draws.end());
        times.medianDraws = draws[draws.size() / 2];
    }
    times.entry = entry;
    times.frames = static_cast<long>(samples.size());
    if (samples.empty()) return times;
    std::sort(samples.begin(), samples.end());
    auto at = [&](double fraction) {
        size_t index = static_cast<size_t>(std::ceil(fraction * samples.size())) - 1;
        return samples[std::min(index, samples.size() - 1)];
    };
    times.medianMs = samples.size() % 2
                         ? samples[samples.size() / 2]
                         : (samples[samples.size() / 2 - 1] + samples[samples.size() / 2]) / 2;
    times.p95Ms = at(0.95);
    times.maxMs = samples.back();
    return times;
}

std::string formatReportTable(const BenchmarkReport& report) {
    std::string out;
    char line[160];
    std::snprintf(line, sizeof line, "%-6s %7s %10s %8s %8s %9s %6s\n", "entry", "frames",
                  "median_ms", "p95_ms", "max_ms", "fps(med)", "draws");
    out += line;
    for (const SceneTimes& s : report.scenes) {
        std::snprintf(line, sizeof line, "%-6d %7ld %10.2f %8.2f %8.2f %9.0f %6ld\n", s.entry,
                      s.frames, s.medianMs, s.p95Ms, s.maxMs,
                      s.medianMs > 0 ? 1000.0 / s.medianMs : 0.0, s.medianDraws);
        out += line;
    }
    std::snprintf(line, sizeof line,
                  "loading: %.0f ms in all, slowest unit %.1f ms\n"
                  "floor (clear + present): %.2f ms\n"
                  "wall time %.1f s for a show of %.1f s (%.2fx real time)\n",
                  report.loadingMs, report.slowestLoadMs, report.floorMs, report.wallSeconds,
                  report.showSeconds,
                  report.wallSeconds > 0 ? report.showSeconds / report.wallSeconds : 0.0);
    out += line;
    return out;
}

std::string formatReportJson(const BenchmarkReport& report) {
    std::string out = "{\"scenes\": [";
    char item[200];
    for (size_t i = 0; i < report.scenes.size(); ++i) {
        const SceneTimes& s = report.scenes[i];
        std::snprintf(item, sizeof item,
                      "%s{\"entry\": %d, \"frames\": %ld, \"median_ms\": %.3f, \"p95_ms\": %.3f, "
                      "\"max_ms\": %.3f, \"median_draws\": %ld}",
                      i ? ", " : "", s.entry, s.frames, s.medianMs, s.p95Ms, s.maxMs,
                      s.medianDraws);
        out += item;
    }
    std::snprintf(item, sizeof item,
                  "], \"loading_ms\": %.1f, \"slowest_load_ms\": %.1f, \"wall_s\": %.2f, "
                  "\"show_s\": %.2f, \"floor_ms\": %.3f}\n",
                  report.loadingMs, report.slowestLoadMs, report.wallSeconds, report.showSeconds,
                  report.floorMs);
    out += item;
    return out;
}

bool BenchmarkRun::frameEnded() {
    // A frame counts until its drawing is done, the same on the desktop and in a browser.
    platform::waitForDrawing();
    frameTimes_[sceneOfFrame_].push_back(msSince(frameStart_));
    frameDraws_[sceneOfFrame_].push_back(gfx::drawCallCount() - drawsBefore_);
    drawsBefore_ = gfx::drawCallCount();
    sceneOfFrame_ = std::min(currentScene, sceneCount - 1);
    frameStart_ = Clock::now();
    if (holdFrames_ < 0 && showHolding()) holdFrames_ = 0;
    if (holdFrames_ < 0 && musicCanNoLongerCue() && showWaitsForMusic()) {
        stalled_ = true; // the music is over: the first scene would wait for ever
        return false;
    }
    return holdFrames_ < 0 || ++holdFrames_ < 60; // one more second of the final picture
}

int BenchmarkRun::run() {
    BenchmarkReport report;
    const std::uint32_t firstTick = platform::tickCount();
    const auto started = Clock::now();
    frameStart_ = started;
    drawsBefore_ = gfx::drawCallCount();
    sceneOfFrame_ = currentScene;
    // The show's picture, for the floor measured after it (the show closes its window).
    const platform::PictureSize picture{false, platform::frameWidth(), platform::frameHeight(),
                                        platform::pictureSamples()};
    mainLoop();
    if (stalled_) {
        printMessageLine(cuesNeverCameMessage("the benchmark stops without a result"));
        return 1;
    }
    report.wallSeconds = msSince(started) / 1000;
    report.showSeconds = (platform::tickCount() - firstTick) / 1000.0;

    for (auto& [entry, samples] : frameTimes_) {
        if (entry == 0) {
            for (double ms : samples)
                report.loadingMs += ms;
            report.slowestLoadMs = *std::max_element(samples.begin(), samples.end());
        } else {
            report.scenes.push_back(summarise(entry, samples, frameDraws_[entry]));
        }
    }
    std::string error;
    platform::WindowOptions window;
    window.hidden = true;
    window.vsync = false;
    if (platform::openWindow(window, error)) {
        if (platform::setPictureSize(picture, error)) report.floorMs = measureFloor();
        platform::closeWindow();
    }
    std::printf("picture %d x %d, %d samples per pixel\n", picture.width, picture.height,
                picture.samples);
    std::printf("%s", formatReportTable(report).c_str());
    if (!jsonPath_.empty()) {
        FILE* file = std::fopen(jsonPath_.c_str(), "w");
        std::string json = formatReportJson(report);
        if (!file || std::fwrite(json.data(), 1, json.size(), file) != json.size() ||
            std::fclose(file) != 0) {
            std::fprintf(stderr, "tuvero: cannot write %s\n", jsonPath_.c_str());
            return 1;
        }
    }
    return 0;
}
