#include "app/jump.h"

#include "app/loading_screen.h"
#include "app/play_settings.h"
#include "app/scene_table.h"
#include "platform/module_player.h"
#include "platform/platform.h"
#include "scenes/scenes.h"

#include <algorithm>
#include <limits>
#include <vector>

namespace {

constexpr long mostSeconds = 20 * 60; // a jump gives up after 20 minutes of show

// Offline runs that start late (a clip, part of a flash report) draw every frame that left a
// trail, back to the first, so their pictures are the whole run's to the byte. Each frame keeps
// 70 % of the last one over the backdrop: after the 20 frames a live jump draws, what is left of
// older pictures is under one step of 8 bits, but where the backdrop stands still a pixel one
// step off stays so (70 % of it plus 30 % of the backdrop rounds back to it), so only the whole
// history gives the same bytes. Up to about 1,000 frames more at the end of the show.
constexpr int exactTrailFrames = std::numeric_limits<int>::max();

std::uint32_t startTick = 0;
long startFrame = 0;
bool started = false;

long stepsPerSecond() { return playSettings().framesPerSecond; }

// Tick of frame `frame` after frame 0 of the grid.
std::uint32_t gridTick(long frame) {
    return static_cast<std::uint32_t>(frame * 1000 / stepsPerSecond());
}

// Step k of the show: k frames after the hand-over, on the grid of a capture at the jump's rate.
std::uint32_t tickOfStep(long k) {
    return startTick - gridTick(startFrame) + gridTick(startFrame + k);
}

// Output frame of the music at `tick`.
std::uint64_t musicFrameAt(std::uint32_t tick) {
    return std::uint64_t{tick - startTick} * platform::musicSampleRate / 1000;
}

// The show as the hand-over left it: the first scene about to start under its fade.
void restartShow() {
    platform::useVirtualClockAtRate(startTick, static_cast<std::uint32_t>(stepsPerSecond()));
    resetSceneStates();
    beginFirstScene();
}

bool arrived(const JumpTarget& target, long steps) {
    switch (target.kind) {
    case JumpTarget::Kind::ShowTime:
        return showMsAt(tickOfStep(steps + 1)) >= target.showMs;
    case JumpTarget::Kind::Frame:
        return startFrame + steps + 1 >= target.frame;
    default:
        return currentScene >= target.entry;
    }
}

// One pass of the replay. `drawAt` (ascending) lists the steps drawn in full; the others only
// advance. `carried` collects, per step, what its picture leaves for later ones.
struct Pass {
    const std::vector<platform::SyncNote>& notes;
    bool counted = false; // the frames count and the observer hears of them (the final pass)
    const std::vector<long>* drawAt = nullptr;
    std::vector<unsigned>* carried = nullptr;
};

JumpOutcome replay(const JumpTarget& target, const Pass& pass) {
    restartShow();
    JumpOutcome outcome;
    std::size_t nextNote = 0, nextDraw = 0;
    long k = 0;
    int entry = currentScene;
    outcome.entryStartTick = tickOfStep(1);
    while (!arrived(target, k)) {
        if (quitRequested() || k >= mostSeconds * stepsPerSecond()) break;
        if (showWaitsForMusic() && nextNote >= pass.notes.size()) break;
        ++k;
        platform::setVirtualTick(tickOfStep(k));
        // A cue goes to the frame whose time span holds its note, as in a capture.
        const std::uint64_t spanEnd = musicFrameAt(tickOfStep(k + 1));
        for (; nextNote < pass.notes.size() && pass.notes[nextNote].frame < spanEnd; ++nextNote) {
            const int value = pass.notes[nextNote].userValue;
            if (pass.counted)
                dispatchMusicSync(value);
            else if (sceneTable[currentScene].onMusicSync)
                sceneTable[currentScene].onMusicSync(value);
        }
        if (pass.counted) beginFrame();
        if (currentScene != entry) {
            entry = currentScene;
            outcome.entryStartTick = tickOfStep(k);
        }
        const Scene& scene = sceneTable[currentScene];
        const bool draw =
            pass.drawAt && nextDraw < pass.drawAt->size() && (*pass.drawAt)[nextDraw] == k;
        if (draw) {
            ++nextDraw;
            if (scene.frame) scene.frame();
        } else if (scene.advance) {
            scene.advance(View::Frame);
        }
        if (pass.carried) pass.carried->push_back(carriedPictures(scene));
        if (pass.counted) endFrame();
    }
    outcome.arrived = arrived(target, k);
    outcome.steps = k;
    outcome.nextTick = tickOfStep(k + 1);
    outcome.nextFrame = startFrame + k + 1;
    outcome.gridStartTick = startTick - gridTick(startFrame);
    if (currentScene != entry) outcome.entryStartTick = outcome.nextTick;
    return outcome;
}

// The steps whose pictures carry into the one after the last: the last few that leave a trail
// and the last that drew each live face. carried[i] belongs to step i + 1.
std::vector<long> stepsToDraw(const std::vector<unsigned>& carried, int trailFrames) {
    std::vector<long> steps;
    int trail = 0;
    unsigned faces = carriesTunnelFace | carriesHallFace;
    for (long i = static_cast<long>(carried.size()) - 1; i >= 0; --i) {
        const unsigned c = carried[static_cast<std::size_t>(i)];
        bool take = false;
        if ((c & carriesTrail) && trail < trailFrames) {
            ++trail;
            take = true;
        }
        if (c & faces) {
            faces &= ~c;
            take = true;
        }
        if (take) steps.push_back(i + 1);
    }
    std::reverse(steps.begin(), steps.end());
    return steps;
}

} // namespace

void noteShowStart(std::uint32_t tick, long framesBefore) {
    startTick = tick;
    startFrame = framesBefore;
    started = true;
}

bool showStarted() { return started; }

std::uint32_t showMsAt(std::uint32_t tick) { return tick - startTick; }

JumpOutcome replayShowTo(const JumpTarget& target) {
    static const std::vector<platform::SyncNote> none;
    const std::vector<platform::SyncNote>& notes =
        platform::musicLoaded() ? platform::musicSyncNotes() : none;
    std::vector<unsigned> carried;
    replay(target, {notes, false, nullptr, &carried});
    const std::vector<long> draws = stepsToDraw(
        carried, target.kind == JumpTarget::Kind::Frame ? exactTrailFrames : trailFrames);
    return replay(target, {notes, true, &draws, nullptr});
}
