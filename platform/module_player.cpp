// Module playback and instrument syncs.
//
// Sync semantics (what counts as "instrument N is played", and when):
// - A sync fires on a note-on: a pattern cell whose note is 1 to 120 (never note-off, note-cut
//   or note-fade) and whose instrument is the cell's instrument number or, when the cell has
//   none, the last instrument number seen in that channel. Instrument numbers are 1-based as
//   in the pattern (the sample number in formats without instruments).
// - It is timed by when the note sounds: the start of its row, plus a note delay (EDx/SDx) of
//   x ticks. A delay of at least the row's ticks means the cell never plays: no event, and its
//   instrument number does not become the channel's last instrument.
// - A note with tone portamento (effect 3xx/5xy, Gxx/Lxx, or the volume column's portamento)
//   slides the playing note instead of starting one in every format libopenmpt plays: no event.
// - A pattern delay (EEx/SEx) repeats the row's ticks without replaying its notes: no event. A
//   row played again by a pattern loop or a jump is a new row start: its notes fire again.
// - A once-only sync fires for the first matching note of the run and never again.
//
// Timing: the mixer reads the module in chunks of at most 64 frames (1.3 ms) and asks
// libopenmpt for the current order and row after each; a change means a row started inside
// that chunk. The row start is placed where the previous row's length predicts it, clamped into
// the chunk, so it is exact when tempo and speed are steady and never off by more than 64
// frames. Each note-on becomes an event stamped with the output frame at which it sounds.
//
// Delivery: events go from the mixing thread to the main thread through a single-producer,
// single-consumer ring whose slots are reserved at load (the audio callback never allocates or
// locks). The main thread, before each frame, releases every event whose frame has been heard:
// - Device: heard = frames mixed before the last callback + time since that callback x rate -
//   output latency, never more than the frames mixed and never going back.
// - Silent and LockStep: no device; the main thread itself mixes up to
//   (tick - start tick) x rate / 1000 frames, discards the sound and releases what is due. With
//   the virtual clock this is exact and repeatable: the same ticks give the same frames.
// Only the mixing thread (the audio callback, or the main thread without a device) touches the
// libopenmpt module once playback has started.
#include "platform/module_player.h"

#include <SDL.h>
#include <libopenmpt/libopenmpt.h>
#include <libopenmpt/libopenmpt_ext.h>

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <future>
#include <iterator>
#include <vector>

namespace platform {
namespace {

constexpr int chunkFrames = 64;
constexpr std::uint64_t repeatMargin = 16; // frames
constexpr std::size_t queueCapacity = 4096;
constexpr int defaultExtraLatencyMs = 15;

// libopenmpt's pattern command values (its internal effect numbering, the same for every format).
constexpr int noteMin = 1, noteMax = 120;
constexpr int effectTonePortamento = 4;
constexpr int effectTonePortaVolSlide = 6;
constexpr int effectModExtended = 19; // MOD/XM Exy
constexpr int effectS3mExtended = 20; // S3M/IT Sxy
constexpr int volumeTonePortamento = 11;

struct SyncEvent {
    std::uint64_t frame = 0;
    int userValue = 0;
};

// Single producer (mixer), single consumer (main thread); storage reserved up front.
class EventQueue {
  public:
    void reset() {
        slots.assign(queueCapacity, SyncEvent{});
        head.store(0);
        tail.store(0);
        dropped = 0;
    }
    bool push(const SyncEvent& e) {
        const std::size_t t = tail.load(std::memory_order_relaxed);
        const std::size_t next = (t + 1) % queueCapacity;
        if (next == head.load(std::memory_order_acquire)) {
            ++dropped;
            return false;
        }
        slots[t] = e;
        tail.store(next, std::memory_order_release);
        return true;
    }
    const SyncEvent* front() const {
        const std::size_t h = head.load(std::memory_order_relaxed);
        if (h == tail.load(std::memory_order_acquire)) return nullptr;
        return &slots[h];
    }
    void pop() {
        head.store((head.load(std::memory_order_relaxed) + 1) % queueCapacity,
                   std::memory_order_release);
    }

