// Ctrl-C stops `quirnctl send-plan`: what is on the radio ends and is recorded as sent, the
// rest is reported not sent, and the program exits 1. POSIX-only: the interrupt is a signal.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <memory>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "fleetsend/SendLedger.h"
#include "ops/LogWriter.h"
#include "plans/DatabaseFiles.h"
#include "plans/Location.h"
#include "plans/PlanDatabase.h"
#include "plans/Step.h"
#include "platform/Clock.h"
#include "platform/FileSystem.h"
#include "tests/support/SimProcess.h"
#include "tests/support/SimulatorPath.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::simulatorPath;

// Eight images of 968 bytes: about 31 seconds on the air, more than the send keeps in flight.
constexpr int kLocations = 8;
constexpr int kPolls = 150;
constexpr int kPollMs = 100;
// What is in flight ends within the radio's own lead; the program must be gone by then.
constexpr int kExitWaitMs = 40000;

int count(const std::string& text, const std::string& what) {
    int n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(QuirnctlSendPlanStop, InterruptEndsWhatIsInFlightAndReportsTheRestNotSent) {
    if (simulatorPath().empty()) GTEST_SKIP() << "quirn-sim is not part of this build";
    test::TempFolder work;
    test::TempFolder scratch;
    PlanDatabase db;
    db.group(1, 1).setName("Elm");
    for (int n = 1; n <= kLocations; ++n) {
        Location l(1, 1, n);
        l.name = "Elm " + std::to_string(n);
        l.model = static_cast<int32_t>(TimeSwitchModel::MX40);
        db.addLocation(l);
    }
    db.addStep(Step::atTime(1, 1, kPlanNormal, 7, 15, kCommandOn));
    db.addStep(Step::atTime(1, 1, kPlanNormal, 8, 0, kCommandOff));
    const SystemClock clock;
    ASSERT_TRUE(saveDatabase(db, work.workingFolder(), clock.now()));
    ASSERT_TRUE(makeFolders(work.logs()));

    test::SimProcess radio(
        simulatorPath(),
        {"--model", "MX40", "--address", "1,1,1", "--pty", "--log", scratch.file("radio.log")},
        scratch.file("radio.err"));
    const std::string device = radio.firstLine();
    ASSERT_FALSE(device.empty()) << test::readFile(scratch.file("radio.err"));

    // Through the shell, whose exec leaves quirnctl with the shell's process id and its output
    // in a file that can be read while it runs.
    const std::string out = scratch.file("send.out");
    test::SimProcess send("/bin/sh",
                          {"-c", "exec \"$0\" \"$@\" >'" + out + "'", QUIRNCTL_PATH, "send-plan",
                           "--folder", work.path(), "--port", device, "--all"},
                          scratch.file("send.err"));
    ASSERT_TRUE(send.started());
    // A progress line comes once the send has run a few seconds: by then the radio has more on
    // the air than the switch has heard.
    bool progress = false;
    for (int poll = 0; poll < kPolls && !progress; ++poll) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
        progress = test::readFile(out).find("\nsending: ") != std::string::npos;
    }
    ASSERT_TRUE(progress) << test::readFile(out) << test::readFile(scratch.file("send.err"));
    EXPECT_EQ(test::readFile(out).rfind("8 messages, 7,744 bytes, to 8 locations.\n", 0), 0u)
        << test::readFile(out);
    EXPECT_NE(test::readFile(scratch.file("radio.log")).find(" rx MX40"), std::string::npos);
    ASSERT_EQ(::kill(static_cast<pid_t>(send.processId()), SIGINT), 0);
    EXPECT_EQ(send.waitExit(kExitWaitMs), 1) << test::readFile(scratch.file("send.err"));

    const std::string log =
        test::readFile(LogWriter(work.workingFolder()).logFileName(clock, kLogSystem));
    std::smatch m;
    ASSERT_TRUE(std::regex_search(log, m,
                                  std::regex("Sending programming to all locations stopped: "
                                             "([0-9]+) sent, 0 given up, ([0-9]+) not sent")))
        << log;
    const int sent = std::stoi(m[1]);
    const int notSent = std::stoi(m[2]);
    EXPECT_GE(sent, 1);
    EXPECT_GE(notSent, 1);
    EXPECT_EQ(sent + notSent, kLocations);
    // Exactly what went out is recorded as sent; the rest is still to send.
    SendLedger ledger;
    ASSERT_TRUE(ledger.load(work.file(SendLedger::kFileName)));
    int recorded = 0;
    for (int n = 1; n <= kLocations; ++n) {
        const SendLedger::Entry* e = ledger.find({1, 1, n});
        recorded += e != nullptr && !e->changed;
    }
    EXPECT_EQ(recorded, sent);

    const std::string printed = test::readFile(out);
    EXPECT_NE(printed.find("\nstopping: "), std::string::npos) << printed;
    EXPECT_EQ(count(printed, "\nnot sent: Elm "), notSent) << printed;
    EXPECT_NE(printed.find("\ngroup 1 of master group 1: " + std::to_string(sent) +
                           " sent, 0 given up, " + std::to_string(notSent) + " not sent"),
              std::string::npos)
        << printed;
    EXPECT_NE(printed.find("\nSending programming to all locations stopped: "), std::string::npos)
        << printed;
}

}  // namespace
}  // namespace quirn
