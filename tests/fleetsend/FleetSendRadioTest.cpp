#include <gtest/gtest.h>

#include "tests/fleetsend/SendFixture.h"
#include "validationrun/ValidationRun.h"

namespace quirn::test {
namespace {

// Three groups with QN510s on the radio, an MX40 and a Strider on the radio, a QN510 on WiFi.
class FleetSendRadio : public SendFixture {
  protected:
    void SetUp() override {
        for (int g = 1; g <= 3; ++g) {
            addGroup(1, g);
            addLocation(1, g, 1, kQn510);
            addLocation(1, g, 2, kQn510);
        }
        addLocation(1, 2, 3, kMx40);
        addLocation(1, 3, 4, kStrider);
        build();
    }
    std::size_t countStatus(SendItem::Status status) {
        std::size_t n = 0;
        for (const SendItem& item : send->items()) n += item.status == status ? 1 : 0;
        return n;
    }
};

TEST_F(FleetSendRadio, PagesEachGroupOnceAndProgramsOtherModelsOneByOne) {
    ASSERT_TRUE(send->prepareNow(SendSelection::all()));
    const SendEstimate& e = send->estimate();
    EXPECT_EQ(e.groupPages, 3u);
    EXPECT_EQ(e.radioLocations, 2u);
    EXPECT_EQ(e.locationsCovered, 8u);
    // A group's own locations first, then its pages; the image and the clock are built as the
    // send builds them (at the same manual time).
    const std::string expected = groupPages(1, 1) + programming(1, 2, 3) + groupPages(1, 2) +
                                 programming(1, 3, 4) + groupPages(1, 3);
    EXPECT_EQ(e.radioBytes, expected.size());
    EXPECT_EQ(e.airSeconds(), static_cast<long long>((expected.size() + kAirRate - 1) / kAirRate));
    EXPECT_NE(e.text().find("on air at 250 bytes/s"), std::string::npos) << e.text();

    ASSERT_TRUE(send->confirm("by the test"));
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(radio->bytes(), expected);
    EXPECT_EQ(countStatus(SendItem::Status::Sent), 5u);
    ASSERT_TRUE(send->lastSummary());
    EXPECT_EQ(send->lastSummary()->text(),
              "Sending programming to all locations ended: 5 sent, 0 given up (" +
                  groupedNumber(expected.size()) + " bytes).");
    const std::string log = systemLog();
    EXPECT_NE(log.find("Programming sent to group 2 of master group 1: group pages by radio (" +
                       std::to_string(groupPages(1, 2).size()) + " bytes), 1 locations (" +
                       std::to_string(programming(1, 2, 3).size()) + " bytes)."),
              std::string::npos)
        << log;
    // Nothing was sent before the air was free for it: the transmitter never stood idle.
    EXPECT_EQ(radio->idleMs(), 0);
}

TEST_F(FleetSendRadio, WhatWentOutIsNoLongerChangedAcrossARestartAndAnEditMarksItAgain) {
    ASSERT_TRUE(send->prepareNow(SendSelection::changed()));
    EXPECT_EQ(send->estimate().locationsCovered, 8u);  // never sent: all changed
    ASSERT_TRUE(send->confirm("by the test"));
    ASSERT_TRUE(runToEnd());

    SendLedger reloaded;
    ASSERT_TRUE(reloaded.load(working.file(SendLedger::kFileName)));
    EXPECT_EQ(reloaded.size(), 8u);
    EXPECT_EQ(reloaded.skippedLines(), 0u);
    const SendLedger::Entry* pages = reloaded.find({1, 1, 2});
    ASSERT_NE(pages, nullptr);
    EXPECT_FALSE(pages->changed);
    EXPECT_EQ(pages->bytes, groupPages(1, 1).size());
    EXPECT_GE(pages->sentAt, start);
    EXPECT_LE(pages->sentAt, clock.now());

    reloaded.markGroupChanged(1, 2);
    ASSERT_TRUE(reloaded.save());
    ledger.load(working.file(SendLedger::kFileName));  // as a restarted station reads it
    ASSERT_TRUE(send->prepareNow(SendSelection::changed()));
    EXPECT_EQ(send->estimate().groupPages, 1u);
    EXPECT_EQ(send->estimate().radioLocations, 1u);  // the MX40 of group 2
    EXPECT_EQ(send->estimate().locationsCovered, 3u);
    ASSERT_EQ(send->items().size(), 2u);
    EXPECT_EQ(send->items()[0].key, (LocationKey{1, 2, 3}));
    EXPECT_EQ(send->items()[1].key, (LocationKey{1, 2, 0}));
}

TEST_F(FleetSendRadio, AnEditWhileItsProgrammingIsOnTheAirKeepsTheGroupChanged) {
    ASSERT_TRUE(send->prepareNow(SendSelection::changed()));
    ASSERT_TRUE(send->confirm("by the test"));
    timers.advanceMs(FleetSend::kTickMs);  // everything is handed to the radio in one go
    for (const SendItem& item : send->items()) ASSERT_EQ(item.status, SendItem::Status::InFlight);
    // The station marks an edit of group 2 while its pages and its MX40's image are on the air:
    // they carry the programming as it was, so group 2 must still be sent.
    ledger.markGroupChanged(1, 2);
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(send->lastSummary()->sent, 5u);
    EXPECT_FALSE(ledger.isChanged({1, 1, 1}));
    EXPECT_FALSE(ledger.isChanged({1, 3, 4}));
    EXPECT_TRUE(ledger.isChanged({1, 2, 1}));
    EXPECT_TRUE(ledger.isChanged({1, 2, 3}));

    SendLedger reloaded;  // as a restarted station reads it
    ASSERT_TRUE(reloaded.load(working.file(SendLedger::kFileName)));
    EXPECT_TRUE(reloaded.isChanged({1, 2, 2}));
    EXPECT_FALSE(reloaded.isChanged({1, 3, 1}));
    ASSERT_TRUE(send->prepareNow(SendSelection::changed()));
    EXPECT_EQ(send->estimate().groupPages, 1u);
    EXPECT_EQ(send->estimate().locationsCovered, 3u);

    // Sent again after the edit, the group is no longer changed.
    ASSERT_TRUE(send->confirm("by the test"));
    ASSERT_TRUE(runToEnd());
    EXPECT_FALSE(ledger.isChanged({1, 2, 1}));
    EXPECT_FALSE(ledger.isChanged({1, 2, 3}));
}

TEST_F(FleetSendRadio, AStopHalfWayReportsExactlyWhatWentOut) {
    // Enough groups that the send outlasts the air kept ahead several times over; pages only,
    // which carry no clock, so that the bytes can be built again to compare.
    std::vector<LocationKey> paged;
    for (int mg = 2; mg <= 8; ++mg) {
        for (int g = 1; g <= 99; ++g) {
            addGroup(mg, g);
            addLocation(mg, g, 1, kQn510);
            paged.push_back({mg, g, 1});
        }
    }
    ASSERT_TRUE(send->prepareNow(SendSelection::ofLocations(paged)));
    ASSERT_GT(send->estimate().airSeconds(), 3 * FleetSend::kAirAheadMs / 1000);
    ASSERT_TRUE(send->confirm("by the test"));
    timers.advanceMs(5000);
    send->stop();
    ASSERT_TRUE(runToEnd());
    ASSERT_TRUE(send->lastSummary());
    const SendSummary& s = *send->lastSummary();
    EXPECT_TRUE(s.stopped);
    EXPECT_GT(s.sent, 0u);
    EXPECT_GT(s.notSent, 0u);
    EXPECT_EQ(s.sent + s.notSent, send->items().size());
    // The transmitter carried exactly the items reported sent, whole, in order.
    std::string sent;
    for (const SendItem& item : send->items()) {
        if (item.status != SendItem::Status::Sent) {
            EXPECT_EQ(item.status, SendItem::Status::NotSent);
            EXPECT_EQ(item.reason, "stopped before it was sent");
            EXPECT_EQ(ledger.find(item.key.location == 0
                                      ? LocationKey{item.key.masterGroup, item.key.group, 1}
                                      : item.key),
                      nullptr);
            continue;
        }
        sent += item.kind == SendItem::Kind::GroupPages
                    ? groupPages(item.key.masterGroup, item.key.group)
                    : programming(item.key.masterGroup, item.key.group, item.key.location);
    }
    EXPECT_EQ(radio->bytes(), sent);
    EXPECT_NE(systemLog().find(s.text()), std::string::npos);
    EXPECT_NE(s.text().find(" not sent"), std::string::npos) << s.text();
}

TEST_F(FleetSendRadio, ALostPortGivesUpWhatItHeldAndOnlyWhatWasOnTheAirWholeCountsAsSent) {
    ASSERT_TRUE(send->prepareNow(SendSelection::all()));
    ASSERT_TRUE(send->confirm("by the test"));
    // The first pages are on the air by now; the MX40's image is with the driver, not yet.
    timers.advanceMs(1500);
    ASSERT_GT(radio->bytesTaken(), 0u);
    const long long pulledMs = clock.nowMs();
    const std::size_t onAir =
        static_cast<std::size_t>(pulledMs - radio->firstOnAirMs()) * kAirRate / 1000;
    radio->pull();
    ASSERT_TRUE(runToEnd());
    ASSERT_TRUE(send->lastSummary());
    EXPECT_GT(send->lastSummary()->givenUp, 0u);
    std::size_t handed = 0;
    std::size_t sent = 0;
    for (const SendItem& item : send->items()) {
        handed += item.bytes;
        if (item.status == SendItem::Status::Sent) {
            ++sent;
            EXPECT_LE(handed, onAir) << item.name << " counted sent before it was on the air";
            EXPECT_NE(ledger.find(item.kind == SendItem::Kind::GroupPages
                                      ? LocationKey{item.key.masterGroup, item.key.group, 1}
                                      : item.key),
                      nullptr);
            continue;
        }
        EXPECT_EQ(item.status, SendItem::Status::GivenUp);
        EXPECT_NE(item.reason.find("radio port"), std::string::npos) << item.reason;
    }
    EXPECT_EQ(send->lastSummary()->sent, sent);
    EXPECT_EQ(ledger.size(), 2u * sent);  // the pages of group 1 program two switches
    EXPECT_NE(systemLog().find("given up: the radio port"), std::string::npos);
}

TEST_F(FleetSendRadio, PagesWaitWhileTheRadioReadsALocation) {
    ASSERT_TRUE(send->prepareNow(SendSelection::all()));
    Location* read = db.findLocation(1, 2, 3);
    commo->startRead(*read);
    timers.advanceMs(500);  // the read request goes out; the port waits for the reply
    ASSERT_TRUE(commo->serialPort().isReading());
    const std::size_t before = radio->bytesTaken();
    ASSERT_TRUE(send->confirm("by the test"));
    timers.advanceMs(2000);
    EXPECT_EQ(radio->bytesTaken(), before);  // nothing paged over the reply
    ASSERT_TRUE(runToEnd());
    EXPECT_EQ(send->lastSummary()->sent, 5u);
}

// A validation run that starts while a send pages the fleet would have its read request wait
// behind the pages on the air and take the silence for no answer: its radio reads wait until
// the send's last byte is off the air.
TEST_F(FleetSendRadio, AValidationRunsRadioReadsWaitForTheSendsAir) {
    // More pages than the send keeps ahead on the air.
    for (int mg = 2; mg <= 3; ++mg) {
        for (int g = 1; g <= 99; ++g) {
            addGroup(mg, g);
            addLocation(mg, g, 1, kQn510);
        }
    }
    ValidationRun validation(clock, timers, *commo, db, LogWriter(working));
    ASSERT_TRUE(send->prepareNow(SendSelection::all()));
    ASSERT_GT(send->estimate().airSeconds(), FleetSend::kAirAheadMs / 1000);
    ASSERT_TRUE(send->confirm("by the test"));
    timers.advanceMs(300);  // the send has handed its first messages
    ASSERT_EQ(validation.start(RunSelection::ofGroup(1, 2), "by the test"),
              ValidationRun::StartResult::Started);
    ASSERT_TRUE(runToEnd());
    for (int n = 0; n < 2000 && validation.running(); ++n) timers.advanceMs(50);
    ASSERT_FALSE(validation.running());
    std::size_t sent = 0;
    for (const SendItem& item : send->items()) sent += item.bytes;
    const std::size_t firstRequest = radio->bytes().find("X@R");
    ASSERT_NE(firstRequest, std::string::npos);
    EXPECT_EQ(firstRequest, sent) << "a read request went on the air in the middle of the send";
}

// A station without a radio port gives up every radio message at once, in one System log line
// rather than one a message (a fleet's worth of lines held the tick for 300 ms).
TEST_F(FleetSendRadio, WithoutARadioPortEveryRadioMessageIsGivenUpInOneLine) {
    ASSERT_EQ(commo->openRadioPort(0, kBaud2400), 0);
    ASSERT_TRUE(send->prepareNow(SendSelection::all()));
    ASSERT_TRUE(send->confirm("by the test"));
    ASSERT_TRUE(runToEnd(2000));
    for (const SendItem& item : send->items()) {
        EXPECT_EQ(item.status, SendItem::Status::GivenUp);
        EXPECT_EQ(item.reason, "the station has no radio port");
    }
    const std::string log = systemLog();
    EXPECT_NE(log.find("5 radio messages of the send given up: the station has no radio port."),
              std::string::npos)
        << log;
    EXPECT_EQ(log.find("Programming for "), std::string::npos) << log;
    EXPECT_EQ(radio->bytesTaken(), 0u);
}

TEST_F(FleetSendRadio, ASelectionOfLocationsPagesOnlyTheirGroups) {
    ASSERT_TRUE(send->prepareNow(SendSelection::ofLocations({{1, 3, 2}, {1, 2, 3}})));
    const SendEstimate& e = send->estimate();
    EXPECT_EQ(e.groupPages, 1u);
    EXPECT_EQ(e.radioLocations, 1u);
    ASSERT_EQ(send->items().size(), 2u);
    EXPECT_EQ(send->items()[0].key, (LocationKey{1, 2, 3}));
    EXPECT_EQ(send->items()[1].key, (LocationKey{1, 3, 0}));
    EXPECT_EQ(send->items()[1].locations, (std::vector<int>{2}));
    EXPECT_EQ(SendSelection::ofGroups({{1, 2, 7}}).text(), "group 2 of master group 1");
    ASSERT_TRUE(send->prepareNow(SendSelection::ofMasterGroup(2)));
    EXPECT_EQ(send->estimate().messages, 0u);
}

}  // namespace
}  // namespace quirn::test
