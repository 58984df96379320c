// When the player's instrument syncs fire, against modules with notes at known rows.
#include "tests/music_test_support.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <thread>

using platform::MusicOutput;
using Times = std::vector<std::uint32_t>;

namespace {

constexpr std::uint32_t row(int r) { return static_cast<std::uint32_t>(r * testRowMs); }

std::vector<Delivered> playLockStep(const xm::Module& m, const std::string& name,
                                    std::uint32_t untilMs = 3000, std::uint32_t stepMs = 1) {
    return playOnTicks(writeTestModule(m, name), MusicOutput::LockStep, stepMs, untilMs);
}

} // namespace

TEST(MusicSyncs, OnceOnlyFiresForTheFirstNoteAndEveryNoteFiresEachTime) {
    xm::Module m = testModule();
    noteAt(m, 2, 0, 3);
    noteAt(m, 4, 1, 7);
    noteAt(m, 5, 0, 3);
    noteAt(m, 5, 2, 3); // two notes on one row: two events
    noteAt(m, 8, 1, 7); // the once-only sync has fired already
    noteAt(m, 9, 3, 5); // other instruments fire nothing
    const auto d = playLockStep(m, "once_every");
    EXPECT_EQ(timesOf(d, 0), (Times{row(4)}));
    EXPECT_EQ(timesOf(d, 1), (Times{row(2), row(5), row(5)}));
    // Delivered in the order they sound.
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(d[1], (Delivered{row(4), 0}));
}

TEST(MusicSyncs, NoteWithoutInstrumentNumberUsesTheChannelsLastInstrument) {
    xm::Module m = testModule();
    noteAt(m, 0, 0, 3);
    noteAt(m, 2, 0, 0); // channel 0 last had 3: fires
    noteAt(m, 3, 1, 0); // channel 1 never had an instrument: nothing
    noteAt(m, 4, 1, 5);
    noteAt(m, 6, 1, 0);           // channel 1 last had 5: nothing
    cell(m, 8, 0).instrument = 5; // an instrument number alone changes channel 0's last
    noteAt(m, 10, 0, 0);          // so this note is instrument 5: nothing
    noteAt(m, 12, 2, 3);
    cell(m, 14, 2).note = xm::keyOff; // note-off is no note-on, even with an instrument
    cell(m, 14, 2).instrument = 3;
    noteAt(m, 16, 2, 0); // channel 2 still plays instrument 3: fires
    const auto d = playLockStep(m, "last_instrument");
    EXPECT_EQ(timesOf(d, 1), (Times{row(0), row(2), row(12), row(16)}));
    EXPECT_TRUE(timesOf(d, 0).empty());
}

TEST(MusicSyncs, NoteDelayMovesTheEventAndADelayOfAWholeRowNeverPlays) {
    xm::Module m = testModule();
    xm::Cell& delayed = noteAt(m, 2, 0, 3);
    delayed.effect = xm::fx::extended;
    delayed.param = 0xD3; // three ticks late
    noteAt(m, 2, 1, 7);   // undelayed on the same row: delivered first
    noteAt(m, 6, 1, 1);
    xm::Cell& never = noteAt(m, 8, 1, 3);
    never.effect = xm::fx::extended;
    never.param = 0xD6;  // delay = speed: the cell never plays...
    noteAt(m, 10, 1, 0); // ...so channel 1's instrument is still 1 here
    const auto d = playLockStep(m, "note_delay");
    ASSERT_EQ(d.size(), 2u);
    EXPECT_EQ(d[0], (Delivered{row(2), 0}));
    EXPECT_EQ(d[1], (Delivered{row(2) + 3 * testTickMs, 1}));
}

