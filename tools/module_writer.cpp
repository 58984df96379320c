#include "tools/module_writer.h"

#include <algorithm>
#include <cmath>
#include <fstream>

namespace xm {
namespace {

class Writer {
  public:
    explicit Writer(std::vector<std::uint8_t>& out) : bytes(out) {}
    void u8(unsigned v) { bytes.push_back(static_cast<std::uint8_t>(v)); }
    void u16(unsigned v) {
        u8(v & 0xFF);
        u8((v >> 8) & 0xFF);
    }
    void u32(std::uint32_t v) {
        u16(v & 0xFFFF);
        u16(v >> 16);
    }
    // Fixed-width text field, padded with `pad`, cut when too long.
    void text(const std::string& s, std::size_t width, char pad = ' ') {
        for (std::size_t i = 0; i < width; ++i)
            u8(static_cast<unsigned char>(i < s.size() ? s[i] : pad));
    }
    void zeros(std::size_t n) { bytes.insert(bytes.end(), n, 0); }
    std::size_t size() const { return bytes.size(); }
    void patchU16(std::size_t at, unsigned v) {
        bytes[at] = static_cast<std::uint8_t>(v & 0xFF);
        bytes[at + 1] = static_cast<std::uint8_t>((v >> 8) & 0xFF);
    }

