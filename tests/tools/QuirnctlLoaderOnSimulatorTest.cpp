// "quirnctl loader" writes a group into the simulated QN510 on the device quirn-sim serves (a
// pseudo-terminal, or on Windows a named pipe given as --port) and reads it back, in real time:
// the read waits its 7 seconds.
#include <gtest/gtest.h>

#include <memory>
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

constexpr const char* kAttachedQn510 = "0";

class QuirnctlLoaderOnSimulator : public ::testing::Test {
  protected:
    void SetUp() override {
        if (simulatorPath().empty()) GTEST_SKIP() << "quirn-sim is not part of this build";
        test::writeFile(work.file("groups.csv"), "Group,1,Elm Street,1\r\n");
        test::writeFile(work.file("locations.csv"),
                        "Location,1,1,School,Elm Street School,1,127.0.0.2,0\r\n");
        test::writeFile(work.file("dayplan.csv"), "");
        test::writeFile(work.file("steps.csv"), "Step,1,1,435,1,1\r\nStep,1,1,510,1,0\r\n");
        sim = std::make_unique<test::SimProcess>(
            simulatorPath(),
            std::vector<std::string>{"--model", "QN510", "--address", "1,1,1", "--pty"},
            scratch.file("sim.err"));
        ASSERT_TRUE(sim->started());
        device = sim->firstLine();
        ASSERT_FALSE(device.empty()) << test::readFile(scratch.file("sim.err"));
    }
    ToolRun job(const std::string& what) {
        return test::runQuirnctl({"--root", work.path(), "loader", "--port", device, "--type",
                                  kAttachedQn510, what, "1", "1"},
                                 scratch.path());
    }

    test::TempFolder work;
    test::TempFolder scratch;
    std::unique_ptr<test::SimProcess> sim;
    std::string device;
};

TEST_F(QuirnctlLoaderOnSimulator, WriteThenReadMatchesAndAChangedPlanDiffers) {
#ifdef _WIN32
    EXPECT_EQ(device.rfind("\\\\.\\pipe\\", 0), 0u) << device;
#endif
    const ToolRun write = job("write");
    ASSERT_EQ(write.exitCode, 0) << write.out << write.err;
    const ToolRun read = job("read");
    EXPECT_EQ(read.exitCode, 0) << read.out << read.err;
    EXPECT_NE(read.out.find("Program matches the group."), std::string::npos) << read.out;

    // The plan moves away from what the switch holds.
    test::writeFile(work.file("steps.csv"), "Step,1,1,600,1,1\r\nStep,1,1,640,1,0\r\n");
    const ToolRun changed = job("read");
    EXPECT_EQ(changed.exitCode, 1) << changed.out << changed.err;
    EXPECT_NE(changed.out.find("Program differs from the group."), std::string::npos)
        << changed.out;
}

}  // namespace
}  // namespace quirn
