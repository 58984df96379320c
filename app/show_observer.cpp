#include "app/show_observer.h"

namespace {
ShowObserver idle;
ShowObserver* current = nullptr;
} // namespace

void setShowObserver(ShowObserver* observer) { current = observer; }

ShowObserver& showObserver() { return current ? *current : idle; }

void ShowObserverList::frameStarting() {
    for (ShowObserver* observer : observers_)
        observer->frameStarting();
}

void ShowObserverList::syncDelivered(int userValue) {
    for (ShowObserver* observer : observers_)
        observer->syncDelivered(userValue);
}

bool ShowObserverList::frameEnded() {
    bool goOn = true;
    for (ShowObserver* observer : observers_)
        goOn = observer->frameEnded() && goOn;
    return goOn;
}

void ShowObserverList::pauseChanged(bool paused, double musicSeconds) {
    for (ShowObserver* observer : observers_)
        observer->pauseChanged(paused, musicSeconds);
}

void ShowObserverList::abandon() {
    for (ShowObserver* observer : observers_)
        observer->abandon();
}