TEST(MusicSyncs, TonePortamentoNotesAndPatternDelaysFireNothing) {
    xm::Module m = testModule();
    noteAt(m, 0, 0, 3);
    xm::Cell& slide = noteAt(m, 2, 0, 3);
    slide.effect = xm::fx::tonePortamento;
    slide.param = 0x20;
    xm::Cell& slideVol = noteAt(m, 3, 0, 3);
    slideVol.effect = xm::fx::tonePortaVolSlide;
    slideVol.param = 0x01;
    noteAt(m, 4, 0, 3).volume = 0xF4; // portamento in the volume column
    xm::Cell& held = noteAt(m, 6, 1, 3);
    held.effect = xm::fx::extended;
    held.param = 0xE2; // the row lasts three times as long; its note plays once
    noteAt(m, 7, 1, 3);
    const auto d = playLockStep(m, "porta_delay");
    EXPECT_EQ(timesOf(d, 1), (Times{row(0), row(6), row(7) + 2 * row(1)}));
}

TEST(MusicSyncs, RowsRepeatedByAPatternLoopFireAgain) {
    xm::Module m = testModule();
    cell(m, 1, 1).effect = xm::fx::extended;
    cell(m, 1, 1).param = 0x60; // loop start
    noteAt(m, 2, 0, 3);
    cell(m, 3, 1).effect = xm::fx::extended;
    cell(m, 3, 1).param = 0x62; // back to row 1, twice
    noteAt(m, 4, 0, 3);
    // Rows 1-3 play three times (360 ms each pass), then row 4.
    EXPECT_EQ(timesOf(playLockStep(m, "loop"), 1), (Times{row(2), row(5), row(8), row(10)}));

    xm::Module self = testModule();
    xm::Cell& c = noteAt(self, 0, 0, 3);
    c.effect = xm::fx::extended;
    c.param = 0x62; // row 0 is the pattern's default loop start: it plays three times
    noteAt(self, 1, 0, 3);
    EXPECT_EQ(timesOf(playLockStep(self, "self_loop"), 1), (Times{row(0), row(1), row(2), row(3)}));
}

TEST(MusicSyncs, SpeedAndTempoChangesMoveLaterRows) {
    xm::Module m = testModule();
    cell(m, 0, 1).effect = xm::fx::setSpeedTempo;
    cell(m, 0, 1).param = 3; // 3 ticks a row: 60 ms
    noteAt(m, 4, 0, 3);
    cell(m, 5, 1).effect = xm::fx::setSpeedTempo;
    cell(m, 5, 1).param = 250; // twice the tempo: 30 ms a row from row 5
    noteAt(m, 7, 0, 3);
    const auto d = playLockStep(m, "speed_tempo");
    EXPECT_EQ(timesOf(d, 1), (Times{240, 300 + 2 * 30}));
}

TEST(MusicSyncs, SecondPatternAndOrderListAreFollowed) {
    xm::Module m = testModule(8);
    m.patterns.emplace_back(4, m.channels);
    m.orders = {0, 1, 0};
    noteAt(m, 6, 0, 3);
    cell(m, 1, 2, 1) = {xm::noteC4, 7, 0, 0, 0};
    const auto d = playLockStep(m, "orders");
    EXPECT_EQ(d, (std::vector<Delivered>{{row(6), 1}, {row(9), 0}, {row(18), 1}}));
}

TEST(MusicSyncs, LockStepIsExactAndRepeatableOnAnyTickStep) {
    xm::Module m = testModule();
    for (int r = 1; r < 32; r += 3)
        noteAt(m, r, r % 4, 3);
    noteAt(m, 7, 1, 7);
    const std::string path = writeTestModule(m, "lockstep");
    const auto exact = playOnTicks(path, MusicOutput::LockStep, 1, 4000);
    ASSERT_EQ(exact.size(), 12u);
    for (std::uint32_t step : {16u, 17u, 33u}) {
        const auto a = playOnTicks(path, MusicOutput::LockStep, step, 4000);
        EXPECT_EQ(a, playOnTicks(path, MusicOutput::LockStep, step, 4000));
        ASSERT_EQ(a.size(), exact.size());
        for (std::size_t i = 0; i < a.size(); ++i) {
            // Delivered on the first tick at or after the note's sound, never before.
            const std::uint32_t due = (exact[i].ms + step - 1) / step * step;
            EXPECT_EQ(a[i], (Delivered{due, exact[i].value})) << "step " << step << " #" << i;
        }
    }
}

