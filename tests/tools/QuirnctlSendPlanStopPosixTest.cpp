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
constexpr int kPolls = 100;
constexpr int kPollMs = 100;
// What is in flight ends within the radio's own lead; the program must be gone by then.
constexpr int kExitWaitMs = 40000;

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

    test::SimProcess send(QUIRNCTL_PATH,
                          {"send-plan", "--folder", work.path(), "--port", device, "--all"},
                          scratch.file("send.err"));
    ASSERT_EQ(send.firstLine(), "8 messages, 7,744 bytes, to 8 locations.")
        << test::readFile(scratch.file("send.err"));
    // Once the switch heard the first image, the send has more on the air than that one.
    bool heard = false;
    for (int poll = 0; poll < kPolls && !heard; ++poll) {
        std::this_thread::sleep_for(std::chrono::milliseconds(kPollMs));
        heard = test::readFile(scratch.file("radio.log")).find(" rx MX40") != std::string::npos;
    }
    ASSERT_TRUE(heard) << test::readFile(scratch.file("radio.log"));
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
}

}  // namespace
}  // namespace quirn