  private:
    std::vector<SyncEvent> slots;
    std::atomic<std::size_t> head{0};
    std::atomic<std::size_t> tail{0};
    std::size_t dropped = 0; // mixer side only
};

// The output clock the audio callback publishes; read consistently through a sequence counter.
class OutputClock {
  public:
    void publish(std::uint64_t framesBefore, std::uint64_t framesAfter, std::int64_t timeNs) {
        const std::uint32_t s = sequence.load(std::memory_order_relaxed);
        sequence.store(s + 1, std::memory_order_relaxed);
        std::atomic_thread_fence(std::memory_order_release);
        before.store(framesBefore, std::memory_order_relaxed);
        after.store(framesAfter, std::memory_order_relaxed);
        time.store(timeNs, std::memory_order_relaxed);
        sequence.store(s + 2, std::memory_order_release);
    }
    // False while nothing was published yet.
    bool read(std::uint64_t& framesBefore, std::uint64_t& framesAfter, std::int64_t& timeNs) const {
        for (;;) {
            const std::uint32_t s = sequence.load(std::memory_order_acquire);
            if (s & 1) continue;
            framesBefore = before.load(std::memory_order_relaxed);
            framesAfter = after.load(std::memory_order_relaxed);
            timeNs = time.load(std::memory_order_relaxed);
            std::atomic_thread_fence(std::memory_order_acquire);
            if (sequence.load(std::memory_order_relaxed) == s) return s != 0;
        }
    }
    void reset() { sequence.store(0); }

