// Small modules with notes at known positions, and a driver that plays them through the real
// player on explicit ticks and records when each sync is delivered.
#pragma once

#include "platform/module_player.h"
#include "tools/module_writer.h"

#include <cstdint>
#include <string>
#include <vector>

// Timing of every test module: speed 6 at 125 BPM, so a tick is 20 ms and a row 120 ms.
constexpr int testRowMs = 120;
constexpr int testTickMs = 20;

// Four channels, one 32-row pattern, instruments 1 to 7 (short tones), all cells empty.
xm::Module testModule(int rows = 32);
xm::Cell& cell(xm::Module& m, int row, int channel, int pattern = 0);
// Puts a note (C-4) of `instrument` (0 = none) at row/channel.
xm::Cell& noteAt(xm::Module& m, int row, int channel, int instrument);

// Writes the module into a fresh file under the test temp folder; returns its path.
std::string writeTestModule(const xm::Module& m, const std::string& name);

// A copy of the build's data folder whose musa.mo3 is `m`; returns the folder.
std::string showDataWithModule(const xm::Module& m, const std::string& name);

struct Delivered {
    std::uint32_t ms; // tick of delivery minus the tick at musicPlay
    int value;
    bool operator==(const Delivered&) const = default;
};

// The show's two syncs: value 0 once on instrument 7, value 1 on every note of instrument 3.
std::vector<platform::InstrumentSync> showSyncs();

// Loads `path` without a device, plays it from tick `startTick` and calls musicDeliverSyncs
// every `stepMs` up to `untilMs`. Frees the player afterwards.
std::vector<Delivered> playOnTicks(const std::string& path, platform::MusicOutput output,
                                   std::uint32_t stepMs, std::uint32_t untilMs,
                                   const std::vector<platform::InstrumentSync>& syncs = showSyncs(),
                                   std::uint32_t startTick = 5000);
std::vector<std::uint32_t> timesOf(const std::vector<Delivered>& d, int value);
