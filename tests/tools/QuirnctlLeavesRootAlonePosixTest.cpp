// quirnctl's promise: it never writes into the working folder it is given, whatever the
// command does on the line (POSIX only: the line is a pseudo-terminal).
#include <gtest/gtest.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "QuirnctlRunner.h"
#include "tests/support/PtyPair.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

namespace fs = std::filesystem;

// Every file and folder under `root`, by its relative path, with the bytes of the files.
std::map<std::string, std::string> contents(const std::string& root) {
    std::map<std::string, std::string> all;
    for (const auto& entry : fs::recursive_directory_iterator(root)) {
        const std::string relative = fs::relative(entry.path(), root).string();
        all[relative] =
            entry.is_directory() ? std::string("<folder>") : test::readFile(entry.path().string());
    }
    return all;
}

class QuirnctlLeavesRootAlone : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(pty.ok()); }
    // A station's folder as the station leaves it, with a location on the serial radio; a
    // fresh one for every command, so that each is seen on its own.
    static void writeStationFolder(const test::TempFolder& work) {
        ASSERT_TRUE(test::writeFile(work.file("groups.csv"), "Group,1,Bench,1\r\n"));
        ASSERT_TRUE(test::writeFile(work.file("locations.csv"),
                                    "Location,1,1,School,Bench Switch,1,127.0.0.2,1\r\n"));
        ASSERT_TRUE(test::writeFile(work.file("dayplan.csv"), ""));
        ASSERT_TRUE(test::writeFile(work.file("steps.csv"), ""));
        ASSERT_TRUE(test::writeFile(work.file("profile.csv"), "RadioPort,1\r\n"));
        ASSERT_TRUE(test::writeFile(work.file("quirnradio.ini"),
                                    "[Commo]\r\nBaud=2400\r\nIPPort=2001\r\n"));
        // A station's log folder is there: what the tool sends is logged by the station only.
        ASSERT_TRUE(fs::create_directory(work.logs()));
    }
    void expectUntouchedBy(const std::vector<std::string>& args) {
        const test::TempFolder work;
        writeStationFolder(work);
        const auto before = contents(work.path());
        std::vector<std::string> all = {"--root", work.path()};
        all.insert(all.end(), args.begin(), args.end());
        const test::ToolRun run = test::runQuirnctl(all, scratch.path());
        std::string command;
        for (const std::string& a : args) command += a + " ";
        EXPECT_EQ(contents(work.path()), before) << command << "(exit " << run.exitCode << ")\n"
                                                 << run.err;
    }

    test::TempFolder scratch;
    test::PtyPair pty;
};

// Before: each of these created imsi.csv in the folder, the type and baud choices were
// written into its quirnradio.ini, and what went out on the line into its Transmit log.
TEST_F(QuirnctlLeavesRootAlone, LoaderJobsAndTimeTestsWriteNothingIntoTheFolder) {
    const std::string absent = scratch.file("no-such-device");
    expectUntouchedBy({"loader", "--port", absent, "time"});
    expectUntouchedBy({"timetest", "--port", absent, "step16"});
    expectUntouchedBy({"loader", "--port", pty.slavePath(), "--type", "1", "time"});
    expectUntouchedBy({"loader", "--port", pty.slavePath(), "pc-baud", "4800"});
    // The time did go out on the line: the folder stayed as it was while the job ran.
    EXPECT_FALSE(pty.receive().empty());
}

}  // namespace
}  // namespace quirn
