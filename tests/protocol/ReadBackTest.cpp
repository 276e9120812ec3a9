#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "DownloadFakes.h"
#include "plans/PasswayStore.h"
#include "plans/PlanDatabase.h"
#include "platform/Clock.h"
#include "platform/LocalTime.h"
#include "protocol/Checksums.h"
#include "protocol/LogEntry.h"
#include "protocol/PlanDownload.h"
#include "protocol/ReadBack.h"
#include "protocol/ReadState.h"
#include "protocol/SentenceCommands.h"

namespace quirn {
namespace {

using Bytes = std::vector<uint8_t>;

std::time_t wednesday() {
    return fromLocal(2026, 3, 18, 10, 15, 30);
}

// Records what the read-back told the rest of the station.
class RecordingListener : public ReadBackListener {
  public:
    void replyReceived(const Location&, const uint8_t*, size_t count) override {
        replies.push_back(count);
    }
    void locationValidated(const Location& l) override { validated.push_back(l.number); }
    void passwayConfirm(const Location& l, bool set) override {
        confirms.push_back({l.number, set});
    }
    void requestReadBackSave() override { ++saves; }

    std::vector<size_t> replies;
    std::vector<int> validated;
    std::vector<std::pair<int, bool>> confirms;
    int saves = 0;
};

class ReadBackTest : public ::testing::Test {
  protected:
    void SetUp() override {
        Group& g = db.group(1, 1);
        g.addStep(Step::atTime(1, 1, 1, 7, 0, kCommandOn));
        g.addStep(Step::atTime(1, 1, 1, 8, 30, kCommandOff));
        for (int model = 0; model <= 3; ++model) {
            Location l(1, 1, model + 1);
            l.model = model;
            db.addLocation(l);
        }
    }
    Location& at(TimeSwitchModel m) { return *db.findLocation(1, 1, static_cast<int>(m) + 1); }

