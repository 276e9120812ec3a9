#include <gtest/gtest.h>
#include <termios.h>

#include <memory>
#include <string>

#include "comms/SerialPort.h"
#include "ops/LogWriter.h"
#include "plans/Location.h"
#include "platform/FileSystem.h"
#include "platform/Paths.h"
#include "platform/ProfileStore.h"
#include "tests/comms/CommsFakes.h"
#include "tests/support/PtyPair.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::FakeProtocol;
using test::PtyPair;

constexpr int kCom = 3;
constexpr std::time_t kStart = 1773570000;  // a Sunday in March 2026

// The radio port on the slave side of a pty; the test plays transmitter and time switch on the
// master side. Time runs on a manual clock.
class SerialPortPty : public ::testing::Test {
  protected:
    SerialPortPty()
        : clock(kStart),
          store(folder.file("quirnradio.ini")),
          port(LinkServices{clock, logWriter, protocol, protocol, nullptr}, createSerialDevice(),
               ComPortMap(&store)) {
        store.writeString(kSerialSection, "COM" + std::to_string(kCom), pty->slavePath());
    }

    void tick(int count = 1) {
        for (int i = 0; i < count; ++i) {
            port.step();
            clock.advanceMs(500);
        }
    }
    // Ticks until the port leaves `state` (bounded), returning the ticks taken.
    int ticksWhileIn(SerialPort::State state, int limit = 100) {
        int n = 0;
        while (port.state() == state && n < limit) {
            tick();
            ++n;
        }
        return n;
    }
    void startRead(Location& location) {
        std::string request = protocol.readRequest(location);
        port.queueRead(location, reinterpret_cast<const unsigned char*>(request.data()),
                       request.size());
        port.step();
        ASSERT_EQ(port.state(), SerialPort::State::Reading);
        ASSERT_EQ(pty->receive(request.size()), request);
    }
    void answer(const std::string& bytes) { ASSERT_TRUE(pty->send(bytes)); }

    test::TempFolder folder;
    const WorkingFolder working = folder.workingFolder();
    const LogWriter logWriter{working};
    ManualClock clock;
    ProfileStore store;
    FakeProtocol protocol;
    std::unique_ptr<PtyPair> pty = std::make_unique<PtyPair>();
    SerialPort port;
    Location first{1, 1, 2};
    Location second{1, 1, 3};
};

TEST_F(SerialPortPty, AppliesTheLineSettingsAtEachRate) {
    for (int baud : {2400, 4800}) {
        ASSERT_EQ(port.open(kCom, baud), 0);
        EXPECT_TRUE(port.isHealthy());
        EXPECT_EQ(port.portName(), "COM 3");
        termios t{};
        ASSERT_TRUE(pty->slaveSettings(t));
        speed_t expected = baud == 4800 ? B4800 : B2400;
        EXPECT_EQ(cfgetospeed(&t), expected);
        EXPECT_EQ(cfgetispeed(&t), expected);
        EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
        EXPECT_EQ(t.c_cflag & (PARENB | CSTOPB), 0u);
        EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
        EXPECT_EQ(port.currentBaud(), baud);
    }
}

TEST_F(SerialPortPty, EstimatesOnAirTimeAndWaitsForIt) {
    EXPECT_EQ(SerialPort::onAirSeconds(5), 0);
    EXPECT_EQ(SerialPort::onAirSeconds(124), 0);
    EXPECT_EQ(SerialPort::onAirSeconds(125), 1);
    EXPECT_EQ(SerialPort::onAirSeconds(500), 2);
    EXPECT_EQ(SerialPort::onAirSeconds(4000), 16);

    ASSERT_EQ(port.open(kCom), 0);
    EXPECT_EQ(port.statusText(), "Serial Port Active.");
    ASSERT_TRUE(port.queueText(std::string(500, 'w')));
    port.step();
    EXPECT_EQ(port.state(), SerialPort::State::Writing);
    EXPECT_TRUE(port.isWriting());
    EXPECT_EQ(port.statusText(), "Serial Port Writing.");
    EXPECT_EQ(pty->receive(500).size(), 500u);
    clock.advance(2);  // exactly the estimate: the transmitter is still busy
    port.step();
    EXPECT_EQ(port.state(), SerialPort::State::Writing);
    clock.advanceMs(500);
    port.step();
    EXPECT_EQ(port.state(), SerialPort::State::AfterExchange);
    EXPECT_EQ(port.statusText(), "Serial Port Active.");
}

