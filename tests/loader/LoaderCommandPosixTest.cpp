#include <gtest/gtest.h>
#include <termios.h>

#include <cstdlib>
#include <string>
#include <vector>

#include "plans/DatabaseFiles.h"
#include "plans/PlanDatabase.h"
#include "platform/ProfileStore.h"
#include "protocol/PagedCommands.h"
#include "tests/support/PtyPair.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {
namespace {

struct ToolRun {
    int exitCode = -1;
    std::string out;
    std::string err;
};

// A word for /bin/sh in single quotes.
std::string shellWord(const std::string& word) {
    std::string quoted = "'";
    for (char c : word) quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The jobs that finish without waiting for ticks (and the refusals) of "quirnctl loader", run
// through the built program on a pseudo-terminal. Reads and writes take their real seconds
// there and are covered on the manual clock by the controller tests.
class LoaderCommandPosixTest : public ::testing::Test {
  protected:
    void SetUp() override {
#ifndef QUIRNCTL_PATH
        GTEST_SKIP() << "quirnctl is not part of this build";
#endif
        ASSERT_TRUE(pty.ok());
        PlanDatabase db;
        Group& g = db.group(1, 5);
        g.setName("Elm Street");
        g.addStep(Step::atTime(1, 5, 1, 7, 0, 1));
        g.setDefaultDay(2, 1);
        ASSERT_TRUE(saveDatabase(db, working, std::time(nullptr)));
    }

    ToolRun quirnctl(const std::vector<std::string>& args) {
        ToolRun run;
#ifdef QUIRNCTL_PATH
        std::string command = shellWord(QUIRNCTL_PATH);
        for (const std::string& a : args) command += " " + shellWord(a);
        std::string out = folder.file("stdout"), err = folder.file("stderr");
        command += " >" + shellWord(out) + " 2>" + shellWord(err);
        int status = std::system(command.c_str());
        run.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
        run.out = readFile(out);
        run.err = readFile(err);
#endif
        return run;
    }
    std::vector<std::string> loader(std::vector<std::string> job, const std::string& type = "") {
        std::vector<std::string> args = {"--root", folder.path(), "loader", "--port",
                                         pty.slavePath()};
        if (!type.empty()) args.insert(args.end(), {"--type", type});
        args.insert(args.end(), job.begin(), job.end());
        return args;
    }

    TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    PtyPair pty;
};

TEST_F(LoaderCommandPosixTest, RefusesBadCommandLinesWithExitTwo) {
    const std::vector<std::vector<std::string>> bad = {
        {"loader", "time"},             // no --port
        loader({"jump"}),               // no such job
        loader({"read", "1"}),          // missing group
        loader({"on", "1", "5", "7"}),  // one too many
        loader({"baud", "9600"}),       // not a loader rate
        loader({"pc-baud", "four"}),    //
        loader({"time"}, "7"),          // no such type
        loader({"read", "11", "5"}),    // master group out of range
        loader({"read", "1", "42"}),    // no such group
        {"--root", folder.path(), "loader", "--port", "/nonexistent/tty", "time"},
    };
    for (const auto& args : bad) {
        std::string line;
        for (const auto& a : args) line += a + " ";
        ToolRun run = quirnctl(args);
        EXPECT_EQ(run.exitCode, 2) << line;
        EXPECT_FALSE(run.err.empty()) << line;
        EXPECT_TRUE(run.out.empty()) << line;
    }
    EXPECT_TRUE(pty.receive(1, 50).empty()) << "nothing went out";
}

TEST_F(LoaderCommandPosixTest, ManualJobsSendTheCommandOfTheType) {
    ToolRun on = quirnctl(loader({"on", "1", "5"}, "1"));
    EXPECT_EQ(on.exitCode, 0) << on.err;
    EXPECT_EQ(pty.receive(6, 1000), std::string("$M\x01\x05\x00\x03", 6));
    // Said once the bytes have left the port, as the loader window says it.
    EXPECT_EQ(on.out.rfind("Manual ON sent to group ", 0), 0u) << on.out;

    ToolRun off = quirnctl(loader({"off", "1", "5"}, "0"));
    EXPECT_EQ(off.exitCode, 0) << off.err;
    std::string expected = ManualCommand(1, 5, 0, false, false).bytes();
    EXPECT_EQ(pty.receive(expected.size(), 1000), expected);
}

TEST_F(LoaderCommandPosixTest, PcBaudSetsTheLineAndLeavesTheStationsRateAlone) {
    ToolRun run = quirnctl(loader({"pc-baud", "4800"}, "2"));
    EXPECT_EQ(run.exitCode, 0) << run.err;
    EXPECT_EQ(run.out, "Baud rate changed to 4800 for PC.\n");
    termios line{};
    ASSERT_TRUE(pty.slaveSettings(line));
    EXPECT_EQ(cfgetospeed(&line), static_cast<speed_t>(B4800));
    // The tool never writes into the working folder: the station's own rate stays as it was.
    ProfileStore profile(folder.file(kProfileStoreFileName));
    EXPECT_EQ(profile.getInt("Commo", "Baud", 0), 0);
}

}  // namespace
}  // namespace quirn::test
