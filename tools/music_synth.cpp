#include "tools/music_synth.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace music {
namespace {

constexpr double pi = 3.14159265358979323846;
constexpr double nominalRate = 44100.0;
constexpr double c4 = 261.6255653;

// Deterministic white noise in [-1, 1].
class Noise {
  public:
    double next() {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return static_cast<double>(state) / 2147483648.0 - 1.0;
    }

  private:
    std::uint32_t state = 0x9E3779B9u;
};

// Two-pole state-variable filter (Chamberlin); cutoff may change per sample.
struct Svf {
    double low = 0, band = 0;
    double q = 0.7;
    // Returns {low, band, high}.
    void run(double in, double cutoff, double rate, double& lowOut, double& bandOut,
             double& highOut) {
        const double f = 2.0 * std::sin(pi * std::min(cutoff, rate / 6.0) / rate);
        const double high = in - low - q * band;
        band += f * high;
        low += f * band;
        lowOut = low;
        bandOut = band;
        highOut = high;
    }
};

// Scales to a peak of `peak` (of full scale) and converts.
std::vector<std::int16_t> toPcm(const std::vector<double>& x, double peak = 0.95) {
    double max = 1e-9;
    for (double v : x)
        max = std::max(max, std::fabs(v));
    std::vector<std::int16_t> out(x.size());
    for (std::size_t i = 0; i < x.size(); ++i) {
        out[i] = static_cast<std::int16_t>(std::lround(x[i] / max * peak * 32767.0));
    }
    return out;
}

// A one-shot sample, synthesised at the rate of its tuning (rel, fine): it plays unchanged at C-4.
xm::Instrument oneShot(const char* name, const std::vector<double>& signal, std::int8_t rel,
                       std::int8_t fine, std::uint8_t volume) {
    xm::Instrument ins;
    ins.name = name;
    ins.sample.data = toPcm(signal);
    ins.sample.relativeNote = rel;
    ins.sample.finetune = fine;
    ins.sample.volume = volume;
    return ins;
}

// Rate and tuning for drum samples: they play unchanged at C-4.
struct Tuning {
    std::int8_t rel = 0, fine = 0;
    double rate = nominalRate;
};
Tuning drumTuning() {
    Tuning t;
    xm::tuningForRate(nominalRate, t.rel, t.fine);
    t.rate = xm::tunedRate(t.rel, t.fine);
    return t;
}

// A looped tonal sample: `cycles` cycles of the base pitch in `loopLength` frames, so any
// oscillator with a whole number of cycles per loop loops cleanly. Played at `baseNote` it
// sounds at `frequency`, within a fraction of a cent of the wanted base frequency.
struct LoopSpec {
    int cycles = 0;
    int loopLength = 0;
    Tuning tuning;
    double frequency = 0; // heard at baseNote
};
LoopSpec loopSpec(double baseFrequency, int baseNote, int cycles) {
    LoopSpec s;
    s.cycles = cycles;
    // Tuned for about the nominal rate at baseNote; at C-4 it plays 2^((49 - baseNote) / 12)
    // times faster. The loop length then follows from the exact rate of that tuning.
    const double toC4 = std::exp2((xm::noteC4 - baseNote) / 12.0);
    xm::tuningForRate(nominalRate * toC4, s.tuning.rel, s.tuning.fine);
    s.tuning.rate = xm::tunedRate(s.tuning.rel, s.tuning.fine) / toC4;
    s.loopLength = static_cast<int>(std::lround(cycles * s.tuning.rate / baseFrequency));
    s.frequency = s.tuning.rate * cycles / s.loopLength;
    return s;
}

// Band-limited sawtooth added into `out` (one loop): `cyclesPerLoop` cycles, harmonics up to
// `maxHarmonics` with a gentle low-pass roll-off around `rolloffHarmonic`.
void addSaw(std::vector<double>& out, int cyclesPerLoop, double amplitude, double rolloffHarmonic,
            double phase, int maxHarmonics) {
    const auto n = static_cast<int>(out.size());
    for (int h = 1; h <= maxHarmonics; ++h) {
        const double a = amplitude / h / (1.0 + std::pow(h / rolloffHarmonic, 2.0));
        const double w = 2.0 * pi * cyclesPerLoop * h / n;
        for (int i = 0; i < n; ++i)
            out[i] += a * std::sin(w * i + phase * h);
    }
}

xm::Instrument looped(const char* name, const LoopSpec& layout, const std::vector<double>& loop,
                      std::uint8_t volume, xm::Envelope envelope, std::uint16_t fadeout) {
    xm::Instrument ins;
    ins.name = name;
    ins.sample.data = toPcm(loop, 0.9);
    ins.sample.loopStart = 0;
    ins.sample.loopLength = static_cast<std::uint32_t>(loop.size());
    ins.sample.relativeNote = layout.tuning.rel;
    ins.sample.finetune = layout.tuning.fine;
    ins.sample.volume = volume;
    ins.volumeEnvelope = std::move(envelope);
    ins.fadeout = fadeout;
    return ins;
}

} // namespace

