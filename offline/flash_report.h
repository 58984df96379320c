// The flash report: the whole show (or a clip of it) rendered offline at 60 frames a second on
// the virtual clock, every frame analysed for flashes, one CSV line a frame, and a verdict.
#pragma once

#include "app/show_observer.h"

#include <chrono>
#include <cstdio>
#include <memory>
#include <string>

class FlashAnalyzer;

struct FlashReportSettings {
    std::string csvPath;
    double fromSeconds = 0; // analyse from here (seconds of the whole run, loading included)
    double toSeconds = 0;   // > 0: end here; otherwise one second into the held final picture
};

// Exit code of a show that fails the guideline somewhere.
constexpr int flashReportFails = 3;

// The name of a scene entry of the show, for the verdict ("tunnel").
const char* sceneEntryName(int entry);

// Start-up makes it the show's observer before run().
class FlashReportRun : public ShowObserver {
  public:
    explicit FlashReportRun(const FlashReportSettings& settings);
    ~FlashReportRun() override;
    // Opens the CSV (written beside it under a temporary name until the end), so that a bad
    // path fails before the show starts.
    bool open(std::string& error);
    // Runs the started show's main loop and analyses it. Returns 0 when it passes, 3 when it
    // fails, 1 after an error (nothing left behind), 128 + signal when interrupted.
    int run();

    // Notes the entry the frame plays.
    void frameStarting() override;
    // Analyses the frame just presented; false once the span is complete or the run failed.
    bool frameEnded() override;
    // Removes the part-written CSV (a failure that ends the process).
    void abandon() override { discard(); }

  private:
    void discard();

    FlashReportSettings settings_;
    std::string partPath_;
    std::FILE* csv_ = nullptr;
    std::unique_ptr<FlashAnalyzer> analyzer_;
    long frames_ = 0;    // frames run so far
    long firstKept_ = 0; // the first analysed frame
    long lastFrame_ = -1;
    long holdFrame_ = -1;
    int sceneOfFrame_ = 0; // the entry current when the frame began
    bool sceneFails_[16] = {};
    std::string failure_;
    std::chrono::steady_clock::time_point started_;
    double lastReport_ = -1;
};