  private:
    std::atomic<std::uint32_t> sequence{0};
    std::atomic<std::uint64_t> before{0}, after{0};
    std::atomic<std::int64_t> time{0};
};

std::int64_t nowNs() {
    return std::chrono::duration_cast<std::chrono::nanoseconds>(
               std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

// Follows the rows a module plays and turns their notes into sync events. The mixer has one;
// the search for the note times of a whole run has another, on a module of its own.
struct RowTracker {
    openmpt_module* module = nullptr;
    int channels = 0;
    const std::vector<InstrumentSync>* syncs = nullptr;
    std::vector<char> fired;          // per sync: a once-only sync has fired
    std::vector<int> lastInstrument;  // per channel
    std::vector<SyncEvent> rowEvents; // capacity reserved: channels x syncs
    int order = -1, row = -1;
    std::uint64_t rowStart = 0;
    double rowFrames = 0;      // predicted length of the current row
    double tickFrames = 0;     // length of one of its ticks
    bool rowMayRepeat = false; // the row loops back: it may follow itself

    void reset(openmpt_module* m, int channelCount, const std::vector<InstrumentSync>& s) {
        module = m;
        channels = channelCount;
        syncs = &s;
        fired.assign(s.size(), 0);
        lastInstrument.assign(static_cast<std::size_t>(channels), 0);
        rowEvents.clear();
        rowEvents.reserve(static_cast<std::size_t>(channels) * std::max<std::size_t>(1, s.size()));
        order = row = -1;
        rowStart = 0;
        rowFrames = 0;
        tickFrames = 0;
        rowMayRepeat = false;
    }
};

struct Player {
    openmpt_module* module = nullptr;
    std::string loadWarnings; // what libopenmpt noted while loading, a line each
    MusicOutput output = MusicOutput::Silent;
    int channels = 0;
    std::vector<char> file; // the module's bytes, for the search of note times

    // Set on the main thread before playback; read by the mixer.
    std::vector<InstrumentSync> syncs;

    // Mixer state.
    RowTracker tracker;
    std::uint64_t framesMixed = 0;
    bool ended = false;

    EventQueue queue;

    // Device output.
    SDL_AudioDeviceID device = 0;
    bool audioSubsystem = false;
    int bufferFrames = 0;
    std::int64_t latencyNs = 0;
    OutputClock clock;

    // Main thread.
    bool lockStep = false;     // a device's mixing is done by the main thread for a while
    bool devicePaused = false; // by musicPause
    std::int64_t pausedNs = 0;
    bool deviceUnavailable = false; // the last musicLoad failed for want of an audio device
    bool playing = false;
    std::uint32_t startTick = 0;
    std::uint64_t heard = 0;
};

Player player;

// Drops what the search for a run's sync notes found (a new module is loaded).
void forgetSyncNotes();

int command(openmpt_module* module, int pattern, int row, int channel, int which) {
    return openmpt_module_get_pattern_row_channel_command(module, pattern, row, channel, which);
}

int command(int pattern, int row, int channel, int which) {
    return command(player.module, pattern, row, channel, which);
}

// Reads the cells of the row that just started at `start` and leaves its note-on events, in
// time order, in p.rowEvents.
void startRow(RowTracker& p, int pattern, int row, std::uint64_t start) {
    const int speed = std::max(1, openmpt_module_get_current_speed(p.module));
#if OPENMPT_API_VERSION_AT_LEAST(0, 7, 0)
    const double tempo = std::max(1.0, openmpt_module_get_current_tempo2(p.module));
#else
    const double tempo = std::max(1, openmpt_module_get_current_tempo(p.module));
#endif
    // Classic tempo: a tick lasts 2.5 / tempo seconds.
    const double tickFrames = musicSampleRate * 2.5 / tempo;
    int patternDelay = 0;
    p.rowMayRepeat = false;
    p.rowEvents.clear();
    for (int ch = 0; ch < p.channels; ++ch) {
        const int note = command(p.module, pattern, row, ch, OPENMPT_MODULE_COMMAND_NOTE);
        const int instrument =
            command(p.module, pattern, row, ch, OPENMPT_MODULE_COMMAND_INSTRUMENT);
        const int effect = command(p.module, pattern, row, ch, OPENMPT_MODULE_COMMAND_EFFECT);
        const int param = command(p.module, pattern, row, ch, OPENMPT_MODULE_COMMAND_PARAMETER);
        const int volumeEffect =
            command(p.module, pattern, row, ch, OPENMPT_MODULE_COMMAND_VOLUMEEFFECT);
        const bool extended = effect == effectModExtended || effect == effectS3mExtended;
        const int sub = param >> 4;
        int delay = 0;
        if (extended && sub == 0xD) delay = param & 0x0F;
        if (effect == effectModExtended && sub == 0xE)
            patternDelay = std::max(patternDelay, param & 0x0F);
        if (effect == effectS3mExtended && sub == 0xE)
            patternDelay = std::max(patternDelay, param & 0x0F);
        if ((effect == effectModExtended && sub == 0x6 && (param & 0x0F)) ||
            (effect == effectS3mExtended && sub == 0xB && (param & 0x0F))) {
            p.rowMayRepeat = true;
        }
        if (delay >= speed) continue; // the cell never plays
        if (instrument > 0) p.lastInstrument[static_cast<std::size_t>(ch)] = instrument;
        if (note < noteMin || note > noteMax) continue;
        if (effect == effectTonePortamento || effect == effectTonePortaVolSlide ||
            volumeEffect == volumeTonePortamento) {
            continue;
        }
        const int played =
            instrument > 0 ? instrument : p.lastInstrument[static_cast<std::size_t>(ch)];
        for (std::size_t s = 0; s < p.syncs->size(); ++s) {
            const InstrumentSync& sync = (*p.syncs)[s];
            if (sync.instrument != played || (sync.once && p.fired[s])) continue;
            p.fired[s] = 1;
            const auto offset = static_cast<std::uint64_t>(std::llround(delay * tickFrames));
            p.rowEvents.push_back({start + offset, sync.userValue});
        }
    }
    p.tickFrames = tickFrames;
    p.rowFrames = tickFrames * speed * (1 + patternDelay);
    // Delayed notes sound after undelayed ones: queue the row's events in time order. An
    // insertion sort, stable and without the temporary buffer std::stable_sort may allocate.
    for (std::size_t i = 1; i < p.rowEvents.size(); ++i) {
        for (std::size_t j = i; j > 0 && p.rowEvents[j].frame < p.rowEvents[j - 1].frame; --j) {
            std::swap(p.rowEvents[j], p.rowEvents[j - 1]);
        }
    }
}

// After mixing the frames [chunkStart, chunkEnd): notices a row that started inside them and
// returns true with its events in p.rowEvents.
bool checkRow(RowTracker& p, std::uint64_t chunkStart, std::uint64_t chunkEnd) {
    const int order = openmpt_module_get_current_order(p.module);
    const int row = openmpt_module_get_current_row(p.module);
    const bool first = p.order < 0;
    const auto predicted = static_cast<std::uint64_t>(std::llround(p.rowStart + p.rowFrames));
    std::uint64_t start = 0;
    if (first) {
        start = 0;
    } else if (order != p.order || row != p.row) {
        start = std::clamp(predicted, chunkStart, chunkEnd - 1);
    } else if (p.rowMayRepeat && p.rowFrames > 0 && chunkEnd > predicted + repeatMargin) {
        // Still the same row after it should have ended (with a margin for the rounding of
        // tick lengths): a loop onto itself played it again.
        start = predicted;
    } else {
        return false;
    }
    p.order = order;
    p.row = row;
    p.rowStart = start;
    startRow(p, openmpt_module_get_current_pattern(p.module), row, start);
    return true;
}

// The soundtrack of an offline capture; only the main thread mixes then.
bool recording = false;
std::vector<float> recorded;

// Mixes `frames` (at most chunkFrames) into `out` (stereo), or silence after the end.
void mixChunk(float* out, int frames) {
    Player& p = player;
    std::size_t got = 0;
    if (!p.ended) {
        got = openmpt_module_read_interleaved_float_stereo(p.module, musicSampleRate,
                                                           static_cast<std::size_t>(frames), out);
        if (got == 0) p.ended = true;
    }
    std::fill(out + 2 * got, out + 2 * frames, 0.0f);
    if (recording) recorded.insert(recorded.end(), out, out + 2 * frames);
    if (got > 0 && checkRow(p.tracker, p.framesMixed, p.framesMixed + got)) {
        for (const SyncEvent& e : p.tracker.rowEvents)
            p.queue.push(e);
    }
    p.framesMixed += static_cast<std::uint64_t>(frames);
}

void mixInto(float* out, int frames) {
    while (frames > 0) {
        const int n = std::min(frames, chunkFrames);
        mixChunk(out, n);
        out += 2 * n;
        frames -= n;
    }
}

void SDLCALL audioCallback(void*, Uint8* stream, int length) {
    Player& p = player;
    const std::int64_t t = nowNs();
    const std::uint64_t before = p.framesMixed;
    const int frames = length / static_cast<int>(2 * sizeof(float));
    mixInto(reinterpret_cast<float*>(stream), frames);
    p.clock.publish(before, p.framesMixed, t);
}

void release(std::uint64_t heardFrames, const std::function<void(int)>& deliver) {
    while (const SyncEvent* e = player.queue.front()) {
        if (e->frame > heardFrames) break;
        const int value = e->userValue;
        player.queue.pop();
        deliver(value);
    }
}

void resetMixer() {
    Player& p = player;
    p.tracker.reset(p.module, p.channels, p.syncs);
    p.framesMixed = 0;
    p.ended = false;
    p.heard = 0;
    p.clock.reset();
}

bool readFile(const std::string& path, std::vector<char>& bytes, std::string& error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        error = "cannot open " + path + ": " + std::strerror(errno);
        return false;
    }
    bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    if (in.bad()) {
        error = "cannot read " + path;
        return false;
    }
    return true;
}

bool openDevice(std::string& error) {
    Player& p = player;
    if (SDL_InitSubSystem(SDL_INIT_AUDIO) != 0) {
        error = std::string("no audio: ") + SDL_GetError();
        return false;
    }
    p.audioSubsystem = true;
    SDL_AudioSpec want{};
    want.freq = musicSampleRate;
    want.format = AUDIO_F32SYS;
    want.channels = 2;
    want.samples = 1024;
    want.callback = audioCallback;
    SDL_AudioSpec have{};
    // No changes allowed: SDL converts, so the callback always mixes our rate and layout.
    p.device = SDL_OpenAudioDevice(nullptr, 0, &want, &have, 0);
    if (p.device == 0) {
        error = std::string("no audio device: ") + SDL_GetError();
        return false;
    }
    p.bufferFrames = have.samples;
    musicSetOutputLatency(-1);
    return true;
}

} // namespace

// libopenmpt loads a module whose sample data was cut off without a word, and plays it as
// silence. A second instance mixes the opening at a low rate to tell: a few milliseconds.
bool opensInSilence(const std::vector<char>& bytes) {
    constexpr int rate = 8000, seconds = 20;
    openmpt_module* probe =
        openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent,
                                           nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!probe) return false;
    std::vector<float> buffer(2 * 1024);
    float peak = 0;
    for (int mixed = 0; mixed < rate * seconds;) {
        const std::size_t got =
            openmpt_module_read_interleaved_float_stereo(probe, rate, 1024, buffer.data());
        if (got == 0) break;
        for (std::size_t i = 0; i < got * 2; ++i)
            peak = std::max(peak, std::abs(buffer[i]));
        mixed += static_cast<int>(got);
    }
    openmpt_module_destroy(probe);
    return peak < 1e-4f; // below -80 dB
}

bool musicLoad(const std::string& path, MusicOutput output, std::string& error) {
    musicFree();
    Player& p = player;
    p.deviceUnavailable = false;
    std::vector<char> bytes;
    if (!readFile(path, bytes, error)) return false;
    int code = 0;
    const char* message = nullptr;
    p.module =
        openmpt_module_create_from_memory2(bytes.data(), bytes.size(), openmpt_log_func_silent,
                                           nullptr, nullptr, nullptr, &code, &message, nullptr);
    if (!p.module) {
        error = path + " is not a module libopenmpt can play";
        if (message) {
            error += std::string(": ") + message;
            openmpt_free_string(message);
        }
        return false;
    }
    if (message) openmpt_free_string(message);
    const char* warnings = openmpt_module_get_metadata(p.module, "warnings");
    p.loadWarnings = warnings ? warnings : "";
    if (warnings) openmpt_free_string(warnings);
    if (opensInSilence(bytes))
        p.loadWarnings += "\nnothing is heard in its first 20 seconds: the file may be cut short "
                          "or damaged";
    p.file = std::move(bytes);
    p.output = output;
    p.channels = std::max(0, openmpt_module_get_num_channels(p.module));
    p.queue.reset();
    if (output == MusicOutput::Device && !openDevice(error)) {
        musicFree();
        p.deviceUnavailable = true;
        return false;
    }
    return true;
}

bool musicDeviceWasUnavailable() { return player.deviceUnavailable; }

std::vector<std::string> musicLoadWarnings() {
    std::vector<std::string> lines;
    std::size_t start = 0;
    const std::string& all = player.loadWarnings;
    while (start < all.size()) {
        std::size_t end = all.find('\n', start);
        if (end == std::string::npos) end = all.size();
        if (end > start) lines.push_back(all.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}

// Walks the order list from its start, every row of each listed pattern once, following each
// channel's last instrument as the mixer does. Jumps and loops are not followed: a pattern that
// is listed counts as played, so the answer errs towards "plays".
bool musicPatternsPlayInstrument(int instrument) {
    Player& p = player;
    if (!p.module) return false;
    std::vector<int> last(static_cast<std::size_t>(p.channels), 0);
    const int orders = openmpt_module_get_num_orders(p.module);
    for (int order = 0; order < orders; ++order) {
        const int pattern = openmpt_module_get_order_pattern(p.module, order);
        const int rows = openmpt_module_get_pattern_num_rows(p.module, pattern);
        for (int row = 0; row < rows; ++row) {
            for (int ch = 0; ch < p.channels; ++ch) {
                const int note = command(pattern, row, ch, OPENMPT_MODULE_COMMAND_NOTE);
                const int given = command(pattern, row, ch, OPENMPT_MODULE_COMMAND_INSTRUMENT);
                const int effect = command(pattern, row, ch, OPENMPT_MODULE_COMMAND_EFFECT);
                const int volumeEffect =
                    command(pattern, row, ch, OPENMPT_MODULE_COMMAND_VOLUMEEFFECT);
                int& channelLast = last[static_cast<std::size_t>(ch)];
                if (given > 0) channelLast = given;
                if (note < noteMin || note > noteMax) continue;
                if (effect == effectTonePortamento || effect == effectTonePortaVolSlide ||
                    volumeEffect == volumeTonePortamento)
                    continue;
                if (channelLast == instrument) return true;
            }
        }
    }
    return false;
}

bool musicFinished() {
    const Player& p = player;
    return p.module && p.playing && !p.device && p.ended && p.queue.front() == nullptr;
}

double musicDurationSeconds() {
    return player.module ? openmpt_module_get_duration_seconds(player.module) : 0;
}

void musicSetSync(const InstrumentSync& sync) {
    Player& p = player;
    if (!p.module || p.playing) return;
    p.syncs.push_back(sync);
}

void musicSetOutputLatency(int milliseconds) {
    Player& p = player;
    if (milliseconds < 0) {
        p.latencyNs = static_cast<std::int64_t>(p.bufferFrames) * 1000000000 / musicSampleRate +
                      std::int64_t{defaultExtraLatencyMs} * 1000000;
    } else {
        p.latencyNs = std::int64_t{milliseconds} * 1000000;
    }
}

void musicPlay(std::uint32_t tick) {
    Player& p = player;
    if (!p.module || p.playing) return;
    resetMixer();
    p.startTick = tick;
    p.playing = true;
    if (p.device && !p.lockStep && !p.devicePaused) SDL_PauseAudioDevice(p.device, 0);
}

namespace {
// The device plays again from the frame the mixer stands at; `shiftNs` moves the output clock
// on by the time it stood still, so what is heard goes on from where it stopped.
void resumeDevice(bool restartClock, std::int64_t shiftNs) {
    Player& p = player;
    std::uint64_t before = 0, after = 0;
    std::int64_t time = 0;
    if (restartClock)
        p.clock.publish(p.framesMixed, p.framesMixed, nowNs());
    else if (p.clock.read(before, after, time))
        p.clock.publish(before, after, time + shiftNs);
    SDL_PauseAudioDevice(p.device, 0);
}
} // namespace

void musicPause(bool paused) {
    Player& p = player;
    if (!p.device || paused == p.devicePaused) return;
    p.devicePaused = paused;
    if (p.lockStep || !p.playing) return;
    if (paused) {
        SDL_PauseAudioDevice(p.device, 1); // returns once no callback runs
        p.pausedNs = nowNs();
    } else {
        resumeDevice(false, nowNs() - p.pausedNs);
    }
}

void musicSetLockStep(bool on) {
    Player& p = player;
    if (on == p.lockStep) return;
    p.lockStep = on;
    if (!p.device || !p.playing) return;
    if (p.devicePaused) {
        // The device stays paused; when it resumes, it plays on from where lock-step left the
        // module (a jump while paused), not from where the pause found it.
        if (!on) p.clock.publish(p.framesMixed, p.framesMixed, p.pausedNs);
        return;
    }
    if (on)
        SDL_PauseAudioDevice(p.device, 1);
    else
        resumeDevice(true, 0);
}

bool musicEnded() { return player.ended; }

double musicPositionSeconds() { return static_cast<double>(musicFramesMixed()) / musicSampleRate; }

// Without a device the main thread mixes: up to and including frame `target`, in whole
// chunks, so a row starting on that very frame is seen now; then releases what lies up to it.
static void mixAndRelease(std::uint64_t target, const std::function<void(int)>& deliver) {
    Player& p = player;
    std::array<float, 2 * chunkFrames> scratch{};
    while (p.framesMixed <= target) {
        mixChunk(scratch.data(), chunkFrames);
        release(std::min(p.framesMixed, target), deliver);
    }
    p.heard = std::max(p.heard, target);
    release(p.heard, deliver);
}

void musicDeliverSyncs(std::uint32_t tick, const std::function<void(int)>& deliver) {
    Player& p = player;
    if (!p.module || !p.playing) return;
    if (p.device && !p.lockStep) {
        std::uint64_t before = 0, after = 0;
        std::int64_t time = 0;
        if (!p.clock.read(before, after, time)) return;
        const std::int64_t sinceNs = nowNs() - time - p.latencyNs;
        const std::int64_t played =
            static_cast<std::int64_t>(before) + sinceNs * musicSampleRate / 1000000000;
        if (played > 0) {
            p.heard = std::max(p.heard, std::min(static_cast<std::uint64_t>(played), after));
        }
        release(p.heard, deliver);
        return;
    }
    std::uint32_t elapsed = tick - p.startTick;
    if (elapsed > 0x80000000u) elapsed = 0; // a tick from before the start: nothing is due
    mixAndRelease(std::uint64_t{elapsed} * musicSampleRate / 1000, deliver);
}

void musicDeliverSyncsBefore(std::uint32_t tickEnd, const std::function<void(int)>& deliver) {
    Player& p = player;
    if (!p.module || !p.playing || (p.device && !p.lockStep)) return;
    const std::uint64_t end = std::uint64_t{tickEnd - p.startTick} * musicSampleRate / 1000;
    if (end > 0) mixAndRelease(end - 1, deliver);
}

void musicFree() {
    Player& p = player;
    if (p.device) {
        SDL_CloseAudioDevice(p.device); // waits for a running callback to return
        p.device = 0;
    }
    if (p.audioSubsystem) {
        SDL_QuitSubSystem(SDL_INIT_AUDIO);
        p.audioSubsystem = false;
    }
    if (p.module) {
        openmpt_module_destroy(p.module);
        p.module = nullptr;
    }
    p.syncs.clear();
    p.file.clear();
    forgetSyncNotes();
    p.playing = false;
    p.lockStep = false;
    p.devicePaused = false;
    p.channels = 0;
    p.bufferFrames = 0;
}

void musicRecord(bool on) {
    recording = on;
    if (!on) recorded.clear();
}

std::vector<float> musicTakeRecorded() {
    std::vector<float> taken;
    taken.swap(recorded);
    return taken;
}

bool musicPlaying() { return player.playing; }

std::uint32_t musicStartTick() { return player.startTick; }

bool musicLoaded() { return player.module != nullptr; }

std::uint64_t musicFramesMixed() {
    Player& p = player;
    if (p.device && !p.lockStep) {
        std::uint64_t before = 0, after = 0;
        std::int64_t time = 0;
        return p.clock.read(before, after, time) ? after : 0;
    }
    return p.framesMixed;
}

namespace {

// Where each row of a whole run from the start begins, and the mixer's state just after it did.
struct RowMark {
    RowTracker state;
    std::size_t firstNote = 0; // its notes are notes[firstNote] up to the next row's
};

struct SyncNoteSearch {
    std::vector<SyncNote> notes;
    std::vector<RowMark> rows;
    std::uint64_t endFrame = 0; // frames a whole run mixes before the module ends
};

// Plays the module from the start with every channel muted, in the mixer's chunks, and notes
// what the mixer would: the same rows at the same frames, so the same sync events.
SyncNoteSearch searchSyncNotes(std::vector<char> file, std::vector<InstrumentSync> syncs) {
    SyncNoteSearch found;
    openmpt_module_ext* ext =
        openmpt_module_ext_create_from_memory(file.data(), file.size(), openmpt_log_func_silent,
                                              nullptr, nullptr, nullptr, nullptr, nullptr, nullptr);
    if (!ext) return found;
    openmpt_module* module = openmpt_module_ext_get_module(ext);
    const int channels = std::max(0, openmpt_module_get_num_channels(module));
    openmpt_module_ext_interface_interactive interactive{};
    if (openmpt_module_ext_get_interface(ext, LIBOPENMPT_EXT_C_INTERFACE_INTERACTIVE, &interactive,
                                         sizeof interactive)) {
        for (int ch = 0; ch < channels; ++ch)
            interactive.set_channel_mute_status(ext, ch, 1);
    }
    openmpt_module_set_render_param(module, OPENMPT_MODULE_RENDER_INTERPOLATIONFILTER_LENGTH, 1);
    RowTracker tracker;
    tracker.reset(module, channels, syncs);
    std::array<float, 2 * chunkFrames> scratch{};
    std::uint64_t mixed = 0;
    for (;;) {
        const std::size_t got = openmpt_module_read_interleaved_float_stereo(
            module, musicSampleRate, chunkFrames, scratch.data());
        if (got == 0) break;
        if (checkRow(tracker, mixed, mixed + got)) {
            found.rows.push_back({tracker, found.notes.size()});
            for (const SyncEvent& e : tracker.rowEvents)
                found.notes.push_back({e.frame, e.userValue});
        }
        mixed += chunkFrames;
    }
    found.endFrame = mixed;
    openmpt_module_ext_destroy(ext);
    return found;
}

std::future<SyncNoteSearch> pendingSearch;
SyncNoteSearch syncNoteSearch;
bool searchDone = false;

void forgetSyncNotes() {
    if (pendingSearch.valid()) pendingSearch.wait();
    pendingSearch = {};
    syncNoteSearch = {};
    searchDone = false;
}

const SyncNoteSearch& finishedSearch() {
    if (!searchDone) {
        musicStartFindingSyncNotes();
        syncNoteSearch = pendingSearch.get();
        searchDone = true;
    }
    return syncNoteSearch;
}

} // namespace

void musicStartFindingSyncNotes() {
    const Player& p = player;
    if (searchDone || pendingSearch.valid() || !p.module) return;
#ifdef __EMSCRIPTEN__
    // The browser build has no threads: the search runs when its result is first needed.
    constexpr auto policy = std::launch::deferred;
#else
    constexpr auto policy = std::launch::async;
#endif
    pendingSearch = std::async(policy, searchSyncNotes, p.file, p.syncs);
}

const std::vector<SyncNote>& musicSyncNotes() { return finishedSearch().notes; }

void musicSeek(std::uint64_t frame) {
    Player& p = player;
    if (!p.module || !p.playing || (p.device && !p.lockStep)) return;
    const SyncNoteSearch& found = finishedSearch();
    p.queue.reset();
    p.heard = frame;
    const auto after = std::upper_bound(
        found.rows.begin(), found.rows.end(), frame,
        [](std::uint64_t f, const RowMark& mark) { return f < mark.state.rowStart; });
    if (frame >= found.endFrame || after == found.rows.begin()) {
        // Past the end: nothing more is heard and no sync follows.
        p.ended = true;
        p.framesMixed = frame;
        return;
    }
    const RowMark& mark = *(after - 1);
    const std::size_t notesEnd = after == found.rows.end() ? found.notes.size() : after->firstNote;
    openmpt_module_set_position_order_row(p.module, mark.state.order, mark.state.row);
    p.tracker = mark.state;
    p.tracker.module = p.module;
    p.tracker.syncs = &p.syncs;
    p.ended = false;
    p.framesMixed = mark.state.rowStart;
    // The row's notes from `frame` on are still to come; the ones before it were delivered.
    for (std::size_t i = mark.firstNote; i < notesEnd; ++i)
        if (found.notes[i].frame >= frame)
            p.queue.push({found.notes[i].frame, found.notes[i].userValue});
    // The rest of the row up to `frame` is mixed and dropped, so the next frame mixed is `frame`.
    const bool wasRecording = recording;
    recording = false;
    std::array<float, 2 * chunkFrames> scratch{};
    while (p.framesMixed < frame)
        mixChunk(scratch.data(),
                 static_cast<int>(std::min<std::uint64_t>(chunkFrames, frame - p.framesMixed)));
    recording = wasRecording;
}

void musicSkipTo(std::uint64_t frame) {
    Player& p = player;
    if (!p.module || !p.playing || (p.device && !p.lockStep) || frame == 0) return;
    const auto drop = [](int) {};
    const bool wasRecording = recording;
    recording = false;
    std::array<float, 2 * chunkFrames> scratch{};
    while (p.framesMixed + chunkFrames < frame) {
        mixChunk(scratch.data(), chunkFrames);
        release(p.framesMixed, drop);
    }
    recording = wasRecording;
    mixAndRelease(frame - 1, drop);
}

} // namespace platform
