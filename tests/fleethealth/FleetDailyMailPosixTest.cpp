// The technicians' daily mail about the fleet, through the station's background mail sender to
// a real SMTP server on the loopback interface, on the manual clock.
#include <gtest/gtest.h>

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "comms/BackgroundMailSender.h"
#include "fleethealth/FleetDailyMail.h"
#include "fleethealth/HistoryFileSource.h"
#include "fleethealth/ReadHistoryStore.h"
#include "ops/ErrorList.h"
#include "ops/LocationNames.h"
#include "ops/PlanLocationNames.h"
#include "ops/TechnicianList.h"
#include "platform/LocalTime.h"
#include "platform/ProfileStore.h"
#include "tests/fleethealth/FleetHistoryFile.h"
#include "tests/fleethealth/FleetTestFacts.h"
#include "tests/support/FleetGenerator.h"
#include "tests/support/SmtpServerFixture.h"
#include "tests/support/TempFolder.h"

namespace quirn::test {
namespace {

constexpr int kMailWaitMs = 10000;
// Polls of the station's timer a check may take at most (slices, then the worker's real
// thread), a millisecond apart.
constexpr int kMaxPolls = 10000;
constexpr auto kPollGap = std::chrono::milliseconds(1);

class NoValidateMail final : public ValidateFailureListener {
  public:
    void notifyValidateFailure(const ErrorRecord&) override {}
};

class FleetDailyMailTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(smtp.ok()) << smtp.error();
        generateFleet(db, FleetShape{}, clock.now());
        facts = makeFleetFacts(db, clock.now());
        // On duty for validate failures: mailed. Off duty, or on duty for the start only: not.
        technicians.add({"Ann", "ann@example.org", 16, true});
        technicians.add({"Bob", "bob@example.org", 16, false});
        technicians.add({"Cy", "cy@example.org", 1, true});
        technicians.add({"Di", "di@example.org", 31, true});
        sender.setPort(smtp.port());
        sender.setTimeoutMs(kMailWaitMs);
    }
    // The fleet's reads in a real history file, changed first by `change`.
    void writeHistory(const std::function<void(std::vector<ReadRecord>&)>& change = {}) {
        std::vector<ReadRecord> reads = fleetHistoryReads(db, facts, clock.now());
        if (change) change(reads);
        ReadHistoryStore store;
        ASSERT_TRUE(store.open(historyPath, clock.now()).ok()) << store.lastError();
        ASSERT_TRUE(store.insert(reads)) << store.lastError();
    }
    std::unique_ptr<FleetDailyMail> makeMail() {
        auto mail = std::make_unique<FleetDailyMail>(
            FleetMailParts{clock, db, errors, technicians, sender, &profile});
        mail->setMailAccount("127.0.0.1", "station@example.org");
        mail->setHistory(&history);
        return mail;
    }
    // The scheduler's tick at the given local time of 16 March 2026 (+days), then the poll
    // timer until the check has ended; the mails handed to the sender.
    std::size_t runAt(FleetDailyMail& mail, int hour, int minute, int days = 0) {
        clock.set(fromLocal(2026, 3, 16 + days, hour, minute, 0));
        mail.minuteTick();
        std::size_t handed = 0;
        for (int i = 0; i < kMaxPolls && mail.checking(); ++i) {
            handed += mail.poll();
            if (mail.checking()) std::this_thread::sleep_for(kPollGap);
        }
        EXPECT_FALSE(mail.checking());
        return handed;
    }

    SmtpServerFixture smtp;
    TempFolder folder;
    ManualClock clock{fromLocal(2026, 3, 16, 6, 0, 0)};
    PlanDatabase db;
    FleetFacts facts;
    const std::string historyPath = folder.file(kHistoryFileName);
    HistoryFileSource history{historyPath};
    NoValidateMail noMail;
    ErrorList errors{clock, folder.workingFolder(), noMail};
    BackgroundMailSender sender{clock, LogWriter(folder.workingFolder())};
    PlanLocationNames names{db};
    TechnicianList technicians{clock, folder.workingFolder(), sender, names};
    ProfileStore profile{folder.file("quirnradio.ini")};
};

