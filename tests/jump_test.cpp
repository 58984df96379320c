// Jumps replay the show from its first scene, advancing without drawing and taking the music's
// cues from the notes of a whole run: the state they land on is the one an uninterrupted run
// reaches, whether the jump goes forward or back. A scene's advance needs no GL at all.
#include "app/jump.h"
#include "app/loading_screen.h"
#include "platform/module_player.h"
#include "render/overlays.h"
#include "scenes/cube_grid.h"
#include "scenes/greetings.h"
#include "scenes/hall.h"
#include "scenes/interlude.h"
#include "scenes/star_morph.h"
#include "scenes/swarm.h"
#include "scenes/tunnel.h"
#include "tests/scene_test_support.h"

#include <string>
#include <vector>

namespace {

// What the scenes leave for the next frame, in the values a wrong replay would change.
struct ShowState {
    int scene = 0;
    Vec3 eye, center, up;
    int cubePhase = 0;
    float tumble = 0, tunnelDepth = 0, hallX = 0, hallZ = 0, flame = 0, starX = 0, swarmX = 0;
    std::uint32_t interludeStage = 0;
    float cubeAngle = 0, fade = 0;
    Vec3 particle;
    bool operator==(const ShowState&) const = default;
};

ShowState currentState() {
    return {currentScene,    camera.eye,           camera.center,       camera.up,
            cubeGrid.phase,  cubeGrid.tumble[0],   tunnel.depth,        hall.eyeX,
            hall.eyeZ,       hall.flameAngle,      morph.starX,         swarm.swarmX,
            interlude.stage, interlude.cubeAngleY, fadeState.fadeAlpha, greetings.particlePos[7]};
}

std::ostream& operator<<(std::ostream& out, const ShowState& s) {
    return out << "entry " << s.scene << " eye " << s.eye.x << "," << s.eye.y << "," << s.eye.z
               << " phase " << s.cubePhase << " depth " << s.tunnelDepth << " hall " << s.hallX
               << "," << s.hallZ << " stage " << s.interludeStage << " star " << s.starX
               << " swarm " << s.swarmX << " particle " << s.particle.x;
}

// Advances `scene` for `steps` frames of 60 a second from a fresh show, as entry `entry` (or as
// a live face), with a cue of each value on the way; `draw` also draws each frame.
ShowState play(const Scene& scene, int entry, View view, int steps, bool draw) {
    resetSceneStates();
    resetSceneTable();
    currentScene = entry;
    platform::useVirtualClockAtRate(100000, 60);
    for (int k = 0; k < steps; ++k) {
        if ((k == 30 || k == 90) && scene.onMusicSync) scene.onMusicSync(0);
        if (k % 40 == 20 && scene.onMusicSync) scene.onMusicSync(1);
        scene.advance(view);
        if (draw) scene.draw(view);
        platform::advanceVirtualClock();
    }
    return currentState();
}

struct Kind {
    const Scene* scene;
    int entry;
    View view;
    const char* name;
};
const Kind kinds[] = {
    {&cubeGridScene, 1, View::Frame, "cube grid"},
    {&interludeScene, 2, View::Frame, "interlude"},
    {&tunnelScene, 3, View::Frame, "tunnel"},
    {&tunnelScene, 2, View::LiveFace, "live tunnel"},
    {&hallScene, 5, View::Frame, "hall"},
    {&hallScene, 4, View::LiveFace, "live hall"},
    {&starMorphScene, 7, View::Frame, "star morph"},
    {&swarmScene, 9, View::Frame, "swarm"},
    {&greetingsScene, 11, View::Frame, "greetings"},
};
constexpr int steps = 200;

TEST(SceneAdvance, RunsWithoutAGlContextAndLeavesTheStateDrawnFramesLeave) {
    ASSERT_FALSE(platform::windowOpen()) << "this test starts without a GL context";
    std::vector<ShowState> advanced;
    for (const Kind& kind : kinds)
        advanced.push_back(play(*kind.scene, kind.entry, kind.view, steps, false));
    ASSERT_TRUE(prepareSceneTest(100000));
    for (std::size_t i = 0; i < std::size(kinds); ++i) {
        const Kind& kind = kinds[i];
        EXPECT_EQ(play(*kind.scene, kind.entry, kind.view, steps, true), advanced[i]) << kind.name;
    }
}

class JumpReplay : public ::testing::Test {
  protected:
    static constexpr std::uint32_t start = 500000;
    void SetUp() override {
        ASSERT_TRUE(prepareSceneTest(start));
        std::string error;
        ASSERT_TRUE(platform::musicLoad(std::string(TUVERO_DATA_DIR) + "/musa.mo3",
                                        platform::MusicOutput::LockStep, error))
            << error;
        platform::musicSetSync({.instrument = 7, .once = true, .userValue = 0});
        platform::musicSetSync({.instrument = 3, .once = false, .userValue = 1});
        platform::musicPlay(start);
        for (int i = 1; i < sceneCount; ++i)
            sceneTable[i] = sceneOfEntry(i);
        noteShowStart(start, 0);
    }
    void TearDown() override { platform::musicFree(); }

