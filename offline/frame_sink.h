// Where captured frames and the soundtrack go: numbered PNGs and a WAV in a folder, or a video
// made by ffmpeg. Each sink writes under temporary names and renames only when complete.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

class FrameSink {
  public:
    virtual ~FrameSink() = default;
    // One RGB frame, top row first.
    virtual bool writeFrame(const std::vector<std::uint8_t>& rgb, std::string& error) = 0;
    // Interleaved stereo at `sampleRate`; makes the result final.
    virtual bool finish(const std::vector<float>& soundtrack, int sampleRate,
                        std::string& error) = 0;
    // Removes everything written so far (after a failure or an abort).
    virtual void discard() = 0;
};

// Chooses the sink from the target's form; nullptr with `error` set when it cannot be used.
std::unique_ptr<FrameSink> openFrameSink(const std::string& target, int width, int height,
                                         unsigned fps, std::string& error);

// 16-bit PCM stereo WAV, written whole or not at all.
bool writeWav(const std::string& path, const std::vector<float>& soundtrack, int sampleRate,
              std::string& error);
// Directory of PATH that holds an executable named `program`, or "" when none does.
std::string findOnPath(const std::string& program);
