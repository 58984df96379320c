// What watches the show from outside its core: an offline run (capture, snapshots, benchmark,
// flash report) and the trace. Start-up sets one observer before the main loop; the core calls
// it and knows nothing else of what is attached.
#pragma once

#include <vector>

class ShowObserver {
  public:
    virtual ~ShowObserver() = default;
    // A frame is about to run the current entry's scene; its music syncs were delivered. Also
    // called for the frames a jump replays.
    virtual void frameStarting() {}
    // A music sync is about to reach the current entry.
    virtual void syncDelivered(int userValue) { (void)userValue; }
    // After each frame of the main loop, once it was presented (not for the frames a jump
    // replays). Returning false ends the show as Escape does.
    virtual bool frameEnded() { return true; }
    // The show paused or resumed; `musicSeconds` is the music's position at that moment.
    virtual void pauseChanged(bool paused, double musicSeconds) {
        (void)paused;
        (void)musicSeconds;
    }
    // The process is about to end on a failure: remove whatever was half-written.
    virtual void abandon() {}
};

// Several observers as one, called in the order given.
class ShowObserverList : public ShowObserver {
  public:
    void add(ShowObserver* observer) {
        if (observer) observers_.push_back(observer);
    }
    void frameStarting() override;
    void syncDelivered(int userValue) override;
    bool frameEnded() override; // every observer sees the frame; false when any says so
    void pauseChanged(bool paused, double musicSeconds) override;
    void abandon() override;

  private:
    std::vector<ShowObserver*> observers_;
};

// The observer of the run; nullptr for none. The core keeps the pointer, not the object.
void setShowObserver(ShowObserver* observer);
// Never nullptr: an observer that does nothing while none is set.
ShowObserver& showObserver();
