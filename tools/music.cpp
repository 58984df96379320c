// The show's music: a 120 BPM piece in A minor, composed for the show's timeline and written
// as an XM module under the name "musa.mo3". Cues the show depends on, counted from the start
// of playback: the crash (instrument 7) first sounds at 12 s, the drop, where the first scene
// waits for it; the clap (instrument 3) plays on beats 2 and 4, once a second, from the drop to
// the last interlude, and never before the drop.
#include "tools/music.h"
#include "tools/assets.h"
#include "tools/music_synth.h"

#include <array>
#include <initializer_list>
#include <vector>

namespace {

// Instrument numbers; 3 and 7 carry the show's syncs.
enum Instrument : std::uint8_t {
    kick = 1,
    closedHat = 2,
    clap = 3,
    bass = 4,
    pad = 5,
    lead = 6,
    crash = 7,
    riser = 8,
    pluck = 9,
    openHat = 10,
};

enum Channel {
    chKick,
    chClap,
    chHat,
    chOpenHat,
    chBass,
    chPad1,
    chPad2,
    chPad3,
    chLead,
    chPluck,
    chFx,
    chEcho,
    channelCount
};

constexpr int rowsPerBeat = 4;
constexpr int rowsPerBar = 16;
constexpr int barsPerSection = 4;

// Notes by MIDI number; XM's C-4 (49) is MIDI 60.
constexpr std::uint8_t midi(int m) {
    return static_cast<std::uint8_t>(m - 11);
}
enum : int { A3 = 57, C4 = 60, D4 = 62, E4 = 64, F4 = 65, G4 = 67, A4 = 69, B4 = 71 };

struct Chord {
    int root;                 // MIDI note of the bass root (octave 2)
    std::array<int, 3> tones; // pad voicing around C4
};
const Chord Am{45, {A3, C4, E4}};
const Chord F{41, {A3, C4, F4}};
const Chord C{48, {55, C4, E4}};
const Chord G{43, {55, 59, D4}};
const Chord Em{40, {55, 59, E4}};
const Chord Dm{38, {A3, D4, F4}};
const Chord E{40, {56, 59, E4}};

struct Note {
    int row;    // within the bar
    int pitch;  // MIDI
    int length; // rows; 0 = let it ring
};
using Phrase = std::vector<std::vector<Note>>; // one list per bar

const Phrase melodyA = {
    {{0, 76, 6}, {6, 74, 2}, {8, 72, 4}, {12, 74, 2}, {14, 76, 2}},
    {{0, 77, 4}, {4, 76, 4}, {8, 72, 8}},
    {{0, 79, 6}, {6, 76, 2}, {8, 72, 4}, {12, 76, 4}},
    {{0, 74, 8}, {8, 71, 4}, {12, 74, 2}, {14, 79, 2}},
};
const Phrase melodyA2 = {
    {{0, 76, 6}, {6, 74, 2}, {8, 72, 4}, {12, 74, 2}, {14, 76, 2}},
    {{0, 77, 4}, {4, 76, 4}, {8, 81, 8}},
    {{0, 79, 6}, {6, 76, 2}, {8, 72, 4}, {12, 76, 4}},
    {{0, 74, 6}, {6, 76, 2}, {8, 79, 4}, {12, 81, 4}},
};
const Phrase melodyB = {
    {{0, 81, 3}, {3, 79, 3}, {6, 77, 2}, {8, 72, 4}, {12, 77, 4}},
    {{0, 79, 3}, {3, 77, 3}, {6, 74, 2}, {8, 71, 4}, {12, 74, 4}},
    {{0, 76, 3}, {3, 74, 3}, {6, 71, 2}, {8, 67, 4}, {12, 71, 4}},
    {{0, 72, 6}, {6, 71, 2}, {8, 69, 8}},
};
const Phrase plucksC = {
    {{0, 81, 0}, {3, 77, 0}, {6, 74, 0}, {8, 77, 0}, {10, 81, 0}, {12, 86, 0}},
    {{0, 84, 0}, {3, 81, 0}, {6, 76, 0}, {8, 81, 0}, {10, 84, 0}, {12, 88, 0}},
    {{0, 81, 0}, {3, 77, 0}, {6, 72, 0}, {8, 77, 0}, {10, 81, 0}, {12, 84, 0}},
    {{0, 83, 0}, {3, 80, 0}, {6, 76, 0}, {8, 80, 0}, {10, 83, 0}, {12, 88, 0}},
};

// What plays in a section; a section is a run of bars that becomes one pattern.
struct Section {
    std::vector<Chord> chords; // one per bar; the section's length in bars
    int drums = 0;             // 0 none, 1 build, 2 full, 3 half-time
    bool claps = false;
    int bassStyle = 0; // 0 none, 1 eighths, 2 rolling sixteenths, 3 long notes
    bool padOn = true;
    const Phrase* melody = nullptr;
    bool arp = false;
    const Phrase* plucks = nullptr;
    bool crashAtStart = false;
    int riserAtRow = -1;
    bool finalChord = false;
};

class PatternBuilder {
  public:
    explicit PatternBuilder(int rows) : pattern(rows, channelCount) {}
    xm::Cell& at(int row, int channel) { return pattern.at(row, channel, channelCount); }
    void note(int row, int channel, std::uint8_t instrument, int pitch, int volume = -1) {
        if (row < 0 || row >= pattern.rows) return;
        xm::Cell& c = at(row, channel);
        c.note = midi(pitch);
        c.instrument = instrument;
        if (volume >= 0) c.volume = xm::volumeColumn(volume);
    }
    void off(int row, int channel) {
        if (row < 0 || row >= pattern.rows || at(row, channel).note) return;
        at(row, channel).note = xm::keyOff;
    }
    xm::Pattern pattern;
};

void writeDrums(PatternBuilder& p, const Section& s, int bars) {
    for (int bar = 0; bar < bars; ++bar) {
        const int r0 = bar * rowsPerBar;
        const bool lastBar = bar == bars - 1;
        switch (s.drums) {
        case 1: // build: quarters, then eighths, hats growing louder
            for (int r = 0; r < rowsPerBar; r += lastBar ? 2 : 4)
                p.note(r0 + r, chKick, kick, 60);
            for (int r = 0; r < rowsPerBar; ++r) {
                const int v = 8 + (bar * rowsPerBar + r) * 40 / (bars * rowsPerBar);
                p.note(r0 + r, chHat, closedHat, 60, v);
            }
            break;
        case 2: // four on the floor, off-beat hats, sixteenth ghosts
            for (int r = 0; r < rowsPerBar; r += rowsPerBeat)
                p.note(r0 + r, chKick, kick, 60);
            for (int r = 0; r < rowsPerBar; ++r) {
                if (r % 4 == 2)
                    p.note(r0 + r, chHat, closedHat, 60, 48);
                else if (r % 2 == 1)
                    p.note(r0 + r, chHat, closedHat, 60, 20);
            }
            if (bar % 2 == 1) p.note(r0 + 14, chOpenHat, openHat, 60);
            break;
        case 3: // half time: kick on 1 and the "and" of 3
            p.note(r0, chKick, kick, 60);
            p.note(r0 + 10, chKick, kick, 60, 48);
            for (int r = 2; r < rowsPerBar; r += 4)
                p.note(r0 + r, chHat, closedHat, 60, 36);
            break;
        default:
            break;
        }
        if (s.claps) {
            p.note(r0 + 4, chClap, clap, 60);
            p.note(r0 + 12, chClap, clap, 60);
        }
    }
}

void writeBass(PatternBuilder& p, const Section& s, int bars) {
    for (int bar = 0; bar < bars; ++bar) {
        const int r0 = bar * rowsPerBar;
        const int root = s.chords[bar].root;
        switch (s.bassStyle) {
        case 1: // eighths, octave up on the off-beats
            for (int r = 0; r < rowsPerBar; r += 2) {
                p.note(r0 + r, chBass, bass, r % 4 == 2 ? root + 12 : root, r % 4 == 2 ? 44 : 64);
                p.off(r0 + r + 1, chBass);
            }
            break;
        case 2: // rolling sixteenths
            for (int r = 0; r < rowsPerBar; ++r) {
                const int pitch = (r % 4 == 3) ? root + 12 : root;
                p.note(r0 + r, chBass, bass, pitch, r % 4 == 0 ? 64 : 40);
            }
            break;
        case 3: // long notes, one a bar, a push before the next
            p.note(r0, chBass, bass, root, 64);
            p.off(r0 + 10, chBass);
            p.note(r0 + 14, chBass, bass, root + 12, 40);
            break;
        default:
            break;
        }
    }
    if (s.bassStyle) p.off(bars * rowsPerBar - 1, chBass);
}

void writePad(PatternBuilder& p, const Section& s, int bars) {
    if (!s.padOn) return;
    for (int bar = 0; bar < bars; ++bar) {
        const Chord& c = s.chords[bar];
        const int channels[] = {chPad1, chPad2, chPad3};
        for (int v = 0; v < 3; ++v)
            p.note(bar * rowsPerBar, channels[v], pad, c.tones[v], 40);
    }
}

void writeMelody(PatternBuilder& p, const Phrase& phrase, int bars, int channel,
                 std::uint8_t instrument, int volume, int echoChannel) {
    for (int bar = 0; bar < bars; ++bar) {
        const auto& notes = phrase[static_cast<std::size_t>(bar) % phrase.size()];
        for (const Note& n : notes) {
            const int row = bar * rowsPerBar + n.row;
            p.note(row, channel, instrument, n.pitch, volume);
            if (n.length > 0) p.off(row + n.length, channel);
            // A dotted-eighth echo, quieter, on its own channel.
            if (echoChannel >= 0) {
                p.note(row + 3, echoChannel, instrument, n.pitch, volume / 3);
                if (n.length > 0) p.off(row + 3 + n.length, echoChannel);
            }
        }
    }
}

void writeArp(PatternBuilder& p, const Section& s, int bars) {
    for (int bar = 0; bar < bars; ++bar) {
        const Chord& c = s.chords[bar];
        const int order[] = {0, 1, 2, 1};
        for (int r = 0; r < rowsPerBar; r += 2) {
            const int tone = c.tones[static_cast<std::size_t>(order[(r / 2) % 4])] + 12;
            p.note(bar * rowsPerBar + r, chPluck, pluck, tone, r % 4 == 0 ? 36 : 24);
        }
    }
}

xm::Pattern buildSection(const Section& s) {
    const int bars = static_cast<int>(s.chords.size());
    PatternBuilder p(bars * rowsPerBar);
    writeDrums(p, s, bars);
    writeBass(p, s, bars);
    writePad(p, s, bars);
    if (s.melody) writeMelody(p, *s.melody, bars, chLead, lead, 48, chEcho);
    if (s.plucks) writeMelody(p, *s.plucks, bars, chPluck, pluck, 44, -1);
    if (s.arp && !s.plucks) writeArp(p, s, bars);
    if (s.crashAtStart) p.note(0, chFx, crash, 60);
    if (s.riserAtRow >= 0) p.note(s.riserAtRow, chFx, riser, 60);
    if (s.finalChord) {
        const int last = bars * rowsPerBar - 1;
        for (int ch : {chPad1, chPad2, chPad3, chLead, chEcho, chBass})
            p.off(last, ch);
    }
    return p.pattern;
}

std::vector<Section> arrangement() {
    const std::vector<Chord> a = {Am, F, C, G};
    const std::vector<Chord> b = {F, G, Em, Am};
    const std::vector<Chord> c = {Dm, Am, F, E};
    std::vector<Section> song;
    // 0 s: intro, pad and arpeggio; 8 s: two bars of build with a riser into the drop.
    song.push_back({.chords = a, .arp = true});
    song.push_back({.chords = {F, G}, .drums = 1, .arp = true, .riserAtRow = 0});
    // 12 s: the drop. The crash here is the first note of instrument 7.
    auto full = [&](const std::vector<Chord>& chords, const Phrase* melody, bool crashStart) {
        return Section{.chords = chords,
                       .drums = 2,
                       .claps = true,
                       .bassStyle = 1,
                       .melody = melody,
                       .crashAtStart = crashStart};
    };
    song.push_back(full(a, nullptr, true));
    song.push_back(full(a, &melodyA, false));
    song.push_back(full(a, &melodyA2, false));
    // 36 s: the rolling part.
    Section rolling = full(b, &melodyB, true);
    rolling.bassStyle = 2;
    song.push_back(rolling);
    song.push_back(rolling);
    Section arpA = full(a, &melodyA, true);
    arpA.arp = true;
    song.push_back(arpA);
    arpA.melody = &melodyA2;
    arpA.crashAtStart = false;
    song.push_back(arpA);
    // 68 s: half-time breakdown with plucks, building back up.
    Section breakdown{.chords = c,
                      .drums = 3,
                      .claps = true,
                      .bassStyle = 3,
                      .plucks = &plucksC,
                      .crashAtStart = true};
    song.push_back(breakdown);
    breakdown.crashAtStart = false;
    song.push_back(breakdown);
    breakdown.riserAtRow = 32;
    song.push_back(breakdown);
    // 92 s: back to full.
    song.push_back(full(a, &melodyA, true));
    song.push_back(rolling);
    rolling.crashAtStart = false;
    song.push_back(rolling);
    song.push_back(arpA);
    breakdown.riserAtRow = -1;
    breakdown.crashAtStart = true;
    song.push_back(breakdown);
    breakdown.crashAtStart = false;
    breakdown.riserAtRow = 32;
    song.push_back(breakdown);
    song.push_back(full(a, &melodyA, true));
    song.push_back(arpA);
    rolling.crashAtStart = true;
    song.push_back(rolling);
    rolling.crashAtStart = false;
    song.push_back(rolling);
    song.push_back(full(a, &melodyA, true));
    song.push_back(arpA);
    // 196 s: outro without drums; the pad and the plucks ring out on A minor.
    song.push_back(
        {.chords = a, .bassStyle = 3, .melody = &melodyA2, .arp = true, .crashAtStart = true});
    song.push_back({.chords = {Am, Am}, .finalChord = true});
    return song;
}

} // namespace

xm::Module composeMusic() {
    xm::Module m;
    m.name = "tuvero";
    m.channels = channelCount;
    m.speed = 6;
    m.bpm = 120; // 6 ticks of 20.8 ms: a row is a sixteenth note, a beat 0.5 s
    m.instruments = {music::kickDrum(), music::closedHat(), music::clap(),  music::bass(),
                     music::pad(),      music::lead(),      music::crash(), music::riser(),
                     music::pluck(),    music::openHat()};
    for (const Section& s : arrangement()) {
        m.orders.push_back(static_cast<std::uint8_t>(m.patterns.size()));
        m.patterns.push_back(buildSection(s));
    }
    return m;
}

bool generateMusic(const std::string& directory, std::string& error) {
    return xm::writeFile(composeMusic(), directory + "/musa.mo3", error);
}
