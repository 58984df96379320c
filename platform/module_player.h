// Tracker module playback on libopenmpt, with instrument syncs delivered on the main thread.
// Syncs: an instrument sync fires on a note-on of its instrument (see module_player.cpp for the
// exact rules), timed by when the note is heard.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace platform {

enum class MusicOutput {
    Device,   // SDL audio on the default device; syncs released as the output plays them
    Silent,   // no device: the module advances with the tick counter and delivers its syncs
    LockStep, // virtual clock: mixed exactly in step with the tick counter
};

struct InstrumentSync {
    int instrument = 0; // 1-based as in the pattern
    bool once = false;  // fire only for the first note of the run
    int userValue = 0;
};

// Mixing rate of every output mode.
constexpr int musicSampleRate = 48000;

// Loads the module file and, for Device, opens the audio device (paused). Returns false with
// `error` set (missing or unreadable file, not a module, no audio device).
bool musicLoad(const std::string& path, MusicOutput output, std::string& error);
// Main thread, before musicPlay.
void musicSetSync(const InstrumentSync& sync);
// Whether the loaded module's patterns, read in the order list's sequence, hold a note-on of
// `instrument` (by the rules of the syncs). False means its sync can never fire.
bool musicPatternsPlayInstrument(int instrument);
// What libopenmpt noted while loading the module (a damaged or cut file), a line each, and a
// line of our own when the module's opening is silent (its sample data lost to a cut).
std::vector<std::string> musicLoadWarnings();
// musicLoad failed because no audio device could be opened (the module itself was fine).
bool musicDeviceWasUnavailable();
// Without a device: playback has mixed past the module's end and every sync it raised has
// been delivered, so no further sync can come.
bool musicFinished();
// The module's length in seconds as libopenmpt reckons it (0 when nothing is loaded).
double musicDurationSeconds();
// Device output: how long after the audio callback hands a buffer over its first frame is
// heard. SDL does not report it; the default is the device buffer's length plus 15 ms.
// Call after musicLoad; a negative value restores the default.
void musicSetOutputLatency(int milliseconds);
// Starts playback from the beginning; `tick` is the tick counter at that moment. Only the
// first call after musicLoad starts anything.
void musicPlay(std::uint32_t tick);
// Main thread, before each frame: advances silent/lock-step playback to `tick` and calls
// `deliver(userValue)` for every sync whose note has been heard by now, in order.
void musicDeliverSyncs(std::uint32_t tick, const std::function<void(int)>& deliver);
// Lock-step only: delivers every sync whose note sounds before `tickEnd` (exclusive), i.e.
// during a video frame that lasts until then, so the frame that contains a note shows it.
void musicDeliverSyncsBefore(std::uint32_t tickEnd, const std::function<void(int)>& deliver);
// Device output: pauses and resumes the sound; what is heard, and so the syncs, stand still
// meanwhile. Without a device the module follows the tick counter, which pauses instead.
void musicPause(bool paused);
// While on, the main thread mixes a device's module in step with the tick counter, as without
// a device, and nothing is heard (a jump ahead); when it goes off the device plays on from
// there. May be set before musicPlay.
void musicSetLockStep(bool on);
// The module has played to its end.
bool musicEnded();
// Seconds of the module mixed so far (the device's mixer runs up to a buffer ahead).
double musicPositionSeconds();
// Stops output and frees everything; safe to call when nothing is loaded.
void musicFree();
bool musicLoaded();
// Without a device: keep every mixed frame (the soundtrack of an offline capture).
void musicRecord(bool on);
// The frames recorded since the last call (interleaved stereo), removed from the record.
std::vector<float> musicTakeRecorded();
// The tick counter at musicPlay, and whether playback has started.
bool musicPlaying();
std::uint32_t musicStartTick();
// Frames mixed since musicPlay (tests and diagnostics; main thread).
std::uint64_t musicFramesMixed();

// A sync's note in a run from the start: the output frame at which it sounds.
struct SyncNote {
    std::uint64_t frame = 0;
    int userValue = 0;
};
// Starts looking for the notes of every sync over a whole run of the loaded module, on a silent
// copy of it in the background (after the syncs are set). musicSyncNotes waits for the answer,
// and starts the search itself when nothing did.
void musicStartFindingSyncNotes();
// Every sync of a whole run from the start, in the order and at the frames the mixer delivers
// them. Found once per load.
const std::vector<SyncNote>& musicSyncNotes();
// Moves playback to output frame `frame` of a run from the start, as if it had been mixed up to
// there with every sync before it delivered: the syncs from there on follow as usual. Only
// without a device or in lock-step (a jump).
void musicSeek(std::uint64_t frame);
// Lock-step only: plays on, unheard, up to output frame `frame` (exclusive), as the frames up to
// there would have, and drops the syncs it raises before it (a jump ahead has acted on them).
// Only the last chunk, which reaches past `frame`, is recorded. Exact where musicSeek is not:
// it is the same mixing as playing through.
void musicSkipTo(std::uint64_t frame);

} // namespace platform
