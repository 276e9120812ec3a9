#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "comms/CommoHandler.h"
#include "comms/IpTableFile.h"
#include "ops/LogWriter.h"
#include "plans/PlanDatabase.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/ProfileStore.h"
#include "platform/VirtualTimerService.h"
#include "tests/comms/CommsFakes.h"
#include "tests/support/LoopbackServer.h"
#include "tests/support/PtyPair.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::FakeProtocol;
using test::LoopbackServer;
using test::PtyPair;

constexpr std::time_t kStart = 1773570000;
constexpr int kCom = 3;

// The handler with its radio on a pty and its IP entries talking to loopback listeners; the
// tick comes from the virtual timer service on the manual clock.
class CommoHandlerPty : public ::testing::Test {
  protected:
    CommoHandlerPty() : clock(kStart), timers(clock), store(folder.file("quirnradio.ini")) {
        makeFolder(folder.logs());
        store.writeString(kSerialSection, "COM" + std::to_string(kCom), pty.slavePath());
    }

    std::unique_ptr<CommoHandler> make() {
        auto h = std::make_unique<CommoHandler>(CommsSetup{
            clock, working, timers, protocol, protocol, errors, &db, &store, nullptr, {}});
        h->start();
        return h;
    }
    void tick(int count = 1) { timers.advanceMs(500LL * count); }
    static const unsigned char* bytesOf(const std::string& s) {
        return reinterpret_cast<const unsigned char*>(s.data());
    }
    Location& addLocation(int number, const std::string& connection) {
        Location l(1, 1, number);
        l.connection = connection;
        l.name = "Site " + std::to_string(number);
        return db.addLocation(l);
    }
    std::string systemLog() { return test::readFile(logWriter.logFileName(clock, kLogSystem)); }

    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock;
    VirtualTimerService timers;
    ProfileStore store;
    FakeProtocol protocol;
    test::RecordingErrorSink errors;
    PlanDatabase db;
    PtyPair pty;
};

TEST_F(CommoHandlerPty, SendsASyncPulseEveryFourHoursToTheRadioAndEnabledEntriesButTheM2MClient) {
    ASSERT_TRUE(test::writeFile(folder.file("imsi.csv"), "imsi,310150123456789\r\n"));
    LoopbackServer wifi("127.0.0.5");
    ASSERT_TRUE(wifi.ok());
    LoopbackServer m2m("127.0.0.1", wifi.port());
    ASSERT_TRUE(m2m.ok());
    auto h = make();
    ASSERT_EQ(h->openRadioPort(kCom), 0);
    h->setIpPort(wifi.port());
    h->addIpAddress("127.0.0.5");
    h->addIpAddress("127.0.0.6");
    h->findConnection("127.0.0.6")->setEnabled(false);
    ASSERT_NE(h->findConnection("127.0.0.1"), nullptr);

    const std::string pulse = "Quirn SYNC PULSE";
    tick(4 * 3600 * 2);  // exactly four hours: not yet
    EXPECT_EQ(pty.receive(1, 10), "");
    tick(2);  // more than four hours
    EXPECT_EQ(pty.receive(pulse.size()), pulse);
    EXPECT_EQ(h->lastTransmission(), clock.now());
    ASSERT_TRUE(wifi.waitForConnections(1));
    for (int i = 0; i < 200 && wifi.received(0).size() < pulse.size(); ++i) tick();
    EXPECT_EQ(wifi.received(0), pulse);
    EXPECT_EQ(h->findConnection("127.0.0.6")->sendCount(), 0u);

    tick(4 * 3600 * 2);
    EXPECT_EQ(pty.receive(1, 10), "");
    tick(2);
    EXPECT_EQ(pty.receive(pulse.size()), pulse);
    ASSERT_TRUE(wifi.waitForConnections(2));
    for (int i = 0; i < 200 && wifi.received(1).size() < pulse.size(); ++i) tick();
    EXPECT_EQ(wifi.received(1), pulse);
    EXPECT_EQ(m2m.acceptPending(), 0);
    EXPECT_EQ(m2m.connectionCount(), 0u);
    EXPECT_TRUE(errors.added.empty());
}

