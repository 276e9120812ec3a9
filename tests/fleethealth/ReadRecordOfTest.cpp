#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "fleethealth/ReadRecordOf.h"
#include "plans/PasswayStore.h"
#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/Checksums.h"
#include "protocol/LogEntry.h"
#include "protocol/PlanDownload.h"
#include "protocol/ReadBack.h"
#include "tests/protocol/DownloadFakes.h"

namespace quirn {
namespace {

using Bytes = std::vector<uint8_t>;

// What the station's listener does with a read that ended: the record the history gets.
class RecordingListener final : public ReadBackListener {
  public:
    void replyReceived(const Location&, const uint8_t*, size_t) override {}
    void locationValidated(const Location&) override {}
    void passwayConfirm(const Location&, bool) override {}
    void requestReadBackSave() override {}
    void readEnded(const Location& location, unsigned bits, std::time_t time) override {
        records.push_back(readRecordOf(location, readSourceOf(location), time, bits));
    }
    std::vector<ReadRecord> records;
};

// The real read-back handler and validation over a small database: a QN510 and an MX40 of
// group 1/1 whose plan switches on at 7:00 and off at 8:30 on Sundays.
class ReadRecordOfTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Group& g = db.group(1, 1);
        g.addStep(Step::atTime(1, 1, 1, 7, 0, kCommandOn));
        g.addStep(Step::atTime(1, 1, 1, 8, 30, kCommandOff));
        Location qn(1, 1, 1);
        qn.model = static_cast<int32_t>(TimeSwitchModel::QN510);
        qn.connection = kRadioAddress;
        db.addLocation(qn);
        Location mx(1, 1, 2);
        mx.model = static_cast<int32_t>(TimeSwitchModel::MX40);
        mx.connection = "127.0.0.9";
        db.addLocation(mx);
    }

    // The compact reply of a QN510 holding what the station sent, its clock on `weekday` at
    // the computer's hour and minute.
    Bytes compactReply(int weekday, uint8_t extraFlags = 0) {
        download.buildImage(*db.findGroup(1, 1));
        Qn510Tables t = Qn510Tables::fresh(toLocal(clock.now()));
        for (const std::string& text : download.pagedTexts(1, 1))
            for (const LogEntry& e : decodeText(text)) applyTo(e, t);
        LocalDateTime now = toLocal(clock.now());
        Bytes b = {'S',
                   static_cast<uint8_t>(weekday),
                   static_cast<uint8_t>(now.hour),
                   static_cast<uint8_t>(now.minute),
                   0,
                   static_cast<uint8_t>(t.flags() | extraFlags),
                   'D',
                   0,
                   0};
        for (auto table : {Qn510Tables::Table::Default, Qn510Tables::Table::Alternate,
                           Qn510Tables::Table::Override}) {
            auto entries = t.entries(table);
            b.push_back(static_cast<uint8_t>(entries.size()));
            for (const auto& e : entries) b.insert(b.end(), {e.days, e.hour, e.minute});
        }
        for (char c : checksumText(replyChecksum(std::string(b.begin(), b.end()))))
            b.push_back(static_cast<uint8_t>(c));
        return b;
    }
    const ReadRecord& handle(int number, const Bytes& b) {
        readBack.onReadData(*db.findLocation(1, 1, number), b.data(), b.size(), clock.now());
        return listener.records.back();
    }

    PlanDatabase db;
    ManualClock clock{fromLocal(2026, 3, 18, 10, 15, 30)};  // a Wednesday
    test::FakeOverrides overrides;
    Settings settings;
    PlanDownload download{db, clock, settings, &overrides, nullptr};
    Validation validation{download};
    RecordingListener listener;
    PasswayStore passway{WorkingFolder("unused")};
    ReadBack readBack{validation, &listener, &passway};
};

TEST_F(ReadRecordOfTest, AValidatedReadCarriesItsClockRelayAndLink) {
    const ReadRecord& r = handle(1, compactReply(4, Qn510Tables::kRelayOn));
    EXPECT_EQ(r.time, clock.now());
    EXPECT_EQ(r.location, (LocationKey{1, 1, 1}));
    EXPECT_EQ(r.state, ReadState::ValidatePassed);
    EXPECT_EQ(r.source, ReadSource::Radio);
    EXPECT_TRUE(r.hasClock);
    EXPECT_FALSE(r.clockHasSeconds);  // a QN510 tells no seconds
    EXPECT_EQ(r.clockOffsetSeconds, 0);
    EXPECT_EQ(r.program, ProgramMatch::Matched);
    EXPECT_EQ(r.relayState, 1);
    EXPECT_EQ(r.resultBits, 0u);
    EXPECT_EQ(r.bytesRead, 776);
}

TEST_F(ReadRecordOfTest, AClockADayAheadFailsOnTheClockAlone) {
    const ReadRecord& r = handle(1, compactReply(5));
    EXPECT_EQ(r.state, ReadState::ValidateFailed);
    EXPECT_EQ(r.resultBits, kClockWrong);
    EXPECT_EQ(r.program, ProgramMatch::Matched);
    EXPECT_EQ(r.clockOffsetSeconds, 24 * 60 * 60);
    EXPECT_EQ(r.relayState, 0);
}

TEST_F(ReadRecordOfTest, NoAnswerAndPartialAnswersCarryNoClock) {
    const ReadRecord& none = handle(2, Bytes{});
    EXPECT_EQ(none.state, ReadState::ConnectionFailed);
    EXPECT_EQ(none.source, ReadSource::WiFi);
    EXPECT_FALSE(none.hasClock);
    EXPECT_EQ(none.program, ProgramMatch::Unknown);
    EXPECT_EQ(none.relayState, kRelayUnknown);

    const ReadRecord& partial = handle(2, Bytes(300, 0x41));
    EXPECT_EQ(partial.state, ReadState::PartialData);
    EXPECT_EQ(partial.bytesRead, 300);
    EXPECT_FALSE(partial.hasClock);
    EXPECT_EQ(listener.records.size(), 2u);
}

TEST_F(ReadRecordOfTest, AnImageThatDoesNotDecodeFailsOnProgramAndClock) {
    const ReadRecord& r = handle(2, Bytes(968, 0));
    EXPECT_EQ(r.state, ReadState::ValidateFailed);
    EXPECT_EQ(r.program, ProgramMatch::Differs);
    EXPECT_EQ(r.resultBits, kProgramMismatch | kClockWrong);
    EXPECT_FALSE(r.hasClock);
}

TEST_F(ReadRecordOfTest, TheM2MClientsAddressNamesItsLink) {
    Location l(1, 1, 3);
    l.connection = kM2MAddress;
    EXPECT_EQ(readSourceOf(l), ReadSource::M2M);
    l.connection = kRadioAddress;
    EXPECT_EQ(readSourceOf(l), ReadSource::Radio);
}

}  // namespace
}  // namespace quirn
