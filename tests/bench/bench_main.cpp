// The one main of the benchmark binary; the benchmarks register themselves.
#include <benchmark/benchmark.h>

BENCHMARK_MAIN();
