// The benchmark's numbers and both its reports: percentiles by the nearest-rank rule, the table a
// person reads and the JSON a script reads; and an output it cannot write fails before the run.
#include "offline/benchmark.h"
#include "tests/process_support.h"

#include <chrono>
#include <gtest/gtest.h>
#include <regex>

namespace {

TEST(BenchmarkReport, SummariesTablesAndJsonCarryTheSameNumbers) {
    // 1..20 ms shuffled: median 10.5 (even count), 95th percentile the 19th value, max 20.
    std::vector<double> samples;
    for (int i = 0; i < 20; ++i)
        samples.push_back((i * 7) % 20 + 1);
    // Draw calls per frame: 100 to 119 shuffled, median the upper middle one.
    std::vector<long> draws;
    for (int i = 0; i < 20; ++i)
        draws.push_back(100 + (i * 3) % 20);
    const SceneTimes times = summarise(3, samples, draws);
    EXPECT_EQ(times.entry, 3);
    EXPECT_EQ(times.frames, 20);
    EXPECT_DOUBLE_EQ(times.medianMs, 10.5);
    EXPECT_DOUBLE_EQ(times.p95Ms, 19);
    EXPECT_DOUBLE_EQ(times.maxMs, 20);
    EXPECT_EQ(times.medianDraws, 110);
    const SceneTimes one = summarise(5, {4.25});
    EXPECT_TRUE(one.medianMs == 4.25 && one.p95Ms == 4.25 && one.maxMs == 4.25);
    EXPECT_EQ(summarise(7, {}).frames, 0);

    BenchmarkReport report;
    report.scenes = {times, one};
    report.loadingMs = 812.4;
    report.slowestLoadMs = 61.25;
    report.wallSeconds = 40;
    report.showSeconds = 160;
    report.floorMs = 0.5;

    const std::string table = formatReportTable(report);
    const auto hasLine = [&](const char* pattern) {
        return std::regex_search(table, std::regex(pattern, std::regex::multiline));
    };
    EXPECT_TRUE(hasLine(R"(^entry +frames +median_ms +p95_ms +max_ms +fps\(med\) +draws$)"))
        << table;
    EXPECT_TRUE(hasLine(R"(^3 +20 +10\.50 +19\.00 +20\.00 +95 +110$)")) << table;
    EXPECT_TRUE(hasLine(R"(^5 +1 +4\.25 +4\.25 +4\.25 +235 +0$)")) << table;
    EXPECT_TRUE(hasLine(R"(^loading: 812 ms in all, slowest unit 61\.2 ms$)")) << table;
    EXPECT_TRUE(hasLine(R"(^wall time 40\.0 s for a show of 160\.0 s \(4\.00x real time\)$)"))
        << table;

    const std::string json = formatReportJson(report);
    EXPECT_EQ(json,
              "{\"scenes\": [{\"entry\": 3, \"frames\": 20, \"median_ms\": 10.500, "
              "\"p95_ms\": 19.000, \"max_ms\": 20.000, \"median_draws\": 110}, {\"entry\": 5, "
              "\"frames\": 1, "
              "\"median_ms\": 4.250, \"p95_ms\": 4.250, \"max_ms\": 4.250, \"median_draws\": 0}], "
              "\"loading_ms\": 812.4, \"slowest_load_ms\": 61.2, \"wall_s\": 40.00, "
              "\"show_s\": 160.00, \"floor_ms\": 0.500}\n");
    // No scene ran: still a whole JSON document, its list empty.
    EXPECT_EQ(formatReportJson(BenchmarkReport{}).rfind("{\"scenes\": [], \"loading_ms\": 0.0", 0),
              0u);
}

// Outputs that cannot be written are refused before the run, not after it.
TEST(BenchmarkReport, AnUnwritableOutputFailsBeforeTheRun) {
    for (const std::vector<std::string>& options : std::vector<std::vector<std::string>>{
             {"--benchmark-json", "/nonexistent/b.json"},
             {"--window", "--silent", "--hidden", "--screenshot", "/nonexistent/s.png"},
             {"--benchmark-json", "/tmp"}}) {
        SCOPED_TRACE(options[options.size() - 1]);
        const auto started = std::chrono::steady_clock::now();
        const ProcessResult result = runProgram(options, TUVERO_DATA_DIR, 60);
        EXPECT_EQ(result.exitCode, 1) << result.err;
        EXPECT_EQ(result.err.rfind("tuvero: ", 0), 0u) << result.err;
        EXPECT_NE(result.err.find(options.back()), std::string::npos) << result.err;
        EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(10));
    }
}

} // namespace