TEST_F(CommoHandlerPty, ThreeBroadcastsOf1500BytesGoTwoThenOne) {
    auto h = make();
    ASSERT_EQ(h->openRadioPort(kCom), 0);
    std::string a(1500, 'a'), b(1500, 'b'), c(1500, 'c');
    h->enqueueBytes(a);
    h->enqueueBytes(b);
    h->enqueueBytes(c);
    h->enqueueFor(kRadioAddress, "radio");
    std::string status;
    EXPECT_TRUE(h->queueStatusText(status));
    EXPECT_EQ(status, "Sending 4 messages.");
    tick();
    EXPECT_EQ(pty.receive(3000), a + b);
    EXPECT_EQ(h->queueSize(), 2u);  // the third holds back the radio message behind it
    tick();
    EXPECT_EQ(h->queueSize(), 0u);
    EXPECT_FALSE(h->queueStatusText(status));
    EXPECT_EQ(pty.receive(5), "radio");
    EXPECT_EQ(h->serialPort().transmitCount(), 1500u);  // waits for the transmitter
    tick(2 * 13);
    EXPECT_EQ(pty.receive(1500), c);
}

TEST_F(CommoHandlerPty, RadioIpRadioGoesOutInTwoTicks) {
    auto h = make();
    ASSERT_EQ(h->openRadioPort(kCom), 0);
    h->setIpPort(1);  // nothing listens: the entry only holds the message here
    h->addIpAddress("127.0.0.5");
    h->enqueueFor(kRadioAddress, "first");
    h->enqueueFor("127.0.0.5", "ip message");
    h->enqueueFor(kRadioAddress, "second");
    tick();
    EXPECT_EQ(pty.receive(5), "first");
    EXPECT_EQ(h->findConnection("127.0.0.5")->sendCount(), 10u);
    EXPECT_EQ(h->queueSize(), 1u);
    tick();
    EXPECT_EQ(pty.receive(6), "second");
    EXPECT_EQ(h->queueSize(), 0u);
}

TEST_F(CommoHandlerPty, AGroupMessageGoesOnceToEachIpAddressThenToTheRadio) {
    auto h = make();
    ASSERT_EQ(h->openRadioPort(kCom), 0);
    h->setIpPort(1);
    h->addIpAddress("127.0.0.5");
    h->addIpAddress("127.0.0.6");
    addLocation(1, kRadioAddress);
    addLocation(2, "127.0.0.5");
    addLocation(3, "127.0.0.5");
    addLocation(4, "127.0.0.6");
    addLocation(5, "127.0.0.9");  // not in the table: no copy
    std::string message = "@D0100AH0#";
    h->queueGroupMessage(bytesOf(message), message.size(), 1, 1, 0);
    EXPECT_EQ(h->queueSize(), 3u);
    IpConnection* five = h->findConnection("127.0.0.5");
    IpConnection* six = h->findConnection("127.0.0.6");
    tick();
    EXPECT_EQ(five->sendCount(), message.size());
    EXPECT_EQ(six->sendCount(), 0u);
    tick();
    EXPECT_EQ(six->sendCount(), message.size());
    EXPECT_EQ(pty.receive(1, 10), "");
    tick();
    EXPECT_EQ(pty.receive(message.size()), message);
    EXPECT_EQ(h->queueSize(), 0u);

    // One location: to its own link, then the radio as always.
    h->queueGroupMessage(bytesOf(message), message.size(), 1, 1, 4);
    EXPECT_EQ(h->queueSize(), 2u);
    // An unknown group still goes out by radio.
    h->queueGroupMessage(bytesOf(message), message.size(), 1, 42, 0);
    EXPECT_EQ(h->queueSize(), 3u);
}

