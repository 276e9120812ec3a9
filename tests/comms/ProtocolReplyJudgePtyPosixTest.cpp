#include <gtest/gtest.h>

#include <string>

#include "comms/SerialPort.h"
#include "platform/ProfileStore.h"
#include "tests/comms/ProtocolReplyJudgeFixture.h"
#include "tests/support/PtyPair.h"

namespace quirn {
namespace {

using test::ProtocolReplyJudgeTest;

TEST_F(ProtocolReplyJudgeTest, TheRadioOnAPtyReadsAnMX40AndAcknowledgesItsImage) {
    test::PtyPair pty;
    ProfileStore store(folder.file("quirnradio.ini"));
    store.writeString(kSerialSection, "COM1", pty.slavePath());
    SerialPort port(LinkServices{clock, logWriter, messages, judge, &db}, createSerialDevice(),
                    ComPortMap(&store));
    ASSERT_EQ(port.open(1), 0);
    std::string request = messages.readRequest(*mx40);
    port.queueRead(*mx40, bytesOf(request), request.size());
    port.step();
    EXPECT_EQ(pty.receive(6), std::string("C78\x01\x01\x03", 6));
    EXPECT_EQ(port.statusText(), "Serial Port Reading New Location, 0 of 968 bytes.");
    ASSERT_TRUE(pty.send(imageOf(*mx40)));
    clock.advanceMs(500);
    port.step();
    EXPECT_EQ(pty.receive(1), "K");
    EXPECT_EQ(mx40->replyCount, 1);
    EXPECT_EQ(mx40->programBytesReceived, 968);
    EXPECT_EQ(port.state(), SerialPort::State::AfterExchange);
}

}  // namespace
}  // namespace quirn
