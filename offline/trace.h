// The --trace lines: "scene N frame F time T" on every scene change, "sync V frame F time T" on
// every delivered sync (T: ms since the first frame), and "pause"/"resume" with the tick and the
// music's position.
#pragma once

#include "app/show_observer.h"

#include <cstdint>

class Trace : public ShowObserver {
  public:
    void frameStarting() override;
    void syncDelivered(int userValue) override;
    void pauseChanged(bool paused, double musicSeconds) override;

  private:
    std::uint32_t sinceFirstFrame() const;

    bool started_ = false;
    std::uint32_t firstFrameTick_ = 0;
    int tracedScene_ = -1;
};