TEST_F(SerialPortPty, ARequestWithNoReplyTimesOutFourSecondsAfterTheDeadline) {
    ASSERT_EQ(port.open(kCom), 0);
    startRead(first);
    EXPECT_TRUE(port.isReading());
    EXPECT_EQ(port.statusText(), "Serial Port Reading New Location, 0 of 968 bytes.");
    clock.advance(4);
    port.step();
    EXPECT_EQ(port.state(), SerialPort::State::Reading);  // 4 s is not more than 4 s
    EXPECT_TRUE(protocol.replies.empty());
    clock.advanceMs(500);
    port.step();
    EXPECT_EQ(port.state(), SerialPort::State::AfterExchange);
    ASSERT_EQ(protocol.replies.size(), 1u);
    EXPECT_EQ(protocol.replies[0].bytes, "");
    EXPECT_EQ(first.replyCount, 1);
    EXPECT_EQ(port.locationBeingRead(), nullptr);
}

TEST_F(SerialPortPty, OneByteThenSilenceTimesOutAfterTwelveSeconds) {
    ASSERT_EQ(port.open(kCom), 0);
    startRead(first);
    clock.advance(1);
    answer("S");
    port.step();
    EXPECT_EQ(first.programBytesReceived, 1);
    clock.advance(11);
    port.step();
    EXPECT_EQ(port.state(), SerialPort::State::Reading);
    clock.advanceMs(500);
    port.step();
    EXPECT_EQ(port.state(), SerialPort::State::AfterExchange);
    ASSERT_EQ(protocol.replies.size(), 1u);
    EXPECT_EQ(protocol.replies[0].bytes, "S");
    EXPECT_EQ(first.replyCount, 1);
}

TEST_F(SerialPortPty, AcknowledgesAnImageOfExactly968BytesOnly) {
    ASSERT_EQ(port.open(kCom), 0);
    startRead(first);
    answer(FakeProtocol::image(968));
    tick();
    EXPECT_EQ(port.state(), SerialPort::State::AfterExchange);
    EXPECT_EQ(pty->receive(1), "K");
    ASSERT_EQ(protocol.replies.size(), 1u);
    EXPECT_EQ(protocol.replies[0].bytes.size(), 968u);

    startRead(second);
    answer(FakeProtocol::image(967));
    tick(3);
    EXPECT_EQ(port.state(), SerialPort::State::Reading);  // incomplete: wait for more or time out
    ticksWhileIn(SerialPort::State::Reading);
    EXPECT_EQ(pty->receive(1, 20), "");  // no acknowledgement
    ASSERT_EQ(protocol.replies.size(), 2u);
    EXPECT_EQ(protocol.replies[1].bytes.size(), 967u);
}

TEST_F(SerialPortPty, ASecondReadReplacesTheFirst) {
    ASSERT_EQ(port.open(kCom), 0);
    startRead(first);
    std::string request = protocol.readRequest(second);
    port.queueRead(second, reinterpret_cast<const unsigned char*>(request.data()), request.size());
    EXPECT_EQ(port.locationBeingRead(), &second);
    answer(FakeProtocol::image(968));
    tick();
    ASSERT_EQ(protocol.replies.size(), 1u);
    EXPECT_EQ(second.replyCount, 1);
    EXPECT_EQ(first.replyCount, 0);
}

TEST_F(SerialPortPty, AnErrorReplyEndsTheReadWithoutHandingItOver) {
    ASSERT_EQ(port.open(kCom), 0);
    startRead(first);
    answer("ERR");
    tick();
    EXPECT_EQ(port.state(), SerialPort::State::AfterExchange);
    EXPECT_TRUE(protocol.replies.empty());
    EXPECT_EQ(first.replyCount, 0);
    EXPECT_EQ(port.receivedCount(), 0u);
}

