#include <gtest/gtest.h>
#include <termios.h>

#include <string>

#include "platform/ComPortMap.h"
#include "platform/ProfileStore.h"
#include "platform/SerialDevice.h"
#include "tests/support/PtyPair.h"
#include "tests/support/TempFolder.h"

namespace quirn {
namespace {

using test::PtyPair;

long readAll(SerialDevice& device, std::string& out) {
    unsigned char buffer[512];
    long total = 0;
    for (int i = 0; i < 100; ++i) {
        long n = device.read(buffer, sizeof buffer);
        if (n <= 0) break;
        out.append(reinterpret_cast<char*>(buffer), static_cast<std::size_t>(n));
        total += n;
    }
    return total;
}

struct LineCase {
    int asked;
    int expected;
    speed_t speed;
};

class PosixSerialDeviceLine : public ::testing::TestWithParam<LineCase> {};

TEST_P(PosixSerialDeviceLine, AppliesRaw8N1WithoutSoftwareFlowControl) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    auto device = createSerialDevice();
    ASSERT_TRUE(device->open(pty.slavePath(), GetParam().asked)) << device->errorText();
    EXPECT_TRUE(device->errorText().empty());
    termios t{};
    ASSERT_TRUE(pty.slaveSettings(t));
    EXPECT_EQ(t.c_cflag & CSIZE, static_cast<tcflag_t>(CS8));
    EXPECT_EQ(t.c_cflag & PARENB, 0u);
    EXPECT_EQ(t.c_cflag & CSTOPB, 0u);
    EXPECT_EQ(t.c_iflag & (IXON | IXOFF), 0u);
    EXPECT_EQ(t.c_lflag & (ICANON | ECHO), 0u);
    EXPECT_EQ(cfgetispeed(&t), GetParam().speed);
    EXPECT_EQ(cfgetospeed(&t), GetParam().speed);
    EXPECT_EQ(device->currentBaud(), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rates, PosixSerialDeviceLine,
                         ::testing::Values(LineCase{2400, 2400, B2400}, LineCase{4800, 4800, B4800},
                                           LineCase{9600, 2400, B2400}));

TEST(PosixSerialDevice, MovesBytesBothWaysUnchangedAndNeverBlocks) {
    PtyPair pty;
    ASSERT_TRUE(pty.ok());
    auto device = createSerialDevice();
    ASSERT_TRUE(device->open(pty.slavePath(), 2400));
    unsigned char buffer[16];
    EXPECT_EQ(device->waiting(), 0);
    EXPECT_EQ(device->read(buffer, sizeof buffer), 0);  // nothing there: returns at once

    const std::string reply(
        "\x00\x11\x13\r\n\xff"
        "abc",
        9);  // XON/XOFF, CR LF pass raw
    ASSERT_TRUE(pty.send(reply));
    EXPECT_EQ(device->waiting(), static_cast<long>(reply.size()));
    std::string got;
    readAll(*device, got);
    EXPECT_EQ(got, reply);

    const unsigned char out[] = {'@', 0x11, '\n', 0x00, 0x80};
    EXPECT_EQ(device->write(out, sizeof out), static_cast<long>(sizeof out));
    EXPECT_EQ(pty.receive(sizeof out), std::string(reinterpret_cast<const char*>(out), 5));
}

TEST(PosixSerialDevice, DiscardsPendingInput) {
    PtyPair pty;
    auto device = createSerialDevice();
    ASSERT_TRUE(device->open(pty.slavePath(), 4800));
    ASSERT_TRUE(pty.send("stale bytes"));
    ASSERT_GT(device->waiting(), 0);
    EXPECT_TRUE(device->discardInput());
    EXPECT_EQ(device->waiting(), 0);
}

TEST(PosixSerialDevice, IsExclusive) {
    PtyPair pty;
    auto first = createSerialDevice();
    auto second = createSerialDevice();
    ASSERT_TRUE(first->open(pty.slavePath(), 2400));
    EXPECT_FALSE(second->open(pty.slavePath(), 2400));
    EXPECT_FALSE(second->isOpen());
    EXPECT_FALSE(second->errorText().empty());
    first->close();
    EXPECT_TRUE(second->open(pty.slavePath(), 2400));
}

TEST(PosixSerialDevice, ReportsAMissingDeviceAndAHangUp) {
    test::TempFolder folder;
    auto device = createSerialDevice();
    EXPECT_FALSE(device->open(folder.file("no-such-tty"), 2400));
    EXPECT_FALSE(device->isOpen());
    EXPECT_EQ(device->waiting(), -1);
    EXPECT_EQ(device->currentBaud(), 0);

    PtyPair pty;
    ASSERT_TRUE(device->open(pty.slavePath(), 2400));
    EXPECT_EQ(device->waiting(), 0);
    pty.closeMaster();
    EXPECT_EQ(device->waiting(), -1);
}

TEST(ComPortMap, TakesTheProfileEntryElseTheSystemDevice) {
    EXPECT_EQ(ComPortMap().devicePath(1), "/dev/ttyS0");
    EXPECT_EQ(ComPortMap().devicePath(7), "/dev/ttyS6");
    EXPECT_EQ(ComPortMap().devicePath(0), "");
    EXPECT_EQ(ComPortMap().devicePath(-3), "");
    test::TempFolder folder;
    ProfileStore store(folder.file("p.ini"));
    store.writeString(kSerialSection, "COM3", "/dev/pts/99");
    ComPortMap map(&store);
    EXPECT_EQ(map.devicePath(3), "/dev/pts/99");
    EXPECT_EQ(map.devicePath(2), "/dev/ttyS1");
}

}  // namespace
}  // namespace quirn
