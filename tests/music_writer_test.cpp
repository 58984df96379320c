// The XM writer: how its samples sound through libopenmpt. (The sync tests read notes, effects,
// patterns and orders back through the player.)
#include "tests/music_test_support.h"
#include "tools/music.h"

#include <gtest/gtest.h>
#include <libopenmpt/libopenmpt.h>

#include <cmath>
#include <memory>

namespace {

struct ModuleDeleter {
    void operator()(openmpt_module* m) const { openmpt_module_destroy(m); }
};
using ModulePtr = std::unique_ptr<openmpt_module, ModuleDeleter>;

ModulePtr open(const xm::Module& m) {
    std::vector<std::uint8_t> bytes;
    std::string error;
    EXPECT_TRUE(xm::encode(m, bytes, error)) << error;
    return ModulePtr(openmpt_module_create_from_memory2(bytes.data(), bytes.size(),
                                                        openmpt_log_func_silent, nullptr, nullptr,
                                                        nullptr, nullptr, nullptr, nullptr));
}

std::vector<float> renderMono(openmpt_module* mod, int rate, double seconds) {
    std::vector<float> out(static_cast<std::size_t>(rate * seconds));
    std::size_t done = 0;
    while (done < out.size()) {
        const std::size_t got =
            openmpt_module_read_float_mono(mod, rate, out.size() - done, out.data() + done);
        if (got == 0) break;
        done += got;
    }
    out.resize(done);
    return out;
}

double rms(const std::vector<float>& x, std::size_t from, std::size_t to) {
    double sum = 0;
    for (std::size_t i = from; i < to; ++i)
        sum += double{x[i]} * x[i];
    return std::sqrt(sum / static_cast<double>(to - from));
}

// A looped sine holding `cycles` cycles, tuned to sound at about 440 Hz at C-4; returns the
// frequency its tuning should give.
double sineInstrument(xm::Instrument& ins, int cycles, int length) {
    ins.name = "sine";
    ins.sample.data.clear();
    for (int i = 0; i < length; ++i) {
        ins.sample.data.push_back(static_cast<std::int16_t>(
            std::lround(30000 * std::sin(2 * M_PI * cycles * i / length))));
    }
    ins.sample.loopLength = static_cast<std::uint32_t>(length);
    xm::tuningForRate(440.0 * length / cycles, ins.sample.relativeNote, ins.sample.finetune);
    return xm::tunedRate(ins.sample.relativeNote, ins.sample.finetune) * cycles / length;
}

// The period (in frames, fractional) near `expected`, from the autocorrelation at twenty
// periods' lag, which resolves it to a small fraction of a cent.
double measuredPeriod(const std::vector<float>& x, std::size_t from, double expected) {
    const int periods = 20;
    const std::size_t window = 8000;
    auto correlation = [&](int lag) {
        double sum = 0;
        for (std::size_t i = from; i < from + window; ++i)
            sum += double{x[i]} * x[i + lag];
        return sum;
    };
    const int centre = static_cast<int>(std::lround(expected * periods));
    int best = centre;
    for (int lag = centre - centre / 50; lag <= centre + centre / 50; ++lag) {
        if (correlation(lag) > correlation(best)) best = lag;
    }
    const double a = correlation(best - 1), b = correlation(best), c = correlation(best + 1);
    const double offset = 0.5 * (a - c) / (a - 2 * b + c);
    return (best + offset) / periods;
}

// The pitch of a steady tone near `expected` Hz, measured from `from` on.
double hertz(const std::vector<float>& x, std::size_t from, int rate, double expected) {
    return rate / measuredPeriod(x, from, rate / expected);
}

} // namespace

TEST(ModuleWriter, KeyOffReleasesThroughTheVolumeEnvelope) {
    const int rate = 48000;
    xm::Module m = testModule(64);
    sineInstrument(m.instruments[0], 10, 1090);
    m.instruments[0].volumeEnvelope.points = {{0, 64}, {10, 64}, {20, 0}};
    m.instruments[0].volumeEnvelope.sustain = 1;
    noteAt(m, 0, 0, 1);
    cell(m, 16, 0).note = xm::keyOff; // at 1.92 s; the release takes 10 ticks (0.2 s)
    ModulePtr mod = open(m);
    const auto x = renderMono(mod.get(), rate, 3.0);
    EXPECT_GT(rms(x, rate * 1, rate * 19 / 10), 0.1);  // sustained until the key off
    EXPECT_LT(rms(x, rate * 22 / 10, rate * 3), 1e-3); // silent after the release
}

TEST(ShowMusic, LoopedInstrumentsLoopWithoutAStep) {
    const xm::Module m = composeMusic();
    int looped = 0;
    for (const xm::Instrument& ins : m.instruments) {
        const xm::Sample& s = ins.sample;
        int peak = 0;
        for (auto v : s.data)
            peak = std::max(peak, std::abs(int{v}));
        EXPECT_LT(peak, 32767) << ins.name;
        EXPECT_GT(peak, 16000) << ins.name;
        if (!s.loopLength) continue;
        ++looped;
        // The loop's end runs into its start as smoothly as any two neighbours inside it.
        int largestStep = 0;
        for (std::size_t i = 1; i < s.data.size(); ++i) {
            largestStep = std::max(largestStep, std::abs(s.data[i] - s.data[i - 1]));
        }
        const int seam = std::abs(s.data[s.loopStart] - s.data[s.loopStart + s.loopLength - 1]);
        EXPECT_LE(seam, largestStep) << ins.name;
    }
    EXPECT_GE(looped, 3);
}

TEST(ShowMusic, TonalInstrumentsAreInTune) {
    const int rate = 48000;
    const xm::Module show = composeMusic();
    struct Case {
        int instrument;
        int note;     // XM note
        double hertz; // equal temperament, A4 = 440 Hz
    } cases[] = {{4, xm::noteC4 - 24, 65.406},
                 {5, xm::noteC4, 261.626},
                 {6, xm::noteC4 + 9, 440.0},
                 {9, xm::noteC4, 261.626}};
    for (const Case& c : cases) {
        xm::Module m = testModule(32);
        m.instruments = {show.instruments[static_cast<std::size_t>(c.instrument - 1)]};
        noteAt(m, 0, 0, 1).note = static_cast<std::uint8_t>(c.note);
        ModulePtr mod = open(m);
        ASSERT_TRUE(mod);
        const auto x = renderMono(mod.get(), rate, 1.5);
        const double sounds = hertz(x, rate / 5, rate, c.hertz);
        EXPECT_NEAR(1200 * std::log2(sounds / c.hertz), 0.0, 3.0)
            << m.instruments[0].name << " sounds at " << sounds << " Hz";
    }
}
