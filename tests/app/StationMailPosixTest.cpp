// The whole station against mail servers on the loopback interface, on real time: a server that
// accepts and never answers must not hold the station, and a real server still gets every mail.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <ctime>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "app/StationApp.h"
#include "ops/LogWriter.h"
#include "platform/Paths.h"
#include "platform/TextLines.h"
#include "platform/VirtualTimerService.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/SmtpServerFixture.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::readFile;
using test::writeFile;
using SteadyClock = std::chrono::steady_clock;

constexpr int kTechnicians = 3;
constexpr int kCarriedRecords = 2;
constexpr int kMails = kTechnicians * kCarriedRecords;
constexpr int kMailTimeoutSeconds = 1;
// Every wait of the test is bounded by this much real time.
constexpr auto kTestBound = std::chrono::seconds(30);

long long msSince(SteadyClock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(SteadyClock::now() - start)
        .count();
}

// A station whose timers run on real time: a manual clock kept at the system's time, and the
// virtual timer service advanced by the real time that passed. A station call that blocks
// holds this loop, so the gaps between the probe's firings show it.
class StationMail : public ::testing::Test {
  protected:
    void SetUp() override {
        writeFile(folder.file("locations.csv"),
                  "Location,4,1,School,Elm School,7,127.0.0.5,1\r\n"
                  "Location,4,1,School,Oak School,8,127.0.0.5,1\r\n");
        writeFile(folder.file("groups.csv"), "Group,4,Elm,1\r\n");
        std::string errors;
        for (int n = 7; n < 7 + kCarriedRecords; ++n)
            errors += "ErrorValidateLocation," + std::to_string(std::time(nullptr) - 600) +
                      ",1,4," + std::to_string(n) + ", School Validate Failed\r\n";
        writeFile(folder.file("errors.csv"), errors);
        std::string mail;
        for (int t = 0; t < kTechnicians; ++t)
            mail += "MailUser,Tech" + std::to_string(t) + ",tech" + std::to_string(t) +
                    "@example.org,16,1\r\n";
        writeFile(folder.file("mail.csv"), mail);
    }
    void useMailServer(const std::string& address, unsigned port) {
        writeFile(folder.file("profile.csv"),
                  "RadioPort,0\r\nServer," + address + "\r\nSender,station@example.org\r\n");
        writeFile(folder.file("quirnradio.ini"),
                  "[Mail]\r\nPort=" + std::to_string(port) +
                      "\r\nTimeout=" + std::to_string(kMailTimeoutSeconds) + "\r\n");
    }
    // Runs the timers on real time until `done` holds (bounded); records the longest real gap
    // between two firings of a 100 ms probe timer.
    bool runUntil(const std::function<bool()>& done, const std::function<void()>& each = {}) {
        const auto start = SteadyClock::now();
        while (!done()) {
            if (SteadyClock::now() - start > kTestBound) return false;
            if (each) each();
            step();
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }
    void step() {
        const long long real = msSince(origin);
        timers.advanceMs(real - (clock.nowMs() - originMs));
    }
    void startProbe() {
        lastProbe = SteadyClock::now();
        timers.start(100, [this] {
            longestGapMs = std::max(longestGapMs, msSince(lastProbe));
            lastProbe = SteadyClock::now();
        });
    }
    std::vector<std::string> emailLines() {
        std::vector<std::string> lines;
        const std::string text = readFile(logWriter.logFileName(clock, kLogEMail));
        for (auto line : splitLines(text))
            if (!line.empty()) lines.emplace_back(line);
        return lines;
    }
    std::size_t failedLines() {
        std::size_t n = 0;
        for (const std::string& line : emailLines())
            n += line.find(", FAILED ") != std::string::npos;
        return n;
    }

    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock{std::time(nullptr)};
    const long long originMs = clock.nowMs();
    const SteadyClock::time_point origin = SteadyClock::now();
    VirtualTimerService timers{clock};
    SteadyClock::time_point lastProbe;
    long long longestGapMs = 0;
};

TEST_F(StationMail, ASilentMailServerNeverHoldsTheStation) {
    test::LoopbackServer silent("127.0.0.5");  // accepts, never answers
    ASSERT_TRUE(silent.ok());
    useMailServer("127.0.0.5", silent.port());

    StationApp app(clock, timers, working);
    const auto started = SteadyClock::now();
    ASSERT_TRUE(app.startUp());
    const long long startUpMs = msSince(started);
    EXPECT_LT(startUpMs, 2000) << "the window would wait this long to appear";
    startProbe();

    std::vector<long long> failedAtMs;
    ASSERT_TRUE(runUntil([&] { return failedAtMs.size() >= static_cast<std::size_t>(kMails); },
                         [&] {
                             silent.acceptPending();
                             while (failedAtMs.size() < failedLines())
                                 failedAtMs.push_back(msSince(started));
                         }))
        << "FAILED lines seen: " << failedAtMs.size();
    std::printf(
        "[ station  ] start-up %lld ms; longest gap between ticks %lld ms while %d mails "
        "timed out\n",
        startUpMs, longestGapMs, kMails);
    EXPECT_LT(longestGapMs, 600);
    // One mail at a time, each after its full time-out: the k-th failure comes no earlier than
    // k time-outs after the start.
    for (std::size_t k = 0; k < failedAtMs.size(); ++k)
        EXPECT_GE(failedAtMs[k], static_cast<long long>(k + 1) * kMailTimeoutSeconds * 1000 - 50)
            << "mail " << k;
    EXPECT_EQ(emailLines().size(), static_cast<std::size_t>(kMails));
    const auto shutdownStart = SteadyClock::now();
    app.shutDown();
    EXPECT_LT(msSince(shutdownStart), 2000);
}

TEST_F(StationMail, MailsNotSentAtTheEndGetOneLinePerTechnicianAndAreCountedOnce) {
    test::LoopbackServer silent("127.0.0.5");
    ASSERT_TRUE(silent.ok());
    useMailServer("127.0.0.5", silent.port());
    // Long enough that nothing finishes before the end.
    writeFile(folder.file("quirnradio.ini"),
              "[Mail]\r\nPort=" + std::to_string(silent.port()) + "\r\nTimeout=30\r\n");
    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    step();
    EXPECT_EQ(app.mailSender().unfinished(), static_cast<std::size_t>(kMails));
    const auto shutdownStart = SteadyClock::now();
    app.shutDown();
    const long long shutdownMs = msSince(shutdownStart);
    // The bounded wait, then the dialogue under way is cut short.
    EXPECT_GE(shutdownMs, StationApp::kMailShutdownWaitMs - 100);
    EXPECT_LT(shutdownMs, StationApp::kMailShutdownWaitMs + 3000);
    const std::string system = readFile(logWriter.logFileName(clock, kLogSystem));
    EXPECT_NE(system.find(std::to_string(kMails) + " mails were not sent"), std::string::npos)
        << system;
    // Each technician once, the mail cut short among their others and not also as a failed
    // delivery of its own.
    std::vector<std::string> expected;
    for (int t = 0; t < kTechnicians; ++t)
        expected.push_back("To: tech" + std::to_string(t) + "@example.org, FAILED Tech" +
                           std::to_string(t) + ": " + std::to_string(kCarriedRecords) +
                           " mails not sent, the program ended before the mail server took them");
    std::vector<std::string> got;
    for (const std::string& line : emailLines()) got.push_back(line.substr(line.find(',') + 1));
    EXPECT_EQ(got, expected);
}

TEST_F(StationMail, ARealServerGetsEveryMailWithItsTimeOfWriting) {
    test::SmtpServerFixture server;
    ASSERT_TRUE(server.ok()) << server.error();
    useMailServer("127.0.0.1", server.port());
    StationApp app(clock, timers, working);
    ASSERT_TRUE(app.startUp());
    startProbe();
    ASSERT_TRUE(runUntil([&] { return emailLines().size() >= static_cast<std::size_t>(kMails); }));
    ASSERT_TRUE(server.waitForMessages(kMails));
    for (int i = 0; i < kMails; ++i) {
        auto got = server.message(static_cast<std::size_t>(i));
        ASSERT_TRUE(got.has_value());
        EXPECT_EQ(got->recipients, std::vector<std::string>{
                                       "tech" + std::to_string(i % kTechnicians) + "@example.org"});
        EXPECT_NE(got->data.find("Subject: Message from Quirn Radio\r\n"), std::string::npos);
        EXPECT_NE(got->data.find("Validate Failed"), std::string::npos) << got->data;
    }
    for (const std::string& line : emailLines())
        EXPECT_EQ(line.find("FAILED"), std::string::npos) << line;
    app.shutDown();
    EXPECT_EQ(readFile(logWriter.logFileName(clock, kLogSystem)).find("not sent"),
              std::string::npos);
}

// Hostile servers: one that refuses every command, one whose greeting trickles in forever and
// one whose multi-line greeting never ends. Each mail fails within its time-out, is logged once,
// and the station's ticks go on meanwhile.
TEST_F(StationMail, HostileMailServersFailEachMailOnceWithinItsTimeOut) {
    for (const char* mode : {"refuse", "trickle", "endless"}) {
        SCOPED_TRACE(mode);
        test::SmtpServerFixture::Options options;
        options.mode = mode;
        test::SmtpServerFixture server(options);
        ASSERT_TRUE(server.ok()) << server.error();
        useMailServer("127.0.0.1", server.port());
        std::remove(logWriter.logFileName(clock, kLogEMail).c_str());
        longestGapMs = 0;
        StationApp app(clock, timers, working);
        ASSERT_TRUE(app.startUp());
        startProbe();
        const auto started = SteadyClock::now();
        ASSERT_TRUE(runUntil([&] { return failedLines() >= static_cast<std::size_t>(kMails); }))
            << "FAILED lines seen: " << failedLines();
        const long long allFailedMs = msSince(started);
        std::printf("[ %-8s ] %d mails failed in %lld ms; longest gap between ticks %lld ms\n",
                    mode, kMails, allFailedMs, longestGapMs);
        EXPECT_LT(longestGapMs, 600);
        // Each mail takes at most its connect and greeting time-outs, one after another.
        EXPECT_LT(allFailedMs, kMails * (2 * kMailTimeoutSeconds * 1000 + 500));
        EXPECT_EQ(emailLines().size(), static_cast<std::size_t>(kMails));
        app.shutDown();
        EXPECT_EQ(readFile(logWriter.logFileName(clock, kLogSystem)).find("not sent"),
                  std::string::npos);
    }
}

}  // namespace
}  // namespace quirn
