// The XM writer: what libopenmpt reads back, how samples sound, which modules it refuses.
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

// Frequency of a steady tone by counting upward zero crossings.
double frequency(const std::vector<float>& x, std::size_t from, std::size_t to, int rate) {
    std::size_t first = 0, last = 0;
    int crossings = 0;
    for (std::size_t i = from + 1; i < to; ++i) {
        if (x[i - 1] < 0 && x[i] >= 0) {
            if (crossings == 0) first = i;
            last = i;
            ++crossings;
        }
    }
    return crossings > 1 ? (crossings - 1) * double(rate) / double(last - first) : 0;
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

} // namespace

TEST(ModuleWriter, LibopenmptReadsBackOrdersPatternsCellsAndNames) {
    xm::Module m = testModule(16);
    m.speed = 5;
    m.bpm = 140;
    m.patterns.emplace_back(100, m.channels);
    m.orders = {1, 0, 1};
    xm::Cell& c = cell(m, 99, 3, 1);
    c = {xm::noteC4 + 7, 6, xm::volumeColumn(32), xm::fx::extended, 0xD2};
    cell(m, 0, 0).note = xm::keyOff;
    ModulePtr mod = open(m);
    ASSERT_TRUE(mod);
    openmpt_module* p = mod.get();
    EXPECT_EQ(openmpt_module_get_num_channels(p), 4);
    EXPECT_EQ(openmpt_module_get_num_orders(p), 3);
    EXPECT_EQ(openmpt_module_get_order_pattern(p, 0), 1);
    EXPECT_EQ(openmpt_module_get_pattern_num_rows(p, 0), 16);
    EXPECT_EQ(openmpt_module_get_pattern_num_rows(p, 1), 100);
    EXPECT_EQ(openmpt_module_get_num_instruments(p), 7);
    EXPECT_EQ(openmpt_module_get_current_speed(p), 5);
    EXPECT_EQ(openmpt_module_get_current_tempo(p), 140);
    const char* name = openmpt_module_get_instrument_name(p, 2);
    EXPECT_STREQ(name, "tone 3");
    openmpt_free_string(name);
    auto at = [&](int pattern, int row, int ch, int what) {
        return openmpt_module_get_pattern_row_channel_command(p, pattern, row, ch, what);
    };
    // libopenmpt numbers notes one octave above XM (C-4 = 61), key off is 255.
    EXPECT_EQ(at(1, 99, 3, OPENMPT_MODULE_COMMAND_NOTE), xm::noteC4 + 7 + 12);
    EXPECT_EQ(at(1, 99, 3, OPENMPT_MODULE_COMMAND_INSTRUMENT), 6);
    EXPECT_EQ(at(1, 99, 3, OPENMPT_MODULE_COMMAND_VOLUME), 32);
    EXPECT_EQ(at(1, 99, 3, OPENMPT_MODULE_COMMAND_PARAMETER), 0xD2);
    EXPECT_EQ(at(0, 0, 0, OPENMPT_MODULE_COMMAND_NOTE), 255);
    EXPECT_EQ(at(1, 98, 3, OPENMPT_MODULE_COMMAND_NOTE), 0);
    // 100 + 16 + 100 rows at 5 ticks of 2.5/140 s.
    EXPECT_NEAR(openmpt_module_get_duration_seconds(p), 216 * 5 * 2.5 / 140, 0.01);
}

TEST(ModuleWriter, SamplesPlayAtTheirTuningAndLoop) {
    const int rate = 48000;
    for (int cycles : {1, 7, 200}) {
        xm::Module m = testModule(64);
        const double f = sineInstrument(m.instruments[0], cycles, cycles * 109 + 3);
        EXPECT_NEAR(f, 440.0, 440.0 * 0.004) << cycles; // within half a tuning step
        noteAt(m, 0, 0, 1);
        noteAt(m, 32, 1, 1).note = xm::noteC4 + 12; // an octave up
        ModulePtr mod = open(m);
        ASSERT_TRUE(mod);
        const auto x = renderMono(mod.get(), rate, 6.0);
        ASSERT_GT(x.size(), static_cast<std::size_t>(rate * 5));
        // The loop keeps the note going for the whole half pattern (3.84 s).
        EXPECT_NEAR(frequency(x, rate / 10, rate * 3, rate), f, 0.1) << cycles;
        EXPECT_GT(rms(x, rate * 3, rate * 3 + rate / 2), 0.1) << cycles;
        EXPECT_NEAR(frequency(x, rate * 43 / 10, rate * 5, rate), 2 * f, 1.0) << cycles;
    }
}

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

TEST(ModuleWriter, TuningForARateIsTheClosestStep) {
    for (double rate = 4000; rate < 200000; rate *= 1.0137) {
        std::int8_t rel = 0, fine = 0;
        xm::tuningForRate(rate, rel, fine);
        // A tuning step is 1/16 semitone, 1/192 octave; the closest is within half of it.
        EXPECT_EQ(fine % 8, 0);
        EXPECT_LE(std::fabs(std::log2(xm::tunedRate(rel, fine) / rate)), 0.5 / 192 + 1e-9) << rate;
    }
    EXPECT_DOUBLE_EQ(xm::tunedRate(0, 0), 8363.0);
    EXPECT_DOUBLE_EQ(xm::tunedRate(12, 0), 2 * 8363.0);
    EXPECT_DOUBLE_EQ(xm::tunedRate(0, -1), xm::tunedRate(0, -8)); // players round down
    EXPECT_DOUBLE_EQ(xm::tunedRate(0, 15), xm::tunedRate(0, 8));
}

TEST(ModuleWriter, RefusesModulesOutsideTheFormatsLimits) {
    auto refused = [](const xm::Module& m) {
        std::vector<std::uint8_t> bytes;
        std::string error;
        const bool ok = xm::encode(m, bytes, error);
        return !ok && !error.empty();
    };
    xm::Module good = testModule();
    EXPECT_FALSE(refused(good));
    xm::Module m = good;
    m.channels = 3;
    EXPECT_TRUE(refused(m));
    m = good;
    m.orders = {0, 1};
    EXPECT_TRUE(refused(m)); // names a missing pattern
    m = good;
    m.orders.clear();
    EXPECT_TRUE(refused(m));
    m = good;
    m.patterns[0].cells.pop_back();
    EXPECT_TRUE(refused(m));
    m = good;
    cell(m, 0, 0).instrument = 8; // only 7 instruments
    EXPECT_TRUE(refused(m));
    m = good;
    cell(m, 0, 0).note = 98;
    EXPECT_TRUE(refused(m));
    m = good;
    m.instruments[0].sample.loopStart = 1990;
    m.instruments[0].sample.loopLength = 11; // one past the data
    EXPECT_TRUE(refused(m));
    m = good;
    m.instruments[0].volumeEnvelope.points = {{0, 64}, {0, 10}};
    EXPECT_TRUE(refused(m)); // ticks must increase
    m = good;
    m.instruments[0].volumeEnvelope.points = {{0, 64}};
    m.instruments[0].volumeEnvelope.sustain = 1;
    EXPECT_TRUE(refused(m));
    m = good;
    m.bpm = 300;
    EXPECT_TRUE(refused(m));
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

namespace {

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

} // namespace

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
        const double hertz = rate / measuredPeriod(x, rate / 5, rate / c.hertz);
        EXPECT_NEAR(1200 * std::log2(hertz / c.hertz), 0.0, 3.0)
            << m.instruments[0].name << " sounds at " << hertz << " Hz";
    }
}