TEST_F(CommoHandlerPty, ABroadcastTo25EntriesOpensTenConnectionsAtOnce) {
    std::vector<std::unique_ptr<LoopbackServer>> servers;
    servers.push_back(std::make_unique<LoopbackServer>("127.0.0.10"));
    ASSERT_TRUE(servers[0]->ok());
    unsigned port = servers[0]->port();
    for (int i = 11; i < 35; ++i) {
        servers.push_back(std::make_unique<LoopbackServer>("127.0.0." + std::to_string(i), port));
        ASSERT_TRUE(servers.back()->ok()) << i;
    }
    auto h = make();
    h->setIpPort(port);
    for (int i = 10; i < 35; ++i) h->addIpAddress("127.0.0." + std::to_string(i));
    h->enqueueBytes(std::string("@P#"));
    tick();
    auto count = [&](auto pred) {
        return std::count_if(h->ipTable().entries().begin(), h->ipTable().entries().end(),
                             [&](const auto& e) { return pred(*e); });
    };
    EXPECT_EQ(count([](const IpConnection& e) { return e.isBusy(); }), 10);
    EXPECT_EQ(
        count([](const IpConnection& e) { return e.state() == IpConnection::State::Pending; }), 15);
    EXPECT_EQ(h->ipTable().busyCount(), 10);
    for (int i = 0; i < 10; ++i) EXPECT_TRUE(servers[i]->waitForConnections(1)) << i;
    for (int i = 10; i < 25; ++i) EXPECT_EQ(servers[i]->acceptPending(), 0) << i;
    // As the first ones finish the rest follow; every entry gets the message once.
    for (int round = 0; round < 400 && count([](const IpConnection& e) {
                                           return e.state() != IpConnection::State::Idle;
                                       }) > 0;
         ++round) {
        tick();
        EXPECT_LE(h->ipTable().busyCount(), 10);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    for (auto& s : servers) {
        ASSERT_TRUE(s->waitForBytes(0, 3)) << s->address();
        EXPECT_EQ(s->received(0), "@P#");
    }
    EXPECT_EQ(h->ipTable().busyCount(), 0);
}

TEST_F(CommoHandlerPty, WithoutImsisThereIsNoM2MEntry) {
    {
        auto h = make();
        EXPECT_FALSE(h->m2mEnabled());
        EXPECT_EQ(h->findConnection("127.0.0.1"), nullptr);
        EXPECT_EQ(h->ipTable().size(), 0u);
        EXPECT_TRUE(fileExists(folder.file("imsi.csv")));  // created empty
    }
    ASSERT_TRUE(test::writeFile(folder.file("imsi.csv"), "agencyID,77\nimsi,3101\nimsi,3102\n"));
    auto h = make();
    EXPECT_TRUE(h->m2mEnabled());
    EXPECT_EQ(h->imsiList().imsis().size(), 2u);
    EXPECT_EQ(h->imsiList().agencyId(), "77");
    ASSERT_NE(h->findConnection("127.0.0.1"), nullptr);
    auto file = IpTableFile::read(folder.file("quirnwireless.quirn"));
    ASSERT_TRUE(file);
    ASSERT_EQ(file->size(), 1u);
    EXPECT_EQ((*file)[0].address, "127.0.0.1");
}

TEST_F(CommoHandlerPty, ARestartLosesUnusedEntriesAndReenablesTheRest) {
    addLocation(1, "127.0.0.5");
    addLocation(2, "127.0.0.6");
    addLocation(3, kRadioAddress);
    addLocation(4, "");
    {
        auto h = make();
        db.visitLocations([&](Location& l) { h->addLocationAddress(l); });
        h->addIpAddress("127.0.0.7");
        h->findConnection("127.0.0.6")->setEnabled(false);
        EXPECT_TRUE(h->isDisabled("127.0.0.6"));
        EXPECT_EQ(h->ipTable().size(), 3u);
    }
    auto h = make();
    h->beginTableBatch();
    db.visitLocations([&](Location& l) { h->addLocationAddress(l); });
    h->endTableBatch();
    ASSERT_EQ(h->ipTable().size(), 2u);
    EXPECT_EQ(h->ipTable().entries()[0]->address(), "127.0.0.5");
    EXPECT_EQ(h->ipTable().entries()[1]->address(), "127.0.0.6");
    EXPECT_TRUE(h->ipTable().entries()[1]->enabled());
    EXPECT_EQ(h->findConnection("127.0.0.7"), nullptr);
    auto file = IpTableFile::read(folder.file("quirnwireless.quirn"));
    ASSERT_TRUE(file);
    EXPECT_EQ(*file, (std::vector<IpTableRecord>{{"127.0.0.5", true, "127.0.0.5"},
                                                 {"127.0.0.6", true, "127.0.0.6"}}));
}

TEST_F(CommoHandlerPty, ABatchOfAdditionsWritesTheSameFileOnceAtTheEnd) {
    std::vector<std::string> addresses;
    for (int i = 0; i < 40; ++i)
        addresses.push_back("127.0." + std::to_string(i / 7) + "." + std::to_string(10 + i % 7));
    std::string path = folder.file("quirnwireless.quirn");
    std::string oneByOne;
    {
        auto h = make();
        for (const auto& a : addresses) h->addIpAddress(a);
        oneByOne = test::readFile(path);
    }
    ASSERT_TRUE(removeFile(path));
    auto h = make();
    h->beginTableBatch();
    h->beginTableBatch();
    for (const auto& a : addresses) h->addIpAddress(a);
    h->endTableBatch();
    EXPECT_FALSE(fileExists(path));  // still inside the outer batch
    h->endTableBatch();
    EXPECT_EQ(test::readFile(path), oneByOne);
    EXPECT_EQ(IpTableFile::read(path)->size(), addresses.size());
    h->endTableBatch();  // an unmatched end changes nothing
}

TEST_F(CommoHandlerPty, ARemovedEntryFinishesItsExchangeBeforeItGoes) {
    LoopbackServer server("127.0.0.5");
    ASSERT_TRUE(server.ok());
    auto h = make();
    h->setIpPort(server.port());
    h->addIpAddress("127.0.0.5");
    h->addIpAddress("127.0.0.6");
    EXPECT_TRUE(h->removeIpAddress("127.0.0.6"));  // idle: gone at once
    EXPECT_EQ(h->retiredCount(), 0u);
    EXPECT_FALSE(h->removeIpAddress("127.0.0.6"));

    h->enqueueFor("127.0.0.5", "last words");
    for (int i = 0;
         i < 200 && h->findConnection("127.0.0.5")->state() != IpConnection::State::Staying; ++i) {
        tick();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    ASSERT_EQ(h->findConnection("127.0.0.5")->state(), IpConnection::State::Staying);
    EXPECT_TRUE(h->removeIpAddress("127.0.0.5"));
    EXPECT_EQ(h->findConnection("127.0.0.5"), nullptr);
    EXPECT_FALSE(h->isLinkPresent("127.0.0.5"));
    EXPECT_EQ(h->retiredCount(), 1u);
    EXPECT_EQ(h->ipTable().busyCount(), 1);
    tick(8);
    EXPECT_EQ(h->retiredCount(), 0u);
    EXPECT_EQ(h->ipTable().busyCount(), 0);
    ASSERT_TRUE(server.waitForBytes(0, 10));
    EXPECT_EQ(server.received(0), "last words");
    EXPECT_TRUE(server.waitForPeerClose(0));
    h->addIpAddress("127.0.0.5");
    EXPECT_EQ(h->ipTable().size(), 1u);
}

TEST_F(CommoHandlerPty, TheTableRefusesTheRadioTheBroadcastAddressEmptyAndRepeats) {
    auto h = make();
    for (const char* address : {"127.0.0.2", "0.0.0.0", "", "127.0.0.5", "127.0.0.5"})
        h->addIpAddress(address);
    EXPECT_EQ(h->ipTable().size(), 1u);
    h->setIpPort(2101);
    h->addIpAddress("127.0.0.8");
    EXPECT_EQ(h->findConnection("127.0.0.8")->port(), 2101u);
    EXPECT_EQ(h->findConnection("127.0.0.5")->port(), 2101u);
}

TEST_F(CommoHandlerPty, LinksAreFoundByAddress) {
    auto h = make();
    Location& radio = addLocation(1, kRadioAddress);
    Location& wifi = addLocation(2, "127.0.0.5");
    EXPECT_EQ(h->connectionForLocation(nullptr), nullptr);
    EXPECT_EQ(h->connectionForLocation(&radio), &h->serialPort());
    EXPECT_EQ(h->connectionForLocation(&wifi), nullptr);
    EXPECT_FALSE(h->isLinkPresent(kRadioAddress));
    EXPECT_EQ(h->connectionCount(), 0u);
    h->addLocationAddress(wifi);
    ASSERT_EQ(h->openRadioPort(kCom), 0);
    EXPECT_EQ(h->connectionForLocation(&wifi), h->findConnection("127.0.0.5"));
    EXPECT_TRUE(h->isLinkPresent(kRadioAddress));
    EXPECT_TRUE(h->isLinkPresent("127.0.0.5"));
    EXPECT_FALSE(h->isLinkPresent("127.0.0.6"));
    EXPECT_EQ(h->connectionCount(), 2u);
    h->addIpAddress("127.0.0.6");
    h->findConnection("127.0.0.5")->setEnabled(false);
    std::vector<IpConnection*> enabled{nullptr, nullptr, nullptr};
    h->enabledConnections(enabled);
    ASSERT_EQ(enabled.size(), 1u);
    EXPECT_EQ(enabled[0]->address(), "127.0.0.6");
    EXPECT_TRUE(wifi.isValidateDisabled(h.get()));
    EXPECT_FALSE(radio.isValidateDisabled(h.get()));
}

TEST_F(CommoHandlerPty, ReadsGoToTheLinkOfTheAddress) {
    auto h = make();
    ASSERT_EQ(h->openRadioPort(kCom), 0);
    Location& radio = addLocation(1, kRadioAddress);
    Location& wifi = addLocation(2, "127.0.0.8");
    EXPECT_EQ(h->readLocation(wifi, wifi.connection), 0);
    EXPECT_EQ(wifi.readState, 0);

    clock.advance(60);
    h->startQuery(radio);
    EXPECT_EQ(radio.readState, static_cast<int32_t>(ReadState::ReadingAgain));
    EXPECT_EQ(radio.readStateTime, clock.now());
    EXPECT_EQ(h->serialPort().locationBeingRead(), &radio);
    tick();
    EXPECT_EQ(pty.receive(7), "$Q0101*");
    EXPECT_TRUE(h->serialPort().isReading());

    h->setIpPort(1);
    h->startRead(wifi);  // unknown address: added, then read through it
    IpConnection* entry = h->findConnection("127.0.0.8");
    ASSERT_NE(entry, nullptr);
    EXPECT_TRUE(entry->readFlag());
    EXPECT_EQ(entry->locationBeingRead(), &wifi);
    EXPECT_EQ(entry->sendCount(), 8u);
    EXPECT_EQ(wifi.readState, static_cast<int32_t>(ReadState::ReadingAgain));
    EXPECT_NE(systemLog().find("Added IP address from Commo Handler."), std::string::npos);
    EXPECT_EQ(h->requestLocationData(wifi, ""), 0);
}

TEST_F(CommoHandlerPty, ADownloadIsQueuedForTheLocationsLink) {
    auto h = make();
    h->setIpPort(1);
    Location& wifi = addLocation(2, "127.0.0.5");
    h->addLocationAddress(wifi);
    EXPECT_EQ(h->startDownload(nullptr), 0u);
    EXPECT_EQ(h->startDownload(&wifi), 104u);
    EXPECT_EQ(wifi.readState, static_cast<int32_t>(ReadState::Writing));
    tick();
    EXPECT_EQ(h->findConnection("127.0.0.5")->sendCount(), 104u);
    protocol.downloadSize = 5000;  // more than a message holds: nothing is queued
    EXPECT_EQ(h->startDownload(&wifi), 0u);
    EXPECT_EQ(h->queueSize(), 0u);
}

TEST_F(CommoHandlerPty, ClockToAllFlagsEveryEntryButTheM2MClientAndWritesTheRadio) {
    ASSERT_TRUE(test::writeFile(folder.file("imsi.csv"), "imsi,1\n"));
    auto h = make();
    ASSERT_EQ(h->openRadioPort(kCom), 0);
    h->addIpAddress("127.0.0.5");
    h->sendClockToAll();
    EXPECT_EQ(pty.receive(14), "@T0/0#$T0/0");
    IpConnection* wifi = h->findConnection("127.0.0.5");
    IpConnection* m2m = h->findConnection("127.0.0.1");
    for (ClockMessage kind : {ClockMessage::BcdTime, ClockMessage::TimeDate, ClockMessage::Time}) {
        EXPECT_TRUE(wifi->clockFlag(kind));
        EXPECT_FALSE(m2m->clockFlag(kind));
    }
    h->sendClockToGroup(1, 4);
    h->sendClockAt(kStart);
    EXPECT_EQ(h->queueSize(), 4u);
    tick();
    EXPECT_EQ(pty.receive(40), "@T1/4#$T1/4@T@1773570000#$T@1773570000");
}

TEST_F(CommoHandlerPty, UndeliverableMessagesAreDroppedWithALogLine) {
    auto h = make();
    ASSERT_EQ(h->openRadioPort(kCom), 0);
    clock.advance(100);
    h->enqueueFor(kRadioAddress, std::string(1000, 'r'));  // more than one radio write takes
    h->enqueueFor("127.0.0.9", "nobody");
    h->enqueueBytes(std::string(4001, 'x'));  // refused, not cut
    EXPECT_EQ(h->queueSize(), 2u);
    tick();
    EXPECT_EQ(h->queueSize(), 0u);
    EXPECT_EQ(pty.receive(1, 20), "");
    EXPECT_EQ(h->lastTransmission(), clock.now());
    std::string log = systemLog();
    EXPECT_NE(log.find("Radio message of 1000 bytes too long, not sent."), std::string::npos);
    EXPECT_NE(log.find("No IP connection for 127.0.0.9, message dropped."), std::string::npos);
    EXPECT_NE(log.find("Message of 4001 bytes too long, not queued."), std::string::npos);

    // A link that can take no more says so instead of dropping the broadcast quietly.
    h->setIpPort(1);
    h->addIpAddress("127.0.0.5");
    // One in the buffer, the waiting room full, then one more: the radio and the entry refuse.
    for (std::size_t i = 0; i < TransmitBuffer::kWaitingLimit / kMessageBufferSize + 2; ++i)
        h->broadcast(bytesOf(std::string(kMessageBufferSize, 'b')), kMessageBufferSize);
    EXPECT_NE(systemLog().find("Broadcast of 4000 bytes refused by 2 links with full buffers."),
              std::string::npos);
}

TEST_F(CommoHandlerPty, TheSweepRemovesEmptyMessagesBeyondThePass) {
    auto h = make();
    ASSERT_EQ(h->openRadioPort(kCom), 0);
    h->enqueueBytes(std::string(3000, 'a'));
    h->enqueueBytes(std::string());
    h->enqueueBytes(std::string(3000, 'b'));
    h->enqueueBytes(std::string());
    h->enqueueFor(kRadioAddress, "r");
    EXPECT_EQ(h->queueSize(), 5u);
    tick();
    EXPECT_EQ(h->queueSize(), 2u);  // the second batch and the radio message wait
    tick();
    EXPECT_EQ(h->queueSize(), 0u);
    h->enqueueBytes(std::string());
    h->clearQueue();
    EXPECT_EQ(h->queueSize(), 0u);
}

TEST_F(CommoHandlerPty, RadioInputIsTakenAndTheTimerStopsWithTheHandler) {
    auto h = make();
    ASSERT_EQ(h->openRadioPort(kCom), 0);
    EXPECT_EQ(timers.activeCount(), 1u);
    const std::string hello = "hello";
    ASSERT_TRUE(h->writeRadioNow(bytesOf(hello), hello.size()));
    EXPECT_EQ(pty.receive(5), hello);
    ASSERT_TRUE(pty.send("reply"));
    h->serialPort().readAvailable();
    std::string input;
    EXPECT_EQ(h->takeRadioInput(input), 5u);
    EXPECT_EQ(input, "reply");
    EXPECT_EQ(h->serialPort().receivedCount(), 0u);
    EXPECT_EQ(h->reopenRadioPort(4800), 0);
    EXPECT_EQ(h->serialPort().currentBaud(), 4800);
    h.reset();
    EXPECT_EQ(timers.activeCount(), 0u);
}

size_t occurrences(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t pos = text.find(what); pos != std::string::npos; pos = text.find(what, pos + 1))
        ++n;
    return n;
}

// A radio page of `size` bytes that says which one it is.
std::string numberedPage(int index, std::size_t size) {
    char head[16];
    std::snprintf(head, sizeof head, "@P%02d", index);
    std::string page = head;
    page.append(size - page.size() - 1, static_cast<char>('A' + index % 26));
    return page + "#";
}

// Queues `count` numbered pages for the radio; returns the bytes they make, in order.
std::string queueRadioPages(CommoHandler& h, int count, std::size_t size) {
    std::string all;
    for (int i = 0; i < count; ++i) {
        all += numberedPage(i, size);
        h.enqueueFor(kRadioAddress, numberedPage(i, size));
    }
    return all;
}

// The transmitter's line drains far slower than the station queues pages: the driver takes part
// of a write and nothing else for a while. Every page still goes out whole, in order, and is
// logged once when its last byte has gone.
TEST_F(CommoHandlerPty, SixtyPagesToASlowReaderAllArriveWholeAndInOrder) {
    constexpr int kPages = 60;
    constexpr std::size_t kPageSize = 900;
    auto h = make();
    ASSERT_EQ(h->openRadioPort(kCom), 0);
    std::string expected = queueRadioPages(*h, kPages, kPageSize);

    // The far end: 512 bytes every 2 ms, for at most 20 s.
    std::string arrived;
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (!stop && arrived.size() < expected.size() &&
               std::chrono::steady_clock::now() < end) {
            arrived += pty.receiveAtMost(512);
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    });
    bool sawBacklog = false;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int i = 0; i < 20000 && std::chrono::steady_clock::now() < end; ++i) {
        tick();
        sawBacklog = sawBacklog || h->serialPort().outgoingBytes() > 0;
        if (h->queueSize() == 0 && h->serialPort().outgoingBytes() == 0) break;
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_TRUE(sawBacklog) << "the driver took everything at once: the test proves nothing";
    EXPECT_EQ(h->serialPort().outgoingBytes(), 0u);
    reader.join();
    stop = true;
    ASSERT_EQ(arrived.size(), expected.size());
    EXPECT_TRUE(arrived == expected) << "pages cut, lost or out of order";

    const std::string transmit = test::readFile(logWriter.logFileName(clock, kLogTransmit));
    EXPECT_EQ(occurrences(transmit, "To: Serial Port,"), static_cast<size_t>(kPages));
    for (int i = 0; i < kPages; ++i)
        EXPECT_NE(transmit.find("To: Serial Port," + numberedPage(i, kPageSize) + "\r\n"),
                  std::string::npos)
            << "page " << i;
    EXPECT_EQ(systemLog().find("not sent"), std::string::npos) << systemLog();
}

