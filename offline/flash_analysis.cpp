#include "offline/flash_analysis.h"

#include <algorithm>
#include <array>
#include <cmath>

namespace {

constexpr float luminanceStep = 0.1f; // of the maximum relative luminance
constexpr float darkerBelow = 0.8f;   // the darker state of a general flash
constexpr float redStep = 20.0f;      // in (R - G - B) x 320
constexpr float saturatedRed = 0.8f;  // R / (R + G + B)
constexpr int flashesAllowed = 3;     // in any one second

const std::array<float, 256>& linearTable() {
    static const std::array<float, 256> table = [] {
        std::array<float, 256> t{};
        for (int i = 0; i < 256; ++i) {
            const double c = i / 255.0;
            t[i] =
                static_cast<float>(c <= 0.04045 ? c / 12.92 : std::pow((c + 0.055) / 1.055, 2.4));
        }
        return t;
    }();
    return table;
}

int scaled(int reference, int size, int referenceSize) {
    const int v = static_cast<int>(std::lround(double(reference) * size / referenceSize));
    return std::clamp(v, 1, size);
}

// Follows one pixel's value through runs of changes that go the same way: a change against
// the run starts a new run from the previous value (`newRun`). Returns the run's direction
// while the run has not yet made a transition, 0 otherwise.
inline int followRun(float value, float& last, float& anchor, std::int8_t& run,
                     std::uint8_t& counted, bool& newRun) {
    newRun = false;
    if (value > last && run != 1) {
        anchor = last;
        run = 1;
        counted = 0;
        newRun = true;
    } else if (value < last && run != -1) {
        anchor = last;
        run = -1;
        counted = 0;
        newRun = true;
    }
    last = value;
    return counted ? 0 : run;
}

} // namespace