TEST(MusicSyncs, SilentModeAdvancesWithTheTickCounterEvenAcrossLongPauses) {
    xm::Module m = testModule();
    noteAt(m, 3, 0, 3);
    noteAt(m, 4, 0, 7);
    noteAt(m, 20, 0, 3);
    const std::string path = writeTestModule(m, "silent");
    EXPECT_EQ(playOnTicks(path, MusicOutput::Silent, 1, 3000),
              playOnTicks(path, MusicOutput::LockStep, 1, 3000));
    // A single late frame delivers everything that became due, in order; the start tick may
    // sit just below the counter's wrap.
    const auto d = playOnTicks(path, MusicOutput::Silent, 2500, 2500, showSyncs(), 0xFFFFFF00u);
    EXPECT_EQ(d, (std::vector<Delivered>{{2500, 1}, {2500, 0}, {2500, 1}}));
}

TEST(MusicPlayer, NothingIsDeliveredBeforePlayOrAfterFreeOrFromABrokenFile) {
    xm::Module m = testModule();
    noteAt(m, 0, 0, 3);
    std::string error;
    ASSERT_TRUE(platform::musicLoad(writeTestModule(m, "before_play"), MusicOutput::Silent, error));
    platform::musicSetSync({.instrument = 3, .userValue = 1});
    int count = 0;
    platform::musicDeliverSyncs(100000, [&](int) { ++count; });
    EXPECT_EQ(count, 0);
    platform::musicPlay(1000);
    platform::musicDeliverSyncs(1000, [&](int) { ++count; });
    EXPECT_EQ(count, 1);
    platform::musicFree();
    platform::musicFree();
    EXPECT_FALSE(platform::musicLoaded());
    platform::musicDeliverSyncs(100000, [&](int) { ++count; });
    EXPECT_EQ(count, 1);

    // Missing or broken files fail with a reason and leave nothing loaded.
    EXPECT_FALSE(platform::musicLoad("/nonexistent/musa.mo3", MusicOutput::Silent, error));
    EXPECT_NE(error.find("/nonexistent/musa.mo3"), std::string::npos) << error;
    const std::string junk = testing::TempDir() + "/junk.mo3";
    std::ofstream(junk) << "this is not a module at all";
    error.clear();
    EXPECT_FALSE(platform::musicLoad(junk, MusicOutput::LockStep, error));
    EXPECT_NE(error.find("not a module"), std::string::npos) << error;
    EXPECT_FALSE(platform::musicLoaded());
}

// SDL's dummy driver paces itself only roughly: a smoke test, not a timing check.
TEST(MusicPlayer, DeviceOutputDeliversSyncsAsTheOutputPlays) {
    setenv("SDL_AUDIODRIVER", "dummy", 0);
    xm::Module m = testModule();
    noteAt(m, 2, 0, 3);
    noteAt(m, 3, 1, 7);
    std::string error;
    ASSERT_TRUE(platform::musicLoad(writeTestModule(m, "device"), MusicOutput::Device, error))
        << error;
    platform::musicSetOutputLatency(0);
    for (const auto& s : showSyncs())
        platform::musicSetSync(s);
    std::vector<int> values;
    const auto start = std::chrono::steady_clock::now();
    platform::musicPlay(0);
    platform::musicDeliverSyncs(0, [&](int v) { values.push_back(v); });
    EXPECT_TRUE(values.empty()); // nothing is heard at once
    while (values.size() < 2 &&
           std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
        platform::musicDeliverSyncs(0, [&](int v) { values.push_back(v); });
    }
    const auto elapsed = std::chrono::steady_clock::now() - start;
    EXPECT_EQ(values, (std::vector<int>{1, 0}));
    EXPECT_GE(elapsed, std::chrono::milliseconds(150)); // not all at once
    EXPECT_GT(platform::musicFramesMixed(), 0u);
    platform::musicFree();
    EXPECT_FALSE(platform::musicLoaded());
}