    // The compact reply of a QN510 holding what the station sent.
    Bytes compactReply(char version, int weekday) {
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
                   t.flags(),
                   static_cast<uint8_t>(version),
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
    int handle(Location& l, const Bytes& b) {
        return readBack.onReadData(l, b.data(), b.size(), clock.now());
    }
    ReadState state(const Location& l) { return static_cast<ReadState>(l.readState); }

    PlanDatabase db;
    ManualClock clock{wednesday()};
    test::FakeOverrides overrides;
    Settings settings;
    PlanDownload download{db, clock, settings, &overrides, nullptr};
    Validation validation{download};
    RecordingListener listener;
    PasswayStore passway{WorkingFolder("unused")};  // nothing is loaded or saved
    ReadBack readBack{validation, &listener, &passway};
};

TEST_F(ReadBackTest, CompactQn510ReplyValidates) {
    Location& qn = at(TimeSwitchModel::QN510);
    EXPECT_EQ(handle(qn, compactReply('D', 4)), 1);
    EXPECT_EQ(state(qn), ReadState::ValidatePassed);
    EXPECT_EQ(qn.programBytesReceived, 776);
    EXPECT_EQ(qn.programBytes[3], 'U');
    EXPECT_EQ(qn.firmwareVersion, "5.20");
    ASSERT_TRUE(qn.image);
    EXPECT_EQ(qn.image.get()->version(), "5.20");
    EXPECT_EQ(listener.replies, (std::vector<size_t>{776}));
    EXPECT_EQ(listener.validated, (std::vector<int>{1}));
    EXPECT_EQ(listener.saves, 1);
    EXPECT_TRUE(qn.receivedData);
    // The wrong weekday fails, and nothing is cleared in the error list.
    EXPECT_EQ(handle(qn, compactReply('D', 5)), 1);
    EXPECT_EQ(state(qn), ReadState::ValidateFailed);
    EXPECT_EQ(listener.validated.size(), 1u);
}

TEST_F(ReadBackTest, SizesThatDoNotMatchTheModelArePartialData) {
    Location& qn = at(TimeSwitchModel::QN510);
    Bytes image968(968, 0);
    EXPECT_EQ(handle(qn, image968), 0);
    EXPECT_EQ(state(qn), ReadState::PartialData);
    EXPECT_EQ(qn.programBytesReceived, 968);

    Location& lr = at(TimeSwitchModel::LR40);
    Bytes raw776(776, 0);
    raw776[3] = 'U';
    raw776[775] = 'X';
    EXPECT_EQ(handle(lr, raw776), 0);
    EXPECT_EQ(state(lr), ReadState::PartialData);

    Bytes broken = compactReply('A', 4);
    broken.back() ^= 1;  // bad checksum: raw bytes of the wrong size
    EXPECT_EQ(handle(qn, broken), 0);
    EXPECT_EQ(state(qn), ReadState::PartialData);
    EXPECT_EQ(qn.programBytesReceived, static_cast<int>(broken.size()));

    EXPECT_EQ(readBack.onReadData(qn, nullptr, 0, clock.now()), 0);
    EXPECT_EQ(state(qn), ReadState::ConnectionFailed);
    EXPECT_EQ(listener.saves, 4);
}

TEST_F(ReadBackTest, InvalidRawImageFailsWithoutComparing) {
    Location& mx = at(TimeSwitchModel::MX40);
    Bytes zeros(968, 0);
    EXPECT_EQ(handle(mx, zeros), 1);
    EXPECT_EQ(state(mx), ReadState::ValidateFailed);
    EXPECT_FALSE(mx.image);
}

TEST_F(ReadBackTest, Lr40SentenceIsExpandedAndValidated) {
    Location& lr = at(TimeSwitchModel::LR40);
    std::string s = ProgramSentenceCommand(1, 1, 4, download.imageFor(lr).bytes()).bytes();
    EXPECT_EQ(ReadBack::expectedReplySize(lr, download), s.size() + 1);
    EXPECT_EQ(handle(lr, Bytes(s.begin(), s.end())), 1);
    EXPECT_EQ(state(lr), ReadState::ValidatePassed);
    EXPECT_EQ(lr.programBytesReceived, 968);
    EXPECT_EQ(listener.replies.back(), 968u);
    // Loaded from the snapshot: the kept bytes decode to the same result.
    lr.image.reset();
    readBack.redecode(lr);
    ASSERT_TRUE(lr.image);
    EXPECT_EQ(state(lr), ReadState::ValidatePassed);
}

TEST_F(ReadBackTest, ExpectedSizesByModel) {
    EXPECT_EQ(ReadBack::expectedReplySize(at(TimeSwitchModel::QN510), download), 776u);
    EXPECT_EQ(ReadBack::expectedReplySize(at(TimeSwitchModel::MX40), download), 968u);
    EXPECT_EQ(ReadBack::expectedReplySize(at(TimeSwitchModel::Strider), download), 100u);
}

// An activation-log block with the given records (year - 2000, month | side, day, h, m, s).
Bytes logBlock(int number, int last, int delaySeconds, bool confirm,
               const std::vector<Bytes>& records) {
    Bytes b(kLogBlockSize, 0);
    b[1] = static_cast<uint8_t>(number);
    b[2] = static_cast<uint8_t>(last);
    b[3] = static_cast<uint8_t>(delaySeconds);
    b[4] = confirm ? 1 : 0;
    for (size_t i = 0; i < records.size(); ++i)
        std::copy(records[i].begin(), records[i].end(), b.begin() + 5 + 6 * i);
    return b;
}

TEST_F(ReadBackTest, ActivationLogBlocks) {
    Location& strider = at(TimeSwitchModel::Strider);
    const Bytes good = {26, 3, 17, 8, 5, 9};
    const Bytes master = {26, 3 | 0x80, 17, 8, 6, 0};
    const Bytes month13 = {26, 13, 17, 8, 5, 9};
    const Bytes year2051 = {51, 3, 17, 8, 5, 9};
    const Bytes day0 = {26, 3, 0, 8, 5, 9};
    Bytes block = logBlock(0, 3, 45, true, {good, month13, master, good, {}, year2051, day0});
    EXPECT_EQ(readBack.takeLogBlock(strider, block), 1);
    EXPECT_EQ(strider.confirmedStriderTimeCode(), 4);
    EXPECT_TRUE(strider.passwayConfirm);
    EXPECT_EQ(listener.confirms, (std::vector<std::pair<int, bool>>{{3, true}}));
    ASSERT_EQ(passway.activations().size(), 2u);
    EXPECT_EQ(passway.activations()[0].time, fromLocal(2026, 3, 17, 8, 5, 9));
    EXPECT_EQ(passway.activations()[0].side, 0);
    EXPECT_EQ(passway.activations()[1].side, 1);
    EXPECT_EQ(passway.activations()[1].location, 3);
    // The same records again are not added twice; the flag clears.
    EXPECT_EQ(readBack.takeLogBlock(strider, logBlock(3, 3, 20, false, {good})), -1);
    EXPECT_EQ(passway.activations().size(), 2u);
    EXPECT_FALSE(strider.passwayConfirm);
    EXPECT_EQ(strider.confirmedStriderTimeCode(), 1);
    // Never past block 9, never past the last block.
    EXPECT_EQ(readBack.takeLogBlock(strider, logBlock(8, 12, 0, false, {})), 9);
    EXPECT_EQ(readBack.takeLogBlock(strider, logBlock(9, 12, 0, false, {})), -1);
    EXPECT_EQ(readBack.takeLogBlock(strider, logBlock(2, 2, 0, false, {})), -1);
    EXPECT_EQ(readBack.takeLogBlock(strider, logBlock(-5, 3, 0, false, {})), -1);
    // A short block changes nothing.
    strider.passwayConfirm = true;
    Bytes shortBlock(124, 0);
    EXPECT_EQ(readBack.takeLogBlock(strider, shortBlock), -1);
    EXPECT_TRUE(strider.passwayConfirm);
}

TEST(ReadStates, TextsOfEveryState) {
    const std::vector<std::pair<ReadState, std::string>> rows = {
        {ReadState::NotRead, "North, Main St Not Read Yet."},
        {ReadState::Reading, "North, Main St Reading."},
        {ReadState::ReadingAgain, "North, Main St Reading."},
        {ReadState::ValidatePassed, "North, Main St Connection Made, Validate Passed."},
        {ReadState::ValidateFailed, "North, Main St Connection Made, Validate Failed."},
        {ReadState::ConnectionFailed, "North, Main St Connection Failed, 0 bytes read."},
        {ReadState::PartialData, "North, Main St Partial Data 512 bytes read."},
        {ReadState::Writing, "North, Main St Writing 12 Seconds."},
    };
    for (const auto& [state, text] : rows)
        EXPECT_EQ(readStateText(state, "North", "Main St", 512, 12), text);
    EXPECT_EQ(readStateText(ReadState::ValidatePassed, "North", "Main St", 0, 0, true),
              "Validate Disabled: North, Main St.");
}

class FakeLinks : public ReadLinkStatus {
  public:
    std::optional<bool> linkReading(const Location&) const override { return reading; }
    std::optional<bool> reading;
};

TEST(ReadStates, RefreshRules) {
    const std::time_t t0 = wednesday();
    Location l(1, 1, 1);
    FakeLinks links;
    setReadState(l, ReadState::Reading, t0);
    links.reading = false;
    EXPECT_EQ(refreshReadState(l, t0 + 1, &links), ReadState::Reading);  // not yet past 1 s
    EXPECT_EQ(refreshReadState(l, t0 + 2, &links), ReadState::ConnectionFailed);
    setReadState(l, ReadState::ReadingAgain, t0);
    links.reading = true;
    EXPECT_EQ(refreshReadState(l, t0 + 90, &links), ReadState::ReadingAgain);
    EXPECT_EQ(refreshReadState(l, t0 + 91, &links), ReadState::ConnectionFailed);
    setReadState(l, ReadState::Reading, t0);
    EXPECT_EQ(refreshReadState(l, t0 + 50, nullptr), ReadState::Reading);  // no link known
    setReadState(l, ReadState::Writing, t0);
    EXPECT_EQ(refreshReadState(l, t0 + 20), ReadState::Writing);
    EXPECT_EQ(refreshReadState(l, t0 + 21), ReadState::NotRead);
    setReadState(l, ReadState::ValidateFailed, t0);
    EXPECT_EQ(refreshReadState(l, t0 + 1000), ReadState::ValidateFailed);
    Location test(1, 99, 99);
    setReadState(test, ReadState::ConnectionFailed, t0);
    EXPECT_EQ(refreshReadState(test, t0), ReadState::ValidatePassed);
    Location other(2, 99, 99);
    setReadState(other, ReadState::ConnectionFailed, t0);
    EXPECT_EQ(refreshReadState(other, t0), ReadState::ConnectionFailed);
}

}  // namespace
}  // namespace quirn
