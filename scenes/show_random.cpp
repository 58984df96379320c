#include "scenes/show_random.h"

#include <cstdint>

namespace {

// An additive feedback generator: r[i] = r[i - 3] + r[i - 31] (mod 2^32), each result the value
// shifted right by one. The first 31 values come from the seed by a Park-Miller step, and the
// first 310 results are thrown away.
constexpr int lag = 31, shortLag = 3, warmUp = 310;

struct State {
    std::uint32_t r[lag];
    int at = 0; // the next value to be replaced
};
State state;

std::uint32_t step() {
    const int shortIndex = (state.at + lag - shortLag) % lag;
    state.r[state.at] += state.r[shortIndex];
    const std::uint32_t value = state.r[state.at];
    state.at = (state.at + 1) % lag;
    return value;
}

} // namespace

void seedShowRandom(unsigned seed) {
    if (seed == 0) seed = 1;
    std::int64_t word = static_cast<std::int32_t>(seed);
    state.r[0] = static_cast<std::uint32_t>(word);
    for (int i = 1; i < lag; ++i) {
        // 16807 * word mod (2^31 - 1), by Schrage's method on signed 32-bit values.
        const std::int64_t hi = word / 127773, lo = word % 127773;
        word = 16807 * lo - 2836 * hi;
        if (word < 0) word += 2147483647;
        state.r[i] = static_cast<std::uint32_t>(word);
    }
    state.at = shortLag; // the first sum adds the seed's own value
    for (int i = 0; i < warmUp; ++i) step();
}

int showRandom() { return static_cast<int>(step() >> 1); }