  private:
    std::vector<std::uint8_t>& bytes;
};

constexpr std::uint32_t instrumentHeaderSize = 263; // what FastTracker 2 writes
constexpr std::uint32_t sampleHeaderSize = 40;

bool checkModule(const Module& m, std::string& error) {
    if (m.channels < 2 || m.channels > 32 || m.channels % 2 != 0) {
        error = "channel count must be even, 2 to 32";
        return false;
    }
    if (m.orders.empty() || m.orders.size() > 256) {
        error = "order list must have 1 to 256 entries";
        return false;
    }
    if (m.patterns.empty() || m.patterns.size() > 256) {
        error = "pattern count must be 1 to 256";
        return false;
    }
    for (std::uint8_t order : m.orders) {
        if (order >= m.patterns.size()) {
            error = "order list names a missing pattern";
            return false;
        }
    }
    if (m.restart < 0 || static_cast<std::size_t>(m.restart) >= m.orders.size()) {
        error = "restart position outside the order list";
        return false;
    }
    if (m.instruments.size() > 128) {
        error = "at most 128 instruments";
        return false;
    }
    if (m.speed < 1 || m.speed > 31 || m.bpm < 32 || m.bpm > 255) {
        error = "speed must be 1 to 31 and BPM 32 to 255";
        return false;
    }
    for (const Pattern& p : m.patterns) {
        if (p.rows < 1 || p.rows > 256 ||
            p.cells.size() != static_cast<std::size_t>(p.rows * m.channels)) {
            error = "pattern rows must be 1 to 256 with one cell per row and channel";
            return false;
        }
        for (const Cell& c : p.cells) {
            if (c.note > keyOff || c.instrument > m.instruments.size()) {
                error = "pattern cell with an invalid note or instrument";
                return false;
            }
        }
    }
    for (const Instrument& ins : m.instruments) {
        const Envelope& e = ins.volumeEnvelope;
        const auto n = static_cast<int>(e.points.size());
        if (n > 12 || e.sustain >= n || e.loopStart >= n || e.loopEnd >= n ||
            (e.loopStart >= 0) != (e.loopEnd >= 0) || e.loopStart > e.loopEnd) {
            error = "instrument '" + ins.name + "': bad volume envelope";
            return false;
        }
        for (int i = 0; i < n; ++i) {
            if (e.points[i].value > 64 || (i > 0 && e.points[i].tick <= e.points[i - 1].tick)) {
                error = "instrument '" + ins.name + "': envelope points out of order or range";
                return false;
            }
        }
        const Sample& s = ins.sample;
        if (s.data.size() > 0x3FFFFFFF || s.volume > 64 ||
            static_cast<std::uint64_t>(s.loopStart) + s.loopLength > s.data.size()) {
            error = "instrument '" + ins.name + "': sample loop outside its data";
            return false;
        }
    }
    return true;
}

void writePattern(Writer& w, const Pattern& p) {
    w.u32(9); // pattern header length
    w.u8(0);  // packing type
    w.u16(static_cast<unsigned>(p.rows));
    const std::size_t sizeAt = w.size();
    w.u16(0);
    const std::size_t start = w.size();
    for (const Cell& c : p.cells) {
        // Packed cell: a flag byte (bit 7 set) says which of the five fields follow.
        unsigned flags = 0x80;
        if (c.note) flags |= 0x01;
        if (c.instrument) flags |= 0x02;
        if (c.volume) flags |= 0x04;
        if (c.effect) flags |= 0x08;
        if (c.param) flags |= 0x10;
        w.u8(flags);
        if (c.note) w.u8(c.note);
        if (c.instrument) w.u8(c.instrument);
        if (c.volume) w.u8(c.volume);
        if (c.effect) w.u8(c.effect);
        if (c.param) w.u8(c.param);
    }
    w.patchU16(sizeAt, static_cast<unsigned>(w.size() - start));
}

void writeEnvelope(Writer& w, const Envelope& e) {
    for (std::size_t i = 0; i < 12; ++i) {
        w.u16(i < e.points.size() ? e.points[i].tick : 0);
        w.u16(i < e.points.size() ? e.points[i].value : 0);
    }
}

unsigned envelopeFlags(const Envelope& e) {
    if (e.points.empty()) return 0;
    return 1u | (e.sustain >= 0 ? 2u : 0u) | (e.loopStart >= 0 ? 4u : 0u);
}

void writeInstrument(Writer& w, const Instrument& ins) {
    const Sample& s = ins.sample;
    const bool hasSample = !s.data.empty();
    const std::size_t start = w.size();
    w.u32(hasSample ? instrumentHeaderSize : 29);
    w.text(ins.name, 22, '\0');
    w.u8(0);
    w.u16(hasSample ? 1 : 0);
    if (!hasSample) return;
    w.u32(sampleHeaderSize);
    w.zeros(96); // every note plays sample 0
    const Envelope& v = ins.volumeEnvelope;
    writeEnvelope(w, v);
    writeEnvelope(w, Envelope{});
    w.u8(static_cast<unsigned>(v.points.size()));
    w.u8(0);
    w.u8(static_cast<unsigned>(std::max(v.sustain, 0)));
    w.u8(static_cast<unsigned>(std::max(v.loopStart, 0)));
    w.u8(static_cast<unsigned>(std::max(v.loopEnd, 0)));
    w.zeros(3); // panning envelope sustain and loop
    w.u8(envelopeFlags(v));
    w.u8(0);
    w.zeros(4); // auto-vibrato off
    w.u16(ins.fadeout);
    w.zeros(instrumentHeaderSize - (w.size() - start));

    // Sample header; lengths are in bytes for 16-bit data.
    const std::uint32_t length = static_cast<std::uint32_t>(s.data.size());
    w.u32(length * 2);
    w.u32(s.loopLength ? s.loopStart * 2 : 0);
    w.u32(s.loopLength * 2);
    w.u8(s.volume);
    w.u8(static_cast<std::uint8_t>(s.finetune));
    unsigned type = 0x10; // 16-bit
    if (s.loopLength) type |= s.pingPong ? 2u : 1u;
    w.u8(type);
    w.u8(s.panning);
    w.u8(static_cast<std::uint8_t>(s.relativeNote));
    w.u8(0);
    w.text(ins.name, 22, '\0');
}

void writeSampleData(Writer& w, const Sample& s) {
    // 16-bit samples are stored as differences from the previous value (wrapping).
    std::int16_t previous = 0;
    for (std::int16_t v : s.data) {
        w.u16(static_cast<std::uint16_t>(v - previous));
        previous = v;
    }
}

} // namespace

bool encode(const Module& m, std::vector<std::uint8_t>& bytes, std::string& error) {
    if (!checkModule(m, error)) return false;
    bytes.clear();
    Writer w(bytes);
    w.text("Extended Module: ", 17);
    w.text(m.name, 20);
    w.u8(0x1A);
    w.text("tuvero module writer", 20);
    w.u16(0x0104);
    w.u32(276); // header size from here: 20 bytes of fields and the 256-entry order table
    w.u16(static_cast<unsigned>(m.orders.size()));
    w.u16(static_cast<unsigned>(m.restart));
    w.u16(static_cast<unsigned>(m.channels));
    w.u16(static_cast<unsigned>(m.patterns.size()));
    w.u16(static_cast<unsigned>(m.instruments.size()));
    w.u16(1); // linear frequency table
    w.u16(static_cast<unsigned>(m.speed));
    w.u16(static_cast<unsigned>(m.bpm));
    for (std::size_t i = 0; i < 256; ++i)
        w.u8(i < m.orders.size() ? m.orders[i] : 0);
    for (const Pattern& p : m.patterns)
        writePattern(w, p);
    for (const Instrument& ins : m.instruments) {
        writeInstrument(w, ins);
        writeSampleData(w, ins.sample);
    }
    return true;
}

bool writeFile(const Module& module, const std::string& path, std::string& error) {
    std::vector<std::uint8_t> bytes;
    if (!encode(module, bytes, error)) return false;
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()),
              static_cast<std::streamsize>(bytes.size()));
    out.close();
    if (!out) {
        error = "cannot write " + path;
        return false;
    }
    return true;
}

// Linear frequency table: a sample plays C-4 at 8363 Hz * 2^(relativeNote/12 + finetune/1536),
// where players (as FastTracker 2 did) use the finetune in steps of 8: 1/16 semitone.
double tunedRate(int relativeNote, int finetune) {
    const int step = (finetune >= 0 ? finetune : finetune - 7) / 8 * 8; // rounds down
    return 8363.0 * std::exp2(relativeNote / 12.0 + step / 1536.0);
}

void tuningForRate(double rate, std::int8_t& relativeNote, std::int8_t& finetune) {
    const double steps = std::round(std::log2(rate / 8363.0) * 192.0); // 1/16 semitones
    int note = static_cast<int>(std::floor((steps + 8.0) / 16.0));
    int fine = (static_cast<int>(steps) - note * 16) * 8;
    note = std::clamp(note, -96, 95);
    fine = std::clamp(fine, -128, 120);
    relativeNote = static_cast<std::int8_t>(note);
    finetune = static_cast<std::int8_t>(fine);
}

} // namespace xm
