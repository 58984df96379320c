// Frame-time benchmark: the whole show on the virtual clock at 60 fps steps, no vsync, no
// sound output (the module is still mixed), as fast as the machine allows.
#pragma once

#include "app/show_observer.h"

#include <chrono>
#include <map>

#include <string>
#include <vector>

struct SceneTimes {
    int entry = 0;
    long frames = 0;
    double medianMs = 0, p95Ms = 0, maxMs = 0;
    long medianDraws = 0; // draw calls in a frame
};

struct BenchmarkReport {
    std::vector<SceneTimes> scenes; // entries 1 to 12 that ran
    double loadingMs = 0;           // all frames of the loading screen
    double slowestLoadMs = 0;       // its slowest frame (one loading unit)
    double wallSeconds = 0;         // the whole run
    double showSeconds = 0;         // the show's own duration on the virtual clock
    double floorMs = 0;             // median of a bare clear-and-present loop
};

// Median, 95th percentile and maximum of the samples (ms), and the median of the frames' draw
// calls.
SceneTimes summarise(int entry, std::vector<double> samples, std::vector<long> draws = {});
std::string formatReportTable(const BenchmarkReport& report);
std::string formatReportJson(const BenchmarkReport& report);

// Start-up makes it the show's observer before run().
class BenchmarkRun : public ShowObserver {
  public:
    // Writes the JSON to `jsonPath` too when it is not empty.
    explicit BenchmarkRun(const std::string& jsonPath) : jsonPath_(jsonPath) {}
    // Runs the started show to its held final picture (plus one second) and measures it;
    // prints the table and writes the JSON. Returns the exit code.
    int run();
    // Notes the frame's time; false one second into the held picture, or when the music
    // ended while the first scene still waits for its cues.
    bool frameEnded() override;

  private:
    using Clock = std::chrono::steady_clock;

    std::string jsonPath_;
    std::map<int, std::vector<double>> frameTimes_; // per entry
    std::map<int, std::vector<long>> frameDraws_;   // per entry
    long drawsBefore_ = 0;                          // the count when the frame began
    Clock::time_point frameStart_;
    long holdFrames_ = -1;
    int sceneOfFrame_ = 0; // the entry that was current when the frame began
    bool stalled_ = false;
};