xm::Instrument kickDrum() {
    const Tuning t = drumTuning();
    const int n = static_cast<int>(0.45 * t.rate);
    std::vector<double> x(n);
    Noise noise;
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double s = i / t.rate;
        const double f = 48.0 + 120.0 * std::exp(-s / 0.035);
        phase += 2.0 * pi * f / t.rate;
        const double body = std::sin(phase) * std::exp(-s / 0.28);
        const double click = noise.next() * std::exp(-s / 0.002) * 0.4;
        x[i] = std::tanh(1.8 * (body + click));
    }
    // Short fade at the end so the sample never stops on a step.
    for (int i = 0; i < 200; ++i)
        x[n - 1 - i] *= i / 200.0;
    return oneShot("kick", x, t.rel, t.fine, 64);
}

xm::Instrument closedHat() {
    const Tuning t = drumTuning();
    const int n = static_cast<int>(0.09 * t.rate);
    std::vector<double> x(n);
    Noise noise;
    Svf f;
    f.q = 0.5;
    for (int i = 0; i < n; ++i) {
        const double s = i / t.rate;
        double lo, band, hi;
        f.run(noise.next(), 7000.0, t.rate, lo, band, hi);
        x[i] = hi * std::exp(-s / 0.018);
    }
    return oneShot("closed hat", x, t.rel, t.fine, 48);
}

xm::Instrument openHat() {
    const Tuning t = drumTuning();
    const int n = static_cast<int>(0.5 * t.rate);
    std::vector<double> x(n);
    Noise noise;
    Svf f;
    f.q = 0.4;
    for (int i = 0; i < n; ++i) {
        const double s = i / t.rate;
        double lo, band, hi;
        f.run(noise.next(), 6500.0, t.rate, lo, band, hi);
        x[i] = (hi + 0.3 * band) * std::exp(-s / 0.12) * std::min(1.0, s / 0.002);
    }
    return oneShot("open hat", x, t.rel, t.fine, 44);
}

xm::Instrument clap() {
    const Tuning t = drumTuning();
    const int n = static_cast<int>(0.45 * t.rate);
    std::vector<double> x(n);
    Noise noise;
    Svf f;
    f.q = 0.35;
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double s = i / t.rate;
        // Three quick hand claps, then the room's tail.
        double env = 0;
        for (int k = 0; k < 3; ++k) {
            const double d = s - 0.009 * k;
            if (d >= 0) env += std::exp(-d / 0.004);
        }
        env += 0.75 * std::exp(-std::max(0.0, s - 0.02) / 0.11) * std::min(1.0, s / 0.02);
        double lo, band, hi;
        f.run(noise.next(), 1400.0, t.rate, lo, band, hi);
        const double snap = band * env;
        phase += 2.0 * pi * (185.0 + 40.0 * std::exp(-s / 0.01)) / t.rate;
        const double body = std::sin(phase) * std::exp(-s / 0.07) * 0.5;
        x[i] = std::tanh(1.4 * (snap * 1.6 + body));
    }
    for (int i = 0; i < 300; ++i)
        x[n - 1 - i] *= i / 300.0;
    return oneShot("clap", x, t.rel, t.fine, 62);
}

xm::Instrument snare() {
    const Tuning t = drumTuning();
    const int n = static_cast<int>(0.25 * t.rate);
    std::vector<double> x(n);
    Noise noise;
    Svf f;
    f.q = 0.5;
    double phase = 0;
    for (int i = 0; i < n; ++i) {
        const double s = i / t.rate;
        double lo, band, hi;
        f.run(noise.next(), 3000.0, t.rate, lo, band, hi);
        phase += 2.0 * pi * (210.0 + 60.0 * std::exp(-s / 0.008)) / t.rate;
        const double body = std::sin(phase) * std::exp(-s / 0.04);
        x[i] = std::tanh(1.5 * ((band + 0.4 * hi) * std::exp(-s / 0.06) + 0.7 * body));
    }
    for (int i = 0; i < 300; ++i)
        x[n - 1 - i] *= i / 300.0;
    return oneShot("snare", x, t.rel, t.fine, 52);
}

