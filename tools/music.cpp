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
    snare = 11,
};

enum Channel {
    chKick,
    chClap,
    chHat,
    chOpenHat,
    chSnare,
    chBass,
    chPad1,
    chPad2,
    chPad3,
    chLead,
    chPluck,
    chFx,
    chEcho,
    chHarmony,
    channelCount
};

constexpr int rowsPerBeat = 4;
constexpr int rowsPerBar = 16;

// Notes by MIDI number; XM's C-4 (49) is MIDI 60.
constexpr std::uint8_t midi(int m) { return static_cast<std::uint8_t>(m - 11); }
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
    const Phrase* melody = nullptr;
    bool harmony = false; // the melody doubled a diatonic third below
    bool arp = false;
    const Phrase* plucks = nullptr;
    bool crashAtStart = false;
    int riserAtRow = -1;
    int fill = 0;      // last bar: 0 none, 1 snare fill, 2 snare roll
    int transpose = 0; // semitones, for every pitched part
    bool finalChord = false;
};

class PatternBuilder {
  public:
    PatternBuilder(int rows, int transpose) : pattern(rows, channelCount), shift(transpose) {}
    xm::Cell& at(int row, int channel) { return pattern.at(row, channel, channelCount); }
    // Drums and effects: played at C-4, never transposed.
    void hit(int row, int channel, std::uint8_t instrument, int volume = -1) {
        put(row, channel, instrument, xm::noteC4, volume);
    }
    // Pitched parts: a MIDI pitch, moved by the section's transposition.
    void note(int row, int channel, std::uint8_t instrument, int pitch, int volume = -1) {
        put(row, channel, instrument, midi(pitch + shift), volume);
    }
    void off(int row, int channel) {
        if (row < 0 || row >= pattern.rows || at(row, channel).note) return;
        at(row, channel).note = xm::keyOff;
    }
    xm::Pattern pattern;

  private:
    void put(int row, int channel, std::uint8_t instrument, std::uint8_t xmNote, int volume) {
        if (row < 0 || row >= pattern.rows) return;
        xm::Cell& c = at(row, channel);
        c.note = xmNote;
        c.instrument = instrument;
        if (volume >= 0) c.volume = xm::volumeColumn(volume);
    }
    int shift;
};

