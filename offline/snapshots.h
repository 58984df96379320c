// Chosen frames of the show, rendered offline on the same virtual clock as a capture at
// 60 frames per second: every frame is drawn (scenes keep state), only the chosen ones are read
// back and written, as frame_NNNNNN.png in a folder. The run ends after the last chosen frame.
#pragma once

#include "app/show_observer.h"

#include <cstddef>

#include <string>
#include <vector>

struct SnapshotSettings {
    std::vector<long> frames; // ascending, no repeats; frame 0 is the first of the show
    std::string folder;       // must exist
};

// Parses "F,F,..." (frame numbers, any order, repeats allowed) into ascending unique frames.
// False with `error` set when the list is empty or holds anything but numbers >= 0.
bool parseSnapshotFrames(const std::string& text, std::vector<long>& frames, std::string& error);

// Fails at once (false, `error` set) when the folder cannot be written.
bool checkSnapshotFolder(const std::string& folder, std::string& error);

// Start-up makes it the show's observer before run().
class SnapshotRun : public ShowObserver {
  public:
    explicit SnapshotRun(const SnapshotSettings& settings) : settings_(settings) {}
    // Runs the main loop. Returns 0, or 1 with a message on stderr when a frame could not be
    // written or the show ended before a chosen frame.
    int run();
    // Writes the frame just presented when it is chosen; false after the last chosen one.
    bool frameEnded() override;

  private:
    bool isChosen(long frame) const;

    SnapshotSettings settings_;
    std::size_t written_ = 0;
    std::string failure_;
};