TEST_F(SerialPortPty, ReadsAThreeBlockActivationLogAndClearsIt) {
    ASSERT_EQ(port.open(kCom), 0);
    first.model = static_cast<int32_t>(TimeSwitchModel::Strider);
    startRead(first);
    answer("PWL#");
    tick();
    EXPECT_EQ(port.state(), SerialPort::State::ReadingLog);
    EXPECT_EQ(port.statusText(), "Reading Passway.");
    EXPECT_EQ(first.replyCount, 1);
    EXPECT_EQ(pty->receive(), "@B01020#");
    for (int block = 0; block < 3; ++block) {
        answer(FakeProtocol::logBlock(block, 2));
        tick();
        if (block < 2) {
            EXPECT_EQ(pty->receive(), "@B0102" + std::to_string(block + 1) + "#");
            EXPECT_EQ(port.state(), SerialPort::State::ReadingLog);
        }
    }
    EXPECT_EQ(pty->receive(), "@C0102#");
    EXPECT_EQ(port.state(), SerialPort::State::AfterExchange);
    EXPECT_EQ(protocol.blocks.size(), 3u);
    EXPECT_EQ(protocol.logsFinished, 1);
    EXPECT_EQ(port.locationBeingRead(), nullptr);
}

TEST_F(SerialPortPty, ASilentLogReadEndsAfterTwelveSeconds) {
    ASSERT_EQ(port.open(kCom), 0);
    startRead(first);
    answer("PWL#");
    tick();
    ASSERT_EQ(port.state(), SerialPort::State::ReadingLog);
    EXPECT_GT(ticksWhileIn(SerialPort::State::ReadingLog), 20);
    EXPECT_EQ(port.state(), SerialPort::State::AfterExchange);
    EXPECT_EQ(protocol.logsFinished, 0);
    EXPECT_EQ(port.locationBeingRead(), nullptr);
}

TEST_F(SerialPortPty, ALostPortClosesAndTheNextWriteReopensItAt2400) {
    ASSERT_EQ(port.open(kCom, 4800), 0);
    pty->closeMaster();
    EXPECT_EQ(port.flushInput(), 1);
    EXPECT_FALSE(port.isOpen());
    EXPECT_FALSE(port.isHealthy());
    port.step();  // a closed port does nothing

    // The adapter comes back (as another device node); the next write finds it.
    pty = std::make_unique<PtyPair>();
    store.writeString(kSerialSection, "COM3", pty->slavePath());
    const unsigned char page[] = {'@', 'P', '#'};
    EXPECT_TRUE(port.write(page, sizeof page));
    EXPECT_TRUE(port.isHealthy());
    EXPECT_EQ(port.currentBaud(), 2400);
    termios t{};
    ASSERT_TRUE(pty->slaveSettings(t));
    EXPECT_EQ(cfgetospeed(&t), static_cast<speed_t>(B2400));
    EXPECT_EQ(pty->receive(3), "@P#");
}

TEST_F(SerialPortPty, ALostPortWithTrafficWaitingIsTriedAgainEveryThirtySeconds) {
    ASSERT_EQ(port.open(kCom, 4800), 0);
    pty->closeMaster();
    EXPECT_EQ(port.flushInput(), 1);
    ASSERT_TRUE(port.queueText("@P#"));
    port.step();  // the device is still gone
    EXPECT_FALSE(port.isOpen());
    pty = std::make_unique<PtyPair>();
    store.writeString(kSerialSection, "COM3", pty->slavePath());
    clock.advance(29);
    port.step();
    EXPECT_FALSE(port.isOpen());
    clock.advance(1);
    port.step();
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.currentBaud(), 2400);
    EXPECT_EQ(pty->receive(3), "@P#");
}

TEST_F(SerialPortPty, AMissingDeviceLeavesThePortUnhealthy) {
    store.writeString(kSerialSection, "COM3", folder.file("gone"));
    EXPECT_EQ(port.open(kCom), 1);
    EXPECT_TRUE(port.isUsed());
    EXPECT_FALSE(port.isHealthy());
    const unsigned char b = 'x';
    EXPECT_FALSE(port.write(&b, 1));
}