TEST_F(FleetDailyMailTest, At0630TheTechniciansOnDutyGetTheCountsAndTheWorst) {
    writeHistory();
    auto mail = makeMail();
    EXPECT_EQ(runAt(*mail, 6, 29), 0u);
    EXPECT_EQ(runAt(*mail, 6, 30), 2u);
    ASSERT_TRUE(smtp.waitForMessages(2, kMailWaitMs));
    const auto first = smtp.message(0);
    const auto second = smtp.message(1);
    ASSERT_TRUE(first && second);
    EXPECT_EQ(first->recipients, std::vector<std::string>{"ann@example.org"});
    EXPECT_EQ(second->recipients, std::vector<std::string>{"di@example.org"});
    EXPECT_EQ(first->parsedValue("subject"), "Quirn Radio fleet: 4 locations need attention");
    const std::string body = first->parsedValue("body").value_or("");
    EXPECT_NE(body.find("Quirn Radio fleet check, Monday, March 16, 2026, 06:30"),
              std::string::npos)
        << body;
    EXPECT_NE(body.find("Wrong clock: 1\n"), std::string::npos) << body;
    EXPECT_NE(body.find("Program differs: 1\n"), std::string::npos) << body;
    EXPECT_NE(body.find("Not reachable: 1\n"), std::string::npos) << body;
    EXPECT_NE(body.find("Drifting: 1\n"), std::string::npos) << body;
    EXPECT_NE(body.find(facts.wrongClock->name + " ("), std::string::npos) << body;
    EXPECT_NE(body.find("clock +300 s"), std::string::npos) << body;
    EXPECT_NE(body.find("drifting +9.00 s/day"), std::string::npos) << body;
    sender.finish(kMailWaitMs);
    EXPECT_EQ(smtp.messageCount(), 2u);
}

TEST_F(FleetDailyMailTest, TheWorstTenAtMostWorstFirst) {
    // Fifteen more clocks off, by 138 to 152 seconds (beside the one 300 s off): ten lines, the
    // program that differs first, then the clocks, largest offset first.
    // (Reads of one location follow each other, ten a location.)
    writeHistory([](std::vector<ReadRecord>& reads) {
        for (std::size_t i = 8; i < 23; ++i)
            for (int d = 0; d < kFleetHistoryDays; ++d)
                reads[i * kFleetHistoryDays + static_cast<std::size_t>(d)].clockOffsetSeconds =
                    130 + static_cast<long long>(i);
    });
    auto mail = makeMail();
    ASSERT_EQ(runAt(*mail, 6, 30), 2u);
    ASSERT_TRUE(smtp.waitForMessages(1, kMailWaitMs));
    const std::string body = smtp.message(0)->parsedValue("body").value_or("");
    const std::size_t list = body.find("The worst 10:\n");
    ASSERT_NE(list, std::string::npos) << body;
    std::vector<std::string> lines;
    std::size_t at = body.find('\n', list) + 1;
    while (at < body.size()) {
        const std::size_t end = body.find('\n', at);
        std::string line = body.substr(at, end == std::string::npos ? end : end - at);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (line.empty()) break;
        lines.push_back(line);
        if (end == std::string::npos) break;
        at = end + 1;
    }
    ASSERT_EQ(lines.size(), 10u) << body;
    EXPECT_NE(lines[0].find("program differs"), std::string::npos) << body;
    EXPECT_NE(lines[1].find("clock +300 s"), std::string::npos) << body;
    EXPECT_NE(lines[2].find("clock +152 s"), std::string::npos) << body;
    EXPECT_NE(lines[9].find("clock +145 s"), std::string::npos) << body;
    EXPECT_EQ(body.find("clock +144 s"), std::string::npos) << body;
    sender.finish(kMailWaitMs);
}

TEST_F(FleetDailyMailTest, NothingIsSentWhenAllIsWell) {
    writeHistory([&](std::vector<ReadRecord>& reads) {
        reads.clear();
        for (const Location* l : db.allLocations())
            reads.push_back(
                validatedRead({l->masterGroup, l->group, l->number}, clock.now() - 60, 3));
    });
    auto mail = makeMail();
    EXPECT_EQ(runAt(*mail, 6, 30), 0u);
    sender.finish(kMailWaitMs);
    EXPECT_EQ(smtp.messageCount(), 0u);
    EXPECT_EQ(mail->dayChecked(), 20260316);
}

TEST_F(FleetDailyMailTest, NotTwiceADayNotEvenAfterARestartButAgainTheNextMorning) {
    writeHistory();
    auto mail = makeMail();
    EXPECT_EQ(runAt(*mail, 6, 30), 2u);
    EXPECT_EQ(runAt(*mail, 6, 31), 0u);
    EXPECT_EQ(runAt(*mail, 7, 0), 0u);
    // The station restarts at 06:40: the day was checked.
    mail = makeMail();
    EXPECT_EQ(runAt(*mail, 6, 40), 0u);
    // The next morning, again.
    EXPECT_EQ(runAt(*mail, 6, 30, 1), 2u);
    ASSERT_TRUE(smtp.waitForMessages(4, kMailWaitMs));
    sender.finish(kMailWaitMs);
    EXPECT_EQ(smtp.messageCount(), 4u);
}

TEST_F(FleetDailyMailTest, AStationStartedLateChecksWithinTheHourAndNotAfter) {
    writeHistory();
    auto mail = makeMail();
    EXPECT_EQ(runAt(*mail, 7, 29), 2u);
    EXPECT_EQ(runAt(*mail, 7, 30, 1), 0u);  // the next day, too late
    sender.finish(kMailWaitMs);
}

}  // namespace
}  // namespace quirn::test