FlashAnalyzer::FlashAnalyzer(int width, int height, int framesPerSecond, long firstFrame)
    : width_(width), height_(height), fps_(std::max(1, framesPerSecond)), firstFrame_(firstFrame),
      block_(std::max(1, static_cast<int>(std::lround(width / 80.0)))),
      columns_((width + block_ - 1) / block_), rows_((height + block_ - 1) / block_),
      fieldColumns_(std::clamp(
          static_cast<int>(std::lround(double(scaled(341, width, 1024)) / block_)), 1, columns_)),
      fieldRows_(std::clamp(
          static_cast<int>(std::lround(double(scaled(256, height, 768)) / block_)), 1, rows_)),
      concurrentFrames_(std::max(1, fps_ / 20)) {
    fieldThreshold_ = (static_cast<long>(fieldColumns_) * fieldRows_ + 3) / 4;
    const size_t n = static_cast<size_t>(columns_) * rows_;
    sumR_.assign(n, 0);
    sumG_.assign(n, 0);
    sumB_.assign(n, 0);
    blockPixels_.assign(n, 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            blockPixels_[static_cast<size_t>(y / block_) * columns_ + x / block_] += 1;
    lumLast_.assign(n, 0);
    lumAnchor_.assign(n, 0);
    lumRun_.assign(n, 0);
    lumDirection_.assign(n, 0);
    lumRunCounted_.assign(n, 0);
    lumRegistered_.assign(n, -1);
    redLast_.assign(n, 0);
    redAnchor_.assign(n, 0);
    redRun_.assign(n, 0);
    redDirection_.assign(n, 0);
    redRunCounted_.assign(n, 0);
    redAnchorSaturated_.assign(n, 0);
    redLastSaturated_.assign(n, 0);
    redRegistered_.assign(n, -1);
    mask_.assign(n, 0);
    integral_.assign(static_cast<size_t>(columns_ + 1) * (rows_ + 1), 0);
}

FlashFrame FlashAnalyzer::addFrame(const std::uint8_t* rgb) {
    const auto& lin = linearTable();
    std::fill(sumR_.begin(), sumR_.end(), 0.0f);
    std::fill(sumG_.begin(), sumG_.end(), 0.0f);
    std::fill(sumB_.begin(), sumB_.end(), 0.0f);
    for (int y = 0; y < height_; ++y) {
        const std::uint8_t* row = rgb + static_cast<size_t>(y) * width_ * 3;
        const size_t blockRow = static_cast<size_t>(y / block_) * columns_;
        for (int x = 0; x < width_; ++x) {
            const size_t b = blockRow + x / block_;
            sumR_[b] += lin[row[x * 3]];
            sumG_[b] += lin[row[x * 3 + 1]];
            sumB_[b] += lin[row[x * 3 + 2]];
        }
    }

    const size_t n = lumLast_.size();
    const bool first = frames_ == 0;
    const auto now = static_cast<std::int32_t>(frames_);
    for (size_t i = 0; i < n; ++i) {
        const float r = sumR_[i] / blockPixels_[i], g = sumG_[i] / blockPixels_[i],
                    b = sumB_[i] / blockPixels_[i];
        const float luminance = 0.2126f * r + 0.7152f * g + 0.0722f * b;
        const float red = std::max(0.0f, (r - g - b) * 320.0f);
        const float sum = r + g + b;
        const bool saturated = sum > 0 && r >= saturatedRed * sum;
        if (first) {
            lumLast_[i] = lumAnchor_[i] = luminance;
            redLast_[i] = redAnchor_[i] = red;
            redAnchorSaturated_[i] = redLastSaturated_[i] = saturated;
            continue;
        }

        bool newRun = false;
        if (const int run = followRun(luminance, lumLast_[i], lumAnchor_[i], lumRun_[i],
                                      lumRunCounted_[i], newRun)) {
            const float anchor = lumAnchor_[i];
            if (std::fabs(luminance - anchor) >= luminanceStep &&
                std::min(luminance, anchor) < darkerBelow) {
                lumRunCounted_[i] = 1;
                if (run != lumDirection_[i]) {
                    lumDirection_[i] = static_cast<std::int8_t>(run);
                    lumRegistered_[i] = now;
                }
            }
        }

        const std::uint8_t wasSaturated = redLastSaturated_[i];
        if (const int run =
                followRun(red, redLast_[i], redAnchor_[i], redRun_[i], redRunCounted_[i], newRun)) {
            if (newRun) redAnchorSaturated_[i] = wasSaturated;
            if (std::fabs(red - redAnchor_[i]) > redStep && (saturated || redAnchorSaturated_[i])) {
                redRunCounted_[i] = 1;
                if (run != redDirection_[i]) {
                    redDirection_[i] = static_cast<std::int8_t>(run);
                    redRegistered_[i] = now;
                }
            }
        }
        redLastSaturated_[i] = saturated;
    }

    FlashFrame result;
    result.frame = firstFrame_ + frames_;
    result.area =
        frameTransition(lumDirection_, lumRegistered_, general_, result.generalTransition);
    result.redArea = frameTransition(redDirection_, redRegistered_, red_, result.redTransition);
    result.generalFlashes = countFlashes(general_, result.generalTransition);
    result.redFlashes = countFlashes(red_, result.redTransition);
    result.fails = result.generalFlashes > flashesAllowed || result.redFlashes > flashesAllowed;
    if (result.fails) {
        const long second = result.frame / fps_;
        if (failingSeconds_.empty() || failingSeconds_.back() != second)
            failingSeconds_.push_back(second);
    }
    ++frames_;
    return result;
}

double FlashAnalyzer::frameTransition(const std::vector<std::int8_t>& direction,
                                      const std::vector<std::int32_t>& registered, Tally& tally,
                                      bool& transition) {
    transition = false;
    const size_t n = direction.size();
    long best = 0;
    int bestDirection = 0;
    // After a rise only a fall can follow, and the other way round; at first either. Blocks
    // count when they turned after the last frame transition and within the concurrent span.
    const long since = std::max(tally.lastFrame + 1, frames_ - concurrentFrames_ + 1);
    for (const int wanted : {1, -1}) {
        if (wanted == tally.lastDirection) continue;
        long total = 0;
        for (size_t i = 0; i < n; ++i) {
            const bool recent = registered[i] >= since;
            const bool with = recent && direction[i] == wanted;
            const bool against = recent && direction[i] == -wanted;
            mask_[i] = static_cast<std::int8_t>(with - against);
            total += with;
        }
        if (total == 0) continue;
        const long count = largestFieldCount(mask_);
        if (count > best) {
            best = count;
            bestDirection = wanted;
        }
    }
    if (bestDirection != 0 && best >= fieldThreshold_) {
        transition = true;
        tally.lastDirection = bestDirection;
        tally.lastFrame = static_cast<long>(frames_);
    }
    return double(best) / (double(fieldColumns_) * fieldRows_);
}

long FlashAnalyzer::largestFieldCount(const std::vector<std::int8_t>& mask) {
    const int w = columns_, h = rows_;
    const size_t stride = static_cast<size_t>(w) + 1;
    for (int y = 0; y < h; ++y) {
        std::int32_t rowSum = 0;
        const std::int8_t* row = &mask[static_cast<size_t>(y) * w];
        std::int32_t* above = &integral_[static_cast<size_t>(y) * stride];
        std::int32_t* out = above + stride;
        for (int x = 0; x < w; ++x) {
            rowSum += row[x];
            out[x + 1] = above[x + 1] + rowSum;
        }
    }
    long best = 0;
    for (int y = 0; y + fieldRows_ <= h; ++y) {
        const std::int32_t* top = &integral_[static_cast<size_t>(y) * stride];
        const std::int32_t* bottom = top + static_cast<size_t>(fieldRows_) * stride;
        for (int x = 0; x + fieldColumns_ <= w; ++x) {
            const long count = static_cast<long>(bottom[x + fieldColumns_]) - bottom[x] -
                               top[x + fieldColumns_] + top[x];
            best = std::max(best, count);
        }
    }
    return best;
}

int FlashAnalyzer::countFlashes(Tally& tally, bool transition) {
    tally.window.push_back(transition);
    tally.inWindow += transition;
    if (static_cast<int>(tally.window.size()) > fps_) {
        tally.inWindow -= tally.window.front();
        tally.window.pop_front();
    }
    return tally.inWindow / 2;
}

std::string formatSeconds(const std::vector<long>& seconds) {
    std::string out;
    for (size_t i = 0; i < seconds.size();) {
        size_t j = i;
        while (j + 1 < seconds.size() && seconds[j + 1] == seconds[j] + 1)
            ++j;
        if (!out.empty()) out += ", ";
        out += std::to_string(seconds[i]);
        if (j > i) out += "-" + std::to_string(seconds[j]);
        i = j + 1;
    }
    return out;
}
