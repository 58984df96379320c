// Offline rendering of the whole show on the virtual clock: a video with its soundtrack
// (through ffmpeg) or a folder of numbered PNG frames and music.wav.
#pragma once

#include "app/show_observer.h"

#include <chrono>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

struct CaptureSettings {
    std::string target; // FILE.mkv, FILE.mp4, or a folder (existing, or ending in '/')
    unsigned fps = 60;
    unsigned scale = 1;            // nearest-neighbour upscaling of the 640 x 480 frames
    int width = 640, height = 480; // the size the show is rendered at (--render-size)
    double holdSeconds = 5;        // how long after the final picture holds the capture goes on
    double durationSeconds = 0;    // > 0: end after this long instead
    // A clip: only the frames and sound from `fromSeconds` to `toSeconds` (when > 0) of what the
    // whole capture would hold; the frames before are played but not kept.
    double fromSeconds = 0;
    double toSeconds = 0;
};

class FrameSink;

// One capture: open the target before the show starts (so a bad target fails at once), then
// run the show's main loop into it. Start-up makes it the show's observer before run().
class CaptureRun : public ShowObserver {
  public:
    explicit CaptureRun(const CaptureSettings& settings);
    ~CaptureRun() override;
    bool open(std::string& error);
    // Runs the main loop frame by frame into the target. Returns the exit code: 0; 1 with a
    // message on stderr and nothing half-written left behind; 128 + the signal's number after
    // SIGINT or SIGTERM, again with nothing left behind.
    int run();
    // Removes whatever was written and ends ffmpeg (any failure after open, and a failure that
    // ends the process).
    void abandon() override;
    // Writes the frame just presented; false once the capture is complete or failed.
    bool frameEnded() override;

  private:
    long exactFrames() const; // -1 until the length is known
    long estimatedFrames() const;
    void reportProgress(bool last);

    CaptureSettings settings_;
    std::unique_ptr<FrameSink> sink_;
    int width_ = 640, height_ = 480;
    long frames_ = 0;              // run so far, the jump's to a clip's start included
    long firstKept_ = 0;           // the first frame of a clip
    std::size_t soundDropped_ = 0; // samples before the clip, left out
    std::size_t musicOffset_ = 0;  // the sample at which the music starts
    long holdFrame_ = -1;
    std::uint32_t firstTick_ = 0;
    bool musicPlaced_ = false;
    std::vector<float> soundtrack_;
    long musicStartFrame_ = -1;
    bool cuesMissing_ = false; // the module never plays a cue instrument
    double musicSeconds_ = 0;
    std::string failure_;
    std::chrono::steady_clock::time_point started_;
    double lastReport_ = -1;
    double firstKeptAt_ = -1; // seconds into the run when the clip's first frame was kept
};