// The adapter is unplugged while only broadcasts go out: the port says so at once, keeps the
// broadcast, and sends it when the adapter is back.
TEST_F(CommoHandlerPty, ALostAdapterIsNoticedAtOnceAndWhatWaitsGoesOutWhenItIsBack) {
    auto h = make();
    ASSERT_EQ(h->openRadioPort(kCom), 0);
    pty.closeMaster();
    h->enqueueBytes("@P01#");
    tick();
    EXPECT_NE(systemLog().find("COM 3 lost."), std::string::npos) << systemLog();
    EXPECT_FALSE(h->serialPort().isHealthy());
    EXPECT_EQ(h->serialPort().statusText(), "COM 3 lost.");
    EXPECT_EQ(h->serialPort().summaryText(), "Serial Port: COM 3, not available.");

    PtyPair back;
    store.writeString(kSerialSection, "COM" + std::to_string(kCom), back.slavePath());
    tick(2 * 31);  // the port is tried again every 30 s
    EXPECT_TRUE(h->serialPort().isHealthy());
    EXPECT_EQ(back.receive(5), "@P01#");
    const std::string system = systemLog();
    EXPECT_EQ(occurrences(system, "COM 3 lost."), 1u) << system;
    EXPECT_EQ(occurrences(system, "COM 3 reopened."), 1u) << system;
}