    // Frame by frame from the first scene, with the cues the mixer delivers in lock-step, until
    // the next frame's tick reaches `showMs`.
    static ShowState uninterruptedTo(std::uint32_t showMs) {
        resetSceneStates();
        platform::useVirtualClockAtRate(start, 60);
        beginFirstScene();
        while (platform::nextVirtualTick() - start < showMs) {
            platform::advanceVirtualClock();
            platform::musicDeliverSyncsBefore(platform::nextVirtualTick(), dispatchMusicSync);
            sceneTable[currentScene].advance(View::Frame);
        }
        return currentState();
    }
    static ShowState jumpTo(std::uint32_t showMs) {
        const JumpOutcome outcome = replayShowTo({JumpTarget::Kind::ShowTime, showMs, 0});
        EXPECT_TRUE(outcome.arrived) << showMs;
        EXPECT_EQ(outcome.nextTick - start >= showMs, true);
        return currentState();
    }
};

// 75 s is in the hall, past the first scene's cues, two interludes and the tunnel.
TEST_F(JumpReplay, ForwardAndBackLandOnTheStateOfAnUninterruptedRun) {
    const ShowState whole = uninterruptedTo(75000);
    EXPECT_EQ(whole.scene, 5) << whole;
    jumpTo(120000);
    EXPECT_EQ(jumpTo(75000), whole) << "back from 120 s";
    jumpTo(30000);
    EXPECT_EQ(jumpTo(75000), whole) << "forward from 30 s";
    // The run's reduced flashing is a choice of the run, not a state the replay starts afresh.
    setGentleEffects(true);
    jumpTo(1000);
    EXPECT_TRUE(gentleEffects()) << "a jump turned --gentle off";
    setGentleEffects(false);
}

// The show's cues in a jump are the ones the mixer delivers, frame for frame.
TEST_F(JumpReplay, SyncNotesAreTheMixersDeliveries) {
    std::vector<std::uint64_t> delivered;
    const std::uint64_t perMs = platform::musicSampleRate / 1000;
    for (std::uint32_t tick = start; tick < start + 60000; tick += 10) {
        platform::musicDeliverSyncsBefore(tick, [&](int value) {
            delivered.push_back((tick - start) * perMs * 2 + static_cast<std::uint64_t>(value));
        });
    }
    std::vector<std::uint64_t> found;
    for (const platform::SyncNote& note : platform::musicSyncNotes()) {
        if (note.frame >= 60000 * perMs) break;
        // The first 10 ms step whose end lies past the note.
        const std::uint64_t ms = (note.frame / perMs / 10 + 1) * 10;
        found.push_back(ms * perMs * 2 + static_cast<std::uint64_t>(note.userValue));
    }
    ASSERT_GT(found.size(), 10u);
    EXPECT_EQ(found, delivered);
}

} // namespace
