// Flash analysis of a sequence of frames, after the public general-flash and red-flash
// thresholds: more than three flashes in any one second fail. No GL: it reads RGB bytes.
//
// How the definitions are read here (they leave these open):
// - The frame is measured in small blocks (1/80 of its width, square), each by its average
//   linear colour: a flash is an area that changes together, and detail finer than a block
//   that moves across the screen (a turning textured object) averages out instead of counting
//   as thousands of tiny flashes.
// - Per block, changes are accumulated over consecutive frames while they go the same way; a
//   transition is registered once the accumulated change reaches the threshold (relative
//   luminance: 0.1 with the darker state below 0.8; red: (R - G - B) x 320, negatives taken as
//   0, by more than 20 with either state a saturated red, R / (R + G + B) >= 0.8, all in
//   linear values). A block's transitions must alternate: a second rise without a fall in
//   between is no new transition, so a slow fade is one transition, never a flash.
// - Concurrent means within 100 ms: a frame transition happens when the blocks that registered
//   a transition opposite to the previous frame transition (either way for the first), in the
//   last 100 ms and since that transition, cover at least a quarter of some 10-degree field,
//   less the blocks in that field that turned the other way in the same time: a pattern that
//   moves across a field brightens parts of it as it darkens others, and the field as a whole
//   does not flash. The field is a rectangle of 341 x 256 pixels at 1024 x 768, scaled to the
//   frame, tried at every block position.
// - A flash is a pair of opposing frame transitions: the flashes in the last second are half
//   the frame transitions in the last `framesPerSecond` frames, rounded down. General and red
//   flashes are counted apart; more than three of either kind fail that frame.
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <vector>

struct FlashFrame {
    long frame = 0;     // numbered from the analyser's first frame
    double area = 0;    // largest share of a field that made a luminance transition
    double redArea = 0; // the same for red transitions
    bool generalTransition = false;
    bool redTransition = false;
    int generalFlashes = 0; // in the last second, this frame included
    int redFlashes = 0;
    bool fails = false; // more than three flashes of either kind
};

class FlashAnalyzer {
  public:
    // Frames of `width` x `height` RGB pixels, `framesPerSecond` of them a second.
    // `firstFrame` numbers the first frame given (for the failing seconds of a partial run).
    FlashAnalyzer(int width, int height, int framesPerSecond, long firstFrame = 0);

    // One frame: width x height x 3 bytes, rows one after the other (sRGB).
    FlashFrame addFrame(const std::uint8_t* rgb);

    long framesSeen() const { return frames_; }
    // Whole seconds (frame / framesPerSecond, counted with firstFrame) in which some frame
    // fails, ascending.
    const std::vector<long>& failingSeconds() const { return failingSeconds_; }
    bool passes() const { return failingSeconds_.empty(); }

  private:
    struct Tally {
        int lastDirection = 0;   // of the last frame transition: +1 up, -1 down, 0 none yet
        long lastFrame = -1;     // when it happened
        std::deque<bool> window; // frame transitions of the last second
        int inWindow = 0;
    };
    // Largest sum of the mask (+1 with, -1 against) inside one field, over all positions.
    long largestFieldCount(const std::vector<std::int8_t>& mask);
    // Frame-level transition from the pixels' registered transitions; returns the area share.
    double frameTransition(const std::vector<std::int8_t>& direction,
                           const std::vector<std::int32_t>& registered, Tally& tally,
                           bool& transition);
    int countFlashes(Tally& tally, bool transition);

    int width_, height_, fps_;
    long firstFrame_;
    int block_;                    // side of a block in pixels
    int columns_, rows_;           // blocks across and down
    int fieldColumns_, fieldRows_; // the field in blocks
    long fieldThreshold_;          // blocks: a quarter of a field
    int concurrentFrames_;         // registrations this recent make one frame transition
    long frames_ = 0;

    std::vector<float> sumR_, sumG_, sumB_; // this frame's linear colour summed per block
    std::vector<float> blockPixels_;        // pixels in each block (fewer at the edges)
    // Per block, luminance.
    std::vector<float> lumLast_, lumAnchor_;
    std::vector<std::int8_t> lumRun_, lumDirection_;
    std::vector<std::uint8_t> lumRunCounted_;
    std::vector<std::int32_t> lumRegistered_;
    // Per block, red.
    std::vector<float> redLast_, redAnchor_;
    std::vector<std::int8_t> redRun_, redDirection_;
    std::vector<std::uint8_t> redRunCounted_, redAnchorSaturated_, redLastSaturated_;
    std::vector<std::int32_t> redRegistered_;

    std::vector<std::int8_t> mask_;
    std::vector<std::int32_t> integral_;
    Tally general_, red_;
    std::vector<long> failingSeconds_;
};

// "12-14, 20, 31-32": whole seconds, runs of consecutive ones joined.
std::string formatSeconds(const std::vector<long>& seconds);