TEST_F(SerialPortPty, ComZeroIsNoRadio) {
    ASSERT_EQ(port.open(0), 0);
    EXPECT_FALSE(port.isUsed());
    EXPECT_TRUE(port.isHealthy());
    EXPECT_EQ(port.portName(), "Disabled");
    EXPECT_EQ(port.summaryText(), "Serial Port: Not Used");
    EXPECT_FALSE(port.queueText("@P#"));
    std::string request = protocol.readRequest(first);
    port.queueRead(first, reinterpret_cast<const unsigned char*>(request.data()), request.size());
    EXPECT_EQ(port.locationBeingRead(), nullptr);
    EXPECT_EQ(port.transmitCount(), 0u);
    port.step();
    EXPECT_EQ(port.state(), SerialPort::State::Idle);
    EXPECT_FALSE(port.writeText("@P#"));
    EXPECT_EQ(pty->receive(1, 20), "");
}

TEST_F(SerialPortPty, AReplyOver4000BytesIsDroppedWholeAndTheReadGoesOn) {
    ASSERT_EQ(port.open(kCom), 0);
    startRead(first);
    answer(std::string(3000, 'x'));
    tick();
    EXPECT_EQ(port.receivedCount(), 3000u);
    answer(std::string(1001, 'y'));
    tick();
    EXPECT_EQ(port.receivedCount(), 0u);
    EXPECT_EQ(port.state(), SerialPort::State::Reading);
    answer(FakeProtocol::image(968));
    tick();
    EXPECT_EQ(pty->receive(1), "K");
    ASSERT_EQ(protocol.replies.size(), 1u);
    EXPECT_EQ(protocol.replies[0].bytes, FakeProtocol::image(968));
}

TEST_F(SerialPortPty, WhatDoesNotFitWaitsForTheNextTransmission) {
    ASSERT_EQ(port.open(kCom), 0);
    std::string a(3000, 'a'), b(3000, 'b'), c(900, 'c');
    ASSERT_TRUE(port.queueText(a));
    ASSERT_TRUE(port.queueText(b));
    ASSERT_TRUE(port.queueText(c));  // fits after b, but must not overtake it
    EXPECT_EQ(port.transmitCount(), 3000u);
    EXPECT_EQ(port.transmitWaiting(), 3900u);
    EXPECT_FALSE(port.queueText(std::string(4001, 'z')));
    port.step();
    EXPECT_EQ(pty->receive(3000), a);
    EXPECT_EQ(port.transmitCount(), 3900u);
    ticksWhileIn(SerialPort::State::Writing);
    port.step();
    EXPECT_EQ(pty->receive(3900), b + c);
    EXPECT_EQ(port.transmitCount(), 0u);
    EXPECT_EQ(port.transmitWaiting(), 0u);
}

TEST_F(SerialPortPty, LogsEveryTransmission) {
    ASSERT_TRUE(makeFolder(folder.logs()));
    ASSERT_EQ(port.open(kCom), 0);
    ASSERT_TRUE(port.writeText(std::string("@T01\x80\x01#", 7)));
    std::string log = test::readFile(logWriter.logFileName(clock, kLogTransmit));
    EXPECT_NE(log.find("To: Serial Port,@T01\x01#"), std::string::npos) << log;
}

TEST(ComPortChoices, ListsFourPortsAndAConfiguredOther) {
    int selected = -1;
    auto choices = comPortChoices(7, selected);
    ASSERT_EQ(choices.size(), 6u);
    EXPECT_EQ(choices[0], "Disabled");
    EXPECT_EQ(choices[4], "COM 4");
    EXPECT_EQ(choices[5], "COM 7");
    EXPECT_EQ(selected, 5);
    EXPECT_EQ(comPortChoices(2, selected).size(), 5u);
    EXPECT_EQ(selected, 2);
    comPortChoices(0, selected);
    EXPECT_EQ(selected, 0);
    EXPECT_EQ(comNumberFromChoice("COM 12"), 12);
    EXPECT_EQ(comNumberFromChoice("Disabled"), 0);
    EXPECT_EQ(comNumberFromChoice("Modem"), 0);
    EXPECT_EQ(comNumberFromChoice("COM"), 0);
}

}  // namespace
}  // namespace quirn