void writeDrums(PatternBuilder& p, const Section& s, int bars) {
    for (int bar = 0; bar < bars; ++bar) {
        const int r0 = bar * rowsPerBar;
        const bool lastBar = bar == bars - 1;
        switch (s.drums) {
        case 1: // build: quarters, then eighths, hats growing louder
            for (int r = 0; r < rowsPerBar; r += lastBar ? 2 : 4)
                p.hit(r0 + r, chKick, kick);
            for (int r = 0; r < rowsPerBar; ++r) {
                p.hit(r0 + r, chHat, closedHat,
                      8 + (bar * rowsPerBar + r) * 40 / (bars * rowsPerBar));
            }
            break;
        case 2: // four on the floor, off-beat hats, sixteenth ghosts
            for (int r = 0; r < rowsPerBar; r += rowsPerBeat)
                p.hit(r0 + r, chKick, kick);
            for (int r = 0; r < rowsPerBar; ++r) {
                if (r % 4 == 2)
                    p.hit(r0 + r, chHat, closedHat, 48);
                else if (r % 2 == 1)
                    p.hit(r0 + r, chHat, closedHat, 20);
            }
            if (bar % 2 == 1) p.hit(r0 + 14, chOpenHat, openHat);
            break;
        case 3: // half time: kick on 1 and the "and" of 3
            p.hit(r0, chKick, kick);
            p.hit(r0 + 10, chKick, kick, 48);
            for (int r = 2; r < rowsPerBar; r += 4)
                p.hit(r0 + r, chHat, closedHat, 36);
            break;
        default:
            break;
        }
        // The show's beat: beats 2 and 4, once a second, whatever else plays.
        if (s.claps) {
            p.hit(r0 + 4, chClap, clap);
            p.hit(r0 + 12, chClap, clap);
        }
    }
    const int last = (bars - 1) * rowsPerBar;
    if (s.fill == 1) {
        const int rows[] = {10, 11, 13, 14, 15};
        const int volumes[] = {36, 24, 40, 48, 56};
        for (int i = 0; i < 5; ++i)
            p.hit(last + rows[i], chSnare, snare, volumes[i]);
    } else if (s.fill == 2) {
        for (int r = 0; r < rowsPerBar; ++r)
            p.hit(last + r, chSnare, snare, 16 + r * 3);
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
                p.note(r0 + r, chBass, bass, r % 4 == 3 ? root + 12 : root, r % 4 == 0 ? 64 : 40);
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

// Chords held bar by bar; a voice that keeps its pitch into the next chord is not struck again.
void writePad(PatternBuilder& p, const Section& s, int bars) {
    const int channels[] = {chPad1, chPad2, chPad3};
    for (int v = 0; v < 3; ++v) {
        int previous = -1;
        for (int bar = 0; bar < bars; ++bar) {
            const int pitch = s.chords[bar].tones[static_cast<std::size_t>(v)];
            if (pitch != previous) p.note(bar * rowsPerBar, channels[v], pad, pitch, 40);
            previous = pitch;
        }
    }
}

// Two scale steps down in A minor: the third below, as the harmony line sings it.
int thirdBelow(int pitch) {
    static const int scale[] = {0, 2, 3, 5, 7, 8, 10}; // A B C D E F G, from A
    const int fromA = pitch - 57;
    const int octave = (fromA >= 0 ? fromA : fromA - 11) / 12;
    const int within = fromA - octave * 12;
    int degree = 0;
    while (degree < 6 && scale[degree + 1] <= within)
        ++degree;
    const int target = degree - 2;
    const int wrapped = (target + 7) % 7;
    return 57 + (octave + (target < 0 ? -1 : 0)) * 12 + scale[wrapped];
}

void writeMelody(PatternBuilder& p, const Phrase& phrase, int bars, int channel,
                 std::uint8_t instrument, int volume, int echoChannel, bool harmony) {
    for (int bar = 0; bar < bars; ++bar) {
        const auto& notes = phrase[static_cast<std::size_t>(bar) % phrase.size()];
        for (const Note& n : notes) {
            const int row = bar * rowsPerBar + n.row;
            p.note(row, channel, instrument, n.pitch, volume);
            if (n.length > 0) p.off(row + n.length, channel);
            if (harmony) {
                p.note(row, chHarmony, instrument, thirdBelow(n.pitch), volume * 2 / 3);
                if (n.length > 0) p.off(row + n.length, chHarmony);
            }
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
    PatternBuilder p(bars * rowsPerBar, s.transpose);
    writeDrums(p, s, bars);
    writeBass(p, s, bars);
    writePad(p, s, bars);
    if (s.melody) writeMelody(p, *s.melody, bars, chLead, lead, 48, chEcho, s.harmony);
    if (s.plucks) writeMelody(p, *s.plucks, bars, chPluck, pluck, 44, -1, false);
    if (s.arp && !s.plucks) writeArp(p, s, bars);
    if (s.crashAtStart) p.hit(0, chFx, crash);
    if (s.riserAtRow >= 0) p.hit(s.riserAtRow, chFx, riser);
    if (s.finalChord) {
        const int last = bars * rowsPerBar - 1;
        for (int ch : {chPad1, chPad2, chPad3, chLead, chEcho, chHarmony, chBass})
            p.off(last, ch);
    }
    return p.pattern;
}

// The sections in order, with the show's scenes they accompany (times from playback start).
std::vector<Section> arrangement() {
    const std::vector<Chord> a = {Am, F, C, G};
    const std::vector<Chord> b = {F, G, Em, Am};
    const std::vector<Chord> c = {Dm, Am, F, E};
    auto full = [&](const std::vector<Chord>& chords, const Phrase* melody) {
        return Section{
            .chords = chords, .drums = 2, .claps = true, .bassStyle = 1, .melody = melody};
    };
    auto with = [](Section s, auto change) {
        change(s);
        return s;
    };
    const Section dropA = full(a, &melodyA);
    const Section rolling = with(full(b, &melodyB), [](Section& s) { s.bassStyle = 2; });
    const Section arpA = with(full(a, &melodyA2), [](Section& s) { s.arp = true; });
    const Section breakdown{
        .chords = c, .drums = 3, .claps = true, .bassStyle = 3, .plucks = &plucksC};
    auto crash = [&](Section s) { return with(s, [](Section& x) { x.crashAtStart = true; }); };
    auto fill = [&](Section s, int kind) { return with(s, [&](Section& x) { x.fill = kind; }); };
    auto riseInto = [&](Section s) {
        return with(s, [](Section& x) {
            x.riserAtRow = 32;
            x.fill = 2;
        });
    };
    auto finale = [&](Section s) {
        return with(s, [](Section& x) {
            x.transpose = 2; // up a whole tone, to B minor
            x.harmony = x.melody != nullptr;
        });
    };

    std::vector<Section> song;
    // 0 s: intro, pad and arpeggio; 8 s: two bars of build with a riser into the drop.
    song.push_back({.chords = a, .arp = true});
    song.push_back({.chords = {F, G}, .drums = 1, .arp = true, .riserAtRow = 0});
    // 12 s: the drop; its crash is the first note of instrument 7. Cube lattice and tunnel.
    song.push_back(crash(full(a, nullptr)));
    song.push_back(dropA);
    song.push_back(fill(arpA, 1));
    song.push_back(crash(rolling));
    song.push_back(fill(rolling, 1));
    song.push_back(crash(dropA));
    song.push_back(fill(arpA, 1));
    // 68 s: half-time breakdown with plucks (pillar hall), rising back into the full groove.
    song.push_back(crash(breakdown));
    song.push_back(breakdown);
    song.push_back(riseInto(breakdown));
    // 92 s: star and swarm.
    song.push_back(crash(dropA));
    song.push_back(rolling);
    song.push_back(fill(rolling, 1));
    song.push_back(arpA);
    song.push_back(crash(breakdown));
    song.push_back(riseInto(breakdown));
    song.push_back(crash(dropA));
    song.push_back(fill(arpA, 1));
    // 156 s: greetings, then the lift to B minor for the last interlude.
    song.push_back(crash(rolling));
    song.push_back(riseInto(rolling));
    song.push_back(crash(finale(dropA)));
    song.push_back(fill(finale(arpA), 1));
    song.push_back(fill(finale(rolling), 1));
    // 196 s: outro without drums; the pad and the plucks ring out on B minor.
    song.push_back(finale(
        {.chords = a, .bassStyle = 3, .melody = &melodyA2, .arp = true, .crashAtStart = true}));
    song.push_back(finale({.chords = {Am, Am}, .finalChord = true}));
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
                     music::pluck(),    music::openHat(),   music::snare()};
    for (const Section& s : arrangement()) {
        m.orders.push_back(static_cast<std::uint8_t>(m.patterns.size()));
        m.patterns.push_back(buildSection(s));
    }
    return m;
}

bool generateMusic(const std::string& directory, std::string& error) {
    return xm::writeFile(composeMusic(), directory + "/musa.mo3", error);
}
