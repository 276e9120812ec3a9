#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/Checksums.h"
#include "protocol/PagedCommands.h"
#include "protocol/WeekCommands.h"
#include "sim/SimulatedTimeSwitch.h"
#include "tests/sim/SimTestSupport.h"

namespace quirn::sim {
namespace {

using test::settingsFor;

constexpr bool kNoMasterGroups = false;

std::time_t tuesdayNoon() {
    return fromLocal(2026, 4, 14, 12, 0, 0);
}

std::vector<ActivationRecord> activations(int count) {
    std::vector<ActivationRecord> out;
    for (int i = 0; i < count; ++i) {
        ActivationRecord r;
        r.when = LocalDateTime{2026, 4, 1 + i % 28, i % 24, i % 60, (i * 7) % 60};
        r.sideFlag = i % 2 == 1;
        out.push_back(r);
    }
    return out;
}

TEST(StriderDevice, ReadAnswersVersionLetterA) {
    ManualClock host(tuesdayNoon());
    SimulatedTimeSwitch strider(settingsFor(SimModel::Strider, {1, 4, 9}, tuesdayNoon()), host);
    std::string reply = strider.receive(ReadCommand(1, 4, 9, kNoMasterGroups).text());
    ASSERT_EQ(reply.size(), 16u);
    EXPECT_EQ(reply[6], 'a');
    EXPECT_EQ(reply.substr(12), checksumText(replyChecksum(reply.substr(0, 12))));
}

TEST(StriderDevice, LogBlocksCarryRecordsDelayAndConfirmation) {
    ManualClock host(tuesdayNoon());
    SimSettings s = settingsFor(SimModel::Strider, {1, 4, 9}, tuesdayNoon());
    s.activations = activations(45);  // three blocks: 20, 20, 5
    s.confirmationFlag = true;
    SimulatedTimeSwitch strider(s, host);
    strider.receive(DelayTimeCommand(1, 4, 9, 4, kNoMasterGroups).text());
    EXPECT_EQ(strider.delayCode(), 4);

    for (int block = 0; block < 3; ++block) {
        std::string b =
            strider.receive(PasswayLogRequestCommand(1, 4, 9, block, kNoMasterGroups).text());
        ASSERT_EQ(b.size(), ActivationLog::kBlockSize);
        EXPECT_EQ(b[1], block);
        EXPECT_EQ(b[2], 2);   // last block
        EXPECT_EQ(b[3], 45);  // code 4 is reported as 45 seconds
        EXPECT_EQ(b[4], 1);
        size_t first = static_cast<size_t>(block) * 20;
        for (size_t i = 0; i < 20; ++i) {
            const std::string rec = b.substr(5 + 6 * i, 6);
            if (first + i >= s.activations.size()) {
                EXPECT_EQ(rec, std::string(6, '\0'));
                continue;
            }
            const ActivationRecord& r = s.activations[first + i];
            EXPECT_EQ(rec[0], r.when.year - 2000);
            EXPECT_EQ(static_cast<unsigned char>(rec[1]), r.when.month | (r.sideFlag ? 0x80 : 0));
            EXPECT_EQ(rec[2], r.when.day);
            EXPECT_EQ(rec[3], r.when.hour);
            EXPECT_EQ(rec[4], r.when.minute);
            EXPECT_EQ(rec[5], r.when.second);
        }
    }
    strider.receive(PasswayLogClearCommand(1, 4, 9, kNoMasterGroups).text());
    EXPECT_EQ(strider.activationLog().size(), 0u);
    std::string empty =
        strider.receive(PasswayLogRequestCommand(1, 4, 9, 0, kNoMasterGroups).text());
    EXPECT_EQ(empty[2], 0);
    EXPECT_EQ(empty.substr(5), std::string(120, '\0'));
}

TEST(StriderDevice, Qn510IgnoresStriderLetters) {
    ManualClock host(tuesdayNoon());
    SimulatedTimeSwitch qn(settingsFor(SimModel::QN510, {1, 4, 9}, tuesdayNoon()), host);
    EXPECT_TRUE(qn.receive(PasswayLogRequestCommand(1, 4, 9, 0, kNoMasterGroups).text()).empty());
    qn.receive(DelayTimeCommand(1, 4, 9, 7, kNoMasterGroups).text());
    EXPECT_EQ(qn.delayCode(), 0);
}

TEST(ReplyFaults, EachFaultChangesTheReplyAsAsked) {
    ManualClock host(tuesdayNoon());
    std::string read = ReadCommand(1, 4, 9, kNoMasterGroups).text();
    SimulatedTimeSwitch honest(settingsFor(SimModel::QN510, {1, 4, 9}, tuesdayNoon()), host);
    std::string good = honest.receive(read);
    ASSERT_EQ(good.size(), 16u);

    SimSettings silent = settingsFor(SimModel::QN510, {1, 4, 9}, tuesdayNoon());
    silent.faults.noAnswer = true;
    std::vector<std::string> lines;
    SimulatedTimeSwitch mute(silent, host);
    mute.setLogSink([&](const std::string& l) { lines.push_back(l); });
    EXPECT_TRUE(mute.receive(read).empty());
    EXPECT_NE(lines.back().find("withheld"), std::string::npos);

    SimSettings cut = settingsFor(SimModel::QN510, {1, 4, 9}, tuesdayNoon());
    cut.faults.cutAnswer = 7;
    EXPECT_EQ(SimulatedTimeSwitch(cut, host).receive(read), good.substr(0, 7));

    SimSettings bad = settingsFor(SimModel::QN510, {1, 4, 9}, tuesdayNoon());
    bad.faults.badChecksum = true;
    std::string spoilt = SimulatedTimeSwitch(bad, host).receive(read);
    ASSERT_EQ(spoilt.size(), good.size());
    EXPECT_EQ(spoilt.substr(0, 15), good.substr(0, 15));
    EXPECT_NE(spoilt.substr(12), checksumText(replyChecksum(spoilt.substr(0, 12))));
}

TEST(ReplyFaults, WrongAndDriftingClockShowInTheReply) {
    ManualClock host(tuesdayNoon());
    SimSettings s = settingsFor(SimModel::QN510, {1, 4, 9}, tuesdayNoon());
    s.clock.clockOffsetSeconds = 5 * 60;
    s.clock.driftSecondsPerHour = 120;
    SimulatedTimeSwitch wrong(s, host);
    std::string read = ReadCommand(1, 4, 9, kNoMasterGroups).text();
    EXPECT_EQ(wrong.receive(read)[3], 5);  // 12:05
    host.advance(3 * 3600);                // drifted six minutes more
    std::string later = wrong.receive(read);
    EXPECT_EQ(later[2], 15);
    EXPECT_EQ(later[3], 11);
}

}  // namespace
}  // namespace quirn::sim
