// Writes FastTracker 2 extended modules (XM): 16-bit samples, one sample per instrument,
// instruments numbered from 1, up to 32 channels. libopenmpt plays what this writes; tests use
// it to build modules with notes at known positions, the generator to write the show's music.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace xm {

// Notes: 1 = C-0 ... 49 = C-4 ... 96 = B-7; 97 = key off; 0 = no note.
constexpr std::uint8_t noNote = 0;
constexpr std::uint8_t keyOff = 97;
constexpr std::uint8_t noteC4 = 49;

// Effect numbers as XM stores them (0-9, then A = 10 ... Z = 35).
namespace fx {
constexpr std::uint8_t tonePortamento = 0x03;
constexpr std::uint8_t tonePortaVolSlide = 0x05;
constexpr std::uint8_t volumeSlide = 0x0A;
constexpr std::uint8_t positionJump = 0x0B;
constexpr std::uint8_t setVolume = 0x0C;
constexpr std::uint8_t patternBreak = 0x0D;
constexpr std::uint8_t extended = 0x0E;      // E6x loop, EDx note delay, EEx pattern delay
constexpr std::uint8_t setSpeedTempo = 0x0F; // below 32: ticks per row, from 32: BPM
} // namespace fx

// Volume column: 0x10 + v (v = 0..64) sets the volume; 0xF0 + x is tone portamento.
constexpr std::uint8_t volumeColumn(int volume) { return static_cast<std::uint8_t>(0x10 + volume); }

struct Cell {
    std::uint8_t note = noNote;
    std::uint8_t instrument = 0; // 1-based, 0 = none
    std::uint8_t volume = 0;     // volume column byte, 0 = empty
    std::uint8_t effect = 0;
    std::uint8_t param = 0;
};

struct Pattern {
    int rows = 64;           // 1 to 256
    std::vector<Cell> cells; // row-major, `channels` cells per row

    Pattern() = default;
    Pattern(int rowCount, int channels)
        : rows(rowCount), cells(static_cast<std::size_t>(rowCount * channels)) {}
    Cell& at(int row, int channel, int channels) {
        return cells[static_cast<std::size_t>(row * channels + channel)];
    }
};

struct EnvelopePoint {
    std::uint16_t tick = 0;
    std::uint8_t value = 0; // 0 to 64
};

// Empty points = envelope off. Indices are -1 when unused.
struct Envelope {
    std::vector<EnvelopePoint> points; // at most 12, ticks increasing
    int sustain = -1;
    int loopStart = -1;
    int loopEnd = -1;
};

struct Sample {
    std::vector<std::int16_t> data;
    std::uint32_t loopStart = 0;  // in sample frames
    std::uint32_t loopLength = 0; // 0 = no loop
    bool pingPong = false;
    std::uint8_t volume = 64;
    std::int8_t finetune = 0;     // 1/128 semitone, used in steps of 8
    std::int8_t relativeNote = 0; // semitones added to the played note
    std::uint8_t panning = 128;
};

struct Instrument {
    std::string name;
    Sample sample;
    Envelope volumeEnvelope;
    std::uint16_t fadeout = 0; // volume lost per tick after key off, out of 32768
};

struct Module {
    std::string name;
    int channels = 8; // 2 to 32
    int speed = 6;    // ticks per row
    int bpm = 125;
    std::vector<std::uint8_t> orders; // pattern indices, 1 to 256 entries
    int restart = 0;
    std::vector<Pattern> patterns;
    std::vector<Instrument> instruments; // instrument k is instruments[k - 1]
};

// Serialises the module. Returns false with `error` set when it breaks a format limit.
bool encode(const Module& module, std::vector<std::uint8_t>& bytes, std::string& error);
bool writeFile(const Module& module, const std::string& path, std::string& error);

// Sample tuning: the rate (Hz) at which a sample plays at C-4 for a relative note and finetune
// (players use the finetune in steps of 8, 1/16 semitone), and the closest tuning for a wanted
// rate; the generator then synthesises at tunedRate of that tuning, so it sounds exact.
double tunedRate(int relativeNote, int finetune);
void tuningForRate(double rate, std::int8_t& relativeNote, std::int8_t& finetune);

} // namespace xm
