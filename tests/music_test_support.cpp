#include "tests/music_test_support.h"
#include "tests/process_support.h"

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>

xm::Module testModule(int rows) {
    xm::Module m;
    m.name = "test";
    m.channels = 4;
    m.speed = 6;
    m.bpm = 125;
    m.orders = {0};
    m.patterns.emplace_back(rows, m.channels);
    for (int i = 1; i <= 7; ++i) {
        xm::Instrument ins;
        ins.name = "tone " + std::to_string(i);
        ins.sample.data.resize(2000);
        for (std::size_t k = 0; k < ins.sample.data.size(); ++k) {
            ins.sample.data[k] = static_cast<std::int16_t>(8000 * std::sin(0.05 * i * k));
        }
        m.instruments.push_back(ins);
    }
    return m;
}

xm::Cell& cell(xm::Module& m, int row, int channel, int pattern) {
    return m.patterns[static_cast<std::size_t>(pattern)].at(row, channel, m.channels);
}

xm::Cell& noteAt(xm::Module& m, int row, int channel, int instrument) {
    xm::Cell& c = cell(m, row, channel);
    c.note = xm::noteC4;
    c.instrument = static_cast<std::uint8_t>(instrument);
    return c;
}

std::string writeTestModule(const xm::Module& m, const std::string& name) {
    const std::filesystem::path dir = std::filesystem::path(testing::TempDir()) / "tuvero-music";
    std::filesystem::create_directories(dir);
    const std::string path = (dir / (name + ".xm")).string();
    std::string error;
    EXPECT_TRUE(xm::writeFile(m, path, error)) << error;
    return path;
}

std::string showDataWithModule(const xm::Module& m, const std::string& name) {
    const std::string data = showDataWithout("musa.mo3", "data_" + name).string();
    std::string error;
    EXPECT_TRUE(xm::writeFile(m, data + "/musa.mo3", error)) << error;
    return data;
}

std::vector<platform::InstrumentSync> showSyncs() {
    return {{.instrument = 7, .once = true, .userValue = 0},
            {.instrument = 3, .once = false, .userValue = 1}};
}

std::vector<Delivered> playOnTicks(const std::string& path, platform::MusicOutput output,
                                   std::uint32_t stepMs, std::uint32_t untilMs,
                                   const std::vector<platform::InstrumentSync>& syncs,
                                   std::uint32_t startTick) {
    std::vector<Delivered> delivered;
    std::string error;
    EXPECT_TRUE(platform::musicLoad(path, output, error)) << error;
    for (const auto& s : syncs)
        platform::musicSetSync(s);
    platform::musicPlay(startTick);
    for (std::uint32_t ms = 0; ms <= untilMs; ms += stepMs) {
        platform::musicDeliverSyncs(startTick + ms, [&](int value) {
            delivered.push_back({ms, value});
        });
    }
    platform::musicFree();
    return delivered;
}

std::vector<std::uint32_t> timesOf(const std::vector<Delivered>& d, int value) {
    std::vector<std::uint32_t> times;
    for (const Delivered& e : d) {
        if (e.value == value) times.push_back(e.ms);
    }
    return times;
}