// With the device missing the station keeps trying, but says it once, and once when it is back.
TEST_F(CommoHandlerPty, AMissingDeviceIsLoggedOnceAndItsRecoveryOnce) {
    store.writeString(kSerialSection, "COM" + std::to_string(kCom), folder.file("gone"));
    auto h = make();
    EXPECT_EQ(h->openRadioPort(kCom), 1);
    for (int minute = 0; minute < 10; ++minute) {
        h->enqueueFor(kRadioAddress, "@P#");
        h->enqueueBytes("@B#");
        tick(2 * 60);
    }
    EXPECT_EQ(occurrences(systemLog(), "COM 3 could not be opened"), 1u) << systemLog();
    EXPECT_FALSE(h->serialPort().isHealthy());

    store.writeString(kSerialSection, "COM" + std::to_string(kCom), pty.slavePath());
    tick(2 * 31);
    EXPECT_TRUE(h->serialPort().isHealthy());
    const std::string system = systemLog();
    EXPECT_EQ(occurrences(system, "COM 3 could not be opened"), 1u) << system;
    EXPECT_EQ(occurrences(system, "COM 3 reopened."), 1u) << system;
    // The pages that could not go while the device was missing are counted, not silently lost.
    EXPECT_NE(system.find("radio messages were not sent while it was not available"),
              std::string::npos)
        << system;
}

