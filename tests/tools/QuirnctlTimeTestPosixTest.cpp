#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <string>
#include <vector>

#include "QuirnctlRunner.h"
#include "tests/support/SimProcess.h"
#include "tests/support/SimulatorPath.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::simulatorPath;

using test::ToolRun;

// A working folder whose location 1 of group 1 is an MX40 on the serial radio.
void writeBench(const test::TempFolder& folder, const std::string& connection = "127.0.0.2") {
    test::writeFile(folder.file("groups.csv"), "Group,1,Bench,1\r\n");
    test::writeFile(folder.file("locations.csv"),
                    "Location,1,1,School,Bench Switch,1," + connection + ",1\r\n");
    test::writeFile(folder.file("dayplan.csv"), "");
    test::writeFile(folder.file("steps.csv"), "");
}

// Lines as the window shows them: "Thursday, December 31, 2037, 23:59.53: <text>".
std::vector<std::string> texts(const std::string& out) {
    static const std::regex prefixed(
        R"(^[A-Z][a-z]+day, [A-Z][a-z]+ \d\d, \d{4}, \d\d:\d\d\.\d\d: (.*)$)");
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < out.size()) {
        std::size_t end = out.find('\n', start);
        if (end == std::string::npos) end = out.size();
        std::string line = out.substr(start, end - start);
        std::smatch m;
        if (std::regex_match(line, m, prefixed))
            lines.push_back(m[1]);
        else
            lines.push_back("unprefixed: " + line);
        start = end + 1;
    }
    return lines;
}

// quirnctl timetest against a quirn-sim process on a pseudo-terminal, in real time: the date
// flip reads the clock more than 9 seconds after setting it, and waits 19 more for a lost
// answer, so these runs take about 10 and 29 seconds.
class QuirnctlTimeTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (simulatorPath().empty()) GTEST_SKIP() << "quirn-sim is not part of this build";
        writeBench(work);
    }
    std::string startSim(const std::vector<std::string>& faults) {
        std::vector<std::string> args = {"--model", "MX40", "--address", "1,1,1", "--pty"};
        args.insert(args.end(), faults.begin(), faults.end());
        sim = std::make_unique<test::SimProcess>(simulatorPath(), args, scratch.file("sim.err"));
        return sim->started() ? sim->firstLine() : std::string();
    }
    ToolRun dateFlip(const std::string& port) {
        return test::runQuirnctl({"--root", work.path(), "timetest", "date-flip", "--port", port,
                                  "--date", "2037-12-31"},
                                 scratch.path());
    }

    test::TempFolder work;
    test::TempFolder scratch;
    std::unique_ptr<test::SimProcess> sim;
};

TEST_F(QuirnctlTimeTest, DateFlipOnTheLastDayOf2037PassesAndEnds) {
    const std::string port = startSim({});
    ASSERT_FALSE(port.empty()) << test::readTextFile(scratch.file("sim.err"));
    ToolRun run = dateFlip(port);
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(texts(run.out), (std::vector<std::string>{
                                  "Starting test date flip.  Should run about 5 hours.",
                                  "TestDateFlip: PASSED Start Time",
                                  "TestDateFlip: Test Complete",
                                  "TestDateFlip: Summary: 1 passed, 0 failed.",
                              }))
        << run.out;
    EXPECT_NE(test::readTextFile(scratch.file("sim.err")).find("time set to 2037-12-31 23:59:53"),
              std::string::npos);
}

TEST_F(QuirnctlTimeTest, SilentSwitchGivesCommoLossAndExitOne) {
    const std::string port = startSim({"--no-answer"});
    ASSERT_FALSE(port.empty()) << test::readTextFile(scratch.file("sim.err"));
    ToolRun run = dateFlip(port);
    EXPECT_EQ(run.exitCode, 1) << run.err;
    EXPECT_EQ(texts(run.out),
              (std::vector<std::string>{
                  "Starting test date flip.  Should run about 5 hours.",
                  "TestDateFlip: FAILED Commo Loss",
                  "TestDateFlip: Test Complete",
                  "TestDateFlip: Summary: 0 passed, 1 failed. First failure: TestDateFlip: FAILED "
                  "Commo Loss",
              }))
        << run.out;
}

TEST(QuirnctlTimeTestNotice, SaysWhatItReplacesAndHowLongBeforeItOpensThePort) {
    test::TempFolder work;
    test::TempFolder scratch;
    writeBench(work);
    const std::string missing = scratch.file("no-such-port");
    ToolRun run = test::runQuirnctl(
        {"--root", work.path(), "timetest", "step16", "--port", missing}, scratch.path());
    EXPECT_EQ(run.exitCode, 2) << run.err;
    EXPECT_NE(run.err.find("quirnctl: timetest step16 runs about 3 hours. It replaces the "
                           "programming of group 1 of master group 1 (\"Bench\"), with location "
                           "1 \"Bench Switch\" (MX40) in memory only (the working folder is not "
                           "written) and sends its own to location 1.\n"),
              std::string::npos)
        << run.err;
    run = test::runQuirnctl({"--root", work.path(), "timetest", "all", "--port", missing},
                            scratch.path());
    EXPECT_NE(run.err.find("quirnctl: timetest all runs about 31 hours 10 minutes (over a day)."),
              std::string::npos)
        << run.err;
    run = test::runQuirnctl({"--root", work.path(), "timetest", "date-flip", "--port", missing},
                            scratch.path());
    EXPECT_NE(run.err.find("quirnctl: timetest date-flip runs about 5 hours.\n"), std::string::npos)
        << run.err;
    EXPECT_EQ(run.err.find("replaces"), std::string::npos) << run.err;
}

TEST(QuirnctlTimeTestRefusals, WhatCannotRunExitsTwoWithALine) {
    test::TempFolder work;
    test::TempFolder wifi;
    test::TempFolder empty;
    test::TempFolder scratch;
    writeBench(work);
    writeBench(wifi, "127.0.0.9");
    writeBench(empty);
    test::writeFile(empty.file("locations.csv"), "");
    struct Row {
        std::vector<std::string> args;
        const char* says;
    };
    const std::string missing = scratch.file("no-such-port");
    const std::vector<Row> rows = {
        {{"--root", work.path(), "timetest", "date-flip"}, "needs --port"},
        {{"--root", work.path(), "timetest", "weekly", "--port", missing}, "usage:"},
        {{"--root", work.path(), "timetest", "dst", "--port", missing, "--date", "2038-01-01"},
         "bad --date"},
        {{"--root", work.path(), "timetest", "dst", "--port", missing, "--type", "7"}, "--type"},
        {{"--root", scratch.file("nowhere"), "timetest", "dst", "--port", missing},
         "no such folder"},
        {{"--root", scratch.path(), "timetest", "dst", "--port", missing}, "not a working folder"},
        {{"--root", empty.path(), "timetest", "dst", "--port", missing}, "no location 1"},
        {{"--root", wifi.path(), "timetest", "dst", "--port", missing}, "127.0.0.9"},
        {{"--root", work.path(), "timetest", "dst", "--port", missing}, "cannot open"},
    };
    for (const Row& row : rows) {
        ToolRun run = test::runQuirnctl(row.args, scratch.path());
        EXPECT_EQ(run.exitCode, 2) << row.says;
        EXPECT_NE(run.err.find(row.says), std::string::npos) << row.says << ": " << run.err;
        EXPECT_TRUE(run.out.empty()) << run.out;
    }
}

}  // namespace
}  // namespace quirn
