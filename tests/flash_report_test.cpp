// --flash-report over spans of the real show: the classic greetings fail where large squares
// pass close to the eye and the classic hall where the walk brushes past a pillar, the gentle
// show passes in both, and a report that cannot be written fails before the show starts,
// leaving nothing behind.
#include "tests/process_support.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace fs = std::filesystem;

namespace {

ProcessResult report(const fs::path& csv, std::vector<std::string> options) {
    options.insert(options.begin(), {"--flash-report", csv.string()});
    return runProgram(options, TUVERO_DATA_DIR);
}

void expectGentlePasses(const fs::path& folder, const std::string& from, const std::string& to) {
    const auto gentle = report(folder / "gentle.csv", {"--from", from, "--to", to, "--gentle"});
    EXPECT_EQ(gentle.exitCode, 0) << gentle.err;
    EXPECT_NE(gentle.out.find("flash report: passes"), std::string::npos) << gentle.out;
    EXPECT_EQ(countOf(fileContents(folder / "gentle.csv"), ",1\n"), 0);
}

} // namespace

TEST(FlashReport, TheGentleShowPassesWhereTheClassicGreetingsFail) {
    const fs::path folder = freshFolder("flash_report_greetings");
    const auto classic = report(folder / "classic.csv", {"--from", "159", "--to", "163"});
    EXPECT_EQ(classic.exitCode, 3) << classic.err;
    EXPECT_NE(classic.out.find("fails in 2 seconds, at 161-162 s (greetings;"), std::string::npos)
        << classic.out;
    // One line a frame after the header, each saying whether its frame fails.
    const std::string lines = fileContents(folder / "classic.csv");
    EXPECT_EQ(countOf(lines, "\n"), 1 + 4 * 60);
    EXPECT_EQ(lines.rfind("frame,seconds,scene,", 0), 0u);
    EXPECT_NE(lines.find("\n9660,161.000,11,"), std::string::npos);
    EXPECT_GT(countOf(lines, ",1\n"), 0);

    expectGentlePasses(folder, "159", "163");
}

TEST(FlashReport, TheGentleShowPassesWhereTheClassicHallFails) {
    const fs::path folder = freshFolder("flash_report_hall");
    const auto classic = report(folder / "classic.csv", {"--from", "70", "--to", "73"});
    EXPECT_EQ(classic.exitCode, 3) << classic.err;
    EXPECT_NE(classic.out.find("fails in 2 seconds, at 71-72 s (pillar hall;"), std::string::npos)
        << classic.out;
    expectGentlePasses(folder, "70", "73");
}

TEST(FlashReport, AReportThatCannotBeWrittenFailsAtOnceAndLeavesNothing) {
    const fs::path folder = freshFolder("flash_report_bad");
    const auto result = report(folder / "missing" / "r.csv", {});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_NE(result.err.find("cannot write " + (folder / "missing" / "r.csv").string()),
              std::string::npos)
        << result.err;
    EXPECT_TRUE(fs::is_empty(folder));
}