// A far end that floods the radio input while pages go out, and one that stops reading until
// its buffer is full: no tick is held, and every page still arrives whole and in order once the far
// end reads again.
TEST_F(CommoHandlerPty, AFloodingOrStalledFarEndHoldsNoTickAndLosesNoPage) {
    constexpr int kPages = 200;  // far more than the pseudo-terminal holds
    constexpr std::size_t kPageSize = 900;
    auto h = make();
    ASSERT_EQ(h->openRadioPort(kCom), 0);
    std::string expected = queueRadioPages(*h, kPages, kPageSize);
    // A read of a radio location goes out after the pages; the noise goes into its reply.
    Location& radio = addLocation(9, kRadioAddress);
    h->startRead(radio);
    expected += protocol.readRequest(radio);
    long long longestTickMs = 0;
    auto timedTick = [&] {
        const auto before = std::chrono::steady_clock::now();
        tick();
        longestTickMs = std::max<long long>(longestTickMs,
                                            std::chrono::duration_cast<std::chrono::milliseconds>(
                                                std::chrono::steady_clock::now() - before)
                                                .count());
    };
    // Stalled and flooding: the far end reads nothing and sends 4 KB of noise before each tick.
    const std::string noise(4096, '~');
    std::size_t backlogWhileStalled = 0;
    for (int i = 0; i < 200; ++i) {
        pty.send(noise);
        timedTick();
        backlogWhileStalled = h->serialPort().outgoingBytes() + h->queueSize();
    }
    EXPECT_GT(backlogWhileStalled, 0u) << "the far end took everything: the test proves nothing";

    // The far end reads again, and goes on flooding: everything left arrives, in order, within
    // a bounded time.
    std::string arrived;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    for (int i = 0; i < 20000 && std::chrono::steady_clock::now() < end; ++i) {
        arrived += pty.receiveAtMost(65536);
        if (h->queueSize() == 0 && h->serialPort().outgoingBytes() == 0 &&
            arrived.size() >= expected.size())
            break;
        pty.send(noise);
        timedTick();
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    arrived += pty.receiveAtMost(65536);
    std::printf("[ serial   ] %d pages past a stalled, flooding far end: longest tick %lld ms\n",
                kPages, longestTickMs);
    EXPECT_LT(longestTickMs, 100);
    ASSERT_EQ(arrived.size(), expected.size());
    EXPECT_TRUE(arrived == expected) << "pages cut, lost or out of order";
}

}  // namespace
}  // namespace quirn