xm::Instrument crash() {
    const Tuning t = drumTuning();
    const int n = static_cast<int>(3.2 * t.rate);
    std::vector<double> x(n);
    Noise noise;
    Svf f;
    f.q = 0.6;
    // Inharmonic square partials give the metal; filtered noise gives the wash.
    const double partials[] = {342.0, 557.0, 811.0, 1187.0, 1563.0, 2273.0, 3301.0, 4709.0};
    for (int i = 0; i < n; ++i) {
        const double s = i / t.rate;
        double metal = 0;
        for (double p : partials)
            metal += std::sin(2.0 * pi * p * s) > 0 ? 1.0 : -1.0;
        double lo, band, hi;
        f.run(noise.next() + 0.08 * metal, 5000.0, t.rate, lo, band, hi);
        const double env =
            std::exp(-s / 0.9) * std::min(1.0, s / 0.001) + 0.5 * std::exp(-s / 0.05);
        x[i] = (hi + 0.5 * band) * env;
    }
    for (int i = 0; i < 2000; ++i)
        x[n - 1 - i] *= i / 2000.0;
    return oneShot("crash", x, t.rel, t.fine, 64);
}

xm::Instrument riser() {
    const Tuning t = drumTuning();
    const double length = 4.0;
    const int n = static_cast<int>(length * t.rate);
    std::vector<double> x(n);
    Noise noise;
    Svf f;
    f.q = 0.25;
    for (int i = 0; i < n; ++i) {
        const double s = i / t.rate;
        const double u = s / length;
        double lo, band, hi;
        f.run(noise.next(), 250.0 * std::pow(40.0, u), t.rate, lo, band, hi);
        x[i] = band * u * u * std::min(1.0, (length - s) / 0.01);
    }
    return oneShot("riser", x, t.rel, t.fine, 48);
}

xm::Instrument bass() {
    const double c2 = c4 / 4.0;
    const LoopSpec layout = loopSpec(c2, xm::noteC4 - 24, 4);
    std::vector<double> loop(layout.loopLength);
    addSaw(loop, layout.cycles, 1.0, 6.0, 0.0, 40);
    // Sub oscillator an octave down would need half cycles; a sine at the base adds the weight.
    for (int i = 0; i < layout.loopLength; ++i) {
        loop[i] += 0.8 * std::sin(2.0 * pi * layout.cycles * i / layout.loopLength);
    }
    for (double& v : loop)
        v = std::tanh(1.3 * v);
    xm::Envelope env;
    env.points = {{0, 64}, {6, 52}, {20, 44}, {24, 0}};
    env.sustain = 2;
    return looped("bass", layout, loop, 54, env, 4000);
}

xm::Instrument pad() {
    const LoopSpec layout = loopSpec(c4, xm::noteC4, 200);
    std::vector<double> loop(layout.loopLength);
    addSaw(loop, layout.cycles - 1, 0.8, 4.0, 0.3, 24);
    addSaw(loop, layout.cycles, 1.0, 4.0, 1.1, 24);
    addSaw(loop, layout.cycles + 1, 0.8, 4.0, 2.3, 24);
    xm::Envelope env;
    env.points = {{0, 0}, {10, 56}, {40, 48}, {88, 0}};
    env.sustain = 2;
    return looped("pad", layout, loop, 50, env, 600);
}

xm::Instrument lead() {
    const LoopSpec layout = loopSpec(c4, xm::noteC4, 400);
    std::vector<double> loop(layout.loopLength);
    addSaw(loop, layout.cycles, 1.0, 10.0, 0.0, 30);
    addSaw(loop, layout.cycles + 1, 0.7, 10.0, 0.9, 30);
    // An odd-harmonic layer (square-like) for a hollow, singing tone.
    const auto n = static_cast<int>(loop.size());
    for (int h = 1; h <= 29; h += 2) {
        const double w = 2.0 * pi * layout.cycles * h / n;
        for (int i = 0; i < n; ++i)
            loop[i] += 0.5 / h * std::sin(w * i);
    }
    xm::Envelope env;
    env.points = {{0, 64}, {8, 48}, {16, 44}, {30, 0}};
    env.sustain = 2;
    return looped("lead", layout, loop, 54, env, 1500);
}

xm::Instrument pluck() {
    const Tuning t = drumTuning();
    const int n = static_cast<int>(0.8 * t.rate);
    std::vector<double> x(n);
    for (int i = 0; i < n; ++i) {
        const double s = i / t.rate;
        double v = 0;
        const double ratios[] = {1.0, 2.0, 3.0, 4.01, 5.98};
        const double amps[] = {1.0, 0.5, 0.3, 0.15, 0.08};
        for (int k = 0; k < 5; ++k) {
            v += amps[k] * std::sin(2.0 * pi * c4 * ratios[k] * s) * std::exp(-s * (3.0 + 4.0 * k));
        }
        x[i] = v * std::min(1.0, s / 0.002);
    }
    for (int i = 0; i < 500; ++i)
        x[n - 1 - i] *= i / 500.0;
    return oneShot("pluck", x, t.rel, t.fine, 50);
}

} // namespace music
